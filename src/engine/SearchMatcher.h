#pragma once

#include <QString>

#include <memory>

class Matcher;
class RunRequest;

/// The matcher of the request's search type: the fuzzy parts, or keyword as
/// the normal search text (a regular expression when the request says so); with the request's case
/// and whole-word rules; with "Keep case", one that writes each replacement in
/// the case of its match.
std::unique_ptr<Matcher> matcherFor(const RunRequest &request, const QString &keyword);

/// The text that replaces the match of the request's search text at position
/// (length characters) of text: replacement with its line breaks written as
/// the replacement loop writes them and, for a regular expression, its groups
/// filled in, in the case of the match with "Keep case".
QString replacementAt(const RunRequest &request, const QString &replacement, QStringView text,
                      qsizetype position, qsizetype length);
