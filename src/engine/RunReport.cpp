#include "RunReport.h"

#include "RunContext.h"

QString reportEntry(qint32 number, const QString &path, qint32 replacements)
{
    const int blanks = number < 10 ? 11 : number < 100 ? 10 : number < 1000 ? 9 : 8;
    return QStringLiteral("\r\n") + QString(blanks, QLatin1Char(' ')) + QString::number(number) +
           QStringLiteral(")  ") + path + QStringLiteral("\r\n") +
           QStringLiteral("               Replacements made: ") + QString::number(replacements) +
           QStringLiteral("\r\n");
}

void appendReportEntry(RunContext &ctx, const QString &path, qint32 replacements)
{
    RunState &s = ctx.state;
    ++s.modifiedFileCount;
    s.reportBody += reportEntry(s.modifiedFileCount, path, replacements);
}

void startRunTotals(RunContext &ctx)
{
    RunState &s = ctx.state;
    s.totalReplacements = 0;
    s.fileReplacements = 0;
    s.modifiedFileCount = 0;
    s.reportBody.clear();
    s.passedOverFiles.clear();
}

bool hasReportContent(const RunContext &ctx)
{
    return !ctx.state.reportBody.isEmpty() || !ctx.state.passedOverFiles.isEmpty();
}
