// "window-find" and "window-replace": the same run as "find" and "replace", but
// through the main window's toolbar (offscreen), to time the window's own cost
// (yields, status text, the viewer's list) against the headless run, and to
// see how long input would wait during the run. "window-replace-ticked" runs
// Preview first and times its "Replace ticked" with everything ticked, the
// Replace the user makes from the preview. "--backup ROOT" ticks Create
// Backup with ROOT as the user's own backup folder.

#include "WindowBench.h"

#include "BenchHost.h"
#include "LoopGaps.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/PreviewDialog.h"
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
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
    const bool ticked = args.first() == QLatin1String("window-replace-ticked");
    const bool replace = ticked || args.first() == QLatin1String("window-replace");
    QString find, replacement, folder, backupRoot;
    bool all = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--find") && i + 1 < args.size())
            find = args.at(++i);
        else if (a == QLatin1String("--replace") && i + 1 < args.size())
            replacement = args.at(++i);
        else if (a == QLatin1String("--all"))
            all = true;
        else if (a == QLatin1String("--backup") && i + 1 < args.size())
            backupRoot = QFileInfo(args.at(++i)).absoluteFilePath();
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
    if (!backupRoot.isEmpty()) {
        BackupDialog &backup = *w.backupDialog();
        backup.backupRoot();  // loads the stored choice first
        backup.specifyOption->setChecked(true);
        backup.specifiedPathEdit->setText(backupRoot);
        if (!w.backupBox->isChecked())
            w.backupBox->click();
    }
    QApplication::processEvents();

    qint64 previewMs = -1;
    PreviewDialog *preview = nullptr;
    if (ticked) {
        QElapsedTimer previewTimer;
        previewTimer.start();
        w.tool(QStringLiteral("runBar"), QStringLiteral("preview"))->trigger();
        previewMs = previewTimer.elapsed();
        preview = w.findChild<PreviewDialog *>();
        if (!preview)
            return 1;
        QApplication::processEvents();
    }

    LoopGaps gaps([&w] { return w.statusDetailPanel->text().trimmed(); });
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    gaps.start();
    if (preview)
        preview->replaceTickedButton->click();
    else
        w.tool(QStringLiteral("runBar"),
               replace ? QStringLiteral("replace") : QStringLiteral("find"))
            ->trigger();
    gaps.stop();
    const qint64 ms = timer.elapsed();
    const long cpuMs = long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);
    ViewerWindow &viewer = *w.viewer();
    for (int i = 0; i < viewer.listCount(); ++i)
        std::printf("%s\n", QFile::encodeName(viewer.listItem(i)).constData());
    std::printf("files: %d\n", viewer.listCount());
    // The report's total, to set beside the headless run's.
    QFile report(scratch.filePath(QStringLiteral("Report.dat")));
    if (replace && report.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : report.readAll().split('\n')) {
            if (line.contains("Total Replacements Made"))
                std::printf("replacements: %s\n",
                            line.mid(line.indexOf(':') + 1).trimmed().replace(",", "").constData());
        }
    }
    std::fprintf(stderr, "run: %lld ms  cpu: %ld ms  resident: %ld KiB\n",
                 static_cast<long long>(ms), cpuMs, residentKiB());
    if (previewMs >= 0)
        std::fprintf(stderr, "preview: %lld ms\n", static_cast<long long>(previewMs));
    std::fprintf(stderr, "longest gap: %lld ms  (main thread cpu %lld ms; %d passes)  after: %s\n",
                 static_cast<long long>(gaps.longestMs()),
                 static_cast<long long>(gaps.longestCpuMs()), gaps.passes(),
                 gaps.longestAfter().toLocal8Bit().constData());
    w.close();
    return 0;
}
