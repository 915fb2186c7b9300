#include "ReadAhead.h"

#include "platform/ContentKind.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

namespace {
// Larger files are decoded as they are read instead.
constexpr qint64 kWholeRead = qint64(16) << 20;
// How far the workers may run ahead, in files and in bytes they hold.
constexpr qsizetype kWindow = 256;
constexpr qint64 kHeldBytes = qint64(64) << 20;
// A reading thread keeps the room of files up to this size for the next one.
constexpr qsizetype kKeptRoom = qsizetype(1) << 20;

std::atomic<int> g_testWorkers{0};

qint64 heldBy(const PreRead &read)
{
    qint64 held = (read.bytes ? read.bytes->size() : 0) +
                  (read.decoded ? read.decoded->text.size() * qint64(sizeof(QChar)) : 0);
    if (read.prepared) {
        held += read.prepared->changes.size() * qint64(sizeof(TextChange));
        if (read.prepared->result.text.constData() != read.prepared->source.constData())
            held += read.prepared->result.text.size() * qint64(sizeof(QChar));
    }
    return held;
}
}  // namespace

PreRead PreRead::of(const FileSystem::FileAt &file, const BytePrefilter &filter, bool decode,
                    const AheadWork &work)
{
    PreRead read;
    if (!filter.isActive())
        return read;
    // Most files are ruled out: their bytes need no allocation of their own.
    thread_local QByteArray buffer;
    if (!FileSystem::readFileInto(file, kWholeRead, buffer, &read.stamp))
        return read;
    read.size = buffer.size();
    read.bytes = QByteArray();
    if (!filter.mayMatch(buffer)) {
        read.mayMatch = false;
    } else if (decode) {
        read.decoded = TextCodec::decode(buffer);
        if (work.search)
            read.firstMatch = work.search(read.decoded->text);
        const bool matched = read.firstMatch && read.firstMatch->position >= 0;
        // Without a search the text may still match: the run searches it.
        if (work.binaryHead && (matched || !read.firstMatch))
            read.binaryHead = ContentKind::isBinaryText(read.decoded->text, read.decoded->encoding);
        if (work.prepare && matched)
            read.prepared = work.prepare(read.decoded->text);
    } else {
        read.bytes = buffer;  // shared; the next read takes fresh room
    }
    if (buffer.capacity() > kKeptRoom)
        buffer = QByteArray();
    return read;
}

struct ReadAhead::Shared {
    enum class Stage { Waiting, Reading, Ready };
    struct Slot {
        Stage stage = Stage::Waiting;
        PreRead read;
        std::exception_ptr error;
    };

    Shared(const BytePrefilter &f, bool d, AheadWork w) : filter(f), decode(d), work(std::move(w))
    {
    }

    // Claims the next file and reads it without the lock; the result is
    // filed unless the run has moved on to another folder meanwhile.
    void readNext(std::unique_lock<std::mutex> &lock)
    {
        const qsizetype index = next++;
        const quint64 at = folder;
        const FileSystem::FileAt file = paths[size_t(index - first)];
        reads[size_t(index - first)].stage = Stage::Reading;
        lock.unlock();
        Slot done;
        done.stage = Stage::Ready;
        try {
            done.read = PreRead::of(file, filter, decode, work);
        } catch (...) {
            done.error = std::current_exception();
        }
        lock.lock();
        if (at != folder || index < first || reads[size_t(index - first)].stage != Stage::Reading)
            return;
        held += heldBy(done.read);
        reads[size_t(index - first)] = std::move(done);
        if (awaited == index)
            ready.notify_one();
    }

    const BytePrefilter filter;
    const bool decode;
    const AheadWork work;
    std::mutex mutex;
    std::condition_variable wake;   // the workers: work or quit
    std::condition_variable ready;  // the taking thread: its file is read
    // The files from first on that are not taken yet, and their reads.
    std::deque<FileSystem::FileAt> paths;
    std::deque<Slot> reads;
    quint64 folder = 0;   // tells a late read of files begin() let go
    qsizetype first = 0;  // the index of paths.front()
    qsizetype next = 0;   // first file nobody has started
    qsizetype taken = 0;
    qint64 held = 0;
    bool quit = false;
    // Wake-ups cost a system call each, and a woken worker may take the core
    // of the thread that woke it: a side is woken only when it waits, one
    // worker at a time (it wakes the next when there is more to read), and
    // only once half the window has room again.
    int idleWorkers = 0;
    quint64 wakeUps = 0;     // a sleeping worker goes on when this moves
    qsizetype awaited = -1;  // the file the taking thread waits for

    // Files passed over are not read; what was read of them is let go, and
    // a read under way is not filed.
    void dropBefore(qsizetype index)
    {
        for (; first < index; ++first) {
            if (reads.front().stage == Stage::Ready)
                held -= heldBy(reads.front().read);
            reads.pop_front();
            paths.pop_front();
        }
        next = qMax(next, index);
    }

    qsizetype end() const { return first + qsizetype(paths.size()); }

    // Called under the lock: whether a sleeping worker is to be woken now;
    // the caller notifies one after releasing the lock.
    bool wakesWorker()
    {
        if (idleWorkers == 0 || !mayStart())
            return false;
        ++wakeUps;
        return true;
    }

    bool mayStart() const { return next < end() && next < taken + kWindow && held < kHeldBytes; }
};

ReadAhead::ReadAhead(const BytePrefilter &filter, bool decode, int workers, AheadWork textWork)
    : d(std::make_unique<Shared>(filter, decode, std::move(textWork)))
{
    if (!filter.isActive())
        return;
    if (workers <= 0)
        workers = g_testWorkers;
    if (workers <= 0)
        workers = int(qBound(1u, std::thread::hardware_concurrency(), 8u));
    for (int i = 0; i < workers; ++i) m_threads.emplace_back([this] { work(); });
}

const BytePrefilter &ReadAhead::filter() const
{
    return d->filter;
}

void ReadAhead::setWorkersForTesting(int workers)
{
    g_testWorkers = workers;
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(d->mutex);
        d->quit = true;
    }
    d->wake.notify_all();
    for (std::thread &t : m_threads) t.join();
}

void ReadAhead::begin(const QList<FileSystem::FileAt> &paths)
{
    {
        const std::lock_guard lock(d->mutex);
        ++d->folder;
        d->paths.clear();
        d->reads.clear();
        d->first = 0;
        d->next = 0;
        d->taken = 0;
        d->held = 0;
    }
    append(paths);
}

qsizetype ReadAhead::append(const QList<FileSystem::FileAt> &paths)
{
    qsizetype index = 0;
    bool wake = false;
    {
        const std::lock_guard lock(d->mutex);
        index = d->end();
        d->paths.insert(d->paths.end(), paths.begin(), paths.end());
        d->reads.resize(d->reads.size() + size_t(paths.size()));
        wake = d->wakesWorker();
    }
    if (wake)
        d->wake.notify_one();
    return index;
}

PreRead ReadAhead::take(qsizetype index)
{
    std::unique_lock lock(d->mutex);
    Q_ASSERT(index >= d->taken && index < d->end());
    d->dropBefore(index);
    d->taken = index + 1;
    // Stays in place: only this thread adds or removes slots.
    Shared::Slot &slot = d->reads.front();
    while (slot.stage != Shared::Stage::Ready) {
        // A file nobody has started, or one after the file the reader is on:
        // reading it here beats sleeping until the reader is done.
        if (d->next <= index || d->mayStart()) {
            d->readNext(lock);
            continue;
        }
        d->awaited = index;
        d->ready.wait(lock, [&] { return slot.stage == Shared::Stage::Ready; });
        d->awaited = -1;
    }
    d->held -= heldBy(slot.read);
    PreRead read = std::move(slot.read);
    const std::exception_ptr error = slot.error;
    d->reads.pop_front();
    d->paths.pop_front();
    ++d->first;
    const bool wakeWorker = d->next - d->taken <= kWindow / 2 && d->wakesWorker();
    lock.unlock();
    if (wakeWorker)
        d->wake.notify_one();
    if (error)
        std::rethrow_exception(error);
    return read;
}

void ReadAhead::work()
{
    std::unique_lock lock(d->mutex);
    while (!d->quit) {
        if (d->mayStart()) {
            d->readNext(lock);
            continue;
        }
        ++d->idleWorkers;
        const quint64 seen = d->wakeUps;
        d->wake.wait(lock, [&] { return d->quit || d->wakeUps != seen; });
        --d->idleWorkers;
        // More than this worker's next file to read: one more joins in.
        if (d->next + 1 < d->end() && d->next + 1 < d->taken + kWindow && d->wakesWorker())
            d->wake.notify_one();
    }
}
