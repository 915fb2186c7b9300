#include "support/ComboItems.h"
#include "support/StandInMain.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
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
    void lblPosShowsNotFoundForMinusOne();
    void stopTagSkipsOneReaction();
    void findNextVisitsEveryMatchOfEveryFile();
    void findNextContinuesAfterManualReplacement();
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
    QCOMPARE(v.List1->currentRow(), expected);
    QCOMPARE(v.rtbDefault().FileName(), paths[expected]);
    QCOMPARE(v.rtbDefaultView->toPlainText(), v.rtbDefault().Text());
    QCOMPARE(v.lblIndex->text(), QString::number(expected + 1));
    QCOMPARE(v.windowTitle(), QStringLiteral("Viewing document: ") + paths[expected]);
    QCOMPARE(v.txtnewPos->text(), QStringLiteral("-1"));
    QCOMPARE(v.lblPos->text(), QStringLiteral("Not found"));
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
    QCOMPARE(m_h->viewer->lblFileLen->text(), shown);
    QVERIFY(!m_h->viewer->lblFileDate->text().isEmpty());
}

void tst_ViewerWindow::lblPosShowsNotFoundForMinusOne()
{
    m_h->viewer->setPosLabel(QStringLiteral("-1 of 40"));
    QCOMPARE(m_h->viewer->lblPos->text(), QStringLiteral("Not found"));
    m_h->viewer->setPosLabel(QStringLiteral("12 of 40"));
    QCOMPARE(m_h->viewer->lblPos->text(), QStringLiteral("12 of 40"));
}

void tst_ViewerWindow::stopTagSkipsOneReaction()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    const QString b = makeFile(QStringLiteral("b.txt"), "beta");
    listFiles({a, b}, -1);
    ViewerWindow &v = *m_h->viewer;
    v.setTag(QStringLiteral("Stop"));
    v.selectListItem(1);
    QCOMPARE(v.tag(), QString());
    QVERIFY(v.rtbDefault().FileName().isEmpty());
    v.selectListItem(0);
    QCOMPARE(v.rtbDefault().FileName(), a);
}

void tst_ViewerWindow::findNextVisitsEveryMatchOfEveryFile()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "x foo y foo");
    const QString b = makeFile(QStringLiteral("b.txt"), "nothing here");
    const QString c = makeFile(QStringLiteral("c.txt"), "foo at the start");
    listFiles({a, b, c}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.cboFind->setEditText(QStringLiteral("foo"));

    const QList<QPair<QString, int>> expected{{a, 2}, {a, 8}, {c, 0}};
    for (const auto &[file, position] : expected) {
        v.mnuFindNext_Click();
        QCOMPARE(v.rtbDefault().FileName(), file);
        QCOMPARE(v.FoundPos, position);
        QCOMPARE(v.rtbDefault().SelStart(), position);
        QCOMPARE(v.rtbDefault().SelLength(), 3);
        QCOMPARE(v.rtbDefaultView->textCursor().selectedText(), QStringLiteral("foo"));
        QCOMPARE(v.windowTitle(), QStringLiteral("Viewing document: ") + file);
    }
    QVERIFY(m_h->dialogs.shown.isEmpty());
    QCOMPARE(m_h->main.txtFind->currentText(), QStringLiteral("foo"));

    // The first file changed on disk: the end of the walk loads it afresh.
    makeFile(QStringLiteral("a.txt"), "foo again");
    v.mnuFindNext_Click();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Search complete")});
    QCOMPARE(v.rtbDefault().FileName(), a);
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("foo again"));
    QCOMPARE(v.List1->currentRow(), 0);
    QCOMPARE(v.txtnewPos->text(), QStringLiteral("-1"));

    v.mnuFindNext_Click();
    QCOMPARE(v.rtbDefault().FileName(), a);
    QCOMPARE(v.FoundPos, 0);
}

void tst_ViewerWindow::findNextContinuesAfterManualReplacement()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "foo bar foo");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.cboFind->setEditText(QStringLiteral("foo"));
    v.cboReplace->setEditText(QStringLiteral("foofoo"));
    v.mnuFindNext_Click();
    QCOMPARE(v.FoundPos, 0);
    v.ReplaceCurrent();
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("foofoo bar foo"));
    QCOMPARE(v.rtbDefaultView->toPlainText(), QStringLiteral("foofoo bar foo"));
    QCOMPARE(v.txtnewPos->text(), QStringLiteral("6"));
    QVERIFY(v.FileModified);
    v.mnuFindNext_Click();
    QCOMPARE(v.FoundPos, 11);
}

void tst_ViewerWindow::emptyReplacementWithoutSelectionIsAnError()
{
    listFiles({makeFile(QStringLiteral("a.txt"), "text")}, 0);
    m_h->viewer->ReplaceCurrent();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Replacement error")});
    QCOMPARE(m_h->viewer->rtbDefault().Text(), QStringLiteral("text"));
    QVERIFY(!m_h->viewer->FileModified);
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
        QTextCursor cursor = v.rtbDefaultView->textCursor();
        cursor.movePosition(QTextCursor::End);
        v.rtbDefaultView->setTextCursor(cursor);
        QTest::keyClicks(v.rtbDefaultView, QStringLiteral(" three"));
    } else {
        v.cboFind->setEditText(QStringLiteral("two"));
        v.cboReplace->setEditText(QStringLiteral("two three"));
        v.mnuFindNext_Click();
        v.ReplaceCurrent();
    }
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("one two three"));
    m_h->dialogs.answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
    v.nextFile();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Save")});
    QCOMPARE(m_h->dialogs.shown[0].text,
             QStringLiteral("This file has been modified.\rWould you like to save this as ") + a +
                 QStringLiteral(" ?"));
    QVERIFY(!v.FileModified);
    QCOMPARE(v.rtbDefault().FileName(), b);
    QFile file(a);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), yes ? QByteArray("one two three") : QByteArray("one two"));

    // Coming back shows the file as stored, with no further question.
    v.previousFile();
    QCOMPARE(m_h->dialogs.shown.size(), 1);
    QCOMPARE(v.rtbDefault().Text(),
             yes ? QStringLiteral("one two three") : QStringLiteral("one two"));
}

void tst_ViewerWindow::saveKeepsUtf16CrLfBytesExceptTheEdit()
{
    const QString path = makeFile(QStringLiteral("wide.txt"),
                                  utf16LeBom(QStringLiteral("line one\r\nline two\r\n")));
    ViewerWindow &v = *m_h->viewer;
    v.openPath(path);
    QCOMPARE(v.rtbDefaultView->toPlainText(), QStringLiteral("line one\nline two\n"));
    QTextCursor cursor = v.rtbDefaultView->textCursor();
    cursor.setPosition(14);  // before "two" in the control, which shows LF only
    v.rtbDefaultView->setTextCursor(cursor);
    QTest::keyClicks(v.rtbDefaultView, QStringLiteral("X"));
    QTest::keyClick(v.rtbDefaultView, Qt::Key_Return);
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("line one\r\nline X\r\ntwo\r\n"));
    v.SaveCurrent();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral(" Save")});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), utf16LeBom(QStringLiteral("line one\r\nline X\r\ntwo\r\n")));
    QVERIFY(!v.FileModified);
}

void tst_ViewerWindow::failedSaveKeepsDocumentModified()
{
    // windows-1252 cannot hold a Greek letter: the save must refuse, not mangle.
    const QString path = makeFile(QStringLiteral("latin.txt"), "caf\xE9");
    ViewerWindow &v = *m_h->viewer;
    v.openPath(path);
    v.cboFind->setEditText(QStringLiteral("caf"));
    v.cboReplace->setEditText(QString(QChar(0x3A9)));
    v.mnuFindNext_Click();
    v.ReplaceCurrent();
    QVERIFY(v.FileModified);
    m_h->dialogs.answers = {MessageAnswer::Yes};
    v.SaveCurrent();
    QCOMPARE(m_h->dialogs.titles(),
             (QStringList{QStringLiteral(" Save"), QStringLiteral("Error")}));
    QVERIFY(v.FileModified);
    QCOMPARE(v.rtbDefault().Text(), QString(QChar(0x3A9)) + QChar(0xE9));
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
    v.cboFind->setEditText(QStringLiteral("caf"));
    v.cboReplace->setEditText(QString(QChar(0x3A9)));
    v.mnuFindNext_Click();
    v.ReplaceCurrent();
    const QString changed = QString(QChar(0x3A9)) + QChar(0xE9);
    QCOMPARE(v.rtbDefault().Text(), changed);
    m_h->dialogs.answers = {MessageAnswer::Yes};
    if (leaveBy == QLatin1String("next"))
        v.nextFile();
    else if (leaveBy == QLatin1String("click"))
        v.List1->setCurrentRow(1);
    else if (leaveBy == QLatin1String("findNext"))
        v.mnuFindNext_Click();
    else if (leaveBy == QLatin1String("open"))
        v.openPath(other);
    else
        v.closeViewer();
    QCOMPARE(m_h->dialogs.titles(),
             (QStringList{QStringLiteral(" Save"), QStringLiteral("Error")}));
    QCOMPARE(v.rtbDefault().FileName(), latin);
    QCOMPARE(v.rtbDefault().Text(), changed);
    QVERIFY(v.FileModified);
    QCOMPARE(v.List1->currentRow(), row);
    QFile file(latin);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xE9"));
}

void tst_ViewerWindow::largeSearchButtonHintGoesWhenPointerLeaves()
{
    ViewerWindow &v = *m_h->viewer;
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(v.cmdViewFind, &enter);
    QCOMPARE(
        m_h->status.panel2,
        QStringLiteral(" Click here to enter a large search character, like a whole paragraph."));
    QCoreApplication::sendEvent(v.cmdViewFind, &leave);
    QCOMPARE(m_h->status.panel2, QString());
    QCoreApplication::sendEvent(v.LargeReplaceButton, &enter);
    QCOMPARE(m_h->status.panel2, QStringLiteral(" Click here to enter a large replacement "
                                                "character, like a whole paragraph."));
    QCoreApplication::sendEvent(v.LargeReplaceButton, &leave);
    QCOMPARE(m_h->status.panel2, QString());
}

void tst_ViewerWindow::wordWrapTwiceKeepsUnsavedTyping()
{
    const QString path = makeFile(QStringLiteral("a.txt"), "stored text");
    listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    QCOMPARE(v.rightMargin(), ViewerWindow::NoWrapMargin);
    QTextCursor cursor = v.rtbDefaultView->textCursor();
    cursor.movePosition(QTextCursor::End);
    v.rtbDefaultView->setTextCursor(cursor);
    QTest::keyClicks(v.rtbDefaultView, QStringLiteral(" typed"));

    QAction *wrap = v.tool(QStringLiteral("Main"), QStringLiteral("wordwrap"));
    QVERIFY(wrap);
    wrap->trigger();
    QCOMPARE(v.rightMargin(), 0);
    QCOMPARE(v.wordWrapPicture(), QStringLiteral("on"));
    QCOMPARE(v.rtbDefaultView->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(SettingsStore::ReadRegString(SettingsStore::HKEY_CURRENT_USER,
                                          QStringLiteral("Software\\Scrivlane\\Word Wrap"),
                                          QStringLiteral("Word Wrap"), QString()),
             QStringLiteral("True"));
    wrap->trigger();
    QCOMPARE(v.rightMargin(), ViewerWindow::NoWrapMargin);
    QCOMPARE(v.wordWrapPicture(), QStringLiteral("off"));
    QCOMPARE(SettingsStore::ReadRegString(SettingsStore::HKEY_CURRENT_USER,
                                          QStringLiteral("Software\\Scrivlane\\Word Wrap"),
                                          QStringLiteral("Word Wrap"), QString()),
             QStringLiteral("False"));
    QCOMPARE(v.rtbDefaultView->toPlainText(), QStringLiteral("stored text typed"));
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("stored text typed"));

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
        QCOMPARE(m_h->viewer->rtbDefault().FileName(), newPath);
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
    QCOMPARE(m_h->viewer->Label1->text(), QStringLiteral("0"));
    QCOMPARE(m_h->viewer->rtbDefault().Text(), QStringLiteral("alpha"));
}

void tst_ViewerWindow::closeEmptiesListHideKeepsIt()
{
    listFiles({makeFile(QStringLiteral("a.txt"), "alpha")}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.tool(QStringLiteral("subFile"), QStringLiteral("exit"))->trigger();
    QVERIFY(!v.isVisible());
    QCOMPARE(v.listCount(), 1);
    v.show();
    v.tool(QStringLiteral("Movebar"), QStringLiteral("exit"))->trigger();
    QVERIFY(!v.isVisible());
    QCOMPARE(v.listCount(), 0);
    QCOMPARE(v.Label1->text(), QStringLiteral("0"));
    QCOMPARE(v.txtnewPos->text(), QStringLiteral("0"));
    QVERIFY(m_h->ctx.state.StopRequested);
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("alpha"));
}

void tst_ViewerWindow::missingReportChangesNothing()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "alpha");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.showLastReport();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(v.rtbDefault().FileName(), a);
    QCOMPARE(v.tag(), QString());

    makeFile(QStringLiteral("Report.dat"), "report body\r\n");
    v.showLastReport();
    QCOMPARE(v.rtbDefault().Text(), QStringLiteral("report body\r\n"));
    QCOMPARE(v.tag(), QString());
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
    return SettingsStore::ReadRegString(SettingsStore::HKEY_CURRENT_USER,
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
    v.cboFind->addItems(abcd);
    v.cboReplace->addItems(abcd);
    v.cboFind->setEditText(find);
    v.cboReplace->setEditText(replace);
    v.Save_SearchCharHere();
    v.Save_ReplaceCharHere();
    QCOMPARE(comboItems(v.cboFind), findList);
    QCOMPARE(comboItems(v.cboReplace), replaceList);
    QCOMPARE(comboItems(m_h->main.txtFind), findList);
    QCOMPARE(m_h->main.txtFind->currentText(), find);
    QCOMPARE(m_h->main.txtReplace->currentText(), replace);
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char0")), find);
    QCOMPARE(stored(QStringLiteral("Replace\\Normal"), QStringLiteral("ReplaceChar0")),
             storedReplace0);

    // An eleventh distinct text drops the oldest.
    for (int i = 0; i < 12; ++i) {
        v.cboFind->setEditText(QStringLiteral("n") + QString::number(i));
        v.Save_SearchCharHere();
    }
    QCOMPARE(v.cboFind->count(), 10);
    QCOMPARE(v.cboFind->itemText(0), QStringLiteral("n11"));
}

void tst_ViewerWindow::pickMovesEntryToTopInBothWindows()
{
    ViewerWindow &v = *m_h->viewer;
    const QStringList abcd{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                           QStringLiteral("D")};
    v.cboFind->addItems(abcd);
    m_h->main.txtFind->addItems(abcd);
    v.cboFind_Click(2);
    const QStringList rotated{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral("D")};
    QCOMPARE(comboItems(v.cboFind), rotated);
    QCOMPARE(comboItems(m_h->main.txtFind), rotated);
    QCOMPARE(v.cboFind->currentText(), QStringLiteral("C"));
    QCOMPARE(m_h->main.txtFind->currentText(), QStringLiteral("C"));
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char2")), QStringLiteral("B"));
    QCOMPARE(stored(QStringLiteral("Find\\Normal"), QStringLiteral("Char3")),
             QStringLiteral("<none>"));

    // The second part's list belongs to fuzzy searches only.
    v.cboFind2->addItems(abcd);
    v.cboFind2_Click(3);
    QCOMPARE(comboItems(v.cboFind2), abcd);
}

void tst_ViewerWindow::activationCopiesMainWindowTexts()
{
    ViewerWindow &v = *m_h->viewer;
    StandInMain &main = m_h->main;
    main.txtFind->setEditText(QStringLiteral("find"));
    main.txtReplace->setEditText(QStringLiteral("replace"));
    main.cboFirst->setEditText(QStringLiteral("first"));
    main.cboSecond->setEditText(QStringLiteral("second"));
    main.cboFuzzyReplace->setEditText(QStringLiteral("fuzzy"));
    v.cboFind2->setEditText(QStringLiteral("kept"));
    m_h->ctx.state.RunInProgress = true;
    v.Form_Activate();
    QCOMPARE(v.cboFind->currentText(), QStringLiteral("find"));
    QCOMPARE(v.cboReplace->currentText(), QStringLiteral("replace"));
    QCOMPARE(v.cboFind2->currentText(), QStringLiteral("kept"));
    QCOMPARE(v.cboFind->width(), 2370 / 15);
    QVERIFY(!m_h->ctx.state.RunInProgress);
    main.chkFuzzy->setChecked(true);
    v.Form_Activate();
    QCOMPARE(v.cboFind->currentText(), QStringLiteral("first"));
    QCOMPARE(v.cboFind2->currentText(), QStringLiteral("second"));
    QCOMPARE(v.cboReplace->currentText(), QStringLiteral("fuzzy"));
    QCOMPARE(v.cboFind->width(), 1410 / 15);
}

void tst_ViewerWindow::keysWorkAnywhereInTheViewer_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("key");       // with its modifiers
    QTest::addColumn<QString>("tool");  // the menu command that shows the key
    QTest::addColumn<QList<bool>>("infoHiddenViewerMainShown");
    const int ctrl = Qt::CTRL;
    QTest::addRow("Ctrl+D") << u"List1"_s << (ctrl | Qt::Key_D) << u"subFont/resize"_s
                            << QList<bool>{true, true, true};
    QTest::addRow("Ctrl+Shift+D") << u"rtbDefault"_s << int(ctrl | Qt::SHIFT | Qt::Key_D)
                                  << QString() << QList<bool>{false, true, true};
    QTest::addRow("Ctrl+W hides") << u"cboFind"_s << (ctrl | Qt::Key_W) << u"subFile/exit"_s
                                  << QList<bool>{false, false, true};
    QTest::addRow("Esc hides") << u"rtbDefault"_s << int(Qt::Key_Escape) << QString()
                               << QList<bool>{false, false, true};
    QTest::addRow("Ctrl+Q quits") << u"List1"_s << (ctrl | Qt::Key_Q) << u"subFile/quit"_s
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
    QTEST((QList<bool>{v.chkMax->isChecked(), v.isVisible(), m_h->main.isVisible()}),
          "infoHiddenViewerMainShown");
    if (!tool.isEmpty())
        QCOMPARE(v.tool(tool.section(u'/', 0, 0), tool.section(u'/', 1))->shortcut(),
                 QKeySequence(combination));
}

void tst_ViewerWindow::escapeStopsAFindNextWalk()
{
    listFiles({makeFile(u"a.txt"_s, "a"), makeFile(u"b.txt"_s, "b")}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.cboFind->setEditText(u"absent"_s);
    m_h->status.onYield = [&v] { QTest::keyClick(v.List1, Qt::Key_Escape); };
    v.mnuFindNext_Click();
    QVERIFY(!v.isVisible() && v.List1->currentRow() == 0 && m_h->dialogs.shown.isEmpty());
}

void tst_ViewerWindow::typingAKnownEntryDoesNotReorderTheHistory()
{
    ViewerWindow &v = *m_h->viewer;
    v.cboFind->clear();
    v.cboFind->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("cat")});
    v.cboFind->setFocus();
    v.cboFind->lineEdit()->selectAll();
    QTest::keyClick(v.cboFind->lineEdit(), Qt::Key_1);
    QTest::keyClick(v.cboFind->lineEdit(), Qt::Key_Return);
    v.cboReplace->setFocus();
    QCOMPARE(v.cboFind->currentText(), QStringLiteral("1"));
    QCOMPARE(v.cboFind->itemText(0), QStringLiteral("0"));
    // Typing the start of an entry gives exactly what was typed.
    v.cboFind->setFocus();
    v.cboFind->lineEdit()->clear();
    QTest::keyClick(v.cboFind->lineEdit(), Qt::Key_C);
    QCOMPARE(v.cboFind->currentText(), QStringLiteral("c"));
}

void tst_ViewerWindow::ctrlLetGoBeforeTheLetterStillCounts()
{
    ViewerWindow &v = *m_h->viewer;
    QVERIFY(!v.chkMax->isChecked());
    QTest::keyPress(v.List1, Qt::Key_Control);
    QTest::keyPress(v.List1, Qt::Key_D, Qt::ControlModifier);
    QTest::keyRelease(v.List1, Qt::Key_Control);
    QTest::keyRelease(v.List1, Qt::Key_D);
    QVERIFY(v.chkMax->isChecked());
}

void tst_ViewerWindow::hiddenFileInfoLetsDocumentCoverTheList()
{
    ViewerWindow &v = *m_h->viewer;
    v.resize(800, 600);
    v.layoutControls();
    const int height = v.Command1->height() * 15;
    QCOMPARE(v.rtbDefaultView->y(), (v.List1->y() * 15 + v.List1->height() * 15 + 75) / 15);
    QCOMPARE(v.rtbDefaultView->height(), (height - 3600) / 15);
    v.toggleFileInfo();
    // The document covers the list and the file information, not the boxes.
    QCOMPARE(v.rtbDefaultView->y(), 945 / 15);
    QCOMPARE(v.rtbDefaultView->height(), (height - 945 - 425) / 15);
    const QWidget *boxes[] = {v.cboFind, v.cboReplace, v.cmdViewFind, v.LargeReplaceButton};
    for (const QWidget *box : boxes)
        QVERIFY2(box->geometry().bottom() < v.rtbDefaultView->y(), qPrintable(box->objectName()));
}

void tst_ViewerWindow::hiddenViewerCatchesUpWhenShown()
{
    ViewerWindow &v = *m_h->viewer;
    v.hide();
    const QString a = makeFile(QStringLiteral("a.txt"), "loaded while hidden\r\nline");
    v.setTag(QStringLiteral("Stop"));
    v.rtbDefault().LoadFile(a);
    QCOMPARE(v.tag(), QString());
    QVERIFY(v.rtbDefault().Find(QStringLiteral("line"), 10) >= 0);
    v.show();
    QCOMPARE(v.rtbDefaultView->toPlainText(), QStringLiteral("loaded while hidden\nline"));
    QCOMPARE(v.rtbDefaultView->textCursor().selectedText(), QStringLiteral("line"));
}

void tst_ViewerWindow::fuzzyFindNextUsesTheViewerParts()
{
    const QString a = makeFile(QStringLiteral("a.txt"), "a <b> c <d\ne>");
    listFiles({a}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.chkFuzzy->setChecked(true);
    m_h->main.cboFirst->setEditText(QStringLiteral("zzz"));
    v.cboFind->setEditText(QStringLiteral("<"));
    v.cboFind2->setEditText(QStringLiteral(">"));
    v.mnuFindNext_Click();
    QCOMPARE(v.FoundPos, 2);
    QCOMPARE(v.rtbDefault().SelText(), QStringLiteral("<b>"));
    QCOMPARE(m_h->ctx.state.PartsSource, QString());
    QCOMPARE(m_h->main.cboFirst->currentText(), QStringLiteral("<"));
    v.mnuFindNext_Click();
    QCOMPARE(v.rtbDefault().SelText(), QStringLiteral("<d\ne>"));
    QCOMPARE(v.rtbDefaultView->textCursor().selectedText(),
             QStringLiteral("<d") + QChar::ParagraphSeparator + QStringLiteral("e>"));
}

void tst_ViewerWindow::findNextRefusesEmptyInput_data()
{
    QTest::addColumn<bool>("fuzzy");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("panel1");
    QTest::addRow("normal") << false << QString() << QStringLiteral("cboFind")
                            << QStringLiteral(" Scrivlane");
    QTest::addRow("fuzzy without second part")
        << true << QStringLiteral("<") << QStringLiteral("cboFind2") << QStringLiteral("Scrivlane");
}

void tst_ViewerWindow::findNextRefusesEmptyInput()
{
    QFETCH(bool, fuzzy);
    QFETCH(QString, first);
    QFETCH(QString, focused);
    QFETCH(QString, panel1);
    listFiles({makeFile(QStringLiteral("a.txt"), "text")}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.chkFuzzy->setChecked(fuzzy);
    // Activation copies the main window's texts into the viewer's boxes.
    (fuzzy ? m_h->main.cboFirst : m_h->main.txtFind)->setEditText(first);
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    QCOMPARE(v.cboFind->currentText(), first);
    v.mnuFindNext_Click();
    QCOMPARE(m_h->dialogs.titles(), QStringList{QStringLiteral("Error")});
    QCOMPARE(m_h->dialogs.shown[0].text, QStringLiteral("You must enter something to search for."));
    QCOMPARE(m_h->status.panel1, panel1);
    QCOMPARE(m_h->status.panel2, QStringLiteral(" "));
    QTRY_VERIFY(QApplication::focusWidget());
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus->objectName() == focused || focus->parent()->objectName() == focused);
    QCOMPARE(m_h->ctx.state.PartsSource, QString());
    QCOMPARE(m_h->main.txtFind->count(), 0);
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
    QVERIFY(v.lblFileDate->width() >= v.lblFileDate->fontMetrics().horizontalAdvance(date));
    QVERIFY(v.lblFileDate->geometry().right() < v.Frame1->width());
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
    QVERIFY(v.rtbDefault().Find(u"foo"_s, 0) >= 0);
    v.cboReplace->setEditText(u"one\ntwo"_s);
    QSignalSpy changes(v.rtbDefaultView->document(), &QTextDocument::contentsChange);
    v.ReplaceCurrent();
    QCOMPARE(v.rtbDefaultView->toPlainText(), u"a\none\ntwo\nb"_s);
    // One local edit (position 2, 3 characters removed), not the whole document again.
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).mid(0, 2), (QVariantList{2, 3}));
    QVERIFY(v.FileModified);
    v.rtbDefault().SaveFile(path);
    QTEST(readFile(path), "after");
}

void tst_ViewerWindow::findFirstFromBothMenus_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<bool>("match");
    for (const QString &band : {u"subSearch"_s, u"FileOptions"_s})
        for (bool match : {true, false})
            QTest::addRow("%s%s", qPrintable(band), match ? "" : ", no match") << band << match;
}

void tst_ViewerWindow::findFirstFromBothMenus()
{
    QFETCH(QString, band);
    QFETCH(bool, match);
    listFiles({makeFile(u"f.txt"_s, match ? "x cat" : "x dog")}, 0);
    ViewerWindow &v = *m_h->viewer;
    m_h->main.txtFind->setEditText(u"cat"_s);  // as activation leaves them
    v.cboFind->setEditText(u"cat"_s);
    // The list's menu clears a stop left by closing the viewer; the search menu does not need to.
    m_h->ctx.state.StopRequested = band == u"FileOptions";
    v.tool(band, u"find"_s)->trigger();
    QCOMPARE(v.FoundPos, match ? 2 : -1);
    QCOMPARE(v.rtbDefaultView->textCursor().selectedText(), match ? u"cat"_s : QString());
    QCOMPARE(m_h->dialogs.titles(), match ? QStringList() : QStringList{u" Search complete"_s});
}

void tst_ViewerWindow::saveAsWritesACopyOnly()
{
    const QString path = makeFile(u"f.txt"_s, "stored\r\n");
    listFiles({path}, 0);
    ViewerWindow &v = *m_h->viewer;
    v.rtbDefaultView->moveCursor(QTextCursor::Start);
    QTest::keyClicks(v.rtbDefaultView, u"new "_s);
    const QString copy = m_dir->filePath(u"copy.txt"_s);
    m_h->dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
    v.saveAsPath(copy);
    QVERIFY(m_h->dialogs.shown.value(0).text.contains(copy));
    QVERIFY(!QFileInfo::exists(copy));
    v.saveAsPath(copy);
    QCOMPARE(readFile(copy), QByteArray("new stored\r\n"));
    // The viewer stays on the original file.
    QCOMPARE(v.rtbDefault().FileName(), path);
    QCOMPARE(v.windowTitle(), u"Viewing document: "_s + path);
    QCOMPARE(v.listItem(0), path);
}

void tst_ViewerWindow::findNextWithEmptyListSaysNoFiles()
{
    m_h->viewer->cboFind->setEditText(u"cat"_s);
    m_h->viewer->mnuFindNext_Click();
    QCOMPARE(m_h->dialogs.titles(), QStringList{u" No files selected"_s});
}

QTEST_MAIN(tst_ViewerWindow)
#include "tst_viewerwindow.moc"
