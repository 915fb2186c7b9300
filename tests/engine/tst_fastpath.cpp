#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunSupport.h"
#include "platform/TextCodec.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QtTest>

// Runs that pass files over by their bytes must end exactly as runs that load
// every file: same files found, counts, positions, buffer, report and bytes
// written, on random trees that hold every encoding.
class TestFastPath : public QObject {
    Q_OBJECT

private slots:
    void findEqualsOrdinaryPath_data();
    void findEqualsOrdinaryPath();
    void replaceEqualsOrdinaryPath_data();
    void replaceEqualsOrdinaryPath();
    void inPlaceRewriteEqualsBuilding_data();
    void inPlaceRewriteEqualsBuilding();
    void cleanup() { RunSupport::setPrefilterEnabledForTesting(true); }

private:
    struct Outcome {
        QStringList list, files;
        QString report, posLabel, newPos, countLabel, bufferName, bufferText, caption;
        qint32 total = 0, modified = 0, found = 0;
        QStringList titles;
    };
    static void addRows();
    static void buildTree(const TempTree &tree, quint32 seed);
    static Outcome run(bool prefilter, bool replace);
};

namespace {
const QString kAlphabet = QStringLiteral("abcdeilnsBDEILNS  _.\r\n\t") + QChar(0x131) +
                          QChar(0x17F) + QChar(0xE9) + QChar(0x20AC) + QStringLiteral("\U0001F600");

QString relativeTo(const QString &root, QString text)
{
    return text.replace(root, QStringLiteral("<root>"));
}
}  // namespace

void TestFastPath::buildTree(const TempTree &tree, quint32 seed)
{
    if (seed == 0) {
        // The walk ends on a file it passes over: the buffer must still end on it.
        tree.write(QStringLiteral("top/f0.txt"), "a needle");
        tree.write(QStringLiteral("top/sub/g.txt"), "nothing");
        return;
    }
    QRandomGenerator random(seed);
    const QStringList plants{QStringLiteral("needle"),  QStringLiteral("NeEdLe"),
                             QStringLiteral("needles"), QStringLiteral("Line"),
                             QStringLiteral("\u0131s"), QStringLiteral("li\u017Fe")};
    for (int i = 0; i < 120; ++i) {
        QString text;
        const int length = int(random.bounded(200));
        while (text.size() < length) {
            if (random.bounded(10) == 0) {
                text += plants.at(int(random.bounded(plants.size())));
            } else {
                const int k = int(random.bounded(kAlphabet.size()));
                text += kAlphabet.at(k);
                if (kAlphabet.at(k).isHighSurrogate())
                    text += kAlphabet.at(k + 1);
            }
        }
        const auto encoding = TextEncoding(random.bounded(5));
        QByteArray bytes = TextCodec::encode(text, encoding).value_or(text.toUtf8());
        if (i % 17 == 0)
            bytes += char(0xFF);  // not valid in any encoding but the single-byte one
        const QString folder = QStringList{QStringLiteral("top"), QStringLiteral("top/a"),
                                           QStringLiteral("top/a/b"), QStringLiteral("top/c")}
                                   .at(i % 4);
        tree.write(folder + QStringLiteral("/f%1.txt").arg(i), bytes);
    }
}

void TestFastPath::addRows()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<quint32>("tree");
    QTest::addRow("any case") << QStringLiteral("needle") << false << false << 7u;
    QTest::addRow("case") << QStringLiteral("needle") << true << false << 7u;
    QTest::addRow("whole word") << QStringLiteral("Needle") << false << true << 7u;
    QTest::addRow("s and i rise from foreign letters")
        << QStringLiteral("is") << false << false << 7u;
    QTest::addRow("found nowhere") << QStringLiteral("neverpresent") << false << false << 7u;
    QTest::addRow("line break") << QStringLiteral("e\nd") << false << false << 7u;
    QTest::addRow("last file passed over") << QStringLiteral("needle") << false << false << 0u;
}

void TestFastPath::findEqualsOrdinaryPath_data()
{
    addRows();
}

void TestFastPath::replaceEqualsOrdinaryPath_data()
{
    addRows();
}

TestFastPath::Outcome TestFastPath::run(bool prefilter, bool replace)
{
    QFETCH(QString, find);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(quint32, tree);
    RunSupport::setPrefilterEnabledForTesting(prefilter);
    const TempTree t;
    buildTree(t, tree);
    FakeRunHost h;
    h.request.find = find;
    h.request.replace = QStringLiteral("pin");
    h.request.caseSensitive = matchCase;
    h.request.wholeWord = wholeWord;
    h.request.subdirectories = true;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles(
        {QStringLiteral("f0.txt"), QStringLiteral("f4.txt"), QStringLiteral("f8.txt")}, true);
    h.request.selected[1] = false;
    if (replace)
        cmdReplace_Click(h.ctx);
    else
        cmdFind_Click(h.ctx);

    const QString root = t.path();
    Outcome o;
    for (const QString &path : h.viewer.list) o.list << relativeTo(root, path);
    QDirIterator it(root + QStringLiteral("/top"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        o.files << relativeTo(root, path) + QLatin1Char('=') +
                       QString::fromLatin1(t.read(path.mid(root.size() + 1)).toHex());
    }
    o.files.sort();
    o.report = relativeTo(root, h.ctx.state.ReportBody);
    o.posLabel = h.viewer.posLabel;
    o.newPos = h.viewer.newPos;
    o.countLabel = h.viewer.countLabel;
    o.bufferName = relativeTo(root, h.viewer.buffer.FileName());
    o.bufferText = h.viewer.buffer.Text();
    o.caption = relativeTo(root, h.viewer.caption);
    o.total = h.ctx.state.TotalReplacements;
    o.modified = h.ctx.state.ModifiedFileCount;
    o.found = h.ctx.state.FoundPosition;
    o.titles = h.dialogs.titles();
    return o;
}

#define COMPARE_OUTCOMES(fast, slow)                \
    do {                                            \
        QCOMPARE(fast.list, slow.list);             \
        QCOMPARE(fast.files, slow.files);           \
        QCOMPARE(fast.report, slow.report);         \
        QCOMPARE(fast.posLabel, slow.posLabel);     \
        QCOMPARE(fast.newPos, slow.newPos);         \
        QCOMPARE(fast.countLabel, slow.countLabel); \
        QCOMPARE(fast.bufferName, slow.bufferName); \
        QCOMPARE(fast.bufferText, slow.bufferText); \
        QCOMPARE(fast.caption, slow.caption);       \
        QCOMPARE(fast.total, slow.total);           \
        QCOMPARE(fast.modified, slow.modified);     \
        QCOMPARE(fast.found, slow.found);           \
        QCOMPARE(fast.titles, slow.titles);         \
    } while (false)

void TestFastPath::findEqualsOrdinaryPath()
{
    const Outcome slow = run(false, false);
    const Outcome fast = run(true, false);
    COMPARE_OUTCOMES(fast, slow);
    // The tree must give the search something to find and something to pass over.
    QFETCH(QString, find);
    if (find != QLatin1String("neverpresent"))
        QVERIFY(!slow.list.isEmpty());
}

void TestFastPath::replaceEqualsOrdinaryPath()
{
    const Outcome slow = run(false, true);
    const Outcome fast = run(true, true);
    COMPARE_OUTCOMES(fast, slow);
}

void TestFastPath::inPlaceRewriteEqualsBuilding_data()
{
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("replacementLength");
    for (int length = 0; length <= 4; ++length) {
        QTest::addRow("any case, replacement of %d", length) << false << length;
        QTest::addRow("case, replacement of %d", length) << true << length;
    }
}

void TestFastPath::inPlaceRewriteEqualsBuilding()
{
    // The text a buffer alone holds is rewritten where it lies; the result,
    // counts and listing must be those of building the new text beside it.
    QFETCH(bool, matchCase);
    QFETCH(int, replacementLength);
    QRandomGenerator random(quint32(replacementLength + 10 * matchCase));
    auto randomText = [&](int maxLength) {
        QString text;
        for (int i = int(random.bounded(maxLength + 1)); i > 0; --i)
            text += QStringLiteral("abAB").at(int(random.bounded(4)));
        return text;
    };
    FakeRunHost h;
    h.request.caseSensitive = matchCase;
    for (int round = 0; round < 500; ++round) {
        const QString text = randomText(30);
        QString keyword = randomText(2);
        if (keyword.isEmpty())
            keyword = QStringLiteral("a");
        QString replacement = randomText(replacementLength).left(replacementLength);
        while (replacement.size() < replacementLength) replacement += u'a';

        h.viewer.list.clear();
        h.ctx.state.TotalReplacements = 0;
        const QString built = replaceString(h.ctx, text, keyword, replacement);
        const QStringList builtList = h.viewer.list;
        const qint32 builtTotal = h.ctx.state.TotalReplacements;
        const qint32 builtCount = h.ctx.state.FileReplacements;

        h.viewer.list.clear();
        h.ctx.state.TotalReplacements = 0;
        h.viewer.buffer.setText(QString(text.constData(), text.size()));
        replaceInBuffer(h.ctx, keyword, replacement);
        QCOMPARE(h.viewer.buffer.Text(), built);
        QCOMPARE(h.viewer.list, builtList);
        QCOMPARE(h.ctx.state.TotalReplacements, builtTotal);
        QCOMPARE(h.ctx.state.FileReplacements, builtCount);
    }
}

QTEST_GUILESS_MAIN(TestFastPath)
#include "tst_fastpath.moc"
