#include "DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    refresh();
}

void DriveList::refresh()
{
    const QSignalBlocker blocker(this);
    const QString current = drive();
    clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            roots << QDir::toNativeSeparators(volume.rootPath());
    }
    for (const QFileInfo &root : QDir::drives())
        roots << QDir::toNativeSeparators(root.absolutePath());
    roots.removeDuplicates();
    roots.sort();
    for (const QString &root : std::as_const(roots)) addItem(root, root);
    const int index = findData(current);
    if (index >= 0)
        setCurrentIndex(index);
}

QString DriveList::driveOf(const QString &path) const
{
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(path));
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const QString withSep = root.endsWith(QDir::separator()) ? root : root + QDir::separator();
        if ((clean == root || clean.startsWith(withSep)) && root.size() > best.size())
            best = root;
    }
    return best;
}

void DriveList::showDriveOf(const QString &path)
{
    QString root = driveOf(path);
    if (root.isEmpty()) {
        refresh();
        root = driveOf(path);
    }
    const QSignalBlocker blocker(this);
    const int index = findData(root);
    if (index >= 0)
        setCurrentIndex(index);
}
