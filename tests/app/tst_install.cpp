// Installs the built program into a temporary DESTDIR, as a package would, and checks
// the desktop files, the help file and a fresh user's offscreen start there.

#include "platform/HelpFile.h"

#include <QtTest>

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString installed(QString path) const
    {
        return m_root.filePath("usr/" + path.replace("ID", "org.scrivlane.Scrivlane"));
    }

private slots:
    void initTestCase()
    {
        qputenv("DESTDIR", m_root.path().toLocal8Bit());  // the tools' output shows on failure
        QCOMPARE(QProcess::execute(SCRIVLANE_CMAKE,
                                   {"--install", SCRIVLANE_BUILD_DIR, "--prefix", "/usr"}),
                 0);
        qunsetenv("DESTDIR");
    }

    void validatorsAcceptTheDesktopFiles_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addRow("desktop entry")
            << QStringList{"desktop-file-validate", "share/applications/ID.desktop"};
        QTest::addRow("AppStream") << QStringList{"appstreamcli", "validate", "--no-net",
                                                  "--strict", "share/metainfo/ID.metainfo.xml"};
    }
    void validatorsAcceptTheDesktopFiles()
    {
        QFETCH(QStringList, command);
        const QString program = QStandardPaths::findExecutable(command.takeFirst());
        if (program.isEmpty())
            QSKIP("validator not installed (scripts/setup.sh installs it)");
        command.last() = installed(command.last());
        QCOMPARE(QProcess::execute(program, command), 0);
    }

    void programFindsItsHelpFileAndIcons()
    {
        QCOMPARE(HelpFile::locate(installed("bin")),
                 QDir::toNativeSeparators(installed("share/scrivlane/Scrivlane.html")));
        // In the build folder the copy beside the program comes first.
        const QString built = SCRIVLANE_BUILD_DIR "/src/app";
        QCOMPARE(HelpFile::locate(built), QDir::toNativeSeparators(built + "/Scrivlane.html"));
        for (const QString icon : {"scalable/apps/ID.svg", "16x16/apps/ID.png", "48x48/apps/ID.png",
                                   "256x256/apps/ID.png"})
            QVERIFY2(QFileInfo(installed("share/icons/hicolor/" + icon)).isFile(),
                     qPrintable(icon));
    }

    void installedProgramStartsOffscreen()
    {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const QString name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            QVERIFY(QDir(home.path())
                        .mkdir(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            environment.insert(name, home.filePath(name));
        }
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(installed("bin/scrivlane"), {});
        // A fresh user's start-up stores the folder it opens on: then it is up.
        const QString settings = home.filePath("XDG_CONFIG_HOME/Scrivlane/Scrivlane.ini");
        QTRY_VERIFY_WITH_TIMEOUT(
            QFileInfo::exists(settings) || program.state() == QProcess::NotRunning, 60000);
        QVERIFY2(program.state() == QProcess::Running, program.readAllStandardError().constData());
        program.kill();
        program.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
