// Feeds arbitrary bytes to a pickup's map record after a valid actor record: the first byte picks the actor
// record's version (28, 29, 30 or 32, the ones whose gates decide whether the respawn time and the random flag
// are stored), the rest are the pickup's own fields and whatever follows them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPickupWeapon.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
// The actor record of a weapon box as the current version writes it, then rewritten at an older version:
// below 31 the record carries the position before the matrix (16 bytes in: version, type, secondary id and
// four flag bytes).
std::vector<uint8_t> ActorRecord(int32_t version, const std::string& scratch)
{
    {
        CPickupWeapon box(PickupPlasmaBolt);
        WeFileStream out;
        if (!out.Create(scratch.c_str()))
            return {};
        box.WeActor::Save(out);
    }
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(scratch.c_str(), "rb"))
    {
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes.push_back(uint8_t(c));
        std::fclose(file);
    }
    if (bytes.size() < 16)
        return {};
    for (int i = 0; i < 4; ++i)
        bytes[size_t(i)] = uint8_t(uint32_t(version) >> (8 * i));
    if (version < 31)
        bytes.insert(bytes.begin() + 16, 12, 0);
    return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string scratch = FuzzScratchPath("pickup-actor");
    static const std::string input = FuzzScratchPath("pickup-record");
    static const int32_t Versions[4] = {28, 29, 30, 32};
    static std::vector<uint8_t> records[4];
    if (size < 1)
        return 0;
    const int pick = data[0] % 4;
    if (records[pick].empty())
        records[pick] = ActorRecord(Versions[pick], scratch);
    std::vector<uint8_t> bytes = records[pick];
    bytes.insert(bytes.end(), data + 1, data + size);
    if (!FuzzWriteFile(input, bytes.data(), bytes.size()))
        return 0;
    WeFileStream in;
    if (!in.Open(input.c_str()))
        return 0;
    CPickupWeapon box(PickupPlasmaBolt);
    (void)box.Load(in);
    return 0;
}
