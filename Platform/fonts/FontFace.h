#pragma once
#include "Platform/fonts/FontTypes.h"

#include <cstddef>
#include <memory>
#include <string>

class FontBitmap;

// One created font: a face at one height and style, measured and drawn in whole pixels with grey-scale
// antialiasing. A face that is not installed is replaced by the one fontconfig resolves, as creating a
// font never fails for a missing face; a bold or italic the files lack is synthesised.
class FontFace
{
public:
    static constexpr int MaxHeight = 4096;

    // Null when no font file can be loaded or the height is out of +-MaxHeight.
    static std::unique_ptr<FontFace> Create(const FontCreateParams& params);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontTextMetrics& TextMetrics() const;
    // The installed family the font was built from.
    const std::string& Family() const;

    // False for a code point the face has no glyph for.
    bool GetCharABCWidths(uint32_t codePoint, FontABC& abc);

    // Draws UTF-16 text white over the bitmap with the top-left of the first cell at (x, y), the pen
    // advancing by each glyph's A + B + C; underline and strike-out run under the whole advance. Code
    // points without a glyph draw nothing and take no room. Pixels outside the bitmap are clipped.
    // False only for a null text with a nonzero count.
    bool TextOut(FontBitmap& bitmap, int x, int y, const char16_t* text, size_t count);

private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_Impl;
};
