#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"
#include "ui/main/MainHints.h"
#include "ui/main/MainWindow.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

class TestMainHints : public QObject {
    Q_OBJECT

    /// "move:<widget>", "enter:<bar>:<key>" or "leave:<bar>:<key>", as the pointer does.
    void act(const QString &action) const
    {
        const QStringList parts = action.split(':');
        QWidget *target = m_window.get();
        if (parts.size() == 3) {
            auto *bar = m_window->findChild<QToolBar *>(parts[1]);
            target = bar->widgetForAction(bar->findChild<QAction *>(parts[2]));
        } else if (parts[1] != m_window->objectName()) {
            target = m_window->findChild<QWidget *>(parts[1]);
        }
        const QPointF at(1, 1);
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QEnterEvent enter(at, at, target->mapToGlobal(at));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(target, parts[0] == "move"    ? &move
                                            : parts[0] == "enter" ? &enter
                                                                  : &leave);
    }
    QString panel(int number) const
    {
        return (number == 1 ? m_window->StatusBar1Panel1 : m_window->StatusBar1Panel2)->text();
    }
    /// The visible arrows' indices and highlight frames' names.
    QStringList visibleIndicators() const
    {
        QStringList visible;
        for (int i = 0; i < m_window->imgArrow1.size(); ++i)
            if (!m_window->imgArrow1[i]->isHidden())
                visible << QString::number(i);
        for (QToolButton *frame : {m_window->cmdMin, m_window->cmdCase, m_window->cmdSubs,
                                   m_window->cmdWhole, m_window->cmdBack})
            if (!frame->isHidden())
                visible << frame->objectName();
        return visible;
    }

    std::unique_ptr<TempTree> m_tree;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MainWindow> m_window;

private slots:
    void init()
    {
        m_tree = std::make_unique<TempTree>();
        SettingsStore::setStoreFileForTesting(m_tree->path("settings.ini"));
        m_window = std::make_unique<MainWindow>(&m_dialogs);
        QVERIFY(m_window->Form_Load());
    }
    void cleanup()
    {
        m_window->close();
        m_window.reset();
        SettingsStore::setStoreFileForTesting(QString());
        m_tree.reset();
    }

    void optionBoxShowsOnlyItsOwnIndicators_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QStringList>("shown");  // arrow, frame, shortcut, hint
        const auto row = [](const char *name, const char *box, bool ticked, QStringList shown) {
            QTest::newRow(name) << QString(box) << ticked << shown;
        };
        row("minimize, same hint either way", "chkMin", false,
            {"0", "cmdMin", "ALT+ Z",
             " Minimize this program to the panel for more efficient replacing."});
        row("case ticked", "chkSensitive", true,
            {"1", "cmdCase", "ALT+ C", " Checked - Replace only the same case."});
        row("whole word cleared", "chkWhole", false,
            {"3", "cmdWhole", "ALT+ W", " Unchecked - All forms of the word will be found."});
        row("backup cleared", "chkBackup", false,
            {"4", "cmdBack", "ALT+ B", " Unchecked - No backup files will be created."});
    }
    void optionBoxShowsOnlyItsOwnIndicators()
    {
        QFETCH(QString, box);
        QFETCH(bool, ticked);
        QFETCH(QStringList, shown);
        m_window->findChild<QCheckBox *>(box)->setChecked(ticked);
        act("move:chkSubs");
        QCOMPARE(visibleIndicators(), (QStringList{"2", "cmdSubs"}));
        act("move:" + box);
        QCOMPARE(visibleIndicators() << panel(1) << panel(2), shown);
        // The "..." button and the plain areas take them away again.
        act("move:cmdSetBack");
        QCOMPARE(visibleIndicators() << panel(2),
                 QStringList{" Click here to specify the backup folder."});
        act("move:" + box);
        act("move:fraOptions");
        QCOMPARE(visibleIndicators() << panel(1) << panel(2), (QStringList{"Scrivlane", ""}));
    }

    void restingOnTheTickedBackupBoxNamesTheFolder()
    {
        MainWindow &w = *m_window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.chkBackup->setChecked(true);
        w.cmdSetBack->hide();
        // The real pointer: the box is what it lands on, not the frame beneath it.
        QTest::mouseMove(w.chkBackup, w.chkBackup->rect().center());
        QTRY_VERIFY(w.cmdSetBack->isVisible());
        QCOMPARE(panel(2), " Checked - Current backup folder is: " +
                               Paths::withTrailingSeparator(Paths::applicationFolder()) + "Backup" +
                               QDir::cleanPath(w.folderPath()) + "/");
        w.chkBackup->setChecked(false);
        act("move:chkBackup");
        QVERIFY(w.cmdSetBack->isHidden());
    }

    void leavingAToolKeepsTheNeighboursHint_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");  // entered before "from" reports leaving
        QTest::addColumn<QString>("panel1");
        const auto row = [](const char *name, const char *from, const char *to, const char *p1) {
            QTest::newRow(name) << QString(from) << QString(to) << QString(p1);
        };
        row("replace onto about", "Mainbar:replace", "aboutBar:about", "F2");
        row("paste onto paste", "PasteBar1:pasteFind", "PasteBar2:pasteFind", "Scrivlane");
        row("select none onto undo", "FileBar:none", "Mainbar:undo", "CTRL+ Z");
        row("find onto nothing", "Mainbar:find", "", "Scrivlane");
        row("large onto nothing", "FindBar:large", "", "ALT+ L");
    }
    void leavingAToolKeepsTheNeighboursHint()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, panel1);
        act("enter:" + from);
        QVERIFY(panel(2).startsWith(' '));
        if (!to.isEmpty())
            act("enter:" + to);
        act("leave:" + from);
        const QStringList target = to.split(':');
        QCOMPARE(panel(2), to.isEmpty() ? QString() : MainHints::toolHint(target[0], target[1]));
        QCOMPARE(panel(1), panel1);
    }

    void replaceRunKeepsItsProgressText()
    {
        MainWindow &w = *m_window;
        for (int i = 0; i < 3; ++i)
            m_tree->write(QString("files/f%1.txt").arg(i), "the cat sat\r\n");
        w.Dir2->setPath(m_tree->path("files"));
        w.cboFilters->setCurrentIndex(1);
        w.File2->selectAll();
        w.txtFind->setEditText("cat");
        w.txtReplace->setEditText("dog");
        QString progress;
        QStringList changedBy;
        QTimer::singleShot(0, this, [&] {  // the run's first yield: its progress is in panel 2
            QVERIFY(w.context().state.RunInProgress);
            progress = panel(2);
            // The run tools (replace now Stop), the type tools and frame, plain areas,
            // locked controls and the lists' labels.
            for (const QString action :
                 {"enter:Mainbar:find", "leave:Mainbar:find", "enter:Mainbar:replace",
                  "leave:Mainbar:replace", "enter:Mainbar:undo", "leave:Mainbar:undo",
                  "enter:FindBar:fuzzy", "leave:FindBar:fuzzy", "move:fraType", "move:frmFind",
                  "move:fraOptions", "move:StatusBar1", "move:Picture5", "move:chkBackup",
                  "move:cmdFilters", "move:Picture3", "move:Label9"}) {
                act(action);
                if (panel(2) != progress)
                    changedBy << action;
            }
        });
        w.tool("Mainbar", "replace")->trigger();
        QVERIFY(!progress.isEmpty());
        QCOMPARE(changedBy, QStringList{});
    }
};

QTEST_MAIN(TestMainHints)
#include "tst_mainhints.moc"
