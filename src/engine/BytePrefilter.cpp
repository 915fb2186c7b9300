#include "BytePrefilter.h"

#include "TextSearch.h"
#include "platform/CpuFeatures.h"
#include "platform/TextCodec.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include <array>
#include <bit>
#include <cstring>

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// For each ASCII upper-case letter, the encodings of the characters beyond
// ASCII that rise to it: their UTF-8 sequence, and their windows-1252 byte
// where that code page holds them. Built once from the buffer's own rule.
const std::array<QList<QByteArray>, 128> &foreignFormsOfAscii()
{
    static const std::array<QList<QByteArray>, 128> forms = [] {
        std::array<QList<QByteArray>, 128> f;
        std::array<char16_t, 256> singleByte{};
        for (int b = 0x80; b < 0x100; ++b) {
            const QString text = TextCodec::decode(QByteArray(1, char(b))).text;
            singleByte[b] = text.isEmpty() ? 0 : text.at(0).unicode();
        }
        for (uint c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            const char16_t up = TextSearch::upper(char16_t(c));
            if (up >= 0x80)
                continue;
            f[up].append(QString(QChar(char16_t(c))).toUtf8());
            for (int b = 0x80; b < 0x100; ++b) {
                if (singleByte[b] == c)
                    f[up].append(QByteArray(1, char(b)));
            }
        }
        return f;
    }();
    return forms;
}

// How common a byte is in text, higher for rarer ones: letters by their
// frequency in English, the blank and line ends most common of all.
// A table, as every file's scan asks it afresh.
int rarity(uchar c)
{
    static const std::array<qint8, 256> kRarity = [] {
        std::array<qint8, 256> table{};
        table.fill(20);
        for (int d = '0'; d <= '9'; ++d) table[size_t(d)] = 12;
        for (const char blank : {' ', '\n', '\r', '\t'}) table[uchar(blank)] = -1;
        const char kByFrequency[] = "etaoinshrdlcumwfgypbvkjxqz";
        for (qint8 i = 0; kByFrequency[i]; ++i) {
            table[uchar(kByFrequency[i])] = i;
            table[uchar(kByFrequency[i] - 'a' + 'A')] = i;
        }
        return table;
    }();
    return kRarity[c];
}

// How a needle is looked for: candidates are the positions where its two
// rarest bytes stand (ASCII letters in any case when foldCase, the needle
// given in lower case; a letter in any case is its lower case once 0x20 is
// set, other bytes must be equal), each then compared in full.
struct NeedleScan {
    NeedleScan(const QByteArray &needle, bool foldCase)
        : want(reinterpret_cast<const uchar *>(needle.constData())),
          n(needle.size()),
          foldCase(foldCase)
    {
        for (qsizetype i = 0; i < n; ++i) {
            if (rarity(want[i]) > rarity(want[i1]))
                i1 = i;
        }
        i2 = i1 == 0 ? n - 1 : 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (i != i1 && want[i] != want[i1] && rarity(want[i]) > rarity(want[i2]))
                i2 = i;
        }
        auto isLetter = [](uchar c) { return c >= 'a' && c <= 'z'; };
        fold1 = foldCase && isLetter(want[i1]) ? 0x20 : 0;
        fold2 = foldCase && isLetter(want[i2]) ? 0x20 : 0;
    }

    bool matchesAt(const uchar *p) const
    {
        if (!foldCase)
            return std::memcmp(p, want, size_t(n)) == 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (lowerAscii(static_cast<char>(p[i])) != static_cast<char>(want[i]))
                return false;
        }
        return true;
    }

    // The first match among the starts of mask (bit k: p + k), or null.
    const uchar *firstIn(const uchar *p, unsigned mask) const
    {
        while (mask) {
            const uchar *candidate = p + std::countr_zero(mask);
            if (matchesAt(candidate))
                return candidate;
            mask &= mask - 1;
        }
        return nullptr;
    }

    const uchar *want;
    qsizetype n;
    bool foldCase;
    qsizetype i1 = 0, i2 = 0;
    uchar fold1 = 0, fold2 = 0;
};

#if defined(__GNUC__) && defined(__x86_64__)
#define SCRIVLANE_HAVE_AVX2_SCAN 1
// Thirty-two starts at a time where the processor has AVX2; *at is left on
// the first start not looked at.
__attribute__((target("avx2"))) const uchar *scanAvx2(const NeedleScan &s, const uchar *&at,
                                                      const uchar *last)
{
    const __m256i w1 = _mm256_set1_epi8(char(s.want[s.i1])), f1 = _mm256_set1_epi8(char(s.fold1));
    const __m256i w2 = _mm256_set1_epi8(char(s.want[s.i2])), f2 = _mm256_set1_epi8(char(s.fold2));
    const uchar *p = at;
    while (last - p >= 31) {
        const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + s.i1));
        const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + s.i2));
        const __m256i hit = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(v1, f1), w1),
                                             _mm256_cmpeq_epi8(_mm256_or_si256(v2, f2), w2));
        if (const unsigned mask = unsigned(_mm256_movemask_epi8(hit))) {
            if (const uchar *found = s.firstIn(p, mask)) {
                at = p;
                return found;
            }
        }
        p += 32;
    }
    at = p;
    return nullptr;
}
#endif

// First position where needle occurs in hay, or -1 (see NeedleScan).
qsizetype find(QByteArrayView hay, const QByteArray &needle, bool foldCase)
{
    const qsizetype n = needle.size();
    if (hay.size() < n)
        return -1;
    const NeedleScan s(needle, foldCase);
    const uchar *const begin = reinterpret_cast<const uchar *>(hay.data());
    const uchar *const last = begin + (hay.size() - n);
    const uchar *p = begin;
#ifdef SCRIVLANE_HAVE_AVX2_SCAN
    if (CpuFeatures::hasAvx2()) {
        if (const uchar *found = scanAvx2(s, p, last))
            return found - begin;
    }
#endif
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i w1 = _mm_set1_epi8(char(s.want[s.i1])), f1 = _mm_set1_epi8(char(s.fold1));
    const __m128i w2 = _mm_set1_epi8(char(s.want[s.i2])), f2 = _mm_set1_epi8(char(s.fold2));
    // A block of starts p..p+15 reads up to p + n - 1 + 15 <= last + n - 1.
    while (last - p >= 15) {
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + s.i1));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + s.i2));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(v1, f1), w1),
                                          _mm_cmpeq_epi8(_mm_or_si128(v2, f2), w2));
        if (const unsigned mask = unsigned(_mm_movemask_epi8(hit))) {
            if (const uchar *found = s.firstIn(p, mask))
                return found - begin;
        }
        p += 16;
    }
#endif
    for (; p <= last; ++p) {
        if (uchar(p[s.i1] | s.fold1) == s.want[s.i1] && uchar(p[s.i2] | s.fold2) == s.want[s.i2] &&
            s.matchesAt(p))
            return p - begin;
    }
    return -1;
}

// Whether any byte is beyond ASCII: every foreign form begins with one.
bool hasHighByte(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
#if defined(__SSE2__) || defined(_M_X64)
    for (; end - p >= 64; p += 64) {
        const auto *v = reinterpret_cast<const __m128i *>(p);
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                         _mm_or_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
        if (_mm_movemask_epi8(any))
            return true;
    }
#endif
    for (; p < end; ++p) {
        if (uchar(*p) >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

BytePrefilter::BytePrefilter(const QString &needle, bool matchCase) : m_matchCase(matchCase)
{
    if (needle.isEmpty())
        return;
    for (QChar c : needle) {
        // Line ends match one another and other characters have several
        // encodings: both are left to the ordinary search.
        if (c.unicode() >= 0x80 || c == u'\r' || c == u'\n')
            return;
    }
    m_active = true;
    m_needle = needle.toLatin1();
    if (matchCase)
        return;
    for (char &c : m_needle) c = lowerAscii(c);
    std::array<bool, 128> seen{};
    for (char c : m_needle) {
        const char16_t up = TextSearch::upper(char16_t(c));
        if (!seen[up])
            m_foreignForms.append(foreignFormsOfAscii()[up]);
        seen[up] = true;
    }
}

bool BytePrefilter::mayMatch(QByteArrayView bytes) const
{
    if (!m_active)
        return true;
    // A BOM that may make the bytes UTF-16: the characters are not bytes then.
    if (bytes.size() >= 2) {
        const uchar b0 = uchar(bytes[0]), b1 = uchar(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF))
            return true;
    }
    // Every other file decodes as UTF-8 or windows-1252, where an ASCII
    // character is exactly an ASCII byte; a match is then either these bytes
    // or holds a foreign character whose upper case is ASCII.
    if (find(bytes, m_needle, !m_matchCase) >= 0)
        return true;
    if (m_foreignForms.isEmpty() || !hasHighByte(bytes))
        return false;
    for (const QByteArray &form : m_foreignForms) {
        if (find(bytes, form, false) >= 0)
            return true;
    }
    return false;
}
