#pragma once

#include <QLineEdit>

/// The path field above the folder list: shows the open folder, takes a typed
/// or pasted path (completed from the file system, folders only) and asks for
/// it to be opened with Enter. Esc puts the open folder back.
class PathField : public QLineEdit {
    Q_OBJECT

public:
    explicit PathField(QWidget *parent = nullptr);

    /// Shows the open folder; what the user is typing is replaced.
    void showFolder(const QString &folder);

signals:
    void openRequested(const QString &typed);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_folder;
};
