#include "Platform/fonts/FontFace.h"

#include "Platform/fonts/FontBitmap.h"
#include "Platform/fonts/FontLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>

struct FontFace::Impl
{
    FT_Face face = nullptr;
    FontTextMetrics metrics;
    std::string family;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    float scale = 0.0f;    // pixels per font unit
    int underlineTop = 0;  // rows below the cell top
    int underlineThickness = 1;
    int strikeTop = 0;
    int strikeThickness = 1;

    ~Impl()
    {
        if (face)
        {
            std::lock_guard<std::recursive_mutex> lock(FontLibrary::Lock());
            FT_Done_Face(face);
        }
    }

    // Loads and renders the glyph of a code point into the face's slot; false when there is none.
    bool Render(uint32_t codePoint)
    {
        const FT_UInt index = FT_Get_Char_Index(face, codePoint);
        if (index == 0)
            return false;
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
            return false;
        if (syntheticItalic)
            FT_GlyphSlot_Oblique(face->glyph);
        if (syntheticBold)
            FT_GlyphSlot_Embolden(face->glyph);
        return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    }

    int Advance() const { return static_cast<int>((face->glyph->advance.x + 32) >> 6); }
};

namespace
{

int Round(double v)
{
    return static_cast<int>(std::lround(v));
}

// Positions are 64-bit: text may start anywhere in the int range and run past its end.
void FillRows(FontBitmap& bitmap, int64_t x0, int64_t x1, int64_t top, int thickness)
{
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(top + thickness, bitmap.Height());
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, bitmap.Width());
    for (int64_t y = y0; y < y1; ++y)
        for (int64_t x = x0; x < x1; ++x)
            bitmap.BlendWhite(static_cast<int>(x), static_cast<int>(y), 255);
}

}  // namespace

FontFace::FontFace(std::unique_ptr<Impl> impl) : m_Impl(std::move(impl)) {}

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Create(const FontCreateParams& params)
{
    if (params.height > MaxHeight || params.height < -MaxHeight)
        return nullptr;
    const int weight = params.weight <= 0 ? FW_NORMAL : std::min(params.weight, 1000);
    FontMatch match;
    if (!FontLibrary::Match(params.face, weight, params.italic, match))
        return nullptr;
    FT_Library lib = FontLibrary::FreeType();
    if (!lib)
        return nullptr;

    auto impl = std::make_unique<Impl>();
    {
        std::lock_guard<std::recursive_mutex> lock(FontLibrary::Lock());
        if (FT_New_Face(lib, match.file.c_str(), match.index, &impl->face) != 0)
        {
            impl->face = nullptr;
            return nullptr;
        }
    }
    FT_Face face = impl->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)
        return nullptr;
    impl->family = match.family;
    impl->syntheticBold = match.syntheticBold;
    impl->syntheticItalic = match.syntheticItalic;

    // The cell is the Windows ascent plus descent of the OS/2 table, falling back to the horizontal
    // header for fonts without one.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
    {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    if (winAscent + winDescent <= 0)
        return nullptr;
    const int cell = params.height == 0 ? 16 : params.height;
    const double upem = face->units_per_EM;
    // A cell of a pixel or so makes an em below one pixel; it is drawn at one.
    const double ppem = std::max(1.0, cell > 0 ? cell * upem / (winAscent + winDescent) : -cell);
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64.0)), 72, 72) != 0)
        return nullptr;
    const double scale = ppem / upem;
    impl->scale = static_cast<float>(scale);

    FontTextMetrics& m = impl->metrics;
    m.tmAscent = cell > 0 ? std::min(cell, Round(winAscent * scale)) : Round(winAscent * scale);
    m.tmDescent = cell > 0 ? cell - m.tmAscent : Round(winDescent * scale);
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmInternalLeading = std::max(0, m.tmHeight - Round(ppem));
    const double hheaHeight = face->ascender - face->descender;
    const double lineGap = face->height - hheaHeight;
    m.tmExternalLeading = std::max(0, Round((lineGap - ((winAscent + winDescent) - hheaHeight)) * scale));
    m.tmAveCharWidth = os2 && os2->version != 0xFFFF ? Round(os2->xAvgCharWidth * scale) : 0;
    m.tmMaxCharWidth = Round(face->max_advance_width * scale);
    m.tmWeight = weight;
    m.tmItalic = params.italic ? 1 : 0;
    m.tmUnderlined = params.underline ? 1 : 0;
    m.tmStruckOut = params.strikeOut ? 1 : 0;
    m.tmPitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE | (FT_IS_FIXED_WIDTH(face) ? 0 : TMPF_FIXED_PITCH);
    m.tmCharSet = static_cast<uint8_t>(params.charset);

    // Lines stay inside the cell: the underline below the baseline, the strike-out above it.
    impl->underlineThickness = std::max(1, Round(face->underline_thickness * scale));
    int underline = m.tmAscent - Round(face->underline_position * scale) - impl->underlineThickness / 2;
    underline = std::max(underline, m.tmAscent + 1);
    impl->underlineTop = std::max(0, std::min(underline, m.tmHeight - impl->underlineThickness));
    double strikePos = ppem * 0.3;
    double strikeSize = face->underline_thickness;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0)
    {
        strikePos = os2->yStrikeoutPosition * scale;
        strikeSize = os2->yStrikeoutSize;
    }
    impl->strikeThickness = std::max(1, Round(strikeSize * scale));
    impl->strikeTop = std::max(0, std::min(m.tmAscent - Round(strikePos), m.tmAscent - impl->strikeThickness));

    return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

const FontTextMetrics& FontFace::TextMetrics() const
{
    return m_Impl->metrics;
}

const std::string& FontFace::Family() const
{
    return m_Impl->family;
}

bool FontFace::GetCharABCWidths(uint32_t codePoint, FontABC& abc)
{
    if (!m_Impl->Render(codePoint))
        return false;
    const FT_GlyphSlot slot = m_Impl->face->glyph;
    const int advance = m_Impl->Advance();
    const int width = static_cast<int>(slot->bitmap.width);
    if (width == 0 || slot->bitmap.rows == 0)
    {
        abc.abcA = 0;
        abc.abcB = 0;
        abc.abcC = advance;
        return true;
    }
    abc.abcA = slot->bitmap_left;
    abc.abcB = static_cast<uint32_t>(width);
    abc.abcC = advance - slot->bitmap_left - width;
    return true;
}

bool FontFace::TextOut(FontBitmap& bitmap, int x, int y, const char16_t* text, size_t count)
{
    if (!text)
        return count == 0;
    const int64_t baseline = int64_t{y} + m_Impl->metrics.tmAscent;
    int64_t pen = x;
    for (size_t i = 0; i < count; ++i)
    {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        {
            cp = 0x10000u + ((cp - 0xD800u) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (!m_Impl->Render(cp))
            continue;
        const FT_GlyphSlot slot = m_Impl->face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        const int64_t left = pen + slot->bitmap_left;
        const int64_t top = baseline - slot->bitmap_top;
        for (unsigned r = 0; r < bm.rows; ++r)
        {
            const int64_t py = top + r;
            if (py < 0 || py >= bitmap.Height())
                continue;
            const unsigned char* row = bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch
                                                     : bm.buffer + static_cast<ptrdiff_t>(bm.rows - 1 - r) * -bm.pitch;
            for (unsigned c = 0; c < bm.width; ++c)
            {
                const int64_t px = left + c;
                if (px >= 0 && px < bitmap.Width())
                    bitmap.BlendWhite(static_cast<int>(px), static_cast<int>(py), row[c]);
            }
        }
        pen += m_Impl->Advance();
    }
    if (m_Impl->metrics.tmUnderlined)
        FillRows(bitmap, x, pen, int64_t{y} + m_Impl->underlineTop, m_Impl->underlineThickness);
    if (m_Impl->metrics.tmStruckOut)
        FillRows(bitmap, x, pen, int64_t{y} + m_Impl->strikeTop, m_Impl->strikeThickness);
    return true;
}
