#pragma once

#include "engine/BackupLocation.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class Dialogs;
class DriveList;
class FileList;
class FolderList;
class HistoryBoxes;
class SingleInstance;
class ViewerWindow;

/// The main window (frmFind): holds the search request in its controls, offers
/// the Find, Replace and Undo commands and the file selection, and is what the
/// runs read from and report to.
class MainWindow : public QMainWindow, public SearchRequest, public MainPort {
    Q_OBJECT

public:
    explicit MainWindow(Dialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    /// The start-up step. False when another copy runs: this one must end then.
    bool Form_Load();
    /// The shut-down step; runs once, when the window closes.
    void Form_Unload();

    RunContext &context() { return m_ctx; }
    ViewerWindow *viewer() const { return m_viewer; }
    Dialogs &dialogs() const { return *m_ctx.dialogs; }

    // SearchRequest
    bool isFuzzy() const override;
    QString findText() const override;
    QString replaceText() const override;
    QString firstPart() const override;
    QString secondPart() const override;
    QString fuzzyReplace() const override;
    bool isCaseSensitive() const override;
    bool isWholeWord() const override;
    bool hasSubdirectories() const override;
    bool hasBackup() const override;
    bool isMinimizeWhileReplacing() const override;
    QString folderPath() const override;
    int fileCount() const override;
    QString fileName(int index) const override;
    bool isFileSelected(int index) const override;
    QString filters() const override;
    QString selectionCount() const override;

    // MainPort
    void setStatusText(int panel, const QString &text) override;
    QString toolCaption(const QString &key) const override;
    void setToolCaption(const QString &key, const QString &caption) override;
    void yieldToEvents() override;
    void minimizeWindow() override;
    void restoreWindow() override;
    QString timeStart() const override;
    void setTimeStart(const QString &text) override;
    void saveHistories() override;
    void resetHints() override { Reset_Hints(); }
    void refreshFileList() override;
    void OutputData() override;
    /// Undo exchanges the find and replacement boxes for the length of its run.
    void setFindAndReplaceText(const QString &find, const QString &replace) override;

    // Histories.
    void Save_SearchChar();
    void Save_ReplaceChar();
    void Fill_Combos();
    void RefreshCombos();
    /// A pick from a history box's drop-down list.
    void historyPicked(QComboBox *box, int index);

    // Window state and search types.
    void Change_SearchOptions();
    void optNormal_Click();
    void chkFuzzy_Click();
    void Disable_Controls();
    void Enable_Controls();
    void Reset_Hints();
    void clean_up();
    void Get_Path();
    void Exit_Program();

    // Commands.
    void Mainbar_ButtonClick(const QString &key);
    void FindBar_ButtonClick(const QString &key);
    void FileBar_ButtonClick(const QString &key);
    void PasteBar_ButtonClick(QToolBar *bar);
    void aboutBar_ButtonClick(const QString &key);
    /// Ctrl+V: the viewer on the selected files.
    void viewSelectedFiles();
    void showAbout();
    void showLargeSearch(bool fill);

    // File selection.
    void CountFiles();
    void Select_AllFiles();
    void Select_NoFiles();
    void Drive2_Change();
    void Dir2_Change();
    void cboFilters_Click();
    /// The enabling rule of the file pop-up menu.
    void updateFileOptions();

    /// Tool by key in one of the toolbars ("Mainbar", "FindBar", "FileBar", "aboutBar").
    QAction *tool(const QString &bar, const QString &key) const;
    /// The application help file beside the executable.
    QString helpFile() const { return m_helpFile; }
    bool isLoading() const { return m_loading; }

    // Controls, named as the design names them.
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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildToolbars();
    void buildPopupMenus();
    QWidget *buildFindArea();
    QGroupBox *buildOptions();
    QWidget *buildFileSelection();
    void connectControls();
    QComboBox *newHistoryBox(const char *name);
    QCheckBox *newOption(QCheckBox *&box, const char *name, const QString &caption);
    QAction *addTool(QToolBar *bar, const QString &key, const QString &caption, const QIcon &icon,
                     const QString &description = QString());
    void parkFocus(QWidget *target = nullptr);
    void optionClicked(QCheckBox *box);
    void runCommand(const QString &key);
    void runTrapped(const QString &key);
    bool keyDown(QObject *watched, QKeyEvent *event);
    bool keyUp(QKeyEvent *event);
    QHash<int, Qt::KeyboardModifiers> m_pressModifiers;
    QElapsedTimer m_lastYield;
    bool isInTextField() const;
    void loadStep(const std::function<void()> &step);
    void setCheckFromText(QCheckBox *box, const QString &text);
    void setFolder(const QString &path);
    void placeFuzzyPanel();

    RunContext m_ctx;
    std::unique_ptr<Dialogs> m_ownedDialogs;
    DefaultBackupLocation m_backup;
    ViewerWindow *m_viewer = nullptr;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<HistoryBoxes> m_histories;
    QWidget *m_findBoxes = nullptr;
    QString m_helpFile;
    /// The Mainbar tool whose run is under way; empty when idle.
    QString m_runningTool;
    bool m_loading = false;
    bool m_loaded = false;
    bool m_unloaded = false;
};
