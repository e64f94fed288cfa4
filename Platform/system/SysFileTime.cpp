#include "Platform/system/SysFileTime.h"

#include <sys/stat.h>

namespace
{
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t EpochDifference = 11644473600LL;
}  // namespace

uint64_t SysFileTime::FromUnix(int64_t seconds, int64_t nanoseconds)
{
    int64_t ticks = (seconds + EpochDifference) * 10000000LL + nanoseconds / 100;
    return ticks > 0 ? uint64_t(ticks) : 0;
}

bool SysFileTime::LastWrite(const std::string& path, uint64_t* fileTime)
{
    if (fileTime != nullptr)
        *fileTime = 0;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    if (fileTime != nullptr)
        *fileTime = FromUnix(int64_t(info.st_mtim.tv_sec), int64_t(info.st_mtim.tv_nsec));
    return true;
}
