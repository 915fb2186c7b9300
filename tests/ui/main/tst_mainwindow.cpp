#include "support/ComboItems.h"
#include "support/FakeRunHost.h"

#include "engine/RunEvents.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/LargeSearchDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SingleInstance.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <memory>

using SettingsStore::HKEY_CURRENT_USER;
using namespace Qt::StringLiterals;

namespace {
const QString Options = QStringLiteral("Software\\Scrivlane\\Options");
const QString FindKey = QStringLiteral("Software\\Scrivlane\\Find\\Normal");

QString stored(const QString &key, const QString &value)
{
    return SettingsStore::readString(HKEY_CURRENT_USER, key, value, QStringLiteral("<none>"));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshUserStartState();
    void optionBoxesAreStored_data();
    void optionBoxesAreStored();
    void backupButtonFollowsTheBackupBox();
    void findFromToolbarListsMatchingFiles();
    void findWithSubdirectoriesWalksTheTree();
    void replaceThenUndoRestoresTheText();
    void stopClickEndsTheRun_data();
    void stopClickEndsTheRun();
    void noRunStartsInsideARun();
    void ctrlZRunsUndoOnlyOutsideTextFields_data();
    void ctrlZRunsUndoOnlyOutsideTextFields();
    void ctrlVOpensViewerOnSelectedFiles();
    void ctrlReleasedBeforeTheLetterStillCounts();
    void secondInstanceIsRefusedWithoutTouchingSettings_data();
    void secondInstanceIsRefusedWithoutTouchingSettings();
    void historiesSurviveRestart_data();
    void historiesSurviveRestart();
    void largeTypeIsStoredAsNormal();
    void disableControlsLocksExactlyTheListedControls();
    void regexOptionIsOffForFuzzy();
    void filterWithTwoPatternsListsBoth();
    void selectNoneOnEmptyFolder();
    void pasteLeavesBoxAloneOnEmptyClipboard();
    void unreadableDriveIsRefused();
    void accelerators();
    void exitDuringRunStopsItAndSaves();
    void largeToolFillsTheDialogFromTheActiveType();
    void startUpFromStoredSettings_data();
    void startUpFromStoredSettings();
    void refreshCombosStopsAtARepeatedFilter();
    void fileMenuEnabling_data();
    void fileMenuEnabling();
    void lockedListsIgnoreThePointer();
    void typingAKnownEntryDoesNotReorderTheHistory();
    void pointerOverTheListsShowsTheirHints();
    void runOffersToSaveTheViewersTyping();
    void findDescribesTheFileShown_data();
    void findDescribesTheFileShown();
    void exitOffersToSaveTheViewersTyping_data();
    void exitOffersToSaveTheViewersTyping();
    void selectNoneReturnsToTheTop();
    void largeToolIsAButtonAndRunToolsKeepTheirWidth();
    void viewerStartsWithStoredSettings();
    void runEventsShowAsStatusTexts_data();
    void runEventsShowAsStatusTexts();
    void unlistedFilesLeaveTheViewersList_data();
    void unlistedFilesLeaveTheViewersList();

private:
    MainWindow &start();
    void restart();
    void openSample(const QStringList &names, const QByteArray &content = "the cat sat\r\n");
    void selectAll() { m_window->fileList->selectAll(); }
    /// Views a.txt ("the cat sat") with Ctrl+V and types "typed " at its start.
    ViewerWindow &typeIntoViewedFile();
    QAction *mainTool(const QString &key) { return m_window->tool(QStringLiteral("runBar"), key); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
    QString m_files;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("app"));
    Paths::setApplicationFolderForTesting(
        QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("app"))));
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    m_files = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("files")));
    QDir().mkpath(m_files);
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void TestMainWindow::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_dialogs.reset();
    SettingsStore::setStoreFileForTesting(QString());
    Paths::setApplicationFolderForTesting(QString());
    m_dir.reset();
}

MainWindow &TestMainWindow::start()
{
    m_window = std::make_unique<MainWindow>(m_dialogs.get());
    [&] { QVERIFY(m_window->startUp()); }();
    return *m_window;
}

void TestMainWindow::restart()
{
    m_window->close();
    m_window.reset();
    start();
}

void TestMainWindow::openSample(const QStringList &names, const QByteArray &content)
{
    for (const QString &name : names) writeFile(QDir(m_files).filePath(name), content);
    m_window->folderList->setPath(m_files);
    m_window->fileList->refresh();
}

ViewerWindow &TestMainWindow::typeIntoViewedFile()
{
    MainWindow &w = *m_window;
    openSample({QStringLiteral("a.txt")});
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.focusPark->setFocus();
    QTest::keyClick(w.focusPark, Qt::Key_V, Qt::ControlModifier);
    ViewerWindow &v = *w.viewer();
    v.documentEdit->moveCursor(QTextCursor::Start);
    QTest::keyClicks(v.documentEdit, QStringLiteral("typed "));
    return v;
}

void TestMainWindow::freshUserStartState()
{
    MainWindow &w = start();
    QCOMPARE(w.objectName(), QStringLiteral("mainWindow"));
    QCOMPARE(w.windowTitle(), QStringLiteral(" Scrivlane"));
    for (const QCheckBox *box :
         {w.subfoldersBox, w.caseSensitiveBox, w.wholeWordBox, w.backupBox, w.minimizeBox,
          w.skipIgnoredBox, w.regexBox, w.includeHiddenBox, w.keepCaseBox})
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    QVERIFY(!w.backupFolderButton->isVisible());
    // A fresh user starts in the home folder, never in the program's own.
    QCOMPARE(w.folderList->path(), QDir::toNativeSeparators(QDir::homePath()));
    for (const QComboBox *box :
         {w.findBox, w.replaceBox, w.firstPartBox, w.secondPartBox, w.fuzzyReplaceBox}) {
        QCOMPARE(box->count(), 0);
        QVERIFY(box->currentText().isEmpty());
    }
    QCOMPARE(comboItems(w.filterBox),
             QStringList({QStringLiteral("*.htm"), QStringLiteral("*.txt"), QStringLiteral("*.ini"),
                          QStringLiteral("*.*")}));
    QCOMPARE(w.filterBox->currentIndex(), 0);
    QCOMPARE(w.fileList->pattern(), QStringLiteral("*.htm"));
    QCOMPARE(w.viewer()->rightMargin(), int(ViewerWindow::NoWrapMargin));
    QCOMPARE(w.viewer()->documentEdit->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(w.viewer()->documentEdit->font().pointSize(), 8);
    QVERIFY(w.normalOption->isChecked());
    QVERIFY(!w.fuzzyOption->isChecked());
    QVERIFY(!w.fuzzyPanel->isVisible());
    QCOMPARE(w.focusWidget(), w.findBox);
    QCOMPARE(w.mainStatusBar->findChild<QLabel *>(QStringLiteral("statusStatePanel"))->text(),
             QStringLiteral("Scrivlane"));
    QCOMPARE(mainTool(QStringLiteral("find"))->text(), QStringLiteral("Find"));
    QVERIFY(m_dialogs->shown.isEmpty());
    QVERIFY(w.isVisible());
    // Nothing but the last folder is written while starting.
    QCOMPARE(stored(Options, QStringLiteral("Backup")), QStringLiteral("<none>"));
}

void TestMainWindow::optionBoxesAreStored_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("valueName");
    QTest::addRow("subdirectories") << "subfoldersBox"
                                    << "Search subdirectories";
    QTest::addRow("case") << "caseSensitiveBox"
                          << "Case Sensitive";
    QTest::addRow("whole word") << "wholeWordBox"
                                << "Whole Word";
    QTest::addRow("minimize") << "minimizeBox"
                              << "Minimize";
    QTest::addRow("backup") << "backupBox"
                            << "Backup";
    QTest::addRow("skip ignored") << "skipIgnoredBox"
                                  << "Skip Ignored";
    QTest::addRow("regular expression") << "regexBox"
                                        << "Regular Expression";
    QTest::addRow("include hidden files") << "includeHiddenBox"
                                          << "Include Hidden";
    QTest::addRow("keep case") << "keepCaseBox"
                               << "Keep Case";
}

void TestMainWindow::optionBoxesAreStored()
{
    QFETCH(QString, box);
    QFETCH(QString, valueName);
    start();
    auto *check = m_window->findChild<QCheckBox *>(box);
    QVERIFY(check);
    check->click();
    QCOMPARE(stored(Options, valueName), QStringLiteral("1"));
    restart();
    check = m_window->findChild<QCheckBox *>(box);
    QVERIFY(check->isChecked());
    check->click();
    QCOMPARE(stored(Options, valueName), QStringLiteral("0"));
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("settings.ini"))));
}

void TestMainWindow::backupButtonFollowsTheBackupBox()
{
    MainWindow &w = start();
    w.backupBox->click();
    QVERIFY(w.backupFolderButton->isVisible());
    restart();
    QVERIFY(m_window->backupFolderButton->isVisible());
    m_window->backupBox->click();
    QVERIFY(!m_window->backupFolderButton->isVisible());
}

void TestMainWindow::findFromToolbarListsMatchingFiles()
{
    MainWindow &w = start();
    writeFile(QDir(m_files).filePath(QStringLiteral("b.txt")), "no match here\r\n");
    writeFile(QDir(m_files).filePath(QStringLiteral("d.htm")), "a cat\r\n");
    openSample({QStringLiteral("a.txt"), QStringLiteral("c.txt")});
    w.filterBox->setCurrentIndex(1);
    QCOMPARE(w.fileList->count(), 3);
    selectAll();
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("3 of 3"));
    w.findBox->setEditText(QStringLiteral("cat"));
    mainTool(QStringLiteral("find"))->trigger();

    const QString sep = QDir::separator();
    QCOMPARE(w.viewer()->listCount(), 2);
    QCOMPARE(w.viewer()->listItem(0), m_files + sep + QStringLiteral("a.txt"));
    QCOMPARE(w.viewer()->listItem(1), m_files + sep + QStringLiteral("c.txt"));
    QVERIFY(w.viewer()->isVisible());
    QCOMPARE(mainTool(QStringLiteral("find"))->text(), QStringLiteral("Find"));
    QVERIFY(!w.context().state.runInProgress);
    QVERIFY(w.findBox->isEnabled());
    QCOMPARE(comboItems(w.findBox), QStringList{QStringLiteral("cat")});
    QCOMPARE(stored(FindKey, QStringLiteral("Char0")), QStringLiteral("cat"));
}

void TestMainWindow::findWithSubdirectoriesWalksTheTree()
{
    MainWindow &w = start();
    writeFile(QDir(m_files).filePath(QStringLiteral("sub/deep.txt")), "cat\r\n");
    openSample({QStringLiteral("top.txt")});
    w.filterBox->setCurrentIndex(1);
    w.subfoldersBox->click();
    w.findBox->setEditText(QStringLiteral("cat"));
    mainTool(QStringLiteral("find"))->trigger();
    QStringList found;
    for (int i = 0; i < w.viewer()->listCount(); ++i)
        found << QFileInfo(w.viewer()->listItem(i)).fileName();
    found.sort();
    // Nothing selected: the walk still runs, and in the open folder only selected files count.
    QCOMPARE(found, QStringList{QStringLiteral("deep.txt")});
}

void TestMainWindow::replaceThenUndoRestoresTheText()
{
    MainWindow &w = start();
    openSample({QStringLiteral("pets.txt")}, "my cat and your cat\r\n");
    const QString path = QDir(m_files).filePath(QStringLiteral("pets.txt"));
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));

    mainTool(QStringLiteral("replace"))->trigger();
    QCOMPARE(readFile(path), QByteArray("my dog and your dog\r\n"));
    QCOMPARE(mainTool(QStringLiteral("replace"))->text(), QStringLiteral("Replace"));
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("1 of 1"));
    QVERIFY(
        QFileInfo::exists(QDir(Paths::applicationFolder()).filePath(QStringLiteral("Report.dat"))));

    mainTool(QStringLiteral("undo"))->trigger();
    QCOMPARE(readFile(path), QByteArray("my cat and your cat\r\n"));
    QCOMPARE(mainTool(QStringLiteral("undo"))->text(), QStringLiteral("Undo"));
    QCOMPARE(w.findBox->currentText(), QStringLiteral("cat"));
    QCOMPARE(w.replaceBox->currentText(), QStringLiteral("dog"));
    QVERIFY(!w.context().state.runInProgress);
}

void TestMainWindow::stopClickEndsTheRun_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("byEscape");  // Esc instead of the "Stop" tool
    QTest::addRow("find") << "find"
                          << "Find" << false;
    QTest::addRow("replace") << "replace"
                             << "Replace" << false;
    QTest::addRow("find, Esc") << "find"
                               << "Find" << true;
    QTest::addRow("replace, Esc") << "replace"
                                  << "Replace" << true;
}

void TestMainWindow::stopClickEndsTheRun()
{
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(bool, byEscape);
    MainWindow &w = start();
    QStringList names;
    for (int i = 0; i < 40; ++i) names << QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'));
    openSample(names);
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));

    QString captionDuringRun;
    // Runs at the run's first yield: the tool then shows "Stop".
    QTimer::singleShot(0, this, [&] {
        captionDuringRun = mainTool(key)->text();
        if (byEscape)
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            mainTool(key)->trigger();
    });
    mainTool(key)->trigger();

    QCOMPARE(captionDuringRun, QStringLiteral("Stop"));
    QCOMPARE(mainTool(key)->text(), caption);
    QVERIFY(!w.context().state.runInProgress);
    QVERIFY(w.findBox->isEnabled());
    QVERIFY(!m_dialogs->titles().contains(QStringLiteral(" Search complete")));
    int changed = 0;
    for (const QString &name : std::as_const(names))
        changed += readFile(QDir(m_files).filePath(name)).contains("dog") ? 1 : 0;
    if (key == u"find") {
        QVERIFY(w.viewer()->listCount() < names.size());
        QCOMPARE(changed, 0);
    } else {
        QVERIFY2(changed < names.size(), qPrintable(QString::number(changed)));
    }
}

void TestMainWindow::noRunStartsInsideARun()
{
    MainWindow &w = start();
    QStringList names;
    for (int i = 0; i < 5; ++i) names << QStringLiteral("f%1.txt").arg(i);
    openSample(names);
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));
    QTimer::singleShot(0, this, [&] {
        mainTool(QStringLiteral("undo"))->trigger();
        mainTool(QStringLiteral("find"))->trigger();
        QTest::keyClick(w.focusPark, Qt::Key_Z, Qt::ControlModifier);
    });
    mainTool(QStringLiteral("replace"))->trigger();
    for (const QString &name : std::as_const(names))
        QCOMPARE(readFile(QDir(m_files).filePath(name)), QByteArray("the dog sat\r\n"));
    QCOMPARE(mainTool(QStringLiteral("undo"))->text(), QStringLiteral("Undo"));
    QCOMPARE(mainTool(QStringLiteral("find"))->text(), QStringLiteral("Find"));
}

void TestMainWindow::ctrlZRunsUndoOnlyOutsideTextFields_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("find box") << "findBox" << QByteArray("the dog sat\r\n");
    QTest::addRow("replacement box") << "replaceBox" << QByteArray("the dog sat\r\n");
    QTest::addRow("neutral area") << "focusPark" << QByteArray("the cat sat\r\n");
}

void TestMainWindow::ctrlZRunsUndoOnlyOutsideTextFields()
{
    QFETCH(QString, focus);
    QFETCH(QByteArray, after);
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt")}, "the dog sat\r\n");
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    w.replaceBox->setEditText(QStringLiteral("dog"));
    auto *target = w.findChild<QWidget *>(focus);
    QVERIFY(target);
    w.activateWindow();
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(readFile(QDir(m_files).filePath(QStringLiteral("a.txt"))), after);
}

void TestMainWindow::ctrlVOpensViewerOnSelectedFiles()
{
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    w.filterBox->setCurrentIndex(1);
    w.focusPark->setFocus();
    QTest::keyClick(w.focusPark, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!w.viewer()->isVisible());

    w.fileList->item(1)->setSelected(true);
    QTest::keyClick(w.focusPark, Qt::Key_V, Qt::ControlModifier);
    const QString path = m_files + QDir::separator() + QStringLiteral("b.txt");
    QCOMPARE(w.viewer()->listCount(), 1);
    QCOMPARE(w.viewer()->listItem(0), path);
    QCOMPARE(w.viewer()->buffer().text(), QStringLiteral("the cat sat\r\n"));
    QVERIFY(w.viewer()->isVisible());
}

void TestMainWindow::secondInstanceIsRefusedWithoutTouchingSettings_data()
{
    QTest::addColumn<bool>("answers");  // the running copy listens for a second launch
    QTest::addRow("running copy comes to the front with the folder") << true;
    QTest::addRow("running copy that does not answer") << false;
}

void TestMainWindow::secondInstanceIsRefusedWithoutTouchingSettings()
{
    QFETCH(bool, answers);
    std::unique_ptr<QLockFile> silentCopy;
    if (answers) {
        start();
        m_window->wholeWordBox->click();
    } else {
        silentCopy = std::make_unique<QLockFile>(SingleInstance::lockFilePath());
        QVERIFY(silentCopy->tryLock(0));
    }
    const QString store = m_dir->filePath(QStringLiteral("settings.ini"));
    const QByteArray before = readFile(store);

    ScriptedDialogs secondDialogs;
    {
        MainWindow second(&secondDialogs);
        QVERIFY(!second.startUp(m_files));
        QVERIFY(!second.isVisible());
        second.close();
    }
    QCOMPARE(readFile(store), before);
    if (answers) {
        QVERIFY(secondDialogs.shown.isEmpty());
        QTRY_COMPARE(m_window->folderList->path(), m_files);
        QVERIFY(m_window->isVisible());
        // Once the first copy has ended, a new one starts.
        restart();
        QVERIFY(m_window->isVisible());
        return;
    }
    QCOMPARE(secondDialogs.shown.size(), 1);
    QCOMPARE(secondDialogs.shown[0].text, QStringLiteral("Scrivlane is already running."));
    QCOMPARE(secondDialogs.shown[0].title, QStringLiteral("Scrivlane"));
    QCOMPARE(secondDialogs.shown[0].icon, MessageIcon::Information);
}

void TestMainWindow::historiesSurviveRestart_data()
{
    QTest::addColumn<bool>("pick");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("save C by a run") << false
                                     << QStringList{QStringLiteral("C"), QStringLiteral("B"),
                                                    QStringLiteral("A"), QStringLiteral("D")};
    QTest::addRow("pick C") << true
                            << QStringList{QStringLiteral("C"), QStringLiteral("A"),
                                           QStringLiteral("B"), QStringLiteral("D")};
}

void TestMainWindow::historiesSurviveRestart()
{
    QFETCH(bool, pick);
    QFETCH(QStringList, expected);
    const QStringList abcd = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                              QStringLiteral("D")};
    for (int i = 0; i < abcd.size(); ++i)
        SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QStringLiteral("Char%1").arg(i),
                                   abcd[i]);
    MainWindow &w = start();
    QCOMPARE(comboItems(w.findBox), abcd);
    QCOMPARE(w.findBox->currentText(), QStringLiteral("A"));
    if (pick) {
        emit w.findBox->activated(2);
    } else {
        openSample({QStringLiteral("a.txt")});
        w.filterBox->setCurrentIndex(1);
        selectAll();
        w.findBox->setEditText(QStringLiteral("C"));
        mainTool(QStringLiteral("find"))->trigger();
    }
    QCOMPARE(comboItems(w.findBox), expected);
    QCOMPARE(w.findBox->currentText(), QStringLiteral("C"));
    restart();
    QCOMPARE(comboItems(m_window->findBox), expected);
    QCOMPARE(m_window->findBox->currentText(), QStringLiteral("C"));
}

void TestMainWindow::largeTypeIsStoredAsNormal()
{
    MainWindow &w = start();
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"))->trigger();
    QVERIFY(w.fuzzyOption->isChecked());
    QVERIFY(w.fuzzyPanel->isVisible());
    restart();
    QVERIFY(m_window->fuzzyOption->isChecked());
    QCOMPARE(m_window->focusWidget(), m_window->firstPartBox);
    m_window->largeOption->setChecked(true);
    restart();
    QVERIFY(m_window->normalOption->isChecked());
    QVERIFY(!m_window->fuzzyPanel->isVisible());
}

void TestMainWindow::disableControlsLocksExactlyTheListedControls()
{
    MainWindow &w = start();
    w.disableControls();
    QVERIFY(w.context().state.runInProgress);
    QStringList locked;
    for (const char *name :
         {"folderList", "fileList", "driveList", "minimizeBox", "fuzzyPanel", "findBox",
          "replaceBox", "fileBarHolder", "filterManagerButton", "filterBox", "backupFolderButton",
          "caseSensitiveBox", "subfoldersBox", "wholeWordBox", "backupBox", "skipIgnoredBox",
          "regexBox", "includeHiddenBox", "keepCaseBox"})
        locked << QString::fromLatin1(name);
    for (const QString &name : locked)
        QVERIFY2(!w.findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
    for (const char *key : {"normal", "fuzzy", "large"})
        QVERIFY(!w.tool(QStringLiteral("searchTypeBar"), QString::fromLatin1(key))->isEnabled());
    for (const char *bar : {"runBar", "helpBar", "pasteFindBar", "pasteReplaceBar"})
        QVERIFY(w.findChild<QToolBar *>(QString::fromLatin1(bar))->isEnabled());
    QVERIFY(mainTool(QStringLiteral("find"))->isEnabled());
    w.enableControls();
    QVERIFY(!w.context().state.runInProgress);
    for (const QString &name : locked)
        QVERIFY2(w.findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
}

void TestMainWindow::regexOptionIsOffForFuzzy()
{
    MainWindow &w = start();
    w.regexBox->click();
    QVERIFY(w.request().isRegex());
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"))->trigger();
    QVERIFY(!w.regexBox->isEnabled());
    QVERIFY(!w.request().isRegex());
    // The end of a run leaves it off while the fuzzy search is chosen.
    w.disableControls();
    w.enableControls();
    QVERIFY(!w.regexBox->isEnabled());
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("normal"))->trigger();
    QVERIFY(w.regexBox->isEnabled());
    QVERIFY(w.request().isRegex());
}

void TestMainWindow::ctrlReleasedBeforeTheLetterStillCounts()
{
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    w.filterBox->setCurrentIndex(1);
    w.fileList->item(1)->setSelected(true);
    w.focusPark->setFocus();
    QTest::keyPress(w.focusPark, Qt::Key_Control);
    QTest::keyPress(w.focusPark, Qt::Key_V, Qt::ControlModifier);
    QTest::keyRelease(w.focusPark, Qt::Key_Control);
    QTest::keyRelease(w.focusPark, Qt::Key_V);
    QCOMPARE(w.viewer()->listCount(), 1);
    QVERIFY(w.viewer()->isVisible());
}

void TestMainWindow::filterWithTwoPatternsListsBoth()
{
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt"), QStringLiteral("b.htm"), QStringLiteral("c.ini")});
    w.filterBox->addItem(QStringLiteral("*.txt;*.htm"));
    w.filterBox->setCurrentIndex(w.filterBox->count() - 1);
    QCOMPARE(w.fileList->count(), 2);
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("0 of 2"));
    w.tool(QStringLiteral("fileSelectionBar"), QStringLiteral("all"))->trigger();
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("2 of 2"));
    w.tool(QStringLiteral("fileSelectionBar"), QStringLiteral("none"))->trigger();
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("0 of 2"));
    w.selectAllFiles();
    QTest::mouseClick(w.fuzzyReplaceLabel, Qt::LeftButton);
    QCOMPARE(w.fileList->selectedCount(), 0);
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("0 of 2"));
}

void TestMainWindow::selectNoneOnEmptyFolder()
{
    MainWindow &w = start();
    w.folderList->setPath(m_files);
    w.selectNoFiles();
    QCOMPARE(w.fileCountLabel->text(), QStringLiteral("0 of 0"));
    QCOMPARE(stored(QStringLiteral("Software\\Scrivlane\\LastDir"), QStringLiteral("Dir")),
             m_files);
}

void TestMainWindow::pasteLeavesBoxAloneOnEmptyClipboard()
{
    MainWindow &w = start();
    w.findBox->setEditText(QStringLiteral("keep"));
    QApplication::clipboard()->clear();
    w.pasteFindBar->actions().first()->trigger();
    QCOMPARE(w.findBox->currentText(), QStringLiteral("keep"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    w.pasteReplaceBar->actions().first()->trigger();
    QCOMPARE(w.replaceBox->currentText(), QStringLiteral("pasted"));
}

void TestMainWindow::unreadableDriveIsRefused()
{
    MainWindow &w = start();
    w.folderList->setPath(m_files);
    const QString driveBefore = w.driveList->currentText();
    const QString gone = m_dir->filePath(QStringLiteral("unmounted"));
    w.driveList->addItem(gone, gone);
    w.driveList->setCurrentIndex(w.driveList->count() - 1);
    emit w.driveList->activated(w.driveList->count() - 1);
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].text, QStringLiteral("That drive is not available."));
    QCOMPARE(m_dialogs->shown[0].title, QStringLiteral("Error reading drive"));
    QCOMPARE(m_dialogs->shown[0].icon, MessageIcon::Error);
    QCOMPARE(w.driveList->currentText(), driveBefore);
    QCOMPARE(w.folderList->path(), m_files);

    // Picking the drive that is already shown keeps the folder.
    const int current = w.driveList->currentIndex();
    emit w.driveList->activated(current);
    QCOMPARE(w.folderList->path(), m_files);
    QCOMPARE(m_dialogs->shown.size(), 1);
}

void TestMainWindow::accelerators()
{
    MainWindow &w = start();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
    QVERIFY(w.fuzzyOption->isChecked());
    QVERIFY(w.fuzzyPanel->isVisible());
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
    QVERIFY(w.normalOption->isChecked());
    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(w.caseSensitiveBox->isChecked());
    QTRY_COMPARE(stored(Options, QStringLiteral("Case Sensitive")), QStringLiteral("1"));
    QString aboutTitle;
    QTimer::singleShot(0, this, [&] {
        auto *about = w.findChild<AboutDialog *>();
        aboutTitle = about ? about->windowTitle() : QString();
        if (about)
            about->reject();
    });
    QTest::keyClick(&w, Qt::Key_F2);
    QCOMPARE(aboutTitle, QStringLiteral(" About..."));
}

void TestMainWindow::exitDuringRunStopsItAndSaves()
{
    MainWindow &w = start();
    QStringList names;
    for (int i = 0; i < 20; ++i) names << QStringLiteral("f%1.txt").arg(i);
    openSample(names);
    w.filterBox->setCurrentIndex(1);
    selectAll();
    w.findBox->setEditText(QStringLiteral("cat"));
    QTimer::singleShot(
        0, this, [&] { w.tool(QStringLiteral("helpBar"), QStringLiteral("exit"))->trigger(); });
    mainTool(QStringLiteral("find"))->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(w.viewer()->listCount() < names.size());
    QCOMPARE(stored(QStringLiteral("Software\\Scrivlane\\SearchType"), QStringLiteral("Type")),
             QStringLiteral("Normal"));
    QCOMPARE(stored(QStringLiteral("Software\\Scrivlane\\File Filters"), QStringLiteral("Filter3")),
             QStringLiteral("*.*"));
}

void TestMainWindow::largeToolFillsTheDialogFromTheActiveType()
{
    MainWindow &w = start();
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"))->trigger();
    w.firstPartBox->setEditText(QStringLiteral("<b>"));
    w.secondPartBox->setEditText(QStringLiteral("</b>"));
    w.findBox->setEditText(QStringLiteral("plain"));
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("large"))->trigger();
    auto *large = w.findChild<LargeSearchDialog *>(QStringLiteral("largeSearchDialog"));
    QVERIFY(large);
    QVERIFY(large->isVisible());
    QVERIFY(large->fuzzyBox->isChecked());
    QCOMPARE(large->firstPartEdit->toPlainText(), QStringLiteral("<b>"));
    QCOMPARE(large->secondPartEdit->toPlainText(), QStringLiteral("</b>"));
    QVERIFY(w.fuzzyOption->isChecked());

    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("normal"))->trigger();
    QVERIFY(!large->isVisible());
    QVERIFY(!large->fuzzyBox->isChecked());
}

void TestMainWindow::startUpFromStoredSettings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expectedFolder");  // "app" (the fresh start: home) or "files"
    QTest::addColumn<QString>("expectedFocus");
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("last folder") << "LastDir/Dir"
                                 << "<files>" << QString() << "files"
                                 << "findBox" << QStringList();
    QTest::addRow("deleted last folder") << "LastDir/Dir"
                                         << "<gone>" << QString() << "app"
                                         << "findBox" << QStringList();
    QTest::addRow("unknown search type") << "SearchType/Type"
                                         << "Paragraph" << QString() << "app"
                                         << "" << QStringList();
    QTest::addRow("option that is no number") << "Options/Case Sensitive"
                                              << "yes" << QString() << "app"
                                              << "findBox" << QStringList{QStringLiteral(" Error")};
}

void TestMainWindow::startUpFromStoredSettings()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expectedFolder);
    QFETCH(QString, expectedFocus);
    QFETCH(QStringList, messages);
    value.replace(QStringLiteral("<files>"), m_files);
    value.replace(QStringLiteral("<gone>"), m_dir->filePath(QStringLiteral("gone")));
    const QStringList parts = key.split(QLatin1Char('/'));
    SettingsStore::writeString(HKEY_CURRENT_USER,
                               QStringLiteral("Software\\Scrivlane\\") + parts[0], parts[1], value);
    MainWindow &w = start();
    QCOMPARE(w.folderList->path(),
             expectedFolder == u"app" ? QDir::toNativeSeparators(QDir::homePath()) : m_files);
    QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(),
             expectedFocus.isEmpty() ? QStringLiteral("focusPark") : expectedFocus);
    QCOMPARE(m_dialogs->titles(), messages);
    if (!messages.isEmpty()) {
        QVERIFY(m_dialogs->shown[0].text.startsWith(
            QStringLiteral("An error occurred while loading the program.\rExact error was: ")));
        QVERIFY(!w.caseSensitiveBox->isChecked());
    }
    QVERIFY(w.isVisible());
    QVERIFY(!w.fuzzyOption->isChecked());
}

void TestMainWindow::refreshCombosStopsAtARepeatedFilter()
{
    const QString key = QStringLiteral("Software\\Scrivlane\\File Filters");
    MainWindow &w = start();
    w.filterBox->clear();
    w.filterBox->addItems({QStringLiteral("*.txt"), QStringLiteral("*.htm"),
                           QStringLiteral("*.htm"), QStringLiteral("*.ini")});
    w.storeFilterList();
    QCOMPARE(stored(key, QStringLiteral("Filter0")), QStringLiteral("*.txt"));
    QCOMPARE(stored(key, QStringLiteral("Filter1")), QStringLiteral("*.htm"));
    QCOMPARE(stored(key, QStringLiteral("Filter2")), QStringLiteral("<none>"));
    QCOMPARE(stored(key, QStringLiteral("Filter4")), QStringLiteral("<none>"));
    // Shut-down writes the whole list.
    w.close();
    QCOMPARE(stored(key, QStringLiteral("Filter2")), QStringLiteral("*.htm"));
    QCOMPARE(stored(key, QStringLiteral("Filter3")), QStringLiteral("*.ini"));
}

void TestMainWindow::fileMenuEnabling_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("subdirectories");
    QTest::addColumn<bool>("toolsEnabled");
    QTest::addColumn<bool>("findEnabled");
    QTest::addRow("nothing selected") << false << false << false << false;
    QTest::addRow("nothing selected, subdirectories") << false << true << false << true;
    QTest::addRow("a file selected") << true << false << true << true;
}

void TestMainWindow::fileMenuEnabling()
{
    QFETCH(bool, selected);
    QFETCH(bool, subdirectories);
    QFETCH(bool, toolsEnabled);
    QFETCH(bool, findEnabled);
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt")});
    w.filterBox->setCurrentIndex(1);
    w.fileList->item(0)->setSelected(selected);
    w.subfoldersBox->setChecked(subdirectories);
    QTest::mousePress(w.fileList->viewport(), Qt::LeftButton, {}, QPoint(1, 200));
    QCOMPARE(w.fileMenu->actions().size(), 7);
    for (const QAction *action : w.fileMenu->actions()) {
        const bool expected = action->objectName() == u"find" ? findEnabled : toolsEnabled;
        QVERIFY2(action->isEnabled() == expected, qPrintable(action->objectName()));
    }
}

void TestMainWindow::lockedListsIgnoreThePointer()
{
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    w.filterBox->setCurrentIndex(1);
    w.selectAllFiles();
    w.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy"))->trigger();
    w.disableControls();
    // A run reads the selection file by file: a click on the fuzzy panel's
    // "Replace with:" must not clear it under the run's feet.
    QTest::mouseClick(w.fuzzyReplaceLabel, Qt::LeftButton);
    QCOMPARE(w.fileList->selectedCount(), 2);
    QTest::mousePress(w.fileList->viewport(), Qt::RightButton, {}, QPoint(1, 1));
    QVERIFY(!w.fileMenu->isVisible());
    QTest::mouseRelease(w.folderList->viewport(), Qt::RightButton, {}, QPoint(1, 1));
    QVERIFY(!w.folderMenu->isVisible());
    w.enableControls();
    QTest::mouseClick(w.fuzzyReplaceLabel, Qt::LeftButton);
    QCOMPARE(w.fileList->selectedCount(), 0);
}

void TestMainWindow::typingAKnownEntryDoesNotReorderTheHistory()
{
    for (const char *value : {"Char0", "Char1", "Char2"})
        SettingsStore::writeString(HKEY_CURRENT_USER, FindKey, QString::fromLatin1(value),
                                   QString::fromLatin1(value).right(1));
    MainWindow &w = start();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(comboItems(w.findBox), (QStringList{"0", "1", "2"}));
    w.findBox->setFocus();
    w.findBox->lineEdit()->selectAll();
    QTest::keyClick(w.findBox->lineEdit(), Qt::Key_2);
    QTest::keyClick(w.findBox->lineEdit(), Qt::Key_Return);
    w.filterBox->setFocus();
    QCOMPARE(w.findBox->currentText(), QStringLiteral("2"));
    QCOMPARE(comboItems(w.findBox), (QStringList{"0", "1", "2"}));
    QCOMPARE(stored(FindKey, QStringLiteral("Char0")), QStringLiteral("0"));
    // Typing the start of an entry gives exactly what was typed.
    w.findBox->setFocus();
    w.findBox->lineEdit()->clear();
    w.findBox->addItem(QStringLiteral("cat"));
    QTest::keyClick(w.findBox->lineEdit(), Qt::Key_C);
    QCOMPARE(w.findBox->currentText(), QStringLiteral("c"));
}

void TestMainWindow::runOffersToSaveTheViewersTyping()
{
    MainWindow &w = start();
    ViewerWindow &v = typeIntoViewedFile();
    QVERIFY(v.isVisible());

    w.findBox->setEditText(QStringLiteral("cat"));
    m_dialogs->answers << MessageAnswer::Yes;  // save the typing
    mainTool(QStringLiteral("find"))->trigger();

    QCOMPARE(m_dialogs->titles().value(0), QStringLiteral(" Save"));
    QCOMPARE(readFile(QDir(m_files).filePath(QStringLiteral("a.txt"))),
             QByteArray("typed the cat sat\r\n"));
    QCOMPARE(v.listCount(), 1);
}

void TestMainWindow::pointerOverTheListsShowsTheirHints()
{
    MainWindow &w = start();
    openSample({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    w.filterBox->setCurrentIndex(1);
    w.setStatusText(1, QStringLiteral("CTRL+ F"));
    w.optionArrows[2]->show();
    w.subfoldersHighlight->show();
    QTest::mouseMove(w.fileList->viewport(), QPoint(5, 5));
    QTRY_COMPARE(w.statusDetailPanel->text(),
                 QStringLiteral(" Please select files to edit. - Right-click for options."));
    QCOMPARE(w.statusStatePanel->text(), QStringLiteral("Scrivlane"));
    QVERIFY(w.optionArrows[2]->isHidden());
    QVERIFY(w.subfoldersHighlight->isHidden());
    QTest::mouseMove(w.folderList->viewport(), QPoint(5, 5));
    QTRY_COMPARE(w.statusDetailPanel->text(),
                 QStringLiteral(" Double-click to open a folder. - Right-click for options"));

    // A run's progress text stays.
    w.disableControls();
    w.setStatusText(2, QStringLiteral(" progress"));
    QTest::mouseMove(w.fileList->viewport(), QPoint(6, 6));
    QTest::mouseMove(w.folderList->viewport(), QPoint(6, 6));
    QCOMPARE(w.statusDetailPanel->text(), QStringLiteral(" progress"));
    w.enableControls();
}

void TestMainWindow::findDescribesTheFileShown_data()
{
    QTest::addColumn<bool>("subfolders");
    QTest::addRow("selected files") << false;
    QTest::addRow("subfolders") << true;
}

void TestMainWindow::findDescribesTheFileShown()
{
    // A name that is not valid UTF-8, made through the system's own call.
    const QByteArray odd = QFile::encodeName(m_files) + "/caf\xE9.txt";
    std::FILE *file = std::fopen(odd.constData(), "w");
    QVERIFY(file && std::fputs("the cat sat\r\n", file) >= 0 && std::fclose(file) == 0);
    const auto removeOdd = qScopeGuard([&] { std::remove(odd.constData()); });
    writeFile(QDir(m_files).filePath(u"sub/z.txt"_s), "a dog\r\n");
    MainWindow &w = start();
    openSample({u"a.txt"_s, u"UPPER.TXT"_s, u".hidden.txt"_s});
    w.filterBox->setCurrentIndex(1);
    QStringList listed;
    for (int i = 0; i < w.fileList->count(); ++i) listed << w.fileList->item(i)->text();
#ifndef Q_OS_WIN  // letter case counts in "*.txt"; hidden files are left out
    QCOMPARE(listed, QStringList({u"a.txt"_s, FileSystem::fromNativePath("caf\xE9.txt")}));
#endif
    ViewerWindow &v = *w.viewer();
    // A first run leaves the viewer on another file.
    w.findBox->setEditText(u"dog"_s);
    w.replaceBox->setEditText(u"cow"_s);
    w.subfoldersBox->click();
    mainTool(u"find"_s)->trigger();
    QCOMPARE(v.listCount(), 1);
    QFETCH(bool, subfolders);
    if (!subfolders)
        w.subfoldersBox->click();
    v.fileDateLabel->clear();
    v.fileLengthLabel->clear();
    selectAll();
    w.findBox->setEditText(u"cat"_s);
    mainTool(u"find"_s)->trigger();

    // The file list and a walk take the same names.
    QStringList found;
    for (int i = 0; i < v.listCount(); ++i) found << v.listItem(i).mid(m_files.size() + 1);
    found.sort();
    listed.sort();
    QCOMPARE(found, listed);
    const QString shown = v.listItem(0);
    QCOMPARE(v.buffer().fileName(), shown);
    QCOMPARE(v.documentList->currentRow(), 0);
    QCOMPARE(v.windowTitle(), u"Viewing document: "_s + shown);
    QCOMPARE(v.fileIndexLabel->text(), u"1"_s);
    QCOMPARE(v.foundPosLabel->text(), u"4 of 13"_s);
    // The viewer holds the text as loaded, so the shown file counts as unchanged.
    QCOMPARE(v.heldDocument->text(), v.buffer().text());
    QCOMPARE(v.fileLengthLabel->text(), u".0 KB"_s);
    // The walk may show the file whose name is not UTF-8 first.
    struct stat st {};
    QCOMPARE(::stat(FileSystem::nativePath(shown).constData(), &st), 0);
    const QDate date = QDateTime::fromSecsSinceEpoch(st.st_mtime).date();
    QCOMPARE(v.fileDateLabel->text(), QLocale::system().toString(date, QLocale::LongFormat));
    // The viewer's boxes mirror the main window's histories.
    QCOMPARE(comboItems(w.findBox), QStringList({u"cat"_s, u"dog"_s}));
    QCOMPARE(comboItems(v.viewerFindBox), comboItems(w.findBox));
    QCOMPARE(comboItems(v.viewerReplaceBox), comboItems(w.replaceBox));
}

void TestMainWindow::exitOffersToSaveTheViewersTyping_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<QByteArray>("saved");
    QTest::addRow("yes saves") << MessageAnswer::Yes << QByteArray("typed the cat sat\r\n");
    QTest::addRow("no drops") << MessageAnswer::No << QByteArray("the cat sat\r\n");
    QTest::addRow("cancel stays") << MessageAnswer::Cancel << QByteArray("the cat sat\r\n");
}

void TestMainWindow::exitOffersToSaveTheViewersTyping()
{
    QFETCH(MessageAnswer, answer);
    MainWindow &w = start();
    typeIntoViewedFile();
    m_dialogs->answers << answer;
    w.tool(u"helpBar"_s, u"exit"_s)->trigger();
    QCOMPARE(m_dialogs->titles(), QStringList{u" Save"_s});
    QCOMPARE(m_dialogs->shown.value(0).buttons, MessageButtons::YesNoCancel);
    QTEST(readFile(QDir(m_files).filePath(u"a.txt"_s)), "saved");
    // Cancel keeps the program open and stores nothing.
    const bool cancel = answer == MessageAnswer::Cancel;
    QCOMPARE(w.isVisible(), cancel);
    QCOMPARE(stored(u"Software\\Scrivlane\\SearchType"_s, u"Type"_s),
             cancel ? u"<none>"_s : u"Normal"_s);
    if (cancel)
        m_dialogs->answers << MessageAnswer::No;
}

void TestMainWindow::selectNoneReturnsToTheTop()
{
    MainWindow &w = start();
    QStringList names;
    for (int i = 0; i < 200; ++i) names << u"f%1.txt"_s.arg(i, 3, 10, QLatin1Char('0'));
    openSample(names);
    w.filterBox->setCurrentIndex(1);
    w.fileList->item(199)->setSelected(true);
    w.fileList->setCurrentRow(199, QItemSelectionModel::Current);
    w.fileList->scrollToBottom();
    w.selectNoFiles();
    QCOMPARE(w.fileList->currentRow(), 0);
    QCOMPARE(w.fileList->verticalScrollBar()->value(), 0);
}

void TestMainWindow::largeToolIsAButtonAndRunToolsKeepTheirWidth()
{
    MainWindow &w = start();
    QAction *large = w.tool(u"searchTypeBar"_s, u"large"_s);
    QVERIFY(qobject_cast<QToolButton *>(w.searchTypeBar->widgetForAction(large)));
    QVERIFY(!large->isCheckable() && large->icon().isNull());
    // A run's Stop caption does not resize its button.
    for (const QString &key : {u"find"_s, u"replace"_s, u"undo"_s}) {
        QWidget *button = w.runBar->widgetForAction(mainTool(key));
        const int width = button->width();
        mainTool(key)->setText(u"Stop"_s);
        QCOMPARE(button->width(), width);
        QVERIFY(width >= button->fontMetrics().horizontalAdvance(u"Stop"_s));
    }
}

void TestMainWindow::viewerStartsWithStoredSettings()
{
    for (const auto &[key, name, value] : {std::array{u"Word Wrap"_s, u"Word Wrap"_s, u"True"_s},
                                           {u"Fonts"_s, u"Fontname"_s, u"Serif Test"_s},
                                           {u"Fonts"_s, u"Fontsize"_s, u"12"_s}})
        SettingsStore::writeString(HKEY_CURRENT_USER, u"Software\\Scrivlane\\"_s + key, name,
                                   value);
    ViewerWindow &v = *start().viewer();
    QCOMPARE(v.documentEdit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(v.documentEdit->font().families().value(0), u"Serif Test"_s);
    QCOMPARE(v.documentEdit->font().pointSize(), 12);
}

void TestMainWindow::runEventsShowAsStatusTexts_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("findCaption");
    const QString was1 = QStringLiteral("-"), was2 = QStringLiteral("old");
    const QString stop = QStringLiteral("Stop");
    QTest::addRow("idle") << "idle"
                          << "" << 0 << "Scrivlane" << was2 << stop;
    QTest::addRow("refused") << "requestRefused"
                             << "" << 0 << "Scrivlane"
                             << "" << stop;
    QTest::addRow("find ended") << "findEnded"
                                << "" << 0 << was1 << was2 << "Find";
    QTest::addRow("file searched")
        << "fileSearched"
        << "/d/a.txt" << 0 << was1 << " Searching through document: /d/a.txt" << stop;
    QTest::addRow("listed file, 20 characters shown")
        << "listedFileSearched"
        << "abcdefghijklmnopqrstuvwxyz" << 3 << was1
        << " Searching for abcdefghijklmnopqrst... in document: 3" << stop;
    QTest::addRow("files found") << "filesFound"
                                 << "" << 4 << "Number of files: 4" << was2 << stop;
    QTest::addRow("replacements") << "replacementsMade"
                                  << "" << 12 << "Replacements: 12" << was2 << stop;
    QTest::addRow("backup folder") << "backupFolderMade"
                                   << "home/x" << 0 << was1 << " Creating folders: home/x" << stop;
    QTest::addRow("restore") << "restoreStarted"
                             << "" << 0 << "Restoring..." << was2 << stop;
    QTest::addRow("file deleted") << "deletingFile"
                                  << "/d/a.txt" << 0 << was1 << " Deleting files: /d/a.txt" << stop;
    QTest::addRow("folder deleted")
        << "folderDeleted"
        << "/d/s" << 0 << was1 << " Deleting folders: /d/s" + QString(QDir::separator()) << stop;
}

void TestMainWindow::runEventsShowAsStatusTexts()
{
    QFETCH(QString, event);
    QFETCH(QString, text);
    QFETCH(int, number);
    MainWindow &w = start();
    w.setStatusText(1, QStringLiteral("-"));
    w.setStatusText(2, QStringLiteral("old"));
    w.setToolCaption(QStringLiteral("find"), QStringLiteral("Stop"));
    RunEvents &events = *w.context().events;
    const QHash<QString, std::function<void()>> send{
        {QStringLiteral("idle"), [&] { events.idle(); }},
        {QStringLiteral("requestRefused"), [&] { events.requestRefused(); }},
        {QStringLiteral("findEnded"), [&] { events.findEnded(); }},
        {QStringLiteral("fileSearched"), [&] { events.fileSearched(text); }},
        {QStringLiteral("listedFileSearched"), [&] { events.listedFileSearched(text, number); }},
        {QStringLiteral("filesFound"), [&] { events.filesFound(number); }},
        {QStringLiteral("replacementsMade"), [&] { events.replacementsMade(number); }},
        {QStringLiteral("backupFolderMade"), [&] { events.backupFolderMade(text); }},
        {QStringLiteral("restoreStarted"), [&] { events.restoreStarted(); }},
        {QStringLiteral("deletingFile"), [&] { events.deletingFile(text); }},
        {QStringLiteral("folderDeleted"), [&] { events.folderDeleted(text); }}};
    send.value(event)();
    QTEST(w.statusStatePanel->text(), "panel1");
    QTEST(w.statusDetailPanel->text(), "panel2");
    QTEST(mainTool(QStringLiteral("find"))->text(), "findCaption");
}

void TestMainWindow::unlistedFilesLeaveTheViewersList_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("unlisted");
    QTest::addColumn<QStringList>("left");
    QTest::addRow("the last") << QStringList{"a", "b"} << QStringList{"b"} << QStringList{"a"};
    QTest::addRow("the last listing of a repeated path")
        << QStringList{"a", "b", "a", "c"} << QStringList{"a"} << QStringList{"a", "b", "c"};
    QTest::addRow("several") << QStringList{"a", "b", "c"} << QStringList{"c", "a"}
                             << QStringList{"b"};
}

void TestMainWindow::unlistedFilesLeaveTheViewersList()
{
    QFETCH(QStringList, listed);
    QFETCH(QStringList, unlisted);
    MainWindow &w = start();
    RunEvents &events = *w.context().events;
    events.listCleared();
    for (const QString &path : std::as_const(listed)) events.fileChanged(path);
    events.filesUnlisted(unlisted);
    QStringList left;
    for (int i = 0; i < w.viewer()->listCount(); ++i) left << w.viewer()->listItem(i);
    QTEST(left, "left");
    // The run's own record, which it reads back, keeps step with the viewer's list.
    QCOMPARE(events.listed(), left);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
