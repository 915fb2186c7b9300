#pragma once

#include "FileSelection.h"
#include "MainForm.h"
#include "MainShortcuts.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "ui/RunStatusText.h"

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
class MainInputFilter;
class MainOptions;
class MainNavigation;
class MainSearchForm;
class MainRunEvents;
class MainSearchRequest;
class MainSearchTypes;
class SearchRequest;
class SingleInstance;
class TypedFilters;
class ViewerWindow;

/// The main window: holds the search request in its controls, offers
/// the Find, Replace and Undo commands and the file selection, and is what the
/// runs read from and report to. Its controls come from MainForm; its keyboard,
/// toolbar runs and stored settings from MainShortcuts, MainbarCommands and MainSettings.
class MainWindow : public QMainWindow, public MainForm, public MainPort {
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

    /// Sets the caption of a Mainbar tool and redraws the toolbar.
    void setToolCaption(const QString &key, const QString &caption);
    /// The hidden start label: the run's start as a date-and-time text.
    void setTimeStart(const QString &text);

    /// The search request as the controls hold it now.
    const SearchRequest &request() const;

    // MainPort
    void setStatusText(int panel, const QString &text) override;
    /// lead followed by tail, joined only if the panel shows it before a newer text.
    void setStatusText(int panel, const QString &lead, const QString &tail);
    /// What text makes, made only if the panel shows it before a newer text.
    void setStatusText(int panel, std::function<QString()> text);
    void yieldToEvents() override;
    void minimizeWindow() override;
    void restoreWindow() override;
    void saveHistories() override;
    void resetHints() override { clearHints(); }
    void refreshFileList() override;
    void writeReport() override;
    /// Undo exchanges the find and replacement boxes for the length of its run.
    void setFindAndReplaceText(const QString &find, const QString &replace);

    // Histories.
    void saveFindHistory();
    void saveReplaceHistory();
    void mirrorHistoriesToViewer();
    void storeFilterList();
    /// A pick from a history box's drop-down list.
    void historyPicked(QComboBox *box, int index);

    // Window state.
    void disableControls();
    void enableControls();
    void clearHints();
    void clearStatus();
    /// Empties panel 2 of a progress text the ended run left there.
    void clearPastProgress();
    void updateSelectedPath();
    void exitProgram();

    // Commands.
    void runBarTool(const QString &key);
    void pasteTool(QToolBar *bar);
    void helpBarTool(const QString &key);
    /// Ctrl+V: the viewer on the selected files.
    void viewSelectedFiles();
    void showAbout();

    // File selection.
    void countSelectedFiles() { m_files->countSelected(); }
    void selectAllFiles() { m_files->selectAll(); }
    void selectNoFiles() { m_files->selectNone(); }
    void filterChosen() { m_files->filterChosen(); }

    /// The drive, folder, filter and file lists and what they select.
    FileSelection &files() const { return *m_files; }
    /// The path field, drops and hand-over from a second launch.
    MainNavigation &navigation() const { return *m_navigation; }

    /// The application help file beside the executable.
    QString helpFile() const { return m_helpFile; }
    bool isLoading() const { return m_loading; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectControls();
    void runShortcut(MainShortcuts::Command command);
    void parkFocus(QWidget *target = nullptr);
    void setRunControlsEnabled(bool enabled);
    void loadStep(const std::function<void()> &step);
    void openHelp();

    RunContext m_ctx;
    std::unique_ptr<MainSearchRequest> m_request;
    std::unique_ptr<MainRunEvents> m_events;
    std::unique_ptr<Dialogs> m_ownedDialogs;
    BackupDialog *m_backupDialog = nullptr;
    ViewerWindow *m_viewer = nullptr;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<HistoryBoxes> m_histories;
    std::unique_ptr<MainShortcuts> m_shortcuts;
    std::unique_ptr<MainbarCommands> m_mainbar;
    std::unique_ptr<MainOptions> m_options;
    std::unique_ptr<MainHints> m_hints;
    std::unique_ptr<MainSearchForm> m_searchForm;
    std::unique_ptr<MainSearchTypes> m_searchTypes;
    MainInputFilter *m_inputFilter = nullptr;
    MainNavigation *m_navigation = nullptr;
    TypedFilters *m_typedFilters = nullptr;
    std::unique_ptr<FileSelection> m_files;
    qint64 m_lastYieldMs = -1;  ///< on CoarseClock; -1 before any
    RunStatusText m_statusText;
    QString m_helpFile;
    bool m_loading = false;
    bool m_loaded = false;
    bool m_unloaded = false;
};
