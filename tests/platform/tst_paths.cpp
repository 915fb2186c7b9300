#include "platform/Paths.h"

#include <QtTest>

class TestPaths : public QObject {
    Q_OBJECT

private slots:
    // The test binary's folder is writable (and the suite may run as root):
    // the program's own files must still go to the user's data folder.
    void programFilesNeverGoBesideTheExecutable()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps them beside a writable executable");
#endif
        QCoreApplication::setApplicationName(QStringLiteral("Scrivlane"));
        QCoreApplication::setOrganizationName(QStringLiteral("Scrivlane"));
        const QString folder = QDir::fromNativeSeparators(Paths::applicationFolder());
        QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir::fromNativeSeparators(Paths::startFolder()), QDir::homePath());
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
