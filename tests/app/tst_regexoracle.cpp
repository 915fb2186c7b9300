// The regular-expression search against the obvious oracles on random trees:
// the files "grep -rlP" lists, and the bytes "perl -pi -e s///g" writes.

#include "support/TempTree.h"

#include <QtTest>

namespace {

// Words that make the patterns below match now and then.
const char *const kWords[] = {"needle",
                              "neeedle42",
                              "nedle",
                              "nedl",
                              "NEEDLE",
                              "haystack",
                              "caf\xc3\xa9",
                              "\xc3\xbc"
                              "ber",
                              "\xc3\x9c"
                              "BER",
                              "<h1>",
                              "<h4>",
                              "</h2>",
                              "abcdefghijkl",
                              "abcdefghijklm",
                              "Running",
                              "sing",
                              "2026",
                              "12",
                              "x",
                              "y",
                              "z",
                              "xyz",
                              "a-c",
                              "a\xc3\xa9"
                              "c",
                              "key=value",
                              "foo",
                              "barbaz",
                              "\t",
                              "$",
                              "."};

// A tree of a dozen UTF-8 files with LF line ends, the same for every run of one seed.
QStringList writeRandomTree(const TempTree &tree, quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList files;
    for (int f = 0; f < 12; ++f) {
        const QString name = QStringLiteral("tree/%1/f%2.txt").arg(f % 3).arg(f);
        QByteArray text;
        const int words = int(random.bounded(40));
        for (int w = 0; w < words; ++w) {
            text += kWords[random.bounded(int(std::size(kWords)))];
            text += random.bounded(5) == 0 ? "\n" : " ";
        }
        if (random.bounded(2) == 0)
            text += '\n';
        tree.write(name, text);
        files << name;
    }
    return files;
}

struct Run {
    int status = -1;
    QByteArray out, err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run r;
    if (!process.waitForFinished(60000))
        return r;
    r.status = process.exitCode();
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    return r;
}

QStringList sortedPaths(const QByteArray &out)
{
    QStringList paths;
    for (const QByteArray &line : out.split('\n')) {
        if (line.startsWith('/'))
            paths << QDir::cleanPath(QString::fromUtf8(line));
    }
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
        const bool exact = true, anyCase = false;
        QTest::addRow("repeated letter with a literal") << "ne+dle[0-9]*" << exact;
        QTest::addRow("any case literal") << "ne+dle" << anyCase;
        QTest::addRow("twelve letters") << "\\b[a-z]{12}\\b" << exact;
        QTest::addRow("titles at line starts") << "^<h[1-3]>" << exact;
        QTest::addRow("line ends") << "(foo|barbaz)$" << exact;
        QTest::addRow("beyond ASCII, any case") << "\xc3\xbc"
                                                   "ber"
                                                << anyCase;
        QTest::addRow("a dot is one character") << "a.c" << exact;
        QTest::addRow("all optional") << "x?y?z" << exact;
        QTest::addRow("options inside") << "(?i)running" << exact;
        QTest::addRow("digits") << "\\d{3,}" << exact;
    }
    void findListsWhatGrepLists()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        const QString grep = QStandardPaths::findExecutable(QStringLiteral("grep"));
        if (grep.isEmpty())
            QSKIP("grep is not installed");
        for (quint32 seed = 1; seed <= 3; ++seed) {
            TempTree tree;
            writeRandomTree(tree, seed);
            QStringList grepArgs = {QStringLiteral("-rlP"), pattern, tree.path("tree")};
            if (!matchCase)
                grepArgs.prepend(QStringLiteral("-i"));
            const Run expected = run(grep, grepArgs);
            if (expected.status == 2)
                QSKIP(qPrintable("grep -P refuses the pattern: " + expected.err));
            QStringList cliArgs = {QStringLiteral("find"),   QStringLiteral("--regex"),
                                   QStringLiteral("--find"), pattern,
                                   QStringLiteral("--all"),  tree.path("tree")};
            if (matchCase)
                cliArgs << QStringLiteral("--case");
            const Run got = run(SCRIVLANE_CLI, cliArgs);
            QVERIFY2(got.status == 0, got.err.constData());
            QCOMPARE(sortedPaths(got.out), sortedPaths(expected.out));
        }
    }

    void replaceWritesWhatPerlWrites_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("perlReplace");
        QTest::addRow("groups") << "(ne+)(dle)"
                                << "$2$1"
                                << "$2$1";
        QTest::addRow("named groups") << "(?<k>\\w+)=(?<v>\\w+)"
                                      << "${v}:${k}"
                                      << "$+{v}:$+{k}";
        QTest::addRow("dollar") << "\\d+"
                                << "$$$0"
                                << "\\$$&";
        QTest::addRow("line break written") << "<h([1-3])>"
                                            << "\\n== $1 ==\\n"
                                            << "\\n== $1 ==\\n";
        QTest::addRow("line ends matched") << "\\s*\\n"
                                           << "|"
                                           << "|";
        QTest::addRow("empty matches") << "x*"
                                       << "-"
                                       << "-";
        QTest::addRow("line starts and ends") << "^|$"
                                              << "#"
                                              << "#";
        QTest::addRow("whole lines") << "^.*z.*$"
                                     << "[$0]"
                                     << "[$&]";
        QTest::addRow("beyond ASCII") << "\\b.\\b"
                                      << "<$0>"
                                      << "<$&>";
    }
    void replaceWritesWhatPerlWrites()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, replace);
        QFETCH(QString, perlReplace);
        const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
        if (perl.isEmpty())
            QSKIP("perl is not installed");
        for (quint32 seed = 1; seed <= 3; ++seed) {
            TempTree ours, theirs;
            const QStringList files = writeRandomTree(ours, seed);
            writeRandomTree(theirs, seed);
            QStringList perlArgs = {
                QStringLiteral("-CSD"),  QStringLiteral("-Mre=/a"),
                QStringLiteral("-0777"), QStringLiteral("-pi"),
                QStringLiteral("-e"),    "s~" + pattern + "~" + perlReplace + "~gm"};
            for (const QString &file : files) perlArgs << theirs.path(file);
            const Run expected = run(perl, perlArgs);
            QVERIFY2(expected.status == 0, expected.err.constData());
            const Run got =
                run(SCRIVLANE_CLI,
                    {QStringLiteral("replace"), QStringLiteral("--regex"), QStringLiteral("--case"),
                     QStringLiteral("--find"), pattern, QStringLiteral("--replace"), replace,
                     QStringLiteral("--all"), ours.path("tree")});
            QVERIFY2(got.status == 0, got.err.constData());
            for (const QString &file : files) QCOMPARE(ours.read(file), theirs.read(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestRegexOracle)
#include "tst_regexoracle.moc"
