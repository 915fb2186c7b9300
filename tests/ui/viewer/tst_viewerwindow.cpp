#include "support/ComboItems.h"
#include "support/StandInMain.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QByteArray utf16LeBom(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class tst_ViewerWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nextAndPreviousWrapAround_data();
    void nextAndPreviousWrapAround();
    void fileLengthInKilobytes_data();
    void fileLengthInKilobytes();
    void foundPosShowsNotFoundForMinusOne();
    void askedSkipPassesOverOneReaction();
    void findNextVisitsEveryMatchOfEveryFile();
    void findNextContinuesAfterManualReplacement();
    void regexFindAndReplaceFillInGroups();
    void emptyReplacementWithoutSelectionIsAnError();
    void modifiedPromptSavesOrDiscards_data();
    void modifiedPromptSavesOrDiscards();
    void saveKeepsUtf16CrLfBytesExceptTheEdit();
    void failedSaveKeepsDocumentModified();
    void failedPromptedSaveKeepsTheDocumentShown_data();
    void failedPromptedSaveKeepsTheDocumentShown();
    void largeSearchButtonHintGoesWhenPointerLeaves();
    void wordWrapTwiceKeepsUnsavedTyping();
    void renameKeepsOldEntryOnFailure_data();
    void renameKeepsOldEntryOnFailure();
    void deleteOnlyEntryEmptiesList();
    void closeEmptiesListHideKeepsIt();
    void runEntriesListedAsAddedOneByOne_data();
    void runEntriesListedAsAddedOneByOne();
    void missingReportChangesNothing();
    void printsDocumentTextToPdf();
    void historyStepsFollowTheirRules_data();
    void historyStepsFollowTheirRules();
    void pickMovesEntryToTopInBothWindows();
    void activationCopiesMainWindowTexts();
    void keysWorkAnywhereInTheViewer_data();
    void keysWorkAnywhereInTheViewer();
    void escapeStopsAFindNextWalk();
    void ctrlLetGoBeforeTheLetterStillCounts();
    void typingAKnownEntryDoesNotReorderTheHistory();
    void hiddenFileInfoLetsDocumentCoverTheList();
    void hiddenViewerCatchesUpWhenShown();
    void fuzzyFindNextUsesTheViewerParts();
    void findNextRefusesEmptyInput_data();
    void findNextRefusesEmptyInput();
    void captionsShowInFull();
    void manualReplacementChangesOnlyItsStretch_data();
    void manualReplacementChangesOnlyItsStretch();
    void findFirstFromBothMenus_data();
    void findFirstFromBothMenus();
    void saveAsWritesACopyOnly();
    void fileDialogsStartBesideTheShownFile_data();
    void fileDialogsStartBesideTheShownFile();
    void wordWrapButtonStaysAfterMenuCommands();
    void findNextWithEmptyListSaysNoFiles();

private:
    QString makeFile(const QString &name, const QByteArray &bytes);
    void listFiles(const QStringList &paths, int select);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ViewerHarness> m_h;
};

void tst_ViewerWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SettingsStore::setStoreFileForTesting(m_dir->filePath(QStringLiteral("settings.ini")));
    Paths::setApplicationFolderForTesting(m_dir->path());
    m_h = std::make_unique<ViewerHarness>();
    m_h->viewer->show();
}

void tst_ViewerWindow::cleanup()
{
    m_h.reset();
    m_dir.reset();
}

QString tst_ViewerWindow::makeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

void tst_ViewerWindow::listFiles(const QStringList &paths, int select)
{
    for (const QString &path : paths) m_h->viewer->addToList(path);
    if (select >= 0)
        m_h->viewer->selectListItem(select);
}

void tst_ViewerWindow::nextAndPreviousWrapAround_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("next");
    QTest::addColumn<int>("expected");
    QTest::addRow("next on last selects first") << 2 << true << 0;
    QTest::addRow("next in the middle") << 1 << true << 2;
    QTest::addRow("previous on first selects last") << 0 << false << 2;
    QTest::addRow("previous in the middle") << 1 << false << 0;
    QTest::addRow("next with none selected") << -1 << true << 0;
    QTest::addRow("previous with none selected") << -1 << false << 2;
}

void tst_ViewerWindow::nextAndPreviousWrapAround()
{
    QFETCH(int, start);
    QFETCH(bool, next);
    QFETCH(int, expected);
    const QStringList paths{makeFile(QStringLiteral("a.txt"), "alpha"),
                            makeFile(QStringLiteral("b.txt"), "beta"),
                            makeFile(QStringLiteral("c.txt"), "gamma")};
    listFiles(paths, start);
    ViewerWindow &v = *m_h->viewer;
    next ? v.nextFile() : v.previousFile();
    QCOMPARE(v.documentList->currentRow(), expected);
    QCOMPARE(v.buffer().fileName(), paths[expected]);
    QCOMPARE(v.documentEdit->toPlainText(), v.buffer().text());
    QCOMPARE(v.fileIndexLabel->text(), QString::number(expected + 1));
    QCOMPARE(v.windowTitle(), QStringLiteral("Viewing document: ") + paths[expected]);
    QCOMPARE(v.searchStart(), QStringLiteral("-1"));
    QCOMPARE(v.foundPosLabel->text(), QStringLiteral("Not found"));
}

void tst_ViewerWindow::fileLengthInKilobytes_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addRow("empty") << 0 << QStringLiteral(".0 KB");
    QTest::addRow("100 bytes") << 100 << QStringLiteral(".1 KB");
    QTest::addRow("512 bytes") << 512 << QStringLiteral(".5 KB");
    QTest::addRow("1536 bytes") << 1536 << QStringLiteral("1.5 KB");
    QTest::addRow("rounds half up") << 1075 << QStringLiteral("1.0 KB");
    QTest::addRow("large") << 123456 << QStringLiteral("120.6 KB");
}

void tst_ViewerWindow::fileLengthInKilobytes()
{
    QFETCH(int, bytes);
    QFETCH(QString, shown);
    listFiles({makeFile(QStringLiteral("f.txt"), QByteArray(bytes, 'x'))}, 0);
    QCOMPARE(m_h->viewer->fileLengthLabel->text(), shown);
    QVERIFY(!m_h->viewer->fileDateLabel->text().isEmpty());
}

void tst_ViewerWindow::foundPosShowsNotFoundForMinusOne()
{
    m_h->viewer->positionShown(-1, 40);
    QCOMPARE(m_h->viewer->foundPosLabel->text(), QStringLiteral("Not found"));
    m_h->viewer->positionShown(12, 40);
    QCOMPARE(m_h->viewer->foundPosLabel->text(), QStringLiteral("12 of 40"));
}

void tst_ViewerWindow::askedSkipPassesOverOneReaction()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    const QString b = makeFile(QStringLiteral("b.txt"), "beta");
    listFiles({a, b}, -1);
    ViewerWindow &v = *m_h->viewer;
    v.setSkipNextReaction(true);
    v.selectListItem(1);
    QVERIFY(!v.isSkipPending());
    QVERIFY(v.buffer().fileName().isEmpty());
    v.selectListItem(0);
    QCOMPARE(v.buffer().fileName(), a);
}

void tst_ViewerWindow::findNextVisitsEveryMatchOfEveryFile()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "x foo y foo");
    const QString b = makeFile(QStringLiteral("b.txt"), "nothing here");
    const QString c = makeFile(QStringLiteral("c.txt"), "foo at the start");
    listFiles({a, b, c}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.viewerFindBox->setEditText(QStringLiteral("foo"));

    const QList<QPair<QString, int>> expected{{a, 2}, {a, 8}, {c, 0}};
    for (const auto &[file, position] : expected) {
        v.findNext();
        QCOMPARE(v.buffer().fileName(), file);
        QCOMPARE(v.foundPosition(), position);
        QCOMPARE(v.buffer().selectionStart(), position);
        QCOMPARE(v.buffer().selectionLength(), 3);
        QCOMPARE(v.documentEdit->textCursor().selectedText(), QStringLiteral("foo"));
        QCOMPARE(v.windowTitle(), QStringLiteral("Viewing document: ") + file);
        // The viewer's own search shows its match, whatever the run's events do.
        QCOMPARE(v.foundPosLabel->text(),
                 QStringLiteral("%1 of %2").arg(position).arg(v.buffer().text().size()));
    }
    QVERIFY(m_h->dialogs.shown.isEmpty());
    QCOMPARE(m_h->main.findBox->currentText(), QStringLiteral("foo"));

    // The first file changed on disk: the end of the walk loads it afresh.
    makeFile(QStringLiteral("a.txt"), "foo again");
    v.findNext();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Search complete")});
    QCOMPARE(v.buffer().fileName(), a);
    QCOMPARE(v.buffer().text(), QStringLiteral("foo again"));
    QCOMPARE(v.documentList->currentRow(), 0);
    QCOMPARE(v.searchStart(), QStringLiteral("-1"));

    v.findNext();
    QCOMPARE(v.buffer().fileName(), a);
    QCOMPARE(v.foundPosition(), 0);
}

void tst_ViewerWindow::findNextContinuesAfterManualReplacement()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "foo bar foo");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.viewerFindBox->setEditText(QStringLiteral("foo"));
    v.viewerReplaceBox->setEditText(QStringLiteral("foofoo"));
    v.findNext();
    QCOMPARE(v.foundPosition(), 0);
    v.replaceCurrent();
    QCOMPARE(v.buffer().text(), QStringLiteral("foofoo bar foo"));
    QCOMPARE(v.documentEdit->toPlainText(), QStringLiteral("foofoo bar foo"));
    QCOMPARE(v.searchStart(), QStringLiteral("6"));
    QVERIFY(v.isFileModified());
    v.findNext();
    QCOMPARE(v.foundPosition(), 11);
}

void tst_ViewerWindow::regexFindAndReplaceFillInGroups()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "x key=value\r\n");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.regexBox->setChecked(true);
    v.viewerFindBox->setEditText(QStringLiteral("(\\w+)=(\\w+)$"));
    v.viewerReplaceBox->setEditText(QStringLiteral("$2=$1\\n"));
    v.findNext();
    QCOMPARE(v.foundPosition(), 2);
    QCOMPARE(v.buffer().selectionLength(), 9);
    v.replaceCurrent();
    QCOMPARE(v.buffer().text(), QStringLiteral("x value=key\r\n\r\n"));
    // An invalid pattern is named, not searched for.
    v.viewerFindBox->setEditText(QStringLiteral("(x"));
    v.findNext();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Error")});
    QVERIFY(m_h->dialogs.shown[0].text.startsWith(
        QStringLiteral("The search text is not a valid regular expression: ")));
}

void tst_ViewerWindow::emptyReplacementWithoutSelectionIsAnError()
{
    listFiles({makeFile(QStringLiteral("a.txt"), "text")}, 0);
    m_h->viewer->replaceCurrent();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Replacement error")});
    QCOMPARE(m_h->viewer->buffer().text(), QStringLiteral("text"));
    QVERIFY(!m_h->viewer->isFileModified());
}

void tst_ViewerWindow::modifiedPromptSavesOrDiscards_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("yes");
    QTest::addRow("replacement, yes") << false << true;
    QTest::addRow("replacement, no") << false << false;
    QTest::addRow("typing, yes") << true << true;
    QTest::addRow("typing, no") << true << false;
}

void tst_ViewerWindow::modifiedPromptSavesOrDiscards()
{
    QFETCH(bool, typed);
    QFETCH(bool, yes);
    const QString a = makeFile(QStringLiteral("a.txt"), "one two");
    const QString b = makeFile(QStringLiteral("b.txt"), "other");
    listFiles({a, b}, 0);
    ViewerWindow &v = *m_h->viewer;
    if (typed) {
        QTextCursor cursor = v.documentEdit->textCursor();
        cursor.movePosition(QTextCursor::End);
        v.documentEdit->setTextCursor(cursor);
        QTest::keyClicks(v.documentEdit, QStringLiteral(" three"));
    } else {
        v.viewerFindBox->setEditText(QStringLiteral("two"));
        v.viewerReplaceBox->setEditText(QStringLiteral("two three"));
        v.findNext();
        v.replaceCurrent();
    }
    QCOMPARE(v.buffer().text(), QStringLiteral("one two three"));
    m_h->dialogs.answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
    v.nextFile();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Save")});
    QCOMPARE(m_h->dialogs.shown[0].text,
             QStringLiteral("This file has been modified.\rWould you like to save this as ") + a +
                 QStringLiteral(" ?"));
    QVERIFY(!v.isFileModified());
    QCOMPARE(v.buffer().fileName(), b);
    QFile file(a);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), yes ? QByteArray("one two three") : QByteArray("one two"));

    // Coming back shows the file as stored, with no further question.
    v.previousFile();
    QCOMPARE(m_h->dialogs.shown.size(), 1);
    QCOMPARE(v.buffer().text(), yes ? QStringLiteral("one two three") : QStringLiteral("one two"));
}

void tst_ViewerWindow::saveKeepsUtf16CrLfBytesExceptTheEdit()
{
    const QString path = makeFile(QStringLiteral("wide.txt"),
                                  utf16LeBom(QStringLiteral("line one\r\nline two\r\n")));
    ViewerWindow &v = *m_h->viewer;
    v.openPath(path);
    QCOMPARE(v.documentEdit->toPlainText(), QStringLiteral("line one\nline two\n"));
    QTextCursor cursor = v.documentEdit->textCursor();
    cursor.setPosition(14);  // before "two" in the control, which shows LF only
    v.documentEdit->setTextCursor(cursor);
    QTest::keyClicks(v.documentEdit, QStringLiteral("X"));
    QTest::keyClick(v.documentEdit, Qt::Key_Return);
    QCOMPARE(v.buffer().text(), QStringLiteral("line one\r\nline X\r\ntwo\r\n"));
    v.saveCurrent();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Save")});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), utf16LeBom(QStringLiteral("line one\r\nline X\r\ntwo\r\n")));
    QVERIFY(!v.isFileModified());
}

void tst_ViewerWindow::failedSaveKeepsDocumentModified()
{
    // windows-1252 cannot hold a Greek letter: the save must refuse, not mangle.
    const QString path = makeFile(QStringLiteral("latin.txt"), "caf\xE9");
    ViewerWindow &v = *m_h->viewer;
    v.openPath(path);
    v.viewerFindBox->setEditText(QStringLiteral("caf"));
    v.viewerReplaceBox->setEditText(QString(QChar(0x3A9)));
    v.findNext();
    v.replaceCurrent();
    QVERIFY(v.isFileModified());
    m_h->dialogs.answers = {MessageAnswer::Yes};
    v.saveCurrent();
    QCOMPARE(m_h->dialogs.titles(),
             (QStringList{QStringLiteral(" Save"), QStringLiteral("Error")}));
    QVERIFY(v.isFileModified());
    QCOMPARE(v.buffer().text(), QString(QChar(0x3A9)) + QChar(0xE9));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xE9"));
}

void tst_ViewerWindow::failedPromptedSaveKeepsTheDocumentShown_data()
{
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<int>("row");
    QTest::addRow("next file") << QStringLiteral("next") << 0;
    QTest::addRow("list click") << QStringLiteral("click") << 0;
    QTest::addRow("find next walking on") << QStringLiteral("findNext") << 0;
    QTest::addRow("open another file") << QStringLiteral("open") << 0;
    QTest::addRow("close viewer") << QStringLiteral("close") << -1;
}

void tst_ViewerWindow::failedPromptedSaveKeepsTheDocumentShown()
{
    QFETCH(QString, leaveBy);
    QFETCH(int, row);
    // windows-1252 cannot hold a Greek letter, so the save the user agrees to fails.
    const QString latin = makeFile(QStringLiteral("latin.txt"), "caf\xE9");
    const QString other = makeFile(QStringLiteral("other.txt"), "other text");
    listFiles({latin, other}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.viewerFindBox->setEditText(QStringLiteral("caf"));
    v.viewerReplaceBox->setEditText(QString(QChar(0x3A9)));
    v.findNext();
    v.replaceCurrent();
    const QString changed = QString(QChar(0x3A9)) + QChar(0xE9);
    QCOMPARE(v.buffer().text(), changed);
    m_h->dialogs.answers = {MessageAnswer::Yes};
    if (leaveBy == QLatin1String("next"))
        v.nextFile();
    else if (leaveBy == QLatin1String("click"))
        v.documentList->setCurrentRow(1);
    else if (leaveBy == QLatin1String("findNext"))
        v.findNext();
    else if (leaveBy == QLatin1String("open"))
        v.openPath(other);
    else
        v.closeViewer();
    QCOMPARE(m_h->dialogs.titles(),
             (QStringList{QStringLiteral(" Save"), QStringLiteral("Error")}));
    QCOMPARE(v.buffer().fileName(), latin);
    QCOMPARE(v.buffer().text(), changed);
    QVERIFY(v.isFileModified());
    QCOMPARE(v.documentList->currentRow(), row);
    QFile file(latin);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xE9"));
}

void tst_ViewerWindow::largeSearchButtonHintGoesWhenPointerLeaves()
{
    ViewerWindow &v = *m_h->viewer;
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(v.largeFindButton, &enter);
    QCOMPARE(
        m_h->status.panel2,
        QStringLiteral(" Click here to enter a large search character, like a whole paragraph."));
    QCoreApplication::sendEvent(v.largeFindButton, &leave);
    QCOMPARE(m_h->status.panel2, QString());
    QCoreApplication::sendEvent(v.largeReplaceButton, &enter);
    QCOMPARE(m_h->status.panel2, QStringLiteral(" Click here to enter a large replacement "
                                                "character, like a whole paragraph."));
    QCoreApplication::sendEvent(v.largeReplaceButton, &leave);
    QCOMPARE(m_h->status.panel2, QString());
}

void tst_ViewerWindow::wordWrapTwiceKeepsUnsavedTyping()
{
    const QString path = makeFile(QStringLiteral("a.txt"), "stored text");
    listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    QCOMPARE(v.rightMargin(), ViewerWindow::NoWrapMargin);
    QTextCursor cursor = v.documentEdit->textCursor();
    cursor.movePosition(QTextCursor::End);
    v.documentEdit->setTextCursor(cursor);
    QTest::keyClicks(v.documentEdit, QStringLiteral(" typed"));

    QAction *wrap = v.tool(QStringLiteral("viewerMenus"), QStringLiteral("wordwrap"));
    QVERIFY(wrap);
    wrap->trigger();
    QCOMPARE(v.rightMargin(), 0);
    QCOMPARE(v.wordWrapPicture(), QStringLiteral("on"));
    QCOMPARE(v.documentEdit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER,
                                       QStringLiteral("Software\\Scrivlane\\Word Wrap"),
                                       QStringLiteral("Word Wrap"), QString()),
             QStringLiteral("True"));
    wrap->trigger();
    QCOMPARE(v.rightMargin(), ViewerWindow::NoWrapMargin);
    QCOMPARE(v.wordWrapPicture(), QStringLiteral("off"));
    QCOMPARE(SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER,
                                       QStringLiteral("Software\\Scrivlane\\Word Wrap"),
                                       QStringLiteral("Word Wrap"), QString()),
             QStringLiteral("False"));
    QCOMPARE(v.documentEdit->toPlainText(), QStringLiteral("stored text typed"));
    QCOMPARE(v.buffer().text(), QStringLiteral("stored text typed"));

    // A margin set elsewhere: the first click turns wrap off.
    v.setRightMargin(1234);
    wrap->trigger();
    QCOMPARE(v.rightMargin(), ViewerWindow::NoWrapMargin);
}

void tst_ViewerWindow::renameKeepsOldEntryOnFailure_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<QStringList>("titles");
    QTest::addRow("existing name")
        << QStringLiteral("b.txt") << false << QStringList{QStringLiteral("Error")};
    QTest::addRow("new name") << QStringLiteral("c.txt") << true << QStringList{};
    QTest::addRow("no dot") << QStringLiteral("noext") << false << QStringList{};
    QTest::addRow("folder in name")
        << QStringLiteral("../d.txt") << false << QStringList{QStringLiteral("Error")};
}

void tst_ViewerWindow::renameKeepsOldEntryOnFailure()
{
    QFETCH(QString, answer);
    QFETCH(bool, renamed);
    QFETCH(QStringList, titles);
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    const QString b = makeFile(QStringLiteral("b.txt"), "beta");
    listFiles({a, b}, 0);
    m_h->dialogs.inputs = {answer};
    m_h->viewer->popupRename();
    QCOMPARE(m_h->dialogs.titles(), titles);
    QCOMPARE(QFile(b).exists(), true);
    QFile other(b);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("beta"));
    const QString newPath = m_dir->filePath(answer);
    QCOMPARE(m_h->viewer->listItem(0), renamed ? newPath : a);
    QCOMPARE(QFile(a).exists(), !renamed);
    if (renamed) {
        QCOMPARE(m_h->viewer->buffer().fileName(), newPath);
        QCOMPARE(m_h->status.fileListRefreshes, 1);
    }
}

void tst_ViewerWindow::deleteOnlyEntryEmptiesList()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    listFiles({a}, 0);
    m_h->dialogs.answers = {MessageAnswer::No};
    m_h->viewer->popupDeleteFile();
    QVERIFY(QFile(a).exists());
    QCOMPARE(m_h->viewer->listCount(), 1);
    QCOMPARE(m_h->dialogs.shown.last().title, QStringLiteral("Delete file?"));
    m_h->viewer->popupDeleteFile();
    QVERIFY(!QFile(a).exists());
    QCOMPARE(m_h->viewer->listCount(), 0);
    QCOMPARE(m_h->viewer->totalFilesLabel->text(), QStringLiteral("0"));
    QCOMPARE(m_h->viewer->buffer().text(), QStringLiteral("alpha"));
}

void tst_ViewerWindow::closeEmptiesListHideKeepsIt()
{
    listFiles({makeFile(QStringLiteral("a.txt"), "alpha")}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.tool(QStringLiteral("fileMenu"), QStringLiteral("exit"))->trigger();
    QVERIFY(!v.isVisible());
    QCOMPARE(v.listCount(), 1);
    v.show();
    v.tool(QStringLiteral("moveBar"), QStringLiteral("exit"))->trigger();
    QVERIFY(!v.isVisible());
    QCOMPARE(v.listCount(), 0);
    QCOMPARE(v.totalFilesLabel->text(), QStringLiteral("0"));
    QCOMPARE(v.searchStart(), QStringLiteral("0"));
    QVERIFY(m_h->ctx.state.stopRequested);
    QCOMPARE(v.buffer().text(), QStringLiteral("alpha"));
}

void tst_ViewerWindow::runEntriesListedAsAddedOneByOne_data()
{
    // Steps: "add:<path>" (a run's entry), "clear", "pass" (a pass of the event
    // loop), "select:<row>". After each, the list as read matches what adding
    // one by one gives; after a last pass, so do the list's own rows.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("in order") << QStringList{"add:a", "add:b", "pass", "add:c", "add:d"};
    QTest::newRow("cleared while waiting")
        << QStringList{"add:a", "pass", "add:b", "clear", "add:c"};
    QTest::newRow("selected while waiting") << QStringList{"add:a", "add:b", "select:1", "add:c"};
}

void tst_ViewerWindow::runEntriesListedAsAddedOneByOne()
{
    QFETCH(QStringList, steps);
    ViewerWindow &v = *m_h->viewer;
    QStringList expected;
    const auto rows = [&v] {
        QStringList texts;
        for (int i = 0; i < v.documentList->count(); ++i) texts << v.documentList->item(i)->text();
        return texts;
    };
    for (const QString &step : std::as_const(steps)) {
        const QString arg = step.section(':', 1);
        if (step.startsWith("add:")) {
            v.addToList(arg);
            expected << arg;
        } else if (step == "clear") {
            v.clearList();
            expected.clear();
        } else if (step == "pass") {
            QCoreApplication::processEvents();
            QCOMPARE(rows(), expected);
        } else {
            v.selectListItem(arg.toInt());
            QCOMPARE(rows(), expected);
            QCOMPARE(v.documentList->currentItem()->text(), expected.at(arg.toInt()));
        }
        QStringList read;
        for (int i = 0; i < v.listCount(); ++i) read << v.listItem(i);
        QCOMPARE(read, expected);
    }
    QCoreApplication::processEvents();
    QCOMPARE(rows(), expected);
}

void tst_ViewerWindow::missingReportChangesNothing()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.showLastReport();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(v.buffer().fileName(), a);
    QVERIFY(!v.isSkipPending());

    makeFile(QStringLiteral("Report.dat"), "report body\r\n");
    v.showLastReport();
    QCOMPARE(v.buffer().text(), QStringLiteral("report body\r\n"));
    QVERIFY(!v.isSkipPending());
    QVERIFY(v.windowTitle().endsWith(QStringLiteral("Report.dat")));
    QCOMPARE(v.listCount(), 1);
}

namespace {

QByteArray inflate(const QByteArray &compressed)
{
    // qUncompress wants the expected size in front, big endian.
    const quint32 hint = quint32(compressed.size()) * 20 + 4096;
    QByteArray framed;
    framed.append(char(hint >> 24))
        .append(char(hint >> 16))
        .append(char(hint >> 8))
        .append(char(hint));
    return qUncompress(framed + compressed);
}

/// Every stream of the PDF, inflated when it is compressed.
QByteArray pdfStreams(const QByteArray &pdf)
{
    QByteArray all;
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        const qsizetype start = at + 7;
        const qsizetype end = pdf.indexOf("endstream", start);
        if (end < 0)
            break;
        const QByteArray raw = pdf.mid(start, end - start);
        const QByteArray inflated = inflate(raw);
        all += inflated.isEmpty() ? raw : inflated;
        all += '\n';
        at = end;
    }
    return all;
}

}  // namespace

void tst_ViewerWindow::printsDocumentTextToPdf()
{
    listFiles({makeFile(QStringLiteral("a.txt"), "Printed words\r\nsecond line")}, 0);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdfPath = m_dir->filePath(QStringLiteral("out.pdf"));
    printer.setOutputFileName(pdfPath);
    m_h->viewer->printTo(printer);
    QVERIFY(m_h->dialogs.shown.isEmpty());
    QFile pdf(pdfPath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    // The text is drawn as glyphs; the font's ToUnicode map names each character used.
    const QByteArray streams = pdfStreams(bytes);
    QVERIFY(streams.contains("beginbfchar") || streams.contains("beginbfrange"));
    for (char c : QByteArray("Pritedwoscnl")) {
        if (c == '\0')
            continue;
        const QByteArray code = QByteArray::number(int(c), 16).rightJustified(4, '0').toUpper();
        QVERIFY2(streams.toUpper().contains("<" + code + ">"), code.constData());
    }
}

namespace {

QString stored(const QString &key, const QString &value)
{
    return SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER,
                                     QStringLiteral("Software\\Scrivlane\\") + key, value,
                                     QStringLiteral("<none>"));
}

}  // namespace

void tst_ViewerWindow::historyStepsFollowTheirRules_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QStringList>("findList");
    QTest::addColumn<QStringList>("replaceList");
    QTest::addColumn<QString>("storedReplace0");
    const QStringList abcd{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                           QStringLiteral("D")};
    QTest::addRow("repeated texts: find swaps with the top, replacement stays, nothing stored")
        << QStringLiteral("C") << QStringLiteral("C")
        << QStringList{QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A"),
                       QStringLiteral("D")}
        << abcd << QStringLiteral("<none>");
    QTest::addRow("new texts go on top")
        << QStringLiteral("E") << QStringLiteral("F")
        << QStringList{QStringLiteral("E"), QStringLiteral("A"), QStringLiteral("B"),
                       QStringLiteral("C"), QStringLiteral("D")}
        << QStringList{QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("B"),
                       QStringLiteral("C"), QStringLiteral("D")}
        << QStringLiteral("F");
}

void tst_ViewerWindow::historyStepsFollowTheirRules()
{
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QStringList, findList);
    QFETCH(QStringList, replaceList);
    QFETCH(QString, storedReplace0);
    ViewerWindow &v = *m_h->viewer;
    const QStringList abcd{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                           QStringLiteral("D")};
    v.viewerFindBox->addItems(abcd);
    v.viewerReplaceBox->addItems(abcd);
    v.viewerFindBox->setEditText(find);
    v.viewerReplaceBox->setEditText(replace);
    v.saveFindHistoryHere();
    v.saveReplaceHistoryHere();
    QCOMPARE(comboItems(v.viewerFindBox), findList);
    QCOMPARE(comboItems(v.viewerReplaceBox), replaceList);
    QCOMPARE(comboItems(m_h->main.findBox), findList);
    QCOMPARE(m_h->main.findBox->currentText(), find);
    QCOMPARE(m_h->main.replaceBox->currentText(), replace);
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char0")), find);
    QCOMPARE(stored(QStringLiteral("Replace\\Normal"), QStringLiteral("ReplaceChar0")),
             storedReplace0);

    // An eleventh distinct text drops the oldest.
    for (int i = 0; i < 12; ++i) {
        v.viewerFindBox->setEditText(QStringLiteral("n") + QString::number(i));
        v.saveFindHistoryHere();
    }
    QCOMPARE(v.viewerFindBox->count(), 10);
    QCOMPARE(v.viewerFindBox->itemText(0), QStringLiteral("n11"));
}

void tst_ViewerWindow::pickMovesEntryToTopInBothWindows()
{
    ViewerWindow &v = *m_h->viewer;
    const QStringList abcd{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                           QStringLiteral("D")};
    v.viewerFindBox->addItems(abcd);
    m_h->main.findBox->addItems(abcd);
    v.findBoxPicked(2);
    const QStringList rotated{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral("D")};
    QCOMPARE(comboItems(v.viewerFindBox), rotated);
    QCOMPARE(comboItems(m_h->main.findBox), rotated);
    QCOMPARE(v.viewerFindBox->currentText(), QStringLiteral("C"));
    QCOMPARE(m_h->main.findBox->currentText(), QStringLiteral("C"));
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char2")), QStringLiteral("B"));
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char3")),
             QStringLiteral("<none>"));

    // The second part's list belongs to fuzzy searches only.
    v.viewerSecondPartBox->addItems(abcd);
    v.secondPartBoxPicked(3);
    QCOMPARE(comboItems(v.viewerSecondPartBox), abcd);
}

void tst_ViewerWindow::activationCopiesMainWindowTexts()
{
    ViewerWindow &v = *m_h->viewer;
    StandInMain &main = m_h->main;
    main.findBox->setEditText(QStringLiteral("find"));
    main.replaceBox->setEditText(QStringLiteral("replace"));
    main.firstPartBox->setEditText(QStringLiteral("first"));
    main.secondPartBox->setEditText(QStringLiteral("second"));
    main.fuzzyReplaceBox->setEditText(QStringLiteral("fuzzy"));
    v.viewerSecondPartBox->setEditText(QStringLiteral("kept"));
    m_h->ctx.state.runInProgress = true;
    v.prepareOnActivation();
    QCOMPARE(v.viewerFindBox->currentText(), QStringLiteral("find"));
    QCOMPARE(v.viewerReplaceBox->currentText(), QStringLiteral("replace"));
    QCOMPARE(v.viewerSecondPartBox->currentText(), QStringLiteral("kept"));
    QCOMPARE(v.viewerFindBox->width(), 2370 / 15);
    QVERIFY(!m_h->ctx.state.runInProgress);
    main.fuzzyOption->setChecked(true);
    v.prepareOnActivation();
    QCOMPARE(v.viewerFindBox->currentText(), QStringLiteral("first"));
    QCOMPARE(v.viewerSecondPartBox->currentText(), QStringLiteral("second"));
    QCOMPARE(v.viewerReplaceBox->currentText(), QStringLiteral("fuzzy"));
    QCOMPARE(v.viewerFindBox->width(), 1410 / 15);
}

void tst_ViewerWindow::keysWorkAnywhereInTheViewer_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("key");       // with its modifiers
    QTest::addColumn<QString>("tool");  // the menu command that shows the key
    QTest::addColumn<QList<bool>>("infoHiddenViewerMainShown");
    const int ctrl = Qt::CTRL;
    QTest::addRow("Ctrl+D") << u"documentList"_s << (ctrl | Qt::Key_D) << u"formatMenu/resize"_s
                            << QList<bool>{true, true, true};
    QTest::addRow("Ctrl+Shift+D") << u"documentEdit"_s << int(ctrl | Qt::SHIFT | Qt::Key_D)
                                  << QString() << QList<bool>{false, true, true};
    QTest::addRow("Ctrl+W hides") << u"viewerFindBox"_s << (ctrl | Qt::Key_W) << u"fileMenu/exit"_s
                                  << QList<bool>{false, false, true};
    QTest::addRow("Esc hides") << u"documentEdit"_s << int(Qt::Key_Escape) << QString()
                               << QList<bool>{false, false, true};
    QTest::addRow("Ctrl+Q quits") << u"documentList"_s << (ctrl | Qt::Key_Q) << u"fileMenu/quit"_s
                                  << QList<bool>{false, true, false};
}

void tst_ViewerWindow::keysWorkAnywhereInTheViewer()
{
    QFETCH(QString, widget);
    QFETCH(int, key);
    QFETCH(QString, tool);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.show();
    auto target = v.findChild<QWidget *>(widget);
    const auto combination = QKeyCombination::fromCombined(key);
    if (combination.key() == Qt::Key_Escape)
        QTest::keyClick(target, combination.key());
    else
        QTest::keyRelease(target, combination.key(), combination.keyboardModifiers());
    QTEST((QList<bool>{v.resizeBox->isChecked(), v.isVisible(), m_h->main.isVisible()}),
          "infoHiddenViewerMainShown");
    if (!tool.isEmpty())
        QCOMPARE(v.tool(tool.section(u'/', 0, 0), tool.section(u'/', 1))->shortcut(),
                 QKeySequence(combination));
}

void tst_ViewerWindow::escapeStopsAFindNextWalk()
{
    listFiles({makeFile(u"a.txt"_s, "a"), makeFile(u"b.txt"_s, "b")}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.viewerFindBox->setEditText(u"absent"_s);
    m_h->status.onYield = [&v] { QTest::keyClick(v.documentList, Qt::Key_Escape); };
    v.findNext();
    QVERIFY(!v.isVisible() && v.documentList->currentRow() == 0 && m_h->dialogs.shown.isEmpty());
}

void tst_ViewerWindow::typingAKnownEntryDoesNotReorderTheHistory()
{
    ViewerWindow &v = *m_h->viewer;
    v.viewerFindBox->clear();
    v.viewerFindBox->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("cat")});
    v.viewerFindBox->setFocus();
    v.viewerFindBox->lineEdit()->selectAll();
    QTest::keyClick(v.viewerFindBox->lineEdit(), Qt::Key_1);
    QTest::keyClick(v.viewerFindBox->lineEdit(), Qt::Key_Return);
    v.viewerReplaceBox->setFocus();
    QCOMPARE(v.viewerFindBox->currentText(), QStringLiteral("1"));
    QCOMPARE(v.viewerFindBox->itemText(0), QStringLiteral("0"));
    // Typing the start of an entry gives exactly what was typed.
    v.viewerFindBox->setFocus();
    v.viewerFindBox->lineEdit()->clear();
    QTest::keyClick(v.viewerFindBox->lineEdit(), Qt::Key_C);
    QCOMPARE(v.viewerFindBox->currentText(), QStringLiteral("c"));
}

void tst_ViewerWindow::ctrlLetGoBeforeTheLetterStillCounts()
{
    ViewerWindow &v = *m_h->viewer;
    QVERIFY(!v.resizeBox->isChecked());
    QTest::keyPress(v.documentList, Qt::Key_Control);
    QTest::keyPress(v.documentList, Qt::Key_D, Qt::ControlModifier);
    QTest::keyRelease(v.documentList, Qt::Key_Control);
    QTest::keyRelease(v.documentList, Qt::Key_D);
    QVERIFY(v.resizeBox->isChecked());
}

void tst_ViewerWindow::hiddenFileInfoLetsDocumentCoverTheList()
{
    ViewerWindow &v = *m_h->viewer;
    v.resize(800, 600);
    v.layoutControls();
    const int height = v.centralArea->height() * 15;
    QCOMPARE(v.documentEdit->y(),
             (v.documentList->y() * 15 + v.documentList->height() * 15 + 75) / 15);
    QCOMPARE(v.documentEdit->height(), (height - 3600) / 15);
    v.toggleFileInfo();
    // The document covers the list and the file information, not the boxes.
    QCOMPARE(v.documentEdit->y(), 945 / 15);
    QCOMPARE(v.documentEdit->height(), (height - 945 - 425) / 15);
    const QWidget *boxes[] = {v.viewerFindBox, v.viewerReplaceBox, v.largeFindButton,
                              v.largeReplaceButton};
    for (const QWidget *box : boxes)
        QVERIFY2(box->geometry().bottom() < v.documentEdit->y(), qPrintable(box->objectName()));
}

void tst_ViewerWindow::hiddenViewerCatchesUpWhenShown()
{
    ViewerWindow &v = *m_h->viewer;
    v.hide();
    const QString a = makeFile(QStringLiteral("a.txt"), "loaded while hidden\r\nline");
    v.setSkipNextReaction(true);
    v.buffer().load(a);
    QVERIFY(!v.isSkipPending());
    QVERIFY(v.buffer().find(QStringLiteral("line"), 10) >= 0);
    v.show();
    QCOMPARE(v.documentEdit->toPlainText(), QStringLiteral("loaded while hidden\nline"));
    QCOMPARE(v.documentEdit->textCursor().selectedText(), QStringLiteral("line"));
}

void tst_ViewerWindow::fuzzyFindNextUsesTheViewerParts()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "a <b> c <d\ne>");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.fuzzyOption->setChecked(true);
    m_h->main.firstPartBox->setEditText(QStringLiteral("zzz"));
    v.viewerFindBox->setEditText(QStringLiteral("<"));
    v.viewerSecondPartBox->setEditText(QStringLiteral(">"));
    v.findNext();
    QCOMPARE(v.foundPosition(), 2);
    QCOMPARE(v.buffer().selectedText(), QStringLiteral("<b>"));
    QCOMPARE(m_h->main.firstPartBox->currentText(), QStringLiteral("<"));
    v.findNext();
    QCOMPARE(v.buffer().selectedText(), QStringLiteral("<d\ne>"));
    QCOMPARE(v.documentEdit->textCursor().selectedText(),
             QStringLiteral("<d") + QChar::ParagraphSeparator + QStringLiteral("e>"));
}

void tst_ViewerWindow::findNextRefusesEmptyInput_data()
{
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("panel1");
    QTest::addRow("normal") << false << QString() << QStringLiteral("viewerFindBox")
                            << QStringLiteral(" Scrivlane");
    QTest::addRow("fuzzy without second part")
        << true << QStringLiteral("<") << QStringLiteral("viewerSecondPartBox")
        << QStringLiteral("Scrivlane");
}

void tst_ViewerWindow::findNextRefusesEmptyInput()
{
    QFETCH(bool, fuzzy);
    QFETCH(QString, first);
    QFETCH(QString, focused);
    QFETCH(QString, panel1);
    listFiles({makeFile(QStringLiteral("a.txt"), "text")}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.fuzzyOption->setChecked(fuzzy);
    // Activation copies the main window's texts into the viewer's boxes.
    (fuzzy ? m_h->main.firstPartBox : m_h->main.findBox)->setEditText(first);
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    QCOMPARE(v.viewerFindBox->currentText(), first);
    v.findNext();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(m_h->dialogs.shown[0].text, QStringLiteral("You must enter something to search for."));
    QCOMPARE(m_h->status.panel1, panel1);
    QCOMPARE(m_h->status.panel2, QStringLiteral(" "));
    QTRY_VERIFY(QApplication::focusWidget());
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus->objectName() == focused || focus->parent()->objectName() == focused);
    QCOMPARE(m_h->main.findBox->count(), 0);
}

void tst_ViewerWindow::captionsShowInFull()
{
    ViewerWindow &v = *m_h->viewer;
    auto *wrap = v.findChild<QToolButton *>(u"wordwrapButton"_s);
    QVERIFY(wrap && wrap->isVisible());
    QCOMPARE(wrap->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    wrap->click();
    QVERIFY(wrap->isChecked());
    // The file date label holds a long date (a Wednesday in September) inside the frame.
    const QString date = QLocale::system().toString(QDate(2026, 9, 23), QLocale::LongFormat);
    QVERIFY(v.fileDateLabel->width() >= v.fileDateLabel->fontMetrics().horizontalAdvance(date));
    QVERIFY(v.fileDateLabel->geometry().right() < v.fileInfoFrame->width());
}

void tst_ViewerWindow::manualReplacementChangesOnlyItsStretch_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addRow("CR LF") << QByteArray("a\r\nfoo\r\nb") << QByteArray("a\r\none\r\ntwo\r\nb");
    QTest::addRow("LF") << QByteArray("a\nfoo\nb") << QByteArray("a\none\ntwo\nb");
    QTest::addRow("UTF-16 CR") << utf16LeBom(QStringLiteral("a\rfoo\rb"))
                               << utf16LeBom(QStringLiteral("a\rone\rtwo\rb"));
}

void tst_ViewerWindow::manualReplacementChangesOnlyItsStretch()
{
    QFETCH(QByteArray, before);
    const QString path = makeFile(u"f.txt"_s, before);
    listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    QVERIFY(v.buffer().find(u"foo"_s, 0) >= 0);
    v.viewerReplaceBox->setEditText(u"one\ntwo"_s);
    QSignalSpy changes(v.documentEdit->document(), &QTextDocument::contentsChange);
    v.replaceCurrent();
    QCOMPARE(v.documentEdit->toPlainText(), u"a\none\ntwo\nb"_s);
    // One local edit (position 2, 3 characters removed), not the whole document again.
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).mid(0, 2), (QVariantList{2, 3}));
    QVERIFY(v.isFileModified());
    v.buffer().save(path);
    QTEST(readFile(path), "after");
}

void tst_ViewerWindow::findFirstFromBothMenus_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<bool>("match");
    for (const QString &band : {u"searchMenu"_s, u"listMenu"_s})
        for (bool match : {true, false})
            QTest::addRow("%s%s", qPrintable(band), match ? "" : ", no match") << band << match;
}

void tst_ViewerWindow::findFirstFromBothMenus()
{
    QFETCH(QString, band);
    QFETCH(bool, match);
    listFiles({makeFile(u"f.txt"_s, match ? "x cat" : "x dog")}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.findBox->setEditText(u"cat"_s);  // as activation leaves them
    v.viewerFindBox->setEditText(u"cat"_s);
    // The list's menu clears a stop left by closing the viewer; the search menu does not need to.
    m_h->ctx.state.stopRequested = band == u"listMenu";
    v.tool(band, u"find"_s)->trigger();
    QCOMPARE(v.foundPosition(), match ? 2 : -1);
    QCOMPARE(v.documentEdit->textCursor().selectedText(), match ? u"cat"_s : QString());
    QCOMPARE(m_h->dialogs.titles(), match ? QStringList() : QStringList{u" Search complete"_s});
}

void tst_ViewerWindow::saveAsWritesACopyOnly()
{
    const QString path = makeFile(u"f.txt"_s, "stored\r\n");
    listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.documentEdit->moveCursor(QTextCursor::Start);
    QTest::keyClicks(v.documentEdit, u"new "_s);
    const QString copy = m_dir->filePath(u"copy.txt"_s);
    m_h->dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
    v.saveAsPath(copy);
    QVERIFY(m_h->dialogs.shown.value(0).text.contains(copy));
    QVERIFY(!QFileInfo::exists(copy));
    v.saveAsPath(copy);
    QCOMPARE(readFile(copy), QByteArray("new stored\r\n"));
    // The viewer stays on the original file.
    QCOMPARE(v.buffer().fileName(), path);
    QCOMPARE(v.windowTitle(), u"Viewing document: "_s + path);
    QCOMPARE(v.listItem(0), path);
}

// Open and Save As start in the folder of the file the list shows, never in the
// program's data folder (here the test's own folder, where the report is).
void tst_ViewerWindow::fileDialogsStartBesideTheShownFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("report");
    QTest::addRow("open") << u"open"_s << true << false;
    QTest::addRow("save as") << u"saveAs"_s << true << false;
    QTest::addRow("save as on the report") << u"saveAs"_s << true << true;
    QTest::addRow("open, nothing shown") << u"open"_s << false << false;
}

void tst_ViewerWindow::fileDialogsStartBesideTheShownFile()
{
    QFETCH(QString, command);
    QFETCH(bool, listed);
    QFETCH(bool, report);
    QVERIFY(QDir(m_dir->path()).mkdir(u"docs"_s));
    const QString path = makeFile(u"docs/f.txt"_s, "text");
    makeFile(u"Report.dat"_s, "report\r\n");
    if (listed)
        listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    if (report)
        v.showLastReport();
    QString folder;
    QTimer::singleShot(0, &v, [&folder] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        folder = dialog->directory().absolutePath();
        dialog->reject();
    });
    v.tool(u"fileMenu"_s, command)->trigger();
    QCOMPARE(folder, listed ? QFileInfo(path).absolutePath() : QDir::homePath());
}

// A menu command leaves the word wrap button where it was, at the bar's right end.
void tst_ViewerWindow::wordWrapButtonStaysAfterMenuCommands()
{
    ViewerWindow &v = *m_h->viewer;
    listFiles({makeFile(u"a.txt"_s, "text")}, 0);
    const auto *wrap = v.findChild<QToolButton *>(u"wordwrapButton"_s);
    const QPoint where = wrap->mapTo(&v, QPoint());
    for (const auto &[band, key] : {std::pair{"formatMenu", "bigger"},
                                    {"formatMenu", "resize"},
                                    {"viewerMenus", "wordwrap"},
                                    {"searchMenu", "find"}}) {
        v.tool(QString::fromLatin1(band), QString::fromLatin1(key))->trigger();
        QCOMPARE(wrap->mapTo(&v, QPoint()), where);
    }
}

void tst_ViewerWindow::findNextWithEmptyListSaysNoFiles()
{
    m_h->viewer->viewerFindBox->setEditText(u"cat"_s);
    m_h->viewer->findNext();
    QCOMPARE(m_h->dialogs.titles(), QStringList{u" No files selected"_s});
}

QTEST_MAIN(tst_ViewerWindow)
#include "tst_viewerwindow.moc"
