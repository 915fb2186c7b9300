#include "KeptOriginals.h"

#include "RunStore.h"
#include "platform/Failure.h"

#include <QDir>

KeptOriginals::KeptOriginals(const RunJournal::Header &header) : m_header(header)
{
    m_realFolder = QDir(header.folder).canonicalPath();
    m_root = RunStore::openRoot(true);
    if (!m_root.isValid())
        throw Failure(QStringLiteral("Cannot keep the originals of this Replace: \"%1\" is not a "
                                     "private folder of yours. Nothing was replaced.")
                          .arg(RunStore::root()));
    const QString name = m_header.id + QStringLiteral(".journal");
    m_journalPath = m_root.path + QLatin1Char('/') + name;
    m_journal = KeptFiles::createFile(m_root, name);
    RunStore::setLive(m_header.id, true);
    KeptFiles::append(*m_journal, RunJournal::headerText(m_header), m_journalPath);
}

KeptOriginals::~KeptOriginals()
{
    if (!m_finished) {
        try {
            finish(true);
        } catch (const Failure &) {
            // The journal then lacks its end: Restore says it may be incomplete.
        }
    }
}

KeptOriginals::StoreFolder KeptOriginals::storeFor(const FileSystem::PendingSaves::Item &item,
                                                   QByteArray &lines)
{
    const quint64 device = KeptFiles::deviceOf(item);
    if (const auto found = m_stores.constFind(device); found != m_stores.cend())
        return *found;
    const auto numbered = [&](const QString &root, const KeptFiles::Store &folder) {
        for (const StoreFolder &known : std::as_const(m_stores)) {
            if (known.folder.path == folder.path)
                return known;
        }
        lines += RunJournal::storeLine(m_storeCount, root);
        return StoreFolder{m_storeCount++, folder};
    };
    StoreFolder chosen;
    if (m_root.device != device) {
        // A store at the top of the file's own mount takes a link, as the
        // desktop's trash keeps a folder per mount.
        const QString top = KeptFiles::mountTop(KeptFiles::realFolderOf(item));
        const KeptFiles::Store perMount =
            top.isEmpty() ? KeptFiles::Store()
                          : KeptFiles::openPrivate(top, RunStore::perMountStoreName(), true);
        if (perMount.isValid() && perMount.device == device) {
            const KeptFiles::Store folder = KeptFiles::openPrivate(perMount, m_header.id, true);
            if (folder.isValid())
                chosen = numbered(perMount.path, folder);
        }
    }
    if (chosen.index < 0) {
        const KeptFiles::Store folder = KeptFiles::openPrivate(m_root, m_header.id, true);
        if (!folder.isValid())
            throw Failure(QStringLiteral("Cannot make the folder \"%1/%2\" for the originals.")
                              .arg(m_root.path, m_header.id));
        chosen = numbered(m_root.path, folder);
    }
    m_stores.insert(device, chosen);
    return chosen;
}

QString KeptOriginals::relativePath(const FileSystem::PendingSaves::Item &item)
{
    // The saves of one folder share its descriptor: its real path is asked once.
    if (item.folder.get() != m_lastFolder) {
        m_lastFolder = item.folder.get();
        m_lastRealFolder = KeptFiles::realFolderOf(item);
    }
    const QString file =
        m_lastRealFolder + QLatin1Char('/') + FileSystem::fromNativePath(item.name);
    const QString prefix =
        m_realFolder.endsWith(QLatin1Char('/')) ? m_realFolder : m_realFolder + QLatin1Char('/');
    // A file outside the run's folder (reached through a link the user chose)
    // is recorded as it is; Restore refuses to write there.
    return file.startsWith(prefix) ? file.mid(prefix.size()) : file;
}

QStringList KeptOriginals::keep(const QList<FileSystem::PendingSaves::Item> &items)
{
    QStringList failures;
    // A folder's descriptor of an earlier batch may have been freed and its
    // address given to another.
    m_lastFolder = nullptr;
    if (!m_broken.isEmpty()) {
        for (qsizetype i = 0; i < items.size(); ++i) failures.append(m_broken);
        return failures;
    }
    QByteArray lines;
    struct Done {
        KeptFiles::Store folder;
        QByteArray name;
    };
    QList<Done> done;
    for (const FileSystem::PendingSaves::Item &item : items) {
        try {
            const StoreFolder store = storeFor(item, lines);
            RunJournal::Entry e;
            e.number = m_next++;
            e.store = store.index;
            const QByteArray name = QByteArray::number(e.number);
            const KeptFiles::Kept kept = KeptFiles::keep(item, store.folder, name);
            done.append({store.folder, name});
            ++m_counts[int(kept.how)];
            e.path = relativePath(item);
            e.kept = kept.stamp;
            e.originalModifiedNs = kept.originalModifiedNs;
            e.written = KeptFiles::writtenStamp(item);
            e.replacements = item.count;
            lines += RunJournal::entryLine(e);
            failures.append(QString());
        } catch (const Failure &failure) {
            failures.append(failure.description());
        }
    }
    try {
        KeptFiles::append(*m_journal, lines, m_journalPath);
        m_entries += done.size();
    } catch (const Failure &failure) {
        // Without its record no original is of use: none of these files is
        // replaced, nor any later one (the journal may end in a cut line).
        m_broken = failure.description() +
                   QStringLiteral(
                       " The file was left as it is, so Restore can bring back the "
                       "files changed before.");
        for (const Done &d : std::as_const(done))
            KeptFiles::removeFile(d.folder, QString::fromLatin1(d.name));
        for (QString &f : failures) {
            if (f.isEmpty())
                f = m_broken;
        }
    }
    return failures;
}

void KeptOriginals::finish(bool stopped)
{
    m_finished = true;
    RunStore::setLive(m_header.id, false);
    // A run that changed nothing leaves nothing to restore.
    if (m_entries == 0 && m_broken.isEmpty()) {
        RunStore::drop(m_header.id);
        return;
    }
    KeptFiles::append(*m_journal, RunJournal::endLine(m_entries, stopped), m_journalPath);
    RunStore::trim(m_header.id);
}
