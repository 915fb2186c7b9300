#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlane"));
    QApplication::setOrganizationName(QStringLiteral("Scrivlane"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral(" Scrivlane"));
    window.show();
    return app.exec();
}
