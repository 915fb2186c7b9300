#include "engine/BytePrefilter.h"
#include "engine/TextSearch.h"
#include "platform/TextCodec.h"

#include <QRandomGenerator>
#include <QtTest>

// A file the prefilter passes over must be one in which the buffer's search,
// run on the decoded text, finds nothing; on random files in every encoding.
class TestBytePrefilter : public QObject {
    Q_OBJECT

private slots:
    void neverRulesOutAMatch_data();
    void neverRulesOutAMatch();
    void searchTextsItCannotJudge_data();
    void searchTextsItCannotJudge();
};

namespace {
// Letters of the needles, their foreign upper-case relatives, line ends and
// characters of several byte lengths.
const QString kAlphabet = QStringLiteral("aAbBiIsSkK eE_\r\n.") + QChar(0x131) + QChar(0x17F) +
                          QChar(0xE9) + QChar(0x20AC) + QChar(0x212A) + QChar(0) +
                          QStringLiteral("\U0001F600");

QString randomText(QRandomGenerator &random, const QStringList &plant)
{
    QString text;
    // Long enough to reach every block width of the byte search.
    const int length = int(random.bounded(120));
    while (text.size() < length) {
        if (random.bounded(8) == 0) {
            QString word = plant.at(int(random.bounded(plant.size())));
            for (QChar &c : word) {
                if (random.bounded(2))
                    c = c.toUpper();
            }
            text += word;
        } else {
            const int i = int(random.bounded(kAlphabet.size()));
            text += kAlphabet.at(i);
            if (kAlphabet.at(i).isHighSurrogate())
                text += kAlphabet.at(i + 1);
        }
    }
    return text;
}

QByteArray encoded(QRandomGenerator &random, const QString &text, int encoding)
{
    if (encoding == 5) {
        // The text's UTF-8 with random bytes scattered through it.
        QByteArray bytes = text.toUtf8();
        for (int i = int(random.bounded(6)); i > 0; --i)
            bytes.insert(qsizetype(random.bounded(bytes.size() + 1)), char(random.bounded(256)));
        return bytes;
    }
    const auto e = TextEncoding(encoding);
    if (auto bytes = TextCodec::encode(text, e))
        return *bytes;
    // Characters windows-1252 lacks are left out.
    QString fits;
    for (QChar c : text) {
        if (TextCodec::encode(QString(c), e))
            fits += c;
    }
    return TextCodec::encode(fits, e).value_or(QByteArray());
}
}  // namespace

void TestBytePrefilter::neverRulesOutAMatch_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addRow("utf-8") << int(TextEncoding::Utf8);
    QTest::addRow("utf-8 bom") << int(TextEncoding::Utf8Bom);
    QTest::addRow("utf-16 le") << int(TextEncoding::Utf16LeBom);
    QTest::addRow("utf-16 be") << int(TextEncoding::Utf16BeBom);
    QTest::addRow("windows-1252") << int(TextEncoding::SingleByte);
    QTest::addRow("random bytes") << 5;
}

void TestBytePrefilter::neverRulesOutAMatch()
{
    QFETCH(int, encoding);
    const QStringList needles{QStringLiteral("is"),  QStringLiteral("ski"),
                              QStringLiteral("k"),   QStringLiteral("Bee"),
                              QStringLiteral("a_b"), QStringLiteral("eeeeeeeeeeeeeeeeeeeea"),
                              QStringLiteral("S.K"), QStringLiteral("ab")};
    // Words that hold the foreign forms of i and s are planted too.
    const QStringList plants =
        needles + QStringList{QStringLiteral("\u0131\u017F"), QStringLiteral("sk\u0131")};
    QRandomGenerator random(quint32(encoding + 1));
    int ruledOut = 0, found = 0;
    for (int round = 0; round < 4000; ++round) {
        const QByteArray bytes = encoded(random, randomText(random, plants), encoding);
        const QString text = TextCodec::decode(bytes).text;
        const QString &needle = needles.at(round % needles.size());
        const bool matchCase = round % 3 == 0;
        const bool wholeWord = round % 5 == 0;
        const bool match = TextSearch::indexOf(text, needle, 0, matchCase, wholeWord) >= 0;
        const bool may = BytePrefilter(needle, matchCase).mayMatch(bytes);
        if (match && !may)
            QFAIL(qPrintable(QStringLiteral("ruled out %1 in %2")
                                 .arg(needle, QString::fromLatin1(bytes.toHex()))));
        ruledOut += !may;
        found += match;
    }
    // Both answers occur, or the cases prove nothing.
    QVERIFY(found > 100);
    if (encoding != int(TextEncoding::Utf16LeBom) && encoding != int(TextEncoding::Utf16BeBom))
        QVERIFY(ruledOut > 500);
}

void TestBytePrefilter::searchTextsItCannotJudge_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("active");
    QTest::addRow("ascii") << QStringLiteral("needle") << true;
    QTest::addRow("empty") << QString() << false;
    QTest::addRow("line feed") << QStringLiteral("a\nb") << false;
    QTest::addRow("carriage return") << QStringLiteral("a\rb") << false;
    QTest::addRow("accented") << QStringLiteral("caf\u00E9") << false;
}

void TestBytePrefilter::searchTextsItCannotJudge()
{
    QFETCH(QString, needle);
    QFETCH(bool, active);
    const BytePrefilter filter(needle, false);
    QCOMPARE(filter.isActive(), active);
    // An inactive filter sends every file the ordinary way.
    QCOMPARE(filter.mayMatch("unrelated"), !active);
}

QTEST_GUILESS_MAIN(TestBytePrefilter)
#include "tst_byteprefilter.moc"
