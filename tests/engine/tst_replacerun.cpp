#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/FileNameFilter.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunReplacement.h"
#include "engine/RunReport.h"
#include "engine/RunSupport.h"
#include "platform/LoadLimit.h"
#include "platform/TextCodec.h"

#include <QtTest>

#include <sys/stat.h>

class TestReplaceRun : public QObject {
    Q_OBJECT

private:
    static QString replaced(FakeRunHost &h, const QString &text, const QString &find,
                            const QString &replace)
    {
        h.viewer.document.setText(text);
        return replaceAndCount(h.taken(), text, find, replace);
    }
    static void aim(FakeRunHost &h, const TempTree &t, const QStringList &files)
    {
        h.request.folder = t.path(QStringLiteral("top"));
        h.request.setFiles(files, true);
    }

    // Replace "lorem" by "ipsum" in the given files of top, or its whole tree when none are given.
    static void lorem(FakeRunHost &h, const TempTree &t, const QStringList &files = {})
    {
        aim(h, t, files);
        h.request.subdirectories = files.isEmpty();
        h.request.find = QStringLiteral("lorem");
        h.request.replace = QStringLiteral("ipsum");
    }

private slots:
    void replacementIsTalliedInTheRun();
    void reportEntryPadding_data();
    void reportEntryPadding();
    void replacePatternRule_data();
    void replacePatternRule();
    void modeAndTimesAreKept_data();
    void modeAndTimesAreKept();
    void selectedFilesWithBackup();
    void namesakeStartFoldersKeepTheirOwnCopies_data();
    void namesakeStartFoldersKeepTheirOwnCopies();
    void noAtConfirmationTouchesNothing();
    void wholeWordReplacesOnlyWholeWords_data();
    void wholeWordReplacesOnlyWholeWords();
    void resultPastTheLoadLimitLeavesTheFile_data();
    void resultPastTheLoadLimitLeavesTheFile();
    void fileThePatternGivesUpOnIsAnError_data();
    void fileThePatternGivesUpOnIsAnError();
    void stopIsTakenInsideOneLongSearch();
    void bytesOutsideOccurrencesUnchanged_data();
    void bytesOutsideOccurrencesUnchanged();
    void unencodableReplacementLeavesFileAndGoesOn();
    void failedBackupLeavesFileUnchanged();
    void readOnlyFileAndSymlink();
    void treeWalkBacksUpAndReports();
    void walkPassesOverItsOwnBackupTree();
    void walkWithoutBackupsEntersAFolderNamedBackup();
    void reportEntriesAddUpToTheTotal_data();
    void reportEntriesAddUpToTheTotal();
    void stopWithoutSubfoldersStartsTheNextReportAfresh();
    void backupChoiceIsCommittedBeforeEachCopy();
    void failedValidationRestoresTheWindow();
    void backupRootThatIsNoFullPathIsRefused_data();
    void backupRootThatIsNoFullPathIsRefused();
    void multiLineReplacementWritesTheFilesLineEnds_data();
    void multiLineReplacementWritesTheFilesLineEnds();
    void stopMidWalkKeepsSavedFiles();
    void walkFileThatCannotBeSavedIsNotCounted();
    void saveFailingAtItsFlushPassesOverThatFileOnly();
    void fileTakenByTwoPatternsIsChangedOnce();
};

// What the replacer gives is counted in the run, shown and listed.
void TestReplaceRun::replacementIsTalliedInTheRun()
{
    FakeRunHost h;
    h.ctx.state.totalReplacements = 7;  // carried over from a stopped run
    // The first step leaves the text as loaded; the second makes it differ.
    QCOMPARE(replaced(h, QStringLiteral("ab AB"), QStringLiteral("ab"), QStringLiteral("ab")),
             QStringLiteral("ab ab"));
    QCOMPARE(h.ctx.state.fileReplacements, 2);
    QCOMPARE(h.ctx.state.totalReplacements, 8);
    QCOMPARE(h.viewer.list.size(), 1);
    QCOMPARE(h.events.last(), QStringLiteral("replacementsMade: 8"));

    FakeRunHost same;
    QCOMPARE(replaced(same, QStringLiteral("xAx"), QStringLiteral("a"), QStringLiteral("A")),
             QStringLiteral("xAx"));
    QCOMPARE(same.ctx.state.fileReplacements, 1);
    QCOMPARE(same.ctx.state.totalReplacements, 0);
    QVERIFY(same.viewer.list.isEmpty());

    FakeRunHost fuzzy;
    fuzzy.request.fuzzy = true;
    fuzzy.request.first = QStringLiteral("[");
    fuzzy.request.second = QStringLiteral("]");
    QCOMPARE(replaced(fuzzy, QStringLiteral("a[1]c[2]"), QString(), QStringLiteral("x")),
             QStringLiteral("axcx"));
    QCOMPARE(fuzzy.ctx.state.fileReplacements, 2);
    QCOMPARE(fuzzy.viewer.posLabel, QStringLiteral("-1 of 4"));
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
    // The walk takes exactly the names the file list and Find take.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("taken");
    QTest::addRow("htm by *.htm") << "a.htm"
                                  << "*.htm" << true;
    QTest::addRow("html not by *.htm") << "a.html"
                                       << "*.htm" << false;
    QTest::addRow("htm.bak not by *.htm") << "a.htm.bak"
                                          << "*.htm" << false;
    QTest::addRow("pyc not by *.py") << "a.pyc"
                                     << "*.py" << false;
    QTest::addRow("case is exact") << "a.txt"
                                   << "*.TXT" << false;
    QTest::addRow("text before star counts") << "notes.txt"
                                             << "read*.txt" << false;
    QTest::addRow("*.* takes all") << "README"
                                   << "*.*" << true;
    QTest::addRow("empty takes all") << "x"
                                     << "" << true;
    QTest::addRow("an exclusion leaves out") << "a.min.css"
                                             << "*.css;!*.min.css" << false;
    QTest::addRow("an exclusion leaves the rest") << "a.css"
                                                  << "*.css;!*.min.css" << true;
}

void TestReplaceRun::replacePatternRule()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, taken);
    TempTree t;
    t.write("top/sub/" + name, "lorem");
    FakeRunHost h;
    lorem(h, t);
    h.request.filterText = pattern;
    runReplace(h.ctx);
    QCOMPARE(t.read("top/sub/" + name) == "ipsum", taken);
    QCOMPARE(FileNameFilter(pattern).takesFile(name), taken);
}

void TestReplaceRun::modeAndTimesAreKept_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("walk");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("read-only, replaced") << QByteArray("cat") << 0444 << false << QByteArray("dog");
    QTest::addRow("read-only, replaced by the walk")
        << QByteArray("cat") << 0444 << true << QByteArray("dog");
    QTest::addRow("group-readable, replaced by the walk")
        << QByteArray("cat") << 0640 << true << QByteArray("dog");
    QTest::addRow("read-only, no match")
        << QByteArray("bird") << 0444 << false << QByteArray("bird");
    QTest::addRow("no match in the walk")
        << QByteArray("bird") << 0600 << true << QByteArray("bird");
}

void TestReplaceRun::modeAndTimesAreKept()
{
    QFETCH(QByteArray, before);
    QFETCH(int, mode);
    QFETCH(bool, walk);
    TempTree t;
    const QString path = t.write(walk ? "top/sub/f.txt" : "top/f.txt", before);
    const QByteArray native = QFile::encodeName(path);
    const QDateTime old = QFileInfo(path).lastModified().addSecs(-100);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly) &&
            file.setFileTime(old, QFileDevice::FileModificationTime));
    ::chmod(native.constData(), mode_t(mode));
    FakeRunHost h;
    lorem(h, t, walk ? QStringList() : QStringList{"f.txt"});
    h.request.find = "cat";
    h.request.replace = "dog";
    h.request.backup = true;
    h.backup.root = t.mkdir("bk");
    runReplace(h.ctx);
    QTEST(t.read(walk ? "top/sub/f.txt" : "top/f.txt"), "after");
    struct stat st {};
    QCOMPARE(::stat(native.constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 07777), mode);
    if (before == "bird")
        QCOMPARE(QFileInfo(path).lastModified(), old);
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

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("a cow"));
    QCOMPARE(t.read("bk/Backup" + t.path("top/a.txt")), QByteArray("a cat"));
    // A file without a match is copied and otherwise untouched.
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("a dog"));
    QCOMPARE(t.read("bk/Backup" + t.path("top/b.txt")), QByteArray("a dog"));
    QCOMPARE(h.viewer.list, QStringList({t.path(QStringLiteral("top/a.txt"))}));
    QCOMPARE(h.main.reports, 1);
    QCOMPARE(h.ctx.state.reportBody, reportEntry(1, t.path(QStringLiteral("top/a.txt")), 1));
    QVERIFY(h.viewer.visible);
    QVERIFY(!h.ctx.state.startTime.isEmpty());
}

void TestReplaceRun::namesakeStartFoldersKeepTheirOwnCopies_data()
{
    QTest::addColumn<bool>("walk");
    QTest::addRow("selected files") << false;
    QTest::addRow("folder walk") << true;
}

void TestReplaceRun::namesakeStartFoldersKeepTheirOwnCopies()
{
    QFETCH(bool, walk);
    TempTree t;
    FakeRunHost h;
    h.request.backup = true;
    h.request.subdirectories = walk;
    h.backup.root = t.mkdir("bk");
    const auto run = [&](const char *folder, const char *find, const char *replace) {
        h.request.folder = t.path(folder);
        h.request.setFiles({"a.txt"}, true);
        h.request.find = find;
        h.request.replace = replace;
        runReplace(h.ctx);
    };
    t.write("p1/docs/a.txt", "cat one");
    t.write("p2/docs/a.txt", "cat two");
    run("p1/docs", "cat", "dog");
    run("p2/docs", "cat", "dog");
    run("p1/docs", "dog", "cow");
    QCOMPARE(t.read("bk/Backup" + t.path("p1/docs/a.txt")), QByteArray("dog one"));
    QCOMPARE(t.read("bk/Backup" + t.path("p2/docs/a.txt")), QByteArray("cat two"));
}

void TestReplaceRun::noAtConfirmationTouchesNothing()
{
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "cat");
    FakeRunHost h;
    aim(h, t, {QStringLiteral("a.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");
    h.ctx.state.startTime = QStringLiteral("before");
    h.dialogs.answers << MessageAnswer::No;

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("cat"));
    QCOMPARE(h.ctx.state.startTime, QStringLiteral("before"));
    QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Make replacement")}));
}

void TestReplaceRun::wholeWordReplacesOnlyWholeWords_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("walk");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("count");
    const QByteArray text("the cat sat on concatenate and scatter");
    const QByteArray done("the dog sat on concatenate and scatter");
    QTest::addRow("selected files") << text << false << done << 1;
    QTest::addRow("folder walk") << text << true << done << 1;
    QTest::addRow("at the edges and by punctuation")
        << QByteArray("cat,cat.cats_cat") << false << QByteArray("dog,dog.cats_cat") << 2;
    QTest::addRow("no whole word")
        << QByteArray("cats only") << false << QByteArray("cats only") << 0;
}

void TestReplaceRun::wholeWordReplacesOnlyWholeWords()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, walk);
    TempTree t;
    t.write(walk ? "top/sub/a.txt" : "top/a.txt", before);
    FakeRunHost h;
    lorem(h, t, walk ? QStringList() : QStringList{"a.txt"});
    h.request.find = "cat";
    h.request.replace = "dog";
    h.request.wholeWord = true;
    runReplace(h.ctx);
    QTEST(t.read(walk ? "top/sub/a.txt" : "top/a.txt"), "after");
    QTEST(int(h.ctx.state.totalReplacements), "count");
}

void TestReplaceRun::resultPastTheLoadLimitLeavesTheFile_data()
{
    QTest::addColumn<bool>("walk");
    QTest::addColumn<bool>("fuzzy");
    QTest::addRow("selected files") << false << false;
    QTest::addRow("folder walk") << true << false;
    QTest::addRow("fuzzy") << false << true;
}

// A file the pattern engine gives up on is an error, never one without
// further matches: shown, named in the report and left as it is, while the
// run goes on with the next file.
void TestReplaceRun::fileThePatternGivesUpOnIsAnError_data()
{
    QTest::addColumn<bool>("walk");
    QTest::addColumn<bool>("preview");
    QTest::newRow("selected files") << false << false;
    QTest::newRow("walk") << true << false;
    QTest::newRow("preview") << true << true;
}

void TestReplaceRun::fileThePatternGivesUpOnIsAnError()
{
    QFETCH(bool, walk);
    QFETCH(bool, preview);
    const QByteArray hard = "z " + QByteArray(5000, 'a') + " z";
    TempTree t;
    t.write("top/sub/a.txt", hard);
    t.write("top/sub/b.txt", "z z");
    FakeRunHost h;
    lorem(h, t, walk ? QStringList() : QStringList{"sub/a.txt", "sub/b.txt"});
    h.request.regex = true;
    h.request.caseSensitive = true;
    h.request.find = "(a+)+c|z";
    h.request.replace = "y";
    PreviewResult previewed = PreviewResult::forRequest(RunRequest::termsOf(h.request));
    if (preview)
        PreviewRun::preview(h.ctx, previewed);
    else
        runReplace(h.ctx);
    QCOMPARE(t.read("top/sub/a.txt"), hard);
    QCOMPARE(t.read("top/sub/b.txt"), QByteArray(preview ? "z z" : "y y"));
    QCOMPARE(preview ? previewed.fileCount() : h.viewer.list.size(), 1);
    QVERIFY2(h.dialogs.titles().contains(" Error"), qPrintable(h.dialogs.titles().join('|')));
    QCOMPARE(h.ctx.state.passedOverFiles.size(), 1);
    QCOMPARE(h.ctx.state.passedOverFiles[0].path, t.path("top/sub/a.txt"));
}

// A stop during the long search of one file is taken there: the run looks up
// while it searches, and the file stays as it is.
void TestReplaceRun::stopIsTakenInsideOneLongSearch()
{
    // Each line start costs the pattern well under its limit; the file, minutes.
    const QByteArray text = (QByteArray(18, 'a') + "b\n").repeated(20000);
    TempTree t;
    t.write("top/a.txt", text);
    FakeRunHost h;
    lorem(h, t, {"a.txt"});
    h.request.regex = true;
    h.request.find = "(a+)+$";
    h.request.replace = "y";
    int yieldsWhileLoaded = 0;
    QString shownAtStop = "none";
    h.main.onYield = [&] {
        // The first yield is the search's own, before it starts.
        if (h.viewer.document.text().size() == text.size() && ++yieldsWhileLoaded == 2) {
            h.ctx.requestStop();
            shownAtStop = h.viewer.posLabel;
        }
    };
    runReplace(h.ctx);
    QVERIFY(h.ctx.state.stopRequested);
    // No position shown yet: the search itself let the events in.
    QVERIFY2(!shownAtStop.endsWith(" of " + QString::number(text.size())), qPrintable(shownAtStop));
    QCOMPARE(t.read("top/a.txt"), text);
    QCOMPARE(h.ctx.state.totalReplacements, 0);
}

void TestReplaceRun::resultPastTheLoadLimitLeavesTheFile()
{
    QFETCH(bool, walk);
    QFETCH(bool, fuzzy);
    const QByteArray big = QByteArray("[cat] ").repeated(10);
    TempTree t;
    t.write("top/sub/a.txt", big);
    t.write("top/sub/b.txt", "[cat]");
    FakeRunHost h;
    lorem(h, t, walk ? QStringList() : QStringList{"sub/a.txt", "sub/b.txt"});
    h.request.find = fuzzy ? "" : "cat";
    h.request.fuzzy = fuzzy;
    h.request.first = "[";
    h.request.second = "]";
    h.request.replace = h.request.fuzzyReplacement = QString(20, QLatin1Char('x'));
    LoadLimit::setMaxFileSizeForTesting(100);
    runReplace(h.ctx);
    LoadLimit::setMaxFileSizeForTesting(0);
    QCOMPARE(t.read("top/sub/a.txt"), big);
    QVERIFY(t.read("top/sub/b.txt").contains("xxxxxxxxxx"));  // the run goes on
    QCOMPARE(h.ctx.state.reportBody, reportEntry(1, t.path("top/sub/b.txt"), 1));
    QCOMPARE(h.ctx.state.totalReplacements, 1);
    QVERIFY(h.dialogs.shown.at(1).text.contains("The file was left unchanged."));
}

void TestReplaceRun::bytesOutsideOccurrencesUnchanged_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("utf-16 le crlf") << QByteArray(
                                           "\xFF\xFE"
                                           "c\0a\0t\0\r\0\n\0x\0",
                                           14)
                                    << QByteArray(
                                           "\xFF\xFE"
                                           "d\0o\0g\0\r\0\n\0x\0",
                                           14);
    QTest::addRow("utf-16 be") << QByteArray("\xFE\xFF\0c\0a\0t", 8)
                               << QByteArray("\xFE\xFF\0d\0o\0g", 8);
    QTest::addRow("utf-8 bom") << QByteArray(
                                      "\xEF\xBB\xBF"
                                      "caf\xC3\xA9 cat\r\n")
                               << QByteArray(
                                      "\xEF\xBB\xBF"
                                      "caf\xC3\xA9 dog\r\n");
    QTest::addRow("windows-1252") << QByteArray("\xE9t\xE9 cat\x81\x9D\r")
                                  << QByteArray("\xE9t\xE9 dog\x81\x9D\r");
    QTest::addRow("invalid utf-8") << QByteArray("\xC3(cat\xFF") << QByteArray("\xC3(dog\xFF");
    QTest::addRow("binary: passed over")
        << QByteArray("\0\xC3(cat\xFF\0", 8) << QByteArray("\0\xC3(cat\xFF\0", 8);
    QTest::addRow("no final newline, mixed ends")
        << QByteArray("cat\r\nx\ry\ncat") << QByteArray("dog\r\nx\ry\ndog");
    // One stray byte leaves the file UTF-8: the \xA9 of each \xC3\xA9 is no match.
    QTest::addRow("utf-8 with a stray byte")
        << QByteArray("caf\xC3\xA9 \xC2\xA9 cat r\xC3\xA9sum\xC3\xA9\x92")
        << QByteArray("caf\xC3\xA9 (c) dog r\xC3\xA9sum\xC3\xA9\x92");
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

    runReplace(h.ctx);
    h.request.find = QStringLiteral("\u00A9");
    h.request.replace = QStringLiteral("(c)");
    runReplace(h.ctx);

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

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("\xE9 cat"));
    QCOMPARE(t.read(QStringLiteral("top/b.txt")), QByteArray("\xE7\x8C\xAB"));
    QVERIFY(h.dialogs.titles().contains(QStringLiteral(" Error")));
    QCOMPARE(h.viewer.list, QStringList({t.path(QStringLiteral("top/b.txt"))}));
    QCOMPARE(h.ctx.state.totalReplacements, 1);  // b's replacement only
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

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("cat"));
    QVERIFY(h.viewer.list.isEmpty());
    QCOMPARE(h.dialogs.titles(),
             QStringList({QStringLiteral(" Make replacement"), QStringLiteral(" Error"),
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
    QVERIFY(
        QFile::link(t.path(QStringLiteral("target.txt")), t.path(QStringLiteral("top/link.txt"))));
    t.write(QStringLiteral("top/ro.txt"), "cat");
    ::chmod(QFile::encodeName(t.path(QStringLiteral("top/ro.txt"))).constData(), 0444);
    FakeRunHost h;
    aim(h, t, {QStringLiteral("link.txt"), QStringLiteral("ro.txt")});
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");

    runReplace(h.ctx);

    QVERIFY(QFileInfo(t.path(QStringLiteral("top/link.txt"))).isSymLink());
    QCOMPARE(t.read(QStringLiteral("target.txt")), QByteArray("dog"));
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

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("projects/proj/a.txt")), QByteArray("lorem"));  // not selected
    QCOMPARE(t.read(QStringLiteral("projects/proj/sub/deeper/b.txt")), QByteArray("x ipsum ipsum"));
    QCOMPARE(t.read("bk/Backup" + t.path("projects/proj/sub/deeper/b.txt")),
             QByteArray("x lorem lorem"));
    QCOMPARE(t.read(QStringLiteral("projects/proj/sub/c.htm.bak")), QByteArray("lorem"));
    // A folder is made for every folder walked; only matching files are copied.
    QVERIFY(QFileInfo(t.path("bk/Backup" + t.path("projects/proj/sub"))).isDir());
    QVERIFY(!QFileInfo::exists(t.path("bk/Backup" + t.path("projects/proj/sub/d.txt"))));
    QVERIFY(h.events.events.contains(QStringLiteral("backupFolderMade: ") +
                                     t.path("projects/proj/sub").mid(1)));
    QCOMPARE(h.ctx.state.modifiedFileCount, 1);
    QCOMPARE(h.ctx.state.reportBody,
             reportEntry(1, t.path(QStringLiteral("projects/proj/sub/deeper/b.txt")), 2));
    QCOMPARE(h.ctx.state.totalReplacements, 2);
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

    runReplace(h.ctx);
    h.request.find = QStringLiteral("ipsum");
    h.request.replace = QStringLiteral("dolor");
    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/a.txt")), QByteArray("dolor"));
    QCOMPARE(t.read("top/Backup" + t.path("top/a.txt")), QByteArray("ipsum"));
    QVERIFY(!QFileInfo::exists(t.path("top/Backup" + t.path("top/Backup"))));
    QVERIFY(!QFileInfo::exists(t.path("top/Backup/top")));
}

void TestReplaceRun::walkWithoutBackupsEntersAFolderNamedBackup()
{
    TempTree t;
    t.write("top/Backup/notes.txt", "lorem");
    FakeRunHost h;
    lorem(h, t);
    h.backup.root = t.path("top");
    runReplace(h.ctx);
    QCOMPARE(t.read("top/Backup/notes.txt"), QByteArray("ipsum"));
}

void TestReplaceRun::reportEntriesAddUpToTheTotal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("walk");
    QTest::addColumn<int>("shown");  // the file's "Replacements made", -1 for no entry
    // Replacing "lorem" by "Lorem", letter case ignored.
    for (const bool walk : {true, false}) {
        const char *how = walk ? "walk" : "selected";
        QTest::addRow("%s: text left identical", how) << QByteArray("Lorem") << walk << -1;
        QTest::addRow("%s: first replacement identical", how)
            << QByteArray("Lorem lorem") << walk << 1;
        QTest::addRow("%s: every replacement changes", how)
            << QByteArray("lorem lorem") << walk << 2;
    }
}

void TestReplaceRun::reportEntriesAddUpToTheTotal()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, walk);
    QFETCH(int, shown);
    TempTree t;
    const QString path = t.write(walk ? "top/sub/a.txt" : "top/a.txt", text);
    const QDateTime before = QFileInfo(path).lastModified().addSecs(-100);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append) &&
            file.setFileTime(before, QFileDevice::FileModificationTime));
    file.close();
    FakeRunHost h;
    lorem(h, t, walk ? QStringList() : QStringList{"a.txt"});
    h.request.replace = "Lorem";
    runReplace(h.ctx);
    QCOMPARE(h.ctx.state.reportBody, shown < 0 ? QString() : reportEntry(1, path, shown));
    QCOMPARE(h.ctx.state.totalReplacements, qMax(shown, 0));
    QCOMPARE(h.viewer.list.size(), shown < 0 ? 0 : 1);
    if (shown < 0)  // a file left identical is not written at all
        QCOMPARE(QFileInfo(path).lastModified(), before);
}

void TestReplaceRun::stopWithoutSubfoldersStartsTheNextReportAfresh()
{
    TempTree t;
    for (const char *name : {"top/a.txt", "top/b.txt", "top/c.txt"}) t.write(name, "lorem");
    FakeRunHost h;
    lorem(h, t, {"a.txt", "b.txt", "c.txt"});
    h.main.onYield = [&] { h.ctx.state.stopRequested |= h.ctx.state.modifiedFileCount == 1; };
    runReplace(h.ctx);
    QCOMPARE(t.read("top/a.txt"), QByteArray("ipsum"));
    QCOMPARE(t.read("top/b.txt"), QByteArray("lorem"));
    QCOMPARE(h.main.reports, 1);  // what it did until the stop
    QCOMPARE(h.ctx.state.totalReplacements, 1);

    // The next run's report holds that run only.
    h.main.onYield = nullptr;
    h.ctx.state.stopRequested = false;
    h.request.setFiles({"b.txt"}, true);
    runReplace(h.ctx);
    QCOMPARE(h.main.reports, 2);
    QCOMPARE(h.ctx.state.totalReplacements, 1);
    QCOMPARE(h.ctx.state.reportBody, reportEntry(1, t.path("top/b.txt"), 1));
}

void TestReplaceRun::backupChoiceIsCommittedBeforeEachCopy()
{
    TempTree t;
    t.write("top/a.txt", "lorem");
    t.write("top/b.txt", "lorem");
    FakeRunHost h;
    lorem(h, t, {"a.txt", "b.txt"});
    h.request.backup = true;
    h.backup.root = t.mkdir("first");
    // The dialog's choice as it stands when each copy is made counts.
    h.main.onYield = [&] {
        if (h.backup.commits == 1)
            h.backup.root = t.mkdir("second");
    };
    runReplace(h.ctx);
    QCOMPARE(h.backup.commits, 2);
    QCOMPARE(t.read("first/Backup" + t.path("top/a.txt")), QByteArray("lorem"));
    QCOMPARE(t.read("second/Backup" + t.path("top/b.txt")), QByteArray("lorem"));
}

void TestReplaceRun::failedValidationRestoresTheWindow()
{
    TempTree t;
    t.write("top/a.txt", "lorem");
    FakeRunHost h;
    lorem(h, t, {"a.txt"});
    h.request.replace = "lorem";  // the same text: refused
    h.main.minimized = true;
    runReplace(h.ctx);
    QCOMPARE(h.dialogs.titles(), QStringList({" Error"}));
    QVERIFY(!h.main.minimized);
    QCOMPARE(h.events.last(), QStringLiteral("requestRefused"));
    QCOMPARE(h.main.historySaves, 0);
    QCOMPARE(t.read("top/a.txt"), QByteArray("lorem"));
}

void TestReplaceRun::backupRootThatIsNoFullPathIsRefused_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<bool>("subfolders");
    QTest::addRow("empty") << QString() << false << false;
    QTest::addRow("blank") << " " << false << true;
    QTest::addRow("relative") << "bk" << false << false;
    QTest::addRow("relative, fuzzy") << "bk" << true << false;
    QTest::addRow("relative, walking the tree") << "bk" << false << true;
    QTest::addRow("the current folder") << "." << false << false;
}

void TestReplaceRun::backupRootThatIsNoFullPathIsRefused()
{
    QFETCH(QString, root);
    QFETCH(bool, fuzzy);
    QFETCH(bool, subfolders);
    TempTree t;
    t.write("top/sub/a.txt", "lorem");
    t.write("top/a.txt", "lorem");
    t.mkdir("bk");
    // Run from the temporary folder, where a relative root would be taken.
    const QString before = QDir::currentPath();
    QDir::setCurrent(t.path());
    const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
    FakeRunHost h;
    lorem(h, t, subfolders ? QStringList() : QStringList{"a.txt"});
    h.request.fuzzy = fuzzy;
    h.request.first = "l";
    h.request.second = "m";
    h.request.fuzzyReplacement = "ipsum";
    h.request.backup = true;
    h.backup.root = root;
    runReplace(h.ctx);
    QCOMPARE(h.dialogs.titles(), QStringList({" Error"}));
    QVERIFY2(h.dialogs.shown.first().text.contains("backup folder"),
             qPrintable(h.dialogs.shown.first().text));
    QCOMPARE(t.read("top/a.txt"), QByteArray("lorem"));
    QCOMPARE(t.read("top/sub/a.txt"), QByteArray("lorem"));
    QVERIFY(!QFileInfo::exists(t.path("Backup")));
    QVERIFY(!QFileInfo::exists(t.path("bk/Backup")));
}

void TestReplaceRun::multiLineReplacementWritesTheFilesLineEnds_data()
{
    // The large search dialog hands over LF; the file decides what is written.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char *name, const QByteArray &before, const QByteArray &after,
                        const char *find = "new line\nsecond") {
        QTest::addRow("%s", name) << before << QString::fromLatin1(find) << after;
    };
    const auto utf16 = [](const char *latin1) {
        const QString text = QString::fromLatin1(latin1);
        return "\xFF\xFE" +
               QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    };
    row("LF", "new line\nsecond\n", "one\ntwo\n");
    row("CR LF", "new line\r\nsecond\r\n", "one\r\ntwo\r\n");
    row("CR", "new line\rsecond\r", "one\rtwo\r");
    row("mixed: the matched end", "new line\rsecond\r\nx\r\n", "one\rtwo\r\nx\r\n");
    row("match without a break: the most common end", "a\nb\r\nc\r\nsecond",
        "a\nb\r\nc\r\none\r\ntwo", "second");
    row("UTF-16 CR LF", utf16("new line\r\nsecond"), utf16("one\r\ntwo"));
    row("UTF-16 CR", utf16("x\rnew line\rsecond"), utf16("x\rone\rtwo"));
}

void TestReplaceRun::multiLineReplacementWritesTheFilesLineEnds()
{
    QFETCH(QByteArray, before);
    TempTree t;
    t.write("top/f.txt", before);
    FakeRunHost h;
    lorem(h, t, {"f.txt"});
    QFETCH(QString, find);
    h.request.find = find;
    h.request.replace = "one\ntwo";
    runReplace(h.ctx);
    QTEST(t.read("top/f.txt"), "after");
    QCOMPARE(h.ctx.state.totalReplacements, 1);
}

void TestReplaceRun::stopMidWalkKeepsSavedFiles()
{
    TempTree t;
    for (int i = 0; i < 10; ++i) t.write(QStringLiteral("top/sub/f%1.txt").arg(i), "lorem");
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.find = QStringLiteral("lorem");
    h.request.replace = QStringLiteral("ipsum");
    // Files count as modified once on disk; the viewer's list shows the progress of the walk.
    h.main.onYield = [&] {
        if (h.viewer.list.size() == 3)
            h.ctx.state.stopRequested = true;
    };

    runReplace(h.ctx);

    int changed = 0;
    for (int i = 0; i < 10; ++i)
        changed += t.read(QStringLiteral("top/sub/f%1.txt").arg(i)) == "ipsum";
    QCOMPARE(changed, 3);
    QCOMPARE(h.ctx.state.reportBody.count(QStringLiteral("Replacements made")), 3);
    QCOMPARE(h.main.reports, 1);
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
    h.main.onWriteReport = [&] {
        totalAtReport = h.ctx.state.totalReplacements;
        listAtReport = h.viewer.list;
    };

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/sub/b.txt")), QByteArray("\xE9 cat"));
    // b.txt is passed over and the walk goes on: only a.txt's change is reported.
    QVERIFY(h.dialogs.titles().contains(QStringLiteral(" Entries passed over")));
    QCOMPARE(listAtReport, QStringList({t.path(QStringLiteral("top/sub/a.txt"))}));
    QCOMPARE(totalAtReport, 2);
}

void TestReplaceRun::fileTakenByTwoPatternsIsChangedOnce()
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

    runReplace(h.ctx);

    QCOMPARE(t.read(QStringLiteral("top/sub/a.html")), QByteArray("cats"));
    QCOMPARE(t.read("bk/Backup" + t.path("top/sub/a.html")), QByteArray("cat"));
    QCOMPARE(h.ctx.state.modifiedFileCount, 1);

    // The next run changes and copies afresh.
    runReplace(h.ctx);
    QCOMPARE(t.read(QStringLiteral("top/sub/a.html")), QByteArray("catss"));
    QCOMPARE(t.read("bk/Backup" + t.path("top/sub/a.html")), QByteArray("cats"));
}

void TestReplaceRun::saveFailingAtItsFlushPassesOverThatFileOnly()
{
    // The walk's saves reach the disk in batches: one that fails there takes
    // itself off the list and out of the total; the others still go in place.
    TempTree t;
    t.write("top/sub/a.txt", "lorem");
    t.write("top/sub/b.txt", "lorem lorem");
    FakeRunHost h;
    lorem(h, t);
    QString first;
    h.main.onYield = [&] {
        // The first file saved is replaced by a folder before its save is put in place.
        if (h.viewer.list.size() == 1 && first.isEmpty()) {
            first = h.viewer.list.first();
            QVERIFY(QFile::remove(first) && QDir().mkdir(first));
        }
    };
    runReplace(h.ctx);
    QVERIFY(QFileInfo(first).isDir());
    const QString other = t.path(first.endsWith("a.txt") ? "top/sub/b.txt" : "top/sub/a.txt");
    QVERIFY(!t.read(other.mid(t.path().size() + 1)).startsWith("lorem"));
    QCOMPARE(h.viewer.list, QStringList{other});
    QCOMPARE(h.ctx.state.totalReplacements, first.endsWith("a.txt") ? 2 : 1);
    QCOMPARE(h.ctx.state.reportBody.count("Replacements made"), 1);
    QCOMPARE(h.dialogs.titles(), QStringList({" Make replacement", " Entries passed over"}));
}

QTEST_GUILESS_MAIN(TestReplaceRun)
#include "tst_replacerun.moc"
