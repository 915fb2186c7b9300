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
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {
const QString Cancel = QStringLiteral("<cancel>");
const QStringList Filters{"*.htm", "*.txt", "*.ini", "*.*"};

QStringList stored()
{
    QStringList values;
    for (int i = 0; i < 12; ++i)
        values << SettingsStore::ReadRegString(SettingsStore::HKEY_CURRENT_USER,
                                               QStringLiteral("Software\\Scrivlane\\File Filters"),
                                               QStringLiteral("Filter%1").arg(i), QString());
    values.removeAll(QString());
    return values;
}

template <typename List>
QStringList entries(const List *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        if constexpr (std::is_same_v<List, QComboBox>)
            texts << list->itemText(i);
        else
            texts << list->item(i)->text().trimmed();
    }
    return texts;
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::optional<QString> typed(const QString &answer)
{
    return answer == Cancel ? std::nullopt : std::optional<QString>(answer);
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
    void openCopyPathAndHints();
    void propertiesAndViewSource();
    void folderTools_data();
    void folderTools();
    void deleteFolder_data();
    void deleteFolder();
    void addFilter_data();
    void addFilter();
    void editFilters_data();
    void editFilters();
    void filterDialogHintsAndHiding();

private:
    void show(const QStringList &names, const QString &open = QString());
    void choose(QMenu *menu, const QString &key);
    void setCaret(int row, bool selected);
    void highlight(const QString &name);
    QString file(const QString &name) const { return QDir(m_files).filePath(name); }
    bool logged(const char *step) const;
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
    Paths::setApplicationFolderForTesting(m_dir->filePath(QStringLiteral("app")));
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    m_files = m_dir->filePath(QStringLiteral("files"));
    QDir().mkpath(m_files);
    QDir().mkpath(m_dir->filePath(QStringLiteral("app")));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_opened.clear();
    m_w = std::make_unique<MainWindow>(m_dialogs.get());
    QVERIFY(m_w->Form_Load());
    m_w->cboFilters->setCurrentIndex(1);  // "*.txt"
}

void TestFileMenus::cleanup()
{
    m_w.reset();
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
    m_dir.reset();
}

void TestFileMenus::show(const QStringList &names, const QString &open)
{
    for (const QString &name : names) {
        QDir().mkpath(QFileInfo(file(name)).absolutePath());
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(name.toUtf8() + " the cat sat\n");
    }
    m_w->Dir2->setPath(open.isEmpty() ? m_files : file(open));
    m_w->Dir2->refresh();
    m_w->File2->refresh();
}

void TestFileMenus::choose(QMenu *menu, const QString &key)
{
    // Opened as the user opens them: the right button on the lists.
    if (menu == m_w->FileOptions)
        QTest::mousePress(m_w->File2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    else
        QTest::mouseRelease(m_w->Dir2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    QTRY_VERIFY(menu->isVisible());
    QAction *action = menu->findChild<QAction *>(key);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QTRY_VERIFY(!menu->isVisible());
}

void TestFileMenus::setCaret(int row, bool selected)
{
    m_w->File2->clearSelection();
    m_w->File2->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    m_w->File2->item(selected ? row : 1 - row)->setSelected(true);
}

void TestFileMenus::highlight(const QString &name)
{
    for (int i = 0; i < m_w->Dir2->count(); ++i) {
        if (m_w->Dir2->item(i)->text().trimmed() == name)
            m_w->Dir2->setCurrentRow(i);
    }
}

bool TestFileMenus::logged(const char *step) const
{
    QFile f(m_dir->filePath(QStringLiteral("app/ErrorLog.log")));
    return f.open(QIODevice::ReadOnly) &&
           f.readAll().contains("PopUpToolBar_Click:" + QByteArray(step) + "-frmFind.frm");
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
    show({"a.txt", "b.txt"});
    setCaret(0, true);
    m_dialogs->inputs << typed(answer);
    choose(m_w->FileOptions, QStringLiteral("rename"));
    QCOMPARE(namesIn(m_files), names);
    QCOMPARE(entries(m_w->File2), names);
    QCOMPARE(QFile(file(QStringLiteral("b.txt"))).size(), 18);  // never overwritten
    QCOMPARE(m_dialogs->titles(), refused ? QStringList{"Error"} : QStringList());
    QTEST(logged("RenameFile"), "logged");
}

void TestFileMenus::deleteFile_data()
{
    QTest::addColumn<bool>("caretSelected");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("gone");
    QTest::addColumn<bool>("vanished");
    QTest::addRow("read-only, Yes") << true << MessageAnswer::Yes << true << false;
    QTest::addRow("No") << true << MessageAnswer::No << false << false;
    QTest::addRow("caret entry not selected") << false << MessageAnswer::Yes << false << false;
    QTest::addRow("gone meanwhile") << true << MessageAnswer::Yes << true << true;
}

void TestFileMenus::deleteFile()
{
    QFETCH(bool, caretSelected);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, gone);
    QFETCH(bool, vanished);
    show({"a.txt", "b.txt"});
    QFile::setPermissions(file(QStringLiteral("a.txt")), QFileDevice::ReadOwner);
    setCaret(0, caretSelected);
    if (vanished)
        QFile::remove(file(QStringLiteral("a.txt")));
    m_dialogs->answers << answer;
    choose(m_w->FileOptions, QStringLiteral("deleteFile"));
    QCOMPARE(namesIn(m_files), (gone ? QStringList{"b.txt"} : QStringList{"a.txt", "b.txt"}));
    QCOMPARE(m_w->File2->count(), gone ? 1 : 2);
    QCOMPARE(m_dialogs->shown.size(), caretSelected ? 1 + int(vanished) : 0);
    QCOMPARE(logged("DelFile"), vanished);
    if (caretSelected) {
        const ScriptedDialogs::Shown &q = m_dialogs->shown[0];
        QCOMPARE(q.text, "Are you sure you want to delete " + file("a.txt") +
                             "?\rThis file will be permanently deleted, not sent to the recycle "
                             "bin.  Continue?");
        QCOMPARE(q.defaultAnswer, MessageAnswer::No);
    }
}

void TestFileMenus::openCopyPathAndHints()
{
    show({"a.txt", "b.txt"});
    setCaret(1, false);
    choose(m_w->FileOptions, QStringLiteral("open"));
    QVERIFY(m_opened.isEmpty());  // the caret's entry is not selected
    setCaret(1, true);
    choose(m_w->FileOptions, QStringLiteral("open"));
    choose(m_w->FileOptions, QStringLiteral("copyPath"));
    choose(m_w->FolderOptions, QStringLiteral("openFolder"));
    QCOMPARE(m_opened,
             (QList<QUrl>{QUrl::fromLocalFile(file("b.txt")), QUrl::fromLocalFile(m_files)}));
    QCOMPARE(QGuiApplication::clipboard()->text(), file("b.txt"));

    QTest::mousePress(m_w->File2->viewport(), Qt::RightButton, {}, QPoint(2, 2));
    QTRY_VERIFY(m_w->FileOptions->isVisible());
    m_w->FileOptions->findChild<QAction *>(QStringLiteral("viewSource"))->hover();
    QCOMPARE(m_w->StatusBar1Panel1->text(), QStringLiteral(" CTRL + V"));
    QCOMPARE(m_w->StatusBar1Panel2->text(),
             QStringLiteral(" This will load all selected files into the File Viewer."));
    m_w->FileOptions->hide();
    QCOMPARE(m_w->StatusBar1Panel2->text(), QString());
}

void TestFileMenus::propertiesAndViewSource()
{
    show({"a.txt", "b.txt", "c.txt"});
    QFile f(file("b.txt"));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(1536, 'x')) == 1536);
    f.close();
    QFile::setPermissions(file("b.txt"), QFileDevice::ReadOwner);
    setCaret(1, true);
    choose(m_w->FileOptions, QStringLiteral("properties"));
    QCOMPARE(m_w->StatusBar1Panel2->text(),
             QStringLiteral(" Currently viewing the file properties of b.txt"));
    QPointer<FilePropertiesDialog> d = m_w->findChild<FilePropertiesDialog *>();
    QVERIFY(d && d->isVisible() && d->isModal());
    QCOMPARE(d->lblFileSize->text(), QStringLiteral("1.50KB (1,536 bytes)"));
    QCOMPARE(d->lblCreated->text(), QStringLiteral("[unknown]"));
    QCOMPARE(d->lblFileLocation->text(), m_files);
    QVERIFY(d->chkReadonly->isChecked() && !d->chkHidden->isChecked());
    QTest::mouseClick(d->Command1, Qt::LeftButton);
    QTRY_VERIFY(d.isNull());  // unloaded: the next opening reads afresh

    m_w->File2->item(0)->setSelected(true);
    m_w->File2->item(2)->setSelected(true);
    choose(m_w->FileOptions, QStringLiteral("viewSource"));
    ViewerWindow &v = *m_w->viewer();
    QVERIFY(v.isVisible());
    QCOMPARE(v.listCount(), 3);
    QCOMPARE(v.windowTitle(), "Viewing document: " + file("a.txt"));
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("a.txt the cat sat\n"));
}

void TestFileMenus::folderTools_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("highlighted");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("refused");
    const QStringList both{"one", "two"};
    QTest::addRow("new") << "newFolder"
                         << ""
                         << ""
                         << "new" << QStringList{"new", "one", "two"} << false;
    QTest::addRow("new, exists") << "newFolder"
                                 << ""
                                 << ""
                                 << "one" << both << true;
    QTest::addRow("new, outside") << "newFolder"
                                  << ""
                                  << ""
                                  << "../new" << both << true;
    QTest::addRow("rename open folder") << "renameFolder"
                                        << "one"
                                        << "one"
                                        << "new" << QStringList{"new", "two"} << false;
    QTest::addRow("rename highlighted subfolder") << "renameFolder"
                                                  << ""
                                                  << "two"
                                                  << "new" << QStringList{"new", "one"} << false;
    QTest::addRow("rename onto existing") << "renameFolder"
                                          << ""
                                          << "two"
                                          << "one" << both << true;
    QTest::addRow("rename cancelled") << "renameFolder"
                                      << "one"
                                      << "one" << Cancel << both << false;
}

void TestFileMenus::folderTools()
{
    QFETCH(QString, tool);
    QFETCH(QString, open);
    QFETCH(QString, highlighted);
    QFETCH(QString, answer);
    QFETCH(QStringList, folders);
    QFETCH(bool, refused);
    show({"one/a.txt", "two/b.txt"}, open);
    highlight(highlighted);
    m_dialogs->inputs << typed(answer);
    choose(m_w->FolderOptions, tool);
    QCOMPARE(namesIn(m_files), folders);
    QCOMPARE(namesIn(m_dir->path()), (QStringList{"app", "files", "settings.ini"}));
    // The list moves up when its open folder got another name.
    const bool moved = open == highlighted && !refused && answer != Cancel;
    QCOMPARE(m_w->Dir2->path(), open.isEmpty() || moved ? m_files : file(open));
    QCOMPARE(m_w->File2->folder(), m_w->Dir2->path());
    if (m_w->Dir2->path() == m_files)
        QCOMPARE(entries(m_w->Dir2).mid(m_w->Dir2->count() - folders.size()), folders);
    QCOMPARE(m_dialogs->shown.size(), int(refused));
    if (refused && tool == u"newFolder")
        QVERIFY(m_dialogs->shown[0].text.startsWith(
            u"There was an error while attempting to create the folder.\rExact error was: "));
    QCOMPARE(logged("RenameFolder"), refused && tool == u"renameFolder");
}

void TestFileMenus::deleteFolder_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("hiddenInside");
    QTest::addColumn<QStringList>("folders");
    QTest::addRow("highlighted subfolder")
        << "" << MessageAnswer::Yes << false << QStringList{"two"};
    QTest::addRow("open folder") << "one" << MessageAnswer::Yes << false << QStringList{"two"};
    QTest::addRow("No") << "one" << MessageAnswer::No << false << QStringList{"one", "two"};
    // A hidden file is not deleted, so its folder cannot go: reported and logged.
    QTest::addRow("hidden file inside")
        << "" << MessageAnswer::Yes << true << QStringList{"one", "two"};
}

void TestFileMenus::deleteFolder()
{
    QFETCH(QString, open);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, hiddenInside);
    QFETCH(QStringList, folders);
    // A link inside the doomed folder leads out of it: its target must stay.
    QStringList names{"one/a.txt", "one/deep/er/b.txt", "two/c.txt"};
    if (hiddenInside)
        names << QStringLiteral("one/deep/.hidden");
    show(names, open);
    QVERIFY(QFile::link(m_files + "/two", file("one/link")));
    highlight(QStringLiteral("one"));
    m_dialogs->answers << answer;
    choose(m_w->FolderOptions, QStringLiteral("deleteFolder"));
    QCOMPARE(m_dialogs->shown[0].title, QStringLiteral(" Remove directory"));
    QCOMPARE(m_dialogs->shown[0].text,
             "Are you sure you want to remove " + file("one") +
                 " ?\rThis folder will be permanently deleted, not sent to the recycle bin.  "
                 "Continue?");
    QCOMPARE(m_dialogs->shown[0].defaultAnswer, MessageAnswer::No);
    QCOMPARE(m_dialogs->shown.size(), 1 + int(hiddenInside));
    QCOMPARE(logged("DelFolder"), hiddenInside);
    QCOMPARE(namesIn(m_files), folders);
    QCOMPARE(namesIn(file("two")), (QStringList{"c.txt"}));
    QCOMPARE(m_w->Dir2->path(), answer == MessageAnswer::Yes ? m_files : file(open));
}

void TestFileMenus::addFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addRow("untouched box") << "*."
                                   << "";
    QTest::addRow("two patterns") << "*.log;*.md"
                                  << "";
    QTest::addRow("other letter case") << "*.TXT"
                                       << "";
    QTest::addRow("duplicate") << "*.txt"
                               << "That filter is already in the list.";
    QTest::addRow("path") << "logs/*.txt"
                          << "You have entered an invalid file filter.";
}

FilterManagerDialog *TestFileMenus::openFilters()
{
    QTest::mouseClick(m_w->cmdFilters, Qt::LeftButton);
    auto *d = m_w->findChild<FilterManagerDialog *>();
    if (d && (!d->isModal() || d->txtNewFilter->text() != u"*." ||
              d->txtNewFilter->cursorPosition() != 2))
        return nullptr;
    return d;
}

void TestFileMenus::addFilter()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    d->txtNewFilter->setText(text);
    QTest::keyClick(d->txtNewFilter, Qt::Key_Return);
    const bool added = message.isEmpty() && text != u"*.";
    const QStringList after = added ? Filters + QStringList{text} : Filters;
    QCOMPARE(entries(d->List1), after);
    QCOMPARE(entries(m_w->cboFilters), after);
    QCOMPARE(stored(), added ? after : QStringList());  // stored at once
    QCOMPARE(d->txtNewFilter->text(), QStringLiteral("*."));
    QCOMPARE(m_dialogs->titles(), message.isEmpty() ? QStringList() : QStringList{"Filter error"});
    if (!message.isEmpty())
        QCOMPARE(m_dialogs->shown[0].text, message);
    // A filter clicked in the list and entered again is a duplicate.
    QTest::mouseClick(d->List1->viewport(), Qt::LeftButton, {},
                      d->List1->visualItemRect(d->List1->item(0)).center());
    QTest::keyClick(d->txtNewFilter, Qt::Key_Return);
    QCOMPARE(m_dialogs->shown.last().text, QStringLiteral("That filter is already in the list."));
    QCOMPARE(entries(d->List1), after);
}

void TestFileMenus::editFilters_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("order");
    QTest::addRow("first up") << 0 << "moveUp" << Filters;
    QTest::addRow("last down") << 3 << "moveDown" << Filters;
    QTest::addRow("nothing selected") << -1 << "removeFilter" << Filters;
    QTest::addRow("second up") << 1 << "moveUp" << QStringList{"*.txt", "*.htm", "*.ini", "*.*"};
    QTest::addRow("third down") << 2 << "moveDown" << QStringList{"*.htm", "*.txt", "*.*", "*.ini"};
    QTest::addRow("remove third") << 2 << "removeFilter" << QStringList{"*.htm", "*.txt", "*.*"};
}

void TestFileMenus::editFilters()
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
    // Every change selects the first filter; one that cannot be made changes nothing.
    QCOMPARE(m_w->File2->pattern(), order == Filters ? QStringLiteral("*.txt") : order.first());
    // A removal is stored at once, a move at shut-down.
    const bool removed = tool == u"removeFilter" && row >= 0;
    QCOMPARE(stored(), removed ? order : QStringList());
    m_w->close();
    QCOMPARE(stored(), order);
}

void TestFileMenus::filterDialogHintsAndHiding()
{
    FilterManagerDialog *d = openFilters();
    QVERIFY(d);
    d->Filterbar->findChild<QAction *>(QStringLiteral("exit"))->hover();
    QCOMPARE(m_w->StatusBar1Panel2->text(), QStringLiteral(" Return to the main form."));
    QTest::mouseMove(d->List1->viewport(), QPoint(3, 3));
    QTRY_COMPARE(m_w->StatusBar1Panel2->text(), QString());
    d->Filterbar->findChild<QAction *>(QStringLiteral("exit"))->trigger();
    QVERIFY(!d->isVisible());
    // Loaded once: the next opening shows the same dialog with a fresh box.
    d->txtNewFilter->setText(QStringLiteral("*.x"));
    QCOMPARE(openFilters(), d);
    QEvent deactivate(QEvent::WindowDeactivate);  // another program took the activation
    QApplication::sendEvent(d, &deactivate);
    QVERIFY(!d->isVisible());
}

QTEST_MAIN(TestFileMenus)
#include "tst_filemenus.moc"
