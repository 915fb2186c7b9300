#pragma once

#include <QString>

struct RunContext;

/// Why a regular-expression search cannot run: the pattern does not compile
/// as written (the error and where) or as the search compiles it (with the
/// whole-word rule when asked), or replacement, when given, names a group the
/// pattern lacks. Empty when it can run.
QString regexProblem(const QString &pattern, bool matchCase, bool wholeWord,
                     const QString *replacement = nullptr);

/// What the request is checked for: Find reads no replacement.
enum class RequestUse { Find, Replace };

/// The outcome of the check: refused (after telling the user why), accepted,
/// or accepted with an empty replacement the user has already confirmed.
enum class Verdict { Refused, Accepted, EmptyReplacementConfirmed };

/// Checks the run's request before a Find or Replace run.
Verdict validateRequest(RunContext &ctx, RequestUse use);
