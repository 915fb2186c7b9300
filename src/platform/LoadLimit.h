#pragma once

#include "Failure.h"

#include <QString>
#include <QtGlobal>

/// How large a file the program may load: a file's text and its replaced text
/// both live in memory, so a file near the machine's memory would end the program.
namespace LoadLimit {

/// The largest file size, in bytes, that may be loaded: a fifth of the
/// machine's physical memory.
qint64 maxFileSize();

/// Overrides the limit (tests); 0 returns to the machine's.
void setMaxFileSizeForTesting(qint64 bytes);

/// Throws FileTooLarge when a file of size bytes at path may not be loaded.
void check(const QString &path, qint64 size);

}  // namespace LoadLimit

/// A file passed over because it is larger than LoadLimit::maxFileSize().
class FileTooLarge : public Failure {
public:
    using Failure::Failure;
};
