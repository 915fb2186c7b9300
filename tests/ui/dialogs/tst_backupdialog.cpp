#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/FolderPicker.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"
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
    ScriptedDialogs m_dialogs;
    std::unique_ptr<BackupDialog> m_backup;

    QString path(const QString &relative) const { return m_t->path(relative); }
    QString defaultText() const { return QDir::toNativeSeparators(path("app/Backup/")); }
    QString stored() const
    {
        return SettingsStore::ReadRegString(HKEY_CURRENT_USER, Key, Value, {});
    }

private slots:
    void init()
    {
        m_t.emplace();  // also points the application folder at its "app"
        m_t->mkdir("tree");
        SettingsStore::setStoreFileForTesting(path("settings.ini"));
        m_dialogs = ScriptedDialogs();
        m_main = FakeMain();
        m_backup = std::make_unique<BackupDialog>(m_main, m_dialogs);
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
        // def: the default folder (stored as Text2's text, shown by Option2, chosen with it).
        QTest::addColumn<QString>("stored");  // "<none>": nothing stored
        QTest::addColumn<QString>("loaded");  // the hint's folder and Text1 after loading
        QTest::addColumn<QString>("typed");   // typed into Text1 with Option1 on; keep: no change
        QTest::addColumn<QString>("after");   // the folder OK keeps
        const QString own = "/srv/b", keep = "<keep>", def = "<default>", empty;
        QTest::addRow("fresh user") << "<none>" << def << keep << def;
        QTest::addRow("default text") << def << def << keep << def;
        QTest::addRow("own folder") << own << own << keep << own;
        QTest::addRow("stored 0, empty own folder") << "0" << empty << keep << def;
        QTest::addRow("own folder typed") << "<none>" << def << own << own;
        QTest::addRow("emptied own folder falls back") << own << own << empty << def;
        QTest::addRow("default chosen") << own << own << def << def;
    }
    void loadThenOkStores()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        const auto isDef = [](const QString &s) { return s == u"<default>"; };
        if (stored != u"<none>")
            SettingsStore::WriteRegString(HKEY_CURRENT_USER, Key, Value,
                                          isDef(stored) ? defaultText() : stored);
        // Any first use loads the dialog: here the hint's question.
        QCOMPARE(m_backup->hintFolder(), isDef(loaded) ? defaultText() : loaded);
        QCOMPARE(m_backup->Text1->text(), isDef(loaded) ? QString() : loaded);
        if (isDef(typed)) {
            m_backup->Option2->setChecked(true);
        } else if (typed != u"<keep>") {
            m_backup->Option1->setChecked(true);
            m_backup->Text1->setText(typed);
        }
        m_backup->cmdOK->click();
        QCOMPARE(m_backup->isSpecified(), !isDef(after));
        QCOMPARE(this->stored(), isDef(after) ? defaultText() : after);
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
                QCOMPARE(picker->Dir1->path(), QDir::toNativeSeparators(QDir::homePath()));
                picker->Dir1->setPath(chosen);
                picker->Folderbar_Click("savepath");
            });
            m_backup->cmdPath->click();
        });
        m_backup->showModal();
        QVERIFY(!picker->isVisible() && !m_backup->isVisible());
        QVERIFY(m_backup->Option1->isChecked());
        QCOMPARE(stored(), chosen);

        m_dialogs.answers = {MessageAnswer::No};
        picker->Folderbar_Click("deleteFolder");
        QVERIFY(QFileInfo::exists(chosen));
        picker->Folderbar_Click("deleteFolder");  // Yes
        QCOMPARE(m_dialogs.titles(), QStringList({" Delete folder?", " Delete folder?"}));
        QVERIFY(!QFileInfo::exists(chosen));
        QVERIFY(m_backup->Text1->text().isEmpty());
        QCOMPARE(picker->Dir1->path(), QDir::toNativeSeparators(path("tree")));
        picker->Folderbar_Click("exit");
        QVERIFY(m_backup->Option2->isChecked());
    }

    void createFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("messages");
        QTest::addRow("new name") << "fresh" << 0;
        QTest::addRow("existing name") << "old" << 0;
        QTest::addRow("empty answer") << QString() << 0;
        QTest::addRow("path out of the folder") << "../escaped" << 1;
        QTest::addRow("parent") << ".." << 1;
    }
    void createFolder()
    {
        QFETCH(QString, name);
        QFETCH(int, messages);
        QDir().mkpath(path("tree/old/inside"));
        FolderPicker *picker = m_backup->picker();
        QVERIFY(picker->Dir1->setPath(path("tree")));
        m_dialogs.inputs = {name};
        picker->Folderbar_Click("createFolder");
        QCOMPARE(m_dialogs.shown.size(), messages);
        QVERIFY(!QFileInfo::exists(path("escaped")));
        // Only a new name adds a folder, and only inside the one shown.
        QCOMPARE(QDir(path("tree")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 name == u"fresh" ? QStringList({"fresh", "old"}) : QStringList{"old"});
        QVERIFY(QFileInfo::exists(path("tree/old/inside")));
    }

    void deleteFolderFailureAndRefusal()
    {
        m_t->write("tree/old/sub/.keep", "");
        FolderPicker *picker = m_backup->picker();
        QVERIFY(picker->Dir1->setPath(path("tree/old")));
        picker->Folderbar_Click("deleteFolder");  // Yes, then the error
        QCOMPARE(m_dialogs.titles(), QStringList({" Delete folder?", " Error"}));
        QVERIFY(QFileInfo::exists(path("tree/old/sub/.keep")));
        // The home folder is refused before any question.
        m_dialogs.shown.clear();
        QVERIFY(picker->Dir1->setPath(QDir::homePath()));
        picker->Folderbar_Click("deleteFolder");
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(m_dialogs.shown.first().buttons, MessageButtons::Ok);
        QVERIFY(QFileInfo(QDir::homePath()).isDir());
    }

    void replaceWritesBackupsUnderTheChosenFolder()
    {
        m_t->write("tree/pets/a.txt", "the cat\r\n");
        const QString chosen = QDir::toNativeSeparators(m_t->mkdir("tree/mine"));
        MainWindow w(&m_dialogs);
        QVERIFY(w.Form_Load());
        w.chkBackup->click();
        BackupDialog *dialog = w.backupDialog();
        QTimer::singleShot(0, dialog, [&] {
            QVERIFY(dialog->isVisible());
            dialog->Option1->click();
            dialog->Text1->setText(chosen);
            dialog->cmdOK->click();
        });
        w.cmdSetBack->click();
        w.Dir2->setPath(path("tree/pets"));
        w.cboFilters->setCurrentIndex(1);  // "*.txt"
        w.File2->selectAll();
        w.txtFind->setEditText("cat");
        w.txtReplace->setEditText("dog");
        w.tool("Mainbar", "replace")->trigger();

        QCOMPARE(m_t->read("tree/mine/Backup/pets/a.txt"), QByteArray("the cat\r\n"));
        // Committed before the copy, without the dialog being shown.
        QCOMPARE(stored(), chosen);
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_t->read("app/Report.dat")
                    .contains("Backup files were created in " + QFile::encodeName(chosen) +
                              "/Backup/"));
        w.close();
    }
};

QTEST_MAIN(TestBackupDialog)
#include "tst_backupdialog.moc"
