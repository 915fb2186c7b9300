#include "engine/UnifiedDiff.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The diff of a replacement against what patch and diff -u make of the same files.
class tst_UnifiedDiff : public QObject {
    Q_OBJECT

private slots:
    void patchGivesTheNewBytes_data();
    void patchGivesTheNewBytes();
};

void tst_UnifiedDiff::patchGivesTheNewBytes_data()
{
    QTest::addColumn<QByteArray>("old");  // UTF-8
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("sameAsDiff");  // hunks equal diff -u's exactly
    const QByteArray lines = "one\ntwo cat\nthree\nfour\nfive\nsix\nseven\neight\nnine cat\nten\n";
    QTest::newRow("two hunks") << lines << "cat"
                               << "dog" << true;
    QTest::newRow("contexts meet") << lines.left(lines.indexOf("eight")) + "cat\n"
                                   << "cat"
                                   << "dog" << true;
    QTest::newRow("first and last line") << QByteArray("cat a\nb\nc\nd\ne\nf\ng\nh cat") << "cat"
                                         << "dog" << true;
    QTest::newRow("no final line end, last line") << QByteArray("a\nb\ncat") << "cat"
                                                  << "dog" << true;
    QTest::newRow("CR LF kept") << QByteArray("a\r\ncat\r\nb\r\n") << "cat"
                                << "caté" << true;
    QTest::newRow("lines joined") << QByteArray("a\ncat\nb\nc\n") << "cat\n"
                                  << "" << true;
    QTest::newRow("lines added") << QByteArray("a\ncat\nb\n") << "cat"
                                 << "x\ny\nz" << true;
    QTest::newRow("whole file") << QByteArray("cat") << "cat"
                                << "" << false;
    QTest::newRow("many on one line") << QByteArray("cat cat cat\n") << "cat"
                                      << "ca" << true;
    QTest::newRow("CR only line ends") << QByteArray("a\rcat\rb") << "cat"
                                       << "dog" << false;
}

void tst_UnifiedDiff::patchGivesTheNewBytes()
{
    QFETCH(QByteArray, old);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, sameAsDiff);
    const QString oldText = QString::fromUtf8(old);
    QString newText;
    QList<UnifiedDiff::Change> changes;
    qsizetype done = 0;
    for (qsizetype at = oldText.indexOf(find); at >= 0; at = oldText.indexOf(find, done)) {
        newText += oldText.mid(done, at - done);
        changes.append({at, find.size(), newText.size(), replace.size()});
        newText += replace;
        done = at + find.size();
    }
    newText += oldText.mid(done);
    const QByteArray newBytes = newText.toUtf8();
    const QByteArray hunks = UnifiedDiff::hunks(old, newBytes, oldText, newText, changes);

    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    };
    write(QStringLiteral("f"), old);
    write(QStringLiteral("g"), newBytes);
    write(QStringLiteral("p"), UnifiedDiff::header("f") + hunks);
    QProcess patch;
    patch.setWorkingDirectory(dir.path());
    patch.start(QStringLiteral("patch"), {QStringLiteral("-s"), QStringLiteral("-p1"),
                                          QStringLiteral("-i"), QStringLiteral("p")});
    QVERIFY(patch.waitForFinished());
    QCOMPARE(patch.exitCode(), 0);
    QFile patched(dir.filePath(QStringLiteral("f")));
    QVERIFY(patched.open(QIODevice::ReadOnly));
    QCOMPARE(patched.readAll(), newBytes);
    if (sameAsDiff) {
        QProcess diff;
        diff.setWorkingDirectory(dir.path());
        write(QStringLiteral("f"), old);
        diff.start(QStringLiteral("diff"),
                   {QStringLiteral("-u"), QStringLiteral("f"), QStringLiteral("g")});
        QVERIFY(diff.waitForFinished());
        const QByteArray expected = diff.readAllStandardOutput();
        QCOMPARE(hunks, expected.mid(expected.indexOf("\n@@") + 1));
    }
}

QTEST_GUILESS_MAIN(tst_UnifiedDiff)
#include "tst_unifieddiff.moc"
