#pragma once

#include <QtGlobal>

/// A monotonic clock that is cheap to read but only as fine as the system's
/// tick (a few milliseconds): for pacing work that asks the time at every
/// file of a run, where the precise clock's cost would add up.
namespace CoarseClock {

/// Milliseconds since an unspecified fixed point.
qint64 msecs();

}  // namespace CoarseClock
