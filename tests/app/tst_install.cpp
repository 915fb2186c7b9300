// Installs the built program into a temporary DESTDIR, as a package would, and
// checks it there: the desktop files in their standard places and accepted by
// the desktop's validators, the help file found from the installed program, and
// the installed program starting (offscreen) on a fresh user's settings.

#include "platform/HelpFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void validatorsAcceptTheDesktopFiles_data();
    void validatorsAcceptTheDesktopFiles();
    void programFindsItsHelpFileAndIcons();
    void installedProgramStartsOffscreen();

private:
    QString installed(const QString &path) const
    {
        return m_root.filePath(QStringLiteral("usr/") +
                               QString(path).replace(QStringLiteral("ID"), m_id));
    }

    QTemporaryDir m_root;
    const QString m_id = QStringLiteral("org.scrivlane.Scrivlane");
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_root.path());
    install.setProcessEnvironment(environment);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(SCRIVLANE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(SCRIVLANE_BUILD_DIR),
                   QStringLiteral("--prefix"), QStringLiteral("/usr")});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

void TestInstall::validatorsAcceptTheDesktopFiles_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addRow("desktop entry")
        << QStringList{"desktop-file-validate", "share/applications/ID.desktop"};
    QTest::addRow("AppStream") << QStringList{"appstreamcli", "validate", "--no-net", "--strict",
                                              "share/metainfo/ID.metainfo.xml"};
}

void TestInstall::validatorsAcceptTheDesktopFiles()
{
    QFETCH(QStringList, command);
    const QString program = QStandardPaths::findExecutable(command.takeFirst());
    if (program.isEmpty())
        QSKIP("validator not installed (scripts/setup.sh installs it)");
    command.last() = installed(command.last());
    QVERIFY2(QFileInfo(command.last()).isFile(), qPrintable(command.last()));
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(program, command);
    QVERIFY(validator.waitForFinished(60000));
    QVERIFY2(validator.exitCode() == 0, validator.readAll().constData());
}

void TestInstall::programFindsItsHelpFileAndIcons()
{
    QCOMPARE(HelpFile::locate(installed(QStringLiteral("bin"))),
             QDir::toNativeSeparators(installed(QStringLiteral("share/scrivlane/Scrivlane.html"))));
    // In the build folder the copy beside the program comes first.
    const QString built = QStringLiteral(SCRIVLANE_BUILD_DIR "/src/app");
    QCOMPARE(HelpFile::locate(built),
             QDir::toNativeSeparators(built + QStringLiteral("/Scrivlane.html")));
    for (const char *icon : {"scalable/apps/ID.svg", "16x16/apps/ID.png", "48x48/apps/ID.png",
                             "256x256/apps/ID.png"}) {
        const QString path =
            installed(QStringLiteral("share/icons/hicolor/") + QLatin1String(icon));
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    }
}

void TestInstall::installedProgramStartsOffscreen()
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home.filePath(QString::fromLatin1(name));
        QVERIFY(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QString::fromLatin1(name), folder);
    }
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(installed(QStringLiteral("bin/scrivlane")), {});
    QVERIFY(program.waitForStarted());
    // A fresh user's start-up stores the folder it opens on: then it is up.
    const QString settings =
        home.filePath(QStringLiteral("XDG_CONFIG_HOME/Scrivlane/Scrivlane.ini"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(settings) || program.state() == QProcess::NotRunning,
                             60000);
    QVERIFY2(program.state() == QProcess::Running, program.readAllStandardError().constData());
    program.terminate();
    if (!program.waitForFinished(10000))
        program.kill();
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
