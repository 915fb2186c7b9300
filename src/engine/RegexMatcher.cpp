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

QString RegexMatcher::withLineEnds(const QString &pattern)
{
    QString out;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    bool quoted = false;  // inside \Q...\E
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        if (c == u'\r' || c == u'\n') {
            const qsizetype length = (c == u'\r' && i + 1 < n && pattern[i + 1] == u'\n') ? 2 : 1;
            if (inClass)
                out += QStringLiteral("\\r\\n");
            else if (quoted)
                out += QStringLiteral("\\E") + kAnyLineEnd + QStringLiteral("\\Q");
            else
                out += kAnyLineEnd;
            i += length - 1;
            continue;
        }
        if (quoted) {
            if (c == u'\\' && i + 1 < n && pattern[i + 1] == u'E') {
                quoted = false;
                out += QStringLiteral("\\E");
                ++i;
            } else {
                out += c;
            }
            continue;
        }
        if (c == u'\\' && i + 1 < n) {
            const QChar e = pattern[i + 1];
            if (e == u'Q' && !inClass) {
                quoted = true;
            } else if (e == u'n') {
                out += inClass ? QStringLiteral("\\n\\r") : kAnyLineEnd;
                ++i;
                continue;
            } else if (e == u'r' && !inClass && pattern.mid(i + 2, 2) == QLatin1String("\\n")) {
                out += kAnyLineEnd;
                i += 3;
                continue;
            }
            out += c;
            out += e;
            ++i;
            continue;
        }
        if (inClass) {
            if (c == u'[' && i + 1 < n && pattern[i + 1] == u':') {
                // A POSIX class such as [:alpha:] inside the class.
                const qsizetype end = pattern.indexOf(QLatin1String(":]"), i + 2);
                if (end > 0) {
                    out += QStringView(pattern).sliced(i, end + 2 - i);
                    i = end + 1;
                    continue;
                }
            }
            if (c == u']')
                inClass = false;
            out += c;
            continue;
        }
        if (c == u'[') {
            inClass = true;
            out += c;
            // A "]" first in the class (after a "^") is one of its characters.
            if (i + 1 < n && pattern[i + 1] == u'^') {
                out += pattern[++i];
            }
            if (i + 1 < n && pattern[i + 1] == u']')
                out += pattern[++i];
            continue;
        }
        out += c;
    }
    return out;
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
