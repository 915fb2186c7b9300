#include "FolderList.h"

#include "engine/WalkRules.h"
#include "platform/FolderNames.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

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
    if (path.isEmpty() || !FileSystem::isFolder(path))
        return false;
    const QString clean =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
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

void FolderList::setShowHidden(bool show)
{
    if (show == m_showHidden)
        return;
    m_showHidden = show;
    fill();
}

QString FolderList::highlightedPath() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->data(PathRole).toString() : m_path;
}

void FolderList::openParent()
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(m_path));
    const QString parent = QFileInfo(clean).path();
    if (parent != clean)
        setPath(QDir::toNativeSeparators(parent));
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        setPath(highlightedPath());
    } else if ((key == Qt::Key_Backspace && mods == Qt::NoModifier) ||
               (key == Qt::Key_Up && mods == Qt::AltModifier)) {
        openParent();
    } else {
        QListWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void FolderList::keyboardSearch(const QString &search)
{
    if (search.isEmpty() || count() == 0)
        return;
    if (!m_sinceTyped.isValid() || m_sinceTyped.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_sinceTyped.start();
    m_typed += search;
    // The same letter again steps on to the next name that starts with it.
    const bool stepping = m_typed.count(m_typed.front()) == m_typed.size();
    const QString wanted = stepping ? m_typed.left(1) : m_typed;
    const int from = currentRow() + (stepping ? 1 : 0);
    for (int i = 0; i < count(); ++i) {
        const int row = (qMax(from, 0) + i) % count();
        // Names are indented by their depth; the indent is no part of the name.
        if (item(row)->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return;
        }
    }
}

void FolderList::fill()
{
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);

    // Worked out on the text alone: a name that is not valid UTF-8 is carried
    // escaped, and only the platform listing reads such a folder.
    QStringList chain;
    QString folder = QDir::cleanPath(QDir::fromNativeSeparators(m_path));
    for (;;) {
        chain.prepend(folder);
        const qsizetype cut = folder.lastIndexOf(QLatin1Char('/'));
        if (cut < 0)
            break;
        QString parent = folder.left(cut);
        if (parent.isEmpty() || parent.endsWith(QLatin1Char(':')))
            parent += QLatin1Char('/');
        if (parent == folder)
            break;
        folder = parent;
    }

    int depth = 0;
    QListWidgetItem *openItem = nullptr;
    for (const QString &step : std::as_const(chain)) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(step)
                                        : step.mid(step.lastIndexOf(QLatin1Char('/')) + 1);
        auto *item =
            new QListWidgetItem(open, QString(qsizetype(depth) * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, QDir::toNativeSeparators(step));
        openItem = item;
        ++depth;
    }
    const QStringList subfolders = FolderNames::sorted(m_path, [this](const FileSystem::Entry &e) {
        return (e.kind == FileSystem::EntryKind::Folder ||
                e.kind == FileSystem::EntryKind::FolderLink) &&
               WalkRules::reaches(e, m_showHidden);
    });
    const QString base = Paths::withTrailingSeparator(m_path);
    for (const QString &sub : std::as_const(subfolders)) {
        auto *item = new QListWidgetItem(
            closed, QString(qsizetype(depth) * 2, QLatin1Char(' ')) + sub, this);
        item->setData(PathRole, base + sub);
    }
    if (openItem)
        setCurrentItem(openItem);
}
