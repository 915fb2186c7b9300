#pragma once

#include <QListWidget>

/// The multi-select file list of one folder, filtered by one or more
/// ";"-separated patterns. Keys: arrows, Home/End and type-ahead move, Space
/// toggles the file under the cursor, Enter asks for the selected files to be opened.
class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    /// Whether the list leaves out what version control ignores, as the walks do.
    void setSkipIgnored(bool skip);
    /// Whether the list shows hidden files too, as the walks then take them.
    void setIncludeHidden(bool include);
    /// Lists the folder again, keeping the selection of names still listed.
    void refresh();

    int selectedCount() const;
    bool isSelected(int index) const;
    /// Selects exactly the listed entries among names; the first becomes current.
    void selectNames(const QStringList &names);

signals:
    /// Enter: the selected files (the one under the cursor when none is) are to be viewed.
    void openRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill(const QStringList &keepSelected);

    QString m_folder;
    QString m_pattern = QStringLiteral("*.*");
    bool m_skipIgnored = false;
    bool m_includeHidden = false;
};
