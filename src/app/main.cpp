#include "ScrivlaneVersion.h"
#include "ui/UiImages.h"
#include "ui/main/MainWindow.h"
#include "ui/main/WindowCommandLine.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {
void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QCoreApplication::setOrganizationName(QStringLiteral("Scrivlane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SCRIVLANE_VERSION));
}

int finish(const WindowCommandLine &line)
{
    std::FILE *stream = line.outcome == WindowCommandLine::Outcome::Fail ? stderr : stdout;
    std::fputs(line.output.toLocal8Bit().constData(), stream);
    return line.exitStatus();
}
}  // namespace

int main(int argc, char *argv[])
{
    // The command line is read before the window system is reached, so that
    // help, version and a wrong command line work without a display.
    {
        QCoreApplication core(argc, argv);
        nameTheProgram();
        const WindowCommandLine early = WindowCommandLine::parse(
            WindowCommandLine::withoutWindowSystemOptions(core.arguments()), QDir::currentPath());
        if (early.outcome != WindowCommandLine::Outcome::Start)
            return finish(early);
    }
    QApplication app(argc, argv);
    nameTheProgram();
    // The window system's own options are gone from arguments() by now.
    const WindowCommandLine line = WindowCommandLine::parse(app.arguments(), QDir::currentPath());
    if (line.outcome != WindowCommandLine::Outcome::Start)
        return finish(line);
    // Matches the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(SCRIVLANE_APP_ID));
    QApplication::setWindowIcon(UiImages::applicationIcon());
    MainWindow window;
    // A second copy hands its folder to the running one and ends here, before
    // anything else is read or shown.
    if (!window.startUp(line.folder))
        return 0;
    return app.exec();
}
