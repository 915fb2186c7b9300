#include "Clock.h"

namespace {
std::function<QDateTime()> &nowFunction()
{
    static std::function<QDateTime()> f;
    return f;
}
}  // namespace

QDateTime Clock::now()
{
    const auto &f = nowFunction();
    return f ? f() : QDateTime::currentDateTime();
}

void Clock::setNowForTesting(std::function<QDateTime()> now)
{
    nowFunction() = std::move(now);
}
