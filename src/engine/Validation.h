#pragma once

#include <QString>

struct RunContext;

/// Why a regular-expression search cannot run: the pattern does not compile
/// (the error and where), or replacement, when given, names a group the
/// pattern lacks. Empty when it can run.
QString regexProblem(const QString &pattern, bool matchCase, const QString *replacement = nullptr);

/// Checks the request before a Find or Replace run; the verdict is left in
/// validationFailed and emptyReplaceConfirmed.
void validateRequest(RunContext &ctx);
