#pragma once

struct RunContext;

/// Checks the request before a Find or Replace run; the verdict is left in
/// ValidationFailed and EmptyReplaceConfirmed.
void Error_Trapping(RunContext &ctx);
