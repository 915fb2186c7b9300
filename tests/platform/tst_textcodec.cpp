#include "platform/TextCodec.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(TextEncoding)

class TstTextCodec : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsBytes_data();
    void roundTripKeepsBytes();
    void everyShortByteStringRoundTrips();
    void randomByteStringsRoundTrip();
    void utf8IsExactlyWhatQtReadsBack();
    void decodesText_data();
    void decodesText();
    void mostlyUtf8KeepsStrayBytes_data();
    void mostlyUtf8KeepsStrayBytes();
    void encodeRefusesWhatTheEncodingCannotHold_data();
    void encodeRefusesWhatTheEncodingCannotHold();
};

void TstTextCodec::roundTripKeepsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");

    QTest::addRow("empty") << QByteArray() << TextEncoding::Utf8;
    QTest::addRow("ascii crlf") << QByteArray("a\r\nb\rc\n") << TextEncoding::Utf8;
    QTest::addRow("utf-8") << QByteArray("caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80")
                           << TextEncoding::Utf8;
    QTest::addRow("utf-8 bom") << QByteArray("\xEF\xBB\xBFx\xC3\xA9") << TextEncoding::Utf8Bom;
    QTest::addRow("bom only") << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8Bom;
    QTest::addRow("two boms") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << TextEncoding::Utf8Bom;
    QTest::addRow("bom then invalid") << QByteArray("\xEF\xBB\xBFx\xFF") << TextEncoding::Utf8Bom;
    QTest::addRow("nul bytes") << QByteArray("a\0b\0", 4) << TextEncoding::Utf8;
    QTest::addRow("replacement char") << QByteArray("\xEF\xBF\xBD") << TextEncoding::Utf8;
    QTest::addRow("invalid byte") << QByteArray(
                                         "ab\xFF"
                                         "cd")
                                  << TextEncoding::SingleByte;
    QTest::addRow("overlong slash") << QByteArray("\xC0\xAF") << TextEncoding::SingleByte;
    QTest::addRow("overlong 3 bytes") << QByteArray("\xE0\x80\xAF") << TextEncoding::SingleByte;
    QTest::addRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << TextEncoding::SingleByte;
    QTest::addRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << TextEncoding::SingleByte;
    QTest::addRow("truncated final") << QByteArray("ab\xE4\xB8") << TextEncoding::SingleByte;
    QTest::addRow("windows-1252") << QByteArray("\x93quoted\x94 \x80 \xE9t\xE9")
                                  << TextEncoding::SingleByte;
    QTest::addRow("unassigned 1252")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << TextEncoding::SingleByte;
    QTest::addRow("utf-16 le") << QByteArray(
                                      "\xFF\xFE"
                                      "a\0\r\0\n\0\x2D\x4E",
                                      10)
                               << TextEncoding::Utf16LeBom;
    QTest::addRow("utf-16 be") << QByteArray("\xFE\xFF\0a\x4E\x2D", 6) << TextEncoding::Utf16BeBom;
    QTest::addRow("utf-16 le pair")
        << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6) << TextEncoding::Utf16LeBom;
    QTest::addRow("utf-16 bom only") << QByteArray("\xFF\xFE") << TextEncoding::Utf16LeBom;
    QTest::addRow("odd length ff fe") << QByteArray(
                                             "\xFF\xFE"
                                             "a")
                                      << TextEncoding::SingleByte;
    QTest::addRow("utf-16 lone high") << QByteArray(
                                             "\xFF\xFE\x3D\xD8"
                                             "a\0",
                                             6)
                                      << TextEncoding::SingleByte;
    QTest::addRow("utf-16 lone low")
        << QByteArray("\xFE\xFF\xDE\x00", 4) << TextEncoding::SingleByte;
    QTest::addRow("utf-16 high at end") << QByteArray(
                                               "\xFF\xFE"
                                               "a\0\x3D\xD8",
                                               6)
                                        << TextEncoding::SingleByte;
}

void TstTextCodec::roundTripKeepsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    const TextCodec::Decoded decoded = TextCodec::decode(bytes);
    QCOMPARE(decoded.encoding, encoding);
    const std::optional<QByteArray> back = TextCodec::encode(decoded.text, decoded.encoding);
    QVERIFY(back.has_value());
    QCOMPARE(*back, bytes);
}

void TstTextCodec::everyShortByteStringRoundTrips()
{
    for (int a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            QByteArray bytes(1, char(a));
            if (b >= 0)
                bytes.append(char(b));
            const TextCodec::Decoded decoded = TextCodec::decode(bytes);
            const auto back = TextCodec::encode(decoded.text, decoded.encoding);
            if (!back || *back != bytes)
                QFAIL(qPrintable(QStringLiteral("bytes %1 do not round-trip")
                                     .arg(QString::fromLatin1(bytes.toHex(' ')))));
        }
    }
}

void TstTextCodec::randomByteStringsRoundTrip()
{
    QRandomGenerator random(20240611);
    // Mostly text-like bytes so that many strings get past the UTF-8 and UTF-16 checks.
    const QByteArray alphabet(
        "\x00\x0A\x0D"
        "aZ\x7F\x80\xA0\xC3\xA9\xE4\xB8\xAD\xED\xF0\x9F\xFF\xFE\xD8\xDC\xEF\xBB\xBF",
        24);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int length = int(random.bounded(12));
        for (int i = 0; i < length; ++i)
            bytes.append(alphabet[int(random.bounded(alphabet.size()))]);
        const TextCodec::Decoded decoded = TextCodec::decode(bytes);
        const auto back = TextCodec::encode(decoded.text, decoded.encoding);
        if (!back || *back != bytes)
            QFAIL(qPrintable(QStringLiteral("bytes %1 do not round-trip")
                                 .arg(QString::fromLatin1(bytes.toHex(' ')))));
        // Decoding piece by piece, cut anywhere, reads the same text in the same encoding.
        auto inPieces = [&](bool singleByte) -> std::optional<TextCodec::Decoded> {
            TextCodec::PieceDecoder decoder(bytes.size(), singleByte);
            for (qsizetype at = 0; at < bytes.size();) {
                const qsizetype n = qMin<qsizetype>(1 + random.bounded(4), bytes.size() - at);
                if (!decoder.add(QByteArrayView(bytes).sliced(at, n)))
                    return std::nullopt;
                at += n;
            }
            return decoder.finish();
        };
        std::optional<TextCodec::Decoded> pieces = inPieces(false);
        if (!pieces)
            pieces = inPieces(true);
        if (pieces->text != decoded.text || pieces->encoding != decoded.encoding)
            QFAIL(qPrintable(QStringLiteral("bytes %1 decode otherwise in pieces")
                                 .arg(QString::fromLatin1(bytes.toHex(' ')))));
    }
}

void TstTextCodec::utf8IsExactlyWhatQtReadsBack()
{
    // Every three-byte string led by a multi-byte lead: the strict reading must
    // accept exactly the strings Qt decodes and encodes back unchanged.
    QList<int> follow{0x00, 0x41, 0x7F, 0xC0, 0xE0, 0xFF};
    for (int b = 0x80; b < 0xC0; ++b) follow << b;
    for (int lead = 0xC0; lead < 0x100; ++lead) {
        for (int second : follow) {
            for (int third : follow) {
                QByteArray bytes(3, Qt::Uninitialized);
                bytes[0] = char(lead);
                bytes[1] = char(second);
                bytes[2] = char(third);
                const QString qt = QString::fromUtf8(bytes);
                const bool valid = qt.toUtf8() == bytes && !bytes.startsWith("\xEF\xBB\xBF");
                const TextCodec::Decoded decoded = TextCodec::decode(bytes);
                if ((decoded.encoding == TextEncoding::Utf8) != valid ||
                    (valid && decoded.text != qt)) {
                    QFAIL(qPrintable(QStringLiteral("bytes %1 read wrongly")
                                         .arg(QString::fromLatin1(bytes.toHex(' ')))));
                }
                const auto back = TextCodec::encode(decoded.text, decoded.encoding);
                QVERIFY(back && *back == bytes);
            }
        }
    }
}

void TstTextCodec::decodesText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::addRow("utf-8") << QByteArray("caf\xC3\xA9") << QStringLiteral("caf\u00E9");
    QTest::addRow("bom is not text") << QByteArray("\xEF\xBB\xBFx") << QStringLiteral("x");
    QTest::addRow("second bom is text")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral("\uFEFFx");
    QTest::addRow("utf-16 le") << QByteArray(
                                      "\xFF\xFE"
                                      "a\0\x2D\x4E",
                                      6)
                               << QStringLiteral("a\u4E2D");
    QTest::addRow("utf-16 be") << QByteArray("\xFE\xFF\0a\x4E\x2D", 6) << QStringLiteral("a\u4E2D");
    QTest::addRow("1252 euro") << QByteArray("\x80") << QStringLiteral("\u20AC");
    QTest::addRow("1252 quotes") << QByteArray("\x93\x94\xFF")
                                 << QStringLiteral("\u201C\u201D\u00FF");
    QTest::addRow("1252 unassigned") << QByteArray("\x81\x9D") << QStringLiteral("\u0081\u009D");
    QTest::addRow("nul") << QByteArray("\0", 1) << QString(QChar(0));
}

void TstTextCodec::decodesText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextCodec::decode(bytes).text, text);
}

void TstTextCodec::mostlyUtf8KeepsStrayBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("text");

    const QString e = QStringLiteral("\u00E9");
    QTest::addRow("stray quote in utf-8")
        << QByteArray("caf\xC3\xA9 \xC2\xA9 2024 r\xC3\xA9sum\xC3\xA9\x92") << TextEncoding::Utf8
        << QStringLiteral("caf\u00E9 \u00A9 2024 r\u00E9sum\u00E9") + QChar(0xDC92);
    QTest::addRow("one stray per two characters")
        << QByteArray("\xC3\xA9\x80\xC3\xA9") << TextEncoding::Utf8 << e + QChar(0xDC80) + e;
    QTest::addRow("strays outnumber characters")
        << QByteArray("\xC3\xA9\x92\x92\xC3\xA9\xC3\xA9") << TextEncoding::SingleByte
        << QStringLiteral("\u00C3\u00A9\u2019\u2019\u00C3\u00A9\u00C3\u00A9");
    QTest::addRow("windows-1252 with a chance sequence")
        << QByteArray("\x84Stra\xDF\x93") << TextEncoding::SingleByte
        << QStringLiteral("\u201EStra\u00DF\u201C");
    QTest::addRow("cut final character")
        << QByteArray("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x82") << TextEncoding::Utf8
        << e + e + e + e + QChar(0xDCE2) + QChar(0xDC82);
    QTest::addRow("encoded surrogate kept byte by byte")
        << QByteArray("\xED\xA0\x80\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9")
        << TextEncoding::Utf8
        << QString(QChar(0xDCED)) + QChar(0xDCA0) + QChar(0xDC80) + e + e + e + e + e + e;
    QTest::addRow("bom declares utf-8") << QByteArray("\xEF\xBB\xBF\xFFx") << TextEncoding::Utf8Bom
                                        << QString(QChar(0xDCFF)) + QLatin1Char('x');
    QTest::addRow("broken utf-16 is not utf-8")
        << QByteArray("\xFF\xFE\x00\xDC\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 12)
        << TextEncoding::SingleByte
        << QStringLiteral("\u00FF\u00FE") + QChar(0) +
               QStringLiteral("\u00DC\u00C3\u00A9\u00C3\u00A9\u00C3\u00A9\u00C3\u00A9");
}

void TstTextCodec::mostlyUtf8KeepsStrayBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, text);
    const TextCodec::Decoded decoded = TextCodec::decode(bytes);
    QCOMPARE(decoded.encoding, encoding);
    QCOMPARE(decoded.text, text);
    QCOMPARE(TextCodec::encode(decoded.text, encoding).value_or(QByteArray()), bytes);
}

void TstTextCodec::encodeRefusesWhatTheEncodingCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<bool>("encodable");

    const QString loneHigh = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    const QString loneLow = QString(QChar(0xDC00));
    QTest::addRow("1252 chinese") << QStringLiteral("\u4E2D") << TextEncoding::SingleByte << false;
    QTest::addRow("1252 U+0080") << QStringLiteral("\u0080") << TextEncoding::SingleByte << false;
    QTest::addRow("1252 U+0081") << QStringLiteral("\u0081") << TextEncoding::SingleByte << true;
    QTest::addRow("1252 euro") << QStringLiteral("\u20AC\u00E9") << TextEncoding::SingleByte
                               << true;
    QTest::addRow("utf-8 chinese") << QStringLiteral("\u4E2D") << TextEncoding::Utf8 << true;
    QTest::addRow("utf-8 lone high") << loneHigh << TextEncoding::Utf8 << false;
    QTest::addRow("utf-8 bom lone low") << loneLow << TextEncoding::Utf8Bom << false;
    QTest::addRow("utf-16 le lone high") << loneHigh << TextEncoding::Utf16LeBom << false;
    QTest::addRow("utf-16 be lone low") << loneLow << TextEncoding::Utf16BeBom << false;
    const QString escaped = QStringLiteral("a") + QChar(0xDC92);
    QTest::addRow("utf-8 escaped byte") << escaped << TextEncoding::Utf8 << true;
    QTest::addRow("1252 escaped byte") << escaped << TextEncoding::SingleByte << false;
    QTest::addRow("utf-16 escaped byte") << escaped << TextEncoding::Utf16LeBom << false;
}

void TstTextCodec::encodeRefusesWhatTheEncodingCannotHold()
{
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    QFETCH(bool, encodable);
    QCOMPARE(TextCodec::encode(text, encoding).has_value(), encodable);
}

QTEST_GUILESS_MAIN(TstTextCodec)
#include "tst_textcodec.moc"
