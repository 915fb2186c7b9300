#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"
#include "ui/main/MainHints.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestMainHints : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void optionBoxShowsOnlyItsOwnIndicators_data();
    void optionBoxShowsOnlyItsOwnIndicators();
    void restingOnTheTickedBackupBoxNamesTheFolder();
    void leavingAToolKeepsTheNeighboursHint_data();
    void leavingAToolKeepsTheNeighboursHint();
    void replaceRunKeepsItsProgressText_data();
    void replaceRunKeepsItsProgressText();

private:
    /// "move:<widget>", "enter:<bar>:<key>" or "leave:<bar>:<key>", as the pointer does.
    void act(const QString &action) const;
    QString panel(int number) const
    {
        return (number == 1 ? m_window->StatusBar1Panel1 : m_window->StatusBar1Panel2)->text();
    }
    /// The visible arrows' indices and highlight frames' names.
    QStringList visibleIndicators() const;

    std::unique_ptr<TempTree> m_tree;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainHints::init()
{
    m_tree = std::make_unique<TempTree>();
    SettingsStore::setStoreFileForTesting(m_tree->path(QStringLiteral("settings.ini")));
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    QVERIFY(m_window->Form_Load());
}

void TestMainHints::cleanup()
{
    m_window->close();
    m_window.reset();
    SettingsStore::setStoreFileForTesting(QString());
    m_tree.reset();
}

void TestMainHints::act(const QString &action) const
{
    const QStringList parts = action.split(QLatin1Char(':'));
    if (parts[0] == u"move") {
        QWidget *target = parts[1] == m_window->objectName()
                              ? m_window.get()
                              : m_window->findChild<QWidget *>(parts[1]);
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), target->mapToGlobal(QPointF(1, 1)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        return;
    }
    auto *bar = m_window->findChild<QToolBar *>(parts[1]);
    QWidget *button = bar->widgetForAction(bar->findChild<QAction *>(parts[2]));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), button->mapToGlobal(QPointF(1, 1)));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, parts[0] == u"enter" ? &enter : &leave);
}

QStringList TestMainHints::visibleIndicators() const
{
    QStringList visible;
    for (int i = 0; i < m_window->imgArrow1.size(); ++i) {
        if (!m_window->imgArrow1[i]->isHidden())
            visible << QString::number(i);
    }
    for (QToolButton *frame : {m_window->cmdMin, m_window->cmdCase, m_window->cmdSubs,
                               m_window->cmdWhole, m_window->cmdBack}) {
        if (!frame->isHidden())
            visible << frame->objectName();
    }
    return visible;
}

void TestMainHints::optionBoxShowsOnlyItsOwnIndicators_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QStringList>("indicators");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("hint");
    QTest::addRow("minimize, same hint either way")
        << "chkMin" << false << QStringList{"0", "cmdMin"} << "ALT+ Z"
        << " Minimize this program to the Taskbar for more efficient replacing.";
    QTest::addRow("case ticked") << "chkSensitive" << true << QStringList{"1", "cmdCase"}
                                 << "ALT+ C"
                                 << " Checked - Replace only the same case.";
    QTest::addRow("whole word cleared")
        << "chkWhole" << false << QStringList{"3", "cmdWhole"} << "ALT+ W"
        << " Unchecked - All forms of the word will be found.";
    QTest::addRow("backup cleared")
        << "chkBackup" << false << QStringList{"4", "cmdBack"} << "ALT+ B"
        << " Unchecked - No backup files will be created.";
}

void TestMainHints::optionBoxShowsOnlyItsOwnIndicators()
{
    QFETCH(QString, box);
    QFETCH(bool, ticked);
    QFETCH(QStringList, indicators);
    QFETCH(QString, shortcut);
    QFETCH(QString, hint);
    MainWindow &w = *m_window;
    w.findChild<QCheckBox *>(box)->setChecked(ticked);
    act(QStringLiteral("move:chkSubs"));
    QCOMPARE(visibleIndicators(), (QStringList{"2", "cmdSubs"}));
    act(QStringLiteral("move:") + box);
    QCOMPARE(visibleIndicators(), indicators);
    QCOMPARE(panel(1), shortcut);
    QCOMPARE(panel(2), hint);
    // The "..." button and the plain areas take them away again.
    act(QStringLiteral("move:cmdSetBack"));
    QCOMPARE(visibleIndicators(), QStringList{});
    QCOMPARE(panel(2), QStringLiteral(" Click here to specify the backup folder."));
    act(QStringLiteral("move:") + box);
    act(QStringLiteral("move:fraOptions"));
    QCOMPARE(visibleIndicators(), QStringList{});
    QCOMPARE(panel(1), QStringLiteral("Scrivlane"));
    QCOMPARE(panel(2), QString());
}

void TestMainHints::restingOnTheTickedBackupBoxNamesTheFolder()
{
    MainWindow &w = *m_window;
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.chkBackup->setChecked(true);
    w.cmdSetBack->hide();
    // The real pointer: the box is what it lands on, not the frame beneath it.
    QTest::mouseMove(w.chkBackup, w.chkBackup->rect().center());
    QTRY_VERIFY(w.cmdSetBack->isVisible());
    // Unless a folder is specified, the hint names the default location's tree.
    QCOMPARE(panel(2), QStringLiteral(" Checked - Current backup folder is: ") +
                           Paths::withTrailingSeparator(Paths::applicationFolder()) +
                           QStringLiteral("Backup/"));
    QVERIFY(w.imgArrow1[4]->isVisible());
    w.chkBackup->setChecked(false);
    act(QStringLiteral("move:chkBackup"));
    QVERIFY(w.cmdSetBack->isHidden());
}

void TestMainHints::leavingAToolKeepsTheNeighboursHint_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>(
        "enterFirst");  // the new tool reports entering before the old one leaves
    QTest::addColumn<QString>("panel1");
    QTest::addRow("replace onto about") << "Mainbar:replace"
                                        << "aboutBar:about" << true << "F2";
    QTest::addRow("replace onto about, leave first") << "Mainbar:replace"
                                                     << "aboutBar:about" << false << "F2";
    QTest::addRow("paste onto paste") << "PasteBar1:pasteFind"
                                      << "PasteBar2:pasteFind" << true << "Scrivlane";
    QTest::addRow("paste back onto paste") << "PasteBar2:pasteFind"
                                           << "PasteBar1:pasteFind" << true << "Scrivlane";
    QTest::addRow("select none onto undo") << "FileBar:none"
                                           << "Mainbar:undo" << true << "CTRL+ Z";
    QTest::addRow("find onto nothing") << "Mainbar:find"
                                       << "" << false << "Scrivlane";
    QTest::addRow("large onto nothing") << "FindBar:large"
                                        << "" << false << "ALT+ L";
}

void TestMainHints::leavingAToolKeepsTheNeighboursHint()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, enterFirst);
    QFETCH(QString, panel1);
    act(QStringLiteral("enter:") + from);
    QVERIFY(panel(2).startsWith(QLatin1Char(' ')));
    if (enterFirst)
        act(QStringLiteral("enter:") + to);
    act(QStringLiteral("leave:") + from);
    if (!enterFirst && !to.isEmpty())
        act(QStringLiteral("enter:") + to);
    const QStringList target = to.split(QLatin1Char(':'));
    QCOMPARE(panel(2), to.isEmpty() ? QString() : MainHints::toolHint(target[0], target[1]));
    QCOMPARE(panel(1), panel1);
}

void TestMainHints::replaceRunKeepsItsProgressText_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addRow("run tools, the replace tool now Stop")
        << QStringList{"enter:Mainbar:find",    "leave:Mainbar:find", "enter:Mainbar:replace",
                       "leave:Mainbar:replace", "enter:Mainbar:undo", "leave:Mainbar:undo"};
    QTest::addRow("type tools and frame")
        << QStringList{"enter:FindBar:fuzzy", "leave:FindBar:fuzzy", "move:fraType"};
    QTest::addRow("plain areas") << QStringList{"move:frmFind", "move:fraOptions",
                                                "move:StatusBar1", "move:Picture5"};
    QTest::addRow("locked controls and the lists' labels")
        << QStringList{"move:chkBackup", "move:cmdFilters", "move:Picture3", "move:Label9"};
}

void TestMainHints::replaceRunKeepsItsProgressText()
{
    QFETCH(QStringList, actions);
    MainWindow &w = *m_window;
    for (int i = 0; i < 3; ++i)
        m_tree->write(QStringLiteral("files/f%1.txt").arg(i), "the cat sat\r\n");
    w.Dir2->setPath(m_tree->path(QStringLiteral("files")));
    w.cboFilters->setCurrentIndex(1);
    w.File2->selectAll();
    w.txtFind->setEditText(QStringLiteral("cat"));
    w.txtReplace->setEditText(QStringLiteral("dog"));
    QString before, after;
    // At the run's first yield: its progress is in panel 2.
    QTimer::singleShot(0, this, [&] {
        QVERIFY(w.context().state.RunInProgress);
        before = panel(2);
        for (const QString &action : std::as_const(actions)) act(action);
        after = panel(2);
    });
    w.tool(QStringLiteral("Mainbar"), QStringLiteral("replace"))->trigger();
    QVERIFY(!before.isEmpty());
    QCOMPARE(after, before);
}

QTEST_MAIN(TestMainHints)
#include "tst_mainhints.moc"
