#include "ViewerWindow.h"

#include "ViewerDisplay.h"
#include "ViewerDocumentFile.h"
#include "ViewerDocumentView.h"
#include "ViewerFileInfo.h"
#include "ViewerFit.h"
#include "ViewerForm.h"
#include "ViewerHistory.h"
#include "ViewerStatusHints.h"
#include "ViewerText.h"
#include "ViewerTools.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/HistoryList.h"
#include "ui/dialogs/LargeSearchDialog.h"

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

int px(int twips)
{
    return twips / 15;
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

ViewerWindow::ViewerWindow(RunContext &ctx, SearchForm *mainForm)
    : QMainWindow(nullptr), m_ctx(ctx), m_form(mainForm)
{
    setObjectName(QStringLiteral("viewerWindow"));
    setWindowTitle(QStringLiteral(" Scrivlane - View source"));
    heldDocument = new DocumentBuffer(this);
    heldDocument->setObjectName(QStringLiteral("heldDocument"));
    setupUi(this, [this] { buildTools(); });
    connectControls();
    setSmallestSize();
    resize(px(11000), px(8000));

    // Connected after the view, so the view shows the new text before the reaction.
    m_view = new ViewerDocumentView(m_buffer, documentEdit, m_ctx, this);
    connect(&m_buffer, &DocumentBuffer::textReplaced, this, [this] { documentEdited(); });
    connect(&m_buffer, &DocumentBuffer::stretchReplaced, this, [this] { documentEdited(); });
    m_file = std::make_unique<ViewerDocumentFile>(m_ctx, m_buffer, *heldDocument, *m_view,
                                                  m_fileModified);
    m_history = std::make_unique<ViewerHistory>(viewerFindBox, viewerSecondPartBox,
                                                viewerReplaceBox, m_form);
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

void ViewerWindow::connectControls()
{
    connect(viewerFindBox, &QComboBox::activated, this, &ViewerWindow::findBoxPicked);
    connect(viewerSecondPartBox, &QComboBox::activated, this, &ViewerWindow::secondPartBoxPicked);
    connect(viewerReplaceBox, &QComboBox::activated, this, &ViewerWindow::replaceBoxPicked);
    connect(largeFindButton, &QPushButton::clicked, this, &ViewerWindow::openLargeFind);
    connect(largeReplaceButton, &QPushButton::clicked, this, &ViewerWindow::openLargeReplace);
    connect(documentList, &QListWidget::currentRowChanged, this, [this] { showListedFile(); });
    connect(documentList, &QListWidget::itemDoubleClicked, this, [this] { showListedFile(); });
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
            c->setChecked(m_form && m_form->isOptionChecked(SearchForm::Option::CaseSensitive));
        if (QAction *w = tool(QStringLiteral("formatMenu"), QStringLiteral("whole")))
            w->setChecked(m_form && m_form->isOptionChecked(SearchForm::Option::WholeWord));
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
        m_ctx.state.stopRequested = false;
        findNext();
    } else if (key == QLatin1String("replace")) {
        m_ctx.state.stopRequested = false;
        replaceCurrent();
    } else if (key == QLatin1String("exit")) {
        closeViewer();
    }
}

bool ViewerWindow::isFuzzyMode() const
{
    if (m_form)
        return m_form->isFuzzy();
    return m_ctx.request && m_ctx.request->isFuzzy();
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
    ErrorLog::logError(source, description, m_ctx.dialogs);
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
        m_ctx.state.runInProgress = false;
        m_view->catchUp();
        totalFilesLabel->setText(QString::number(documentList->count()));
        layoutControls();
        if (isFuzzyMode()) {
            m_findWidth = 1410;
            viewerSecondPartBox->show();
            viewerFindBox->setEditText(mainText(Box::FirstPart));
            viewerSecondPartBox->setEditText(mainText(Box::SecondPart));
            viewerReplaceBox->setEditText(mainText(Box::FuzzyReplace));
        } else {
            m_findWidth = 2370;
            viewerSecondPartBox->hide();
            viewerFindBox->setEditText(mainText(Box::Find));
            viewerReplaceBox->setEditText(mainText(Box::Replace));
        }
        layoutControls();
    } catch (const std::exception &e) {
        hide();
        reportFailure(describe(e), MessageIcon::Warning, QStringLiteral("Error"),
                      LogSource::viewerActivate, describe(e));
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
                      MessageIcon::Error, QStringLiteral("Error"), LogSource::inViewer(source),
                      describe(e));
        return false;
    }
}

void ViewerWindow::showListedFile()
{
    if (m_ctx.state.stopRequested)
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
    if (!loadDocument(path, LogSource::viewerListClick))
        return;
    if (!m_buffer.fileName().isEmpty())
        setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.fileName());
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
    m_ctx.state.stopRequested = false;
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
    m_ctx.state.stopRequested = false;
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
    m_ctx.state.stopRequested = true;
    // The list goes; unsaved changes of the shown document are offered first,
    // and stay marked when they could not be saved (the document stays shown).
    const bool settled = offerToSaveChanges();
    m_searchStart = 0;
    m_foundPos = 0;
    newPosEdit->setText(QStringLiteral("0"));
    hide();
    if (QWidget *main = mainWindow()) {
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
    if (QWidget *main = mainWindow())
        main->close();
}

void ViewerWindow::stopAndHide()
{
    if (m_search->isWalking())
        m_ctx.state.stopRequested = true;
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
        QDir(Paths::applicationFolder()).filePath(nameAfterLastSeparator(m_buffer.fileName()));
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
    const QString shown = m_buffer.fileName();
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

QComboBox *ViewerWindow::comboOf(Box box) const
{
    switch (box) {
    case Box::Find:
    case Box::FirstPart:
        return viewerFindBox;
    case Box::SecondPart:
        return viewerSecondPartBox;
    case Box::Replace:
    case Box::FuzzyReplace:
        return viewerReplaceBox;
    }
    return viewerFindBox;
}

QString ViewerWindow::boxText(Box box) const
{
    return comboOf(box)->currentText();
}

void ViewerWindow::setBoxText(Box box, const QString &text)
{
    comboOf(box)->setEditText(text);
}

void ViewerWindow::clearHistories()
{
    for (QComboBox *box : {viewerFindBox, viewerSecondPartBox, viewerReplaceBox}) {
        const QSignalBlocker blocker(box);
        box->clear();
    }
}

void ViewerWindow::showHistory(Box box, const QStringList &entries, std::optional<int> current,
                               const QString &text)
{
    QComboBox *combo = comboOf(box);
    const QSignalBlocker blocker(combo);
    combo->addItems(entries);
    if (current)
        combo->setCurrentIndex(qMin(*current, combo->count() - 1));
    combo->setCurrentText(text);
}

void ViewerWindow::chooseTopEntry(Box box)
{
    QComboBox *combo = comboOf(box);
    if (combo->count() > 0)
        combo->setCurrentIndex(0);
}

void ViewerWindow::focusList()
{
    documentList->setFocus();
}

QString ViewerWindow::mainText(Box box) const
{
    return m_form ? m_form->boxText(box) : QString();
}

QWidget *ViewerWindow::mainWindow() const
{
    return m_form ? m_form->formWindow() : nullptr;
}

LargeSearchDialog *ViewerWindow::largeSearchDialog()
{
    if (!m_largeSearch)
        m_largeSearch = new LargeSearchDialog(m_ctx, m_form, this);
    return m_largeSearch;
}

void ViewerWindow::openLargeSearch(bool fromFindBox)
{
    LargeSearchDialog *dialog = largeSearchDialog();
    if (isFuzzyMode())
        dialog->fill(true, mainText(Box::FirstPart), mainText(Box::SecondPart));
    else
        dialog->fill(false, mainText(Box::Find), mainText(Box::Replace));
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

void ViewerWindow::toggleMainOption(SearchForm::Option option, const QString &toolKey)
{
    if (!m_form)
        return;
    const bool checked = m_form->toggleOption(option);
    tool(QStringLiteral("formatMenu"), toolKey)->setChecked(checked);
    documentList->setFocus();
}

void ViewerWindow::toggleCase()
{
    toggleMainOption(SearchForm::Option::CaseSensitive, QStringLiteral("case"));
}

void ViewerWindow::toggleWhole()
{
    toggleMainOption(SearchForm::Option::WholeWord, QStringLiteral("whole"));
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
    document.setPlainText(ViewerText::toView(m_buffer.text()));
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        reportFailure(QStringLiteral("There was a printer error."), MessageIcon::Warning,
                      QStringLiteral("Error"), LogSource::viewerPrinter,
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
    if (!loadDocument(QDir::toNativeSeparators(report), LogSource::viewerToolBar))
        return;
    setWindowTitle(QStringLiteral("Viewing document: ") + QDir::toNativeSeparators(report));
    setStatus(2, QStringLiteral(" Viewing document: ") + m_buffer.fileName());
}

void ViewerWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutControls();
}

void ViewerWindow::layoutControls()
{
    if (!isMinimized())
        placeControls(m_findWidth);
}

void ViewerWindow::popupFind()
{
    m_ctx.state.stopRequested = false;
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
                  QStringLiteral("Error"), LogSource::viewerRenameFile, description);
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
