// The lock and socket that let a second launch hand its folder to the running
// window live only in a folder private to the user; any other folder is
// refused, and each copy then runs on its own.

#include "ui/main/SingleInstance.h"

#include <QtTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

class TestSingleInstance : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QByteArray m_runtime;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    static void makeFolder(const QString &folder, mode_t mode)
    {
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode), 0);
    }

private slots:
    void init()
    {
        m_dir.emplace();
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(path("tmp")));
        QDir().mkpath(path("tmp"));
    }
    void cleanup()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime);
        qunsetenv("TMPDIR");
        m_dir.reset();
    }

    void usesOnlyAPrivateFolder_data()
    {
        QTest::addColumn<QString>("runtime");  // XDG_RUNTIME_DIR; empty: unset
        QTest::addColumn<QString>("prepare");  // what is at "place" before the start
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("shared");  // a second copy is refused and hands over
        const QString own = "tmp/scrivlane-" + QString::number(::geteuid());
        QTest::addRow("runtime folder") << "run"
                                        << "0700"
                                        << "run" << true;
        QTest::addRow("runtime folder others can read") << "run"
                                                        << "0755"
                                                        << "run" << false;
        QTest::addRow("runtime folder others can write") << "run"
                                                         << "0777"
                                                         << "run" << false;
        QTest::addRow("runtime folder through a link") << "link"
                                                       << "link"
                                                       << "link" << false;
        QTest::addRow("no runtime folder: the user's own, made") << ""
                                                                 << "" << own << true;
        QTest::addRow("no runtime folder: the user's own, kept") << ""
                                                                 << "0700" << own << true;
        QTest::addRow("no runtime folder: one others can write") << ""
                                                                 << "0777" << own << false;
        QTest::addRow("no runtime folder: a link") << ""
                                                   << "link" << own << false;
        QTest::addRow("no runtime folder: a file") << ""
                                                   << "file" << own << false;
    }
    void usesOnlyAPrivateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, prepare);
        QFETCH(QString, place);
        QFETCH(bool, shared);
        const QString folder = path(place);
        if (prepare == "link") {
            makeFolder(path("elsewhere"), 0700);
            QVERIFY(QFile::link(path("elsewhere"), folder));
        } else if (prepare == "file") {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (!prepare.isEmpty()) {
            makeFolder(folder, mode_t(prepare.toUInt(nullptr, 8)));
        }
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(runtime)));

        SingleInstance first;
        QVERIFY(first.tryAcquire());  // the window starts, whatever the folder
        SingleInstance second;
        QCOMPARE(second.tryAcquire(), !shared);
        QSignalSpy handed(&first, &SingleInstance::handedOver);
        QCOMPARE(SingleInstance::handOver("/some/folder"), shared);
        if (shared) {
            QCOMPARE(SingleInstance::lockFilePath(), folder + "/scrivlane.lock");
            QVERIFY(handed.wait());
            QCOMPARE(handed.at(0).at(0).toString(), QStringLiteral("/some/folder"));
            QFileInfo info(folder);
            QCOMPARE(int(info.permissions() & 0x0077), 0);  // nothing for group or others
        } else {
            QCOMPARE(SingleInstance::lockFilePath(), QString());
            QCOMPARE(SingleInstance::socketPath(), QString());
            // Nothing was written where another user could have put it.
            QVERIFY(!QFileInfo::exists(folder + "/scrivlane.lock"));
            QVERIFY(!QFileInfo::exists(path("elsewhere/scrivlane.lock")));
        }
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
