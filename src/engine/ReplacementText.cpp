#include "ReplacementText.h"

#include "LineEnds.h"

ReplacementText::ReplacementText(const QString &replacement, QStringView fileText)
    : m_replacement(replacement),
      m_fileText(fileText),
      m_hasLineBreak(LineEnds::hasLineBreak(replacement))
{
}

const QString &ReplacementText::forMatch(QStringView matched)
{
    if (!m_hasLineBreak)
        return m_replacement;
    return written(lineEndFor(matched));
}

QString ReplacementText::lineEndFor(QStringView matched)
{
    QString lineEnd = LineEnds::firstIn(matched);
    if (!lineEnd.isEmpty())
        return lineEnd;
    if (m_fileLineEnd.isEmpty())
        m_fileLineEnd = LineEnds::mostCommonIn(m_fileText);
    return m_fileLineEnd;
}

const QString &ReplacementText::written(const QString &lineEnd)
{
    if (m_written.isNull() || lineEnd != m_lineEnd) {
        m_lineEnd = lineEnd;
        m_written = LineEnds::withLineEnd(m_replacement, lineEnd);
    }
    return m_written;
}
