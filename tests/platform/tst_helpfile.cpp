#include "platform/HelpFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpFile : public QObject {
    Q_OBJECT

private slots:
    void foundBesideOrInstalled_data();
    void foundBesideOrInstalled();
};

void TestHelpFile::foundBesideOrInstalled_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");
    const QString beside = QStringLiteral("usr/bin/Scrivlane.html");
    const QString installed = QStringLiteral("usr/share/scrivlane/Scrivlane.html");
    QTest::addRow("build folder") << QStringList{beside} << beside;
    QTest::addRow("installed") << QStringList{installed} << installed;
    QTest::addRow("both: the build's own copy") << QStringList{beside, installed} << beside;
    QTest::addRow("a folder by that name is no help file")
        << QStringList{QStringLiteral("usr/bin/Scrivlane.html/x"), installed} << installed;
}

void TestHelpFile::foundBesideOrInstalled()
{
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir(root.path()).mkpath(QStringLiteral("usr/bin"));
    for (const QString &file : std::as_const(present)) {
        QDir(root.path()).mkpath(QFileInfo(root.filePath(file)).path());
        QFile help(root.filePath(file));
        QVERIFY(help.open(QIODevice::WriteOnly));
    }
    QCOMPARE(HelpFile::locate(root.filePath(QStringLiteral("usr/bin"))),
             QDir::toNativeSeparators(root.filePath(expected)));
}

QTEST_GUILESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
