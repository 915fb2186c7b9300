#include "FileList.h"

#include "engine/WalkRules.h"
#include "platform/FolderNames.h"

#include <QKeyEvent>

FileList::FileList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void FileList::setFolder(const QString &folder)
{
    m_folder = folder;
    fill({});
}

void FileList::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    fill({});
}

void FileList::setSkipIgnored(bool skip)
{
    if (skip == m_skipIgnored)
        return;
    m_skipIgnored = skip;
    refresh();
}

void FileList::setIncludeHidden(bool include)
{
    if (include == m_includeHidden)
        return;
    m_includeHidden = include;
    refresh();
}

void FileList::refresh()
{
    QStringList names;
    for (const QListWidgetItem *item : selectedItems()) names << item->text();
    fill(names);
}

int FileList::selectedCount() const
{
    return int(selectedItems().size());
}

bool FileList::isSelected(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry && entry->isSelected();
}

void FileList::selectNames(const QStringList &names)
{
    if (names.isEmpty())
        return;
    clearSelection();
    bool first = true;
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem *entry = item(i);
        if (!names.contains(entry->text()))
            continue;
        if (first) {
            setCurrentItem(entry, QItemSelectionModel::NoUpdate);
            scrollToItem(entry);
            first = false;
        }
        entry->setSelected(true);
    }
}

void FileList::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    QListWidgetItem *current = currentItem();
    if (event->key() == Qt::Key_Space && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
        if (current)
            current->setSelected(!current->isSelected());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        mods == Qt::NoModifier) {
        if (current && selectedItems().isEmpty())
            current->setSelected(true);
        emit openRequested();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FileList::fill(const QStringList &keepSelected)
{
    clear();
    if (m_folder.isEmpty())
        return;
    // The walks' own listing and matcher, so the list shows exactly the names a
    // run with subfolders takes here, also names that are not valid UTF-8.
    const WalkRules rules(m_pattern, m_skipIgnored, m_includeHidden);
    const QStringList names = FolderNames::sorted(m_folder, [&](const FileSystem::Entry &e) {
        return e.kind == FileSystem::EntryKind::File && rules.listsFile(m_folder, e);
    });
    for (const QString &name : names) {
        auto *entry = new QListWidgetItem(name, this);
        if (keepSelected.contains(name))
            entry->setSelected(true);
    }
}
