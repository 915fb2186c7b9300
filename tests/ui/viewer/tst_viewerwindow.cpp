#include "support/StandInMain.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <zlib.h>

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
    void wordWrapTwiceKeepsUnsavedTyping();
    void renameKeepsOldEntryOnFailure_data();
    void renameKeepsOldEntryOnFailure();
    void deleteOnlyEntryEmptiesList();
    void closeEmptiesListHideKeepsIt();
    void missingReportChangesNothing();
    void printsDocumentTextToPdf();

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
    for (const QString &path : paths)
        m_h->viewer->addToList(path);
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
    QCOMPARE(v.rtbDefault().Text(), yes ? QStringLiteral("one two three") : QStringLiteral("one two"));
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
    QCOMPARE(m_h->dialogs.titles(), (QStringList{QStringLiteral(" Save"), QStringLiteral("Error")}));
    QVERIFY(v.FileModified);
    QCOMPARE(v.rtbDefault().Text(), QString(QChar(0x3A9)) + QChar(0xE9));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xE9"));
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
    QTest::addRow("existing name") << QStringLiteral("b.txt") << false
                                   << QStringList{QStringLiteral("Error")};
    QTest::addRow("new name") << QStringLiteral("c.txt") << true << QStringList{};
    QTest::addRow("no dot") << QStringLiteral("noext") << false << QStringList{};
    QTest::addRow("folder in name") << QStringLiteral("../d.txt") << false
                                    << QStringList{QStringLiteral("Error")};
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
    QByteArray out(compressed.size() * 20 + 4096, Qt::Uninitialized);
    uLongf length = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &length,
                   reinterpret_cast<const Bytef *>(compressed.constData()),
                   uLong(compressed.size())) != Z_OK)
        return {};
    out.resize(qsizetype(length));
    return out;
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
    for (char c : QByteArray("Pritedwosclna")) {
        if (c == '\0')
            continue;
        const QByteArray code = QByteArray::number(int(c), 16).rightJustified(4, '0').toUpper();
        QVERIFY2(streams.toUpper().contains("<" + code + ">"), code.constData());
    }
}

QTEST_MAIN(tst_ViewerWindow)
#include "tst_viewerwindow.moc"
