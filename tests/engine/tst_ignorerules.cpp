#include "support/TempTree.h"

#include "engine/FileNameFilter.h"
#include "engine/IgnoreRules.h"
#include "platform/FolderHandle.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

// The filter's exclusions, and version control's ignore rules held against
// version control itself.
class TestIgnoreRules : public QObject {
    Q_OBJECT

private:
    TempTree m_home;
    bool m_hasGit = false;
    QStringList m_listingDisagreements;

    // Every entry below top ("a/b/name", folders with a trailing "/") with
    // whether the rules ignore it, reached as a walk reaches it.
    static void walk(IgnoreRules &rules, FileSystem::FolderHandle &folder, const QString &prefix,
                     QMap<QString, bool> &out)
    {
        for (const FileSystem::Entry &e : folder.list()) {
            if (e.name == u".git")
                continue;
            const bool isFolder = e.kind == FileSystem::EntryKind::Folder;
            const QString path = prefix + e.name + (isFolder ? QStringLiteral("/") : QString());
            out.insert(path, rules.isIgnored(folder, e.name, isFolder));
            if (isFolder)
                walk(rules, *folder.openChild(e.name), path, out);
        }
    }

    // What version control says of the same entries.
    QMap<QString, bool> gitAnswers(const QString &top, const QStringList &paths)
    {
        QProcess git;
        git.setWorkingDirectory(top);
        git.start(QStringLiteral("git"), {QStringLiteral("check-ignore"),
                                          QStringLiteral("--no-index"), QStringLiteral("--stdin")});
        // Folders without their slash: git's own walk asks about "name", not "name/".
        QStringList asked;
        for (const QString &path : paths) asked << (path.endsWith(u'/') ? path.chopped(1) : path);
        git.write(asked.join(QLatin1Char('\n')).toUtf8() + '\n');
        git.closeWriteChannel();
        git.waitForFinished(-1);
        const QStringList ignored = QString::fromUtf8(git.readAllStandardOutput()).split(u'\n');
        QMap<QString, bool> answers;
        for (const QString &path : paths)
            answers.insert(path, ignored.contains(path.endsWith(u'/') ? path.chopped(1) : path));
        return answers;
    }

    // The row's "ignored" against what we answer for top, and git's answers
    // where git is installed.
    void compareIgnored(const QString &top)
    {
        const QMap<QString, bool> ours = ourAnswers(top);
        QStringList ignored;
        for (auto it = ours.cbegin(); it != ours.cend(); ++it) {
            if (it.value() && !it.key().endsWith(QLatin1String(".gitignore")))
                ignored << it.key();
        }
        QTEST(ignored, "ignored");
        if (m_hasGit)
            QCOMPARE(ours, gitAnswers(top, ours.keys()));
        QCOMPARE(m_listingDisagreements, QStringList());
    }
    QMap<QString, bool> ourAnswers(const QString &top)
    {
        IgnoreRules rules;
        QMap<QString, bool> answers;
        walk(rules, *FileSystem::FolderHandle::open(top), QString(), answers);
        // A listing by path (the file list) starts from the top's rules and must agree.
        for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
            const bool isFolder = it.key().endsWith(u'/');
            const QString path = isFolder ? it.key().chopped(1) : it.key();
            const qsizetype slash = path.lastIndexOf(u'/');
            const QString folder = top + u'/' + (slash < 0 ? QString() : path.left(slash));
            IgnoreRules listing;
            if (listing.isIgnored(folder, path.mid(slash + 1), isFolder) != it.value())
                m_listingDisagreements << it.key();
        }
        return answers;
    }

    void makeRepository(const TempTree &t)
    {
        if (m_hasGit)
            QProcess::execute(QStringLiteral("git"), {QStringLiteral("init"), QStringLiteral("-q"),
                                                      t.path(QStringLiteral("top"))});
        else
            t.write(QStringLiteral("top/.git/HEAD"), "ref: refs/heads/main\n");
    }

private slots:
    void initTestCase()
    {
        // Version control and the rules read the same, private configuration.
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path(QStringLiteral("config"))));
        qputenv("GIT_CONFIG_NOSYSTEM", "1");
        m_hasGit = !QStandardPaths::findExecutable(QStringLiteral("git")).isEmpty();
    }

    void filterTakesAndLeavesOut_data();
    void filterTakesAndLeavesOut();
    void matchesVersionControl_data();
    void matchesVersionControl();
    void ignoresCaseAsVersionControlDoes_data();
    void ignoresCaseAsVersionControlDoes();
    void randomTreesMatchVersionControl();
};

void TestIgnoreRules::filterTakesAndLeavesOut_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("files");    // taken of a.htm a.css a.min.css b.txt
    QTest::addColumn<QStringList>("folders");  // left out of node_modules build src
    const QString all = QStringLiteral("*.htm;*.css;!*.min.css;!node_modules/;!build/");
    QTest::addRow("the example") << all << true << QStringList{"a.htm", "a.css"}
                                 << QStringList{"node_modules", "build"};
    QTest::addRow("exclusions alone take the rest")
        << "!*.css" << true << QStringList{"a.htm", "b.txt"} << QStringList{};
    QTest::addRow("a folder exclusion leaves files alone")
        << "*.*;!b.txt/" << true << QStringList{"a.htm", "a.css", "a.min.css", "b.txt"}
        << QStringList{};
    QTest::addRow("folder wildcards")
        << "!b*/;!?rc/" << true << QStringList{"a.htm", "a.css", "a.min.css", "b.txt"}
        << QStringList{"build", "src"};
    QTest::addRow("empty exclusion") << "*.htm;!" << false << QStringList{} << QStringList{};
    QTest::addRow("empty folder") << "!/" << false << QStringList{} << QStringList{};
    QTest::addRow("a path") << "!src/a.css" << false << QStringList{} << QStringList{};
    QTest::addRow("include of a folder") << "src/" << false << QStringList{} << QStringList{};
    QTest::addRow("backslash") << "!a\\b" << false << QStringList{} << QStringList{};
}

void TestIgnoreRules::filterTakesAndLeavesOut()
{
    QFETCH(QString, filter);
    QFETCH(bool, valid);
    QCOMPARE(FileNameFilter::isValid(filter), valid);
    if (!valid)
        return;
    const FileNameFilter rule(filter);
    QStringList taken, leftOut;
    for (const char *name : {"a.htm", "a.css", "a.min.css", "b.txt"}) {
        if (rule.takesFile(QString::fromLatin1(name)))
            taken << QString::fromLatin1(name);
    }
    for (const char *name : {"node_modules", "build", "src"}) {
        if (rule.excludesFolder(QString::fromLatin1(name)))
            leftOut << QString::fromLatin1(name);
    }
    QTEST(taken, "files");
    QTEST(leftOut, "folders");
}

void TestIgnoreRules::matchesVersionControl_data()
{
    QTest::addColumn<QByteArray>("rules");  // top .gitignore; "sub/.gitignore" after "--\n"
    QTest::addColumn<QStringList>("ignored");
    // Over the tree: x.log sub/x.log sub/keep.log sub/deep/y.txt build/z.txt doc/build
    auto row = [](const char *name, const char *rules, const QStringList &ignored) {
        QTest::addRow("%s", name) << QByteArray(rules) << ignored;
    };
    row("basename anywhere", "*.log\n", {"sub/keep.log", "sub/x.log", "x.log"});
    row("negation", "*.log\n!keep.log\n", {"sub/x.log", "x.log"});
    row("anchored", "/x.log\n", {"x.log"});
    row("middle slash anchors", "sub/*.log\n", {"sub/keep.log", "sub/x.log"});
    row("folders only", "build/\n", {"build/", "build/z.txt"});
    row("no re-include below an ignored folder", "build/\n!build/z.txt\n",
        {"build/", "build/z.txt"});
    row("contents then re-include", "build/*\n!build/z.txt\n", {});
    row("double star", "**/deep/**\n", {"sub/deep/y.txt"});
    row("star star slash", "sub/**/y.txt\n", {"sub/deep/y.txt"});
    row("leading star star slash takes no folder", "**/sub/x.log\n", {"sub/x.log"});
    row("escapes and blanks", "\\#x\n*.log  \n\\!keep.log\n",
        {"sub/keep.log", "sub/x.log", "x.log"});
    row("escaped blank is kept", "x.log\\ \n", {});
    row("comment", "#x.log\n", {});
    row("text before a double star", "s**/y.txt\n", {"sub/deep/y.txt"});
    row("brackets", "[wx].l[!a]g\n", {"sub/x.log", "x.log"});
    row("deeper file wins", "*.log\n--\n!x.log\n", {"sub/keep.log", "x.log"});
}

void TestIgnoreRules::matchesVersionControl()
{
    TempTree t;
    for (const char *file :
         {"x.log", "sub/x.log", "sub/keep.log", "sub/deep/y.txt", "build/z.txt", "doc/build"})
        t.write(QStringLiteral("top/") + QLatin1String(file), "text");
    QFETCH(QByteArray, rules);
    const qsizetype split = rules.indexOf("--\n");
    t.write(QStringLiteral("top/.gitignore"), split < 0 ? rules : rules.left(split));
    if (split >= 0)
        t.write(QStringLiteral("top/sub/.gitignore"), rules.mid(split + 3));
    makeRepository(t);
    m_home.write(QStringLiteral("config/git/ignore"), "*.none\n");

    compareIgnored(t.path(QStringLiteral("top")));
}

void TestIgnoreRules::ignoresCaseAsVersionControlDoes_data()
{
    QTest::addColumn<QByteArray>("rules");
    QTest::addColumn<bool>("ignoreCase");  // core.ignorecase
    QTest::addColumn<QStringList>("ignored");
    // Over the tree: Foo.html foo.HTML sub/BUILD/z.txt doc/x.Log
    auto row = [](const char *name, const char *rules, bool ignoreCase,
                  const QStringList &ignored) {
        QTest::addRow("%s", name) << QByteArray(rules) << ignoreCase << ignored;
    };
    row("case kept when not asked", "*.html\n", false, {"Foo.html"});
    row("tail in any case", "*.html\n", true, {"Foo.html", "foo.HTML"});
    row("whole name in any case", "/FOO.html\n", true, {"Foo.html", "foo.HTML"});
    row("folders in any case", "build/\n", true, {"sub/BUILD/", "sub/BUILD/z.txt"});
    row("path in any case", "SUB/**/Z.TXT\n", true, {"sub/BUILD/z.txt"});
    row("negation in any case", "*.html\n!FOO.HTML\n", true, {});
    row("lower-case range", "[a-f]oo.html\n", true, {"Foo.html", "foo.HTML"});
    row("upper-case range", "[A-F]oo.*\n", true, {"Foo.html", "foo.HTML"});
    row("upper-case class", "[[:upper:]]oo.html\n", true, {"Foo.html", "foo.HTML"});
    row("case kept in a path", "*/x.l*\n", false, {});
    row("question mark and star in any case", "*/X.L?G\n", true, {"doc/x.Log"});
}

void TestIgnoreRules::ignoresCaseAsVersionControlDoes()
{
    QFETCH(QByteArray, rules);
    QFETCH(bool, ignoreCase);
    TempTree t;
    for (const char *file : {"Foo.html", "foo.HTML", "sub/BUILD/z.txt", "doc/x.Log"})
        t.write(QStringLiteral("top/") + QLatin1String(file), "text");
    t.write(QStringLiteral("top/.gitignore"), rules);
    makeRepository(t);
    const QByteArray config =
        QByteArray("[core]\n\tignorecase = ") + (ignoreCase ? "true" : "false") + "\n";
    if (m_hasGit) {
        QCOMPARE(QProcess::execute(QStringLiteral("git"),
                                   {QStringLiteral("-C"), t.path(QStringLiteral("top")),
                                    QStringLiteral("config"), QStringLiteral("core.ignorecase"),
                                    ignoreCase ? QStringLiteral("true") : QStringLiteral("false")}),
                 0);
    } else {
        t.write(QStringLiteral("top/.git/config"), config);
    }

    compareIgnored(t.path(QStringLiteral("top")));
}

void TestIgnoreRules::randomTreesMatchVersionControl()
{
    if (!m_hasGit)
        QSKIP("git is not installed");
    QRandomGenerator random(21);
    const QStringList names{"a",         "b",   "ab", "x.txt", "y.log",
                            "z.min.css", "c d", "#e", "A",     "X.TXT"};
    const QStringList pieces{"a",    "b",     "*",         "?",  "*.txt", "y.*",
                             "[ab]", "[!a]*", "**",        "a*", "a**",   "*b",
                             "\\#e", "c\\ d", "z.min.css", "A",  "*.TXT", "[A-B]"};
    auto pick = [&random](const QStringList &from) { return from.at(random.bounded(from.size())); };
    auto pattern = [&] {
        QString p = random.bounded(4) == 0 ? QStringLiteral("!") : QString();
        p += QStringList{"", "", "/", "**/"}.at(random.bounded(4));
        for (int n = 1 + random.bounded(3); n > 0; --n) p += pick(pieces) + u'/';
        if (random.bounded(3))
            p.chop(1);
        return p + (random.bounded(5) == 0 ? QStringLiteral("  ") : QString());
    };
    int compared = 0;
    for (int tree = 0; tree < 12; ++tree) {
        TempTree t;
        QStringList folders{QString()};
        for (int i = 0; i < 8; ++i) {
            const QString folder = pick(folders) + pick(names) + u'/';
            t.mkdir(QStringLiteral("top/") + folder);
            if (!folders.contains(folder))
                folders << folder;
        }
        for (const QString &folder : std::as_const(folders)) {
            for (const QString &name : names) {
                const QString file = QStringLiteral("top/") + folder + name;
                if (random.bounded(2) && !QFileInfo::exists(t.path(file)))
                    t.write(file, "text");
            }
            QByteArray rules;
            for (int n = random.bounded(4); n > 0; --n) rules += pattern().toUtf8() + '\n';
            t.write(QStringLiteral("top/") + folder + QStringLiteral(".gitignore"), rules);
        }
        makeRepository(t);
        // Half the trees as on a file system that ignores letter case.
        QProcess::execute(QStringLiteral("git"),
                          {QStringLiteral("-C"), t.path(QStringLiteral("top")),
                           QStringLiteral("config"), QStringLiteral("core.ignorecase"),
                           random.bounded(2) ? QStringLiteral("true") : QStringLiteral("false")});
        t.write(QStringLiteral("top/.git/info/exclude"), pattern().toUtf8() + '\n');
        m_home.write(QStringLiteral("config/git/ignore"), pattern().toUtf8() + '\n');
        const QMap<QString, bool> ours = ourAnswers(t.path(QStringLiteral("top")));
        const QMap<QString, bool> theirs = gitAnswers(t.path(QStringLiteral("top")), ours.keys());
        for (auto it = ours.cbegin(); it != ours.cend(); ++it) {
            if (it.value() != theirs.value(it.key())) {
                QDirIterator files(t.path(QStringLiteral("top")), {QStringLiteral(".gitignore")},
                                   QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
                while (files.hasNext()) {
                    const QString file = files.next();
                    qWarning().noquote()
                        << file << "\n"
                        << QFile::decodeName(t.read(file.mid(t.path().size() + 1)));
                }
                qWarning().noquote()
                    << "exclude:" << t.read(QStringLiteral("top/.git/info/exclude"))
                    << "global:" << m_home.read(QStringLiteral("config/git/ignore"));
                QFAIL(qPrintable(
                    QStringLiteral("tree %1: %2 ignored by us: %3")
                        .arg(QString::number(tree), it.key(),
                             it.value() ? QStringLiteral("yes") : QStringLiteral("no"))));
            }
        }
        compared += ours.size();
    }
    QVERIFY(compared > 300);
    QCOMPARE(m_listingDisagreements, QStringList());
}

QTEST_GUILESS_MAIN(TestIgnoreRules)
#include "tst_ignorerules.moc"
