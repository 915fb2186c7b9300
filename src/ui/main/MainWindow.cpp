#include "MainWindow.h"

#include "FileSelection.h"
#include "HistoryBoxes.h"
#include "MainHints.h"
#include "MainInputFilter.h"
#include "MainNavigation.h"
#include "MainOptions.h"
#include "MainPreview.h"
#include "MainRunEvents.h"
#include "MainSearchForm.h"
#include "MainSearchRequest.h"
#include "MainSearchTypes.h"
#include "MainSettings.h"
#include "MainShortcuts.h"
#include "MainbarCommands.h"
#include "PathField.h"
#include "PatternMark.h"
#include "PopupMenuTools.h"
#include "SingleInstance.h"
#include "TypedFilters.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include "backup/ReportWriter.h"
#include "engine/BackupLocation.h"
#include "engine/FindRun.h"
#include "engine/RunSupport.h"
#include "platform/CoarseClock.h"
#include "platform/Failure.h"
#include "platform/FreeMemory.h"
#include "platform/HelpFile.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/WidgetDialogs.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/LargeSearchDialog.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {
const QString Idle = QStringLiteral("Scrivlane");

QStringList itemTexts(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}
}  // namespace

MainWindow::MainWindow(Dialogs *dialogs, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral(" Scrivlane"));

    if (!dialogs) {
        m_ownedDialogs = std::make_unique<WidgetDialogs>(this);
        dialogs = m_ownedDialogs.get();
    }
    m_request = std::make_unique<MainSearchRequest>(*this);
    m_ctx.requestSource = m_request.get();
    m_ctx.main = this;
    m_events = std::make_unique<MainRunEvents>(*this);
    m_ctx.events = m_events.get();
    m_ctx.dialogs = dialogs;
    m_backupDialog = new BackupDialog(*this, *m_events, *dialogs, this);
    m_ctx.backup = m_backupDialog;

    setupUi(this);
    m_files = std::make_unique<FileSelection>(
        *this, [this] { parkFocus(); }, [this] { m_typedFilters->storeChosen(); });
    m_mainbar = std::make_unique<MainbarCommands>(
        m_ctx, [this](const QString &key, const QString &caption) { setToolCaption(key, caption); },
        [this] {
            parkFocus();
            disableControls();
            m_statusText.hold();
        },
        [this] {
            m_statusText.release();
            enableControls();
            clearPastProgress();
            FreeMemory::returnToSystem();
        });
    m_options = std::make_unique<MainOptions>(
        *this, this, MainOptions::Actions{[this] { parkFocus(); }, [this] { return m_loading; }});
    connectControls();
    new PopupMenuTools(*this);
    m_shortcuts = std::make_unique<MainShortcuts>(
        this, m_ctx.state, fileList,
        QList<QComboBox *>{findBox, replaceBox, firstPartBox, secondPartBox, fuzzyReplaceBox},
        QList<QComboBox *>{findBox, firstPartBox, secondPartBox},
        [this](MainShortcuts::Command command) { runShortcut(command); });
    m_navigation = new MainNavigation(*this);
    m_typedFilters = new TypedFilters(*this);
    MainShortcuts::showInTips(*this);
    m_histories = std::make_unique<HistoryBoxes>(findBox, replaceBox, firstPartBox, secondPartBox,
                                                 fuzzyReplaceBox);
    // The hint names the folder this folder's copies go to, as the run makes it.
    m_hints = std::make_unique<MainHints>(*this, [this] {
        return BackupTree::mirrorOf(m_backupDialog->backupRoot(), m_request->folderPath());
    });

    m_searchForm = std::make_unique<MainSearchForm>(this, *this);
    m_viewer = new ViewerWindow(m_ctx, m_searchForm.get());
    m_ctx.viewer = m_viewer;
    m_viewer->setRunTexts(&m_statusText);
    new MainPreview(this, *m_mainbar, *m_viewer);  // a child of the window, as is its dialog
    new PatternMark(*this, this);
    m_searchTypes = std::make_unique<MainSearchTypes>(
        *this, this,
        MainSearchTypes::Actions{[this] { return m_viewer->largeSearchDialog(); },
                                 [this] { parkFocus(); }, [this] { mirrorHistoriesToViewer(); }});
    // Sees every key before the focused control does, and the pointer and resize
    // events of the lists, the fuzzy panel's area and fuzzyReplaceLabel.
    m_inputFilter = new MainInputFilter(this, *this, m_ctx.state, *m_shortcuts, *m_files,
                                        [this] { m_searchTypes->placeFuzzyPanel(); });
    qApp->installEventFilter(m_inputFilter);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(m_inputFilter);
    m_hints.reset();
    // The viewer works on m_ctx: it must go before the context does, and the
    // large search dialog, which points at the viewer, before the viewer.
    delete findChild<LargeSearchDialog *>();
    delete m_viewer;
    m_viewer = nullptr;
}

void MainWindow::connectControls()
{
    for (QAction *action : runBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { runBarTool(action->objectName()); });
    for (QAction *action : searchTypeBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { m_searchTypes->runTool(action->objectName()); });
    for (QAction *action : fileSelectionBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { m_files->runTool(action->objectName()); });
    for (QAction *action : helpBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { helpBarTool(action->objectName()); });
    for (QToolBar *bar : {pasteFindBar, pasteReplaceBar})
        connect(bar, &QToolBar::actionTriggered, this, [this, bar] { pasteTool(bar); });

    for (QComboBox *box : {findBox, replaceBox, firstPartBox, secondPartBox, fuzzyReplaceBox})
        connect(box, &QComboBox::activated, this,
                [this, box](int index) { historyPicked(box, index); });

    connect(normalOption, &QRadioButton::clicked, this, [this] { m_searchTypes->normalChosen(); });
    connect(fuzzyOption, &QRadioButton::clicked, this, [this] { m_searchTypes->fuzzyChosen(); });
    for (QCheckBox *box : m_options->boxes())
        connect(box, &QCheckBox::clicked, this, [this, box] {
            m_options->clicked(box);
            m_hints->optionClicked(box);
        });
    connect(backupFolderButton, &QPushButton::clicked, this, [this] {
        parkFocus();
        backupHighlight->hide();
        m_backupDialog->showModal();
    });

    connect(driveList, &QComboBox::activated, this, [this] { m_files->driveChosen(); });
    connect(folderList, &FolderList::pathChanged, this, [this] { m_files->folderChanged(); });
    connect(filterBox, &QComboBox::currentIndexChanged, this, [this] { m_files->filterChosen(); });
    connect(filterManagerButton, &QPushButton::clicked, this,
            [this] { m_files->openFilterManager(); });
    connect(fileList, &QListWidget::itemSelectionChanged, this,
            [this] { m_files->countSelected(); });
    connect(fileList, &FileList::openRequested, this, &MainWindow::viewSelectedFiles);
}

void MainWindow::loadStep(const std::function<void()> &step)
{
    try {
        step();
    } catch (const Failure &failure) {
        ErrorLog::reportFailure(dialogs(),
                                ErrorLog::exactErrorMessage(
                                    QStringLiteral("An error occurred while loading the program."),
                                    failure.description()),
                                QStringLiteral(" Error"), LogSource::mainLoad,
                                failure.description());
    }
}

bool MainWindow::startUp(const QString &folder)
{
    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->tryAcquire()) {
        m_instance.reset();
        // The running copy comes to the front instead; only when it cannot be
        // reached is the user told that it runs.
        if (SingleInstance::handOver(folder))
            return false;
        dialogs().message(QStringLiteral("Scrivlane is already running."),
                          QStringLiteral("Scrivlane"), MessageButtons::Ok,
                          MessageIcon::Information);
        return false;
    }
    m_loaded = true;
    connect(m_instance.get(), &SingleInstance::handedOver, m_navigation, &MainNavigation::handOver);

    loadStep([this] { mirrorHistoriesToViewer(); });
    loadStep([this] { m_searchTypes->placeFuzzyPanel(); });
    loadStep([this] {
        // The help file ships with the program (beside it, or in its installed data
        // folder), even where the program's own files go to the per-user data folder.
        m_helpFile = HelpFile::locate(QCoreApplication::applicationDirPath());
        const QString folder = Paths::withTrailingSeparator(Paths::applicationFolder());
        m_ctx.state.defaultBackupRoot = folder + QStringLiteral("Backup") + QDir::separator();
    });
    m_loading = true;
    m_options->load([this](const std::function<void()> &step) { loadStep(step); });
    loadStep([this, &folder] {
        const QString last = MainSettings::lastFolder();
        if (!folder.isEmpty() && QFileInfo(folder).exists())
            m_files->setFolder(QFileInfo(folder).isDir() ? folder : QFileInfo(folder).path());
        else if (!last.isEmpty() && QFileInfo(last).isDir())
            m_files->setFolder(last);
        else
            m_files->setFolder(Paths::startFolder());
    });
    loadStep([this] { m_histories->load(); });
    loadStep([this] {
        filterBox->addItems(MainSettings::filters());
        m_typedFilters->restoreLast();
        filterChosen();
    });
    m_loading = false;
    for (QComboBox *box : {findBox, replaceBox, firstPartBox, secondPartBox, fuzzyReplaceBox}) {
        if (box->count() > 0)
            box->setCurrentIndex(0);
    }
    loadStep([this] { m_viewer->applyStoredSettings(); });
    show();
    loadStep([this] {
        const QString type = MainSettings::searchType();
        if (type == u"Normal") {
            normalOption->setChecked(true);
            m_searchTypes->normalChosen();
            findBox->setFocus();
            findBox->lineEdit()->end(false);
        } else if (type == u"Fuzzy") {
            fuzzyOption->setChecked(true);
            m_searchTypes->fuzzyChosen();
            firstPartBox->setFocus();
            firstPartBox->lineEdit()->end(false);
        }
        m_searchTypes->updateIcons();
    });
    searchTypeBar->update();
    // A folder of the command line that does not exist is said so once the
    // window shows; a file given there is selected in its folder.
    if (!folder.isEmpty())
        loadStep([&] { m_navigation->open({folder}); });
    return true;
}

void MainWindow::shutDown()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A refused second copy applied no setting: it must not write its defaults.
    if (!m_loaded)
        return;
    MainSettings::setSearchType(fuzzyOption->isChecked() && !largeOption->isChecked());
    MainSettings::setLastFolder(folderList->path());
    MainSettings::setFilters(itemTexts(filterBox));
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) {
            window->close();
            window->hide();
        }
    }
    if (m_instance)
        m_instance->release();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Unsaved typing in the viewer is offered first; Cancel keeps the program open.
    if (!m_unloaded && m_loaded && m_viewer && !m_viewer->offerSaveBeforeExit()) {
        event->ignore();
        return;
    }
    // A run under way ends at its next test of the flag.
    m_ctx.state.stopRequested = true;
    shutDown();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    m_navigation->dragEnter(event);
}

void MainWindow::dropEvent(QDropEvent *event)
{
    m_navigation->drop(event);
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::saveFindHistory()
{
    m_histories->saveFind(m_request->isFuzzy());
}

void MainWindow::saveReplaceHistory()
{
    m_histories->saveReplace(m_request->isFuzzy());
}

void MainWindow::historyPicked(QComboBox *box, int index)
{
    if (index < 0 || index >= box->count())
        return;
    m_histories->pick(box, index);
    if (box == firstPartBox)
        m_viewer->history().chooseTopEntry(SearchBoxes::Box::Find);
    if (box == fuzzyReplaceBox)
        m_viewer->history().chooseTopEntry(SearchBoxes::Box::Replace);
    parkFocus();
}

void MainWindow::mirrorHistoriesToViewer()
{
    m_viewer->clearList();
    m_histories->mirror(m_request->isFuzzy(), m_viewer->history());
}

void MainWindow::storeFilterList()
{
    MainSettings::replaceFilters(itemTexts(filterBox));
    filterBox->setCurrentIndex(0);
}

void MainWindow::parkFocus(QWidget *target)
{
    (target ? target : focusPark)->setFocus();
}

void MainWindow::setRunControlsEnabled(bool enabled)
{
    // What a run reads as it goes is locked while it runs.
    m_ctx.state.runInProgress = !enabled;
    for (QWidget *control : std::initializer_list<QWidget *>{
             folderList, pathField, fileList, driveList, minimizeBox, fuzzyPanel, findBox,
             replaceBox, fileBarHolder, filterManagerButton, filterBox, backupFolderButton,
             caseSensitiveBox, subfoldersBox, wholeWordBox, backupBox, skipIgnoredBox, regexBox})
        control->setEnabled(enabled);
    for (QCheckBox *box : {includeHiddenBox, keepCaseBox}) box->setEnabled(enabled);
    for (const char *key : {"normal", "fuzzy", "large"})
        tool(QStringLiteral("searchTypeBar"), QString::fromLatin1(key))->setEnabled(enabled);
}

void MainWindow::disableControls()
{
    setRunControlsEnabled(false);
    runBar->update();
}

void MainWindow::enableControls()
{
    setRunControlsEnabled(true);
    // Regular expressions are a normal search's option only.
    regexBox->setEnabled(!fuzzyOption->isChecked());
    setToolCaption(QStringLiteral("find"), QStringLiteral("Find"));
}

void MainWindow::clearHints()
{
    if (m_ctx.state.runInProgress)
        return;
    for (QLabel *arrow : std::as_const(optionArrows)) arrow->hide();
    setStatusText(2, QString());
    setStatusText(1, Idle);
    for (QToolButton *indicator : {caseHighlight, wholeWordHighlight, subfoldersHighlight,
                                   minimizeHighlight, backupHighlight, skipIgnoredHighlight,
                                   regexHighlight, includeHiddenHighlight, keepCaseHighlight})
        indicator->hide();
}

void MainWindow::clearPastProgress()
{
    // What a run said it was doing is past once it ended; only a Find's last
    // text, naming the file the viewer opened on, still holds.
    const QString shown = statusDetailPanel->text();
    const QString searching = QStringLiteral(" Searching through document: ");
    if (m_viewer->isVisible() && shown == searching + m_viewer->buffer().fileName())
        return;
    for (const QString &progress :
         {searching, QStringLiteral(" Searching for "), QStringLiteral(" Creating folders: ")}) {
        if (shown.startsWith(progress))
            setStatusText(2, QString());
    }
}

void MainWindow::clearStatus()
{
    setStatusText(2, QString());
    setStatusText(1, Idle);
}

void MainWindow::updateSelectedPath()
{
    m_ctx.state.currentPath = Paths::withTrailingSeparator(m_request->folderPath());
}

void MainWindow::runBarTool(const QString &key)
{
    // A run takes the filter the box shows, even one typed without Enter.
    if (m_mainbar->runningTool().isEmpty() && !m_typedFilters->takeShown())
        return;
    m_mainbar->click(key);
}

void MainWindow::pasteTool(QToolBar *bar)
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        (bar == pasteFindBar ? findBox : replaceBox)->setEditText(text);
    parkFocus();
}

void MainWindow::helpBarTool(const QString &key)
{
    parkFocus();
    if (key == u"about") {
        showAbout();
    } else if (key == u"exit") {
        m_ctx.state.stopRequested = true;
        exitProgram();
    } else if (key == u"readme") {
        openHelp();
    }
}

void MainWindow::openHelp()
{
    if (QFileInfo(m_helpFile).isFile() &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile)))
        return;
    dialogs().message(QStringLiteral("The manual could not be opened: no program to show HTML "
                                     "pages was found, or the manual is missing.\r"
                                     "It is at ") +
                          QDir::toNativeSeparators(m_helpFile),
                      QStringLiteral(" Help"), MessageButtons::Ok, MessageIcon::Information);
}

void MainWindow::showAbout()
{
    // Made anew on every opening, so its animation starts at the first frame.
    AboutDialog about(dialogs(), this);
    about.exec();
}

void MainWindow::viewSelectedFiles()
{
    m_files->viewSelected();
}

void MainWindow::runShortcut(MainShortcuts::Command command)
{
    using Command = MainShortcuts::Command;
    switch (command) {
    case Command::About:
        showAbout();
        break;
    case Command::LargeSearch:
        m_searchTypes->showLargeSearch(false);
        break;
    case Command::SelectAll:
        selectAllFiles();
        break;
    case Command::SelectNone:
        selectNoFiles();
        break;
    case Command::Find:
        runBarTool(QStringLiteral("find"));
        break;
    case Command::Replace:
        runBarTool(QStringLiteral("replace"));
        break;
    case Command::Preview:
        runBarTool(QStringLiteral("preview"));
        break;
    case Command::Undo:
        runBarTool(QStringLiteral("undo"));
        break;
    case Command::ViewSelected:
        viewSelectedFiles();
        break;
    case Command::Exit:
        m_ctx.state.stopRequested = true;
        exitProgram();
        break;
    case Command::Stop:
        m_mainbar->stopRun();
        break;
    case Command::GoToPath:
        pathField->setFocus(Qt::ShortcutFocusReason);
        pathField->selectAll();
        break;
    }
}

const SearchRequest &MainWindow::request() const
{
    return *m_request;
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    m_statusText.setText(panel == 1 ? statusStatePanel : statusDetailPanel, text);
}

void MainWindow::setStatusText(int panel, const QString &lead, const QString &tail)
{
    m_statusText.setText(panel == 1 ? statusStatePanel : statusDetailPanel, lead, tail);
}

void MainWindow::setStatusText(int panel, std::function<QString()> text)
{
    m_statusText.setText(panel == 1 ? statusStatePanel : statusDetailPanel, std::move(text));
}

void MainWindow::setToolCaption(const QString &key, const QString &caption)
{
    if (QAction *action = tool(QStringLiteral("runBar"), key))
        action->setText(caption);
    runBar->update();
}

void MainWindow::yieldToEvents()
{
    // Repainting the status bar at every yield of a walk over thousands of
    // small files costs far more than searching them; some thirty times a
    // second keeps the window live and a Stop click is still seen at once.
    // A run asks at every step of every file: the coarse clock answers
    // without a trip to the hardware timer, a tick's error being no matter.
    constexpr qint64 kYieldIntervalMs = 30;
    if (m_lastYieldMs >= 0 && CoarseClock::msecs() - m_lastYieldMs < kYieldIntervalMs)
        return;
    m_statusText.letThrough([] { QCoreApplication::processEvents(); });
    m_lastYieldMs = CoarseClock::msecs();
}

void MainWindow::minimizeWindow()
{
    showMinimized();
}

void MainWindow::restoreWindow()
{
    if (isMinimized())
        showNormal();
}

void MainWindow::setTimeStart(const QString &text)
{
    startTimeLabel->setText(text);
}

void MainWindow::saveHistories()
{
    saveFindHistory();
    saveReplaceHistory();
    mirrorHistoriesToViewer();
}

void MainWindow::refreshFileList()
{
    fileList->refresh();
    countSelectedFiles();
}

void MainWindow::writeReport()
{
    ::writeReport(m_ctx);
}

void MainWindow::setFindAndReplaceText(const QString &find, const QString &replace)
{
    findBox->setEditText(find);
    replaceBox->setEditText(replace);
}
