#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeCanvas;
class WeTexture;
class WeCanvasFont;

// One queued text: its font, its box in pixels, its colour (0..1), its format flags (1 centre horizontally,
// 2 right, 4 centre vertically, 8 bottom, 0x10 wrap) and its scale.
struct WeCanvasTextNode
{
    WeCanvasFont* font = nullptr;
    WeString text;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;
    int32_t flags = 0;
    float scale = 1.0f;
};

// What the canvas needs of a font: the glyph texture its texts are grouped by, and the drawing of one
// queued text as glyph quads into the canvas. The fonts themselves live above the renderer.
class WeCanvasFont
{
public:
    virtual ~WeCanvasFont() = default;
    virtual WeTexture* GetGlyphTexture() const = 0;
    virtual void DrawTextRecord(WeCanvas& canvas, WeCanvasTextNode& record) = 0;
};
