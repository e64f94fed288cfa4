#pragma once
#include <cstdint>
#include <string>

// Values keep their GDI numbers: configuration files store character-set numbers and code pages.
enum : int32_t
{
    FW_DONTCARE = 0,
    FW_THIN = 100,
    FW_LIGHT = 300,
    FW_NORMAL = 400,
    FW_MEDIUM = 500,
    FW_SEMIBOLD = 600,
    FW_BOLD = 700,
    FW_HEAVY = 900,
};

enum : int32_t
{
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    SHIFTJIS_CHARSET = 128,
    HANGUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
};

// Bits of FontTextMetrics::tmPitchAndFamily. TMPF_FIXED_PITCH set means variable pitch, as GDI has it.
enum : uint8_t
{
    TMPF_FIXED_PITCH = 0x01,
    TMPF_VECTOR = 0x02,
    TMPF_TRUETYPE = 0x04,
};

// Horizontal metrics of one glyph in pixels: abcA from the pen to the first inked column, abcB the
// inked width, abcC from the last inked column to the next pen position. The advance is A + B + C.
struct FontABC
{
    int32_t abcA = 0;
    uint32_t abcB = 0;
    int32_t abcC = 0;
};

// Metrics of a created font in pixels. tmHeight = tmAscent + tmDescent is the cell height, which for a
// positive requested height equals that height.
struct FontTextMetrics
{
    int32_t tmHeight = 0;
    int32_t tmAscent = 0;
    int32_t tmDescent = 0;
    int32_t tmInternalLeading = 0;
    int32_t tmExternalLeading = 0;
    int32_t tmAveCharWidth = 0;
    int32_t tmMaxCharWidth = 0;
    int32_t tmWeight = 0;
    int32_t tmOverhang = 0;
    uint8_t tmItalic = 0;
    uint8_t tmUnderlined = 0;
    uint8_t tmStruckOut = 0;
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = 0;
};

// What a font is created from. A positive height is the cell height (ascent + descent), a negative one
// the em height; 0 asks for a 16-pixel cell.
struct FontCreateParams
{
    std::string face;
    int32_t height = 0;
    int32_t weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int32_t charset = ANSI_CHARSET;
};
