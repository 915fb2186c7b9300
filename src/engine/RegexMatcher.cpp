#include "RegexMatcher.h"

#include "TextSearch.h"

#include <vector>

namespace {
const QString kAnyLineEnd = QStringLiteral("(?:\\r\\n|\\n|\\r)");

// The normal search's word characters (letters, digits and underscore, one
// UTF-16 unit at a time, so never a character beyond the BMP).
const QString kWordBefore = QStringLiteral("(?<!(?![\\x{10000}-\\x{10ffff}])[\\p{L}\\p{N}_])");
const QString kWordAfter = QStringLiteral("(?!(?![\\x{10000}-\\x{10ffff}])[\\p{L}\\p{N}_])");

// Whether a surrogate pair starts at i: one character, never split.
bool isHighThenLow(QStringView text, qsizetype i)
{
    return i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
}

// The settings PCRE2 takes only at the very start of a pattern, such as
// (*UCP) or (*LIMIT_MATCH=1000): they stay in front of what the search adds.
qsizetype leadingSettingsEnd(const QString &pattern)
{
    static const QStringList names = {QStringLiteral("UTF"),
                                      QStringLiteral("UCP"),
                                      QStringLiteral("NOTEMPTY"),
                                      QStringLiteral("NOTEMPTY_ATSTART"),
                                      QStringLiteral("NO_AUTO_POSSESS"),
                                      QStringLiteral("NO_DOTSTAR_ANCHOR"),
                                      QStringLiteral("NO_JIT"),
                                      QStringLiteral("NO_START_OPT"),
                                      QStringLiteral("CR"),
                                      QStringLiteral("LF"),
                                      QStringLiteral("CRLF"),
                                      QStringLiteral("ANYCRLF"),
                                      QStringLiteral("ANY"),
                                      QStringLiteral("NUL"),
                                      QStringLiteral("BSR_ANYCRLF"),
                                      QStringLiteral("BSR_UNICODE"),
                                      QStringLiteral("LIMIT_MATCH"),
                                      QStringLiteral("LIMIT_DEPTH"),
                                      QStringLiteral("LIMIT_HEAP"),
                                      QStringLiteral("LIMIT_RECURSION")};
    qsizetype end = 0;
    while (QStringView(pattern).sliced(end).startsWith(QLatin1String("(*"))) {
        const qsizetype close = pattern.indexOf(u')', end);
        if (close < 0)
            break;
        const QStringView setting = QStringView(pattern).sliced(end + 2, close - end - 2);
        const qsizetype equals = setting.indexOf(u'=');
        if (!names.contains(equals < 0 ? setting : setting.first(equals)))
            break;
        end = close + 1;
    }
    return end;
}
}  // namespace

namespace {
// Rewrites a pattern's line breaks, one character or escape at a time, keeping
// track of character classes, \Q...\E quoting, comments and extended mode
// ((?x), where a typed line break is layout and ends a # comment).
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
            if (m_comment)
                i = comment(i);
            else if (m_p[i] == u'\r' || m_p[i] == u'\n')
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
        // Whatever the search adds after the pattern must not be quoted or
        // commented out.
        if (m_quoted)
            m_out += QStringLiteral("\\E");
        if (m_comment)
            m_out += u'\n';
        return m_out;
    }

private:
    qsizetype lineBreakLength(qsizetype i) const
    {
        return m_p[i] == u'\r' && i + 1 < m_p.size() && m_p[i + 1] == u'\n' ? 2 : 1;
    }

    qsizetype comment(qsizetype i)
    {
        if (m_p[i] != u'\r' && m_p[i] != u'\n') {
            m_out += m_p[i];
            return i + 1;
        }
        m_comment = false;
        m_out += u'\n';
        return i + lineBreakLength(i);
    }

    qsizetype lineBreak(qsizetype i)
    {
        if (m_inClass)
            m_out += QStringLiteral("\\r\\n");
        else if (m_quoted)
            m_out += QStringLiteral("\\E") + kAnyLineEnd + QStringLiteral("\\Q");
        else if (m_extended)
            m_out += u'\n';  // white space, passed over like any other
        else
            m_out += kAnyLineEnd;
        return i + lineBreakLength(i);
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
        const QChar c = m_p[i];
        if (c == u'#' && m_extended) {
            m_comment = true;
        } else if (c == u'(') {
            return group(i);
        } else if (c == u')') {
            if (!m_groups.empty()) {
                m_extended = m_groups.back();
                m_groups.pop_back();
            }
        } else if (c == u'[') {
            return classStart(i);
        }
        m_out += c;
        return i + 1;
    }

    qsizetype classStart(qsizetype i)
    {
        m_out += m_p[i];
        m_inClass = true;
        ++i;
        // A "]" first in the class (after a "^") is one of its characters.
        if (i < m_p.size() && m_p[i] == u'^')
            m_out += m_p[i++];
        if (i < m_p.size() && m_p[i] == u']')
            m_out += m_p[i++];
        return i;
    }

    // Copies m_p from i up to and including the next ")" as it stands.
    qsizetype copyToClose(qsizetype i)
    {
        const qsizetype close = m_p.indexOf(u')', i);
        const qsizetype end = close < 0 ? m_p.size() : close + 1;
        m_out += QStringView(m_p).sliced(i, end - i);
        return end;
    }

    // An opening parenthesis: a comment (?#...), a verb such as (*MARK:x), an
    // option setting such as (?x) or (?-x:, or a group.
    qsizetype group(qsizetype i)
    {
        const QStringView rest = QStringView(m_p).sliced(i);
        if (rest.startsWith(QLatin1String("(?#")))
            return copyToClose(i);
        if (rest.startsWith(QLatin1String("(*")) && rest.size() > 2 && rest[2].isUpper())
            return copyToClose(i);
        m_groups.push_back(m_extended);
        if (!rest.startsWith(QLatin1String("(?"))) {
            m_out += u'(';
            return i + 1;
        }
        // Option letters, then ")" for the rest of the group or ":" for a group of their own.
        qsizetype end = 2;
        bool extended = m_extended;
        bool on = true;
        while (end < rest.size() &&
               (rest[end].isLetter() || rest[end] == u'-' || rest[end] == u'^')) {
            if (rest[end] == u'^')
                extended = false;
            else if (rest[end] == u'-')
                on = false;
            else if (rest[end] == u'x')
                extended = on;
            ++end;
        }
        if (end < rest.size() && rest[end] == u')') {
            m_groups.pop_back();
            m_extended = extended;
        } else if (end < rest.size() && rest[end] == u':') {
            m_extended = extended;
        } else {
            end = 2;  // another kind of group: "(?:", "(?=", "(?<name>", ...
        }
        m_out += rest.first(end);
        return i + end;
    }

    const QString &m_p;
    QString m_out;
    bool m_inClass = false;
    bool m_quoted = false;
    bool m_comment = false;      ///< in a # comment of extended mode
    bool m_extended = false;     ///< extended mode, where it stands
    std::vector<bool> m_groups;  ///< extended mode outside each open group
};
}  // namespace

QString RegexMatcher::withLineEnds(const QString &pattern)
{
    return LineEndRewriter(pattern).rewrite();
}

QString RegexMatcher::searchedPattern(const QString &pattern, bool wholeWord)
{
    const qsizetype settings = leadingSettingsEnd(pattern);
    QString searched = pattern.first(settings) + RegexRun::pausePoint();
    if (wholeWord)
        searched += kWordBefore;
    searched += QStringLiteral("(?:") + withLineEnds(pattern.sliced(settings)) + u')';
    if (wholeWord)
        searched += kWordAfter;
    return searched;
}

RegexMatcher::RegexMatcher(const QString &pattern, bool matchCase, bool wholeWord)
    : m_wholeWord(wholeWord), m_mayPause(!pattern.contains(QLatin1String("\\G")))
{
    if (auto program = RegexProgram::compile(searchedPattern(pattern, wholeWord), matchCase))
        m_run = std::make_unique<RegexRun>(std::move(program));
}

QStringView RegexMatcher::subjectOf(QStringView text) const
{
    if (text.data() != m_textData || text.size() != m_textSize) {
        m_textData = text.data();
        m_textSize = text.size();
        m_lastEmptyAt = -1;
        m_lastMatch = {};
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

RegexRun::Outcome RegexMatcher::matchFrom(QStringView subject, qsizetype from,
                                          bool notEmptyAtStart) const
{
    const std::function<bool()> &interrupted = interruption();
    m_run->setPausing(m_mayPause && interrupted);
    for (;;) {
        const RegexRun::Outcome outcome = m_run->match(subject, from, notEmptyAtStart);
        if (outcome == RegexRun::Outcome::GaveUp)
            throw SearchGaveUp(m_run->error());
        if (outcome != RegexRun::Outcome::Paused)
            return outcome;
        if (interrupted())
            throw SearchStopped();
        // Taken up where it was set aside; the refusal held only at from.
        from = m_run->pausedAt();
        notEmptyAtStart = false;
    }
}

TextMatch RegexMatcher::find(QStringView text, qsizetype from, QChar before) const
{
    Q_UNUSED(before);  // matches are always found in the original text
    if (!m_run || from < 0 || from > text.size())
        return {};
    const QStringView subject = subjectOf(text);
    m_lastMatch = {};
    bool notEmptyAtStart = from == m_lastEmptyAt;
    for (;;) {
        if (matchFrom(subject, from, notEmptyAtStart) == RegexRun::Outcome::NoMatch)
            return {};
        const auto [position, length] = m_run->group(0);
        const qsizetype end = position + length;
        // The word rule is part of the pattern; (*ACCEPT) or \K can still end
        // a match beside a word character, and such a match is not taken.
        const bool whole =
            !m_wholeWord || ((position == 0 || !TextSearch::isWordChar(text[position - 1])) &&
                             (end == text.size() || !TextSearch::isWordChar(text[end])));
        const bool refusedEmpty = notEmptyAtStart && length == 0 && position == from;
        if (whole && !refusedEmpty) {
            m_lastEmptyAt = length == 0 ? position : -1;
            m_lastMatch = {position, length};
            return m_lastMatch;
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
    if (!m_run)
        return replacement;
    // The viewer replaces a match it found earlier: found again where it lies.
    const QStringView subject = subjectOf(text);
    if (m_lastMatch.position != match.position || m_lastMatch.length != match.length) {
        m_lastMatch = {};
        const RegexRun::Outcome outcome = m_run->match(subject, match.position, false, true);
        if (outcome == RegexRun::Outcome::GaveUp)
            throw SearchGaveUp(m_run->error());
        if (outcome != RegexRun::Outcome::Match ||
            m_run->group(0) != std::pair(match.position, match.length))
            return replacement;
        m_lastMatch = match;
    }
    return m_replacement->second.expand(*m_run, text, lineEnd);
}
