#pragma once

#include <QListWidget>

/// The folder list: the open folder's ancestors from the root down, then its
/// subfolders. A double click opens the folder under the pointer.
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
    /// The folder of the highlighted entry (the open folder unless another is highlighted).
    QString highlightedPath() const;

signals:
    void pathChanged(const QString &path);

private:
    void fill();

    QString m_path;
};
