#include "FolderRemoval.h"

#include "MainPort.h"
#include "RunEvents.h"
#include "RunSupport.h"
#include "platform/Failure.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"
#include "platform/TreeWalk.h"

#include <QStringList>

namespace {

// Every entry is reached through the open folder that listed it, so a
// subfolder exchanged for a link or a mount meanwhile is never entered.
void deleteFolderFiles(MainPort &main, RunEvents &events, FileSystem::FolderHandle &folder,
                       const QString &pattern, QStringList &subfolders)
{
    main.yieldToEvents();
    const QList<FileSystem::Entry> entries = folder.list();
    QStringList files;
    for (const FileSystem::Entry &e : entries) {
        // Hidden entries are never listed: a folder holding one cannot be
        // removed, and the error tells the user rather than losing the file.
        if (!e.isHidden) {
            if (e.kind == FileSystem::EntryKind::Folder)
                RunSupport::storeSubfolder(subfolders, e.name);
            // Links (to folders too), FIFOs and devices are removed as entries, never opened.
            else if (RunSupport::matchesWildcard(e.name, pattern))
                files << e.name;
        }
        main.yieldToEvents();
    }

    for (const QString &name : std::as_const(files)) {
        events.deletingFile(folder.path() + name);
        main.yieldToEvents();
        folder.removeFile(name);
    }
}

// The folder the removal opened must not be a guarded one, whatever name led there.
void refuseOpened(const FileSystem::FolderHandle &folder, const QString &path)
{
    const QString real = folder.realPath();
    if (!real.isEmpty() && Paths::isProtectedFolder(real))
        throw Failure(QStringLiteral("The folder \"%1\" holds the system's, the user's or this "
                                     "program's own files and cannot be deleted.")
                          .arg(path));
}

}  // namespace

void deleteFolderContents(MainPort &main, RunEvents &events, const QString &topFolder,
                          const QString &pattern)
{
    if (!FileSystem::folderDevice(topFolder))
        throw Failure(QStringLiteral("\"%1\" is not a folder.").arg(topFolder));
    // The folder itself is never reached through a link in its last name.
    const FileSystem::Folder top = FileSystem::FolderHandle::open(topFolder, false);
    refuseOpened(*top, topFolder);
    QStringList passedOver;
    FileSystem::TreeWalk walk;
    walk.visit = [&](FileSystem::FolderHandle &folder, QStringList &subfolders) {
        deleteFolderFiles(main, events, folder, pattern, subfolders);
    };
    walk.passOver = [&](const Failure &failure) {
        // A link or another mount in its place: nothing below it is removed.
        const auto *skipped = dynamic_cast<const FileSystem::PassedOver *>(&failure);
        if (skipped)
            passedOver << skipped->description();
        return skipped != nullptr;
    };
    walk.left = [&](FileSystem::FolderHandle &folder, const QString &name) {
        main.yieldToEvents();
        folder.removeFolder(name);
        events.folderDeleted(folder.path() + name);
    };
    walk.run(top);
    if (!passedOver.isEmpty())
        throw Failure(passedOver.join(QLatin1Char('\n')));
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

void FolderRemoval::removeTree(MainPort &main, RunEvents &events, const QString &folder)
{
    refuseProtected(folder);
    deleteFolderContents(main, events, folder, QStringLiteral("*.*"));
    FileSystem::removeEmptyFolder(folder);
}
