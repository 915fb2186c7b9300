#include "ScrivlaneVersion.h"
#include "ui/UiImages.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QApplication::setOrganizationName(QStringLiteral("Scrivlane"));
    QApplication::setApplicationVersion(QStringLiteral(SCRIVLANE_VERSION));
    // Matches the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(SCRIVLANE_APP_ID));
    QApplication::setWindowIcon(UiImages::applicationIcon());
    MainWindow window;
    // A refused second copy ends here, before anything else is read or shown.
    if (!window.Form_Load())
        return 0;
    return app.exec();
}
