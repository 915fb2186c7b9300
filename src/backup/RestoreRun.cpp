#include "RestoreRun.h"

#include "ReportWriter.h"
#include "engine/RunReport.h"
#include "engine/RunStore.h"
#include "platform/Failure.h"
#include "platform/FolderHandle.h"
#include "platform/KeptFiles.h"

#include <QDir>
#include <QHash>
#include <QSet>

namespace {

using RunJournal::Entry;

QString outside(const QString &path)
{
    return QStringLiteral(
               "The record names \"%1\", which is not a file inside the folder of the "
               "run; nothing was written there.")
        .arg(path);
}

// The run's files, reached only below its folder and never through a link or
// into another mount: a record that names anything else is not followed.
class RunFolder {
public:
    explicit RunFolder(const QString &folder) : m_folder(withSlash(folder)) {}

    FileSystem::FileAt fileAt(const QString &relative)
    {
        const QStringList names = relative.split(QLatin1Char('/'));
        if (relative.startsWith(QLatin1Char('/')) || names.contains(QString()) ||
            names.contains(QStringLiteral(".")) || names.contains(QStringLiteral("..")))
            throw Failure(outside(relative));
        FileSystem::Folder folder = top();
        QString walked;
        for (qsizetype i = 0; i + 1 < names.size(); ++i) {
            walked += names.at(i) + QLatin1Char('/');
            auto found = m_folders.constFind(walked);
            if (found == m_folders.cend()) {
                try {
                    found = m_folders.insert(walked, folder->openChild(names.at(i)));
                } catch (const Failure &) {
                    throw Failure(QStringLiteral("\"%1\" is no longer a folder inside the folder "
                                                 "of the run (a link or another mount); nothing "
                                                 "was written there.")
                                      .arg(m_folder + walked));
                }
            }
            folder = *found;
        }
        FileSystem::FileAt file;
        file.folder = folder;
        file.name = names.constLast();
        file.path = m_folder + relative;
        return file;
    }

private:
    static QString withSlash(const QString &folder)
    {
        return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    }
    FileSystem::Folder top()
    {
        if (!m_top)
            m_top = FileSystem::FolderHandle::open(m_folder);
        return m_top;
    }
    QString m_folder;
    FileSystem::Folder m_top;
    QHash<QString, FileSystem::Folder> m_folders;
};

bool sameContentStamp(const FileSystem::FileStamp &now, qint64 size, qint64 modifiedNs)
{
    return now.size == size && now.modifiedNs == modifiedNs;
}

// Why entry cannot be restored, or an empty text once it is as it was.
QString restoreOne(RunFolder &folder, const Entry &e, const KeptFiles::Store &store)
{
    const FileSystem::FileAt file = folder.fileAt(e.path);
    const FileSystem::FileStamp now = KeptFiles::regularStamp(file);
    if (!now.isValid()) {
        return file.stamp().isValid()
                   ? QStringLiteral(
                         "It is no longer a regular file (a link, a folder...); it "
                         "was left as it is.")
                   : QStringLiteral("It was removed or renamed after the replacement.");
    }
    // Already the original: the run stopped before putting its new file in place.
    if (sameContentStamp(now, e.kept.size, e.originalModifiedNs))
        return QString();
    if (!sameContentStamp(now, e.written.size, e.written.modifiedNs))
        return QStringLiteral("It was changed after the replacement; it was left as it is.");
    if (!store.isValid())
        return QStringLiteral(
            "The originals the run kept are gone or no longer private; it was "
            "left as it is.");
    KeptFiles::putBack(store, QByteArray::number(e.number), e.kept, file, now);
    return QString();
}

// What a record cut short leaves unknown.
void noteIncomplete(RestoreRun::Result &result, const RunJournal::Journal &j,
                    const QList<KeptFiles::Store> &stores)
{
    QSet<QByteArray> recorded;
    for (const Entry &e : j.entries) recorded.insert(QByteArray::number(e.number));
    qint64 unknown = 0;
    for (const KeptFiles::Store &store : stores) {
        for (const QByteArray &name : KeptFiles::namesIn(store))
            unknown += recorded.contains(name) ? 0 : 1;
    }
    const QString last = j.entries.isEmpty() ? QString() : j.entries.constLast().path;
    result.problems
        << QStringLiteral(
               "The record of run %1 is incomplete (the run was cut short "
               "or its record damaged): a file it changed after \"%2\" "
               "cannot be restored%3.")
               .arg(j.header.id, last,
                    unknown ? QStringLiteral("; %1 kept originals have no record").arg(unknown)
                            : QString());
}

}  // namespace

RestoreRun::Result RestoreRun::restore(const QString &id,
                                       const std::function<bool()> &stopRequested)
{
    Result result;
    result.id = id;
    QString why;
    const std::optional<RunJournal::Journal> journal = RunStore::read(id, why);
    if (!journal) {
        result.problems << why;
        return result;
    }
    result.found = true;
    result.folder = journal->header.folder;
    if (!journal->complete && RunStore::isLive(id)) {
        result.problems << QStringLiteral("Run %1 is still under way.").arg(id);
        return result;
    }
    QList<KeptFiles::Store> stores;
    for (const QString &root : journal->stores)
        stores.append(KeptFiles::openPrivate(RunStore::openStore(root), id, false));
    RunFolder folder(journal->header.folder);
    qsizetype next = 0;
    for (; next < journal->entries.size(); ++next) {
        if (stopRequested && stopRequested())
            break;
        const Entry &e = journal->entries.at(next);
        QString failed;
        try {
            failed = restoreOne(folder, e, stores.value(e.store));
        } catch (const Failure &failure) {
            failed = failure.description();
        }
        const QString path =
            QDir::isAbsolutePath(e.path) ? e.path : QDir(journal->header.folder).filePath(e.path);
        if (failed.isEmpty())
            result.restored.append({path, e.replacements});
        else
            result.passedOver.append({path, failed});
    }
    if (!journal->complete)
        noteIncomplete(result, *journal, stores);
    // A stopped restore keeps the run: the files it put back are taken as
    // originals when it is run again.
    if (next == journal->entries.size())
        RunStore::drop(id);
    return result;
}

RestoreRun::Result RestoreRun::restoreLastIn(const QString &folder,
                                             const std::function<bool()> &stopRequested)
{
    const std::optional<RunStore::RunInfo> run = RunStore::lastRunIn(folder);
    if (run)
        return restore(run->id, stopRequested);
    // A record that could not be read might be this folder's: it is named.
    Result result;
    for (const RunStore::RunInfo &other : RunStore::list()) {
        if (!other.problem.isEmpty())
            result.problems << other.problem;
    }
    return result;
}

QString RestoreRun::reportText(const Result &result, const QDateTime &start, const QDateTime &end)
{
    ReportWriter::ReportData data;
    data.start = start;
    data.end = end;
    data.restored = true;
    for (const RestoredFile &f : result.restored) {
        data.totalReplacements += f.replacements;
        data.reportBody += reportEntry(++data.modifiedFiles, f.path, f.replacements);
    }
    data.passedOver = result.passedOver;
    for (const QString &problem : result.problems) data.passedOver.append({QString(), problem});
    return ReportWriter::reportText(data);
}
