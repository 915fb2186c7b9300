#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/DeleteFilesSearch.h"
#include "platform/Failure.h"

#include <QtTest>

class TestDeleteFilesSearch : public QObject {
    Q_OBJECT

private:
    static QString removalError(FakeMain &main, const QString &folder)
    {
        try {
            FolderRemoval::removeTree(main, folder);
        } catch (const Failure &f) {
            return f.description();
        }
        return QString();
    }

private slots:
    void removesTreeAndLeavesStart_data();
    void removesTreeAndLeavesStart();
    void hiddenEntryBlocksRemoval_data();
    void hiddenEntryBlocksRemoval();
    void linksAreRemovedNotFollowed();
    void mountPointIsNotEntered();
    void protectedFoldersRefused_data();
    void protectedFoldersRefused();
};

void TestDeleteFilesSearch::removesTreeAndLeavesStart_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("trailingSeparator");
    QTest::addRow("two levels") << QStringList{"a.txt", "s1/b.txt", "s1/s2/c", "s3/d.dat"} << false;
    QTest::addRow("two levels, trailing separator")
        << QStringList{"a.txt", "s1/b.txt", "s1/s2/c", "s3/d.dat"} << true;
    QTest::addRow("empty folder") << QStringList{} << false;
}

void TestDeleteFilesSearch::removesTreeAndLeavesStart()
{
    QFETCH(QStringList, files);
    QFETCH(bool, trailingSeparator);
    TempTree t;
    const QString top = t.mkdir(QStringLiteral("top"));
    for (const QString &f : files) t.write(QStringLiteral("top/") + f, "x");
    FakeMain main;
    DeleteFilesSearch(main, trailingSeparator ? top + QLatin1Char('/') : top,
                      QStringLiteral("*.*"));

    QVERIFY(QFileInfo(top).isDir());
    QVERIFY(QDir(top).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    if (files.isEmpty()) {
        QVERIFY(main.panel2History.isEmpty());
        return;
    }
    // Each level's files go before its subfolders; a subfolder's text follows its contents.
    const QStringList &h = main.panel2History;
    QCOMPARE(h.first(), QStringLiteral(" Deleting files: ") + top + QStringLiteral("/a.txt"));
    const qsizetype s2 = h.indexOf(QStringLiteral(" Deleting folders: ") + top + "/s1/s2/");
    QVERIFY(s2 > h.indexOf(QStringLiteral(" Deleting files: ") + top + "/s1/s2/c"));
    QVERIFY(h.indexOf(QStringLiteral(" Deleting folders: ") + top + "/s1/") > s2);
    QVERIFY(main.yields >= files.size());
}

void TestDeleteFilesSearch::hiddenEntryBlocksRemoval_data()
{
    QTest::addColumn<QString>("hidden");
    QTest::addRow("hidden file") << QStringLiteral("top/sub/.keep");
    QTest::addRow("hidden folder") << QStringLiteral("top/sub/.git/config");
}

void TestDeleteFilesSearch::hiddenEntryBlocksRemoval()
{
    QFETCH(QString, hidden);
    TempTree t;
    t.write(QStringLiteral("top/first.txt"), "x");
    t.write(QStringLiteral("top/sub/plain.txt"), "x");
    t.write(hidden, "keep me");
    FakeMain main;
    const QString error = removalError(main, t.path(QStringLiteral("top")));

    // The error names the folder that could not go, and the hidden entry survives.
    QVERIFY2(error.contains(t.path(QStringLiteral("top/sub"))), qPrintable(error));
    QCOMPARE(t.read(hidden), QByteArray("keep me"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("top/first.txt"))));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("top/sub/plain.txt"))));
}

void TestDeleteFilesSearch::linksAreRemovedNotFollowed()
{
    TempTree t;
    t.write(QStringLiteral("outside/kept.txt"), "outside");
    t.write(QStringLiteral("outside/deeper/kept2.txt"), "outside");
    t.write(QStringLiteral("top/a.txt"), "x");
    t.mkdir(QStringLiteral("top/sub"));
    QVERIFY(
        QFile::link(t.path(QStringLiteral("outside")), t.path(QStringLiteral("top/sub/dirlink"))));
    QVERIFY(QFile::link(t.path(QStringLiteral("outside/kept.txt")),
                        t.path(QStringLiteral("top/filelink"))));
    QVERIFY(QFile::link(t.path(QStringLiteral("nowhere")), t.path(QStringLiteral("top/dangling"))));

    FakeMain main;
    QCOMPARE(removalError(main, t.path(QStringLiteral("top"))), QString());
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("top"))));
    QCOMPARE(t.read(QStringLiteral("outside/kept.txt")), QByteArray("outside"));
    QCOMPARE(t.read(QStringLiteral("outside/deeper/kept2.txt")), QByteArray("outside"));

    // A link given as the folder itself is refused: removing through it would leave the tree.
    QVERIFY(QFile::link(t.path(QStringLiteral("outside")), t.path(QStringLiteral("link"))));
    QVERIFY(!removalError(main, t.path(QStringLiteral("link/"))).isEmpty());
    QCOMPARE(t.read(QStringLiteral("outside/kept.txt")), QByteArray("outside"));
}

void TestDeleteFilesSearch::mountPointIsNotEntered()
{
    TempTree t;
    const QString mount = t.mkdir(QStringLiteral("top/mnt"));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "none", mount}) != 0)
        QSKIP("needs permission to mount a tmpfs");
    auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });
    t.write(QStringLiteral("top/mnt/other.txt"), "other");

    FakeMain main;
    const QString error = removalError(main, t.path(QStringLiteral("top")));
    QVERIFY2(error.contains(QStringLiteral("another file system")), qPrintable(error));
    QCOMPARE(t.read(QStringLiteral("top/mnt/other.txt")), QByteArray("other"));
}

void TestDeleteFilesSearch::protectedFoldersRefused_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addRow("root") << QStringLiteral("/");
    QTest::addRow("below root") << QStringLiteral("/usr");
    QTest::addRow("home") << QDir::homePath();
    QTest::addRow("application folder") << QStringLiteral("app");
    QTest::addRow("holds the application folder") << QString();
    QTest::addRow("executable's folder") << QCoreApplication::applicationDirPath();
}

void TestDeleteFilesSearch::protectedFoldersRefused()
{
    QFETCH(QString, folder);
    TempTree t;
    t.write(QStringLiteral("app/Report.dat"), "report");
    FakeMain main;
    // Relative rows lie in the temporary tree, whose top holds the application folder.
    const QString target = folder.startsWith(QLatin1Char('/')) ? folder : t.path(folder);
    QVERIFY(removalError(main, target).contains(QStringLiteral("cannot be deleted")));
    QVERIFY(main.panel2History.isEmpty());
    QCOMPARE(t.read(QStringLiteral("app/Report.dat")), QByteArray("report"));
}

QTEST_GUILESS_MAIN(TestDeleteFilesSearch)
#include "tst_deletefilessearch.moc"
