#include "RegexLiteral.h"

namespace {

// Escapes without an argument that match something other than their letter.
const QString kSimpleEscapes = QStringLiteral("dDwWsShHvVRbBAzZGKXntrfea");

// The group openings whose insides may be passed over: anything else, such
// as "(?i)" or "(*UCP)", may change how the rest of the pattern matches.
bool isPlainGroupStart(QStringView rest)
{
    if (!rest.startsWith(u'('))
        return false;
    if (rest.size() < 2 || (rest[1] != u'?' && rest[1] != u'*'))
        return true;
    if (rest[1] == u'*')
        return false;
    for (const char *opening : {"(?:", "(?=", "(?!", "(?<=", "(?<!", "(?>", "(?|", "(?P<", "(?'"}) {
        if (rest.startsWith(QLatin1String(opening)))
            return true;
    }
    // A named group "(?<name>".
    return rest.startsWith(QLatin1String("(?<")) && rest.size() > 3 && rest[3].isLetter();
}

class Reader {
public:
    explicit Reader(const QString &pattern) : m_p(pattern) {}

    // Returns false when the pattern is beyond this reading.
    bool read()
    {
        qsizetype i = 0;
        while (i < m_p.size()) {
            QChar literal;
            const Atom atom = readAtom(i, literal);
            if (atom == Atom::Unclear)
                return false;
            const Quantifier q = quantifierAt(i);
            if (q.kind == Quantifier::Unclear)
                return false;
            i = q.end;
            add(atom == Atom::Literal, literal, q.kind);
        }
        breakRun();
        return true;
    }

    QString longest() const { return m_longest; }

private:
    enum class Atom { Literal, Other, Unclear };

    // Reads the atom at i and moves i past it.
    Atom readAtom(qsizetype &i, QChar &literal) const
    {
        const QChar c = m_p[i];
        if (c == u'|' || c == u')')
            return Atom::Unclear;
        if (c == u'(' || c == u'[') {
            const qsizetype end = c == u'(' ? groupEnd(i) : classEnd(i);
            if (end < 0)
                return Atom::Unclear;
            i = end;
            return Atom::Other;
        }
        if (c == u'\\')
            return readEscape(i, literal);
        ++i;
        if (c == u'*' || c == u'+' || c == u'?' || c == u'{')
            return Atom::Unclear;  // a quantifier where none is expected
        // The dot and the anchors match other characters, or none.
        const bool other = c == u'.' || c == u'^' || c == u'$' || c == u'\r' || c == u'\n';
        if (other || c.unicode() >= 0x80)
            return Atom::Other;
        literal = c;
        return Atom::Literal;
    }

    Atom readEscape(qsizetype &i, QChar &literal) const
    {
        if (i + 1 == m_p.size())
            return Atom::Unclear;
        const QChar e = m_p[i + 1];
        i += 2;
        if (e.unicode() >= 0x80)
            return Atom::Unclear;
        if (e.isLetterOrNumber())
            return kSimpleEscapes.contains(e) ? Atom::Other : Atom::Unclear;
        literal = e;
        return Atom::Literal;
    }

    struct Quantifier {
        enum Kind { None, Optional, AtLeastOnce, Unclear } kind = None;
        qsizetype end = 0;
    };

    Quantifier quantifierAt(qsizetype i) const
    {
        const qsizetype n = m_p.size();
        Quantifier q{Quantifier::None, i};
        if (i >= n)
            return q;
        const QChar c = m_p[i];
        if (c == u'?' || c == u'*') {
            q = {Quantifier::Optional, i + 1};
        } else if (c == u'+') {
            q = {Quantifier::AtLeastOnce, i + 1};
        } else if (c == u'{') {
            qsizetype j = i + 1;
            while (j < n && m_p[j].isDigit()) ++j;
            if (j == i + 1 || j == n)
                return {Quantifier::Unclear, i};
            const int low = m_p.sliced(i + 1, j - i - 1).toInt();
            if (m_p[j] == u',') {
                ++j;
                while (j < n && m_p[j].isDigit()) ++j;
            }
            if (j == n || m_p[j] != u'}')
                return {Quantifier::Unclear, i};
            q = {low == 0 ? Quantifier::Optional : Quantifier::AtLeastOnce, j + 1};
        } else {
            return q;
        }
        // Lazy or possessive forms.
        if (q.end < n && (m_p[q.end] == u'?' || m_p[q.end] == u'+'))
            ++q.end;
        return q;
    }

    // The position after the class starting at i, or -1.
    qsizetype classEnd(qsizetype i) const
    {
        const qsizetype n = m_p.size();
        ++i;
        if (i < n && m_p[i] == u'^')
            ++i;
        if (i < n && m_p[i] == u']')
            ++i;
        while (i < n) {
            const QChar c = m_p[i];
            if (c == u'\\') {
                i += 2;
            } else if (c == u'[' && i + 1 < n && m_p[i + 1] == u':') {
                const qsizetype end = m_p.indexOf(QLatin1String(":]"), i + 2);
                if (end < 0)
                    return -1;
                i = end + 2;
            } else if (c == u']') {
                return i + 1;
            } else {
                ++i;
            }
        }
        return -1;
    }

    // The position after the group starting at i, or -1.
    qsizetype groupEnd(qsizetype i) const
    {
        const qsizetype n = m_p.size();
        int depth = 0;
        while (i < n) {
            const QChar c = m_p[i];
            if (c == u'\\') {
                if (i + 1 < n && m_p[i + 1] == u'Q')
                    return -1;
                i += 2;
                continue;
            }
            if (c == u'[') {
                i = classEnd(i);
                if (i < 0)
                    return -1;
                continue;
            }
            if (c == u'(') {
                if (!isPlainGroupStart(QStringView(m_p).sliced(i)))
                    return -1;
                ++depth;
            } else if (c == u')' && --depth == 0) {
                return i + 1;
            }
            ++i;
        }
        return -1;
    }

    void add(bool isLiteral, QChar literal, Quantifier::Kind kind)
    {
        if (!isLiteral || kind == Quantifier::Optional) {
            breakRun();
            return;
        }
        m_run += literal;
        if (kind == Quantifier::AtLeastOnce) {
            // The first ends the run so far, the last starts the next.
            breakRun();
            m_run += literal;
        }
    }

    void breakRun()
    {
        if (m_run.size() > m_longest.size())
            m_longest = m_run;
        m_run.clear();
    }

    const QString &m_p;
    QString m_run;
    QString m_longest;
};

}  // namespace

QString RegexLiteral::required(const QString &pattern)
{
    Reader reader(pattern);
    return reader.read() ? reader.longest() : QString();
}
