#pragma once

#include <QHash>
#include <QString>

#include <memory>

namespace FileSystem {
class FolderHandle;
}

/// What version control ignores, decided as it decides: every ".gitignore" on
/// the way down from the working tree's top (the deeper file first, the last
/// matching line of a file wins), then ".git/info/exclude", then the user's
/// excludes file; nothing below an ignored folder comes back. A folder that
/// holds a repository of its own starts its rules afresh; outside any working
/// tree nothing is ignored. The ".gitignore" files inside the walk are read
/// through the open folder being listed, never by name from the top again.
/// One object per run: each folder's rules are read once.
class IgnoreRules {
public:
    IgnoreRules();
    ~IgnoreRules();
    IgnoreRules(const IgnoreRules &) = delete;
    IgnoreRules &operator=(const IgnoreRules &) = delete;

    /// Whether entry name of folder (a folder when isFolder) is ignored.
    bool isIgnored(FileSystem::FolderHandle &folder, const QString &name, bool isFolder);
    /// The same for an entry of the folder path, for listings without a handle.
    bool isIgnored(const QString &folderPath, const QString &name, bool isFolder);

private:
    struct Node;
    struct Repository;
    std::shared_ptr<const Node> nodeFor(FileSystem::FolderHandle &folder);
    std::shared_ptr<const Node> nodeFromTop(const QString &realFolder);
    std::shared_ptr<const Repository> repositoryAt(const QString &top, const QString &commonFolder);

    QHash<QString, std::shared_ptr<const Node>> m_nodes;
    // The folder asked about last: a walk asks about every entry of a folder in turn.
    const FileSystem::FolderHandle *m_lastFolder = nullptr;
    QString m_lastPath;
    std::shared_ptr<const Node> m_lastNode;
};
