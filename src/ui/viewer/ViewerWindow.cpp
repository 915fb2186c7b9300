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
    setObjectName(QStringLiteral("viewerWindow"));
    setWindowTitle(QStringLiteral(" Scrivlane - View source"));
    heldDocument = new DocumentBuffer(this);
    heldDocument->setObjectName(QStringLiteral("heldDocument"));
    buildControls();
    setSmallestSize();
    resize(px(11000), px(8000));

    // Connected after the view, so the view shows the new text before the reaction.
    m_view = new ViewerDocumentView(m_buffer, documentEdit, m_ctx, this);
    connect(&m_buffer, &DocumentBuffer::textReplaced, this, [this] { documentEdited(); });
    connect(&m_buffer, &DocumentBuffer::stretchReplaced, this, [this] { documentEdited(); });
    m_file = std::make_unique<ViewerDocumentFile>(m_ctx, m_buffer, *heldDocument, *m_view,
                                                  m_fileModified);
    m_history = std::make_unique<ViewerHistory>(viewerFindBox, viewerSecondPartBox,
                                                viewerReplaceBox, m_main);
    m_search = std::make_unique<ViewerSearch>(
        m_ctx, m_buffer,
        ViewerSearch::Controls{viewerFindBox, viewerSecondPartBox, viewerReplaceBox, newPosEdit,
                               documentList, fileIndexLabel, documentEdit},
        static_cast<ViewerSearch::Host &>(*this));
    m_fileOperations =
        std::make_unique<ViewerFileOperations>(m_ctx, m_buffer, documentList, totalFilesLabel,
                                               static_cast<ViewerFileOperations::Host &>(*this));
    m_display = std::make_unique<ViewerDisplay>(
        documentEdit, tool(QStringLiteral("Main"), QStringLiteral("wordwrap")));
    qApp->installEventFilter(this);
    qApp->installEventFilter(
        new ViewerStatusHints(this, moveBar, viewerMenus, largeFindButton, largeReplaceButton,
                              [this](int panel, const QString &text) { setStatus(panel, text); }));
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::buildControls()
{
    centralArea = new QWidget(this);
    centralArea->setObjectName(QStringLiteral("centralArea"));
    setCentralWidget(centralArea);

    menuHolder = new QWidget(centralArea);
    menuHolder->setObjectName(QStringLiteral("menuHolder"));
    moveBarHolder = new QWidget(centralArea);
    moveBarHolder->setObjectName(QStringLiteral("moveBarHolder"));
    buildTools();

    viewerFindBox = new QComboBox(centralArea);
    viewerFindBox->setObjectName(QStringLiteral("viewerFindBox"));
    viewerSecondPartBox = new QComboBox(centralArea);
    viewerSecondPartBox->setObjectName(QStringLiteral("viewerSecondPartBox"));
    viewerReplaceBox = new QComboBox(centralArea);
    viewerReplaceBox->setObjectName(QStringLiteral("viewerReplaceBox"));
    for (QComboBox *box : {viewerFindBox, viewerSecondPartBox, viewerReplaceBox})
        HistoryBox::setUp(box);
    connect(viewerFindBox, &QComboBox::activated, this, &ViewerWindow::findBoxPicked);
    connect(viewerSecondPartBox, &QComboBox::activated, this, &ViewerWindow::secondPartBoxPicked);
    connect(viewerReplaceBox, &QComboBox::activated, this, &ViewerWindow::replaceBoxPicked);

    largeFindButton = new QPushButton(QStringLiteral("..."), centralArea);
    largeFindButton->setObjectName(QStringLiteral("largeFindButton"));
    largeReplaceButton = new QPushButton(QStringLiteral("..."), centralArea);
    largeReplaceButton->setObjectName(QStringLiteral("largeReplaceButton"));
    connect(largeFindButton, &QPushButton::clicked, this, &ViewerWindow::openLargeFind);
    connect(largeReplaceButton, &QPushButton::clicked, this, &ViewerWindow::openLargeReplace);

    documentList = new QListWidget(centralArea);
    documentList->setObjectName(QStringLiteral("documentList"));
    documentList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Thousands of found paths: measure them a batch at a time after the run
    // instead of all at once when the viewer shows.
    documentList->setLayoutMode(QListView::Batched);
    connect(documentList, &QListWidget::currentRowChanged, this, [this] { showListedFile(); });
    connect(documentList, &QListWidget::itemDoubleClicked, this, [this] { showListedFile(); });

    fileInfoFrame = new QFrame(centralArea);
    fileInfoFrame->setObjectName(QStringLiteral("fileInfoFrame"));
    fileInfoFrame->setFrameShape(QFrame::StyledPanel);
    auto addInfo = [this](const QString &caption, const QString &name, int row) {
        auto title = new QLabel(caption, fileInfoFrame);
        title->setGeometry(px(120), px(300 + row * 330), px(1700), px(300));
        auto value = new QLabel(fileInfoFrame);
        value->setObjectName(name);
        value->setGeometry(px(1850), px(300 + row * 330), px(2250), px(300));
        return value;
    };
    auto frameTitle = new QLabel(QStringLiteral("File Info:"), fileInfoFrame);
    frameTitle->move(px(120), px(30));
    totalFilesLabel = addInfo(QStringLiteral("Total Files:"), QStringLiteral("totalFilesLabel"), 0);
    fileIndexLabel =
        addInfo(QStringLiteral("Current File Index:"), QStringLiteral("fileIndexLabel"), 1);
    foundPosLabel = addInfo(QStringLiteral("Position Found:"), QStringLiteral("foundPosLabel"), 2);
    fileDateLabel = addInfo(QStringLiteral("File Date:"), QStringLiteral("fileDateLabel"), 3);
    fileLengthLabel = addInfo(QStringLiteral("File Length:"), QStringLiteral("fileLengthLabel"), 4);
    fileInfoFrame->resize(px(4200), px(2100));
    ViewerFileInfo::fitLabels(fileInfoFrame, {totalFilesLabel, fileIndexLabel, foundPosLabel,
                                              fileDateLabel, fileLengthLabel});

    newPosEdit = new QLineEdit(centralArea);
    newPosEdit->setObjectName(QStringLiteral("newPosEdit"));
    newPosEdit->hide();
    resizeBox = new QCheckBox(QStringLiteral("Resize txtbox"), centralArea);
    resizeBox->setObjectName(QStringLiteral("resizeBox"));
    resizeBox->hide();

    documentEdit = new QPlainTextEdit(centralArea);
    documentEdit->setObjectName(QStringLiteral("documentEdit"));
}

int ViewerWindow::menusWidth() const
{
    // The menu bar's size hint is that of one item: lay all out on a wide bar
    // (the resize event is sent by hand, the bar is not shown yet) and measure.
    const QSize size = viewerMenus->size();
    const QSize wide(px(100000), size.height());
    viewerMenus->resize(wide);
    QResizeEvent wideEvent(wide, size);
    QCoreApplication::sendEvent(viewerMenus, &wideEvent);
    int right = 0;
    for (QAction *menu : viewerMenus->actions())
        right = qMax(right, viewerMenus->actionGeometry(menu).right() + 1);
    viewerMenus->resize(size);
    QResizeEvent backEvent(size, wide);
    QCoreApplication::sendEvent(viewerMenus, &backEvent);
    const QWidget *corner = viewerMenus->cornerWidget(Qt::TopRightCorner);
    return right + (corner ? corner->sizeHint().width() : 0) + px(300);
}

void ViewerWindow::setSmallestSize()
{
    // Side by side: the menus and the move bar; the find row; the list and the
    // file information. Below them the document keeps room for a few lines.
    const int bars = menusWidth() + qMax(px(2200), moveBar->sizeHint().width()) + px(150);
    const int boxes = px(100 + 2370 + 40 + 400 + 200 + 2370 + 40 + 400 + 100);
    const int lists = fileInfoFrame->width() + px(100 + 125 + 200 + 1500);
    const int lines =
        documentEdit->fontMetrics().lineSpacing() * 6 + 2 * documentEdit->frameWidth();
    centralArea->setMinimumSize(std::max({bars, boxes, lists}), px(3600) + lines);
}

void ViewerWindow::buildTools()
{
    m_tools = new ViewerTools(menuHolder, moveBarHolder, this);
    viewerMenus = m_tools->menuBar();
    fileMenu = m_tools->fileMenu();
    formatMenu = m_tools->formatMenu();
    searchMenu = m_tools->searchMenu();
    moveBar = m_tools->moveBar();
    listMenu = m_tools->listMenu();
    connect(m_tools, &ViewerTools::menuToolHovered, this, [this](const QString &hint) {
        // The two option tools show the main window's options as they are now.
        if (QAction *c = tool(QStringLiteral("formatMenu"), QStringLiteral("case")))
            c->setChecked(m_main.isChecked("caseSensitiveBox"));
        if (QAction *w = tool(QStringLiteral("formatMenu"), QStringLiteral("whole")))
            w->setChecked(m_main.isChecked("wholeWordBox"));
        setStatus(2, hint);
    });
    connect(m_tools, &ViewerTools::menuToolTriggered, this, &ViewerWindow::runMenuTool);
    connect(m_tools, &ViewerTools::moveToolTriggered, this, &ViewerWindow::runMoveTool);
    connect(m_tools, &ViewerTools::listToolHovered, this,
            [this](const QString &hint) { setStatus(2, hint); });
    connect(m_tools, &ViewerTools::listToolTriggered, this, &ViewerWindow::runListTool);
}

QAction *ViewerWindow::tool(const QString &band, const QString &key) const
{
    return m_tools ? m_tools->tool(band, key) : nullptr;
}

void ViewerWindow::runMenuTool(const QString &key)
{
    using Command = void (ViewerWindow::*)();
    static const QHash<QString, Command> commands{
        {QStringLiteral("open"), &ViewerWindow::openFile},
        {QStringLiteral("save"), &ViewerWindow::saveCurrent},
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
        {QStringLiteral("find"), &ViewerWindow::findFirst},
        {QStringLiteral("findnext"), &ViewerWindow::findNext},
        {QStringLiteral("replace"), &ViewerWindow::replaceCurrent},
        {QStringLiteral("report"), &ViewerWindow::showLastReport},
        {QStringLiteral("wordwrap"), &ViewerWindow::toggleWordWrap},
    };
    if (const Command command = commands.value(key))
        (this->*command)();
    viewerMenus->adjustSize();
    viewerMenus->update();
}

void ViewerWindow::runListTool(const QString &key)
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

void ViewerWindow::runMoveTool(const QString &key)
{
    if (key == QLatin1String("up")) {
        previousFile();
    } else if (key == QLatin1String("down")) {
        nextFile();
    } else if (key == QLatin1String("findNext")) {
        m_ctx.state.StopRequested = false;
        findNext();
    } else if (key == QLatin1String("replace")) {
        m_ctx.state.StopRequested = false;
        replaceCurrent();
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
    heldDocument->setText(text);
}

void ViewerWindow::clearList()
{
    documentList->clear();
}

void ViewerWindow::addToList(const QString &path)
{
    documentList->addItem(path);
}

int ViewerWindow::listCount() const
{
    return documentList->count();
}

QString ViewerWindow::listItem(int index) const
{
    const QListWidgetItem *item = documentList->item(index);
    return item ? item->text() : QString();
}

void ViewerWindow::selectListItem(int index)
{
    documentList->setCurrentRow(index);
}

void ViewerWindow::setCountLabel(const QString &text)
{
    totalFilesLabel->setText(text);
}

void ViewerWindow::setPosLabel(const QString &text)
{
    foundPosLabel->setText(text.startsWith(QLatin1String("-1")) ? QStringLiteral("Not found")
                                                                : text);
}

void ViewerWindow::setNewPos(const QString &text)
{
    // Set for every file a walk searches, mostly to the same "0": a line edit
    // lays its text out again on every setText, even an unchanged one.
    if (newPosEdit->text() != text)
        newPosEdit->setText(text);
}

void ViewerWindow::setIndexLabel(const QString &text)
{
    fileIndexLabel->setText(text);
}

void ViewerWindow::setCaption(const QString &text)
{
    setWindowTitle(text);
}

QString ViewerWindow::findText() const
{
    return viewerFindBox->currentText();
}

void ViewerWindow::setFindText(const QString &text)
{
    viewerFindBox->setEditText(text);
}

QString ViewerWindow::findText2() const
{
    return viewerSecondPartBox->currentText();
}

void ViewerWindow::setReplaceText(const QString &text)
{
    viewerReplaceBox->setEditText(text);
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
    resizeBox->setChecked(false);
    tool(QStringLiteral("formatMenu"), QStringLiteral("resize"))
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

void ViewerWindow::prepareOnActivation()
{
    try {
        setStatus(2, QString());
        m_ctx.state.RunInProgress = false;
        m_view->catchUp();
        totalFilesLabel->setText(QString::number(documentList->count()));
        layoutControls();
        if (isFuzzyMode()) {
            m_findWidth = 1410;
            viewerSecondPartBox->show();
            viewerFindBox->setEditText(m_main.text("firstPartBox"));
            viewerSecondPartBox->setEditText(m_main.text("secondPartBox"));
            viewerReplaceBox->setEditText(m_main.text("fuzzyReplaceBox"));
        } else {
            m_findWidth = 2370;
            viewerSecondPartBox->hide();
            viewerFindBox->setEditText(m_main.text("findBox"));
            viewerReplaceBox->setEditText(m_main.text("replaceBox"));
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

void ViewerWindow::showListedFile()
{
    if (m_ctx.state.StopRequested)
        return;
    const bool mayReplace = offerToSaveChanges();
    if (m_tag == kStop) {
        m_tag.clear();
        return;
    }
    if (!mayReplace) {
        // The save failed: the changed document stays, and so does its entry.
        keepShownEntrySelected();
        return;
    }
    const int row = documentList->currentRow();
    if (row < 0)
        return;
    const QString path = documentList->item(row)->text();
    if (!loadDocument(path, QStringLiteral("List1_Click")))
        return;
    if (!m_buffer.FileName().isEmpty())
        setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.FileName());
    foundPosLabel->setText(QStringLiteral("Not found"));
    fileIndexLabel->setText(QString::number(row + 1));
    setWindowTitle(QStringLiteral("Viewing document: ") + path);
    newPosEdit->setText(QStringLiteral("-1"));
    m_foundPos = 0;
    m_searchStart = 0;
}

void ViewerWindow::documentEdited()
{
    if (m_tag == kStop) {
        m_tag.clear();
        return;
    }
    const QListWidgetItem *item = documentList->currentItem();
    if (!item || item->text().isEmpty())
        return;
    showFileInfo(item->text());
}

void ViewerWindow::showFileInfo(const QString &path)
{
    ViewerFileInfo::show(path, fileDateLabel, fileLengthLabel);
}

void ViewerWindow::updateFileModified()
{
    m_file->updateModified();
}

bool ViewerWindow::offerToSaveChanges()
{
    return m_file->promptSave();
}

bool ViewerWindow::offerSaveBeforeExit()
{
    return m_file->promptSaveBeforeExit();
}

bool ViewerWindow::offerToSaveChangesResettingAttributes()
{
    return m_file->promptSave();
}

void ViewerWindow::previousFile()
{
    m_ctx.state.StopRequested = false;
    if (!offerToSaveChanges())
        return;
    const int count = documentList->count();
    if (count == 0)
        return;
    const int row = documentList->currentRow();
    documentList->setCurrentRow(row > 0 ? row - 1 : count - 1);
}

void ViewerWindow::nextFile()
{
    m_ctx.state.StopRequested = false;
    if (!offerToSaveChanges())
        return;
    const int count = documentList->count();
    if (count == 0)
        return;
    const int row = documentList->currentRow();
    documentList->setCurrentRow(row < count - 1 ? row + 1 : 0);
}

void ViewerWindow::closeViewer()
{
    m_ctx.state.StopRequested = true;
    // The list goes; unsaved changes of the shown document are offered first,
    // and stay marked when they could not be saved (the document stays shown).
    const bool settled = offerToSaveChanges();
    m_searchStart = 0;
    m_foundPos = 0;
    newPosEdit->setText(QStringLiteral("0"));
    hide();
    if (QWidget *main = m_main.window()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
    totalFilesLabel->setText(QStringLiteral("0"));
    documentList->clear();
    m_fileModified = !settled;
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
    if (!offerToSaveChanges())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), Paths::applicationFolder(), QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    openPath(QDir::toNativeSeparators(path));
}

void ViewerWindow::openPath(const QString &path)
{
    if (!offerToSaveChanges())
        return;
    try {
        m_file->load(path);
    } catch (const std::exception &) {
        return;  // The open command ends silently when the file cannot be read.
    }
    documentList->addItem(path);
    documentList->setCurrentRow(documentList->count() - 1);
    totalFilesLabel->setText(QString::number(documentList->count()));
}

void ViewerWindow::saveCurrent()
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

void ViewerWindow::findFirst()
{
    m_search->findFirst();
}

void ViewerWindow::findNext()
{
    m_search->findNext();
}

void ViewerWindow::replaceCurrent()
{
    m_search->replaceCurrent();
}

void ViewerWindow::saveFindHistoryHere()
{
    m_history->saveSearch(isFuzzyMode());
}

void ViewerWindow::saveReplaceHistoryHere()
{
    m_history->saveReplace(isFuzzyMode());
}

void ViewerWindow::findBoxPicked(int index)
{
    m_history->pickFind(index, isFuzzyMode());
}

void ViewerWindow::secondPartBoxPicked(int index)
{
    m_history->pickFind2(index, isFuzzyMode());
}

void ViewerWindow::replaceBoxPicked(int index)
{
    m_history->pickReplace(index, isFuzzyMode());
}

void ViewerWindow::saveHistory()
{
    saveFindHistoryHere();
    saveReplaceHistoryHere();
}

void ViewerWindow::keepShownEntrySelected()
{
    const QString shown = m_buffer.FileName();
    const QList<QListWidgetItem *> entries = documentList->findItems(shown, Qt::MatchExactly);
    if (shown.isEmpty() || entries.isEmpty())
        return;
    const QSignalBlocker quiet(documentList);
    documentList->setCurrentItem(entries.constFirst());
}

void ViewerWindow::selectRowQuietly(int row)
{
    // The selection reaction sees the marker and only clears it.
    m_tag = kStop;
    documentList->setCurrentRow(row);
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
        dialog->fuzzyBox->setChecked(true);
        dialog->firstPartEdit->setPlainText(m_main.text("firstPartBox"));
        dialog->secondPartEdit->setPlainText(m_main.text("secondPartBox"));
    } else {
        dialog->fuzzyBox->setChecked(false);
        dialog->firstPartEdit->setPlainText(m_main.text("findBox"));
        dialog->secondPartEdit->setPlainText(m_main.text("replaceBox"));
    }
    if (fromFindBox)
        dialog->setTag(QStringLiteral("Template"));
    dialog->open();
}

void ViewerWindow::openLargeFind()
{
    viewerFindBox->setFocus();
    openLargeSearch(true);
}

void ViewerWindow::openLargeReplace()
{
    viewerReplaceBox->setFocus();
    openLargeSearch(false);
}

void ViewerWindow::toggleFileInfo()
{
    QAction *resize = tool(QStringLiteral("formatMenu"), QStringLiteral("resize"));
    if (resizeBox->isChecked()) {
        resizeBox->setChecked(false);
        resize->setText(QStringLiteral("Hide File Info"));
    } else {
        resizeBox->setChecked(true);
        resize->setText(QStringLiteral("Show File Info"));
    }
    layoutControls();
}

void ViewerWindow::toggleMainBox(const char *boxName, const QString &toolKey)
{
    const std::optional<bool> checked = m_main.toggle(boxName);
    if (!checked)
        return;
    tool(QStringLiteral("formatMenu"), toolKey)->setChecked(*checked);
    documentList->setFocus();
}

void ViewerWindow::toggleCase()
{
    toggleMainBox("caseSensitiveBox", QStringLiteral("case"));
}

void ViewerWindow::toggleWhole()
{
    toggleMainBox("wholeWordBox", QStringLiteral("whole"));
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
    documentEdited();
}

void ViewerWindow::applyStoredSettings()
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
    document.setDefaultFont(documentEdit->font());
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
    if (!offerToSaveChanges())
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
    if (isMinimized() || !centralArea)
        return;
    const int width = twips(centralArea->width());
    const int height = twips(centralArea->height());

    // Wide enough for all five tools whatever the style's icon size, so none
    // hides behind an overflow arrow.
    const int moveWidth = qMax(px(2200), moveBar->sizeHint().width());
    moveBarHolder->setGeometry(px(width - 150) - moveWidth, 0, moveWidth, px(480));
    moveBar->setGeometry(0, 0, moveWidth, px(480));
    menuHolder->setGeometry(0, 0, qMax(0, moveBarHolder->x()), px(480));
    viewerMenus->setGeometry(0, 0, menuHolder->width(), px(480));

    int x = px(100);
    const int top = px(540);
    viewerFindBox->setGeometry(x, top, px(m_findWidth), px(330));
    if (m_findWidth < 2370)
        viewerSecondPartBox->setGeometry(x + px(m_findWidth + 60), top, px(2370 - m_findWidth - 60),
                                         px(330));
    x += px(2370 + 40);
    largeFindButton->setGeometry(x, top, px(400), px(330));
    x += px(400 + 200);
    viewerReplaceBox->setGeometry(x, top, px(2370), px(330));
    x += px(2370 + 40);
    largeReplaceButton->setGeometry(x, top, px(400), px(330));

    const int frameWidth = twips(fileInfoFrame->width());
    const int frameLeft = width - frameWidth - 200;
    if (frameLeft > 0)
        fileInfoFrame->move(px(frameLeft), px(990));
    const int listLeft = 100;
    const int listWidth = frameLeft - listLeft - 125;
    if (listWidth > 0)
        documentList->setGeometry(px(listLeft), px(990), px(listWidth), fileInfoFrame->height());

    int docTop = 0;
    int docHeight = 0;
    if (resizeBox->isChecked()) {
        // Below the find and replace boxes, which stay in view.
        docTop = twips(top) + 330 + 75;
        docHeight = height - docTop - 425;
    } else {
        docTop = twips(documentList->y() + documentList->height()) + 75;
        docHeight = height - 3600;
    }
    if (width - 225 > 0 && docHeight > 0)
        documentEdit->setGeometry(px(100), px(docTop), px(width - 225), px(docHeight));
    documentEdit->raise();
    documentEdit->viewport()->update();
}

void ViewerWindow::popupFind()
{
    m_ctx.state.StopRequested = false;
    findFirst();
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
        prepareOnActivation();
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
            findNext();
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
            replaceCurrent();
            return true;
        case Qt::Key_S:
            saveCurrent();
            return true;
        default:
            break;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        if (watched == documentList->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            // A right click opens the menu on the selected entry without moving it.
            if (documentList->count() > 0)
                listMenu->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
