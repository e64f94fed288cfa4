#include "Engine/ui/WeFont.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/fonts/FontBitmap.h"
#include "Platform/fonts/FontCodePage.h"
#include "Platform/fonts/FontFace.h"
#include "Platform/fonts/FontLibrary.h"
#include "Platform/math/D3DXCOLOR.h"

namespace
{

int32_t RoundHalfAway(double value)
{
    return int32_t(std::lround(value));
}

const WeString& DefaultUnicodeFace()
{
    static WeString& value = GetConfigString(WeString("UI.Fonts.DefaultUnicodeFontName"), WeString("Arial"));
    return value;
}

float ConfigFloat(const char* key)
{
    return GetConfigFloat(WeString(key), 1.0f);
}

// One character set's font during a rasterising run.
struct RasterFace
{
    WeString face;
    int32_t height = 0;
    int32_t charset = 0;
    int32_t codePage = 1252;
    std::unique_ptr<FontFace> font;
    FontTextMetrics metrics;
};

struct FaceStyle
{
    std::string name;
    int32_t weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

FaceStyle ParseStyle(const WeString& face)
{
    FaceStyle style;
    const char* s = face.c_str();
    for (int32_t i = 0; i < face.Length(); ++i)
    {
        if (s[i] == '$' && i + 1 < face.Length())
        {
            char c = s[i + 1];
            if (c == 'B' || c == 'I' || c == 'U' || c == 'S')
            {
                style.weight = c == 'B' ? FW_BOLD : style.weight;
                style.italic |= c == 'I';
                style.underline |= c == 'U';
                style.strikeOut |= c == 'S';
                ++i;
                continue;
            }
        }
        style.name += s[i];
    }
    return style;
}

// The font's face name cannot be longer than a GDI face field takes (31 characters): longer ones count as
// missing and take the fallback face.
bool FaceFound(const std::string& name, int32_t charset)
{
    return !name.empty() && name.size() < 32 && FontLibrary::FaceExists(name, charset);
}

// Creates the face of one character set and claims the code points of its 256 bytes that no earlier face
// supplied. Two attempts: the asked face, then the default Unicode face.
bool CreateFace(RasterFace& rf, WeFont& font, std::vector<RasterFace*>& owners)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        FaceStyle style = ParseStyle(rf.face);
        bool found = FaceFound(style.name, rf.charset);
        if (found)
        {
            FontCreateParams params;
            params.face = style.name;
            params.height = rf.height;
            params.weight = style.weight;
            params.italic = style.italic;
            params.underline = style.underline;
            params.strikeOut = style.strikeOut;
            params.charset = rf.charset;
            rf.font = FontFace::Create(params);
            if (rf.font != nullptr)
                break;
        }
        if (attempt == 1)
            return false;
        if (WeString(style.name.c_str()) == DefaultUnicodeFace())
        {
            // The default face itself is missing: the second attempt could only fail the same way.
            if (!found)
                return false;
            continue;
        }
        rf.face = DefaultUnicodeFace();
        rf.height = std::clamp(RoundHalfAway(double(rf.height) * ConfigFloat("UI.Fonts.DefaultUnicodeFontScale")), 1,
                               WeFont::MaxRasterSize);
    }
    if (rf.font == nullptr)
        return false;
    rf.metrics = rf.font->TextMetrics();
    for (int byte = 0; byte < 256; ++byte)
    {
        uint16_t unit = 0;
        if (!FontCodePage::ByteToUtf16(rf.codePage, uint8_t(byte), unit) || owners[unit] != nullptr)
            continue;
        FontABC abc;
        if (!rf.font->GetCharABCWidths(unit, abc))
            continue;
        WeGlyph& g = font.m_Glyphs[unit];
        g.left = abc.abcA - 1;
        g.width = int32_t(abc.abcB) + 2;
        g.right = abc.abcC - 1;
        g.height = rf.metrics.tmHeight + rf.metrics.tmExternalLeading;
        owners[unit] = &rf;
    }
    return true;
}

// Reads up to eight hexadecimal AARRGGBB digits from pos; returns the position after what it consumed
// and whether all eight were there.
bool ReadColour(const WeString& text, int32_t& pos, float rgba[4])
{
    uint32_t value = 0;
    int32_t digits = 0;
    while (digits < 8 && pos < text.Length())
    {
        char c = text[pos++];
        uint32_t d = 0;
        if (c >= '0' && c <= '9')
            d = uint32_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = uint32_t(c - 'A' + 10);
        value = (value << 4) | d;
        ++digits;
    }
    if (digits < 8)
        return false;
    rgba[3] = float((value >> 24) & 0xFF) / 255.0f;
    rgba[0] = float((value >> 16) & 0xFF) / 255.0f;
    rgba[1] = float((value >> 8) & 0xFF) / 255.0f;
    rgba[2] = float(value & 0xFF) / 255.0f;
    return true;
}

uint32_t PackColour(const float rgba[4])
{
    return D3DXCOLOR(rgba);
}

}  // namespace

WeFont::WeFont() : m_Glyphs(new WeGlyph[GlyphCount]) {}

WeFont::~WeFont()
{
    // The texture belongs to the texture manager.
    delete[] m_Glyphs;
}

const WeGlyph* WeFont::GetGlyph(int32_t codePoint) const
{
    if (codePoint < 0 || codePoint >= GlyphCount || m_Glyphs[codePoint].width < 0)
        return nullptr;
    return &m_Glyphs[codePoint];
}

void WeFont::Create(const WeString& key)
{
    if (m_Created)
        return;
    m_Key = key;
    if (key.Find(":") < 0)
    {
        WeDebugPrint("INVALID FONT: %s\n", key.c_str());
        m_Created = 1;
        return;
    }
    WeString face = key.GetToken(':', 0);
    int32_t size = key.GetToken(':', 1).ToInt(10);
    // Kept inside int's range before the conversion, whatever size the key names.
    auto toPixels = [](float f) { return f == f ? int32_t(std::clamp(f, -1.0e9f, 1.0e9f)) : 0; };
    int32_t sx = toPixels(float(size) / float(g_UIReferenceSize.width) * float(g_ScreenSize.width));
    int32_t sy = toPixels(float(size) / float(g_UIReferenceSize.height) * float(g_ScreenSize.height));
    // At least one pixel: a zero size would divide by zero and ask the font layer for its default height.
    int32_t pixel = std::max(1, RoundHalfAway(double(std::min(sx, sy)) * ConfigFloat("UI.Fonts.GlobalScale")));
    int32_t h = std::min(pixel, MaxRasterSize);
    int32_t limit = MaxRasterSize;
    for (;;)
    {
        int32_t raster = std::clamp(RoundHalfAway(double(h) * ConfigFloat("UI.Fonts.SmoothingScale")), 1, limit);
        if (Rasterize(face, raster, pixel))
            break;
        if (raster <= 1)
        {
            // Nothing could be rasterised: the metrics of the last failed try describe no atlas, so the font
            // stays empty and its texts measure as nothing, as they draw nothing.
            for (int32_t i = 0; i < GlyphCount; ++i)
                m_Glyphs[i] = WeGlyph();
            m_LineHeight = 0;
            break;
        }
        // Each try is smaller than the one that failed, also when a large smoothing scale holds the size at the
        // limit, so the loop ends and a raster size that failed is never tried again.
        limit = std::min(raster - 1, RoundHalfAway(double(raster) * 0.9));
        int32_t smaller = RoundHalfAway(double(h) * 0.9);
        if (smaller < h && smaller >= 1)
            h = smaller;
    }
    m_Created = 1;
}

bool WeFont::Pack(int32_t width, int32_t height)
{
    int32_t x = 1, y = 1, rowTallest = 0;
    for (int32_t cp = 0; cp < GlyphCount; ++cp)
    {
        WeGlyph& g = m_Glyphs[cp];
        if (g.width < 0)
            continue;
        int32_t w = g.width, h = g.height;
        if (y + h + 1 >= height)
            return false;
        if (x + w + 1 >= width)
        {
            // A glyph wider than the atlas never fits; a new row clears the tallest glyph of the last.
            if (1 + w + 1 >= width)
                return false;
            y += rowTallest + 1;
            x = 1;
            rowTallest = 0;
            if (y + h + 1 >= height)
                return false;
        }
        g.x = x;
        g.y = y;
        g.u = float(x) / float(width);
        g.v = float(y) / float(height);
        x += w + 1;
        rowTallest = std::max(rowTallest, h);
    }
    m_AtlasWidth = width;
    m_AtlasHeight = height;
    return true;
}

bool WeFont::Rasterize(const WeString& face, int32_t rasterSize, int32_t pixelSize)
{
    m_Face = face;
    m_RasterSize = std::max(1, rasterSize);
    m_Scale = float(pixelSize) / float(m_RasterSize);
    for (int32_t i = 0; i < GlyphCount; ++i)
        m_Glyphs[i] = WeGlyph();

    std::vector<int32_t> charsets = {0};
    WeString list = GetConfigString(WeString("UI.Fonts.Charsets"), WeString(""));
    for (int32_t i = 0;; ++i)
    {
        WeString field = list.GetToken(',', i);
        if (field.IsEmpty())
            break;
        int32_t value = field.ToInt(10);
        if (std::find(charsets.begin(), charsets.end(), value) == charsets.end())
            charsets.push_back(value);
    }
    std::vector<std::unique_ptr<RasterFace>> faces;
    std::vector<RasterFace*> owners(GlyphCount, nullptr);
    for (int32_t charset : charsets)
    {
        auto rf = std::make_unique<RasterFace>();
        rf->face = face;
        rf->height = m_RasterSize;
        rf->charset = charset;
        int32_t page = FontCodePage::FromCharset(charset);
        rf->codePage = page != 0 ? page : 1252;
        if (!CreateFace(*rf, *this, owners))
            return false;
        faces.push_back(std::move(rf));
    }
    m_LineHeight = m_Glyphs[32].height;

    int32_t width = 32, height = 32;
    bool packed = false;
    while (width <= MaxAtlasSide && height <= MaxAtlasSide)
    {
        if (Pack(width, height))
        {
            packed = true;
            break;
        }
        if (height < width)
            height *= 2;
        else
            width *= 2;
    }
    if (!packed)
        return false;

    FontBitmap bitmap;
    if (!bitmap.Create(width, height))
        return false;
    for (int32_t cp = 0; cp < GlyphCount; ++cp)
    {
        WeGlyph& g = m_Glyphs[cp];
        if (g.width == -1 || owners[cp] == nullptr)
            continue;
        g.du = float(g.width) / float(width);
        g.dv = float(g.height) / float(height);
        char16_t unit = char16_t(cp);
        owners[cp]->font->TextOut(bitmap, g.x - g.left, g.y, &unit, 1);
    }

    BeginBusy();
    if (m_Texture != nullptr)
        g_TextureManager.ReleaseTexture(m_Texture, true);
    m_Texture = g_TextureManager.CreateTexture(width, height, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    if (m_Texture != nullptr)
        m_Texture->SetMinimumQuality(2);
    EndBusy();
    if (m_Texture == nullptr)
        return false;

    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    if (!m_Texture->Lock(&bits, &total, &pitch))
    {
        // Released through the manager, so that nothing registered is left dangling.
        g_TextureManager.ReleaseTexture(m_Texture, true);
        m_Texture = nullptr;
        return false;
    }
    const uint32_t* pixels = bitmap.Pixels();
    for (int32_t row = 0; row < height; ++row)
    {
        uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + size_t(row) * size_t(pitch));
        for (int32_t col = 0; col < width; ++col)
            out[col] = ((pixels[size_t(row) * size_t(width) + size_t(col)] & 0xFF) << 24) | 0x00FFFFFFu;
    }
    m_Texture->Unlock();
    return true;
}

int32_t WeFont::MeasureText(WeString& text, int32_t* size, int32_t wrapWidth, bool insertBreaks)
{
    if (size == nullptr || !m_Created)
        return 0;
    int32_t width = 0, total = 0;
    // The line so far: committed part up to the last space, the pending space, the current word.
    int32_t lineWidth = 0, lineTallest = m_LineHeight;
    int32_t spaceAdvance = 0, wordWidth = 0, wordTallest = 0;
    int32_t breakPos = -1;
    bool afterCR = false;
    auto endLine = [&]()
    {
        width = std::max(width, lineWidth + spaceAdvance + wordWidth);
        total += std::max(lineTallest, wordTallest);
        lineWidth = spaceAdvance = wordWidth = wordTallest = 0;
        lineTallest = m_LineHeight;
        breakPos = -1;
    };
    int32_t pos = 0;
    while (pos < text.Length())
    {
        int32_t cp = text.DecodeUtf8At(pos);
        int32_t next = text.NextUtf8Pos(pos);
        bool wasCR = afterCR;
        afterCR = cp == 13;
        if (cp == 1 || cp == 3)
        {
            float ignored[4];
            if (!ReadColour(text, next, ignored))
                break;
            pos = next;
            continue;
        }
        if (cp == 13 || (cp == 10 && !wasCR))
        {
            endLine();
            pos = next;
            continue;
        }
        const WeGlyph* g = cp < 32 ? nullptr : GetGlyph(cp);
        if (g == nullptr)
        {
            pos = next;
            continue;
        }
        int32_t advance = g->left + g->width + g->right;
        if (cp == 32)
        {
            lineWidth += spaceAdvance + wordWidth;
            lineTallest = std::max(lineTallest, wordTallest);
            spaceAdvance = advance;
            lineTallest = std::max(lineTallest, g->height);
            wordWidth = wordTallest = 0;
            breakPos = pos;
        }
        else
        {
            wordWidth += advance;
            wordTallest = std::max(wordTallest, g->height);
            if (wrapWidth > 0 && breakPos >= 0 &&
                float(lineWidth + spaceAdvance + wordWidth) * m_Scale >= float(wrapWidth))
            {
                width = std::max(width, lineWidth);
                total += lineTallest;
                if (insertBreaks)
                    text.Data()[breakPos] = 10;
                lineWidth = spaceAdvance = 0;
                lineTallest = m_LineHeight;
                breakPos = -1;
            }
        }
        pos = next;
    }
    endLine();
    size[0] = RoundHalfAway(double(width) * m_Scale);
    size[1] = RoundHalfAway(double(total) * m_Scale);
    return size[1];
}

int32_t WeFont::GetTextExtent(const WeString& text, int32_t* size, int32_t wrapWidth)
{
    WeString copy(text);
    return MeasureText(copy, size, wrapWidth, false);
}

void WeFont::DrawTextRecord(WeCanvas& canvas, WeCanvasTextNode& record)
{
    if (!m_Created || m_Texture == nullptr)
        return;
    float glyphScale = m_Scale * record.scale;
    int32_t measured[2] = {0, 0};
    MeasureText(record.text, measured, (record.flags & 0x10) ? record.width : 0, (record.flags & 0x10) != 0);
    float originX = float(record.x), originY = float(record.y);
    if (record.flags & 1)
        originX += float(RoundHalfAway((double(record.width) - double(measured[0]) * record.scale) / 2.0));
    else if (record.flags & 2)
        originX += float(record.width - RoundHalfAway(double(measured[0]) * record.scale));
    if (record.flags & 4)
        originY += float(RoundHalfAway((double(record.height) - double(measured[1]) * record.scale) / 2.0));
    else if (record.flags & 8)
        originY += float(record.height - RoundHalfAway(double(measured[1]) * record.scale));

    const float base[4] = {record.red, record.green, record.blue, record.alpha};
    float current[4] = {base[0], base[1], base[2], base[3]};
    uint32_t argb = PackColour(current);
    int32_t penX = 0, penY = 0, tallest = m_LineHeight;
    bool afterCR = false;
    const WeString& text = record.text;
    int32_t pos = 0;
    while (pos < text.Length())
    {
        int32_t cp = text.DecodeUtf8At(pos);
        int32_t next = text.NextUtf8Pos(pos);
        bool wasCR = afterCR;
        afterCR = cp == 13;
        pos = next;
        if (cp == 1 || cp == 3)
        {
            float colour[4];
            if (!ReadColour(text, pos, colour))
                break;
            for (int i = 0; i < 4; ++i)
                current[i] = cp == 1 ? colour[i] * base[i] : colour[i];
            argb = PackColour(current);
            continue;
        }
        if (cp == 2)
        {
            std::copy(base, base + 4, current);
            argb = PackColour(current);
            continue;
        }
        if (cp == 13 || (cp == 10 && !wasCR))
        {
            penX = 0;
            penY += tallest;
            tallest = m_LineHeight;
            continue;
        }
        const WeGlyph* g = cp < 32 ? nullptr : GetGlyph(cp);
        if (g == nullptr)
            continue;
        int32_t qx = RoundHalfAway(float(g->left + penX) * glyphScale + originX);
        int32_t qy = RoundHalfAway(float(penY) * glyphScale + originY);
        canvas.DrawQuadUV(qx, qy, RoundHalfAway(float(g->width) * glyphScale),
                          RoundHalfAway(float(g->height) * glyphScale), g->u, g->v, g->u + g->du, g->v + g->dv, argb,
                          m_Texture, 0);
        penX += g->left + g->width + g->right;
        tallest = std::max(tallest, g->height);
    }
}
