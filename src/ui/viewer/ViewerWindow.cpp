#include "ViewerWindow.h"

#include "ViewerDisplay.h"
#include "ViewerDocumentFile.h"
#include "ViewerDocumentView.h"
#include "ViewerFileInfo.h"
#include "ViewerFit.h"
#include "ViewerHistory.h"
#include "ViewerMainControls.h"
#include "ViewerStatusHints.h"
#include "ViewerText.h"
#include "ViewerTools.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "ui/HistoryBox.h"
#include "ui/dialogs/LargeSearchDialog.h"
#include "ui/main/HistoryList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextDocument>
#include <QToolBar>

#include <algorithm>

namespace {

const QString kStop = QStringLiteral("Stop");
const QString kSource = QStringLiteral("-frmViewer.frm");

int px(int twips)
{
    return twips / 15;
}

int twips(int pixels)
{
    return pixels * 15;
}

QString describe(const std::exception &e)
{
    if (auto failure = dynamic_cast<const Failure *>(&e))
        return failure->description();
    return QString::fromLocal8Bit(e.what());
}

QString nameAfterLastSeparator(const QString &path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QDir::separator()), path.lastIndexOf(u'/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

}  // namespace

ViewerWindow::ViewerWindow(RunContext &ctx, QWidget *mainWindow)
    : QMainWindow(nullptr), m_ctx(ctx), m_main(mainWindow, ctx)
{
    setObjectName(QStringLiteral("frmViewer"));
    setWindowTitle(QStringLiteral(" Scrivlane - View source"));
    rtbHold = new DocumentBuffer(this);
    rtbHold->setObjectName(QStringLiteral("rtbHold"));
    buildControls();
    setSmallestSize();
    resize(px(11000), px(8000));

    // Connected after the view, so the view shows the new text before the reaction.
    m_view = new ViewerDocumentView(m_buffer, rtbDefaultView, m_ctx, this);
    connect(&m_buffer, &DocumentBuffer::textReplaced, this, [this] { rtbDefault_Change(); });
    connect(&m_buffer, &DocumentBuffer::stretchReplaced, this, [this] { rtbDefault_Change(); });
    m_file = std::make_unique<ViewerDocumentFile>(m_ctx, m_buffer, *rtbHold, *m_view, FileModified);
    m_history = std::make_unique<ViewerHistory>(cboFind, cboFind2, cboReplace, m_main);
    m_search = std::make_unique<ViewerSearch>(
        m_ctx, m_buffer,
        ViewerSearch::Controls{cboFind, cboFind2, cboReplace, txtnewPos, List1, lblIndex,
                               rtbDefaultView},
        static_cast<ViewerSearch::Host &>(*this));
    m_fileOperations = std::make_unique<ViewerFileOperations>(
        m_ctx, m_buffer, List1, Label1, static_cast<ViewerFileOperations::Host &>(*this));
    m_display = std::make_unique<ViewerDisplay>(
        rtbDefaultView, tool(QStringLiteral("Main"), QStringLiteral("wordwrap")));
    qApp->installEventFilter(this);
    qApp->installEventFilter(
        new ViewerStatusHints(this, Movebar, ToolBar, cmdViewFind, LargeReplaceButton,
                              [this](int panel, const QString &text) { setStatus(panel, text); }));
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::buildControls()
{
    Command1 = new QWidget(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    setCentralWidget(Command1);

    Picture2 = new QWidget(Command1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture3 = new QWidget(Command1);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    buildTools();

    cboFind = new QComboBox(Command1);
    cboFind->setObjectName(QStringLiteral("cboFind"));
    cboFind2 = new QComboBox(Command1);
    cboFind2->setObjectName(QStringLiteral("cboFind2"));
    cboReplace = new QComboBox(Command1);
    cboReplace->setObjectName(QStringLiteral("cboReplace"));
    for (QComboBox *box : {cboFind, cboFind2, cboReplace}) HistoryBox::setUp(box);
    connect(cboFind, &QComboBox::activated, this, &ViewerWindow::cboFind_Click);
    connect(cboFind2, &QComboBox::activated, this, &ViewerWindow::cboFind2_Click);
    connect(cboReplace, &QComboBox::activated, this, &ViewerWindow::cboReplace_Click);

    cmdViewFind = new QPushButton(QStringLiteral("..."), Command1);
    cmdViewFind->setObjectName(QStringLiteral("cmdViewFind"));
    LargeReplaceButton = new QPushButton(QStringLiteral("..."), Command1);
    LargeReplaceButton->setObjectName(QStringLiteral("LargeReplaceButton"));
    connect(cmdViewFind, &QPushButton::clicked, this, &ViewerWindow::cmdViewFind_Click);
    connect(LargeReplaceButton, &QPushButton::clicked, this,
            &ViewerWindow::LargeReplaceButton_Click);

    List1 = new QListWidget(Command1);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Thousands of found paths: measure them a batch at a time after the run
    // instead of all at once when the viewer shows.
    List1->setLayoutMode(QListView::Batched);
    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_Click(); });

    Frame1 = new QFrame(Command1);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto addInfo = [this](const QString &caption, const QString &name, int row) {
        auto title = new QLabel(caption, Frame1);
        title->setGeometry(px(120), px(300 + row * 330), px(1700), px(300));
        auto value = new QLabel(Frame1);
        value->setObjectName(name);
        value->setGeometry(px(1850), px(300 + row * 330), px(2250), px(300));
        return value;
    };
    auto frameTitle = new QLabel(QStringLiteral("File Info:"), Frame1);
    frameTitle->move(px(120), px(30));
    Label1 = addInfo(QStringLiteral("Total Files:"), QStringLiteral("Label1"), 0);
    lblIndex = addInfo(QStringLiteral("Current File Index:"), QStringLiteral("lblIndex"), 1);
    lblPos = addInfo(QStringLiteral("Position Found:"), QStringLiteral("lblPos"), 2);
    lblFileDate = addInfo(QStringLiteral("File Date:"), QStringLiteral("lblFileDate"), 3);
    lblFileLen = addInfo(QStringLiteral("File Length:"), QStringLiteral("lblFileLen"), 4);
    Frame1->resize(px(4200), px(2100));
    ViewerFileInfo::fitLabels(Frame1, {Label1, lblIndex, lblPos, lblFileDate, lblFileLen});

    txtnewPos = new QLineEdit(Command1);
    txtnewPos->setObjectName(QStringLiteral("txtnewPos"));
    txtnewPos->hide();
    chkMax = new QCheckBox(QStringLiteral("Resize txtbox"), Command1);
    chkMax->setObjectName(QStringLiteral("chkMax"));
    chkMax->hide();

    rtbDefaultView = new QPlainTextEdit(Command1);
    rtbDefaultView->setObjectName(QStringLiteral("rtbDefault"));
}

int ViewerWindow::menusWidth() const
{
    // The menu bar's size hint is that of one item: lay all out on a wide bar
    // (the resize event is sent by hand, the bar is not shown yet) and measure.
    const QSize size = ToolBar->size();
    const QSize wide(px(100000), size.height());
    ToolBar->resize(wide);
    QResizeEvent wideEvent(wide, size);
    QCoreApplication::sendEvent(ToolBar, &wideEvent);
    int right = 0;
    for (QAction *menu : ToolBar->actions())
        right = qMax(right, ToolBar->actionGeometry(menu).right() + 1);
    ToolBar->resize(size);
    QResizeEvent backEvent(size, wide);
    QCoreApplication::sendEvent(ToolBar, &backEvent);
    const QWidget *corner = ToolBar->cornerWidget(Qt::TopRightCorner);
    return right + (corner ? corner->sizeHint().width() : 0) + px(300);
}

void ViewerWindow::setSmallestSize()
{
    // Side by side: the menus and the move bar; the find row; the list and the
    // file information. Below them the document keeps room for a few lines.
    const int bars = menusWidth() + qMax(px(2200), Movebar->sizeHint().width()) + px(150);
    const int boxes = px(100 + 2370 + 40 + 400 + 200 + 2370 + 40 + 400 + 100);
    const int lists = Frame1->width() + px(100 + 125 + 200 + 1500);
    const int lines =
        rtbDefaultView->fontMetrics().lineSpacing() * 6 + 2 * rtbDefaultView->frameWidth();
    Command1->setMinimumSize(std::max({bars, boxes, lists}), px(3600) + lines);
}

void ViewerWindow::buildTools()
{
    m_tools = new ViewerTools(Picture2, Picture3, this);
    ToolBar = m_tools->toolBar();
    subFile = m_tools->subFile();
    subFont = m_tools->subFont();
    subSearch = m_tools->subSearch();
    Movebar = m_tools->movebar();
    PopUpToolBar = m_tools->popup();
    connect(m_tools, &ViewerTools::toolBarToolHovered, this, [this](const QString &hint) {
        // The two option tools show the main window's options as they are now.
        if (QAction *c = tool(QStringLiteral("subFont"), QStringLiteral("case")))
            c->setChecked(m_main.isChecked("chkSensitive"));
        if (QAction *w = tool(QStringLiteral("subFont"), QStringLiteral("whole")))
            w->setChecked(m_main.isChecked("chkWhole"));
        setStatus(2, hint);
    });
    connect(m_tools, &ViewerTools::toolBarToolTriggered, this, &ViewerWindow::runToolBarTool);
    connect(m_tools, &ViewerTools::movebarToolTriggered, this, &ViewerWindow::runMovebarTool);
    connect(m_tools, &ViewerTools::popupToolHovered, this,
            [this](const QString &hint) { setStatus(2, hint); });
    connect(m_tools, &ViewerTools::popupToolTriggered, this, &ViewerWindow::runPopupTool);
}

QAction *ViewerWindow::tool(const QString &band, const QString &key) const
{
    return m_tools ? m_tools->tool(band, key) : nullptr;
}

void ViewerWindow::runToolBarTool(const QString &key)
{
    using Command = void (ViewerWindow::*)();
    static const QHash<QString, Command> commands{
        {QStringLiteral("open"), &ViewerWindow::openFile},
        {QStringLiteral("save"), &ViewerWindow::SaveCurrent},
        {QStringLiteral("saveAs"), &ViewerWindow::saveAs},
        {QStringLiteral("print"), &ViewerWindow::print},
        {QStringLiteral("exit"), &ViewerWindow::hideViewer},
        {QStringLiteral("quit"), &ViewerWindow::quitProgram},
        {QStringLiteral("resize"), &ViewerWindow::toggleFileInfo},
        {QStringLiteral("case"), &ViewerWindow::toggleCase},
        {QStringLiteral("whole"), &ViewerWindow::toggleWhole},
        {QStringLiteral("bigger"), &ViewerWindow::biggerFont},
        {QStringLiteral("smaller"), &ViewerWindow::smallerFont},
        {QStringLiteral("setfont"), &ViewerWindow::setFonts},
        {QStringLiteral("find"), &ViewerWindow::Find_First},
        {QStringLiteral("findnext"), &ViewerWindow::mnuFindNext_Click},
        {QStringLiteral("replace"), &ViewerWindow::ReplaceCurrent},
        {QStringLiteral("report"), &ViewerWindow::showLastReport},
        {QStringLiteral("wordwrap"), &ViewerWindow::toggleWordWrap},
    };
    if (const Command command = commands.value(key))
        (this->*command)();
    ToolBar->adjustSize();
    ToolBar->update();
}

void ViewerWindow::runPopupTool(const QString &key)
{
    using Command = void (ViewerWindow::*)();
    static const QHash<QString, Command> commands{
        {QStringLiteral("find"), &ViewerWindow::popupFind},
        {QStringLiteral("open"), &ViewerWindow::popupOpen},
        {QStringLiteral("copyPath"), &ViewerWindow::popupCopyPath},
        {QStringLiteral("rename"), &ViewerWindow::popupRename},
        {QStringLiteral("deleteFile"), &ViewerWindow::popupDeleteFile},
    };
    if (const Command command = commands.value(key))
        (this->*command)();
}

void ViewerWindow::runMovebarTool(const QString &key)
{
    if (key == QLatin1String("up")) {
        previousFile();
    } else if (key == QLatin1String("down")) {
        nextFile();
    } else if (key == QLatin1String("findNext")) {
        m_ctx.state.StopRequested = false;
        mnuFindNext_Click();
    } else if (key == QLatin1String("replace")) {
        m_ctx.state.StopRequested = false;
        ReplaceCurrent();
    } else if (key == QLatin1String("exit")) {
        closeViewer();
    }
}

bool ViewerWindow::isFuzzyMode() const
{
    return m_main.isFuzzy();
}

void ViewerWindow::setStatus(int panel, const QString &text)
{
    if (m_ctx.main)
        m_ctx.main->setStatusText(panel, text);
}

void ViewerWindow::reportFailure(const QString &message, MessageIcon icon, const QString &title,
                                 const QString &source, const QString &description)
{
    if (m_ctx.dialogs)
        m_ctx.dialogs->message(message, title, MessageButtons::Ok, icon);
    ErrorLog::LogError(source, description, m_ctx.dialogs);
}

void ViewerWindow::setHoldText(const QString &text)
{
    rtbHold->setText(text);
}

void ViewerWindow::clearList()
{
    List1->clear();
}

void ViewerWindow::addToList(const QString &path)
{
    List1->addItem(path);
}

int ViewerWindow::listCount() const
{
    return List1->count();
}

QString ViewerWindow::listItem(int index) const
{
    const QListWidgetItem *item = List1->item(index);
    return item ? item->text() : QString();
}

void ViewerWindow::selectListItem(int index)
{
    List1->setCurrentRow(index);
}

void ViewerWindow::setCountLabel(const QString &text)
{
    Label1->setText(text);
}

void ViewerWindow::setPosLabel(const QString &text)
{
    lblPos->setText(text.startsWith(QLatin1String("-1")) ? QStringLiteral("Not found") : text);
}

void ViewerWindow::setNewPos(const QString &text)
{
    // Set for every file a walk searches, mostly to the same "0": a line edit
    // lays its text out again on every setText, even an unchanged one.
    if (txtnewPos->text() != text)
        txtnewPos->setText(text);
}

void ViewerWindow::setIndexLabel(const QString &text)
{
    lblIndex->setText(text);
}

void ViewerWindow::setCaption(const QString &text)
{
    setWindowTitle(text);
}

QString ViewerWindow::findText() const
{
    return cboFind->currentText();
}

void ViewerWindow::setFindText(const QString &text)
{
    cboFind->setEditText(text);
}

QString ViewerWindow::findText2() const
{
    return cboFind2->currentText();
}

void ViewerWindow::setReplaceText(const QString &text)
{
    cboReplace->setEditText(text);
}

void ViewerWindow::showViewer()
{
    show();
    raise();
    activateWindow();
}

void ViewerWindow::hideViewer()
{
    hide();
}

void ViewerWindow::showReportLayout()
{
    chkMax->setChecked(false);
    tool(QStringLiteral("subFont"), QStringLiteral("resize"))
        ->setText(QStringLiteral("Hide File Info"));
    layoutControls();
    showViewer();
}

void ViewerWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    ViewerFit::fitToScreen(this);
    m_view->catchUp();
}

void ViewerWindow::Form_Activate()
{
    try {
        setStatus(2, QString());
        m_ctx.state.RunInProgress = false;
        m_view->catchUp();
        Label1->setText(QString::number(List1->count()));
        layoutControls();
        if (isFuzzyMode()) {
            m_findWidth = 1410;
            cboFind2->show();
            cboFind->setEditText(m_main.text("cboFirst"));
            cboFind2->setEditText(m_main.text("cboSecond"));
            cboReplace->setEditText(m_main.text("cboFuzzyReplace"));
        } else {
            m_findWidth = 2370;
            cboFind2->hide();
            cboFind->setEditText(m_main.text("txtFind"));
            cboReplace->setEditText(m_main.text("txtReplace"));
        }
        layoutControls();
    } catch (const std::exception &e) {
        hide();
        reportFailure(describe(e), MessageIcon::Warning, QStringLiteral("Error"),
                      QStringLiteral("Form_Activate") + kSource, describe(e));
    }
}

bool ViewerWindow::loadDocument(const QString &path, const QString &source)
{
    try {
        m_file->load(path);
        return true;
    } catch (const std::exception &e) {
        if (m_tag == kStop)
            m_tag.clear();
        reportFailure(QStringLiteral("There was an error while attempting to view the file."),
                      MessageIcon::Error, QStringLiteral("Error"), source + kSource, describe(e));
        return false;
    }
}

void ViewerWindow::List1_Click()
{
    if (m_ctx.state.StopRequested)
        return;
    const bool mayReplace = PromptSaveModified();
    if (m_tag == kStop) {
        m_tag.clear();
        return;
    }
    if (!mayReplace) {
        // The save failed: the changed document stays, and so does its entry.
        keepShownEntrySelected();
        return;
    }
    const int row = List1->currentRow();
    if (row < 0)
        return;
    const QString path = List1->item(row)->text();
    if (!loadDocument(path, QStringLiteral("List1_Click")))
        return;
    if (!m_buffer.FileName().isEmpty())
        setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.FileName());
    lblPos->setText(QStringLiteral("Not found"));
    lblIndex->setText(QString::number(row + 1));
    setWindowTitle(QStringLiteral("Viewing document: ") + path);
    txtnewPos->setText(QStringLiteral("-1"));
    FoundPos = 0;
    SearchStart = 0;
}

void ViewerWindow::rtbDefault_Change()
{
    if (m_tag == kStop) {
        m_tag.clear();
        return;
    }
    const QListWidgetItem *item = List1->currentItem();
    if (!item || item->text().isEmpty())
        return;
    showFileInfo(item->text());
}

void ViewerWindow::showFileInfo(const QString &path)
{
    ViewerFileInfo::show(path, lblFileDate, lblFileLen);
}

void ViewerWindow::updateFileModified()
{
    m_file->updateModified();
}

bool ViewerWindow::PromptSaveModified()
{
    return m_file->promptSave();
}

bool ViewerWindow::offerSaveBeforeExit()
{
    return m_file->promptSaveBeforeExit();
}

bool ViewerWindow::PromptSaveModifiedResettingAttributes()
{
    return m_file->promptSave();
}

void ViewerWindow::previousFile()
{
    m_ctx.state.StopRequested = false;
    if (!PromptSaveModified())
        return;
    const int count = List1->count();
    if (count == 0)
        return;
    const int row = List1->currentRow();
    List1->setCurrentRow(row > 0 ? row - 1 : count - 1);
}

void ViewerWindow::nextFile()
{
    m_ctx.state.StopRequested = false;
    if (!PromptSaveModified())
        return;
    const int count = List1->count();
    if (count == 0)
        return;
    const int row = List1->currentRow();
    List1->setCurrentRow(row < count - 1 ? row + 1 : 0);
}

void ViewerWindow::closeViewer()
{
    m_ctx.state.StopRequested = true;
    // The list goes; unsaved changes of the shown document are offered first,
    // and stay marked when they could not be saved (the document stays shown).
    const bool settled = PromptSaveModified();
    SearchStart = 0;
    FoundPos = 0;
    txtnewPos->setText(QStringLiteral("0"));
    hide();
    if (QWidget *main = m_main.window()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
    Label1->setText(QStringLiteral("0"));
    List1->clear();
    FileModified = !settled;
}

void ViewerWindow::quitProgram()
{
    // One meaning for Ctrl+Q in every window: the main window's close asks
    // about unsaved changes and may be cancelled.
    if (QWidget *main = m_main.window())
        main->close();
}

void ViewerWindow::stopAndHide()
{
    if (m_search->isWalking())
        m_ctx.state.StopRequested = true;
    hideViewer();
}

bool ViewerWindow::isShowingFacts() const
{
    return m_view->isShowingFacts();
}

void ViewerWindow::openFile()
{
    if (!PromptSaveModified())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), Paths::applicationFolder(), QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    openPath(QDir::toNativeSeparators(path));
}

void ViewerWindow::openPath(const QString &path)
{
    if (!PromptSaveModified())
        return;
    try {
        m_file->load(path);
    } catch (const std::exception &) {
        return;  // The open command ends silently when the file cannot be read.
    }
    List1->addItem(path);
    List1->setCurrentRow(List1->count() - 1);
    Label1->setText(QString::number(List1->count()));
}

void ViewerWindow::SaveCurrent()
{
    m_file->saveCurrent();
}

void ViewerWindow::saveAs()
{
    const QString proposed =
        QDir(Paths::applicationFolder()).filePath(nameAfterLastSeparator(m_buffer.FileName()));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), proposed,
                                                      QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    saveAsPath(QDir::toNativeSeparators(path));
}

void ViewerWindow::saveAsPath(const QString &path)
{
    m_file->saveAs(path);
}

void ViewerWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window only hides it; the list and the document stay.
    event->ignore();
    hide();
}

void ViewerWindow::Find_First()
{
    m_search->findFirst();
}

void ViewerWindow::mnuFindNext_Click()
{
    m_search->findNext();
}

void ViewerWindow::ReplaceCurrent()
{
    m_search->replaceCurrent();
}

void ViewerWindow::Save_SearchCharHere()
{
    m_history->saveSearch(isFuzzyMode());
}

void ViewerWindow::Save_ReplaceCharHere()
{
    m_history->saveReplace(isFuzzyMode());
}

void ViewerWindow::cboFind_Click(int index)
{
    m_history->pickFind(index, isFuzzyMode());
}

void ViewerWindow::cboFind2_Click(int index)
{
    m_history->pickFind2(index, isFuzzyMode());
}

void ViewerWindow::cboReplace_Click(int index)
{
    m_history->pickReplace(index, isFuzzyMode());
}

void ViewerWindow::saveHistory()
{
    Save_SearchCharHere();
    Save_ReplaceCharHere();
}

void ViewerWindow::keepShownEntrySelected()
{
    const QString shown = m_buffer.FileName();
    const QList<QListWidgetItem *> entries = List1->findItems(shown, Qt::MatchExactly);
    if (shown.isEmpty() || entries.isEmpty())
        return;
    const QSignalBlocker quiet(List1);
    List1->setCurrentItem(entries.constFirst());
}

void ViewerWindow::selectRowQuietly(int row)
{
    // The selection reaction sees the marker and only clears it.
    m_tag = kStop;
    List1->setCurrentRow(row);
    if (m_tag == kStop)
        m_tag.clear();
}

LargeSearchDialog *ViewerWindow::largeSearchDialog()
{
    if (!m_largeSearch)
        m_largeSearch = new LargeSearchDialog(m_ctx, m_main.window(), this);
    return m_largeSearch;
}

void ViewerWindow::openLargeSearch(bool fromFindBox)
{
    LargeSearchDialog *dialog = largeSearchDialog();
    if (isFuzzyMode()) {
        dialog->chkfuzz->setChecked(true);
        dialog->rtbFirstFuzz->setPlainText(m_main.text("cboFirst"));
        dialog->rtbSecondFuzz->setPlainText(m_main.text("cboSecond"));
    } else {
        dialog->chkfuzz->setChecked(false);
        dialog->rtbFirstFuzz->setPlainText(m_main.text("txtFind"));
        dialog->rtbSecondFuzz->setPlainText(m_main.text("txtReplace"));
    }
    if (fromFindBox)
        dialog->setTag(QStringLiteral("Template"));
    dialog->open();
}

void ViewerWindow::cmdViewFind_Click()
{
    cboFind->setFocus();
    openLargeSearch(true);
}

void ViewerWindow::LargeReplaceButton_Click()
{
    cboReplace->setFocus();
    openLargeSearch(false);
}

void ViewerWindow::toggleFileInfo()
{
    QAction *resize = tool(QStringLiteral("subFont"), QStringLiteral("resize"));
    if (chkMax->isChecked()) {
        chkMax->setChecked(false);
        resize->setText(QStringLiteral("Hide File Info"));
    } else {
        chkMax->setChecked(true);
        resize->setText(QStringLiteral("Show File Info"));
    }
    layoutControls();
}

void ViewerWindow::toggleMainBox(const char *boxName, const QString &toolKey)
{
    const std::optional<bool> checked = m_main.toggle(boxName);
    if (!checked)
        return;
    tool(QStringLiteral("subFont"), toolKey)->setChecked(*checked);
    List1->setFocus();
}

void ViewerWindow::toggleCase()
{
    toggleMainBox("chkSensitive", QStringLiteral("case"));
}

void ViewerWindow::toggleWhole()
{
    toggleMainBox("chkWhole", QStringLiteral("whole"));
}

void ViewerWindow::biggerFont()
{
    m_display->stepFont(1);
}

void ViewerWindow::smallerFont()
{
    m_display->stepFont(-1);
}

void ViewerWindow::setFonts()
{
    m_display->chooseFont(this);
}

int ViewerWindow::rightMargin() const
{
    return m_display->rightMargin();
}

void ViewerWindow::setRightMargin(int twips)
{
    m_display->setRightMargin(twips);
}

QString ViewerWindow::wordWrapPicture() const
{
    return m_display->wordWrapPicture();
}

void ViewerWindow::toggleWordWrap()
{
    m_display->toggleWordWrap();
    rtbDefault_Change();
}

void ViewerWindow::ApplyViewerSettings()
{
    m_display->applySettings();
}

void ViewerWindow::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(printer);
}

void ViewerWindow::printTo(QPrinter &printer)
{
    QTextDocument document;
    document.setDefaultFont(rtbDefaultView->font());
    document.setPlainText(ViewerText::toView(m_buffer.Text()));
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        reportFailure(QStringLiteral("There was a printer error."), MessageIcon::Warning,
                      QStringLiteral("Error"),
                      QStringLiteral("ToolBar_Click:PrinterError") + kSource,
                      QStringLiteral("The printer reported an error."));
    }
}

void ViewerWindow::showLastReport()
{
    const QString report = QDir(Paths::applicationFolder()).filePath(QStringLiteral("Report.dat"));
    if (!FileSystem::exists(report)) {
        m_ctx.dialogs->message(QStringLiteral("The report file hasn't been created yet."),
                               QStringLiteral("Error"), MessageButtons::Ok,
                               MessageIcon::Information);
        return;
    }
    if (!PromptSaveModified())
        return;
    m_tag = kStop;
    if (!loadDocument(QDir::toNativeSeparators(report), QStringLiteral("ToolBar_Click")))
        return;
    setWindowTitle(QStringLiteral("Viewing document: ") + QDir::toNativeSeparators(report));
    setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.FileName());
}

void ViewerWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutControls();
}

void ViewerWindow::layoutControls()
{
    if (isMinimized() || !Command1)
        return;
    const int width = twips(Command1->width());
    const int height = twips(Command1->height());

    // Wide enough for all five tools whatever the style's icon size, so none
    // hides behind an overflow arrow.
    const int moveWidth = qMax(px(2200), Movebar->sizeHint().width());
    Picture3->setGeometry(px(width - 150) - moveWidth, 0, moveWidth, px(480));
    Movebar->setGeometry(0, 0, moveWidth, px(480));
    Picture2->setGeometry(0, 0, qMax(0, Picture3->x()), px(480));
    ToolBar->setGeometry(0, 0, Picture2->width(), px(480));

    int x = px(100);
    const int top = px(540);
    cboFind->setGeometry(x, top, px(m_findWidth), px(330));
    if (m_findWidth < 2370)
        cboFind2->setGeometry(x + px(m_findWidth + 60), top, px(2370 - m_findWidth - 60), px(330));
    x += px(2370 + 40);
    cmdViewFind->setGeometry(x, top, px(400), px(330));
    x += px(400 + 200);
    cboReplace->setGeometry(x, top, px(2370), px(330));
    x += px(2370 + 40);
    LargeReplaceButton->setGeometry(x, top, px(400), px(330));

    const int frameWidth = twips(Frame1->width());
    const int frameLeft = width - frameWidth - 200;
    if (frameLeft > 0)
        Frame1->move(px(frameLeft), px(990));
    const int listLeft = 100;
    const int listWidth = frameLeft - listLeft - 125;
    if (listWidth > 0)
        List1->setGeometry(px(listLeft), px(990), px(listWidth), Frame1->height());

    int docTop = 0;
    int docHeight = 0;
    if (chkMax->isChecked()) {
        // Below the find and replace boxes, which stay in view.
        docTop = twips(top) + 330 + 75;
        docHeight = height - docTop - 425;
    } else {
        docTop = twips(List1->y() + List1->height()) + 75;
        docHeight = height - 3600;
    }
    if (width - 225 > 0 && docHeight > 0)
        rtbDefaultView->setGeometry(px(100), px(docTop), px(width - 225), px(docHeight));
    rtbDefaultView->raise();
    rtbDefaultView->viewport()->update();
}

void ViewerWindow::popupFind()
{
    m_ctx.state.StopRequested = false;
    Find_First();
}

void ViewerWindow::popupOpen()
{
    m_fileOperations->openFile();
}

void ViewerWindow::popupCopyPath()
{
    m_fileOperations->copyPath();
}

void ViewerWindow::popupRename()
{
    m_fileOperations->renameFile();
}

void ViewerWindow::popupDeleteFile()
{
    m_fileOperations->deleteFile();
}

void ViewerWindow::discardChanges()
{
    m_file->discardChanges();
}

void ViewerWindow::reportRenameFailure(const QString &description)
{
    reportFailure(QStringLiteral("There was an error while renaming the file."), MessageIcon::Error,
                  QStringLiteral("Error"),
                  QStringLiteral("PopUpToolBar_Click:RenameFile_Error") + kSource, description);
}

bool ViewerWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

bool ViewerWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != this)
            break;
        auto key = static_cast<QKeyEvent *>(event);
        m_pressedModifiers.keyPressed(key);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            stopAndHide();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto widget = qobject_cast<QWidget *>(watched);
        auto key = static_cast<QKeyEvent *>(event);
        if (!widget || widget->window() != this || key->isAutoRepeat())
            break;
        const auto mods = m_pressedModifiers.keyReleased(key);
        if (mods != Qt::ControlModifier)
            break;
        switch (key->key()) {
        case Qt::Key_D:
            toggleFileInfo();
            return true;
        case Qt::Key_F:
            mnuFindNext_Click();
            return true;
        case Qt::Key_O:
            openFile();
            return true;
        case Qt::Key_Q:
            quitProgram();
            return true;
        case Qt::Key_W:
            hideViewer();
            return true;
        case Qt::Key_R:
            ReplaceCurrent();
            return true;
        case Qt::Key_S:
            SaveCurrent();
            return true;
        default:
            break;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        if (watched == List1->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            // A right click opens the menu on the selected entry without moving it.
            if (List1->count() > 0)
                PopUpToolBar->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
