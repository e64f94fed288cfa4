#pragma once
#include <cstdint>
#include <string>

// File times as Win32 FILETIME values: 100-nanosecond ticks since 1601-01-01 UTC, which the engine's
// records store as two 32-bit halves.
class SysFileTime
{
public:
    // The last-write time of a file; false (and 0) when it cannot be read.
    static bool LastWrite(const std::string& path, uint64_t* fileTime);
    // Seconds and nanoseconds since 1970 as a FILETIME.
    static uint64_t FromUnix(int64_t seconds, int64_t nanoseconds);
};
