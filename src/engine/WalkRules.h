#pragma once

#include "FileNameFilter.h"

#include <QString>

#include <memory>

class IgnoreRules;
namespace FileSystem {
class FolderHandle;
struct Entry;
}  // namespace FileSystem

/// What a walk leaves out besides the pattern it walks for: the filter's
/// exclusions and, when the user asks for it, what version control ignores.
/// The file list asks the same rules, so it shows what a walk would take.
class WalkRules {
public:
    WalkRules();
    /// The rules of filterText; skipIgnored adds version control's ignore rules.
    WalkRules(const QString &filterText, bool skipIgnored);
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

private:
    FileNameFilter m_filter;
    std::shared_ptr<IgnoreRules> m_ignored;
};
