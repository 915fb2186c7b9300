#include "FolderList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace {
constexpr int PathRole = Qt::UserRole;
}

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { setPath(item->data(PathRole).toString()); });
}

bool FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    if (clean == m_path)
        return true;
    m_path = clean;
    fill();
    emit pathChanged(m_path);
    return true;
}

void FolderList::refresh()
{
    fill();
}

QString FolderList::highlightedPath() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->data(PathRole).toString() : m_path;
}

void FolderList::fill()
{
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);

    QStringList chain;
    QDir dir(QDir::fromNativeSeparators(m_path));
    do {
        chain.prepend(dir.absolutePath());
    } while (dir.cdUp());

    int depth = 0;
    QListWidgetItem *openItem = nullptr;
    for (const QString &folder : std::as_const(chain)) {
        const QString name =
            depth == 0 ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, QDir::toNativeSeparators(folder));
        openItem = item;
        ++depth;
    }
    const QDir current(QDir::fromNativeSeparators(m_path));
    const QFileInfoList subfolders = current.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo &sub : subfolders) {
        auto *item = new QListWidgetItem(
            closed, QString(depth * 2, QLatin1Char(' ')) + sub.fileName(), this);
        item->setData(PathRole, QDir::toNativeSeparators(sub.absoluteFilePath()));
    }
    if (openItem)
        setCurrentItem(openItem);
}
