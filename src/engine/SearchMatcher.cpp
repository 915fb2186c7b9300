#include "SearchMatcher.h"

#include "FuzzyMatcher.h"
#include "KeepCaseMatcher.h"
#include "Matcher.h"
#include "PlainMatcher.h"
#include "RegexMatcher.h"
#include "ReplacementText.h"
#include "RunRequest.h"

namespace {
std::unique_ptr<Matcher> searchFor(const RunRequest &request, const QString &keyword)
{
    const bool matchCase = request.isCaseSensitive();
    const bool wholeWord = request.isWholeWord();
    if (request.isFuzzy()) {
        return std::make_unique<FuzzyMatcher>(request.firstPart(), request.secondPart(), matchCase,
                                              wholeWord);
    }
    if (request.isRegex())
        return std::make_unique<RegexMatcher>(keyword, matchCase, wholeWord);
    return std::make_unique<PlainMatcher>(keyword, matchCase, wholeWord);
}
}  // namespace

std::unique_ptr<Matcher> matcherFor(const RunRequest &request, const QString &keyword)
{
    std::unique_ptr<Matcher> search = searchFor(request, keyword);
    if (request.keepsCase())
        return std::make_unique<KeepCaseMatcher>(std::move(search));
    return search;
}

QString replacementAt(const RunRequest &request, const QString &replacement, QStringView text,
                      qsizetype position, qsizetype length)
{
    ReplacementText written(replacement, text);
    const QStringView matched = text.sliced(position, length);
    if ((!request.isRegex() || request.isFuzzy()) && !request.keepsCase())
        return written.forMatch(matched);
    try {
        return matcherFor(request, request.findText())
            ->replacementFor(replacement, text, {position, length}, written.lineEndFor(matched));
    } catch (const SearchGaveUp &) {
        // The match was found within the engine's limits a moment ago; should
        // finding it again fail, the text stays as it is.
        return matched.toString();
    }
}
