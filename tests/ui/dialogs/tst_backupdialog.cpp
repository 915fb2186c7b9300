#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/FolderPicker.h"
#include "ui/main/MainWindow.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <optional>

using SettingsStore::HKEY_CURRENT_USER;

static const QString Key = "Software\\Scrivlane\\Backup", Value = "Path";

class TestBackupDialog : public QObject {
    Q_OBJECT

    std::optional<TempTree> m_t;
    FakeMain m_main;
    FakeEvents m_events;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<BackupDialog> m_backup;

    QString path(const QString &relative) const { return m_t->path(relative); }
    QString defaultText() const { return QDir::toNativeSeparators(path("app/Backup/")); }
    QString stored() const { return SettingsStore::readString(HKEY_CURRENT_USER, Key, Value, {}); }

private slots:
    void init()
    {
        m_t.emplace();  // also points the application folder at its "app"
        m_t->mkdir("tree");
        SettingsStore::setStoreFileForTesting(path("settings.ini"));
        m_dialogs = ScriptedDialogs();
        m_main = FakeMain();
        m_backup = std::make_unique<BackupDialog>(m_main, m_events, m_dialogs);
    }
    void cleanup()
    {
        m_backup.reset();
        SettingsStore::setStoreFileForTesting(QString());
        Paths::setApplicationFolderForTesting(QString());
        m_t.reset();
    }

    void loadThenOkStores_data()
    {
        // def: the default folder (stored as defaultPathEdit's text, shown by defaultOption, chosen
        // with it).
        QTest::addColumn<QString>("stored");  // "<none>": nothing stored
        QTest::addColumn<QString>(
            "loaded");  // the hint's folder and specifiedPathEdit after loading
        QTest::addColumn<QString>(
            "typed");  // typed into specifiedPathEdit with specifyOption on; keep: no change
        QTest::addColumn<QString>("after");  // the folder OK keeps
        const QString own = QDir::tempPath(), keep = "<keep>", def = "<default>", empty;
        QTest::addRow("fresh user") << "<none>" << def << keep << def;
        QTest::addRow("default text") << def << def << keep << def;
        QTest::addRow("own folder") << own << own << keep << own;
        QTest::addRow("stored 0, empty own folder") << "0" << empty << keep << def;
        QTest::addRow("own folder typed") << "<none>" << def << own << own;
        QTest::addRow("emptied own folder falls back") << own << own << empty << def;
        QTest::addRow("default chosen") << own << own << def << def;
        QTest::addRow("pasted with blanks around") << "<none>" << def << " " + own + "\t" << own;
        QTest::addRow("missing folder refused") << own << own << "/no/such/folder"
                                                << "<refused>";
        // "." is a folder wherever the test runs, but not one full path.
        QTest::addRow("relative folder refused") << own << own << "."
                                                 << "<refused>";
    }
    void loadThenOkStores()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        const auto isDef = [](const QString &s) { return s == u"<default>"; };
        const auto real = [&](const QString &s) { return isDef(s) ? defaultText() : s; };
        if (stored != u"<none>")
            SettingsStore::writeString(HKEY_CURRENT_USER, Key, Value, real(stored));
        QCOMPARE(m_backup->hintFolder(), real(loaded));  // any first use loads the dialog
        QCOMPARE(m_backup->specifiedPathEdit->text(), isDef(loaded) ? QString() : loaded);
        if (isDef(typed)) {
            m_backup->defaultOption->setChecked(true);
        } else if (typed != u"<keep>") {
            m_backup->specifyOption->setChecked(true);
            m_backup->specifiedPathEdit->setText(typed);
        }
        m_backup->okButton->click();
        if (after == u"<refused>") {
            QCOMPARE(m_dialogs.titles(), QStringList{" Specify Backup folder"});
            QCOMPARE(this->stored(), real(stored));
            return;
        }
        QCOMPARE(m_backup->isSpecified(), !isDef(after));
        QCOMPARE(this->stored(), real(after));
        QCOMPARE(m_backup->backupRoot(), isDef(after) ? Paths::applicationFolder() : after);
    }

    void savePathThenDeletingItFallsBack()
    {
        const QString chosen = QDir::toNativeSeparators(path("tree/mine"));
        QDir().mkpath(chosen + "/Backup/top");
        FolderPicker *picker = m_backup->picker();
        QTimer::singleShot(0, m_backup.get(), [&] {
            QTimer::singleShot(0, picker, [&] {
                QVERIFY(picker->isVisible());
                // An empty box leaves the list on its own folder.
                QCOMPARE(picker->folderList->path(), QDir::toNativeSeparators(QDir::homePath()));
                picker->folderList->setPath(chosen);
                picker->runFolderTool("savepath");
            });
            m_backup->browseButton->click();
        });
        m_backup->showModal();
        QVERIFY(!picker->isVisible() && !m_backup->isVisible());
        QVERIFY(m_backup->specifyOption->isChecked());
        QCOMPARE(stored(), chosen);

        m_dialogs.answers = {MessageAnswer::No};
        picker->runFolderTool("deleteFolder");
        QVERIFY(QFileInfo::exists(chosen));
        picker->runFolderTool("deleteFolder");  // Yes
        QCOMPARE(m_dialogs.titles(), QStringList({" Delete folder?", " Delete folder?"}));
        QVERIFY(!QFileInfo::exists(chosen));
        QVERIFY(m_backup->specifiedPathEdit->text().isEmpty());
        QCOMPARE(picker->folderList->path(), QDir::toNativeSeparators(path("tree")));
        picker->runFolderTool("exit");
        QVERIFY(m_backup->defaultOption->isChecked());
    }

    // Leaving the picker keeps a folder only when it is there: a missing one is
    // refused as OK refuses it, and Esc then brings back what was stored.
    void searchKeepsOnlyAFolderThatIsThere_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("kept");  // stored and the runs' root; "": the default
        const QString missing = "/no/such/folder", tree = "tree";
        QTest::addRow("missing, Hide") << missing << "exit" << QString();
        QTest::addRow("missing, Save Path") << missing << "savepath" << tree;
        QTest::addRow("there, Hide") << tree << "exit" << tree;
    }
    void searchKeepsOnlyAFolderThatIsThere()
    {
        QFETCH(QString, typed);
        QFETCH(QString, tool);
        QFETCH(QString, kept);
        const auto real = [&](const QString &s) {
            return s.startsWith(u'/') ? s : QDir::toNativeSeparators(path(s));
        };
        FolderPicker *picker = m_backup->picker();
        bool stayed = false;
        QTimer::singleShot(0, m_backup.get(), [&] {
            m_backup->specifyOption->click();
            m_backup->specifiedPathEdit->setText(real(typed));
            QTimer::singleShot(0, picker, [&] {
                picker->folderList->setPath(path("tree"));
                picker->runFolderTool(tool);
            });
            m_backup->browseButton->click();
            stayed = m_backup->isVisible();
            if (stayed)
                QTest::keyClick(m_backup.get(), Qt::Key_Escape);
        });
        m_backup->showModal();
        QVERIFY(!m_backup->isVisible());
        QCOMPARE(stayed, kept.isEmpty());
        QCOMPARE(m_dialogs.titles(),
                 kept.isEmpty() ? QStringList{" Specify Backup folder"} : QStringList());
        QCOMPARE(stored(), kept.isEmpty() ? QString() : real(kept));
        QCOMPARE(m_backup->backupRoot(), kept.isEmpty() ? Paths::applicationFolder() : real(kept));
    }

    // Opened again on the same folder, the picker highlights that folder, not a
    // subfolder highlighted the time before: Delete Folder names the folder shown.
    void pickerReopensOnItsFolder()
    {
        m_t->mkdir("tree/old");
        const QString tree = QDir::toNativeSeparators(path("tree"));
        m_backup->hintFolder();  // loads the dialog
        m_backup->specifyOption->setChecked(true);
        m_backup->specifiedPathEdit->setText(tree);
        FolderPicker *picker = m_backup->picker();
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, picker, [&] {
                QCOMPARE(picker->folderList->highlightedPath(), tree);
                picker->folderList->setCurrentRow(picker->folderList->count() - 1);  // "old"
                m_dialogs.answers = {MessageAnswer::No};
                picker->runFolderTool("deleteFolder");
                picker->runFolderTool("exit");
            });
            m_backup->browseForFolder();
        }
        QCOMPARE(m_dialogs.shown.size(), 2);
        for (const ScriptedDialogs::Shown &asked : m_dialogs.shown)
            QVERIFY2(asked.text.contains(tree + QDir::separator() + "old?"),
                     qPrintable(asked.text));
        QVERIFY(QFileInfo::exists(path("tree/old")));
    }

    // Only a new name adds a folder, and only inside the one shown; a folder that cannot
    // go and the home folder stay, the latter refused before any question.
    void pickerTools_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("shown");  // "~": the home folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("folders");
        const auto row = [](const char *row, const char *tool, const char *shown, const char *name,
                            const QStringList &said, const QStringList &folders) {
            QTest::addRow("%s", row)
                << QString(tool) << QString(shown) << QString(name) << said << folders;
        };
        const QStringList old{"old"}, refused{"New folder [Ok]"};
        row("new name", "createFolder", "tree", "fresh", {}, {"fresh", "old"});
        row("existing name", "createFolder", "tree", "old", {}, old);
        row("empty answer", "createFolder", "tree", "", {}, old);
        row("path out of the folder", "createFolder", "tree", "../escaped", refused, old);
        row("parent", "createFolder", "tree", "..", refused, old);
        row("delete fails", "deleteFolder", "tree/old", "", {"Delete folder?", "Error [Ok]"}, old);
        row("delete home", "deleteFolder", "~", "", {"Delete folder? [Ok]"}, old);
    }
    void pickerTools()
    {
        QFETCH(QString, shown);
        QFETCH(QString, name);
        m_t->write("tree/old/inside/.keep", "");  // a hidden file is not deleted
        FolderPicker *picker = m_backup->picker();
        QVERIFY(picker->folderList->setPath(shown == u"~" ? QDir::homePath() : path(shown)));
        m_dialogs.inputs = {name};
        QFETCH(QString, tool);
        picker->runFolderTool(tool);
        QStringList said;
        for (const ScriptedDialogs::Shown &s : m_dialogs.shown)
            said << s.title.trimmed() + (s.buttons == MessageButtons::Ok ? " [Ok]" : "");
        QTEST(said, "said");
        QTEST(QDir(path("tree")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), "folders");
        QVERIFY(!QFileInfo::exists(path("escaped")));
        QVERIFY(QFileInfo::exists(path("tree/old/inside/.keep")));
        QVERIFY(QFileInfo(QDir::homePath()).isDir());
    }

    void replaceWritesBackupsUnderTheChosenFolder()
    {
        m_t->write("tree/pets/a.txt", "the cat\r\n");
        const QString chosen = QDir::toNativeSeparators(m_t->mkdir("tree/mine"));
        MainWindow w(&m_dialogs);
        QVERIFY(w.startUp());
        w.backupBox->click();
        BackupDialog *dialog = w.backupDialog();
        QTimer::singleShot(0, dialog, [&] {
            QVERIFY(dialog->isVisible());
            dialog->specifyOption->click();
            dialog->specifiedPathEdit->setText(chosen);
            dialog->okButton->click();
        });
        w.backupFolderButton->click();
        w.folderList->setPath(path("tree/pets"));
        w.filterBox->setCurrentIndex(1);  // "*.txt"
        w.fileList->selectAll();
        w.findBox->setEditText("cat");
        w.replaceBox->setEditText("dog");
        w.tool("runBar", "replace")->trigger();

        // Below the chosen folder's "Backup", the start folder's whole path.
        QCOMPARE(
            m_t->read("tree/mine/Backup" + QDir::cleanPath(w.request().folderPath()) + "/a.txt"),
            QByteArray("the cat\r\n"));
        // Committed before the copy, without the dialog being shown.
        QCOMPARE(stored(), chosen);
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_t->read("app/Report.dat").contains(QFile::encodeName(chosen) + "/Backup/"));
        w.close();
    }
};

QTEST_MAIN(TestBackupDialog)
#include "tst_backupdialog.moc"
