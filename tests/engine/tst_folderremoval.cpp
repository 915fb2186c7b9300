#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/FolderRemoval.h"
#include "platform/Failure.h"

#include <QtTest>

#include <sched.h>
#include <sys/mount.h>

class TestFolderRemoval : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Mounts made by the cases stay in this process's own namespace.
        if (::unshare(CLONE_NEWNS) == 0)
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    }

    void emptiesTheFolder()
    {
        for (const QString suffix : {"", "/"}) {  // also with a trailing separator
            TempTree t;
            const QString top = t.mkdir("top");
            for (const char *f : {"a.txt", "s1/b.txt", "s1/s2/c", "s3/d.dat"})
                t.write(QStringLiteral("top/") + QLatin1String(f), "x");
            FakeMain main;
            FakeEvents events;
            deleteFolderContents(main, events, top + suffix, "*.*");
            QVERIFY(QFileInfo(top).isDir());
            QVERIFY(QDir(top).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
            // Each level's files go before its subfolders; a subfolder follows its contents.
            const QStringList &h = events.events;
            QCOMPARE(h.first(), "deletingFile: " + top + "/a.txt");
            const qsizetype s2 = h.indexOf("folderDeleted: " + top + "/s1/s2");
            QVERIFY(s2 > h.indexOf("deletingFile: " + top + "/s1/s2/c"));
            QVERIFY(h.indexOf("folderDeleted: " + top + "/s1") > s2);
            QVERIFY(main.yields >= 4);
            FakeEvents again;  // an empty folder reports nothing
            deleteFolderContents(main, again, top, "*.*");
            QVERIFY(again.events.isEmpty());
        }
    }

    void removeTree_data()
    {
        // Entries: a file holding "x", "link -> target", or "tmpfs:folder" mounted there.
        // `error` is part of the message, "" for success (<t> is the tree). Files not `kept` go.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("folder");  // relative to the tree unless absolute
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("kept");
        for (const QString hidden : {"top/sub/.keep", "top/sub/.git/config"})
            QTest::addRow("%s blocks", qPrintable(hidden))
                << QStringList{"top/first.txt", "top/sub/plain.txt", hidden} << "top"
                << "<t>/top/sub" << QStringList{hidden};
        const QStringList out{"outside/kept.txt", "outside/deeper/kept2.txt"};
        QTest::addRow("links removed, not followed")
            << out + QStringList{"top/a.txt", "top/sub/dirlink -> outside",
                                 "top/filelink -> outside/kept.txt", "top/dangling -> nowhere"}
            << "top" << QString() << out;
        // Removing through a link given as the folder itself would leave the tree.
        QTest::addRow("link as the folder") << out + QStringList{"link -> outside"} << "link/"
                                            << "<t>/link" << out;
        const QStringList mounted{"top/mnt/other.txt"};
        QTest::addRow("mount point") << QStringList{"tmpfs:top/mnt"} + mounted << "top"
                                     << "another file system" << mounted;
        // A bind mount of the same file system has the same device, not the same mount.
        QTest::addRow("bind mount")
            << out + QStringList{"bind:top/mnt=outside", "top/a.txt"} << "top"
            << "another file system" << out;
        // Guards decide on the folder a link leads to.
        QTest::addRow("link to the root") << QStringList{"root -> /"} << "root/etc"
                                          << "cannot be deleted" << QStringList{};
        QTest::addRow("root through /proc") << QStringList{} << "/proc/self/root/etc"
                                            << "cannot be deleted" << QStringList{};
        // "" is the tree itself, which holds the application folder "app".
        const QStringList app{"app/Report.dat"};
        for (const QString &f :
             {QStringLiteral("/"), QStringLiteral("/usr"), QDir::homePath(), QStringLiteral("app"),
              QString(), QCoreApplication::applicationDirPath()})
            QTest::addRow("refuses '%s'", qPrintable(f)) << app << f << "cannot be deleted" << app;
    }
    void removeTree()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, folder);
        QFETCH(QString, error);
        QFETCH(QStringList, kept);
        TempTree t;
        QStringList mounts, gone;
        auto unmount = qScopeGuard([&] {
            for (const QString &m : mounts) QProcess::execute("umount", {m});
        });
        for (const QString &e : entries) {
            const QStringList link = e.split(" -> ");
            if (e.startsWith("tmpfs:")) {
                mounts << t.mkdir(e.mid(6));
                if (QProcess::execute("mount", {"-t", "tmpfs", "none", mounts.last()}) != 0)
                    QSKIP("needs permission to mount a tmpfs");
            } else if (e.startsWith("bind:")) {
                const QStringList ends = e.mid(5).split('=');
                mounts << t.mkdir(ends[0]);
                if (QProcess::execute("mount", {"--bind", t.path(ends[1]), mounts.last()}) != 0)
                    QSKIP("needs root to bind-mount a folder");
            } else if (link.size() == 2) {
                QDir().mkpath(QFileInfo(t.path(link[0])).absolutePath());
                QVERIFY(QFile::link(link[1].startsWith('/') ? link[1] : t.path(link[1]),
                                    t.path(link[0])));
            } else if (t.write(e, "x"); !kept.contains(e)) {
                gone << e;
            }
        }
        FakeMain main;
        FakeEvents events;
        const QString target = folder.startsWith('/') ? folder : t.path(folder);
        QString got;
        try {
            FolderRemoval::removeTree(main, events, target);
        } catch (const Failure &f) {
            got = f.description();
        }
        error.replace("<t>", t.path());
        QVERIFY2(error.isEmpty() ? got.isEmpty() : got.contains(error), qPrintable(got));
        QCOMPARE(QFileInfo::exists(target), !error.isEmpty());
        for (const QString &k : kept) QVERIFY2(QFileInfo::exists(t.path(k)), qPrintable(k));
        for (const QString &g : gone) QVERIFY2(!QFileInfo::exists(t.path(g)), qPrintable(g));
        if (gone.isEmpty())  // refused before touching anything: no status text either
            QVERIFY(main.panel2History.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFolderRemoval)
#include "tst_folderremoval.moc"
