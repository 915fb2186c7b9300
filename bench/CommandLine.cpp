#include "CommandLine.h"

#include "BenchHost.h"

#include "engine/FileNameFilter.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList kCommands = {QStringLiteral("find"),    QStringLiteral("replace"),
                               QStringLiteral("preview"), QStringLiteral("undo"),
                               QStringLiteral("restore"), QStringLiteral("remove")};

const char kGeneralHelp[] =
    "Usage: scrivlane-cli COMMAND [OPTION]... FOLDER\n"
    "\n"
    "Finds and replaces text in the files of FOLDER and of every folder below it,\n"
    "with the same engine as the Scrivlane window. Every question the window would\n"
    "ask is answered Yes.\n"
    "\n"
    "Commands:\n"
    "  find      list the files that hold a text\n"
    "  replace   replace a text in every file that holds it\n"
    "  preview   print what replace would write as a unified diff, writing nothing\n"
    "  undo      put the find text back where replace wrote the replacement\n"
    "  restore   put back the files a recent replace changed, as they were\n"
    "  remove    delete a folder tree as the backup folder picker does\n"
    "  help      this text, or a command's: scrivlane-cli help COMMAND\n"
    "\n"
    "  --help     this text (after a command: that command's options)\n"
    "  --version  the program's version\n"
    "\n"
    "Exit status: 0 done, 1 the run reported an error (the last lines of standard\n"
    "error say which), 2 the command line was wrong.\n";

// Options every run command shares, in the order the help lists them.
const char kCommonOptions[] =
    "  --case               match letter case\n"
    "  --whole              whole words only\n"
    "  --filters PATTERNS   file name patterns separated by \";\" (default \"*.*\");\n"
    "                       \"!PATTERN\" leaves out the files it takes, \"!NAME/\" the\n"
    "                       folders of that name: \"*.css;!*.min.css;!build/\". A\n"
    "                       pattern matches a file's name, never its folders\n"
    "  --skip-ignored       inside a git working tree, leave out what git ignores\n"
    "  --hidden             take hidden files and folders too (never .git)\n"
    "  --all                take the files directly in FOLDER too; without it only\n"
    "                       the folders below FOLDER are walked, as in the window\n"
    "                       when none of the open folder's files is selected\n"
    "  -0, --null           end each path printed with a NUL instead of a line end,\n"
    "                       for xargs -0\n"
    "  --timing             print the run's wall and CPU time on standard error\n";

const char kFindHelp[] =
    "Usage: scrivlane-cli find --find TEXT [OPTION]... FOLDER\n"
    "       scrivlane-cli find --fuzzy FIRST SECOND [OPTION]... FOLDER\n"
    "\n"
    "Prints every file that holds TEXT (or a stretch from FIRST to SECOND), one\n"
    "path a line, then \"files: N\" on standard error. Paths start with FOLDER as\n"
    "given: relative for a relative FOLDER, absolute for an absolute one.\n"
    "\n"
    "  --find TEXT          the text to find\n"
    "  --regex              TEXT is a regular expression: ^ and $ at line ends,\n"
    "                       \"\\n\" any one line end (PCRE2 syntax)\n"
    "  --fuzzy FIRST SECOND anything from FIRST to SECOND, both included\n";

const char kReplaceHelp[] =
    "Usage: scrivlane-cli replace --find TEXT --replace TEXT [OPTION]... FOLDER\n"
    "       scrivlane-cli replace --fuzzy FIRST SECOND --replace TEXT [OPTION]... FOLDER\n"
    "\n"
    "Replaces TEXT (or every stretch from FIRST to SECOND) in every file that holds\n"
    "it, then prints the files changed, and \"files: N\" and \"replacements: N\" on\n"
    "standard error.\n"
    "An empty --replace \"\" deletes what is found.\n"
    "\n"
    "  --find TEXT          the text to find\n"
    "  --replace TEXT       what to put in its place\n"
    "  --regex              TEXT is a regular expression; in the replace text $1\n"
    "                       to $99 and ${name} stand for its groups, $$ for a\n"
    "                       dollar, \"\\n\" for the file's line end\n"
    "  --fuzzy FIRST SECOND anything from FIRST to SECOND, both included\n"
    "  --keep-case          write the replacement in the case of what it replaces:\n"
    "                       colour to color writes Color for Colour, COLOR for COLOUR\n"
    "  --backup ROOT        copy each file below ROOT/Backup/ before changing it;\n"
    "                       ROOT is a full path, made when it is missing\n";

const char kPreviewHelp[] =
    "Usage: scrivlane-cli preview --find TEXT --replace TEXT [OPTION]... FOLDER\n"
    "\n"
    "Writes nothing: prints what replace with the same options would write, as a\n"
    "unified diff of each file's own bytes (\"--- a/PATH\", \"+++ b/PATH\", PATH\n"
    "relative to FOLDER, 3 lines of context), so that \"patch -p1 -d FOLDER\" on\n"
    "an untouched copy writes the bytes replace would. UTF-16 files are named as\n"
    "differing. Then \"files: N\" and \"replacements: N\" on standard error.\n"
    "\n"
    "  --regex              TEXT is a regular expression, as for replace\n"
    "  --keep-case          the replacement in the case of what it replaces\n"
    "  --summary            no diff: one line per file that would change, its path,\n"
    "                       \":\" (a NUL with -0) and its number of replacements\n";

const char kUndoHelp[] =
    "Usage: scrivlane-cli undo --find TEXT --replace TEXT [OPTION]... FOLDER\n"
    "\n"
    "Undoes a replace given the same --find and --replace: every occurrence of the\n"
    "replacement becomes the find text again. Prints the files changed, then\n"
    "\"files: N\" and \"replacements: N\" on standard error. Backup copies are not\n"
    "used.\n"
    "\n"
    "  --find TEXT          the text the replace looked for\n"
    "  --replace TEXT       the text it wrote (not empty)\n"
    "  --keep-case          as for replace: Color becomes Colour again\n"
    "  --backup ROOT        accepted as for replace\n";

const char kRestoreHelp[] =
    "Usage: scrivlane-cli restore FOLDER\n"
    "       scrivlane-cli restore --run ID\n"
    "       scrivlane-cli restore --list [FOLDER]\n"
    "\n"
    "Every replace keeps the originals of the files it changes (the last 20 runs,\n"
    "2 GB at most by default). restore puts every file the last replace of FOLDER\n"
    "(or run ID) changed back as it was, byte for byte, and prints the files\n"
    "restored, then \"files: N\" on standard error (-0, --null: each path ends\n"
    "with a NUL). A file changed since that replace, or a record\n"
    "naming anything but a file inside the run's folder, is left as it is and named\n"
    "on standard error (exit status 1), as is a record cut short. The window's\n"
    "Restore and this command share the runs.\n"
    "\n"
    "  --list               print the runs, newest first: ID, time, folder,\n"
    "                       find -> replace and the files changed\n"
    "  --run ID             restore that run\n";

const char kRemoveHelp[] =
    "Usage: scrivlane-cli remove FOLDER\n"
    "\n"
    "Deletes FOLDER and everything in it, as the backup folder picker's Delete does\n"
    "after its Yes. It refuses the root, every folder directly below it, the home\n"
    "folder, the program's own folders and any folder that holds one of them; links\n"
    "are removed, never followed.\n";

CommandLine usageError(const QString &command, const QString &what)
{
    CommandLine result;
    result.command = command;
    const QString helpCommand = command.isEmpty() ? QString() : command + QLatin1Char(' ');
    result.message = QStringLiteral("scrivlane-cli: ") + what +
                     QStringLiteral("\nTry 'scrivlane-cli ") + helpCommand +
                     QStringLiteral("--help'.\n");
    return result;
}

CommandLine help(const QString &command)
{
    CommandLine result;
    result.outcome = CommandLine::Outcome::Help;
    result.command = command;
    result.message = helpText(command);
    return result;
}

bool isHelpOption(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// The options a command takes besides FOLDER and --help.
QStringList optionsOf(const QString &command)
{
    if (command == QLatin1String("remove"))
        return {};
    if (command == QLatin1String("restore"))
        return {QStringLiteral("--list"), QStringLiteral("--run"), QStringLiteral("-0"),
                QStringLiteral("--null")};
    QStringList options = {QStringLiteral("--find"),         QStringLiteral("--case"),
                           QStringLiteral("--whole"),        QStringLiteral("--filters"),
                           QStringLiteral("--all"),          QStringLiteral("--timing"),
                           QStringLiteral("--skip-ignored"), QStringLiteral("-0"),
                           QStringLiteral("--null"),         QStringLiteral("--hidden")};
    if (command != QLatin1String("undo"))
        options << QStringLiteral("--fuzzy") << QStringLiteral("--regex");
    if (command != QLatin1String("find"))
        options << QStringLiteral("--replace") << QStringLiteral("--backup")
                << QStringLiteral("--keep-case");
    if (command == QLatin1String("preview"))
        options << QStringLiteral("--summary");
    return options;
}

// Why the filter text cannot be used; a pattern with a folder part gets its
// own reason, since the patterns match names only.
QString filterProblem(const QString &text)
{
    if (FileNameFilter::isValid(text))
        return {};
    for (const QString &piece : text.split(QLatin1Char(';'))) {
        const QString name = piece.trimmed();
        const bool folderExclusion =
            name.startsWith(QLatin1Char('!')) && name.indexOf(QLatin1Char('/')) == name.size() - 1;
        if (name.contains(QLatin1Char('/')) && !folderExclusion)
            return QStringLiteral(
                       "--filters: \"%1\" has a folder part; a pattern matches "
                       "file names only (\"!NAME/\" leaves out the folders of a "
                       "name)")
                .arg(name);
    }
    return QStringLiteral("--filters: invalid file filter \"%1\"").arg(text);
}

// A backup root that is empty or relative would put the copies wherever the
// tool happens to run.
QString backupProblem(const QString &root)
{
    if (root.isEmpty())
        return QStringLiteral("--backup needs a folder");
    if (!QDir::isAbsolutePath(root))
        return QStringLiteral("--backup needs a full path, not \"%1\"").arg(root);
    return {};
}

// What is missing or contradictory once every argument is read; empty when none.
QString requestProblem(const QString &command, const BenchHost &host, bool haveReplace,
                       const CommandLine &result)
{
    if (command == QLatin1String("restore") && result.list && !result.runId.isEmpty())
        return QStringLiteral("--list and --run do not go together");
    if (command == QLatin1String("restore") && (result.list || !result.runId.isEmpty()))
        return {};
    if (host.folder.isEmpty())
        return QStringLiteral("no FOLDER given");
    if (command == QLatin1String("remove") || command == QLatin1String("restore"))
        return {};
    if (host.fuzzy && host.regex)
        return QStringLiteral("--regex and --fuzzy do not go together");
    if (host.fuzzy) {
        if (host.first.isEmpty() || host.second.isEmpty())
            return QStringLiteral("--fuzzy needs two texts that are not empty");
    } else if (host.find.isEmpty()) {
        return QStringLiteral("--find needs a text that is not empty");
    }
    if (command == QLatin1String("find"))
        return {};
    if (!haveReplace)
        return QStringLiteral("--replace TEXT is needed");
    if (command == QLatin1String("undo") && host.replace.isEmpty())
        return QStringLiteral("undo needs a --replace text that is not empty");
    if (!host.fuzzy && host.find == host.replace)
        return QStringLiteral("--find and --replace are the same");
    return {};
}

}  // namespace

QString helpText(const QString &command)
{
    if (command == QLatin1String("find"))
        return QString::fromUtf8(kFindHelp) + QString::fromUtf8(kCommonOptions);
    if (command == QLatin1String("replace"))
        return QString::fromUtf8(kReplaceHelp) + QString::fromUtf8(kCommonOptions);
    if (command == QLatin1String("preview"))
        return QString::fromUtf8(kPreviewHelp) +
               QString::fromUtf8(kReplaceHelp).section(QLatin1String("\n\n"), 2) +
               QString::fromUtf8(kCommonOptions);
    if (command == QLatin1String("undo"))
        return QString::fromUtf8(kUndoHelp) + QString::fromUtf8(kCommonOptions);
    if (command == QLatin1String("remove"))
        return QString::fromUtf8(kRemoveHelp);
    if (command == QLatin1String("restore"))
        return QString::fromUtf8(kRestoreHelp);
    return QString::fromUtf8(kGeneralHelp);
}

CommandLine parseCommandLine(const QStringList &args, BenchHost &host)
{
    if (args.isEmpty())
        return usageError({}, QStringLiteral("no command given"));
    const QString &command = args.first();
    if (isHelpOption(command))
        return help({});
    if (command == QLatin1String("--version")) {
        CommandLine result;
        result.outcome = CommandLine::Outcome::Version;
        return result;
    }
    if (command == QLatin1String("help")) {
        const QString topic = args.value(1);
        if (args.size() > 2 || (!topic.isEmpty() && !kCommands.contains(topic)))
            return usageError({}, QStringLiteral("help takes one command: find, replace, "
                                                 "preview, undo, restore or remove"));
        return help(topic);
    }
    if (!kCommands.contains(command))
        return usageError({}, QStringLiteral("unknown command \"%1\"").arg(command));

    CommandLine result;
    result.command = command;
    const QStringList options = optionsOf(command);
    bool haveReplace = false;
    bool optionsEnded = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto value = [&](QString &target) {
            if (i + 1 >= args.size())
                return false;
            target = args.at(++i);
            return true;
        };
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            if (!host.folder.isEmpty())
                return usageError(command, QStringLiteral("one FOLDER only"));
            // remove takes the path as written: cleaning ".." away by its letters
            // could name another folder than the one a link leads to.
            host.folder = command == QLatin1String("remove")
                              ? arg
                              : QDir::cleanPath(QFileInfo(arg).absoluteFilePath());
            if (QDir::isRelativePath(arg))
                result.shownFolder = arg.endsWith(QLatin1Char('/')) ? arg : arg + QLatin1Char('/');
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (isHelpOption(arg))
            return help(command);
        if (!options.contains(arg))
            return usageError(command,
                              QStringLiteral("%1 takes no option \"%2\"").arg(command, arg));
        bool ok = true;
        if (arg == QLatin1String("--find"))
            ok = value(host.find);
        else if (arg == QLatin1String("--replace"))
            ok = haveReplace = value(host.replace);
        else if (arg == QLatin1String("--case"))
            host.caseSensitive = true;
        else if (arg == QLatin1String("--whole"))
            host.wholeWord = true;
        else if (arg == QLatin1String("--regex"))
            host.regex = true;
        else if (arg == QLatin1String("--keep-case"))
            host.keepCase = true;
        else if (arg == QLatin1String("--all"))
            host.selectAll = true;
        else if (arg == QLatin1String("--timing"))
            result.timing = true;
        else if (arg == QLatin1String("--summary"))
            result.summary = true;
        else if (arg == QLatin1String("--list"))
            result.list = true;
        else if (arg == QLatin1String("--run"))
            ok = value(result.runId);
        else if (arg == QLatin1String("--skip-ignored"))
            host.skipIgnored = true;
        else if (arg == QLatin1String("--hidden"))
            host.includeHidden = true;
        else if (arg == QLatin1String("--filters"))
            ok = value(host.filterText);
        else if (arg == QLatin1String("-0") || arg == QLatin1String("--null"))
            result.nullEnds = true;
        else if (arg == QLatin1String("--backup")) {
            ok = host.backup = value(host.backupFolder);
            if (ok && !backupProblem(host.backupFolder).isEmpty())
                return usageError(command, backupProblem(host.backupFolder));
            host.backupFolder = QDir::cleanPath(host.backupFolder);
        } else if (arg == QLatin1String("--fuzzy"))
            ok = host.fuzzy = value(host.first) && value(host.second);
        if (!ok)
            return usageError(command, QStringLiteral("%1 needs a value").arg(arg));
    }
    if (const QString problem = filterProblem(host.filterText); !problem.isEmpty())
        return usageError(command, problem);
    const QString problem = requestProblem(command, host, haveReplace, result);
    if (!problem.isEmpty())
        return usageError(command, problem);
    result.outcome = CommandLine::Outcome::Run;
    return result;
}
