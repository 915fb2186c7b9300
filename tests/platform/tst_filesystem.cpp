#include "platform/Failure.h"
#include "platform/FileSystem.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

Q_DECLARE_METATYPE(FileSystem::EntryKind)

namespace {

void writeRaw(const QByteArray &nativePath, const QByteArray &bytes, mode_t mode = 0644)
{
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
    QCOMPARE(::chmod(nativePath.constData(), mode), 0);
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::lstat(FileSystem::nativePath(path).constData(), &st);
    return st.st_mode;
}

QStringList namesIn(const QString &folder)
{
    QStringList names;
    for (const FileSystem::Entry &entry : FileSystem::listFolder(folder)) names << entry.name;
    names.sort();
    return names;
}

}  // namespace

class TstFileSystem : public QObject {
    Q_OBJECT

private slots:
    void pathEscapeRoundTrips_data();
    void pathEscapeRoundTrips();
    void nonUtf8NameIsListedAndUsable();
    void listsEntryKinds();
    void unreadableFolderThrows();
    void missingFolderThrows();
    void readFileRefusesFifoWithoutBlocking();
    void readFileRefusesFolderAndMissingFile();
    void writeKeepsModeAndLeavesNoTemporary();
    void writeCreatesNewFileWithUmask();
    void writeThroughSymlinkKeepsLink();
    void writeKeepsReadOnlyMode();
    void writeIntoMissingFolderThrows();
    void failedWriteKeepsOriginal();
    void pathWithNulNamesNothing();
    void copyReplacesReadOnlyCopy();
    void makeFolderAndQueries();
    void namedTemporaryFallbackKeepsGuarantees();
};

void TstFileSystem::pathEscapeRoundTrips_data()
{
    QTest::addColumn<QByteArray>("native");
    QTest::addColumn<QString>("path");

    QTest::addRow("ascii") << QByteArray("/tmp/a b.txt") << QStringLiteral("/tmp/a b.txt");
    QTest::addRow("utf-8") << QByteArray("/caf\xC3\xA9/\xF0\x9F\x98\x80")
                           << QStringLiteral("/caf\u00E9/\U0001F600");
    QTest::addRow("latin-1 byte") << QByteArray("caf\xE9")
                                  << (QStringLiteral("caf") + QChar(0xDCE9));
    QTest::addRow("truncated") << QByteArray("a\xC3") << (QStringLiteral("a") + QChar(0xDCC3));
    QTest::addRow("overlong") << QByteArray("\xC0\xAF") << (QString(QChar(0xDCC0)) + QChar(0xDCAF));
    QTest::addRow("byte order mark first and within")
        << QByteArray(
               "\xEF\xBB\xBF"
               "a\xEF\xBB\xBF"
               "b\xE9")
        << (QStringLiteral("\uFEFFa\uFEFFb") + QChar(0xDCE9));
    QTest::addRow("encoded surrogate")
        << QByteArray("\xED\xB2\x80") << (QString(QChar(0xDCED)) + QChar(0xDCB2) + QChar(0xDC80));
}

void TstFileSystem::pathEscapeRoundTrips()
{
    QFETCH(QByteArray, native);
    QFETCH(QString, path);
    QCOMPARE(FileSystem::fromNativePath(native), path);
    QCOMPARE(FileSystem::nativePath(path), native);
}

void TstFileSystem::nonUtf8NameIsListedAndUsable()
{
    QTemporaryDir dir;
    const QByteArray folder = FileSystem::nativePath(dir.path());
    writeRaw(folder + "/caf\xE9.txt", "latin-1 name");
    writeRaw(folder + "/plain.txt", "plain");

    const QString escaped = QStringLiteral("caf") + QChar(0xDCE9) + QStringLiteral(".txt");
    QCOMPARE(namesIn(dir.path()), (QStringList{escaped, QStringLiteral("plain.txt")}));

    const QString path = dir.path() + QLatin1Char('/') + escaped;
    QCOMPARE(FileSystem::readFile(path), QByteArray("latin-1 name"));
    FileSystem::writeFileAtomic(path, "changed");
    QCOMPARE(FileSystem::readFile(path), QByteArray("changed"));
    FileSystem::copyFile(path, path + QStringLiteral(".bak"));
    QCOMPARE(FileSystem::readFile(path + QStringLiteral(".bak")), QByteArray("changed"));
    QCOMPARE(namesIn(dir.path()).size(), 3);
}

void TstFileSystem::listsEntryKinds()
{
    QTemporaryDir dir;
    const QString d = dir.path() + QLatin1Char('/');
    const QByteArray n = FileSystem::nativePath(d);
    writeRaw(n + "file", "x");
    QVERIFY(FileSystem::makeFolder(d + QStringLiteral("folder")));
    QCOMPARE(::symlink("file", (n + "fileLink").constData()), 0);
    QCOMPARE(::symlink("folder", (n + "folderLink").constData()), 0);
    QCOMPARE(::symlink("nowhere", (n + "dangling").constData()), 0);
    QCOMPARE(::mkfifo((n + "fifo").constData(), 0600), 0);

    QHash<QString, FileSystem::EntryKind> kinds;
    for (const FileSystem::Entry &entry : FileSystem::listFolder(dir.path()))
        kinds.insert(entry.name, entry.kind);
    using K = FileSystem::EntryKind;
    const QHash<QString, K> expected{
        {QStringLiteral("file"), K::File},        {QStringLiteral("folder"), K::Folder},
        {QStringLiteral("fileLink"), K::File},    {QStringLiteral("folderLink"), K::FolderLink},
        {QStringLiteral("dangling"), K::Special}, {QStringLiteral("fifo"), K::Special},
    };
    QCOMPARE(kinds, expected);
}

void TstFileSystem::unreadableFolderThrows()
{
    if (::geteuid() == 0)
        QSKIP("root can list every folder");
    QTemporaryDir dir;
    const QString locked = dir.path() + QStringLiteral("/locked");
    QVERIFY(FileSystem::makeFolder(locked));
    QCOMPARE(::chmod(FileSystem::nativePath(locked).constData(), 0), 0);
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::listFolder(locked));
    ::chmod(FileSystem::nativePath(locked).constData(), 0700);
}

void TstFileSystem::missingFolderThrows()
{
    QTemporaryDir dir;
    const QString missing = dir.path() + QStringLiteral("/missing");
    try {
        FileSystem::listFolder(missing);
        QFAIL("no Failure thrown");
    } catch (const Failure &failure) {
        QVERIFY(failure.description().contains(missing));
        QVERIFY(failure.description().contains(QString::fromLocal8Bit(strerror(ENOENT))));
    }
}

void TstFileSystem::readFileRefusesFifoWithoutBlocking()
{
    QTemporaryDir dir;
    const QString fifo = dir.path() + QStringLiteral("/fifo");
    QCOMPARE(::mkfifo(FileSystem::nativePath(fifo).constData(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::readFile(fifo));
    QVERIFY(timer.elapsed() < 5000);
}

void TstFileSystem::readFileRefusesFolderAndMissingFile()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::readFile(dir.path()));
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::readFile(dir.path() + QStringLiteral("/none")));
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::fileSize(dir.path() + QStringLiteral("/none")));
}

void TstFileSystem::writeKeepsModeAndLeavesNoTemporary()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/data.txt");
    writeRaw(FileSystem::nativePath(path), "old content", 0640);
    FileSystem::writeFileAtomic(path, QByteArray("new\0content", 11));
    QCOMPARE(FileSystem::readFile(path), QByteArray("new\0content", 11));
    QCOMPARE(modeOf(path) & 07777, mode_t(0640));
    QCOMPARE(namesIn(dir.path()), QStringList{QStringLiteral("data.txt")});
}

void TstFileSystem::writeCreatesNewFileWithUmask()
{
    QTemporaryDir dir;
    const mode_t old = ::umask(022);
    const QString path = dir.path() + QStringLiteral("/new.txt");
    FileSystem::writeFileAtomic(path, "fresh");
    ::umask(old);
    QCOMPARE(FileSystem::readFile(path), QByteArray("fresh"));
    QCOMPARE(modeOf(path) & 07777, mode_t(0644));
}

void TstFileSystem::writeThroughSymlinkKeepsLink()
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/target.txt");
    const QString link = dir.path() + QStringLiteral("/link.txt");
    writeRaw(FileSystem::nativePath(target), "before", 0600);
    QCOMPARE(::symlink("target.txt", FileSystem::nativePath(link).constData()), 0);

    FileSystem::writeFileAtomic(link, "after");
    QVERIFY(S_ISLNK(modeOf(link)));
    QCOMPARE(FileSystem::readFile(target), QByteArray("after"));
    QCOMPARE(modeOf(target) & 07777, mode_t(0600));
}

void TstFileSystem::writeKeepsReadOnlyMode()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/readonly.txt");
    writeRaw(FileSystem::nativePath(path), "before", 0444);
    FileSystem::writeFileAtomic(path, "written");
    QCOMPARE(FileSystem::readFile(path), QByteArray("written"));
    QCOMPARE(modeOf(path) & 07777, mode_t(0444));
    QCOMPARE(namesIn(dir.path()), QStringList{QStringLiteral("readonly.txt")});
}

void TstFileSystem::writeIntoMissingFolderThrows()
{
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(
        Failure, FileSystem::writeFileAtomic(dir.path() + QStringLiteral("/no/file.txt"), "x"));
    QVERIFY(namesIn(dir.path()).isEmpty());
}

void TstFileSystem::failedWriteKeepsOriginal()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/big.txt");
    writeRaw(FileSystem::nativePath(path), "original", 0644);
    // A file size limit makes the write come up short, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        FileSystem::writeFileAtomic(path, QByteArray(100000, 'x'));
    } catch (const Failure &) {
        failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(failed);
    QCOMPARE(FileSystem::readFile(path), QByteArray("original"));
    QCOMPARE(namesIn(dir.path()), QStringList{QStringLiteral("big.txt")});
}

void TstFileSystem::pathWithNulNamesNothing()
{
    QTemporaryDir dir;
    const QString real = dir.path() + QStringLiteral("/a");
    writeRaw(FileSystem::nativePath(real), "a", 0644);
    const QString withNul = real + QChar(0) + QStringLiteral("b");
    QVERIFY(!FileSystem::exists(withNul));
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::readFile(withNul));
    QVERIFY_THROWS_EXCEPTION(Failure, FileSystem::writeFileAtomic(withNul, "b"));
    QCOMPARE(FileSystem::readFile(real), QByteArray("a"));
}

void TstFileSystem::copyReplacesReadOnlyCopy()
{
    QTemporaryDir dir;
    const QString source = dir.path() + QStringLiteral("/source.txt");
    const QString copy = dir.path() + QStringLiteral("/copy.txt");
    writeRaw(FileSystem::nativePath(source), "version 2", 0644);
    writeRaw(FileSystem::nativePath(copy), "version 1", 0444);
    FileSystem::copyFile(source, copy);
    QCOMPARE(FileSystem::readFile(copy), QByteArray("version 2"));
    QCOMPARE(FileSystem::readFile(source), QByteArray("version 2"));
}

void TstFileSystem::makeFolderAndQueries()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/sub");
    QVERIFY(!FileSystem::exists(folder));
    QVERIFY(FileSystem::makeFolder(folder));
    QVERIFY(!FileSystem::makeFolder(folder));
    QVERIFY(!FileSystem::makeFolder(dir.path() + QStringLiteral("/a/b")));
    QVERIFY(FileSystem::isFolder(folder));
    QVERIFY(FileSystem::exists(folder));
    const QString file = folder + QStringLiteral("/f");
    FileSystem::writeFileAtomic(file, "12345");
    QVERIFY(!FileSystem::isFolder(file));
    QCOMPARE(FileSystem::fileSize(file), qint64(5));
}

void TstFileSystem::namedTemporaryFallbackKeepsGuarantees()
{
    // Where unnamed files are refused the named temporary file takes over:
    // same content, mode and link, and no temporary name left behind.
    FileSystem::forceNamedTemporaryForTesting(true);
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/target.txt");
    const QString link = dir.path() + QStringLiteral("/link.txt");
    writeRaw(FileSystem::nativePath(target), "before", 0640);
    QCOMPARE(::symlink("target.txt", FileSystem::nativePath(link).constData()), 0);
    FileSystem::writeFileAtomic(link, "after");
    FileSystem::forceNamedTemporaryForTesting(false);
    QVERIFY(S_ISLNK(modeOf(link)));
    QCOMPARE(FileSystem::readFile(target), QByteArray("after"));
    QCOMPARE(modeOf(target) & 07777, mode_t(0640));
    QCOMPARE(namesIn(dir.path()),
             (QStringList{QStringLiteral("link.txt"), QStringLiteral("target.txt")}));
}

QTEST_GUILESS_MAIN(TstFileSystem)
#include "tst_filesystem.moc"
