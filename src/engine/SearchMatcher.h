#pragma once

#include <QString>

#include <memory>

class Matcher;
class SearchRequest;

/// The matcher of the request's search type: the fuzzy parts, or keyword as
/// the normal search text (a regular expression when the request says so); with the request's case
/// and whole-word rules.
std::unique_ptr<Matcher> matcherFor(const SearchRequest &request, const QString &keyword);
