#include "engine/PieceReplacer.h"
#include "engine/PlainMatcher.h"
#include "engine/Replacer.h"
#include "engine/StreamedReplacement.h"
#include "engine/TextSearch.h"
#include "platform/TextCodec.h"

#include <QtTest>

#include <optional>

class TestStreamedReplacement : public QObject {
    Q_OBJECT

private slots:
    void writesWhatTheWholeTextWould_data();
    void writesWhatTheWholeTextWould();
};

namespace {
// The bytes size at a time, as a file read in pieces of that size.
StreamedReplacement::ByteSource piecesOf(const QByteArray &bytes, qsizetype size)
{
    return [bytes, size, at = qsizetype(0)]() mutable {
        const QByteArray piece = bytes.mid(at, size);
        at += piece.size();
        return piece;
    };
}

QByteArray utf16(const QString &text, bool littleEndian)
{
    return *TextCodec::encode(text,
                              littleEndian ? TextEncoding::Utf16LeBom : TextEncoding::Utf16BeBom);
}
}  // namespace

void TestStreamedReplacement::writesWhatTheWholeTextWould_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    // False where the pieces may not tell and the whole text is replaced instead.
    QTest::addColumn<bool>("streams");
    const QString lorem = QStringLiteral("lorem");
    QTest::addRow("matches across pieces")
        << QByteArray("xx lorem yy lorem lorem") << lorem << "ipsum" << true << false << true;
    QTest::addRow("a line break matches CR LF split between pieces")
        << QByteArray("a\r\nb a\nb a\rb a\r\n\r\nb") << "a\nb"
        << "X" << true << false << true;
    QTest::addRow("a CR at the end is a line end") << QByteArray("ab\r") << "b\n"
                                                   << "Y" << true << false << true;
    QTest::addRow("UTF-8 characters split between pieces")
        << QByteArray("\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E \xC3\xB6\xF0\x9D\x84\x9E x")
        << QString::fromUtf8("\xC3\xB6\xF0\x9D\x84\x9E") << "o" << true << false << true;
    QTest::addRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBFlorem ipsum lorem") << lorem
                               << QString::fromUtf8("\xC3\xBC") << true << false << true;
    const QString pairs = QString::fromUtf8(
        "a\xF0\x9D\x84\x9E"
        "b lorem \xF0\x9D\x84\x9E"
        "b");
    QTest::addRow("UTF-16 LE, pairs split between pieces") << utf16(pairs, true)
                                                           << QString::fromUtf8(
                                                                  "\xF0\x9D\x84\x9E"
                                                                  "b")
                                                           << "c" << true << false << true;
    QTest::addRow("UTF-16 BE") << utf16(pairs, false) << lorem << "dolor" << true << false << true;
    QTest::addRow("UTF-16 with a lone surrogate is windows-1252")
        << QByteArray("\xFF\xFE\x41\x00\x00\xD8\x41\x00", 8) << "A"
        << "B" << true << false << true;
    QTest::addRow("invalid bytes kept among UTF-8")
        << QByteArray("ab\xFF lorem \xC3 lorem \xC3\xA4 \xC3\xA4 \xC3\xA4 \xC3\xA4") << lorem
        << "ipsum" << true << false << true;
    QTest::addRow("windows-1252 once the bytes stop being UTF-8")
        << QByteArray("\xC3\xA4 lorem \xE4\xE4\xE4 lorem \xE4") << lorem
        << QString::fromUtf8("\xC3\xA9") << true << false << true;
    QTest::addRow("a search never starts inside a pair")
        << QByteArray("\xF0\x90\x82\x80 \xC3\xA9 \xC3\xA9 \x80") << QString(QChar(0xDC80)) << "Z"
        << true << false << true;
    QTest::addRow("letter case folded beyond ASCII") << QByteArray(
                                                            "LOREM Lorem \xC3\x84"
                                                            "BC \xC3\xA4"
                                                            "bc")
                                                     << QString::fromUtf8(
                                                            "\xC3\xA4"
                                                            "bc")
                                                     << "x" << false << false << true;
    QTest::addRow("whole words at piece edges")
        << QByteArray("lorem loremx xlorem lorem_ lorem") << lorem << "L" << false << true << true;
    QTest::addRow("writes back what it found")
        << QByteArray("a lorem b lorem") << lorem << lorem << true << false << true;
    QTest::addRow("shrinks") << QByteArray("aaaaabaaa") << "aa"
                             << "b" << true << false << true;
    QTest::addRow("deletes") << QByteArray("xloremylorem") << lorem << "" << true << false << true;
    QTest::addRow("grows into text it equals") << QByteArray("aaaaaaaaaaaa") << "a"
                                               << "aa" << true << false << false;
    QTest::addRow("a replacement windows-1252 cannot hold")
        << QByteArray("\xE4\xE4\xE4 lorem") << lorem << QString::fromUtf8("\xE2\x98\x83") << true
        << false << true;
}

void TestStreamedReplacement::writesWhatTheWholeTextWould()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(bool, streams);
    const PlainMatcher matcher(find, matchCase, wholeWord);
    const qsizetype reach = 2 * find.size();

    // The whole text loaded, replaced and saved, as a run does it for a small file.
    const TextCodec::Decoded whole = TextCodec::decode(bytes);
    const TextSearch::Match first = TextSearch::find(whole.text, find, 0, matchCase, wholeWord);
    const ReplaceResult result = replaceAll(whole.text, matcher, replace);
    const std::optional<QByteArray> expected =
        result.changed ? TextCodec::encode(result.text, whole.encoding) : bytes;

    for (const qsizetype size : {1, 2, 3, 5, 8, 1000}) {
        const StreamedReplacement::Scan scan = StreamedReplacement::scan(
            [&] { return piecesOf(bytes, size); }, bytes.size(), matcher, reach, 4);
        QCOMPARE(scan.encoding, whole.encoding);
        QCOMPARE(scan.textLength, whole.text.size());
        QCOMPARE(scan.first.position, first.position);
        QCOMPARE(scan.first.length, first.length);
        QCOMPARE(scan.head, whole.text.first(qMin<qsizetype>(4, whole.text.size())));

        StreamedReplacement::Outcome outcome;
        const FileSystem::PieceSource next = StreamedReplacement::replaced(
            piecesOf(bytes, size), scan, bytes.size(), matcher, replace, reach, outcome);
        std::optional<QByteArray> written = QByteArray();
        try {
            for (QByteArray piece = next(); !piece.isEmpty(); piece = next())
                written->append(piece);
        } catch (const PieceReplacer::CannotStream &) {
            written.reset();
        }
        if (!written && !streams && expected)
            continue;
        QCOMPARE(written, expected);
        if (!written)
            continue;
        QCOMPARE(outcome.replacements, result.replacements);
        QCOMPARE(outcome.changingReplacements, result.changingReplacements);
        QCOMPARE(outcome.changed, result.changed);
        const TextSearch::Match again =
            TextSearch::find(result.text, find, 0, matchCase, wholeWord);
        QCOMPARE(outcome.firstInNew.position, again.position);
        QCOMPARE(outcome.firstInNew.length, again.length);
    }
}

QTEST_GUILESS_MAIN(TestStreamedReplacement)
#include "tst_streamedreplacement.moc"
