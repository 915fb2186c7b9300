#include "MainHints.h"

#include "MainWindow.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {
const QString Idle = QStringLiteral("Scrivlane");

struct ToolHint {
    const char *bar;
    const char *key;  // nullptr: every tool of the bar
    const char *hint;
    const char *shortcut;  // nullptr: panel 1 stays as it is
};

const ToolHint ToolHints[] = {
    {"runBar", "find",
     " Find instances of the search text within the selected files, without replacing.", "CTRL+ F"},
    {"runBar", "replace", " Find and then replace a string of text within the selected files.",
     "CTRL+ R"},
    {"runBar", "preview", " See every replacement before it is written, and tick the ones to make.",
     "CTRL+ P"},
    {"runBar", "undo",
     " Change the text back to its previous state, if possible.  Some replacements cannot be "
     "undone.  Restore is the exact way back.",
     "CTRL+ Z"},
    {"runBar", "restore",
     " Undo replaces the new text by the old wherever it stands; Restore is the exact way back: "
     "it returns the bytes the files had before the last Replace.",
     nullptr},
    {"searchTypeBar", "normal", " Click here to do a normal search for a few words or a sentence.",
     "ALT+ N"},
    {"searchTypeBar", "fuzzy",
     " Click here to search for something in between two specified characters.", "ALT+ F"},
    {"searchTypeBar", "large",
     " Click here to enter a large search character or anything with carriage returns in it.",
     "ALT+ L"},
    {"fileSelectionBar", "all", " Select all files in directory for editing.", "CTRL+ A"},
    {"fileSelectionBar", "none", " Deselect all files in directory.", "CTRL+ N"},
    {"helpBar", "about", " Some info about this program and the author.", "F2"},
    {"helpBar", "readme", " The Help file contains useful information about using this program.",
     "F1"},
    {"helpBar", "exit", " Exit this program.  Have a nice day!", "CTRL+ Q"},
    {"pasteFindBar", nullptr,
     " Click here to paste the data from the clipboard into the 'Find' drop-down.", nullptr},
    {"pasteReplaceBar", nullptr,
     " Click here to paste the data from the clipboard into the 'Replace with' drop-down.",
     nullptr},
};

const ToolHint *findToolHint(const QString &bar, const QString &key)
{
    for (const ToolHint &entry : ToolHints) {
        if (bar == QLatin1String(entry.bar) && (!entry.key || key == QLatin1String(entry.key)))
            return &entry;
    }
    return nullptr;
}

QStringList barHints(const char *bar)
{
    QStringList hints;
    for (const ToolHint &entry : ToolHints) {
        if (qstrcmp(entry.bar, bar) == 0)
            hints << QString::fromLatin1(entry.hint);
    }
    return hints;
}
}  // namespace

MainHints::MainHints(MainWindow &window, std::function<QString()> backupFolder)
    : m_window(window), m_backupFolder(std::move(backupFolder))
{
    MainWindow &w = m_window;
    m_areas.insert(&w, Area::Plain);
    m_areas.insert(w.centralWidget(), Area::Plain);
    m_areas.insert(w.mainStatusBar, Area::Plain);
    for (const char *frame :
         {"optionsGroup", "filtersGroup", "searchGroup", "findBoxesFrame", "filesGroup"}) {
        if (auto *widget = w.findChild<QWidget *>(QString::fromLatin1(frame)))
            m_areas.insert(widget, Area::Plain);
    }
    if (auto *type = w.findChild<QWidget *>(QStringLiteral("typeGroup")))
        m_areas.insert(type, Area::TypeFrame);
    m_areas.insert(w.focusPark, Area::FocusPark);
    m_areas.insert(w.fileBarHolder, Area::FileBarFrame);
    m_areas.insert(w.fileSelectionBar, Area::FileBarFrame);
    m_areas.insert(w.fuzzyPanel, Area::FuzzyPanel);
    const QList<QPair<QWidget *, QString>> texts = {
        {w.drivesLabel, QStringLiteral(" Specify drive to search")},
        {w.foldersLabel, QStringLiteral(" Specify folder to search - Right-click for options")},
        {w.filesLabel, QStringLiteral(" Specify files to search")},
        {w.normalOption,
         QStringLiteral(" Use this option to search for a few words or a sentence.")},
        {w.fuzzyOption,
         QStringLiteral(" Use this option to find something between two specified characters.")},
        {w.filterManagerButton, QStringLiteral(" Select the types of files you want to edit.")},
    };
    for (const auto &[widget, text] : texts) {
        m_areas.insert(widget, Area::Text);
        m_texts.insert(widget, text);
    }
    for (QCheckBox *box :
         {w.minimizeBox, w.caseSensitiveBox, w.subfoldersBox, w.wholeWordBox, w.backupBox,
          w.skipIgnoredBox, w.regexBox, w.includeHiddenBox, w.keepCaseBox})
        m_areas.insert(box, Area::Option);
    m_areas.insert(w.backupFolderButton, Area::SetBack);
    // A control that tracks the pointer passes the moves it does not use on to its
    // container, whose plain-area reset would wipe the control's own hint.
    for (auto it = m_areas.constBegin(); it != m_areas.constEnd(); ++it) {
        if (*it != Area::Plain && *it != Area::TypeFrame)
            it.key()->setAttribute(Qt::WA_NoMousePropagation);
    }
    for (QWidget *list : {static_cast<QWidget *>(w.fileList), static_cast<QWidget *>(w.folderList)})
        list->setAttribute(Qt::WA_NoMousePropagation);
    qApp->installEventFilter(this);
}

MainHints::~MainHints()
{
    qApp->removeEventFilter(this);
}

QString MainHints::elidedToFit(const QString &lead, const QString &path) const
{
    // A long folder is shortened in its middle, where it says least; the box's
    // tool tip keeps it whole.
    const QLabel *panel = m_window.statusDetailPanel;
    m_window.backupBox->setToolTip(path);
    const QFontMetrics metrics(panel->font());
    const int room = panel->contentsRect().width() - 2 * panel->margin() -
                     qMax(panel->indent(), 0) - metrics.horizontalAdvance(lead);
    return metrics.elidedText(path, Qt::ElideMiddle, qMax(room, 0));
}

QString MainHints::toolHint(const QString &bar, const QString &key)
{
    const ToolHint *entry = findToolHint(bar, key);
    return entry ? QString::fromLatin1(entry->hint) : QString();
}

bool MainHints::running() const
{
    return m_window.context().state.runInProgress;
}

bool MainHints::panel2Shows(const QStringList &hints) const
{
    return hints.contains(m_window.statusDetailPanel->text());
}

bool MainHints::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of the program passes here: the cheap test first.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::Enter && type != QEvent::Leave &&
        type != QEvent::Hide)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (type == QEvent::Hide) {
        dialogHidden(widget);
        return false;
    }
    if (!widget || widget->window() != &m_window)
        return false;
    switch (type) {
    case QEvent::MouseMove:
        if (static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
            pointerMoved(widget);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (widget == m_window.mainStatusBar || widget->parentWidget() == m_window.mainStatusBar)
            m_window.clearHints();
        break;
    case QEvent::Enter:
    case QEvent::Leave: {
        auto *button = qobject_cast<QToolButton *>(widget);
        auto *bar = button ? qobject_cast<QToolBar *>(button->parentWidget()) : nullptr;
        // A locked tool says nothing, as it would not react to a click either.
        if (!bar || !button->defaultAction() || !button->isEnabled())
            break;
        if (event->type() == QEvent::Enter)
            toolEntered(bar, button->defaultAction()->objectName());
        else
            toolLeft(bar);
        break;
    }
    default:
        break;
    }
    return false;
}

void MainHints::dialogHidden(QWidget *widget)
{
    // A dialog of this window writes its own hints into panel 2; once it is
    // gone they describe nothing.
    if (!qobject_cast<QDialog *>(widget) || !widget->parentWidget() ||
        widget->parentWidget()->window() != &m_window || running())
        return;
    m_window.setStatusText(2, QString());
}

void MainHints::optionClicked(QCheckBox *box)
{
    if (box->underMouse() ||
        (box == m_hintedOption && m_window.statusDetailPanel->text() == m_optionHint))
        optionHint(box);
}

void MainHints::pointerMoved(QWidget *widget)
{
    MainWindow &w = m_window;
    auto found = m_areas.constFind(widget);
    Area area = Area::Plain;
    if (found != m_areas.constEnd())
        area = *found;
    else if (widget->parentWidget() != w.mainStatusBar)
        return;
    // Locked controls stay quiet during a run, as they would stay still under a click.
    if (!widget->isEnabled())
        return;
    switch (area) {
    case Area::Plain:
        w.clearHints();
        break;
    case Area::TypeFrame:
        if (!running())
            w.clearHints();
        break;
    case Area::FocusPark:
        if (!running()) {
            w.countSelectedFiles();
            w.clearHints();
        }
        break;
    case Area::FileBarFrame:
        w.setStatusText(2, QString());
        w.setStatusText(1, Idle);
        break;
    case Area::FuzzyPanel:
        w.setStatusText(2, QString());
        break;
    case Area::Text:
        // The labels name the locked lists: like the lists, they leave a run's progress alone.
        if (!running())
            w.setStatusText(2, m_texts.value(widget));
        break;
    case Area::Option:
        optionHint(static_cast<QCheckBox *>(widget));
        break;
    case Area::SetBack:
        showIndicators(-1, nullptr);
        w.setStatusText(2, QStringLiteral(" Click here to specify the backup folder."));
        break;
    }
}

void MainHints::optionHint(QCheckBox *box)
{
    MainWindow &w = m_window;
    struct Option {
        QCheckBox *box;
        int arrow;
        QWidget *frame;
        const char *shortcut;
        const char *ticked;
        const char *cleared;
    };
    const Option options[] = {
        {w.minimizeBox, 0, w.minimizeHighlight, "ALT+ Z",
         " Minimize this program to the panel for more efficient replacing.",
         " Minimize this program to the panel for more efficient replacing."},
        {w.caseSensitiveBox, 1, w.caseHighlight, "ALT+ C", " Checked - Replace only the same case.",
         " Unchecked - Replace all strings."},
        {w.subfoldersBox, 2, w.subfoldersHighlight, "ALT+ S",
         " Checked - All subdirectories will be searched.",
         " Unchecked - Only the current directory will be searched."},
        {w.wholeWordBox, 3, w.wholeWordHighlight, "ALT+ W",
         " Checked - Only words matching exactly will be shown / replaced.",
         " Unchecked - All forms of the word will be found."},
        {w.backupBox, 4, w.backupHighlight, "ALT+ B",
         " Checked - Current backup folder is: ", " Unchecked - No backup files will be created."},
        {w.skipIgnoredBox, 5, w.skipIgnoredHighlight, "ALT+ I",
         " Checked - Files and folders that git ignores are skipped.",
         " Unchecked - Files that git ignores are searched too."},
        {w.regexBox, 6, w.regexHighlight, "ALT+ R",
         " Checked - The search text is a regular expression: $1 in the replacement is its "
         "first group.",
         " Unchecked - The search text is found exactly as it is typed."},
        {w.includeHiddenBox, 7, w.includeHiddenHighlight, "ALT+ H",
         " Checked - Hidden files and folders are searched too (never .git).",
         " Unchecked - Hidden files and folders are left out."},
        {w.keepCaseBox, 8, w.keepCaseHighlight, "ALT+ K",
         " Checked - The replacement takes the case of what it replaces: Colour becomes Color.",
         " Unchecked - The replacement is written exactly as it is typed."},
    };
    for (const Option &option : options) {
        if (option.box != box)
            continue;
        const bool ticked = box->isChecked();
        showIndicators(option.arrow, option.frame);
        w.setStatusText(1, QString::fromLatin1(option.shortcut));
        QString hint = QString::fromLatin1(ticked ? option.ticked : option.cleared);
        if (box == w.backupBox) {
            if (ticked)
                hint += elidedToFit(hint, m_backupFolder());
            w.backupFolderButton->setVisible(ticked);
        }
        w.setStatusText(2, hint);
        m_hintedOption = box;
        m_optionHint = hint;
    }
}

void MainHints::showIndicators(int arrow, QWidget *frame)
{
    MainWindow &w = m_window;
    for (int i = 0; i < w.optionArrows.size(); ++i) w.optionArrows[i]->setVisible(i == arrow);
    for (QWidget *indicator :
         {static_cast<QWidget *>(w.minimizeHighlight), static_cast<QWidget *>(w.caseHighlight),
          static_cast<QWidget *>(w.subfoldersHighlight),
          static_cast<QWidget *>(w.wholeWordHighlight), static_cast<QWidget *>(w.backupHighlight),
          static_cast<QWidget *>(w.skipIgnoredHighlight), static_cast<QWidget *>(w.regexHighlight),
          static_cast<QWidget *>(w.includeHiddenHighlight),
          static_cast<QWidget *>(w.keepCaseHighlight)})
        indicator->setVisible(indicator == frame);
}

void MainHints::toolEntered(const QToolBar *bar, const QString &key)
{
    MainWindow &w = m_window;
    if (bar == w.runBar || bar == w.searchTypeBar) {
        // The run writes its progress here; the tools that start runs keep out.
        if (running())
            return;
        w.clearHints();
    } else if (bar == w.helpBar) {
        w.clearHints();
    }
    const ToolHint *entry = findToolHint(bar->objectName(), key);
    if (!entry)
        return;
    if ((bar == w.runBar && key == u"find") || (bar == w.searchTypeBar && key == u"normal"))
        w.countSelectedFiles();
    w.setStatusText(2, QString::fromLatin1(entry->hint));
    if (entry->shortcut)
        w.setStatusText(1, QString::fromLatin1(entry->shortcut));
}

void MainHints::toolLeft(const QToolBar *bar)
{
    // The pointer may enter a neighbouring bar's tool before this one reports
    // leaving: a leave keeps the hint that belongs to the neighbour.
    MainWindow &w = m_window;
    static const QStringList aboutHints = barHints("helpBar");
    const auto clearBoth = [&w] {
        w.setStatusText(2, QString());
        w.setStatusText(1, Idle);
    };
    if (bar == w.runBar) {
        if (!running() && !panel2Shows(aboutHints))
            clearBoth();
    } else if (bar == w.fileSelectionBar) {
        if (!panel2Shows(aboutHints +
                         QStringList{toolHint(QStringLiteral("runBar"), QStringLiteral("undo"))}))
            clearBoth();
    } else if (bar == w.helpBar) {
        clearBoth();
    } else if (bar == w.searchTypeBar) {
        if (!running())
            w.setStatusText(2, QString());
    } else if (bar == w.pasteFindBar || bar == w.pasteReplaceBar) {
        const QString other = toolHint(bar == w.pasteFindBar ? QStringLiteral("pasteReplaceBar")
                                                             : QStringLiteral("pasteFindBar"),
                                       {});
        if (!panel2Shows({other}))
            w.setStatusText(2, QString());
    }
}
