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
}  // namespace

QString Paths::applicationFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable())
        return QDir::toNativeSeparators(exeFolder);
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
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
    for (const QFileInfo &root : QDir::drives()) {
        const QString r = cleanAbsolute(root.absoluteFilePath());
        if (clean == r)
            return true;
        // A folder directly below a root.
        const QString parent = cleanAbsolute(QFileInfo(clean).absolutePath());
        if (parent == r)
            return true;
    }
    const QString home = cleanAbsolute(QDir::homePath());
    const QString realHome = QFileInfo(home).canonicalFilePath();
    const QString real = QFileInfo(clean).canonicalFilePath();
    return clean == home || (!real.isEmpty() && real == realHome);
}
