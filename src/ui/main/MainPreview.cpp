#include "MainPreview.h"

#include "MainbarCommands.h"
#include "engine/DocumentBuffer.h"
#include "engine/PreviewResult.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/viewer/ViewerWindow.h"

MainPreview::MainPreview(QWidget *window, MainbarCommands &mainbar, ViewerWindow &viewer)
    : QObject(window), m_window(window), m_mainbar(mainbar), m_viewer(viewer)
{
    m_mainbar.setPreviewShown(
        [this](std::unique_ptr<PreviewResult> result) { show(std::move(result)); });
}

MainPreview::~MainPreview() = default;

void MainPreview::show(std::unique_ptr<PreviewResult> result)
{
    if (!m_dialog) {
        m_dialog = new PreviewDialog(m_window);
        connect(m_dialog, &PreviewDialog::replaceTickedRequested, this,
                &MainPreview::replaceTicked);
        connect(m_dialog, &PreviewDialog::openRequested, this, &MainPreview::open);
    }
    m_dialog->setResult(std::move(result));
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void MainPreview::replaceTicked()
{
    if (!m_dialog || !m_dialog->result() || !m_mainbar.runningTool().isEmpty())
        return;
    const TickedReplacements ticked = m_dialog->result()->ticked();
    // The report takes over. The result is kept: should the run be declined,
    // nothing is lost, and a file it wrote shows as changed since the preview.
    m_dialog->hide();
    m_mainbar.replaceTicked(ticked);
}

void MainPreview::open(const QString &path, qsizetype position)
{
    const PreviewResult *result = m_dialog ? m_dialog->result() : nullptr;
    if (!result || !m_mainbar.runningTool().isEmpty())
        return;
    qsizetype length = 0;
    for (int file = 0; file < result->fileCount() && length == 0; ++file) {
        if (result->path(file) != path)
            continue;
        for (int r = 0; r < result->replacementCount(file); ++r) {
            if (result->change(file, r).oldPosition == position)
                length = result->change(file, r).oldLength;
        }
    }
    m_viewer.openPath(path);
    DocumentBuffer &buffer = m_viewer.buffer();
    if (buffer.fileName() != path)
        return;
    m_viewer.showViewer();
    // The previewed text is still the file's, or the row would say it changed.
    if (position + length <= buffer.text().size()) {
        buffer.setSelectionStart(qint32(position));
        buffer.setSelectionLength(qint32(length));
    }
}
