#include "FuzzyMatcher.h"

#include "TextSearch.h"

FuzzyMatcher::FuzzyMatcher(const QString &firstPart, const QString &secondPart, bool matchCase,
                           bool wholeWord)
    : m_first(firstPart), m_second(secondPart), m_matchCase(matchCase), m_wholeWord(wholeWord)
{
}

TextMatch FuzzyMatcher::find(QStringView text, qsizetype from, QChar before) const
{
    const TextSearch::Match first =
        TextSearch::find(text, m_first, from, m_matchCase, m_wholeWord, before);
    if (first.position < 0)
        return {};
    // Match lengths come from the search: a line break may match CR LF.
    const TextSearch::Match second =
        TextSearch::find(text, m_second, first.position + first.length, false, false, before);
    if (second.position < 0)
        return {};
    return {first.position, second.position + second.length - first.position};
}
