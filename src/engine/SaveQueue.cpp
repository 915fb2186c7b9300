#include "SaveQueue.h"

#include "DocumentBuffer.h"
#include "KeptOriginals.h"
#include "MainPort.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReport.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "ViewerPort.h"
#include "platform/Failure.h"

qsizetype SaveQueue::batchSize()
{
    // Room is left for what else the program holds open (folders of the walk,
    // the read-ahead, the window's own files).
    constexpr qsizetype kMost = 1024, kLeast = 128, kOtherFiles = 256;
    static const qsizetype size =
        qBound(kLeast, FileSystem::openFilesAllowed(kMost + kOtherFiles) - kOtherFiles, kMost);
    return size;
}

void SaveQueue::add(RunContext &ctx, const QString &path, qint32 totalBefore)
{
    const bool listed = RunSupport::isListedLast(ctx, path);
    m_pending.setKeeper(ctx.state.keptOriginals.get());
    DocumentBuffer &buffer = ctx.viewer->buffer();
    // Back into the file that was read, only while it is still that file.
    if (buffer.hasSource() && buffer.fileName() == path) {
        m_identities.insert(buffer.source().identity());
        buffer.saveChecked(&m_pending);
    } else {
        m_identities.insert(FileSystem::fileIdentity(path));
        buffer.save(path, &m_pending);
    }
    // The entry shows what went into the total, so entries add up to it.
    m_records.append({path, totalBefore, ctx.state.totalReplacements - totalBefore, listed});
    m_pending.m_items.last().count = m_records.constLast().replacements;
}

void SaveQueue::addWritten(RunContext &ctx, const QString &path, qint32 totalBefore,
                           const QString &identity,
                           const std::function<void(FileSystem::PendingSaves &)> &write)
{
    m_pending.setKeeper(ctx.state.keptOriginals.get());
    write(m_pending);
    m_identities.insert(identity);
    const bool listed = RunSupport::isListedLast(ctx, path);
    m_records.append({path, totalBefore, ctx.state.totalReplacements - totalBefore, listed});
    m_pending.m_items.last().count = m_records.constLast().replacements;
}

void SaveQueue::saveNow(RunContext &ctx, qint32 totalBefore,
                        const std::function<void(FileSystem::PendingSaves &)> &write)
{
    FileSystem::PendingSaves pending;
    pending.setKeeper(ctx.state.keptOriginals.get());
    write(pending);
    if (pending.size() == 0)
        return;
    pending.m_items.last().count = ctx.state.totalReplacements - totalBefore;
    const QString failure = pending.commit().value(0);
    if (!failure.isEmpty())
        throw Failure(failure);
}

void SaveQueue::commit(RunContext &ctx)
{
    if (m_records.isEmpty())
        return;
    // The window answers while the disk catches up and the files go in place.
    const QStringList failures = m_pending.commit([&] { ctx.main->yieldToEvents(); });
    const QList<Record> records = std::exchange(m_records, {});
    m_identities.clear();
    RunState &s = ctx.state;
    // What each file added to totalReplacements, before any is taken back.
    QList<qint32> added;
    for (qsizetype i = 0; i < records.size(); ++i)
        added << (i + 1 < records.size() ? records.at(i + 1).totalBefore : s.totalReplacements) -
                     records.at(i).totalBefore;
    QStringList unlisted;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const Record &record = records.at(i);
        if (failures.value(i).isEmpty()) {
            RunSupport::noteChanged(ctx, record.path);
            appendReportEntry(ctx, record.path, record.replacements);
            continue;
        }
        // A file that could not be put in place is passed over: off the list
        // and out of the totals, and the others still count.
        s.totalReplacements -= added.at(i);
        if (record.listed)
            unlisted << record.path;
        RunSupport::passOver(ctx, RunSupport::kWalkSource, failures.at(i));
    }
    if (!unlisted.isEmpty())
        ctx.events->filesUnlisted(unlisted);
}
