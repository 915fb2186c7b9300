// Installs the built program into a temporary DESTDIR, as a package would, and
// checks it there: every desktop file in its standard place and accepted by the
// desktop's own validators, the help file found from the installed program, and
// the installed program starting (offscreen) on a fresh user's settings.

#include "platform/HelpFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString AppId = QStringLiteral("org.scrivlane.Scrivlane");

QString run(const QString &program, const QStringList &arguments, int *exitCode,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        process.kill();
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}
}  // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void filesInTheirStandardPlaces_data();
    void filesInTheirStandardPlaces();
    void validatorsAcceptTheDesktopFiles_data();
    void validatorsAcceptTheDesktopFiles();
    void installedProgramFindsItsHelpFile();
    void installedProgramStartsOffscreen();

private:
    QString installed(const QString &path) const
    {
        return m_root.filePath(QStringLiteral("usr/") + path);
    }

    QTemporaryDir m_root;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_root.path());
    int exitCode = 0;
    const QString output = run(QStringLiteral(SCRIVLANE_CMAKE),
                               {QStringLiteral("--install"), QStringLiteral(SCRIVLANE_BUILD_DIR),
                                QStringLiteral("--prefix"), QStringLiteral("/usr")},
                               &exitCode, environment);
    QVERIFY2(exitCode == 0, qPrintable(output));
}

void TestInstall::filesInTheirStandardPlaces_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path :
         {QStringLiteral("bin/scrivlane"), QStringLiteral("share/scrivlane/Scrivlane.html"),
          QStringLiteral("share/applications/%1.desktop").arg(AppId),
          QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId),
          QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId),
          QStringLiteral("share/icons/hicolor/16x16/apps/%1.png").arg(AppId),
          QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(AppId),
          QStringLiteral("share/icons/hicolor/256x256/apps/%1.png").arg(AppId)})
        QTest::addRow("%s", qPrintable(path)) << path;
}

void TestInstall::filesInTheirStandardPlaces()
{
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(path));
}

void TestInstall::validatorsAcceptTheDesktopFiles_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::addRow("desktop entry") << "desktop-file-validate" << QStringList{}
                                   << QStringLiteral("share/applications/%1.desktop").arg(AppId);
    QTest::addRow("AppStream") << "appstreamcli"
                               << QStringList{QStringLiteral("validate"),
                                              QStringLiteral("--no-net"),
                                              QStringLiteral("--strict")}
                               << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId);
}

void TestInstall::validatorsAcceptTheDesktopFiles()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP("validator not installed (scripts/setup.sh installs it)");
    int exitCode = 0;
    const QString output = run(program, arguments << installed(path), &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(output));
}

void TestInstall::installedProgramFindsItsHelpFile()
{
    QCOMPARE(HelpFile::locate(installed(QStringLiteral("bin"))),
             QDir::toNativeSeparators(installed(QStringLiteral("share/scrivlane/Scrivlane.html"))));
}

void TestInstall::installedProgramStartsOffscreen()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
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
