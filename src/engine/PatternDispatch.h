#pragma once

struct RunContext;

/// Splits the pattern box's text at ";" and walks the current folder once per piece
/// (replaceInTree when replacing, else findInTree). Throws Failure on a twelfth piece.
void walkEachPattern(RunContext &ctx, bool &replacing);
