#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QApplication::setOrganizationName(QStringLiteral("Scrivlane"));
    MainWindow window;
    // A refused second copy ends here, before anything else is read or shown.
    if (!window.Form_Load())
        return 0;
    return app.exec();
}
