// The regular-expression search against the obvious oracles on random trees:
// the files "grep -rlP" lists, and the bytes perl's s///g writes.

#include "support/TempTree.h"

#include <QtTest>

namespace {
const QList<QByteArray> kWords =
    QByteArray(
        "needle neeedle42 nedle NEEDLE caf\xc3\xa9 \xc3\xbc"
        "ber \xc3\x9c"
        "BER <h1> <h4> </h2> abcdefghijkl abcdefghijklm Running sing 2026 x y z xyz a-c a\xc3\xa9"
        "c key=value foo barbaz $ . \t")
        .split(' ');

// A dozen UTF-8 files with LF line ends, the same for one seed.
QStringList writeRandomTree(const TempTree &tree, quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList files;
    for (int f = 0; f < 12; ++f) {
        QByteArray text;
        for (int w = int(random.bounded(40)); w > 0; --w)
            text += kWords[random.bounded(int(kWords.size()))] + (random.bounded(5) ? " " : "\n");
        files << QStringLiteral("tree/%1/f%2.txt").arg(f % 3).arg(f);
        tree.write(files.last(), text);
    }
    return files;
}

// Standard output, or the exit status and error text when it is above okUpTo.
QByteArray run(const QString &program, const QStringList &arguments, int okUpTo = 0)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));  // grep -P reads UTF-8
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.exitCode() <= okUpTo ? process.readAllStandardOutput()
                                        : "exit " + QByteArray::number(process.exitCode()) + ": " +
                                              process.readAllStandardError();
}

QStringList sortedPaths(const QByteArray &out)
{
    QStringList paths = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    paths.removeIf([](const QString &line) { return line.startsWith(QLatin1String("files:")); });
    paths.sort();
    return paths;
}
}  // namespace

class TestRegexOracle : public QObject {
    Q_OBJECT

private slots:
    void findListsWhatGrepLists_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        for (const char *pattern :
             {"ne+dle[0-9]*", "\\b[a-z]{12}\\b", "^<h[1-3]>", "(foo|barbaz)$", "a.c", "x?y?z",
              "(?i)running", "\\d{3,}", "(?x)abcd#note", "(?x) ne+ dle  # a note", "\\Qkey="})
            QTest::addRow("%s", pattern) << pattern << true << false;
        QTest::addRow("any case") << "ne+dle" << false << false;
        QTest::addRow("any case beyond ASCII") << "\xc3\xbc"
                                                  "ber"
                                               << false << false;
        // Whole words: every match the pattern allows at a start is tried.
        for (const char *pattern :
             {"ne+dle|ne+dle42", "abcdefghijkl|abcdefghijklm", "x|xyz", "bar|barbaz", "fo+?"})
            QTest::addRow("whole word %s", pattern) << pattern << true << true;
    }
    void findListsWhatGrepLists()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        if (QStandardPaths::findExecutable(QStringLiteral("grep")).isEmpty())
            QSKIP("grep is not installed");
        for (quint32 seed = 1; seed <= 3; ++seed) {
            TempTree tree;
            writeRandomTree(tree, seed);
            const QString folder = tree.path("tree");
            QStringList grep = {"-rlP", pattern, folder};
            QStringList ours = {"find", "--regex", "--find", pattern, "--all", folder};
            if (matchCase)
                ours << "--case";
            else
                grep.prepend("-i");
            if (wholeWord) {
                ours << "--whole";
                grep.prepend("-w");
            }
            QCOMPARE(sortedPaths(run(SCRIVLANE_CLI, ours)), sortedPaths(run("grep", grep, 1)));
        }
    }

    void replaceWritesWhatPerlWrites_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("perlReplace");
        auto row = [](const char *pattern, const char *replace, const char *perlReplace) {
            QTest::addRow("%s -> %s", pattern, replace) << pattern << replace << perlReplace;
        };
        row("(ne+)(dle)", "$2$1", "$2$1");
        row("(?<k>\\w+)=(?<v>\\w+)", "${v}:${k}", "$+{v}:$+{k}");
        row("\\d+", "$$$0", "\\$$&");
        row("<h([1-3])>", "\\n== $1 ==\\n", "\\n== $1 ==\\n");
        row("\\s*\\n", "|", "|");
        row("x*", "-", "-");
        row("^|$", "#", "#");
        row("^.*z.*$", "[$0]", "[$&]");
        row("\\b.\\b", "<$0>", "<$&>");
        row("((*ACCEPT))", "-", "-");
        row("ne(*ACCEPT)x", "[$0]", "[$&]");
        row("(?x) ne+ # the start\n dle [0-9]* # a note", "<$0>", "<$&>");
        row("\\Qa.c", "<$0>", "<$&>");
    }
    void replaceWritesWhatPerlWrites()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, replace);
        QFETCH(QString, perlReplace);
        if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty())
            QSKIP("perl is not installed");
        for (quint32 seed = 1; seed <= 3; ++seed) {
            TempTree ours, theirs;
            const QStringList files = writeRandomTree(ours, seed);
            writeRandomTree(theirs, seed);
            // The whole file at once with /m: ^ and $ at every line, as here.
            QStringList perl = {"-CSD", "-Mre=/a", "-0777",
                                "-pi",  "-e",      "s~" + pattern + "~" + perlReplace + "~gm"};
            for (const QString &file : files) perl << theirs.path(file);
            QCOMPARE(run("perl", perl), QByteArray());
            const QByteArray out =
                run(SCRIVLANE_CLI, {"replace", "--regex", "--case", "--find", pattern, "--replace",
                                    replace, "--all", ours.path("tree")});
            QVERIFY2(!out.startsWith("exit "), out.constData());
            for (const QString &file : files) QCOMPARE(ours.read(file), theirs.read(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestRegexOracle)
#include "tst_regexoracle.moc"
