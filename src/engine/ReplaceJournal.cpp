#include "ReplaceJournal.h"

#include "platform/Failure.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"

#include <QCryptographicHash>
#include <QFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QByteArray kHeader = QByteArrayLiteral("Scrivlane replace journal 1\r\n");

// Paths go in as their native bytes, percent-encoded: any name survives, and
// a field never holds the separator.
QByteArray field(const QString &path)
{
    return FileSystem::nativePath(path).toPercentEncoding("/");
}

QString pathFrom(const QByteArray &field)
{
    return FileSystem::fromNativePath(QByteArray::fromPercentEncoding(field));
}

QByteArray line(const ReplaceJournal::Entry &e)
{
    const FileSystem::FileStamp &c = e.copyStamp;
    return QByteArrayLiteral("file ") + field(e.path) + ' ' + field(e.copy) + ' ' +
           QByteArray::number(e.replacements) + ' ' + QByteArray::number(e.size) + ' ' +
           e.hash.toHex() + ' ' + QByteArray::number(c.device) + ' ' + QByteArray::number(c.inode) +
           ' ' + QByteArray::number(c.size) + ' ' + QByteArray::number(c.modifiedNs) + "\r\n";
}

std::optional<ReplaceJournal::Entry> entryFrom(const QByteArray &text)
{
    const QList<QByteArray> f = text.split(' ');
    if (f.size() != 10 || f[0] != "file")
        return std::nullopt;
    ReplaceJournal::Entry e;
    e.path = pathFrom(f[1]);
    e.copy = pathFrom(f[2]);
    bool ok[7] = {};
    e.replacements = f[3].toInt(&ok[0]);
    e.size = f[4].toLongLong(&ok[1]);
    e.hash = QByteArray::fromHex(f[5]);
    ok[2] = e.hash.size() == 32;
    e.copyStamp = {f[6].toULongLong(&ok[3]), f[7].toULongLong(&ok[4]), f[8].toLongLong(&ok[5]),
                   f[9].toLongLong(&ok[6])};
    if (std::find(std::begin(ok), std::end(ok), false) != std::end(ok))
        return std::nullopt;
    return e;
}

void write(const QString &journalPath, QIODevice::OpenMode mode, const QByteArray &bytes)
{
    QFile file(journalPath);
    if (!file.open(mode) || file.write(bytes) != bytes.size() || !file.flush())
        throw Failure(
            QStringLiteral("Cannot write the replacement journal \"%1\".").arg(journalPath));
#ifdef Q_OS_UNIX
    // The files it names are on disk already; so must be the record of them.
    if (::fdatasync(file.handle()) != 0)
        throw Failure(
            QStringLiteral("Cannot write the replacement journal \"%1\".").arg(journalPath));
#endif
}

}  // namespace

namespace {
QString &journalPath()
{
    static QString path;
    return path;
}
}  // namespace

void ReplaceJournal::setPath(const QString &path)
{
    journalPath() = path;
}

QString ReplaceJournal::defaultPath()
{
    if (!journalPath().isEmpty())
        return journalPath();
    return Paths::withTrailingSeparator(Paths::applicationFolder()) + QStringLiteral("Journal.dat");
}

QByteArray ReplaceJournal::hashOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

ReplaceJournal::Entry ReplaceJournal::entryFor(const QString &path, const QString &copy,
                                               qint32 replacements)
{
    const FileSystem::FileAt file = FileSystem::FileAt::resolve(path);
    const std::optional<QByteArray> bytes = FileSystem::readFileUpTo(file, -1);
    const FileSystem::FileStamp copyStamp = FileSystem::FileAt::resolve(copy).stamp();
    if (!bytes || !copyStamp.isValid())
        throw Failure(QStringLiteral("Cannot record \"%1\" in the replacement journal.").arg(path));
    return {path, copy, replacements, bytes->size(), hashOf(*bytes), copyStamp};
}

void ReplaceJournal::start(const QString &journalPath, const QString &folder)
{
    write(journalPath, QIODevice::WriteOnly | QIODevice::Truncate,
          kHeader + QByteArrayLiteral("folder ") + field(folder) + "\r\n");
}

void ReplaceJournal::append(const QString &journalPath, const QList<Entry> &entries)
{
    QByteArray bytes;
    for (const Entry &e : entries) bytes += line(e);
    if (!bytes.isEmpty())
        write(journalPath, QIODevice::WriteOnly | QIODevice::Append, bytes);
}

std::optional<ReplaceJournal::Journal> ReplaceJournal::read(const QString &journalPath)
{
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray all = file.readAll();
    if (!all.startsWith(kHeader))
        return std::nullopt;
    QList<QByteArray> lines = all.mid(kHeader.size()).split('\n');
    if (lines.isEmpty() || !lines.first().startsWith("folder ") || !lines.first().endsWith('\r'))
        return std::nullopt;
    Journal journal;
    journal.folder = pathFrom(lines.takeFirst().mid(7).chopped(1));
    for (const QByteArray &l : std::as_const(lines)) {
        // A line cut short by a crash ends the journal; the files before it still count.
        if (!l.endsWith('\r'))
            break;
        const std::optional<Entry> entry = entryFrom(l.chopped(1));
        if (!entry)
            break;
        journal.entries.append(*entry);
    }
    return journal;
}
