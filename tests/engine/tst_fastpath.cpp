#include "engine/FindRun.h"
#include "engine/ReadAhead.h"
#include "engine/ReplaceRun.h"
#include "engine/RunReplacement.h"
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
    void fastEqualsOrdinaryPath_data();
    void fastEqualsOrdinaryPath();
    void inPlaceRewriteEqualsBuilding_data();
    void inPlaceRewriteEqualsBuilding();
    void cleanup()
    {
        RunSupport::setPrefilterEnabledForTesting(true);
        ReadAhead::setWorkersForTesting(0);
    }

private:
    static void buildTree(const TempTree &tree, quint32 seed);
    static QStringList run(bool prefilter);
};

void TestFastPath::buildTree(const TempTree &tree, quint32 seed)
{
    if (seed == 0) {
        // The walk ends on a file it passes over: the buffer must still end on it.
        tree.write(QStringLiteral("top/f0.txt"), "a needle");
        tree.write(QStringLiteral("top/sub/g.txt"), "nothing");
        return;
    }
    const QString alphabet = QStringLiteral("abcdeilnsBDEILNS  _.\r\n\t\u0131\u017F\u00E9\u20AC");
    const QStringList plants{QStringLiteral("needle"),    QStringLiteral("NeEdLe"),
                             QStringLiteral("needles"),   QStringLiteral("Line"),
                             QStringLiteral("\u0131s"),   QStringLiteral("li\u017Fe"),
                             QStringLiteral("\U0001F600")};
    QRandomGenerator random(seed);
    for (int i = 0; i < 120; ++i) {
        QString text;
        for (int length = int(random.bounded(200)); text.size() < length;) {
            if (random.bounded(10) == 0)
                text += plants.at(int(random.bounded(plants.size())));
            else
                text += alphabet.at(int(random.bounded(alphabet.size())));
        }
        QByteArray bytes =
            TextCodec::encode(text, TextEncoding(random.bounded(5))).value_or(text.toUtf8());
        if (i % 17 == 0)
            bytes += char(0xFF);  // not valid in any encoding but the single-byte one
        static const char *const folders[] = {"top", "top/a", "top/a/b", "top/c"};
        tree.write(QLatin1String(folders[i % 4]) + QStringLiteral("/f%1.txt").arg(i), bytes);
    }
}

void TestFastPath::fastEqualsOrdinaryPath_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<quint32>("tree");
    for (bool replace : {false, true}) {
        const char *run = replace ? "replace" : "find";
        const auto row = [&](const char *name, const char *find, bool matchCase = false,
                             bool wholeWord = false, quint32 tree = 7) {
            QTest::addRow("%s, %s", run, name)
                << replace << QString::fromUtf8(find) << matchCase << wholeWord << tree;
        };
        row("any case", "needle");
        row("case", "needle", true);
        row("whole word", "Needle", false, true);
        row("s and i rise from foreign letters", "is");
        row("found nowhere", "neverpresent");
        row("line break", "e\nd");
        row("last file passed over", "needle", false, false, 0);
    }
}

// Everything a run leaves behind, one labelled line each, with the tree's root hidden.
QStringList TestFastPath::run(bool prefilter)
{
    QFETCH(bool, replace);
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
    replace ? runReplace(h.ctx) : startFind(h.ctx);

    QStringList o{
        QStringLiteral("list=") + h.viewer.list.join(u'|'),
        QStringLiteral("report=") + h.ctx.state.reportBody,
        QStringLiteral("pos=") + h.viewer.posLabel + u'|' + h.viewer.newPos,
        QStringLiteral("count=") + h.viewer.countLabel,
        QStringLiteral("buffer=") + h.viewer.document.fileName() + u'|' + h.viewer.document.text(),
        QStringLiteral("caption=") + h.viewer.caption,
        QStringLiteral("numbers=%1 %2 %3")
            .arg(h.ctx.state.totalReplacements)
            .arg(h.ctx.state.modifiedFileCount)
            .arg(h.ctx.state.foundPosition),
        QStringLiteral("dialogs=") + h.dialogs.titles().join(u'|')};
    // Then every file's bytes, in a fixed order.
    for (QDirIterator it(t.path(QStringLiteral("top")), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        o << path + u'=' + QString::fromLatin1(t.read(path.mid(t.path().size() + 1)).toHex());
    }
    std::sort(o.begin() + 7, o.end());
    return o.replaceInStrings(t.path(), QStringLiteral("<root>"));
}

void TestFastPath::fastEqualsOrdinaryPath()
{
    const QStringList slow = run(false);
    // Whichever worker reads a file, the run takes the files in the walk's order.
    for (int workers : {1, 4}) {
        ReadAhead::setWorkersForTesting(workers);
        QCOMPARE(run(true), slow);
    }
    // The tree must give the run something to find and something to pass over.
    if (!QByteArray(QTest::currentDataTag()).contains("nowhere"))
        QVERIFY(slow.first() != QLatin1String("list="));
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
    auto randomText = [&](int length) {
        QString text;
        while (text.size() < length) text += QStringLiteral("abAB").at(int(random.bounded(4)));
        return text;
    };
    FakeRunHost h;
    h.request.caseSensitive = matchCase;
    auto outcome = [&h](const QString &text) {
        return QStringList{text, h.viewer.list.join(u'|'),
                           QString::number(h.ctx.state.totalReplacements),
                           QString::number(h.ctx.state.fileReplacements)};
    };
    for (int round = 0; round < 500; ++round) {
        const QString text = randomText(int(random.bounded(31)));
        const QString keyword = randomText(1 + int(random.bounded(2)));
        const QString replacement = randomText(replacementLength);
        h.viewer.list.clear();
        h.ctx.state.totalReplacements = 0;
        const QStringList built = outcome(replaceAndCount(h.taken(), text, keyword, replacement));
        h.viewer.list.clear();
        h.ctx.state.totalReplacements = 0;
        h.viewer.document.setText(QString(text.constData(), text.size()));
        replaceInBuffer(h.ctx, keyword, replacement);
        QCOMPARE(outcome(h.viewer.document.text()), built);
    }
}

QTEST_GUILESS_MAIN(TestFastPath)
#include "tst_fastpath.moc"
