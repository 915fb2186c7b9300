#include "LargeSearchDialog.h"

#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QToolBar>

namespace {

int px(int twips)
{
    return twips / 15;
}

const QString kMainTag = QStringLiteral("Scrivlane");
const QString kViewerTag = QStringLiteral("Template");

QPlainTextEdit *makeBox(const QString &name, QWidget *parent)
{
    auto box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    box->setFont(font);
    return box;
}

}  // namespace

LargeSearchDialog::LargeSearchDialog(RunContext &ctx, QWidget *mainWindow, ViewerWindow *viewer)
    : QDialog(mainWindow), m_ctx(ctx), m_mainWindow(mainWindow), m_viewer(viewer)
{
    setObjectName(QStringLiteral("frmBigFind"));
    setWindowTitle(QStringLiteral(" Large Search"));
    setModal(false);
    resize(px(7200), px(5200));

    picLarge = new QWidget(this);
    picLarge->setObjectName(QStringLiteral("picLarge"));
    picLarge->setGeometry(0, 0, px(4200), px(480));
    FindBar = new QToolBar(picLarge);
    FindBar->setObjectName(QStringLiteral("FindBar"));
    FindBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FindBar->setGeometry(0, 0, px(4200), px(480));

    picClear1 = new QWidget(this);
    picClear1->setObjectName(QStringLiteral("picClear1"));
    picClear1->setGeometry(px(4300), 0, px(2800), px(480));
    clearBar1 = new QToolBar(picClear1);
    clearBar1->setObjectName(QStringLiteral("clearBar1"));
    clearBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    clearBar1->setGeometry(0, 0, px(2800), px(480));

    struct Tool {
        QToolBar *bar;
        const char *key;
        const char *caption;
        const char *hint;
    };
    const Tool tools[] = {
        {FindBar, "ok", "Ok",
         " Click here to use the text below as your search / replacement criteria."},
        {FindBar, "cancel", "Cancel", " Click here to return to the main form."},
        {FindBar, "paragraph", "Paragraph", nullptr},
        {clearBar1, "clearFind", "Clear Find", " Click here to clear the Find textbox below."},
        {clearBar1, "clearReplace", "Clear Replace",
         " Click here to the Replace with textbox below."},
    };
    for (const Tool &t : tools) {
        auto action = new QAction(QString::fromUtf8(t.caption), t.bar);
        const QString key = QString::fromUtf8(t.key);
        action->setObjectName(key);
        t.bar->addAction(action);
        QWidget *button = t.bar->widgetForAction(action);
        button->setProperty("hint", t.hint ? QString::fromUtf8(t.hint) : QString());
        button->installEventFilter(this);
        if (t.bar == FindBar) {
            connect(action, &QAction::triggered, this, [this, key] {
                if (key == QLatin1String("ok"))
                    okClicked();
                else if (key == QLatin1String("cancel"))
                    cancelClicked();
            });
        } else {
            connect(action, &QAction::triggered, this, [this, key] {
                if (key == QLatin1String("clearFind"))
                    clearFind();
                else
                    clearReplace();
            });
        }
    }

    Label5 = new QLabel(QStringLiteral("NORMAL SEARCH"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(px(120), px(540), px(4000), px(300));
    Label5->installEventFilter(this);

    tab1 = new QTabBar(this);
    tab1->setObjectName(QStringLiteral("tab1"));
    tab1->addTab(QStringLiteral("Find"));
    tab1->addTab(QStringLiteral("Replace with"));
    tab1->setGeometry(px(120), px(870), px(6900), px(400));
    connect(tab1, &QTabBar::currentChanged, this, &LargeSearchDialog::selectTab);

    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    frameRep = new QFrame(this);
    frameRep->setObjectName(QStringLiteral("frameRep"));
    for (QFrame *frame : {Frame2, frameRep}) {
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(px(120), px(1270), px(6900), px(3300));
        frame->installEventFilter(this);
    }
    rtbFirstFuzz = makeBox(QStringLiteral("rtbFirstFuzz"), Frame2);
    rtbSecondFuzz = makeBox(QStringLiteral("rtbSecondFuzz"), Frame2);
    rtbReplace = makeBox(QStringLiteral("rtbReplace"), frameRep);
    rtbSecondFuzz->setGeometry(px(120), px(120 + 1560), px(6660), px(1455));
    rtbReplace->setGeometry(px(120), px(120), px(6660), px(3015));
    for (QPlainTextEdit *box : {rtbFirstFuzz, rtbSecondFuzz, rtbReplace})
        box->installEventFilter(this);

    chkfuzz = new QCheckBox(this);
    chkfuzz->setObjectName(QStringLiteral("chkfuzz"));
    chkfuzz->hide();
    connect(chkfuzz, &QCheckBox::toggled, this, [this] { layoutBoxes(); });

    layoutBoxes();
    selectTab(0);
}

void LargeSearchDialog::open()
{
    show();
    raise();
    activateWindow();
}

void LargeSearchDialog::layoutBoxes()
{
    // Fuzzy leaves room for the second part below the first; normal covers it.
    rtbFirstFuzz->setGeometry(px(120), px(120), px(6660), px(chkfuzz->isChecked() ? 1455 : 3015));
    rtbFirstFuzz->raise();
}

void LargeSearchDialog::setStatus(int panel, const QString &text)
{
    if (m_ctx.main)
        m_ctx.main->setStatusText(panel, text);
}

bool LargeSearchDialog::isMainFuzzy() const
{
    if (m_mainWindow) {
        if (auto fuzzy = m_mainWindow->findChild<QRadioButton *>(QStringLiteral("chkFuzzy")))
            return fuzzy->isChecked();
    }
    return m_ctx.request && m_ctx.request->isFuzzy();
}

QString LargeSearchDialog::mainText(const char *name) const
{
    const QComboBox *box =
        m_mainWindow ? m_mainWindow->findChild<QComboBox *>(QString::fromLatin1(name)) : nullptr;
    return box ? box->currentText() : QString();
}

void LargeSearchDialog::setMainText(const char *name, const QString &text)
{
    if (!m_mainWindow)
        return;
    if (auto box = m_mainWindow->findChild<QComboBox *>(QString::fromLatin1(name)))
        box->setEditText(text);
}

void LargeSearchDialog::Form_Activate()
{
    setStatus(1, QStringLiteral("Scrivlane"));
    setStatus(2, QString());
    selectTab(0);
    const bool fuzzy = chkfuzz->isChecked();
    if (m_tag == kMainTag) {
        Label5->setText(fuzzy ? QStringLiteral("FUZZY SEARCH") : QStringLiteral("NORMAL SEARCH"));
        layoutBoxes();
        if (fuzzy) {
            rtbFirstFuzz->setPlainText(mainText("cboFirst"));
            rtbSecondFuzz->setPlainText(mainText("cboSecond"));
            rtbReplace->setPlainText(mainText("cboFuzzyReplace"));
        } else {
            rtbFirstFuzz->setPlainText(mainText("txtFind"));
            rtbSecondFuzz->setPlainText(mainText("txtReplace"));
            rtbReplace->setPlainText(mainText("txtReplace"));
        }
    } else if (m_tag == kViewerTag && m_viewer) {
        Label5->setText(fuzzy ? QStringLiteral("FUZZY SEARCH") : QStringLiteral("NORMAL SEARCH"));
        layoutBoxes();
        rtbFirstFuzz->setPlainText(m_viewer->findText());
        if (fuzzy)
            rtbSecondFuzz->setPlainText(m_viewer->findText2());
        rtbReplace->setPlainText(m_viewer->cboReplace->currentText());
    }
}

void LargeSearchDialog::okClicked()
{
    const QString first = rtbFirstFuzz->toPlainText();
    const QString replacement = rtbReplace->toPlainText();
    if (chkfuzz->isChecked()) {
        const QString second = rtbSecondFuzz->toPlainText();
        setMainText("cboFirst", first);
        setMainText("cboSecond", second);
        setMainText("cboFuzzyReplace", replacement);
        if (m_viewer) {
            m_viewer->setFindText(first);
            m_viewer->cboFind2->setEditText(second);
            m_viewer->setReplaceText(replacement);
        }
    } else {
        if (m_viewer) {
            m_viewer->setFindText(first);
            m_viewer->setReplaceText(replacement);
        }
        setMainText("txtFind", first);
        setMainText("txtReplace", replacement);
    }
    hide();
}

void LargeSearchDialog::cancelClicked()
{
    hide();
}

void LargeSearchDialog::clearFind()
{
    rtbFirstFuzz->clear();
    rtbSecondFuzz->clear();
    tab1->setCurrentIndex(0);
    selectTab(0);
}

void LargeSearchDialog::clearReplace()
{
    rtbReplace->clear();
    tab1->setCurrentIndex(1);
    selectTab(1);
}

void LargeSearchDialog::selectTab(int index)
{
    const bool find = index == 0;
    if (tab1->currentIndex() != index) {
        const QSignalBlocker block(tab1);
        tab1->setCurrentIndex(index);
    }
    Frame2->setEnabled(find);
    frameRep->setEnabled(!find);
    (find ? Frame2 : frameRep)->raise();
    (find ? Frame2 : frameRep)->show();
    (find ? frameRep : Frame2)->hide();
    (find ? rtbFirstFuzz : rtbReplace)->setFocus();
    picLarge->raise();
    picClear1->raise();
}

bool LargeSearchDialog::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        Form_Activate();
        break;
    case QEvent::WindowDeactivate: {
        // Another window of the program took over: step aside without pasting.
        QWidget *active = QApplication::activeWindow();
        if (active && active != this)
            hide();
        break;
    }
    default:
        break;
    }
    return QDialog::event(event);
}

bool LargeSearchDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        const bool fuzzy = isMainFuzzy();
        if (watched == rtbFirstFuzz || watched == rtbSecondFuzz) {
            setStatus(2, fuzzy ? QStringLiteral(" Your search criteria will be pasted into the "
                                                "Fuzzy Search drop-down on the main form.")
                               : QStringLiteral(" Your search criteria will be pasted into the "
                                                "Search drop-down on the main form."));
        } else if (watched == rtbReplace) {
            setStatus(2, fuzzy ? QStringLiteral(" Your replacement criteria will be pasted into "
                                                "the Fuzzy Replace drop-down on the main form.")
                               : QStringLiteral(" Your replacement criteria will be pasted into "
                                                "the Replace drop-down on the main form."));
        } else if (watched == Label5) {
            setStatus(2, QStringLiteral(" Your search criteria will be pasted into the Find "
                                        "drop-down on the main form."));
        } else if (watched == Frame2 || watched == frameRep) {
            setStatus(2, QString());
        } else if (auto widget = qobject_cast<QWidget *>(watched)) {
            const QString hint = widget->property("hint").toString();
            if (!hint.isEmpty())
                setStatus(2, hint);
        }
    } else if (event->type() == QEvent::Leave) {
        // Moving from a box or the label back onto a frame or the background sends
        // no Enter there, yet the hint must go.
        if (auto widget = qobject_cast<QWidget *>(watched)) {
            if (widget->parent() == FindBar || widget->parent() == clearBar1 ||
                watched == rtbFirstFuzz || watched == rtbSecondFuzz || watched == rtbReplace ||
                watched == Label5)
                setStatus(2, QString());
        }
    }
    return QDialog::eventFilter(watched, event);
}
