#include "settings/ErrorLog.h"

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "settings/LogSources.h"
#include "support/FakeRunHost.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime kNow(QDate(2026, 3, 4), QTime(5, 6, 7));
}  // namespace

class tst_ErrorLog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        Paths::setApplicationFolderForTesting(m_dir->path());
        m_log = m_dir->filePath(QStringLiteral("ErrorLog.log"));
        Clock::setNowForTesting([] { return kNow; });
    }
    void cleanup()
    {
        Paths::setApplicationFolderForTesting(QString());
        Clock::setNowForTesting(nullptr);
    }

    void firstEntryIsSixLines()
    {
        ScriptedDialogs dialogs;
        ErrorLog::logError(LogSource::replaceCommand, QStringLiteral("Permission denied"),
                           &dialogs);
        const QLocale locale;
        const QByteArray expected =
            " ' ...........................\r\n"
            " '\r\n"
            " ' Description = Permission denied\r\n"
            " '      Source = cmdReplace_Click-frmFind.frm\r\n"
            " '        Date = " +
            locale.toString(kNow.date(), QLocale::ShortFormat).toUtf8() +
            "\r\n"
            " '        Time = " +
            locale.toString(kNow.time(), QLocale::LongFormat).toUtf8() + "\r\n";
        QCOMPARE(readAll(m_log), expected);
        QVERIFY(dialogs.shown.isEmpty());
    }

    void entriesAppendWithCrLfEverywhere()
    {
        ErrorLog::logError(QStringLiteral("a"), QStringLiteral("first"), nullptr);
        ErrorLog::logError(QStringLiteral("b"), QStringLiteral("second"), nullptr);
        const QByteArray log = readAll(m_log);
        QVERIFY(log.endsWith("\r\n"));
        QCOMPARE(log.count('\r'), 12);
        QCOMPARE(log.count('\n'), 12);
        QCOMPARE(log.count("\r\n"), 12);
        const QList<QByteArray> lines = log.chopped(2).split('\n');
        QCOMPARE(lines.at(6), QByteArray(" ' ...........................\r"));
        QCOMPARE(lines.at(8), QByteArray(" ' Description = second\r"));
    }

    void valuesAreTrimmedAndUtf8()
    {
        ErrorLog::logError(QStringLiteral("  ") + LogSource::inViewer(LogSource::viewerListClick) +
                               QStringLiteral(" \t"),
                           QStringLiteral("   Datei ist schreibgeschützt  "), nullptr);
        const QByteArray log = readAll(m_log);
        QVERIFY(log.contains(" ' Description = Datei ist schreibgeschützt\r\n"));
        QVERIFY(log.contains(" '      Source = List1_Click-frmViewer.frm\r\n"));
    }

    void unwritableFolderShowsDescription()
    {
        const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        Paths::setApplicationFolderForTesting(blocker);
        ScriptedDialogs dialogs;
        ErrorLog::logError(QStringLiteral("src"), QStringLiteral("Disk full"), &dialogs);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Disk full"));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Error"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Error);
        QCOMPARE(dialogs.shown[0].buttons, MessageButtons::Ok);
        // Without a fallback nothing is shown and nothing is thrown.
        ErrorLog::logError(QStringLiteral("src"), QStringLiteral("Disk full"), nullptr);
    }

    void reportFailureShowsThenLogs()
    {
        ScriptedDialogs dialogs;
        const QString message = ErrorLog::exactErrorMessage(
            QStringLiteral("An error occurred while trying to undo the operation."),
            QStringLiteral("No such file"));
        QCOMPARE(message, QStringLiteral("An error occurred while trying to undo the operation.\r"
                                         "Exact error was: No such file"));
        ErrorLog::reportFailure(dialogs, message, QStringLiteral(" Error"), LogSource::undoCommand,
                                QStringLiteral("No such file"));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, message);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral(" Error"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Error);
        QCOMPARE(dialogs.shown[0].buttons, MessageButtons::Ok);
        QVERIFY(readAll(m_log).contains(" '      Source = cmdUndo_Click-frmFind.frm\r\n"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_log;
};

QTEST_GUILESS_MAIN(tst_ErrorLog)
#include "tst_errorlog.moc"
