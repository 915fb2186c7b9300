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

/// The main window's controls and their layout.
/// The window inherits them as it would a designer form and wires them itself.
class MainForm {
public:
    /// Builds every control, toolbar and pop-up menu into the window.
    void setupUi(QMainWindow *window);

    /// Tool by key in one of the toolbars ("runBar", "searchTypeBar", "fileSelectionBar",
    /// "helpBar").
    QAction *tool(const QString &bar, const QString &key) const;

    QLabel *findLabel = nullptr;
    QComboBox *findBox = nullptr;
    QLabel *replaceLabel = nullptr;
    QComboBox *replaceBox = nullptr;
    QToolBar *pasteFindBar = nullptr;
    QToolBar *pasteReplaceBar = nullptr;
    QRadioButton *normalOption = nullptr;
    QRadioButton *fuzzyOption = nullptr;
    QRadioButton *largeOption = nullptr;
    QWidget *fuzzyPanel = nullptr;
    QLabel *firstPartLabel = nullptr;
    QComboBox *firstPartBox = nullptr;
    QLabel *secondPartLabel = nullptr;
    QComboBox *secondPartBox = nullptr;
    QLabel *fuzzyReplaceLabel = nullptr;
    QComboBox *fuzzyReplaceBox = nullptr;
    QGroupBox *optionsGroup = nullptr;
    QCheckBox *subfoldersBox = nullptr;
    QCheckBox *caseSensitiveBox = nullptr;
    QCheckBox *wholeWordBox = nullptr;
    QCheckBox *backupBox = nullptr;
    QPushButton *backupFolderButton = nullptr;
    QCheckBox *minimizeBox = nullptr;
    QCheckBox *skipIgnoredBox = nullptr;
    QCheckBox *regexBox = nullptr;
    QCheckBox *includeHiddenBox = nullptr;
    QCheckBox *keepCaseBox = nullptr;
    QToolButton *caseHighlight = nullptr;
    QToolButton *subfoldersHighlight = nullptr;
    QToolButton *wholeWordHighlight = nullptr;
    QToolButton *backupHighlight = nullptr;
    QToolButton *minimizeHighlight = nullptr;
    QToolButton *skipIgnoredHighlight = nullptr;
    QToolButton *regexHighlight = nullptr;
    QToolButton *includeHiddenHighlight = nullptr;
    QToolButton *keepCaseHighlight = nullptr;
    QList<QLabel *> optionArrows;
    QComboBox *filterBox = nullptr;
    QPushButton *filterManagerButton = nullptr;
    QToolBar *searchTypeBar = nullptr;
    QLabel *drivesLabel = nullptr;
    DriveList *driveList = nullptr;
    QLabel *foldersLabel = nullptr;
    FolderList *folderList = nullptr;
    /// Above the folder list: the open folder, typed or pasted.
    PathField *pathField = nullptr;
    QLabel *filesLabel = nullptr;
    FileList *fileList = nullptr;
    QLabel *fileCountLabel = nullptr;
    QWidget *fileBarHolder = nullptr;
    QToolBar *fileSelectionBar = nullptr;
    QToolBar *runBar = nullptr;
    QToolBar *helpBar = nullptr;
    QMenu *fileMenu = nullptr;
    QMenu *folderMenu = nullptr;
    QStatusBar *mainStatusBar = nullptr;
    QLabel *statusStatePanel = nullptr;
    QLabel *statusDetailPanel = nullptr;
    QLabel *checkedRadioPicture = nullptr;
    QLabel *uncheckedRadioPicture = nullptr;
    QWidget *focusPark = nullptr;
    QWidget *spareFocusPark = nullptr;
    QLabel *startTimeLabel = nullptr;
    /// The normal find boxes, under the fuzzy panel.
    QWidget *findBoxesFrame = nullptr;

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
