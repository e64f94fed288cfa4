// One HUD-like canvas frame on the recording backend (2,000 quads in 20 texture runs and 100 texts of 20
// glyphs, queued and flushed), and the creation of a font with ANSI only and with five more character
// sets. Run from build/<preset>/bin: the device loads the canvas effect from the shipped pack there.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeFontTable.h"
#include "Platform/gfx/GfxBackend.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/window/WinUser.h"

namespace
{

LRESULT BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Device
{
    Device()
    {
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.logging = false;
        WNDCLASSEXA c = {};
        c.cbSize = sizeof(c);
        c.lpfnWndProc = BenchProc;
        c.lpszClassName = "CanvasBench";
        RegisterClassExA(&c);
        window = CreateWindowExA(0, "CanvasBench", "canvas bench", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                                 nullptr);
        SetForegroundWindow(window);
        ok = g_RenderDevice.Create(nullptr, window, 1024, 768, 0, 0, 0, 2, 2, 1);
        for (int i = 0; i < 20; ++i)
            textures.push_back(g_TextureManager.CreateTexture(64, 64, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false));
    }
    HWND window = nullptr;
    bool ok = false;
    std::vector<WeTexture*> textures;
};

Device& TheDevice()
{
    static Device* device = new Device();
    return *device;
}

void HudFrame(benchmark::State& state)
{
    Device& device = TheDevice();
    if (!device.ok)
    {
        state.SkipWithError("no render device (run from build/<preset>/bin)");
        return;
    }
    WeFont* font = g_FontTable.GetFont(WeString("*:12"));
    WeString text("Lap 3/5  00:41.27  P2");  // 20 glyphs and a space or two
    for (auto _ : state)
    {
        g_Canvas.BeginFrame();
        for (int run = 0; run < 20; ++run)
            for (int i = 0; i < 100; ++i)
                g_Canvas.DrawQuad(i * 8, run * 30, 6, 6, 0xFFFFFFFF, device.textures[size_t(run)], 0);
        for (int i = 0; i < 100; ++i)
            g_Canvas.DrawText(font, text, (i % 4) * 250, (i / 4) * 30, 250, 30, 0xFFFFFFFF, 0, 1.0f);
        g_Canvas.Flush();
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(HudFrame)->Unit(benchmark::kMicrosecond);

void CreateFont(benchmark::State& state, const char* charsets)
{
    if (!TheDevice().ok)
    {
        state.SkipWithError("no render device (run from build/<preset>/bin)");
        return;
    }
    GetConfigString(WeString("UI.Fonts.Charsets"), WeString("")) = charsets;
    for (auto _ : state)
    {
        WeFont font;
        font.Create(WeString("DejaVu Sans:16"));
        benchmark::DoNotOptimize(font.GetGlyphTexture());
        g_TextureManager.ReleaseTexture(font.m_Texture, true);
    }
    GetConfigString(WeString("UI.Fonts.Charsets"), WeString("")) = "";
}
BENCHMARK_CAPTURE(CreateFont, AnsiOnly, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateFont, FiveMoreCharsets, "204,238,161,162,186")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
