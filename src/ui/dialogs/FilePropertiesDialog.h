#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

/// The file properties dialog: read-only facts about one file
/// under a single "General" tab. "Ok" closes and deletes it, so every opening
/// loads afresh.
class FilePropertiesDialog : public QDialog {
    Q_OBJECT

public:
    /// focusTarget receives the focus when "Ok" closes the dialog.
    FilePropertiesDialog(const QString &folder, const QString &name, QWidget *focusTarget,
                         QWidget *parent = nullptr);

    QTabWidget *tabs = nullptr;
    QLineEdit *fileNameEdit = nullptr;
    QLabel *typeLabel = nullptr;
    QLineEdit *locationEdit = nullptr;
    QLabel *sizeLabel = nullptr;
    QLabel *shortNameLabel = nullptr;
    QLabel *createdLabel = nullptr;
    QLabel *modifiedLabel = nullptr;
    QLabel *accessedLabel = nullptr;
    QCheckBox *readOnlyBox = nullptr;
    QCheckBox *archiveBox = nullptr;
    QCheckBox *hiddenBox = nullptr;
    QCheckBox *systemBox = nullptr;
    QPushButton *okButton = nullptr;

private:
    void applyAndClose();

    QWidget *m_focusTarget;
};
