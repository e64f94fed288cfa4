#include "Tools/content/ContentStillPicture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(ContentStill, ErrorsNameTheFileAndLine)
{
    const struct
    {
        const char* text;
        int line;
        const char* reason;
    } cases[] = {
        {"movie size=16x16 rate=1 seconds=1\nstill at=x\n", 2, "not a moment: x"},
        {"movie size=16x16 rate=1 seconds=1\nstill glow=1\n", 2, "unknown still field: glow=1"},
        {"movie size=16x16 rate=1 seconds=1\nstill alpha=half\n", 2, "unknown still field: alpha=half"},
        {"movie size=16x16 rate=1 seconds=1\nstill\nstill\n", 3, "a picture has one still line"},
        {"movie size=16x16 rate=1 seconds=1\nstill at=2\n", 0, "the still moment lies past the movie's end"},
    };
    for (const auto& c : cases)
    {
        ContentStillPicture picture;
        ContentError error;
        EXPECT_FALSE(picture.Parse("a.pic", c.text, &error)) << c.text;
        EXPECT_EQ(error.file, "a.pic") << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.reason, c.reason) << c.text;
    }
    // A fault of the movie's own statements keeps the line the file has.
    ContentStillPicture picture;
    ContentError error;
    EXPECT_FALSE(picture.Parse("b.pic", "movie size=16x16 rate=1 seconds=1\nstill\nbogus x=1\n", &error));
    EXPECT_EQ(error.file, "b.pic");
    EXPECT_EQ(error.line, 3);
    EXPECT_FALSE(error.reason.empty());
}

TEST(ContentStill, AlphaComesFromBrightnessOnlyWhenAsked)
{
    // A white square in the middle of black.
    const std::string shape = "movie size=32x32 rate=1 seconds=1\nrect x=0.5 y=0.5 w=0.5 h=0.5 colour=#FFFFFFFF\n";
    for (bool fromBrightness : {false, true})
    {
        ContentStillPicture picture;
        ContentError error;
        ASSERT_TRUE(picture.Parse("s.pic", shape + (fromBrightness ? "still alpha=brightness\n" : ""), &error))
            << error.Text();
        EXPECT_EQ(picture.Width(), 32);
        EXPECT_EQ(picture.Height(), 32);
        const std::vector<uint32_t> pixels = picture.Paint();
        ASSERT_EQ(pixels.size(), 32u * 32u);
        const uint32_t corner = pixels[0], middle = pixels[16 * 32 + 16];
        EXPECT_EQ(middle >> 24, 255u);
        EXPECT_GT(middle & 0xFFu, 240u);
        EXPECT_LT(corner & 0xFFu, 8u);
        EXPECT_EQ(corner >> 24, fromBrightness ? (corner & 0xFFu) : 255u);
    }
}

TEST(ContentStill, TheMomentChoosesWhatIsPainted)
{
    // A square that is there only in the second half.
    const std::string text = "movie size=16x16 rate=1 seconds=2\nrect x=0.5 y=0.5 w=0.8 h=0.8 colour=#FFFFFFFF "
                             "at=1..2\nstill at=";
    for (const char* at : {"0.5", "1.5"})
    {
        ContentStillPicture picture;
        ContentError error;
        ASSERT_TRUE(picture.Parse("t.pic", text + at + "\n", &error)) << error.Text();
        const uint32_t middle = picture.Paint()[8 * 16 + 8];
        if (std::string(at) == "0.5")
            EXPECT_LT(middle & 0xFFu, 8u);
        else
            EXPECT_GT(middle & 0xFFu, 240u);
    }
}

}  // namespace
