#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class BackupDialog;
class Dialogs;
class DriveList;
class FileList;
class FolderList;
class MainPort;
class RunEvents;
class QToolBar;

/// The backup folder picker: drive, folder and file lists, and
/// tools to take the open folder as the backup folder, create a folder and
/// delete a folder tree. Opened modally from the backup dialog.
class FolderPicker : public QDialog {
    Q_OBJECT

public:
    FolderPicker(BackupDialog &backup, MainPort &main, RunEvents &events, Dialogs &dialogs,
                 QWidget *parent = nullptr);

    /// Opens path, when it is a folder, with the open folder highlighted and both
    /// lists read afresh: a highlight left from the last time is never the target.
    void openAt(const QString &path);

    /// The toolbar's one handler: "savepath", "createFolder", "deleteFolder", "exit".
    void runFolderTool(const QString &key);

    DriveList *driveList = nullptr;
    FolderList *folderList = nullptr;
    FileList *fileList = nullptr;
    QToolBar *folderBar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void driveChosen();
    void folderChanged();
    void savePath();
    void createFolder();
    void deleteFolder();
    void leave();
    /// Runs one step; a failure is reported and logged, and the caller goes on.
    void trapped(const std::function<void()> &step);

    BackupDialog &m_backup;
    MainPort &m_main;
    RunEvents &m_events;
    Dialogs &m_dialogs;
};
