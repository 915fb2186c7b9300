#include "engine/FuzzyMatcher.h"
#include "engine/Matcher.h"
#include "engine/PlainMatcher.h"
#include "engine/Replacer.h"

#include <QtTest>

class TestReplacer : public QObject {
    Q_OBJECT

private slots:
    void replacesEveryMatch_data();
    void replacesEveryMatch();
    void replacesOnlyAcceptedMatches_data();
    void replacesOnlyAcceptedMatches();
};

namespace {
// The new text from the old and the recorded changes: what lies between two
// changes must be the old text's, unmoved.
QString rebuilt(const QString &oldText, const QString &newText, const QList<TextChange> &changes)
{
    QString out;
    qsizetype oldAt = 0;
    for (const TextChange &c : changes) {
        out += QStringView(oldText).sliced(oldAt, c.oldPosition - oldAt);
        if (out.size() != c.newPosition)
            return QStringLiteral("<misplaced change>");
        out += QStringView(newText).sliced(c.newPosition, c.newLength);
        oldAt = c.oldPosition + c.oldLength;
    }
    return out + oldText.sliced(oldAt);
}
}  // namespace

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
        QList<TextChange> changes;
        const ReplaceResult r = replaceAll(std::move(copy), matcher, replace, {{}, &changes});
        QCOMPARE(r.text, result);
        QCOMPARE(rebuilt(text, r.text, changes), result);
        // Counting alone: the same changes, the text left as it was.
        QList<TextChange> counted;
        const ReplaceResult c = replaceAll(text, matcher, replace, {{}, &counted, false});
        QCOMPARE(counted, changes);
        QCOMPARE(c.text, text);
        QCOMPARE(c.changed, r.changed);
        QTEST(r.replacements, "count");
        QTEST(r.changingReplacements, "changing");
        QCOMPARE(r.changed, result != text);
        QVERIFY(!r.tooLarge);
    }
}

void TestReplacer::replacesOnlyAcceptedMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("whole");
    // Positions in the original text of the matches left out.
    QTest::addColumn<QList<qsizetype>>("leftOut");
    QTest::addColumn<QString>("result");
    QTest::addRow("none left out") << "a-a-a"
                                   << "a" << false << QList<qsizetype>{} << "x-x-x";
    QTest::addRow("the middle one") << "a-a-a"
                                    << "a" << false << QList<qsizetype>{2} << "x-a-x";
    QTest::addRow("all") << "a-a"
                         << "a" << false << QList<qsizetype>{0, 2} << "a-a";
    // A fuzzy whole word is told on the text as replaced so far: a match left
    // out keeps the original character in front of the next one.
    QTest::addRow("fuzzy whole word after one left out")
        << "ab.ab."
        << "ab|." << true << QList<qsizetype>{0} << "ab.x";
}

void TestReplacer::replacesOnlyAcceptedMatches()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(bool, whole);
    QFETCH(QList<qsizetype>, leftOut);
    const QStringList parts = find.split(QLatin1Char('|'));
    const PlainMatcher plain(find, true, whole);
    const FuzzyMatcher fuzzy(parts.value(0), parts.value(1), true, whole);
    const Matcher &matcher = parts.size() == 2 ? static_cast<const Matcher &>(fuzzy) : plain;
    QList<TextChange> changes;
    const ReplaceScope scope{[&](const TextMatch &m) { return !leftOut.contains(m.position); },
                             &changes};
    const ReplaceResult r = replaceAll(text, matcher, QStringLiteral("x"), scope);
    QTEST(r.text, "result");
    QCOMPARE(r.replacements, changes.size());
    QCOMPARE(rebuilt(text, r.text, changes), r.text);
}

QTEST_GUILESS_MAIN(TestReplacer)
#include "tst_replacer.moc"
