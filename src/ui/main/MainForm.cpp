#include "MainForm.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "HistoryList.h"
#include "PathField.h"
#include "RadioIcons.h"
#include "ui/HistoryBox.h"
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
    filterAndType->addWidget(filterGroup, 1);

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
    filterAndType->addWidget(typeGroup);
    top->addLayout(filterAndType, 1, 0);
    top->setColumnStretch(0, 1);

    auto *main = new QVBoxLayout(central);
    main->addLayout(top);
    main->addWidget(buildFileSelection(), 1);
    m_window->setCentralWidget(central);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    auto *image = new QLabel;
    image->setPixmap(m_window->windowIcon().pixmap(16, 16));
    StatusBar1Panel1 = new QLabel(Idle);
    StatusBar1Panel1->setObjectName(QStringLiteral("StatusBar1Panel1"));
    StatusBar1Panel1->setMinimumWidth(110);
    StatusBar1Panel2 = new QLabel;
    StatusBar1Panel2->setObjectName(QStringLiteral("StatusBar1Panel2"));
    StatusBar1Panel2->setMinimumWidth(10);
    // A run shows every file's path here: plain text, so that a name with markup
    // in it is shown as it is, and no label guesses at rich text for each file.
    for (QLabel *panel : {StatusBar1Panel1, StatusBar1Panel2}) panel->setTextFormat(Qt::PlainText);
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
    m_window->setStatusBar(StatusBar1);

    picOption = new QLabel(m_window);
    picOption->setObjectName(QStringLiteral("picOption"));
    picOption->setPixmap(RadioIcons::pixmap(true, m_window));
    picOption->hide();
    picOption1 = new QLabel(m_window);
    picOption1->setObjectName(QStringLiteral("picOption1"));
    picOption1->setPixmap(RadioIcons::pixmap(false, m_window));
    picOption1->hide();
}

QWidget *MainForm::buildFindArea()
{
    auto *area = new QWidget;
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);

    fraFind = new QWidget;
    fraFind->setObjectName(QStringLiteral("fraFind"));
    txtFind = newHistoryBox("txtFind");
    txtReplace = newHistoryBox("txtReplace");
    Label5 = newLabel("Label5", QStringLiteral("Find:"), txtFind);
    Label6 = newLabel("Label6", QStringLiteral("Replace with:"), txtReplace);
    PasteBar1 = new QToolBar(QStringLiteral("Band1"));
    PasteBar1->setObjectName(QStringLiteral("PasteBar1"));
    PasteBar2 = new QToolBar(QStringLiteral("Band1"));
    PasteBar2->setObjectName(QStringLiteral("PasteBar2"));
    const QIcon paste = themed("edit-paste", QStyle::SP_FileDialogDetailedView, m_window);
    for (QToolBar *bar : {PasteBar1, PasteBar2}) {
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        addTool(bar, QStringLiteral("pasteFind"), QStringLiteral(" Paste"), paste);
    }
    auto *grid = new QGridLayout(fraFind);
    grid->setContentsMargins(9, 9, 9, 9);
    grid->addWidget(Label5, 0, 0);
    grid->addWidget(txtFind, 0, 1);
    grid->addWidget(PasteBar1, 0, 2);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(txtReplace, 1, 1);
    grid->addWidget(PasteBar2, 1, 2);
    grid->setColumnStretch(1, 1);

    // The fuzzy panel lies over the normal boxes and hides them while shown.
    picFuzzy = new QWidget(fraFind);
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
    // The panel covers the normal boxes: they keep the room its three rows need.
    fraFind->setMinimumHeight(picFuzzy->minimumSizeHint().height());

    auto *frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("fraSearch"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(fraFind);
    column->addWidget(frame);
    return area;
}

QGroupBox *MainForm::buildOptions()
{
    fraOptions = new QGroupBox(QStringLiteral("Options:"));
    fraOptions->setObjectName(QStringLiteral("fraOptions"));
    auto *grid = new QGridLayout(fraOptions);
    grid->setVerticalSpacing(2);
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
    keepRoomWhenHidden(cmdSetBack);
    cmdSetBack->hide();
    // imgArrow1's indices by box: chkMin 0, chkSensitive 1, chkSubs 2, chkWhole 3, chkBackup 4.
    const int arrowIndex[] = {2, 1, 3, 4, 0};
    imgArrow1 = QList<QLabel *>(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        auto *arrow = new QLabel;
        arrow->setObjectName(QStringLiteral("imgArrow1"));
        arrow->setProperty("Index", arrowIndex[i]);
        arrow->setPixmap(UiImages::arrow());
        keepRoomWhenHidden(arrow);
        arrow->hide();
        imgArrow1[arrowIndex[i]] = arrow;
        grid->addWidget(arrow, i, 0);
        grid->addWidget(rows[i].second, i, 1);
        grid->addWidget(rows[i].first, i, 1);
        rows[i].first->raise();
    }
    grid->addWidget(cmdSetBack, 3, 2);
    grid->setColumnStretch(1, 1);
    return fraOptions;
}

QWidget *MainForm::buildFileSelection()
{
    auto *area = new QGroupBox;
    area->setObjectName(QStringLiteral("fraFiles"));
    Drive2 = new DriveList;
    Drive2->setObjectName(QStringLiteral("Drive2"));
    Dir2 = new FolderList;
    Dir2->setObjectName(QStringLiteral("Dir2"));
    pathField = new PathField;
    pathField->setObjectName(QStringLiteral("pathField"));
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
            themed("edit-select-all", QStyle::SP_DialogApplyButton, m_window));
    addTool(FileBar, QStringLiteral("none"), QStringLiteral("Select None"),
            themed("edit-clear", QStyle::SP_DialogResetButton, m_window));
    auto *barRow = new QHBoxLayout(Picture3);
    barRow->setContentsMargins(0, 0, 0, 0);
    barRow->addWidget(FileBar);

    auto *grid = new QGridLayout(area);
    grid->addWidget(Label9, 0, 0);
    grid->addWidget(Drive2, 1, 0);
    grid->addWidget(Label10, 2, 0);
    grid->addWidget(pathField, 3, 0);
    grid->addWidget(Dir2, 4, 0, 2, 1);
    grid->addWidget(Label11, 0, 1);
    grid->addWidget(File2, 1, 1, 4, 1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(Label3);
    countRow->addStretch(1);
    countRow->addWidget(Picture3);
    grid->addLayout(countRow, 5, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setVerticalSpacing(3);
    // Small enough for a 1366x768 screen and for 200% on 1920x1080; the lists
    // take whatever room the window has beyond that.
    Dir2->setMinimumSize(160, 64);
    File2->setMinimumSize(200, 64);
    return area;
}

void MainForm::buildToolbars()
{
    Mainbar = new QToolBar(QStringLiteral("Band1"), m_window);
    Mainbar->setObjectName(QStringLiteral("Mainbar"));
    Mainbar->setMovable(false);
    Mainbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(Mainbar, QStringLiteral("find"), QStringLiteral("Find"),
            themed("edit-find", QStyle::SP_FileDialogContentsView, m_window),
            QStringLiteral("Find a text string"));
    addTool(Mainbar, QStringLiteral("replace"), QStringLiteral("Replace"),
            themed("edit-find-replace", QStyle::SP_BrowserReload, m_window),
            QStringLiteral("Replace a text string with another"));
    addTool(Mainbar, QStringLiteral("undo"), QStringLiteral("Undo"),
            themed("edit-undo", QStyle::SP_ArrowBack, m_window),
            QStringLiteral("Undo last action"));
    // Each run tool keeps room for "Stop", so the bar does not jump when a run starts.
    for (QAction *run : Mainbar->actions()) {
        QWidget *button = Mainbar->widgetForAction(run);
        const QFontMetrics metrics = button->fontMetrics();
        const int padding = button->sizeHint().width() - metrics.horizontalAdvance(run->text());
        button->setFixedWidth(qMax(button->sizeHint().width(),
                                   metrics.horizontalAdvance(QStringLiteral("Stop")) + padding));
    }
    m_window->addToolBar(Qt::TopToolBarArea, Mainbar);

    aboutBar = new QToolBar(QStringLiteral("Band1"), m_window);
    aboutBar->setObjectName(QStringLiteral("aboutBar"));
    aboutBar->setMovable(false);
    aboutBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addTool(aboutBar, QStringLiteral("about"), QStringLiteral("About"),
            themed("help-about", QStyle::SP_MessageBoxInformation, m_window),
            QStringLiteral("About this application"));
    QAction *help = addTool(aboutBar, QStringLiteral("readme"), QStringLiteral("Help"),
                            themed("help-contents", QStyle::SP_DialogHelpButton, m_window));
    help->setShortcut(QKeySequence::HelpContents);
    addTool(aboutBar, QStringLiteral("exit"), QStringLiteral(" Exit "),
            themed("application-exit", QStyle::SP_DialogCloseButton, m_window),
            QStringLiteral("Close all documents and exit"));
    m_window->addToolBar(Qt::TopToolBarArea, aboutBar);

    addTool(FindBar, QStringLiteral("normal"), QStringLiteral("&Normal"),
            RadioIcons::icon(true, m_window));
    addTool(FindBar, QStringLiteral("fuzzy"), QStringLiteral("&Fuzzy"),
            RadioIcons::icon(false, m_window));
    // Large is no state the type can be in: it opens the large search dialog.
    addTool(FindBar, QStringLiteral("large"), QStringLiteral("&Large..."), QIcon())
        ->setIconText(QStringLiteral("Large..."));  // a tool button drops "..." otherwise
    QAction *paragraph =
        addTool(FindBar, QStringLiteral("paragraph"), QStringLiteral("Paragraph"), QIcon());
    paragraph->setVisible(false);
    // The captions' accelerators, as the hidden option buttons cannot take them.
    tool(QStringLiteral("FindBar"), QStringLiteral("normal"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
    tool(QStringLiteral("FindBar"), QStringLiteral("fuzzy"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F));
}

void MainForm::buildPopupMenus()
{
    FileOptions = new QMenu(QStringLiteral("FileOptions"), m_window);
    FileOptions->setObjectName(QStringLiteral("FileOptions"));
    const QList<QPair<const char *, const char *>> fileTools = {
        {"properties", "Properties"}, {"viewSource", "View Source"}, {"find", "Find"},
        {"open", "Open File"},        {"rename", "Rename"},          {"deleteFile", "Delete"},
        {"copyPath", "Copy Path"}};
    for (const auto &[key, caption] : fileTools) {
        QAction *action = FileOptions->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(key));
    }
    // Shown beside the tools; the window's own key handling does the work, so
    // the menu's keys act only while the menu itself is open.
    for (QAction *action : FileOptions->actions()) {
        if (action->objectName() == u"viewSource")
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
        else if (action->objectName() == u"find")
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    FolderOptions = new QMenu(QStringLiteral("Folder Options"), m_window);
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
