#include "MainForm.h"

#include "PathField.h"
#include "RadioIcons.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/HistoryBox.h"
#include "ui/HistoryList.h"
#include "ui/UiImages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString Idle = QStringLiteral("Scrivlane");

QIcon themed(const char *name, QStyle::StandardPixmap fallback, const QWidget *widget)
{
    return QIcon::fromTheme(QString::fromLatin1(name), widget->style()->standardIcon(fallback));
}

// The arrows and "..." come and go under the pointer: their room stays, so the
// boxes beside them never move and the window never widens when they appear.
void keepRoomWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A tool bar squeezed below its width hides its last tools behind an arrow:
// the layouts and the window's smallest width leave it all its tools instead.
void keepEveryTool(QToolBar *bar)
{
    bar->setSizePolicy(QSizePolicy::Minimum, bar->sizePolicy().verticalPolicy());
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

void MainForm::setupUi(QMainWindow *window)
{
    m_window = window;
    window->setWindowIcon(UiImages::applicationIcon());
    buildControls();
    buildToolbars();
    buildPopupMenus();
}

void MainForm::buildControls()
{
    auto *central = new QWidget(m_window);
    // The options stand beside both the find area and the filter and type row:
    // the top half is no taller than they are, so the window fits small screens.
    auto *top = new QGridLayout;
    top->addWidget(buildFindArea(), 0, 0);
    top->addWidget(buildOptions(), 0, 1, 2, 1);
    auto *filterAndType = new QHBoxLayout;

    auto *filterGroup = new QGroupBox(QStringLiteral("File Filters:"));
    filterGroup->setObjectName(QStringLiteral("filtersGroup"));
    filterBox = new QComboBox;
    filterBox->setObjectName(QStringLiteral("filterBox"));
    filterBox->setMinimumContentsLength(14);
    filterManagerButton = new QPushButton(QStringLiteral("..."));
    filterManagerButton->setObjectName(QStringLiteral("filterManagerButton"));
    filterManagerButton->setFixedWidth(32);
    auto *filterRow = new QHBoxLayout(filterGroup);
    filterRow->addWidget(filterBox, 1);
    filterRow->addWidget(filterManagerButton);
    filterAndType->addWidget(filterGroup, 1);

    auto *typeGroup = new QGroupBox(QStringLiteral("Type of Search:"));
    typeGroup->setObjectName(QStringLiteral("typeGroup"));
    searchTypeBar = new QToolBar(QStringLiteral("Band1"));
    searchTypeBar->setObjectName(QStringLiteral("searchTypeBar"));
    searchTypeBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    searchTypeBar->setIconSize(QSize(16, 16));
    keepEveryTool(searchTypeBar);
    normalOption = new QRadioButton(QStringLiteral("&Normal"));
    normalOption->setObjectName(QStringLiteral("normalOption"));
    fuzzyOption = new QRadioButton(QStringLiteral("&Fuzzy"));
    fuzzyOption->setObjectName(QStringLiteral("fuzzyOption"));
    largeOption = new QRadioButton(QStringLiteral("&Large"));
    largeOption->setObjectName(QStringLiteral("largeOption"));
    // The fuzzy search is a pattern of its own.
    QObject::connect(fuzzyOption, &QRadioButton::toggled, regexBox,
                     [this](bool fuzzy) { regexBox->setEnabled(!fuzzy); });
    // The type tools show the type; the option buttons only hold it.
    normalOption->setChecked(true);
    normalOption->hide();
    fuzzyOption->hide();
    largeOption->hide();
    auto *typeRow = new QHBoxLayout(typeGroup);
    typeRow->addWidget(searchTypeBar);
    typeRow->addWidget(normalOption);
    typeRow->addWidget(fuzzyOption);
    typeRow->addWidget(largeOption);
    filterAndType->addWidget(typeGroup);
    top->addLayout(filterAndType, 1, 0);
    top->setColumnStretch(0, 1);

    auto *main = new QVBoxLayout(central);
    main->addLayout(top);
    main->addWidget(buildFileSelection(), 1);
    m_window->setCentralWidget(central);

    mainStatusBar = new QStatusBar;
    mainStatusBar->setObjectName(QStringLiteral("mainStatusBar"));
    auto *image = new QLabel;
    image->setPixmap(m_window->windowIcon().pixmap(16, 16));
    statusStatePanel = new QLabel(Idle);
    statusStatePanel->setObjectName(QStringLiteral("statusStatePanel"));
    statusStatePanel->setMinimumWidth(110);
    statusDetailPanel = new QLabel;
    statusDetailPanel->setObjectName(QStringLiteral("statusDetailPanel"));
    statusDetailPanel->setMinimumWidth(10);
    // A run shows every file's path here: plain text, so that a name with markup
    // in it is shown as it is, and no label guesses at rich text for each file.
    for (QLabel *panel : {statusStatePanel, statusDetailPanel}) panel->setTextFormat(Qt::PlainText);
    focusPark = new QWidget;
    focusPark->setObjectName(QStringLiteral("focusPark"));
    spareFocusPark = new QWidget;
    spareFocusPark->setObjectName(QStringLiteral("spareFocusPark"));
    for (QWidget *park : {focusPark, spareFocusPark}) {
        park->setFocusPolicy(Qt::StrongFocus);
        park->setFixedSize(1, 1);
    }
    startTimeLabel = new QLabel;
    startTimeLabel->setObjectName(QStringLiteral("startTimeLabel"));
    startTimeLabel->hide();
    mainStatusBar->addWidget(image);
    mainStatusBar->addWidget(statusStatePanel);
    mainStatusBar->addWidget(statusDetailPanel, 1);
    mainStatusBar->addPermanentWidget(focusPark);
    mainStatusBar->addPermanentWidget(spareFocusPark);
    mainStatusBar->addPermanentWidget(startTimeLabel);
    m_window->setStatusBar(mainStatusBar);

    checkedRadioPicture = new QLabel(m_window);
    checkedRadioPicture->setObjectName(QStringLiteral("checkedRadioPicture"));
    checkedRadioPicture->setPixmap(RadioIcons::pixmap(true, m_window));
    checkedRadioPicture->hide();
    uncheckedRadioPicture = new QLabel(m_window);
    uncheckedRadioPicture->setObjectName(QStringLiteral("uncheckedRadioPicture"));
    uncheckedRadioPicture->setPixmap(RadioIcons::pixmap(false, m_window));
    uncheckedRadioPicture->hide();
}

QWidget *MainForm::buildFindArea()
{
    auto *area = new QWidget;
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);

    findBoxesFrame = new QWidget;
    findBoxesFrame->setObjectName(QStringLiteral("findBoxesFrame"));
    findBox = newHistoryBox("findBox");
    replaceBox = newHistoryBox("replaceBox");
    findLabel = newLabel("findLabel", QStringLiteral("Find:"), findBox);
    replaceLabel = newLabel("replaceLabel", QStringLiteral("Replace with:"), replaceBox);
    pasteFindBar = new QToolBar(QStringLiteral("Band1"));
    pasteFindBar->setObjectName(QStringLiteral("pasteFindBar"));
    pasteReplaceBar = new QToolBar(QStringLiteral("Band1"));
    pasteReplaceBar->setObjectName(QStringLiteral("pasteReplaceBar"));
    const QIcon paste = themed("edit-paste", QStyle::SP_FileDialogDetailedView, m_window);
    for (QToolBar *bar : {pasteFindBar, pasteReplaceBar}) {
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        keepEveryTool(bar);
        addTool(bar, QStringLiteral("pasteFind"), QStringLiteral(" Paste"), paste);
    }
    auto *grid = new QGridLayout(findBoxesFrame);
    grid->setContentsMargins(9, 9, 9, 9);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findBox, 0, 1);
    grid->addWidget(pasteFindBar, 0, 2);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replaceBox, 1, 1);
    grid->addWidget(pasteReplaceBar, 1, 2);
    grid->setColumnStretch(1, 1);

    // The fuzzy panel lies over the normal boxes and hides them while shown.
    fuzzyPanel = new QWidget(findBoxesFrame);
    fuzzyPanel->setObjectName(QStringLiteral("fuzzyPanel"));
    fuzzyPanel->setAutoFillBackground(true);
    firstPartBox = newHistoryBox("firstPartBox");
    secondPartBox = newHistoryBox("secondPartBox");
    fuzzyReplaceBox = newHistoryBox("fuzzyReplaceBox");
    firstPartLabel = newLabel("firstPartLabel", QStringLiteral("First part:"), firstPartBox);
    secondPartLabel = newLabel("secondPartLabel", QStringLiteral("Second part:"), secondPartBox);
    fuzzyReplaceLabel =
        newLabel("fuzzyReplaceLabel", QStringLiteral("Replace with:"), fuzzyReplaceBox);
    auto *fuzzyGrid = new QGridLayout(fuzzyPanel);
    fuzzyGrid->setContentsMargins(9, 2, 9, 2);
    fuzzyGrid->setVerticalSpacing(2);
    fuzzyGrid->addWidget(firstPartLabel, 0, 0);
    fuzzyGrid->addWidget(firstPartBox, 0, 1);
    fuzzyGrid->addWidget(secondPartLabel, 1, 0);
    fuzzyGrid->addWidget(secondPartBox, 1, 1);
    fuzzyGrid->addWidget(fuzzyReplaceLabel, 2, 0);
    fuzzyGrid->addWidget(fuzzyReplaceBox, 2, 1);
    fuzzyGrid->setColumnStretch(1, 1);
    fuzzyPanel->hide();
    // The panel covers the normal boxes: they keep the room its three rows need.
    findBoxesFrame->setMinimumHeight(fuzzyPanel->minimumSizeHint().height());

    auto *frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("searchGroup"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(findBoxesFrame);
    column->addWidget(frame);
    return area;
}

QGroupBox *MainForm::buildOptions()
{
    optionsGroup = new QGroupBox(QStringLiteral("Options:"));
    optionsGroup->setObjectName(QStringLiteral("optionsGroup"));
    auto *grid = new QGridLayout(optionsGroup);
    grid->setVerticalSpacing(2);
    // Nine options: little room above and below them, so that the window still
    // fits a 1080-line screen at 200 %.
    const QMargins margins = grid->contentsMargins();
    grid->setContentsMargins(margins.left(), 2, margins.right(), 2);
    // The highlight frame lies under its box and fills the box's cell; the box
    // above it takes every click.
    auto indicator = [](QToolButton *&button, const char *name) {
        button = new QToolButton;
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setChecked(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAttribute(Qt::WA_TransparentForMouseEvents);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        button->hide();
        return button;
    };
    const QList<QPair<QCheckBox *, QToolButton *>> rows = {
        {newOption(subfoldersBox, "subfoldersBox", QStringLiteral(" &Search subdirectories")),
         indicator(subfoldersHighlight, "subfoldersHighlight")},
        {newOption(caseSensitiveBox, "caseSensitiveBox", QStringLiteral(" &Case sensitive search")),
         indicator(caseHighlight, "caseHighlight")},
        {newOption(wholeWordBox, "wholeWordBox", QStringLiteral(" &Whole word only")),
         indicator(wholeWordHighlight, "wholeWordHighlight")},
        {newOption(backupBox, "backupBox", QStringLiteral(" Create &Backup")),
         indicator(backupHighlight, "backupHighlight")},
        {newOption(minimizeBox, "minimizeBox", QStringLiteral(" Minimi&ze while replacing")),
         indicator(minimizeHighlight, "minimizeHighlight")},
        {newOption(skipIgnoredBox, "skipIgnoredBox", QStringLiteral(" Skip &ignored files")),
         indicator(skipIgnoredHighlight, "skipIgnoredHighlight")},
        {newOption(regexBox, "regexBox", QStringLiteral(" &Regular expression")),
         indicator(regexHighlight, "regexHighlight")},
        {newOption(includeHiddenBox, "includeHiddenBox", QStringLiteral(" Include &hidden files")),
         indicator(includeHiddenHighlight, "includeHiddenHighlight")},
        {newOption(keepCaseBox, "keepCaseBox", QStringLiteral(" &Keep case")),
         indicator(keepCaseHighlight, "keepCaseHighlight")},
    };
    backupFolderButton = new QPushButton(QStringLiteral("..."));
    backupFolderButton->setObjectName(QStringLiteral("backupFolderButton"));
    backupFolderButton->setFixedWidth(32);
    keepRoomWhenHidden(backupFolderButton);
    backupFolderButton->hide();
    // optionArrows's indices by box: minimizeBox 0, caseSensitiveBox 1, subfoldersBox 2,
    // wholeWordBox 3, backupBox 4, skipIgnoredBox 5, regexBox 6, includeHiddenBox 7,
    // keepCaseBox 8.
    const int arrowIndex[] = {2, 1, 3, 4, 0, 5, 6, 7, 8};
    optionArrows = QList<QLabel *>(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        auto *arrow = new QLabel;
        arrow->setObjectName(QStringLiteral("optionArrow"));
        arrow->setProperty("Index", arrowIndex[i]);
        arrow->setPixmap(UiImages::arrow());
        keepRoomWhenHidden(arrow);
        arrow->hide();
        optionArrows[arrowIndex[i]] = arrow;
        grid->addWidget(arrow, i, 0);
        grid->addWidget(rows[i].second, i, 1);
        grid->addWidget(rows[i].first, i, 1);
        rows[i].first->raise();
    }
    grid->addWidget(backupFolderButton, 3, 2);
    grid->setColumnStretch(1, 1);
    return optionsGroup;
}

QWidget *MainForm::buildFileSelection()
{
    auto *area = new QGroupBox;
    area->setObjectName(QStringLiteral("filesGroup"));
    driveList = new DriveList;
    driveList->setObjectName(QStringLiteral("driveList"));
    folderList = new FolderList;
    folderList->setObjectName(QStringLiteral("folderList"));
    pathField = new PathField;
    pathField->setObjectName(QStringLiteral("pathField"));
    fileList = new FileList;
    fileList->setObjectName(QStringLiteral("fileList"));
    drivesLabel = newLabel("drivesLabel", QStringLiteral("Drives:"), driveList);
    foldersLabel = newLabel("foldersLabel", QStringLiteral("Directories:"), folderList);
    filesLabel = newLabel("filesLabel", QStringLiteral("Files to edit:"), fileList);
    fileCountLabel = newLabel("fileCountLabel", QStringLiteral("9999 of 9999"));

    fileBarHolder = new QWidget;
    fileBarHolder->setObjectName(QStringLiteral("fileBarHolder"));
    fileSelectionBar = new QToolBar(QStringLiteral("Main"));
    fileSelectionBar->setObjectName(QStringLiteral("fileSelectionBar"));
    fileSelectionBar->setIconSize(QSize(16, 16));
    fileSelectionBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    keepEveryTool(fileSelectionBar);
    addTool(fileSelectionBar, QStringLiteral("all"), QStringLiteral("Select All Files"),
            themed("edit-select-all", QStyle::SP_DialogApplyButton, m_window));
    addTool(fileSelectionBar, QStringLiteral("none"), QStringLiteral("Select None"),
            themed("edit-clear", QStyle::SP_DialogResetButton, m_window));
    auto *barRow = new QHBoxLayout(fileBarHolder);
    barRow->setContentsMargins(0, 0, 0, 0);
    barRow->addWidget(fileSelectionBar);

    auto *grid = new QGridLayout(area);
    grid->addWidget(drivesLabel, 0, 0);
    grid->addWidget(driveList, 1, 0);
    grid->addWidget(foldersLabel, 2, 0);
    grid->addWidget(pathField, 3, 0);
    grid->addWidget(folderList, 4, 0, 2, 1);
    grid->addWidget(filesLabel, 0, 1);
    grid->addWidget(fileList, 1, 1, 4, 1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(fileCountLabel);
    countRow->addStretch(1);
    countRow->addWidget(fileBarHolder);
    grid->addLayout(countRow, 5, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setVerticalSpacing(3);
    // Small enough for a 1366x768 screen and for 200% on 1920x1080; the lists
    // take whatever room the window has beyond that.
    folderList->setMinimumSize(160, 64);
    fileList->setMinimumSize(200, 64);
    return area;
}

void MainForm::buildToolbars()
{
    runBar = new QToolBar(QStringLiteral("Band1"), m_window);
    runBar->setObjectName(QStringLiteral("runBar"));
    runBar->setMovable(false);
    runBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(runBar, QStringLiteral("find"), QStringLiteral("Find"),
            themed("edit-find", QStyle::SP_FileDialogContentsView, m_window),
            QStringLiteral("Find a text string"));
    addTool(runBar, QStringLiteral("replace"), QStringLiteral("Replace"),
            themed("edit-find-replace", QStyle::SP_BrowserReload, m_window),
            QStringLiteral("Replace a text string with another"));
    addTool(runBar, QStringLiteral("preview"), QStringLiteral("Preview"),
            themed("document-print-preview", QStyle::SP_FileDialogDetailedView, m_window),
            QStringLiteral("See every replacement before it is written"));
    addTool(runBar, QStringLiteral("undo"), QStringLiteral("Undo"),
            themed("edit-undo", QStyle::SP_ArrowBack, m_window),
            QStringLiteral("Undo last action"));
    addTool(runBar, QStringLiteral("restore"), QStringLiteral("Restore"),
            themed("document-revert", QStyle::SP_DialogResetButton, m_window),
            QStringLiteral("Put the files of the last Replace back from their backups"));
    // Each run tool keeps room for "Stop", so the bar does not jump when a run starts.
    for (QAction *run : runBar->actions()) {
        QWidget *button = runBar->widgetForAction(run);
        const QFontMetrics metrics = button->fontMetrics();
        const int padding = button->sizeHint().width() - metrics.horizontalAdvance(run->text());
        button->setFixedWidth(qMax(button->sizeHint().width(),
                                   metrics.horizontalAdvance(QStringLiteral("Stop")) + padding));
    }
    m_window->addToolBar(Qt::TopToolBarArea, runBar);
    keepEveryTool(runBar);

    helpBar = new QToolBar(QStringLiteral("Band1"), m_window);
    helpBar->setObjectName(QStringLiteral("helpBar"));
    helpBar->setMovable(false);
    helpBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(helpBar, QStringLiteral("about"), QStringLiteral("About"),
            themed("help-about", QStyle::SP_MessageBoxInformation, m_window),
            QStringLiteral("About this application"));
    QAction *help = addTool(helpBar, QStringLiteral("readme"), QStringLiteral("Help"),
                            themed("help-contents", QStyle::SP_DialogHelpButton, m_window));
    help->setShortcut(QKeySequence::HelpContents);
    addTool(helpBar, QStringLiteral("exit"), QStringLiteral(" Exit "),
            themed("application-exit", QStyle::SP_DialogCloseButton, m_window),
            QStringLiteral("Close all documents and exit"));
    m_window->addToolBar(Qt::TopToolBarArea, helpBar);
    keepEveryTool(helpBar);

    addTool(searchTypeBar, QStringLiteral("normal"), QStringLiteral("&Normal"),
            RadioIcons::icon(true, m_window));
    addTool(searchTypeBar, QStringLiteral("fuzzy"), QStringLiteral("&Fuzzy"),
            RadioIcons::icon(false, m_window));
    // Large is no state the type can be in: it opens the large search dialog.
    addTool(searchTypeBar, QStringLiteral("large"), QStringLiteral("&Large..."), QIcon())
        ->setIconText(QStringLiteral("Large..."));  // a tool button drops "..." otherwise
    QAction *paragraph =
        addTool(searchTypeBar, QStringLiteral("paragraph"), QStringLiteral("Paragraph"), QIcon());
    paragraph->setVisible(false);
    // The captions' accelerators, as the hidden option buttons cannot take them.
    tool(QStringLiteral("searchTypeBar"), QStringLiteral("normal"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
    tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F));
}

void MainForm::buildPopupMenus()
{
    fileMenu = new QMenu(QStringLiteral("FileOptions"), m_window);
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    const QList<QPair<const char *, const char *>> fileTools = {
        {"properties", "Properties"}, {"viewSource", "View Source"}, {"find", "Find"},
        {"open", "Open File"},        {"rename", "Rename"},          {"deleteFile", "Delete"},
        {"copyPath", "Copy Path"}};
    for (const auto &[key, caption] : fileTools) {
        QAction *action = fileMenu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(key));
    }
    // Shown beside the tools; the window's own key handling does the work, so
    // the menu's keys act only while the menu itself is open.
    for (QAction *action : fileMenu->actions()) {
        if (action->objectName() == u"viewSource")
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
        else if (action->objectName() == u"find")
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    folderMenu = new QMenu(QStringLiteral("Folder Options"), m_window);
    folderMenu->setObjectName(QStringLiteral("Folder Options"));
    const QList<QPair<const char *, const char *>> folderTools = {{"newFolder", "New Folder"},
                                                                  {"openFolder", "Open"},
                                                                  {"renameFolder", "Rename"},
                                                                  {"deleteFolder", "Delete"}};
    for (const auto &[key, caption] : folderTools) {
        QAction *action = folderMenu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(key));
    }
}

QComboBox *MainForm::newHistoryBox(const char *name)
{
    auto *box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    HistoryBox::setUp(box);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QCheckBox *MainForm::newOption(QCheckBox *&box, const char *name, const QString &caption)
{
    box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QAction *MainForm::addTool(QToolBar *bar, const QString &key, const QString &caption,
                           const QIcon &icon, const QString &description)
{
    QAction *action = bar->addAction(icon, caption);
    action->setObjectName(key);
    if (!description.isEmpty())
        action->setToolTip(description);
    return action;
}

QAction *MainForm::tool(const QString &bar, const QString &key) const
{
    const auto *toolbar = m_window ? m_window->findChild<QToolBar *>(bar) : nullptr;
    if (!toolbar)
        return nullptr;
    for (QAction *action : toolbar->actions()) {
        if (action->objectName() == key)
            return action;
    }
    return nullptr;
}
