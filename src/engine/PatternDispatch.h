#pragma once

struct RunContext;

/// Splits cboFilters at ";" and walks the current folder once per piece
/// (FilesSearch when Rep, else FindInFiles). Throws Failure on a twelfth piece.
void Check_Filters(RunContext &ctx, bool &Rep);
