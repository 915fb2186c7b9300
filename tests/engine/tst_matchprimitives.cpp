#include "support/FakeRunHost.h"

#include "engine/MatchPrimitives.h"

#include <QtTest>

class TestMatchPrimitives : public QObject {
    Q_OBJECT

private slots:
    void optionsFollowTheBoxes_data();
    void optionsFollowTheBoxes();
    void normalFindsFromStart_data();
    void normalFindsFromStart();
    void fuzzy_data();
    void fuzzy();
    void fuzzyCaseSensitiveFirstPartOnly();
    void stopReturnsZero();
};

void TestMatchPrimitives::optionsFollowTheBoxes_data()
{
    QTest::addColumn<bool>("sensitive");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("options");
    QTest::addRow("neither: left out") << false << false << 0;
    QTest::addRow("case") << true << false << 4;
    QTest::addRow("whole") << false << true << 2;
    QTest::addRow("both") << true << true << 6;
}

void TestMatchPrimitives::optionsFollowTheBoxes()
{
    QFETCH(bool, sensitive);
    QFETCH(bool, whole);
    FakeRequest r;
    r.caseSensitive = sensitive;
    r.wholeWord = whole;
    QTEST(findOptions(RunRequest::termsOf(r)), "options");
}

void TestMatchPrimitives::normalFindsFromStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("sensitive");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("found");
    QTest::addColumn<int>("nextStart");
    QTest::addRow("match at 0 is a match") << "cat dog"
                                           << "cat" << false << false << 0 << 0 << 3;
    QTest::addRow("any case") << "a CAT"
                              << "cat" << false << false << 0 << 2 << 5;
    QTest::addRow("case sensitive misses") << "a CAT"
                                           << "cat" << true << false << 0 << -1 << 0;
    QTest::addRow("whole word skips inside") << "cats cat"
                                             << "cat" << false << true << 0 << 5 << 8;
    QTest::addRow("from a start") << "cat cat"
                                  << "cat" << false << false << 1 << 4 << 7;
    QTest::addRow("nothing") << "dog"
                             << "cat" << false << false << 0 << -1 << 0;
}

void TestMatchPrimitives::normalFindsFromStart()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    FakeRunHost h;
    QFETCH(QString, find);
    h.request.find = find;
    QFETCH(bool, sensitive);
    QFETCH(bool, whole);
    h.request.caseSensitive = sensitive;
    h.request.wholeWord = whole;
    h.viewer.document.setText(text);

    qint32 s = start;
    const qint32 result = findInBuffer(h.taken(), s);
    QTEST(int(result), "found");
    QTEST(int(s), "nextStart");
    QCOMPARE(h.ctx.state.foundPosition, result);
    QCOMPARE(h.viewer.posLabel,
             QString::number(result) + QStringLiteral(" of ") + QString::number(text.size()));
    QCOMPARE(h.viewer.newPos, QString::number(s));
    if (result >= 0)
        QCOMPARE(h.viewer.document.selectedText().toUpper(), find.toUpper());
    QCOMPARE(h.main.yields, 2);
}

void TestMatchPrimitives::fuzzy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("found");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("nextStart");
    QTest::addRow("first match") << "a[1]c[2]" << 0 << 1 << "[1]" << 4;
    QTest::addRow("from a start") << "a[1]c[2]" << 4 << 5 << "[2]" << 8;
    QTest::addRow("at 0") << "[x]" << 0 << 0 << "[x]" << 3;
    QTest::addRow("nearest second part") << "[a]b]c]" << 0 << 0 << "[a]" << 3;
    QTest::addRow("across lines") << "x[\r\nline\n]y" << 0 << 1 << "[\r\nline\n]" << 10;
    QTest::addRow("second only before first") << "]x[" << 0 << -1 << "" << 0;
    QTest::addRow("no second part") << "[abc" << 0 << -1 << "" << 0;
}

void TestMatchPrimitives::fuzzy()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    FakeRunHost h;
    h.request.fuzzy = true;
    h.request.first = QStringLiteral("[");
    h.request.second = QStringLiteral("]");
    h.viewer.document.setText(text);

    qint32 s = start;
    const qint32 result = findFuzzyInBuffer(h.taken(), s);
    QTEST(int(result), "found");
    QTEST(int(s), "nextStart");
    if (result >= 0)
        QTEST(h.viewer.document.selectedText(), "selected");
    else
        QCOMPARE(h.viewer.posLabel, QStringLiteral("-1 of ") + QString::number(text.size()));
    QCOMPARE(h.ctx.state.firstPart, QStringLiteral("["));
    QCOMPARE(h.ctx.state.secondPart, QStringLiteral("]"));
}

void TestMatchPrimitives::fuzzyCaseSensitiveFirstPartOnly()
{
    FakeRunHost h;
    h.request.fuzzy = true;
    h.request.caseSensitive = true;
    h.request.first = QStringLiteral("Begin");
    h.request.second = QStringLiteral("END");
    h.viewer.document.setText(QStringLiteral("begin x end Begin y end"));
    qint32 s = 0;
    QCOMPARE(findFuzzyInBuffer(h.taken(), s), 12);
    QCOMPARE(h.viewer.document.selectedText(), QStringLiteral("Begin y end"));
}

void TestMatchPrimitives::stopReturnsZero()
{
    for (const int stopAtYield : {1, 2}) {
        for (const bool fuzzy : {false, true}) {
            FakeRunHost h;
            h.request.fuzzy = fuzzy;
            h.request.find = QStringLiteral("zzz");
            h.request.first = QStringLiteral("zzz");
            h.request.second = QStringLiteral("y");
            h.viewer.document.setText(QStringLiteral("abc"));
            h.main.onYield = [&] {
                if (h.main.yields == stopAtYield)
                    h.ctx.state.stopRequested = true;
            };
            qint32 s = 0;
            const qint32 r = fuzzy ? findFuzzyInBuffer(h.taken(), s) : findInBuffer(h.taken(), s);
            QCOMPARE(r, 0);
            QVERIFY(h.ctx.state.stopRequested);
        }
    }
}

QTEST_GUILESS_MAIN(TestMatchPrimitives)
#include "tst_matchprimitives.moc"
