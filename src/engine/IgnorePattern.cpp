#include "IgnorePattern.h"

#include <cctype>
#include <cstring>

namespace {

enum class Outcome { Match, NoMatch, AbortAll, AbortToDoubleStar };

// Bytes past either end read as 0, the way the rule is defined on C strings.
struct Wildcard {
    QByteArrayView pattern;
    QByteArrayView text;
    bool pathAware;
    /// Letter case ignored (core.ignorecase): the text's letters and the
    /// pattern's plain ones are compared in lower case; an escaped letter or
    /// one in brackets stands as written, and a range also takes the upper
    /// case of a lower-case letter.
    bool foldCase = false;

    unsigned char folded(unsigned char c) const
    {
        return foldCase && std::isupper(c) ? static_cast<unsigned char>(std::tolower(c)) : c;
    }

    unsigned char p(qsizetype i) const
    {
        return i < pattern.size() ? static_cast<unsigned char>(pattern[i]) : 0;
    }
    unsigned char t(qsizetype i) const
    {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    }

    bool inClass(QByteArrayView name, unsigned char c, bool &known) const
    {
        known = true;
        if (name == "alnum")
            return std::isalnum(c);
        if (name == "alpha")
            return std::isalpha(c);
        if (name == "blank")
            return c == ' ' || c == '\t';
        if (name == "cntrl")
            return std::iscntrl(c);
        if (name == "digit")
            return std::isdigit(c);
        if (name == "graph")
            return std::isgraph(c);
        if (name == "lower")
            return std::islower(c);
        if (name == "print")
            return std::isprint(c);
        if (name == "punct")
            return std::ispunct(c);
        if (name == "space")
            return std::isspace(c);
        if (name == "upper")
            return std::isupper(c) || (foldCase && std::islower(c));
        if (name == "xdigit")
            return std::isxdigit(c);
        known = false;
        return false;
    }

    // A bracket expression at pattern[pi] == '['; on return pi is on its "]".
    Outcome bracket(qsizetype &pi, unsigned char tc) const
    {
        unsigned char pc = p(++pi);
        if (pc == '^')
            pc = '!';
        const bool negated = pc == '!';
        if (negated)
            pc = p(++pi);
        unsigned char previous = 0;
        bool matched = false;
        do {
            if (!pc || !bracketMember(pi, pc, previous, tc, matched))
                return Outcome::AbortAll;
            previous = pc;
            pc = p(++pi);
        } while (pc != ']');
        if (matched == negated || (pathAware && tc == '/'))
            return Outcome::NoMatch;
        return Outcome::Match;
    }

    // One member of a bracket expression at pattern[pi] == pc: a character, an
    // escaped one, a range or a "[:class:]". Sets matched when tc is in it and
    // leaves pi on the member's last character; pc becomes 0 after a range or a
    // class, which no "-" may continue. False for a malformed member.
    bool bracketMember(qsizetype &pi, unsigned char &pc, unsigned char previous, unsigned char tc,
                       bool &matched) const
    {
        if (pc == '\\') {
            pc = p(++pi);
            matched |= pc && tc == pc;
            return pc != 0;
        }
        if (pc == '-' && previous && p(pi + 1) && p(pi + 1) != ']') {
            pc = p(++pi);
            if (pc == '\\' && !(pc = p(++pi)))
                return false;
            matched |= tc <= pc && tc >= previous;
            if (foldCase && std::islower(tc)) {
                const int upper = std::toupper(tc);
                matched |= upper <= pc && upper >= previous;
            }
            pc = 0;
            return true;
        }
        if (pc == '[' && p(pi + 1) == ':')
            return characterClass(pi, pc, tc, matched);
        matched |= tc == pc;
        return true;
    }

    // A "[:name:]" at pattern[pi] == '['; without its closing ":]" the "[" is
    // an ordinary member.
    bool characterClass(qsizetype &pi, unsigned char &pc, unsigned char tc, bool &matched) const
    {
        const qsizetype start = pi + 2;
        qsizetype end = start;
        while (p(end) && p(end) != ']') ++end;
        if (!p(end))
            return false;
        if (end - start < 1 || p(end - 1) != ':') {
            matched |= tc == '[';
            return true;
        }
        bool known = false;
        matched |= inClass(pattern.sliced(start, end - 1 - start), tc, known);
        pi = end;
        pc = 0;
        return known;
    }

    // A "*" or "**" at pattern[pi] against text from ti. Sets resume, with pi
    // and ti on a slash in both, when matching goes on after it; otherwise
    // the outcome is final.
    Outcome star(qsizetype &pi, qsizetype &ti, bool &resume) const
    {
        bool crossesSlashes = !pathAware;
        if (p(++pi) == '*') {
            const qsizetype before = pi - 2;
            while (p(++pi) == '*') {
            }
            const bool boundedBefore = before < 0 || p(before) == '/';
            const bool boundedAfter = !p(pi) || p(pi) == '/' || (p(pi) == '\\' && p(pi + 1) == '/');
            if (pathAware && boundedBefore && boundedAfter) {
                // "a/**/b" also takes "a/b": try "**/" as nothing first.
                if (p(pi) == '/' && match(pi + 1, ti) == Outcome::Match)
                    return Outcome::Match;
                crossesSlashes = true;
            }
        }
        if (!p(pi)) {
            if (!crossesSlashes && text.sliced(ti).contains('/'))
                return Outcome::AbortToDoubleStar;
            return Outcome::Match;
        }
        if (!crossesSlashes && p(pi) == '/') {
            const qsizetype slash = text.indexOf('/', ti);
            if (slash < 0)
                return Outcome::AbortAll;
            ti = slash;
            resume = true;  // the loop steps over the slash in both
            return Outcome::Match;
        }
        for (; t(ti); ++ti) {
            const Outcome o = match(pi, ti);
            if (o != Outcome::NoMatch) {
                if (!crossesSlashes || o != Outcome::AbortToDoubleStar)
                    return o;
            } else if (!crossesSlashes && t(ti) == '/') {
                return Outcome::AbortToDoubleStar;
            }
        }
        return Outcome::AbortAll;
    }

    Outcome match(qsizetype pi, qsizetype ti) const
    {
        for (; pi < pattern.size(); ++pi, ++ti) {
            unsigned char pc = folded(p(pi));
            const unsigned char tc = folded(t(ti));
            if (!tc && pc != '*')
                return Outcome::AbortAll;
            switch (pc) {
            case '\\':
                pc = p(++pi);
                if (tc != pc)
                    return Outcome::NoMatch;
                break;
            case '?':
                if (pathAware && tc == '/')
                    return Outcome::NoMatch;
                break;
            case '[': {
                const Outcome o = bracket(pi, tc);
                if (o != Outcome::Match)
                    return o;
                break;
            }
            case '*': {
                bool resume = false;
                const Outcome o = star(pi, ti, resume);
                if (!resume)
                    return o;
                break;
            }
            default:
                if (tc != pc)
                    return Outcome::NoMatch;
                break;
            }
        }
        return ti < text.size() ? Outcome::NoMatch : Outcome::Match;
    }
};

// Whether pattern[i] is a slash right after "**", which takes nothing when
// "**/" stands for no folder at all.
bool startsAfterDoubleStar(QByteArrayView pattern, qsizetype i)
{
    return i >= 2 && i < pattern.size() && pattern[i] == '/' && pattern[i - 1] == '*' &&
           pattern[i - 2] == '*';
}

// The longest run of pattern bytes that every name taken holds as it stands
// (a pattern without escapes and brackets). The slash after "**" is left out:
// "a/**/b" also takes "a/b".
QByteArray longestLiteralRun(QByteArrayView pattern)
{
    QByteArrayView longest;
    for (qsizetype i = 0; i < pattern.size();) {
        if (pattern[i] == '*' || pattern[i] == '?') {
            ++i;
            continue;
        }
        const qsizetype start = startsAfterDoubleStar(pattern, i) ? i + 1 : i;
        while (i < pattern.size() && pattern[i] != '*' && pattern[i] != '?') ++i;
        if (i - start > longest.size())
            longest = pattern.sliced(start, i - start);
    }
    return longest.toByteArray();
}

// Trailing blanks go unless the last one is escaped; the escape stays and
// matches the blank.
QByteArrayView withoutTrailingBlanks(QByteArrayView line)
{
    qsizetype lastBlank = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == ' ') {
            if (lastBlank < 0)
                lastBlank = i;
        } else if (line[i] == '\\') {
            if (++i == line.size())
                return line;
            lastBlank = -1;
        } else {
            lastBlank = -1;
        }
    }
    return lastBlank < 0 ? line : line.first(lastBlank);
}

}  // namespace

bool IgnorePattern::wildcardMatch(QByteArrayView pattern, QByteArrayView text, bool pathAware,
                                  bool foldCase)
{
    return Wildcard{pattern, text, pathAware, foldCase}.match(0, 0) == Outcome::Match;
}

IgnorePattern IgnorePattern::fromLine(QByteArrayView line)
{
    IgnorePattern result;
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line = line.first(nul);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty() || line.startsWith('#'))
        return result;
    line = withoutTrailingBlanks(line);
    if (line.startsWith('!')) {
        result.m_negative = true;
        line = line.sliced(1);
    }
    if (line.endsWith('/')) {
        result.m_foldersOnly = true;
        line.chop(1);
    }
    if (line.isEmpty())
        return result;
    result.m_basenameOnly = !line.contains('/');
    // An anchoring slash at the start says "this folder", not a name.
    if (line.startsWith('/'))
        line = line.sliced(1);
    result.m_pattern = line.toByteArray();
    result.m_valid = true;
    // The literal tail after the last wildcard must end every name taken, so
    // most names are told apart without matching ("*.o" against "main.c").
    // An escape anywhere leaves the pattern without one.
    if (!line.contains('\\')) {
        qsizetype tail = line.size();
        while (tail > 0 && !std::strchr("*?[]", line[tail - 1])) --tail;
        if (startsAfterDoubleStar(line, tail))
            ++tail;
        result.m_literalTail = line.sliced(tail).toByteArray();
        if (!line.contains('['))
            result.m_literalRun = longestLiteralRun(line);
    }
    return result;
}

QList<IgnorePattern> IgnorePattern::fromFile(QByteArrayView content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content = content.sliced(3);
    QList<IgnorePattern> patterns;
    while (!content.isEmpty()) {
        const qsizetype end = content.indexOf('\n');
        const IgnorePattern pattern = fromLine(end < 0 ? content : content.first(end));
        if (pattern.isValid())
            patterns << pattern;
        content = end < 0 ? QByteArrayView() : content.sliced(end + 1);
    }
    return patterns;
}

bool IgnorePattern::matches(QByteArrayView relativePath, QByteArrayView basename, bool isFolder,
                            bool ignoreCase) const
{
    if (!m_valid || (m_foldersOnly && !isFolder))
        return false;
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QByteArrayView taken = m_basenameOnly ? basename : relativePath;
    const qsizetype tail = m_literalTail.size();
    if (taken.size() < tail || taken.last(tail).compare(m_literalTail, cs) != 0 ||
        (!ignoreCase && !taken.contains(m_literalRun)))
        return false;
    if (m_basenameOnly)
        return wildcardMatch(m_pattern, basename, false, ignoreCase);
    // The part before the first wildcard is compared as text and the rest
    // matched on its own, so "a**/b" works as "a" then "**/b", as in git.
    qsizetype literal = 0;
    while (literal < m_pattern.size() && !std::strchr("*?[\\", m_pattern[literal])) ++literal;
    if (literal > relativePath.size() ||
        relativePath.first(literal).compare(QByteArrayView(m_pattern).first(literal), cs) != 0)
        return false;
    if (literal == m_pattern.size())
        return literal == relativePath.size();
    return wildcardMatch(QByteArrayView(m_pattern).sliced(literal), relativePath.sliced(literal),
                         true, ignoreCase);
}
