#include "ViewerWindow.h"

#include "ViewerDisplay.h"
#include "ViewerDocumentFile.h"
#include "ViewerDocumentList.h"
#include "ViewerDocumentView.h"
#include "ViewerFileCommands.h"
#include "ViewerFileInfo.h"
#include "ViewerFit.h"
#include "ViewerForm.h"
#include "ViewerHistory.h"
#include "ViewerKeyFilter.h"
#include "ViewerStatusHints.h"
#include "ViewerToolRouting.h"
#include "ViewerTools.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/HistoryList.h"
#include "ui/RunStatusText.h"
#include "ui/dialogs/LargeSearchDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolBar>

#include <algorithm>

namespace {

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
    m_file = std::make_unique<ViewerDocumentFile>(m_ctx, m_buffer, *heldDocument, *m_view);
    m_fileCommands = std::make_unique<ViewerFileCommands>(
        m_ctx, m_buffer, *m_file, documentEdit, static_cast<ViewerFileCommands::Host &>(*this));
    m_history = std::make_unique<ViewerHistory>(viewerFindBox, viewerSecondPartBox,
                                                viewerReplaceBox, m_form);
    m_search = std::make_unique<ViewerSearch>(
        m_ctx, m_buffer,
        ViewerSearch::Controls{viewerFindBox, viewerSecondPartBox, viewerReplaceBox, &m_searchStart,
                               documentList, fileIndexLabel, documentEdit},
        static_cast<ViewerSearch::Host &>(*this), static_cast<SearchEvents &>(*this));
    m_list = std::make_unique<ViewerDocumentList>(
        m_ctx, m_buffer,
        ViewerDocumentList::Controls{documentList, totalFilesLabel, fileIndexLabel, foundPosLabel,
                                     &m_searchStart},
        static_cast<ViewerDocumentList::Host &>(*this));
    m_fileOperations =
        std::make_unique<ViewerFileOperations>(m_ctx, m_buffer, documentList, totalFilesLabel,
                                               static_cast<ViewerFileOperations::Host &>(*this));
    m_display = std::make_unique<ViewerDisplay>(
        documentEdit, tool(QStringLiteral("viewerMenus"), QStringLiteral("wordwrap")));
    qApp->installEventFilter(new ViewerKeyFilter(*this, documentList, listMenu));
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
    connect(m_tools, &ViewerTools::menuToolTriggered, this, [this](const QString &key) {
        ViewerToolRouting::runMenuTool(*this, key);
        // Laid out again at its full width: the word wrap button stays at the right.
        layoutControls();
        viewerMenus->update();
    });
    connect(m_tools, &ViewerTools::moveToolTriggered, this,
            [this](const QString &key) { ViewerToolRouting::runMoveTool(*this, key); });
    connect(m_tools, &ViewerTools::listToolHovered, this,
            [this](const QString &hint) { setStatus(2, hint); });
    connect(m_tools, &ViewerTools::listToolTriggered, this,
            [this](const QString &key) { ViewerToolRouting::runListTool(*this, key); });
}

QAction *ViewerWindow::tool(const QString &band, const QString &key) const
{
    return m_tools ? m_tools->tool(band, key) : nullptr;
}

void ViewerWindow::resumeFindNext()
{
    m_ctx.state.stopRequested = false;
    findNext();
}

void ViewerWindow::resumeReplace()
{
    m_ctx.state.stopRequested = false;
    replaceCurrent();
}

bool ViewerWindow::isFuzzyMode() const
{
    if (m_form)
        return m_form->isFuzzy();
    return m_ctx.requestSource && m_ctx.requestSource->isFuzzy();
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
    m_list->removeAll();
}

void ViewerWindow::addToList(const QString &path)
{
    m_list->add(path);
}

int ViewerWindow::listCount() const
{
    return m_list->count();
}

QString ViewerWindow::listItem(int index) const
{
    return m_list->entry(index);
}

void ViewerWindow::selectListItem(int index)
{
    m_list->putWaitingInPlace();
    documentList->setCurrentRow(index);
}

void ViewerWindow::setRunTexts(RunStatusText *texts)
{
    m_runTexts = texts;
}

void ViewerWindow::setLabelText(QLabel *label, const QString &text)
{
    if (m_runTexts)
        m_runTexts->setText(label, text);
    else
        label->setText(text);
}

void ViewerWindow::setLabelText(QLabel *label, std::function<QString()> text)
{
    if (m_runTexts)
        m_runTexts->setText(label, std::move(text));
    else
        label->setText(text());
}

void ViewerWindow::setCountLabel(const QString &text)
{
    setLabelText(totalFilesLabel, text);
}

void ViewerWindow::setCountLabel(int count)
{
    setLabelText(totalFilesLabel, [count] { return QString::number(count); });
}

void ViewerWindow::setPosLabel(qint32 position)
{
    setLabelText(foundPosLabel, [position] {
        const QString number = QString::number(position);
        return number.startsWith(QLatin1String("-1")) ? QStringLiteral("Not found") : number;
    });
}

void ViewerWindow::setPosLabel(const QString &text)
{
    setLabelText(foundPosLabel,
                 text.startsWith(QLatin1String("-1")) ? QStringLiteral("Not found") : text);
}

void ViewerWindow::positionShown(qint32 position, qint64 length)
{
    // Every file a run searches has one; the text is made only if it is shown.
    const auto text = [position, length] {
        const QString number = QString::number(position);
        return number.startsWith(QLatin1String("-1"))
                   ? QStringLiteral("Not found")
                   : number + QStringLiteral(" of ") + QString::number(length);
    };
    setLabelText(foundPosLabel, text);
}

void ViewerWindow::searchStartMoved(qint32 start)
{
    m_searchStart = QString::number(start);
}

void ViewerWindow::setIndexLabel(const QString &text)
{
    setLabelText(fileIndexLabel, text);
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
        totalFilesLabel->setText(QString::number(m_list->count()));
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
        m_list->dropPendingSkip();
        reportFailure(QStringLiteral("There was an error while attempting to view the file."),
                      MessageIcon::Error, QStringLiteral("Error"), LogSource::inViewer(source),
                      describe(e));
        return false;
    }
}

void ViewerWindow::showFileInfo(const QString &path)
{
    ViewerFileInfo::show(path, fileDateLabel, fileLengthLabel);
}

void ViewerWindow::closeViewer()
{
    m_ctx.state.stopRequested = true;
    // The list goes; unsaved changes of the shown document are offered first,
    // and stay marked when they could not be saved (the document stays shown).
    const bool settled = offerToSaveChanges();
    m_search->resetPositions();
    m_searchStart = QStringLiteral("0");
    hide();
    if (QWidget *main = mainWindow()) {
        main->show();
        main->raise();
        main->activateWindow();
    }
    m_list->clear();
    m_file->setModified(!settled);
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

void ViewerWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window only hides it; the list and the document stay.
    event->ignore();
    hide();
}

void ViewerWindow::saveHistory()
{
    saveFindHistoryHere();
    saveReplaceHistoryHere();
}

QString ViewerWindow::boxText(Box box) const
{
    return m_history->boxFor(box)->currentText();
}

void ViewerWindow::setBoxText(Box box, const QString &text)
{
    m_history->boxFor(box)->setEditText(text);
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

void ViewerWindow::toggleWordWrap()
{
    m_display->toggleWordWrap();
    documentEdited();
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

QString ViewerWindow::selectedEntry() const
{
    return m_list->entry(documentList->currentRow());
}
