#include "backup/RestoreRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunStore.h"
#include "platform/KeptFiles.h"
#include "settings/SettingsStore.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Replace runs as the window makes them, then Restore: the tree as it was
// before, byte for byte and mode for mode, except what Restore must not touch.
class tst_RestoreRun : public QObject {
    Q_OBJECT

private slots:
    void restoresRuns_data();
    void restoresRuns();
    void reportTotalsAreFigures_data();
    void reportTotalsAreFigures();
    void journalIsReadOnlyAsFarAsItIsWhole_data();
    void journalIsReadOnlyAsFarAsItIsWhole();
};

namespace {

const QStringList kFiles = {QStringLiteral("a.txt"), QStringLiteral("sub/b.txt"),
                            QStringLiteral("sub/deeper/c.txt"), QStringLiteral("none.txt")};

struct Snapshot {
    QMap<QString, QByteArray> bytes;
    QMap<QString, mode_t> modes;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const TempTree &t)
{
    Snapshot s;
    for (const QString &f : kFiles) {
        struct stat st {};
        if (::lstat(QFile::encodeName(t.path(QStringLiteral("tree/") + f)).constData(), &st) == 0)
            s.modes.insert(f, st.st_mode);
        s.bytes.insert(f, t.read(QStringLiteral("tree/") + f));
    }
    return s;
}

void replace(const TempTree &t, const QString &find, const QString &with,
             const std::function<void(FakeRunHost &)> &setUp = {})
{
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("tree/"));
    h.request.subdirectories = true;
    h.request.setFiles({QStringLiteral("a.txt"), QStringLiteral("none.txt")}, true);
    h.request.find = find;
    h.request.replace = with;
    if (setUp)
        setUp(h);
    runReplace(h.ctx);
}

// The only journal in the store (the test makes one run before tampering).
QString journalOf(const TempTree &t)
{
    const QList<RunStore::RunInfo> runs = RunStore::list();
    return runs.isEmpty() ? QString()
                          : t.path(QStringLiteral("app/Restore/")) + runs.first().id +
                                QStringLiteral(".journal");
}

void rewriteJournal(const TempTree &t, const QByteArray &from, const QByteArray &to)
{
    QFile f(journalOf(t));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    QVERIFY(bytes.contains(from));
    bytes.replace(from, to);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

void tst_RestoreRun::restoresRuns_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("restores");  // how many times Restore runs
    // Files Restore names and leaves as they are.
    QTest::addColumn<QStringList>("passedOver");
    QTest::addColumn<bool>("problem");   // a record it cannot fully trust
    QTest::addColumn<bool>("pristine");  // the tree as before the first run
    const QStringList none;
    QTest::newRow("one run") << "one" << 1 << none << false << true;
    QTest::newRow("two runs, restored in turn") << "two" << 2 << none << false << true;
    QTest::newRow("two runs, originals copied (another file system)")
        << "copies" << 2 << none << false << true;
    QTest::newRow("two runs of other folders") << "overlap" << 1 << none << false << true;
    QTest::newRow("file edited since") << "edit" << 1 << QStringList{"sub/b.txt"} << false << false;
    QTest::newRow("stopped run") << "stop" << 1 << none << false << true;
    QTest::newRow("file renamed away")
        << "rename" << 1 << QStringList{"sub/b.txt"} << false << false;
    QTest::newRow("entry outside the folder")
        << "outside" << 1 << QStringList{"../victim.txt"} << false << false;
    QTest::newRow("entry by absolute path")
        << "absolute" << 1 << QStringList{"../victim.txt"} << false << false;
    QTest::newRow("folder replaced by a link")
        << "link" << 1 << QStringList{"sub/b.txt", "sub/deeper/c.txt"} << false << false;
    QTest::newRow("record cut short") << "cut" << 1 << none << true << false;
    QTest::newRow("record is a link") << "journal-link" << 1 << none << true << false;
    QTest::newRow("record is a FIFO") << "journal-fifo" << 1 << none << true << false;
    QTest::newRow("store full: the older run dropped") << "full" << 2 << none << false << false;
}

void tst_RestoreRun::restoresRuns()
{
    QFETCH(QString, scenario);
    QFETCH(int, restores);
    QFETCH(QStringList, passedOver);
    QFETCH(bool, problem);
    QFETCH(bool, pristine);
    TempTree t;
    SettingsStore::setStoreFileForTesting(t.path(QStringLiteral("settings.ini")));
    t.write(QStringLiteral("tree/a.txt"), "a cat\r\nand a cat, no final line end");
    t.write(QStringLiteral("tree/sub/b.txt"), "caf\xc3\xa9 cat \x92\n");
    t.write(QStringLiteral("tree/sub/deeper/c.txt"), "cat");
    t.write(QStringLiteral("tree/none.txt"), "no match\n");
    const QByteArray victim("not the run's");
    t.write(QStringLiteral("victim.txt"), victim);
    ::chmod(QFile::encodeName(t.path(QStringLiteral("tree/sub/b.txt"))).constData(), 0640);
    const Snapshot before = snapshot(t);
    KeptFiles::forceCopiesForTesting(scenario == QLatin1String("copies"));

    if (scenario == QLatin1String("full"))
        SettingsStore::writeString(SettingsStore::HKEY_CURRENT_USER,
                                   QStringLiteral("Software\\Scrivlane\\Restore"),
                                   QStringLiteral("SizeMB"), QStringLiteral("0"));
    replace(t, QStringLiteral("cat"), QStringLiteral("dog"), [&](FakeRunHost &h) {
        if (scenario == QLatin1String("stop"))
            h.main.onYield = [&h] { h.ctx.state.stopRequested |= h.events.listed().size() == 2; };
    });
    QCOMPARE(t.read(QStringLiteral("tree/a.txt")).count("dog"), 2);
    if (scenario != QLatin1String("stop"))
        QCOMPARE(t.read(QStringLiteral("tree/sub/deeper/c.txt")), QByteArray("dog"));
    const Snapshot afterFirst = snapshot(t);
    if (scenario == QLatin1String("two") || scenario == QLatin1String("full") ||
        scenario == QLatin1String("copies"))
        replace(t, QStringLiteral("dog"), QStringLiteral("cow"));
    if (scenario == QLatin1String("overlap")) {
        // Another folder's run after this one: restoring this folder takes its own.
        t.write(QStringLiteral("other/x.txt"), "cat");
        FakeRunHost h;
        h.request.folder = t.path(QStringLiteral("other/"));
        h.request.subdirectories = true;
        h.request.setFiles({QStringLiteral("x.txt")}, true);
        h.request.find = QStringLiteral("cat");
        h.request.replace = QStringLiteral("dog");
        runReplace(h.ctx);
        QCOMPARE(t.read(QStringLiteral("other/x.txt")), QByteArray("dog"));
    }
    if (scenario == QLatin1String("edit"))
        t.write(QStringLiteral("tree/sub/b.txt"), "edited");
    if (scenario == QLatin1String("rename"))
        QVERIFY(QFile::rename(t.path(QStringLiteral("tree/sub/b.txt")),
                              t.path(QStringLiteral("tree/sub/z.txt"))));
    if (scenario == QLatin1String("outside"))
        rewriteJournal(t, " a.txt ", " ../victim.txt ");
    if (scenario == QLatin1String("absolute"))
        rewriteJournal(t, " a.txt ",
                       " " + QFile::encodeName(t.path(QStringLiteral("victim.txt"))) + ' ');
    if (scenario == QLatin1String("link")) {
        // The folder now leads out of the tree, to files that look like the run's.
        QVERIFY(QDir().rename(t.path(QStringLiteral("tree/sub")), t.path(QStringLiteral("away"))));
        QVERIFY(QFile::link(t.path(QStringLiteral("away")), t.path(QStringLiteral("tree/sub"))));
    }
    if (scenario == QLatin1String("cut")) {
        QFile f(journalOf(t));
        QVERIFY(f.resize(f.size() - 20));
    }
    if (scenario.startsWith(QLatin1String("journal-"))) {
        const QString journal = journalOf(t);
        QVERIFY(QFile::rename(journal, journal + QStringLiteral(".real")));
        if (scenario == QLatin1String("journal-link"))
            QVERIFY(QFile::link(journal + QStringLiteral(".real"), journal));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(journal).constData(), 0600), 0);
    }
    const Snapshot beforeRestore = snapshot(t);
    const QByteArray awayBefore = t.read(QStringLiteral("away/b.txt"));

    QStringList named;
    bool problems = false;
    for (int i = 0; i < restores; ++i) {
        const QList<RunStore::RunInfo> runs = RunStore::list();
        const RestoreRun::Result result = RestoreRun::restoreLastIn(t.path(QStringLiteral("tree")));
        for (const PassedOverFile &f : result.passedOver)
            named << QDir(t.path(QStringLiteral("tree"))).relativeFilePath(f.path);
        problems = problems || !result.problems.isEmpty();
        if (scenario == QLatin1String("full") && i == 1) {
            // The older run went when the newer one filled the store.
            QVERIFY(!result.found);
            QCOMPARE(runs.size(), 0);
        }
        if (scenario.startsWith(QLatin1String("journal-")))
            QVERIFY(runs.size() == 1 && !runs.first().problem.isEmpty());
    }
    QVERIFY2(named == passedOver, qPrintable(named.join(QLatin1Char('|'))));
    QCOMPARE(problems, problem);
    const Snapshot after = snapshot(t);
    QCOMPARE(after == before, pristine);
    // Nothing outside the run's folder is ever written.
    QCOMPARE(t.read(QStringLiteral("victim.txt")), victim);
    if (scenario == QLatin1String("link"))
        QCOMPARE(t.read(QStringLiteral("away/b.txt")), awayBefore);
    // What Restore passes over stays exactly as it was.
    if (scenario == QLatin1String("edit"))
        QCOMPARE(t.read(QStringLiteral("tree/sub/b.txt")), QByteArray("edited"));
    if (scenario == QLatin1String("rename"))
        QCOMPARE(t.read(QStringLiteral("tree/sub/z.txt")), afterFirst.bytes.value("sub/b.txt"));
    if (scenario == QLatin1String("full"))
        QCOMPARE(after, afterFirst);
    if (scenario.startsWith(QLatin1String("journal-")))
        QCOMPARE(after, beforeRestore);
    if (scenario == QLatin1String("cut")) {
        // The entries before the cut are restored all the same.
        QCOMPARE(after.bytes.value("a.txt"), before.bytes.value("a.txt"));
    }
    SettingsStore::setStoreFileForTesting(QString());
    KeptFiles::forceCopiesForTesting(false);
}

// The report's totals are figures, also when nothing could be restored.
void tst_RestoreRun::reportTotalsAreFigures_data()
{
    QTest::addColumn<int>("restored");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
}

void tst_RestoreRun::reportTotalsAreFigures()
{
    QFETCH(int, restored);
    RestoreRun::Result result;
    result.found = true;
    for (int i = 0; i < restored; ++i)
        result.restored << RestoreRun::RestoredFile{QStringLiteral("/t/a.txt"), 1};
    const QString report =
        RestoreRun::reportText(result, QDateTime::currentDateTime(), QDateTime::currentDateTime());
    QVERIFY(report.contains(QStringLiteral("Restored From Backups")));
    const QString count = QString::number(restored) + QStringLiteral("\r\n");
    QVERIFY(report.contains(QStringLiteral("Total Replacements Made : ") + count));
    QVERIFY(report.contains(QStringLiteral("Total Modified Files    : ") + count));
}

void tst_RestoreRun::journalIsReadOnlyAsFarAsItIsWhole_data()
{
    QTest::addColumn<QByteArray>("tail");  // what follows two whole entries
    QTest::addColumn<int>("entries");      // entries read
    QTest::addColumn<bool>("complete");
    QTest::newRow("ended") << QByteArray("end 2 done\n") << 2 << true;
    QTest::newRow("ended by a stop") << QByteArray("end 2 stopped\n") << 2 << true;
    QTest::newRow("no end: the run was cut short") << QByteArray() << 2 << false;
    QTest::newRow("end line cut") << QByteArray("end 2 do") << 2 << false;
    QTest::newRow("end counts other entries") << QByteArray("end 3 done\n") << 2 << false;
    QTest::newRow("entry cut short") << QByteArray("file 2 0 c.txt 1 5") << 2 << false;
    QTest::newRow("entry in an unknown store")
        << QByteArray("file 2 7 c.txt 1 1 2 3 4 4 5 6 7\nend 3 done\n") << 2 << false;
    QTest::newRow("a damaged line hides what follows")
        << QByteArray("garbage\nfile 2 0 c.txt 1 1 2 3 4 4 5 6 7\nend 3 done\n") << 2 << false;
}

void tst_RestoreRun::journalIsReadOnlyAsFarAsItIsWhole()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, entries);
    QFETCH(bool, complete);
    RunJournal::Header header{QStringLiteral("20261210-120000000-1-1"),
                              QDateTime::currentDateTime(), QStringLiteral("/some folder/with %"),
                              QStringLiteral("cat\tx"), QString()};
    header.started = QDateTime::fromMSecsSinceEpoch(header.started.toMSecsSinceEpoch());
    RunJournal::Entry e;
    e.path = QStringLiteral("sub/name with blanks %.txt");
    e.kept = {1, 2, 3, 4};
    e.written = {1, 5, 6, 7};
    RunJournal::Entry second = e;
    second.number = 1;
    second.path = QStringLiteral("b.txt");
    const QByteArray bytes = RunJournal::headerText(header) +
                             RunJournal::storeLine(0, QStringLiteral("/store")) +
                             RunJournal::entryLine(e) + RunJournal::entryLine(second) + tail;
    const std::optional<RunJournal::Journal> j = RunJournal::parse(bytes);
    QVERIFY(j);
    QCOMPARE(j->header, header);
    QCOMPARE(j->entries.size(), entries);
    QCOMPARE(j->entries.first(), e);
    QCOMPARE(j->complete, complete);
    QVERIFY(!RunJournal::parse(bytes.mid(1)));
}

QTEST_GUILESS_MAIN(tst_RestoreRun)
#include "tst_restorerun.moc"
