#include "Engine/foundation/WeRandomTable.h"

#include "Engine/foundation/WeTimer.h"
#include "Platform/system/SysRandom.h"

#include <cstdint>

namespace
{
int32_t g_RandomTable[32768];
int32_t g_RandomIndex = 0;
}  // namespace

void InitRandomTable()
{
    InitRandomTable(static_cast<uint32_t>(g_Timer.GetMilliseconds()));
}

void InitRandomTable(uint32_t seed)
{
    SysRandom::Seed(seed);
    for (int32_t& entry : g_RandomTable)
        entry = SysRandom::Next();
    g_RandomIndex = 0;
}

int NextRandom()
{
    g_RandomIndex = (g_RandomIndex + 1) & 0x3FFFFFFF;
    return g_RandomTable[(g_RandomIndex + (g_RandomIndex >> 15)) & 0x7FFF];
}
