#include "SaveQueue.h"

#include "DocumentBuffer.h"
#include "ReplaceRun.h"
#include "RunSupport.h"
#include "RunContext.h"
#include "ViewerPort.h"
#include "platform/Failure.h"

void SaveQueue::add(RunContext &ctx, const QString &path, qint32 totalBefore)
{
    ViewerPort &viewer = *ctx.viewer;
    const int last = viewer.listCount() - 1;
    const bool listed = last >= 0 && viewer.listItem(last) == path;
    m_identities.insert(FileSystem::fileIdentity(path));
    viewer.rtbDefault().SaveFile(path, &m_pending);
    m_records.append({path, totalBefore, ctx.state.FileReplacements, listed});
}

void SaveQueue::commit(RunContext &ctx)
{
    if (m_records.isEmpty())
        return;
    QString failure;
    const qsizetype done = m_pending.commit(failure);
    const QList<Record> records = std::exchange(m_records, {});
    m_identities.clear();
    RunState &s = ctx.state;
    for (qsizetype i = 0; i < done; ++i) {
        RunSupport::noteChanged(ctx, records.at(i).path);
        appendReportEntry(ctx, records.at(i).path, records.at(i).replacements);
    }
    if (done == records.size())
        return;

    // The files from the failed one on were listed last: take them off again.
    qsizetype unlisted = 0;
    for (qsizetype i = done; i < records.size(); ++i) unlisted += records.at(i).listed;
    ViewerPort &viewer = *ctx.viewer;
    QStringList keep;
    for (int k = 0; k < viewer.listCount() - unlisted; ++k) keep << viewer.listItem(k);
    viewer.clearList();
    for (const QString &path : std::as_const(keep)) viewer.addToList(path);
    s.TotalReplacements = records.at(done).totalBefore;
    throw Failure(failure);
}
