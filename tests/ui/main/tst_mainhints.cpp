#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/FilterManagerDialog.h"
#include "ui/main/MainHints.h"
#include "ui/main/MainWindow.h"
#include "ui/viewer/ViewerWindow.h"

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
        return (number == 1 ? m_window->statusStatePanel : m_window->statusDetailPanel)->text();
    }
    /// The visible arrows' indices and highlight frames' names.
    QStringList visibleIndicators() const
    {
        QStringList visible;
        for (int i = 0; i < m_window->optionArrows.size(); ++i)
            if (!m_window->optionArrows[i]->isHidden())
                visible << QString::number(i);
        for (QToolButton *frame :
             {m_window->minimizeHighlight, m_window->caseHighlight, m_window->subfoldersHighlight,
              m_window->wholeWordHighlight, m_window->backupHighlight,
              m_window->skipIgnoredHighlight, m_window->regexHighlight,
              m_window->includeHiddenHighlight, m_window->keepCaseHighlight})
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
        QVERIFY(m_window->startUp());
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
        row("minimize, same hint either way", "minimizeBox", false,
            {"0", "minimizeHighlight", "ALT+ Z",
             " Minimize this program to the panel for more efficient replacing."});
        row("case ticked", "caseSensitiveBox", true,
            {"1", "caseHighlight", "ALT+ C", " Checked - Replace only the same case."});
        row("whole word cleared", "wholeWordBox", false,
            {"3", "wholeWordHighlight", "ALT+ W",
             " Unchecked - All forms of the word will be found."});
        row("backup cleared", "backupBox", false,
            {"4", "backupHighlight", "ALT+ B", " Unchecked - No backup files will be created."});
        row("skip ignored ticked", "skipIgnoredBox", true,
            {"5", "skipIgnoredHighlight", "ALT+ I",
             " Checked - Files and folders that git ignores are skipped."});
        row("regular expression cleared", "regexBox", false,
            {"6", "regexHighlight", "ALT+ R",
             " Unchecked - The search text is found exactly as it is typed."});
        row("include hidden ticked", "includeHiddenBox", true,
            {"7", "includeHiddenHighlight", "ALT+ H",
             " Checked - Hidden files and folders are searched too (never .git)."});
        row("keep case cleared", "keepCaseBox", false,
            {"8", "keepCaseHighlight", "ALT+ K",
             " Unchecked - The replacement is written exactly as it is typed."});
    }
    void optionBoxShowsOnlyItsOwnIndicators()
    {
        QFETCH(QString, box);
        QFETCH(bool, ticked);
        QFETCH(QStringList, shown);
        m_window->findChild<QCheckBox *>(box)->setChecked(ticked);
        act("move:subfoldersBox");
        QCOMPARE(visibleIndicators(), (QStringList{"2", "subfoldersHighlight"}));
        act("move:" + box);
        QCOMPARE(visibleIndicators() << panel(1) << panel(2), shown);
        // The "..." button and the plain areas take them away again.
        act("move:backupFolderButton");
        QCOMPARE(visibleIndicators() << panel(2),
                 QStringList{" Click here to specify the backup folder."});
        act("move:" + box);
        act("move:optionsGroup");
        QCOMPARE(visibleIndicators() << panel(1) << panel(2), (QStringList{"Scrivlane", ""}));
    }

    void restingOnTheTickedBackupBoxNamesTheFolder()
    {
        MainWindow &w = *m_window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.backupBox->setChecked(true);
        w.backupFolderButton->hide();
        // The real pointer: the box is what it lands on, not the frame beneath it.
        QTest::mouseMove(w.backupBox, w.backupBox->rect().center());
        QTRY_VERIFY(w.backupFolderButton->isVisible());
        // Shortened to fit the panel, whole in the box's tool tip.
        QVERIFY(panel(2).startsWith(" Checked - Current backup folder is: "));
        QCOMPARE(w.backupBox->toolTip(), Paths::withTrailingSeparator(Paths::applicationFolder()) +
                                             "Backup" + QDir::cleanPath(w.request().folderPath()) +
                                             "/");
        w.backupBox->setChecked(false);
        act("move:backupBox");
        QVERIFY(w.backupFolderButton->isHidden());
    }

    void longBackupFolderIsShortenedInItsMiddle()
    {
        MainWindow &w = *m_window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString deep = m_tree->mkdir(QStringList(12, "a-rather-long-folder-name").join('/'));
        w.folderList->setPath(deep);
        w.backupBox->setChecked(true);
        act("move:backupBox");
        const QString lead = " Checked - Current backup folder is: ";
        const QString whole = Paths::withTrailingSeparator(Paths::applicationFolder()) + "Backup" +
                              QDir::cleanPath(deep) + "/";
        QVERIFY2(panel(2).startsWith(lead) && panel(2).contains(QChar(0x2026)),
                 qPrintable(panel(2)));
        // Both ends of the folder stay: where the tree is and which folder it is.
        QVERIFY(whole.startsWith(panel(2).mid(lead.size()).section(QChar(0x2026), 0, 0)));
        QVERIFY(whole.endsWith(panel(2).section(QChar(0x2026), 1)));
        QVERIFY(w.statusDetailPanel->fontMetrics().horizontalAdvance(panel(2)) <=
                w.statusDetailPanel->contentsRect().width());
        QCOMPARE(w.backupBox->toolTip(), whole);
    }

    // A hint or a run's progress text goes once what it describes has changed,
    // unless it still holds (a Find's last text names the file the viewer shows).
    void textsGoWithWhatTheyDescribe_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("panel2");  // <first>: the first file, as the viewer names it
        QTest::newRow("option box clicked") << "click case"
                                            << " Checked - Replace only the same case.";
        QTest::newRow("option box clicked back") << "click case twice"
                                                 << " Unchecked - Replace all strings.";
        QTest::newRow("filter dialog hidden") << "filter dialog"
                                              << "";
        QTest::newRow("after a Replace") << "replace cat"
                                         << "";
        QTest::newRow("after a Replace of nothing") << "replace zebra"
                                                    << "";
        QTest::newRow("after an Undo of nothing") << "undo"
                                                  << "";
        QTest::newRow("after a Find of nothing") << "find zebra"
                                                 << "";
        QTest::newRow("after a Find") << "find cat"
                                      << " Searching through document: <first>";
    }
    void textsGoWithWhatTheyDescribe()
    {
        QFETCH(QString, step);
        QFETCH(QString, panel2);
        MainWindow &w = *m_window;
        for (int i = 0; i < 3; ++i)
            m_tree->write(QString("files/f%1.txt").arg(i), "the cat sat\r\n");
        w.folderList->setPath(m_tree->path("files"));
        w.filterBox->setCurrentIndex(1);
        w.fileList->selectAll();
        w.caseSensitiveBox->setChecked(false);
        const QString verb = step.section(' ', 0, 0);
        const QString what = step.section(' ', 1, 1);
        if (verb == "click") {
            act("move:caseSensitiveBox");
            QCOMPARE(panel(2), " Unchecked - Replace all strings.");
            w.caseSensitiveBox->click();
            if (step.endsWith("twice"))
                w.caseSensitiveBox->click();
        } else if (verb == "filter") {
            w.filterManagerButton->click();
            auto *dialog = w.findChild<FilterManagerDialog *>();
            QTRY_VERIFY(dialog && dialog->isVisible());
            w.setStatusText(2, " Return to the main form.");
            dialog->hide();
        } else {
            w.findBox->setEditText(what.isEmpty() ? "cat" : what);
            w.replaceBox->setEditText("dog");
            w.tool("runBar", verb)->trigger();
        }
        QCOMPARE(panel(2), QString(panel2).replace(
                               "<first>", QDir::toNativeSeparators(m_tree->path("files/f0.txt"))));
    }

    void leavingAToolKeepsTheNeighboursHint_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");  // entered before "from" reports leaving
        QTest::addColumn<QString>("panel1");
        const auto row = [](const char *name, const char *from, const char *to, const char *p1) {
            QTest::newRow(name) << QString(from) << QString(to) << QString(p1);
        };
        row("replace onto about", "runBar:replace", "helpBar:about", "F2");
        row("paste onto paste", "pasteFindBar:pasteFind", "pasteReplaceBar:pasteFind", "Scrivlane");
        row("select none onto undo", "fileSelectionBar:none", "runBar:undo", "CTRL+ Z");
        row("find onto nothing", "runBar:find", "", "Scrivlane");
        row("large onto nothing", "searchTypeBar:large", "", "ALT+ L");
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
        w.folderList->setPath(m_tree->path("files"));
        w.filterBox->setCurrentIndex(1);
        w.fileList->selectAll();
        w.findBox->setEditText("cat");
        w.replaceBox->setEditText("dog");
        QString progress;
        QStringList changedBy;
        QTimer::singleShot(0, this, [&] {  // the run's first yield: its progress is in panel 2
            QVERIFY(w.context().state.runInProgress);
            progress = panel(2);
            // The run tools (replace now Stop), the type tools and frame, plain areas,
            // locked controls and the lists' labels.
            for (const QString action :
                 {"enter:runBar:find", "leave:runBar:find", "enter:runBar:replace",
                  "leave:runBar:replace", "enter:runBar:undo", "leave:runBar:undo",
                  "enter:searchTypeBar:fuzzy", "leave:searchTypeBar:fuzzy", "move:typeGroup",
                  "move:mainWindow", "move:optionsGroup", "move:mainStatusBar", "move:focusPark",
                  "move:backupBox", "move:filterManagerButton", "move:fileBarHolder",
                  "move:drivesLabel"}) {
                act(action);
                if (panel(2) != progress)
                    changedBy << action;
            }
        });
        w.tool("runBar", "replace")->trigger();
        QVERIFY(!progress.isEmpty());
        QCOMPARE(changedBy, QStringList{});
    }
};

QTEST_MAIN(TestMainHints)
#include "tst_mainhints.moc"
