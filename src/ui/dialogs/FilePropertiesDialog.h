#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

/// The file properties dialog (frmProperties): read-only facts about one file
/// under a single "General" tab. "Ok" closes and deletes it, so every opening
/// loads afresh.
class FilePropertiesDialog : public QDialog {
    Q_OBJECT

public:
    /// focusTarget receives the focus when "Ok" closes the dialog.
    FilePropertiesDialog(const QString &folder, const QString &name, QWidget *focusTarget,
                         QWidget *parent = nullptr);

    QTabWidget *TabStrip1 = nullptr;
    QLineEdit *lblFileName = nullptr;
    QLabel *lblFileType = nullptr;
    QLineEdit *lblFileLocation = nullptr;
    QLabel *lblFileSize = nullptr;
    QLabel *lblDosName = nullptr;
    QLabel *lblCreated = nullptr;
    QLabel *lblModified = nullptr;
    QLabel *lblAccessed = nullptr;
    QCheckBox *chkReadonly = nullptr;
    QCheckBox *chkArchive = nullptr;
    QCheckBox *chkHidden = nullptr;
    QCheckBox *chkSystem = nullptr;
    QPushButton *Command1 = nullptr;

private:
    void Command1_Click();

    QWidget *m_focusTarget;
};
