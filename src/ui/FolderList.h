#pragma once

#include <QElapsedTimer>
#include <QListWidget>

/// The folder list: the open folder's ancestors from the root down, then its
/// subfolders. A double click or Enter opens the highlighted folder, Backspace
/// or Alt+Up its parent; typing a name's first letters highlights it.
class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget *parent = nullptr);

    /// The open folder, in native separators.
    QString path() const { return m_path; }
    /// Opens path (no signal when it is already open); false when it is no folder.
    bool setPath(const QString &path);
    /// Lists the open folder again.
    void refresh();
    /// Whether hidden subfolders are listed too (".git" never), as the walks then enter them.
    void setShowHidden(bool show);
    /// The folder of the highlighted entry (the open folder unless another is highlighted).
    QString highlightedPath() const;

    /// Highlights the next entry whose name starts with what was typed.
    void keyboardSearch(const QString &search) override;

signals:
    void pathChanged(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    void openParent();

    QString m_path;
    QString m_typed;
    bool m_showHidden = false;
    QElapsedTimer m_sinceTyped;
};
