#include "backup/ReportWriter.h"

#include "engine/TimeStamp.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Paths.h"
#include "support/FakeRunHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <ctime>

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QString kRule = QStringLiteral("    ") + QString(70, QLatin1Char('_'));
const QDateTime kStart(QDate(2026, 12, 7), QTime(23, 58, 0));

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString entry(int number, const QString &path, int replacements)
{
    return QStringLiteral("\r\n") + QString(12 - QString::number(number).size(), u' ') +
           QString::number(number) + QStringLiteral(")  ") + path +
           QStringLiteral("\r\n               Replacements made: ") +
           QString::number(replacements) + QStringLiteral("\r\n");
}

}  // namespace

class tst_ReportWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The long time format names the zone; pin it so the expected texts hold.
        qputenv("TZ", "UTC");
        tzset();
        QLocale::setDefault(kEnglish);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        Paths::setApplicationFolderForTesting(m_dir->path());
        m_report = m_dir->filePath(QStringLiteral("Report.dat"));
    }
    void cleanup()
    {
        Paths::setApplicationFolderForTesting(QString());
        Clock::setNowForTesting(nullptr);
    }

    void diffSeconds_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint32>("seconds");
        QTest::addRow("zero") << qint64(0) << 0;
        QTest::addRow("half rounds to even 0") << qint64(500) << 0;
        QTest::addRow("half rounds to even 2") << qint64(1500) << 2;
        QTest::addRow("2.5 rounds to 2") << qint64(2500) << 2;
        QTest::addRow("below half") << qint64(1499) << 1;
        QTest::addRow("above half") << qint64(1501) << 2;
        QTest::addRow("two days") << qint64(2) * 86400000 << 172800;
        QTest::addRow("clock set back") << qint64(-90000) << 0;
        QTest::addRow("a century saturates")
            << qint64(100) * 366 * 86400000 << std::numeric_limits<qint32>::max();
    }
    void diffSeconds()
    {
        QFETCH(qint64, ms);
        QFETCH(qint32, seconds);
        QCOMPARE(secondsBetween(kStart, kStart.addMSecs(ms)), seconds);
    }

    void numberPatterns_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("twoDecimals");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::addRow("zero") << 0.0 << kEnglish << QString() << QStringLiteral(".");
        QTest::addRow("rounds to zero") << 0.3 << kEnglish << QString() << QStringLiteral(".3");
        QTest::addRow("half rounds up")
            << 2.5 << kEnglish << QStringLiteral("3") << QStringLiteral("2.5");
        QTest::addRow("whole number keeps separator")
            << 2.0 << kEnglish << QStringLiteral("2") << QStringLiteral("2.");
        QTest::addRow("two decimals")
            << 61.0 / 60 << kEnglish << QStringLiteral("1") << QStringLiteral("1.02");
        QTest::addRow("leading decimal zero kept")
            << 3.05 << kEnglish << QStringLiteral("3") << QStringLiteral("3.05");
        QTest::addRow("grouped") << 1234567.25 << kEnglish << QStringLiteral("1,234,567")
                                 << QStringLiteral("1,234,567.25");
        QTest::addRow("german") << 1234.5 << german << QStringLiteral("1.235")
                                << QStringLiteral("1.234,5");
        QTest::addRow("c locale still groups")
            << 12345.0 << QLocale::c() << QStringLiteral("12,345") << QStringLiteral("12,345.");
    }
    void numberPatterns()
    {
        QFETCH(double, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, whole);
        QFETCH(QString, twoDecimals);
        QCOMPARE(ReportWriter::formatWhole(value, locale), whole);
        QCOMPARE(ReportWriter::formatTwoDecimals(value, locale), twoDecimals);
    }

    void reportFile_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("replacements");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("rate");
        const QString sameDay = QStringLiteral("Monday, December 7, 2026 @ ");
        QTest::addRow("0 seconds, rate is the total")
            << qint64(0) << 12 << sameDay + QStringLiteral("11:58:00 PM UTC")
            << QStringLiteral("0 seconds") << QStringLiteral("12");
        // The start is kept to the second, so the end is too: both read 11:58:00.
        QTest::addRow("part of a second")
            << qint64(700) << 12 << sameDay + QStringLiteral("11:58:00 PM UTC")
            << QStringLiteral("0 seconds") << QStringLiteral("12");
        QTest::addRow("1 second") << qint64(1000) << 5
                                  << sameDay + QStringLiteral("11:58:01 PM UTC")
                                  << QStringLiteral("1 second") << QStringLiteral("5");
        QTest::addRow("5 seconds")
            << qint64(5000) << 10 << sameDay + QStringLiteral("11:58:05 PM UTC")
            << QStringLiteral("5 seconds") << QStringLiteral("2");
        QTest::addRow("exactly 60 seconds")
            << qint64(60000) << 1200 << sameDay + QStringLiteral("11:59:00 PM UTC")
            << QStringLiteral("60 seconds") << QStringLiteral("20");
        QTest::addRow("90 seconds")
            << qint64(90000) << 4500 << sameDay + QStringLiteral("11:59:30 PM UTC")
            << QStringLiteral("1.5 minutes") << QStringLiteral("50");
        QTest::addRow("passing midnight")
            << qint64(150000) << 30 << QStringLiteral("Tuesday, December 8, 2026 @ 12:00:30 AM UTC")
            << QStringLiteral("2.5 minutes") << QString();
        // "#,###" prints nothing for a value that rounds to 0.
        QTest::addRow("rate below one half is empty")
            << qint64(10000) << 3 << sameDay + QStringLiteral("11:58:10 PM UTC")
            << QStringLiteral("10 seconds") << QString();
        QTest::addRow("rate of one half rounds up")
            << qint64(10000) << 5 << sameDay + QStringLiteral("11:58:10 PM UTC")
            << QStringLiteral("10 seconds") << QStringLiteral("1");
        QTest::addRow("clock set back counts as 0")
            << qint64(-30000) << 7 << sameDay + QStringLiteral("11:57:30 PM UTC")
            << QStringLiteral("0 seconds") << QStringLiteral("7");
        QTest::addRow("grouped totals, whole minutes")
            << qint64(120000) << 1234567
            << QStringLiteral("Tuesday, December 8, 2026 @ 12:00:00 AM UTC")
            << QStringLiteral("2. minutes") << QStringLiteral("10,288");
    }
    void reportFile()
    {
        QFETCH(qint64, ms);
        QFETCH(int, replacements);
        QFETCH(QString, endText);
        QFETCH(QString, duration);
        QFETCH(QString, rate);

        FakeRunHost host;
        setUpRun(host, ms, replacements);
        writeReport(host.taken());

        const QString expected =
            kRule +
            QStringLiteral(
                "\r\n"
                "\r\n"
                "      SEARCH TOTALS:\r\n"
                "      Search Start            : Monday, December 7, 2026 @ 11:58:00 PM UTC\r\n"
                "      Search End              : ") +
            endText + QStringLiteral("\r\n      Total Search Time       : ") + duration +
            QStringLiteral("\r\n      Total Replacements Made : ") +
            kEnglish.toString(replacements) +
            QStringLiteral(
                "\r\n      Total Modified Files    : 2"
                "\r\n      Replacements Per Second : ") +
            rate + QStringLiteral("\r\n") + kRule +
            QStringLiteral(
                "\r\n"
                "\r\n"
                "      MODIFIED FILES:\r\n"
                "\r\n"
                "           1)  /data/über.txt\r\n"
                "               Replacements made: 1\r\n"
                "\r\n"
                "           2)  /data/b.txt\r\n"
                "               Replacements made: 2\r\n") +
            kRule + QStringLiteral("\r\n");
        QCOMPARE(QString::fromUtf8(readAll(m_report)), expected);
        QCOMPARE(readAll(m_report), expected.toUtf8());
    }

    void runIsResetAndReportShown()
    {
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        host.main.minimized = true;
        writeReport(host.taken());

        const DocumentBuffer &buffer = host.viewer.document;
        QCOMPARE(buffer.text(), QString::fromUtf8(readAll(m_report)));
        QCOMPARE(buffer.fileName(), m_report);
        QCOMPARE(buffer.encoding(), TextEncoding::Utf8);
        QCOMPARE(host.viewer.caption, QStringLiteral("Viewing document: ") + m_report);
        QVERIFY(host.viewer.skipNext);
        QCOMPARE(host.viewer.reportLayouts, 1);
        QCOMPARE(host.ctx.state.modifiedFileCount, 0);
        QCOMPARE(host.ctx.state.totalReplacements, 0);
        QVERIFY(host.ctx.state.reportBody.isEmpty());
        QCOMPARE(host.main.fileListRefreshes, 1);
        QVERIFY(!host.main.minimized);
        QCOMPARE(host.events.last(), QStringLiteral("idle"));
    }

    void backupLine_data()
    {
        // The line names the folder that holds this start folder's copies.
        QTest::addColumn<bool>("backup");
        QTest::addColumn<bool>("specified");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("tail");
        QTest::addRow("no backup") << false << true << "/b"
                                   << "/p1/docs" << QString();
        QTest::addRow("specified folder") << true << true << "/home/u/safe"
                                          << "/p1/docs"
                                          << "/home/u/safe/Backup/p1/docs/";
        QTest::addRow("a namesake elsewhere") << true << true << "/home/u/safe"
                                              << "/p2/docs/"
                                              << "/home/u/safe/Backup/p2/docs/";
        QTest::addRow("specified root gets no double separator") << true << true << "/"
                                                                 << "/p1/docs"
                                                                 << "/Backup/p1/docs/";
        QTest::addRow("default location") << true << false << "/ignored"
                                          << "/p1/docs"
                                          << "<app>/Backup/p1/docs/";
        QTest::addRow("start folder at the root") << true << true << "/s"
                                                  << "/"
                                                  << "/s/Backup/";
    }
    void backupLine()
    {
        QFETCH(bool, backup);
        QFETCH(bool, specified);
        QFETCH(QString, root);
        QFETCH(QString, folder);
        QFETCH(QString, tail);
        if (!tail.isEmpty()) {
            tail = QDir::toNativeSeparators(tail.replace("<app>", m_dir->path()));
            tail = "      Backup files were created in " + tail + "\r\n\r\n";
        }
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        host.request.backup = backup;
        host.request.folder = folder;
        host.backup.specified = specified;
        host.backup.root = root;
        writeReport(host.taken());
        const QString report = QString::fromUtf8(readAll(m_report));
        QVERIFY2(report.endsWith(kRule + QStringLiteral("\r\n") + tail), qPrintable(report));
    }

    void passedOverCounts_data()
    {
        QTest::addColumn<int>("files");       // passed over on purpose (binary...)
        QTest::addColumn<int>("unreadable");  // could not be listed, read or written
        QTest::addRow("none") << 0 << 0;
        QTest::addRow("unreadable entries only") << 0 << 1234;
        QTest::addRow("both") << 2 << 3;
    }
    void passedOverCounts()
    {
        QFETCH(int, files);
        QFETCH(int, unreadable);
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        for (int i = 0; i < files; ++i)
            host.ctx.state.passedOverFiles.append({QStringLiteral("/data/bin"), "binary file"});
        host.ctx.state.passedOverCount = unreadable;
        writeReport(host.taken());
        const QString report = QString::fromUtf8(readAll(m_report));
        const auto line = [](const char *label, int count) {
            return count == 0 ? QString()
                              : QStringLiteral("      %1: %2")
                                    .arg(QLatin1String(label), kEnglish.toString(count));
        };
        const QString counts = QStringLiteral("      Total Modified Files    : 2\r\n") +
                               line("Files Passed Over       ", files) + (files ? "\r\n" : "") +
                               line("Unreadable Entries      ", unreadable) +
                               (unreadable ? " (the error log lists each one)\r\n" : "") +
                               "      Replacements Per Second";
        QVERIFY2(report.contains(counts), qPrintable(report));
    }

    void secondReportReplacesFirst()
    {
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        host.ctx.state.reportBody += entry(3, QStringLiteral("/data/c.txt"), 9);
        writeReport(host.taken());
        const QByteArray first = readAll(m_report);

        setUpRun(host, 1000, 1);
        host.viewer.list = QStringList{QStringLiteral("/data/only.txt")};
        host.ctx.state.reportBody = entry(1, QStringLiteral("/data/only.txt"), 1);
        writeReport(host.taken());
        const QByteArray second = readAll(m_report);
        QVERIFY(second.size() < first.size());
        QVERIFY(!second.contains("c.txt"));
        QVERIFY(second.contains("/data/only.txt"));
        QVERIFY(second.endsWith(kRule.toUtf8() + "\r\n"));
    }

    void undecodableFileNameStillGivesReport()
    {
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        // A name byte that is not UTF-8 arrives as a lone surrogate.
        const QString odd = QStringLiteral("/data/x") + QChar(0xDCE9) + QStringLiteral(".txt");
        host.ctx.state.reportBody = entry(1, odd, 3);
        writeReport(host.taken());
        QVERIFY(readAll(m_report).contains("1)  /data/x\xEF\xBF\xBD.txt\r\n"));
    }

    void failedWriteLeavesBufferAlone()
    {
        const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        FakeRunHost host;
        setUpRun(host, 5000, 3);
        Paths::setApplicationFolderForTesting(blocker);
        QVERIFY_THROWS_EXCEPTION(Failure, writeReport(host.taken()));
        // The buffer still holds the user's file under its own name, unchanged.
        QCOMPARE(host.viewer.document.text(), QStringLiteral("dog"));
        QCOMPARE(host.viewer.document.fileName(), m_lastFile);
    }

private:
    // A finished run of two changed files, the last one still in the buffer in
    // a single-byte encoding (the report must not inherit it).
    void setUpRun(FakeRunHost &host, qint64 ms, int replacements)
    {
        m_lastFile = m_dir->filePath(QStringLiteral("last.txt"));
        {
            QFile f(m_lastFile);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("dog");
        }
        host.viewer.document.load(m_lastFile);
        host.viewer.document.setEncoding(TextEncoding::SingleByte);
        host.ctx.state.startTime = TimeStamp::generalDateTime(kStart);
        const QDateTime end = kStart.addMSecs(ms);
        Clock::setNowForTesting([end] { return end; });
        host.viewer.list =
            QStringList{QStringLiteral("/data/über.txt"), QStringLiteral("/data/b.txt")};
        host.ctx.state.totalReplacements = replacements;
        host.ctx.state.modifiedFileCount = 2;
        host.ctx.state.reportBody = entry(1, QStringLiteral("/data/über.txt"), 1) +
                                    entry(2, QStringLiteral("/data/b.txt"), 2);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_report;
    QString m_lastFile;
};

QTEST_GUILESS_MAIN(tst_ReportWriter)
#include "tst_reportwriter.moc"
