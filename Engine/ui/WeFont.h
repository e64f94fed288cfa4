#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/render/WeCanvasFont.h"

class WeTexture;

// Placement and metrics of one code point's glyph in a font's atlas.
struct WeGlyph
{
    float u = 0.0f;
    float v = 0.0f;
    float du = 0.0f;
    float dv = 0.0f;
    int32_t left = 0;   // A width - 1
    int32_t right = 0;  // C width - 1
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = -1;  // B width + 2 (a pixel of margin each side); -1: no glyph
    int32_t height = -1;
};

// One typeface at one pixel size, rasterised once into a single glyph atlas with metrics for every 16-bit
// code point. Keys are "face:size" in design pixels; style suffixes "$B", "$I", "$U", "$S" may stand
// anywhere in the face.
class WeFont : public WeCanvasFont
{
public:
    static constexpr int32_t GlyphCount = 65536;
    static constexpr int32_t MaxAtlasSide = 2048;
    // The largest raster size tried: the 224 glyphs of the first character set at 256 pixels already overflow
    // the largest atlas, so a larger one (from a hostile size or scale) would only cost time before shrinking.
    static constexpr int32_t MaxRasterSize = MaxAtlasSide / 8;

    WeFont();
    ~WeFont() override;
    WeFont(const WeFont&) = delete;
    WeFont& operator=(const WeFont&) = delete;

    void Create(const WeString& key);
    bool Rasterize(const WeString& face, int32_t rasterSize, int32_t pixelSize);
    // Width and height in screen pixels into size; returns the height. With a positive wrap width lines
    // break at spaces, and insertBreaks writes a line feed over each space broken at.
    int32_t MeasureText(WeString& text, int32_t* size, int32_t wrapWidth, bool insertBreaks);
    int32_t GetTextExtent(const WeString& text, int32_t* size, int32_t wrapWidth);
    WeString GetFaceName() const { return m_Face; }

    WeTexture* GetGlyphTexture() const override { return m_Texture; }
    void DrawTextRecord(WeCanvas& canvas, WeCanvasTextNode& record) override;

    // The glyph of a code point; null beyond the 16-bit range or when the font has none for it.
    const WeGlyph* GetGlyph(int32_t codePoint) const;

    uint8_t m_Created = 0;
    WeString m_Face;
    WeString m_Key;
    int32_t m_RasterSize = 0;
    int32_t m_LineHeight = 0;
    float m_Scale = 1.0f;
    WeTexture* m_Texture = nullptr;
    WeGlyph* m_Glyphs;

    // The atlas of the last successful pack.
    int32_t m_AtlasWidth = 0;
    int32_t m_AtlasHeight = 0;

    // Lays the present glyphs out in a width x height atlas; false when they do not fit.
    bool Pack(int32_t width, int32_t height);
};
