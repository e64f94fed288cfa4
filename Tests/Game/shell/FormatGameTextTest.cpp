#include "Game/shell/FormatGameText.h"

#include <gtest/gtest.h>

TEST(FormatGameText, SubstitutesOnlyConversionsOfTheExpectedKindAndCopiesTheRest)
{
    struct Case
    {
        const char* format;
        const char* expected;
    };
    // One integer.
    const Case ints[] = {{"%d laps to go", "3 laps to go"},
                         {"%i", "3"},
                         {"%s laps", "%s laps"},
                         {"%n%x %d", "%n%x 3"},
                         {"100%% %d", "100% 3"},
                         {"%d %d", "3 %d"},
                         {"trailing %", "trailing %"},
                         {"%.2f", "%.2f"}};
    for (const Case& c : ints)
        EXPECT_STREQ(FormatGameText(WeString(c.format), {3}).c_str(), c.expected) << c.format;

    EXPECT_STREQ(FormatGameText(WeString("%s takes the lead"), {WeString("Vela")}).c_str(), "Vela takes the lead");
    EXPECT_STREQ(FormatGameText(WeString("%d %s"), {WeString("Vela")}).c_str(), "%d Vela");
    EXPECT_STREQ(FormatGameText(WeString("%s: %.2f"), {WeString("LOCK"), 1.234f}).c_str(), "LOCK: 1.23");
    EXPECT_STREQ(FormatGameText(WeString("%f"), {0.5f}).c_str(), "0.500000");
    EXPECT_STREQ(FormatGameText(WeString("%s %s %s"), {WeString("a")}).c_str(), "a %s %s");
    EXPECT_STREQ(FormatGameText(WeString(""), {1}).c_str(), "");
}
