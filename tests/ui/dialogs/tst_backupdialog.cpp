#include "support/FakeRunHost.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/BackupDialog.h"
#include "ui/dialogs/FolderPicker.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using SettingsStore::HKEY_CURRENT_USER;

namespace {
const QString Key = QStringLiteral("Software\\Scrivlane\\Backup");
const QString Value = QStringLiteral("Path");
}  // namespace

class TestBackupDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadStepFromStoredPath_data();
    void loadStepFromStoredPath();
    void okStoresTheChoice_data();
    void okStoresTheChoice();
    void searchSavesThePathThenDeletingItFallsBack();
    void createFolder_data();
    void createFolder();
    void deleteFolderFailureAndRefusal();
    void replaceWritesBackupsUnderTheChosenFolder();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    QString defaultText() const
    {
        return QDir::toNativeSeparators(path(QStringLiteral("app/Backup/")));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeMain m_main;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<BackupDialog> m_backup;
};

void TestBackupDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath(QStringLiteral("app"));
    QDir(m_dir->path()).mkpath(QStringLiteral("tree"));
    Paths::setApplicationFolderForTesting(QDir::toNativeSeparators(path(QStringLiteral("app"))));
    SettingsStore::setStoreFileForTesting(path(QStringLiteral("settings.ini")));
    m_dialogs = ScriptedDialogs();
    m_main = FakeMain();
    m_backup = std::make_unique<BackupDialog>(m_main, m_dialogs);
}

void TestBackupDialog::cleanup()
{
    m_backup.reset();
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
    m_dir.reset();
}

void TestBackupDialog::loadStepFromStoredPath_data()
{
    QTest::addColumn<QString>("stored");  // "<none>": nothing stored; "<default>": Text2's text
    QTest::addColumn<bool>("specified");
    QTest::addColumn<QString>("text1");
    QTest::addRow("fresh user") << "<none>" << false << "";
    QTest::addRow("default text") << "<default>" << false << "";
    QTest::addRow("own folder") << "/srv/backups" << true << "/srv/backups";
    QTest::addRow("stored 0") << "0" << true << "";
}

void TestBackupDialog::loadStepFromStoredPath()
{
    QFETCH(QString, stored);
    QFETCH(bool, specified);
    QFETCH(QString, text1);
    if (stored != u"<none>")
        SettingsStore::WriteRegString(HKEY_CURRENT_USER, Key, Value,
                                      stored == u"<default>" ? defaultText() : stored);
    // Any first use loads the dialog: here the hint's question.
    QCOMPARE(m_backup->hintFolder(), specified ? text1 : defaultText());
    QCOMPARE(m_backup->Option1->isChecked(), specified);
    QCOMPARE(m_backup->Text1->text(), text1);
    QCOMPARE(m_backup->Text1->isEnabled(), specified);
    QCOMPARE(m_backup->Text2->isEnabled(), !specified);
}

void TestBackupDialog::okStoresTheChoice_data()
{
    QTest::addColumn<bool>("specify");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<bool>("byPointer");  // the pointer over OK before the click
    QTest::addColumn<bool>("specifiedAfter");
    QTest::addRow("own folder") << true << "/srv/b" << false << true;
    QTest::addRow("empty own folder") << true << "" << false << false;
    QTest::addRow("empty, pointer over OK") << true << "" << true << false;
    QTest::addRow("default chosen") << false << "/srv/b" << false << false;
}

void TestBackupDialog::okStoresTheChoice()
{
    QFETCH(bool, specify);
    QFETCH(QString, text1);
    QFETCH(bool, byPointer);
    QFETCH(bool, specifiedAfter);
    m_backup->hintFolder();
    (specify ? m_backup->Option1 : m_backup->Option2)->setChecked(true);
    m_backup->Text1->setText(text1);
    if (byPointer) {
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(m_backup->cmdOK, &enter);
        QCOMPARE(m_backup->Option1->isChecked(), specifiedAfter);
        QCOMPARE(m_main.panel2, QStringLiteral(" Return to the main form."));
    }
    m_backup->cmdOK->click();
    QCOMPARE(m_backup->Option1->isChecked(), specifiedAfter);
    QCOMPARE(m_backup->isSpecified(), specifiedAfter);
    QCOMPARE(SettingsStore::ReadRegString(HKEY_CURRENT_USER, Key, Value, QString()),
             specifiedAfter ? text1 : defaultText());
    QCOMPARE(m_backup->backupRoot(), specifiedAfter ? text1 : Paths::applicationFolder());
}

void TestBackupDialog::searchSavesThePathThenDeletingItFallsBack()
{
    const QString chosen = QDir::toNativeSeparators(path(QStringLiteral("tree/mine")));
    QDir().mkpath(chosen + QStringLiteral("/Backup/top"));
    FolderPicker *picker = m_backup->picker();
    bool pickerShown = false;
    QTimer::singleShot(0, m_backup.get(), [&] {
        QTimer::singleShot(0, picker, [&] {
            pickerShown = picker->isVisible();
            // An empty box leaves the list on its own folder.
            QCOMPARE(picker->Dir1->path(), QDir::toNativeSeparators(QDir::homePath()));
            picker->Dir1->setPath(chosen);
            picker->Folderbar_Click(QStringLiteral("savepath"));
        });
        m_backup->cmdPath->click();
    });
    m_backup->showModal();
    QVERIFY(pickerShown && !picker->isVisible() && !m_backup->isVisible());
    QVERIFY(m_backup->Option1->isChecked());
    QCOMPARE(SettingsStore::ReadRegString(HKEY_CURRENT_USER, Key, Value, QString()), chosen);

    m_dialogs.answers = {MessageAnswer::No};
    picker->Folderbar_Click(QStringLiteral("deleteFolder"));
    QVERIFY(QFileInfo::exists(chosen));
    picker->Folderbar_Click(QStringLiteral("deleteFolder"));  // Yes
    QCOMPARE(m_dialogs.titles(), QStringList({" Delete folder?", " Delete folder?"}));
    QVERIFY(!QFileInfo::exists(chosen));
    QVERIFY(m_backup->Text1->text().isEmpty());
    QCOMPARE(picker->Dir1->path(), QDir::toNativeSeparators(path(QStringLiteral("tree"))));
    picker->Folderbar_Click(QStringLiteral("exit"));
    QVERIFY(m_backup->Option2->isChecked());
}

void TestBackupDialog::createFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("messages");
    QTest::addRow("new name") << "fresh" << 0;
    QTest::addRow("existing name") << "old" << 0;
    QTest::addRow("empty answer") << "" << 0;
    QTest::addRow("path out of the folder") << "../escaped" << 1;
    QTest::addRow("parent") << ".." << 1;
}

void TestBackupDialog::createFolder()
{
    QFETCH(QString, name);
    QFETCH(int, messages);
    QDir().mkpath(path(QStringLiteral("tree/old/inside")));
    FolderPicker *picker = m_backup->picker();
    QVERIFY(picker->Dir1->setPath(path(QStringLiteral("tree"))));
    m_dialogs.inputs = {name};
    picker->Folderbar_Click(QStringLiteral("createFolder"));
    QCOMPARE(m_dialogs.shown.size(), messages);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("escaped"))));
    // Only a new name adds a folder, and only inside the one shown.
    const QStringList made =
        QDir(path(QStringLiteral("tree"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(made, name == u"fresh" ? QStringList({"fresh", "old"}) : QStringList{"old"});
    QVERIFY(QFileInfo::exists(path(QStringLiteral("tree/old/inside"))));
}

void TestBackupDialog::deleteFolderFailureAndRefusal()
{
    QDir().mkpath(path(QStringLiteral("tree/old/sub")));
    QFile hidden(path(QStringLiteral("tree/old/sub/.keep")));
    QVERIFY(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    FolderPicker *picker = m_backup->picker();
    QVERIFY(picker->Dir1->setPath(path(QStringLiteral("tree/old"))));
    picker->Folderbar_Click(QStringLiteral("deleteFolder"));  // Yes, then the error
    QCOMPARE(m_dialogs.titles(), QStringList({" Delete folder?", " Error"}));
    QVERIFY(m_dialogs.shown.last().text.startsWith(
        QStringLiteral("An error occurred while loading the program.\rExact error was: ")));
    QVERIFY(hidden.exists());
    QFile log(path(QStringLiteral("app/ErrorLog.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("Folderbar_Click-frmFolders.frm"));

    // The home folder is refused before any question.
    m_dialogs.shown.clear();
    QVERIFY(picker->Dir1->setPath(QDir::homePath()));
    picker->Folderbar_Click(QStringLiteral("deleteFolder"));
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown.first().buttons, MessageButtons::Ok);
    QVERIFY(QFileInfo(QDir::homePath()).isDir());
}

void TestBackupDialog::replaceWritesBackupsUnderTheChosenFolder()
{
    const QString files = path(QStringLiteral("tree/pets"));
    const QString chosen = QDir::toNativeSeparators(path(QStringLiteral("tree/mine")));
    QDir().mkpath(files);
    QDir().mkpath(chosen);
    QFile f(files + QStringLiteral("/a.txt"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("the cat\r\n");
    f.close();

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
    QVERIFY(!dialog->isVisible());
    w.Dir2->setPath(files);
    w.cboFilters->setCurrentIndex(1);  // "*.txt"
    w.File2->selectAll();
    w.txtFind->setEditText(QStringLiteral("cat"));
    w.txtReplace->setEditText(QStringLiteral("dog"));
    w.tool(QStringLiteral("Mainbar"), QStringLiteral("replace"))->trigger();

    QFile copy(chosen + QStringLiteral("/Backup/pets/a.txt"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("the cat\r\n"));
    // Committed before the copy, without the dialog being shown.
    QCOMPARE(SettingsStore::ReadRegString(HKEY_CURRENT_USER, Key, Value, QString()), chosen);
    QVERIFY(!dialog->isVisible());
    QFile report(path(QStringLiteral("app/Report.dat")));
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(report.readAll().contains(QByteArray("Backup files were created in ") +
                                      QFile::encodeName(chosen) + "/Backup/"));
    w.close();
}

QTEST_MAIN(TestBackupDialog)
#include "tst_backupdialog.moc"
