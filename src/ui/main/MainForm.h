#pragma once

#include <QList>
#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QIcon;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
class DriveList;
class FileList;
class FolderList;
class PathField;

/// The main window's controls and their layout, named as the design names them.
/// The window inherits them as it would a designer form and wires them itself.
class MainForm {
public:
    /// Builds every control, toolbar and pop-up menu into the window.
    void setupUi(QMainWindow *window);

    /// Tool by key in one of the toolbars ("Mainbar", "FindBar", "FileBar", "aboutBar").
    QAction *tool(const QString &bar, const QString &key) const;

    QLabel *Label5 = nullptr;
    QComboBox *txtFind = nullptr;
    QLabel *Label6 = nullptr;
    QComboBox *txtReplace = nullptr;
    QToolBar *PasteBar1 = nullptr;
    QToolBar *PasteBar2 = nullptr;
    QRadioButton *optNormal = nullptr;
    QRadioButton *chkFuzzy = nullptr;
    QRadioButton *optLarge = nullptr;
    QWidget *picFuzzy = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboFirst = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboSecond = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *cboFuzzyReplace = nullptr;
    QGroupBox *fraOptions = nullptr;
    QCheckBox *chkSubs = nullptr;
    QCheckBox *chkSensitive = nullptr;
    QCheckBox *chkWhole = nullptr;
    QCheckBox *chkBackup = nullptr;
    QPushButton *cmdSetBack = nullptr;
    QCheckBox *chkMin = nullptr;
    QToolButton *cmdCase = nullptr;
    QToolButton *cmdSubs = nullptr;
    QToolButton *cmdWhole = nullptr;
    QToolButton *cmdBack = nullptr;
    QToolButton *cmdMin = nullptr;
    QList<QLabel *> imgArrow1;
    QComboBox *cboFilters = nullptr;
    QPushButton *cmdFilters = nullptr;
    QToolBar *FindBar = nullptr;
    QLabel *Label9 = nullptr;
    DriveList *Drive2 = nullptr;
    QLabel *Label10 = nullptr;
    FolderList *Dir2 = nullptr;
    /// Above the folder list: the open folder, typed or pasted.
    PathField *pathField = nullptr;
    QLabel *Label11 = nullptr;
    FileList *File2 = nullptr;
    QLabel *Label3 = nullptr;
    QWidget *Picture3 = nullptr;
    QToolBar *FileBar = nullptr;
    QToolBar *Mainbar = nullptr;
    QToolBar *aboutBar = nullptr;
    QMenu *FileOptions = nullptr;
    QMenu *FolderOptions = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusBar1Panel1 = nullptr;
    QLabel *StatusBar1Panel2 = nullptr;
    QLabel *picOption = nullptr;
    QLabel *picOption1 = nullptr;
    QWidget *Picture5 = nullptr;
    QWidget *Picture2 = nullptr;
    QLabel *lblTimeStart = nullptr;
    /// The normal find boxes, under the fuzzy panel.
    QWidget *fraFind = nullptr;

private:
    void buildControls();
    void buildToolbars();
    void buildPopupMenus();
    QWidget *buildFindArea();
    QGroupBox *buildOptions();
    QWidget *buildFileSelection();
    QComboBox *newHistoryBox(const char *name);
    QCheckBox *newOption(QCheckBox *&box, const char *name, const QString &caption);
    QAction *addTool(QToolBar *bar, const QString &key, const QString &caption, const QIcon &icon,
                     const QString &description = QString());

    QMainWindow *m_window = nullptr;
};
