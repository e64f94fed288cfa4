#include "Platform/system/SysClock.h"

#include <cerrno>
#include <ctime>

int64_t SysClock::Counter()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * CounterFrequency + ts.tv_nsec;
}

void SysClock::Sleep(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    timespec want{};
    want.tv_sec = milliseconds / 1000;
    want.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    // A signal may cut the sleep short; finish the remainder so callers get the time they asked for.
    while (nanosleep(&want, &want) != 0 && errno == EINTR)
    {
    }
}

void SysClock::LocalTime(SysLocalTime& out)
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t seconds = ts.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    out.milliseconds = static_cast<int>(ts.tv_nsec / 1000000L);
}

int64_t SysClock::ReadCounter()
{
    return Counter();
}

int64_t SysClock::Frequency()
{
    return CounterFrequency;
}

void SysClock::SleepMs(int milliseconds)
{
    Sleep(milliseconds);
}

SysClock& SysClock::System()
{
    static SysClock clock;
    return clock;
}
