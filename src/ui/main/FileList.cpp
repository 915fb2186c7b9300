#include "FileList.h"

#include <QDir>

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

void FileList::fill(const QStringList &keepSelected)
{
    clear();
    if (m_folder.isEmpty())
        return;
    QStringList patterns;
    for (const QString &piece : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = piece.trimmed();
        // "*.*" means every file, also those without a dot in the name.
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    const QDir dir(QDir::fromNativeSeparators(m_folder));
    const QStringList names =
        dir.entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString &name : names) {
        auto *entry = new QListWidgetItem(name, this);
        if (keepSelected.contains(name))
            entry->setSelected(true);
    }
}
