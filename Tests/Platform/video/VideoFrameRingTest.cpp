#include "Platform/video/VideoFrameRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<uint8_t> Filled(uint8_t value)
{
    return std::vector<uint8_t>(2 * 2 * 4, value);
}

TEST(VideoFrameRing, ReaderGetsTheNewestAndTheWriterLeavesItAlone)
{
    VideoFrameRing ring;
    ring.Reset(2, 2);
    uint32_t serial = 99;
    EXPECT_EQ(ring.TakeNewest(&serial), nullptr);
    EXPECT_EQ(serial, 0u);

    for (uint8_t v : {1, 2, 3})
        ring.Write(Filled(v).data());
    const uint8_t* held = ring.TakeNewest(&serial);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(serial, 3u);
    EXPECT_EQ(held[0], 3);

    // However many frames follow, the one held keeps its pixels until the next take.
    for (uint8_t v = 4; v < 12; ++v)
    {
        ring.Write(Filled(v).data());
        EXPECT_EQ(held[0], 3) << int(v);
        EXPECT_EQ(held[15], 3) << int(v);
    }
    const uint8_t* next = ring.TakeNewest(&serial);
    EXPECT_EQ(serial, 11u);
    EXPECT_EQ(next[0], 11);
    EXPECT_NE(next, held);

    // No new frame: the same one again.
    EXPECT_EQ(ring.TakeNewest(&serial), next);
    EXPECT_EQ(serial, 11u);
}

}  // namespace
