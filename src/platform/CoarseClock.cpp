#include "CoarseClock.h"

#include <QElapsedTimer>

#include <ctime>

qint64 CoarseClock::msecs()
{
#if defined(CLOCK_MONOTONIC_COARSE)
    // Read from the last tick, without asking the hardware timer.
    timespec t{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &t) == 0)
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
#endif
    static const QElapsedTimer start = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return start.elapsed();
}
