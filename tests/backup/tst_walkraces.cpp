#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/FolderRemoval.h"
#include "engine/ReplaceRun.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QScopeGuard>
#include <QtTest>

#include <fcntl.h>
#include <atomic>
#include <cstdio>
#include <thread>

// Another program working in the tree while a run walks it: whatever it swaps
// in between the listing and the open, or changes between the read and the
// save, the run neither leaves the tree nor overwrites the other's change.
class TestWalkRaces : public QObject {
    Q_OBJECT

    enum class Run { Find, Replace, Undo };
    enum class Race { FolderToLink, FileToLink, Appended, SavedByAnother };

    // tree: top/a.txt, top/sub/b.txt, top/z.txt; outside/b.txt, outside/z.txt.
    // A swap happens when the walk is about to open the victim; a change after
    // the read at the run's first step after it has read the victim (the files
    // ahead are opened by other threads, in no fixed order).
    static void race(const TempTree &t, FakeRunHost &h, Race kind, const QString &victim)
    {
        const QString p = t.path(victim);
        if (kind == Race::FolderToLink || kind == Race::FileToLink) {
            const QString target = t.path(kind == Race::FolderToLink ? "outside" : "outside/z.txt");
            FileSystem::setBeforeOpenHookForTesting(
                [p, target, done = false](const QString &path) mutable {
                    if (done || path != p)
                        return;
                    done = true;
                    QFile::rename(p, p + ".moved");
                    QFile::link(target, p);
                });
            return;
        }
        h.main.onYield = [p, kind, &h, done = false]() mutable {
            if (done || h.viewer.document.fileName() != p)
                return;
            done = true;
            if (kind == Race::SavedByAnother) {
                FileSystem::writeFileAtomic(p, QByteArray("cat saved by another"));
                return;
            }
            QFile f(p);
            if (f.open(QIODevice::Append))
                f.write(" cat appended");
        };
    }

private slots:
    void cleanup() { FileSystem::setBeforeOpenHookForTesting({}); }

    void runNeverFollowsASwapNorOverwritesAChange_data()
    {
        QTest::addColumn<Run>("run");
        QTest::addColumn<Race>("race");
        QTest::addColumn<QString>("victim");   // what the other program changes
        QTest::addColumn<QByteArray>("kept");  // what the victim holds afterwards ("" = as set)
        for (auto [name, run] :
             {std::pair("find", Run::Find), {"replace", Run::Replace}, {"undo", Run::Undo}}) {
            QTest::addRow("%s: folder swapped for a link", name)
                << run << Race::FolderToLink << "top/sub" << QByteArray();
            QTest::addRow("%s: file swapped for a link", name)
                << run << Race::FileToLink << "top/z.txt" << QByteArray();
        }
        // a.txt is read and waits for its save while the walk goes on.
        QTest::addRow("replace: appended after the read")
            << Run::Replace << Race::Appended << "top/a.txt" << QByteArray("cat cat appended");
        QTest::addRow("replace: saved by another run after the read")
            << Run::Replace << Race::SavedByAnother << "top/a.txt"
            << QByteArray("cat saved by another");
        QTest::addRow("undo: saved by another run after the read")
            << Run::Undo << Race::SavedByAnother << "top/a.txt"
            << QByteArray("cat saved by another");
    }
    void runNeverFollowsASwapNorOverwritesAChange()
    {
        QFETCH(Run, run);
        QFETCH(Race, race);
        QFETCH(QString, victim);
        QFETCH(QByteArray, kept);
        TempTree t;
        for (const char *name :
             {"top/a.txt", "top/sub/b.txt", "top/z.txt", "outside/b.txt", "outside/z.txt"})
            t.write(name, "cat");
        FakeRunHost h;
        TestWalkRaces::race(t, h, race, victim);
        h.request.folder = t.path("top");
        h.request.subdirectories = true;
        h.request.setFiles({"a.txt", "z.txt"}, true);
        h.request.find = run == Run::Undo ? "dog" : "cat";
        h.request.replace = run == Run::Undo ? "cat" : "cats";
        std::array{startFind, runReplace, runUndo}[int(run)](h.ctx);

        for (const char *name : {"outside/b.txt", "outside/z.txt"})
            QCOMPARE(t.read(name), QByteArray("cat"));
        for (const QString &listed : h.viewer.list)
            QVERIFY2(
                !listed.contains(victim.mid(4)) || race == Race::FolderToLink || !kept.isEmpty(),
                qPrintable(listed));
        if (!kept.isEmpty()) {
            QCOMPARE(t.read(victim), kept);
            QVERIFY(!h.viewer.list.contains(t.path(victim)));
        }
        // The run went on past the entry and says it passed one over.
        const QByteArray changed = run == Run::Find ? "cat" : run == Run::Replace ? "cats" : "dog";
        if (victim != "top/a.txt")
            QCOMPARE(t.read("top/a.txt"), changed);
        QVERIFY(h.dialogs.titles().contains(" Entries passed over"));
        // What was passed over is neither listed nor counted.
        const qint32 listed = qint32(h.viewer.list.size());
        QCOMPARE(h.ctx.state.modifiedFileCount, listed);
        if (run != Run::Find)
            QCOMPARE(h.ctx.state.totalReplacements, listed);
    }

    void removalNeverLeavesTheTree_data()
    {
        QTest::addColumn<bool>("exchangeLoop");  // else one swap through the hook
        QTest::addRow("swap before the open") << false;
        QTest::addRow("exchanged in a loop") << true;
    }
    void removalNeverLeavesTheTree()
    {
        QFETCH(bool, exchangeLoop);
        TempTree t;
        constexpr int kFiles = 2000;
        for (int i = 0; i < kFiles; ++i) {
            t.write(QStringLiteral("top/sub/f%1").arg(i), "x");
            t.write(QStringLiteral("outside/f%1").arg(i), "x");
        }
        QVERIFY(QFile::link(t.path("outside"), t.path("top/swap")));
        const QByteArray sub = QFile::encodeName(t.path("top/sub"));
        const QByteArray swap = QFile::encodeName(t.path("top/swap"));
        auto exchange = [&] {
            return ::renameat2(AT_FDCWD, sub, AT_FDCWD, swap, RENAME_EXCHANGE) == 0;
        };
        std::atomic<bool> stop = false;
        std::thread exchanger;
        if (exchangeLoop)
            exchanger = std::thread([&] {
                while (!stop) exchange();
            });
        else
            FileSystem::setBeforeOpenHookForTesting([&](const QString &path) {
                if (path == t.path("top/sub"))
                    exchange();
            });
        const auto join = qScopeGuard([&] {
            stop = true;
            if (exchanger.joinable())
                exchanger.join();
        });
        FakeMain main;
        FakeEvents events;
        try {
            FolderRemoval::removeTree(main, events, t.path("top"));
        } catch (const Failure &) {
            // Passed over or raced into an error: either way nothing outside goes.
        }
        stop = true;
        if (exchanger.joinable())
            exchanger.join();
        QCOMPARE(QDir(t.path("outside")).count() - 2, uint(kFiles));
    }
};

QTEST_GUILESS_MAIN(TestWalkRaces)
#include "tst_walkraces.moc"
