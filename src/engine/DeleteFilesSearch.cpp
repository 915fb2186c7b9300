#include "DeleteFilesSearch.h"

#include "MainPort.h"
#include "RunSupport.h"
#include "platform/Failure.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QDir>
#include <QStringList>

namespace {

void deleteTree(MainPort &main, const QString &DrivePath, const QString &Ext, quint64 device)
{
    const QString folder = Paths::withTrailingSeparator(DrivePath);
    main.yieldToEvents();

    const QList<FileSystem::Entry> entries = FileSystem::listFolder(folder);
    QStringList subfolders;
    QStringList files;
    for (const FileSystem::Entry &e : entries) {
        // Hidden entries are never listed: a folder holding one cannot be
        // removed, and the error tells the user rather than losing the file.
        if (!e.isHidden) {
            if (e.kind == FileSystem::EntryKind::Folder)
                RunSupport::storeSubfolder(subfolders, folder + e.name + QDir::separator());
            // Links (to folders too), FIFOs and devices are removed as entries, never opened.
            else if (RunSupport::matchesWildcard(e.name, Ext))
                files << e.name;
        }
        main.yieldToEvents();
    }

    for (const QString &name : std::as_const(files)) {
        main.setStatusText(2, QStringLiteral(" Deleting files: ") + folder + name);
        main.yieldToEvents();
        FileSystem::removeFile(folder + name);
    }

    for (const QString &sub : std::as_const(subfolders)) {
        main.yieldToEvents();
        // Checked again at the moment of entering: the listing may be stale, and
        // a mount point or a folder swapped for a link would lead out of the tree.
        if (FileSystem::folderDevice(sub) != device)
            throw Failure(QStringLiteral("The folder \"%1\" lies on another file system or is no "
                                         "longer a folder; nothing below it is removed.")
                              .arg(sub));
        deleteTree(main, sub, Ext, device);
        FileSystem::removeEmptyFolder(sub);
        main.setStatusText(2, QStringLiteral(" Deleting folders: ") + sub);
    }
}

}  // namespace

void DeleteFilesSearch(MainPort &main, const QString &DrivePath, const QString &Ext)
{
    const std::optional<quint64> device = FileSystem::folderDevice(DrivePath);
    if (!device)
        throw Failure(QStringLiteral("\"%1\" is not a folder.").arg(DrivePath));
    deleteTree(main, DrivePath, Ext, *device);
}

void FolderRemoval::refuseProtected(const QString &folder)
{
    if (Paths::isProtectedFolder(folder))
        throw Failure(QStringLiteral("The folder \"%1\" holds the system's, the user's or this "
                                     "program's own files and cannot be deleted.")
                          .arg(folder));
    if (!FileSystem::folderDevice(folder))
        throw Failure(QStringLiteral("\"%1\" is not a folder.").arg(folder));
}

void FolderRemoval::removeTree(MainPort &main, const QString &folder)
{
    refuseProtected(folder);
    DeleteFilesSearch(main, folder, QStringLiteral("*.*"));
    FileSystem::removeEmptyFolder(folder);
}
