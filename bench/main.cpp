// scrivlane-bench: runs the engine's Find or Replace over a folder tree from the
// command line, with every question answered Yes, for timing against grep and sed;
// "remove" deletes a folder tree exactly as the folder picker does after its Yes.

#include "BenchHost.h"
#include "WindowBench.h"

#include "engine/DeleteFilesSearch.h"
#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
int usage()
{
    std::fprintf(stderr,
                 "usage: scrivlane-bench find --find TEXT [--case] [--whole] "
                 "[--fuzzy FIRST SECOND] [--filters PATTERNS] [--all] FOLDER\n"
                 "       scrivlane-bench replace --find TEXT --replace TEXT [--case] [--whole] "
                 "[--fuzzy FIRST SECOND] [--backup ROOT] [--filters PATTERNS] [--all] FOLDER\n"
                 "       scrivlane-bench remove FOLDER\n"
                 "       scrivlane-bench window-find|window-replace --find TEXT [--replace TEXT] "
                 "[--all] FOLDER\n");
    return 2;
}

void print(const QString &line)
{
    std::fputs(QFile::encodeName(line).constData(), stdout);
    std::fputc('\n', stdout);
}

int remove(const QStringList &args)
{
    if (args.size() != 2)
        return usage();
    // The program's own names, so that its real folders are the guarded ones.
    QCoreApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Scrivlane"));
    BenchHost host;
    host.onStatus = print;
    try {
        FolderRemoval::removeTree(host, args.at(1));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strncmp(argv[1], "window-", 7) == 0)
        return windowBench(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    if (command == QLatin1String("remove"))
        return remove(args);
    if (command != QLatin1String("find") && command != QLatin1String("replace"))
        return usage();

    BenchHost host;
    bool haveReplace = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString &target) {
            if (i + 1 >= args.size())
                return false;
            target = args.at(++i);
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--find"))
            ok = value(host.find);
        else if (a == QLatin1String("--replace"))
            ok = haveReplace = value(host.replace);
        else if (a == QLatin1String("--case"))
            host.caseSensitive = true;
        else if (a == QLatin1String("--whole"))
            host.wholeWord = true;
        else if (a == QLatin1String("--all"))
            host.selectAll = true;
        else if (a == QLatin1String("--filters"))
            ok = value(host.filterText);
        else if (a == QLatin1String("--backup"))
            ok = host.backup = value(host.backupFolder);
        else if (a == QLatin1String("--fuzzy")) {
            host.fuzzy = true;
            ok = value(host.first) && value(host.second);
        } else if (a.startsWith(QLatin1String("--")))
            ok = false;
        else
            host.folder = QDir::cleanPath(QFileInfo(a).absoluteFilePath());
        if (!ok)
            return usage();
    }
    if (host.folder.isEmpty() || (command == QLatin1String("replace") && !haveReplace))
        return usage();

    // The error log goes to a scratch folder, never beside the bench binary.
    QTemporaryDir scratch;
    Paths::setApplicationFolderForTesting(scratch.path());

    try {
        for (const FileSystem::Entry &e : FileSystem::listFolder(host.folder)) {
            if (e.kind == FileSystem::EntryKind::File)
                host.files << e.name;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    if (command == QLatin1String("find")) {
        cmdFind_Click(host.ctx);
        std::fprintf(stderr, "run: %lld ms  cpu: %ld ms\n", static_cast<long long>(timer.elapsed()),
                     long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC));
        for (const QString &path : host.viewer.list) print(path);
        print(QStringLiteral("files: ") + QString::number(host.viewer.list.size()));
    } else {
        cmdReplace_Click(host.ctx);
        for (const QString &path : host.viewer.list) print(path);
        print(QStringLiteral("files: ") + QString::number(host.viewer.list.size()));
        print(QStringLiteral("replacements: ") + QString::number(host.ctx.state.TotalReplacements));
    }
    return 0;
}
