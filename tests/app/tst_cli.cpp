// Runs scrivlane-cli as a script would: its exit status (0 done, 1 the run
// reported an error, 2 usage), the line that says so and what it did to a tree.

#include "support/TempTree.h"

#include <QtTest>

#include <sys/resource.h>

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void exitStatusOutputAndFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");  // starts a line of stdout or stderr (0), or stderr
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content");  // the file's text after; null: gone

        auto row = [&](const char *name, const QStringList &arguments, int status,
                       const QString &line, const QString &content = "a cat and a cat",
                       const QString &file = "sub/a.txt") {
            QTest::addRow("%s", name) << arguments << status << line << file << content;
        };
        row("no command", {}, 2, "scrivlane-cli: no command given");
        row("help", {"--help"}, 0, "Usage: scrivlane-cli COMMAND [OPTION]... FOLDER");
        row("command help", {"undo", "--help"}, 0, "Usage: scrivlane-cli undo --find TEXT");
        row("help topic", {"help", "remove"}, 0, "Usage: scrivlane-cli remove FOLDER");
        row("version", {"--version"}, 0, "scrivlane-cli 0.");
        row("unknown command", {"grep", "TREE"}, 2, "scrivlane-cli: unknown command \"grep\"");
        row("unknown option", {"find", "--word", "c.t", "TREE"}, 2,
            "scrivlane-cli: find takes no option \"--word\"");
        row("regular expression", {"find", "--regex", "--find", "^a c.t\\b", "--all", "TREE"}, 0,
            "files: 1", "a cat and a cat");
        row("invalid regular expression", {"find", "--regex", "--find", "c(t", "TREE"}, 1,
            "scrivlane-cli: error: The search text is not a valid regular expression");
        row("regex is not fuzzy", {"find", "--regex", "--fuzzy", "c", "t", "TREE"}, 2,
            "scrivlane-cli: --regex and --fuzzy do not go together");
        row("replace with groups",
            {"replace", "--regex", "--find", "a (c)at", "--replace", "$1", "--all", "TREE"}, 0,
            "replacements: 2", "c and c");
        row("undo is never fuzzy", {"undo", "--fuzzy", "c", "t", "--replace", "x", "TREE"}, 2,
            "scrivlane-cli: undo takes no option \"--fuzzy\"");
        row("missing value", {"find", "TREE", "--find"}, 2, "scrivlane-cli: --find needs a value");
        row("empty find", {"find", "--find", "", "TREE"}, 2, "scrivlane-cli: --find needs a text");
        row("no replacement", {"replace", "--find", "cat", "TREE"}, 2,
            "scrivlane-cli: --replace TEXT is needed");
        row("same texts", {"replace", "--find", "cat", "--replace", "cat", "TREE"}, 2,
            "scrivlane-cli: --find and --replace are the same");
        row("two folders", {"find", "--find", "cat", "TREE", "TREE"}, 2,
            "scrivlane-cli: one FOLDER only");
        row("find", {"find", "--find", "cat", "--all", "TREE"}, 0, "files: 3");
        row("find below the top folder", {"find", "--find", "cat", "TREE"}, 0, "files: 2");
        row("find through filters",
            {"find", "--find", "cat", "--filters", "*.txt", "--all", "TREE"}, 0, "files: 2");
        row("exclusions", {"find", "--find", "cat", "--filters", "!*.htm;!sub/", "--all", "TREE"},
            0, "files: 1");
        row("invalid filter", {"find", "--find", "cat", "--filters", "!", "TREE"}, 2,
            "scrivlane-cli: --filters: invalid file filter");
        row("filter with a folder part",
            {"find", "--find", "cat", "--filters", "*.htm;sub/*.txt", "TREE"}, 2,
            "scrivlane-cli: --filters: \"sub/*.txt\" has a folder part");
        row("skip ignored", {"find", "--find", "cat", "--skip-ignored", "--all", "TREE"}, 0,
            "files: 2");
        row("replace", {"replace", "--find", "cat", "--replace", "dog", "--all", "TREE"}, 0,
            "replacements: 4", "a dog and a dog");
        row("keep case",
            {"replace", "--keep-case", "--find", "CAT", "--replace", "Dog", "--all", "TREE"}, 0,
            "replacements: 4", "a dog and a dog");
        // Undoing a dog-to-cat replacement turns cats back into dogs.
        row("preview writes nothing",
            {"preview", "--find", "cat", "--replace", "dog", "--all", "TREE"}, 0,
            "+a dog and a dog");
        row("undo", {"undo", "--find", "dog", "--replace", "cat", "--all", "TREE"}, 0,
            "replacements: 4", "a dog and a dog");
        row("missing folder", {"find", "--find", "cat", "TREE/missing"}, 1,
            "scrivlane-cli: error: ");
        row("empty backup folder",
            {"replace", "--find", "cat", "--replace", "dog", "--backup", "", "TREE"}, 2,
            "scrivlane-cli: --backup needs a folder");
        row("relative backup folder",
            {"replace", "--find", "cat", "--replace", "dog", "--backup", "bk", "TREE"}, 2,
            "scrivlane-cli: --backup needs a full path");
        row("missing backup folder is made",
            {"replace", "--find", "cat", "--replace", "dog", "--backup", "TREE/bk/new", "TREE"}, 0,
            "files: 2", "a dog and a dog");
        row("preview summary",
            {"preview", "--summary", "--find", "cat", "--replace", "dog", "--all", "TREE"}, 0,
            "TREE/sub/a.txt:2");
        row("backup that cannot be made",
            {"replace", "--find", "cat", "--replace", "dog", "--backup", "TREE/top.txt", "TREE"}, 1,
            "scrivlane-cli: error: ");
        row("remove refuses the root", {"remove", "/"}, 1, "scrivlane-cli: error: ");
        row("remove", {"remove", "TREE/sub"}, 0, "", QString());
    }
    void exitStatusOutputAndFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, line);
        QFETCH(QString, file);
        QFETCH(QString, content);
        TempTree tree;
        tree.write("tree/top.txt", "the cat sat");
        tree.write("tree/sub/a.txt", "a cat and a cat");
        tree.write("tree/sub/b.txt", "no match");
        tree.write("tree/sub/deeper/c.htm", "<p>cat</p>");
        // A working tree that ignores the deeper folder.
        tree.write("tree/.git/HEAD", "ref: refs/heads/main\n");
        tree.write("tree/.gitignore", "deeper/\n");
        arguments.replaceInStrings("TREE", tree.path("tree"));
        line.replace("TREE", tree.path("tree"));

        QProcess cli;
        cli.start(SCRIVLANE_CLI, arguments);
        QVERIFY(cli.waitForFinished(60000));
        const QString out = cli.readAllStandardOutput(), err = cli.readAllStandardError();
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == status, qPrintable(out + err));
        const QStringList lines = (status == 0 ? out + err : err).split('\n', Qt::SkipEmptyParts);
        if (!line.isEmpty()) {
            QVERIFY2(std::any_of(lines.begin(), lines.end(),
                                 [&](const QString &l) { return l.startsWith(line); }),
                     qPrintable(out + err));
        }
        if (status == 1) {  // the last line sums the errors named above it
            QVERIFY2(QRegularExpression("^scrivlane-cli: the run reported \\d+ errors?$")
                         .match(lines.last())
                         .hasMatch(),
                     qPrintable(err));
        }
        QCOMPARE(QFileInfo::exists(tree.path("tree/" + file)), !content.isNull());
        if (!content.isNull())
            QCOMPARE(QString(tree.read("tree/" + file)), content);
    }

    // A file the pattern engine gives up on is an error of the run: named and
    // left as it is, while the other files are searched and replaced.
    void fileTheEngineGivesUpOnFails_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("hard");  // sub/hard.txt, where the pattern gives up
        const QByteArray run(5000, 'a');
        QTest::addRow("find, before any match") << "find" << run + " z\n";
        QTest::addRow("replace, after a match") << "replace"
                                                << "z " + run + " z\n";
        QTest::addRow("preview, after a match") << "preview"
                                                << "z " + run + " z\n";
    }
    void fileTheEngineGivesUpOnFails()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, hard);
        TempTree tree;
        tree.write("tree/sub/hard.txt", hard);
        tree.write("tree/sub/easy.txt", "z z\n");
        QStringList arguments = {command, "--regex", "--case", "--find", "(a+)+c|z"};
        if (command != "find")
            arguments << "--replace"
                      << "y";
        QProcess cli;
        cli.start(SCRIVLANE_CLI, arguments << tree.path("tree"));
        QVERIFY(cli.waitForFinished(60000));
        const QString out = cli.readAllStandardOutput(), err = cli.readAllStandardError();
        QVERIFY2(cli.exitCode() == 1, qPrintable(out + err));
        QVERIFY2(err.contains("error: ") && err.contains(tree.path("tree/sub/hard.txt")),
                 qPrintable(err));
        QCOMPARE(tree.read("tree/sub/hard.txt"), hard);
        QCOMPARE(tree.read("tree/sub/easy.txt"), command == "replace" ? "y y\n" : "z z\n");
        if (command != "preview")
            QVERIFY2(out.contains(tree.path("tree/sub/easy.txt")), qPrintable(out));
    }

    // Hidden files are taken only on request and never anything of .git; GNU
    // find, which follows no link and lists regular files only, names the same.
    void hiddenFilesOnRequest_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("oracle");  // find's tests after "TREE -type f"
        const QStringList visibleOnly{"!", "-path", "*/.*"};
        const QStringList hidden{"!", "-path", "*/.git/*", "!", "-name", ".git"};
        QTest::newRow("find") << QStringList{"find", "--find", "key"} << visibleOnly;
        QTest::newRow("find --hidden")
            << QStringList{"find", "--hidden", "--find", "key"} << hidden;
        QTest::newRow("replace --hidden")
            << QStringList{"replace", "--hidden", "--find", "key", "--replace", "lock"} << hidden;
        QTest::newRow("only hidden names")
            << QStringList{"find", "--hidden", "--filters", ".*", "--find", "key"}
            << QStringList{"-name", ".*", "!", "-path", "*/.git/*", "!", "-name", ".git"};
    }
    void hiddenFilesOnRequest()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, oracle);
        TempTree tree;
        for (const char *name :
             {".env", ".editorconfig", ".github/workflows/ci.yml", "src/a.txt", "src/.cache/b.txt",
              ".git/config", ".git/hooks/pre-commit", "module/.git", "module/c.txt"})
            tree.write(QStringLiteral("tree/") + name, "key=1\n");
        QVERIFY(QFile::link(tree.path("tree/.env"), tree.path("tree/src/.env-link")));
        QVERIFY(QProcess::execute("mkfifo", {tree.path("tree/src/.fifo")}) == 0);

        QProcess find;
        find.start("find", QStringList{tree.path("tree"), "-type", "f"} + oracle);
        QVERIFY(find.waitForFinished(60000));
        QStringList expected =
            QString(find.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        expected.sort();
        QVERIFY(expected.contains(tree.path("tree/.env")) == arguments.contains("--hidden"));

        QProcess cli;
        cli.start(SCRIVLANE_CLI, arguments << "--all" << tree.path("tree"));
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        QStringList listed;
        for (const QString &line : QString(cli.readAllStandardOutput()).split('\n')) {
            if (line.startsWith(tree.path("tree")))
                listed << line;
        }
        listed.sort();
        QCOMPARE(listed, expected);
    }

    // Standard output holds the results alone, the paths as FOLDER was given
    // (relative or absolute, as grep prints them), each ended by NUL with -0 so
    // that xargs -0 takes any name; the counts go to standard error.
    void pathsForScripts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");  // as given; ABS: the tree's absolute path
        QTest::addColumn<QString>("shown");   // what the printed paths start with
        QTest::addColumn<QString>("counts");  // standard error's count lines
        const QStringList find = {"find", "--find", "cat", "--all"};
        const QStringList replace = {"replace", "--find", "cat", "--replace", "dog", "--all"};
        const QString both = "files: 3\nreplacements: 3\n";
        QTest::addRow("find, relative") << find << "tree"
                                        << "tree/"
                                        << "files: 3\n";
        QTest::addRow("find, relative with a slash") << find << "tree/"
                                                     << "tree/"
                                                     << "files: 3\n";
        QTest::addRow("find, dot") << find << "./tree"
                                   << "./tree/"
                                   << "files: 3\n";
        QTest::addRow("find, absolute") << find << "ABS"
                                        << "ABS/"
                                        << "files: 3\n";
        QTest::addRow("replace, relative") << replace << "tree"
                                           << "tree/" << both;
        QTest::addRow("undo, absolute")
            << QStringList{"undo", "--find", "dog", "--replace", "cat", "--all"} << "ABS"
            << "ABS/" << both;
    }
    void pathsForScripts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        QFETCH(QString, counts);
        TempTree tree;
        const QStringList names = {"a cat.txt", "sub/two  blanks.txt", "sub/new\nline.txt"};
        for (const QString &name : names) tree.write("tree/" + name, "a cat\n");
        tree.write("tree/none.txt", "no match\n");
        folder.replace("ABS", tree.path("tree"));
        shown.replace("ABS", tree.path("tree"));
        QStringList expected;
        for (const QString &name : names) expected << shown + name;
        expected.sort();

        for (const bool null : {false, true}) {
            if (null)  // put the files back for the second run
                for (const QString &name : names) tree.write("tree/" + name, "a cat\n");
            QProcess cli;
            cli.setWorkingDirectory(tree.path());
            cli.start(SCRIVLANE_CLI,
                      arguments + (null ? QStringList{"-0", folder} : QStringList{folder}));
            QVERIFY(cli.waitForFinished(60000));
            const QString err = cli.readAllStandardError();
            QVERIFY2(cli.exitCode() == 0, qPrintable(err));
            QCOMPARE(err, counts);
            const QByteArray out = cli.readAllStandardOutput();
            QStringList printed = QString::fromUtf8(out).split(null ? QChar('\0') : QChar('\n'));
            QCOMPARE(printed.takeLast(), QString());  // every path is ended
            printed.sort();
            if (null) {
                QCOMPARE(printed, expected);
                if (QStandardPaths::findExecutable("xargs").isEmpty())
                    QSKIP("xargs is not installed");
                QProcess xargs;
                xargs.setWorkingDirectory(tree.path());
                xargs.start("xargs", {"-0", "ls", "-d", "--"});
                xargs.write(out);
                xargs.closeWriteChannel();
                QVERIFY(xargs.waitForFinished(60000));
                // ls fails on any path that names no file.
                QVERIFY2(xargs.exitCode() == 0, xargs.readAllStandardError().constData());
            } else {
                // A name holding a line end is cut in two without -0.
                QCOMPARE(printed.size(), names.size() + 1);
                QVERIFY(printed.contains(shown + "a cat.txt"));
            }
        }
    }

    // The window program reads its command line before it needs a display:
    // without one, a wrong command line prints the usage and ends with 2.
    void windowProgramWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");  // part of standard output (0) or error (2)
        QTest::addRow("unknown option") << QStringList{"--bogus"} << 2 << "Usage: scrivlane";
        QTest::addRow("unknown option after the window system's")
            << QStringList{"-platform", "offscreen", "--bogus"} << 2 << "Usage: scrivlane";
        QTest::addRow("two folders") << QStringList{"/", "/tmp"} << 2 << "Only one folder";
        QTest::addRow("help") << QStringList{"--help"} << 0 << "[FOLDER]";
        QTest::addRow("version") << QStringList{"--version"} << 0 << "scrivlane 0.";
    }
    void windowProgramWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        QProcess window;
        window.setProcessEnvironment(environment);
        window.start(SCRIVLANE_WINDOW, arguments);
        QVERIFY(window.waitForFinished(60000));
        const QString out = window.readAllStandardOutput(), err = window.readAllStandardError();
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QVERIFY2(window.exitCode() == status, qPrintable(out + err));
        QVERIFY2((status == 0 ? out : err).contains(says), qPrintable(out + err));
    }

    // The preview's diff, patched onto an untouched copy, writes the bytes
    // Replace writes, for every search type and awkward file.
    void previewPatchedIsReplace_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("normal") << QStringList{"--find", "cat", "--replace", "dog"};
        QTest::newRow("whole words, any case")
            << QStringList{"--find", "CAT", "--replace", "a\nb", "--whole"};
        QTest::newRow("fuzzy") << QStringList{"--fuzzy", "c", "t", "--replace", ""};
        QTest::newRow("regular expression")
            << QStringList{"--regex", "--find", "(c)a(t)$", "--replace", "$2$1\\n"};
    }
    void previewPatchedIsReplace()
    {
        QFETCH(QStringList, options);
        if (QStandardPaths::findExecutable("patch").isEmpty())
            QSKIP("patch is not installed");
        TempTree tree;
        const QList<QPair<QString, QByteArray>> files = {
            {"name with blanks.txt", "a cat\nthe cat\n\nx\ncat"},
            {"sub/crlf.txt", "cat\r\none\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\ncats\r\n"},
            {"sub/cr.txt", "cat\rcat\r"},
            {"sub/latin1.txt", "caf\xe9 cat \xe9t\xe9\n"},
            {"sub/bom.txt",
             "\xef\xbb\xbf"
             "cat\n"},
            {"sub/none.txt", "no match\n"}};
        for (const char *copy : {"a/", "b/"}) {
            for (const auto &[name, bytes] : files) tree.write(copy + name, bytes);
        }
        auto cli = [&](const QString &command, const QString &folder, QByteArray *out = nullptr) {
            QProcess p;
            p.start(SCRIVLANE_CLI, QStringList{command} + options + QStringList{"--all", folder});
            p.waitForFinished(60000);
            if (out)
                *out = p.readAllStandardOutput();
            return p.exitCode();
        };
        QByteArray diff;
        QCOMPARE(cli("preview", tree.path("a"), &diff), 0);
        for (const auto &[name, bytes] : files)
            QCOMPARE(tree.read("a/" + name), bytes);  // nothing written
        QCOMPARE(cli("replace", tree.path("b")), 0);
        QProcess patch;
        patch.start("patch", {"-s", "-p1", "-d", tree.path("a")});
        patch.write(diff);
        patch.closeWriteChannel();
        QVERIFY(patch.waitForFinished(60000));
        QVERIFY2(patch.exitCode() == 0, patch.readAllStandardOutput() + diff);
        for (const auto &[name, bytes] : files)
            QCOMPARE(tree.read("a/" + name), tree.read("b/" + name));
    }

    // Two replaces (with backups or without), then restore twice: every file
    // byte for byte as before, except one edited in between, which is named
    // and left as it is.
    void restoreAfterReplace_data()
    {
        QTest::addColumn<bool>("editOne");
        QTest::addColumn<bool>("backup");
        QTest::newRow("untouched") << false << false;
        QTest::newRow("untouched, with backups") << false << true;
        QTest::newRow("one edited since") << true << false;
    }
    void restoreAfterReplace()
    {
        QFETCH(bool, editOne);
        QFETCH(bool, backup);
        TempTree tree;
        const QMap<QString, QByteArray> before = {
            {"a.txt", "a cat\r\nand a cat, no final line end"},
            {"sub/b.txt", "caf\xc3\xa9 cat \x92\n"},
            {"sub/c.txt", "no match\n"}};
        for (auto it = before.begin(); it != before.end(); ++it)
            tree.write("tree/" + it.key(), it.value());
        tree.mkdir("backups");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", tree.path("data"));
        QString out;
        auto cli = [&](QStringList arguments) {
            QProcess p;
            p.setProcessEnvironment(env);
            if (backup && arguments.first() == "replace")
                arguments.insert(1, "--backup"), arguments.insert(2, tree.path("backups"));
            p.start(SCRIVLANE_CLI, arguments);
            p.waitForFinished(60000);
            out = p.readAllStandardOutput() + p.readAllStandardError();
            return p.exitCode();
        };
        QCOMPARE(cli({"replace", "--find", "cat", "--replace", "dog", "--all", tree.path("tree")}),
                 0);
        QCOMPARE(tree.read("tree/a.txt"), QByteArray("a dog\r\nand a dog, no final line end"));
        QCOMPARE(cli({"replace", "--find", "dog", "--replace", "cow", "--all", tree.path("tree")}),
                 0);
        QCOMPARE(cli({"restore", "--list"}), 0);
        const QStringList runs = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(runs.size(), 2);
        QVERIFY2(runs.at(0).contains("\tdog -> cow\tfiles: 2") &&
                     runs.at(1).contains("\tcat -> dog\tfiles: 2"),
                 qPrintable(out));
        if (editOne)
            tree.write("tree/sub/b.txt", "edited");
        QCOMPARE(cli({"restore", tree.path("tree")}), editOne ? 1 : 0);
        if (editOne)
            QVERIFY2(out.contains("sub/b.txt: "), qPrintable(out));
        QCOMPARE(cli({"restore", tree.path("tree")}), editOne ? 1 : 0);
        for (auto it = before.begin(); it != before.end(); ++it) {
            const bool edited = editOne && it.key() == "sub/b.txt";
            QCOMPARE(tree.read("tree/" + it.key()), edited ? QByteArray("edited") : it.value());
        }
        // Each run is restored once.
        QCOMPARE(cli({"restore", tree.path("tree")}), 1);
        QCOMPARE(cli({"restore", "--list"}), 0);
        QCOMPARE(out, QString());
    }

    // Under the usual limit of 1024 open files, a tree of one-file folders is
    // replaced whole: each waiting save holds its folder open as well as itself.
    void oneFileFoldersUnderTheUsualLimit_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace") << QStringList{"replace", "--find", "cat", "--replace", "dog"}
                                 << QByteArray("a dog\n");
        QTest::newRow("replace with backups")
            << QStringList{"replace", "--find", "cat", "--replace", "dog", "--backup", "BACKUPS"}
            << QByteArray("a dog\n");
        QTest::newRow("undo") << QStringList{"undo", "--find", "mouse", "--replace", "cat"}
                              << QByteArray("a mouse\n");
    }
    void oneFileFoldersUnderTheUsualLimit()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, after);
        constexpr int kFolders = 1200;
        TempTree tree;
        for (int i = 0; i < kFolders; ++i)
            tree.write(QStringLiteral("tree/d%1/f.txt").arg(i), "a cat\n");
        tree.mkdir("backups");
        arguments.replaceInStrings("BACKUPS", tree.path("backups"));
        QProcess cli;
        cli.setChildProcessModifier([] {
            const struct rlimit usual {
                1024, 1024
            };
            ::setrlimit(RLIMIT_NOFILE, &usual);
        });
        cli.start(SCRIVLANE_CLI, arguments << "--all" << tree.path("tree"));
        QVERIFY(cli.waitForFinished(120000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        for (int i = 0; i < kFolders; ++i)
            QCOMPARE(tree.read(QStringLiteral("tree/d%1/f.txt").arg(i)), after);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
