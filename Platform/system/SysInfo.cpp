#include "Platform/system/SysInfo.h"

#include "Platform/system/SysLineReader.h"
#include "Platform/system/SysText.h"

#include <cstdio>
#include <cstring>
#include <sys/utsname.h>
#include <unistd.h>

namespace
{

// Splits "key<blanks>: value" into the key (trimmed) and the value; false for lines without ':'.
bool SplitField(const char* line, char* key, size_t keySize, const char*& value)
{
    const char* colon = strchr(line, ':');
    if (colon == nullptr)
        return false;
    size_t length = static_cast<size_t>(colon - line);
    while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t'))
        --length;
    if (length >= keySize)
        length = keySize - 1;
    memcpy(key, line, length);
    key[length] = '\0';
    value = colon + 1;
    while (*value == ' ' || *value == '\t')
        ++value;
    return true;
}

// Leading decimal digits of text as a value; a fraction rounds to the nearest whole number.
uint64_t ParseUnsigned(const char* text, bool* ok = nullptr)
{
    uint64_t value = 0;
    bool any = false;
    while (*text >= '0' && *text <= '9')
    {
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        ++text;
        any = true;
    }
    if (*text == '.' && text[1] >= '5' && text[1] <= '9')
        ++value;
    if (ok != nullptr)
        *ok = any;
    return value;
}

}  // namespace

void SysInfo::GetOsVersion(char* out, size_t size)
{
    if (out == nullptr || size == 0)
        return;
    utsname names{};
    if (uname(&names) != 0)
    {
        out[0] = '\0';
        return;
    }
    snprintf(out, size, "%s %s %s %s", names.sysname, names.release, names.version, names.machine);
}

int SysInfo::ForEachProcessor(ProcessorFn fn, void* context)
{
    return ForEachProcessorIn("/proc/cpuinfo", fn, context);
}

int SysInfo::ForEachProcessorIn(const char* cpuinfoPath, ProcessorFn fn, void* context)
{
    SysLineReader reader(cpuinfoPath);
    if (!reader.IsOpen())
        return 0;

    int count = 0;
    bool inBlock = false;
    SysProcessorInfo current{};
    auto finish = [&]()
    {
        if (inBlock)
        {
            ++count;
            if (fn != nullptr)
                fn(current, context);
        }
        inBlock = false;
        current = SysProcessorInfo{};
    };

    const char* line = nullptr;
    while (reader.Next(line))
    {
        char key[64];
        const char* value = nullptr;
        if (!SplitField(line, key, sizeof(key), value))
        {
            // A blank line ends a processor's block.
            if (line[0] == '\0')
                finish();
            continue;
        }
        if (strcmp(key, "processor") == 0)
        {
            finish();
            inBlock = true;
        }
        else if (!inBlock)
        {
            continue;
        }
        else if (strcmp(key, "model name") == 0 && !current.hasName)
        {
            SysText::CopyTruncated(current.name, sizeof(current.name), value);
            current.hasName = true;
        }
        else if (strcmp(key, "cpu MHz") == 0 && !current.hasMhz)
        {
            bool ok = false;
            uint64_t mhz = ParseUnsigned(value, &ok);
            if (ok)
            {
                current.mhz = mhz > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(mhz);
                current.hasMhz = true;
            }
        }
    }
    finish();
    return count;
}

bool SysInfo::GetMemory(SysMemoryInfo& out)
{
    return GetMemoryFrom("/proc/meminfo", out);
}

bool SysInfo::GetMemoryFrom(const char* meminfoPath, SysMemoryInfo& out)
{
    out = SysMemoryInfo{};
    SysLineReader reader(meminfoPath);
    if (!reader.IsOpen())
        return false;

    uint64_t totalKb = 0, availableKb = 0, freeKb = 0, buffersKb = 0, cachedKb = 0;
    uint64_t commitLimitKb = 0, committedKb = 0;
    bool haveTotal = false, haveAvailable = false;
    const char* line = nullptr;
    while (reader.Next(line))
    {
        char key[64];
        const char* value = nullptr;
        if (!SplitField(line, key, sizeof(key), value))
            continue;
        bool ok = false;
        uint64_t kb = ParseUnsigned(value, &ok);
        if (!ok)
            continue;
        if (strcmp(key, "MemTotal") == 0)
        {
            totalKb = kb;
            haveTotal = true;
        }
        else if (strcmp(key, "MemAvailable") == 0)
        {
            availableKb = kb;
            haveAvailable = true;
        }
        else if (strcmp(key, "MemFree") == 0)
            freeKb = kb;
        else if (strcmp(key, "Buffers") == 0)
            buffersKb = kb;
        else if (strcmp(key, "Cached") == 0)
            cachedKb = kb;
        else if (strcmp(key, "CommitLimit") == 0)
            commitLimitKb = kb;
        else if (strcmp(key, "Committed_AS") == 0)
            committedKb = kb;
    }
    if (!haveTotal)
        return false;
    // Kernels before 3.14 have no MemAvailable; free plus reclaimable caches is the old estimate.
    if (!haveAvailable)
        availableKb = freeKb + buffersKb + cachedKb;
    if (availableKb > totalKb)
        availableKb = totalKb;

    // Saturate: a corrupt or hostile figure must not wrap.
    constexpr uint64_t MaxKb = UINT64_MAX / 1024;
    auto bytes = [](uint64_t kb) { return (kb > MaxKb ? MaxKb : kb) * 1024; };
    out.totalPhysical = bytes(totalKb);
    out.availablePhysical = bytes(availableKb);
    out.memoryLoad = totalKb == 0 ? 0
                                  : static_cast<uint32_t>((static_cast<double>(totalKb - availableKb) * 100.0) /
                                                          static_cast<double>(totalKb));
    out.totalVirtual = bytes(commitLimitKb);
    out.availableVirtual = bytes(committedKb >= commitLimitKb ? 0 : commitLimitKb - committedKb);
    return true;
}
