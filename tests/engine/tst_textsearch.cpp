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
    void caseRule_data();
    void caseRule();
    void lineBreakMatchesAnyOneLineEnd_data();
    void lineBreakMatchesAnyOneLineEnd();
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
        for (int i = 0; i < textLength; ++i)
            text += alphabet[random.bounded(int(alphabet.size()))];
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

void TestTextSearch::caseRule_data()
{
    // Expected results written out, not computed with the scan's own upper case.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<qsizetype>("found");
    QTest::addRow("sharp s matches itself") << QStringLiteral("xx\u00DF") << QStringLiteral("\u00DF") << qsizetype(2);
    QTest::addRow("sharp s is no SS") << QStringLiteral("strasse") << QStringLiteral("stra\u00DFe") << qsizetype(-1);
    QTest::addRow("upper is longer: no shift")
        << QStringLiteral("\u00DF\u00DFab") << QStringLiteral("AB") << qsizetype(2);
    QTest::addRow("dotted capital I is no i") << QStringLiteral("xi") << QStringLiteral("\u0130") << qsizetype(-1);
    QTest::addRow("dotless i rises to I") << QStringLiteral("xI") << QStringLiteral("\u0131") << qsizetype(1);
    QTest::addRow("i and dotless i meet in I") << QStringLiteral("x\u0131") << QStringLiteral("i") << qsizetype(1);
    QTest::addRow("final sigma") << QStringLiteral("xx\u03C2") << QStringLiteral("\u03A3") << qsizetype(2);
    QTest::addRow("sigma and final sigma") << QStringLiteral("x\u03C3") << QStringLiteral("\u03C2") << qsizetype(1);
    QTest::addRow("outside the BMP")
        << QStringLiteral("ab\U00010428z") << QStringLiteral("\U00010400Z") << qsizetype(2);
    QTest::addRow("outside the BMP, other case")
        << QStringLiteral("ab\U00010400") << QStringLiteral("B\U00010428") << qsizetype(1);
    QTest::addRow("lone surrogate is no letter")
        << QStringLiteral("a\U00010428") << QString(QChar(0xD801)) << qsizetype(1);
}

void TestTextSearch::caseRule()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(qsizetype, found);
    QCOMPARE(TextSearch::indexOf(text, needle, 0, false, false), found);
    const TextSearch::Match match = TextSearch::find(text, needle, 0, false, false);
    QCOMPARE(match.position, found);
    if (found >= 0)
        QCOMPARE(match.length, needle.size());
}

void TestTextSearch::lineBreakMatchesAnyOneLineEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<qsizetype>("position");
    QTest::addColumn<qsizetype>("length");
    const QString needle = QStringLiteral("new line\nsecond");
    QTest::addRow("LF file") << QStringLiteral("x new line\nsecond") << needle << qsizetype(2) << qsizetype(15);
    QTest::addRow("CR LF file")
        << QStringLiteral("x new line\r\nsecond") << needle << qsizetype(2) << qsizetype(16);
    QTest::addRow("CR file") << QStringLiteral("x new line\rsecond") << needle << qsizetype(2) << qsizetype(15);
    QTest::addRow("CR LF needle on LF file")
        << QStringLiteral("new line\nsecond") << QStringLiteral("new line\r\nsecond") << qsizetype(0) << qsizetype(15);
    QTest::addRow("one break is not two line ends")
        << QStringLiteral("new line\n\nsecond") << needle << qsizetype(-1) << qsizetype(0);
    QTest::addRow("two breaks, mixed ends")
        << QStringLiteral("a\r\n\rb") << QStringLiteral("a\n\nb") << qsizetype(0) << qsizetype(5);
    QTest::addRow("leading break") << QStringLiteral("ab\r\ncd") << QStringLiteral("\ncd") << qsizetype(2) << qsizetype(4);
    QTest::addRow("trailing break takes the whole CR LF")
        << QStringLiteral("ab\r\ncd") << QStringLiteral("AB\n") << qsizetype(0) << qsizetype(4);
    QTest::addRow("case-insensitive lines")
        << QStringLiteral("x FIRST\r\nSecond") << QStringLiteral("first\nsecond") << qsizetype(2) << qsizetype(13);
    QTest::addRow("no break: unchanged") << QStringLiteral("a\r\nb") << QStringLiteral("b") << qsizetype(3) << qsizetype(1);
}

void TestTextSearch::lineBreakMatchesAnyOneLineEnd()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(qsizetype, position);
    QFETCH(qsizetype, length);
    const TextSearch::Match match = TextSearch::find(text, needle, 0, false, false);
    QCOMPARE(match.position, position);
    if (position >= 0)
        QCOMPARE(match.length, length);
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
