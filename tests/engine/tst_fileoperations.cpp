#include "support/TempTree.h"

#include "engine/FileOperations.h"
#include "engine/FileProperties.h"
#include "platform/Failure.h"
#include "platform/FolderHandle.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

class TestFileOperations : public QObject {
    Q_OBJECT

private slots:
    void renameFolder_data();
    void renameFolder();
    void properties_data();
    void properties();
};

void TestFileOperations::renameFolder_data()
{
    QTest::addColumn<QString>("chosen");  // the folder renamed to "three"
    QTest::addColumn<QString>("swap");    // what "one" becomes once checked
    QTest::addColumn<bool>("renamed");
    QTest::addRow("plain folder") << "one"
                                  << "" << true;
    // rename(2) would silently put the folder in the place of an empty one.
    QTest::addRow("onto an existing name") << "two"
                                           << "" << false;
    QTest::addRow("a link as its last name") << "link"
                                             << "" << false;
    QTest::addRow("protected through a link") << "via/app"
                                              << "" << false;
    QTest::addRow("swapped for another folder") << "one"
                                                << "folder" << false;
    QTest::addRow("swapped for a link") << "one"
                                        << "link" << false;
}

void TestFileOperations::renameFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, swap);
    QFETCH(bool, renamed);
    TempTree tree;
    tree.write(QStringLiteral("one/a.txt"), "one");
    tree.mkdir(QStringLiteral("outside"));
    QVERIFY(QFile::link(tree.path(QStringLiteral("one")), tree.path(QStringLiteral("link"))));
    QVERIFY(QFile::link(tree.path(), tree.path(QStringLiteral("via"))));
    tree.mkdir(QStringLiteral("two"));
    const QString one = tree.path(QStringLiteral("one"));
    FileSystem::setBeforeOpenHookForTesting([&](const QString &path) {
        if (swap.isEmpty() || path != one)
            return;
        QDir(tree.path()).rename(QStringLiteral("one"), QStringLiteral("moved"));
        if (swap == u"folder")
            QDir(tree.path()).mkdir(QStringLiteral("one"));
        else
            QFile::link(tree.path(QStringLiteral("outside")), one);
    });
    const QString target = chosen == u"two" ? QStringLiteral("two") : QStringLiteral("three");
    bool done = true;
    try {
        FileOperations::renameFolder(tree.path(chosen == u"two" ? QStringLiteral("one") : chosen),
                                     target);
    } catch (const Failure &) {
        done = false;
    }
    FileSystem::setBeforeOpenHookForTesting({});
    QCOMPARE(done, renamed);
    QCOMPARE(tree.read(target + QStringLiteral("/a.txt")), renamed ? QByteArray("one") : "");
    QVERIFY(QDir(tree.path(QStringLiteral("app"))).exists());
    QVERIFY(QDir(tree.path(QStringLiteral("outside"))).isEmpty());
}

void TestFileOperations::properties_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("bytes");  // -1: no such file
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("size");
    QTest::addRow("hidden read-only") << ".notes.TXT" << 1536LL << "TXT file"
                                      << "1.50KB (1,536 bytes)";
    // Base name and extension put together again would read "README.README".
    QTest::addRow("no dot") << "README" << 1048576LL << "README file"
                            << "1,024.00KB (1,048,576 bytes)";
    QTest::addRow("missing") << "gone.txt" << -1LL << "txt file"
                             << "0.00KB (0 bytes)";
}

void TestFileOperations::properties()
{
    QFETCH(QString, name);
    QFETCH(qint64, bytes);
    const bool flagged = name.startsWith(u'.');  // hidden, and made read-only below
    TempTree tree;
    QDate accessed(1601, 1, 1);  // what a file that cannot be examined shows
    if (bytes >= 0) {
        const QString file = tree.write(name, QByteArray(bytes, 'x'));
        if (flagged)
            QFile::setPermissions(file, QFileDevice::ReadOwner);
        // Accessed late in the evening UTC: the date shown is the UTC one.
        const timespec times[2] = {{1583105400, 0} /* 2020-03-01 23:30 UTC */, {0, UTIME_OMIT}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0), 0);
        accessed = QDate(2020, 3, 1);
    }
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString folder = QDir::toNativeSeparators(tree.path());
    const FileProperties p = FileProperties::gather(folder + QDir::separator(), name, english);
    QTEST(p.fileType, "type");
    QTEST(p.size, "size");
    QCOMPARE(p.location, folder);
    QCOMPARE(p.created, QStringLiteral("[unknown]"));
    QCOMPARE(p.accessed, english.toString(accessed, QLocale::LongFormat));
    QCOMPARE(p.modified.isEmpty(), bytes < 0);
    QCOMPARE(p.readOnly, flagged);
    QCOMPARE(p.hidden, flagged);
}

QTEST_GUILESS_MAIN(TestFileOperations)
#include "tst_fileoperations.moc"
