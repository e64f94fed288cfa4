#include "Engine/foundation/WePackageScrambler.h"

#include <bit>

uint8_t WePackageScrambler::KeyAt(uint64_t offset)
{
    const uint32_t p = static_cast<uint32_t>(offset);
    const int shift = static_cast<int>(p % 32u);
    return static_cast<uint8_t>(std::rotr(p ^ Key1, shift) ^ std::rotl(p ^ Key2, shift));
}

void WePackageScrambler::Scramble(void* bytes, int64_t count, int64_t offset)
{
    uint8_t* b = static_cast<uint8_t*>(bytes);
    for (int64_t i = 0; i < count; ++i)
    {
        const uint64_t p = static_cast<uint64_t>(offset + i);
        b[i] = static_cast<uint8_t>((b[i] + static_cast<uint8_t>(p)) ^ KeyAt(p));
    }
}

void WePackageScrambler::Unscramble(void* bytes, int64_t count, int64_t offset)
{
    uint8_t* b = static_cast<uint8_t*>(bytes);
    for (int64_t i = 0; i < count; ++i)
    {
        const uint64_t p = static_cast<uint64_t>(offset + i);
        b[i] = static_cast<uint8_t>((b[i] ^ KeyAt(p)) - static_cast<uint8_t>(p));
    }
}
