// Feeds arbitrary bytes to a font's text reader (UTF-8, colour codes, line breaks, wrapping) through
// MeasureText and DrawTextRecord. The font's glyphs are made up, so no font file or device is involved;
// the canvas has no effect and drops the quads it is given.
#include <cstdint>
#include <cstring>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeFont.h"

namespace
{
WeFont& TheFont()
{
    static WeFont* font = []
    {
        WeFont* f = new WeFont();
        for (int32_t cp = 32; cp < WeFont::GlyphCount; cp += 7)
            f->m_Glyphs[cp] = {0.0f, 0.0f, 0.01f, 0.01f, int32_t(cp % 3) - 1, 0, 1, 1, 4 + cp % 5, 10 + cp % 4};
        f->m_Glyphs[32] = {0.0f, 0.0f, 0.01f, 0.01f, 0, 0, 1, 1, 3, 12};
        f->m_LineHeight = 12;
        f->m_Created = 1;
        f->m_Texture = new WeTexture();
        return f;
    }();
    return *font;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    WeFont& font = TheFont();
    int32_t flags = data[0] & 0x1F;
    int32_t wrap = data[1];
    WeString text(reinterpret_cast<const char*>(data + 2), int32_t(size - 2));
    int32_t extent[2] = {0, 0};
    font.MeasureText(text, extent, wrap, true);
    g_Canvas.BeginFrame();
    g_Canvas.DrawText(&font, text, 10, 10, wrap, 40, 0xFFFFFFFF, flags, 1.0f);
    g_Canvas.Flush();
    return 0;
}
