// The race display's frame on the recording backend: the showcase race (every part of the display on screen
// at once), one update, one draw and the canvas flush per iteration. Run from build/<preset>/bin, beside the
// pack. The last line gives the CPU time of one frame of the display.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Game/shell/CMainGameInterface.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Tools/race_common/HudShowcase.h"
#include "Tools/race_common/RaceRig.h"

namespace
{

RaceRig* g_Rig = nullptr;

void Frame()
{
    g_MainGameInterface.Update();
    g_MainGameInterface.Render();
    g_Canvas.Flush();
}

void HudUpdateAndDraw(benchmark::State& state)
{
    for (auto _ : state)
        Frame();
}
BENCHMARK(HudUpdateAndDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    HudShowcase::Configure(g_Rig, false);
    HudShowcase showcase;
    std::string error;
    if (!g_Rig->Start(&error) || !showcase.Reach(*g_Rig, &error))
    {
        std::fprintf(stderr, "hud_bench: %s\n", error.c_str());
        return 1;
    }
    g_Rig->Tick(1);
    showcase.Apply(*g_Rig);
    g_GfxRecorder.logging = false;
    // The picture holds still: the messages stay in their hold and the markers in place.
    g_Timer.m_FrameDeltaF = 0.0f;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    constexpr int Frames = 2000;
    const std::clock_t start = std::clock();
    for (int i = 0; i < Frames; ++i)
        Frame();
    const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
    std::printf("hud update+draw: %.1f us per frame\n", cpu * 1.0e6 / Frames);
    g_Rig->Stop();
    delete g_Rig;
    return 0;
}
