#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "platform/FileSystem.h"
#include "platform/LoadLimit.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QScopeGuard>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What every run leaves alone or does once, whatever the tree holds: hidden
// entries, links, files too large to hold, very deep and very wide folders.
class TestWalkSafety : public QObject {
    Q_OBJECT

private:
    enum class Run { Find, Replace, Undo };

    // Find "cat"; Replace "cat" by "cats"; Undo with the boxes "dog"/"cat",
    // which turns "cat" into "dog". Returns what a changed "cat" file holds.
    static QByteArray run(FakeRunHost &h, Run kind)
    {
        h.request.find = kind == Run::Undo ? "dog" : "cat";
        h.request.replace = kind == Run::Undo ? "cat" : "cats";
        if (kind == Run::Find)
            cmdFind_Click(h.ctx);
        else
            kind == Run::Replace ? cmdReplace_Click(h.ctx) : cmdUndo_Click(h.ctx);
        return QByteArrayList{"cat", "cats", "dog"}.at(int(kind));
    }
    static void addRuns()
    {
        QTest::addColumn<Run>("kind");
        QTest::addRow("find") << Run::Find;
        QTest::addRow("replace") << Run::Replace;
        QTest::addRow("undo") << Run::Undo;
    }
    static void aim(FakeRunHost &h, const QString &folder, const QStringList &files = {})
    {
        h.request.folder = folder;
        h.request.subdirectories = true;
        h.request.setFiles(files, true);
    }
    static bool messageNames(const FakeRunHost &h, const QString &what)
    {
        const auto &shown = h.dialogs.shown;
        return std::any_of(shown.begin(), shown.end(),
                           [&](auto &s) { return s.text.contains(what); });
    }

private slots:
    void cleanup() { LoadLimit::setMaxFileSizeForTesting(0); }
    void hiddenEntriesAndLinksArePassedOver_data() { addRuns(); }
    void hiddenEntriesAndLinksArePassedOver();
    void oneFileIsChangedOnceWhateverNamesReachIt_data();
    void oneFileIsChangedOnceWhateverNamesReachIt();
    void fileTooLargeIsReportedAndPassedOver_data() { addRuns(); }
    void fileTooLargeIsReportedAndPassedOver();
    void deepTreeIsWalkedAsFarAsPathsReach();
    void wideFolderCostsOnePassOverTheFileList();
};

void TestWalkSafety::hiddenEntriesAndLinksArePassedOver()
{
    QFETCH(Run, kind);
    TempTree t;
    const QStringList untouched{"top/.hidden.txt", "top/.git/config", "top/.git/index",
                                "top/sub/.dot.txt", "outside.txt"};
    for (const QString &name : untouched + QStringList{"top/a.txt", "top/sub/b.txt"})
        t.write(name, "cat");
    for (auto [target, link] :
         {std::pair("top/sub/b.txt", "top/sub/in.txt"), std::pair("outside.txt", "top/sub/out.txt"),
          std::pair("top/.git", "top/sub/git")})
        QVERIFY(
            QFile::link(t.path(QString::fromLatin1(target)), t.path(QString::fromLatin1(link))));
    FakeRunHost h;
    aim(h, t.path("top"), {"a.txt"});  // the file list shows no hidden files

    const QByteArray changed = run(h, kind);

    QCOMPARE(h.viewer.list, QStringList({t.path("top/a.txt"), t.path("top/sub/b.txt")}));
    QCOMPARE(t.read("top/a.txt"), changed);
    QCOMPARE(t.read("top/sub/b.txt"), changed);
    for (const QString &name : untouched) QCOMPARE(t.read(name), QByteArray("cat"));
    QVERIFY(QFileInfo(t.path("top/sub/in.txt")).isSymLink());

    // A hidden folder the user opened is searched like any other.
    FakeRunHost opened;
    aim(opened, t.path("top/.git"), {"config"});
    run(opened, kind);
    QCOMPARE(opened.viewer.list, QStringList(t.path("top/.git/config")));
    QCOMPARE(t.read("top/.git/config"), changed);
}

void TestWalkSafety::oneFileIsChangedOnceWhateverNamesReachIt_data()
{
    QTest::addColumn<Run>("kind");
    QTest::addColumn<bool>("subdirectories");
    QTest::addColumn<bool>("hardLinks");
    QTest::addColumn<int>("changes");
    for (bool walk : {false, true}) {
        // A selected link and its selected target, and a second link: one file.
        QTest::addRow("replace, links, walk %d", walk) << Run::Replace << walk << false << 1;
        QTest::addRow("undo, links, walk %d", walk) << Run::Undo << walk << false << 1;
        // Hard links become separate files at the first save, as with sed -i.
        QTest::addRow("replace, hard links, walk %d", walk) << Run::Replace << walk << true << 3;
    }
}

void TestWalkSafety::oneFileIsChangedOnceWhateverNamesReachIt()
{
    QFETCH(Run, kind);
    QFETCH(bool, subdirectories);
    QFETCH(bool, hardLinks);
    QFETCH(int, changes);
    TempTree t;
    const QString target = t.write("top/t.txt", "cat");
    for (const QString &link : {t.path("top/l1.txt"), t.path("top/l2.txt")})
        QVERIFY(hardLinks ? ::link(QFile::encodeName(target), QFile::encodeName(link)) == 0
                          : QFile::link(target, link));
    FakeRunHost h;
    aim(h, t.path("top"), {"l1.txt", "l2.txt", "t.txt"});
    h.request.subdirectories = subdirectories;
    h.request.backup = true;
    h.backup.root = t.mkdir("bk");

    const QByteArray changed = run(h, kind);

    QCOMPARE(h.ctx.state.ModifiedFileCount, changes);
    QCOMPARE(h.viewer.list.size(), changes);
    for (const char *name : {"top/t.txt", "top/l1.txt", "top/l2.txt"})
        QCOMPARE(t.read(name), changed);
    QCOMPARE(QFileInfo(t.path("top/l1.txt")).isSymLink(), !hardLinks);
    // Whichever name was taken first, its copy holds the original; Undo copies only in a walk.
    const QStringList copies = QDir(t.path("bk/Backup/top")).entryList(QDir::Files);
    QCOMPARE(copies.size(), kind == Run::Replace || subdirectories ? changes : 0);
    for (const QString &name : copies) QCOMPARE(t.read("bk/Backup/top/" + name), QByteArray("cat"));
}

void TestWalkSafety::fileTooLargeIsReportedAndPassedOver()
{
    QFETCH(Run, kind);
    TempTree t;
    LoadLimit::setMaxFileSizeForTesting(50);
    for (bool subdirectories : {false, true}) {
        for (const char *name : {"top/a.txt", "top/sub/c.txt"}) t.write(name, "cat");
        for (const char *name : {"top/big.txt", "top/sub/big.txt"})
            t.write(name, "cat" + QByteArray(100, ' '));
        FakeRunHost h;
        aim(h, t.path("top"), {"big.txt", "a.txt"});
        h.request.subdirectories = subdirectories;
        const QByteArray changed = run(h, kind);
        QVERIFY(messageNames(h, t.path("top/big.txt")));
        QVERIFY(messageNames(h, "103 bytes"));
        QCOMPARE(t.read("top/a.txt"), changed);
        QCOMPARE(t.read("top/big.txt").left(4), QByteArray("cat "));
        if (subdirectories) {
            // The walk goes on past the large file to the rest of the tree.
            QVERIFY(messageNames(h, t.path("top/sub/big.txt")));
            QCOMPARE(t.read("top/sub/c.txt"), changed);
        }
    }
}

void TestWalkSafety::deepTreeIsWalkedAsFarAsPathsReach()
{
    // A chain "d/d/d/..." built through descriptors, as its deeper paths are
    // longer than a system call takes, with "cat" files every 50 levels.
    TempTree t;
    const int top = ::open(QFile::encodeName(t.mkdir("top")), O_RDONLY | O_DIRECTORY);
    const auto takeDown = qScopeGuard([top] {
        // From the top down, lifting d/d into d's place at each step.
        for (; ::unlinkat(top, "d/f.txt", 0), ::renameat(top, "d/d", top, "e") == 0;) {
            ::unlinkat(top, "d", AT_REMOVEDIR);
            ::renameat(top, "e", top, "d");
        }
        ::unlinkat(top, "d", AT_REMOVEDIR);
        ::close(top);
    });
    int levels = 0;
    for (int dir = ::dup(top); dir >= 0 && levels < 3000; ++levels) {
        if (levels % 50 == 0) {
            const int file = ::openat(dir, "f.txt", O_WRONLY | O_CREAT, 0644);
            QCOMPARE(::write(file, "cat", 3), ssize_t(3));
            ::close(file);
        }
        const int next =
            ::mkdirat(dir, "d", 0755) ? -1 : ::openat(dir, "d", O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = next;
    }
    QCOMPARE(levels, 3000);
    const QString level50 = "top/" + QString("d/").repeated(50) + "f.txt";

    // Replace turns cat into cats, then Undo turns their cat into dog.
    for (auto [kind, changed] : {std::pair(Run::Find, "cat"), std::pair(Run::Replace, "cats"),
                                 std::pair(Run::Undo, "dogs")}) {
        FakeRunHost h;
        aim(h, t.path("top"));
        run(h, kind);
        // The shallow files are reached; the first folder too deep to name is
        // reported (the design ends a walk at its first error) and nothing crashes.
        QCOMPARE(t.read(level50), QByteArray(changed));
        QVERIFY(h.viewer.list.size() > 10 && h.viewer.list.size() < 3000 / 50);
        QCOMPARE(h.dialogs.titles().count(" Error"), 1);
        QVERIFY(messageNames(h, "too long"));
    }
}

void TestWalkSafety::wideFolderCostsOnePassOverTheFileList()
{
    // 40,000 entries, every 4,000th holding "cat"; the rest are names of one
    // empty file, far cheaper to make than files, which the walk sees each apart.
    TempTree t;
    constexpr int kEntries = 40000;
    const QString top = t.mkdir("top");
    const QByteArray empty = QFile::encodeName(t.write("empty", {}));
    QStringList names;
    for (int i = 0; i < kEntries; ++i) {
        names << QStringLiteral("f%1.txt").arg(i);
        const QString path = top + u'/' + names.last();
        if (i % 4000 == 0)
            t.write("top/" + names.last(), "cat");
        else
            QCOMPARE(::link(empty, QFile::encodeName(path)), 0);
    }
    QStringList expected;  // in the platform's order
    for (const FileSystem::Entry &e : FileSystem::listFolder(top)) {
        if (e.name.mid(1).chopped(4).toInt() % 4000 == 0)
            expected << top + u'/' + e.name;
    }

    for (Run kind : {Run::Find, Run::Replace, Run::Undo}) {
        FakeRunHost h;
        aim(h, top, names);
        run(h, kind);
        QCOMPARE(h.viewer.list, expected);
        // One pass over File2 per walk, never one per file.
        QVERIFY(h.request.nameReads <= 2 * kEntries);
    }
}

QTEST_GUILESS_MAIN(TestWalkSafety)
#include "tst_walksafety.moc"
