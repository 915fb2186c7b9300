#include "WalkRules.h"

#include "IgnoreRules.h"

#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"

WalkRules::WalkRules() = default;
WalkRules::~WalkRules() = default;
WalkRules::WalkRules(const WalkRules &) = default;
WalkRules &WalkRules::operator=(const WalkRules &) = default;

WalkRules::WalkRules(const QString &filterText, bool skipIgnored, bool includeHidden)
    : m_filter(filterText),
      m_ignored(skipIgnored ? std::make_shared<IgnoreRules>() : nullptr),
      m_includeHidden(includeHidden)
{
}

bool WalkRules::reaches(const FileSystem::Entry &entry, bool includeHidden)
{
    if (!entry.isHidden)
        return true;
    return includeHidden && entry.name != QLatin1String(".git");
}

bool WalkRules::entersFolder(FileSystem::FolderHandle &folder, const FileSystem::Entry &entry) const
{
    if (!reaches(entry, m_includeHidden) || m_filter.excludesFolder(entry.name))
        return false;
    return !m_ignored || !m_ignored->isIgnored(folder, entry.name, true);
}

bool WalkRules::takesFile(FileSystem::FolderHandle &folder, const FileSystem::Entry &entry) const
{
    if (!reaches(entry, m_includeHidden) || m_filter.excludesFile(entry.name))
        return false;
    return !m_ignored || !m_ignored->isIgnored(folder, entry.name, false);
}

bool WalkRules::listsFile(const QString &folderPath, const FileSystem::Entry &entry) const
{
    if (!reaches(entry, m_includeHidden) || !m_filter.takesFile(entry.name))
        return false;
    return !m_ignored || !m_ignored->isIgnored(folderPath, entry.name, false);
}
