// Fonts over the real font layer (DejaVu and Liberation through fontconfig) and the recording backend:
// keys, sizes, line breaks and wrapping, atlas packing, character sets, fallbacks and the failure paths.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class WeFontTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create(1024, 768));
        Config("UI.Fonts.DefaultFontName") = "Arial";
        Config("UI.Fonts.DefaultUnicodeFontName") = "DejaVu Sans";
        Config("UI.Fonts.Charsets") = "";
        g_Canvas.BeginFrame();
    }
    void TearDown() override
    {
        g_FontTable.DestroyAll();
        g_ScreenSize = {1024, 768};
        RecordingRender::TearDown();
    }
    static WeString& Config(const char* key) { return GetConfigString(WeString(key), WeString("")); }
    static int32_t Height(WeFont* font, const char* text, int32_t wrap = 0)
    {
        int32_t size[2] = {-1, -1};
        return font->GetTextExtent(WeString(text), size, wrap);
    }
    static int32_t Width(WeFont* font, const char* text)
    {
        int32_t size[2] = {-1, -1};
        font->GetTextExtent(WeString(text), size, 0);
        return size[0];
    }
    static int32_t TextureCount()
    {
        int32_t n = 0;
        for (auto* e = g_TextureManager.m_Textures.First(); e != nullptr; e = g_TextureManager.m_Textures.Next())
            ++n;
        return n;
    }
};

TEST_F(WeFontTest, KeysResolveToOneSharedFont)
{
    WeFont* star = g_FontTable.GetFont(WeString("*:8"));
    EXPECT_EQ(g_FontTable.GetFont(WeString("Arial:8")), star);
    EXPECT_EQ(g_FontTable.GetFont(WeString("+:8")), g_FontTable.GetFont(WeString("DejaVu Sans:8")));
    EXPECT_NE(g_FontTable.GetFont(WeString("+:8")), star);
    EXPECT_EQ(g_FontTable.GetFont(WeString("")), nullptr);
    ASSERT_NE(star, nullptr);
    EXPECT_STREQ(star->m_Key.c_str(), "Arial:8");
    EXPECT_NE(star->GetGlyphTexture(), nullptr);
    // A key without ":" is kept, created and empty.
    WeFont* bad = g_FontTable.GetFont(WeString("Arial"));
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->m_Created, 1);
    EXPECT_EQ(bad->GetGlyphTexture(), nullptr);
    EXPECT_EQ(g_FontTable.GetFont(WeString("Arial")), bad);
}

TEST_F(WeFontTest, PixelSizeFollowsTheScreenAndIsAtLeastOne)
{
    g_ScreenSize = {1280, 1024};
    WeFont* font = g_FontTable.GetFont(WeString("DejaVu Sans:8"));
    EXPECT_EQ(font->m_RasterSize, 10);
    EXPECT_FLOAT_EQ(font->m_Scale, 1.0f);
    g_ScreenSize = {1024, 768};
    for (const char* key : {"DejaVu Sans:0", "DejaVu Sans:-5"})
    {
        SCOPED_TRACE(key);
        WeFont* tiny = g_FontTable.GetFont(WeString(key));
        EXPECT_GE(tiny->m_RasterSize, 1);
        EXPECT_EQ(tiny->m_Created, 1);
    }
}

// Sizes and scales from a hostile UI configuration: the size stays inside int's range before it is converted,
// and no raster size past MaxRasterSize is tried (without the cap each of these rendered hundreds of glyphs at
// up to 4096 pixels, over and over while shrinking, for minutes). The text is still drawn at the asked size.
TEST_F(WeFontTest, HostileSizesAndScalesRasteriseAtMostMaxRasterSize)
{
    struct
    {
        const char* key;
        const char* scaleKey;
        float scale;
        bool drawn;
    } cases[] = {{"DejaVu Sans:2147483647", "UI.Fonts.GlobalScale", 1.0f, true},
                 {"DejaVu Sans:-2147483647", "UI.Fonts.GlobalScale", 1.0f, true},
                 {"DejaVu Sans:900", "UI.Fonts.GlobalScale", 1.0f, true},
                 {"DejaVu Sans:12", "UI.Fonts.SmoothingScale", 300.0f, true},
                 // The stand-in face is held at the largest raster size, whose glyphs fit no atlas: the font
                 // ends up without one, after a bounded number of tries.
                 {"NoSuchFace:12", "UI.Fonts.DefaultUnicodeFontScale", 300.0f, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.key);
        float& scale = GetConfigFloat(WeString(c.scaleKey), 1.0f);
        scale = c.scale;
        WeFont* font = g_FontTable.GetFont(WeString(c.key));
        scale = 1.0f;
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->m_Created, 1);
        EXPECT_GE(font->m_RasterSize, 1);
        EXPECT_LE(font->m_RasterSize, WeFont::MaxRasterSize);
        EXPECT_EQ(font->GetGlyphTexture() != nullptr, c.drawn);
        g_FontTable.DestroyAll();
    }
    WeFont* big = g_FontTable.GetFont(WeString("DejaVu Sans:900"));
    EXPECT_GT(big->m_Scale * float(big->m_RasterSize), float(WeFont::MaxRasterSize));
}

TEST_F(WeFontTest, GlyphMetricsAndInkStayInsideTheirCells)
{
    WeFont* font = g_FontTable.GetFont(WeString("Liberation Sans:24"));
    ASSERT_NE(font->GetGlyphTexture(), nullptr);
    WeTexture* atlas = font->GetGlyphTexture();
    const WeGlyph* a = font->GetGlyph('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(font->m_LineHeight, font->GetGlyph(' ')->height);
    EXPECT_EQ(Width(font, "AA"), 2 * (a->left + a->width + a->right));
    // Every lit texel belongs to some glyph's cell; the cell of "A" holds ink.
    std::vector<uint8_t> owned(size_t(atlas->m_Width * atlas->m_Height), 0);
    for (int cp = 0; cp < WeFont::GlyphCount; ++cp)
        if (const WeGlyph* g = font->GetGlyph(cp))
            for (int y = g->y; y < g->y + g->height; ++y)
                for (int x = g->x; x < g->x + g->width; ++x)
                    owned[size_t(y * atlas->m_Width + x)] = uint8_t(cp == 'A' ? 2 : 1);
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    ASSERT_TRUE(atlas->Lock(&bits, &total, &pitch));
    int inkA = 0, stray = 0;
    for (int y = 0; y < atlas->m_Height; ++y)
        for (int x = 0; x < atlas->m_Width; ++x)
        {
            uint32_t p = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + y * pitch)[x];
            EXPECT_EQ(p & 0xFFFFFFu, 0xFFFFFFu);
            if ((p >> 24) == 0)
                continue;
            uint8_t o = owned[size_t(y * atlas->m_Width + x)];
            inkA += o == 2;
            stray += o == 0;
        }
    atlas->Unlock();
    EXPECT_GT(inkA, 0);
    EXPECT_EQ(stray, 0);
}

TEST_F(WeFontTest, LineBreaksWrappingAndCodesThatTakeNoRoom)
{
    WeFont* font = g_FontTable.GetFont(WeString("DejaVu Sans:20"));
    int32_t line = font->m_LineHeight;
    struct
    {
        const char* text;
        int32_t lines;
    } cases[] = {{"A\r\nB", 2},
                 {"A\nB", 2},
                 {"A\n\rB", 3},
                 {"A\rB", 2},
                 {"", 1},
                 {"A\x01"
                  "FF00FF00"
                  "B",
                  1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Height(font, c.text), c.lines * line);
    }
    // Colour codes, a short colour code at the end, code points above 16 bits and controls take no room.
    int32_t ab = Width(font, "AB");
    EXPECT_EQ(Width(font, "A\x01"
                          "FF00FF00"
                          "B"),
              ab);
    EXPECT_EQ(Width(font, "A\x03"
                          "FF00FF00\x02"
                          "B"),
              ab);
    EXPECT_EQ(Width(font, "AB\x01"
                          "FF0"),
              ab);
    EXPECT_EQ(Width(font, "A\xF0\x9F\x98\x80"
                          "B"),
              ab);
    EXPECT_EQ(Width(font, "A\x05\x1F"
                          "B"),
              ab);
    EXPECT_EQ(font->GetGlyph(0x1F600), nullptr);

    // Two words in a box narrower than both, wider than the first and the space: broken at the space.
    WeString text("WWW MMM");
    int32_t first = Width(font, "WWW "), both = Width(font, "WWW MMM");
    int32_t size[2] = {0, 0};
    int32_t wrap = (first + both) / 2;
    EXPECT_EQ(font->MeasureText(text, size, wrap, true), 2 * line);
    EXPECT_STREQ(text.c_str(), "WWW\nMMM");
    EXPECT_EQ(size[0], Width(font, "WWW"));
    // Measuring does not write into a text it only measures; a null size measures nothing.
    WeString kept("WWW MMM");
    EXPECT_EQ(font->MeasureText(kept, size, wrap, false), 2 * line);
    EXPECT_STREQ(kept.c_str(), "WWW MMM");
    EXPECT_EQ(font->MeasureText(kept, nullptr, 0, false), 0);
}

TEST_F(WeFontTest, SecondCharsetAddsCyrillicAndTheFirstWins)
{
    WeFont* ansi = g_FontTable.GetFont(WeString("DejaVu Sans:16"));
    EXPECT_EQ(ansi->GetGlyph(0x0416), nullptr);
    Config("UI.Fonts.Charsets") = "204,,238";
    WeFont* both = g_FontTable.GetFont(WeString("DejaVu Sans:17"));
    ASSERT_NE(both->GetGlyph(0x0416), nullptr);
    ASSERT_NE(both->GetGlyph('A'), nullptr);
    // The ANSI face came first: 'A' sits in the atlas before any Cyrillic letter.
    EXPECT_LT(both->GetGlyph('A')->y * 4096 + both->GetGlyph('A')->x,
              both->GetGlyph(0x0416)->y * 4096 + both->GetGlyph(0x0416)->x);
    // Stopped at the empty field: nothing of 238 beyond what 1252 and 1251 cover.
    EXPECT_EQ(both->GetGlyph(0x0150), nullptr);
}

TEST_F(WeFontTest, MissingAndOverlongFacesTakeTheDefaultUnicodeFace)
{
    WeFont* reference = g_FontTable.GetFont(WeString("DejaVu Sans:16"));
    for (const char* key : {"No Such Face At All:16", "DejaVu Sans Something Very Long Name:16"})
    {
        SCOPED_TRACE(key);
        WeFont* font = g_FontTable.GetFont(WeString(key));
        ASSERT_NE(font->GetGlyphTexture(), nullptr);
        EXPECT_EQ(font->m_LineHeight, reference->m_LineHeight);
        EXPECT_EQ(Width(font, "Hello"), Width(reference, "Hello"));
    }
    // Style suffixes anywhere in the face; bold is wider.
    WeFont* bold = g_FontTable.GetFont(WeString("Deja$BVu Sans$I:16"));
    EXPECT_STREQ(bold->GetFaceName().c_str(), "Deja$BVu Sans$I");
    EXPECT_GT(Width(bold, "mmmm"), Width(reference, "mmmm"));
    // No usable face at all: creation ends, without a texture, and its texts draw nothing.
    Config("UI.Fonts.DefaultUnicodeFontName") = "Nothing Installed Here";
    WeFont* none = g_FontTable.GetFont(WeString("Nor This One:16"));
    EXPECT_EQ(none->m_Created, 1);
    EXPECT_EQ(none->GetGlyphTexture(), nullptr);
    g_GfxRecorder.ClearLog();
    g_Canvas.DrawText(none, WeString("abc"), 0, 0, 100, 20, 0xFFFFFFFF, 0, 1.0f);
    g_Canvas.Flush();
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
}

TEST_F(WeFontTest, AtlasPackingGrowsAndRowsClearTheTallestGlyph)
{
    WeFont font;
    // Single height: the sequence of sizes tried is 32x32, 64x32, 64x64, ...
    for (int cp = 0; cp < 40; ++cp)
        font.m_Glyphs[cp] = {0, 0, 0, 0, 0, 0, 0, 0, 10, 12};
    EXPECT_FALSE(font.Pack(32, 32));
    EXPECT_FALSE(font.Pack(64, 32));
    EXPECT_FALSE(font.Pack(64, 64));
    EXPECT_TRUE(font.Pack(128, 64));
    EXPECT_EQ(font.m_Glyphs[0].x, 1);
    EXPECT_EQ(font.m_Glyphs[1].x, 12);
    EXPECT_EQ(font.m_Glyphs[11].y, 14);
    // Mixed heights: the next row starts below the tallest glyph of the row before.
    WeFont mixed;
    mixed.m_Glyphs[65] = {0, 0, 0, 0, 0, 0, 0, 0, 10, 30};
    mixed.m_Glyphs[66] = {0, 0, 0, 0, 0, 0, 0, 0, 10, 5};
    mixed.m_Glyphs[67] = {0, 0, 0, 0, 0, 0, 0, 0, 10, 5};
    ASSERT_TRUE(mixed.Pack(25, 64));
    EXPECT_EQ(mixed.m_Glyphs[67].y, 1 + 30 + 1);
    // A glyph wider than the atlas never fits.
    WeFont wide;
    wide.m_Glyphs[65] = {0, 0, 0, 0, 0, 0, 0, 0, 40, 5};
    EXPECT_FALSE(wide.Pack(32, 64));
}

TEST_F(WeFontTest, AFailedLockLeavesNoTextureAndRecreatingReleasesTheOldAtlas)
{
    int32_t before = TextureCount();
    // Every lock fails: each retry's atlas is released again.
    g_GfxRecorder.FailNext("LockRect", 1000);
    WeFont* font = g_FontTable.GetFont(WeString("DejaVu Sans:12"));
    g_GfxRecorder.ResetAll();
    EXPECT_EQ(font->GetGlyphTexture(), nullptr);
    EXPECT_EQ(TextureCount(), before);
    // Without an atlas its texts take no room either: a label sized by them would frame nothing.
    EXPECT_EQ(Width(font, "AB"), 0);
    EXPECT_EQ(Height(font, "AB"), 0);
    EXPECT_EQ(font->GetGlyph('A'), nullptr);

    WeFont* good = g_FontTable.GetFont(WeString("DejaVu Sans:14"));
    WeTexture* old = good->GetGlyphTexture();
    ASSERT_NE(old, nullptr);
    int32_t withFont = TextureCount();
    g_ScreenSize = {2048, 1536};
    g_Canvas.OnResetDevice();
    EXPECT_NE(good->GetGlyphTexture(), nullptr);
    EXPECT_EQ(good->m_RasterSize, 28);
    // Each old atlas is gone; the font whose locks failed before now has its first one.
    EXPECT_NE(font->GetGlyphTexture(), nullptr);
    EXPECT_EQ(TextureCount(), withFont + 1);
}

TEST_F(WeFontTest, DrawTextRecordPlacesGlyphQuadsInTheBox)
{
    WeFont* font = g_FontTable.GetFont(WeString("DejaVu Sans:20"));
    int32_t w = Width(font, "AB");
    g_GfxRecorder.ClearLog();
    g_Canvas.DrawText(font, WeString("AB"), 100, 50, 200, 40, 0xFFFFFFFF, 2 | 8, 1.0f);
    g_Canvas.DrawText(font,
                      WeString("\x01"
                               "80FF0000"
                               "A"),
                      0, 0, 200, 40, 0xFF00FF00, 0, 1.0f);
    g_Canvas.Flush();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);  // one atlas, one batch
    ASSERT_EQ(draws[0]->primitiveCount, 6u);
    std::vector<WeCanvasVertex> v(draws[0]->vertices.size() / sizeof(WeCanvasVertex));
    std::memcpy(v.data(), draws[0]->vertices.data(), v.size() * sizeof(WeCanvasVertex));
    const WeGlyph* a = font->GetGlyph('A');
    // Right- and bottom-aligned.
    EXPECT_FLOAT_EQ(v[0].x, float(100 + 200 - w + a->left));
    EXPECT_FLOAT_EQ(v[0].y, float(50 + 40 - font->m_LineHeight));
    EXPECT_FLOAT_EQ(v[1].x - v[0].x, float(a->width));
    // A multiplying colour code: green text times red gives black at half alpha.
    EXPECT_EQ(v[8].colour, 0x80000000u);
}

}  // namespace
