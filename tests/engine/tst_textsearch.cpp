#include "engine/TextSearch.h"

#include <QRandomGenerator>
#include <QtTest>

// The fast scans must agree with the plain definition: the first position at or
// after from where every character's upper case equals the needle's.
class TestTextSearch : public QObject {
    Q_OBJECT

private:
    static qsizetype reference(QStringView text, QStringView needle, qsizetype from, bool matchCase)
    {
        for (qsizetype p = qMax<qsizetype>(from, 0); p + needle.size() <= text.size(); ++p) {
            bool all = true;
            for (qsizetype i = 0; i < needle.size() && all; ++i) {
                const char16_t t = text[p + i].unicode(), n = needle[i].unicode();
                all = matchCase ? t == n : TextSearch::upper(t) == TextSearch::upper(n);
            }
            if (all)
                return p;
        }
        return -1;
    }

private slots:
    void agreesWithThePlainDefinition();
    void dotlessIAndLongSRiseToAscii();
    void find_data();
    void find();
};

void TestTextSearch::agreesWithThePlainDefinition()
{
    // Few letters, so matches and near misses are frequent; lengths around the
    // vector width test the scan's edges.
    const QString alphabet = QStringLiteral("aAbBnN \u0131\u017Fs\u00E9\u00C9");
    QRandomGenerator random(7);
    for (int round = 0; round < 4000; ++round) {
        QString text, needle;
        const int textLength = random.bounded(0, 70);
        for (int i = 0; i < textLength; ++i) text += alphabet[random.bounded(int(alphabet.size()))];
        const int needleLength = random.bounded(1, 5);
        for (int i = 0; i < needleLength; ++i)
            needle += alphabet[random.bounded(int(alphabet.size()))];
        const qsizetype from = random.bounded(0, textLength + 2);
        for (const bool matchCase : {false, true}) {
            QCOMPARE(TextSearch::indexOf(text, needle, from, matchCase, false),
                     reference(text, needle, from, matchCase));
        }
    }
}

void TestTextSearch::dotlessIAndLongSRiseToAscii()
{
    QCOMPARE(TextSearch::indexOf(u"x\u0131\u017F", u"IS", 0, false, false), 1);
    QCOMPARE(TextSearch::indexOf(u"xis", u"\u0131\u017F", 0, false, false), 1);
    const QString longText = QString(5000, QLatin1Char('a')) + QStringLiteral("NeEdLe");
    QCOMPARE(TextSearch::indexOf(longText, u"needle", 0, false, false), 5000);
    QCOMPARE(TextSearch::indexOf(longText, u"NeEdLe", 10, true, false), 5000);
}

void TestTextSearch::find_data()
{
    using namespace Qt::StringLiterals;
    // Expected results written out, not computed with the scan's own upper case.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");
    QTest::addRow("sharp s matches itself") << u"xx\u00DF"_s << u"\u00DF"_s << 2 << 1;
    QTest::addRow("sharp s is no SS") << u"strasse"_s << u"stra\u00DFe"_s << -1 << 0;
    QTest::addRow("upper is longer: no shift") << u"\u00DF\u00DFab"_s << u"AB"_s << 2 << 2;
    QTest::addRow("dotted capital I is no i") << u"xi"_s << u"\u0130"_s << -1 << 0;
    QTest::addRow("dotless i rises to I") << u"xI"_s << u"\u0131"_s << 1 << 1;
    QTest::addRow("i and dotless i meet in I") << u"x\u0131"_s << u"i"_s << 1 << 1;
    QTest::addRow("final sigma") << u"xx\u03C2"_s << u"\u03A3"_s << 2 << 1;
    QTest::addRow("sigma and final sigma") << u"x\u03C3"_s << u"\u03C2"_s << 1 << 1;
    QTest::addRow("outside the BMP") << u"ab\U00010428z"_s << u"\U00010400Z"_s << 2 << 3;
    QTest::addRow("outside the BMP, other case") << u"ab\U00010400"_s << u"B\U00010428"_s << 1 << 3;
    QTest::addRow("lone surrogate is no letter")
        << u"a\U00010428"_s << QString(QChar(0xD801)) << 1 << 1;
    // A line break in the needle matches any one line end: CR LF, LF or CR.
    const QString lines = u"new line\nsecond"_s;
    QTest::addRow("LF file") << u"x new line\nsecond"_s << lines << 2 << 15;
    QTest::addRow("CR LF file") << u"x new line\r\nsecond"_s << lines << 2 << 16;
    QTest::addRow("CR file") << u"x new line\rsecond"_s << lines << 2 << 15;
    QTest::addRow("CR LF needle on LF file")
        << u"new line\nsecond"_s << u"new line\r\nsecond"_s << 0 << 15;
    QTest::addRow("one break is not two") << u"new line\n\nsecond"_s << lines << -1 << 0;
    QTest::addRow("two breaks, mixed ends") << u"a\r\n\rb"_s << u"a\n\nb"_s << 0 << 5;
    QTest::addRow("leading break") << u"ab\r\ncd"_s << u"\ncd"_s << 2 << 4;
    QTest::addRow("trailing break takes the whole CR LF") << u"ab\r\ncd"_s << u"AB\n"_s << 0 << 4;
    QTest::addRow("case-insensitive lines")
        << u"x FIRST\r\nSecond"_s << u"first\nsecond"_s << 2 << 13;
    QTest::addRow("no break: unchanged") << u"a\r\nb"_s << u"b"_s << 3 << 1;
}

void TestTextSearch::find()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, position);
    QFETCH(int, length);
    const TextSearch::Match match = TextSearch::find(text, needle, 0, false, false);
    QCOMPARE(match.position, qsizetype(position));
    if (position >= 0)
        QCOMPARE(match.length, qsizetype(length));
    if (!needle.contains(u'\n'))
        QCOMPARE(TextSearch::indexOf(text, needle, 0, false, false), qsizetype(position));
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
