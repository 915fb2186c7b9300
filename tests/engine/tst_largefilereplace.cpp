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
                        bool wholeWord, bool walk)
{
    TempTree t;
    for (auto it = files.begin(); it != files.end(); ++it) t.write("top/" + it.key(), it.value());
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles(files.keys(), true);
    h.request.subdirectories = walk;
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
    for (const ScriptedDialogs::Shown &shown : h.dialogs.shown) outcome << "dialog: " + shown.text;
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
    // A walk of the tree, or the selected files of the top folder.
    QTest::addColumn<bool>("walk");
    for (const bool walk : {true, false}) {
        const char *mode = walk ? "walk" : "selected files";
        QTest::addRow("%s: files with and without matches", mode)
            << Files{{"a.txt", "lorem ipsum LOREM"},
                     {"b.txt", "nothing here"},
                     {"c.txt", "xloremx lorem\r\nlorem"}}
            << "lorem"
            << "dolor" << false << walk;
        QTest::addRow("%s: a binary file is passed over", mode)
            << Files{{"a.bin", QByteArray("lo\0rem lorem", 12)}, {"b.txt", "lorem"}} << "lorem"
            << "dolor" << false << walk;
        QTest::addRow("%s: a file written back as it was is not saved", mode)
            << Files{{"a.txt", "lorem lorem"}, {"b.txt", "Lorem"}} << "lorem"
            << "Lorem" << false << walk;
        QTest::addRow("%s: whole words", mode)
            << Files{{"a.txt", "lorem loremx lorem_ (lorem)"}} << "lorem"
            << "ab" << true << walk;
        QTest::addRow("%s: UTF-16 with a BOM", mode)
            << Files{{"a.txt", QByteArray("\xFF\xFEl\0o\0r\0e\0m\0 \0l\0o\0r\0e\0m\0", 22)}}
            << "lorem"
            << "x" << false << walk;
        QTest::addRow("%s: a replacement the encoding cannot hold", mode)
            << Files{{"a.txt", "\xE4\xE4\xE4 lorem"}, {"b.txt", "lorem"}} << "lorem"
            << QString::fromUtf8("\xE2\x98\x83") << false << walk;
        QTest::addRow("%s: a text the pieces cannot tell", mode)
            << Files{{"a.txt", QByteArray(40, 'a')}} << "a"
            << "aa" << false << walk;
    }
}

void TestLargeFileReplace::walkEndsAsWithTheWholeText()
{
    QFETCH(Files, files);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, wholeWord);
    QFETCH(bool, walk);
    LargeFileReplace::setSizesForTesting(std::numeric_limits<qint64>::max(), 0);
    const QStringList whole = walkOutcome(files, find, replace, wholeWord, walk);
    // Every file taken a few bytes at a time.
    LargeFileReplace::setSizesForTesting(1, 3);
    QCOMPARE(walkOutcome(files, find, replace, wholeWord, walk), whole);
}

QTEST_GUILESS_MAIN(TestLargeFileReplace)
#include "tst_largefilereplace.moc"
