// "window-find" and "window-replace": the same run as "find" and "replace", but
// through the main window's toolbar (offscreen), to time the window's own cost
// (yields, status text, the viewer's list) against the headless run, and to
// see how long input would wait during the run.

#include "WindowBench.h"

#include "BenchHost.h"
#include "LoopGaps.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/main/MainWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {
// Resident memory in KiB, from /proc (0 where there is none).
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}
}  // namespace

int windowBench(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool replace = args.first() == QLatin1String("window-replace");
    QString find, replacement, folder;
    bool all = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--find") && i + 1 < args.size())
            find = args.at(++i);
        else if (a == QLatin1String("--replace") && i + 1 < args.size())
            replacement = args.at(++i);
        else if (a == QLatin1String("--all"))
            all = true;
        else if (!a.startsWith(QLatin1String("--")))
            folder = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(a).absoluteFilePath()));
        else
            return 2;
    }
    if (find.isEmpty() || folder.isEmpty())
        return 2;

    // Own settings and application folder: the user's are never touched.
    QTemporaryDir scratch;
    Paths::setApplicationFolderForTesting(scratch.path());
    SettingsStore::setStoreFileForTesting(scratch.filePath(QStringLiteral("settings.ini")));
    BenchHost answers;
    MainWindow w(&answers);
    if (!w.startUp())
        return 1;
    w.folderList->setPath(folder);
    w.filterBox->setCurrentIndex(w.filterBox->findText(QStringLiteral("*.*")));
    if (!w.subfoldersBox->isChecked())
        w.subfoldersBox->click();
    if (all)
        w.selectAllFiles();
    w.findBox->setEditText(find);
    w.replaceBox->setEditText(replacement);
    QApplication::processEvents();

    LoopGaps gaps([&w] { return w.statusDetailPanel->text().trimmed(); });
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    gaps.start();
    w.tool(QStringLiteral("runBar"), replace ? QStringLiteral("replace") : QStringLiteral("find"))
        ->trigger();
    gaps.stop();
    const qint64 ms = timer.elapsed();
    const long cpuMs = long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);
    ViewerWindow &viewer = *w.viewer();
    for (int i = 0; i < viewer.listCount(); ++i)
        std::printf("%s\n", QFile::encodeName(viewer.listItem(i)).constData());
    std::printf("files: %d\n", viewer.listCount());
    std::fprintf(stderr, "run: %lld ms  cpu: %ld ms  resident: %ld KiB\n",
                 static_cast<long long>(ms), cpuMs, residentKiB());
    std::fprintf(stderr, "longest gap: %lld ms  (main thread cpu %lld ms; %d passes)  after: %s\n",
                 static_cast<long long>(gaps.longestMs()),
                 static_cast<long long>(gaps.longestCpuMs()), gaps.passes(),
                 gaps.longestAfter().toLocal8Bit().constData());
    w.close();
    return 0;
}
