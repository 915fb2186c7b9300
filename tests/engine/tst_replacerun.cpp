#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/ReplaceRun.h"
#include "engine/RunSupport.h"
#include "platform/TextCodec.h"

#include <QtTest>

#include <sys/stat.h>

class TestReplaceRun : public QObject {
    Q_OBJECT

private:
    static QString replaced(FakeRunHost &h, const QString &text, const QString &find,
                            const QString &replace)
    {
        h.viewer.buffer.setText(text);
        return replaceString(h.ctx, text, find, replace);
    }
    static void aim(FakeRunHost &h, const TempTree &t, const QStringList &files)
    {
        h.request.folder = t.path(QStringLiteral("top"));
        h.request.setFiles(files, true);
    }

private slots:
    void normalReplacement_data();
    void normalReplacement();
    void unchangedStepCountsForFileOnly();
    void fuzzyReplacement_data();
    void fuzzyReplacement();
    void reportEntryPadding_data();
    void reportEntryPadding();
    void replacePatternRule_data();
    void replacePatternRule();
    void selectedFilesWithBackup();
    void noAtConfirmationTouchesNothing();
    void wholeWordGatesThenReplacesInside();
    void bytesOutsideOccurrencesUnchanged_data();
    void bytesOutsideOccurrencesUnchanged();
    void unencodableReplacementLeavesFileAndGoesOn();
    void failedBackupLeavesFileUnchanged();
    void readOnlyFileAndSymlink();
    void treeWalkBacksUpAndReports();
    void walkPassesOverItsOwnBackupTree();
    void walkWithoutBackupsEntersAFolderNamedBackup();
    void walkSavesAndReportsUnchangedTextButDoesNotListIt();
    void stopWithoutSubfoldersCarriesTotalsIntoTheNextReport();
    void backupChoiceIsCommittedBeforeEachCopy();
    void failedValidationRestoresTheWindow();
    void multiLineReplacementWritesTheFilesLineEnds_data();
    void multiLineReplacementWritesTheFilesLineEnds();
    void stopMidWalkKeepsSavedFiles();
    void walkFileThatCannotBeSavedIsNotCounted();
    void fileTakenByTwoPatternsKeepsItsOriginalBackup();
};

void TestReplaceRun::normalReplacement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("sensitive");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::addRow("no re-replacement") << "Cat cat" << "cat" << "cats" << false << "cats cats" << 2;
    QTest::addRow("case sensitive") << "Cat cat CAT" << "cat" << "dog" << true << "Cat dog CAT" << 1;
    QTest::addRow("at both edges") << "abXab" << "ab" << "" << false << "X" << 2;
    QTest::addRow("no overlaps") << "aaaa" << "aa" << "b" << false << "bb" << 2;
    QTest::addRow("a line break takes the matched line end")
        << "a\r\nb" << "a\nb" << "x\ny" << false << "x\r\ny" << 1;
    QTest::addRow("none") << "abc" << "x" << "y" << false << "abc" << 0;
}

void TestReplaceRun::normalReplacement()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, sensitive);
    QFETCH(QString, result);
    QFETCH(int, count);
    FakeRunHost h;
    h.request.caseSensitive = sensitive;
    QCOMPARE(replaced(h, text, find, replace), result);
    QCOMPARE(h.ctx.state.FileReplacements, count);
    QCOMPARE(h.ctx.state.TotalReplacements, count);
    QCOMPARE(h.viewer.list.size(), result == text ? 0 : 1);
    QCOMPARE(h.main.panel1, QStringLiteral("Replacements: ") + QString::number(count));
}

void TestReplaceRun::unchangedStepCountsForFileOnly()
{
    FakeRunHost h;
    h.ctx.state.TotalReplacements = 7;  // carried over from a stopped run
    // The first step leaves the text as loaded; the second makes it differ.
    QCOMPARE(replaced(h, QStringLiteral("ab AB"), QStringLiteral("ab"), QStringLiteral("ab")),
             QStringLiteral("ab ab"));
    QCOMPARE(h.ctx.state.FileReplacements, 2);
    QCOMPARE(h.ctx.state.TotalReplacements, 8);

    FakeRunHost same;
    QCOMPARE(replaced(same, QStringLiteral("xAx"), QStringLiteral("a"), QStringLiteral("A")),
             QStringLiteral("xAx"));
    QCOMPARE(same.ctx.state.FileReplacements, 1);
    QCOMPARE(same.ctx.state.TotalReplacements, 0);
    QVERIFY(same.viewer.list.isEmpty());
}

void TestReplaceRun::fuzzyReplacement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::addRow("x") << "a[1]c[2]" << "x" << false << "axcx" << 2;
    QTest::addRow("deleted") << "a[1]c[2]" << "" << false << "ac" << 2;
    QTest::addRow("at position 0") << "[1]b" << "x" << false << "xb" << 1;
    QTest::addRow("across lines") << "[\r\n]\n[\r]" << "-" << false << "-\n-" << 2;
    QTest::addRow("replacement holding parts is not searched again")
        << "[1][2]" << "[]" << false << "[][]" << 2;
    // The whole-word test at the start of the rest sees the inserted text.
    QTest::addRow("whole word after insertion") << "ab.ab." << "z" << true << "zab." << 1;
    QTest::addRow("whole word after a blank insertion") << "ab.ab." << "-" << true << "--" << 2;
}

void TestReplaceRun::fuzzyReplacement()
{
    QFETCH(QString, text);
    QFETCH(QString, replace);
    QFETCH(bool, whole);
    QFETCH(QString, result);
    QFETCH(int, count);
    FakeRunHost h;
    h.request.fuzzy = true;
    h.request.wholeWord = whole;
    const bool words = text.startsWith(QLatin1String("ab"));
    h.request.first = words ? QStringLiteral("ab") : QStringLiteral("[");
    h.request.second = words ? QStringLiteral(".") : QStringLiteral("]");
    h.viewer.buffer.setText(text);
    QCOMPARE(replaceString(h.ctx, text, QString(), replace), result);
    QCOMPARE(h.ctx.state.FileReplacements, count);
    QCOMPARE(h.viewer.posLabel.left(3), QStringLiteral("-1 "));
}

void TestReplaceRun::reportEntryPadding_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("head");
    QTest::addRow("1") << 1 << "\r\n           1)  ";
    QTest::addRow("10") << 10 << "\r\n          10)  ";
    QTest::addRow("12") << 12 << "\r\n          12)  ";
    QTest::addRow("100") << 100 << "\r\n         100)  ";
    QTest::addRow("1000") << 1000 << "\r\n        1000)  ";
}

void TestReplaceRun::reportEntryPadding()
{
    QFETCH(int, number);
    QFETCH(QString, head);
    QCOMPARE(reportEntry(number, QStringLiteral("/p/f.txt"), 3),
             head + QStringLiteral("/p/f.txt\r\n               Replacements made: 3\r\n"));
}

void TestReplaceRun::replacePatternRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("taken");
    QTest::addRow("html by *.htm") << "a.html" << "*.htm" << true;
    QTest::addRow("htm.bak by *.htm") << "a.htm.bak" << "*.htm" << true;
    QTest::addRow("case is exact") << "a.txt" << "*.TXT" << false;
    QTest::addRow("text before star ignored") << "notes.txt" << "read*.txt" << true;
    QTest::addRow("*.* takes all") << "README" << "*.*" << true;
    QTest::addRow("empty takes all") << "x" << "" << true;
    QTest::addRow("other") << "a.txt" << "*.htm" << false;
}

void TestReplaceRun::replacePatternRule()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, taken);
    QCOMPARE(RunSupport::matchesReplacePattern(name, pattern), taken);
}

void TestReplaceRun::selectedFilesWithBackup()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "a cat");
    t.write(QStringLiteral("top/b.txt"), "a dog");
    ::chmod(QFile::encodeName(t.path(QStringLiteral("top/b.txt"))).constData(), 0444);
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("cow");
    h.request.backup = true;
    h.backup.root = t.path(QStringLiteral("bk"));
    t.mkdir(QStringLiteral("bk"));

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("a cow"));
    QCOMPARE(t.read(QStringLiteral("bk/Backup/top/a.txt")), QByteArray("a cat"));
    // A file without a match is untouched, but its attributes are cleared and it is copied.
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("a dog"));
    QCOMPARE(t.read(QStringLiteral("bk/Backup/top/b.txt")), QByteArray("a dog"));
    QVERIFY(QFileInfo(t.path(QStringLiteral("top/b.txt"))).permissions() & QFile::WriteOwner);
    QCOMPARE(h.viewer.list, QStringList({t.path(QStringLiteral("top/a.txt"))}));
    QCOMPARE(h.main.reports, 1);
    QCOMPARE(h.ctx.state.ReportBody, reportEntry(1, t.path(QStringLiteral("top/a.txt")), 1));
    QVERIFY(h.viewer.visible);
    QVERIFY(!h.main.timeStartText.isEmpty());
}

void TestReplaceRun::noAtConfirmationTouchesNothing()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "cat");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");
    h.main.timeStartText = QStringLiteral("before");
    h.dialogs.answers << MessageAnswer::No;

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("cat"));
    QCOMPARE(h.main.timeStartText, QStringLiteral("before"));
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Make replacement")}));
}

void TestReplaceRun::wholeWordGatesThenReplacesInside()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "cats only");
    t.write(QStringLiteral("top/b.txt"), "cat and cats");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");
    h.request.wholeWord = true;

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("cats only"));
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("dog and dogs"));
}

void TestReplaceRun::bytesOutsideOccurrencesUnchanged_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("utf-16 le crlf")
        << QByteArray("\xFF\xFE" "c\0a\0t\0\r\0\n\0x\0", 14)
        << QByteArray("\xFF\xFE" "d\0o\0g\0\r\0\n\0x\0", 14);
    QTest::addRow("utf-16 be")
        << QByteArray("\xFE\xFF\0c\0a\0t", 8) << QByteArray("\xFE\xFF\0d\0o\0g", 8);
    QTest::addRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9 cat\r\n")
                               << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9 dog\r\n");
    QTest::addRow("windows-1252") << QByteArray("\xE9t\xE9 cat\x81\x9D\r")
                                  << QByteArray("\xE9t\xE9 dog\x81\x9D\r");
    QTest::addRow("nul and invalid utf-8")
        << QByteArray("\0\xC3(cat\xFF\0", 8) << QByteArray("\0\xC3(dog\xFF\0", 8);
    QTest::addRow("no final newline, mixed ends")
        << QByteArray("cat\r\nx\ry\ncat") << QByteArray("dog\r\nx\ry\ndog");
}

void TestReplaceRun::bytesOutsideOccurrencesUnchanged()
{
    QFETCH(QByteArray, before);
    TempTree t;
    t.write(QStringLiteral("top/f.dat"), before);
    FakeRunHost h;
    aim(h, t, {QStringLiteral("f.dat")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");

    cmdReplace_Click(h.ctx);

    QTEST(t.read(QStringLiteral("top/f.dat")), "after");
}

void TestReplaceRun::unencodableReplacementLeavesFileAndGoesOn()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "\xE9 cat");  // windows-1252
    t.write(QStringLiteral("top/b.txt"), "cat");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("\u732B");

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("\xE9 cat"));
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("\xE7\x8C\xAB"));
    QVERIFY(h.dialogs.titles().contains(QStringLiteral(" Error")));
    QCOMPARE(h.viewer.list, QStringList({t.path(QStringLiteral("top/b.txt"))}));
    QCOMPARE(h.ctx.state.TotalReplacements, 1);  // b's replacement only
    QCOMPARE(h.main.reports, 1);
}

void TestReplaceRun::failedBackupLeavesFileUnchanged()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "cat");
    t.write(QStringLiteral("bk"), "a file where the backup folder should be");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");
    h.request.backup = true;
    h.backup.root = t.path(QStringLiteral("bk"));

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("cat"));
    QVERIFY(h.viewer.list.isEmpty());
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Make replacement"),
                                              QStringLiteral(" Error"),
                                              QStringLiteral(" Search complete")}));
    QVERIFY(h.dialogs.shown.at(1).text.startsWith(
        QStringLiteral("An error occurred while trying to replace.\rExact error was: ")));
    QVERIFY(t.read(QStringLiteral("app/ErrorLog.log")).contains("cmdReplace_Click-frmFind.frm"));
}

void TestReplaceRun::readOnlyFileAndSymlink()
{
    TempTree t;
    t.write(QStringLiteral("target.txt"), "cat");
    t.mkdir(QStringLiteral("top"));
    QVERIFY(QFile::link(t.path(QStringLiteral("target.txt")), t.path(QStringLiteral("top/link.txt"))));
    t.write(QStringLiteral("top/ro.txt"), "cat");
    ::chmod(QFile::encodeName(t.path(QStringLiteral("top/ro.txt"))).constData(), 0444);
    FakeRunHost h;
    aim(h, t, {QStringLiteral("link.txt"), QStringLiteral("ro.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");

    cmdReplace_Click(h.ctx);

    QVERIFY(QFileInfo(t.path(QStringLiteral("top/link.txt"))).isSymLink());
    QCOMPARE(t.read(QStringLiteral("target.txt")), QByteArray("dog"));
    // Attributes are cleared before the file is changed, as the run promises.
    QCOMPARE(t.read(QStringLiteral("top/ro.txt")), QByteArray("dog"));
}

void TestReplaceRun::treeWalkBacksUpAndReports()
{
    TempTree t;
    t.write(QStringLiteral("projects/proj/a.txt"), "lorem");
    t.write(QStringLiteral("projects/proj/sub/deeper/b.txt"), "x lorem lorem");
    t.write(QStringLiteral("projects/proj/sub/c.htm.bak"), "lorem");
    t.write(QStringLiteral("projects/proj/sub/d.txt"), "nothing");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("projects/proj"));
    h.request.setFiles({QStringLiteral("a.txt")}, false);
    h.request.subdirectories = true;
    h.request.backup = true;
    h.request.filterText = QStringLiteral("*.txt");
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.backup.root = t.mkdir(QStringLiteral("bk"));

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("projects/proj/a.txt")), QByteArray("lorem"));  // not selected
    QCOMPARE(t.read(QStringLiteral("projects/proj/sub/deeper/b.txt")), QByteArray("x ipsum ipsum"));
    QCOMPARE(t.read(QStringLiteral("bk/Backup/proj/sub/deeper/b.txt")), QByteArray("x lorem lorem"));
    QCOMPARE(t.read(QStringLiteral("projects/proj/sub/c.htm.bak")), QByteArray("lorem"));
    // A folder is made for every folder walked; only matching files are copied.
    QVERIFY(QFileInfo(t.path(QStringLiteral("bk/Backup/proj/sub"))).isDir());
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("bk/Backup/proj/sub/d.txt"))));
    QVERIFY(h.main.panel2History.contains(QStringLiteral(" Creating folders: ") +
                                          QStringLiteral("proj/sub")));
    QCOMPARE(h.ctx.state.ModifiedFileCount, 1);
    QCOMPARE(h.ctx.state.ReportBody,
             reportEntry(1, t.path(QStringLiteral("projects/proj/sub/deeper/b.txt")), 2));
    QCOMPARE(h.ctx.state.TotalReplacements, 2);
    QCOMPARE(h.main.reports, 1);
}

void TestReplaceRun::walkPassesOverItsOwnBackupTree()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "lorem");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles({QStringLiteral("a.txt")}, true);
    h.request.subdirectories = true;
    h.request.backup = true;
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.backup.root = t.path(QStringLiteral("top"));  // backups inside the walked tree

    cmdReplace_Click(h.ctx);
    h.request.find = QStringLiteral("ipsum");
    h.request.replace = QStringLiteral("dolor");
    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("dolor"));
    QCOMPARE(t.read(QStringLiteral("top/Backup/top/a.txt")), QByteArray("ipsum"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("top/Backup/top/Backup"))));
}

void TestReplaceRun::walkWithoutBackupsEntersAFolderNamedBackup()
{
    TempTree t;
    t.write(QStringLiteral("top/Backup/notes.txt"), "lorem");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.backup.root = t.path(QStringLiteral("top"));

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/Backup/notes.txt")), QByteArray("ipsum"));
}

void TestReplaceRun::walkSavesAndReportsUnchangedTextButDoesNotListIt()
{
    TempTree t;
    const QString path = t.write(QStringLiteral("top/sub/a.txt"), "Cat");
    const QDateTime before = QFileInfo(path).lastModified();
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("Cat");
    QFile(path).setFileTime(before.addSecs(-100), QFileDevice::FileModificationTime);

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/sub/a.txt")), QByteArray("Cat"));
    QVERIFY(QFileInfo(path).lastModified() > before.addSecs(-50));  // written again
    QCOMPARE(h.ctx.state.ReportBody, reportEntry(1, path, 1));
    QVERIFY(h.viewer.list.isEmpty());
}

void TestReplaceRun::stopWithoutSubfoldersCarriesTotalsIntoTheNextReport()
{
    TempTree t;
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        t.write(QStringLiteral("top/") + QLatin1String(name), "lorem");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.main.onYield = [&] {
        if (h.ctx.state.ModifiedFileCount == 1)
            h.ctx.state.StopRequested = true;
    };

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("ipsum"));
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("lorem"));
    QCOMPARE(h.main.reports, 0);
    QCOMPARE(h.ctx.state.TotalReplacements, 1);

    // Nothing resets the stopped run's totals: the next report holds both runs.
    h.main.onYield = nullptr;
    h.ctx.state.StopRequested = false;
    h.request.setFiles({QStringLiteral("b.txt")}, true);
    cmdReplace_Click(h.ctx);
    QCOMPARE(h.main.reports, 1);
    QCOMPARE(h.ctx.state.TotalReplacements, 2);
    QCOMPARE(h.ctx.state.ReportBody.count(QStringLiteral("Replacements made")), 2);
}

void TestReplaceRun::backupChoiceIsCommittedBeforeEachCopy()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "lorem");
    t.write(QStringLiteral("top/b.txt"), "lorem");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.request.backup = true;
    t.mkdir(QStringLiteral("first"));
    t.mkdir(QStringLiteral("second"));
    h.backup.root = t.path(QStringLiteral("first"));
    // The dialog's choice as it stands when each copy is made counts.
    h.main.onYield = [&] {
        if (h.backup.commits == 1)
            h.backup.root = t.path(QStringLiteral("second"));
    };

    cmdReplace_Click(h.ctx);

    QCOMPARE(h.backup.commits, 2);
    QCOMPARE(t.read(QStringLiteral("first/Backup/top/a.txt")), QByteArray("lorem"));
    QCOMPARE(t.read(QStringLiteral("second/Backup/top/b.txt")), QByteArray("lorem"));
}

void TestReplaceRun::failedValidationRestoresTheWindow()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "lorem");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt")});
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("lorem");
    h.main.minimized = true;
    h.main.panel2 = QStringLiteral("old");

    cmdReplace_Click(h.ctx);

    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Error")}));
    QCOMPARE(h.main.panel1, QStringLiteral("Scrivlane"));
    QCOMPARE(h.main.panel2, QString());
    QVERIFY(!h.main.minimized);
    QCOMPARE(h.main.historySaves, 0);
    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("lorem"));
}

namespace {
QByteArray utf16le(const QByteArray &latin1)
{
    QByteArray out("\xFF\xFE", 2);
    for (const char c : latin1)
        out.append(c).append('\0');
    return out;
}
}  // namespace

void TestReplaceRun::multiLineReplacementWritesTheFilesLineEnds_data()
{
    // The large search dialog hands over LF; the file decides what is written.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QByteArray>("after");
    const QString twoLines = QStringLiteral("new line\nsecond");
    QTest::addRow("LF") << QByteArray("new line\nsecond\n") << twoLines
                        << QByteArray("one\ntwo\n");
    QTest::addRow("CR LF") << QByteArray("new line\r\nsecond\r\n") << twoLines
                           << QByteArray("one\r\ntwo\r\n");
    QTest::addRow("CR") << QByteArray("new line\rsecond\r") << twoLines
                        << QByteArray("one\rtwo\r");
    QTest::addRow("mixed: the matched end")
        << QByteArray("new line\rsecond\r\nx\r\n") << twoLines
        << QByteArray("one\rtwo\r\nx\r\n");
    QTest::addRow("match without a break: the most common end")
        << QByteArray("a\nb\r\nc\r\nsecond") << QStringLiteral("second")
        << QByteArray("a\nb\r\nc\r\none\r\ntwo");
    QTest::addRow("UTF-16 CR LF") << utf16le("new line\r\nsecond") << twoLines
                                  << utf16le("one\r\ntwo");
    QTest::addRow("UTF-16 CR") << utf16le("x\rnew line\rsecond") << twoLines
                               << utf16le("x\rone\rtwo");
}

void TestReplaceRun::multiLineReplacementWritesTheFilesLineEnds()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, find);
    TempTree t;
    t.write(QStringLiteral("top/f.txt"), before);
    FakeRunHost h;
    aim(h, t, {QStringLiteral("f.txt")});
    h.request.find = find;
    h.request.replace = QStringLiteral("one\ntwo");

    cmdReplace_Click(h.ctx);

    QTEST(t.read(QStringLiteral("top/f.txt")), "after");
    QCOMPARE(h.ctx.state.TotalReplacements, 1);
}

void TestReplaceRun::stopMidWalkKeepsSavedFiles()
{
    TempTree t;
    for (int i = 0; i < 10; ++i)
        t.write(QStringLiteral("top/sub/f%1.txt").arg(i), "lorem");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    h.main.onYield = [&] {
        if (h.ctx.state.ModifiedFileCount == 3)
            h.ctx.state.StopRequested = true;
    };

    cmdReplace_Click(h.ctx);

    int changed = 0;
    for (int i = 0; i < 10; ++i)
        changed += t.read(QStringLiteral("top/sub/f%1.txt").arg(i)) == "ipsum";
    QCOMPARE(changed, 3);
    QCOMPARE(h.ctx.state.ReportBody.count(QStringLiteral("Replacements made")), 3);
    QCOMPARE(h.main.reports, 0);
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Make replacement")}));
}

void TestReplaceRun::walkFileThatCannotBeSavedIsNotCounted()
{
    TempTree t;
    t.write(QStringLiteral("top/sub/a.txt"), "cat cat");
    t.write(QStringLiteral("top/sub/b.txt"), "\xE9 cat");  // windows-1252
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("\u732B");
    qint32 totalAtReport = -1;
    QStringList listAtReport;
    h.main.onOutputData = [&] {
        totalAtReport = h.ctx.state.TotalReplacements;
        listAtReport = h.viewer.list;
    };

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/sub/b.txt")), QByteArray("\xE9 cat"));
    QVERIFY(h.dialogs.titles().contains(QStringLiteral(" Error")));
    // Whichever file the walk met first, only a.txt's change is reported.
    if (t.read(QStringLiteral("top/sub/a.txt")) == QByteArray("cat cat")) {
        QCOMPARE(h.main.reports, 0);  // the walk ended at b.txt before reaching a.txt
    } else {
        QCOMPARE(listAtReport, QStringList({t.path(QStringLiteral("top/sub/a.txt"))}));
        QCOMPARE(totalAtReport, 2);
    }
}

void TestReplaceRun::fileTakenByTwoPatternsKeepsItsOriginalBackup()
{
    TempTree t;
    t.write(QStringLiteral("top/sub/a.html"), "cat");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.backup = true;
    h.request.filterText = QStringLiteral("*.htm;*.html");
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("cats");
    h.backup.root = t.mkdir(QStringLiteral("bk"));

    cmdReplace_Click(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/sub/a.html")), QByteArray("catss"));
    QCOMPARE(t.read(QStringLiteral("bk/Backup/top/sub/a.html")), QByteArray("cat"));

    // The next run copies afresh.
    h.request.filterText = QStringLiteral("*.html");
    cmdReplace_Click(h.ctx);
    QCOMPARE(t.read(QStringLiteral("bk/Backup/top/sub/a.html")), QByteArray("catss"));
}

QTEST_GUILESS_MAIN(TestReplaceRun)
#include "tst_replacerun.moc"
