#include "Platform/system/SysRandom.h"

// The C runtime starts as if seeded with 1.
uint32_t SysRandom::s_State = 1;

void SysRandom::Seed(uint32_t seed)
{
    s_State = seed;
}

int32_t SysRandom::Next()
{
    s_State = s_State * 214013u + 2531011u;
    return static_cast<int32_t>((s_State >> 16) & 0x7FFFu);
}

int32_t SysRandom::Scaled(int32_t n)
{
    return static_cast<int32_t>(static_cast<int64_t>(Next()) * n / 32768);
}
