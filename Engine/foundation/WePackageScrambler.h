#pragma once
#include <cstdint>

// The byte scramble of the package file. Each byte is keyed by its absolute offset in the file and by
// nothing else, so any range decodes on its own once its offset is known.
class WePackageScrambler
{
public:
    static constexpr uint32_t Key1 = 0x19E4A7D2u;
    static constexpr uint32_t Key2 = 0x8E3F5B61u;

    // The key byte for the byte at absolute offset p (only the low 32 bits of the offset count).
    static uint8_t KeyAt(uint64_t offset);
    // In place: count bytes that sit at offset, offset + 1, ...
    static void Scramble(void* bytes, int64_t count, int64_t offset);
    static void Unscramble(void* bytes, int64_t count, int64_t offset);
};

// Stateless; one name for the routines, as the rest of the engine refers to them.
inline constexpr WePackageScrambler g_PackageScrambler{};
