#include "support/FakeRunHost.h"

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
#include <QStatusBar>
#include <QTemporaryDir>
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
    void controlHints_data();
    void controlHints();
    void toolHints_data();
    void toolHints();
    void leavingAToolKeepsTheNeighboursHint_data();
    void leavingAToolKeepsTheNeighboursHint();
    void replaceRunKeepsItsProgressText_data();
    void replaceRunKeepsItsProgressText();

private:
    MainWindow &start();
    QWidget *widget(const QString &name) const;
    void move(QWidget *widget) const;
    void enter(const QString &bar, const QString &key) const;
    void leave(const QString &bar, const QString &key) const;
    /// "move:<widget>", "enter:<bar>:<key>" or "leave:<bar>:<key>".
    void act(const QString &action) const;
    QString panel(int number) const
    {
        return (number == 1 ? m_window->StatusBar1Panel1 : m_window->StatusBar1Panel2)->text();
    }
    QList<int> visibleArrows() const;
    QStringList visibleFrames() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainHints::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("app"));
    QDir(m_dir->path()).mkpath(QStringLiteral("files"));
    Paths::setApplicationFolderForTesting(
        QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("app"))));
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void TestMainHints::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_dialogs.reset();
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
    m_dir.reset();
}

MainWindow &TestMainHints::start()
{
    m_window = std::make_unique<MainWindow>(m_dialogs.get());
    [&] { QVERIFY(m_window->Form_Load()); }();
    return *m_window;
}

QWidget *TestMainHints::widget(const QString &name) const
{
    if (name == m_window->objectName())
        return m_window.get();
    return m_window->findChild<QWidget *>(name);
}

void TestMainHints::move(QWidget *target) const
{
    QMouseEvent event(QEvent::MouseMove, QPointF(1, 1), target->mapToGlobal(QPointF(1, 1)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void TestMainHints::enter(const QString &bar, const QString &key) const
{
    auto *toolbar = m_window->findChild<QToolBar *>(bar);
    QWidget *button = toolbar->widgetForAction(toolbar->findChild<QAction *>(key));
    QVERIFY(button);
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), button->mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(button, &event);
}

void TestMainHints::leave(const QString &bar, const QString &key) const
{
    auto *toolbar = m_window->findChild<QToolBar *>(bar);
    QWidget *button = toolbar->widgetForAction(toolbar->findChild<QAction *>(key));
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(button, &event);
}

void TestMainHints::act(const QString &action) const
{
    const QStringList parts = action.split(QLatin1Char(':'));
    if (parts[0] == u"move")
        move(widget(parts[1]));
    else if (parts[0] == u"enter")
        enter(parts[1], parts[2]);
    else
        leave(parts[1], parts[2]);
}

QList<int> TestMainHints::visibleArrows() const
{
    QList<int> visible;
    for (int i = 0; i < m_window->imgArrow1.size(); ++i) {
        if (!m_window->imgArrow1[i]->isHidden())
            visible << i;
    }
    return visible;
}

QStringList TestMainHints::visibleFrames() const
{
    QStringList visible;
    for (QWidget *frame :
         {static_cast<QWidget *>(m_window->cmdMin), static_cast<QWidget *>(m_window->cmdCase),
          static_cast<QWidget *>(m_window->cmdSubs), static_cast<QWidget *>(m_window->cmdWhole),
          static_cast<QWidget *>(m_window->cmdBack)}) {
        if (!frame->isHidden())
            visible << frame->objectName();
    }
    return visible;
}

void TestMainHints::optionBoxShowsOnlyItsOwnIndicators_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("hint");
    const QString minimize =
        QStringLiteral(" Minimize this program to the Taskbar for more efficient replacing.");
    QTest::addRow("minimize ticked") << "chkMin" << true << 0 << "cmdMin"
                                     << "ALT+ Z" << minimize;
    QTest::addRow("minimize cleared") << "chkMin" << false << 0 << "cmdMin"
                                      << "ALT+ Z" << minimize;
    QTest::addRow("case ticked") << "chkSensitive" << true << 1 << "cmdCase"
                                 << "ALT+ C"
                                 << " Checked - Replace only the same case.";
    QTest::addRow("case cleared") << "chkSensitive" << false << 1 << "cmdCase"
                                  << "ALT+ C"
                                  << " Unchecked - Replace all strings.";
    QTest::addRow("subfolders ticked") << "chkSubs" << true << 2 << "cmdSubs"
                                       << "ALT+ S"
                                       << " Checked - All subdirectories will be searched.";
    QTest::addRow("whole cleared") << "chkWhole" << false << 3 << "cmdWhole"
                                   << "ALT+ W"
                                   << " Unchecked - All forms of the word will be found.";
    QTest::addRow("backup cleared") << "chkBackup" << false << 4 << "cmdBack"
                                    << "ALT+ B"
                                    << " Unchecked - No backup files will be created.";
}

void TestMainHints::optionBoxShowsOnlyItsOwnIndicators()
{
    QFETCH(QString, box);
    QFETCH(bool, ticked);
    QFETCH(int, arrow);
    QFETCH(QString, frame);
    QFETCH(QString, shortcut);
    QFETCH(QString, hint);
    MainWindow &w = start();
    auto *check = w.findChild<QCheckBox *>(box);
    check->setChecked(ticked);
    // Whatever another box showed before goes.
    for (QLabel *image : std::as_const(w.imgArrow1)) image->show();
    for (QWidget *indicator : {w.cmdMin, w.cmdCase, w.cmdSubs, w.cmdWhole, w.cmdBack})
        indicator->show();
    move(check);
    QCOMPARE(visibleArrows(), QList<int>{arrow});
    QCOMPARE(visibleFrames(), QStringList{frame});
    QCOMPARE(panel(1), shortcut);
    QCOMPARE(panel(2), hint);
    w.Reset_Hints();
    QCOMPARE(visibleArrows(), QList<int>{});
    QCOMPARE(visibleFrames(), QStringList{});
}

void TestMainHints::restingOnTheTickedBackupBoxNamesTheFolder()
{
    MainWindow &w = start();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.chkBackup->setChecked(true);
    w.cmdSetBack->hide();
    // The real pointer: the box is what it lands on, not the frame beneath it.
    QTest::mouseMove(w.chkBackup, QPoint(w.chkBackup->width() / 2, w.chkBackup->height() / 2));
    QTRY_VERIFY(w.cmdSetBack->isVisible());
    QCOMPARE(panel(2), QStringLiteral(" Checked - Current backup folder is: ") +
                           DefaultBackupLocation().backupRoot());
    QCOMPARE(visibleArrows(), QList<int>{4});
    QVERIFY(w.imgArrow1[4]->isVisible());

    w.chkBackup->setChecked(false);
    move(w.chkBackup);
    QVERIFY(w.cmdSetBack->isHidden());
    QCOMPARE(panel(2), QStringLiteral(" Unchecked - No backup files will be created."));
}

void TestMainHints::controlHints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("panel1");  // "CTRL+ F": left as it was
    QTest::addRow("drives label") << "Label9"
                                  << " Specify drive to search"
                                  << "CTRL+ F";
    QTest::addRow("folders label") << "Label10"
                                   << " Specify folder to search - Right-click for options"
                                   << "CTRL+ F";
    QTest::addRow("filters button") << "cmdFilters"
                                    << " Select the types of files you want to edit."
                                    << "CTRL+ F";
    QTest::addRow("backup folder button") << "cmdSetBack"
                                          << " Click here to specify the backup folder."
                                          << "CTRL+ F";
    QTest::addRow("around select all/none") << "Picture3"
                                            << ""
                                            << "Scrivlane";
    QTest::addRow("fuzzy panel") << "picFuzzy"
                                 << ""
                                 << "CTRL+ F";
    QTest::addRow("window background") << "frmFind"
                                       << ""
                                       << "Scrivlane";
    QTest::addRow("options frame") << "fraOptions"
                                   << ""
                                   << "Scrivlane";
    QTest::addRow("type frame") << "fraType"
                                << ""
                                << "Scrivlane";
    QTest::addRow("status bar") << "StatusBar1"
                                << ""
                                << "Scrivlane";
    QTest::addRow("focus parking box") << "Picture5"
                                       << ""
                                       << "Scrivlane";
}

void TestMainHints::controlHints()
{
    QFETCH(QString, control);
    QFETCH(QString, panel2);
    QFETCH(QString, panel1);
    MainWindow &w = start();
    w.imgArrow1[1]->show();
    w.cmdCase->show();
    w.setStatusText(1, QStringLiteral("CTRL+ F"));
    w.setStatusText(2, QStringLiteral(" old"));
    w.Label3->setText(QStringLiteral("stale"));
    move(widget(control));
    QCOMPARE(panel(2), panel2);
    QCOMPARE(panel(1), panel1);
    // Plain areas and the backup folder button take the option indicators away.
    const bool clears = panel1 == u"Scrivlane" && control != u"Picture3";
    if (clears || control == u"cmdSetBack") {
        QCOMPARE(visibleArrows(), QList<int>{});
        QCOMPARE(visibleFrames(), QStringList{});
    }
    // Resting on the focus parking box refreshes the selection count.
    if (control == u"Picture5")
        QCOMPARE(w.Label3->text(), QStringLiteral("0 of 0"));
}

void TestMainHints::toolHints_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("panel1");  // "X": left as it was
    QTest::addRow("find") << "Mainbar"
                          << "find"
                          << "CTRL+ F";
    QTest::addRow("undo") << "Mainbar"
                          << "undo"
                          << "CTRL+ Z";
    QTest::addRow("normal") << "FindBar"
                            << "normal"
                            << "ALT+ N";
    QTest::addRow("large") << "FindBar"
                           << "large"
                           << "ALT+ L";
    QTest::addRow("select none") << "FileBar"
                                 << "none"
                                 << "CTRL+ N";
    QTest::addRow("help") << "aboutBar"
                          << "readme"
                          << "F1";
    QTest::addRow("exit") << "aboutBar"
                          << "exit"
                          << "CTRL+ Q";
    QTest::addRow("paste into find") << "PasteBar1"
                                     << "pasteFind"
                                     << "X";
    QTest::addRow("paste into replace") << "PasteBar2"
                                        << "pasteFind"
                                        << "X";
}

void TestMainHints::toolHints()
{
    QFETCH(QString, bar);
    QFETCH(QString, key);
    QFETCH(QString, panel1);
    MainWindow &w = start();
    w.setStatusText(1, QStringLiteral("X"));
    w.imgArrow1[0]->show();
    w.Label3->setText(QStringLiteral("stale"));
    enter(bar, key);
    QCOMPARE(panel(2), MainHints::toolHint(bar, key));
    QVERIFY(panel(2).startsWith(QLatin1Char(' ')));
    QCOMPARE(panel(1), panel1);
    // The main and type tools start afresh; find and normal refresh the count first.
    if (bar == u"Mainbar" || bar == u"FindBar" || bar == u"aboutBar")
        QCOMPARE(visibleArrows(), QList<int>{});
    QCOMPARE(w.Label3->text() != u"stale", key == u"find" || key == u"normal");
}

void TestMainHints::leavingAToolKeepsTheNeighboursHint_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>(
        "enterFirst");  // the new tool reports entering before the old one leaves
    QTest::addColumn<QString>("panel1");
    QTest::addRow("replace onto about, enter first") << "Mainbar:replace"
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
    start();
    act(QStringLiteral("enter:") + from);
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
    QTest::addRow("find tool") << QStringList{"enter:Mainbar:find", "leave:Mainbar:find"};
    QTest::addRow("replace tool, now Stop")
        << QStringList{"enter:Mainbar:replace", "leave:Mainbar:replace"};
    QTest::addRow("undo tool") << QStringList{"enter:Mainbar:undo", "leave:Mainbar:undo"};
    QTest::addRow("type tools") << QStringList{"enter:FindBar:fuzzy", "leave:FindBar:fuzzy"};
    QTest::addRow("type frame") << QStringList{"move:fraType"};
    QTest::addRow("plain areas") << QStringList{"move:frmFind", "move:fraOptions",
                                                "move:StatusBar1", "move:Picture5"};
    QTest::addRow("locked controls")
        << QStringList{"move:chkBackup", "move:cmdFilters", "move:Picture3", "move:picFuzzy"};
    QTest::addRow("labels of the lists") << QStringList{"move:Label9", "move:Label11"};
}

void TestMainHints::replaceRunKeepsItsProgressText()
{
    QFETCH(QStringList, actions);
    MainWindow &w = start();
    for (int i = 0; i < 3; ++i) {
        QFile file(m_dir->filePath(QStringLiteral("files/f%1.txt").arg(i)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the cat sat\r\n");
    }
    w.Dir2->setPath(m_dir->filePath(QStringLiteral("files")));
    w.cboFilters->setCurrentIndex(1);
    w.File2->selectAll();
    w.txtFind->setEditText(QStringLiteral("cat"));
    w.txtReplace->setEditText(QStringLiteral("dog"));

    QString before, after;
    bool ran = false;
    // At the run's first yield: its progress is in panel 2.
    QTimer::singleShot(0, this, [&] {
        ran = w.context().state.RunInProgress;
        before = panel(2);
        for (const QString &action : std::as_const(actions)) act(action);
        after = panel(2);
    });
    w.tool(QStringLiteral("Mainbar"), QStringLiteral("replace"))->trigger();
    QVERIFY(ran);
    QVERIFY(!before.isEmpty());
    QCOMPARE(after, before);
}

QTEST_MAIN(TestMainHints)
#include "tst_mainhints.moc"
