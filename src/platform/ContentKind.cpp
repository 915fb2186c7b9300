#include "ContentKind.h"

#include "FileSystem.h"
#include "LoadLimit.h"

#include <QByteArray>

bool ContentKind::isBinaryStart(QByteArrayView start)
{
    const QByteArrayView block = start.first(qMin(start.size(), kFirstBlock));
    const bool utf16Bom =
        block.size() >= 2 && ((uchar(block[0]) == 0xFF && uchar(block[1]) == 0xFE) ||
                              (uchar(block[0]) == 0xFE && uchar(block[1]) == 0xFF));
    return !utf16Bom && block.contains('\0');
}

bool ContentKind::isBinaryText(QStringView text, TextEncoding encoding, qsizetype block)
{
    if (TextCodec::isUtf16(encoding))
        return false;
    return text.first(qMin(text.size(), block)).contains(QChar(0));
}

ContentKind::Kind ContentKind::ofFile(const QString &path)
{
    if (FileSystem::fileSize(path) > LoadLimit::maxFileSize())
        return Kind::TooLarge;
    QByteArray start;
    FileSystem::readFileInPieces(path, kFirstBlock, [&](QByteArrayView piece) {
        start.append(piece);
        return start.size() < kFirstBlock;
    });
    return isBinaryStart(start) ? Kind::Binary : Kind::Text;
}
