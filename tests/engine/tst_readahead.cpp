#include "engine/ReadAhead.h"
#include "platform/Failure.h"
#include "support/TempTree.h"

#include <QtTest>

#include <functional>

#include <sys/stat.h>

// The read-ahead must hand out exactly what reading each file in turn gives,
// failures included, whatever the reader thread has done meanwhile.
class TestReadAhead : public QObject {
    Q_OBJECT

    // What PreRead::of gives for each path, or the failure's text.
    static QStringList direct(const QStringList &paths, const BytePrefilter &filter)
    {
        QStringList out;
        for (const QString &p : paths) out << describe([&] { return PreRead::of(p, filter); });
        return out;
    }
    static QString describe(const std::function<PreRead()> &read)
    {
        try {
            const PreRead r = read();
            return r.bytes ? QString::fromUtf8(*r.bytes) + QString::number(r.mayMatch)
                           : QStringLiteral("whole") + QString::number(r.mayMatch);
        } catch (const Failure &f) {
            return f.description();
        }
    }

private slots:
    void takesInOrder_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("active");
        QTest::addRow("empty folder") << 0 << true;
        QTest::addRow("one file") << 1 << true;
        QTest::addRow("more than the window") << 300 << true;
        QTest::addRow("filter off") << 5 << false;
    }
    void takesInOrder()
    {
        QFETCH(int, files);
        QFETCH(bool, active);
        TempTree tree;
        QStringList paths;
        for (int i = 0; i < files; ++i) {
            const QByteArray text = i % 3 ? "plain " + QByteArray::number(i) : "a needle";
            paths << tree.write(QStringLiteral("f%1.txt").arg(i), text);
        }
        if (files > 2) {
            // Gone since the listing, and a pipe in a regular file's place.
            QFile::remove(paths.at(1));
            QFile::remove(paths.at(2));
            QVERIFY(::mkfifo(QFile::encodeName(paths.at(2)).constData(), 0600) == 0);
        }
        const BytePrefilter filter(active ? QStringLiteral("needle") : QString(), false);
        const QStringList want = direct(paths, filter);
        for (int round = 0; round < 2; ++round) {
            ReadAhead ahead(filter);
            // A folder left half way is dropped; the next one reads in full.
            ahead.begin(paths);
            for (qsizetype i = 0; i < paths.size() / 2; ++i)
                describe([&] { return ahead.take(i); });
            ahead.begin(paths);
            QStringList got;
            for (qsizetype i = 0; i < paths.size(); ++i)
                got << describe([&] { return ahead.take(i); });
            QCOMPARE(got, want);
            if (round == 0)
                ahead.begin(paths);  // left untaken: the destructor must not wait on it
        }
    }
};

QTEST_GUILESS_MAIN(TestReadAhead)
#include "tst_readahead.moc"
