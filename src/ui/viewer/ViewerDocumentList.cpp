#include "ViewerDocumentList.h"

#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"
#include "settings/LogSources.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <utility>

ViewerDocumentList::ViewerDocumentList(RunContext &ctx, const DocumentBuffer &buffer,
                                       const Controls &controls, Host &host)
    : m_ctx(ctx), m_buffer(buffer), m_controls(controls), m_host(host)
{
}

ViewerDocumentList::~ViewerDocumentList()
{
    dropWaiting();
}

void ViewerDocumentList::add(const QString &path)
{
    if (m_waiting.isEmpty()) {
        // Every pass starts with one of these, a message box's loop as much
        // as a run's yield, so the list is whole whenever it can be seen.
        if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
            const auto putInPlace = [this] { putWaitingInPlace(); };
            m_passes << QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, putInPlace)
                     << QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                         putInPlace);
        }
    }
    m_waiting << path;
}

int ViewerDocumentList::count() const
{
    return m_controls.list->count() + int(m_waiting.size());
}

QString ViewerDocumentList::entry(int index) const
{
    const int listed = m_controls.list->count();
    if (index < listed) {
        const QListWidgetItem *item = m_controls.list->item(index);
        return item ? item->text() : QString();
    }
    return m_waiting.value(index - listed);
}

void ViewerDocumentList::putWaitingInPlace()
{
    if (m_waiting.isEmpty())
        return;
    const QStringList waiting = std::exchange(m_waiting, {});
    dropWaiting();
    m_controls.list->addItems(waiting);
}

void ViewerDocumentList::removeAll()
{
    dropWaiting();
    m_controls.list->clear();
}

void ViewerDocumentList::dropWaiting()
{
    m_waiting.clear();
    for (const QMetaObject::Connection &c : std::as_const(m_passes)) QObject::disconnect(c);
    m_passes.clear();
}

bool ViewerDocumentList::takeSkip()
{
    if (!m_skipNext)
        return false;
    m_skipNext = false;
    return true;
}

void ViewerDocumentList::skipNextReaction()
{
    m_skipNext = true;
}

void ViewerDocumentList::dropPendingSkip()
{
    takeSkip();
}

void ViewerDocumentList::showSelectedFile()
{
    if (m_ctx.state.stopRequested)
        return;
    const bool mayReplace = m_host.offerToSaveChanges();
    if (takeSkip())
        return;
    if (!mayReplace) {
        // The save failed: the changed document stays, and so does its entry.
        keepShownEntrySelected();
        return;
    }
    QListWidget *list = m_controls.list;
    const int row = list->currentRow();
    if (row < 0)
        return;
    const QString path = list->item(row)->text();
    if (!m_host.loadDocument(path, LogSource::viewerListClick))
        return;
    if (!m_buffer.fileName().isEmpty())
        m_host.setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.fileName());
    m_controls.foundPos->setText(QStringLiteral("Not found"));
    m_controls.index->setText(QString::number(row + 1));
    m_host.setCaption(QStringLiteral("Viewing document: ") + path);
    *m_controls.newPos = QStringLiteral("-1");
    m_host.restartSearch();
}

void ViewerDocumentList::documentEdited()
{
    if (takeSkip())
        return;
    const QListWidgetItem *item = m_controls.list->currentItem();
    if (!item || item->text().isEmpty())
        return;
    m_host.showFileInfo(item->text());
}

void ViewerDocumentList::step(int delta)
{
    m_ctx.state.stopRequested = false;
    if (!m_host.offerToSaveChanges())
        return;
    putWaitingInPlace();
    const int count = m_controls.list->count();
    if (count == 0)
        return;
    const int row = m_controls.list->currentRow() + delta;
    m_controls.list->setCurrentRow(row < 0 ? count - 1 : row >= count ? 0 : row);
}

void ViewerDocumentList::previousFile()
{
    step(-1);
}

void ViewerDocumentList::nextFile()
{
    step(1);
}

void ViewerDocumentList::keepShownEntrySelected()
{
    putWaitingInPlace();
    const QString shown = m_buffer.fileName();
    QListWidget *list = m_controls.list;
    const QList<QListWidgetItem *> entries = list->findItems(shown, Qt::MatchExactly);
    if (shown.isEmpty() || entries.isEmpty())
        return;
    const QSignalBlocker quiet(list);
    list->setCurrentItem(entries.constFirst());
}

void ViewerDocumentList::selectRowQuietly(int row)
{
    // The selection reaction sees the skip and only ends it.
    putWaitingInPlace();
    skipNextReaction();
    m_controls.list->setCurrentRow(row);
    takeSkip();
}

void ViewerDocumentList::appendShown(const QString &path)
{
    putWaitingInPlace();
    QListWidget *list = m_controls.list;
    list->addItem(path);
    list->setCurrentRow(list->count() - 1);
    m_controls.count->setText(QString::number(list->count()));
}

void ViewerDocumentList::clear()
{
    m_controls.count->setText(QStringLiteral("0"));
    removeAll();
}
