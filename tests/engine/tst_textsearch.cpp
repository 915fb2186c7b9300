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

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
