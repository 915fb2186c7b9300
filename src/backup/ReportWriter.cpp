#include "ReportWriter.h"

#include "engine/BackupLocation.h"
#include "engine/DocumentBuffer.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "engine/RunRequest.h"
#include "engine/TimeStamp.h"
#include "engine/ViewerPort.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kRule = QStringLiteral("    ") + QString(70, QLatin1Char('_'));

// The patterns always group digits, whatever the locale's own number options say.
QLocale grouping(const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::DefaultNumberOptions);
    return l;
}

QString longDateTime(const QDateTime &dateTime, const QLocale &locale)
{
    return locale.toString(dateTime.date(), QLocale::LongFormat) + QStringLiteral(" @ ") +
           locale.toString(dateTime.time(), QLocale::LongFormat);
}

// Names that are not valid UTF-8 are carried as lone surrogates; the report is
// only read by people, so they become U+FFFD rather than failing the report.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

}  // namespace

qint32 secondsBetween(const QDateTime &datDay1, const QDateTime &datDay2)
{
    const qint64 ms = datDay1.msecsTo(datDay2);
    if (ms <= 0)
        return 0;
    qint64 seconds = ms / 1000;
    const qint64 rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0))
        ++seconds;
    return qint32(qMin<qint64>(seconds, std::numeric_limits<qint32>::max()));
}

QString ReportWriter::formatWhole(double value, const QLocale &locale)
{
    const qint64 rounded = std::llround(value);
    if (rounded == 0)
        return QString();
    return grouping(locale).toString(rounded);
}

QString ReportWriter::formatTwoDecimals(double value, const QLocale &locale)
{
    const QLocale l = grouping(locale);
    const qint64 hundredths = std::llround(std::fabs(value) * 100.0);
    const qint64 whole = hundredths / 100;
    qint64 fraction = hundredths % 100;
    QString text = value < 0 && hundredths != 0 ? l.negativeSign() : QString();
    if (whole != 0)
        text += l.toString(whole);
    text += l.decimalPoint();
    if (fraction != 0) {
        int digits = 2;
        if (fraction % 10 == 0) {
            fraction /= 10;
            digits = 1;
        }
        QString decimals = l.toString(fraction);
        if (digits == 2 && fraction < 10)
            decimals.prepend(l.zeroDigit());
        text += decimals;
    }
    return text;
}

QString ReportWriter::durationText(qint32 seconds, const QLocale &locale)
{
    if (seconds > 60)
        return formatTwoDecimals(seconds / 60.0, locale) + QStringLiteral(" minutes");
    if (seconds == 1)
        return QStringLiteral("1 second");
    return QString::number(qMax(seconds, 0)) + QStringLiteral(" seconds");
}

QString ReportWriter::reportText(const ReportData &data, const QLocale &locale)
{
    const qint32 seconds = secondsBetween(data.start, data.end);
    const double rate =
        seconds != 0 ? double(data.totalReplacements) / seconds : double(data.totalReplacements);
    QString text;
    text += kRule + kCrLf;
    text += kCrLf;
    text += QStringLiteral("      SEARCH TOTALS:") + kCrLf;
    text += QStringLiteral("      Search Start            : ") + longDateTime(data.start, locale) +
            kCrLf;
    text +=
        QStringLiteral("      Search End              : ") + longDateTime(data.end, locale) + kCrLf;
    if (data.stopped)
        text += QStringLiteral("      Run Stopped             : before every file was searched") +
                kCrLf;
    if (data.restored)
        text += QStringLiteral("      Restored From Backups   : every file listed below") + kCrLf;
    text +=
        QStringLiteral("      Total Search Time       : ") + durationText(seconds, locale) + kCrLf;
    // A Restore that put nothing back says so in figures, not in empty fields.
    const auto total = [&](double value) {
        return data.restored && value == 0 ? QStringLiteral("0") : formatWhole(value, locale);
    };
    text +=
        QStringLiteral("      Total Replacements Made : ") + total(data.totalReplacements) + kCrLf;
    text += QStringLiteral("      Total Modified Files    : ") + total(data.modifiedFiles) + kCrLf;
    if (!data.passedOver.isEmpty())
        text += QStringLiteral("      Files Passed Over       : ") +
                formatWhole(double(data.passedOver.size()), locale) + kCrLf;
    if (data.unreadableEntries > 0)
        text += QStringLiteral("      Unreadable Entries      : ") +
                formatWhole(data.unreadableEntries, locale) +
                QStringLiteral(" (the error log lists each one)") + kCrLf;
    text += QStringLiteral("      Replacements Per Second : ") + formatWhole(rate, locale) + kCrLf;
    text += kRule + kCrLf;
    text += kCrLf;
    text += QStringLiteral("      MODIFIED FILES:") + kCrLf;
    text += data.reportBody;
    text += kRule + kCrLf;
    if (!data.passedOver.isEmpty()) {
        text += kCrLf + QStringLiteral("      PASSED OVER:") + kCrLf;
        const QString indent(15, QLatin1Char(' '));
        for (const PassedOverFile &file : data.passedOver)
            text += kCrLf + indent + file.path + kCrLf + indent + file.reason + kCrLf;
        text += kRule + kCrLf;
    }
    if (data.hasBackup) {
        text += QStringLiteral("      Backup files were created in ") +
                Paths::withTrailingSeparator(data.backupFolder) + kCrLf;
        text += kCrLf;
    }
    return text;
}

void writeReport(RunContext &ctx)
{
    RunState &state = ctx.state;
    // The start was kept to the second; so is the end, or the duration could
    // disagree with the two times the report prints.
    QDateTime end = Clock::now();
    end.setTime(QTime(end.time().hour(), end.time().minute(), end.time().second()));
    QDateTime start = TimeStamp::parseGeneralDateTime(state.startTime);
    // A start that cannot be read back must not print an empty date.
    if (!start.isValid())
        start = end;

    QString ReportText;
    {
        ReportWriter::ReportData data;
        data.start = start;
        data.end = end;
        data.totalReplacements = state.totalReplacements;
        // The entries themselves: a file saved with its text unchanged has one
        // but is not in the viewer's list.
        data.modifiedFiles = state.modifiedFileCount;
        data.reportBody = state.reportBody;
        data.stopped = state.stopRequested;
        data.passedOver = state.passedOverFiles;
        data.unreadableEntries = state.passedOverCount;
        data.hasBackup = ctx.request.hasBackup() && !state.undoInProgress;
        if (data.hasBackup) {
            const QString root = ctx.backup && ctx.backup->isSpecified()
                                     ? ctx.backup->backupRoot()
                                     : Paths::applicationFolder();
            data.backupFolder = BackupTree::mirrorOf(root, ctx.request.folderPath());
        }
        ReportText = ReportWriter::reportText(data);
    }
    writeAndShowReport(ctx, ReportText);

    state.modifiedFileCount = 0;
    ctx.main->refreshFileList();
    ctx.main->restoreWindow();
    state.reportBody.clear();
    state.passedOverFiles.clear();
    state.totalReplacements = 0;
    ctx.events->idle();

    ctx.viewer->showReportLayout();
}

void writeAndShowReport(RunContext &ctx, const QString &reportText)
{
    // Written straight to the file rather than through the buffer: the buffer
    // still carries the last changed file's name, and must never hold the
    // report under that name should the write fail.
    const QString reportPath =
        Paths::withTrailingSeparator(Paths::applicationFolder()) + QStringLiteral("Report.dat");
    const std::optional<QByteArray> bytes =
        TextCodec::encode(withoutLoneSurrogates(reportText), TextEncoding::Utf8);
    if (!bytes)
        throw Failure(QStringLiteral("Cannot write the report \"%1\".").arg(reportPath));
    FileSystem::writeFileAtomic(reportPath, *bytes);

    DocumentBuffer &buffer = ctx.viewer->buffer();
    ctx.viewer->setSkipNextReaction(true);
    buffer.load(reportPath);
    ctx.events->documentShown(buffer.fileName(), 0);
}
