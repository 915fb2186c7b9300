#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/FolderRemoval.h"
#include "engine/ReplaceRun.h"
#include "platform/FileSystem.h"
#include "platform/LoadLimit.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QScopeGuard>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// What every run leaves alone or does once: hidden entries, links, files too
// large to hold, very deep and very wide folders.
class TestWalkSafety : public QObject {
    Q_OBJECT

    enum class Run { Find, Replace, Undo };

    // Find "cat"; Replace "cat" by "cats"; Undo with the boxes "dog"/"cat", which
    // turns "cat" into "dog". Returns what a changed "cat" file then holds.
    static QByteArray run(FakeRunHost &h, Run kind, const QString &folder,
                          const QStringList &files = {}, bool subdirectories = true)
    {
        h.request.folder = folder;
        h.request.subdirectories = subdirectories;
        h.request.setFiles(files, true);
        h.request.find = kind == Run::Undo ? "dog" : "cat";
        h.request.replace = kind == Run::Undo ? "cat" : "cats";
        std::array{startFind, runReplace, runUndo}[int(kind)](h.ctx);
        return QByteArrayList{"cat", "cats", "dog"}.at(int(kind));
    }
    static void addRuns()
    {
        QTest::addColumn<Run>("kind");
        QTest::addRow("find") << Run::Find;
        QTest::addRow("replace") << Run::Replace;
        QTest::addRow("undo") << Run::Undo;
    }
    static bool messageNames(const FakeRunHost &h, const QString &what)
    {
        return std::any_of(h.dialogs.shown.begin(), h.dialogs.shown.end(),
                           [&](auto &s) { return s.text.contains(what); });
    }

private slots:
    void cleanup() { LoadLimit::setMaxFileSizeForTesting(0); }

    void hiddenEntriesLinksAndLargeFilesArePassedOver_data() { addRuns(); }
    void hiddenEntriesLinksAndLargeFilesArePassedOver()
    {
        QFETCH(Run, kind);
        TempTree t;
        const QStringList untouched{"top/.hidden.txt", "top/.git/config", "top/.git/index",
                                    "top/sub/.dot.txt", "outside.txt"};
        for (const QString &name : untouched + QStringList{"top/a.txt", "top/sub/b.txt"})
            t.write(name, "cat");
        for (auto [target, link] : {std::pair("top/sub/b.txt", "top/sub/in.txt"),
                                    {"outside.txt", "top/sub/out.txt"},
                                    {"top/.git", "top/sub/git"}})
            QVERIFY(QFile::link(t.path(target), t.path(link)));
        LoadLimit::setMaxFileSizeForTesting(50);
        const QStringList large{"top/big.txt", "top/sub/big.txt"};
        for (const QString &name : large) t.write(name, "cat" + QByteArray(100, ' '));
        FakeRunHost h;
        const QByteArray changed = run(h, kind, t.path("top"), {"big.txt", "a.txt"});
        QCOMPARE(h.viewer.list, QStringList({t.path("top/a.txt"), t.path("top/sub/b.txt")}));
        QCOMPARE(t.read("top/a.txt"), changed);
        QCOMPARE(t.read("top/sub/b.txt"), changed);
        for (const QString &name : untouched) QCOMPARE(t.read(name), QByteArray("cat"));
        QVERIFY(QFileInfo(t.path("top/sub/in.txt")).isSymLink());
        // Files too large to hold are reported, with their size, and the walk goes on.
        QVERIFY(messageNames(h, "103 bytes"));
        for (const QString &name : large) {
            QVERIFY(messageNames(h, t.path(name)));
            QCOMPARE(t.read(name).left(4), QByteArray("cat "));
        }
        FakeRunHost listed;  // and so without a walk
        t.write("top/a.txt", "cat");
        run(listed, kind, t.path("top"), {"big.txt", "a.txt"}, false);
        QVERIFY(messageNames(listed, t.path("top/big.txt")));
        QCOMPARE(t.read("top/big.txt").left(4), QByteArray("cat "));
        QCOMPARE(t.read("top/a.txt"), changed);
        // A hidden folder the user opened is searched like any other.
        FakeRunHost opened;
        run(opened, kind, t.path("top/.git"), {"config"});
        QCOMPARE(opened.viewer.list, QStringList(t.path("top/.git/config")));
        QCOMPARE(t.read("top/.git/config"), changed);
    }

    // Symbolic links and their target are one file; hard links become separate
    // files at the first save, as with sed -i.
    void oneFileIsChangedOnceWhateverNamesReachIt_data()
    {
        QTest::addColumn<Run>("kind");
        QTest::addColumn<bool>("subdirectories");
        QTest::addColumn<bool>("hardLinks");
        for (bool walk : {false, true}) {
            QTest::addRow("replace, links, walk %d", walk) << Run::Replace << walk << false;
            QTest::addRow("undo, links, walk %d", walk) << Run::Undo << walk << false;
            QTest::addRow("replace, hard links, walk %d", walk) << Run::Replace << walk << true;
        }
    }
    void oneFileIsChangedOnceWhateverNamesReachIt()
    {
        QFETCH(Run, kind);
        QFETCH(bool, subdirectories);
        QFETCH(bool, hardLinks);
        TempTree t;
        const QString target = t.write("top/t.txt", "cat");
        for (const QString &link : {t.path("top/l1.txt"), t.path("top/l2.txt")})
            QVERIFY(hardLinks ? ::link(QFile::encodeName(target), QFile::encodeName(link)) == 0
                              : QFile::link(target, link));
        FakeRunHost h;
        h.request.backup = true;
        h.backup.root = t.mkdir("bk");
        const QByteArray changed =
            run(h, kind, t.path("top"), {"l1.txt", "l2.txt", "t.txt"}, subdirectories);
        const int changes = hardLinks ? 3 : 1;
        QCOMPARE(h.ctx.state.modifiedFileCount, changes);
        QCOMPARE(h.viewer.list.size(), changes);
        for (const char *name : {"top/t.txt", "top/l1.txt", "top/l2.txt"})
            QCOMPARE(t.read(name), changed);
        QCOMPARE(QFileInfo(t.path("top/l1.txt")).isSymLink(), !hardLinks);
        // Whichever name came first, its copy holds the original; Undo never copies.
        const QString mirror = "bk/Backup" + t.path("top");
        const QStringList copies = QDir(t.path(mirror)).entryList(QDir::Files);
        QCOMPARE(copies.size(), kind == Run::Replace ? changes : 0);
        for (const QString &name : copies) QCOMPARE(t.read(mirror + "/" + name), QByteArray("cat"));
    }

    void deepTreeIsWalkedToTheBottom()
    {
        // A chain "d/d/d/..." made from inside, as its deeper paths are too long
        // for a system call, with "cat" files every 50 levels.
        TempTree t;
        const QString cwd = QDir::currentPath();
        const auto takeDown = qScopeGuard([&] {  // rm reaches below the longest path
            QDir::setCurrent(cwd);
            QProcess::execute("rm", {"-rf", t.path("top")});
        });
        QVERIFY(QDir::setCurrent(t.mkdir("top")));
        for (int level = 0; level < 3000; ++level) {
            QFile file("f.txt");
            QVERIFY(level % 50 || (file.open(QIODevice::WriteOnly) && file.write("cat") == 3));
            QVERIFY(::mkdir("d", 0755) == 0 && ::chdir("d") == 0);
        }
        QDir::setCurrent(cwd);
        const QString level50 = "top/" + QString("d/").repeated(50) + "f.txt";
        // Replace turns cat into cats, then Undo turns their cat into dog.
        for (auto [kind, changed] : {std::pair(Run::Find, "cat"), std::pair(Run::Replace, "cats"),
                                     std::pair(Run::Undo, "dogs")}) {
            FakeRunHost h;
            run(h, kind, t.path("top"));
            // Walked by handle, every level is reached, far below the longest
            // path, without running out of descriptors.
            QCOMPARE(t.read(level50), QByteArray(changed));
            QCOMPARE(h.viewer.list.size(), 3000 / 50 - 1);  // the top's file is not selected
            QCOMPARE(h.dialogs.titles().count(" Error"), 0);
        }
        // Removal goes to the bottom the same way and takes the whole chain.
        FakeRunHost h;
        FolderRemoval::removeTree(h.main, h.events, t.path("top"));
        QVERIFY(!QFileInfo::exists(t.path("top")));
    }

    void wideFolderCostsOnePassOverTheFileList()
    {
        // 40,000 entries, every 4,000th holding "cat"; the rest are hard links to one
        // empty file, far cheaper to make, which the walk sees each apart.
        TempTree t;
        constexpr int kEntries = 40000;
        const QString top = t.mkdir("top");
        const QByteArray empty = QFile::encodeName(t.write("empty", {}));
        QStringList names;
        for (int i = 0; i < kEntries; ++i) {
            names << QStringLiteral("f%1.txt").arg(i);
            if (i % 4000 == 0)
                t.write("top/" + names.last(), "cat");
            else
                QCOMPARE(::link(empty, QFile::encodeName(top + u'/' + names.last())), 0);
        }
        QStringList expected;  // in the platform's order
        for (const FileSystem::Entry &e : FileSystem::listFolder(top))
            if (e.name.mid(1).chopped(4).toInt() % 4000 == 0)
                expected << top + u'/' + e.name;
        for (Run kind : {Run::Find, Run::Replace, Run::Undo}) {
            FakeRunHost h;
            run(h, kind, top, names);
            QCOMPARE(h.viewer.list, expected);
            QVERIFY(h.request.nameReads <= 2 * kEntries);  // one pass per walk, not one per file
        }
    }
};

QTEST_GUILESS_MAIN(TestWalkSafety)
#include "tst_walksafety.moc"
