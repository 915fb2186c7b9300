#include "TextSearch.h"

#include <QStringMatcher>
#include <QVarLengthArray>

#include <memory>
#include <optional>

namespace {

// upper() for every code unit, built once: the case-insensitive scan then costs
// one table look-up per character of the text.
const char16_t *upperTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        std::unique_ptr<char16_t[]> t(new char16_t[0x10000]);
        for (uint c = 0; c < 0x10000; ++c) t[c] = TextSearch::upper(char16_t(c));
        return t;
    }();
    return table.get();
}

qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from)
{
    const char16_t *table = upperTable();
    QVarLengthArray<char16_t, 256> upperNeedle(needle.size());
    for (qsizetype i = 0; i < needle.size(); ++i) upperNeedle[i] = table[needle.utf16()[i]];
    const char16_t first = upperNeedle[0];
    const qsizetype rest = needle.size() - 1;

    const char16_t *begin = text.utf16();
    const char16_t *p = begin + from;
    const char16_t *last = begin + (text.size() - needle.size());
    for (; p <= last; ++p) {
        if (table[*p] != first)
            continue;
        qsizetype i = 1;
        while (i <= rest && table[p[i]] == upperNeedle[i]) ++i;
        if (i > rest)
            return p - begin;
    }
    return -1;
}

bool isWholeWordAt(QStringView text, qsizetype pos, qsizetype length, QChar prevChar)
{
    const QChar before = pos > 0 ? text[pos - 1] : prevChar;
    if (!before.isNull() && TextSearch::isWordChar(before))
        return false;
    const qsizetype after = pos + length;
    return after >= text.size() || !TextSearch::isWordChar(text[after]);
}

}  // namespace

qsizetype TextSearch::indexOf(QStringView text, QStringView needle, qsizetype from, bool matchCase,
                              bool wholeWord, QChar prevChar)
{
    if (needle.isEmpty())
        return -1;
    if (from < 0)
        from = 0;
    // A matcher's skip table beats a plain scan on long texts.
    std::optional<QStringMatcher> matcher;
    if (matchCase && text.size() - from > 4096)
        matcher.emplace(needle.toString(), Qt::CaseSensitive);
    while (from <= text.size() - needle.size()) {
        const qsizetype pos = !matchCase ? indexOfIgnoringCase(text, needle, from)
                              : matcher  ? matcher->indexIn(text, from)
                                         : text.indexOf(needle, from, Qt::CaseSensitive);
        if (pos < 0 || !wholeWord || isWholeWordAt(text, pos, needle.size(), prevChar))
            return pos;
        from = pos + 1;
    }
    return -1;
}
