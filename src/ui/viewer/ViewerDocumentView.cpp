#include "ViewerDocumentView.h"

#include "ViewerFileInfo.h"
#include "ViewerText.h"
#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"
#include "platform/ContentKind.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

ViewerDocumentView::ViewerDocumentView(DocumentBuffer &buffer, QPlainTextEdit *view,
                                       const RunContext &ctx, QObject *parent)
    : QObject(parent), m_buffer(buffer), m_view(view), m_ctx(ctx)
{
    connect(&m_buffer, &DocumentBuffer::textReplaced, this, [this] {
        m_anchorBuffer = 0;
        m_anchorView = 0;
        if (!m_syncing) {
            m_facts.clear();
            m_userTyped = false;
            syncViewFromBuffer();
        }
    });
    connect(&m_buffer, &DocumentBuffer::stretchReplaced, this,
            [this](qint32 position, const QString &removed, const QString &inserted) {
                if (!m_syncing)
                    replaceStretchInView(position, removed, inserted);
            });
    connect(&m_buffer, &DocumentBuffer::selectionChanged, this,
            [this] { syncSelectionFromBuffer(); });
    connect(m_view, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            writeViewToBuffer();
    });
    connect(m_view, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_syncing)
            writeSelectionToBuffer();
    });
    connect(m_view, &QPlainTextEdit::selectionChanged, this, [this] {
        if (!m_syncing)
            writeSelectionToBuffer();
    });
}

void ViewerDocumentView::showFacts(const QString &facts)
{
    m_facts = facts;
    syncViewFromBuffer();
}

void ViewerDocumentView::catchUp()
{
    if (m_viewStale)
        syncViewFromBuffer();
}

bool ViewerDocumentView::isWindowVisible() const
{
    return m_view->window()->isVisible();
}

void ViewerDocumentView::syncViewFromBuffer()
{
    if (!isWindowVisible() || m_ctx.state.runInProgress) {
        // A run loads many files; lay out only what is shown once it ends.
        m_viewStale = true;
        if (isWindowVisible() && !m_syncScheduled) {
            m_syncScheduled = true;
            QTimer::singleShot(0, this, [this] {
                m_syncScheduled = false;
                if (m_viewStale)
                    syncViewFromBuffer();
            });
        }
        return;
    }
    m_viewStale = false;
    // A run may leave a binary file in the buffer: laying it out could take minutes.
    if (m_facts.isEmpty() && ContentKind::isBinaryText(m_buffer.text(), m_buffer.encoding()))
        m_facts = ViewerFileInfo::facts(m_buffer.fileName(), ContentKind::Kind::Binary);
    m_syncing = true;
    m_view->setPlaceholderText(m_facts);
    if (!m_facts.isEmpty()) {
        m_viewText.clear();
        m_view->setPlainText(m_viewText);
        m_view->setReadOnly(true);
        m_syncing = false;
        return;
    }
    m_viewText = ViewerText::toView(m_buffer.text());
    m_view->setPlainText(m_viewText);
    const QString shown = ViewerText::fromDocument(m_view->document()->toRawText());
    if (shown != m_viewText) {
        // The control changed a character on the way in. Same length: positions still
        // match, so edits stay local. Otherwise an edit could not be mapped back safely.
        if (shown.size() == m_viewText.size())
            m_viewText = shown;
        else
            m_view->setReadOnly(true);
    } else {
        m_view->setReadOnly(false);
    }
    m_syncing = false;
    syncSelectionFromBuffer();
}

void ViewerDocumentView::replaceStretchInView(qint32 position, const QString &removed,
                                              const QString &inserted)
{
    const QString &text = m_buffer.text();
    // Widened by a CR just before and an LF just after, the stretch has no CR LF
    // pair across its edges in the old text or the new, so it maps to one
    // stretch of the control and the text outside it keeps its positions.
    qsizetype start = position;
    qsizetype end = position + inserted.size();
    const auto at = [&text](qsizetype i) {
        return i >= 0 && i < text.size() ? text.at(i) : QChar();
    };
    const QChar oldFirst = removed.isEmpty() ? at(end) : removed.front();
    const QChar newFirst = inserted.isEmpty() ? at(end) : inserted.front();
    const QChar oldLast = removed.isEmpty() ? at(start - 1) : removed.back();
    const QChar newLast = inserted.isEmpty() ? at(start - 1) : inserted.back();
    QString oldStretch = removed;
    if (at(start - 1) == u'\r' && (oldFirst == u'\n' || newFirst == u'\n')) {
        --start;
        oldStretch.prepend(u'\r');
    }
    if (at(end) == u'\n' && (oldLast == u'\r' || newLast == u'\r')) {
        ++end;
        oldStretch.append(u'\n');
    }
    // An anchor inside or after the stretch was counted over the old text.
    if (m_anchorBuffer > start) {
        m_anchorBuffer = 0;
        m_anchorView = 0;
    }
    if (m_viewStale || !m_facts.isEmpty() || m_view->isReadOnly() || !isWindowVisible() ||
        m_ctx.state.runInProgress) {
        syncViewFromBuffer();
        return;
    }
    const int viewStart = viewPosition(int(start));
    const QString viewRemoved = ViewerText::toView(oldStretch);
    const QString viewInserted =
        ViewerText::toView(QStringView(text).sliced(start, end - start).toString());
    m_syncing = true;
    QTextCursor cursor(m_view->document());
    cursor.beginEditBlock();
    cursor.setPosition(viewStart);
    cursor.setPosition(viewStart + int(viewRemoved.size()), QTextCursor::KeepAnchor);
    cursor.insertText(viewInserted);
    cursor.endEditBlock();
    m_viewText.replace(viewStart, viewRemoved.size(), viewInserted);
    m_anchorBuffer = int(start);
    m_anchorView = viewStart;
    m_syncing = false;
}

int ViewerDocumentView::viewPosition(int bufferPosition)
{
    const int view = ViewerText::toViewPositionFrom(m_buffer.text(), m_anchorBuffer, m_anchorView,
                                                    bufferPosition);
    if (bufferPosition <= m_buffer.text().size()) {
        m_anchorBuffer = bufferPosition;
        m_anchorView = view;
    }
    return view;
}

void ViewerDocumentView::syncSelectionFromBuffer()
{
    if (m_syncing || m_viewStale || !m_facts.isEmpty() || !isWindowVisible())
        return;
    const int start = viewPosition(m_buffer.selectionStart());
    const int end = viewPosition(m_buffer.selectionStart() + m_buffer.selectionLength());
    m_syncing = true;
    QTextCursor cursor = m_view->textCursor();
    cursor.setPosition(qMin(start, int(m_viewText.size())));
    cursor.setPosition(qMin(end, int(m_viewText.size())), QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
    m_syncing = false;
}

void ViewerDocumentView::writeViewToBuffer()
{
    const QString view = ViewerText::fromDocument(m_view->document()->toRawText());
    const QString merged = ViewerText::mergeEdit(m_buffer.text(), m_viewText, view);
    m_viewText = view;
    m_syncing = true;
    m_buffer.setText(merged);
    m_syncing = false;
    m_userTyped = true;
    writeSelectionToBuffer();
}

void ViewerDocumentView::writeSelectionToBuffer()
{
    if (!m_facts.isEmpty())
        return;
    const QTextCursor cursor = m_view->textCursor();
    const QString &text = m_buffer.text();
    const qint32 start = ViewerText::toBufferPosition(text, cursor.selectionStart());
    const qint32 end = ViewerText::toBufferPosition(text, cursor.selectionEnd());
    m_syncing = true;
    m_buffer.setSelectionStart(start);
    m_buffer.setSelectionLength(end - start);
    m_syncing = false;
}
