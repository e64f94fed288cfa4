#pragma once
// What the libFuzzer targets share: a scratch path of their own process in memory-backed /dev/shm, and the
// recording device that the graphics readers run on.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Under WE_FUZZ_SCRATCH when set (scripts/fuzz points it at a folder it removes afterwards).
inline std::string FuzzScratchPath(const char* name)
{
    const char* folder = std::getenv("WE_FUZZ_SCRATCH");
    return std::string(folder && *folder ? folder : "/dev/shm") + "/we-fuzz-" + std::to_string(getpid()) + "-" + name;
}

inline bool FuzzWriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}
