#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/ReplaceRun.h"
#include "platform/FileSystem.h"
#include "platform/LoadLimit.h"
#include "support/FakeRunHost.h"
#include "support/TempTree.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What every run leaves alone or does once, whatever the tree holds: hidden
// entries, links, files too large to hold, very deep and very wide folders.
class TestWalkSafety : public QObject {
    Q_OBJECT

private:
    enum class Run { Find, Replace, Undo };

    // Find "cat"; Replace "cat" by "cats"; Undo with the boxes "dog"/"cat",
    // which turns "cat" into "dog". Returns what a changed "cat" file holds.
    static QByteArray run(FakeRunHost &h, Run kind)
    {
        switch (kind) {
        case Run::Find:
            h.request.find = QStringLiteral("cat");
            cmdFind_Click(h.ctx);
            return "cat";
        case Run::Replace:
            h.request.find = QStringLiteral("cat");
            h.request.replace = QStringLiteral("cats");
            cmdReplace_Click(h.ctx);
            return "cats";
        case Run::Undo:
            h.request.find = QStringLiteral("dog");
            h.request.replace = QStringLiteral("cat");
            cmdUndo_Click(h.ctx);
            return "dog";
        }
        return {};
    }
    static void addRuns()
    {
        QTest::addColumn<Run>("kind");
        QTest::addRow("find") << Run::Find;
        QTest::addRow("replace") << Run::Replace;
        QTest::addRow("undo") << Run::Undo;
    }
    static bool messageNames(const FakeRunHost &h, const QString &what)
    {
        for (const ScriptedDialogs::Shown &s : h.dialogs.shown) {
            if (s.text.contains(what))
                return true;
        }
        return false;
    }

private slots:
    void cleanup() { LoadLimit::setMaxFileSizeForTesting(0); }
    void hiddenEntriesAndLinksArePassedOver_data() { addRuns(); }
    void hiddenEntriesAndLinksArePassedOver();
    void oneFileIsChangedOnceWhateverNamesReachIt_data();
    void oneFileIsChangedOnceWhateverNamesReachIt();
    void fileTooLargeIsReportedAndPassedOver_data() { addRuns(); }
    void fileTooLargeIsReportedAndPassedOver();
    void deepTreeIsWalkedAsFarAsPathsReach();
    void wideFolderCostsOnePassOverTheFileList();
};

void TestWalkSafety::hiddenEntriesAndLinksArePassedOver()
{
    QFETCH(Run, kind);
    TempTree t;
    const QByteArray cat("cat");
    for (const char *name : {"top/a.txt", "top/.hidden.txt", "top/.git/config", "top/.git/index",
                             "top/sub/b.txt", "top/sub/.dot.txt", "outside.txt"})
        t.write(QString::fromLatin1(name), cat);
    QVERIFY(QFile::link(t.path(QStringLiteral("top/sub/b.txt")),
                        t.path(QStringLiteral("top/sub/in.txt"))));
    QVERIFY(QFile::link(t.path(QStringLiteral("outside.txt")),
                        t.path(QStringLiteral("top/sub/out.txt"))));
    QVERIFY(QFile::link(t.path(QStringLiteral("top/.git")), t.path(QStringLiteral("top/sub/git"))));
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = true;
    h.request.setFiles({QStringLiteral("a.txt")}, true);  // the file list shows no hidden files

    const QByteArray changed = run(h, kind);

    QCOMPARE(h.viewer.list, QStringList({t.path(QStringLiteral("top/a.txt")),
                                         t.path(QStringLiteral("top/sub/b.txt"))}));
    QCOMPARE(t.read(QStringLiteral("top/a.txt")), changed);
    QCOMPARE(t.read(QStringLiteral("top/sub/b.txt")), changed);
    for (const char *name : {"top/.hidden.txt", "top/.git/config", "top/.git/index",
                             "top/sub/.dot.txt", "outside.txt"})
        QCOMPARE(t.read(QString::fromLatin1(name)), cat);
    QVERIFY(QFileInfo(t.path(QStringLiteral("top/sub/in.txt"))).isSymLink());

    // A hidden folder the user opened is searched like any other.
    FakeRunHost opened;
    opened.request.folder = t.path(QStringLiteral("top/.git"));
    opened.request.subdirectories = true;
    opened.request.setFiles({QStringLiteral("config")}, true);
    run(opened, kind);
    QCOMPARE(opened.viewer.list, QStringList(t.path(QStringLiteral("top/.git/config"))));
    QCOMPARE(t.read(QStringLiteral("top/.git/config")), changed);
}

void TestWalkSafety::oneFileIsChangedOnceWhateverNamesReachIt_data()
{
    QTest::addColumn<Run>("kind");
    QTest::addColumn<bool>("subdirectories");
    QTest::addColumn<bool>("hardLinks");
    QTest::addColumn<int>("changes");
    // A selected link and its selected target, and a second link: one file.
    QTest::addRow("replace, links") << Run::Replace << false << false << 1;
    QTest::addRow("replace, links, walk") << Run::Replace << true << false << 1;
    QTest::addRow("undo, links") << Run::Undo << false << false << 1;
    QTest::addRow("undo, links, walk") << Run::Undo << true << false << 1;
    // Hard links become separate files at the first save, as with sed -i.
    QTest::addRow("replace, hard links") << Run::Replace << false << true << 3;
    QTest::addRow("replace, hard links, walk") << Run::Replace << true << true << 3;
}

void TestWalkSafety::oneFileIsChangedOnceWhateverNamesReachIt()
{
    QFETCH(Run, kind);
    QFETCH(bool, subdirectories);
    QFETCH(bool, hardLinks);
    QFETCH(int, changes);
    TempTree t;
    const QString target = t.write(QStringLiteral("top/t.txt"), "cat");
    for (const QString &name : {QStringLiteral("top/l1.txt"), QStringLiteral("top/l2.txt")}) {
        const QString link = t.path(name);
        QVERIFY(hardLinks ? ::link(QFile::encodeName(target), QFile::encodeName(link)) == 0
                          : QFile::link(target, link));
    }
    FakeRunHost h;
    h.request.folder = t.path(QStringLiteral("top"));
    h.request.subdirectories = subdirectories;
    h.request.backup = true;
    h.backup.root = t.mkdir(QStringLiteral("bk"));
    h.request.setFiles(
        {QStringLiteral("l1.txt"), QStringLiteral("l2.txt"), QStringLiteral("t.txt")}, true);

    const QByteArray changed = run(h, kind);

    QCOMPARE(h.ctx.state.ModifiedFileCount, changes);
    QCOMPARE(h.viewer.list.size(), changes);
    for (const QString &name :
         {QStringLiteral("t.txt"), QStringLiteral("l1.txt"), QStringLiteral("l2.txt")})
        QCOMPARE(t.read(QStringLiteral("top/") + name), changed);
    QCOMPARE(QFileInfo(t.path(QStringLiteral("top/l1.txt"))).isSymLink(), !hardLinks);
    // Whichever name was taken first, its copy holds the original.
    const QDir copies(t.path(QStringLiteral("bk/Backup/top")));
    // Undo copies only inside a walk.
    QCOMPARE(copies.entryList(QDir::Files).size(),
             kind == Run::Replace || subdirectories ? changes : 0);
    for (const QString &name : copies.entryList(QDir::Files))
        QCOMPARE(t.read(QStringLiteral("bk/Backup/top/") + name), QByteArray("cat"));
}

void TestWalkSafety::fileTooLargeIsReportedAndPassedOver()
{
    QFETCH(Run, kind);
    TempTree t;
    t.write(QStringLiteral("top/a.txt"), "cat");
    t.write(QStringLiteral("top/big.txt"), "cat" + QByteArray(100, ' '));
    t.write(QStringLiteral("top/sub/big.txt"), "cat" + QByteArray(100, ' '));
    t.write(QStringLiteral("top/sub/c.txt"), "cat");
    LoadLimit::setMaxFileSizeForTesting(50);

    for (bool subdirectories : {false, true}) {
        FakeRunHost h;
        h.request.folder = t.path(QStringLiteral("top"));
        h.request.subdirectories = subdirectories;
        h.request.setFiles({QStringLiteral("big.txt"), QStringLiteral("a.txt")}, true);
        const QByteArray changed = run(h, kind);
        QVERIFY(messageNames(h, t.path(QStringLiteral("top/big.txt"))));
        QVERIFY(messageNames(h, QStringLiteral("103 bytes")));
        QCOMPARE(t.read(QStringLiteral("top/a.txt")), changed);
        QCOMPARE(t.read(QStringLiteral("top/big.txt")).left(4), QByteArray("cat "));
        if (subdirectories) {
            // The walk goes on past the large file to the rest of the tree.
            QVERIFY(messageNames(h, t.path(QStringLiteral("top/sub/big.txt"))));
            QCOMPARE(t.read(QStringLiteral("top/sub/c.txt")), changed);
        }
        if (kind == Run::Find)
            continue;
        // Put the tree back for the next pass.
        t.write(QStringLiteral("top/a.txt"), "cat");
        t.write(QStringLiteral("top/sub/c.txt"), "cat");
    }
}

namespace {
// Builds and removes a chain of folders "d/d/d/..." one step at a time from
// the working folder, since its deeper paths are longer than a system call takes.
class DeepChain {
public:
    DeepChain(const QString &top, int levels, int fileEvery) : m_top(QFile::encodeName(top))
    {
        const int home = ::open(".", O_RDONLY | O_DIRECTORY);
        if (::chdir(m_top.constData()) == 0) {
            for (; m_levels < levels; ++m_levels) {
                if (m_levels % fileEvery == 0) {
                    const int file = ::open("f.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
                    if (file >= 0 && ::write(file, "cat", 3) == 3)
                        ++files;
                    ::close(file);
                }
                if (::mkdir("d", 0755) != 0 || ::chdir("d") != 0)
                    break;
            }
        }
        if (::fchdir(home) != 0)
            qFatal("cannot return to the working folder");
        ::close(home);
    }
    ~DeepChain()
    {
        const int home = ::open(".", O_RDONLY | O_DIRECTORY);
        bool ok = ::chdir(m_top.constData()) == 0;
        for (int i = 0; ok && i < m_levels; ++i) ok = ::chdir("d") == 0;
        for (int i = 0; ok && i < m_levels; ++i) {
            ::unlink("f.txt");
            ok = ::chdir("..") == 0 && ::rmdir("d") == 0;
        }
        if (::fchdir(home) != 0)
            qFatal("cannot return to the working folder");
        ::close(home);
    }
    int levels() const { return m_levels; }
    int files = 0;

private:
    QByteArray m_top;
    int m_levels = 0;
};
}  // namespace

void TestWalkSafety::deepTreeIsWalkedAsFarAsPathsReach()
{
    TempTree t;
    const DeepChain chain(t.mkdir(QStringLiteral("top")), 3000, 50);
    QCOMPARE(chain.levels(), 3000);
    const QString level50 =
        QStringLiteral("top/") + QStringLiteral("d/").repeated(50) + QStringLiteral("f.txt");

    // Replace turns cat into cats, then Undo turns their cat into dog.
    for (auto [kind, changed] : {std::pair(Run::Find, "cat"), std::pair(Run::Replace, "cats"),
                                 std::pair(Run::Undo, "dogs")}) {
        FakeRunHost h;
        h.request.folder = t.path(QStringLiteral("top"));
        h.request.subdirectories = true;
        run(h, kind);
        // The shallow files are reached; the first folder too deep to name is
        // reported (the design ends a walk at its first error) and nothing crashes.
        QCOMPARE(t.read(level50), QByteArray(changed));
        QVERIFY(h.viewer.list.size() > 10);
        QVERIFY(h.viewer.list.size() < chain.files);
        QCOMPARE(h.dialogs.titles().count(QStringLiteral(" Error")), 1);
        QVERIFY(messageNames(h, QStringLiteral("too long")));
    }
}

void TestWalkSafety::wideFolderCostsOnePassOverTheFileList()
{
    TempTree t;
    constexpr int kEntries = 40000;
    const QString top = t.mkdir(QStringLiteral("top"));
    QStringList names;
    // Most entries are names of one empty file: a name is far cheaper to make
    // than a file, and the walk sees each as a file of its own.
    const QByteArray empty = QFile::encodeName(t.write(QStringLiteral("empty"), QByteArray()));
    for (int i = 0; i < kEntries; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i);
        if (i % 4000 == 0)
            t.write(QStringLiteral("top/") + name, "cat");
        else
            QCOMPARE(::link(empty, QFile::encodeName(top + QLatin1Char('/') + name)), 0);
        names << name;
    }
    QStringList expected;  // in the platform's order
    for (const FileSystem::Entry &e : FileSystem::listFolder(top)) {
        if (e.name.mid(1).chopped(4).toInt() % 4000 == 0)
            expected << top + QLatin1Char('/') + e.name;
    }

    for (Run kind : {Run::Find, Run::Replace, Run::Undo}) {
        FakeRunHost h;
        h.request.folder = top;
        h.request.subdirectories = true;
        h.request.setFiles(names, true);
        run(h, kind);
        QCOMPARE(h.viewer.list, expected);
        // One pass over File2 per walk, never one per file.
        QVERIFY(h.request.nameReads <= 2 * kEntries);
    }
}

QTEST_GUILESS_MAIN(TestWalkSafety)
#include "tst_walksafety.moc"
