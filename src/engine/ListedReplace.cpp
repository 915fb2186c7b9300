#include "ListedReplace.h"

#include "MainPort.h"
#include "ReadAhead.h"
#include "RunContext.h"
#include "RunSupport.h"
#include "WalkFileReplace.h"
#include "platform/Failure.h"

#include <utility>

using namespace RunSupport;

ListedReplace::ListedReplace(RunContext &ctx, const QString &pattern, WalkFileReplace &files,
                             ReadAhead &ahead)
    : m_ctx(ctx), m_s(ctx.state), m_pattern(pattern), m_files(files), m_ahead(ahead)
{
}

void ListedReplace::addFailure(const QString &description)
{
    m_items.push_back({{}, {}, {}, -1, false, description, std::exchange(m_yields, 0)});
}

void ListedReplace::list(FileSystem::FolderHandle &folder, bool isTopFolder,
                         QStringList &subfolders)
{
    QList<FileSystem::Entry> entries;
    try {
        entries = folder.list();
    } catch (const Failure &failure) {
        addFailure(failure.description());
        return;
    }
    const FileSystem::Folder held = folder.shared_from_this();
    // Decided, and the files to read ahead built, before anything is queued.
    QList<Item> items;
    items.reserve(entries.size());
    QList<bool> isItem(entries.size(), false);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        // The file list's own rule, so a walk takes only names a list would show.
        if (walksInto(e) || !walksFile(e, isTopFolder) || !matchesWildcard(e.name, m_pattern) ||
            !m_s.walkRules.takesFile(folder, e))
            continue;
        Item item;
        item.folder = held;
        item.entry = e;
        item.isChosen = WalkFileReplace::isChosen(m_s, folder.path(), e, isTopFolder);
        // Links are read at their turn.
        if (item.isChosen && !e.isLink)
            item.built = walkedFile(folder, e);
        items.append(std::move(item));
        isItem[i] = true;
    }
    qsizetype staged = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        ++m_yields;
        if (isItem.at(i)) {
            items[staged++].yields = std::exchange(m_yields, 0);
            continue;
        }
        if (!walksInto(e) || !m_s.walkRules.entersFolder(folder, e))
            continue;
        try {
            storeSubfolder(subfolders, e.name);
        } catch (const Failure &) {
            // That walk gave the folder up here, after the files before.
            queue(items, staged);
            throw;
        }
    }
    queue(items, staged);
}

void ListedReplace::queue(QList<Item> &items, qsizetype count)
{
    if (count == 0)
        return;
    QList<FileSystem::FileAt> files;
    for (qsizetype i = 0; i < count; ++i) {
        if (items.at(i).built.isValid())
            files.append(items.at(i).built);
    }
    qsizetype index = m_ahead.append(files);
    items[count - 1].isLastOfFolder = true;
    for (qsizetype i = 0; i < count; ++i) {
        Item &item = items[i];
        if (item.built.isValid())
            item.ahead = index++;
        m_items.push_back(std::move(item));
    }
    m_fileCount += count;
    ++m_folderCount;
}

bool ListedReplace::replaceUntil(qsizetype keep)
{
    while ((m_fileCount > keep || m_folderCount > kFoldersAhead) && !m_items.empty()) {
        if (!takeNext())
            return false;
    }
    return true;
}

bool ListedReplace::finish()
{
    while (!m_items.empty()) {
        if (!takeNext())
            return false;
    }
    return yield(std::exchange(m_yields, 0));
}

bool ListedReplace::takeNext()
{
    const Item item = std::move(m_items.front());
    m_items.pop_front();
    if (item.folder)
        --m_fileCount;
    if (item.isLastOfFolder)
        --m_folderCount;
    return take(item);
}

bool ListedReplace::yield(qsizetype count)
{
    for (; count > 0; --count) {
        m_ctx.main->yieldToEvents();
        if (m_s.stopRequested)
            return false;
    }
    return true;
}

bool ListedReplace::take(const Item &item)
{
    if (!yield(item.yields) || m_s.stopRequested)
        return false;
    if (!item.folder) {
        passOver(m_ctx, kWalkSource, item.failure);
        return true;
    }
    const QString path =
        item.built.isValid() ? item.built.path : item.folder->path() + item.entry.name;
    showSearching(m_ctx, path);
    if (!item.isChosen)
        return true;
    const WalkFileReplace::Turn turn{*item.folder, item.entry, path,
                                     item.built.isValid() ? &item.built : nullptr, item.ahead};
    return m_files.replace(turn, {}) == WalkFileReplace::Next::Go;
}
