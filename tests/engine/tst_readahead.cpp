#include "engine/ReadAhead.h"
#include "platform/Failure.h"
#include "support/TempTree.h"

#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// The read-ahead must hand out exactly what reading each file in turn gives,
// failures included, whatever the reader thread has done meanwhile.
class TestReadAhead : public QObject {
    Q_OBJECT

    template <typename Read>
    static QString describe(Read read)
    {
        try {
            const PreRead r = read();
            const QString what = r.bytes     ? QString::fromUtf8(*r.bytes)
                                 : r.decoded ? u"text "_s + r.decoded->text
                                             : u"whole"_s;
            const QString found =
                r.firstMatch ? u" at %1+%2"_s.arg(r.firstMatch->position).arg(r.firstMatch->length)
                             : QString();
            // Bytes ruled out or decoded are let go at once.
            const bool kept = r.bytes && !r.bytes->isEmpty() && (!r.mayMatch || r.decoded);
            return what + QString::number(r.mayMatch) + found + (kept ? u" kept"_s : QString());
        } catch (const Failure &f) {
            return f.description();
        }
    }

private slots:
    void takesInOrder_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("workers");
        QTest::addColumn<bool>("decode");
        QTest::addRow("empty folder") << 0 << true << 1 << false;
        QTest::addRow("one file") << 1 << true << 1 << false;
        QTest::addRow("more than the window") << 300 << true << 1 << false;
        QTest::addRow("more than the window, four workers") << 300 << true << 4 << false;
        QTest::addRow("decoded, two workers") << 300 << true << 2 << true;
        QTest::addRow("a few files, more workers than files") << 5 << true << 8 << true;
        QTest::addRow("decoded and searched, two workers") << 300 << true << 2 << true;
        QTest::addRow("filter off") << 5 << false << 2 << true;
    }
    void takesInOrder()
    {
        QFETCH(int, files);
        QFETCH(bool, active);
        QFETCH(int, workers);
        QFETCH(bool, decode);
        TempTree tree;
        const FileSystem::Folder folder = FileSystem::FolderHandle::open(tree.mkdir(u"d"_s));
        QList<FileSystem::FileAt> paths;
        for (int i = 0; i < files; ++i) {
            const QString name = u"f%1.txt"_s.arg(i);
            paths << FileSystem::FileAt{
                folder, name, tree.write("d/" + name, i % 3 ? "plain" : "a needle"), {}};
        }
        if (files > 3) {
            // Gone since the listing, a pipe and a link in a regular file's place.
            for (int i : {1, 2, 3}) QFile::remove(paths.at(i).path);
            QVERIFY(::mkfifo(QFile::encodeName(paths.at(2).path).constData(), 0600) == 0);
            QVERIFY(QFile::link(paths.at(0).path, paths.at(3).path));
        }
        const BytePrefilter filter(active ? u"needle"_s : QString(), false);
        // The workers' search: its result must reach the run with its file.
        FirstMatchSearch search;
        if (QByteArray(QTest::currentDataTag()).contains("searched"))
            search = [](QStringView text) { return TextMatch{text.indexOf(u"needle"), 6}; };
        QStringList want, got;
        for (const FileSystem::FileAt &p : paths)
            want << describe([&] { return PreRead::of(p, filter, decode, {search, false, {}}); });
        QCOMPARE(want.filter(u" kept"_s), QStringList());

        ReadAhead ahead(filter, decode, workers, {search, false, {}});
        // A folder left half way is dropped; the next one reads in full.
        ahead.begin(paths);
        for (qsizetype i = 0; i < paths.size() / 2; ++i) describe([&] { return ahead.take(i); });
        ahead.begin(paths);
        for (qsizetype i = 0; i < paths.size(); ++i) got << describe([&] { return ahead.take(i); });
        QCOMPARE(got, want);
        // Folders added one after another read as one list, even while the
        // first is being taken.
        const qsizetype half = paths.size() / 2;
        ahead.begin(paths.first(half));
        got.clear();
        for (qsizetype i = 0; i < half / 2; ++i) got << describe([&] { return ahead.take(i); });
        QCOMPARE(ahead.append(paths.sliced(half)), half);
        for (qsizetype i = half / 2; i < paths.size(); ++i)
            got << describe([&] { return ahead.take(i); });
        QCOMPARE(got, want);
        // Files passed over are dropped; the ones after them still read right.
        ahead.begin(paths);
        got.clear();
        QStringList everyThird;
        for (qsizetype i = 2; i < paths.size(); i += 3) {
            got << describe([&] { return ahead.take(i); });
            everyThird << want.at(i);
        }
        QCOMPARE(got, everyThird);
        ahead.begin(paths);  // left untaken: the destructor must not wait on it
    }
};

QTEST_GUILESS_MAIN(TestReadAhead)
#include "tst_readahead.moc"
