#include "PlainMatcher.h"

#include "LineEnds.h"
#include "TextSearch.h"

PlainMatcher::PlainMatcher(const QString &needle, bool matchCase, bool wholeWord)
    : m_needle(needle), m_matchCase(matchCase), m_wholeWord(wholeWord)
{
}

TextMatch PlainMatcher::find(QStringView text, qsizetype from, QChar before) const
{
    const TextSearch::Match match =
        TextSearch::find(text, m_needle, from, m_matchCase, m_wholeWord, before);
    return {match.position, match.length};
}

qsizetype PlainMatcher::fixedLength() const
{
    // A line break may match CR LF, LF or CR.
    return LineEnds::hasLineBreak(m_needle) ? -1 : m_needle.size();
}
