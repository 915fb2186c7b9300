#include "RegexMatcher.h"

#include "TextSearch.h"

#include <QMutex>

namespace {
const QString kAnyLineEnd = QStringLiteral("(?:\\r\\n|\\n|\\r)");

QRegularExpression::PatternOptions optionsFor(bool matchCase)
{
    QRegularExpression::PatternOptions options = QRegularExpression::MultilineOption;
    if (!matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    return options;
}

// A search compiles its pattern once for every file: the last compiled
// expression is kept (QRegularExpression shares its compiled code between copies).
QRegularExpression compiled(const QString &pattern, QRegularExpression::PatternOptions options)
{
    static QMutex mutex;
    static QRegularExpression last;
    const QMutexLocker lock(&mutex);
    if (last.pattern() != pattern || last.patternOptions() != options) {
        last = QRegularExpression(pattern, options);
        last.optimize();
    }
    return last;
}

// Whether a surrogate pair starts at i: one character, never split.
bool isHighThenLow(QStringView text, qsizetype i)
{
    return i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
}
}  // namespace

namespace {
// Rewrites a pattern's line breaks, one character or escape at a time, keeping
// track of character classes and \Q...\E quoting.
class LineEndRewriter {
public:
    explicit LineEndRewriter(const QString &pattern) : m_p(pattern)
    {
        m_out.reserve(pattern.size() + 16);
    }

    QString rewrite()
    {
        qsizetype i = 0;
        while (i < m_p.size()) {
            if (m_p[i] == u'\r' || m_p[i] == u'\n')
                i = lineBreak(i);
            else if (m_quoted)
                i = quoted(i);
            else if (m_p[i] == u'\\' && i + 1 < m_p.size())
                i = escape(i);
            else if (m_inClass)
                i = inClass(i);
            else
                i = outside(i);
        }
        return m_out;
    }

private:
    qsizetype lineBreak(qsizetype i)
    {
        const bool crlf = m_p[i] == u'\r' && i + 1 < m_p.size() && m_p[i + 1] == u'\n';
        if (m_inClass)
            m_out += QStringLiteral("\\r\\n");
        else if (m_quoted)
            m_out += QStringLiteral("\\E") + kAnyLineEnd + QStringLiteral("\\Q");
        else
            m_out += kAnyLineEnd;
        return i + (crlf ? 2 : 1);
    }

    qsizetype quoted(qsizetype i)
    {
        if (QStringView(m_p).sliced(i).startsWith(QLatin1String("\\E"))) {
            m_quoted = false;
            m_out += QStringLiteral("\\E");
            return i + 2;
        }
        m_out += m_p[i];
        return i + 1;
    }

    qsizetype escape(qsizetype i)
    {
        const QChar e = m_p[i + 1];
        if (e == u'n') {
            // In a class both line-end characters, so [^\n] stops at CR too.
            m_out += m_inClass ? QStringLiteral("\\n\\r") : kAnyLineEnd;
            return i + 2;
        }
        if (e == u'r' && !m_inClass && QStringView(m_p).sliced(i + 2).startsWith(u"\\n")) {
            m_out += kAnyLineEnd;
            return i + 4;
        }
        if (e == u'Q' && !m_inClass)
            m_quoted = true;
        m_out += m_p[i];
        m_out += e;
        return i + 2;
    }

    qsizetype inClass(qsizetype i)
    {
        // A POSIX class such as [:alpha:] inside the class.
        if (m_p[i] == u'[' && i + 1 < m_p.size() && m_p[i + 1] == u':') {
            const qsizetype end = m_p.indexOf(QLatin1String(":]"), i + 2);
            if (end > 0) {
                m_out += QStringView(m_p).sliced(i, end + 2 - i);
                return end + 2;
            }
        }
        if (m_p[i] == u']')
            m_inClass = false;
        m_out += m_p[i];
        return i + 1;
    }

    qsizetype outside(qsizetype i)
    {
        m_out += m_p[i];
        if (m_p[i] != u'[')
            return i + 1;
        m_inClass = true;
        ++i;
        // A "]" first in the class (after a "^") is one of its characters.
        if (i < m_p.size() && m_p[i] == u'^')
            m_out += m_p[i++];
        if (i < m_p.size() && m_p[i] == u']')
            m_out += m_p[i++];
        return i;
    }

    const QString &m_p;
    QString m_out;
    bool m_inClass = false;
    bool m_quoted = false;
};
}  // namespace

QString RegexMatcher::withLineEnds(const QString &pattern)
{
    return LineEndRewriter(pattern).rewrite();
}

QRegularExpression RegexMatcher::asWritten(const QString &pattern, bool matchCase)
{
    return QRegularExpression(pattern, optionsFor(matchCase));
}

RegexMatcher::RegexMatcher(const QString &pattern, bool matchCase, bool wholeWord)
    : m_wholeWord(wholeWord)
{
    const QString inner = QStringLiteral("(?:") + withLineEnds(pattern) + QStringLiteral(")");
    // (*ANYCRLF): CR LF, LF and CR are each one line end for ^, $ and the dot.
    m_expression = compiled(QStringLiteral("(*ANYCRLF)") + inner, optionsFor(matchCase));
    // No empty match where the search starts: what perl does after an empty match.
    m_nonEmptyAtStart = QRegularExpression(
        QStringLiteral("(*ANYCRLF)") + inner + QStringLiteral("(?<!\\G)"), optionsFor(matchCase));
}

QStringView RegexMatcher::subjectOf(QStringView text) const
{
    if (text.data() != m_textData || text.size() != m_textSize) {
        m_textData = text.data();
        m_textSize = text.size();
        m_lastEmptyAt = -1;
        m_cleanCopy.clear();
        // Bytes the text keeps as lone surrogates are not UTF-16 to PCRE2: it
        // searches a copy with U+FFFD in their place, of the same length.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text[i].isSurrogate())
                continue;
            if (isHighThenLow(text, i)) {
                ++i;
                continue;
            }
            if (m_cleanCopy.isNull())
                m_cleanCopy = text.toString();
            m_cleanCopy[i] = QChar::ReplacementCharacter;
        }
    }
    return m_cleanCopy.isNull() ? text : QStringView(m_cleanCopy);
}

QRegularExpressionMatch RegexMatcher::matchAt(QStringView subject, qsizetype from,
                                              bool notEmptyAtStart) const
{
    const QRegularExpression &expression = notEmptyAtStart ? m_nonEmptyAtStart : m_expression;
    return expression.match(subject, from, QRegularExpression::NormalMatch,
                            QRegularExpression::DontCheckSubjectStringMatchOption);
}

TextMatch RegexMatcher::find(QStringView text, qsizetype from, QChar before) const
{
    Q_UNUSED(before);  // matches are always found in the original text
    if (!m_expression.isValid() || from < 0 || from > text.size())
        return {};
    const QStringView subject = subjectOf(text);
    bool notEmptyAtStart = from == m_lastEmptyAt;
    for (;;) {
        QRegularExpressionMatch match = matchAt(subject, from, notEmptyAtStart);
        if (!match.hasMatch())
            return {};
        const qsizetype position = match.capturedStart();
        const qsizetype length = match.capturedLength();
        const qsizetype end = position + length;
        const bool whole =
            !m_wholeWord || ((position == 0 || !TextSearch::isWordChar(text[position - 1])) &&
                             (end == text.size() || !TextSearch::isWordChar(text[end])));
        if (whole) {
            m_lastEmptyAt = length == 0 ? position : -1;
            m_lastMatch = std::move(match);
            return {position, length};
        }
        if (position >= text.size())
            return {};
        from = position + (isHighThenLow(text, position) ? 2 : 1);
        notEmptyAtStart = false;
    }
}

QString RegexMatcher::replacementFor(const QString &replacement, QStringView text, TextMatch match,
                                     QStringView lineEnd) const
{
    if (!m_replacement || m_replacement->first != replacement)
        m_replacement.emplace(replacement, RegexReplacement(replacement));
    // The viewer replaces a match it found earlier: found again where it lies.
    if (!m_lastMatch.hasMatch() || m_lastMatch.capturedStart() != match.position ||
        m_lastMatch.capturedLength() != match.length || text.data() != m_textData ||
        text.size() != m_textSize) {
        m_lastMatch =
            m_expression.match(subjectOf(text), match.position, QRegularExpression::NormalMatch,
                               QRegularExpression::AnchorAtOffsetMatchOption |
                                   QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!m_lastMatch.hasMatch())
            return replacement;
    }
    return m_replacement->second.expand(m_lastMatch, text, lineEnd);
}
