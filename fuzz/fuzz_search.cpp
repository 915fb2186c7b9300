// The text search, findInBuffer, findFuzzyInBuffer and the replacement loop against a
// plain reference: compare at every position, rebuild the text step by step.

#include "FuzzInput.h"
#include "support/FakeRunHost.h"

#include "engine/FuzzyMatcher.h"
#include "engine/MatchPrimitives.h"
#include "engine/PlainMatcher.h"
#include "engine/Replacer.h"
#include "engine/TextSearch.h"

namespace {

// Letters whose case mappings are unusual (dotless i, long s, final sigma,
// title-case DŽ, sharp s, letters outside the BMP), word and non-word
// characters. Line ends are left out: they follow a rule of their own.
constexpr char32_t kAlphabet[] = {U'a',   U'A',   U'b',   U'I',    U'i',    U's',
                                  U'S',   U' ',   U'_',   U'1',    U'.',    0x0131,
                                  0x017F, 0x03C2, 0x03A3, 0x03C3,  0x01C5,  0x01C4,
                                  0x00DF, 0x00E9, 0x00C9, 0x1F600, 0x10400, 0x10428};

// Texts as files give them: valid UTF-16 (no decoder lets a lone surrogate in).
QString readText(FuzzInput &in, int length, bool raw)
{
    QString text;
    for (int i = 0; i < length && in.left() > 0; ++i) {
        char32_t c = raw ? char32_t(in.byte() | (in.byte() << 8) | ((in.byte() & 1) << 16))
                         : kAlphabet[in.byte() % std::size(kAlphabet)];
        if (c == U'\r' || c == U'\n' || (c >= 0xD800 && c < 0xE000))
            c = U' ';
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

// Upper case of the character (one or two code units) at i.
char32_t upperAt(const QString &s, qsizetype i, qsizetype &units)
{
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::toUpper(QChar::surrogateToUcs4(s[i], s[i + 1]));
    }
    units = 1;
    return QChar::toUpper(char32_t(s[i].unicode()));
}

bool isWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Whether needle stands at pos, comparing whole characters.
bool sameAt(const QString &text, qsizetype pos, const QString &needle, bool matchCase)
{
    if (matchCase)
        return QStringView(text).sliced(pos, needle.size()) == needle;
    for (qsizetype k = 0; k < needle.size();) {
        qsizetype unitsN, unitsT;
        if (upperAt(needle, k, unitsN) != upperAt(text, pos + k, unitsT) || unitsN != unitsT)
            return false;
        k += unitsN;
    }
    return true;
}

qsizetype referenceIndexOf(const QString &text, const QString &needle, qsizetype from,
                           bool matchCase, bool wholeWord, QChar prev = QChar())
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos + needle.size() <= text.size(); ++pos) {
        if (!sameAt(text, pos, needle, matchCase))
            continue;
        if (wholeWord) {
            const QChar before = pos > 0 ? text[pos - 1] : prev;
            const qsizetype after = pos + needle.size();
            if ((!before.isNull() && isWord(before)) ||
                (after < text.size() && isWord(text[after])))
                continue;
        }
        return pos;
    }
    return -1;
}

struct Expected {
    QString text;
    int steps = 0;
    int changedSteps = 0;
};

// Whole words are told on the original text, as the search finds them.
Expected referenceReplaceNormal(const QString &text, const QString &find, const QString &with,
                                bool matchCase, bool wholeWord)
{
    Expected e;
    QString out;
    qsizetype consumed = 0;
    for (qsizetype pos = referenceIndexOf(text, find, 0, matchCase, wholeWord); pos >= 0;
         pos = referenceIndexOf(text, find, consumed, matchCase, wholeWord)) {
        out += text.mid(consumed, pos - consumed) + with;
        consumed = pos + find.size();
        ++e.steps;
        if (out + text.mid(consumed) != text)
            ++e.changedSteps;
    }
    e.text = out + text.mid(consumed);
    return e;
}

Expected referenceReplaceFuzzy(const QString &text, const QString &first, const QString &second,
                               const QString &with, bool matchCase, bool wholeWord)
{
    Expected e;
    e.text = text;
    qsizetype start = 0;
    for (;;) {
        const qsizetype f = referenceIndexOf(e.text, first, start, matchCase, wholeWord);
        if (f < 0)
            break;
        const qsizetype s = referenceIndexOf(e.text, second, f + first.size(), false, false);
        if (s < 0)
            break;
        e.text = e.text.left(f) + with + e.text.mid(s + second.size());
        start = f + with.size();
        ++e.steps;
        if (e.text != text)
            ++e.changedSteps;
    }
    return e;
}

// Built beside the text, and rewritten where it lies in a text of its own.
void checkReplacement(const QString &text, const Matcher &matcher, const QString &with,
                      const Expected &e)
{
    for (const bool shared : {true, false}) {
        QString copy = text;
        copy.detach();
        const QString keep = shared ? copy : QString();
        const ReplaceResult r = replaceAll(std::move(copy), matcher, with);
        if (r.text != e.text)
            fuzzFail("replacement differs", codeUnits(text) + QStringLiteral("-> ") +
                                                codeUnits(r.text) + QStringLiteral("expected ") +
                                                codeUnits(e.text));
        if (r.replacements != e.steps || r.changingReplacements != e.changedSteps)
            fuzzFail("replacement counts differ");
        if (r.changed != (r.text != text))
            fuzzFail("a text counts as changed exactly when it differs");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t flags = in.byte();
    const bool matchCase = flags & 1, wholeWord = flags & 2, fuzzy = flags & 4, raw = flags & 8;
    const int needleLength = in.byte() % 8 + 1;
    const int secondLength = in.byte() % 4 + 1;
    const int withLength = in.byte() % 7;
    const qsizetype from = in.byte() % 16;
    const QString needle = readText(in, needleLength, raw);
    const QString second = readText(in, secondLength, raw);
    const QString with = readText(in, withLength, raw);
    const QString before = (flags & 16) ? readText(in, 1, raw) : QString();
    const QChar prev = before.isEmpty() ? QChar() : before[0];
    const QString text = readText(in, int(in.left()), raw);

    const qsizetype at = TextSearch::indexOf(text, needle, from, matchCase, wholeWord, prev);
    if (at != referenceIndexOf(text, needle, from, matchCase, wholeWord, prev))
        fuzzFail("TextSearch::indexOf differs",
                 codeUnits(needle) + QStringLiteral("in ") + codeUnits(text));

    FakeRunHost h;
    h.request.caseSensitive = matchCase;
    h.request.wholeWord = wholeWord;
    h.viewer.document.setText(text);
    qint32 start = qint32(from);
    if (!fuzzy) {
        h.request.find = needle;
        const qsizetype expected = referenceIndexOf(text, needle, from, matchCase, wholeWord);
        if (findInBuffer(h.taken(), start) != expected)
            fuzzFail("findInBuffer differs");
        checkReplacement(text, PlainMatcher(needle, matchCase, wholeWord), with,
                         referenceReplaceNormal(text, needle, with, matchCase, wholeWord));
        return 0;
    }

    h.request.fuzzy = true;
    h.request.first = needle;
    h.request.second = second;
    qsizetype expected = referenceIndexOf(text, needle, from, matchCase, wholeWord);
    const qsizetype end =
        expected < 0 ? -1 : referenceIndexOf(text, second, expected + needle.size(), false, false);
    if (end < 0)
        expected = -1;
    const qint32 found = findFuzzyInBuffer(h.taken(), start);
    if (found != expected)
        fuzzFail("findFuzzyInBuffer differs");
    if (found >= 0 && (h.viewer.document.selectionStart() != found ||
                       h.viewer.document.selectionLength() != end + second.size() - found))
        fuzzFail("findFuzzyInBuffer selects the wrong text");
    checkReplacement(text, FuzzyMatcher(needle, second, matchCase, wholeWord), with,
                     referenceReplaceFuzzy(text, needle, second, with, matchCase, wholeWord));
    return 0;
}
