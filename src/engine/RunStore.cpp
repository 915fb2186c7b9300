#include "RunStore.h"

#include "platform/Paths.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <atomic>

namespace {

const QString kJournalSuffix = QStringLiteral(".journal");
const QString kSettingsKey = QStringLiteral("Software\\Scrivlane\\Restore");

QString &rootOverride()
{
    static QString path;
    return path;
}

QString parentOf(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : clean.left(slash);
}

QString nameOf(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
}

QSet<QString> &liveRuns()
{
    static QSet<QString> runs;
    return runs;
}

qint64 pidOf(const QString &id)
{
    const QStringList parts = id.split(QLatin1Char('-'));
    return parts.size() >= 4 ? parts.at(2).toLongLong() : 0;
}

RunStore::RunInfo infoOf(const QString &id)
{
    RunStore::RunInfo info;
    info.id = id;
    const std::optional<RunJournal::Journal> j = RunStore::read(id, info.problem);
    if (!j) {
        if (info.problem.isEmpty())
            info.problem = QStringLiteral("The record of run %1 cannot be read.").arg(id);
        return info;
    }
    info.header = j->header;
    info.files = j->entries.size();
    info.keptBytes = j->keptBytes();
    info.complete = j->complete;
    info.live = !j->complete && RunStore::isLive(id);
    return info;
}

}  // namespace

bool RunStore::isLive(const QString &id)
{
    return liveRuns().contains(id) ||
           (pidOf(id) != QCoreApplication::applicationPid() && KeptFiles::processAlive(pidOf(id)));
}

void RunStore::setLive(const QString &id, bool live)
{
    if (live)
        liveRuns().insert(id);
    else
        liveRuns().remove(id);
}

QString RunStore::root()
{
    if (!rootOverride().isEmpty())
        return rootOverride();
    return Paths::withTrailingSeparator(Paths::applicationFolder()) + QStringLiteral("Restore");
}

void RunStore::setRoot(const QString &path)
{
    rootOverride() = path;
}

KeptFiles::Store RunStore::openRoot(bool create)
{
    const QString path = root();
    return KeptFiles::openPrivate(parentOf(path), nameOf(path), create);
}

QString RunStore::perMountStoreName()
{
    return KeptFiles::perMountName(QStringLiteral(".scrivlane"));
}

int RunStore::runLimit()
{
    bool ok = false;
    const int n = SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, kSettingsKey,
                                            QStringLiteral("Runs"), QStringLiteral("20"))
                      .toInt(&ok);
    return ok && n > 0 ? n : 20;
}

qint64 RunStore::sizeLimit()
{
    bool ok = false;
    const qint64 mb = SettingsStore::readString(SettingsStore::HKEY_CURRENT_USER, kSettingsKey,
                                                QStringLiteral("SizeMB"), QStringLiteral("2048"))
                          .toLongLong(&ok);
    return (ok && mb >= 0 ? mb : 2048) * 1024 * 1024;
}

QString RunStore::newRunId(const QDateTime &started)
{
    static std::atomic<int> counter{0};
    return started.toString(QStringLiteral("yyyyMMdd-HHmmsszzz")) + QLatin1Char('-') +
           QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
           QString::number(++counter);
}

QList<RunStore::RunInfo> RunStore::list()
{
    QList<RunInfo> runs;
    const KeptFiles::Store store = openRoot(false);
    QStringList ids;
    for (const QByteArray &name : KeptFiles::namesIn(store)) {
        const QString text = QString::fromUtf8(name);
        if (text.endsWith(kJournalSuffix))
            ids << text.chopped(kJournalSuffix.size());
    }
    // Names start with the time to the millisecond, then the process and a count.
    std::sort(ids.begin(), ids.end(), [](const QString &a, const QString &b) {
        const QStringList x = a.split(QLatin1Char('-')), y = b.split(QLatin1Char('-'));
        const QString timeA = x.mid(0, 2).join(QLatin1Char('-'));
        const QString timeB = y.mid(0, 2).join(QLatin1Char('-'));
        if (timeA != timeB)
            return timeA > timeB;
        return x.value(3).toLongLong() > y.value(3).toLongLong();
    });
    for (const QString &id : std::as_const(ids)) runs.append(infoOf(id));
    return runs;
}

std::optional<RunStore::RunInfo> RunStore::lastRunIn(const QString &folder)
{
    const QString wanted = QDir::cleanPath(QDir(folder).absolutePath());
    for (const RunInfo &run : list()) {
        if (run.problem.isEmpty() && QDir::cleanPath(run.header.folder) == wanted)
            return run;
    }
    return std::nullopt;
}

std::optional<RunJournal::Journal> RunStore::read(const QString &id, QString &why)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || id.startsWith(QLatin1Char('.'))) {
        why = QStringLiteral("There is no run %1.").arg(id);
        return std::nullopt;
    }
    const KeptFiles::Store store = openRoot(false);
    if (!store.isValid()) {
        why = QStringLiteral("There is no run %1.").arg(id);
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = KeptFiles::readPrivate(store, id + kJournalSuffix, why);
    if (!bytes)
        return std::nullopt;
    std::optional<RunJournal::Journal> journal = RunJournal::parse(*bytes);
    if (!journal || journal->header.id != id) {
        why = QStringLiteral("The record of run %1 is not one this program wrote.").arg(id);
        return std::nullopt;
    }
    return journal;
}

KeptFiles::Store RunStore::openStore(const QString &storeRoot)
{
    const QString clean = QDir::cleanPath(storeRoot);
    if (clean != QDir::cleanPath(root()) && nameOf(clean) != perMountStoreName())
        return {};
    return KeptFiles::openPrivate(parentOf(clean), nameOf(clean), false);
}

void RunStore::drop(const QString &id)
{
    QString why;
    if (const std::optional<RunJournal::Journal> j = read(id, why)) {
        for (const QString &storeRoot : j->stores)
            KeptFiles::removeFolder(openStore(storeRoot), id);
    }
    const KeptFiles::Store store = openRoot(false);
    KeptFiles::removeFolder(store, id);
    KeptFiles::removeFile(store, id + kJournalSuffix);
}

void RunStore::trim(const QString &keep)
{
    const QList<RunInfo> runs = list();
    const int most = runLimit();
    const qint64 room = sizeLimit();
    qint64 total = 0;
    int count = 0;
    for (const RunInfo &run : runs) {
        if (run.id == keep || run.live) {
            total += run.keptBytes;
            ++count;
        }
    }
    // Newest first: runs are kept while they fit beside the newer ones; from
    // the first that does not, the older ones go.
    bool full = false;
    for (const RunInfo &run : runs) {
        if (run.id == keep || run.live)
            continue;
        full = full || count >= most || total + run.keptBytes > room;
        if (!full) {
            total += run.keptBytes;
            ++count;
            continue;
        }
        drop(run.id);
    }
}
