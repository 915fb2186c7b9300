// The text search, Find_Normal, Find_Fuzzy and the replacement loop against a
// plain reference: compare at every position, rebuild the text step by step.

#include "FuzzInput.h"
#include "support/FakeRunHost.h"

#include "engine/MatchPrimitives.h"
#include "engine/ReplaceRun.h"
#include "engine/TextSearch.h"

namespace {

// Letters whose case mappings are unusual (dotless i, long s, final sigma,
// title-case DŽ, sharp s), word and non-word characters, and the halves of a
// surrogate pair. Line ends are left out: they follow a rule of their own.
constexpr char16_t kAlphabet[] = {u'a',   u'A',   u'b',   u'I',   u'i',   u's',   u'S',   u' ',
                                  u'_',   u'1',   u'.',   0x0131, 0x017F, 0x03C2, 0x03A3, 0x03C3,
                                  0x01C5, 0x01C4, 0x00DF, 0x00E9, 0x00C9, 0xD83D, 0xDE00, u'-'};

QString readText(FuzzInput &in, int length, bool raw)
{
    QString text;
    for (int i = 0; i < length && in.left() > 0; ++i) {
        if (raw) {
            char16_t c = char16_t(in.byte() | (in.byte() << 8));
            if (c == u'\r' || c == u'\n')
                c = u' ';
            text += QChar(c);
        } else {
            text += QChar(kAlphabet[in.byte() % std::size(kAlphabet)]);
        }
    }
    return text;
}

bool isWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool sameChar(QChar a, QChar b, bool matchCase)
{
    return matchCase ? a == b : QChar::toUpper(a.unicode()) == QChar::toUpper(b.unicode());
}

qsizetype referenceIndexOf(const QString &text, const QString &needle, qsizetype from,
                           bool matchCase, bool wholeWord, QChar prev = QChar())
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos + needle.size() <= text.size(); ++pos) {
        bool same = true;
        for (qsizetype k = 0; k < needle.size() && same; ++k)
            same = sameChar(text[pos + k], needle[k], matchCase);
        if (!same)
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

Expected referenceReplaceNormal(const QString &text, const QString &find, const QString &with,
                                bool matchCase)
{
    Expected e;
    QString out;
    qsizetype consumed = 0;
    for (qsizetype pos = referenceIndexOf(text, find, 0, matchCase, false); pos >= 0;
         pos = referenceIndexOf(text, find, consumed, matchCase, false)) {
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

void checkReplacement(FakeRunHost &h, const QString &text, const QString &result, const Expected &e)
{
    if (result != e.text)
        fuzzFail("replacement differs", codeUnits(text) + QStringLiteral("-> ") +
                                            codeUnits(result) + QStringLiteral("expected ") +
                                            codeUnits(e.text));
    if (h.ctx.state.FileReplacements != e.steps || h.ctx.state.TotalReplacements != e.changedSteps)
        fuzzFail("replacement counts differ");
    if ((h.viewer.list.size() == 1) != (result != text))
        fuzzFail("a file is listed exactly when its text changed");
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
    h.viewer.buffer.setText(text);
    qint32 start = qint32(from);
    if (!fuzzy) {
        h.request.find = needle;
        const qsizetype expected = referenceIndexOf(text, needle, from, matchCase, wholeWord);
        if (Find_Normal(h.ctx, start) != expected)
            fuzzFail("Find_Normal differs");
        h.viewer.buffer.setText(text);
        checkReplacement(h, text, replaceString(h.ctx, text, needle, with),
                         referenceReplaceNormal(text, needle, with, matchCase));
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
    const qint32 found = Find_Fuzzy(h.ctx, start);
    if (found != expected)
        fuzzFail("Find_Fuzzy differs");
    if (found >= 0 && (h.viewer.buffer.SelStart() != found ||
                       h.viewer.buffer.SelLength() != end + second.size() - found))
        fuzzFail("Find_Fuzzy selects the wrong text");
    h.viewer.buffer.setText(text);
    checkReplacement(h, text, replaceString(h.ctx, text, QString(), with),
                     referenceReplaceFuzzy(text, needle, second, with, matchCase, wholeWord));
    return 0;
}
