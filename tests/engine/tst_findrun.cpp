#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/FindRun.h"
#include "platform/FileSystem.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A tree of files for the Find run:
//   top/a.txt (cat) top/b.txt (dog) top/c.log (cat)
//   top/sub/d.txt (cat) top/sub/deeper/e.txt (Cat) top/sub/f.txt (dog)
class TestFindRun : public QObject {
    Q_OBJECT

private:
    static void buildTree(TempTree &t)
    {
        t.write(QStringLiteral("top/a.txt"), "a cat");
        t.write(QStringLiteral("top/b.txt"), "a dog");
        t.write(QStringLiteral("top/c.log"), "cat");
        t.write(QStringLiteral("top/sub/d.txt"), "cat");
        t.write(QStringLiteral("top/sub/deeper/e.txt"), "Cat");
        t.write(QStringLiteral("top/sub/f.txt"), "dog");
    }
    static void aim(FakeRunHost &h, const TempTree &t, bool selectAll)
    {
        h.request.folder = t.path(QStringLiteral("top"));
        h.request.setFiles(
            {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.log")}, selectAll);
        h.request.find = QStringLiteral("cat");
    }
    static QStringList relative(const TempTree &t, const QStringList &paths)
    {
        QStringList out;
        for (const QString &p : paths) out << p.mid(t.path(QStringLiteral("top")).size() + 1);
        return out;
    }

private slots:
    void selectedFilesWithoutSubfolders();
    void noSelectionStopsBeforeAnyLoad();
    void subfoldersSkipUnselectedTopFiles_data();
    void subfoldersSkipUnselectedTopFiles();
    void twelvePatternsWalkElevenThenReport();
    void unreadableFileIsReportedAndRunGoesOn();
    void stopMidRunKeepsListAndSaysNothing();
    void aStopRequestEndsOnlyTheRunItReached();
    void nothingFoundSaysSo();
    void walkPassesOverLinksAndSpecialFiles();
    void fuzzyFindAcrossTree();
    void nameThatIsNotUtf8IsSearched();
    void firstFileGoneAtTheEndIsReportedNotShown();
};

void TestFindRun::selectedFilesWithoutSubfolders()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, true);

    startFind(h.ctx);

    QCOMPARE(relative(t, h.viewer.list),
             QStringList({QStringLiteral("a.txt"), QStringLiteral("c.log")}));
    QVERIFY(h.viewer.visible);
    QCOMPARE(h.viewer.indexLabel, QStringLiteral("1"));
    QCOMPARE(h.viewer.caption, QStringLiteral("Viewing document: ") + h.viewer.list.first());
    QCOMPARE(h.viewer.document.fileName(), h.viewer.list.first());
    QCOMPARE(h.viewer.document.selectedText(), QStringLiteral("cat"));
    QCOMPARE(h.events.last(), QStringLiteral("findEnded"));
    QVERIFY(!h.ctx.state.runInProgress);
    QVERIFY(h.dialogs.shown.isEmpty());
    QCOMPARE(h.main.historySaves, 1);
    // Every entry, selected or not, is counted.
    QVERIFY(h.events.events.contains(QStringLiteral("listedFileSearched: cat 3")));
}

void TestFindRun::noSelectionStopsBeforeAnyLoad()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, false);
    h.main.minimized = true;

    startFind(h.ctx);

    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" No files selected")}));
    QVERIFY(h.viewer.document.fileName().isEmpty());
    QVERIFY(h.events.events.contains(QStringLiteral("findEnded")));
    QVERIFY(!h.ctx.state.runInProgress);
    // The failed check restores the window and clears the run's texts.
    QVERIFY(!h.main.minimized);
    QCOMPARE(h.events.last(), QStringLiteral("requestRefused"));
    QCOMPARE(h.main.historySaves, 0);
}

void TestFindRun::subfoldersSkipUnselectedTopFiles_data()
{
    QTest::addColumn<bool>("selectTop");
    QTest::addColumn<QString>("filters");
    QTest::addColumn<QStringList>("found");
    QTest::addRow("nothing selected")
        << false << "*.txt" << QStringList{"sub/d.txt", "sub/deeper/e.txt"};
    QTest::addRow("top selected, files before subfolders")
        << true << "*.txt" << QStringList{"a.txt", "sub/d.txt", "sub/deeper/e.txt"};
    QTest::addRow("a file matching two patterns is listed twice")
        << true << "*.log;c*" << QStringList{"c.log", "c.log"};
    QTest::addRow("empty pattern takes every file")
        << false << ";*.none" << QStringList{"sub/d.txt", "sub/deeper/e.txt"};
    QTest::addRow("an exclusion leaves out files of every pattern")
        << true << "*.txt;*.log;!d*;!c*" << QStringList{"a.txt", "sub/deeper/e.txt"};
    QTest::addRow("a folder exclusion is not entered")
        << false << "*.txt;!deeper/" << QStringList{"sub/d.txt"};
    QTest::addRow("exclusions alone take the rest") << true << "!*.txt" << QStringList{"c.log"};
}

void TestFindRun::subfoldersSkipUnselectedTopFiles()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    QFETCH(bool, selectTop);
    aim(h, t, selectTop);
    h.request.subdirectories = true;
    QFETCH(QString, filters);
    h.request.filterText = filters;

    startFind(h.ctx);

    QFETCH(QStringList, found);
    const QStringList listed = relative(t, h.viewer.list);
    // Order within a folder is the platform's listing order; compare as sets.
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()),
             QSet<QString>(found.begin(), found.end()));
    QCOMPARE(listed.size(), found.size());
    // Depth first: a folder's own files come before its subfolders'.
    const qsizetype deeper = listed.indexOf(QStringLiteral("sub/deeper/e.txt"));
    const qsizetype d = listed.indexOf(QStringLiteral("sub/d.txt"));
    if (deeper >= 0 && d >= 0)
        QVERIFY(d < deeper);
    QCOMPARE(h.ctx.state.modifiedFileCount, found.size());
    QVERIFY(h.viewer.visible);
    // The viewer's Find Next goes on with the run's search.
    QCOMPARE(h.viewer.find, h.request.find);
}

void TestFindRun::twelvePatternsWalkElevenThenReport()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, false);
    h.request.subdirectories = true;
    QStringList pieces(11, QStringLiteral("d.txt"));
    pieces << QStringLiteral("*.*");
    h.request.filterText = pieces.join(QLatin1Char(';'));

    startFind(h.ctx);

    QCOMPARE(h.viewer.list.size(), 11);
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Error")}));
    QVERIFY(h.dialogs.shown.first().text.startsWith(
        QStringLiteral("An error occurred while trying to search.\rExact error was: ")));
    QVERIFY(t.read(QStringLiteral("app/ErrorLog.log")).contains("cmdFind_Click-frmFind.frm"));
}

void TestFindRun::unreadableFileIsReportedAndRunGoesOn()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, true);
    h.request.setFiles({QStringLiteral("missing.txt"), QStringLiteral("a.txt")}, true);

    startFind(h.ctx);

    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Error")}));
    QCOMPARE(relative(t, h.viewer.list), QStringList({QStringLiteral("a.txt")}));
}

void TestFindRun::stopMidRunKeepsListAndSaysNothing()
{
    TempTree t;
    for (int i = 0; i < 20; ++i) t.write(QStringLiteral("top/sub/f%1.txt").arg(i), "cat");
    FakeRunHost h;
    aim(h, t, false);
    h.request.subdirectories = true;
    h.main.onYield = [&] {
        // The click on "Stop" arrives inside a yield.
        if (h.viewer.list.size() == 5 && !h.ctx.state.stopRequested)
            h.ctx.requestStop();
    };

    startFind(h.ctx);

    QCOMPARE(h.viewer.list.size(), 5);
    QVERIFY(h.ctx.state.stopRequested);
    QVERIFY(h.dialogs.shown.isEmpty());
    QVERIFY(!h.viewer.visible);
}

void TestFindRun::aStopRequestEndsOnlyTheRunItReached()
{
    FakeRunHost h;
    h.ctx.requestStop();
    startFind(h.ctx);
    QVERIFY(!h.ctx.state.stopRequested);
    QCOMPARE(h.dialogs.titles(), QStringList{QStringLiteral(" No files selected")});
}

void TestFindRun::nothingFoundSaysSo()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, true);
    h.request.find = QStringLiteral("zebra");
    startFind(h.ctx);
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Search complete")}));
    QVERIFY(!h.viewer.visible);
}

void TestFindRun::walkPassesOverLinksAndSpecialFiles()
{
    TempTree t;
    buildTree(t);
    // A link back up the tree would loop forever if it were followed.
    QVERIFY(QFile::link(t.path(QStringLiteral("top")), t.path(QStringLiteral("top/sub/loop"))));
    QCOMPARE(
        ::mkfifo(QFile::encodeName(t.path(QStringLiteral("top/sub/pipe.txt"))).constData(), 0600),
        0);
    FakeRunHost h;
    aim(h, t, false);
    h.request.subdirectories = true;
    h.request.filterText = QStringLiteral("*.txt");

    startFind(h.ctx);

    QCOMPARE(h.viewer.list.size(), 2);
    QVERIFY(h.dialogs.shown.isEmpty());
}

void TestFindRun::fuzzyFindAcrossTree()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "x <b>bold</b> y");
    t.write(QStringLiteral("top/sub/b.txt"), "<i>");
    t.write(QStringLiteral("top/sub/c.txt"), "<p>\r\n</p>");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles({QStringLiteral("a.txt")}, true);
    h.request.fuzzy = true;
    h.request.first = QStringLiteral("<p>");
    h.request.second = QStringLiteral("</p>");
    h.request.subdirectories = true;

    startFind(h.ctx);

    QCOMPARE(relative(t, h.viewer.list), QStringList({QStringLiteral("sub/c.txt")}));
    QCOMPARE(h.viewer.document.selectedText(), QStringLiteral("<p>\r\n</p>"));
    QCOMPARE(h.viewer.indexLabel, QStringLiteral("1"));
}

void TestFindRun::nameThatIsNotUtf8IsSearched()
{
    TempTree t;
    t.mkdir(QStringLiteral("top/sub"));
    // A Latin-1 name: byte 0xE9 alone is no valid UTF-8.
    const QByteArray raw = QFile::encodeName(t.path(QStringLiteral("top/sub"))) + "/caf\xE9.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "a cat", 5), ssize_t(5));
    ::close(fd);
    FakeRunHost h;
    aim(h, t, false);
    h.request.subdirectories = true;

    startFind(h.ctx);

    QCOMPARE(h.viewer.list.size(), 1);
    QCOMPARE(FileSystem::nativePath(h.viewer.list.first()), raw);
    QVERIFY(h.dialogs.shown.isEmpty());
}

void TestFindRun::firstFileGoneAtTheEndIsReportedNotShown()
{
    TempTree t;
    buildTree(t);
    FakeRunHost h;
    aim(h, t, true);
    h.request.setFiles({QStringLiteral("a.txt"), QStringLiteral("c.log"), QStringLiteral("b.txt")},
                       true);
    // a.txt disappears after it was found, before the viewer opens on it.
    h.main.onYield = [&] {
        if (h.viewer.list.size() == 2)
            QFile::remove(t.path(QStringLiteral("top/a.txt")));
    };

    startFind(h.ctx);

    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Error")}));
    QVERIFY(!h.viewer.visible);
    QVERIFY(h.viewer.caption.isEmpty());
    QCOMPARE(h.events.last(), QStringLiteral("findEnded"));
}

QTEST_GUILESS_MAIN(TestFindRun)
#include "tst_findrun.moc"
