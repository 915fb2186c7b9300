#include "engine/FuzzyMatcher.h"
#include "engine/PlainMatcher.h"
#include "engine/Replacer.h"

#include <QtTest>

class TestReplacer : public QObject {
    Q_OBJECT

private slots:
    void replacesEveryMatch_data();
    void replacesEveryMatch();
};

void TestReplacer::replacesEveryMatch_data()
{
    QTest::addColumn<QString>("text");
    // The normal search text, or first and second part split at "|" for a fuzzy one.
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("sensitive");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("changing");
    QTest::addRow("no re-replacement") << "Cat cat"
                                       << "cat"
                                       << "cats" << false << false << "cats cats" << 2 << 2;
    QTest::addRow("case sensitive") << "Cat cat CAT"
                                    << "cat"
                                    << "dog" << true << false << "Cat dog CAT" << 1 << 1;
    QTest::addRow("at both edges") << "abXab"
                                   << "ab"
                                   << "" << false << false << "X" << 2 << 2;
    QTest::addRow("no overlaps") << "aaaa"
                                 << "aa"
                                 << "b" << false << false << "bb" << 2 << 2;
    QTest::addRow("a line break takes the matched line end")
        << "a\r\nb"
        << "a\nb"
        << "x\ny" << false << false << "x\r\ny" << 1 << 1;
    QTest::addRow("none") << "abc"
                          << "x"
                          << "y" << false << false << "abc" << 0 << 0;
    // The first step writes back what it found; only the second makes the text differ.
    QTest::addRow("an unchanging step counts for the file only")
        << "ab AB"
        << "ab"
        << "ab" << false << false << "ab ab" << 2 << 1;
    QTest::addRow("whole words told on the original") << "cat.cat"
                                                      << "cat"
                                                      << "x" << false << true << "x.x" << 2 << 2;
    QTest::addRow("fuzzy") << "a[1]c[2]"
                           << "[|]"
                           << "x" << false << false << "axcx" << 2 << 2;
    QTest::addRow("fuzzy deleted") << "a[1]c[2]"
                                   << "[|]"
                                   << "" << false << false << "ac" << 2 << 2;
    QTest::addRow("fuzzy across lines") << "[\r\n]\n[\r]"
                                        << "[|]"
                                        << "-" << false << false << "-\n-" << 2 << 2;
    QTest::addRow("fuzzy replacement holding parts is not searched again")
        << "[1][2]"
        << "[|]"
        << "[]" << false << false << "[][]" << 2 << 2;
    // The whole-word test at the start of the rest sees the inserted text.
    QTest::addRow("fuzzy whole word after insertion") << "ab.ab."
                                                      << "ab|."
                                                      << "z" << false << true << "zab." << 1 << 1;
    QTest::addRow("fuzzy whole word after a blank insertion")
        << "ab.ab."
        << "ab|."
        << "-" << false << true << "--" << 2 << 2;
}

void TestReplacer::replacesEveryMatch()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, sensitive);
    QFETCH(bool, whole);
    QFETCH(QString, result);
    const QStringList parts = find.split(QLatin1Char('|'));
    const PlainMatcher plain(find, sensitive, whole);
    const FuzzyMatcher fuzzy(parts.value(0), parts.value(1), sensitive, whole);
    const Matcher &matcher = parts.size() == 2 ? static_cast<const Matcher &>(fuzzy) : plain;
    // Built beside a shared text, and rewritten where it lies in a text of its own.
    for (const bool shared : {true, false}) {
        QString copy = text;
        copy.detach();
        const QString keep = shared ? copy : QString();
        const ReplaceResult r = replaceAll(std::move(copy), matcher, replace);
        QCOMPARE(r.text, result);
        QTEST(r.replacements, "count");
        QTEST(r.changingReplacements, "changing");
        QCOMPARE(r.changed, result != text);
        QVERIFY(!r.tooLarge);
    }
}

QTEST_GUILESS_MAIN(TestReplacer)
#include "tst_replacer.moc"
