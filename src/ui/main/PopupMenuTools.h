#pragma once

#include <QObject>
#include <QString>

class QMenu;
class MainWindow;

/// The tools of the file list's and folder list's pop-up menus (listMenu):
/// their hints in the status bar and what each one does. The file and folder
/// operations themselves live in FileOperations; this class only asks, calls
/// and re-reads the lists.
class PopupMenuTools : public QObject {
    Q_OBJECT

public:
    explicit PopupMenuTools(MainWindow &window);

    void runTool(const QString &key);
    /// The pointer over a menu tool: its hint and shortcut label.
    void showHint(const QString &key);
    void viewSource();

private:
    struct Tool;
    static const Tool *toolFor(const QString &key);

    void connectMenu(QMenu *menu);
    QString currentFile() const;
    bool isCurrentFileSelected() const;
    void reportFailure(const QString &message, const QString &step, const QString &description);
    void showProperties();
    void find();
    void openFile();
    void copyPath();
    void renameFile();
    void deleteFile();
    void newFolder();
    void openFolder();
    void renameFolder();
    void deleteFolder();
    /// After a folder changed below the open folder, or the open folder itself.
    void rereadFolders(const QString &changedFolder);

    MainWindow &m_w;
};
