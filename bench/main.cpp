// scrivlane-cli: the engine's Find, Replace and Undo over a folder tree from the
// command line, every question answered Yes, for scripts and for timing against
// grep and sed; "remove" deletes a folder tree exactly as the folder picker does
// after its Yes. Exit status 0 done, 1 the run reported an error, 2 usage.

#include "BenchHost.h"
#include "CommandLine.h"
#include "DiffPrinter.h"

#include "ScrivlaneVersion.h"
#include "backup/RestoreRun.h"
#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/FolderRemoval.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunRequest.h"
#include "engine/RunStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

enum ExitStatus { Done = 0, RunFailed = 1, UsageError = 2 };

void print(const QString &line)
{
    std::fputs(QFile::encodeName(line).constData(), stdout);
    std::fputc('\n', stdout);
}

void printError(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

// Prints the paths a run reports as its results: below FOLDER as it was
// written when that was relative, each ended by a line end or, for xargs -0,
// a NUL.
class PathPrinter {
public:
    PathPrinter(const CommandLine &commandLine, const QString &folder)
        : m_shownFolder(commandLine.shownFolder),
          m_folder(Paths::withTrailingSeparator(folder)),
          m_end(commandLine.nullEnds ? '\0' : '\n')
    {
    }

    QString shown(const QString &path) const
    {
        if (m_shownFolder.isEmpty() || !path.startsWith(m_folder))
            return path;
        return m_shownFolder + QDir::fromNativeSeparators(path.mid(m_folder.size()));
    }

    void print(const QString &path) const
    {
        std::fputs(QFile::encodeName(shown(path)).constData(), stdout);
        std::fputc(m_end, stdout);
    }

    // A path and its count on one line; the NUL keeps any name unambiguous.
    void printCounted(const QString &path, qint64 count) const
    {
        std::fputs(QFile::encodeName(shown(path)).constData(), stdout);
        std::fputc(m_end == '\0' ? '\0' : ':', stdout);
        std::fprintf(stdout, "%lld\n", static_cast<long long>(count));
    }

private:
    QString m_shownFolder;
    QString m_folder;
    char m_end;
};

// The descriptions of the entries in an error log: a run may log a failure it
// shows no message for (an entry it passed over and went on).
QStringList loggedDescriptions(const QString &logPath)
{
    QFile log(logPath);
    QStringList descriptions;
    if (!log.open(QIODevice::ReadOnly))
        return descriptions;
    const QByteArray marker = " ' Description = ";
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.startsWith(marker))
            descriptions << QString::fromUtf8(line.mid(marker.size())).trimmed();
    }
    return descriptions;
}

// The last lines of standard error name every failure; the status says whether
// there was one.
int finish(const QStringList &problems)
{
    if (problems.isEmpty())
        return Done;
    for (const QString &problem : problems)
        printError(QStringLiteral("scrivlane-cli: error: ") + problem + QLatin1Char('\n'));
    printError(QStringLiteral("scrivlane-cli: the run reported %1 error%2\n")
                   .arg(problems.size())
                   .arg(problems.size() == 1 ? QString() : QStringLiteral("s")));
    return RunFailed;
}

// The program's own names, so that its real folders are the ones meant.
void useProgramNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Scrivlane"));
}

int remove(BenchHost &host)
{
    useProgramNames();
    host.onStatus = print;
    try {
        FolderRemoval::removeTree(host, host, host.folder);
    } catch (const std::exception &e) {
        host.problems << QString::fromLocal8Bit(e.what());
    }
    return finish(host.problems);
}

// The runs restore can bring back, newest first, one a line.
int listRuns(const BenchHost &host)
{
    QStringList problems;
    for (const RunStore::RunInfo &run : RunStore::list()) {
        if (!run.problem.isEmpty()) {
            problems << run.problem;
            continue;
        }
        const RunJournal::Header &h = run.header;
        if (!host.folder.isEmpty() && QDir::cleanPath(h.folder) != host.folder)
            continue;
        const QString state = run.live       ? QStringLiteral("  (under way)")
                              : run.complete ? QString()
                                             : QStringLiteral("  (incomplete)");
        print(QStringLiteral("%1\t%2\t%3\t%4 -> %5\tfiles: %6%7")
                  .arg(run.id, h.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), h.folder,
                       h.find, h.replace)
                  .arg(run.files)
                  .arg(state));
    }
    std::fflush(stdout);
    return finish(problems);
}

int restore(const BenchHost &host, const CommandLine &commandLine)
{
    useProgramNames();
    if (commandLine.list)
        return listRuns(host);
    QStringList problems;
    const RestoreRun::Result result = commandLine.runId.isEmpty()
                                          ? RestoreRun::restoreLastIn(host.folder)
                                          : RestoreRun::restore(commandLine.runId);
    if (!result.found && result.problems.isEmpty())
        problems << QStringLiteral("no replace of %1 to restore").arg(host.folder);
    const PathPrinter paths(commandLine, host.folder);
    for (const RestoreRun::RestoredFile &file : result.restored) paths.print(file.path);
    std::fflush(stdout);
    printError(QStringLiteral("files: %1\n").arg(result.restored.size()));
    for (const PassedOverFile &file : result.passedOver)
        problems << file.path + QStringLiteral(": ") + file.reason;
    problems << result.problems;
    return finish(problems);
}

// A preview: the unified diff on standard output, or with summary the list
// the window would show, a file and its count a line. Returns the counts for
// standard error.
QString preview(BenchHost &host, const CommandLine &commandLine)
{
    const auto counts = [](qint64 files, qint64 replacements) {
        return QStringLiteral("files: %1\nreplacements: %2\n").arg(files).arg(replacements);
    };
    if (commandLine.summary) {
        PreviewResult list = PreviewResult::forRequest(RunRequest::termsOf(host));
        PreviewRun::preview(host.ctx, list);
        const PathPrinter paths(commandLine, host.folder);
        for (int i = 0; i < list.fileCount(); ++i)
            paths.printCounted(list.path(i), list.replacementCount(i));
        return counts(list.fileCount(), list.replacementTotal());
    }
    DiffPrinter diff(host.folder);
    PreviewRun::preview(host.ctx, diff);
    return counts(diff.fileCount(), diff.replacementCount());
}

int run(const CommandLine &commandLine, BenchHost &host)
{
    // The originals a replace keeps stay where the window keeps them, so that
    // restore finds them later.
    useProgramNames();
    RunStore::setRoot(RunStore::root());
    // The error log goes to a scratch folder, never beside the program or into
    // the user's data folder; its entries are read back at the end.
    QTemporaryDir scratch;
    Paths::setApplicationFolderForTesting(scratch.path());

    try {
        for (const FileSystem::Entry &e : FileSystem::listFolder(host.folder)) {
            if (e.kind == FileSystem::EntryKind::File)
                host.files << e.name;
        }
    } catch (const std::exception &e) {
        host.problems << QString::fromLocal8Bit(e.what());
        return finish(host.problems);
    }

    const QString &command = commandLine.command;
    // A backup root named on the command line is made when missing, as
    // "mkdir -p" would; the window's dialog only takes an existing folder.
    if (command == QLatin1String("replace") && host.backup && !QDir().mkpath(host.backupFolder)) {
        host.problems << QStringLiteral("cannot make the backup folder %1").arg(host.backupFolder);
        return finish(host.problems);
    }

    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    QString previewCounts;
    if (command == QLatin1String("find"))
        startFind(host.ctx);
    else if (command == QLatin1String("preview"))
        previewCounts = preview(host, commandLine);
    else if (command == QLatin1String("replace"))
        runReplace(host.ctx);
    else
        runUndo(host.ctx);
    if (commandLine.timing) {
        std::fprintf(stderr, "run: %lld ms  cpu: %ld ms\n", static_cast<long long>(timer.elapsed()),
                     long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC));
    }

    // Standard output holds the results alone (the diff, for patch; the paths,
    // for xargs); the counts go to standard error.
    if (command == QLatin1String("preview")) {
        std::fflush(stdout);
        printError(previewCounts);
    } else {
        const PathPrinter paths(commandLine, host.folder);
        for (const QString &path : host.viewer.list) paths.print(path);
        std::fflush(stdout);
        printError(QStringLiteral("files: %1\n").arg(host.viewer.list.size()));
        if (command != QLatin1String("find"))
            printError(QStringLiteral("replacements: %1\n").arg(host.ctx.state.totalReplacements));
    }

    const QString log = scratch.filePath(QStringLiteral("ErrorLog.log"));
    for (const QString &description : loggedDescriptions(log)) {
        const bool shown = std::any_of(host.problems.cbegin(), host.problems.cend(),
                                       [&](const QString &p) { return p.contains(description); });
        if (!shown)
            host.problems << description;
    }
    return finish(host.problems);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BenchHost host;
    const CommandLine commandLine = parseCommandLine(app.arguments().mid(1), host);
    switch (commandLine.outcome) {
    case CommandLine::Outcome::Help:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stdout);
        return Done;
    case CommandLine::Outcome::Version:
        print(QStringLiteral("scrivlane-cli " SCRIVLANE_VERSION));
        return Done;
    case CommandLine::Outcome::UsageError:
        printError(commandLine.message);
        return UsageError;
    case CommandLine::Outcome::Run:
        break;
    }
    if (commandLine.command == QLatin1String("remove"))
        return remove(host);
    if (commandLine.command == QLatin1String("restore"))
        return restore(host, commandLine);
    return run(commandLine, host);
}
