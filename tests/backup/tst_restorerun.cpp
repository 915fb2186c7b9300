#include "backup/RestoreRun.h"
#include "engine/ReplaceJournal.h"
#include "support/TempTree.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Restore against a journal made the way a Replace makes it: the copy taken,
// the file rewritten, both recorded.
class tst_RestoreRun : public QObject {
    Q_OBJECT

private slots:
    void restoresOnlyWhatIsUnchanged_data();
    void restoresOnlyWhatIsUnchanged();
    void journalKeepsAnyNameAndSurvivesACutLine();
};

void tst_RestoreRun::restoresOnlyWhatIsUnchanged_data()
{
    QTest::addColumn<QString>("afterwards");  // what happens between Replace and Restore
    QTest::addColumn<bool>("restored");
    QTest::newRow("untouched") << "" << true;
    QTest::newRow("file edited") << "edit" << false;
    QTest::newRow("file edited, same size") << "same-size" << false;
    QTest::newRow("file removed") << "remove" << false;
    QTest::newRow("copy replaced by a later run") << "copy" << false;
    QTest::newRow("restore asked for another folder") << "other-folder" << false;
}

void tst_RestoreRun::restoresOnlyWhatIsUnchanged()
{
    QFETCH(QString, afterwards);
    QFETCH(bool, restored);
    TempTree t;
    const QByteArray original("caf\xc3\xa9 cat\r\nlast line, no end \x92");
    const QString file = t.write(QStringLiteral("tree/a.txt"), original);
    const QString copy = t.write(QStringLiteral("Backup/tree/a.txt"), original);
    ::chmod(QFile::encodeName(file).constData(), 0640);
    const QByteArray written("caf\xc3\xa9 dog\r\nlast line, no end \x92");
    t.write(QStringLiteral("tree/a.txt"), written);
    const QString journal = t.path(QStringLiteral("app/Journal.dat"));
    ReplaceJournal::start(journal, t.path(QStringLiteral("tree")));
    ReplaceJournal::append(journal, {ReplaceJournal::entryFor(file, copy, 1)});

    QByteArray expected = written;
    if (afterwards == QLatin1String("edit"))
        t.write(QStringLiteral("tree/a.txt"), expected = "edited by hand");
    if (afterwards == QLatin1String("same-size"))
        t.write(QStringLiteral("tree/a.txt"), expected = QByteArray(written).replace("dog", "cow"));
    if (afterwards == QLatin1String("remove")) {
        QFile::remove(file);
        expected.clear();
    }
    if (afterwards == QLatin1String("copy")) {
        QFile::remove(copy);
        t.write(QStringLiteral("Backup/tree/a.txt"), "a later run's copy");
    }
    const QString folder = afterwards == QLatin1String("other-folder")
                               ? t.mkdir(QStringLiteral("other"))
                               : t.path(QStringLiteral("tree"));

    const RestoreRun::Result result = RestoreRun::restore(journal, folder);
    QCOMPARE(result.restored.size(), restored ? 1 : 0);
    QCOMPARE(t.read(QStringLiteral("tree/a.txt")), restored ? original : expected);
    QCOMPARE(result.found, afterwards != QLatin1String("other-folder"));
    QCOMPARE(result.passedOver.size(), result.found && !restored ? 1 : 0);
    // The journal is used once; one for another folder stays for its own.
    QCOMPARE(QFile::exists(journal), !result.found);
    if (restored) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
    }
    if (result.found) {
        const QString report = RestoreRun::reportText(result, QDateTime::currentDateTime(),
                                                      QDateTime::currentDateTime());
        QVERIFY(report.contains(QStringLiteral("Restored From Backups")));
        // Its totals are figures, also when nothing could be restored.
        const QString count = QString::number(restored ? 1 : 0) + QStringLiteral("\r\n");
        QVERIFY(report.contains(QStringLiteral("Total Replacements Made : ") + count));
        QVERIFY(report.contains(QStringLiteral("Total Modified Files    : ") + count));
    }
}

void tst_RestoreRun::journalKeepsAnyNameAndSurvivesACutLine()
{
    TempTree t;
    const QString odd = QStringLiteral("name with\ttab,\nnewline and % sign ") +
                        FileSystem::fromNativePath(QByteArrayLiteral("\xff"));
    const QString file = t.path(QStringLiteral("tree/")) + odd;
    t.mkdir(QStringLiteral("tree"));
    const int fd = ::open(FileSystem::nativePath(file).constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0 && ::write(fd, "text", 4) == 4 && ::close(fd) == 0);
    const QString second = t.write(QStringLiteral("tree/second"), "more");
    const QString journal = t.path(QStringLiteral("app/Journal.dat"));
    ReplaceJournal::start(journal, t.path(QStringLiteral("tree")));
    const ReplaceJournal::Entry e = ReplaceJournal::entryFor(file, second, 7);
    ReplaceJournal::append(journal, {e, ReplaceJournal::entryFor(second, file, 2)});
    // A crash in the middle of the last line: the entries before it still count.
    QFile f(journal);
    QVERIFY(f.resize(f.size() - 5));
    const std::optional<ReplaceJournal::Journal> read = ReplaceJournal::read(journal);
    QVERIFY(read);
    QCOMPARE(read->folder, t.path(QStringLiteral("tree")));
    QCOMPARE(read->entries, QList<ReplaceJournal::Entry>{e});
}

QTEST_GUILESS_MAIN(tst_RestoreRun)
#include "tst_restorerun.moc"
