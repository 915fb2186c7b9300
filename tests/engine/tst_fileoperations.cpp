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
    void folderRenameNeverReplacesAnEmptyFolder();
    void sizeText_data();
    void sizeText();
    void properties_data();
    void properties();
};

void TestFileOperations::folderRenameNeverReplacesAnEmptyFolder()
{
    // rename(2) would silently put the folder in the place of an empty one.
    TempTree tree;
    tree.write(QStringLiteral("one/a.txt"), "one");
    tree.mkdir(QStringLiteral("two"));
    QVERIFY_THROWS_EXCEPTION(Failure, FileOperations::renameFolder(tree.path(QStringLiteral("one")),
                                                                   QStringLiteral("two")));
    QCOMPARE(tree.read(QStringLiteral("one/a.txt")), QByteArray("one"));
    QVERIFY(QDir(tree.path(QStringLiteral("two"))).isEmpty());
}

void TestFileOperations::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addRow("empty") << qint64(0) << "0.00KB (0 bytes)";
    QTest::addRow("one and a half") << qint64(1536) << "1.50KB (1,536 bytes)";
    QTest::addRow("grouped") << qint64(1048576) << "1,024.00KB (1,048,576 bytes)";
}

void TestFileOperations::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(FileProperties::sizeText(bytes, QLocale(QLocale::English, QLocale::UnitedStates)),
             text);
}

void TestFileOperations::properties_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("flagged");  // read-only and hidden
    QTest::addRow("hidden read-only") << ".notes.TXT" << true << "TXT file" << true;
    // Base name and extension put together again would read "README.README".
    QTest::addRow("no dot") << "README" << true << "README file" << false;
    QTest::addRow("missing") << "gone.txt" << false << "txt file" << false;
}

void TestFileOperations::properties()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(bool, flagged);
    TempTree tree;
    QDate accessed(1601, 1, 1);  // what a file that cannot be examined shows
    if (exists) {
        const QString file = tree.write(name, QByteArray(1536, 'x'));
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
    QCOMPARE(p.fileName, name);
    QCOMPARE(p.dosName, name);
    QTEST(p.fileType, "type");
    QCOMPARE(p.location, folder);
    QCOMPARE(p.size,
             exists ? QStringLiteral("1.50KB (1,536 bytes)") : QStringLiteral("0.00KB (0 bytes)"));
    QCOMPARE(p.created, QStringLiteral("[unknown]"));
    QCOMPARE(p.accessed, english.toString(accessed, QLocale::LongFormat));
    QCOMPARE(p.modified.isEmpty(), !exists);
    QCOMPARE(p.readOnly, flagged);
    QCOMPARE(p.hidden, flagged);
}

QTEST_GUILESS_MAIN(TestFileOperations)
#include "tst_fileoperations.moc"
