#include "support/StandInMain.h"

#include "platform/LoadLimit.h"
#include "platform/Paths.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// One LF for each line end of any kind, as the viewer shows the text.
QString shownAs(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

QByteArray fileBytes(const QString &path, const QByteArray &write = {})
{
    QFile file(path);
    if (!write.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write(write);
    file.close();
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class tst_ViewerDocument : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        SettingsStore::setStoreFileForTesting(m_dir.filePath(u"settings.ini"_s));
        Paths::setApplicationFolderForTesting(m_dir.path());
        m_h = std::make_unique<ViewerHarness>();
        m_h->viewer->show();
    }
    void cleanup() { LoadLimit::setMaxFileSizeForTesting(0); }
    void replacementsKeepTheViewEqualToTheBuffer_data();
    void replacementsKeepTheViewEqualToTheBuffer();
    void binaryOrLargeFileShowsItsFactsOnly_data();
    void binaryOrLargeFileShowsItsFactsOnly();
    void fitsTheScreen_data();
    void fitsTheScreen();
    void setFontsUntouchedKeepsTheFont_data();
    void setFontsUntouchedKeepsTheFont();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ViewerHarness> m_h;
};

void tst_ViewerDocument::replacementsKeepTheViewEqualToTheBuffer_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QByteArray>("after");
    const QByteArray crlf("alpha beta needle\r\ngamma delta\r\nneedle two\r\nlast line\r\n");
    auto crlfWith = [&](const char *text) { return QByteArray(crlf).replace("needle", text); };
    QTest::addRow("CR LF, shorter at a line end")
        << crlf << u"needle"_s << u"pin"_s << crlfWith("pin");
    QTest::addRow("CR LF, longer")
        << crlf << u"needle"_s << u"a longer pin"_s << crlfWith("a longer pin");
    QTest::addRow("CR LF, empty") << crlf << u"needle"_s << QString() << crlfWith("");
    QTest::addRow("CR LF, line break") << crlf << u"needle"_s << u"x\ny"_s << crlfWith("x\r\ny");
    QTest::addRow("CR LF, across the line end")
        << crlf << u"two\n"_s << u"X"_s
        << QByteArray("alpha beta needle\r\ngamma delta\r\nneedle Xlast line\r\n");
    QTest::addRow("LF, shorter") << QByteArray("a needle\nneedle\nend needle\n") << u"needle"_s
                                 << u"p"_s << QByteArray("a p\np\nend p\n");
    QTest::addRow("LF, longer") << QByteArray("a needle\nb needle\n") << u"needle"_s
                                << u"one\ntwo"_s << QByteArray("a one\ntwo\nb one\ntwo\n");
    QTest::addRow("CR, empty") << QByteArray("a needle\rneedle b\rc needle") << u"needle"_s
                               << QString() << QByteArray("a \r b\rc ");
    QTest::addRow("CR, longer") << QByteArray("needle\rx needle\r") << u"needle"_s << u"p\nq"_s
                                << QByteArray("p\rq\rx p\rq\r");
    QTest::addRow("mixed") << QByteArray("1 needle\r\n2 needle\n3 needle\r4\r\n") << u"needle"_s
                           << u"p"_s << QByteArray("1 p\r\n2 p\n3 p\r4\r\n");
    QTest::addRow("mixed, lone CR and LF become a pair")
        << QByteArray("a\rX\nb\r\nX\r\n") << u"X"_s << QString() << QByteArray("a\r\nb\r\n\r\n");
}

void tst_ViewerDocument::replacementsKeepTheViewEqualToTheBuffer()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    const QString path = m_dir.filePath(u"f.txt"_s);
    fileBytes(path, before);
    ViewerWindow &v = *m_h->viewer;
    v.addToList(path);
    v.selectListItem(0);
    v.viewerFindBox->setEditText(find);
    v.viewerReplaceBox->setEditText(replacement);
    // Every match, found and replaced through the window's own commands.
    for (v.findNext(); v.foundPosition() >= 0 && v.buffer().selectionLength() > 0; v.findNext()) {
        QTest::keyRelease(v.documentEdit, Qt::Key_R, Qt::ControlModifier);
        const QString &text = v.buffer().text();
        QCOMPARE(v.documentEdit->toPlainText(), shownAs(text));
        const qsizetype caret = v.buffer().selectionStart();  // a CR LF pair is one place
        QCOMPARE(v.documentEdit->textCursor().position(),
                 shownAs(text.left(caret - (text.mid(caret - 1, 2) == u"\r\n"_s))).size());
        QTest::keyRelease(v.documentEdit, Qt::Key_S, Qt::ControlModifier);
    }
    QTEST(fileBytes(path), "after");
}

void tst_ViewerDocument::binaryOrLargeFileShowsItsFactsOnly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("leftByARun");
    QTest::addColumn<QString>("why");
    const QByteArray image(
        "\x7F"
        "ELF\0\0 needle \0\0",
        16);
    QTest::addRow("binary") << image << qint64(0) << false << u"Binary file"_s;
    QTest::addRow("binary left by a run") << image << qint64(0) << true << u"Binary file"_s;
    QTest::addRow("too large") << QByteArray("large needle") << qint64(10) << false
                               << u"Too large to show"_s;
}

void tst_ViewerDocument::binaryOrLargeFileShowsItsFactsOnly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, leftByARun);
    QFETCH(QString, why);
    const QString path = m_dir.filePath(u"disk.img"_s);
    const QString text = m_dir.filePath(u"t.txt"_s);
    fileBytes(path, bytes);
    fileBytes(text, "a needle");
    QFETCH(qint64, limit);
    LoadLimit::setMaxFileSizeForTesting(limit);
    ViewerWindow &v = *m_h->viewer;
    v.addToList(path);
    v.addToList(text);
    v.setSkipNextReaction(leftByARun);
    leftByARun ? v.buffer().load(path) : v.selectListItem(0);
    QCOMPARE(v.buffer().text().isEmpty(), !leftByARun);  // not read whole
    const QString facts = v.documentEdit->placeholderText();
    QVERIFY2(facts.contains(u"disk.img"_s) && facts.contains(why), qPrintable(facts));
    QCOMPARE(facts.section(u'\n', 1, 1), u"%1 bytes"_s.arg(bytes.size()));  // said once
    QVERIFY(v.documentEdit->toPlainText().isEmpty() && v.documentEdit->isReadOnly());
    // Find, replace and save leave the file alone; find next passes over it.
    v.viewerFindBox->setEditText(u"needle"_s);
    v.viewerReplaceBox->setEditText(u"pin"_s);
    v.findFirst();
    QCOMPARE(v.foundPosition(), -1);
    QTest::keyRelease(v.documentEdit, Qt::Key_R, Qt::ControlModifier);
    QTest::keyRelease(v.documentEdit, Qt::Key_S, Qt::ControlModifier);
    v.saveAsPath(m_dir.filePath(u"copy"_s));
    QVERIFY(!QFile::exists(m_dir.filePath(u"copy"_s)));
    QCOMPARE(fileBytes(path), bytes);
    v.selectListItem(0);
    v.findNext();
    QCOMPARE(v.buffer().fileName(), text);
    QVERIFY(v.foundPosition() == 2 && !v.documentEdit->isReadOnly());
}

// Each screen in a child process: the scale factor is read when the program starts.
void tst_ViewerDocument::fitsTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("scale");
    QTest::addRow("1366x768, scale 1") << QSize(1366, 768) << 1.0;
    QTest::addRow("1920x1080, scale 2") << QSize(1920, 1080) << 2.0;
    QTest::addRow("1920x1080 less a panel, scale 2") << QSize(1920, 1020) << 2.0;
}

void tst_ViewerDocument::fitsTheScreen()
{
    QFETCH(QSize, screen);
    QFETCH(double, scale);
    ViewerWindow &v = *m_h->viewer;
    if (!qEnvironmentVariableIsSet("SCRIVLANE_FIT_CHILD")) {
        const QString config = m_dir.filePath(u"screen.json"_s);
        fileBytes(
            config,
            u"{\"screens\": [{\"name\": \"s\", \"x\": 0, \"y\": 0, \"width\": %1, "
            u"\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96}]}"_s.arg(screen.width())
                .arg(screen.height())
                .toUtf8());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"SCRIVLANE_FIT_CHILD"_s, u"1"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + config);
        env.insert(u"QT_SCALE_FACTOR"_s, QString::number(scale));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {u"fitsTheScreen:"_s + QString::fromUtf8(QTest::currentDataTag())});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAll().constData());
        return;
    }
    QCOMPARE(v.screen()->availableGeometry().size(), screen / scale);
    QVERIFY(v.screen()->availableGeometry().contains(v.frameGeometry()));
    // At its first size and at its smallest every control is whole and in view.
    for (const QSize size : {v.size(), v.minimumSize()}) {
        v.resize(size);
        for (const QWidget *control : std::initializer_list<const QWidget *>{
                 v.menuHolder, v.moveBarHolder, v.viewerReplaceBox, v.largeReplaceButton,
                 v.fileInfoFrame, v.documentEdit})
            QVERIFY(v.centralArea->rect().contains(control->geometry()));
        QVERIFY(v.documentList->geometry().right() < v.fileInfoFrame->x() &&
                v.fileInfoFrame->geometry().bottom() < v.documentEdit->y());
        QVERIFY(v.documentEdit->height() > 5 * v.documentEdit->fontMetrics().lineSpacing());
        QVERIFY(!v.viewerMenus->findChild<QWidget *>(u"qt_menubar_ext_button"_s)->isVisible());
        if (qEnvironmentVariableIsSet("SCRIVLANE_FIT_SHOTS"))
            v.grab().save(u"%1/viewer-%2-%3.png"_s.arg(qEnvironmentVariable("SCRIVLANE_FIT_SHOTS"))
                              .arg(scale)
                              .arg(size.height()));
    }
}

// The font dialog opens on the font the document shows, whatever was asked for,
// so OK on the untouched dialog changes nothing.
void tst_ViewerDocument::setFontsUntouchedKeepsTheFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("points");
    QTest::addColumn<bool>("italic");
    QTest::addRow("family not installed") << u"Courier New"_s << u"8"_s << false;
    QTest::addRow("serif") << u"DejaVu Serif"_s << u"14"_s << false;
    QTest::addRow("italic") << u"DejaVu Serif"_s << u"12"_s << true;
    QTest::addRow("half a point") << u"DejaVu Sans Mono"_s << u"9.5"_s << false;
}

void tst_ViewerDocument::setFontsUntouchedKeepsTheFont()
{
    QFETCH(QString, family);
    QFETCH(QString, points);
    QFETCH(bool, italic);
    const QString key = u"Software\\Scrivlane\\Fonts"_s;
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER, key, u"Fontname"_s, family);
    SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER, key, u"Fontsize"_s, points);
    ViewerWindow &v = *m_h->viewer;
    v.applyStoredSettings();
    QFont font = v.documentEdit->font();
    font.setItalic(italic);
    v.documentEdit->setFont(font);
    const QFontInfo before(v.documentEdit->font());
    QString offered;
    QTimer::singleShot(0, &v, [&offered] {
        auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const QFontInfo shown(dialog->currentFont());
        offered = u"%1 %2 %3"_s.arg(shown.family(), shown.styleName()).arg(shown.pointSize());
        dialog->accept();
    });
    v.tool(u"formatMenu"_s, u"setfont"_s)->trigger();
    QCOMPARE(offered,
             u"%1 %2 %3"_s.arg(before.family(), before.styleName()).arg(before.pointSize()));
    const QFontInfo after(v.documentEdit->font());
    QCOMPARE(after.family(), before.family());
    QCOMPARE(after.styleName(), before.styleName());
    QCOMPARE(after.pointSizeF(), before.pointSizeF());
}

QTEST_MAIN(tst_ViewerDocument)
#include "tst_viewerdocument.moc"
