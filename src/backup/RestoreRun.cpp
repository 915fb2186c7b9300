#include "RestoreRun.h"

#include "ReportWriter.h"
#include "engine/RunReport.h"
#include "platform/Failure.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace {

using ReplaceJournal::Entry;

constexpr qsizetype kPiece = 1 << 20;

// The file at path when its bytes are still the ones the run wrote; its stamp
// then makes the save refuse a file changed after this look.
std::optional<FileSystem::FileStamp> unchangedSince(const FileSystem::FileAt &file, const Entry &e)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 size = 0;
    FileSystem::FileStamp stamp;
    FileSystem::readFileInPieces(
        file, kPiece,
        [&](QByteArrayView piece) {
            size += piece.size();
            hash.addData(piece);
            return size <= e.size;
        },
        &stamp);
    if (size != e.size || hash.result() != e.hash)
        return std::nullopt;
    return stamp;
}

// Why entry cannot be restored, or an empty text once it was.
QString restoreOne(const Entry &e)
{
    const FileSystem::FileAt copy = FileSystem::FileAt::resolve(e.copy);
    if (!copy.isValid() || copy.stamp() != e.copyStamp)
        return QStringLiteral(
            "Its backup copy was replaced or changed after the replacement; "
            "it was left as it is.");
    const std::optional<QByteArray> original = FileSystem::readFileUpTo(copy, -1);
    if (!original)
        return QStringLiteral("Its backup copy cannot be read; it was left as it is.");
    const FileSystem::FileAt file = FileSystem::FileAt::resolve(e.path);
    const std::optional<FileSystem::FileStamp> stamp =
        file.isValid() ? unchangedSince(file, e) : std::nullopt;
    if (!stamp)
        return QStringLiteral("It was changed after the replacement; it was left as it is.");
    FileSystem::writeFileAtomic(file, *stamp, FileSystem::onePiece(*original));
    return QString();
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

}  // namespace

RestoreRun::Result RestoreRun::restore(const QString &journalPath, const QString &folder,
                                       const std::function<bool()> &stopRequested)
{
    Result result;
    const std::optional<ReplaceJournal::Journal> journal = ReplaceJournal::read(journalPath);
    if (!journal || (!folder.isEmpty() && !sameFolder(folder, journal->folder)))
        return result;
    result.found = true;
    result.folder = journal->folder;
    qsizetype next = 0;
    for (; next < journal->entries.size(); ++next) {
        if (stopRequested && stopRequested())
            break;
        const Entry &e = journal->entries.at(next);
        QString why;
        try {
            why = restoreOne(e);
        } catch (const Failure &failure) {
            why = failure.description();
        }
        if (why.isEmpty())
            result.restored.append(e);
        else
            result.passedOver.append({e.path, why});
    }
    // A stopped restore keeps what it did not reach, so it can go on later.
    if (next < journal->entries.size()) {
        ReplaceJournal::start(journalPath, journal->folder);
        ReplaceJournal::append(journalPath, journal->entries.mid(next));
    } else {
        QFile::remove(journalPath);
    }
    return result;
}

QString RestoreRun::reportText(const Result &result, const QDateTime &start, const QDateTime &end)
{
    ReportWriter::ReportData data;
    data.start = start;
    data.end = end;
    data.restored = true;
    for (const Entry &e : result.restored) {
        data.totalReplacements += e.replacements;
        data.reportBody += reportEntry(++data.modifiedFiles, e.path, e.replacements);
    }
    data.passedOver = result.passedOver;
    return ReportWriter::reportText(data);
}
