#include "Engine/foundation/WePackageScrambler.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(WePackageScrambler, KeysMatchIndependentValues)
{
    const struct
    {
        uint64_t offset;
        uint8_t key;
    } cases[] = {{0, 0xB3}, {1, 0x28}, {31, 0x25}, {32, 0xB3}, {255, 0x95}, {65535, 0x15}, {0x12345678, 0x06}};
    for (const auto& c : cases)
        EXPECT_EQ(WePackageScrambler::KeyAt(c.offset), c.key) << "offset " << c.offset;
    // Only the low 32 bits of an offset count.
    EXPECT_EQ(WePackageScrambler::KeyAt(0x100000000ull + 255), 0x95);
}

TEST(WePackageScrambler, EveryByteAtAnyOffsetRoundTrips)
{
    for (int64_t offset : {int64_t(0), int64_t(1), int64_t(31), int64_t(4095), int64_t(0xFFFFFF00), int64_t(1) << 40})
    {
        uint8_t bytes[256];
        for (int i = 0; i < 256; ++i)
            bytes[i] = static_cast<uint8_t>(i);
        g_PackageScrambler.Scramble(bytes, 256, offset);
        g_PackageScrambler.Unscramble(bytes, 256, offset);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(bytes[i], i) << "offset " << offset;
    }
    // A range decodes on its own given its offset.
    uint8_t whole[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    WePackageScrambler::Scramble(whole, 8, 100);
    WePackageScrambler::Unscramble(whole + 5, 3, 105);
    EXPECT_EQ(whole[5], 6);
    EXPECT_EQ(whole[7], 8);
}
