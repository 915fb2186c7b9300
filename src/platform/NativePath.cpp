#include "FileSystem.h"

#include "Failure.h"
#include "PosixInternals.h"
#include "Utf8Sequence.h"

#include <QStringDecoder>

#include <algorithm>

// Names on Unix are bytes; a byte that is not valid UTF-8 travels as the lone
// surrogate U+DC80+byte, so every listed name can be opened again.

namespace {

// Length of the valid UTF-8 sequence at p, or 0 when there is none.
int validSequenceLength(const uchar *p, const uchar *end)
{
    if (p[0] < 0x80)
        return 1;
    char32_t code;
    return Utf8Sequence::decode(p, end, code);
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

}  // namespace

bool PlatformPath::isUsable(const QString &path)
{
    return !path.contains(QChar(0));
}

QByteArray PlatformPath::systemPath(const QString &path)
{
    if (!isUsable(path))
        throw Failure(QStringLiteral("\"%1\" is not a valid path").arg(path));
    return FileSystem::nativePath(path);
}

QByteArray FileSystem::nativePath(const QString &path)
{
    // Most paths hold no surrogate, escaped byte or pair: plain UTF-8 then.
    const char16_t *begin = QStringView(path).utf16();
    if (std::none_of(begin, begin + path.size(),
                     [](char16_t c) { return c >= 0xD800 && c < 0xE000; }))
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() + 8);
    const char16_t *p = QStringView(path).utf16();
    const char16_t *end = p + path.size();
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (c < 0x80) {
            out.append(char(c));
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out.append(char(c - 0xDC00));
        } else if (c >= 0xD800 && c < 0xDC00 && p + 1 < end && (p[1] & 0xFC00) == 0xDC00) {
            appendUtf8(out, QChar::surrogateToUcs4(c, p[1]));
            ++p;
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

QString FileSystem::fromNativePath(QByteArrayView path)
{
    if (std::all_of(path.cbegin(), path.cend(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(path);
    const uchar *const begin = reinterpret_cast<const uchar *>(path.data());
    const uchar *const end = begin + path.size();
    // A run of valid sequences up to the next invalid byte (or the end).
    const auto validRun = [end](const uchar *p) {
        for (int length = 0; p < end && (length = validSequenceLength(p, end)) > 0;) p += length;
        return p;
    };
    const auto text = [](const uchar *from, const uchar *to) -> QString {
        // fromUtf8 drops a byte order mark in front, which is a character of
        // the name like any other.
        if (to - from >= 3 && from[0] == 0xEF && from[1] == 0xBB && from[2] == 0xBF) {
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                             QStringDecoder::Flag::Stateless);
            return decoder(QByteArrayView(from, to - from));
        }
        return QString::fromUtf8(reinterpret_cast<const char *>(from), to - from);
    };
    const uchar *p = validRun(begin);
    if (p == end)
        return text(begin, end);
    QString out = text(begin, p);
    while (p < end) {
        out.append(QChar(char16_t(0xDC00 + *p)));
        const uchar *run = p + 1;
        p = validRun(run);
        out.append(text(run, p));
    }
    return out;
}
