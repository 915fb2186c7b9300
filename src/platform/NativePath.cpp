#include "FileSystem.h"

#include "Failure.h"
#include "PosixInternals.h"
#include "Utf8Sequence.h"

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

QString FileSystem::fromNativePath(const QByteArray &path)
{
    if (std::all_of(path.cbegin(), path.cend(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(path);
    QString out;
    out.reserve(path.size());
    const uchar *p = reinterpret_cast<const uchar *>(path.constData());
    const uchar *end = p + path.size();
    while (p < end) {
        const int length = validSequenceLength(p, end);
        if (length == 0) {
            out.append(QChar(char16_t(0xDC00 + *p)));
            ++p;
            continue;
        }
        out.append(QString::fromUtf8(reinterpret_cast<const char *>(p), length));
        p += length;
    }
    return out;
}
