#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/LargeFileReplace.h"
#include "engine/ReplaceRun.h"

#include <QtTest>

#include <limits>

class TestLargeFileReplace : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LargeFileReplace::setSizesForTesting(0, 0); }
    void walkEndsAsWithTheWholeText_data();
    void walkEndsAsWithTheWholeText();
};

namespace {
using Files = QMap<QString, QByteArray>;

// Everything a Replace walk leaves behind that tells one file's replacement
// from another: the files and their backups, the counts, the report, the
// viewer's list and labels, what was passed over.
QStringList walkOutcome(const Files &files, const QString &find, const QString &replace,
                        bool wholeWord)
{
    TempTree t;
    for (auto it = files.begin(); it != files.end(); ++it) t.write("top/" + it.key(), it.value());
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles(files.keys(), true);
    h.request.subdirectories = true;
    h.request.backup = true;
    h.backup.root = t.mkdir(QStringLiteral("bk"));
    h.request.find = find;
    h.request.replace = replace;
    h.request.wholeWord = wholeWord;
    runReplace(h.ctx);

    const RunState &s = h.ctx.state;
    QStringList outcome;
    for (auto it = files.begin(); it != files.end(); ++it) {
        outcome << it.key() + ": " + t.read("top/" + it.key()).toHex(' ')
                << "backup: " + t.read("bk/Backup" + t.path("top/" + it.key())).toHex(' ');
    }
    for (const PassedOverFile &file : s.passedOverFiles) outcome << "passed over: " + file.path;
    outcome << "list: " + h.viewer.list.join(u',') << "report: " + s.reportBody
            << "total: " + QString::number(s.totalReplacements)
            << "modified: " + QString::number(s.modifiedFileCount)
            << "unreadable: " + QString::number(s.passedOverCount)
            << "position: " + h.viewer.posLabel + " new " + h.viewer.newPos + " found " +
                   QString::number(s.foundPosition)
            << "panel 1: " + h.main.panel1;
    return outcome.replaceInStrings(t.path(), QStringLiteral("<tree>"));
}
}  // namespace

void TestLargeFileReplace::walkEndsAsWithTheWholeText_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("wholeWord");
    QTest::addRow("files with and without matches")
        << Files{{"a.txt", "lorem ipsum LOREM"},
                 {"sub/b.txt", "nothing here"},
                 {"sub/c.txt", "xloremx lorem\r\nlorem"}}
        << "lorem"
        << "dolor" << false;
    QTest::addRow("a binary file is passed over")
        << Files{{"a.bin", QByteArray("lo\0rem lorem", 12)}, {"b.txt", "lorem"}} << "lorem"
        << "dolor" << false;
    QTest::addRow("a file written back as it was is not saved")
        << Files{{"a.txt", "lorem lorem"}, {"b.txt", "Lorem"}} << "lorem"
        << "Lorem" << false;
    QTest::addRow("whole words") << Files{{"a.txt", "lorem loremx lorem_ (lorem)"}} << "lorem"
                                 << "ab" << true;
    QTest::addRow("UTF-16 with a BOM")
        << Files{{"a.txt", QByteArray("\xFF\xFEl\0o\0r\0e\0m\0 \0l\0o\0r\0e\0m\0", 22)}} << "lorem"
        << "x" << false;
    QTest::addRow("a replacement the encoding cannot hold")
        << Files{{"a.txt", "\xE4\xE4\xE4 lorem"}, {"b.txt", "lorem"}} << "lorem"
        << QString::fromUtf8("\xE2\x98\x83") << false;
    QTest::addRow("a text the pieces cannot tell") << Files{{"a.txt", QByteArray(40, 'a')}} << "a"
                                                   << "aa" << false;
}

void TestLargeFileReplace::walkEndsAsWithTheWholeText()
{
    QFETCH(Files, files);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, wholeWord);
    LargeFileReplace::setSizesForTesting(std::numeric_limits<qint64>::max(), 0);
    const QStringList whole = walkOutcome(files, find, replace, wholeWord);
    // Every file taken a few bytes at a time.
    LargeFileReplace::setSizesForTesting(1, 3);
    QCOMPARE(walkOutcome(files, find, replace, wholeWord), whole);
}

QTEST_GUILESS_MAIN(TestLargeFileReplace)
#include "tst_largefilereplace.moc"
