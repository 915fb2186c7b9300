#include "engine/DocumentBuffer.h"
#include "engine/TextSearch.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(TextEncoding)

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.path() + QLatin1Char('/') + name;
    FileSystem::writeFileAtomic(path, bytes);
    return path;
}

}  // namespace

class TstDocumentBuffer : public QObject {
    Q_OBJECT

private slots:
    void loadThenSaveIsByteIdentical_data();
    void loadThenSaveIsByteIdentical();
    void loadSetsNameSelectionAndSignals();
    void failedLoadKeepsBuffer();
    void replacementChangesOnlyReplacedBytes();
    void unencodableTextLeavesFileUntouched();
    void largeTextIsSavedPieceByPiece_data();
    void largeTextIsSavedPieceByPiece();
    void saveKeepsModeAndLink();
    void find_data();
    void find();
    void findSelectsMatchOrLeavesSelection();
    void indexOfUsesPrevChar_data();
    void indexOfUsesPrevChar();
    void selectionEditing();
};

void TstDocumentBuffer::loadThenSaveIsByteIdentical_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");

    QTest::addRow("empty") << QByteArray() << TextEncoding::Utf8;
    QTest::addRow("utf-8") << QByteArray("caf\xC3\xA9\n\xE4\xB8\xAD\n") << TextEncoding::Utf8;
    QTest::addRow("utf-8 bom") << QByteArray(
                                      "\xEF\xBB\xBF"
                                      "caf\xC3\xA9\r\n")
                               << TextEncoding::Utf8Bom;
    QTest::addRow("utf-16 le") << QByteArray(
                                      "\xFF\xFE"
                                      "a\0\r\0\n\0",
                                      8)
                               << TextEncoding::Utf16LeBom;
    QTest::addRow("utf-16 be") << QByteArray("\xFE\xFF\0a\0\n", 6) << TextEncoding::Utf16BeBom;
    QTest::addRow("odd length ff fe") << QByteArray(
                                             "\xFF\xFE"
                                             "abc")
                                      << TextEncoding::SingleByte;
    QTest::addRow("windows-1252") << QByteArray("\x93Na\xEFve\x94 \x80\r\n")
                                  << TextEncoding::SingleByte;
    QTest::addRow("nul and invalid")
        << QByteArray("a\0b\xFF\xFE\x81z", 7) << TextEncoding::SingleByte;
    QTest::addRow("overlong") << QByteArray("x\xC0\xAFy") << TextEncoding::SingleByte;
    QTest::addRow("truncated final") << QByteArray("text \xE2\x82") << TextEncoding::SingleByte;
    QTest::addRow("cr only") << QByteArray("one\rtwo\rthree\r") << TextEncoding::Utf8;
    QTest::addRow("mixed line ends") << QByteArray("a\r\nb\nc\rd\n\re") << TextEncoding::Utf8;
    QTest::addRow("no final newline") << QByteArray("last line") << TextEncoding::Utf8;
}

void TstDocumentBuffer::loadThenSaveIsByteIdentical()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("file.txt"), bytes);
    DocumentBuffer buffer;
    buffer.load(path);
    QCOMPARE(buffer.encoding(), encoding);
    const QString copy = dir.path() + QStringLiteral("/copy.txt");
    buffer.save(copy);
    QCOMPARE(FileSystem::readFile(copy), bytes);
    buffer.save(path);
    QCOMPARE(FileSystem::readFile(path), bytes);
}

void TstDocumentBuffer::loadSetsNameSelectionAndSignals()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("a.txt"), "a\r\nb");
    DocumentBuffer buffer;
    buffer.setText(QStringLiteral("previous text"));
    buffer.setSelectionStart(3);
    buffer.setSelectionLength(4);
    QSignalSpy replaced(&buffer, &DocumentBuffer::textReplaced);
    buffer.load(path);
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(buffer.fileName(), path);
    QCOMPARE(buffer.text(), QStringLiteral("a\r\nb"));
    QCOMPARE(buffer.selectionStart(), 0);
    QCOMPARE(buffer.selectionLength(), 0);
}

void TstDocumentBuffer::failedLoadKeepsBuffer()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("a.txt"), "kept");
    DocumentBuffer buffer;
    buffer.load(path);
    QVERIFY_THROWS_EXCEPTION(Failure, buffer.load(dir.path() + QStringLiteral("/gone.txt")));
    QVERIFY_THROWS_EXCEPTION(Failure, buffer.load(dir.path()));
    QCOMPARE(buffer.text(), QStringLiteral("kept"));
    QCOMPARE(buffer.fileName(), path);
}

void TstDocumentBuffer::replacementChangesOnlyReplacedBytes()
{
    QTemporaryDir dir;
    const QByteArray before("\xFF\x00 old \x81\r\nold\r", 13);
    const QString path = writeFile(dir, QStringLiteral("mixed.bin"), before);
    DocumentBuffer buffer;
    buffer.load(path);
    qint32 pos = buffer.find(QStringLiteral("old"), 0);
    while (pos >= 0) {
        buffer.setSelectedText(QStringLiteral("new!"));
        pos = buffer.find(QStringLiteral("old"), pos + 4);
    }
    buffer.save(path);
    QCOMPARE(FileSystem::readFile(path), QByteArray("\xFF\x00 new! \x81\r\nnew!\r", 15));
}

void TstDocumentBuffer::unencodableTextLeavesFileUntouched()
{
    QTemporaryDir dir;
    const QByteArray bytes("caf\xE9\r\n");
    const QString path = writeFile(dir, QStringLiteral("latin.txt"), bytes);
    DocumentBuffer buffer;
    buffer.load(path);
    QCOMPARE(buffer.encoding(), TextEncoding::SingleByte);
    buffer.setText(buffer.text() + QStringLiteral("\u4E2D"));
    QCOMPARE(buffer.encoding(), TextEncoding::SingleByte);
    try {
        buffer.save(path);
        QFAIL("no Failure thrown");
    } catch (const Failure &failure) {
        QVERIFY(failure.description().contains(QStringLiteral("windows-1252")));
    }
    QCOMPARE(FileSystem::readFile(path), bytes);
}

void TstDocumentBuffer::largeTextIsSavedPieceByPiece_data()
{
    QTest::addColumn<QByteArray>("bom");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addRow("utf-8") << QByteArray() << TextEncoding::Utf8;
    QTest::addRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8Bom;
    QTest::addRow("utf-16 le") << QByteArray("\xFF\xFE") << TextEncoding::Utf16LeBom;
}

void TstDocumentBuffer::largeTextIsSavedPieceByPiece()
{
    QFETCH(QByteArray, bom);
    QFETCH(TextEncoding, encoding);
    // A surrogate pair straddles the first piece's end, which is at 1 Mi characters.
    const QString text = QString((1 << 20) - 1, QLatin1Char('a')) + QStringLiteral("\U0001F600") +
                         QStringLiteral(" tail\r\n");
    const std::optional<QByteArray> bytes = TextCodec::encode(text, encoding);
    QVERIFY(bytes);
    QVERIFY(bytes->startsWith(bom));
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("large.txt"), *bytes);
    DocumentBuffer buffer;
    buffer.load(path);
    QCOMPARE(buffer.encoding(), encoding);
    buffer.save(path);
    QCOMPARE(FileSystem::readFile(path), *bytes);

    // A character the encoding cannot hold in a later piece still leaves the
    // file, and the folder, as they were.
    buffer.setText(text + QChar(0xDC00));
    QVERIFY_THROWS_EXCEPTION(Failure, buffer.save(path));
    QCOMPARE(FileSystem::readFile(path), *bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"large.txt"}));
}

void TstDocumentBuffer::saveKeepsModeAndLink()
{
    QTemporaryDir dir;
    const QString target = writeFile(dir, QStringLiteral("target.txt"), "old");
    const QString link = dir.path() + QStringLiteral("/link.txt");
    QCOMPARE(::chmod(FileSystem::nativePath(target).constData(), 0640), 0);
    QCOMPARE(::symlink("target.txt", FileSystem::nativePath(link).constData()), 0);
    DocumentBuffer buffer;
    buffer.load(link);
    buffer.setText(QStringLiteral("new"));
    buffer.save(link);
    struct stat st {};
    QCOMPARE(::lstat(FileSystem::nativePath(link).constData(), &st), 0);
    QVERIFY(S_ISLNK(st.st_mode));
    QCOMPARE(::stat(FileSystem::nativePath(target).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QCOMPARE(FileSystem::readFile(target), QByteArray("new"));
}

void TstDocumentBuffer::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    const QString t = QStringLiteral("Cat cat CAT");
    QTest::addRow("match at 0") << t << QStringLiteral("cat") << 0 << 0 << 0;
    QTest::addRow("ignore case from 1") << t << QStringLiteral("cat") << 1 << 0 << 4;
    QTest::addRow("match case") << t << QStringLiteral("CAT") << 0 << 4 << 8;
    QTest::addRow("match case none") << t << QStringLiteral("cAt") << 0 << 4 << -1;
    QTest::addRow("negative start") << t << QStringLiteral("cat") << -5 << 0 << 0;
    QTest::addRow("start at end") << t << QStringLiteral("cat") << 11 << 0 << -1;
    QTest::addRow("start beyond end") << t << QStringLiteral("cat") << 50 << 0 << -1;
    QTest::addRow("empty what") << t << QString() << 0 << 0 << -1;
    QTest::addRow("longer than text")
        << QStringLiteral("ab") << QStringLiteral("abc") << 0 << 0 << -1;
    QTest::addRow("whole word skips part")
        << QStringLiteral("category cat") << QStringLiteral("cat") << 0 << 2 << 9;
    QTest::addRow("whole word at edges")
        << QStringLiteral("cat") << QStringLiteral("cat") << 0 << 2 << 0;
    QTest::addRow("whole word underscore")
        << QStringLiteral("_cat cat_ cat") << QStringLiteral("cat") << 0 << 2 << 10;
    QTest::addRow("whole word digits")
        << QStringLiteral("1cat cat2 (cat)") << QStringLiteral("cat") << 0 << 2 << 11;
    QTest::addRow("whole word punctuation")
        << QStringLiteral("x.cat,y") << QStringLiteral("cat") << 0 << 2 << 2;
    QTest::addRow("whole word accented letter")
        << QStringLiteral("\u00E9cat cat") << QStringLiteral("cat") << 0 << 2 << 5;
    QTest::addRow("whole word and case")
        << QStringLiteral("Cats cat CAT") << QStringLiteral("CAT") << 0 << 6 << 9;
    QTest::addRow("whole word ignore case")
        << QStringLiteral("Cats CAT") << QStringLiteral("cat") << 0 << 2 << 5;
    QTest::addRow("accent ignore case")
        << QStringLiteral("caf\u00C9") << QStringLiteral("\u00E9") << 0 << 0 << 3;
    QTest::addRow("accent first ignore case")
        << QStringLiteral("x \u00C9t\u00C9") << QStringLiteral("\u00E9T\u00E9") << 0 << 0 << 2;
    QTest::addRow("accent match case")
        << QStringLiteral("caf\u00C9") << QStringLiteral("\u00E9") << 0 << 4 << -1;
    QTest::addRow("crlf counts") << QStringLiteral("a\r\nb\rc") << QStringLiteral("c") << 0 << 0
                                 << 5;
    QTest::addRow("nul in text") << (QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                                 << QStringLiteral("B") << 0 << 0 << 2;
    QTest::addRow("partial at end")
        << QStringLiteral("abca") << QStringLiteral("ab") << 1 << 0 << -1;
}

void TstDocumentBuffer::find()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, options);
    QFETCH(int, expected);
    DocumentBuffer buffer;
    buffer.setText(text);
    QCOMPARE(buffer.find(what, start, options), expected);
    // The replacement loop relies on the same rule.
    if (!what.isEmpty() && start <= text.size()) {
        QCOMPARE(TextSearch::indexOf(text, what, start, options & DocumentBuffer::MatchCase,
                                     options & DocumentBuffer::WholeWord),
                 qsizetype(expected));
    }
}

void TstDocumentBuffer::findSelectsMatchOrLeavesSelection()
{
    DocumentBuffer buffer;
    buffer.setText(QStringLiteral("one two one"));
    QSignalSpy selection(&buffer, &DocumentBuffer::selectionChanged);
    QCOMPARE(buffer.find(QStringLiteral("ONE"), 1), 8);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(buffer.selectionStart(), 8);
    QCOMPARE(buffer.selectionLength(), 3);
    QCOMPARE(buffer.selectedText(), QStringLiteral("one"));

    QCOMPARE(buffer.find(QStringLiteral("three"), 0), -1);
    QCOMPARE(buffer.find(QStringLiteral("one"), 9), -1);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(buffer.selectionStart(), 8);
    QCOMPARE(buffer.selectionLength(), 3);
}

void TstDocumentBuffer::indexOfUsesPrevChar_data()
{
    QTest::addColumn<QChar>("prevChar");
    QTest::addColumn<int>("expected");

    QTest::addRow("none") << QChar() << 0;
    QTest::addRow("space") << QChar(u' ') << 0;
    QTest::addRow("letter") << QChar(u'x') << 4;
    QTest::addRow("underscore") << QChar(u'_') << 4;
}

void TstDocumentBuffer::indexOfUsesPrevChar()
{
    QFETCH(QChar, prevChar);
    QFETCH(int, expected);
    QCOMPARE(TextSearch::indexOf(u"cat cat", u"cat", 0, false, true, prevChar),
             qsizetype(expected));
}

void TstDocumentBuffer::selectionEditing()
{
    DocumentBuffer buffer;
    buffer.setText(QStringLiteral("hello world"));
    buffer.setSelectionStart(6);
    buffer.setSelectionLength(100);
    QCOMPARE(buffer.selectionLength(), 5);
    QCOMPARE(buffer.selectedText(), QStringLiteral("world"));
    QSignalSpy replaced(&buffer, &DocumentBuffer::stretchReplaced);
    buffer.setSelectedText(QStringLiteral("there"));
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(replaced.at(0), QVariantList({6, QStringLiteral("world"), QStringLiteral("there")}));
    QCOMPARE(buffer.text(), QStringLiteral("hello there"));
    buffer.setSelectionStart(-3);
    QCOMPARE(buffer.selectionStart(), 0);
}

QTEST_GUILESS_MAIN(TstDocumentBuffer)
#include "tst_documentbuffer.moc"
