#pragma once

#include "FileSelection.h"
#include "MainForm.h"
#include "MainShortcuts.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <functional>
#include <memory>

class BackupDialog;
class QCheckBox;
class QComboBox;
class QToolBar;
class Dialogs;
class HistoryBoxes;
class MainbarCommands;
class MainHints;
class MainNavigation;
class MainSearchForm;
class SingleInstance;
class TypedFilters;
class ViewerWindow;

/// The main window: holds the search request in its controls, offers
/// the Find, Replace and Undo commands and the file selection, and is what the
/// runs read from and report to. Its controls come from MainForm; its keyboard,
/// toolbar runs and stored settings from MainShortcuts, MainbarCommands and MainSettings.
class MainWindow : public QMainWindow, public MainForm, public SearchRequest, public MainPort {
    Q_OBJECT

public:
    explicit MainWindow(Dialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    /// The start-up step, on folder when one is given (else the last one). False
    /// when another copy runs: it was handed the folder, and this one must end.
    bool startUp(const QString &folder = QString());
    /// The shut-down step; runs once, when the window closes.
    void shutDown();

    RunContext &context() { return m_ctx; }
    ViewerWindow *viewer() const { return m_viewer; }
    /// The backup dialog; it loads itself on first use.
    BackupDialog *backupDialog() const { return m_backupDialog; }
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
    bool skipsIgnored() const override;

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
    void resetHints() override { clearHints(); }
    void refreshFileList() override;
    void writeReport() override;
    /// Undo exchanges the find and replacement boxes for the length of its run.
    void setFindAndReplaceText(const QString &find, const QString &replace) override;

    // Histories.
    void saveFindHistory();
    void saveReplaceHistory();
    void mirrorHistoriesToViewer();
    void storeFilterList();
    /// A pick from a history box's drop-down list.
    void historyPicked(QComboBox *box, int index);

    // Window state and search types.
    void updateSearchTypeIcons();
    void normalTypeChosen();
    void fuzzyTypeChosen();
    void disableControls();
    void enableControls();
    void clearHints();
    void clearStatus();
    void updateSelectedPath();
    void exitProgram();

    // Commands.
    void runBarTool(const QString &key);
    void searchTypeTool(const QString &key);
    void pasteTool(QToolBar *bar);
    void helpBarTool(const QString &key);
    /// Ctrl+V: the viewer on the selected files.
    void viewSelectedFiles();
    void showAbout();
    void showLargeSearch(bool fill);

    // File selection.
    void countSelectedFiles() { m_files->countSelected(); }
    void selectAllFiles() { m_files->selectAll(); }
    void selectNoFiles() { m_files->selectNone(); }
    void filterChosen() { m_files->filterChosen(); }

    /// The path field, drops and hand-over from a second launch.
    MainNavigation &navigation() const { return *m_navigation; }

    /// The application help file beside the executable.
    QString helpFile() const { return m_helpFile; }
    bool isLoading() const { return m_loading; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void runShortcut(MainShortcuts::Command command);
    void parkFocus(QWidget *target = nullptr);
    void optionClicked(QCheckBox *box);
    void loadStep(const std::function<void()> &step);
    void placeFuzzyPanel();
    void openHelp();
    void showShortcutsInTips();

    RunContext m_ctx;
    std::unique_ptr<Dialogs> m_ownedDialogs;
    BackupDialog *m_backupDialog = nullptr;
    ViewerWindow *m_viewer = nullptr;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<HistoryBoxes> m_histories;
    std::unique_ptr<MainShortcuts> m_shortcuts;
    std::unique_ptr<MainbarCommands> m_mainbar;
    std::unique_ptr<MainHints> m_hints;
    std::unique_ptr<MainSearchForm> m_searchForm;
    MainNavigation *m_navigation = nullptr;
    TypedFilters *m_typedFilters = nullptr;
    std::unique_ptr<FileSelection> m_files;
    QElapsedTimer m_lastYield;
    QString m_helpFile;
    bool m_loading = false;
    bool m_loaded = false;
    bool m_unloaded = false;
};
