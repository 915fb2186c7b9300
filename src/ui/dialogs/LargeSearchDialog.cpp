#include "LargeSearchDialog.h"

#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/SearchRequest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QToolBar>

namespace {

int px(int twips)
{
    return twips / 15;
}

using Box = SearchBoxes::Box;

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

LargeSearchDialog::LargeSearchDialog(RunContext &ctx, SearchForm *main, SearchBoxes *viewer)
    : QDialog(main ? main->formWindow() : nullptr), m_ctx(ctx), m_main(main), m_viewer(viewer)
{
    setObjectName(QStringLiteral("largeSearchDialog"));
    setWindowTitle(QStringLiteral(" Large Search"));
    setModal(false);
    resize(px(7200), px(5200));

    findToolHolder = new QWidget(this);
    findToolHolder->setObjectName(QStringLiteral("findToolHolder"));
    findToolHolder->setGeometry(0, 0, px(4200), px(480));
    findToolBar = new QToolBar(findToolHolder);
    findToolBar->setObjectName(QStringLiteral("findToolBar"));
    findToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    findToolBar->setGeometry(0, 0, px(4200), px(480));

    clearToolHolder = new QWidget(this);
    clearToolHolder->setObjectName(QStringLiteral("clearToolHolder"));
    clearToolHolder->setGeometry(px(4300), 0, px(2800), px(480));
    clearBar = new QToolBar(clearToolHolder);
    clearBar->setObjectName(QStringLiteral("clearBar"));
    clearBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    clearBar->setGeometry(0, 0, px(2800), px(480));

    struct Tool {
        QToolBar *bar;
        const char *key;
        const char *caption;
        const char *hint;
    };
    const Tool tools[] = {
        {findToolBar, "ok", "Ok",
         " Click here to use the text below as your search / replacement criteria."},
        {findToolBar, "cancel", "Cancel", " Click here to return to the main form."},
        {findToolBar, "paragraph", "Paragraph", nullptr},
        {clearBar, "clearFind", "Clear Find", " Click here to clear the Find textbox below."},
        {clearBar, "clearReplace", "Clear Replace",
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
        if (t.bar == findToolBar) {
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

    searchTypeLabel = new QLabel(QStringLiteral("NORMAL SEARCH"), this);
    searchTypeLabel->setObjectName(QStringLiteral("searchTypeLabel"));
    searchTypeLabel->setGeometry(px(120), px(540), px(4000), px(300));
    searchTypeLabel->installEventFilter(this);

    tabs = new QTabBar(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(QStringLiteral("Find"));
    tabs->addTab(QStringLiteral("Replace with"));
    tabs->setGeometry(px(120), px(870), px(6900), px(400));
    connect(tabs, &QTabBar::currentChanged, this, &LargeSearchDialog::selectTab);

    findFrame = new QFrame(this);
    findFrame->setObjectName(QStringLiteral("findFrame"));
    replaceFrame = new QFrame(this);
    replaceFrame->setObjectName(QStringLiteral("replaceFrame"));
    for (QFrame *frame : {findFrame, replaceFrame}) {
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(px(120), px(1270), px(6900), px(3300));
        frame->installEventFilter(this);
    }
    firstPartEdit = makeBox(QStringLiteral("firstPartEdit"), findFrame);
    secondPartEdit = makeBox(QStringLiteral("secondPartEdit"), findFrame);
    replaceEdit = makeBox(QStringLiteral("replaceEdit"), replaceFrame);
    secondPartEdit->setGeometry(px(120), px(120 + 1560), px(6660), px(1455));
    replaceEdit->setGeometry(px(120), px(120), px(6660), px(3015));
    for (QPlainTextEdit *box : {firstPartEdit, secondPartEdit, replaceEdit})
        box->installEventFilter(this);

    fuzzyBox = new QCheckBox(this);
    fuzzyBox->setObjectName(QStringLiteral("fuzzyBox"));
    fuzzyBox->hide();
    connect(fuzzyBox, &QCheckBox::toggled, this, [this] { layoutBoxes(); });

    layoutBoxes();
    selectTab(0);
}

void LargeSearchDialog::setFuzzy(bool fuzzy)
{
    fuzzyBox->setChecked(fuzzy);
}

void LargeSearchDialog::fill(bool fuzzy, const QString &first, const QString &second)
{
    fuzzyBox->setChecked(fuzzy);
    firstPartEdit->setPlainText(first);
    secondPartEdit->setPlainText(second);
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
    firstPartEdit->setGeometry(px(120), px(120), px(6660), px(fuzzyBox->isChecked() ? 1455 : 3015));
    firstPartEdit->raise();
}

void LargeSearchDialog::setStatus(int panel, const QString &text)
{
    if (m_ctx.main)
        m_ctx.main->setStatusText(panel, text);
}

bool LargeSearchDialog::isMainFuzzy() const
{
    if (m_main)
        return m_main->isFuzzy();
    return m_ctx.requestSource && m_ctx.requestSource->isFuzzy();
}

QString LargeSearchDialog::mainText(SearchBoxes::Box box) const
{
    return m_main ? m_main->boxText(box) : QString();
}

void LargeSearchDialog::setMainText(SearchBoxes::Box box, const QString &text)
{
    if (m_main)
        m_main->setBoxText(box, text);
}

void LargeSearchDialog::prepareOnActivation()
{
    setStatus(1, QStringLiteral("Scrivlane"));
    setStatus(2, QString());
    selectTab(0);
    const bool fuzzy = fuzzyBox->isChecked();
    if (m_tag == kMainTag) {
        searchTypeLabel->setText(fuzzy ? QStringLiteral("FUZZY SEARCH")
                                       : QStringLiteral("NORMAL SEARCH"));
        layoutBoxes();
        if (fuzzy) {
            firstPartEdit->setPlainText(mainText(Box::FirstPart));
            secondPartEdit->setPlainText(mainText(Box::SecondPart));
            replaceEdit->setPlainText(mainText(Box::FuzzyReplace));
        } else {
            firstPartEdit->setPlainText(mainText(Box::Find));
            secondPartEdit->setPlainText(mainText(Box::Replace));
            replaceEdit->setPlainText(mainText(Box::Replace));
        }
    } else if (m_tag == kViewerTag && m_viewer) {
        searchTypeLabel->setText(fuzzy ? QStringLiteral("FUZZY SEARCH")
                                       : QStringLiteral("NORMAL SEARCH"));
        layoutBoxes();
        firstPartEdit->setPlainText(m_viewer->boxText(Box::Find));
        if (fuzzy)
            secondPartEdit->setPlainText(m_viewer->boxText(Box::SecondPart));
        replaceEdit->setPlainText(m_viewer->boxText(Box::Replace));
    }
}

void LargeSearchDialog::okClicked()
{
    const QString first = firstPartEdit->toPlainText();
    const QString replacement = replaceEdit->toPlainText();
    if (fuzzyBox->isChecked()) {
        const QString second = secondPartEdit->toPlainText();
        setMainText(Box::FirstPart, first);
        setMainText(Box::SecondPart, second);
        setMainText(Box::FuzzyReplace, replacement);
        if (m_viewer) {
            m_viewer->setBoxText(Box::Find, first);
            m_viewer->setBoxText(Box::SecondPart, second);
            m_viewer->setBoxText(Box::Replace, replacement);
        }
    } else {
        if (m_viewer) {
            m_viewer->setBoxText(Box::Find, first);
            m_viewer->setBoxText(Box::Replace, replacement);
        }
        setMainText(Box::Find, first);
        setMainText(Box::Replace, replacement);
    }
    hide();
}

void LargeSearchDialog::cancelClicked()
{
    hide();
}

void LargeSearchDialog::clearFind()
{
    firstPartEdit->clear();
    secondPartEdit->clear();
    tabs->setCurrentIndex(0);
    selectTab(0);
}

void LargeSearchDialog::clearReplace()
{
    replaceEdit->clear();
    tabs->setCurrentIndex(1);
    selectTab(1);
}

void LargeSearchDialog::selectTab(int index)
{
    const bool find = index == 0;
    if (tabs->currentIndex() != index) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(index);
    }
    findFrame->setEnabled(find);
    replaceFrame->setEnabled(!find);
    (find ? findFrame : replaceFrame)->raise();
    (find ? findFrame : replaceFrame)->show();
    (find ? replaceFrame : findFrame)->hide();
    (find ? firstPartEdit : replaceEdit)->setFocus();
    findToolHolder->raise();
    clearToolHolder->raise();
}

bool LargeSearchDialog::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        prepareOnActivation();
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
        if (watched == firstPartEdit || watched == secondPartEdit) {
            setStatus(2, fuzzy ? QStringLiteral(" Your search criteria will be pasted into the "
                                                "Fuzzy Search drop-down on the main form.")
                               : QStringLiteral(" Your search criteria will be pasted into the "
                                                "Search drop-down on the main form."));
        } else if (watched == replaceEdit) {
            setStatus(2, fuzzy ? QStringLiteral(" Your replacement criteria will be pasted into "
                                                "the Fuzzy Replace drop-down on the main form.")
                               : QStringLiteral(" Your replacement criteria will be pasted into "
                                                "the Replace drop-down on the main form."));
        } else if (watched == searchTypeLabel) {
            setStatus(2, QStringLiteral(" Your search criteria will be pasted into the Find "
                                        "drop-down on the main form."));
        } else if (watched == findFrame || watched == replaceFrame) {
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
            if (widget->parent() == findToolBar || widget->parent() == clearBar ||
                watched == firstPartEdit || watched == secondPartEdit || watched == replaceEdit ||
                watched == searchTypeLabel)
                setStatus(2, QString());
        }
    }
    return QDialog::eventFilter(watched, event);
}
