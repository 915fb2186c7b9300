#pragma once

#include "FileNameFilter.h"

#include <QString>

#include <memory>

class IgnoreRules;
namespace FileSystem {
class FolderHandle;
struct Entry;
}  // namespace FileSystem

/// What a walk leaves out besides the pattern it walks for: hidden entries
/// unless the user asks for them (".git" always), the filter's exclusions and,
/// when the user asks for it, what version control ignores. The file list asks
/// the same rules, so it shows what a walk would take.
class WalkRules {
public:
    WalkRules();
    /// The rules of filterText; skipIgnored adds version control's ignore
    /// rules, includeHidden lets hidden files and folders through.
    WalkRules(const QString &filterText, bool skipIgnored, bool includeHidden = false);
    ~WalkRules();
    WalkRules(const WalkRules &);
    WalkRules &operator=(const WalkRules &);

    /// Whether the walk enters the subfolder entry of folder.
    bool entersFolder(FileSystem::FolderHandle &folder, const FileSystem::Entry &entry) const;
    /// Whether the walk takes the file entry of folder (its pattern already took it).
    bool takesFile(FileSystem::FolderHandle &folder, const FileSystem::Entry &entry) const;
    /// Whether a listing of folderPath shows the file entry: a pattern takes it
    /// and neither an exclusion nor an ignore rule leaves it out.
    bool listsFile(const QString &folderPath, const FileSystem::Entry &entry) const;

    /// Whether a walk or a list reaches entry at all: never one named ".git"
    /// (a repository's own files, or a checkout's pointer to them), a hidden
    /// one only when includeHidden.
    static bool reaches(const FileSystem::Entry &entry, bool includeHidden);

private:
    FileNameFilter m_filter;
    std::shared_ptr<IgnoreRules> m_ignored;
    bool m_includeHidden = false;
};
