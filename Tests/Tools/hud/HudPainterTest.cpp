// The display's picture description: cells at exact rectangles, the same pixels from the same text, and a
// bad line stopping the painting with its file, line and reason.
#include <gtest/gtest.h>

#include <string>

#include "Tools/hud/HudPainter.h"

namespace
{

uint32_t At(const HudPicture& p, int x, int y)
{
    return p.pixels[size_t(y) * size_t(p.width) + size_t(x)];
}

}  // namespace

TEST(HudPainter, CellsArePaintedAtTheirRectanglesOnly)
{
    const std::string text = "texture T 64x32\n"
                             "cell A 8 4 24 20 ; a comment\n"
                             "fill #FF102030\n"
                             "rect 0 0 4 4 #FFFFFFFF\n"
                             "cell B 32 0 64 32\n"
                             "disc 16 16 8 #80FF0000\n"
                             "disc 16 16 3 #00000000\n";
    HudPainter painter;
    std::string error;
    ASSERT_TRUE(painter.Parse(text, "t.txt", &error)) << error;
    ASSERT_EQ(painter.Pictures().size(), 1u);
    const HudPicture& p = painter.Pictures()[0];
    EXPECT_EQ(p.name, "T");
    EXPECT_EQ(At(p, 7, 4), 0u);
    EXPECT_EQ(At(p, 8, 4), 0xFFFFFFFFu);
    EXPECT_EQ(At(p, 12, 10), 0xFF102030u);
    EXPECT_EQ(At(p, 23, 19), 0xFF102030u);
    EXPECT_EQ(At(p, 24, 19), 0u);
    EXPECT_EQ(At(p, 48, 22) >> 24, 0x80u);
    // The small disc in #00000000 cut a hole in the large one.
    EXPECT_EQ(At(p, 48, 16) >> 24, 0u);

    HudPainter again;
    ASSERT_TRUE(again.Parse(text, "t.txt", &error));
    EXPECT_EQ(again.Pictures()[0].pixels, p.pixels);
}

TEST(HudPainter, BadLinesStopWithTheFileTheLineAndTheReason)
{
    struct Case
    {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"texture T 64x32\ncell A 0 0 65 8\n", "h.txt:2: the cell A lies outside its 64x32 texture"},
        {"texture T 64x32\ncell A 0 0 16 16\ncell B 8 8 24 24\n", "h.txt:3: the cell B overlaps the cell A of line 2"},
        {"texture T 64x32\ncell A 0 0 16 16\nfill red\n", "h.txt:3: cannot read \"fill\" here"},
        {"fill #FFFFFFFF\n", "h.txt:1: \"fill\" before any cell"},
        {"texture T 0x32\n", "h.txt:1: expected \"texture <Name> <W>x<H>\""},
        {"cell A 0 0 1 1\n", "h.txt:1: a cell before any texture"},
        {"; nothing\n", "h.txt: describes no texture"},
        {"texture T 8x8\ntexture T 8x8\n", "h.txt:2: the texture T is described twice"},
        {"texture T 8x8\ncell A 4 4 4 8\n", "h.txt:2: the cell A is empty"},
    };
    for (const Case& c : cases)
    {
        HudPainter painter;
        std::string error;
        EXPECT_FALSE(painter.Parse(c.text, "h.txt", &error)) << c.text;
        EXPECT_EQ(error.compare(0, std::string(c.error).size(), c.error), 0) << error;
    }
}
