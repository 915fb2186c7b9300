#include "MainWindow.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "HistoryBoxes.h"
#include "MainHints.h"
#include "MainNavigation.h"
#include "MainSettings.h"
#include "MainShortcuts.h"
#include "MainbarCommands.h"
#include "PathField.h"
#include "PopupMenuTools.h"
#include "RadioIcons.h"
#include "SingleInstance.h"
#include "TypedFilters.h"

#include "backup/ReportWriter.h"
#include "engine/BackupLocation.h"
#include "engine/FindRun.h"
#include "engine/RunSupport.h"
#include "platform/Failure.h"
#include "platform/HelpFile.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "ui/WidgetDialogs.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/FilterManagerDialog.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
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
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral(" Scrivlane"));

    if (!dialogs) {
        m_ownedDialogs = std::make_unique<WidgetDialogs>(this);
        dialogs = m_ownedDialogs.get();
    }
    m_ctx.request = this;
    m_ctx.main = this;
    m_ctx.dialogs = dialogs;
    m_backupDialog = new BackupDialog(*this, *dialogs, this);
    m_ctx.backup = m_backupDialog;

    setupUi(this);
    m_mainbar = std::make_unique<MainbarCommands>(
        m_ctx,
        [this] {
            parkFocus();
            Disable_Controls();
        },
        [this] { Enable_Controls(); });
    connectControls();
    new PopupMenuTools(*this);
    m_shortcuts = std::make_unique<MainShortcuts>(
        this, m_ctx.state, File2,
        QList<QComboBox *>{txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace},
        QList<QComboBox *>{txtFind, cboFirst, cboSecond},
        [this](MainShortcuts::Command command) { runShortcut(command); });
    m_navigation = new MainNavigation(*this);
    m_typedFilters = new TypedFilters(*this);
    showShortcutsInTips();
    m_histories =
        std::make_unique<HistoryBoxes>(txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace);
    // The hint names the folder this folder's copies go to, as the run makes it.
    m_hints = std::make_unique<MainHints>(
        *this, [this] { return BackupTree::mirrorOf(m_backupDialog->backupRoot(), folderPath()); });

    m_viewer = new ViewerWindow(m_ctx, this);
    m_ctx.viewer = m_viewer;
    // Sees every key before the focused control does, and the pointer and resize
    // events of the lists, the fuzzy panel's area and Label4.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    m_hints.reset();
    // The viewer works on m_ctx: it must go before the context does, and the
    // large search dialog, which points at the viewer, before the viewer.
    delete findChild<LargeSearchDialog *>();
    delete m_viewer;
    m_viewer = nullptr;
}

void MainWindow::connectControls()
{
    for (QAction *action : Mainbar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { Mainbar_ButtonClick(action->objectName()); });
    for (QAction *action : FindBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { FindBar_ButtonClick(action->objectName()); });
    for (QAction *action : FileBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { FileBar_ButtonClick(action->objectName()); });
    for (QAction *action : aboutBar->actions())
        connect(action, &QAction::triggered, this,
                [this, action] { aboutBar_ButtonClick(action->objectName()); });
    for (QToolBar *bar : {PasteBar1, PasteBar2})
        connect(bar, &QToolBar::actionTriggered, this, [this, bar] { PasteBar_ButtonClick(bar); });

    for (QComboBox *box : {txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace})
        connect(box, &QComboBox::activated, this,
                [this, box](int index) { historyPicked(box, index); });

    connect(optNormal, &QRadioButton::clicked, this, &MainWindow::optNormal_Click);
    connect(chkFuzzy, &QRadioButton::clicked, this, &MainWindow::chkFuzzy_Click);
    for (QCheckBox *box : {chkSubs, chkSensitive, chkWhole, chkMin, chkBackup})
        connect(box, &QCheckBox::clicked, this, [this, box] { optionClicked(box); });
    connect(cmdSetBack, &QPushButton::clicked, this, [this] {
        parkFocus();
        cmdBack->hide();
        m_backupDialog->showModal();
    });

    connect(Drive2, &QComboBox::activated, this, &MainWindow::Drive2_Change);
    connect(Dir2, &FolderList::pathChanged, this, &MainWindow::Dir2_Change);
    connect(cboFilters, &QComboBox::currentIndexChanged, this, &MainWindow::cboFilters_Click);
    connect(cmdFilters, &QPushButton::clicked, this, &MainWindow::cmdFilters_Click);
    connect(File2, &QListWidget::itemSelectionChanged, this, &MainWindow::CountFiles);
    connect(File2, &FileList::openRequested, this, &MainWindow::viewSelectedFiles);
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
                                QStringLiteral(" Error"), QStringLiteral("Form_Load-frmFind.frm"),
                                failure.description());
    }
}

bool MainWindow::Form_Load(const QString &folder)
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

    loadStep([this] { Fill_Combos(); });
    loadStep([this] { placeFuzzyPanel(); });
    loadStep([this] {
        // The help file ships with the program (beside it, or in its installed data
        // folder), even where the program's own files go to the per-user data folder.
        m_helpFile = HelpFile::locate(QCoreApplication::applicationDirPath());
        const QString folder = Paths::withTrailingSeparator(Paths::applicationFolder());
        m_ctx.state.DefaultBackupRoot = folder + QStringLiteral("Backup") + QDir::separator();
    });
    m_loading = true;
    const QList<QPair<QCheckBox *, QString>> options = {
        {chkSensitive, QStringLiteral("Case Sensitive")},
        {chkSubs, QStringLiteral("Search subdirectories")},
        {chkWhole, QStringLiteral("Whole Word")},
        {chkMin, QStringLiteral("Minimize")},
        {chkBackup, QStringLiteral("Backup")}};
    for (const auto &[box, name] : options)
        loadStep([&] { box->setChecked(MainSettings::option(name)); });
    loadStep([this] { cmdSetBack->setVisible(chkBackup->isChecked()); });
    loadStep([this, &folder] {
        const QString last = MainSettings::lastFolder();
        if (!folder.isEmpty() && QFileInfo(folder).exists())
            setFolder(QFileInfo(folder).isDir() ? folder : QFileInfo(folder).path());
        else if (!last.isEmpty() && QFileInfo(last).isDir())
            setFolder(last);
        else
            setFolder(Paths::startFolder());
    });
    loadStep([this] { m_histories->load(); });
    loadStep([this] {
        cboFilters->addItems(MainSettings::filters());
        m_typedFilters->restoreLast();
        cboFilters_Click();
    });
    m_loading = false;
    for (QComboBox *box : {txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace}) {
        if (box->count() > 0)
            box->setCurrentIndex(0);
    }
    loadStep([this] { m_viewer->ApplyViewerSettings(); });
    show();
    loadStep([this] {
        const QString type = MainSettings::searchType();
        if (type == u"Normal") {
            optNormal->setChecked(true);
            optNormal_Click();
            txtFind->setFocus();
            txtFind->lineEdit()->end(false);
        } else if (type == u"Fuzzy") {
            chkFuzzy->setChecked(true);
            chkFuzzy_Click();
            cboFirst->setFocus();
            cboFirst->lineEdit()->end(false);
        }
        Change_SearchOptions();
    });
    FindBar->update();
    // A folder of the command line that does not exist is said so once the
    // window shows; a file given there is selected in its folder.
    if (!folder.isEmpty())
        loadStep([&] { m_navigation->open({folder}); });
    return true;
}

void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A refused second copy applied no setting: it must not write its defaults.
    if (!m_loaded)
        return;
    MainSettings::setSearchType(chkFuzzy->isChecked() && !optLarge->isChecked());
    MainSettings::setLastFolder(Dir2->path());
    MainSettings::setFilters(itemTexts(cboFilters));
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
    m_ctx.state.StopRequested = true;
    Form_Unload();
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

void MainWindow::Exit_Program()
{
    close();
}

void MainWindow::Save_SearchChar()
{
    m_histories->saveFind(isFuzzy());
}

void MainWindow::Save_ReplaceChar()
{
    m_histories->saveReplace(isFuzzy());
}

void MainWindow::historyPicked(QComboBox *box, int index)
{
    if (index < 0 || index >= box->count())
        return;
    m_histories->pick(box, index);
    if (box == cboFirst && m_viewer->cboFind->count() > 0)
        m_viewer->cboFind->setCurrentIndex(0);
    if (box == cboFuzzyReplace && m_viewer->cboReplace->count() > 0)
        m_viewer->cboReplace->setCurrentIndex(0);
    parkFocus();
}

void MainWindow::Fill_Combos()
{
    m_viewer->clearList();
    m_histories->mirror(isFuzzy(), m_viewer->cboFind, m_viewer->cboFind2, m_viewer->cboReplace);
}

void MainWindow::RefreshCombos()
{
    MainSettings::replaceFilters(itemTexts(cboFilters));
    cboFilters->setCurrentIndex(0);
}

void MainWindow::parkFocus(QWidget *target)
{
    (target ? target : Picture5)->setFocus();
}

void MainWindow::placeFuzzyPanel()
{
    picFuzzy->setGeometry(fraFind->rect());
    picFuzzy->raise();
}

void MainWindow::Change_SearchOptions()
{
    QAction *normal = tool(QStringLiteral("FindBar"), QStringLiteral("normal"));
    QAction *fuzzy = tool(QStringLiteral("FindBar"), QStringLiteral("fuzzy"));
    normal->setIcon(RadioIcons::icon(optNormal->isChecked(), this));
    fuzzy->setIcon(RadioIcons::icon(chkFuzzy->isChecked(), this));
}

void MainWindow::optNormal_Click()
{
    Change_SearchOptions();
    // The large search dialog is created on first use only.
    if (auto *large = findChild<LargeSearchDialog *>())
        large->hide();
    picFuzzy->hide();
    parkFocus();
}

void MainWindow::chkFuzzy_Click()
{
    Change_SearchOptions();
    placeFuzzyPanel();
    if (auto *large = findChild<LargeSearchDialog *>()) {
        large->hide();
        large->setTag(QStringLiteral("FuzzyReplace"));
    }
    if (chkFuzzy->isChecked())
        picFuzzy->show();
    parkFocus();
}

void MainWindow::FindBar_ButtonClick(const QString &key)
{
    LargeSearchDialog *large = m_viewer->largeSearchDialog();
    if (key == u"normal") {
        optNormal->setChecked(true);
        optNormal_Click();
        large->chkfuzz->setChecked(false);
    } else if (key == u"fuzzy") {
        chkFuzzy->setChecked(true);
        chkFuzzy_Click();
        large->chkfuzz->setChecked(true);
    } else if (key == u"large") {
        showLargeSearch(true);
    }
    Fill_Combos();
    FindBar->update();
}

void MainWindow::showLargeSearch(bool fill)
{
    LargeSearchDialog *large = m_viewer->largeSearchDialog();
    if (fill) {
        if (chkFuzzy->isChecked()) {
            large->chkfuzz->setChecked(true);
            large->rtbFirstFuzz->setPlainText(cboFirst->currentText());
            large->rtbSecondFuzz->setPlainText(cboSecond->currentText());
        } else {
            large->rtbFirstFuzz->setPlainText(txtFind->currentText());
            large->rtbSecondFuzz->setPlainText(txtReplace->currentText());
            large->chkfuzz->setChecked(false);
        }
        large->setTag(QStringLiteral("Scrivlane"));
    }
    large->open();
}

void MainWindow::Disable_Controls()
{
    m_ctx.state.RunInProgress = true;
    for (QWidget *control : std::initializer_list<QWidget *>{
             Dir2, pathField, File2, Drive2, chkMin, picFuzzy, txtFind, txtReplace, Picture3,
             cmdFilters, cboFilters, cmdSetBack, chkSensitive, chkSubs, chkWhole, chkBackup})
        control->setEnabled(false);
    for (const char *key : {"normal", "fuzzy", "large"})
        tool(QStringLiteral("FindBar"), QString::fromLatin1(key))->setEnabled(false);
    Mainbar->update();
}

void MainWindow::Enable_Controls()
{
    m_ctx.state.RunInProgress = false;
    for (QWidget *control : std::initializer_list<QWidget *>{
             Dir2, pathField, File2, Drive2, picFuzzy, txtFind, txtReplace, Picture3, cmdFilters,
             cboFilters, cmdSetBack, chkMin, chkSensitive, chkSubs, chkWhole, chkBackup})
        control->setEnabled(true);
    for (const char *key : {"normal", "fuzzy", "large"})
        tool(QStringLiteral("FindBar"), QString::fromLatin1(key))->setEnabled(true);
    setToolCaption(QStringLiteral("find"), QStringLiteral("Find"));
}

void MainWindow::Reset_Hints()
{
    if (m_ctx.state.RunInProgress)
        return;
    for (QLabel *arrow : std::as_const(imgArrow1)) arrow->hide();
    setStatusText(2, QString());
    setStatusText(1, Idle);
    for (QToolButton *indicator : {cmdCase, cmdWhole, cmdSubs, cmdMin, cmdBack}) indicator->hide();
}

void MainWindow::clean_up()
{
    setStatusText(2, QString());
    setStatusText(1, Idle);
}

void MainWindow::Get_Path()
{
    ::Get_Path(m_ctx);
}

void MainWindow::optionClicked(QCheckBox *box)
{
    const bool checked = box->isChecked();
    if (box == chkSubs) {
        parkFocus();
        MainSettings::setOption(QStringLiteral("Search subdirectories"), checked);
    } else if (box == chkSensitive || box == chkWhole) {
        MainSettings::setOption(
            box == chkSensitive ? QStringLiteral("Case Sensitive") : QStringLiteral("Whole Word"),
            checked);
        if (QApplication::activeWindow() == this)
            parkFocus();
    } else if (box == chkMin) {
        MainSettings::setOption(QStringLiteral("Minimize"), checked);
        parkFocus();
    } else if (box == chkBackup) {
        if (m_loading)
            return;
        MainSettings::setOption(QStringLiteral("Backup"), checked);
        cmdSetBack->setVisible(box->isChecked());
        parkFocus();
    }
}

void MainWindow::Mainbar_ButtonClick(const QString &key)
{
    m_mainbar->click(key);
}

void MainWindow::FileBar_ButtonClick(const QString &key)
{
    parkFocus();
    if (key == u"all") {
        Select_AllFiles();
    } else if (key == u"none") {
        Select_NoFiles();
        CountFiles();
    }
}

void MainWindow::PasteBar_ButtonClick(QToolBar *bar)
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        (bar == PasteBar1 ? txtFind : txtReplace)->setEditText(text);
    parkFocus();
}

void MainWindow::aboutBar_ButtonClick(const QString &key)
{
    parkFocus();
    if (key == u"about") {
        showAbout();
    } else if (key == u"exit") {
        m_ctx.state.StopRequested = true;
        Exit_Program();
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

void MainWindow::showShortcutsInTips()
{
    // Each tool's tip names its key, as the status bar does while the pointer rests on it.
    const QList<QPair<QAction *, QString>> keys = {
        {tool(QStringLiteral("Mainbar"), QStringLiteral("find")), QStringLiteral("Ctrl+F")},
        {tool(QStringLiteral("Mainbar"), QStringLiteral("replace")), QStringLiteral("Ctrl+R")},
        {tool(QStringLiteral("Mainbar"), QStringLiteral("undo")), QStringLiteral("Ctrl+Z")},
        {tool(QStringLiteral("FindBar"), QStringLiteral("normal")), QStringLiteral("Alt+N")},
        {tool(QStringLiteral("FindBar"), QStringLiteral("fuzzy")), QStringLiteral("Alt+F")},
        {tool(QStringLiteral("FindBar"), QStringLiteral("large")), QStringLiteral("Alt+L")},
        {tool(QStringLiteral("FileBar"), QStringLiteral("all")),
         QStringLiteral("Ctrl+A in the file list")},
        {tool(QStringLiteral("FileBar"), QStringLiteral("none")), QStringLiteral("Ctrl+N")},
        {tool(QStringLiteral("aboutBar"), QStringLiteral("about")), QStringLiteral("F2")},
        {tool(QStringLiteral("aboutBar"), QStringLiteral("readme")), QStringLiteral("F1")},
        {tool(QStringLiteral("aboutBar"), QStringLiteral("exit")), QStringLiteral("Ctrl+Q")},
    };
    for (const auto &[action, key] : keys) {
        const QString tip = action->toolTip().isEmpty() ? action->iconText() : action->toolTip();
        action->setToolTip(tip + QStringLiteral(" (") + key + u')');
    }
    pathField->setToolTip(QStringLiteral("Type or paste a folder and press Enter (Ctrl+L)"));
    cboFilters->setToolTip(
        QStringLiteral("Choose a filter, or type patterns such as *.txt;*.md "
                       "and press Enter"));
}

void MainWindow::showAbout()
{
    // Made anew on every opening, so its animation starts at the first frame.
    AboutDialog about(dialogs(), this);
    about.exec();
}

void MainWindow::viewSelectedFiles()
{
    ViewerWindow &viewer = *m_viewer;
    if (!viewer.offerSaveModified())
        return;
    viewer.clearList();
    Get_Path();
    for (int i = 0; i < File2->count(); ++i) {
        if (File2->isSelected(i))
            viewer.addToList(m_ctx.state.CurrentPath + File2->item(i)->text());
    }
    if (viewer.listCount() == 0 || viewer.listItem(0).isEmpty())
        return;
    const QString first = viewer.listItem(0);
    viewer.setTag(QStringLiteral("Stop"));
    try {
        viewer.rtbDefault().LoadFile(first);
        viewer.setHoldText(viewer.rtbDefault().Text());
    } catch (const Failure &failure) {
        ErrorLog::reportFailure(
            dialogs(), QStringLiteral("There was an error while attempting to view the file."),
            QStringLiteral("Error"), QStringLiteral("View_Source-frmFind.frm"),
            failure.description());
        return;
    }
    viewer.setCaption(QStringLiteral("Viewing document:  ") + first);
    viewer.selectListItem(0);
    viewer.setPosLabel(QString::number(m_ctx.state.FoundPosition));
    viewer.setCountLabel(QString::number(viewer.listCount()));
    setStatusText(1, Idle);
    viewer.showViewer();
}

void MainWindow::runShortcut(MainShortcuts::Command command)
{
    using Command = MainShortcuts::Command;
    switch (command) {
    case Command::About:
        showAbout();
        break;
    case Command::LargeSearch:
        showLargeSearch(false);
        break;
    case Command::SelectAll:
        Select_AllFiles();
        break;
    case Command::SelectNone:
        Select_NoFiles();
        break;
    case Command::Find:
        Mainbar_ButtonClick(QStringLiteral("find"));
        break;
    case Command::Replace:
        Mainbar_ButtonClick(QStringLiteral("replace"));
        break;
    case Command::Undo:
        Mainbar_ButtonClick(QStringLiteral("undo"));
        break;
    case Command::ViewSelected:
        viewSelectedFiles();
        break;
    case Command::Exit:
        m_ctx.state.StopRequested = true;
        Exit_Program();
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

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return m_shortcuts->keyEvent(watched, static_cast<QKeyEvent *>(event));
    case QEvent::Resize:
        if (watched == fraFind)
            placeFuzzyPanel();
        return false;
    case QEvent::MouseMove:
        // The lists are locked during a run; their hints must not cover its progress.
        if (m_ctx.state.RunInProgress)
            return false;
        if (watched == File2->viewport())
            File2_MouseMove();
        else if (watched == Dir2->viewport())
            Dir2_MouseMove();
        return false;
    // Locked controls still pass their pointer events through this filter: a run
    // reads the file selection as it goes, so they must not act on them.
    case QEvent::MouseButtonPress:
        if (watched == File2->viewport() && File2->isEnabled()) {
            updateFileOptions();
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
                FileOptions->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
                return true;
            }
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (watched == Label4) {
            if (Label4->isEnabled())
                Select_NoFiles();
            return false;
        }
        if (watched == Dir2->viewport() && Dir2->isEnabled() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            FolderOptions->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true;
        }
        return false;
    default:
        return false;
    }
}

void MainWindow::CountFiles()
{
    if (m_ctx.state.RunInProgress)
        return;
    Label3->setText(countCaption(File2->selectedCount(), File2->count()));
}

void MainWindow::File2_MouseMove()
{
    for (QLabel *arrow : std::as_const(imgArrow1)) arrow->hide();
    for (QToolButton *indicator : {cmdCase, cmdWhole, cmdSubs, cmdMin, cmdBack}) indicator->hide();
    setStatusText(2, QStringLiteral(" Please select files to edit. - Right-click for options."));
    setStatusText(1, Idle);
    CountFiles();
}

void MainWindow::Dir2_MouseMove()
{
    setStatusText(2, QStringLiteral(" Double-click to open a folder. - Right-click for options"));
    setStatusText(1, Idle);
}

void MainWindow::Select_AllFiles()
{
    File2->selectAll();
    CountFiles();
}

void MainWindow::Select_NoFiles()
{
    File2->clearSelection();
    // The first entry is selected and deselected again: the list returns to its top.
    if (File2->count() > 0) {
        File2->setCurrentRow(0, QItemSelectionModel::Current);
        File2->scrollToTop();
    }
    Label3->setText(QStringLiteral("0 of ") + QString::number(File2->count()));
}

void MainWindow::setFolder(const QString &path)
{
    Drive2->showDriveOf(path);
    Dir2->setPath(path);
}

void MainWindow::Drive2_Change()
{
    const QString root = Drive2->drive();
    // Choosing the drive already shown is no change: the folder stays where it is.
    if (!root.isEmpty() && root == Drive2->driveOf(Dir2->path()))
        return;
    const QFileInfo info(root);
    if (root.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(root).isReadable()) {
        setStatusText(2, QStringLiteral(" "));
        dialogs().message(QStringLiteral("That drive is not available."),
                          QStringLiteral("Error reading drive"), MessageButtons::Ok,
                          MessageIcon::Error);
        Drive2->showDriveOf(Dir2->path());
        return;
    }
    Dir2->setPath(root);
    parkFocus();
}

void MainWindow::Dir2_Change()
{
    pathField->showFolder(Dir2->path());
    File2->setFolder(Dir2->path());
    CountFiles();
    MainSettings::setLastFolder(Dir2->path());
}

void MainWindow::cboFilters_Click()
{
    if (cboFilters->currentIndex() < 0)
        return;
    File2->setPattern(cboFilters->itemText(cboFilters->currentIndex()));
    if (!m_loading)
        m_typedFilters->storeChosen();
    CountFiles();
    update();
    parkFocus();
}

void MainWindow::cmdFilters_Click()
{
    // Loaded on first use; it stays loaded while hidden.
    auto *manager = findChild<FilterManagerDialog *>();
    if (!manager)
        manager = new FilterManagerDialog(
            cboFilters, dialogs(), [this] { RefreshCombos(); },
            [this](const QString &hint) { setStatusText(2, hint); }, this);
    manager->open();
}

void MainWindow::updateFileOptions()
{
    const bool selected = File2->selectedCount() > 0;
    for (QAction *action : FileOptions->actions()) action->setEnabled(selected);
    for (QAction *action : FileOptions->actions()) {
        if (action->objectName() == u"find")
            action->setEnabled(chkSubs->isChecked() || selected);
    }
}

bool MainWindow::isFuzzy() const
{
    return chkFuzzy->isChecked();
}
QString MainWindow::findText() const
{
    return txtFind->currentText();
}
QString MainWindow::replaceText() const
{
    return txtReplace->currentText();
}
QString MainWindow::firstPart() const
{
    return cboFirst->currentText();
}
QString MainWindow::secondPart() const
{
    return cboSecond->currentText();
}
QString MainWindow::fuzzyReplace() const
{
    return cboFuzzyReplace->currentText();
}
bool MainWindow::isCaseSensitive() const
{
    return chkSensitive->isChecked();
}
bool MainWindow::isWholeWord() const
{
    return chkWhole->isChecked();
}
bool MainWindow::hasSubdirectories() const
{
    return chkSubs->isChecked();
}
bool MainWindow::hasBackup() const
{
    return chkBackup->isChecked();
}
bool MainWindow::isMinimizeWhileReplacing() const
{
    return chkMin->isChecked();
}
QString MainWindow::folderPath() const
{
    return Dir2->path();
}
int MainWindow::fileCount() const
{
    return File2->count();
}
QString MainWindow::fileName(int index) const
{
    const QListWidgetItem *item = File2->item(index);
    return item ? item->text() : QString();
}
bool MainWindow::isFileSelected(int index) const
{
    return File2->isSelected(index);
}
QString MainWindow::filters() const
{
    // The chosen filter, not a pattern still being typed into the box.
    return cboFilters->itemText(cboFilters->currentIndex());
}
QString MainWindow::selectionCount() const
{
    return Label3->text();
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    (panel == 1 ? StatusBar1Panel1 : StatusBar1Panel2)->setText(text);
}

QString MainWindow::toolCaption(const QString &key) const
{
    const QAction *action = tool(QStringLiteral("Mainbar"), key);
    return action ? action->text() : QString();
}

void MainWindow::setToolCaption(const QString &key, const QString &caption)
{
    if (QAction *action = tool(QStringLiteral("Mainbar"), key))
        action->setText(caption);
    Mainbar->update();
}

void MainWindow::yieldToEvents()
{
    // Repainting the status bar at every yield of a walk over thousands of
    // small files costs far more than searching them; some thirty times a
    // second keeps the window live and a Stop click is still seen at once.
    constexpr qint64 kYieldIntervalMs = 30;
    if (m_lastYield.isValid() && m_lastYield.elapsed() < kYieldIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_lastYield.start();
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

QString MainWindow::timeStart() const
{
    return lblTimeStart->text();
}
void MainWindow::setTimeStart(const QString &text)
{
    lblTimeStart->setText(text);
}

void MainWindow::saveHistories()
{
    Save_SearchChar();
    Save_ReplaceChar();
    Fill_Combos();
}

void MainWindow::refreshFileList()
{
    File2->refresh();
    CountFiles();
}

void MainWindow::OutputData()
{
    ::OutputData(m_ctx);
}

void MainWindow::setFindAndReplaceText(const QString &find, const QString &replace)
{
    txtFind->setEditText(find);
    txtReplace->setEditText(replace);
}
