#include "ViewerDocumentView.h"

#include "ViewerText.h"
#include "engine/DocumentBuffer.h"
#include "engine/RunContext.h"

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
    if (!isWindowVisible() || m_ctx.state.RunInProgress) {
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
    m_syncing = true;
    m_viewText = ViewerText::toView(m_buffer.Text());
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
    const QString &text = m_buffer.Text();
    const qsizetype end = position + inserted.size();
    // A CR LF pair made or broken at either edge moves the control's positions.
    auto startsWith = [](const QString &piece, char16_t c) {
        return !piece.isEmpty() && piece.front() == c;
    };
    auto endsWith = [](const QString &piece, char16_t c) {
        return !piece.isEmpty() && piece.back() == c;
    };
    const bool pairAtEdge =
        (position > 0 && text.at(position - 1) == u'\r' &&
         (startsWith(inserted, u'\n') || startsWith(removed, u'\n'))) ||
        (end < text.size() && text.at(end) == u'\n' &&
         (endsWith(inserted, u'\r') || endsWith(removed, u'\r')));
    if (pairAtEdge || m_viewStale || m_view->isReadOnly() || !isWindowVisible() ||
        m_ctx.state.RunInProgress) {
        m_anchorBuffer = 0;
        m_anchorView = 0;
        syncViewFromBuffer();
        return;
    }
    const int viewStart = viewPosition(position);
    const QString viewRemoved = ViewerText::toView(removed);
    const QString viewInserted = ViewerText::toView(inserted);
    m_syncing = true;
    QTextCursor cursor(m_view->document());
    cursor.beginEditBlock();
    cursor.setPosition(viewStart);
    cursor.setPosition(viewStart + int(viewRemoved.size()), QTextCursor::KeepAnchor);
    cursor.insertText(viewInserted);
    cursor.endEditBlock();
    m_viewText.replace(viewStart, viewRemoved.size(), viewInserted);
    // The text before the stretch kept its pairs, so the anchor stays good there.
    m_anchorBuffer = position;
    m_anchorView = viewStart;
    m_syncing = false;
}

int ViewerDocumentView::viewPosition(int bufferPosition)
{
    const int view = ViewerText::toViewPositionFrom(m_buffer.Text(), m_anchorBuffer, m_anchorView,
                                                    bufferPosition);
    if (bufferPosition <= m_buffer.Text().size()) {
        m_anchorBuffer = bufferPosition;
        m_anchorView = view;
    }
    return view;
}

void ViewerDocumentView::syncSelectionFromBuffer()
{
    if (m_syncing || m_viewStale || !isWindowVisible())
        return;
    const int start = viewPosition(m_buffer.SelStart());
    const int end = viewPosition(m_buffer.SelStart() + m_buffer.SelLength());
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
    const QString merged = ViewerText::mergeEdit(m_buffer.Text(), m_viewText, view);
    m_viewText = view;
    m_syncing = true;
    m_buffer.setText(merged);
    m_syncing = false;
    m_userTyped = true;
    writeSelectionToBuffer();
}

void ViewerDocumentView::writeSelectionToBuffer()
{
    const QTextCursor cursor = m_view->textCursor();
    const QString &text = m_buffer.Text();
    const qint32 start = ViewerText::toBufferPosition(text, cursor.selectionStart());
    const qint32 end = ViewerText::toBufferPosition(text, cursor.selectionEnd());
    m_syncing = true;
    m_buffer.setSelStart(start);
    m_buffer.setSelLength(end - start);
    m_syncing = false;
}
