#include "MainWindow.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "HistoryBoxes.h"
#include "RadioIcons.h"
#include "SingleInstance.h"
#include "backup/UndoRun.h"

#include "backup/ReportWriter.h"
#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "platform/Failure.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/SettingsStore.h"
#include "ui/WidgetDialogs.h"
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
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using SettingsStore::HKEY_CURRENT_USER;

namespace {
const QString KeyOptions = QStringLiteral("Software\\Scrivlane\\Options");
const QString KeyLastDir = QStringLiteral("Software\\Scrivlane\\LastDir");
const QString KeySearchType = QStringLiteral("Software\\Scrivlane\\SearchType");
const QString KeyFilters = QStringLiteral("Software\\Scrivlane\\File Filters");
const QString Idle = QStringLiteral("Scrivlane");
const QString Stop = QStringLiteral("Stop");

QString read(const QString &key, const QString &value, const QString &defaultText = QString())
{
    return SettingsStore::ReadRegString(HKEY_CURRENT_USER, key, value, defaultText);
}

void write(const QString &key, const QString &value, const QString &text)
{
    SettingsStore::WriteRegString(HKEY_CURRENT_USER, key, value, text);
}

QString idleCaption(const QString &key)
{
    if (key == u"replace")
        return QStringLiteral("Replace");
    if (key == u"undo")
        return QStringLiteral("Undo");
    return QStringLiteral("Find");
}

QIcon themed(const char *name, QStyle::StandardPixmap fallback, const QWidget *widget)
{
    return QIcon::fromTheme(QString::fromLatin1(name), widget->style()->standardIcon(fallback));
}

QLabel *newLabel(const char *name, const QString &caption, QWidget *buddy = nullptr)
{
    auto *label = new QLabel(caption);
    label->setObjectName(QString::fromLatin1(name));
    if (buddy)
        label->setBuddy(buddy);
    return label;
}
}  // namespace

MainWindow::MainWindow(Dialogs *dialogs, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral(" Scrivlane"));
    setWindowIcon(themed("edit-find-replace", QStyle::SP_FileDialogContentsView, this));

    if (!dialogs) {
        m_ownedDialogs = std::make_unique<WidgetDialogs>(this);
        dialogs = m_ownedDialogs.get();
    }
    m_ctx.request = this;
    m_ctx.main = this;
    m_ctx.dialogs = dialogs;
    m_ctx.backup = &m_backup;

    buildControls();
    buildToolbars();
    buildPopupMenus();
    connectControls();
    m_histories =
        std::make_unique<HistoryBoxes>(txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace);

    m_viewer = new ViewerWindow(m_ctx, this);
    m_ctx.viewer = m_viewer;
    // Sees every key before the focused control does, and the pointer and resize
    // events of the lists, the fuzzy panel's area and Label4.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The viewer works on m_ctx: it must go before the context does, and the
    // large search dialog, which points at the viewer, before the viewer.
    delete findChild<LargeSearchDialog *>();
    delete m_viewer;
    m_viewer = nullptr;
}

void MainWindow::buildControls()
{
    auto *central = new QWidget(this);
    auto *top = new QGridLayout;
    top->addWidget(buildFindArea(), 0, 0);
    top->addWidget(buildOptions(), 0, 1);

    auto *filterGroup = new QGroupBox(QStringLiteral("File Filters:"));
    filterGroup->setObjectName(QStringLiteral("fraFilters"));
    cboFilters = new QComboBox;
    cboFilters->setObjectName(QStringLiteral("cboFilters"));
    cboFilters->setMinimumContentsLength(14);
    cmdFilters = new QPushButton(QStringLiteral("..."));
    cmdFilters->setObjectName(QStringLiteral("cmdFilters"));
    cmdFilters->setFixedWidth(32);
    auto *filterRow = new QHBoxLayout(filterGroup);
    filterRow->addWidget(cboFilters, 1);
    filterRow->addWidget(cmdFilters);
    top->addWidget(filterGroup, 1, 0);

    auto *typeGroup = new QGroupBox(QStringLiteral("Type of Search:"));
    typeGroup->setObjectName(QStringLiteral("fraType"));
    FindBar = new QToolBar(QStringLiteral("Band1"));
    FindBar->setObjectName(QStringLiteral("FindBar"));
    FindBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FindBar->setIconSize(QSize(16, 16));
    optNormal = new QRadioButton(QStringLiteral("&Normal"));
    optNormal->setObjectName(QStringLiteral("optNormal"));
    chkFuzzy = new QRadioButton(QStringLiteral("&Fuzzy"));
    chkFuzzy->setObjectName(QStringLiteral("chkFuzzy"));
    optLarge = new QRadioButton(QStringLiteral("&Large"));
    optLarge->setObjectName(QStringLiteral("optLarge"));
    // The type tools show the type; the option buttons only hold it.
    optNormal->setChecked(true);
    optNormal->hide();
    chkFuzzy->hide();
    optLarge->hide();
    auto *typeRow = new QHBoxLayout(typeGroup);
    typeRow->addWidget(FindBar);
    typeRow->addWidget(optNormal);
    typeRow->addWidget(chkFuzzy);
    typeRow->addWidget(optLarge);
    top->addWidget(typeGroup, 1, 1);
    top->setColumnStretch(0, 3);
    top->setColumnStretch(1, 2);

    auto *main = new QVBoxLayout(central);
    main->addLayout(top);
    main->addWidget(buildFileSelection(), 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    auto *image = new QLabel;
    image->setPixmap(windowIcon().pixmap(16, 16));
    StatusBar1Panel1 = new QLabel(Idle);
    StatusBar1Panel1->setObjectName(QStringLiteral("StatusBar1Panel1"));
    StatusBar1Panel1->setMinimumWidth(110);
    StatusBar1Panel2 = new QLabel;
    StatusBar1Panel2->setObjectName(QStringLiteral("StatusBar1Panel2"));
    StatusBar1Panel2->setMinimumWidth(10);
    Picture5 = new QWidget;
    Picture5->setObjectName(QStringLiteral("Picture5"));
    Picture2 = new QWidget;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    for (QWidget *park : {Picture5, Picture2}) {
        park->setFocusPolicy(Qt::StrongFocus);
        park->setFixedSize(1, 1);
    }
    lblTimeStart = new QLabel;
    lblTimeStart->setObjectName(QStringLiteral("lblTimeStart"));
    lblTimeStart->hide();
    StatusBar1->addWidget(image);
    StatusBar1->addWidget(StatusBar1Panel1);
    StatusBar1->addWidget(StatusBar1Panel2, 1);
    StatusBar1->addPermanentWidget(Picture5);
    StatusBar1->addPermanentWidget(Picture2);
    StatusBar1->addPermanentWidget(lblTimeStart);
    setStatusBar(StatusBar1);

    picOption = new QLabel(this);
    picOption->setObjectName(QStringLiteral("picOption"));
    picOption->setPixmap(RadioIcons::pixmap(true, this));
    picOption->hide();
    picOption1 = new QLabel(this);
    picOption1->setObjectName(QStringLiteral("picOption1"));
    picOption1->setPixmap(RadioIcons::pixmap(false, this));
    picOption1->hide();
}

QWidget *MainWindow::buildFindArea()
{
    auto *area = new QWidget;
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);

    m_findBoxes = new QWidget;
    m_findBoxes->setObjectName(QStringLiteral("fraFind"));
    txtFind = newHistoryBox("txtFind");
    txtReplace = newHistoryBox("txtReplace");
    Label5 = newLabel("Label5", QStringLiteral("Find:"), txtFind);
    Label6 = newLabel("Label6", QStringLiteral("Replace with:"), txtReplace);
    PasteBar1 = new QToolBar(QStringLiteral("Band1"));
    PasteBar1->setObjectName(QStringLiteral("PasteBar1"));
    PasteBar2 = new QToolBar(QStringLiteral("Band1"));
    PasteBar2->setObjectName(QStringLiteral("PasteBar2"));
    const QIcon paste = themed("edit-paste", QStyle::SP_FileDialogDetailedView, this);
    for (QToolBar *bar : {PasteBar1, PasteBar2}) {
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        addTool(bar, QStringLiteral("pasteFind"), QStringLiteral(" Paste"), paste);
    }
    auto *grid = new QGridLayout(m_findBoxes);
    grid->setContentsMargins(9, 9, 9, 9);
    grid->addWidget(Label5, 0, 0);
    grid->addWidget(txtFind, 0, 1);
    grid->addWidget(PasteBar1, 0, 2);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(txtReplace, 1, 1);
    grid->addWidget(PasteBar2, 1, 2);
    grid->setColumnStretch(1, 1);

    // The fuzzy panel lies over the normal boxes and hides them while shown.
    picFuzzy = new QWidget(m_findBoxes);
    picFuzzy->setObjectName(QStringLiteral("picFuzzy"));
    picFuzzy->setAutoFillBackground(true);
    cboFirst = newHistoryBox("cboFirst");
    cboSecond = newHistoryBox("cboSecond");
    cboFuzzyReplace = newHistoryBox("cboFuzzyReplace");
    Label1 = newLabel("Label1", QStringLiteral("First part:"), cboFirst);
    Label2 = newLabel("Label2", QStringLiteral("Second part:"), cboSecond);
    Label4 = newLabel("Label4", QStringLiteral("Replace with:"), cboFuzzyReplace);
    auto *fuzzyGrid = new QGridLayout(picFuzzy);
    fuzzyGrid->setContentsMargins(9, 2, 9, 2);
    fuzzyGrid->setVerticalSpacing(2);
    fuzzyGrid->addWidget(Label1, 0, 0);
    fuzzyGrid->addWidget(cboFirst, 0, 1);
    fuzzyGrid->addWidget(Label2, 1, 0);
    fuzzyGrid->addWidget(cboSecond, 1, 1);
    fuzzyGrid->addWidget(Label4, 2, 0);
    fuzzyGrid->addWidget(cboFuzzyReplace, 2, 1);
    fuzzyGrid->setColumnStretch(1, 1);
    picFuzzy->hide();

    auto *frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("fraSearch"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(m_findBoxes);
    column->addWidget(frame);
    return area;
}

QGroupBox *MainWindow::buildOptions()
{
    fraOptions = new QGroupBox(QStringLiteral("Options:"));
    fraOptions->setObjectName(QStringLiteral("fraOptions"));
    auto *grid = new QGridLayout(fraOptions);
    grid->setVerticalSpacing(2);
    auto indicator = [this](QToolButton *&button, const char *name) {
        button = new QToolButton;
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
        button->setAutoRaise(true);
        button->hide();
        return button;
    };
    const QList<QPair<QCheckBox *, QToolButton *>> rows = {
        {newOption(chkSubs, "chkSubs", QStringLiteral(" &Search subdirectories")),
         indicator(cmdSubs, "cmdSubs")},
        {newOption(chkSensitive, "chkSensitive", QStringLiteral(" &Case sensitive search")),
         indicator(cmdCase, "cmdCase")},
        {newOption(chkWhole, "chkWhole", QStringLiteral(" &Whole word only")),
         indicator(cmdWhole, "cmdWhole")},
        {newOption(chkBackup, "chkBackup", QStringLiteral(" Create &Backup")),
         indicator(cmdBack, "cmdBack")},
        {newOption(chkMin, "chkMin", QStringLiteral(" Minimi&ze while replacing")),
         indicator(cmdMin, "cmdMin")},
    };
    cmdSetBack = new QPushButton(QStringLiteral("..."));
    cmdSetBack->setObjectName(QStringLiteral("cmdSetBack"));
    cmdSetBack->setFixedWidth(32);
    cmdSetBack->hide();
    for (int i = 0; i < rows.size(); ++i) {
        auto *arrow = new QLabel;
        arrow->setObjectName(QStringLiteral("imgArrow1"));
        arrow->setProperty("Index", i);
        arrow->setPixmap(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(12, 12));
        arrow->hide();
        imgArrow1 << arrow;
        grid->addWidget(arrow, i, 0);
        grid->addWidget(rows[i].first, i, 1);
        grid->addWidget(rows[i].second, i, 3);
    }
    grid->addWidget(cmdSetBack, 3, 2);
    grid->setColumnStretch(1, 1);
    return fraOptions;
}

QWidget *MainWindow::buildFileSelection()
{
    auto *area = new QGroupBox;
    area->setObjectName(QStringLiteral("fraFiles"));
    Drive2 = new DriveList;
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir2 = new FolderList;
    Dir2->setObjectName(QStringLiteral("Dir2"));
    File2 = new FileList;
    File2->setObjectName(QStringLiteral("File2"));
    Label9 = newLabel("Label9", QStringLiteral("Drives:"), Drive2);
    Label10 = newLabel("Label10", QStringLiteral("Directories:"), Dir2);
    Label11 = newLabel("Label11", QStringLiteral("Files to edit:"), File2);
    Label3 = newLabel("Label3", QStringLiteral("9999 of 9999"));

    Picture3 = new QWidget;
    Picture3->setObjectName(QStringLiteral("Picture3"));
    FileBar = new QToolBar(QStringLiteral("Main"));
    FileBar->setObjectName(QStringLiteral("FileBar"));
    FileBar->setIconSize(QSize(16, 16));
    FileBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addTool(FileBar, QStringLiteral("all"), QStringLiteral("Select All Files"),
            themed("edit-select-all", QStyle::SP_DialogApplyButton, this));
    addTool(FileBar, QStringLiteral("none"), QStringLiteral("Select None"),
            themed("edit-clear", QStyle::SP_DialogResetButton, this));
    auto *barRow = new QHBoxLayout(Picture3);
    barRow->setContentsMargins(0, 0, 0, 0);
    barRow->addWidget(FileBar);

    auto *grid = new QGridLayout(area);
    grid->addWidget(Label9, 0, 0);
    grid->addWidget(Drive2, 1, 0);
    grid->addWidget(Label10, 2, 0);
    grid->addWidget(Dir2, 3, 0);
    grid->addWidget(Label11, 0, 1);
    grid->addWidget(File2, 1, 1, 3, 1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(Label3);
    countRow->addStretch(1);
    countRow->addWidget(Picture3);
    grid->addLayout(countRow, 4, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    Dir2->setMinimumSize(200, 160);
    File2->setMinimumSize(240, 160);
    return area;
}

void MainWindow::buildToolbars()
{
    Mainbar = new QToolBar(QStringLiteral("Band1"), this);
    Mainbar->setObjectName(QStringLiteral("Mainbar"));
    Mainbar->setMovable(false);
    Mainbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(Mainbar, QStringLiteral("find"), QStringLiteral("Find"),
            themed("edit-find", QStyle::SP_FileDialogContentsView, this),
            QStringLiteral("Find a text string"));
    addTool(Mainbar, QStringLiteral("replace"), QStringLiteral("Replace"),
            themed("edit-find-replace", QStyle::SP_BrowserReload, this),
            QStringLiteral("Replace a text string with another"));
    addTool(Mainbar, QStringLiteral("undo"), QStringLiteral("Undo"),
            themed("edit-undo", QStyle::SP_ArrowBack, this), QStringLiteral("Undo last action"));
    addToolBar(Qt::TopToolBarArea, Mainbar);

    aboutBar = new QToolBar(QStringLiteral("Band1"), this);
    aboutBar->setObjectName(QStringLiteral("aboutBar"));
    aboutBar->setMovable(false);
    aboutBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(aboutBar, QStringLiteral("about"), QStringLiteral("About"),
            themed("help-about", QStyle::SP_MessageBoxInformation, this),
            QStringLiteral("About this application"));
    QAction *help = addTool(aboutBar, QStringLiteral("readme"), QStringLiteral("Help"),
                            themed("help-contents", QStyle::SP_DialogHelpButton, this));
    help->setShortcut(QKeySequence::HelpContents);
    addTool(aboutBar, QStringLiteral("exit"), QStringLiteral(" Exit "),
            themed("application-exit", QStyle::SP_DialogCloseButton, this),
            QStringLiteral("Close all documents and exit"));
    addToolBar(Qt::TopToolBarArea, aboutBar);

    addTool(FindBar, QStringLiteral("normal"), QStringLiteral("&Normal"),
            RadioIcons::icon(true, this));
    addTool(FindBar, QStringLiteral("fuzzy"), QStringLiteral("&Fuzzy"),
            RadioIcons::icon(false, this));
    addTool(FindBar, QStringLiteral("large"), QStringLiteral("&Large"),
            RadioIcons::icon(false, this));
    QAction *paragraph =
        addTool(FindBar, QStringLiteral("paragraph"), QStringLiteral("Paragraph"), QIcon());
    paragraph->setVisible(false);
    // The captions' accelerators, as the hidden option buttons cannot take them.
    tool(QStringLiteral("FindBar"), QStringLiteral("normal"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
    tool(QStringLiteral("FindBar"), QStringLiteral("fuzzy"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F));
}

void MainWindow::buildPopupMenus()
{
    FileOptions = new QMenu(QStringLiteral("FileOptions"), this);
    FileOptions->setObjectName(QStringLiteral("FileOptions"));
    const QList<QPair<const char *, const char *>> fileTools = {
        {"properties", "Properties"}, {"viewSource", "View Source"}, {"find", "Find"},
        {"open", "Open File"},        {"rename", "Rename"},          {"deleteFile", "Delete"},
        {"copyPath", "Copy Path"}};
    for (const auto &[key, caption] : fileTools) {
        QAction *action = FileOptions->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(key));
    }
    FolderOptions = new QMenu(QStringLiteral("Folder Options"), this);
    FolderOptions->setObjectName(QStringLiteral("Folder Options"));
    const QList<QPair<const char *, const char *>> folderTools = {{"newFolder", "New Folder"},
                                                                  {"openFolder", "Open"},
                                                                  {"renameFolder", "Rename"},
                                                                  {"deleteFolder", "Delete"}};
    for (const auto &[key, caption] : folderTools) {
        QAction *action = FolderOptions->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(key));
    }
}

QComboBox *MainWindow::newHistoryBox(const char *name)
{
    auto *box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // The history rules decide the list; Enter must not add to it.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(HistoryList::MaxEntries);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QCheckBox *MainWindow::newOption(QCheckBox *&box, const char *name, const QString &caption)
{
    box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QAction *MainWindow::addTool(QToolBar *bar, const QString &key, const QString &caption,
                             const QIcon &icon, const QString &description)
{
    QAction *action = bar->addAction(icon, caption);
    action->setObjectName(key);
    if (!description.isEmpty())
        action->setToolTip(description);
    return action;
}

QAction *MainWindow::tool(const QString &bar, const QString &key) const
{
    const auto *toolbar = findChild<QToolBar *>(bar);
    if (!toolbar)
        return nullptr;
    for (QAction *action : toolbar->actions()) {
        if (action->objectName() == key)
            return action;
    }
    return nullptr;
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
        // The backup location dialog is not there yet; the default location applies.
    });

    connect(Drive2, &QComboBox::activated, this, &MainWindow::Drive2_Change);
    connect(Dir2, &FolderList::pathChanged, this, &MainWindow::Dir2_Change);
    connect(cboFilters, &QComboBox::currentIndexChanged, this, &MainWindow::cboFilters_Click);
    connect(File2, &QListWidget::itemSelectionChanged, this, &MainWindow::CountFiles);
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

void MainWindow::setCheckFromText(QCheckBox *box, const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw Failure(QStringLiteral("Type mismatch"));
    if (value != 0 && value != 1)
        throw Failure(QStringLiteral("Invalid property value"));
    box->setChecked(value == 1);
}

bool MainWindow::Form_Load()
{
    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->tryAcquire()) {
        m_instance.reset();
        dialogs().message(QStringLiteral("Scrivlane is already running."),
                          QStringLiteral("Scrivlane"), MessageButtons::Ok,
                          MessageIcon::Information);
        return false;
    }
    m_loaded = true;

    loadStep([this] { Fill_Combos(); });
    loadStep([this] { placeFuzzyPanel(); });
    loadStep([this] {
        // The help file ships beside the executable, even where the program's own
        // files go to the per-user data folder.
        m_helpFile =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Scrivlane.html"));
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
        loadStep([&] { setCheckFromText(box, read(KeyOptions, name, QStringLiteral("0"))); });
    loadStep([this] { cmdSetBack->setVisible(chkBackup->isChecked()); });
    loadStep([this] {
        const QString last = read(KeyLastDir, QStringLiteral("Dir"));
        if (!last.isEmpty() && QFileInfo(last).isDir())
            setFolder(last);
        else
            setFolder(Paths::applicationFolder());
    });
    loadStep([this] { m_histories->load(); });
    loadStep([this] {
        QStringList filters;
        // More filters may be stored; only the first ten are read back.
        for (int i = 0; i < 10; ++i) {
            const QString filter = read(KeyFilters, QStringLiteral("Filter") + QString::number(i));
            if (!filter.isEmpty())
                filters << filter;
        }
        if (filters.isEmpty())
            filters = {QStringLiteral("*.htm"), QStringLiteral("*.txt"), QStringLiteral("*.ini"),
                       QStringLiteral("*.*")};
        cboFilters->addItems(filters);
        cboFilters->setCurrentIndex(0);
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
        const QString type = read(KeySearchType, QStringLiteral("Type"), QStringLiteral("Normal"));
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
    const bool fuzzy = chkFuzzy->isChecked() && !optLarge->isChecked();
    write(KeySearchType, QStringLiteral("Type"),
          fuzzy ? QStringLiteral("Fuzzy") : QStringLiteral("Normal"));
    write(KeyLastDir, QStringLiteral("Dir"), Dir2->path());
    for (int i = 0; i < cboFilters->count(); ++i)
        write(KeyFilters, QStringLiteral("Filter") + QString::number(i), cboFilters->itemText(i));
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
    // A run under way ends at its next test of the flag.
    m_ctx.state.StopRequested = true;
    Form_Unload();
    event->accept();
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
    SettingsStore::DeleteRegKey(HKEY_CURRENT_USER, KeyFilters);
    for (int i = 0; i < cboFilters->count(); ++i) {
        if (i > 0 && cboFilters->itemText(i) == cboFilters->itemText(i - 1))
            break;
        write(KeyFilters, QStringLiteral("Filter") + QString::number(i), cboFilters->itemText(i));
    }
    cboFilters->setCurrentIndex(0);
}

void MainWindow::parkFocus(QWidget *target)
{
    (target ? target : Picture5)->setFocus();
}

void MainWindow::placeFuzzyPanel()
{
    picFuzzy->setGeometry(m_findBoxes->rect());
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
             Dir2, File2, Drive2, chkMin, picFuzzy, txtFind, txtReplace, Picture3, cmdFilters,
             cboFilters, cmdSetBack, chkSensitive, chkSubs, chkWhole, chkBackup})
        control->setEnabled(false);
    for (const char *key : {"normal", "fuzzy", "large"})
        tool(QStringLiteral("FindBar"), QString::fromLatin1(key))->setEnabled(false);
    Mainbar->update();
}

void MainWindow::Enable_Controls()
{
    m_ctx.state.RunInProgress = false;
    for (QWidget *control : std::initializer_list<QWidget *>{
             Dir2, File2, Drive2, picFuzzy, txtFind, txtReplace, Picture3, cmdFilters, cboFilters,
             cmdSetBack, chkMin, chkSensitive, chkSubs, chkWhole, chkBackup})
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
    const QString value = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (box == chkSubs) {
        parkFocus();
        write(KeyOptions, QStringLiteral("Search subdirectories"), value);
    } else if (box == chkSensitive || box == chkWhole) {
        write(KeyOptions,
              box == chkSensitive ? QStringLiteral("Case Sensitive") : QStringLiteral("Whole Word"),
              value);
        if (QApplication::activeWindow() == this)
            parkFocus();
    } else if (box == chkMin) {
        write(KeyOptions, QStringLiteral("Minimize"), value);
        parkFocus();
    } else if (box == chkBackup) {
        if (m_loading)
            return;
        write(KeyOptions, QStringLiteral("Backup"), value);
        cmdSetBack->setVisible(box->isChecked());
        parkFocus();
    }
}

void MainWindow::Mainbar_ButtonClick(const QString &key)
{
    if (!m_runningTool.isEmpty()) {
        // A run is under way: only its own tool, now captioned "Stop", reacts,
        // and only by asking that run to stop. No run ever starts inside another.
        if (key != m_runningTool || toolCaption(key) != Stop)
            return;
        if (key == u"find") {
            cmdFind_Click(m_ctx);
        } else {
            setToolCaption(key, idleCaption(key));
            m_ctx.state.StopRequested = true;
        }
        return;
    }
    if (key != u"find" && key != u"replace" && key != u"undo")
        return;
    setStatusText(1, Idle);
    parkFocus();
    Disable_Controls();
    m_runningTool = key;
    if (key != u"find") {
        setToolCaption(key, Stop);
        m_ctx.state.StopRequested = false;
    }
    runTrapped(key);
    setToolCaption(key, idleCaption(key));
    m_runningTool.clear();
    Enable_Controls();
}

void MainWindow::runTrapped(const QString &key)
{
    QString sentence;
    QString source;
    try {
        if (key == u"find") {
            cmdFind_Click(m_ctx);
        } else if (key == u"replace") {
            cmdReplace_Click(m_ctx);
        } else {
            cmdUndo_Click(m_ctx);
        }
        return;
    } catch (const Failure &failure) {
        source = failure.description();
    } catch (const std::exception &error) {
        source = QString::fromLocal8Bit(error.what());
    }
    if (key == u"find")
        sentence = QStringLiteral("An error occurred while trying to search.");
    else if (key == u"replace")
        sentence = QStringLiteral("An error occurred while trying to replace.");
    else
        sentence = QStringLiteral("An error occurred while trying to undo the operation.");
    const QString procedure = key == u"find"      ? QStringLiteral("cmdFind_Click-frmFind.frm")
                              : key == u"replace" ? QStringLiteral("cmdReplace_Click-frmFind.frm")
                                                  : QStringLiteral("cmdUndo_Click-frmFind.frm");
    ErrorLog::reportFailure(dialogs(), ErrorLog::exactErrorMessage(sentence, source),
                            QStringLiteral(" Error"), procedure, source);
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
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile));
    }
}

void MainWindow::showAbout()
{
    dialogs().message(QStringLiteral("Scrivlane\n\nFind and replace text in many files at once."),
                      QStringLiteral(" About Scrivlane"), MessageButtons::Ok,
                      MessageIcon::Information);
}

void MainWindow::viewSelectedFiles()
{
    ViewerWindow &viewer = *m_viewer;
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

bool MainWindow::isInTextField() const
{
    const QWidget *focus = QApplication::focusWidget();
    if (!focus)
        focus = focusWidget();
    for (const QComboBox *box : {txtFind, txtReplace, cboFirst, cboSecond, cboFuzzyReplace}) {
        if (focus && (focus == box || focus == box->lineEdit()))
            return true;
    }
    return false;
}

bool MainWindow::keyDown(QObject *watched, QKeyEvent *event)
{
    // Shortcuts act when the key is released; remember the modifiers it was
    // pressed with, since Ctrl or Alt is often let go before the letter.
    if (!event->isAutoRepeat())
        m_pressModifiers.insert(event->key(), event->modifiers());
    if (event->key() == Qt::Key_F2) {
        showAbout();
        return true;
    }
    const QWidget *focus = QApplication::focusWidget();
    const bool inLists = watched == Dir2 || watched == File2 || watched == Dir2->viewport() ||
                         watched == File2->viewport() ||
                         (focus && (focus == Dir2 || focus == File2));
    if (inLists) {
        // The lists are driven with the pointer only.
        Picture2->setFocus();
        return true;
    }
    return false;
}

bool MainWindow::keyUp(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return false;
    // A key released during a run must not cancel a Stop click.
    if (!m_ctx.state.RunInProgress)
        m_ctx.state.StopRequested = false;
    const Qt::KeyboardModifiers pressed = m_pressModifiers.contains(event->key())
                                              ? m_pressModifiers.take(event->key())
                                              : event->modifiers();
    const Qt::KeyboardModifiers mods = pressed & (Qt::ControlModifier | Qt::AltModifier |
                                                  Qt::ShiftModifier | Qt::MetaModifier);
    const bool idle = !m_ctx.state.RunInProgress;
    if (mods == Qt::AltModifier && event->key() == Qt::Key_L) {
        if (idle)
            showLargeSearch(false);
        return true;
    }
    if (mods != Qt::ControlModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_A:
        if (idle)
            Select_AllFiles();
        return true;
    case Qt::Key_F:
        Mainbar_ButtonClick(QStringLiteral("find"));
        return true;
    case Qt::Key_N:
        if (idle)
            Select_NoFiles();
        return true;
    case Qt::Key_R:
        Mainbar_ButtonClick(QStringLiteral("replace"));
        return true;
    case Qt::Key_Q:
        m_ctx.state.StopRequested = true;
        Exit_Program();
        return true;
    case Qt::Key_V:
        if (isInTextField())
            return false;
        if (idle)
            viewSelectedFiles();
        return true;
    case Qt::Key_Z:
        if (isInTextField())
            return false;
        Mainbar_ButtonClick(QStringLiteral("undo"));
        return true;
    default:
        return false;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        return event->type() == QEvent::KeyPress ? keyDown(watched, key) : keyUp(key);
    }
    case QEvent::Resize:
        if (watched == m_findBoxes)
            placeFuzzyPanel();
        return false;
    case QEvent::MouseButtonPress:
        if (watched == File2->viewport()) {
            updateFileOptions();
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
                FileOptions->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
                return true;
            }
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (watched == Label4) {
            Select_NoFiles();
            return false;
        }
        if (watched == Dir2->viewport() &&
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

void MainWindow::Select_AllFiles()
{
    File2->selectAll();
    CountFiles();
}

void MainWindow::Select_NoFiles()
{
    File2->clearSelection();
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
    File2->setFolder(Dir2->path());
    CountFiles();
    write(KeyLastDir, QStringLiteral("Dir"), Dir2->path());
}

void MainWindow::cboFilters_Click()
{
    if (cboFilters->currentIndex() < 0)
        return;
    File2->setPattern(cboFilters->currentText());
    CountFiles();
    update();
    parkFocus();
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
    return cboFilters->currentText();
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
