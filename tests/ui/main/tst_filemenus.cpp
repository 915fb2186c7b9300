#include "support/FakeRunHost.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/dialogs/FilterManagerDialog.h"
#include "ui/main/FileList.h"
#include "ui/main/FolderList.h"
#include "ui/main/MainWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

using SettingsStore::HKEY_CURRENT_USER;

namespace {
const QString FiltersKey = QStringLiteral("Software\\Scrivlane\\File Filters");
const QString Cancel = QStringLiteral("<cancel>");

QStringList stored()
{
    QStringList values;
    for (int i = 0; i < 12; ++i) {
        const QString v = SettingsStore::ReadRegString(
            HKEY_CURRENT_USER, FiltersKey, QStringLiteral("Filter%1").arg(i), QString());
        if (!v.isEmpty())
            values << v;
    }
    return values;
}

QStringList entries(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text().trimmed();
    return texts;
}

// A confirmation that deletes something: Yes and No, question icon, No by default.
void verifyQuestion(const ScriptedDialogs::Shown &q, const QString &title, const QString &text)
{
    QCOMPARE(q.title, title);
    QCOMPARE(q.text, text);
    QCOMPARE(q.buttons, MessageButtons::YesNo);
    QCOMPARE(q.icon, MessageIcon::Question);
    QCOMPARE(q.defaultAnswer, MessageAnswer::No);
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
}  // namespace

class TestFileMenus : public QObject {
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void renameFile_data();
    void renameFile();
    void deleteFile_data();
    void deleteFile();
    void openAndCopyPath_data();
    void openAndCopyPath();
    void propertiesOfTheCaretEntry();
    void viewSourceAndFind();
    void menuHints();
    void newFolder_data();
    void newFolder();
    void renameFolder_data();
    void renameFolder();
    void deleteFolder_data();
    void deleteFolder();
    void protectedFoldersAreLeftAlone_data();
    void protectedFoldersAreLeftAlone();
    void addFilter_data();
    void addFilter();
    void moveFilter_data();
    void moveFilter();
    void removeFilterIsStoredAtOnce();
    void filterHintsAndHiding();

private:
    void show(const QStringList &names, const QString &folder = QString());
    void choose(QMenu *menu, const QString &key);
    void chooseFile(const QString &key) { choose(m_w->FileOptions, key); }
    void chooseFolder(const QString &key) { choose(m_w->FolderOptions, key); }
    void setCaret(int row, bool selected);
    void highlight(const QString &name);
    QString file(const QString &name) const { return QDir(m_files).filePath(name); }
    QString log() const;
    FilterManagerDialog *openFilters();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_w;
    QString m_files;
    QList<QUrl> m_opened;
};

void TestFileMenus::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
}

void TestFileMenus::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath(QStringLiteral("app"));
    Paths::setApplicationFolderForTesting(
        QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("app"))));
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    m_files = m_dir->filePath(QStringLiteral("files"));
    QDir().mkpath(m_files);
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_opened.clear();
    m_w = std::make_unique<MainWindow>(m_dialogs.get());
    QVERIFY(m_w->Form_Load());
    m_w->cboFilters->setCurrentIndex(1);  // "*.txt"
}

void TestFileMenus::cleanup()
{
    m_w.reset();
    m_dialogs.reset();
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
    m_dir.reset();
}

void TestFileMenus::show(const QStringList &names, const QString &folder)
{
    for (const QString &name : names) {
        QDir().mkpath(QFileInfo(file(name)).absolutePath());
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(name.toUtf8() + " the cat sat\n");
    }
    m_w->Dir2->setPath(folder.isEmpty() ? m_files : folder);
    m_w->Dir2->refresh();
    m_w->File2->refresh();
}

void TestFileMenus::choose(QMenu *menu, const QString &key)
{
    // The menus pop up as the user opens them: right button on the lists.
    if (menu == m_w->FileOptions)
        QTest::mousePress(m_w->File2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    else
        QTest::mouseRelease(m_w->Dir2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    QTRY_VERIFY(menu->isVisible());
    QAction *action = menu->findChild<QAction *>(key);
    QVERIFY(action);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QTRY_VERIFY(!menu->isVisible());
}

void TestFileMenus::setCaret(int row, bool selected)
{
    m_w->File2->clearSelection();
    m_w->File2->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    m_w->File2->item(row)->setSelected(selected);
    if (!selected)
        m_w->File2->item(row == 0 ? 1 : 0)->setSelected(true);
}

void TestFileMenus::highlight(const QString &name)
{
    for (int i = 0; i < m_w->Dir2->count(); ++i) {
        if (m_w->Dir2->item(i)->text().trimmed() == name)
            m_w->Dir2->setCurrentRow(i);
    }
}

QString TestFileMenus::log() const
{
    QFile f(m_dir->filePath(QStringLiteral("app/ErrorLog.log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void TestFileMenus::renameFile_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("logged");
    const QStringList kept{"a.txt", "b.txt"};
    QTest::addRow("renamed") << "c.txt" << QStringList{"b.txt", "c.txt"} << false << false;
    QTest::addRow("cancelled") << Cancel << kept << false << false;
    QTest::addRow("without a dot") << "c" << kept << true << false;
    QTest::addRow("onto an existing file") << "b.txt" << kept << true << true;
    QTest::addRow("out of the folder") << "../c.txt" << kept << true << true;
}

void TestFileMenus::renameFile()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, names);
    QFETCH(bool, refused);
    QFETCH(bool, logged);
    show({"a.txt", "b.txt"});
    setCaret(0, true);
    m_dialogs->inputs << (answer == Cancel ? std::nullopt : std::optional<QString>(answer));
    chooseFile(QStringLiteral("rename"));

    QCOMPARE(namesIn(m_files), names);
    QCOMPARE(entries(m_w->File2), names);
    QCOMPARE(QFile(file(QStringLiteral("b.txt"))).size(),
             qint64(QByteArray("b.txt the cat sat\n").size()));
    QCOMPARE(m_dialogs->shown.size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(m_dialogs->shown[0].text,
                 QStringLiteral("There was an error while attempting to rename the file."));
        QCOMPARE(m_dialogs->shown[0].title, QStringLiteral("Error"));
    }
    QCOMPARE(log().contains(u"PopUpToolBar_Click:RenameFile-frmFind.frm"), logged);
}

void TestFileMenus::deleteFile_data()
{
    QTest::addColumn<bool>("caretSelected");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("vanished");
    QTest::addRow("Yes") << true << MessageAnswer::Yes << true << false;
    QTest::addRow("No") << true << MessageAnswer::No << false << false;
    QTest::addRow("caret entry not selected") << false << MessageAnswer::Yes << false << false;
    QTest::addRow("gone meanwhile") << true << MessageAnswer::Yes << true << true;
}

void TestFileMenus::deleteFile()
{
    QFETCH(bool, caretSelected);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, deleted);
    QFETCH(bool, vanished);
    show({"a.txt", "b.txt"});
    QFile::setPermissions(file(QStringLiteral("a.txt")), QFileDevice::ReadOwner);
    setCaret(0, caretSelected);
    if (vanished)
        QVERIFY(QFile::remove(file(QStringLiteral("a.txt"))));
    m_dialogs->answers << answer;
    chooseFile(QStringLiteral("deleteFile"));

    QCOMPARE(QFileInfo::exists(file(QStringLiteral("a.txt"))), !deleted);
    QCOMPARE(entries(m_w->File2).contains(u"a.txt"), !deleted);
    QVERIFY(QFileInfo::exists(file(QStringLiteral("b.txt"))));
    QCOMPARE(m_dialogs->shown.size(), caretSelected ? (vanished ? 2 : 1) : 0);
    QCOMPARE(log().contains(u"PopUpToolBar_Click:DelFile-frmFind.frm"), vanished);
    if (caretSelected) {
        verifyQuestion(m_dialogs->shown[0], QStringLiteral("Delete file?"),
                       QStringLiteral("Are you sure you want to delete ") +
                           file(QStringLiteral("a.txt")) +
                           QStringLiteral("?\rThis file will be permanently deleted, not sent to "
                                          "the recycle bin.  Continue?"));
    }
}

void TestFileMenus::openAndCopyPath_data()
{
    QTest::addColumn<bool>("caretSelected");
    QTest::addRow("caret entry selected") << true;
    QTest::addRow("caret entry not selected") << false;
}

void TestFileMenus::openAndCopyPath()
{
    QFETCH(bool, caretSelected);
    show({"a.txt", "b.txt"});
    setCaret(1, caretSelected);
    chooseFile(QStringLiteral("open"));
    const QList<QUrl> expected{QUrl::fromLocalFile(file(QStringLiteral("b.txt")))};
    QCOMPARE(m_opened, caretSelected ? expected : QList<QUrl>());
    chooseFile(QStringLiteral("copyPath"));
    QCOMPARE(QGuiApplication::clipboard()->text(), file(QStringLiteral("b.txt")));
    chooseFolder(QStringLiteral("openFolder"));
    QCOMPARE(m_opened.last(), QUrl::fromLocalFile(m_files));
}

void TestFileMenus::propertiesOfTheCaretEntry()
{
    show({"a.txt", "b.txt"});
    QFile f(file(QStringLiteral("b.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1536, 'x'));
    f.close();
    QFile::setPermissions(file(QStringLiteral("b.txt")), QFileDevice::ReadOwner);
    setCaret(1, true);
    chooseFile(QStringLiteral("properties"));

    QCOMPARE(m_w->StatusBar1Panel2->text(),
             QStringLiteral(" Currently viewing the file properties of b.txt"));
    QPointer<FilePropertiesDialog> d = m_w->findChild<FilePropertiesDialog *>();
    QVERIFY(d && d->isVisible() && d->isModal());
    QCOMPARE(d->windowTitle(), QStringLiteral(" File Properties"));
    QCOMPARE(d->lblFileName->text(), QStringLiteral("b.txt"));
    QCOMPARE(d->lblFileLocation->text(), m_files);
    QCOMPARE(d->lblFileSize->text(), QStringLiteral("1.50KB (1,536 bytes)"));
    QCOMPARE(d->lblCreated->text(), QStringLiteral("[unknown]"));
    QVERIFY(d->chkReadonly->isChecked());
    QVERIFY(!d->chkHidden->isChecked());
    QVERIFY(!d->chkArchive->isEnabled() && !d->chkSystem->isEnabled());
    QTest::mouseClick(d->Command1, Qt::LeftButton);
    QTRY_VERIFY(d.isNull());
}

void TestFileMenus::viewSourceAndFind()
{
    show({"a.txt", "b.txt", "c.txt"});
    m_w->File2->item(0)->setSelected(true);
    m_w->File2->item(2)->setSelected(true);
    chooseFile(QStringLiteral("viewSource"));
    ViewerWindow &v = *m_w->viewer();
    QVERIFY(v.isVisible());
    QCOMPARE(v.listCount(), 2);
    QCOMPARE(v.listItem(1), file(QStringLiteral("c.txt")));
    QCOMPARE(v.windowTitle(), QStringLiteral("Viewing document: ") + file(QStringLiteral("a.txt")));
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("a.txt the cat sat\n"));

    v.hide();
    m_w->File2->clearSelection();
    m_w->File2->item(1)->setSelected(true);
    m_w->txtFind->setEditText(QStringLiteral("cat"));
    chooseFile(QStringLiteral("find"));
    QTRY_VERIFY(v.isVisible());
    QCOMPARE(v.listCount(), 1);
    QCOMPARE(v.listItem(0), file(QStringLiteral("b.txt")));
}

void TestFileMenus::menuHints()
{
    show({"a.txt"});
    m_w->File2->selectAll();
    QTest::mousePress(m_w->File2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    QTRY_VERIFY(m_w->FileOptions->isVisible());
    m_w->FileOptions->findChild<QAction *>(QStringLiteral("viewSource"))->hover();
    QCOMPARE(m_w->StatusBar1Panel2->text(),
             QStringLiteral(" This will load all selected files into the File Viewer."));
    QCOMPARE(m_w->StatusBar1Panel1->text(), QStringLiteral(" CTRL + V"));
    m_w->FileOptions->findChild<QAction *>(QStringLiteral("copyPath"))->hover();
    QCOMPARE(m_w->StatusBar1Panel1->text(), QStringLiteral("Scrivlane"));
    m_w->FileOptions->hide();
    QCOMPARE(m_w->StatusBar1Panel2->text(), QString());
}

void TestFileMenus::newFolder_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("refused");
    QTest::addRow("created") << "new" << QStringList{"new", "old"} << false;
    QTest::addRow("cancelled") << Cancel << QStringList{"old"} << false;
    QTest::addRow("exists") << "old" << QStringList{"old"} << true;
    QTest::addRow("out of the folder") << "../new" << QStringList{"old"} << true;
}

void TestFileMenus::newFolder()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, folders);
    QFETCH(bool, refused);
    show({"old/keep.txt"});
    m_dialogs->inputs << (answer == Cancel ? std::nullopt : std::optional<QString>(answer));
    chooseFolder(QStringLiteral("newFolder"));
    QCOMPARE(namesIn(m_files), folders);
    QCOMPARE(namesIn(m_dir->path()), (QStringList{"app", "files", "settings.ini"}));
    for (const QString &folder : folders) QVERIFY(entries(m_w->Dir2).contains(folder));
    QCOMPARE(m_dialogs->shown.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(m_dialogs->shown[0].text.startsWith(
            u"There was an error while attempting to create the folder.\rExact error was: "));
}

void TestFileMenus::renameFolder_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("highlighted");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("openAfter");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("refused");
    QTest::addRow("the open folder") << "one"
                                     << "one"
                                     << "new"
                                     << "" << QStringList{"new", "two"} << false;
    QTest::addRow("a highlighted subfolder") << ""
                                             << "two"
                                             << "new"
                                             << "" << QStringList{"new", "one"} << false;
    QTest::addRow("onto an existing folder") << ""
                                             << "two"
                                             << "one"
                                             << "" << QStringList{"one", "two"} << true;
    QTest::addRow("cancelled") << "one"
                               << "one" << Cancel << "one" << QStringList{"one", "two"} << false;
}

void TestFileMenus::renameFolder()
{
    QFETCH(QString, open);
    QFETCH(QString, highlighted);
    QFETCH(QString, answer);
    QFETCH(QString, openAfter);
    QFETCH(QStringList, folders);
    QFETCH(bool, refused);
    show({"one/a.txt", "two/b.txt"}, open.isEmpty() ? m_files : file(open));
    highlight(highlighted);
    m_dialogs->inputs << (answer == Cancel ? std::nullopt : std::optional<QString>(answer));
    chooseFolder(QStringLiteral("renameFolder"));
    QCOMPARE(namesIn(m_files), folders);
    QCOMPARE(m_w->Dir2->path(), openAfter.isEmpty() ? m_files : file(openAfter));
    QCOMPARE(m_w->File2->folder(), m_w->Dir2->path());
    if (m_w->Dir2->path() == m_files)
        QCOMPARE(entries(m_w->Dir2).mid(entries(m_w->Dir2).size() - 2), folders);
    QCOMPARE(m_dialogs->shown.size(), refused ? 1 : 0);
    QCOMPARE(log().contains(u"PopUpToolBar_Click:RenameFolder-frmFind.frm"), refused);
}

void TestFileMenus::deleteFolder_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("highlighted");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("blocked");
    const QStringList both{"one", "two"};
    QTest::addRow("a highlighted subfolder")
        << ""
        << "one" << MessageAnswer::Yes << QStringList{"two"} << false;
    QTest::addRow("the open folder") << "one"
                                     << "one" << MessageAnswer::Yes << QStringList{"two"} << false;
    QTest::addRow("No") << "one"
                        << "one" << MessageAnswer::No << both << false;
    // A hidden file is not deleted, so its folder cannot go: reported and logged.
    QTest::addRow("holding a hidden file") << ""
                                           << "one" << MessageAnswer::Yes << both << true;
}

void TestFileMenus::deleteFolder()
{
    QFETCH(QString, open);
    QFETCH(QString, highlighted);
    QFETCH(MessageAnswer, answer);
    QFETCH(QStringList, folders);
    QFETCH(bool, blocked);
    // A link inside the doomed folder leads out of it: its target must stay.
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("outside"))));
    QFile keep(m_dir->filePath(QStringLiteral("outside/keep.txt")));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    QStringList names{"one/a.txt", "one/deep/er/b.txt", "two/c.txt"};
    if (blocked)
        names << QStringLiteral("one/deep/.hidden");
    show(names, open.isEmpty() ? m_files : file(open));
    QVERIFY(
        QFile::link(m_dir->filePath(QStringLiteral("outside")), file(QStringLiteral("one/link"))));
    highlight(highlighted);
    m_dialogs->answers << answer;
    chooseFolder(QStringLiteral("deleteFolder"));

    QCOMPARE(m_dialogs->shown.size(), blocked ? 2 : 1);
    QCOMPARE(log().contains(u"PopUpToolBar_Click:DelFolder-frmFind.frm"), blocked);
    verifyQuestion(m_dialogs->shown[0], QStringLiteral(" Remove directory"),
                   QStringLiteral("Are you sure you want to remove ") +
                       file(QStringLiteral("one")) +
                       QStringLiteral(" ?\rThis folder will be permanently deleted, not sent to "
                                      "the recycle bin.  Continue?"));
    QCOMPARE(namesIn(m_files), folders);
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("outside/keep.txt"))));
    const QString openAfter = answer == MessageAnswer::Yes ? QString() : open;
    QCOMPARE(m_w->Dir2->path(), openAfter.isEmpty() ? m_files : file(openAfter));
    QCOMPARE(entries(m_w->Dir2).contains(u"one"), folders.contains(u"one"));
}

void TestFileMenus::protectedFoldersAreLeftAlone_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("tool");
    for (const char *tool : {"renameFolder", "deleteFolder"}) {
        QTest::addRow("root, %s", tool) << QDir::rootPath() << tool;
        QTest::addRow("home, %s", tool) << QDir::homePath() << tool;
    }
}

void TestFileMenus::protectedFoldersAreLeftAlone()
{
    QFETCH(QString, folder);
    QFETCH(QString, tool);
    QVERIFY(m_w->Dir2->setPath(folder));
    m_dialogs->inputs << QStringLiteral("renamed");
    chooseFolder(tool);
    QCOMPARE(m_dialogs->inputs.size(), 1);
    QVERIFY(m_dialogs->shown.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());
}

void TestFileMenus::addFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("added");
    QTest::addRow("untouched box") << "*."
                                   << "" << false;
    QTest::addRow("empty box") << ""
                               << "" << false;
    QTest::addRow("new filter") << "*.log;*.md"
                                << "" << true;
    QTest::addRow("other letter case") << "*.TXT"
                                       << "" << true;
    QTest::addRow("duplicate") << "*.txt"
                               << "That filter is already in the list." << false;
    QTest::addRow("path") << "logs/*.txt"
                          << "You have entered an invalid file filter." << false;
}

FilterManagerDialog *TestFileMenus::openFilters()
{
    QTest::mouseClick(m_w->cmdFilters, Qt::LeftButton);
    auto *d = m_w->findChild<FilterManagerDialog *>();
    if (d) {
        [&] {
            QVERIFY(d->isVisible() && d->isModal());
            QCOMPARE(d->txtNewFilter->text(), QStringLiteral("*."));
            QCOMPARE(d->txtNewFilter->cursorPosition(), 2);
        }();
    }
    return d;
}

void TestFileMenus::addFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(bool, added);
    const QStringList before{"*.htm", "*.txt", "*.ini", "*.*"};
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    QCOMPARE(entries(d->List1), before);
    d->txtNewFilter->setText(typed);
    QTest::keyClick(d->txtNewFilter, Qt::Key_Return);

    const QStringList after = added ? before + QStringList{typed} : before;
    QCOMPARE(entries(d->List1), after);
    QCOMPARE(entries(m_w->cboFilters), after);
    QCOMPARE(stored(), added ? after : QStringList());
    QCOMPARE(m_w->cboFilters->currentIndex(), added ? 0 : 1);
    QCOMPARE(d->txtNewFilter->text(), typed.isEmpty() ? QString() : QStringLiteral("*."));
    QCOMPARE(m_dialogs->shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(m_dialogs->shown[0].text, message);
        QCOMPARE(m_dialogs->shown[0].title, QStringLiteral("Filter error"));
        QCOMPARE(m_dialogs->shown[0].icon, MessageIcon::Information);
    }
    // A filter clicked in the list and entered again is a duplicate.
    m_dialogs->shown.clear();
    QListWidgetItem *first = d->List1->item(0);
    QTest::mouseClick(d->List1->viewport(), Qt::LeftButton, {},
                      d->List1->visualItemRect(first).center());
    QCOMPARE(d->txtNewFilter->text(), QStringLiteral("*.htm"));
    QTest::keyClick(d->txtNewFilter, Qt::Key_Return);
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(entries(d->List1), after);
}

void TestFileMenus::moveFilter_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("order");
    const QStringList same{"*.htm", "*.txt", "*.ini", "*.*"};
    QTest::addRow("first up") << 0 << "moveUp" << same;
    QTest::addRow("last down") << 3 << "moveDown" << same;
    QTest::addRow("nothing selected") << -1 << "moveDown" << same;
    QTest::addRow("second up") << 1 << "moveUp" << QStringList{"*.txt", "*.htm", "*.ini", "*.*"};
    QTest::addRow("third down") << 2 << "moveDown" << QStringList{"*.htm", "*.txt", "*.*", "*.ini"};
}

void TestFileMenus::moveFilter()
{
    QFETCH(int, row);
    QFETCH(QString, tool);
    QFETCH(QStringList, order);
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    d->List1->setCurrentRow(row);
    d->Filterbar->findChild<QAction *>(tool)->trigger();
    QCOMPARE(entries(d->List1), order);
    QCOMPARE(entries(m_w->cboFilters), order);
    // Every move selects the first filter; a move that cannot be made leaves all as it was.
    const bool moved = order != QStringList{"*.htm", "*.txt", "*.ini", "*.*"};
    QCOMPARE(m_w->File2->pattern(), moved ? order.first() : QStringLiteral("*.txt"));
    // Moves are stored at shut-down only.
    QCOMPARE(stored(), QStringList());
    m_w->close();
    QCOMPARE(stored(), order);
}

void TestFileMenus::removeFilterIsStoredAtOnce()
{
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    QAction *remove = d->Filterbar->findChild<QAction *>(QStringLiteral("removeFilter"));
    remove->trigger();  // nothing selected
    QCOMPARE(entries(d->List1).size(), 4);
    d->List1->setCurrentRow(2);
    remove->trigger();
    const QStringList left{"*.htm", "*.txt", "*.*"};
    QCOMPARE(entries(d->List1), left);
    QCOMPARE(entries(m_w->cboFilters), left);
    QCOMPARE(stored(), left);
}

void TestFileMenus::filterHintsAndHiding()
{
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    d->Filterbar->findChild<QAction *>(QStringLiteral("moveUp"))->hover();
    QCOMPARE(
        m_w->StatusBar1Panel2->text(),
        QStringLiteral(" Move the currently selected filter up in the list of available filters."));
    QTest::mouseMove(d->List1->viewport(), QPoint(3, 3));
    QTRY_COMPARE(m_w->StatusBar1Panel2->text(), QString());
    d->Filterbar->findChild<QAction *>(QStringLiteral("exit"))->trigger();
    QVERIFY(!d->isVisible());
    // It stays loaded: the next opening shows the same list and a fresh box.
    d->txtNewFilter->setText(QStringLiteral("*.x"));
    QCOMPARE(openFilters(), d);
    QVERIFY(QTest::qWaitForWindowActive(d));
    // Losing the activation (to another program) hides it.
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(d, &deactivate);
    QVERIFY(!d->isVisible());
}

QTEST_MAIN(TestFileMenus)
#include "tst_filemenus.moc"
