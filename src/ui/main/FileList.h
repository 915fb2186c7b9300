#pragma once

#include <QListWidget>

/// The multi-select file list of one folder, filtered by one or more
/// ";"-separated patterns.
class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    /// Lists the folder again, keeping the selection of names still listed.
    void refresh();

    int selectedCount() const;
    bool isSelected(int index) const;

private:
    void fill(const QStringList &keepSelected);

    QString m_folder;
    QString m_pattern = QStringLiteral("*.*");
};
