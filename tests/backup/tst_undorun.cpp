#include "backup/ReportWriter.h"
#include "backup/UndoRun.h"

#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "support/FakeRunHost.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

const QString kUndoSentence =
    QStringLiteral("An error occurred while trying to undo the operation.\rExact error was: ");

}  // namespace

class tst_UndoRun : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_app = std::make_unique<QTemporaryDir>();
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_app->isValid() && m_work->isValid());
        Paths::setApplicationFolderForTesting(m_app->path());
        SettingsStore::setStoreFileForTesting(m_app->filePath(QStringLiteral("settings.ini")));
        Clock::setNowForTesting([] { return QDateTime(QDate(2026, 5, 1), QTime(10, 0, 0)); });

        m_host = std::make_unique<FakeRunHost>();
        FakeRunHost &h = *m_host;
        h.request.folder = m_work->path();
        h.request.find = QStringLiteral("cat");
        h.request.replace = QStringLiteral("dog");
        h.main.onWriteReport = [&h] { writeReport(h.ctx); };
        writeFile(path("a.txt"), "a cat, a dog\r\n");
        writeFile(path("b.txt"), "cat");
        writeFile(path("c.txt"), "no pets here");
        h.request.setFiles(
            {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}, true);
    }
    void cleanup()
    {
        m_host.reset();
        Paths::setApplicationFolderForTesting(QString());
        SettingsStore::setStoreFileForTesting(QString());
        Clock::setNowForTesting(nullptr);
    }

    void replaceThenUndoRestoresText()
    {
        FakeRunHost &h = *m_host;
        runReplace(h.ctx);
        QCOMPARE(readAll(path("a.txt")), QByteArray("a dog, a dog\r\n"));
        QCOMPARE(readAll(path("b.txt")), QByteArray("dog"));
        h.dialogs.shown.clear();
        h.request.minimize = true;
        bool minimizedDuringRun = false;
        h.main.onYield = [&] { minimizedDuringRun |= h.main.minimized; };

        runUndo(h.ctx);

        // Every dog turns into cat, also the one that was there before.
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a cat\r\n"));
        QCOMPARE(readAll(path("b.txt")), QByteArray("cat"));
        QCOMPARE(readAll(path("c.txt")), QByteArray("no pets here"));
        QCOMPARE(h.request.find, QStringLiteral("cat"));
        QCOMPARE(h.request.replace, QStringLiteral("dog"));
        QVERIFY(minimizedDuringRun);
        QVERIFY(!h.main.minimized);

        QCOMPARE(h.dialogs.shown.size(), 1);
        QCOMPARE(h.dialogs.shown[0].text,
                 QStringLiteral("Are you sure you want to undo the last operation?"));
        QCOMPARE(h.dialogs.shown[0].title, QStringLiteral(" Undo replacement"));
        QCOMPARE(h.dialogs.shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(h.dialogs.shown[0].icon, MessageIcon::Question);
        QCOMPARE(h.main.historySaves, 2);
        QCOMPARE(h.viewer.list, QStringList({path("a.txt"), path("b.txt")}));
        QCOMPARE(h.ctx.state.startTime, QStringLiteral("2026-05-01 10:00:00"));

        const QString report =
            QString::fromUtf8(readAll(m_app->filePath(QStringLiteral("Report.dat"))));
        QVERIFY(report.contains(QStringLiteral("      Total Replacements Made : 3\r\n")));
        QVERIFY(report.contains(QStringLiteral("      Total Modified Files    : 2\r\n")));
        QVERIFY(report.contains(QStringLiteral("           1)  ") + path("a.txt") +
                                QStringLiteral("\r\n               Replacements made: 2\r\n")));
        QVERIFY(report.contains(QStringLiteral("           2)  ") + path("b.txt") +
                                QStringLiteral("\r\n               Replacements made: 1\r\n")));
        QCOMPARE(h.ctx.state.totalReplacements, 0);
        QVERIFY(h.ctx.state.reportBody.isEmpty());
        QCOMPARE(h.viewer.find, QString());
        QCOMPARE(h.viewer.replace, QString());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addRow("fuzzy") << QStringLiteral("fuzzy")
                               << QStringLiteral("This program can't undo a 'Fuzzy Search'.")
                               << QStringLiteral(" Error") << MessageIcon::Information;
        QTest::addRow("regular expression")
            << QStringLiteral("regex")
            << QStringLiteral(
                   "This program can't undo a replacement made with a regular "
                   "expression.\rRestore puts back the exact bytes of the files from "
                   "their backup copies: scrivlane-cli restore FOLDER.")
            << QStringLiteral(" Error") << MessageIcon::Information;
        QTest::addRow("no file selected")
            << QStringLiteral("none")
            << QStringLiteral("Please select the files that you want to edit.")
            << QStringLiteral(" No files selected") << MessageIcon::Information;
        QTest::addRow("empty find")
            << QStringLiteral("nofind") << QStringLiteral("You must enter something to search for.")
            << QStringLiteral(" Error") << MessageIcon::Information;
        QTest::addRow("empty replace")
            << QStringLiteral("noreplace")
            << QStringLiteral("You must enter something to replace with.")
            << QStringLiteral(" Error") << MessageIcon::Information;
        QTest::addRow("same strings")
            << QStringLiteral("same")
            << QStringLiteral("Find and replace strings can't be the same.")
            << QStringLiteral(" Error") << MessageIcon::Error;
    }
    void refusals()
    {
        QFETCH(QString, setup);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(MessageIcon, icon);
        FakeRunHost &h = *m_host;
        h.request.find = QStringLiteral("dog");
        h.request.replace = QStringLiteral("cat");
        if (setup == QLatin1String("fuzzy"))
            h.request.fuzzy = true;
        else if (setup == QLatin1String("regex"))
            h.request.regex = true;
        else if (setup == QLatin1String("none"))
            h.request.selected.fill(false);
        else if (setup == QLatin1String("nofind"))
            h.request.find.clear();
        else if (setup == QLatin1String("noreplace"))
            h.request.replace.clear();
        else
            h.request.replace = h.request.find;
        const QString find = h.request.find;
        const QString replace = h.request.replace;
        h.ctx.state.modifiedFileCount = 4;

        runUndo(h.ctx);

        QCOMPARE(h.dialogs.shown.size(), 1);
        QCOMPARE(h.dialogs.shown[0].text, text);
        QCOMPARE(h.dialogs.shown[0].title, title);
        QCOMPARE(h.dialogs.shown[0].icon, icon);
        QCOMPARE(h.dialogs.shown[0].buttons, MessageButtons::Ok);
        QCOMPARE(h.main.historySaves, 0);
        QCOMPARE(h.ctx.state.modifiedFileCount, 0);
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a dog\r\n"));
        QCOMPARE(h.request.find, find);
        QCOMPARE(h.request.replace, replace);
        if (setup != QLatin1String("fuzzy") && setup != QLatin1String("regex") &&
            setup != QLatin1String("none"))
            QCOMPARE(h.events.last(), QStringLiteral("idle"));
    }

    void answeringNoTouchesNothingButSavesHistories()
    {
        FakeRunHost &h = *m_host;
        h.dialogs.answers = {MessageAnswer::No};
        runUndo(h.ctx);
        QCOMPARE(h.main.historySaves, 1);
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a dog\r\n"));
        QVERIFY(h.ctx.state.startTime.isEmpty());
        QCOMPARE(h.request.find, QStringLiteral("cat"));
    }

    void noOccurrenceSaysCompleteWithoutReport()
    {
        FakeRunHost &h = *m_host;
        h.request.find = QStringLiteral("bird");
        h.request.replace = QStringLiteral("fish");
        runUndo(h.ctx);
        QCOMPARE(h.dialogs.titles(), QStringList({QStringLiteral(" Undo replacement"),
                                                  QStringLiteral(" Search complete")}));
        QCOMPARE(h.dialogs.shown[1].text,
                 QStringLiteral("Finished searching through all selected documents."));
        QCOMPARE(h.main.reports, 0);
        QVERIFY(!QFile::exists(m_app->filePath(QStringLiteral("Report.dat"))));
        QVERIFY(h.viewer.list.isEmpty());
        QCOMPARE(h.request.find, QStringLiteral("bird"));
        QCOMPARE(h.request.replace, QStringLiteral("fish"));
    }

    void onlySelectedFilesAreUndone()
    {
        FakeRunHost &h = *m_host;
        writeFile(path("b.txt"), "dog");
        h.request.selected = {true, false, true};
        runUndo(h.ctx);
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a cat\r\n"));
        QCOMPARE(readAll(path("b.txt")), QByteArray("dog"));
        QCOMPARE(h.viewer.list, QStringList{path("a.txt")});
    }

    void stopEndsRunAndGivesBoxesBack()
    {
        FakeRunHost &h = *m_host;
        h.main.onYield = [&h] { h.ctx.state.stopRequested = true; };
        runUndo(h.ctx);
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a dog\r\n"));
        QCOMPARE(h.dialogs.shown.size(), 1);  // the confirmation only
        QCOMPARE(h.main.reports, 0);
        QCOMPARE(h.request.find, QStringLiteral("cat"));
        QCOMPARE(h.request.replace, QStringLiteral("dog"));
    }

    void errorEndsRunReportsAndGivesBoxesBack()
    {
        FakeRunHost &h = *m_host;
        writeFile(path("c.txt"), "dog");
        QVERIFY(QFile::remove(path("b.txt")));
        runUndo(h.ctx);

        QCOMPARE(h.dialogs.shown.size(), 2);
        QVERIFY(h.dialogs.shown[1].text.startsWith(kUndoSentence));
        QVERIFY(h.dialogs.shown[1].text.size() > kUndoSentence.size());
        QCOMPARE(h.dialogs.shown[1].title, QStringLiteral(" Error"));
        QCOMPARE(h.dialogs.shown[1].icon, MessageIcon::Error);
        const QByteArray log = readAll(m_app->filePath(QStringLiteral("ErrorLog.log")));
        QVERIFY(log.contains(" '      Source = cmdUndo_Click-frmFind.frm\r\n"));
        // The run ends at the error: the file after it is left alone.
        QCOMPARE(readAll(path("a.txt")), QByteArray("a cat, a cat\r\n"));
        QCOMPARE(readAll(path("c.txt")), QByteArray("dog"));
        QCOMPARE(h.main.reports, 0);
        QCOMPARE(h.request.find, QStringLiteral("cat"));
        QCOMPARE(h.request.replace, QStringLiteral("dog"));
    }

    void subdirectoriesWalkTheTreeEvenWithEmptyFileList()
    {
        FakeRunHost &h = *m_host;
        QVERIFY(QDir(m_work->path()).mkpath(QStringLiteral("sub/deeper")));
        const QString deep = path(QStringLiteral("sub/deeper/d.txt"));
        writeFile(deep, "dog dog");
        h.request.setFiles({}, false);
        h.request.subdirectories = true;
        runUndo(h.ctx);
        QCOMPARE(readAll(deep), QByteArray("cat cat"));
        QCOMPARE(h.main.reports, 1);
        QCOMPARE(h.request.find, QStringLiteral("cat"));
    }

    void undoLeavesTheReplacesBackupsAlone_data()
    {
        QTest::addColumn<bool>("subdirectories");
        QTest::addRow("selected files") << false;
        QTest::addRow("folder walk") << true;
    }
    void undoLeavesTheReplacesBackupsAlone()
    {
        QFETCH(bool, subdirectories);
        FakeRunHost &h = *m_host;
        writeFile(path("b.txt"), "the cat chased the dog");
        h.request.selected = {false, true, false};
        h.request.subdirectories = subdirectories;
        h.request.filterText = QStringLiteral("b.txt");
        h.request.backup = true;
        QTemporaryDir root;
        h.backup.root = root.path();
        runReplace(h.ctx);
        runUndo(h.ctx);
        QCOMPARE(readAll(path("b.txt")), QByteArray("the cat chased the cat"));
        QDirIterator copies(root.path(), {QStringLiteral("b.txt")}, QDir::Files,
                            QDirIterator::Subdirectories);
        QVERIFY(copies.hasNext());
        QCOMPARE(readAll(copies.next()), QByteArray("the cat chased the dog"));
        QVERIFY(!readAll(m_app->filePath(QStringLiteral("Report.dat"))).contains("Backup files"));
    }

    void binaryFilesArePassedOverAndNamed_data() { commands(); }
    void binaryFilesArePassedOverAndNamed()
    {
        QFETCH(bool, undo);
        QFETCH(bool, subdirectories);
        FakeRunHost &h = *m_host;
        const QByteArray binary(
            "\x7F"
            "ELF\0\x01 cat dog",
            14);
        writeFile(path("bin.dat"), binary);
        h.request.setFiles({"a.txt", "bin.dat"}, true);
        h.request.subdirectories = subdirectories;
        undo ? runUndo(h.ctx) : runReplace(h.ctx);
        QCOMPARE(readAll(path("bin.dat")), binary);
        QVERIFY(readAll(path("a.txt")) != "a cat, a dog\r\n");
        const QString report = QString::fromUtf8(readAll(m_app->filePath("Report.dat")));
        QVERIFY(report.contains("      Files Passed Over       : 1\r\n"));
        QVERIFY(report.contains("PASSED OVER:\r\n\r\n               " + path("bin.dat")));
    }

    void stoppedRunReportsWhatItDid_data() { commands(); }
    void stoppedRunReportsWhatItDid()
    {
        QFETCH(bool, undo);
        QFETCH(bool, subdirectories);
        FakeRunHost &h = *m_host;
        writeFile(path("c.txt"), "cat dog cat dog");
        h.request.subdirectories = subdirectories;
        const auto run = [&] { undo ? runUndo(h.ctx) : runReplace(h.ctx); };
        const auto report = [&] {
            return QString::fromUtf8(readAll(m_app->filePath("Report.dat")));
        };
        // Every report's totals equal its entries, numbered from 1.
        const auto consistent = [&] {
            const QString text = report();
            const qsizetype at = text.indexOf("Total Modified Files    : ") + 26;
            const int files = text.mid(at, text.indexOf('\r', at) - at).toInt();
            return files > 0 && text.count("Replacements made") == files &&
                   text.contains("\r\n           1)  ") &&
                   !text.contains("           " + QString::number(files + 1) + ")  ");
        };
        h.main.onYield = [&h] { h.ctx.state.stopRequested |= !h.viewer.list.isEmpty(); };
        run();
        QVERIFY(report().contains("      Run Stopped             : "));
        QVERIFY(report().contains("Total Modified Files    : 1\r\n"));
        QVERIFY(consistent());
        h.main.onYield = nullptr;
        h.ctx.state.stopRequested = false;
        run();
        QVERIFY(!report().contains("Run Stopped"));
        QVERIFY(consistent());
    }

    void undoReplacesWholeWordsOnly()
    {
        FakeRunHost &h = *m_host;
        writeFile(path("a.txt"), "the dog sat on dogma");
        h.request.wholeWord = true;
        runUndo(h.ctx);
        QCOMPARE(readAll(path("a.txt")), QByteArray("the cat sat on dogma"));
    }

    // A run works from the request as it stood at its start: what the user
    // changes in the window meanwhile waits for the next run.
    void windowChangesDuringARunWaitForTheNext_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        for (const char *change : {"texts", "selection", "folder"}) {
            QTest::addRow("find, %s", change)
                << "find" << change << QByteArray("a cat, a dog\r\n") << QByteArray("cat");
            QTest::addRow("replace, %s", change)
                << "replace" << change << QByteArray("a dog, a dog\r\n") << QByteArray("dog");
            QTest::addRow("undo, %s", change)
                << "undo" << change << QByteArray("a cat, a cat\r\n") << QByteArray("cat");
        }
    }
    void windowChangesDuringARunWaitForTheNext()
    {
        QFETCH(QString, command);
        QFETCH(QString, change);
        FakeRunHost &h = *m_host;
        writeFile(path("b.txt"), command == u"undo" ? "dog" : "cat");
        QTemporaryDir elsewhere;
        h.main.onYield = [&] {
            if (change == u"texts") {
                h.request.find = QStringLiteral("pets");
                h.request.replace = QStringLiteral("birds");
            } else if (change == u"selection") {
                h.request.selected.fill(false);
            } else {
                h.request.folder = elsewhere.path();
            }
        };
        if (command == u"find")
            startFind(h.ctx);
        else if (command == u"replace")
            runReplace(h.ctx);
        else
            runUndo(h.ctx);
        QTEST(readAll(path("a.txt")), "a");
        QTEST(readAll(path("b.txt")), "b");
        QCOMPARE(readAll(path("c.txt")), QByteArray("no pets here"));
        if (command == u"find")
            QCOMPARE(h.viewer.list.size(), 2);
    }

private:
    static void commands()
    {
        QTest::addColumn<bool>("undo");
        QTest::addColumn<bool>("subdirectories");
        QTest::addRow("replace, selected files") << false << false;
        QTest::addRow("replace, folder walk") << false << true;
        QTest::addRow("undo, selected files") << true << false;
        QTest::addRow("undo, folder walk") << true << true;
    }
    QString path(const QString &name) const { return m_work->filePath(name); }
    QString path(const char *name) const { return path(QString::fromUtf8(name)); }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<FakeRunHost> m_host;
};

QTEST_GUILESS_MAIN(tst_UndoRun)
#include "tst_undorun.moc"
