#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>

// Kills the headless tool at random moments of a Replace over a few thousand
// files: every file must then hold either its original or its fully replaced
// text, and no other file may be left in the tree.
class TstReplaceKill : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedReplaceLeavesOldOrNewFilesOnly();

private:
    void writeTree();
    QHash<QString, QByteArray> readTree() const;
    QProcess *startReplace();
    qint64 timeWholeRun();

    QTemporaryDir m_dir;
    QString m_tree;
    QHash<QString, QByteArray> m_original;
};

void TstReplaceKill::initTestCase()
{
    QVERIFY(QFile::exists(QStringLiteral(SCRIVLANE_BENCH)));
    m_tree = m_dir.path() + QStringLiteral("/tree");
    QRandomGenerator random(13);
    for (int folder = 0; folder < 30; ++folder) {
        for (int file = 0; file < 100; ++file) {
            QByteArray text;
            const int lines = 1 + int(random.bounded(60));
            // One file in ten holds nothing to replace and must stay as it is.
            const bool plain = file % 10 == 0;
            for (int line = 0; line < lines; ++line)
                text += "line " + QByteArray::number(line) +
                        (plain ? " Lorem ipsum\n" : " lorem Lorem dolor lorem\n");
            m_original.insert(QStringLiteral("%1/f%2.txt").arg(folder).arg(file), text);
        }
    }
    QVERIFY(m_dir.isValid());
}

void TstReplaceKill::writeTree()
{
    const QHash<QString, QByteArray> now = readTree();
    for (auto it = m_original.cbegin(); it != m_original.cend(); ++it) {
        if (now.value(it.key()) == it.value())
            continue;
        const QString path = m_tree + QLatin1Char('/') + it.key();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(it.value()), it.value().size());
    }
}

QHash<QString, QByteArray> TstReplaceKill::readTree() const
{
    QHash<QString, QByteArray> files;
    QDirIterator it(m_tree, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isDir())
            continue;
        QFile file(it.filePath());
        file.open(QIODevice::ReadOnly);
        files.insert(it.filePath().mid(m_tree.size() + 1), file.readAll());
    }
    return files;
}

QProcess *TstReplaceKill::startReplace()
{
    auto *process = new QProcess;
    // The tool's own scratch folder, which a kill leaves behind, stays out of the tree.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), m_dir.path());
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(SCRIVLANE_BENCH),
                   {QStringLiteral("replace"), QStringLiteral("--find"), QStringLiteral("lorem"),
                    QStringLiteral("--replace"), QStringLiteral("ipsum"), QStringLiteral("--case"),
                    QStringLiteral("--all"), m_tree});
    return process;
}

qint64 TstReplaceKill::timeWholeRun()
{
    QElapsedTimer clock;
    clock.start();
    QScopedPointer<QProcess> process(startReplace());
    if (!process->waitForFinished(300000) || process->exitCode() != 0)
        return -1;
    return clock.elapsed();
}

void TstReplaceKill::killedReplaceLeavesOldOrNewFilesOnly()
{
    QHash<QString, QByteArray> expectedNew;
    for (auto it = m_original.cbegin(); it != m_original.cend(); ++it)
        expectedNew.insert(it.key(), QByteArray(it.value()).replace("lorem", "ipsum"));

    // Kills are spread by this machine's own pace: a whole Replace, and a run
    // that finds nothing left to do (start-up and walk alone).
    writeTree();
    const qint64 whole = timeWholeRun();
    QVERIFY(whole > 0);
    const qint64 idle = timeWholeRun();
    QVERIFY(idle > 0);
    writeTree();

    // Each run goes on where the killed one stopped, since replaced files no
    // longer match. The delay adapts to the machine's pace: longer after a kill
    // that came before any file was replaced, and the tree starts over once done.
    const int toReplace =
        int(std::count_if(m_original.cbegin(), m_original.cend(),
                          [](const QByteArray &t) { return t.contains("lorem"); }));
    QRandomGenerator random(1301);
    double delay = double(idle + std::max<qint64>(whole - idle, 20) / 20);
    int progressed = 0;
    int replaced = 0;
    for (int round = 0; round < 60 && (round < 20 || progressed < 10); ++round) {
        QScopedPointer<QProcess> process(startReplace());
        QVERIFY(process->waitForStarted());
        QThread::msleep(ulong(delay * (0.5 + random.generateDouble())));
        process->kill();
        QVERIFY(process->waitForFinished());

        const QHash<QString, QByteArray> after = readTree();
        QCOMPARE(QSet<QString>(after.keyBegin(), after.keyEnd()),
                 QSet<QString>(m_original.keyBegin(), m_original.keyEnd()));
        int replacedNow = 0;
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            const bool isNew = it.value() == expectedNew.value(it.key());
            if (!isNew && it.value() != m_original.value(it.key()))
                QFAIL(qPrintable(
                    QStringLiteral("torn file in round %1: %2").arg(round).arg(it.key())));
            replacedNow += isNew && it.value() != m_original.value(it.key());
        }
        if (replacedNow > replaced && replacedNow < toReplace)
            ++progressed;
        if (replacedNow == replaced)
            delay *= 1.5;
        replaced = replacedNow;
        if (replaced == toReplace) {
            writeTree();
            replaced = 0;
            delay *= 0.6;
        }
    }
    // Kills must land while files are being replaced, or the test proves nothing.
    QVERIFY2(progressed >= 10, qPrintable(QString::number(progressed)));
    writeTree();

    QScopedPointer<QProcess> rest(startReplace());
    QVERIFY(rest->waitForFinished(300000));
    QCOMPARE(rest->exitCode(), 0);
    QCOMPARE(readTree(), expectedNew);
}

QTEST_GUILESS_MAIN(TstReplaceKill)
#include "tst_replacekill.moc"
