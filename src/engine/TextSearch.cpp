#include "TextSearch.h"

#include "LineEnds.h"
#include "platform/CpuFeatures.h"

#include <QVarLengthArray>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
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

#if defined(__GNUC__) && defined(__x86_64__)
#define SCRIVLANE_HAVE_AVX2_SCAN 1
// Sixteen starts at a time where the processor has AVX2: the first candidate,
// or the first start of the last fifteen or fewer, left to the caller.
__attribute__((target("avx2"))) const char16_t *findCandidateAvx2(const char16_t *p,
                                                                  const char16_t *end,
                                                                  const Anchors &k)
{
    const __m256i a1 = _mm256_set1_epi16(short(k.a1)), b1 = _mm256_set1_epi16(short(k.b1));
    const __m256i a2 = _mm256_set1_epi16(short(k.a2)), b2 = _mm256_set1_epi16(short(k.b2));
    while (end - p >= 16) {
        const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + k.offset1));
        const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + k.offset2));
        const __m256i hit1 =
            _mm256_or_si256(_mm256_cmpeq_epi16(v1, a1), _mm256_cmpeq_epi16(v1, b1));
        const __m256i hit2 =
            _mm256_or_si256(_mm256_cmpeq_epi16(v2, a2), _mm256_cmpeq_epi16(v2, b2));
        const unsigned mask = unsigned(_mm256_movemask_epi8(_mm256_and_si256(hit1, hit2)));
        if (mask)
            return p + std::countr_zero(mask) / 2;
        p += 16;
    }
    return p;
}
#endif

// First start in [p, end) whose anchor characters match.
const char16_t *findCandidate(const char16_t *p, const char16_t *end, const Anchors &k)
{
#ifdef SCRIVLANE_HAVE_AVX2_SCAN
    if (CpuFeatures::hasAvx2()) {
        p = findCandidateAvx2(p, end, k);
        if (end - p >= 16)
            return p;
    }
#endif
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
        const Anchors k{first,     second,
                        forms1[0], forms1.size() > 1 ? forms1[1] : forms1[0],
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

// The case rule on whole characters: a letter outside the BMP (two code units)
// rises to its upper case as one, which is two units as well, so positions
// never shift. The caller makes sure that piece fits at pos.
bool sameIgnoringCaseAt(QStringView text, qsizetype pos, QStringView piece)
{
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const char16_t t = text[pos + i].unicode(), n = piece[i].unicode();
        if (QChar::isHighSurrogate(n) && i + 1 < piece.size()) {
            const char16_t tLow = text[pos + i + 1].unicode(), nLow = piece[i + 1].unicode();
            if (!QChar::isHighSurrogate(t) || !QChar::isLowSurrogate(tLow) ||
                !QChar::isLowSurrogate(nLow))
                return false;
            if (QChar::toUpper(QChar::surrogateToUcs4(t, tLow)) !=
                QChar::toUpper(QChar::surrogateToUcs4(n, nLow)))
                return false;
            ++i;
        } else if (TextSearch::upper(t) != TextSearch::upper(n)) {
            return false;
        }
    }
    return true;
}

bool hasSurrogate(QStringView text)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return true;
    }
    return false;
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

namespace {
// Whether a match at pos would begin inside a surrogate pair: an escaped byte
// of the needle (a lone low surrogate) may equal the second half of a
// character of the text.
bool startsInsidePair(QStringView text, qsizetype pos)
{
    return pos > 0 && pos < text.size() && text[pos].isLowSurrogate() &&
           text[pos - 1].isHighSurrogate();
}
}  // namespace

qsizetype TextSearch::indexOf(QStringView text, QStringView needle, qsizetype from, bool matchCase,
                              bool wholeWord, QChar prevChar)
{
    if (needle.isEmpty())
        return -1;
    if (from < 0)
        from = 0;
    if (!matchCase && hasSurrogate(needle)) {
        for (qsizetype p = from; p <= text.size() - needle.size(); ++p) {
            if (sameIgnoringCaseAt(text, p, needle) && !startsInsidePair(text, p) &&
                (!wholeWord || isWholeWordAt(text, p, needle.size(), prevChar)))
                return p;
        }
        return -1;
    }
    while (from <= text.size() - needle.size()) {
        const qsizetype pos = matchCase ? indexOfExactly(text, needle, from)
                                        : indexOfIgnoringCase(text, needle, from);
        if (pos < 0)
            return -1;
        if (!startsInsidePair(text, pos) &&
            (!wholeWord || isWholeWordAt(text, pos, needle.size(), prevChar)))
            return pos;
        from = pos + 1;
    }
    return -1;
}

namespace {

// Whether piece stands at pos, under the scan's case rule.
bool sameAt(QStringView text, qsizetype pos, QStringView piece, bool matchCase)
{
    if (pos + piece.size() > text.size())
        return false;
    return matchCase ? text.sliced(pos, piece.size()) == piece
                     : sameIgnoringCaseAt(text, pos, piece);
}

// The needle's lines: the text between its line breaks.
QVarLengthArray<QStringView, 8> linesOf(QStringView needle)
{
    QVarLengthArray<QStringView, 8> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < needle.size();) {
        if (const qsizetype n = LineEnds::lengthAt(needle, i)) {
            lines.append(needle.sliced(start, i - start));
            i += n;
            start = i;
        } else {
            ++i;
        }
    }
    lines.append(needle.sliced(start));
    return lines;
}

// Length of the match of lines at pos, each break taking one line end, or -1.
qsizetype matchLinesAt(QStringView text, qsizetype pos,
                       const QVarLengthArray<QStringView, 8> &lines, bool matchCase)
{
    qsizetype at = pos;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (k > 0) {
            const qsizetype n = LineEnds::lengthAt(text, at);
            if (n == 0)
                return -1;
            at += n;
        }
        if (!sameAt(text, at, lines[k], matchCase))
            return -1;
        at += lines[k].size();
    }
    return at - pos;
}

qsizetype nextLineEnd(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r')
            return i;
    }
    return -1;
}

}  // namespace

TextSearch::Match TextSearch::find(QStringView text, QStringView needle, qsizetype from,
                                   bool matchCase, bool wholeWord, QChar prevChar)
{
    if (!LineEnds::hasLineBreak(needle)) {
        const qsizetype pos = indexOf(text, needle, from, matchCase, wholeWord, prevChar);
        return {pos, pos < 0 ? 0 : needle.size()};
    }
    const QVarLengthArray<QStringView, 8> lines = linesOf(needle);
    qsizetype p = qMax<qsizetype>(from, 0);
    while (p <= text.size()) {
        // Candidates: where the first line stands, or every line end when it is empty.
        p = lines[0].isEmpty() ? nextLineEnd(text, p)
                               : indexOf(text, lines[0], p, matchCase, false);
        if (p < 0)
            return {};
        const qsizetype length = matchLinesAt(text, p, lines, matchCase);
        if (length >= 0 && !startsInsidePair(text, p) &&
            (!wholeWord || isWholeWordAt(text, p, length, prevChar)))
            return {p, length};
        ++p;
    }
    return {};
}
