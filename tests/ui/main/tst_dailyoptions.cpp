#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "engine/RunContext.h"
#include "settings/SettingsStore.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

#include <memory>
#include <optional>

// The options and list habits of everyday use, through the real main window:
// hidden files on request, Keep case reaching the runs, the find box marking
// a broken pattern as it is typed, the file list's right click, and a file
// the list hides when a path names it.
class TestDailyOptions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void optionsAreUsed_data();
    void optionsAreUsed();
    void findBoxMarksABrokenPattern_data();
    void findBoxMarksABrokenPattern();
    void rightClickSelectsTheFileUnderIt_data();
    void rightClickSelectsTheFileUnderIt();
    void openingAFileTheListHides_data();
    void openingAFileTheListHides();

private:
    MainWindow &start();
    QString tree(const QString &relative = QString()) const
    {
        return QDir::toNativeSeparators(m_t->path(QStringLiteral("tree") + relative));
    }
    QStringList listed(const QListWidget *list) const;
    QStringList selected() const;

    std::optional<TempTree> m_t;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestDailyOptions::init()
{
    m_t.emplace();
    SettingsStore::setStoreFileForTesting(m_t->path(QStringLiteral("settings.ini")));
    for (const char *name : {"tree/a.txt", "tree/b.txt", "tree/c.txt", "tree/notes.md", "tree/.env",
                             "tree/.github/ci.yml", "tree/.git/config", "tree/sub/d.txt"})
        m_t->write(QString::fromLatin1(name), "Colour and colour\n");
    m_dialogs = ScriptedDialogs();
}

void TestDailyOptions::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    SettingsStore::setStoreFileForTesting(QString());
    m_t.reset();
}

MainWindow &TestDailyOptions::start()
{
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    [&] {
        QVERIFY(m_window->startUp(tree()));
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }();
    m_window->filterBox->setCurrentIndex(1);  // "*.txt"
    return *m_window;
}

QStringList TestDailyOptions::listed(const QListWidget *list) const
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text().trimmed();
    return names;
}

QStringList TestDailyOptions::selected() const
{
    QStringList names;
    for (const QListWidgetItem *item : m_window->fileList->selectedItems()) names << item->text();
    names.sort();
    return names;
}

void TestDailyOptions::optionsAreUsed_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("filesShown");  // "*.*" chosen, after ticking
    QTest::addColumn<bool>("includesHidden");     // the folder list and the runs too
    QTest::addColumn<bool>("keepsCase");          // in what a run and the viewer take
    const QStringList plain{"a.txt", "b.txt", "c.txt", "notes.md"};
    QTest::addRow("include hidden files")
        << "includeHiddenBox" << QStringList{".env"} + plain << true << false;
    QTest::addRow("keep case") << "keepCaseBox" << plain << false << true;
}

void TestDailyOptions::optionsAreUsed()
{
    QFETCH(QString, box);
    QFETCH(bool, includesHidden);
    MainWindow &w = start();
    w.filterBox->setCurrentIndex(3);
    QTest::mouseClick(w.findChild<QCheckBox *>(box), Qt::LeftButton, {}, QPoint(5, 5));
    QTEST(listed(w.fileList), "filesShown");
    QCOMPARE(listed(w.folderList).contains(".github"), includesHidden);
    QVERIFY(!listed(w.folderList).contains(".git"));
    QCOMPARE(RunRequest::takenFrom(*w.context().requestSource).includesHidden(), includesHidden);
    QTEST(w.context().currentTerms().keepsCase(), "keepsCase");
}

void TestDailyOptions::findBoxMarksABrokenPattern_data()
{
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("tip");  // the start of the find box's tip; empty: not marked
    const QString invalid = "The search text is not a valid regular expression: ";
    QTest::addRow("unclosed group") << true << false << "a(b" << invalid;
    QTest::addRow("nothing to repeat") << true << false << "*x" << invalid;
    QTest::addRow("valid pattern") << true << false << "a(b)+"
                                   << "";
    QTest::addRow("plain search") << false << false << "a(b"
                                  << "";
    QTest::addRow("fuzzy search") << true << true << "a(b"
                                  << "";
}

void TestDailyOptions::findBoxMarksABrokenPattern()
{
    QFETCH(bool, regex);
    QFETCH(bool, fuzzy);
    QFETCH(QString, typed);
    QFETCH(QString, tip);
    MainWindow &w = start();
    const QColor plain = w.findBox->lineEdit()->palette().color(QPalette::Base);
    w.regexBox->setChecked(regex);
    w.fuzzyOption->setChecked(fuzzy);
    w.findBox->setFocus();
    QTest::keyClicks(w.findBox->lineEdit(), typed);
    const bool marked = !tip.isEmpty();
    QCOMPARE(w.findBox->toolTip().left(tip.size()), tip);
    QCOMPARE(w.findBox->toolTip().isEmpty(), !marked);
    QCOMPARE(w.findBox->lineEdit()->palette().color(QPalette::Base) != plain, marked);
    if (marked) {
        // Named with where it went wrong; Find refuses it with the very same words.
        QVERIFY2(w.findBox->toolTip().contains("(at position "), qPrintable(w.findBox->toolTip()));
        w.fileList->selectNames({QStringLiteral("a.txt")});
        w.runBarTool(QStringLiteral("find"));
        QTRY_VERIFY(!m_dialogs.shown.isEmpty());
        QCOMPARE(m_dialogs.shown.last().text, w.findBox->toolTip());
        // Mended, the mark goes.
        w.findBox->lineEdit()->setText(QStringLiteral("a(b)"));
        QVERIFY(w.findBox->toolTip().isEmpty());
        QCOMPARE(w.findBox->lineEdit()->palette().color(QPalette::Base), plain);
    }
}

void TestDailyOptions::rightClickSelectsTheFileUnderIt_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("clicked");  // empty: below the last file
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("enabled");  // the menu's "Properties"
    QTest::addRow("nothing selected") << QStringList{} << "b.txt" << QStringList{"b.txt"} << true;
    QTest::addRow("another file selected")
        << QStringList{"a.txt"} << "c.txt" << QStringList{"c.txt"} << true;
    QTest::addRow("inside the selection")
        << QStringList{"a.txt", "c.txt"} << "c.txt" << QStringList{"a.txt", "c.txt"} << true;
    QTest::addRow("below the files") << QStringList{"a.txt"} << "" << QStringList{"a.txt"} << true;
    QTest::addRow("below the files, none selected")
        << QStringList{} << "" << QStringList{} << false;
}

void TestDailyOptions::rightClickSelectsTheFileUnderIt()
{
    QFETCH(QStringList, before);
    QFETCH(QString, clicked);
    MainWindow &w = start();
    QCOMPARE(listed(w.fileList), (QStringList{"a.txt", "b.txt", "c.txt"}));
    w.fileList->selectNames(before);
    QPoint at(5, w.fileList->viewport()->height() - 3);
    if (!clicked.isEmpty())
        at = w.fileList->visualItemRect(w.fileList->findItems(clicked, Qt::MatchExactly).first())
                 .center();
    QTest::mousePress(w.fileList->viewport(), Qt::RightButton, {}, at);
    QTRY_VERIFY(w.fileMenu->isVisible());
    QTEST(selected(), "after");
    QTEST(w.fileMenu->findChild<QAction *>(QStringLiteral("properties"))->isEnabled(), "enabled");
    QCOMPARE(w.fileCountLabel->text().section(u' ', 0, 0),
             QString::number(w.fileList->selectedCount()));
    w.fileMenu->close();
}

void TestDailyOptions::openingAFileTheListHides_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("includeHidden");
    QTest::addColumn<QString>("filter");  // chosen afterwards
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("said");
    QTest::addRow("shown already") << "/b.txt" << false << "*.txt" << QStringList{"b.txt"} << "";
    QTest::addRow("the filter hides it")
        << "/notes.md" << false << "*.*" << QStringList{"notes.md"} << "";
    QTest::addRow("hidden, not asked for")
        << "/.env" << false << "*.txt" << QStringList{}
        << ".env is a hidden file: tick \"Include hidden files\" to list it.";
    QTest::addRow("hidden, asked for") << "/.env" << true << "*.*" << QStringList{".env"} << "";
    QTest::addRow("in a hidden folder")
        << "/.github/ci.yml" << true << "*.*" << QStringList{"ci.yml"} << "";
}

void TestDailyOptions::openingAFileTheListHides()
{
    QFETCH(QString, file);
    QFETCH(bool, includeHidden);
    QFETCH(QString, said);
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER,
                               QStringLiteral("Software\\Scrivlane\\Options"),
                               QStringLiteral("Include Hidden"), includeHidden ? "1" : "0");
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER,
                               QStringLiteral("Software\\Scrivlane\\LastFilter"),
                               QStringLiteral("Filter"), QStringLiteral("*.txt"));
    // "scrivlane FILE": a drop and the path field open it the same way.
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    MainWindow &w = *m_window;
    QVERIFY(w.startUp(tree(file)));
    QCOMPARE(w.folderList->path(), QFileInfo(tree(file)).path());
    QTEST(w.filterBox->currentText(), "filter");
    QTEST(selected(), "after");
    QCOMPARE(m_dialogs.shown.isEmpty(), said.isEmpty());
    if (!said.isEmpty())
        QCOMPARE(m_dialogs.shown.last().text, said);
}

QTEST_MAIN(TestDailyOptions)
#include "tst_dailyoptions.moc"
