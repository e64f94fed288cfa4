#include "Platform/system/SysText.h"

#include <gtest/gtest.h>

#include <string>

TEST(SysText, CopyTruncatedCutsToFitAndAlwaysTerminates)
{
    struct Case
    {
        const char* text;
        size_t size;
        const char* expected;
    } cases[] = {
        {"abc", 8, "abc"},
        {"abcdefg", 8, "abcdefg"},
        {"abcdefgh", 8, "abcdefg"},
        {"abcdefghijk", 8, "abcdefg"},
        {"", 8, ""},
        {"abc", 1, ""},
    };
    for (const Case& c : cases)
    {
        char out[9];
        std::string(sizeof(out), '#').copy(out, sizeof(out));
        SysText::CopyTruncated(out, c.size, c.text);
        EXPECT_STREQ(out, c.expected) << c.text << " into " << c.size;
        EXPECT_EQ(out[8], '#') << "wrote past the size";
    }
}

TEST(SysText, CopyTruncatedIntoNoRoomWritesNothing)
{
    char out[2] = {'#', '#'};
    SysText::CopyTruncated(out, 0, "abc");
    EXPECT_EQ(out[0], '#');
    EXPECT_EQ(out[1], '#');
}
