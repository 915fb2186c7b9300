#include "support/TempTree.h"

#include "engine/FileOperations.h"
#include "engine/FileProperties.h"
#include "platform/Failure.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

class TestFileOperations : public QObject {
    Q_OBJECT

private slots:
    void namesThatLeaveTheFolderAreRefused_data();
    void namesThatLeaveTheFolderAreRefused();
    void renameNeverReplacesAnExistingEntry_data();
    void renameNeverReplacesAnExistingEntry();
    void deleteTakesReadOnlyFilesButNoFolders();
    void createFolderRefusesAnExistingName();
    void protectedFoldersAreNeverRenamed_data();
    void protectedFoldersAreNeverRenamed();
    void sizeText_data();
    void sizeText();
    void propertiesOfAHiddenReadOnlyFile();
    void propertiesOfAMissingFile();
};

void TestFileOperations::namesThatLeaveTheFolderAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::addRow("plain") << "b.txt" << true;
    QTest::addRow("leading dot") << ".hidden" << true;
    QTest::addRow("empty") << "" << false;
    QTest::addRow("dot") << "." << false;
    QTest::addRow("dot dot") << ".." << false;
    QTest::addRow("separator") << "../b.txt" << false;
    QTest::addRow("NUL") << QStringLiteral("a%1b").arg(QChar(0)) << false;
}

void TestFileOperations::namesThatLeaveTheFolderAreRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    bool thrown = false;
    try {
        QCOMPARE(FileOperations::childPath(QStringLiteral("/x"), name),
                 QStringLiteral("/x/") + name);
    } catch (const Failure &) {
        thrown = true;
    }
    QCOMPARE(thrown, !accepted);
}

void TestFileOperations::renameNeverReplacesAnExistingEntry_data()
{
    QTest::addColumn<bool>("folders");
    QTest::addColumn<bool>("targetEmpty");
    QTest::addRow("file onto file") << false << false;
    QTest::addRow("folder onto folder") << true << false;
    // rename(2) would silently put a folder in the place of an empty one.
    QTest::addRow("folder onto empty folder") << true << true;
}

void TestFileOperations::renameNeverReplacesAnExistingEntry()
{
    QFETCH(bool, folders);
    QFETCH(bool, targetEmpty);
    TempTree tree;
    const QString base = tree.mkdir(QStringLiteral("base"));
    if (folders) {
        tree.write(QStringLiteral("base/one/a.txt"), "one");
        tree.mkdir(QStringLiteral("base/two"));
        if (!targetEmpty)
            tree.write(QStringLiteral("base/two/b.txt"), "two");
        QVERIFY_THROWS_EXCEPTION(
            Failure,
            FileOperations::renameFolder(base + QStringLiteral("/one"), QStringLiteral("two")));
        QCOMPARE(tree.read(QStringLiteral("base/one/a.txt")), QByteArray("one"));
        QCOMPARE(QDir(tree.path(QStringLiteral("base/two"))).isEmpty(), targetEmpty);
        QCOMPARE(
            FileOperations::renameFolder(base + QStringLiteral("/one"), QStringLiteral("three")),
            base + QStringLiteral("/three"));
        QCOMPARE(tree.read(QStringLiteral("base/three/a.txt")), QByteArray("one"));
    } else {
        tree.write(QStringLiteral("base/a.txt"), "one");
        tree.write(QStringLiteral("base/b.txt"), "two");
        QVERIFY_THROWS_EXCEPTION(Failure, FileOperations::renameFile(base, QStringLiteral("a.txt"),
                                                                     QStringLiteral("b.txt")));
        QCOMPARE(tree.read(QStringLiteral("base/a.txt")), QByteArray("one"));
        QCOMPARE(tree.read(QStringLiteral("base/b.txt")), QByteArray("two"));
        FileOperations::renameFile(base, QStringLiteral("a.txt"), QStringLiteral("c.txt"));
        QCOMPARE(tree.read(QStringLiteral("base/c.txt")), QByteArray("one"));
    }
}

void TestFileOperations::deleteTakesReadOnlyFilesButNoFolders()
{
    TempTree tree;
    const QString file = tree.write(QStringLiteral("ro.txt"), "x");
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    FileOperations::deleteFile(file);
    QVERIFY(!QFileInfo::exists(file));
    const QString folder = tree.mkdir(QStringLiteral("sub"));
    QVERIFY_THROWS_EXCEPTION(Failure, FileOperations::deleteFile(folder));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY_THROWS_EXCEPTION(Failure,
                             FileOperations::deleteFile(tree.path(QStringLiteral("gone"))));
}

void TestFileOperations::createFolderRefusesAnExistingName()
{
    TempTree tree;
    FileOperations::createFolder(tree.path(), QStringLiteral("new"));
    QVERIFY(QFileInfo(tree.path(QStringLiteral("new"))).isDir());
    tree.write(QStringLiteral("new/keep.txt"), "k");
    QVERIFY_THROWS_EXCEPTION(Failure,
                             FileOperations::createFolder(tree.path(), QStringLiteral("new")));
    QCOMPARE(tree.read(QStringLiteral("new/keep.txt")), QByteArray("k"));
}

void TestFileOperations::protectedFoldersAreNeverRenamed_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("root") << QStringLiteral("/");
    QTest::addRow("below the root") << QDir::rootPath() + QStringLiteral("tmp");
    QTest::addRow("home") << QDir::homePath();
}

void TestFileOperations::protectedFoldersAreNeverRenamed()
{
    QFETCH(QString, path);
    QVERIFY_THROWS_EXCEPTION(Failure,
                             FileOperations::renameFolder(path, QStringLiteral("scrivlane-test")));
    QVERIFY(QFileInfo(path).isDir());
}

void TestFileOperations::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addRow("empty") << qint64(0) << "0.00KB (0 bytes)";
    QTest::addRow("one and a half") << qint64(1536) << "1.50KB (1,536 bytes)";
    QTest::addRow("two") << qint64(2048) << "2.00KB (2,048 bytes)";
    QTest::addRow("grouped") << qint64(1048576) << "1,024.00KB (1,048,576 bytes)";
}

void TestFileOperations::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(FileProperties::sizeText(bytes, QLocale(QLocale::English, QLocale::UnitedStates)),
             text);
}

void TestFileOperations::propertiesOfAHiddenReadOnlyFile()
{
    TempTree tree;
    const QString file = tree.write(QStringLiteral(".notes.TXT"), QByteArray(1536, 'x'));
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    // Accessed late in the evening UTC: the shown date is the UTC one.
    const timespec times[2] = {{1583105400, 0} /* 2020-03-01 23:30 UTC */, {0, UTIME_OMIT}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0), 0);

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const FileProperties p =
        FileProperties::gather(QDir::toNativeSeparators(tree.path()) + QDir::separator(),
                               QStringLiteral(".notes.TXT"), english);
    QCOMPARE(p.fileName, QStringLiteral(".notes.TXT"));
    QCOMPARE(p.fileType, QStringLiteral("TXT file"));
    QCOMPARE(p.location, QDir::toNativeSeparators(tree.path()));
    QCOMPARE(p.size, QStringLiteral("1.50KB (1,536 bytes)"));
    QCOMPARE(p.dosName, QStringLiteral(".notes.TXT"));
    QCOMPARE(p.created, QStringLiteral("[unknown]"));
    QCOMPARE(p.accessed, english.toString(QDate(2020, 3, 1), QLocale::LongFormat));
    const QDateTime modified = QFileInfo(file).lastModified();
    QVERIFY(p.modified.startsWith(english.toString(modified.date(), QLocale::LongFormat) + u' '));
    QVERIFY(p.readOnly);
    QVERIFY(p.hidden);
    QVERIFY(!p.archive && !p.system);
}

void TestFileOperations::propertiesOfAMissingFile()
{
    TempTree tree;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const FileProperties p = FileProperties::gather(tree.path(), QStringLiteral("README"), english);
    QCOMPARE(p.fileName, QStringLiteral("README"));
    QCOMPARE(p.fileType, QStringLiteral("README file"));
    QCOMPARE(p.size, QStringLiteral("0.00KB (0 bytes)"));
    QCOMPARE(p.accessed, english.toString(QDate(1601, 1, 1), QLocale::LongFormat));
    QVERIFY(p.modified.isEmpty());
}

QTEST_GUILESS_MAIN(TestFileOperations)
#include "tst_fileoperations.moc"
