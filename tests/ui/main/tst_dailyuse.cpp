#include "support/ComboItems.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include "settings/SettingsStore.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PathField.h"
#include "ui/main/WindowCommandLine.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <optional>

namespace {
QStringList selectedNames(const FileList *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (list->isSelected(i))
            names << list->item(i)->text();
    }
    return names;
}

// Keys as written in the tables: one character is typed as text, anything else
// is a key sequence such as "Down" or "Ctrl+A".
void press(QWidget *target, const QStringList &keys)
{
    for (const QString &key : keys) {
        if (key.size() == 1) {
            QTest::keyClicks(target, key);
            continue;
        }
        const QKeyCombination combination = QKeySequence::fromString(key)[0];
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
}
}  // namespace

class TestDailyUse : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keyboardDrivesTheLists_data();
    void keyboardDrivesTheLists();
    void pathFieldOpensWhatIsTyped_data();
    void pathFieldOpensWhatIsTyped();
    void dropOpensTheFolder_data();
    void dropOpensTheFolder();
    void commandLine_data();
    void commandLine();
    void filterBoxTakesTypedPatterns_data();
    void filterBoxTakesTypedPatterns();
    void runTakesTheFilterShown_data();
    void runTakesTheFilterShown();
    void replaceConfirmationSaysWhatItReaches_data();
    void replaceConfirmationSaysWhatItReaches();
    void optionBoxesStayPutWhenTheirHintShows();
    void helpWithoutManualSaysWhere();
    void windowFitsTheScreen_data();
    void windowFitsTheScreen();

private:
    MainWindow &start(const QString &folder = QString());
    QString tree(const QString &relative = QString()) const
    {
        return QDir::toNativeSeparators(m_t->path(QStringLiteral("tree/") + relative))
            .remove(QRegularExpression(QStringLiteral("/$")));
    }

    std::optional<TempTree> m_t;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestDailyUse::init()
{
    m_t.emplace();
    SettingsStore::setStoreFileForTesting(m_t->path(QStringLiteral("settings.ini")));
    for (const char *name : {"tree/apple.txt", "tree/banana.txt", "tree/cherry.txt",
                             "tree/notes.md", "tree/src/main.txt", "tree/sub/deep.txt"})
        m_t->write(QString::fromLatin1(name), "the cat sat\r\n");
    m_dialogs = ScriptedDialogs();
}

void TestDailyUse::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    SettingsStore::setStoreFileForTesting(QString());
    m_t.reset();
}

MainWindow &TestDailyUse::start(const QString &folder)
{
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    [&] {
        QVERIFY(m_window->startUp(folder.isEmpty() ? tree() : folder));
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }();
    m_window->filterBox->setCurrentIndex(1);  // "*.txt"
    return *m_window;
}

void TestDailyUse::keyboardDrivesTheLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("folder");  // below the tree, after the keys
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("selected");
    const QStringList none;
    QTest::addRow("down selects the next file") << "fileList" << QStringList{"Home", "Down"} << ""
                                                << "banana.txt" << QStringList{"banana.txt"};
    QTest::addRow("end, then type-ahead") << "fileList" << QStringList{"End", "b"} << ""
                                          << "banana.txt" << QStringList{"banana.txt"};
    QTest::addRow("space toggles without moving")
        << "fileList" << QStringList{"Home", "Ctrl+Down", "Space", "Ctrl+Down", "Space", "Space"}
        << ""
        << "cherry.txt" << QStringList{"banana.txt"};
    QTest::addRow("ctrl+a in the file list selects all")
        << "fileList" << QStringList{"Ctrl+A"} << ""
        << "apple.txt" << QStringList{"apple.txt", "banana.txt", "cherry.txt"};
    QTest::addRow("ctrl+a in the find box selects no file")
        << "findBox" << QStringList{"Ctrl+A"} << ""
        << "" << none;
    QTest::addRow("type-ahead and enter open a folder")
        << "folderList" << QStringList{"s", "u", "Return"} << "sub"
        << "" << none;
    QTest::addRow("the same letter steps to the next name")
        << "folderList" << QStringList{"s", "s", "Return"} << "sub"
        << "" << none;
    QTest::addRow("backspace opens the parent")
        << "folderList" << QStringList{"s", "Return", "Backspace"} << ""
        << "" << none;
}

void TestDailyUse::keyboardDrivesTheLists()
{
    QFETCH(QString, list);
    QFETCH(QStringList, keys);
    MainWindow &w = start();
    auto *target = w.findChild<QWidget *>(list);
    QWidget *keyTarget = list == u"findBox" ? w.findBox->lineEdit() : target;
    target->setFocus();
    if (list == u"fileList")
        w.fileList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    press(keyTarget, keys);
    QFETCH(QString, folder);
    QCOMPARE(w.folderList->path(), tree(folder));
    QCOMPARE(w.pathField->text(), tree(folder));
    QFETCH(QString, current);
    if (!current.isEmpty())
        QCOMPARE(w.fileList->currentItem()->text(), current);
    QFETCH(QStringList, selected);
    QCOMPARE(selectedNames(w.fileList), selected);
    QCOMPARE(w.fileCountLabel->text(),
             QStringLiteral("%1 of %2").arg(selected.size()).arg(w.fileList->count()));
    // The keys stay where they were typed: nothing takes the focus away.
    QCOMPARE(QApplication::focusWidget(), target);
}

void TestDailyUse::pathFieldOpensWhatIsTyped_data()
{
    QTest::addColumn<QString>("typed");  // "<tree>" stands for the tree's path
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("said");
    QTest::addRow("folder") << "<tree>/sub"
                            << "sub" << QStringList{} << "";
    QTest::addRow("pasted with blanks") << "  <tree>/src  "
                                        << "src" << QStringList{} << "";
    QTest::addRow("relative to the open folder") << "sub"
                                                 << "sub" << QStringList{} << "";
    QTest::addRow("file is selected in its folder") << "<tree>/cherry.txt"
                                                    << "" << QStringList{"cherry.txt"} << "";
    QTest::addRow("missing folder is said") << "<tree>/gone"
                                            << "" << QStringList{} << " Folder not found";
}

void TestDailyUse::pathFieldOpensWhatIsTyped()
{
    QFETCH(QString, typed);
    MainWindow &w = start();
    w.pathField->setFocus();
    w.pathField->setText(typed.replace(QStringLiteral("<tree>"), tree()));
    QTest::keyClick(w.pathField, Qt::Key_Return);
    QFETCH(QString, folder);
    QCOMPARE(w.folderList->path(), tree(folder));
    QTEST(selectedNames(w.fileList), "selected");
    QFETCH(QString, said);
    QCOMPARE(m_dialogs.titles(), said.isEmpty() ? QStringList{} : QStringList{said});
    if (!said.isEmpty()) {
        QVERIFY(m_dialogs.shown[0].text.contains(tree(QStringLiteral("gone"))));
        QCOMPARE(w.pathField->text(), typed);  // kept, to be put right
    }
    // Esc puts the open folder back into the field.
    QTest::keyClick(w.pathField, Qt::Key_Escape);
    QCOMPARE(w.pathField->text(), w.folderList->path());
}

void TestDailyUse::dropOpensTheFolder_data()
{
    QTest::addColumn<QStringList>("dropped");  // below the tree; "http:" a web address
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("selected");
    QTest::addRow("folder") << QStringList{"sub"} << false << true << "sub" << QStringList{};
    QTest::addRow("files are selected") << QStringList{"cherry.txt", "apple.txt"} << false << true
                                        << "" << QStringList{"apple.txt", "cherry.txt"};
    QTest::addRow("file of a folder below")
        << QStringList{"src/main.txt"} << false << true << "src" << QStringList{"main.txt"};
    QTest::addRow("web address") << QStringList{"http:"} << false << false << "" << QStringList{};
    QTest::addRow("during a run") << QStringList{"sub"} << true << false << "" << QStringList{};
}

void TestDailyUse::dropOpensTheFolder()
{
    QFETCH(QStringList, dropped);
    QFETCH(bool, running);
    MainWindow &w = start();
    QList<QUrl> urls;
    for (const QString &name : dropped)
        urls << (name == u"http:" ? QUrl(QStringLiteral("https://example.org/a.txt"))
                                  : QUrl::fromLocalFile(tree(name)));
    QMimeData mime;
    mime.setUrls(urls);
    w.context().state.runInProgress = running;
    const QPoint at = w.fileList->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QTEST(enter.isAccepted(), "accepted");
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    w.context().state.runInProgress = false;
    QFETCH(QString, folder);
    QCOMPARE(w.folderList->path(), tree(folder));
    QTEST(selectedNames(w.fileList), "selected");
}

void TestDailyUse::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");     // -1: the window starts
    QTest::addColumn<QString>("says");   // part of what is printed
    QTest::addColumn<QString>("opens");  // below the tree, when the window starts
    QTest::addColumn<QStringList>("selected");
    QTest::addRow("no folder: the last one") << QStringList{} << -1 << ""
                                             << "" << QStringList{};
    QTest::addRow("folder relative to the launch") << QStringList{"sub"} << -1 << ""
                                                   << "sub" << QStringList{};
    QTest::addRow("file: its folder, selected") << QStringList{"cherry.txt"} << -1 << ""
                                                << "" << QStringList{"cherry.txt"};
    QTest::addRow("help") << QStringList{"--help"} << 0 << "[FOLDER]"
                          << "" << QStringList{};
    QTest::addRow("version") << QStringList{"--version"} << 0 << " 9.8.7\n"
                             << "" << QStringList{};
    QTest::addRow("unknown option") << QStringList{"--frobnicate"} << 2 << "--help"
                                    << "" << QStringList{};
    QTest::addRow("two folders") << QStringList{"sub", "src"} << 2 << "Only one folder"
                                 << "" << QStringList{};
    QTest::addRow("the window system's options are its own")
        << QStringList{"-platform", "offscreen", "--style=Fusion", "-reverse", "sub"} << -1 << ""
        << "sub" << QStringList{};
    QTest::addRow("a wrong option among them")
        << QStringList{"-platform", "offscreen", "--bogus"} << 2 << "'bogus'"
        << "" << QStringList{};
}

void TestDailyUse::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    arguments.prepend(QStringLiteral("scrivlane"));
    // Read as the program reads it before there is a display.
    const WindowCommandLine line =
        WindowCommandLine::parse(WindowCommandLine::withoutWindowSystemOptions(arguments), tree());
    QCOMPARE(line.outcome == WindowCommandLine::Outcome::Start, status < 0);
    if (status >= 0) {
        QCOMPARE(line.exitStatus(), status);
        QVERIFY2(line.output.contains(says), qPrintable(line.output));
        return;
    }
    // The real window opens on what the command line names.
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    MainWindow &w = *m_window;
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER,
                               QStringLiteral("Software\\Scrivlane\\LastDir"),
                               QStringLiteral("Dir"), tree());
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER,
                               QStringLiteral("Software\\Scrivlane\\LastFilter"),
                               QStringLiteral("Filter"), QStringLiteral("*.txt"));
    QVERIFY(w.startUp(line.folder));
    QFETCH(QString, opens);
    QCOMPARE(w.folderList->path(), tree(opens));
    QTEST(selectedNames(w.fileList), "selected");
}

void TestDailyUse::filterBoxTakesTypedPatterns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("said");
    const QStringList defaults{"*.htm", "*.txt", "*.ini", "*.*"};
    QTest::addRow("new pattern joins the list")
        << "*.md" << true << QStringList(defaults) + QStringList{"*.md"} << "*.md"
        << "";
    QTest::addRow("several patterns")
        << "*.md;*.txt" << true << QStringList(defaults) + QStringList{"*.md;*.txt"} << "*.md;*.txt"
        << "";
    QTest::addRow("listed pattern is chosen") << "*.*" << true << defaults << "*.*"
                                              << "";
    QTest::addRow("invalid pattern") << "a/*.md" << true << defaults << "*.txt"
                                     << "You have entered an invalid file filter.";
    QTest::addRow("typed, not entered") << "*.md" << false << defaults << "*.txt"
                                        << "";
}

void TestDailyUse::filterBoxTakesTypedPatterns()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, chosen);
    QFETCH(QString, said);
    MainWindow &w = start();
    w.filterBox->setFocus();
    w.filterBox->lineEdit()->selectAll();
    QTest::keyClicks(w.filterBox->lineEdit(), typed);
    if (enter)
        QTest::keyClick(w.filterBox->lineEdit(), Qt::Key_Return);
    w.focusPark->setFocus();
    QTEST(comboItems(w.filterBox), "filters");
    QCOMPARE(w.filterBox->currentText(), chosen);
    QCOMPARE(w.fileList->pattern(), chosen);
    QCOMPARE(w.request().filters(), chosen);
    QCOMPARE(m_dialogs.shown.size(), said.isEmpty() ? 0 : 1);
    if (!said.isEmpty())
        QCOMPARE(m_dialogs.shown[0].text, said);
    // The filter chosen last is the one the next start shows.
    m_window->close();
    m_window = std::make_unique<MainWindow>(&m_dialogs);
    QVERIFY(m_window->startUp());
    QCOMPARE(m_window->filterBox->currentText(), chosen);
    QTEST(comboItems(m_window->filterBox), "filters");
}

void TestDailyUse::runTakesTheFilterShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");      // a key sequence, else the tool of that name
    QTest::addColumn<QString>("ranWith");  // empty: no run started
    QTest::addColumn<QString>("said");
    QTest::addRow("find tool") << "*.md"
                               << "find"
                               << "*.md"
                               << "";
    QTest::addRow("ctrl+f in the box") << "*.md"
                                       << "Ctrl+F"
                                       << "*.md"
                                       << "";
    QTest::addRow("replace tool") << "*.md;*.txt"
                                  << "replace"
                                  << "*.md;*.txt"
                                  << "";
    QTest::addRow("preview tool") << "*.md"
                                  << "preview"
                                  << "*.md"
                                  << "";
    QTest::addRow("invalid pattern") << "a/*.md"
                                     << "find"
                                     << ""
                                     << "You have entered an invalid file filter.";
}

void TestDailyUse::runTakesTheFilterShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, ranWith);
    QFETCH(QString, said);
    MainWindow &w = start();
    w.subfoldersBox->setChecked(true);
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));
    m_dialogs.answers = {MessageAnswer::No};
    w.filterBox->setFocus();
    w.filterBox->lineEdit()->selectAll();
    QTest::keyClicks(w.filterBox->lineEdit(), typed);
    if (how.contains(u'+'))
        press(w.filterBox->lineEdit(), {how});
    else
        w.tool(QStringLiteral("runBar"), how)->trigger();
    QCOMPARE(w.context().request.filters(), ranWith);
    const QString shown = ranWith.isEmpty() ? QStringLiteral("*.txt") : ranWith;
    QCOMPARE(w.filterBox->currentText(), shown);
    QCOMPARE(w.fileList->pattern(), shown);
    if (!said.isEmpty())
        QCOMPARE(m_dialogs.shown.value(0).text, said);
}

void TestDailyUse::replaceConfirmationSaysWhatItReaches_data()
{
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QStringList>("changed");  // what the run changes on Yes
    QTest::addRow("two files") << false << 2 << "2 selected files will be searched."
                               << QStringList{"apple.txt", "banana.txt"};
    QTest::addRow("one file") << false << 1 << "1 selected file will be searched."
                              << QStringList{"apple.txt"};
    // With subfolders the folder itself gives only its selected files.
    QTest::addRow("the tree, none selected above")
        << true << 0
        << "None of the 3 files in <tree> itself; every file matching *.txt in the folders "
           "below it will be searched."
        << QStringList{"src/main.txt", "sub/deep.txt"};
    QTest::addRow("the tree, two selected above")
        << true << 2
        << "2 of 3 files in <tree>, and every file matching *.txt in the folders below it, "
           "will be searched."
        << QStringList{"apple.txt", "banana.txt", "src/main.txt", "sub/deep.txt"};
}

void TestDailyUse::replaceConfirmationSaysWhatItReaches()
{
    QFETCH(bool, subfolders);
    QFETCH(int, selected);
    QFETCH(QString, says);
    MainWindow &w = start();
    w.subfoldersBox->setChecked(subfolders);
    for (int i = 0; i < selected; ++i) w.fileList->item(i)->setSelected(true);
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));
    m_dialogs.answers = {MessageAnswer::No};
    w.tool(QStringLiteral("runBar"), QStringLiteral("replace"))->trigger();
    QCOMPARE(m_dialogs.titles(), QStringList{QStringLiteral(" Make replacement")});
    QCOMPARE(m_dialogs.shown[0].text,
             QStringLiteral("Are you sure you want to make this replacement?\r") +
                 says.replace(QStringLiteral("<tree>"), tree()));

    // The question holds what the run then does.
    m_dialogs.answers = {MessageAnswer::Yes};
    w.tool(QStringLiteral("runBar"), QStringLiteral("replace"))->trigger();
    QStringList changed;
    QDirIterator it(tree(), {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (m_t->read(QStringLiteral("tree/") + QDir(tree()).relativeFilePath(path))
                .contains("dog"))
            changed << QDir(tree()).relativeFilePath(path);
    }
    changed.sort();
    QTEST(changed, "changed");
}

void TestDailyUse::optionBoxesStayPutWhenTheirHintShows()
{
    MainWindow &w = start();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int width = w.width();
    for (QCheckBox *box :
         {w.subfoldersBox, w.caseSensitiveBox, w.wholeWordBox, w.backupBox, w.minimizeBox}) {
        const QPoint before = box->pos();
        if (box == w.backupBox)
            box->click();
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), box->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
        QVERIFY2(w.statusDetailPanel->text().startsWith(u' '), qPrintable(box->objectName()));
        QApplication::processEvents();
        QCOMPARE(box->pos(), before);
        QCOMPARE(w.width(), width);
    }
    QVERIFY(w.backupFolderButton->isVisible());
}

void TestDailyUse::helpWithoutManualSaysWhere()
{
    MainWindow &w = start();
    if (QFileInfo::exists(w.helpFile()))
        QSKIP("a manual lies beside the tests: opening it would start a browser");
    w.tool(QStringLiteral("helpBar"), QStringLiteral("readme"))->trigger();
    QCOMPARE(m_dialogs.titles(), QStringList{QStringLiteral(" Help")});
    QVERIFY(m_dialogs.shown[0].text.contains(QDir::toNativeSeparators(w.helpFile())));
}

void TestDailyUse::windowFitsTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("scale");
    QTest::addRow("1366x768 at 100 percent") << QSize(1366, 768) << "1";
    QTest::addRow("1920x1080 at 200 percent") << QSize(1920, 1080) << "2";
    QTest::addRow("1920x1080 at 150 percent") << QSize(1920, 1080) << "1.5";
    QTest::addRow("1280x720 at 100 percent") << QSize(1280, 720) << "1";
}

// The scale factor is read once, when the application starts: each screen is
// checked by this same program started anew (see fitCheck() below).
void TestDailyUse::windowFitsTheScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QString, scale);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    env.insert(QStringLiteral("SCRIVLANE_FIT_SCREEN"),
               QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    const QString said =
        QString::fromUtf8(child.readAllStandardOutput() + child.readAllStandardError());
    QVERIFY2(child.exitCode() == 0, qPrintable(said));
}

namespace {
// A tool bar short of room hides its last tools behind an extension arrow.
void hiddenTools(const MainWindow &w, const QString &when, QStringList &faults)
{
    for (const QToolBar *bar : w.findChildren<QToolBar *>()) {
        const auto *arrow = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"),
                                                          Qt::FindDirectChildrenOnly);
        if (arrow && arrow->isVisible())
            faults << QStringLiteral("%1 hides tools behind its arrow %2, %3 wide of %4")
                          .arg(bar->objectName(), when)
                          .arg(bar->width())
                          .arg(bar->sizeHint().width());
    }
}

// Started by windowFitsTheScreen(): the window on a screen of the given physical
// size less a panel of 48 pixels, at the scale factor of the environment.
int fitCheck(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TempTree t;
    SettingsStore::setStoreFileForTesting(t.path(QStringLiteral("settings.ini")));
    const QStringList size = qEnvironmentVariable("SCRIVLANE_FIT_SCREEN").split(u'x');
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    const QSize room(int(size.value(0).toInt() / scale), int((size.value(1).toInt() - 48) / scale));
    ScriptedDialogs dialogs;
    MainWindow w(&dialogs);
    w.startUp();
    QStringList faults;
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
    if (least.width() > room.width() || least.height() > room.height())
        faults << QStringLiteral("needs at least %1x%2, has %3x%4")
                      .arg(least.width())
                      .arg(least.height())
                      .arg(room.width())
                      .arg(room.height());
    if (!qFuzzyCompare(w.devicePixelRatio(), scale))
        faults << QStringLiteral("drawn at %1 device pixels a pixel").arg(w.devicePixelRatio());
    // However narrow the user makes the window, every tool stays in sight.
    w.resize(least);
    QApplication::processEvents();
    hiddenTools(w, QStringLiteral("at its smallest"), faults);
    w.resize(room);
    w.backupBox->setChecked(true);
    w.backupFolderButton->show();
    QApplication::processEvents();
    const QRect inside = w.rect();
    const QList<QWidget *> shown = {
        w.folderList,         w.fileList,  w.pathField, w.driveList,     w.fileSelectionBar,
        w.mainStatusBar,      w.filterBox, w.findBox,   w.replaceBox,    w.minimizeBox,
        w.backupFolderButton, w.runBar,    w.helpBar,   w.fileCountLabel};
    for (QWidget *widget : shown) {
        const QRect at(widget->mapTo(&w, QPoint(0, 0)), widget->size());
        if (!widget->isVisible() || !inside.contains(at) ||
            widget->height() < widget->fontMetrics().height() ||
            widget->width() < qMin(widget->minimumSizeHint().width(), 24))
            faults << QStringLiteral("%1 is cut off at %2,%3 %4x%5")
                          .arg(widget->objectName())
                          .arg(at.x())
                          .arg(at.y())
                          .arg(at.width())
                          .arg(at.height());
    }
    if (w.fileList->height() < 60 || w.folderList->height() < 60)
        faults << QStringLiteral("the lists have no room");
    hiddenTools(w, QStringLiteral("filling the screen"), faults);
    std::fputs(qPrintable(faults.join(u'\n') + u'\n'), stdout);
    w.close();
    return faults.isEmpty() ? 0 : 1;
}
}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("SCRIVLANE_FIT_SCREEN"))
        return fitCheck(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestDailyUse test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dailyuse.moc"
