#include "ViewerTools.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

ViewerTools::ViewerTools(QWidget *menuHost, QWidget *moveHost, QWidget *popupOwner)
    : QObject(popupOwner)
{
    buildMenus(menuHost);
    buildMoveBar(moveHost);
    buildPopup(popupOwner);
}

void ViewerTools::buildMenus(QWidget *host)
{
    m_menuBar = new QMenuBar(host);
    m_menuBar->setObjectName(QStringLiteral("viewerMenus"));
    m_menuBar->setNativeMenuBar(false);

    struct Tool {
        const char *key;
        const char *caption;
        const char *hint;
        QKeySequence shortcut = {};
    };
    auto addTools = [this](QWidget *band, std::initializer_list<Tool> tools) {
        for (const Tool &t : tools) {
            auto action = new QAction(QString::fromUtf8(t.caption), band);
            action->setObjectName(QString::fromUtf8(t.key));
            // Shown beside the caption; the viewer's own key handling runs the
            // command, so the action reacts to its key only while its menu is open.
            action->setShortcut(t.shortcut);
            action->setShortcutContext(Qt::WidgetShortcut);
            const QString hint = QString::fromUtf8(t.hint);
            connect(action, &QAction::hovered, this, [this, hint] { emit menuToolHovered(hint); });
            const QString key = QString::fromUtf8(t.key);
            connect(action, &QAction::triggered, this,
                    [this, key] { emit menuToolTriggered(key); });
            band->addAction(action);
        }
    };

    m_fileMenu = new QMenu(QStringLiteral("&File"), m_menuBar);
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    addTools(m_fileMenu,
             {{"open", "&Open", " Click here to load a file into the File Viewer.",
               QKeySequence(Qt::CTRL | Qt::Key_O)},
              {"save", "Save Current File",
               " Click here to save the current file with it's original name.",
               QKeySequence(Qt::CTRL | Qt::Key_S)},
              {"saveAs", "Save As...", " Click here to save the current file with a new name."},
              {"print", "Print...", " Click here to print the current file."},
              {"exit", "E&xit", " Click here to close the File Viewer and return to the main form.",
               QKeySequence(Qt::CTRL | Qt::Key_W)},
              {"quit", "&Quit Scrivlane", " Click here to quit the program.",
               QKeySequence(Qt::CTRL | Qt::Key_Q)}});
    m_formatMenu = new QMenu(QStringLiteral("&Options"), m_menuBar);
    m_formatMenu->setObjectName(QStringLiteral("formatMenu"));
    addTools(m_formatMenu,
             {{"resize", "Hide File Info", " Click here to show or hide the current file info.",
               QKeySequence(Qt::CTRL | Qt::Key_D)},
              {"case", "Case Sensitive", " Click here to turn on/off the Case Sensitive option."},
              {"whole", "Whole Word", " Click here to turn on/off the Whole Word option."},
              {"bigger", "Bigger Font", " Click here to make the font one size bigger."},
              {"smaller", "Smaller Font", " Click here to make the font one size smaller."},
              {"setfont", "Set Fonts", " Click here to set the type of font you want to use."}});
    tool(QStringLiteral("formatMenu"), QStringLiteral("case"))->setCheckable(true);
    tool(QStringLiteral("formatMenu"), QStringLiteral("whole"))->setCheckable(true);
    m_searchMenu = new QMenu(QStringLiteral("&Search"), m_menuBar);
    m_searchMenu->setObjectName(QStringLiteral("searchMenu"));
    addTools(
        m_searchMenu,
        {{"find", "Find", " Click here to find the first occurrence of the search word."},
         {"findnext", "Find Next", " Click here to find the next occurrence of the search word.",
          QKeySequence(Qt::CTRL | Qt::Key_F)},
         {"replace", "&Replace", " Click here to make a manual replacement in the current file.",
          QKeySequence(Qt::CTRL | Qt::Key_R)}});
    for (QMenu *menu : {m_fileMenu, m_formatMenu, m_searchMenu}) {
        m_menuBar->addMenu(menu);
    }
    addTools(m_menuBar,
             {{"report", "Show Last Report", " Click here to view the last replacement report."},
              {"wordwrap", "Word Wrap", " Click here to turn on/off the word wrap option."}});

    // A menu bar shows an action's picture instead of its caption; this button
    // shows both, and stays pressed while word wrap is on.
    QAction *wrap = tool(QStringLiteral("viewerMenus"), QStringLiteral("wordwrap"));
    wrap->setCheckable(true);
    m_menuBar->removeAction(wrap);
    auto wrapButton = new QToolButton(m_menuBar);
    wrapButton->setObjectName(QStringLiteral("wordwrapButton"));
    wrapButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    wrapButton->setAutoRaise(true);
    wrapButton->setDefaultAction(wrap);
    wrapButton->installEventFilter(this);
    m_menuBar->setCornerWidget(wrapButton, Qt::TopRightCorner);
}

bool ViewerTools::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter && watched->objectName() == u"wordwrapButton")
        tool(QStringLiteral("viewerMenus"), QStringLiteral("wordwrap"))->hover();
    return QObject::eventFilter(watched, event);
}

void ViewerTools::buildMoveBar(QWidget *host)
{
    m_moveBar = new QToolBar(host);
    m_moveBar->setObjectName(QStringLiteral("moveBar"));
    m_moveBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
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
        {"findNext", "Find Next (Ctrl+F)", QStyle::SP_FileDialogContentsView, nullptr, " CTRL+F"},
        {"replace", "Replace (Ctrl+R)", QStyle::SP_BrowserReload,
         " Click here to make a manual replacement in the current file.", " CTRL+R"},
        // Ctrl+Q quits the program; this tool also empties the list, which no key does.
        {"exit", "Exit", QStyle::SP_DialogCloseButton,
         " Click here to close the File Viewer and return to the main form.", nullptr},
    };
    for (const Tool &t : tools) {
        auto action = new QAction(host->style()->standardIcon(t.icon), QString::fromUtf8(t.caption),
                                  m_moveBar);
        const QString key = QString::fromUtf8(t.key);
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(t.caption));
        m_moveBar->addAction(action);
        QWidget *button = m_moveBar->widgetForAction(action);
        button->setObjectName(key + QStringLiteral("Button"));
        button->setProperty("hint2", t.hint2 ? QString::fromUtf8(t.hint2) : QString());
        button->setProperty("hint1", t.hint1 ? QString::fromUtf8(t.hint1) : QString());
        connect(action, &QAction::triggered, this, [this, key] { emit moveToolTriggered(key); });
    }
}

void ViewerTools::buildPopup(QWidget *owner)
{
    m_listMenu = new QMenu(owner);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    struct Tool {
        const char *key;
        const char *caption;
        const char *hint;
    };
    const Tool tools[] = {
        {"find", "Find", " This will find the first occurrence in the selected file."},
        {"open", "Open File", " This will open the selected file with the default program."},
        {"copyPath", "Copy Path",
         " This will copy the path of the selected file to the clipboard."},
        {"rename", "Rename", " This will allow you to rename the currently selected file."},
        {"deleteFile", "Delete",
         " This will delete the currently selected file, not move it to the trash."},
    };
    for (const Tool &t : tools) {
        auto action = new QAction(QString::fromUtf8(t.caption), m_listMenu);
        const QString key = QString::fromUtf8(t.key);
        action->setObjectName(key);
        const QString hint = QString::fromUtf8(t.hint);
        connect(action, &QAction::hovered, this, [this, hint] { emit listToolHovered(hint); });
        connect(action, &QAction::triggered, this, [this, key] { emit listToolTriggered(key); });
        m_listMenu->addAction(action);
    }
}

QAction *ViewerTools::tool(const QString &band, const QString &key) const
{
    QObject *owner = nullptr;
    if (band == QLatin1String("viewerMenus"))
        owner = m_menuBar;
    else if (band == QLatin1String("fileMenu"))
        owner = m_fileMenu;
    else if (band == QLatin1String("formatMenu"))
        owner = m_formatMenu;
    else if (band == QLatin1String("searchMenu"))
        owner = m_searchMenu;
    else if (band == QLatin1String("moveBar"))
        owner = m_moveBar;
    else if (band == QLatin1String("listMenu"))
        owner = m_listMenu;
    return owner ? owner->findChild<QAction *>(key, Qt::FindDirectChildrenOnly) : nullptr;
}
