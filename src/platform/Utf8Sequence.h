#pragma once

#include <QtGlobal>

/// Strict UTF-8: one multi-byte sequence at a time.
namespace Utf8Sequence {

/// Decodes the sequence that starts at p (whose first byte is >= 0x80) into
/// code and returns its length, or 0 when it is not valid: overlong forms,
/// surrogates, values above U+10FFFF and truncated sequences are all refused.
inline int decode(const uchar *p, const uchar *end, char32_t &code)
{
    const uchar b = p[0];
    int length;
    char32_t lowest;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        code = b & 0x1F;
        lowest = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        code = b & 0x0F;
        lowest = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        code = b & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

/// A byte that starts no valid sequence is carried in text as the lone
/// surrogate U+DC00 + byte (U+DC80..U+DCFF), as names are: such text holds
/// every byte it was read from and gives each back when it is written.
inline char16_t escapeByte(uchar b)
{
    return char16_t(0xDC00 + b);
}

/// Whether a code unit that is not half of a surrogate pair is an escaped byte.
inline bool isEscapedByte(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

}  // namespace Utf8Sequence
