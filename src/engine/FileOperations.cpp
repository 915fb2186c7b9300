#include "FileOperations.h"

#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileEntries.h"
#include "platform/FileRemoval.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

QString FileOperations::childPath(const QString &folder, const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') ||
        name.contains(QDir::separator()) || name.contains(QChar(0)))
        throw Failure(QStringLiteral("\"%1\" is not a valid name.").arg(name));
    return Paths::withTrailingSeparator(folder) + name;
}

void FileOperations::renameFile(const QString &folder, const QString &oldName,
                                const QString &newName)
{
    const QString to = childPath(folder, newName);
    FileSystem::renameWithoutReplacing(childPath(folder, oldName), to);
}

bool FileOperations::confirmFileDeletion(Dialogs &dialogs, const QString &path)
{
    return dialogs.message(
               QStringLiteral("Are you sure you want to delete ") + path + QStringLiteral("?\r") +
                   QStringLiteral("This file will be permanently deleted, not sent to the "
                                  "trash.  Continue?"),
               QStringLiteral("Delete file?"), MessageButtons::YesNo, MessageIcon::Question,
               MessageAnswer::No) == MessageAnswer::Yes;
}

void FileOperations::deleteFile(const QString &path)
{
    FileSystem::removeFile(path);
}

void FileOperations::createFolder(const QString &folder, const QString &name)
{
    FileSystem::createFolder(childPath(folder, name));
}

QString FileOperations::renameFolder(const QString &path, const QString &newName)
{
    if (Paths::isProtectedFolder(path))
        throw Failure(QStringLiteral("\"%1\" is a protected folder.").arg(path));
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QString parent = QDir::toNativeSeparators(QFileInfo(clean).path());
    QString target = childPath(parent, newName);
    FileSystem::renameFolder(path, newName);
    return target;
}
