#include "BackupLocation.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QDir>

namespace {
// folder's path below the file-system root, with '/' between its parts.
QString pathBelowRoot(const QString &folder)
{
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
    // "C:/x" mirrors as "C/x": a colon cannot be part of a folder name there.
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        path.remove(1, 1);
    if (path == QLatin1String("."))
        path.clear();
    return path;
}
}  // namespace

QString BackupTree::rootProblem(const QString &root)
{
    if (root.trimmed().isEmpty())
        return QStringLiteral(
            "No backup folder is set. Choose one with the \"...\" button "
            "beside \"Create Backup\".");
    if (!QDir::isAbsolutePath(QDir::fromNativeSeparators(root)))
        return QStringLiteral(
                   "The backup folder %1 is not a full path. Choose one with the "
                   "\"...\" button beside \"Create Backup\".")
            .arg(root);
    return QString();
}

QString BackupTree::treeRoot(const QString &root)
{
    return Paths::withTrailingSeparator(root) + QStringLiteral("Backup") + QDir::separator();
}

QString BackupTree::mirrorOf(const QString &root, const QString &folder)
{
    const QString below = pathBelowRoot(folder);
    const QString tree = treeRoot(root);
    return below.isEmpty() ? tree
                           : Paths::withTrailingSeparator(tree + QDir::toNativeSeparators(below));
}

QString BackupTree::makeMirror(const QString &root, const QString &folder)
{
    QString level = treeRoot(root);
    FileSystem::makeFolder(level);
    const QString below = pathBelowRoot(folder);
    for (const QString &part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        level += part + QDir::separator();
        FileSystem::makeFolder(level);
    }
    return level;
}
