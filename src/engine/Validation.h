#pragma once

struct RunContext;

/// Checks the request before a Find or Replace run; the verdict is left in
/// validationFailed and emptyReplaceConfirmed.
void validateRequest(RunContext &ctx);
