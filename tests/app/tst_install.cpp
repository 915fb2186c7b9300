// Installs the built program into a temporary DESTDIR and builds its Debian
// package, then checks both: the validators, lintian, the files Debian asks for,
// the help file and a fresh user's offscreen start.

#include "platform/HelpFile.h"

#include <QtTest>

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_package;  // cpack's output, the .deb unpacked into tree/
    QString m_deb;
    QString installed(QString path) const
    {
        return m_root.filePath("usr/" + path.replace("ID", "org.scrivlane.Scrivlane"));
    }
    QString packaged(QString path) const
    {
        return m_package.filePath("tree/usr/" + path.replace("ID", "org.scrivlane.Scrivlane"));
    }
    static QByteArray output(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(240000);
        return process.readAllStandardOutput() + process.readAllStandardError();
    }

private slots:
    void initTestCase()
    {
        qputenv("DESTDIR", m_root.path().toLocal8Bit());  // the tools' output shows on failure
        QCOMPARE(QProcess::execute(SCRIVLANE_CMAKE,
                                   {"--install", SCRIVLANE_BUILD_DIR, "--prefix", "/usr"}),
                 0);
        qunsetenv("DESTDIR");
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty())
            return;  // not a Debian system: the package checks skip
        QCOMPARE(QProcess::execute(SCRIVLANE_CPACK, {"-G", "DEB", "--config",
                                                     SCRIVLANE_BUILD_DIR "/CPackConfig.cmake", "-B",
                                                     m_package.path()}),
                 0);
        const QStringList debs = QDir(m_package.path()).entryList({"*.deb"});
        QCOMPARE(debs.size(), 1);
        m_deb = m_package.filePath(debs.first());
        QCOMPARE(QProcess::execute("dpkg-deb", {"-x", m_deb, m_package.filePath("tree")}), 0);
    }

    void validatorsAcceptTheDesktopFiles_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("package");
        for (const bool package : {false, true}) {
            const char *where = package ? "package" : "install";
            QTest::addRow("desktop entry, %s", where)
                << QStringList{"desktop-file-validate", "share/applications/ID.desktop"} << package;
            QTest::addRow("AppStream, %s", where)
                << QStringList{"appstreamcli", "validate", "--no-net", "--strict",
                               "share/metainfo/ID.metainfo.xml"}
                << package;
        }
    }
    void validatorsAcceptTheDesktopFiles()
    {
        QFETCH(QStringList, command);
        QFETCH(bool, package);
        const QString program = QStandardPaths::findExecutable(command.takeFirst());
        if (program.isEmpty())
            QSKIP("validator not installed (scripts/setup.sh installs it)");
        if (package && m_deb.isEmpty())
            QSKIP("no Debian package tools (dpkg-deb)");
        command.last() = package ? packaged(command.last()) : installed(command.last());
        QCOMPARE(QProcess::execute(program, command), 0);
    }

    void lintianPassesThePackage()
    {
        if (m_deb.isEmpty())
            QSKIP("no Debian package tools (dpkg-deb)");
        // The changelog's latest entry names the version the package carries.
        const QByteArray version = output("dpkg-deb", {"-f", m_deb, "Version"}).trimmed();
        const QByteArray changelog =
            output("gzip", {"-dc", packaged("share/doc/scrivlane/changelog.Debian.gz")});
        QVERIFY2(changelog.startsWith("scrivlane (" + version + ")"), changelog.constData());
        const QString lintian = QStandardPaths::findExecutable("lintian");
        if (lintian.isEmpty())
            QSKIP("lintian not installed (scripts/setup.sh installs it)");
        // Warnings count as failures; the justified ones are overridden in the
        // package itself (data/debian/lintian-overrides).
        QProcess process;
        process.start(lintian, {"--fail-on", "error,warning", m_deb});
        QVERIFY(process.waitForFinished(240000));
        QVERIFY2(process.exitCode() == 0,
                 (process.readAllStandardOutput() + process.readAllStandardError()).constData());
    }

    void packageCarriesWhatDebianAsksFor_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("start");
        const QByteArray gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02", 9);  // -9n: no name, no time
        QTest::addRow("window manual page") << "share/man/man1/scrivlane.1.gz" << gzip;
        QTest::addRow("tool manual page") << "share/man/man1/scrivlane-cli.1.gz" << gzip;
        QTest::addRow("changelog") << "share/doc/scrivlane/changelog.Debian.gz" << gzip;
        QTest::addRow("copyright")
            << "share/doc/scrivlane/copyright"
            << QByteArray("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/");
        QTest::addRow("tool") << "bin/scrivlane-cli"
                              << QByteArray(
                                     "\x7f"
                                     "ELF");
    }
    void packageCarriesWhatDebianAsksFor()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, start);
        QFile file(installed(path));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QCOMPARE(file.read(start.size()), start);
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
