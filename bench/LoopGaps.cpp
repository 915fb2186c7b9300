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
    // awake comes at the start of every pass, whether the run's own
    // processEvents or the application's loop makes it.
    m_awake = QObject::connect(QAbstractEventDispatcher::instance(),
                               &QAbstractEventDispatcher::awake, [this] { pass(); });
}

void LoopGaps::stop()
{
    // The run's end returns to the loop: its last stretch counts too.
    QObject::disconnect(m_awake);
    pass();
    --m_passes;
}

void LoopGaps::pass()
{
    const qint64 now = m_clock.elapsed();
    const qint64 cpu = threadCpuMs();
    if (now - m_lastMs > m_longestMs) {
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
