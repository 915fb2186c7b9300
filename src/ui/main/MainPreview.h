#pragma once

#include <QObject>

#include <memory>

class MainbarCommands;
class PreviewDialog;
class PreviewResult;
class QWidget;
class ViewerWindow;

/// The main window's side of a preview: shows what the Preview tool found in
/// the preview window, runs its "Replace ticked" as a Replace, and opens a
/// double-clicked replacement in the viewer with the match selected.
class MainPreview : public QObject {
    Q_OBJECT

public:
    MainPreview(QWidget *window, MainbarCommands &mainbar, ViewerWindow &viewer);
    ~MainPreview() override;

    /// The preview window; made on the first preview.
    PreviewDialog *dialog() const { return m_dialog; }
    void show(std::unique_ptr<PreviewResult> result);

private:
    void replaceTicked();
    void open(const QString &path, qsizetype position);

    QWidget *m_window;
    MainbarCommands &m_mainbar;
    ViewerWindow &m_viewer;
    PreviewDialog *m_dialog = nullptr;
};
