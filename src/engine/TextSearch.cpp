#include "TextSearch.h"

#include <QVarLengthArray>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstring>
#include <memory>

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

// The code units whose upper case is each ASCII character; usually the two
// cases of a letter, but "\u0131" and "\u017F" also rise to "I" and "S".
struct AsciiPreimages {
    std::array<QVarLengthArray<char16_t, 4>, 128> of;
};

const AsciiPreimages &asciiPreimages()
{
    static const AsciiPreimages preimages = [] {
        AsciiPreimages p;
        const char16_t *table = upperTable();
        for (uint c = 0; c < 0x10000; ++c) {
            if (table[c] < 128)
                p.of[table[c]].append(char16_t(c));
        }
        return p;
    }();
    return preimages;
}

// Two characters of the needle, each with at most two forms: a candidate start
// must show one form of each at its offset. Testing both at once rules out
// almost every position without looking at it twice.
struct Anchors {
    qsizetype offset1, offset2;
    char16_t a1, b1, a2, b2;
};

// First start in [p, end) whose anchor characters match.
const char16_t *findCandidate(const char16_t *p, const char16_t *end, const Anchors &k)
{
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i a1 = _mm_set1_epi16(short(k.a1)), b1 = _mm_set1_epi16(short(k.b1));
    const __m128i a2 = _mm_set1_epi16(short(k.a2)), b2 = _mm_set1_epi16(short(k.b2));
    while (end - p >= 8) {
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k.offset1));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + k.offset2));
        const __m128i hit1 = _mm_or_si128(_mm_cmpeq_epi16(v1, a1), _mm_cmpeq_epi16(v1, b1));
        const __m128i hit2 = _mm_or_si128(_mm_cmpeq_epi16(v2, a2), _mm_cmpeq_epi16(v2, b2));
        const int mask = _mm_movemask_epi8(_mm_and_si128(hit1, hit2));
        if (mask)
            return p + std::countr_zero(unsigned(mask)) / 2;
        p += 8;
    }
#endif
    for (; p < end; ++p) {
        const char16_t c1 = p[k.offset1], c2 = p[k.offset2];
        if ((c1 == k.a1 || c1 == k.b1) && (c2 == k.a2 || c2 == k.b2))
            return p;
    }
    return end;
}

// First start at or after from whose anchors match and for which matchesAt
// holds; -1 when none.
template <typename MatchesAt>
qsizetype anchoredScan(QStringView text, qsizetype needleSize, qsizetype from, const Anchors &k,
                       MatchesAt matchesAt)
{
    const char16_t *begin = text.utf16();
    const char16_t *end = begin + (text.size() - needleSize) + 1;
    for (const char16_t *p = begin + from;; ++p) {
        // Loads reach offset2 + 7 past a start, so the vector scan stops that
        // far before the end of the text and the scalar tail does the rest.
        const qsizetype room = (begin + text.size()) - p - k.offset2 - 8;
        const char16_t *vectorEnd = room > 0 ? p + qMin(room, end - p) : p;
        p = findCandidate(p, vectorEnd, k);
        if (p == vectorEnd) {
            for (; p < end; ++p) {
                if (matchesAt(p))
                    return p - begin;
            }
            return -1;
        }
        if (matchesAt(p))
            return p - begin;
    }
}

qsizetype indexOfExactly(QStringView text, QStringView needle, qsizetype from)
{
    const qsizetype n = needle.size();
    const char16_t *want = needle.utf16();
    const Anchors k{0, n - 1, want[0], want[0], want[n - 1], want[n - 1]};
    return anchoredScan(text, n, from, k, [&](const char16_t *start) {
        return std::memcmp(start, want, size_t(n) * sizeof(char16_t)) == 0;
    });
}

qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from)
{
    const char16_t *table = upperTable();
    QVarLengthArray<char16_t, 256> upperNeedle(needle.size());
    for (qsizetype i = 0; i < needle.size(); ++i) upperNeedle[i] = table[needle.utf16()[i]];
    auto matchesAt = [&](const char16_t *start) {
        for (qsizetype i = 0; i < needle.size(); ++i) {
            if (table[start[i]] != upperNeedle[i])
                return false;
        }
        return true;
    };

    // Anchor on the first and last characters that have at most two forms.
    auto simple = [&](qsizetype i) {
        return upperNeedle[i] < 128 && asciiPreimages().of[upperNeedle[i]].size() <= 2;
    };
    qsizetype first = -1, second = -1;
    for (qsizetype i = 0; i < needle.size(); ++i) {
        if (simple(i)) {
            if (first < 0)
                first = i;
            second = i;
        }
    }
    if (first >= 0) {
        const auto &forms1 = asciiPreimages().of[upperNeedle[first]];
        const auto &forms2 = asciiPreimages().of[upperNeedle[second]];
        const Anchors k{first, second, forms1[0], forms1.size() > 1 ? forms1[1] : forms1[0],
                        forms2[0], forms2.size() > 1 ? forms2[1] : forms2[0]};
        return anchoredScan(text, needle.size(), from, k, matchesAt);
    }

    const char16_t *begin = text.utf16();
    const char16_t *last = begin + (text.size() - needle.size());
    for (const char16_t *p = begin + from; p <= last; ++p) {
        if (table[*p] == upperNeedle[0] && matchesAt(p))
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
    while (from <= text.size() - needle.size()) {
        const qsizetype pos = matchCase ? indexOfExactly(text, needle, from)
                                        : indexOfIgnoringCase(text, needle, from);
        if (pos < 0 || !wholeWord || isWholeWordAt(text, pos, needle.size(), prevChar))
            return pos;
        from = pos + 1;
    }
    return -1;
}
