#pragma once

#include "TextCodec.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// Whether a file can be handled as text, told from its size and its first
/// block alone, so that a disk image or a file past the load limit is never
/// read whole to find out.
namespace ContentKind {

enum class Kind {
    Text,
    Binary,    ///< a NUL byte in the first block of a file not read as UTF-16
    TooLarge,  ///< larger than LoadLimit::maxFileSize()
};

/// How many bytes at the start of a file decide whether it is binary.
constexpr qsizetype kFirstBlock = 8192;

/// Whether bytes, the start of a file, mark it binary: a NUL byte among the
/// first kFirstBlock of them, unless they start with a UTF-16 BOM.
bool isBinaryStart(QByteArrayView start);

/// The same rule for a file already decoded: a NUL among the first block
/// characters of a text not read as UTF-16.
bool isBinaryText(QStringView text, TextEncoding encoding, qsizetype block = kFirstBlock);

/// The kind of the file at path, reading at most its first block. Throws
/// Failure when it cannot be examined or read.
Kind ofFile(const QString &path);

}  // namespace ContentKind
