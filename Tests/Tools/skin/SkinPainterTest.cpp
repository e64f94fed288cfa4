// The skin description painter: parts, derived states and nine-part slices with their names and sizes,
// errors with their line, and the atlas: parts apart, each ringed by a gutter of its own edge pixels.
#include <gtest/gtest.h>

#include <string>

#include "Tools/skin/SkinPainter.h"

namespace
{

const SkinImage* Find(const SkinPainter& p, const std::string& name)
{
    for (const SkinImage& img : p.Images())
        if (img.name == name)
            return &img;
    return nullptr;
}

TEST(SkinPainter, PartsStatesAndNinePartSlices)
{
    SkinPainter p;
    std::string error;
    ASSERT_TRUE(p.Parse("; comment\npart Dot 4x2\nfill #FF102030\n"
                        "states Btn 8x8\nfill #FF404040\nborder 1 #FFFFFFFF\n"
                        "nine Frame 20x12 4\nfill #80000000\n",
                        &error))
        << error;
    const SkinImage* dot = Find(p, "Dot");
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->width, 4);
    EXPECT_EQ(dot->pixels[0], 0xFF102030u);
    const SkinImage *normal = Find(p, "Btn_Normal"), *over = Find(p, "Btn_Over"), *clicked = Find(p, "Btn_Clicked");
    ASSERT_TRUE(normal && over && clicked);
    // The centre pixel: over lighter, clicked darker; the clicked image is inset by a pixel.
    uint32_t n = normal->pixels[4 * 8 + 4], o = over->pixels[4 * 8 + 4], c = clicked->pixels[4 * 8 + 4];
    EXPECT_GT((o >> 16) & 0xFF, (n >> 16) & 0xFF);
    EXPECT_LT((c >> 16) & 0xFF, (n >> 16) & 0xFF);
    EXPECT_EQ(clicked->pixels[1 * 8 + 1] & 0xFFFFFF, 0xBFBFBFu);  // the border moved in, darkened
    struct
    {
        const char* name;
        int w, h;
    } nine[] = {{"FrameTopLeft", 4, 4},    {"FrameTop", 12, 4},        {"FrameTopRight", 4, 4},
                {"FrameLeft", 4, 4},       {"FrameBackground", 12, 4}, {"FrameRight", 4, 4},
                {"FrameBottomLeft", 4, 4}, {"FrameBottom", 12, 4},     {"FrameBottomRight", 4, 4}};
    for (const auto& part : nine)
    {
        SCOPED_TRACE(part.name);
        const SkinImage* img = Find(p, part.name);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->width, part.w);
        EXPECT_EQ(img->height, part.h);
    }
}

TEST(SkinPainter, BadLinesAreRefusedWithTheirLine)
{
    struct
    {
        const char* text;
        const char* where;
    } cases[] = {{"fill #FF000000\n", "line 1"},         {"part A 0x4\n", "line 1"},
                 {"part A 4x4\nfill #F00\n", "line 2"},  {"part A 4x4\nicon star #FFFFFFFF\n", "line 2"},
                 {"part A 4x4\npart A 4x4\n", "line 2"}, {"nine N 8x8 4\n", "line 1"},
                 {"; only a comment\n", "no parts"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        SkinPainter p;
        std::string error;
        EXPECT_FALSE(p.Parse(c.text, &error));
        EXPECT_NE(error.find(c.where), std::string::npos) << error;
    }
}

TEST(SkinPainter, AtlasKeepsPartsApartInsideGutters)
{
    SkinPainter p;
    std::string error;
    ASSERT_TRUE(p.Parse("part A 10x6\nfill #FFFF0000\nrect 0 0 1 1 #FF00FF00\n"
                        "part B 30x20\nfill #FF0000FF\npart C 3x3\nfill #FFFFFFFF\n",
                        &error));
    SkinAtlas atlas;
    ASSERT_TRUE(p.Pack(64, &atlas));
    EXPECT_EQ(atlas.width, 64);
    EXPECT_EQ(atlas.height & (atlas.height - 1), 0);  // a power of two
    const SkinImage* a = Find(p, "A");
    // The corner pixel repeats into the two gutter pixels beside and above it.
    auto at = [&](int x, int y) { return atlas.pixels[size_t(y) * 64 + size_t(x)]; };
    EXPECT_EQ(at(a->x - 2, a->y - 2), 0xFF00FF00u);
    EXPECT_EQ(at(a->x + a->width + 1, a->y + 3), 0xFFFF0000u);
    // No part's gutter ring overlaps another part's.
    for (const SkinImage& i : p.Images())
        for (const SkinImage& j : p.Images())
            if (&i != &j)
            {
                EXPECT_TRUE(i.x + i.width + 2 <= j.x - 2 || j.x + j.width + 2 <= i.x - 2 ||
                            i.y + i.height + 2 <= j.y - 2 || j.y + j.height + 2 <= i.y - 2)
                    << i.name << " " << j.name;
            }
    // Too wide for the atlas.
    EXPECT_FALSE(p.Pack(33, &atlas));
    // The texture map names every part with its place.
    std::string ini = p.TextureMapIni(atlas, "Textures.UI.Skin");
    EXPECT_NE(ini.find("[General]\nImagefile=Textures.UI.Skin\nNativeHorzRes=64\n"), std::string::npos);
    EXPECT_NE(ini.find("[B]\nXPos=" + std::to_string(Find(p, "B")->x)), std::string::npos);
}

}  // namespace
