#pragma once

#include <QDateTime>

#include <functional>

/// The current date and time, replaceable so that tests run on a fixed clock.
namespace Clock {
QDateTime now();
void setNowForTesting(std::function<QDateTime()> now);
}  // namespace Clock
