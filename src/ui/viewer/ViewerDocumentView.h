#pragma once

#include <QObject>
#include <QString>

class DocumentBuffer;
class QPlainTextEdit;
struct RunContext;

/// Keeps the visible text control and the document buffer in step, both ways:
/// the buffer's text and selection are shown, the user's edits and selection are
/// written back without touching the rest of the buffer. While the window is
/// hidden or a run is going the control lags behind and catches up later.
class ViewerDocumentView : public QObject {
    Q_OBJECT

public:
    ViewerDocumentView(DocumentBuffer &buffer, QPlainTextEdit *view, const RunContext &ctx,
                       QObject *parent);

    /// Shows the buffer now if the control lags behind it.
    void catchUp();
    /// The user typed since the last load or save.
    bool hasUserTyped() const { return m_userTyped; }
    void clearUserTyped() { m_userTyped = false; }
    /// Shows facts in place of the text (a binary or too large file, whose
    /// bytes the buffer does not hold); the next text put in the buffer ends it.
    void showFacts(const QString &facts);
    /// The control shows facts, not the buffer: there is nothing to edit or save.
    bool isShowingFacts() const { return !m_facts.isEmpty(); }

private:
    bool isWindowVisible() const;
    void syncViewFromBuffer();
    /// A replacement inside the text: only that stretch of the control changes,
    /// so a large document is not laid out again.
    void replaceStretchInView(qint32 position, const QString &removed, const QString &inserted);
    void syncSelectionFromBuffer();
    void writeViewToBuffer();
    void writeSelectionToBuffer();
    /// The control's position for a buffer position, counted from the last one
    /// mapped: after a replacement the selection lies next to it.
    int viewPosition(int bufferPosition);

    DocumentBuffer &m_buffer;
    QPlainTextEdit *m_view;
    const RunContext &m_ctx;
    bool m_syncing = false;
    /// The control lags behind the buffer while the viewer is hidden.
    bool m_viewStale = false;
    bool m_syncScheduled = false;
    /// The text the control was last given or reported, as the control shows it.
    QString m_viewText;
    bool m_userTyped = false;
    /// What is shown instead of the text, or empty.
    QString m_facts;
    /// A buffer position and the control's position for it, valid for the shown text.
    int m_anchorBuffer = 0;
    int m_anchorView = 0;
};
