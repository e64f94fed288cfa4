#include "Platform/fonts/FontFace.h"
#include "Platform/fonts/FontBitmap.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace
{

std::unique_ptr<FontFace> Make(const char* face, int height, int weight = FW_NORMAL, bool underline = false,
                               bool strikeOut = false)
{
    FontCreateParams p;
    p.face = face;
    p.height = height;
    p.weight = weight;
    p.underline = underline;
    p.strikeOut = strikeOut;
    return FontFace::Create(p);
}

int Advance(FontFace& font, uint32_t cp)
{
    FontABC abc;
    if (!font.GetCharABCWidths(cp, abc))
        return -1;
    return abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
}

int Coverage(const FontBitmap& bm, int x, int y)
{
    return static_cast<int>(bm.Pixel(x, y) & 0xFF);
}

TEST(FontFace, PositiveHeightIsTheCellNegativeTheEm)
{
    auto cell = Make("DejaVu Sans", 20);
    ASSERT_NE(cell, nullptr);
    const FontTextMetrics& m = cell->TextMetrics();
    EXPECT_EQ(m.tmHeight, 20);
    EXPECT_EQ(m.tmAscent + m.tmDescent, 20);
    EXPECT_GT(m.tmAscent, m.tmDescent);
    EXPECT_GT(m.tmInternalLeading, 0);
    EXPECT_GE(m.tmExternalLeading, 0);
    EXPECT_EQ(m.tmWeight, FW_NORMAL);
    EXPECT_GT(m.tmAveCharWidth, 0);
    EXPECT_GE(m.tmMaxCharWidth, m.tmAveCharWidth);
    EXPECT_EQ(m.tmPitchAndFamily & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);  // set means proportional
    EXPECT_EQ(cell->Family(), "DejaVu Sans");

    auto em = Make("DejaVu Sans", -20);
    ASSERT_NE(em, nullptr);
    EXPECT_GT(em->TextMetrics().tmHeight, 20);
    EXPECT_EQ(em->TextMetrics().tmInternalLeading, em->TextMetrics().tmHeight - 20);  // the em is the 20

    auto mono = Make("Courier New", 16);
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(mono->Family(), "Liberation Mono");
    EXPECT_EQ(mono->TextMetrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_EQ(Advance(*mono, 'i'), Advance(*mono, 'W'));
}

TEST(FontFace, RefusesHeightsOutOfRange)
{
    EXPECT_EQ(Make("DejaVu Sans", FontFace::MaxHeight + 1), nullptr);
    EXPECT_EQ(Make("DejaVu Sans", -FontFace::MaxHeight - 1), nullptr);
    // The smallest heights in range still make a font, a positive one a cell of that height.
    for (int height : {1, 2, -1, FontFace::MaxHeight, -FontFace::MaxHeight})
    {
        auto font = Make("DejaVu Sans", height);
        ASSERT_NE(font, nullptr) << height;
        if (height > 0)
        {
            EXPECT_EQ(font->TextMetrics().tmHeight, height);
        }
        else
        {
            EXPECT_GE(font->TextMetrics().tmHeight, -height);
        }
    }
    // A face that is not installed still gives a font, from the face fontconfig falls back to.
    EXPECT_NE(Make("Xyzzy Nonexistent Face", 12), nullptr);
}

TEST(FontFace, AbcWidthsArePositiveAndGrowWithSize)
{
    const int sizes[] = {8, 10, 12, 16, 20, 24, 32, 48, 64};
    for (uint32_t cp : {uint32_t('A'), uint32_t('W'), uint32_t('i'), uint32_t('m'), uint32_t(0xE9)})
    {
        int lastAdvance = 0;
        unsigned lastInk = 0;
        for (int size : sizes)
        {
            auto font = Make("DejaVu Sans", size);
            ASSERT_NE(font, nullptr);
            FontABC abc;
            ASSERT_TRUE(font->GetCharABCWidths(cp, abc)) << cp;
            const int advance = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
            EXPECT_GT(abc.abcB, 0u) << cp << " at " << size;
            EXPECT_GT(advance, 0) << cp << " at " << size;
            EXPECT_GE(advance, lastAdvance) << cp << " at " << size;
            EXPECT_GE(abc.abcB, lastInk) << cp << " at " << size;
            lastAdvance = advance;
            lastInk = abc.abcB;
        }
    }
}

TEST(FontFace, SpaceHasAdvanceButNoInkAndMissingGlyphsAreRefused)
{
    auto font = Make("DejaVu Sans", 16);
    ASSERT_NE(font, nullptr);
    FontABC abc;
    ASSERT_TRUE(font->GetCharABCWidths(' ', abc));
    EXPECT_EQ(abc.abcB, 0u);
    EXPECT_GT(abc.abcA + abc.abcC, 0);
    EXPECT_FALSE(font->GetCharABCWidths(0x01, abc));    // a control code
    EXPECT_FALSE(font->GetCharABCWidths(0xF8FF, abc));  // private use, not in the face

    // Drawing a code point without a glyph leaves the bitmap black and takes no room.
    FontBitmap bm;
    ASSERT_TRUE(bm.Create(40, 30));
    const char16_t text[] = {0xF8FF, u'I'};
    const char16_t alone[] = {u'I'};
    FontBitmap ref;
    ASSERT_TRUE(ref.Create(40, 30));
    EXPECT_TRUE(font->TextOut(bm, 5, 5, text, 2));
    EXPECT_TRUE(font->TextOut(ref, 5, 5, alone, 1));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(bm.Pixel(x, y), ref.Pixel(x, y)) << x << "," << y;
    EXPECT_FALSE(font->TextOut(bm, 0, 0, nullptr, 1));
}

// The glyph atlas draws each character at its cell's left minus (A - 1), so the ink starts one pixel
// into a cell B + 2 wide; nothing may spill out of the cell.
TEST(FontFace, RasterisedGlyphStaysInItsCell)
{
    for (const char* face : {"DejaVu Sans", "Arial"})
        for (int size : {12, 24, 40})
        {
            auto font = Make(face, size);
            ASSERT_NE(font, nullptr);
            const FontTextMetrics& m = font->TextMetrics();
            FontABC abc;
            ASSERT_TRUE(font->GetCharABCWidths('I', abc));
            const int cellX = 7, cellY = 5;
            const int cellW = static_cast<int>(abc.abcB) + 2;
            const int cellH = m.tmHeight + m.tmExternalLeading;
            FontBitmap bm;
            ASSERT_TRUE(bm.Create(cellX + cellW + 20, cellY + cellH + 20));
            const char16_t text[] = {u'I'};
            ASSERT_TRUE(font->TextOut(bm, cellX - (abc.abcA - 1), cellY, text, 1));

            int inked = 0;
            for (int y = 0; y < bm.Height(); ++y)
                for (int x = 0; x < bm.Width(); ++x)
                {
                    const uint32_t p = bm.Pixel(x, y);
                    ASSERT_EQ(p >> 24, 0u);
                    ASSERT_EQ((p >> 16) & 0xFF, p & 0xFF);  // grey: every channel the coverage
                    if (p == 0)
                        continue;
                    ++inked;
                    ASSERT_GE(x, cellX + 1) << face << " " << size;
                    ASSERT_LT(x, cellX + 1 + static_cast<int>(abc.abcB)) << face << " " << size;
                    ASSERT_GE(y, cellY) << face << " " << size;
                    ASSERT_LT(y, cellY + cellH) << face << " " << size;
                }
            EXPECT_GT(inked, 0);
            // The stem runs from above the baseline down to it: every row of it holds about a pixel or
            // more of ink across the cell's ink columns, the row under the baseline none.
            auto rowInk = [&](int y)
            {
                int sum = 0;
                for (int x = cellX + 1; x < cellX + 1 + static_cast<int>(abc.abcB); ++x)
                    sum += Coverage(bm, x, y);
                return sum;
            };
            EXPECT_GE(rowInk(cellY + m.tmAscent - 1), 200) << face << " " << size;
            EXPECT_GE(rowInk(cellY + m.tmAscent / 2 + 1), 200) << face << " " << size;
            EXPECT_EQ(rowInk(cellY + m.tmAscent + 1), 0) << face << " " << size;
        }
}

// Glyphs that overhang their pen position (negative A, as 'j' has, or C, as an italic 'f' has) still
// draw only inside the B + 2 cell the atlas gives them.
TEST(FontFace, OverhangingGlyphsStayInTheirCell)
{
    int negativeA = 0;
    for (bool italic : {false, true})
        for (const char* face : {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Light"})
        {
            FontCreateParams p;
            p.face = face;
            p.height = 24;
            p.italic = italic;
            auto font = FontFace::Create(p);
            ASSERT_NE(font, nullptr);
            const FontTextMetrics& m = font->TextMetrics();
            for (char16_t c : {u'j', u'f', u'y', u'W'})
            {
                FontABC abc;
                ASSERT_TRUE(font->GetCharABCWidths(c, abc));
                ASSERT_GT(abc.abcB, 0u);
                negativeA += abc.abcA < 0 ? 1 : 0;
                const int cellX = 6, cellY = 4;
                const int cellW = static_cast<int>(abc.abcB) + 2;
                FontBitmap bm;
                ASSERT_TRUE(bm.Create(cellX + cellW + 12, cellY + m.tmHeight + 12));
                ASSERT_TRUE(font->TextOut(bm, cellX - (abc.abcA - 1), cellY, &c, 1));
                int inked = 0;
                for (int y = 0; y < bm.Height(); ++y)
                    for (int x = 0; x < bm.Width(); ++x)
                    {
                        if (bm.Pixel(x, y) == 0)
                            continue;
                        ++inked;
                        ASSERT_GE(x, cellX + 1) << face << " " << italic << " " << char(c);
                        ASSERT_LT(x, cellX + cellW - 1) << face << " " << italic << " " << char(c);
                        ASSERT_GE(y, cellY) << face << " " << italic << " " << char(c);
                        ASSERT_LT(y, cellY + m.tmHeight) << face << " " << italic << " " << char(c);
                    }
                EXPECT_GT(inked, 0) << face << " " << italic << " " << char(c);
            }
        }
    EXPECT_GT(negativeA, 0);  // the case is really there
}

// Text placed partly off the bitmap writes only the pixels that are on it, the same ones a larger
// bitmap shows at that place.
TEST(FontFace, TextPartlyOffTheBitmapIsClipped)
{
    FontCreateParams p;
    p.face = "DejaVu Sans";
    p.height = 20;
    p.italic = true;
    p.underline = true;
    p.strikeOut = true;
    auto font = FontFace::Create(p);
    ASSERT_NE(font, nullptr);
    const char16_t text[] = {u'W', u'j', u'f', u'g'};
    const int margin = 40, side = 16;
    FontBitmap big;
    ASSERT_TRUE(big.Create(side + 2 * margin, side + 2 * margin));
    for (const auto& [x, y] : {std::pair{-12, -9}, std::pair{8, 7}, std::pair{-30, 5}, std::pair{3, -15},
                               std::pair{14, 14}, std::pair{-100, -100}, std::pair{200, 3}})
    {
        FontBitmap small;
        ASSERT_TRUE(small.Create(side, side));
        ASSERT_TRUE(font->TextOut(small, x, y, text, 4));
        ASSERT_TRUE(big.Create(side + 2 * margin, side + 2 * margin));
        ASSERT_TRUE(font->TextOut(big, x + margin, y + margin, text, 4));
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c)
                ASSERT_EQ(small.Pixel(c, r), big.Pixel(c + margin, r + margin)) << x << "," << y;
    }
    // Positions at the ends of the coordinate range draw nothing (and compute nothing out of range).
    const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    for (const auto& [x, y] : {std::pair{most - 4, 0}, std::pair{least + 1, 0}, std::pair{0, most - 2},
                               std::pair{0, least + 1}, std::pair{least, least}, std::pair{most, most}})
    {
        FontBitmap small;
        ASSERT_TRUE(small.Create(side, side));
        ASSERT_TRUE(font->TextOut(small, x, y, text, 4));
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c)
                ASSERT_EQ(small.Pixel(c, r), 0u) << x << "," << y;
    }
}

// A text is its glyphs each drawn at the pen the ABC widths before it give, overhangs and all.
TEST(FontFace, PenAdvancesByTheAbcSum)
{
    for (bool italic : {false, true})
    {
        FontCreateParams p;
        p.face = "Liberation Serif";
        p.height = 30;
        p.italic = italic;
        auto font = FontFace::Create(p);
        ASSERT_NE(font, nullptr);
        const char16_t text[] = {u'W', u'j', u'f', u'A', u'V'};
        FontBitmap whole, pieces;
        ASSERT_TRUE(whole.Create(160, 40));
        ASSERT_TRUE(pieces.Create(160, 40));
        ASSERT_TRUE(font->TextOut(whole, 10, 3, text, 5));
        int pen = 10;
        for (char16_t c : text)
        {
            ASSERT_TRUE(font->TextOut(pieces, pen, 3, &c, 1));
            pen += Advance(*font, c);
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 160; ++x)
                ASSERT_EQ(whole.Pixel(x, y), pieces.Pixel(x, y)) << italic << " " << x << "," << y;
    }
}

TEST(FontFace, BoldIsWider)
{
    for (const char* face : {"DejaVu Sans", "Arial", "Verdana"})
    {
        auto regular = Make(face, 24);
        auto bold = Make(face, 24, FW_BOLD);
        ASSERT_NE(regular, nullptr);
        ASSERT_NE(bold, nullptr);
        EXPECT_EQ(bold->TextMetrics().tmWeight, FW_BOLD);
        int plainWidth = 0, boldWidth = 0;
        unsigned plainStem = 0, boldStem = 0;
        for (char c : std::string("Hello World"))
        {
            plainWidth += Advance(*regular, static_cast<unsigned char>(c));
            boldWidth += Advance(*bold, static_cast<unsigned char>(c));
        }
        FontABC abc;
        ASSERT_TRUE(regular->GetCharABCWidths('l', abc));
        plainStem = abc.abcB;
        ASSERT_TRUE(bold->GetCharABCWidths('l', abc));
        boldStem = abc.abcB;
        EXPECT_GT(boldWidth, plainWidth) << face;
        EXPECT_GT(boldStem, plainStem) << face;
    }
}

// A family with one light file only: bold and italic must be made from it.
TEST(FontFace, StylesMissingFromTheFilesAreSynthesised)
{
    auto light = Make("DejaVu Sans Light", 24);
    auto bold = Make("DejaVu Sans Light", 24, FW_BOLD);
    ASSERT_NE(light, nullptr);
    ASSERT_NE(bold, nullptr);
    ASSERT_EQ(light->Family(), bold->Family());
    FontABC a, b;
    ASSERT_TRUE(light->GetCharABCWidths('l', a));
    ASSERT_TRUE(bold->GetCharABCWidths('l', b));
    EXPECT_GT(b.abcB, a.abcB);
}

// Mean column of the ink in one row, or -1 for an empty row.
double InkCentre(const FontBitmap& bm, int y)
{
    double sum = 0, weighted = 0;
    for (int x = 0; x < bm.Width(); ++x)
    {
        sum += Coverage(bm, x, y);
        weighted += Coverage(bm, x, y) * x;
    }
    return sum > 0 ? weighted / sum : -1;
}

TEST(FontFace, ItalicLeansRight)
{
    for (const char* face : {"DejaVu Sans", "DejaVu Sans Light"})  // an oblique file; a synthesised slant
    {
        FontCreateParams p;
        p.face = face;
        p.height = 40;
        for (bool italic : {false, true})
        {
            p.italic = italic;
            auto font = FontFace::Create(p);
            ASSERT_NE(font, nullptr);
            EXPECT_EQ(font->TextMetrics().tmItalic, italic ? 1 : 0);
            FontBitmap bm;
            ASSERT_TRUE(bm.Create(60, 50));
            const char16_t text[] = {u'l'};
            ASSERT_TRUE(font->TextOut(bm, 10, 0, text, 1));
            const int ascent = font->TextMetrics().tmAscent;
            const double top = InkCentre(bm, ascent - 25);
            const double bottom = InkCentre(bm, ascent - 2);
            ASSERT_GE(top, 0) << face;
            ASSERT_GE(bottom, 0) << face;
            if (italic)
                EXPECT_GT(top - bottom, 2.0) << face;
            else
                EXPECT_NEAR(top, bottom, 0.5) << face;
        }
    }
}

// Rows that are white over the whole advance of the text, as only a drawn line can be.
std::vector<int> FullRows(FontFace& font, int advance)
{
    const int x = 3, y = 2;
    FontBitmap bm;
    EXPECT_TRUE(bm.Create(advance + 10, font.TextMetrics().tmHeight + 6));
    const char16_t text[] = {u'o', u'o'};
    EXPECT_TRUE(font.TextOut(bm, x, y, text, 2));
    std::vector<int> rows;
    for (int r = 0; r < bm.Height(); ++r)
    {
        bool full = true;
        for (int c = x; c < x + advance && full; ++c)
            full = bm.Pixel(c, r) == 0xFFFFFFu;
        if (full)
            rows.push_back(r - y);
    }
    return rows;
}

TEST(FontFace, UnderlineAndStrikeOutDrawRows)
{
    auto plain = Make("DejaVu Sans", 24);
    auto under = Make("DejaVu Sans", 24, FW_NORMAL, true);
    auto strike = Make("DejaVu Sans", 24, FW_NORMAL, false, true);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(under, nullptr);
    ASSERT_NE(strike, nullptr);
    const int advance = 2 * Advance(*plain, 'o');
    EXPECT_EQ(2 * Advance(*under, 'o'), advance);  // lines change no metrics
    const FontTextMetrics& m = plain->TextMetrics();

    EXPECT_TRUE(FullRows(*plain, advance).empty());
    const std::vector<int> u = FullRows(*under, advance);
    ASSERT_FALSE(u.empty());
    for (int r : u)
    {
        EXPECT_GE(r, m.tmAscent);  // below the baseline, inside the cell
        EXPECT_LT(r, m.tmHeight);
    }
    const std::vector<int> s = FullRows(*strike, advance);
    ASSERT_FALSE(s.empty());
    for (int r : s)
    {
        EXPECT_GT(r, m.tmInternalLeading);  // through the body of the letters
        EXPECT_LT(r, m.tmAscent);
    }
}

TEST(FontBitmap, CreateBoundsAndBlending)
{
    FontBitmap bm;
    EXPECT_FALSE(bm.Create(0, 4));
    EXPECT_FALSE(bm.Create(4, FontBitmap::MaxSide + 1));
    EXPECT_EQ(bm.Width(), 0);
    ASSERT_TRUE(bm.Create(4, 3));
    EXPECT_EQ(bm.Pixel(3, 2), 0u);
    bm.BlendWhite(1, 1, 128);
    EXPECT_EQ(bm.Pixel(1, 1), 0x808080u);
    bm.BlendWhite(1, 1, 255);
    EXPECT_EQ(bm.Pixel(1, 1), 0xFFFFFFu);
    bm.BlendWhite(-1, 0, 255);  // clipped
    bm.BlendWhite(4, 0, 255);
    EXPECT_EQ(bm.Pixel(0, 0), 0u);
    EXPECT_EQ(bm.Pixels()[1 * 4 + 1], 0xFFFFFFu);  // top-down rows, pitch = width
}

}  // namespace
