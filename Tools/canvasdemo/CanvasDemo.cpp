// canvasdemo [--png FILE] [--size WxH] [--atlas KEY FILE]
//
// Creates the render device over OpenGL from the shipped pack (off screen with SDL_VIDEODRIVER=offscreen)
// and draws one frame through the canvas: untextured, textured and rotated quads, texts of several sizes and
// styles of the default face, a text with colour codes, a shadowed and an outlined text, and a wrapped
// paragraph in each alignment. It checks the quads' colours at known pixels and that every text lit pixels
// inside its box, prints "canvasdemo: <W>x<H> ok", and writes the frame to the PNG. --atlas writes the glyph
// atlas of the font of KEY (alpha as grey) to FILE.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoOptions.h"
#include "Tools/demo_common/DemoRenderWindow.h"

namespace
{

constexpr D3DCOLOR Night = 0xFF0B1020u;
constexpr uint32_t DangerRed = 0xFFFF3B3Bu;
constexpr uint32_t EdgeCyan = 0xFF35E0FFu;
constexpr uint32_t WarningAmber = 0xFFFFB020u;
constexpr uint32_t SignalGreen = 0xFF40FF70u;

struct TextBox
{
    int x, y, w, h;
    const char* what;
};

struct Scene
{
    WeTexture* checker = nullptr;
    std::vector<TextBox> texts;
};
Scene g_Scene;

// A 64x64 texture in which every texel differs: red follows x, green follows y.
constexpr int CheckerSide = 64;

uint32_t CheckerTexel(int x, int y)
{
    return 0xFF000080u | (uint32_t(x * 4) << 16) | (uint32_t(y * 4) << 8);
}

WeTexture* MakeChecker()
{
    WeTexture* t =
        g_TextureManager.CreateTexture(CheckerSide, CheckerSide, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    if (t == nullptr || !t->Lock(&bits, &total, &pitch))
        return t;
    for (int y = 0; y < CheckerSide; ++y)
    {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits) + y * pitch);
        for (int x = 0; x < CheckerSide; ++x)
            row[x] = CheckerTexel(x, y);
    }
    t->Unlock();
    return t;
}

void Text(const char* key, const char* text, int x, int y, int w, int h, uint32_t argb, int flags, const char* what,
          int style = 0)
{
    WeFont* font = g_FontTable.GetFont(WeString(key));
    if (style == 1)
        g_Canvas.DrawTextShadowed(font, WeString(text), x, y, w, h, argb, 0, flags, 1.0f);
    else if (style == 2)
        g_Canvas.DrawTextOutlined(font, WeString(text), x, y, w, h, argb, 0xFF000000u, flags, 1.0f);
    else
        g_Canvas.DrawText(font, WeString(text), x, y, w, h, argb, flags, 1.0f);
    g_Scene.texts.push_back({x, y, w, h, what});
}

void RenderFrame()
{
    const int w = g_ScreenSize.width, h = g_ScreenSize.height;
    g_Scene.texts.clear();
    // Quads: a red bar, the gradient texture 1:1 and stretched, a green diamond, a translucent additive
    // square over the bar.
    g_Canvas.DrawQuad(w / 20, h / 20, w / 4, h / 10, DangerRed, nullptr, 0);
    g_Canvas.DrawQuad(w / 20, h / 5, CheckerSide, CheckerSide, 0xFFFFFFFF, g_Scene.checker, 0);
    g_Canvas.DrawQuad(w / 20, h / 5 + CheckerSide + 8, w / 5, h / 5, 0xFFFFFFFF, g_Scene.checker, 0);
    g_Canvas.DrawRotatedQuad(float(w) * 0.35f, float(h) / 5.0f, float(w) / 10.0f, float(w) / 10.0f, 3.14159265f / 4,
                             SignalGreen, nullptr, 0);
    g_Canvas.DrawQuad(w / 20 + w / 5, h / 20, w / 20, h / 10, 0x40404040, nullptr, 2);

    // Texts in the right half and along the bottom.
    const int col = w / 2, line = h / 12;
    Text("*:14", "Small default face 14", col, h / 20, w / 2 - 8, line, 0xFFFFFFFF, 0, "small text");
    Text("*:24", "Default face 24", col, h / 20 + line, w / 2 - 8, line, 0xFFFFFFFF, 0, "large text");
    Text("*$B:20", "Bold 20", col, h / 20 + 2 * line, w / 4, line, WarningAmber, 0, "bold text");
    Text("*$I:20", "Italic 20", col + w / 4, h / 20 + 2 * line, w / 4 - 8, line, EdgeCyan, 0, "italic text");
    Text("*:20",
         "Colour \x01"
         "FFFF3B3B"
         "codes \x03"
         "FF40FF70"
         "change \x02"
         "it",
         col, h / 20 + 3 * line, w / 2 - 8, line, 0xFFFFFFFF, 0, "colour codes");
    Text("*:24", "Shadowed", col, h / 20 + 4 * line, w / 4, line, 0xFFFFFFFF, 0, "shadowed text", 1);
    Text("*:24", "Outlined", col + w / 4, h / 20 + 4 * line, w / 4 - 8, line, WarningAmber, 0, "outlined text", 2);
    static const char* paragraph = "The quick brown fox jumps over the lazy dog, again and again.";
    const int pw = w / 3 - 16, py = h * 3 / 5;
    Text("*:16", paragraph, 8, py, pw, h / 3, 0xFFFFFFFF, 0x10, "left paragraph");
    Text("*:16", paragraph, 8 + w / 3, py, pw, h / 3, 0xFFFFFFFF, 0x10 | 1 | 4, "centred paragraph");
    Text("*:16", paragraph, 8 + 2 * w / 3, py, pw, h / 3, 0xFFFFFFFF, 0x10 | 2 | 8, "right paragraph");
}

bool CheckFrame(const std::vector<uint32_t>& frame, int w, int h)
{
    if (frame.empty())
    {
        std::fprintf(stderr, "canvasdemo: cannot read the frame back\n");
        return false;
    }
    auto at = [&](int x, int y) { return frame[size_t(y) * size_t(w) + size_t(x)] & 0x00FFFFFFu; };
    struct Probe
    {
        int x, y;
        uint32_t colour;
        const char* what;
    } probes[] = {
        {w / 20 + 4, h / 20 + 4, DangerRed & 0xFFFFFF, "red bar"},
        {int(float(w) * 0.35f + float(w) / 20.0f), int(float(h) / 5.0f + float(w) / 20.0f), SignalGreen & 0xFFFFFF,
         "rotated square"},
        {w / 20 + w / 5 + 2, h / 20 + 2, 0xFF4B4Bu, "additive square over the bar"},
        {w / 2 - 4, h / 2, Night & 0xFFFFFF, "background"},
    };
    bool ok = true;
    for (const Probe& p : probes)
    {
        if (!DemoNearPixel(at(p.x, p.y), p.colour))
        {
            std::fprintf(stderr, "canvasdemo: the %s at (%d, %d) is %06X, not %06X\n", p.what, p.x, p.y, at(p.x, p.y),
                         p.colour);
            ok = false;
        }
    }
    // Drawn 1:1, the texture comes back texel for texel.
    int wrong = 0;
    for (int y = 0; y < CheckerSide; ++y)
        for (int x = 0; x < CheckerSide; ++x)
            wrong += at(w / 20 + x, h / 5 + y) != (CheckerTexel(x, y) & 0xFFFFFF);
    if (wrong != 0)
    {
        std::fprintf(stderr, "canvasdemo: %d texels of the 1:1 quad differ, e.g. (0, 0) is %06X, not %06X\n", wrong,
                     at(w / 20, h / 5), CheckerTexel(0, 0) & 0xFFFFFF);
        ok = false;
    }
    for (const TextBox& t : g_Scene.texts)
    {
        int lit = 0;
        for (int y = std::max(0, t.y); y < std::min(h, t.y + t.h); ++y)
            for (int x = std::max(0, t.x); x < std::min(w, t.x + t.w); ++x)
                lit += at(x, y) != (Night & 0xFFFFFF);
        if (lit < 20)
        {
            std::fprintf(stderr, "canvasdemo: the %s lit %d pixels in its box\n", t.what, lit);
            ok = false;
        }
    }
    return ok;
}

bool WriteAtlas(const char* key, const char* path)
{
    WeFont* font = g_FontTable.GetFont(WeString(key));
    WeTexture* atlas = font != nullptr ? font->GetGlyphTexture() : nullptr;
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    if (atlas == nullptr || !atlas->Lock(&bits, &total, &pitch))
        return false;
    std::vector<uint32_t> pixels(size_t(atlas->m_Width) * size_t(atlas->m_Height));
    for (int y = 0; y < atlas->m_Height; ++y)
        std::memcpy(&pixels[size_t(y) * size_t(atlas->m_Width)],
                    static_cast<uint8_t*>(bits) + size_t(y) * size_t(pitch), size_t(atlas->m_Width) * 4);
    atlas->Unlock();
    // The glyphs live in the alpha channel: show it as grey.
    for (uint32_t& pixel : pixels)
        pixel = (pixel >> 24) * 0x010101u;
    std::printf("canvasdemo: atlas of %s is %dx%d\n", key, atlas->m_Width, atlas->m_Height);
    return DemoWritePng(path, UINT(atlas->m_Width), UINT(atlas->m_Height), pixels);
}

}  // namespace

int main(int argc, char** argv)
{
    // --atlas takes two values; the shared options take one.
    const char* atlasKey = nullptr;
    const char* atlasPath = nullptr;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--atlas") == 0)
        {
            if (i + 2 >= argc)
            {
                std::fprintf(stderr, "canvasdemo: --atlas needs KEY and FILE\n");
                return 2;
            }
            atlasKey = argv[++i];
            atlasPath = argv[++i];
            continue;
        }
        rest.push_back(argv[i]);
    }
    DemoOptions options;
    options.name = "canvasdemo";
    options.usage = "canvasdemo [--png FILE] [--size WxH] [--atlas KEY FILE]";
    if (!options.parse(int(rest.size()), rest.data()))
        return 2;

    HWND window = OpenDemoRenderWindow(options, "CanvasDemo");
    if (window == nullptr)
        return 1;
    int status = 0;
    g_Scene.checker = MakeChecker();
    if (g_Scene.checker == nullptr)
    {
        std::fprintf(stderr, "canvasdemo: cannot create the checker texture\n");
        status = 1;
    }
    g_RenderDevice.m_ClearEachFrame = 1;
    g_RenderDevice.m_ClearColor = Night;
    g_RenderDevice.m_RenderCallback = RenderFrame;
    std::vector<uint32_t> frame;
    if (status == 0)
    {
        g_RenderDevice.Render();
        frame = DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
        if (CheckFrame(frame, g_ScreenSize.width, g_ScreenSize.height))
            std::printf("canvasdemo: %dx%d ok\n", g_ScreenSize.width, g_ScreenSize.height);
        else
            status = 1;
    }
    if (options.pngPath != nullptr && !frame.empty() &&
        !DemoWritePng(options.pngPath, UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), frame))
    {
        std::fprintf(stderr, "canvasdemo: cannot write %s\n", options.pngPath);
        status = 1;
    }
    if (atlasKey != nullptr && !WriteAtlas(atlasKey, atlasPath))
    {
        std::fprintf(stderr, "canvasdemo: cannot write the atlas of %s to %s\n", atlasKey, atlasPath);
        status = 1;
    }

    // Shutdown in the engine's order: the canvas deletes the fonts with the device.
    g_RenderDevice.m_RenderCallback = nullptr;
    delete g_Scene.checker;  // made unregistered: the demo owns it
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    DestroyWindow(window);
    return status;
}
