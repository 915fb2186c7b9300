#include "ViewerWindow.h"

#include "ui/dialogs/LargeSearchDialog.h"
#include "engine/MainPort.h"
#include "engine/MatchPrimitives.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/SettingsStore.h"
#include "ViewerText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kStop = QStringLiteral("Stop");
const QString kFindNormalKey = QStringLiteral("Software\\Scrivlane\\Find\\Normal");
const QString kFindFuzzyKey = QStringLiteral("Software\\Scrivlane\\Find\\Fuzzy");
const QString kReplaceNormalKey = QStringLiteral("Software\\Scrivlane\\Replace\\Normal");
const QString kReplaceFuzzyKey = QStringLiteral("Software\\Scrivlane\\Replace\\Fuzzy");
const QString kWordWrapKey = QStringLiteral("Software\\Scrivlane\\Word Wrap");
const QString kFontsKey = QStringLiteral("Software\\Scrivlane\\Fonts");
const QString kSource = QStringLiteral("-frmViewer.frm");
constexpr int kHistorySize = 10;

int px(int twips)
{
    return twips / 15;
}

int twips(int pixels)
{
    return pixels * 15;
}

QString cr()
{
    return QStringLiteral("\r");
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

QStringList entries(const QComboBox *box, int limit = -1)
{
    QStringList list;
    const int count = limit < 0 ? box->count() : qMin(box->count(), limit);
    for (int i = 0; i < count; ++i)
        list << box->itemText(i);
    return list;
}

/// The history rule of the main window: a repeated text swaps places with the
/// top entry, a new one goes on top. Returns whether the text was already listed.
bool pushHistory(QComboBox *box, const QString &text)
{
    if (text.isEmpty())
        return false;
    const int k = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (k >= 0) {
        if (k > 0) {
            const QString top = box->itemText(0);
            box->setItemText(0, text);
            box->setItemText(k, top);
        }
        box->setCurrentIndex(0);
        return true;
    }
    box->insertItem(0, text);
    box->setCurrentIndex(0);
    return false;
}

void cutHistory(QComboBox *box)
{
    const QString text = box->currentText();
    while (box->count() > kHistorySize)
        box->removeItem(box->count() - 1);
    box->setEditText(text);
}

void writeSlots(const QString &key, const QString &valueName, const QComboBox *box)
{
    for (int i = 0; i < kHistorySize; ++i)
        SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, key,
                                      valueName + QString::number(i),
                                      i < box->count() ? box->itemText(i) : QString());
}

void refill(QComboBox *target, const QComboBox *source)
{
    if (!target)
        return;
    target->clear();
    for (int i = 0; i < qMin(source->count(), kHistorySize); ++i) {
        if (!source->itemText(i).isEmpty())
            target->addItem(source->itemText(i));
    }
    target->setEditText(source->currentText());
}

/// Moves entry k to the top, the entries before it down one place.
void rotateToTop(QComboBox *box, int k)
{
    if (!box || k <= 0 || k >= box->count())
        return;
    const QString chosen = box->itemText(k);
    for (int i = k; i > 0; --i)
        box->setItemText(i, box->itemText(i - 1));
    box->setItemText(0, chosen);
}

}  // namespace

ViewerWindow::ViewerWindow(RunContext &ctx, QWidget *mainWindow)
    : QMainWindow(nullptr), m_ctx(ctx), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmViewer"));
    setWindowTitle(QStringLiteral(" Scrivlane - View source"));
    rtbHold = new DocumentBuffer(this);
    rtbHold->setObjectName(QStringLiteral("rtbHold"));
    buildControls();
    resize(px(11000), px(8000));

    connect(&m_buffer, &DocumentBuffer::textReplaced, this, [this] {
        if (!m_syncing) {
            m_userTyped = false;
            syncViewFromBuffer();
        }
        rtbDefault_Change();
    });
    connect(&m_buffer, &DocumentBuffer::selectionChanged, this,
            [this] { syncSelectionFromBuffer(); });
    qApp->installEventFilter(this);
    applyRightMargin();
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
    buildToolBar();
    buildMovebar();

    cboFind = new QComboBox(Command1);
    cboFind->setObjectName(QStringLiteral("cboFind"));
    cboFind2 = new QComboBox(Command1);
    cboFind2->setObjectName(QStringLiteral("cboFind2"));
    cboReplace = new QComboBox(Command1);
    cboReplace->setObjectName(QStringLiteral("cboReplace"));
    for (QComboBox *box : {cboFind, cboFind2, cboReplace}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(kHistorySize);
    }
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

    txtnewPos = new QLineEdit(Command1);
    txtnewPos->setObjectName(QStringLiteral("txtnewPos"));
    txtnewPos->hide();
    chkMax = new QCheckBox(QStringLiteral("Resize txtbox"), Command1);
    chkMax->setObjectName(QStringLiteral("chkMax"));
    chkMax->hide();

    rtbDefaultView = new QPlainTextEdit(Command1);
    rtbDefaultView->setObjectName(QStringLiteral("rtbDefault"));
    connect(rtbDefaultView, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            writeViewToBuffer();
    });
    connect(rtbDefaultView, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_syncing)
            writeSelectionToBuffer();
    });
    connect(rtbDefaultView, &QPlainTextEdit::selectionChanged, this, [this] {
        if (!m_syncing)
            writeSelectionToBuffer();
    });

    buildPopup();
}

void ViewerWindow::buildToolBar()
{
    ToolBar = new QMenuBar(Picture2);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setNativeMenuBar(false);

    struct Tool {
        const char *key;
        const char *caption;
        const char *hint;
    };
    auto addTools = [this](QWidget *band, std::initializer_list<Tool> tools) {
        for (const Tool &t : tools) {
            auto action = new QAction(QString::fromUtf8(t.caption), band);
            action->setObjectName(QString::fromUtf8(t.key));
            const QString hint = QString::fromUtf8(t.hint);
            connect(action, &QAction::hovered, this, [this, hint] {
                if (QAction *c = tool(QStringLiteral("subFont"), QStringLiteral("case")))
                    c->setChecked(mainBox("chkSensitive") && mainBox("chkSensitive")->isChecked());
                if (QAction *w = tool(QStringLiteral("subFont"), QStringLiteral("whole")))
                    w->setChecked(mainBox("chkWhole") && mainBox("chkWhole")->isChecked());
                setStatus(2, hint);
            });
            const QString key = QString::fromUtf8(t.key);
            connect(action, &QAction::triggered, this, [this, key, action] {
                runToolBarTool(key, action);
            });
            band->addAction(action);
        }
    };

    subFile = new QMenu(QStringLiteral("&File"), ToolBar);
    subFile->setObjectName(QStringLiteral("subFile"));
    addTools(subFile,
             {{"open", "&Open", " Click here to load a file into the File Viewer."},
              {"save", "Save Current File",
               " Click here to save the current file with it's original name."},
              {"saveAs", "Save As...", " Click here to save the current file with a new name."},
              {"print", "Print...", " Click here to print the current file."},
              {"exit", "E&xit", " Click here to close the File Viewer and return to the main form."}});
    subFont = new QMenu(QStringLiteral("&Options"), ToolBar);
    subFont->setObjectName(QStringLiteral("subFont"));
    addTools(subFont,
             {{"resize", "Hide File Info", " Click here to show or hide the current file info."},
              {"case", "Case Sensitive", " Click here to turn on/off the Case Sensitive option."},
              {"whole", "Whole Word", " Click here to turn on/off the Whole Word option."},
              {"bigger", "Bigger Font", " Click here to make the font one size bigger."},
              {"smaller", "Smaller Font", " Click here to make the font one size smaller."},
              {"setfont", "Set Fonts", " Click here to set the type of font you want to use."}});
    tool(QStringLiteral("subFont"), QStringLiteral("case"))->setCheckable(true);
    tool(QStringLiteral("subFont"), QStringLiteral("whole"))->setCheckable(true);
    subSearch = new QMenu(QStringLiteral("&Search"), ToolBar);
    subSearch->setObjectName(QStringLiteral("subSearch"));
    addTools(subSearch,
             {{"find", "Find", " Click here to find the first occurrence of the search word."},
              {"findnext", "Find Next", " Click here to find the next occurrence of the search word."},
              {"replace", "&Replace", " Click here to make a manual replacement in the current file."}});
    for (QMenu *menu : {subFile, subFont, subSearch}) {
        ToolBar->addMenu(menu);
    }
    addTools(ToolBar,
             {{"report", "Show Last Report", " Click here to view the last replacement report."},
              {"wordwrap", "Word Wrap", " Click here to turn on/off the word wrap option."}});
}

void ViewerWindow::buildMovebar()
{
    Movebar = new QToolBar(Picture3);
    Movebar->setObjectName(QStringLiteral("Movebar"));
    Movebar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Tool {
        const char *key;
        const char *caption;
        QStyle::StandardPixmap icon;
        const char *hint2;
        const char *hint1;
    };
    const Tool tools[] = {
        {"up", "Previous File", QStyle::SP_ArrowUp,
         " Click here to move to the previous file in the list.", nullptr},
        {"down", "Next File", QStyle::SP_ArrowDown,
         " Click here to move to the next file in the list.", nullptr},
        {"findNext", "Find Next", QStyle::SP_FileDialogContentsView, nullptr, " CTRL+F"},
        {"replace", "Replace", QStyle::SP_BrowserReload,
         " Click here to make a manual replacement in the current file.", " CTRL+R"},
        {"exit", "Exit", QStyle::SP_DialogCloseButton,
         " Click here to close the File Viewer and return to the main form.", " CTRL+Q"},
    };
    for (const Tool &t : tools) {
        auto action = new QAction(style()->standardIcon(t.icon), QString::fromUtf8(t.caption),
                                  Movebar);
        const QString key = QString::fromUtf8(t.key);
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(t.caption));
        Movebar->addAction(action);
        QWidget *button = Movebar->widgetForAction(action);
        button->setObjectName(key + QStringLiteral("Button"));
        button->setProperty("hint2", t.hint2 ? QString::fromUtf8(t.hint2) : QString());
        button->setProperty("hint1", t.hint1 ? QString::fromUtf8(t.hint1) : QString());
        connect(action, &QAction::triggered, this, [this, key] { runMovebarTool(key); });
    }
}

void ViewerWindow::buildPopup()
{
    PopUpToolBar = new QMenu(this);
    PopUpToolBar->setObjectName(QStringLiteral("FileOptions"));
    struct Tool {
        const char *key;
        const char *caption;
        const char *hint;
    };
    const Tool tools[] = {
        {"find", "Find", " This will find the first occurrence in the selected file."},
        {"open", "Open File", " This will open the selected file with the default program."},
        {"copyPath", "Copy Path", " This will copy the path of the selected file to the clipboard."},
        {"rename", "Rename", " This will allow you to rename the currently selected file."},
        {"deleteFile", "Delete",
         " This will delete the currently selected file, not send it to the recycle bin."},
    };
    for (const Tool &t : tools) {
        auto action = new QAction(QString::fromUtf8(t.caption), PopUpToolBar);
        const QString key = QString::fromUtf8(t.key);
        action->setObjectName(key);
        const QString hint = QString::fromUtf8(t.hint);
        connect(action, &QAction::hovered, this, [this, hint] { setStatus(2, hint); });
        connect(action, &QAction::triggered, this, [this, key] {
            if (key == QLatin1String("find"))
                popupFind();
            else if (key == QLatin1String("open"))
                popupOpen();
            else if (key == QLatin1String("copyPath"))
                popupCopyPath();
            else if (key == QLatin1String("rename"))
                popupRename();
            else if (key == QLatin1String("deleteFile"))
                popupDeleteFile();
        });
        PopUpToolBar->addAction(action);
    }
}

QAction *ViewerWindow::tool(const QString &band, const QString &key) const
{
    QObject *owner = nullptr;
    if (band == QLatin1String("Main"))
        owner = ToolBar;
    else if (band == QLatin1String("subFile"))
        owner = subFile;
    else if (band == QLatin1String("subFont"))
        owner = subFont;
    else if (band == QLatin1String("subSearch"))
        owner = subSearch;
    else if (band == QLatin1String("Movebar"))
        owner = Movebar;
    else if (band == QLatin1String("FileOptions"))
        owner = PopUpToolBar;
    return owner ? owner->findChild<QAction *>(key, Qt::FindDirectChildrenOnly) : nullptr;
}

void ViewerWindow::runToolBarTool(const QString &key, QAction *action)
{
    if (key == QLatin1String("open")) {
        openFile();
    } else if (key == QLatin1String("save")) {
        SaveCurrent();
    } else if (key == QLatin1String("saveAs")) {
        saveAs();
    } else if (key == QLatin1String("print")) {
        print();
    } else if (key == QLatin1String("exit")) {
        hideViewer();
    } else if (key == QLatin1String("resize")) {
        Q_UNUSED(action);
        toggleFileInfo();
    } else if (key == QLatin1String("case")) {
        toggleCase();
    } else if (key == QLatin1String("whole")) {
        toggleWhole();
    } else if (key == QLatin1String("bigger")) {
        biggerFont();
    } else if (key == QLatin1String("smaller")) {
        smallerFont();
    } else if (key == QLatin1String("setfont")) {
        setFonts();
    } else if (key == QLatin1String("find")) {
        Find_First();
    } else if (key == QLatin1String("findnext")) {
        mnuFindNext_Click();
    } else if (key == QLatin1String("replace")) {
        ReplaceCurrent();
    } else if (key == QLatin1String("report")) {
        showLastReport();
    } else if (key == QLatin1String("wordwrap")) {
        toggleWordWrap();
    }
    ToolBar->adjustSize();
    ToolBar->update();
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

QComboBox *ViewerWindow::mainCombo(const char *name) const
{
    return m_mainWindow ? m_mainWindow->findChild<QComboBox *>(QString::fromLatin1(name))
                        : nullptr;
}

QCheckBox *ViewerWindow::mainBox(const char *name) const
{
    return m_mainWindow ? m_mainWindow->findChild<QCheckBox *>(QString::fromLatin1(name))
                        : nullptr;
}

QString ViewerWindow::mainText(const char *name) const
{
    const QComboBox *box = mainCombo(name);
    return box ? box->currentText() : QString();
}

bool ViewerWindow::isFuzzyMode() const
{
    if (m_mainWindow) {
        if (auto fuzzy = m_mainWindow->findChild<QRadioButton *>(QStringLiteral("chkFuzzy")))
            return fuzzy->isChecked();
    }
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
    ErrorLog::LogError(source, description, m_ctx.dialogs);
}

// ---- ViewerPort ----

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

// ---- The visible text mirrors the buffer ----

void ViewerWindow::syncViewFromBuffer()
{
    if (!isVisible() || m_ctx.state.RunInProgress) {
        // A run loads many files; lay out only what is shown once it ends.
        m_viewStale = true;
        if (isVisible() && !m_syncScheduled) {
            m_syncScheduled = true;
            QTimer::singleShot(0, this, [this] {
                m_syncScheduled = false;
                if (m_viewStale)
                    syncViewFromBuffer();
            });
        }
        return;
    }
    m_viewStale = false;
    m_syncing = true;
    m_viewText = ViewerText::toView(m_buffer.Text());
    rtbDefaultView->setPlainText(m_viewText);
    const QString shown = ViewerText::fromDocument(rtbDefaultView->document()->toRawText());
    if (shown != m_viewText) {
        // The control changed a character on the way in. Same length: positions still
        // match, so edits stay local. Otherwise an edit could not be mapped back safely.
        if (shown.size() == m_viewText.size())
            m_viewText = shown;
        else
            rtbDefaultView->setReadOnly(true);
    } else {
        rtbDefaultView->setReadOnly(false);
    }
    m_syncing = false;
    syncSelectionFromBuffer();
}

void ViewerWindow::syncSelectionFromBuffer()
{
    if (m_syncing || m_viewStale || !isVisible())
        return;
    const QString &text = m_buffer.Text();
    const int start = ViewerText::toViewPosition(text, m_buffer.SelStart());
    const int end = ViewerText::toViewPosition(text, m_buffer.SelStart() + m_buffer.SelLength());
    m_syncing = true;
    QTextCursor cursor = rtbDefaultView->textCursor();
    cursor.setPosition(qMin(start, int(m_viewText.size())));
    cursor.setPosition(qMin(end, int(m_viewText.size())), QTextCursor::KeepAnchor);
    rtbDefaultView->setTextCursor(cursor);
    rtbDefaultView->ensureCursorVisible();
    m_syncing = false;
}

void ViewerWindow::writeViewToBuffer()
{
    const QString view = ViewerText::fromDocument(rtbDefaultView->document()->toRawText());
    const QString merged = ViewerText::mergeEdit(m_buffer.Text(), m_viewText, view);
    m_viewText = view;
    m_syncing = true;
    m_buffer.setText(merged);
    m_syncing = false;
    m_userTyped = true;
    writeSelectionToBuffer();
}

void ViewerWindow::writeSelectionToBuffer()
{
    const QTextCursor cursor = rtbDefaultView->textCursor();
    const QString &text = m_buffer.Text();
    const qint32 start = ViewerText::toBufferPosition(text, cursor.selectionStart());
    const qint32 end = ViewerText::toBufferPosition(text, cursor.selectionEnd());
    m_syncing = true;
    m_buffer.setSelStart(start);
    m_buffer.setSelLength(end - start);
    m_syncing = false;
}

void ViewerWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_viewStale)
        syncViewFromBuffer();
}

// ---- Document list and navigation ----

void ViewerWindow::Form_Activate()
{
    try {
        setStatus(2, QString());
        m_ctx.state.RunInProgress = false;
        if (m_viewStale)
            syncViewFromBuffer();
        Label1->setText(QString::number(List1->count()));
        layoutControls();
        if (isFuzzyMode()) {
            m_findWidth = 1410;
            cboFind2->show();
            cboFind->setEditText(mainText("cboFirst"));
            cboFind2->setEditText(mainText("cboSecond"));
            cboReplace->setEditText(mainText("cboFuzzyReplace"));
        } else {
            m_findWidth = 2370;
            cboFind2->hide();
            cboFind->setEditText(mainText("txtFind"));
            cboReplace->setEditText(mainText("txtReplace"));
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
        m_buffer.LoadFile(path);
        rtbHold->setText(m_buffer.Text());
        m_userTyped = false;
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
    PromptSaveModified();
    if (m_tag == kStop) {
        m_tag.clear();
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

QString ViewerWindow::kilobytes(qint64 bytes)
{
    // "##.0": no digit before the point below 1 KB, one rounded decimal.
    const qint64 tenths = std::llround(double(bytes) * 10.0 / 1024.0);
    const qint64 whole = tenths / 10;
    return (whole ? QString::number(whole) : QString()) + QLocale::system().decimalPoint() +
           QString::number(tenths % 10) + QStringLiteral(" KB");
}

void ViewerWindow::showFileInfo(const QString &path)
{
    try {
        const QByteArray native = FileSystem::nativePath(path);
        struct stat info {};
        if (::stat(native.constData(), &info) != 0)
            return;
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(qint64(info.st_mtime));
        lblFileDate->setText(QLocale::system().toString(modified.date(), QLocale::LongFormat));
        lblFileLen->setText(kilobytes(qint64(info.st_size)));
    } catch (const std::exception &) {
        // The information is a courtesy; a file that vanished leaves the old values.
    }
}

void ViewerWindow::updateFileModified()
{
    const QString &text = m_buffer.Text();
    const QString &hold = rtbHold->Text();
    if (text != hold) {
        // Typing into a document that was loaded empty counts as a change as well.
        if (!hold.isEmpty() || m_userTyped)
            FileModified = true;
    } else {
        FileModified = false;
    }
}

bool ViewerWindow::saveDocument(const QString &path, const QString &source)
{
    try {
        m_buffer.SaveFile(path);
        return true;
    } catch (const std::exception &e) {
        reportFailure(ErrorLog::exactErrorMessage(
                          QStringLiteral("There was an error while saving the file."), describe(e)),
                      MessageIcon::Error, QStringLiteral("Error"), source + kSource, describe(e));
        return false;
    }
}

void ViewerWindow::markSaved()
{
    rtbHold->setText(m_buffer.Text());
    FileModified = false;
    m_userTyped = false;
}

void ViewerWindow::promptSave(bool resetAttributes)
{
    // Typing marks the document too, so that no unsaved typing is dropped unasked.
    if (m_userTyped && m_buffer.Text() != rtbHold->Text())
        FileModified = true;
    if (!FileModified)
        return;
    const QString path = m_buffer.FileName();
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("This file has been modified.") + cr() +
            QStringLiteral("Would you like to save this as ") + path + QStringLiteral(" ?"),
        QStringLiteral(" Save"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::Yes);
    if (answer == MessageAnswer::Yes) {
        if (resetAttributes) {
            try {
                FileSystem::clearAttributes(path);
            } catch (const std::exception &) {
                // The save below reports why the file cannot be written.
            }
        }
        if (!saveDocument(path, QStringLiteral("PromptSaveModified")))
            return;
        markSaved();
        return;
    }
    FileModified = false;
    m_userTyped = false;
}

void ViewerWindow::PromptSaveModified()
{
    promptSave(false);
}

void ViewerWindow::PromptSaveModifiedResettingAttributes()
{
    promptSave(true);
}

void ViewerWindow::previousFile()
{
    m_ctx.state.StopRequested = false;
    PromptSaveModified();
    const int count = List1->count();
    if (count == 0)
        return;
    const int row = List1->currentRow();
    List1->setCurrentRow(row > 0 ? row - 1 : count - 1);
}

void ViewerWindow::nextFile()
{
    m_ctx.state.StopRequested = false;
    PromptSaveModified();
    const int count = List1->count();
    if (count == 0)
        return;
    const int row = List1->currentRow();
    List1->setCurrentRow(row < count - 1 ? row + 1 : 0);
}

void ViewerWindow::closeViewer()
{
    m_ctx.state.StopRequested = true;
    // The list goes; unsaved changes of the shown document are offered first.
    PromptSaveModified();
    SearchStart = 0;
    FoundPos = 0;
    txtnewPos->setText(QStringLiteral("0"));
    hide();
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    Label1->setText(QStringLiteral("0"));
    List1->clear();
    FileModified = false;
}

void ViewerWindow::openFile()
{
    PromptSaveModified();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"),
                                                      Paths::applicationFolder(),
                                                      QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    openPath(QDir::toNativeSeparators(path));
}

void ViewerWindow::openPath(const QString &path)
{
    PromptSaveModified();
    try {
        m_buffer.LoadFile(path);
        rtbHold->setText(m_buffer.Text());
        m_userTyped = false;
    } catch (const std::exception &) {
        return;  // The open command ends silently when the file cannot be read.
    }
    List1->addItem(path);
    List1->setCurrentRow(List1->count() - 1);
    Label1->setText(QString::number(List1->count()));
}

void ViewerWindow::SaveCurrent()
{
    const QString path = m_buffer.FileName();
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("Save this as ") + path + QStringLiteral("?"), QStringLiteral(" Save"),
        MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
    if (answer != MessageAnswer::Yes)
        return;
    if (saveDocument(path, QStringLiteral("SaveCurrent")))
        markSaved();
}

void ViewerWindow::saveAs()
{
    const QString proposed = QDir(Paths::applicationFolder())
                                 .filePath(nameAfterLastSeparator(m_buffer.FileName()));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), proposed,
                                                      QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    saveAsPath(QDir::toNativeSeparators(path));
}

void ViewerWindow::saveAsPath(const QString &path)
{
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("Save the current file as ") + path + QStringLiteral("?"),
        QStringLiteral(" Save as"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::Yes);
    if (answer == MessageAnswer::Yes)
        saveDocument(path, QStringLiteral("SaveAs"));
}

void ViewerWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window only hides it; the list and the document stay.
    event->ignore();
    hide();
}

// ---- Find and replace ----

bool ViewerWindow::checkFindInput(bool fromFindNext)
{
    const bool fuzzy = isFuzzyMode();
    QComboBox *empty = nullptr;
    if (cboFind->currentText().isEmpty())
        empty = cboFind;
    else if (fuzzy && cboFind2->currentText().isEmpty())
        empty = cboFind2;
    if (!empty)
        return true;
    m_ctx.dialogs->message(QStringLiteral("You must enter something to search for."),
                           QStringLiteral("Error"), MessageButtons::Ok, MessageIcon::Information);
    if (fromFindNext) {
        setStatus(2, QStringLiteral(" "));
        setStatus(1, fuzzy ? QStringLiteral("Scrivlane") : QStringLiteral(" Scrivlane"));
        empty->setFocus();
    } else {
        cboFind->setFocus();
    }
    return false;
}

void ViewerWindow::Find_First()
{
    if (!checkFindInput(false))
        return;
    qint32 start = 0;
    FoundPos = isFuzzyMode() ? Find_Fuzzy(m_ctx, start) : Find_Normal(m_ctx, start);
    if (m_ctx.state.StopRequested)
        return;
    if (FoundPos == -1) {
        m_ctx.dialogs->message(QStringLiteral("Finished searching through all selected documents."),
                               QStringLiteral(" Search complete"), MessageButtons::Ok,
                               MessageIcon::Information);
    }
    rtbDefaultView->setFocus();
}

void ViewerWindow::mnuFindNext_Click()
{
    // One pass per file: search on from txtnewPos; on no match go on with the
    // next entry until a match, the end of the list or a stop.
    bool inputChecked = false;
    bool skipSearch = false;
    for (;;) {
        m_ctx.state.PartsSource = QStringLiteral("Template");
        updateFileModified();
        if (!inputChecked) {
            if (!checkFindInput(true)) {
                m_ctx.state.PartsSource.clear();
                return;
            }
            Save_SearchCharHere();
            Save_ReplaceCharHere();
            inputChecked = true;
        }
        const bool fuzzy = isFuzzyMode();
        if (!skipSearch) {
            if (m_buffer.Text().isEmpty()) {
                m_ctx.state.PartsSource.clear();
                finishFindNext(false);
                return;
            }
            bool ok = false;
            SearchStart = txtnewPos->text().toInt(&ok);
            if (!ok || SearchStart < 0)
                SearchStart = 0;
            setStatus(2, QStringLiteral(" Searching through document: ") + m_buffer.FileName());
            FoundPos = fuzzy ? Find_Fuzzy(m_ctx, SearchStart) : Find_Normal(m_ctx, SearchStart);
            m_ctx.state.PartsSource.clear();
            if (m_ctx.state.StopRequested)
                return;
            if (FoundPos != -1) {
                finishFindNext(true);
                return;
            }
        }
        m_ctx.state.PartsSource.clear();
        skipSearch = false;

        if (m_ctx.main)
            m_ctx.main->yieldToEvents();
        if (m_ctx.state.StopRequested)
            return;
        const int count = List1->count();
        const int row = List1->currentRow();
        if (row >= count - 1) {
            PromptSaveModifiedResettingAttributes();
            m_ctx.dialogs->message(
                QStringLiteral("Finished searching through all selected documents."),
                QStringLiteral(" Search complete"), MessageButtons::Ok, MessageIcon::Information);
            FoundPos = -1;
            SearchStart = 0;
            m_buffer.setSelLength(0);
            txtnewPos->setText(QStringLiteral("-1"));
            if (count > 0) {
                if (List1->currentRow() != 0) {
                    List1->setCurrentRow(0);
                } else {
                    loadDocument(List1->item(0)->text(), QStringLiteral("mnuFindNext_Click"));
                    txtnewPos->setText(QStringLiteral("-1"));
                }
            }
            return;
        }
        if (FileModified)
            PromptSaveModifiedResettingAttributes();
        // The walk loads the entry itself; the selection reaction only clears the marker.
        m_tag = kStop;
        List1->setCurrentRow(row + 1);
        if (m_tag == kStop)
            m_tag.clear();
        SearchStart = 0;
        const QString path = List1->item(row + 1)->text();
        const bool loaded = loadDocument(path, QStringLiteral("mnuFindNext_Click"));
        setStatus(2, QStringLiteral(" Searching through document: ") + path);
        setWindowTitle(QStringLiteral("Viewing document: ") + path);
        showFileInfo(path);
        txtnewPos->setText(QString::number(SearchStart));
        lblIndex->setText(QString::number(row + 2));
        // A file that cannot be read is passed over rather than searched in the old text.
        skipSearch = !loaded;
    }
}

void ViewerWindow::finishFindNext(bool matched)
{
    if (matched)
        setWindowTitle(QStringLiteral("Viewing document: ") + m_buffer.FileName());
    txtnewPos->setText(QString::number(SearchStart));
    if (List1->count() == 0) {
        m_ctx.dialogs->message(QStringLiteral("Please select the files that you want to edit."),
                               QStringLiteral(" No files selected"), MessageButtons::Ok,
                               MessageIcon::Information);
    } else {
        rtbDefaultView->setFocus();
    }
}

void ViewerWindow::ReplaceCurrent()
{
    const QString replacement = cboReplace->currentText();
    const bool selected = m_buffer.SelLength() > 0;
    if (!replacement.isEmpty()) {
        if (selected) {
            m_buffer.setSelText(replacement);
            rtbDefaultView->setFocus();
            FileModified = true;
        }
    } else {
        if (selected) {
            const MessageAnswer answer = m_ctx.dialogs->message(
                QStringLiteral("You have chosen to replace the string with nothing.") + cr() +
                    QStringLiteral("This action cannot be undone.") + cr() + cr() +
                    QStringLiteral("Continue with the Replacement operation??"),
                QStringLiteral(" Replace with nothing?"), MessageButtons::YesNo,
                MessageIcon::Question, MessageAnswer::Yes);
            if (answer == MessageAnswer::Yes) {
                m_buffer.setSelText(QString());
                rtbDefaultView->setFocus();
                FileModified = true;
            }
        } else {
            m_ctx.dialogs->message(QStringLiteral("There is no search text highlighted."),
                                   QStringLiteral(" Replacement error"), MessageButtons::Ok,
                                   MessageIcon::Information);
        }
        cboReplace->setFocus();
    }
    txtnewPos->setText(QString::number(m_buffer.SelStart() + m_buffer.SelLength()));
}

void ViewerWindow::Save_SearchCharHere()
{
    if (isFuzzyMode()) {
        const QString first = cboFind->currentText();
        const QString second = cboFind2->currentText();
        pushHistory(cboFind, first);
        pushHistory(cboFind2, second);
        SettingsStore::DeleteRegKey(SettingsStore::HKEY_CURRENT_USER, kFindFuzzyKey);
        writeSlots(kFindFuzzyKey, QStringLiteral("FirstChar"), cboFind);
        writeSlots(kFindFuzzyKey, QStringLiteral("SecondChar"), cboFind2);
        cutHistory(cboFind);
        cutHistory(cboFind2);
        refill(mainCombo("cboFirst"), cboFind);
        refill(mainCombo("cboSecond"), cboFind2);
        refill(mainCombo("cboFuzzyReplace"), cboReplace);
    } else {
        pushHistory(cboFind, cboFind->currentText());
        SettingsStore::DeleteRegKey(SettingsStore::HKEY_CURRENT_USER, kFindNormalKey);
        for (int i = 0; i < cboFind->count(); ++i)
            SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, kFindNormalKey,
                                          QStringLiteral("Char") + QString::number(i),
                                          cboFind->itemText(i));
        cutHistory(cboFind);
        refill(mainCombo("txtFind"), cboFind);
        refill(mainCombo("txtReplace"), cboReplace);
    }
}

void ViewerWindow::Save_ReplaceCharHere()
{
    const bool fuzzy = isFuzzyMode();
    const QString text = cboReplace->currentText();
    const bool listed =
        !text.isEmpty() && entries(cboReplace, kHistorySize).contains(text);
    if (listed && !fuzzy)
        return;
    if (!listed && !text.isEmpty()) {
        cboReplace->insertItem(0, text);
        cboReplace->setCurrentIndex(0);
    }
    const QString key = fuzzy ? kReplaceFuzzyKey : kReplaceNormalKey;
    SettingsStore::DeleteRegKey(SettingsStore::HKEY_CURRENT_USER, key);
    writeSlots(key, QStringLiteral("ReplaceChar"), cboReplace);
    cutHistory(cboReplace);
    if (!fuzzy) {
        refill(mainCombo("txtFind"), cboFind);
        refill(mainCombo("txtReplace"), cboReplace);
    }
}

void ViewerWindow::pickEntry(QComboBox *box, int k, const char *mainName, const QString &key,
                             const QString &valueName)
{
    if (k < 0 || k >= box->count())
        return;
    rotateToTop(box, k);
    QComboBox *main = mainCombo(mainName);
    rotateToTop(main, k);
    for (int i = k; i >= 0; --i)
        SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, key,
                                      valueName + QString::number(i), box->itemText(i));
    box->setCurrentIndex(0);
    box->setEditText(box->itemText(0));
    if (main && main->count() > 0) {
        main->setCurrentIndex(0);
        main->setEditText(main->itemText(0));
    }
}

void ViewerWindow::cboFind_Click(int index)
{
    if (isFuzzyMode())
        pickEntry(cboFind, index, "cboFirst", kFindFuzzyKey, QStringLiteral("FirstChar"));
    else
        pickEntry(cboFind, index, "txtFind", kFindNormalKey, QStringLiteral("Char"));
}

void ViewerWindow::cboFind2_Click(int index)
{
    if (isFuzzyMode())
        pickEntry(cboFind2, index, "cboSecond", kFindFuzzyKey, QStringLiteral("SecondChar"));
}

void ViewerWindow::cboReplace_Click(int index)
{
    if (isFuzzyMode())
        pickEntry(cboReplace, index, "cboFuzzyReplace", kReplaceFuzzyKey,
                  QStringLiteral("ReplaceChar"));
    else
        pickEntry(cboReplace, index, "txtReplace", kReplaceNormalKey, QStringLiteral("ReplaceChar"));
}

LargeSearchDialog *ViewerWindow::largeSearchDialog()
{
    if (!m_largeSearch)
        m_largeSearch = new LargeSearchDialog(m_ctx, m_mainWindow, this);
    return m_largeSearch;
}

void ViewerWindow::openLargeSearch(bool fromFindBox)
{
    LargeSearchDialog *dialog = largeSearchDialog();
    if (isFuzzyMode()) {
        dialog->chkfuzz->setChecked(true);
        dialog->rtbFirstFuzz->setPlainText(mainText("cboFirst"));
        dialog->rtbSecondFuzz->setPlainText(mainText("cboSecond"));
    } else {
        dialog->chkfuzz->setChecked(false);
        dialog->rtbFirstFuzz->setPlainText(mainText("txtFind"));
        dialog->rtbSecondFuzz->setPlainText(mainText("txtReplace"));
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

// ---- Display, printing and report ----

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
    QCheckBox *box = mainBox(boxName);
    QAction *action = tool(QStringLiteral("subFont"), toolKey);
    if (!box)
        return;
    // click() rather than setChecked(), so that the main window stores the option.
    const bool wasChecked = box->isChecked();
    box->click();
    if (box->isChecked() == wasChecked)
        box->setChecked(!wasChecked);
    action->setChecked(!wasChecked);
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

void ViewerWindow::stepFont(int points)
{
    QFont font = rtbDefaultView->font();
    const qreal size = font.pointSizeF() + points;
    if (size < 1)
        return;
    font.setPointSizeF(size);
    rtbDefaultView->setFont(font);
}

void ViewerWindow::biggerFont()
{
    stepFont(1);
}

void ViewerWindow::smallerFont()
{
    stepFont(-1);
}

void ViewerWindow::setFonts()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, rtbDefaultView->font(), this);
    if (ok)
        rtbDefaultView->setFont(font);
}

void ViewerWindow::setRightMargin(int margin)
{
    m_rightMargin = margin;
    applyRightMargin();
}

void ViewerWindow::applyRightMargin()
{
    // 0 wraps at the window's edge; any other margin is far beyond it: no wrap.
    rtbDefaultView->setLineWrapMode(m_rightMargin == 0 ? QPlainTextEdit::WidgetWidth
                                                       : QPlainTextEdit::NoWrap);
    if (QAction *wrap = tool(QStringLiteral("Main"), QStringLiteral("wordwrap"))) {
        wrap->setIcon(style()->standardIcon(m_rightMargin == 0 ? QStyle::SP_DialogYesButton
                                                               : QStyle::SP_DialogNoButton));
        wrap->setData(wordWrapPicture());
    }
}

QString ViewerWindow::wordWrapPicture() const
{
    return m_rightMargin == 0 ? QStringLiteral("on") : QStringLiteral("off");
}

void ViewerWindow::toggleWordWrap()
{
    const bool turnOn = m_rightMargin == NoWrapMargin;
    setRightMargin(turnOn ? 0 : NoWrapMargin);
    SettingsStore::WriteRegString(SettingsStore::HKEY_CURRENT_USER, kWordWrapKey,
                                  QStringLiteral("Word Wrap"),
                                  turnOn ? QStringLiteral("True") : QStringLiteral("False"));
    // Re-wrap only: reloading the file from disk would throw away unsaved typing.
    rtbDefaultView->viewport()->update();
    rtbDefault_Change();
}

void ViewerWindow::ApplyViewerSettings()
{
    const QString wrap = SettingsStore::ReadRegString(
        SettingsStore::HKEY_CURRENT_USER, kWordWrapKey, QStringLiteral("Word Wrap"),
        QStringLiteral("False"));
    bool isNumber = false;
    const int number = wrap.trimmed().toInt(&isNumber);
    const bool on = isNumber ? number != 0 : wrap.trimmed().compare(QLatin1String("True"),
                                                                   Qt::CaseInsensitive) == 0;
    setRightMargin(on ? 0 : NoWrapMargin);

    QFont font = rtbDefaultView->font();
    const QString name = SettingsStore::ReadRegString(
        SettingsStore::HKEY_CURRENT_USER, kFontsKey, QStringLiteral("Fontname"),
        QStringLiteral("Courier New"));
    if (!name.isEmpty()) {
        font.setFamilies({name, QStringLiteral("monospace")});
        font.setStyleHint(QFont::Monospace);
    }
    const QString size = SettingsStore::ReadRegString(
        SettingsStore::HKEY_CURRENT_USER, kFontsKey, QStringLiteral("Fontsize"),
        QStringLiteral("8"));
    const double points = size.toDouble();
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(false);
    rtbDefaultView->setFont(font);
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
    PromptSaveModified();
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
        docTop = 500;
        docHeight = height - 925;
    } else {
        docTop = twips(List1->y() + List1->height()) + 75;
        docHeight = height - 3600;
    }
    if (width - 225 > 0 && docHeight > 0)
        rtbDefaultView->setGeometry(px(100), px(docTop), px(width - 225), px(docHeight));
    rtbDefaultView->raise();
    rtbDefaultView->viewport()->update();
}

// ---- List context menu ----

void ViewerWindow::popupFind()
{
    m_ctx.state.StopRequested = false;
    Find_First();
}

void ViewerWindow::popupOpen()
{
    m_ctx.state.StopRequested = false;
    const QListWidgetItem *item = List1->currentItem();
    if (item)
        QDesktopServices::openUrl(QUrl::fromLocalFile(item->text()));
}

void ViewerWindow::popupCopyPath()
{
    if (const QListWidgetItem *item = List1->currentItem())
        QGuiApplication::clipboard()->setText(item->text());
}

void ViewerWindow::popupRename()
{
    m_ctx.state.StopRequested = false;
    QListWidgetItem *item = List1->currentItem();
    if (!item || item->text().isEmpty())
        return;
    const QString oldPath = item->text();
    const qsizetype cut =
        qMax(oldPath.lastIndexOf(QDir::separator(), oldPath.size() - 2),
             oldPath.lastIndexOf(u'/', oldPath.size() - 2));
    const QString folder = oldPath.left(cut + 1);
    const QString oldName = oldPath.mid(cut + 1);
    const std::optional<QString> answer = m_ctx.dialogs->inputText(
        QStringLiteral("Enter the new name for ") + cr() + oldName, QStringLiteral("Rename file"),
        oldName);
    if (!answer || answer->isEmpty())
        return;
    if (!answer->contains(u'.'))
        return;
    const QString newPath = folder + *answer;
    if (newPath == oldPath)
        return;
    // The shown document is offered for saving under its old name first.
    if (m_buffer.FileName() == oldPath)
        PromptSaveModified();
    try {
        renameFile(oldPath, newPath, *answer);
    } catch (const std::exception &e) {
        // The entry keeps the old path: the file is still there under that name.
        reportFailure(QStringLiteral("There was an error while renaming the file."),
                      MessageIcon::Error, QStringLiteral("Error"),
                      QStringLiteral("PopUpToolBar_Click:RenameFile_Error") + kSource,
                      describe(e));
        return;
    }
    item->setText(newPath);
    List1->update();
    List1_Click();
    if (m_ctx.main)
        m_ctx.main->refreshFileList();
}

void ViewerWindow::renameFile(const QString &oldPath, const QString &newPath,
                              const QString &newName)
{
    if (newName.contains(u'/') || newName.contains(QDir::separator()) ||
        newName == QLatin1String(".") || newName == QLatin1String(".."))
        throw Failure(QStringLiteral("\"%1\" is not a valid file name.").arg(newName));
    if (Paths::isProtectedFolder(oldPath))
        throw Failure(QStringLiteral("\"%1\" is a protected folder.").arg(oldPath));
    const QByteArray from = FileSystem::nativePath(oldPath);
    const QByteArray to = FileSystem::nativePath(newPath);
    struct stat info {};
    if (::lstat(to.constData(), &info) == 0)
        throw Failure(QStringLiteral("A file named \"%1\" already exists.").arg(newPath));
    if (::rename(from.constData(), to.constData()) != 0)
        throw Failure(QStringLiteral("Cannot rename \"%1\": %2")
                          .arg(oldPath, QString::fromLocal8Bit(std::strerror(errno))));
}

void ViewerWindow::popupDeleteFile()
{
    m_ctx.state.StopRequested = false;
    QListWidgetItem *item = List1->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString path = item->text();
    const MessageAnswer answer = m_ctx.dialogs->message(
        QStringLiteral("Are you sure you want to delete ") + path + QStringLiteral("?") + cr() +
            QStringLiteral(
                "This file will be permanently deleted, not sent to the recycle bin.  Continue?"),
        QStringLiteral("Delete file?"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::No);
    if (answer != MessageAnswer::Yes)
        return;
    if (Paths::isProtectedFolder(path) || FileSystem::isFolder(path))
        return;
    try {
        FileSystem::clearAttributes(path);
    } catch (const std::exception &) {
        // Deleting needs only the folder's permission; go on.
    }
    const QByteArray native = FileSystem::nativePath(path);
    if (::unlink(native.constData()) != 0) {
        // The entry stays: the file is still there.
        ErrorLog::LogError(QStringLiteral("PopUpToolBar_Click:DeleteFile") + kSource,
                           QString::fromLocal8Bit(std::strerror(errno)), m_ctx.dialogs);
        return;
    }
    if (m_buffer.FileName() == path) {
        // The user chose to delete it: nothing left to offer for saving.
        FileModified = false;
        m_userTyped = false;
    }
    delete List1->takeItem(List1->row(item));
    List1->update();
    if (List1->count() > 0) {
        if (List1->currentRow() == 0)
            List1_Click();
        else
            List1->setCurrentRow(0);
    }
    Label1->setText(QString::number(List1->count()));
    if (m_ctx.main)
        m_ctx.main->refreshFileList();
}

// ---- Events ----

bool ViewerWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

bool ViewerWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyRelease: {
        auto widget = qobject_cast<QWidget *>(watched);
        auto key = static_cast<QKeyEvent *>(event);
        if (!widget || widget->window() != this || key->isAutoRepeat())
            break;
        const auto mods = key->modifiers() &
                          (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        if (mods != Qt::ControlModifier)
            break;
        switch (key->key()) {
        case Qt::Key_D: toggleFileInfo(); return true;
        case Qt::Key_F: mnuFindNext_Click(); return true;
        case Qt::Key_O: openFile(); return true;
        case Qt::Key_Q: hideViewer(); return true;
        case Qt::Key_R: ReplaceCurrent(); return true;
        case Qt::Key_S: SaveCurrent(); return true;
        default: break;
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
    case QEvent::Enter:
        if (auto widget = qobject_cast<QWidget *>(watched)) {
            if (widget->parent() == Movebar) {
                const QString hint2 = widget->property("hint2").toString();
                const QString hint1 = widget->property("hint1").toString();
                if (!hint2.isEmpty())
                    setStatus(2, hint2);
                if (!hint1.isEmpty())
                    setStatus(1, hint1);
            } else if (widget == cmdViewFind) {
                setStatus(2, QStringLiteral(
                                 " Click here to enter a large search character, like a whole "
                                 "paragraph."));
            } else if (widget == LargeReplaceButton) {
                setStatus(2, QStringLiteral(" Click here to enter a large replacement character, "
                                            "like a whole paragraph."));
            } else if (widget->window() == this && widget != ToolBar &&
                       !qobject_cast<QMenu *>(widget)) {
                setStatus(2, QString());
            }
        }
        break;
    case QEvent::Leave:
        if (auto widget = qobject_cast<QWidget *>(watched)) {
            if (widget->parent() == Movebar) {
                setStatus(2, QString());
                setStatus(1, QStringLiteral("Scrivlane"));
            } else if (widget == ToolBar || qobject_cast<QMenu *>(widget)) {
                setStatus(2, QString());
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
