#include "LoopGaps.h"

#include <QAbstractEventDispatcher>
#include <QObject>

#include <ctime>
#include <utility>

namespace {
qint64 threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}
}  // namespace

LoopGaps::LoopGaps(std::function<QString()> where) : m_where(std::move(where)) {}

LoopGaps::~LoopGaps()
{
    QObject::disconnect(m_awake);
    QObject::disconnect(m_aboutToBlock);
}

void LoopGaps::start()
{
    m_clock.start();
    m_lastMs = 0;
    m_lastCpuMs = threadCpuMs();
    m_lastWhere = m_where ? m_where() : QString();
    m_longestMs = m_longestCpuMs = 0;
    m_longestAfter.clear();
    m_passes = 0;
    m_waiting = false;
    // awake comes at the start of every pass the run's own processEvents
    // makes; a loop that waits (a message box's) says aboutToBlock first.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    m_awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { pass(); });
    m_aboutToBlock = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                      [this] { pass(true); });
}

void LoopGaps::stop()
{
    // The run's end returns to the loop: its last stretch counts too.
    QObject::disconnect(m_awake);
    QObject::disconnect(m_aboutToBlock);
    pass();
    --m_passes;
    m_waiting = false;
}

void LoopGaps::pass(bool waits)
{
    const qint64 now = m_clock.elapsed();
    const qint64 cpu = threadCpuMs();
    // Time spent waiting for events is no gap: input is seen at once then.
    const bool waited = std::exchange(m_waiting, waits);
    if (!waited && now - m_lastMs > m_longestMs) {
        m_longestMs = now - m_lastMs;
        m_longestCpuMs = cpu - m_lastCpuMs;
        m_longestAfter = m_lastWhere;
    }
    m_lastMs = now;
    m_lastCpuMs = cpu;
    if (m_where)
        m_lastWhere = m_where();
    ++m_passes;
}
