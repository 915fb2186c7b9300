#pragma once

#include "FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>

/// Reading a regular file once it is open, the same whether it was reached by
/// path or through a held folder. Internal to the platform.
namespace RegularFile {

/// Whether the open fd is a regular file; st receives its facts. A FIFO or a
/// device swapped in for a listed file is told here, after an O_NONBLOCK open.
bool isRegular(int fd, struct stat &st);

/// Everything from fd up to its end; size (what fstat said) is only a hint.
QByteArray readToEnd(int fd, qint64 size, const QString &path);
/// readToEnd into bytes, reusing the room it has.
void readToEndInto(int fd, qint64 size, QByteArray &bytes, const QString &path);

/// fd's content handed to piece() pieceSize bytes at a time, until piece()
/// returns false or the end is met.
void readInPieces(int fd, qsizetype pieceSize, const std::function<bool(QByteArrayView)> &piece,
                  const QString &path);

/// What a save compares to be sure the file is still the one that was read.
FileSystem::FileStamp stampOf(const struct stat &st);

/// The process's file-creation mask, left as it was.
mode_t currentUmask();

}  // namespace RegularFile
