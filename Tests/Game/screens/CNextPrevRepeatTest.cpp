// The browsers' auto-repeat at 60 frames a second: one move on the press frame, then one about every
// interval while held; a release starts over.
#include <gtest/gtest.h>

#include <vector>

#include "Game/screens/CNextPrevRepeat.h"

namespace
{
std::vector<int> FiringFrames(int heldFrames, float interval)
{
    CNextPrevRepeat repeat;
    std::vector<int> frames;
    for (int f = 0; f < heldFrames; ++f)
        if (repeat.Step(true, 1.0f / 60.0f, interval))
            frames.push_back(f);
    return frames;
}
}  // namespace

TEST(CNextPrevRepeat, HeldFiresAtOnceThenAboutEveryInterval)
{
    const std::vector<int> frames = FiringFrames(100, 0.5f);
    ASSERT_EQ(frames.size(), 4u);
    const int expected[] = {0, 32, 64, 96};
    for (size_t i = 0; i < frames.size(); ++i)
    {
        EXPECT_NEAR(frames[i], expected[i], 1) << i;
    }
}

TEST(CNextPrevRepeat, TapsFireOnceEachAndAReleaseResets)
{
    CNextPrevRepeat repeat;
    int fired = 0;
    for (int tap = 0; tap < 5; ++tap)
    {
        fired += repeat.Step(true, 1.0f / 60.0f, 0.5f) ? 1 : 0;
        fired += repeat.Step(true, 1.0f / 60.0f, 0.5f) ? 1 : 0;
        fired += repeat.Step(false, 1.0f / 60.0f, 0.5f) ? 1 : 0;
        EXPECT_EQ(repeat.m_Repeating, 0);
        EXPECT_EQ(repeat.m_Held, 0.0f);
    }
    EXPECT_EQ(fired, 5);
}
