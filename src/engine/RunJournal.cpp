#include "RunJournal.h"

namespace {

const QByteArray kMagic = QByteArrayLiteral("Scrivlane run journal 2\n");

// Texts go in as their native bytes, percent-encoded: any name survives, and
// a field never holds a blank or a line break.
QByteArray field(const QString &text)
{
    const QByteArray bytes = FileSystem::nativePath(text).toPercentEncoding("/");
    return bytes.isEmpty() ? QByteArrayLiteral("-") : bytes;
}

QString textFrom(const QByteArray &f)
{
    return f == "-" ? QString() : FileSystem::fromNativePath(QByteArray::fromPercentEncoding(f));
}

QByteArray number(qint64 n)
{
    return QByteArray::number(n);
}

struct Fields {
    QList<QByteArray> f;
    bool ok = true;
    qint64 at(qsizetype i)
    {
        bool good = false;
        const qint64 n = f.value(i).toLongLong(&good);
        ok = ok && good;
        return n;
    }
};

std::optional<RunJournal::Entry> entryFrom(const QList<QByteArray> &parts)
{
    if (parts.size() != 13)
        return std::nullopt;
    Fields f{parts};
    RunJournal::Entry e;
    e.number = f.at(1);
    e.store = int(f.at(2));
    e.path = textFrom(parts.at(3));
    e.replacements = qint32(f.at(4));
    e.kept = {quint64(f.at(5)), quint64(f.at(6)), f.at(7), f.at(8)};
    e.originalModifiedNs = f.at(9);
    e.written = {e.kept.device, quint64(f.at(10)), f.at(11), f.at(12)};
    if (!f.ok || e.number < 0 || e.store < 0 || e.path.isEmpty())
        return std::nullopt;
    return e;
}

}  // namespace

qint64 RunJournal::Journal::keptBytes() const
{
    qint64 total = 0;
    for (const Entry &e : entries) total += qMax<qint64>(e.kept.size, 0);
    return total;
}

QByteArray RunJournal::headerText(const Header &h)
{
    return kMagic + "run " + field(h.id) + "\nstarted " + number(h.started.toMSecsSinceEpoch()) +
           "\nfolder " + field(h.folder) + "\nfind " + field(h.find) + "\nreplace " +
           field(h.replace) + '\n';
}

QByteArray RunJournal::storeLine(int index, const QString &root)
{
    return "store " + number(index) + ' ' + field(root) + '\n';
}

QByteArray RunJournal::entryLine(const Entry &e)
{
    const FileSystem::FileStamp &k = e.kept;
    const FileSystem::FileStamp &w = e.written;
    return "file " + number(e.number) + ' ' + number(e.store) + ' ' + field(e.path) + ' ' +
           number(e.replacements) + ' ' + QByteArray::number(k.device) + ' ' +
           QByteArray::number(k.inode) + ' ' + number(k.size) + ' ' + number(k.modifiedNs) + ' ' +
           number(e.originalModifiedNs) + ' ' + QByteArray::number(w.inode) + ' ' + number(w.size) +
           ' ' + number(w.modifiedNs) + '\n';
}

QByteArray RunJournal::endLine(qint64 files, bool stopped)
{
    return "end " + number(files) + (stopped ? " stopped\n" : " done\n");
}

std::optional<RunJournal::Journal> RunJournal::parse(const QByteArray &bytes)
{
    if (!bytes.startsWith(kMagic))
        return std::nullopt;
    QList<QByteArray> lines = bytes.mid(kMagic.size()).split('\n');
    // Every line ends with a break: the last piece is empty, or a line cut short.
    const bool cut = !lines.constLast().isEmpty();
    lines.removeLast();
    if (lines.size() < 5)
        return std::nullopt;
    Journal j;
    const QByteArrayList keys{"run ", "started ", "folder ", "find ", "replace "};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!lines.at(i).startsWith(keys.at(i)))
            return std::nullopt;
    }
    Header &h = j.header;
    h.id = textFrom(lines.at(0).mid(4));
    bool ok = false;
    h.started = QDateTime::fromMSecsSinceEpoch(lines.at(1).mid(8).toLongLong(&ok));
    h.folder = textFrom(lines.at(2).mid(7));
    h.find = textFrom(lines.at(3).mid(5));
    h.replace = textFrom(lines.at(4).mid(8));
    if (!ok || h.id.isEmpty() || h.folder.isEmpty())
        return std::nullopt;
    j.damaged = cut;
    for (qsizetype i = 5; i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines.at(i).split(' ');
        const QByteArray &kind = parts.constFirst();
        if (kind == "file") {
            const std::optional<Entry> e = entryFrom(parts);
            if (e && e->store < j.stores.size()) {
                j.entries.append(*e);
                continue;
            }
        } else if (kind == "store" && parts.size() == 3 && parts.at(1) == number(j.stores.size())) {
            j.stores.append(textFrom(parts.at(2)));
            continue;
        } else if (kind == "end" && parts.size() == 3 && i + 1 == lines.size()) {
            j.complete = parts.at(1) == number(j.entries.size());
            j.stopped = parts.at(2) == "stopped";
            if (j.complete)
                continue;
        }
        // What follows a line that cannot be read is not trusted either.
        j.damaged = true;
        break;
    }
    if (j.damaged)
        j.complete = false;
    return j;
}
