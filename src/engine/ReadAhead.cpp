#include "ReadAhead.h"

#include "platform/FileSystem.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <vector>

namespace {
// Larger files are decoded as they are read instead.
constexpr qint64 kWholeRead = qint64(16) << 20;
// How far the second thread may run ahead, in files and in bytes it holds.
constexpr qsizetype kWindow = 64;
constexpr qint64 kHeldBytes = qint64(64) << 20;
}  // namespace

PreRead PreRead::of(const QString &path, const BytePrefilter &filter)
{
    PreRead read;
    if (!filter.isActive())
        return read;
    read.bytes = FileSystem::readFileUpTo(path, kWholeRead, true);
    if (read.bytes && !filter.mayMatch(*read.bytes)) {
        read.mayMatch = false;
        read.bytes = QByteArray();
    }
    return read;
}

struct ReadAhead::Shared {
    enum class Stage { Waiting, Reading, Ready };
    struct Slot {
        Stage stage = Stage::Waiting;
        PreRead read;
        std::exception_ptr error;
    };

    explicit Shared(const BytePrefilter &f) : filter(f) {}

    // A finished slot: the read, or what reading threw.
    Slot readInto(const QString &path) const
    {
        Slot slot;
        slot.stage = Stage::Ready;
        try {
            slot.read = PreRead::of(path, filter);
        } catch (...) {
            slot.error = std::current_exception();
        }
        return slot;
    }

    const BytePrefilter filter;
    std::mutex mutex;
    std::condition_variable wake;   // the second thread: work or quit
    std::condition_variable ready;  // the taking thread: its file is read
    QStringList paths;
    std::vector<Slot> reads;
    quint64 folder = 0;  // tells a late read of a folder left behind
    qsizetype next = 0;  // first file nobody has started
    qsizetype taken = 0;
    qint64 held = 0;
    bool quit = false;
    // Wake-ups cost a system call each: a side is woken only when it waits,
    // and the reader only once half its window has room again.
    bool readerIdle = false;
    qsizetype awaited = -1;  // the file the taking thread waits for

    bool mayStart() const
    {
        return next < paths.size() && next < taken + kWindow && held < kHeldBytes;
    }
};

ReadAhead::ReadAhead(const BytePrefilter &filter) : d(std::make_unique<Shared>(filter))
{
    if (filter.isActive())
        m_thread = std::thread([this] { work(); });
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(d->mutex);
        d->quit = true;
        d->readerIdle = false;
    }
    d->wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void ReadAhead::begin(const QStringList &paths)
{
    {
        const std::lock_guard lock(d->mutex);
        ++d->folder;
        d->paths = paths;
        d->reads.assign(size_t(paths.size()), {});
        d->next = 0;
        d->taken = 0;
        d->held = 0;
        if (!d->readerIdle || !d->mayStart())
            return;
        d->readerIdle = false;
    }
    d->wake.notify_one();
}

PreRead ReadAhead::take(qsizetype index)
{
    std::unique_lock lock(d->mutex);
    Q_ASSERT(index == d->taken && index < d->paths.size());
    d->taken = index + 1;
    const auto wakeReader = [&] {
        if (!d->readerIdle || d->next - d->taken > kWindow / 2 || !d->mayStart())
            return false;
        d->readerIdle = false;
        return true;
    };
    if (d->next <= index) {
        // Nobody has started it: reading it here beats waiting.
        d->next = index + 1;
        const QString path = d->paths.at(index);
        const bool wake = wakeReader();
        lock.unlock();
        if (wake)
            d->wake.notify_one();
        return PreRead::of(path, d->filter);
    }
    Shared::Slot &slot = d->reads[size_t(index)];
    while (slot.stage != Shared::Stage::Ready) {
        if (d->mayStart()) {
            // The reader is still on this file: read one after it meanwhile
            // rather than sleep and be woken.
            const qsizetype later = d->next++;
            d->reads[size_t(later)].stage = Shared::Stage::Reading;
            const QString path = d->paths.at(later);
            lock.unlock();
            Shared::Slot done = d->readInto(path);
            lock.lock();
            d->held += done.read.bytes ? done.read.bytes->size() : 0;
            d->reads[size_t(later)] = std::move(done);
            continue;
        }
        d->awaited = index;
        d->ready.wait(lock, [&] { return slot.stage == Shared::Stage::Ready; });
        d->awaited = -1;
    }
    d->held -= slot.read.bytes ? slot.read.bytes->size() : 0;
    PreRead read = std::move(slot.read);
    const std::exception_ptr error = slot.error;
    const bool wake = wakeReader();
    lock.unlock();
    if (wake)
        d->wake.notify_one();
    if (error)
        std::rethrow_exception(error);
    return read;
}

void ReadAhead::work()
{
    std::unique_lock lock(d->mutex);
    for (;;) {
        if (!d->quit && !d->mayStart()) {
            d->readerIdle = true;
            d->wake.wait(lock, [&] { return d->quit || !d->readerIdle; });
            continue;
        }
        if (d->quit)
            return;
        const qsizetype index = d->next++;
        const quint64 folder = d->folder;
        const QString path = d->paths.at(index);
        d->reads[size_t(index)].stage = Shared::Stage::Reading;
        lock.unlock();
        Shared::Slot done = d->readInto(path);
        lock.lock();
        if (folder != d->folder)
            continue;
        d->held += done.read.bytes ? done.read.bytes->size() : 0;
        d->reads[size_t(index)] = std::move(done);
        if (d->awaited == index)
            d->ready.notify_one();
    }
}
