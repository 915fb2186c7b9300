#include "TextCodec.h"

#include "Utf8Sequence.h"

#include <QStringEncoder>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include <array>
#include <cstring>
#include <utility>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// windows-1252 for 0x80..0x9F; the five bytes it leaves unassigned keep their
// C1 control of the same value so that every byte has a character of its own.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t singleByteChar(uchar b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : char16_t(b);
}

// -1 when the character has no byte in the single-byte mapping.
int singleByteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh1252[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// The first block of eight characters from p on that holds a surrogate, or
// where fewer than eight are left.
const char16_t *skipToSurrogates(const char16_t *p, const char16_t *end)
{
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i mask = _mm_set1_epi16(short(0xF800)), surrogate = _mm_set1_epi16(short(0xD800));
    for (; end - p >= 8; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask), surrogate)))
            break;
    }
#endif
    return p;
}

bool hasLoneSurrogate(QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p < end) {
        p = skipToSurrogates(p, end);
        for (const char16_t *block = qMin(p + 8, end); p < block; ++p) {
            const char16_t c = *p;
            if ((c & 0xF800) != 0xD800)
                continue;
            if (c >= 0xDC00)
                return true;
            if (p + 1 == end || (p[1] & 0xFC00) != 0xDC00)
                return true;
            ++p;
        }
    }
    return false;
}

void decodeSingleByteInto(const QByteArray &bytes, QString &text)
{
    text.resize(bytes.size());
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const uchar *in = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i) out[i] = singleByteChar(in[i]);
}

std::optional<QByteArray> encodeSingleByte(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    const char16_t *in = text.utf16();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = char(c);
            continue;
        }
        const int b = singleByteOf(c);
        if (b < 0)
            return std::nullopt;
        out[i] = char(b);
    }
    return bytes;
}

// Decodes without the BOM; nullopt when the UTF-16 holds an unpaired surrogate,
// which could not be written back.
std::optional<QString> decodeUtf16(const char *data, qsizetype size, bool littleEndian)
{
    const qsizetype n = size / 2;
    QString text(n, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const uchar *in = reinterpret_cast<const uchar *>(data);
    if (littleEndian) {
        for (qsizetype i = 0; i < n; ++i) out[i] = char16_t(in[2 * i] | (in[2 * i + 1] << 8));
    } else {
        for (qsizetype i = 0; i < n; ++i) out[i] = char16_t((in[2 * i] << 8) | in[2 * i + 1]);
    }
    if (hasLoneSurrogate(text))
        return std::nullopt;
    return text;
}

QByteArray encodeUtf16(QStringView text, bool littleEndian, bool withBom)
{
    const qsizetype n = text.size();
    const qsizetype bom = withBom ? 2 : 0;
    QByteArray bytes(bom + 2 * n, Qt::Uninitialized);
    uchar *out = reinterpret_cast<uchar *>(bytes.data());
    const char16_t *in = text.utf16();
    if (withBom) {
        out[0] = littleEndian ? 0xFF : 0xFE;
        out[1] = littleEndian ? 0xFE : 0xFF;
    }
    out += bom;
    if (littleEndian) {
        for (qsizetype i = 0; i < n; ++i) {
            out[2 * i] = uchar(in[i]);
            out[2 * i + 1] = uchar(in[i] >> 8);
        }
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            out[2 * i] = uchar(in[i] >> 8);
            out[2 * i + 1] = uchar(in[i]);
        }
    }
    return bytes;
}

// What a UTF-8 reading met: valid sequences of two bytes or more, and bytes
// that start no valid sequence.
struct Utf8Tally {
    qint64 multiByte = 0;
    qint64 invalid = 0;

    // Mostly UTF-8: a stray byte or two in a UTF-8 file (a pasted windows-1252
    // quote, a cut sequence) must not turn its characters into mojibake, while
    // windows-1252 text almost never forms valid sequences by chance.
    bool isUtf8() const { return invalid == 0 || multiByte >= 2 * invalid; }
    // Whether rest more bytes, at most one sequence per two, could still tip it.
    bool mayBecomeUtf8(qint64 rest) const
    {
        return invalid == 0 || multiByte + rest / 2 >= 2 * invalid;
    }
};

// Strict UTF-8 (no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, no truncated sequence); every other byte is kept as an escaped
// byte, so that the text encodes back to exactly these bytes. Qt's decoder
// would instead replace bad bytes, drop a truncated tail and swallow a leading
// BOM. out receives at most end - p code units and is left just after the
// last one written. Gives up (false) once the tally can no longer be UTF-8
// with rest bytes still to come after end; never when tolerant.
bool decodeUtf8To(const uchar *p, const uchar *const end, char16_t *&out, Utf8Tally &tally,
                  qint64 rest, bool tolerant)
{
    while (p < end) {
#if defined(__SSE2__) || defined(_M_X64)
        // ASCII runs are most of most files: widen sixteen bytes at a time.
        const __m128i zero = _mm_setzero_si128();
        while (end - p >= 16) {
            const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            if (_mm_movemask_epi8(bytes16))
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes16, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8),
                             _mm_unpackhi_epi8(bytes16, zero));
            p += 16;
            out += 16;
        }
#endif
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            for (int i = 0; i < 8; ++i) out[i] = p[i];
            p += 8;
            out += 8;
        }
        if (p == end)
            break;
        const uchar b = *p;
        if (b < 0x80) {
            *out++ = b;
            ++p;
            continue;
        }
        char32_t code;
        const int length = Utf8Sequence::decode(p, end, code);
        if (length == 0) {
            *out++ = Utf8Sequence::escapeByte(b);
            ++p;
            ++tally.invalid;
            if (!tolerant && !tally.mayBecomeUtf8(qint64(end - p) + rest))
                return false;
            continue;
        }
        ++tally.multiByte;
        if (code >= 0x10000) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
        p += length;
    }
    return true;
}

// text holds at least bytes.size() characters and is cut to the decoded length
// when the bytes read as UTF-8 (always when tolerant).
bool decodeUtf8Into(QByteArrayView bytes, QString &text, bool tolerant)
{
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    Utf8Tally tally;
    if (!decodeUtf8To(p, p + bytes.size(), out, tally, 0, tolerant) ||
        !(tolerant || tally.isUtf8()))
        return false;
    text.resize(out - begin);
    return true;
}

// UTF-8 for text holding escaped bytes, which the strict encoder refuses:
// each goes back as its byte; any other lone surrogate is refused.
std::optional<QByteArray> encodeUtf8Escaped(QStringView text, qsizetype bom)
{
    QByteArray bytes;
    bytes.reserve(bom + text.size() * 3);
    bytes.append(kUtf8Bom, bom);
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (c < 0x80) {
            bytes.append(char(c));
        } else if (c < 0x800) {
            bytes.append(char(0xC0 | (c >> 6)));
            bytes.append(char(0x80 | (c & 0x3F)));
        } else if (QChar::isHighSurrogate(c) && end - p > 1 && QChar::isLowSurrogate(p[1])) {
            const char32_t code = QChar::surrogateToUcs4(c, p[1]);
            bytes.append(char(0xF0 | (code >> 18)));
            bytes.append(char(0x80 | ((code >> 12) & 0x3F)));
            bytes.append(char(0x80 | ((code >> 6) & 0x3F)));
            bytes.append(char(0x80 | (code & 0x3F)));
            ++p;
        } else if (Utf8Sequence::isEscapedByte(c)) {
            bytes.append(char(c - 0xDC00));
        } else if (QChar::isSurrogate(c)) {
            return std::nullopt;
        } else {
            bytes.append(char(0xE0 | (c >> 12)));
            bytes.append(char(0x80 | ((c >> 6) & 0x3F)));
            bytes.append(char(0x80 | (c & 0x3F)));
        }
    }
    return bytes;
}

// Length of bytes without a multi-byte sequence that the next piece may complete.
qsizetype completeUtf8Prefix(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
        const uchar b = uchar(bytes[n - back]);
        if ((b & 0xC0) == 0x80)
            continue;
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

}  // namespace

TextCodec::Decoded TextCodec::decode(const QByteArray &bytes)
{
    const QByteArrayView all(bytes);
    // One buffer serves every attempt: a failed UTF-8 pass over a large binary
    // file then costs no second allocation.
    QString text(bytes.size(), Qt::Uninitialized);
    // A BOM declares UTF-8: bytes after it that are not are kept escaped.
    if (all.startsWith(QByteArrayView(kUtf8Bom, 3)) && decodeUtf8Into(all.sliced(3), text, true))
        return {std::move(text), TextEncoding::Utf8Bom};
    bool utf16Bom = false;
    if (bytes.size() % 2 == 0 && bytes.size() >= 2) {
        const uchar b0 = uchar(bytes[0]);
        const uchar b1 = uchar(bytes[1]);
        const bool le = b0 == 0xFF && b1 == 0xFE;
        const bool be = b0 == 0xFE && b1 == 0xFF;
        utf16Bom = le || be;
        if (utf16Bom) {
            if (auto utf16 = decodeUtf16(bytes.constData() + 2, bytes.size() - 2, le))
                return {std::move(*utf16),
                        le ? TextEncoding::Utf16LeBom : TextEncoding::Utf16BeBom};
        }
    }
    // Broken UTF-16 is not UTF-8 either: it starts with two bytes UTF-8 never holds.
    if (!utf16Bom && decodeUtf8Into(all, text, false))
        return {std::move(text), TextEncoding::Utf8};
    decodeSingleByteInto(bytes, text);
    return {std::move(text), TextEncoding::SingleByte};
}

std::optional<QByteArray> TextCodec::encode(const QString &text, TextEncoding encoding)
{
    return encodePart(text, encoding, true);
}

std::optional<QByteArray> TextCodec::encodePart(QStringView text, TextEncoding encoding,
                                                bool withBom)
{
    switch (encoding) {
    case TextEncoding::SingleByte:
        return encodeSingleByte(text);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom: {
        // One pass that also catches lone surrogates, straight into a buffer
        // that already holds the BOM; text with escaped bytes takes the slow way.
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        const qsizetype bom = encoding == TextEncoding::Utf8Bom && withBom ? 3 : 0;
        QByteArray bytes(bom + encoder.requiredSpace(text.size()), Qt::Uninitialized);
        std::memcpy(bytes.data(), kUtf8Bom, size_t(bom));
        char *const end = encoder.appendToBuffer(bytes.data() + bom, text);
        if (encoder.hasError())
            return encodeUtf8Escaped(text, bom);
        bytes.truncate(end - bytes.data());
        return bytes;
    }
    case TextEncoding::Utf16LeBom:
    case TextEncoding::Utf16BeBom:
        if (hasLoneSurrogate(text))
            return std::nullopt;
        return encodeUtf16(text, encoding == TextEncoding::Utf16LeBom, withBom);
    }
    return std::nullopt;
}

QString TextCodec::encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 with BOM");
    case TextEncoding::Utf16LeBom:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BeBom:
        return QStringLiteral("UTF-16 BE");
    case TextEncoding::SingleByte:
        return QStringLiteral("windows-1252");
    }
    return QString();
}

TextCodec::PieceDecoder::PieceDecoder(qint64 sizeHint, bool singleByte, bool whole)
    : m_sizeHint(sizeHint), m_mode(singleByte ? Mode::SingleByte : Mode::Unknown)
{
    if (whole)
        m_text.reserve(qsizetype(qMax<qint64>(sizeHint, 0)));
}

std::optional<QString> TextCodec::PieceDecoder::takeText()
{
    const bool utf16 = m_mode == Mode::Utf16Le || m_mode == Mode::Utf16Be;
    qsizetype n = m_text.size();
    // Only UTF-16 splits a pair between pieces; UTF-8 decodes a character whole.
    if (utf16 && n > 0 && QChar::isHighSurrogate(m_text.back().unicode()))
        --n;
    QString taken = n == m_text.size() ? std::exchange(m_text, QString()) : m_text.first(n);
    m_text.remove(0, n);
    if (utf16 && hasLoneSurrogate(taken))
        return std::nullopt;
    return taken;
}

bool TextCodec::PieceDecoder::add(QByteArrayView piece)
{
    m_total += piece.size();
    m_pending.append(piece);
    if (m_mode == Mode::Unknown) {
        if (m_pending.size() < 3 && m_total < m_sizeHint)
            return true;
        const QByteArrayView head(m_pending);
        if (head.startsWith(QByteArrayView(kUtf8Bom, 3))) {
            m_mode = Mode::Utf8Bom;
            m_pending.remove(0, 3);
        } else if (head.size() >= 2 && m_sizeHint % 2 == 0 &&
                   ((uchar(head[0]) == 0xFF && uchar(head[1]) == 0xFE) ||
                    (uchar(head[0]) == 0xFE && uchar(head[1]) == 0xFF))) {
            m_mode = uchar(head[0]) == 0xFF ? Mode::Utf16Le : Mode::Utf16Be;
            m_pending.remove(0, 2);
        } else {
            m_mode = Mode::Utf8;
        }
    }
    return consume(false);
}

bool TextCodec::PieceDecoder::consume(bool last)
{
    const QByteArrayView bytes(m_pending);
    qsizetype take = bytes.size();
    if (!last && (m_mode == Mode::Utf8 || m_mode == Mode::Utf8Bom))
        take = completeUtf8Prefix(bytes);
    else if (m_mode == Mode::Utf16Le || m_mode == Mode::Utf16Be)
        take -= take % 2;
    const qsizetype used = m_text.size();
    m_text.resize(used + take);
    char16_t *const begin = reinterpret_cast<char16_t *>(m_text.data()) + used;
    char16_t *out = begin;
    const uchar *in = reinterpret_cast<const uchar *>(bytes.data());
    switch (m_mode) {
    case Mode::Unknown:
    case Mode::Utf8:
    case Mode::Utf8Bom: {
        // The bytes still to come bound what the tally may yet become.
        const qint64 rest = (bytes.size() - take) + qMax<qint64>(m_sizeHint - m_total, 0);
        Utf8Tally tally{m_multiByte, m_invalid};
        const bool going = decodeUtf8To(in, in + take, out, tally, rest, m_mode == Mode::Utf8Bom);
        m_multiByte = tally.multiByte;
        m_invalid = tally.invalid;
        if (!going)
            return false;
        break;
    }
    case Mode::Utf16Le:
        for (qsizetype i = 0; i + 1 < take; i += 2) *out++ = char16_t(in[i] | (in[i + 1] << 8));
        break;
    case Mode::Utf16Be:
        for (qsizetype i = 0; i + 1 < take; i += 2) *out++ = char16_t((in[i] << 8) | in[i + 1]);
        break;
    case Mode::SingleByte:
        for (qsizetype i = 0; i < take; ++i) *out++ = singleByteChar(in[i]);
        break;
    }
    m_text.resize(used + (out - begin));
    m_pending.remove(0, take);
    return true;
}

std::optional<TextCodec::Decoded> TextCodec::PieceDecoder::finish()
{
    if (m_mode == Mode::Unknown)
        m_mode = Mode::Utf8;
    if (!m_pending.isEmpty() && !consume(true))
        return std::nullopt;
    // Whatever the pieces promised, the whole must be what decode() would make of it.
    if ((m_mode == Mode::Utf16Le || m_mode == Mode::Utf16Be) &&
        (!m_pending.isEmpty() || hasLoneSurrogate(m_text)))
        return std::nullopt;
    if (!m_pending.isEmpty())
        return std::nullopt;
    if (m_mode == Mode::Utf8 && !Utf8Tally{m_multiByte, m_invalid}.isUtf8())
        return std::nullopt;
    TextEncoding encoding = TextEncoding::Utf8;
    switch (m_mode) {
    case Mode::Unknown:
    case Mode::Utf8:
        break;
    case Mode::Utf8Bom:
        encoding = TextEncoding::Utf8Bom;
        break;
    case Mode::Utf16Le:
        encoding = TextEncoding::Utf16LeBom;
        break;
    case Mode::Utf16Be:
        encoding = TextEncoding::Utf16BeBom;
        break;
    case Mode::SingleByte:
        encoding = TextEncoding::SingleByte;
        break;
    }
    return Decoded{std::move(m_text), encoding};
}
