#include "engine/PlainMatcher.h"
#include "engine/PreviewResult.h"
#include "support/TempTree.h"

#include <QtTest>

class TestPreviewResult : public QObject {
    Q_OBJECT

private slots:
    void showsReplacementInItsLines_data();
    void showsReplacementInItsLines();
    void countsAndHandsOverTicks();
};

namespace {
// Previews one file as a run would: its text replaced, nothing written.
void preview(PreviewResult &result, const Matcher &matcher, const QString &path,
             const QString &text, const QString &replacement)
{
    QList<TextChange> changes;
    const QString newText = replaceAll(text, matcher, replacement, {{}, &changes}).text;
    result.filePreviewed({path, {}, TextEncoding::Utf8, text, newText, changes});
}
}  // namespace

void TestPreviewResult::showsReplacementInItsLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("replacement");
    // line | before | head | old | new | tail | after
    QTest::addColumn<QString>("expected");
    QTest::addRow("middle line") << QByteArray("one\ntwo cat here\nthree\n") << "cat" << 0
                                 << "2|one|two |cat|dog| here|three";
    QTest::addRow("first line, CR LF")
        << QByteArray("a cat\r\nb\r\n") << "cat" << 0 << "1||a |cat|dog||b";
    QTest::addRow("second on the line, no final line end")
        << QByteArray("x\ncat cat") << "cat" << 1 << "2|x|cat |cat|dog||";
    QTest::addRow("across a line end, CR")
        << QByteArray("0\rend\rcat\r9") << "end\ncat" << 0 << "2|0||end\rcat|dog||9";
}

void TestPreviewResult::showsReplacementInItsLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, find);
    QFETCH(int, replacement);
    QFETCH(QString, expected);
    TempTree t;
    const QString path = t.write(QStringLiteral("f.txt"), file);
    auto matcher = std::make_shared<PlainMatcher>(find, true, false);
    PreviewResult result(matcher, QStringLiteral("dog"));
    preview(result, *matcher, path, QString::fromUtf8(file), QStringLiteral("dog"));
    const PreviewResult::Context c = result.context(0, replacement);
    QCOMPARE(QStringList({QString::number(c.line), c.lineBefore, c.head, c.oldText, c.newText,
                          c.tail, c.lineAfter})
                 .join(QLatin1Char('|')),
             expected);
    // A file changed since it was previewed shows no stale context.
    t.write(QStringLiteral("f.txt"), "no match left\n");
    PreviewResult fresh(matcher, QStringLiteral("dog"));
    preview(fresh, *matcher, path, QString::fromUtf8(file), QStringLiteral("dog"));
    QVERIFY(fresh.context(0, replacement).changed);
}

void TestPreviewResult::countsAndHandsOverTicks()
{
    const PlainMatcher matcher(QStringLiteral("a"), true, false);
    PreviewResult result(std::make_shared<PlainMatcher>(matcher), QStringLiteral("b"));
    preview(result, matcher, QStringLiteral("/one"), QStringLiteral("a-a-a"), QStringLiteral("b"));
    preview(result, matcher, QStringLiteral("/none"), QStringLiteral("xyz"), QStringLiteral("b"));
    preview(result, matcher, QStringLiteral("/two"), QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(result.fileCount(), 2);  // a file without replacements is not listed
    QCOMPARE(result.replacementTotal(), 4);
    result.setTicked(0, 1, false);
    result.setTicked(0, 1, false);  // twice counts once
    result.setFileTicked(1, false);
    QCOMPARE(result.tickedFileCount(), 1);
    QCOMPARE(result.tickedReplacementCount(), 2);
    QCOMPARE(result.tickedIn(0), 2);
    const TickedReplacements ticked = result.ticked();
    QCOMPARE(ticked.files.size(), 1);
    QCOMPARE(ticked.files[0].path, QStringLiteral("/one"));
    QCOMPARE(ticked.files[0].positions, (QSet<qsizetype>{0, 4}));
    result.setFileTicked(0, false);
    QCOMPARE(result.tickedFileCount(), 0);
    QVERIFY(result.ticked().files.isEmpty());
}

QTEST_GUILESS_MAIN(TestPreviewResult)
#include "tst_previewresult.moc"
