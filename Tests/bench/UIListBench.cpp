// A 200-row, 5-column multi-column list in a window on the recording backend: one UI tick and the three
// draw passes, as every frame of a screen with a long list pays them. Run from build/<preset>/bin, beside
// the shipped pack (skin, canvas effect, fonts' configuration).
#include <benchmark/benchmark.h>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIWindow.h"
#include "Platform/gfx/GfxBackend.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/window/WinUser.h"

namespace
{

LRESULT BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

bool StartUI()
{
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    WNDCLASSEXA c = {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = BenchProc;
    c.lpszClassName = "UIListBench";
    RegisterClassExA(&c);
    HWND window =
        CreateWindowExA(0, "UIListBench", "ui list bench", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    if (!g_RenderDevice.Create(nullptr, window, 1024, 768, 0, 0, 0, 2, 2, 1))
        return false;
    g_UIMain.Init();
    WeUIWindow* w =
        g_UIMain.CreateWindowFromRect(WeString("BenchWindow"), WeString("Scores"), WeString(""), 100, 100, 820, 560);
    auto* list =
        new WeUIMultiList(w, WeString("BenchList"), 20.0f / 1024, 20.0f / 768, 780.0f / 1024, 520.0f / 768, nullptr);
    WeStringList captions;
    for (const char* caption : {"Name", "Craft", "Best lap", "Races", "Points"})
        captions.PushBack(WeString(caption));
    for (int i = 0; i < 5; ++i)
        list->m_ColumnWidths.push_back(150.0f / 1024);
    list->SetColumns(captions, nullptr);
    for (int row = 0; row < 200; ++row)
    {
        WeStringList texts;
        for (int column = 0; column < 5; ++column)
        {
            WeString& text = texts.PushBack();
            text = "cell ";
            text.AppendInt(row * 5 + column);
        }
        list->AddRow(&texts, intptr_t(row));
    }
    return true;
}

void ListFrame(benchmark::State& state)
{
    static bool ok = StartUI();
    if (!ok)
    {
        state.SkipWithError("no render device (run from build/<preset>/bin)");
        return;
    }
    g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
    for (auto _ : state)
    {
        g_Canvas.BeginFrame();
        g_UIMain.Tick();
        g_UIMain.DrawBackLayer();
        g_UIMain.DrawMainLayer();
        g_UIMain.DrawFrontLayer();
    }
}
BENCHMARK(ListFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
