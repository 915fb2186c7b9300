#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Whether folder is held, or is itself (both clean, with '/' separators).
bool containsOrIs(const QString &folder, const QString &held)
{
    const Qt::CaseSensitivity cs =
#ifdef Q_OS_WIN
        Qt::CaseInsensitive;
#else
        Qt::CaseSensitive;
#endif
    if (held.compare(folder, cs) == 0)
        return true;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return held.startsWith(prefix, cs);
}
}  // namespace

QString Paths::applicationFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
#ifdef Q_OS_WIN
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable())
        return QDir::toNativeSeparators(exeFolder);
#endif
    // A build folder, or /usr/bin when run as root, must never receive the
    // report, the log or backups: the program's files are the user's data.
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
}

QString Paths::startFolder()
{
#ifdef Q_OS_WIN
    return applicationFolder();
#else
    return QDir::toNativeSeparators(QDir::homePath());
#endif
}

void Paths::setApplicationFolderForTesting(const QString &folder)
{
    overrideFolder() = folder;
}

QString Paths::withTrailingSeparator(const QString &path)
{
    const QChar sep = QDir::separator();
    if (path.endsWith(sep) || path.endsWith(QLatin1Char('/')))
        return path;
    return path + sep;
}

bool Paths::isProtectedFolder(const QString &path)
{
    if (path.isEmpty())
        return true;
    const QString clean = cleanAbsolute(path);
    const QString parent = cleanAbsolute(QFileInfo(clean).absolutePath());
    for (const QFileInfo &root : QDir::drives()) {
        const QString r = cleanAbsolute(root.absoluteFilePath());
        if (clean == r || parent == r)
            return true;
    }
    // Compared both as written and with links resolved, so another name for a
    // guarded folder is guarded too.
    const QString real = QFileInfo(clean).canonicalFilePath();
    const QStringList guarded{QDir::homePath(), applicationFolder(),
                              QCoreApplication::applicationDirPath()};
    for (const QString &g : guarded) {
        if (g.isEmpty())
            continue;
        for (const QString &held : {cleanAbsolute(g), QFileInfo(g).canonicalFilePath()}) {
            if (held.isEmpty())
                continue;
            if (containsOrIs(clean, held) || (!real.isEmpty() && containsOrIs(real, held)))
                return true;
        }
    }
    return false;
}
