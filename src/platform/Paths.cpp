#include "Paths.h"

#include "HelpFile.h"

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

bool Paths::isSameOrInside(const QString &path, const QString &folder)
{
    const Qt::CaseSensitivity cs =
#ifdef Q_OS_WIN
        Qt::CaseInsensitive;
#else
        Qt::CaseSensitive;
#endif
    const QString p = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QString f = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (p.isEmpty() || f.isEmpty())
        return false;
    if (p.compare(f, cs) == 0)
        return true;
    return p.startsWith(f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/'), cs);
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
    // Decided on the path as written and on the folder it leads to with every
    // link resolved, so another name for a guarded folder (a link to the
    // root, /proc/self/root/etc) is guarded too.
    const QString real = QFileInfo(clean).canonicalFilePath();
    QStringList names{clean};
    if (!real.isEmpty() && real != clean)
        names << real;
    for (const QString &name : std::as_const(names)) {
        const QString parent = cleanAbsolute(QFileInfo(name).absolutePath());
        for (const QFileInfo &root : QDir::drives()) {
            const QString r = cleanAbsolute(root.absoluteFilePath());
            const QString realRoot = root.canonicalFilePath();
            if (name == r || parent == r || name == realRoot || parent == realRoot)
                return true;
        }
    }
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList guarded{QDir::homePath(), applicationFolder(), program,
                              QFileInfo(HelpFile::locate(program)).absolutePath()};
    for (const QString &g : guarded) {
        if (g.isEmpty())
            continue;
        for (const QString &held : {cleanAbsolute(g), QFileInfo(g).canonicalFilePath()}) {
            if (held.isEmpty())
                continue;
            for (const QString &name : std::as_const(names)) {
                if (isSameOrInside(held, name))
                    return true;
            }
        }
    }
    return false;
}
