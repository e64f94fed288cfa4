#include "Engine/foundation/WeConfig.h"

#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

// Bound references see an override at once and get their value back after it.
TEST(ConfigOverride, BoundReferencesSeeTheTextAndGetTheOldOneBack)
{
    int32_t& bound = GetConfigInt("game.Test.OverrideProbe", 7);
    {
        ConfigOverride override("game.Test.OverrideProbe", "42");
        EXPECT_EQ(bound, 42);
    }
    EXPECT_EQ(bound, 7);
}
