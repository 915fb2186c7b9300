#pragma once

#include <QDialog>

#include <memory>

class PreviewModel;
class PreviewResult;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

/// The preview's window: every file a Replace would change and every
/// replacement in it, each with a tick, and how many are ticked. Not modal;
/// what the user asks for goes out as signals, the window that shows it acts.
class PreviewDialog : public QDialog {
    Q_OBJECT

public:
    explicit PreviewDialog(QWidget *parent = nullptr);
    ~PreviewDialog() override;

    /// Shows result, all ticked as the preview left it; the dialog keeps it.
    void setResult(std::unique_ptr<PreviewResult> result);
    /// The result shown; null before the first.
    PreviewResult *result() const { return m_result.get(); }
    PreviewModel *model() const { return m_model; }

    QTreeView *replacementTree = nullptr;
    QLabel *tickedLabel = nullptr;
    QPushButton *replaceTickedButton = nullptr;
    QPushButton *closeButton = nullptr;

signals:
    void replaceTickedRequested();
    /// A replacement was double-clicked: its file, at the replacement's position.
    void openRequested(const QString &path, qsizetype position);

private:
    void updateTicked();
    void activate(const QModelIndex &index);

    std::unique_ptr<PreviewResult> m_result;
    PreviewModel *m_model = nullptr;
};
