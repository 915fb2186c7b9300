#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/dialogs/FilterManagerDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {
const QString Cancel = QStringLiteral("<cancel>");
const QStringList Filters{"*.htm", "*.txt", "*.ini", "*.*"};
const QString Duplicate = QStringLiteral("That filter is already in the list.");

QStringList stored()
{
    QStringList values;
    for (int i = 0; i < 12; ++i)
        values << SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER,
                                            QStringLiteral("Software\\Scrivlane\\File Filters"),
                                            QStringLiteral("Filter%1").arg(i), QString());
    values.removeAll(QString());
    return values;
}

template <typename List>  // a list or a combo box
QStringList entries(const List *list)
{
    const QAbstractItemModel *model = list->model();
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString().trimmed();
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

private:
    QString file(const QString &name) const { return QDir(m_files).filePath(name); }

    void show(const QStringList &names, const QString &open = QString())
    {
        for (const QString &name : names)
            m_tree->write(QStringLiteral("files/") + name, name.toUtf8() + " the cat sat\n");
        m_w->folderList->setPath(open.isEmpty() ? m_files : file(open));
        m_w->folderList->refresh();
        m_w->fileList->refresh();
    }

    // Opened as the user opens them: the right button on the lists (on the
    // file list, on a selected file, so that the selection stays as it is).
    void choose(QMenu *menu, const QString &key)
    {
        if (menu == m_w->fileMenu) {
            const QList<QListWidgetItem *> selected = m_w->fileList->selectedItems();
            QWidget *viewport = m_w->fileList->viewport();
            const QPoint at = selected.isEmpty()
                                  ? QPoint(2, viewport->height() - 2)
                                  : m_w->fileList->visualItemRect(selected.first()).center();
            QTest::mousePress(viewport, Qt::RightButton, {}, at);
        } else
            QTest::mouseRelease(m_w->folderList->viewport(), Qt::RightButton, {}, QPoint(2, 2));
        QTRY_VERIFY(menu->isVisible());
        QAction *action = menu->findChild<QAction *>(key);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    }

    void setCaret(int row, bool selected)
    {
        m_w->fileList->clearSelection();
        m_w->fileList->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        m_w->fileList->item(selected ? row : 1 - row)->setSelected(true);
    }

    bool logged(const char *step) const
    {
        return m_tree->read(QStringLiteral("app/ErrorLog.log"))
            .contains("PopUpToolBar_Click:" + QByteArray(step) + "-frmFind.frm");
    }

    FilterManagerDialog *openFilters()
    {
        QTest::mouseClick(m_w->filterManagerButton, Qt::LeftButton);
        auto *d = m_w->findChild<FilterManagerDialog *>();
        const bool fresh = d && d->isModal() && d->newFilterEdit->text() == u"*." &&
                           d->newFilterEdit->cursorPosition() == 2;
        return fresh ? d : nullptr;
    }

    static void selectFilter(FilterManagerDialog *d, int row)
    {
        d->filterList->setCurrentIndex(d->filterList->model()->index(row, 0));
    }

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_w;
    QString m_files;
    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    }

    void init()
    {
        m_tree = std::make_unique<TempTree>();  // also the application folder, "app"
        SettingsStore::setStoreFileForTesting(m_tree->path(QStringLiteral("settings.ini")));
        m_files = m_tree->mkdir(QStringLiteral("files"));
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_opened.clear();
        m_w = std::make_unique<MainWindow>(m_dialogs.get());
        QVERIFY(m_w->startUp());
        m_w->filterBox->setCurrentIndex(1);  // "*.txt"
    }

    void cleanup()
    {
        m_w.reset();
        SettingsStore::setStoreFileForTesting(QString());
        Paths::setApplicationFolderForTesting(QString());
        m_tree.reset();
    }

    void fileMenu_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("caretSelected");
        QTest::addColumn<QString>("answer");  // typed name, or Yes/No/"gone" (Yes, file gone)
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("logged");
        const auto row = [](const char *name, const char *tool, bool caret, const QString &answer,
                            const QStringList &names, const QStringList &titles, bool logged) {
            QTest::addRow("%s", name)
                << QString(tool) << caret << answer << names << titles << logged;
        };
        const QStringList kept{"a.txt", "b.txt"}, error{"Error"}, ask{"Delete file?"};
        row("renamed", "rename", true, "c.txt", {"b.txt", "c.txt"}, {}, false);
        row("rename cancelled", "rename", true, Cancel, kept, {}, false);
        row("rename without a dot", "rename", true, "c", kept, error, false);
        row("rename onto a file", "rename", true, "b.txt", kept, error, true);
        row("rename out of the folder", "rename", true, "../c.txt", kept, error, true);
        row("delete read-only, Yes", "deleteFile", true, "Yes", {"b.txt"}, ask, false);
        row("delete, No", "deleteFile", true, "No", kept, ask, false);
        row("delete, caret entry not selected", "deleteFile", false, "Yes", kept, {}, false);
        row("delete, gone meanwhile", "deleteFile", true, "gone", {"b.txt"}, ask + error, true);
    }
    void fileMenu()
    {
        QFETCH(QString, tool);
        QFETCH(bool, caretSelected);
        QFETCH(QString, answer);
        QFETCH(QStringList, names);
        show({"a.txt", "b.txt"});
        QFile::setPermissions(file(QStringLiteral("a.txt")), QFileDevice::ReadOwner);
        setCaret(0, caretSelected);
        if (answer == u"gone")
            QFile::remove(file(QStringLiteral("a.txt")));
        if (tool == u"rename")
            m_dialogs->inputs << typed(answer);
        else
            m_dialogs->answers << (answer == u"No" ? MessageAnswer::No : MessageAnswer::Yes);
        choose(m_w->fileMenu, tool);
        QCOMPARE(namesIn(m_files), names);
        QCOMPARE(entries(m_w->fileList), names);
        QCOMPARE(QFile(file(QStringLiteral("b.txt"))).size(), 18);  // never overwritten
        QTEST(m_dialogs->titles(), "titles");
        QTEST(logged(tool == u"rename" ? "RenameFile" : "DelFile"), "logged");
        if (tool == u"deleteFile" && caretSelected) {  // asks about the caret's file, No by default
            QVERIFY(m_dialogs->shown[0].text.contains(file("a.txt")));
            QCOMPARE(m_dialogs->shown[0].defaultAnswer, MessageAnswer::No);
        }
    }

    // The caret's file, and only when selected; view source takes the whole selection.
    void fileActions()
    {
        show({"a.txt", "b.txt", "c.txt"});
        m_tree->write(QStringLiteral("files/b.txt"), QByteArray(1536, 'x'));
        QFile::setPermissions(file("b.txt"), QFileDevice::ReadOwner);
        setCaret(1, false);
        choose(m_w->fileMenu, QStringLiteral("open"));
        QVERIFY(m_opened.isEmpty());
        setCaret(1, true);
        choose(m_w->fileMenu, QStringLiteral("open"));
        choose(m_w->fileMenu, QStringLiteral("copyPath"));
        choose(m_w->folderMenu, QStringLiteral("openFolder"));
        QCOMPARE(m_opened,
                 (QList<QUrl>{QUrl::fromLocalFile(file("b.txt")), QUrl::fromLocalFile(m_files)}));
        QCOMPARE(QGuiApplication::clipboard()->text(), file("b.txt"));
        choose(m_w->fileMenu, QStringLiteral("properties"));
        QPointer<FilePropertiesDialog> d = m_w->findChild<FilePropertiesDialog *>();
        QVERIFY(d && d->isVisible() && d->isModal());
        QCOMPARE(d->sizeLabel->text(), QStringLiteral("1.50KB (1,536 bytes)"));
        QCOMPARE(d->locationEdit->text(), m_files);
        QVERIFY(d->readOnlyBox->isChecked() && !d->hiddenBox->isChecked());
        QTest::mouseClick(d->okButton, Qt::LeftButton);
        QTRY_VERIFY(d.isNull());  // unloaded: the next opening reads afresh
        m_w->fileList->item(0)->setSelected(true);
        m_w->fileList->item(2)->setSelected(true);
        choose(m_w->fileMenu, QStringLiteral("viewSource"));
        ViewerWindow &v = *m_w->viewer();
        QVERIFY(v.isVisible());
        QCOMPARE(v.listCount(), 3);
        QCOMPARE(v.buffer().text(), QStringLiteral("a.txt the cat sat\n"));
    }

    void folderMenu_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("open");  // under the files folder, "": that folder
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QString>("answer");  // typed name, or Yes/No/"hidden" (Yes, hidden)
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<bool>("logged");
        const auto row = [](const char *name, const char *tool, const char *open, const char *lit,
                            const QString &answer, const QStringList &folders, int dialogs,
                            bool logged) {
            QTest::addRow("%s", name) << QString(tool) << QString(open) << QString(lit) << answer
                                      << folders << dialogs << logged;
        };
        const QStringList both{"one", "two"};
        row("new", "newFolder", "", "", "new", {"new", "one", "two"}, 0, false);
        row("new, exists", "newFolder", "", "", "one", both, 1, false);
        row("new, outside", "newFolder", "", "", "../new", both, 1, false);
        row("rename open folder", "renameFolder", "one", "one", "new", {"new", "two"}, 0, false);
        row("rename highlighted", "renameFolder", "", "two", "new", {"new", "one"}, 0, false);
        row("rename onto existing", "renameFolder", "", "two", "one", both, 1, true);
        row("rename cancelled", "renameFolder", "one", "one", Cancel, both, 0, false);
        row("delete highlighted", "deleteFolder", "", "one", "Yes", {"two"}, 1, false);
        row("delete open folder", "deleteFolder", "one", "one", "Yes", {"two"}, 1, false);
        row("delete, No", "deleteFolder", "one", "one", "No", both, 1, false);
        // A hidden file is not deleted, so its folder cannot go: reported and logged.
        row("delete, hidden file inside", "deleteFolder", "", "one", "hidden", both, 2, true);
        // The application folder is guarded: no question asked, nothing changed.
        row("rename app folder", "renameFolder", "..", "app", "new", both, 0, false);
        row("delete app folder", "deleteFolder", "..", "app", "Yes", both, 0, false);
    }
    void folderMenu()
    {
        QFETCH(QString, tool);
        QFETCH(QString, open);
        QFETCH(QString, highlighted);
        QFETCH(QString, answer);
        QFETCH(QStringList, folders);
        QStringList names{"one/a.txt", "one/deep/er/b.txt", "two/c.txt"};
        if (answer == u"hidden")
            names << QStringLiteral("one/deep/.hidden");
        show(names, open);
        // A link inside a doomed folder leads out of it: its target must stay.
        QVERIFY(QFile::link(m_files + "/two", file("one/link")));
        for (int i = 0; i < m_w->folderList->count(); ++i)
            if (m_w->folderList->item(i)->text().trimmed() == highlighted)
                m_w->folderList->setCurrentRow(i);
        if (!highlighted.isEmpty())
            QCOMPARE(QFileInfo(m_w->folderList->highlightedPath()).fileName(), highlighted);
        if (tool == u"deleteFolder")
            m_dialogs->answers << (answer == u"No" ? MessageAnswer::No : MessageAnswer::Yes);
        else
            m_dialogs->inputs << typed(answer);
        choose(m_w->folderMenu, tool);
        QCOMPARE(namesIn(m_files), folders);
        QCOMPARE(namesIn(m_tree->path()), (QStringList{"app", "files", "settings.ini"}));
        if (folders.contains(u"two"))
            QCOMPARE(namesIn(file("two")), (QStringList{"c.txt"}));
        // The list moves up when its open folder got another name or went.
        const bool moved = open == highlighted && folders != QStringList{"one", "two"};
        QCOMPARE(m_w->folderList->path(),
                 QDir::cleanPath(open.isEmpty() || moved ? m_files : file(open)));
        QCOMPARE(m_w->fileList->folder(), m_w->folderList->path());
        if (m_w->folderList->path() == m_files)
            QCOMPARE(entries(m_w->folderList).mid(m_w->folderList->count() - folders.size()),
                     folders);
        QTEST(int(m_dialogs->shown.size()), "dialogs");
        QTEST(logged(tool == u"deleteFolder" ? "DelFolder" : "RenameFolder"), "logged");
        if (tool == u"deleteFolder" && !m_dialogs->shown.isEmpty()) {  // the highlighted, No
            QVERIFY(m_dialogs->shown[0].text.contains(file("one")));
            QCOMPARE(m_dialogs->shown[0].defaultAnswer, MessageAnswer::No);
        }
    }

    void filterManager_data()
    {
        QTest::addColumn<int>("row");         // selected in the list; -1: none
        QTest::addColumn<QString>("action");  // a tool bar button, or a filter typed and entered
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, int selected, const char *action,
                            const QStringList &order, const QString &message = {}) {
            QTest::addRow("%s", name) << selected << QString(action) << order << message;
        };
        row("untouched box", -1, "*.", Filters);
        row("two patterns", -1, "*.log;*.md", Filters + QStringList{"*.log;*.md"});
        row("other letter case", -1, "*.TXT", Filters + QStringList{"*.TXT"});
        row("duplicate", -1, "*.txt", Filters, Duplicate);
        row("path", -1, "logs/*.txt", Filters, "You have entered an invalid file filter.");
        row("first up", 0, "moveUp", Filters);
        row("last down", 3, "moveDown", Filters);
        row("remove, nothing selected", -1, "removeFilter", Filters);
        row("second up", 1, "moveUp", {"*.txt", "*.htm", "*.ini", "*.*"});
        row("third down", 2, "moveDown", {"*.htm", "*.txt", "*.*", "*.ini"});
        row("remove third", 2, "removeFilter", {"*.htm", "*.txt", "*.*"});
    }
    void filterManager()
    {
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QStringList, order);
        QFETCH(QString, message);
        FilterManagerDialog *d = openFilters();
        QVERIFY(d);
        selectFilter(d, row);
        const bool entered = !d->filterBar->findChild<QAction *>(action);
        if (entered) {
            d->newFilterEdit->setText(action);
            QTest::keyClick(d->newFilterEdit, Qt::Key_Return);
        } else {
            d->filterBar->findChild<QAction *>(action)->trigger();
        }
        QCOMPARE(entries(d->filterList), order);
        QCOMPARE(entries(m_w->filterBox), order);
        QCOMPARE(d->newFilterEdit->text(), QStringLiteral("*."));
        QCOMPARE(m_dialogs->titles(),
                 message.isEmpty() ? QStringList() : QStringList{"Filter error"});
        if (!message.isEmpty())
            QCOMPARE(m_dialogs->shown[0].text, message);
        // A move or removal selects the first filter; one that cannot be made changes nothing.
        if (!entered)
            QCOMPARE(m_w->fileList->pattern(),
                     order == Filters ? QStringLiteral("*.txt") : order.first());
        // An addition or removal is stored at once, a move at shut-down.
        const bool atOnce = order != Filters && !action.startsWith(u"move");
        QCOMPARE(stored(), atOnce ? order : QStringList());
        // A filter clicked in the list and entered again (Enter goes to the list,
        // which the click focused) is a duplicate.
        const qsizetype before = m_dialogs->shown.size();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::mouseClick(d->filterList->viewport(), Qt::LeftButton, {},
                          d->filterList->visualRect(d->filterList->model()->index(0, 0)).center());
        QCOMPARE(QApplication::focusWidget(), d->filterList);
        QCOMPARE(d->newFilterEdit->text(), order.first());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_dialogs->shown.size(), before + 1);
        QCOMPARE(m_dialogs->shown.last().text, Duplicate);
        QCOMPARE(entries(d->filterList), order);
        m_w->close();
        QCOMPARE(stored(), order);
    }

    // The manager, once loaded, lists a filter typed into the main window's box
    // since, and its tools act on the filter shown.
    void filterTypedInMainBox_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("message");
        const QStringList typed = Filters + QStringList{"*.md"};
        QTest::addRow("remove it") << 4 << "removeFilter" << Filters << QString();
        QTest::addRow("remove the one above")
            << 3 << "removeFilter" << QStringList{"*.htm", "*.txt", "*.ini", "*.md"} << QString();
        QTest::addRow("move it up")
            << 4 << "moveUp" << QStringList{"*.htm", "*.txt", "*.ini", "*.md", "*.*"} << QString();
        QTest::addRow("add it again") << -1 << "*.md" << typed << Duplicate;
    }
    void filterTypedInMainBox()
    {
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QStringList, order);
        QFETCH(QString, message);
        FilterManagerDialog *d = openFilters();
        QVERIFY(d);
        d->filterBar->findChild<QAction *>(QStringLiteral("exit"))->trigger();
        m_w->filterBox->lineEdit()->setText(QStringLiteral("*.md"));
        QTest::keyClick(m_w->filterBox->lineEdit(), Qt::Key_Return);
        QCOMPARE(openFilters(), d);
        QCOMPARE(entries(d->filterList), Filters + QStringList{"*.md"});
        selectFilter(d, row);
        if (QAction *tool = d->filterBar->findChild<QAction *>(action)) {
            tool->trigger();
        } else {
            d->newFilterEdit->setText(action);
            QTest::keyClick(d->newFilterEdit, Qt::Key_Return);
        }
        QCOMPARE(m_dialogs->titles(),
                 message.isEmpty() ? QStringList() : QStringList{"Filter error"});
        if (!message.isEmpty())
            QCOMPARE(m_dialogs->shown[0].text, message);
        QCOMPARE(entries(d->filterList), order);
        QCOMPARE(entries(m_w->filterBox), order);
        m_w->close();
        QCOMPARE(stored(), order);
    }

    void filterDialogHiding()
    {
        FilterManagerDialog *d = openFilters();
        QVERIFY(d);
        d->filterBar->findChild<QAction *>(QStringLiteral("exit"))->trigger();
        QVERIFY(!d->isVisible());
        // Loaded once: the next opening shows the same dialog with a fresh box.
        d->newFilterEdit->setText(QStringLiteral("*.x"));
        QCOMPARE(openFilters(), d);
        QEvent deactivate(QEvent::WindowDeactivate);  // another program took the activation
        QApplication::sendEvent(d, &deactivate);
        QVERIFY(!d->isVisible());
    }
};

QTEST_MAIN(TestFileMenus)
#include "tst_filemenus.moc"
