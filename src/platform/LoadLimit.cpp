#include "LoadLimit.h"

#include <QLocale>

#include <limits>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace {

qint64 g_testLimit = 0;

qint64 askPhysicalMemory()
{
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES)
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * qint64(pageSize);
#elif defined(Q_OS_WIN)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (::GlobalMemoryStatusEx(&status))
        return qint64(status.ullTotalPhys);
#endif
    return qint64(4) << 30;  // unknown: assume a modest machine
}

// Asked once: the answer costs a system call, and every load checks it.
qint64 physicalMemory()
{
    static const qint64 bytes = askPhysicalMemory();
    return bytes;
}

}  // namespace

qint64 LoadLimit::maxFileSize()
{
    if (g_testLimit > 0)
        return g_testLimit;
    // A QString holds at most this many characters, whatever the memory.
    const qint64 addressable = qint64(std::numeric_limits<qsizetype>::max() / 4);
    return qMin(physicalMemory() / 5, addressable);
}

void LoadLimit::setMaxFileSizeForTesting(qint64 bytes)
{
    g_testLimit = bytes;
}

void LoadLimit::check(const QString &path, qint64 size)
{
    const qint64 limit = maxFileSize();
    if (size <= limit)
        return;
    const QLocale locale = QLocale::system();
    throw FileTooLarge(
        QStringLiteral("The file \"%1\" (%2) is too large to load: this program "
                       "holds files of up to %3 in memory. It was passed over "
                       "and left unchanged.")
            .arg(path, locale.formattedDataSize(size), locale.formattedDataSize(limit)));
}
