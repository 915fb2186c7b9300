#pragma once

#include "engine/BackupLocation.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QRadioButton;
class Dialogs;
class FolderPicker;
class MainPort;
class RunEvents;

/// The backup dialog: the default backup location or a folder of
/// the user's own. The runs, the walk and the report read the backup root from
/// its controls; it loads itself (reads the stored choice) on first use.
class BackupDialog : public QDialog, public BackupLocation {
    Q_OBJECT

public:
    /// A folder removed from the picker reports to events.
    BackupDialog(MainPort &main, RunEvents &events, Dialogs &dialogs, QWidget *parent = nullptr);

    // BackupLocation
    QString backupRoot() override;
    bool isSpecified() override;
    void commitChoice() override { storeChoice(); }

    /// The folder the backup check box's hint names: specifiedPathEdit when specifyOption is on,
    /// else defaultPathEdit.
    QString hintFolder();

    /// Shows the dialog modally (the main window's "..." button).
    void showModal();

    void shadeBoxes();
    /// OK: refuses a folder of the user's own that does not exist or is not a
    /// full path, else stores the choice.
    void confirmChoice();
    void browseForFolder();
    /// The folder picker, created on first use.
    FolderPicker *picker();
    /// Esc or the window's close button: the stored choice comes back.
    void reject() override;

    QRadioButton *specifyOption = nullptr;
    QRadioButton *defaultOption = nullptr;
    QLineEdit *specifiedPathEdit = nullptr;
    QLineEdit *defaultPathEdit = nullptr;
    QPushButton *browseButton = nullptr;
    QPushButton *okButton = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ensureLoaded();
    void loadChoice();
    /// The fall-back of an empty user folder to the default location.
    void fallBackWhenEmpty();
    /// Drops blanks pasted around the folder; true when it names no folder or
    /// is not a full path.
    bool isMissingFolder();
    void storeChoice();

    MainPort &m_main;
    RunEvents &m_events;
    Dialogs &m_dialogs;
    FolderPicker *m_picker = nullptr;
    bool m_loaded = false;
};
