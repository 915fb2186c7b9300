#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/PlainMatcher.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "engine/ReadAhead.h"
#include "engine/ReplaceRun.h"
#include "engine/RunReplacement.h"
#include "engine/RunSupport.h"
#include "platform/Clock.h"
#include "platform/FolderHandle.h"
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
    void listingAheadEqualsFolderByFolder_data();
    void listingAheadEqualsFolderByFolder();
    void cleanup()
    {
        RunSupport::setPrefilterEnabledForTesting(true);
        ReadAhead::setWorkersForTesting(0);
        FileSystem::setBeforeOpenHookForTesting({});
        Clock::setNowForTesting(nullptr);
    }

private:
    static void buildTree(const TempTree &tree, quint32 seed);
    static QStringList run(bool prefilter);
    static QStringList walkManyFolders(bool prefilter);
    static QStringList treeBytes(const TempTree &t);
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
    o << treeBytes(t);
    return o.replaceInStrings(t.path(), QStringLiteral("<root>"));
}

// Every file's bytes below top, in a fixed order.
QStringList TestFastPath::treeBytes(const TempTree &t)
{
    QStringList files;
    for (QDirIterator it(t.path(QStringLiteral("top")), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        files << path + u'=' + QString::fromLatin1(t.read(path.mid(t.path().size() + 1)).toHex());
    }
    files.sort();
    return files;
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

void TestFastPath::listingAheadEqualsFolderByFolder_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("stopAfterFailure");
    for (const char *command : {"preview", "undo", "replace"}) {
        QTest::addRow("%s", command) << QString::fromLatin1(command) << false;
        QTest::addRow("%s, stopped after a failure", command)
            << QString::fromLatin1(command) << true;
    }
}

// The run over many small folders, with a folder and two files that turn into
// links as the walk opens them; everything it leaves behind, one line each.
QStringList TestFastPath::walkManyFolders(bool prefilter)
{
    QFETCH(QString, command);
    QFETCH(bool, stopAfterFailure);
    RunSupport::setPrefilterEnabledForTesting(prefilter);
    Clock::setNowForTesting([] { return QDateTime(QDate(2026, 5, 1), QTime(10, 0, 0)); });
    const TempTree t;
    for (int folder = 0; folder < 22; ++folder) {
        const QString dir = QStringLiteral("top/d%1/%2")
                                .arg(folder, 2, 10, QLatin1Char('0'))
                                .arg(folder % 8 == 7 ? "in/" : "");
        for (int file = 0; file < 30; ++file)
            t.write(dir + QStringLiteral("f%1.txt").arg(file),
                    file % 3 ? "a cat, a dog" : "dog cat cat");
    }
    for (const char *name : {"top/a.txt", "top/b.txt", "top/.c.txt", "outside/z.txt"})
        t.write(QLatin1String(name), "cat dog");
    // Told binary by the workers, or by the run itself: passed over alike.
    t.write(QStringLiteral("top/d03/binary.txt"), QByteArray("cat\0dog cat", 11));
    QFile::link(t.path(QStringLiteral("outside/z.txt")), t.path(QStringLiteral("top/link.txt")));
    const QSet<QString> victims{t.path(QStringLiteral("top/d05")),
                                t.path(QStringLiteral("top/d10/f4.txt")),
                                t.path(QStringLiteral("top/d20/f7.txt"))};
    FileSystem::setBeforeOpenHookForTesting([victims, &t](const QString &path) {
        if (!victims.contains(path) || QFileInfo(path).isSymLink())
            return;
        QFile::rename(path, t.path(QStringLiteral("outside/") + QFileInfo(path).fileName()));
        QFile::link(t.path(QStringLiteral("outside/z.txt")), path);
    });
    FakeRunHost h;
    h.request.find = QStringLiteral("cat");
    h.request.replace = QStringLiteral("dog");
    h.request.subdirectories = true;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.setFiles(
        {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("link.txt")}, true);
    h.request.selected[1] = false;
    h.main.onYield = [&] {
        if (stopAfterFailure && h.ctx.state.passedOverCount > 0)
            h.ctx.requestStop();
    };
    PreviewResult previewed(std::make_shared<PlainMatcher>(h.request.find, false, false),
                            h.request.replace);
    if (command == u"preview")
        PreviewRun::preview(h.ctx, previewed);
    else
        command == u"undo" ? runUndo(h.ctx) : runReplace(h.ctx);
    FileSystem::setBeforeOpenHookForTesting({});
    // A walk that lists ahead opens them sooner, also when a stop comes first.
    for (const QString &path : victims) {
        if (QFileInfo(path).isSymLink() && QFile::remove(path))
            QFile::rename(t.path(QStringLiteral("outside/") + QFileInfo(path).fileName()), path);
    }

    QStringList o = h.events.events;
    o << QStringLiteral("list=") + h.viewer.list.join(u'|')
      << QStringLiteral("report=") + h.ctx.state.reportBody
      << QStringLiteral("numbers=%1 %2")
             .arg(h.ctx.state.totalReplacements)
             .arg(h.ctx.state.modifiedFileCount)
      << QStringLiteral("dialogs=") + h.dialogs.titles().join(u'|');
    for (const QByteArray &line : t.read(QStringLiteral("app/ErrorLog.log")).split('\n')) {
        if (line.contains("Description"))
            o << QString::fromUtf8(line);
    }
    // Where a stop lands; a save's flush yields for as long as the disk takes.
    if (command == u"preview")
        o << QStringLiteral("yields=%1").arg(h.main.yields);
    for (int i = 0; i < previewed.fileCount(); ++i) {
        QString line = QStringLiteral("previewed ") + previewed.path(i);
        for (int r = 0; r < previewed.replacementCount(i); ++r) {
            const TextChange &c = previewed.change(i, r);
            line += QStringLiteral(" %1+%2>%3+%4")
                        .arg(c.oldPosition)
                        .arg(c.oldLength)
                        .arg(c.newPosition)
                        .arg(c.newLength);
        }
        o << line;
    }
    o << treeBytes(t);
    return o.replaceInStrings(t.path(), QStringLiteral("<root>"));
}

void TestFastPath::listingAheadEqualsFolderByFolder()
{
    // Without the prefilter nothing is read ahead, and the walk replaces each
    // folder as it lists it; with it, the walk lists folders ahead of the run.
    const QStringList folderByFolder = walkManyFolders(false);
    for (int workers : {1, 4}) {
        ReadAhead::setWorkersForTesting(workers);
        QCOMPARE(walkManyFolders(true), folderByFolder);
    }
    // Three failures; a stop after the first leaves the others untold.
    QFETCH(bool, stopAfterFailure);
    QCOMPARE(folderByFolder.filter(QStringLiteral("Description")).size(), stopAfterFailure ? 1 : 3);
    if (!stopAfterFailure)
        QVERIFY(folderByFolder.filter(QStringLiteral("fileSearched")).size() > 600);
}

QTEST_GUILESS_MAIN(TestFastPath)
#include "tst_fastpath.moc"
