// engine_bench [--frames N] [--post]: the engine demo's flythrough of the test track at 1024x768 on the real
// devices, once the map has loaded, no frame pacing and no vertical sync: frames per second with the share of
// each engine section and of Render; then the world ticking with physics stepping at 1/60 s, without rendering.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Tools/engine_demo/EngineDemoScene.h"

namespace
{
using Clock = std::chrono::steady_clock;

// The process's processor time (llvmpipe's threads included): on a shared machine it moves less with the
// other load than the wall clock does.
double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void ResetSections()
{
    for (unsigned id = 0; id < sizeof(g_Timer.m_Sections) / sizeof(g_Timer.m_Sections[0]); ++id)
        g_Timer.m_Sections[id] = WeProfilerSection();
}
}  // namespace

int main(int argc, char** argv)
{
    int frames = 600;
    bool post = false;
    bool usage = false;
    for (int i = 1; i < argc && !usage; ++i)
    {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--post") == 0)
            post = true;
        else
            usage = true;
    }
    if (usage || frames < 1)
    {
        std::fprintf(stderr, "usage: engine_bench [--frames N] [--post]\n");
        return 2;
    }
    const int width = 1024, height = 768, warmUp = 30;
    WeAppWindow window;
    if (!window.Create("engine_bench", "engine_bench", nullptr, 102, 0, width, height, 0, 0, true, true, true, false,
                       false, false, nullptr))
        return 1;
    WeEngineSettings settings;
    settings.windowMode = 2;
    settings.width = width;
    settings.height = height;
    settings.verticalSync = 0;
    InstallRealEngineDevices();
    // The flythrough is the baseline a race adds its craft, particles and post-processing to: the
    // post-process chain is off unless asked for, as a player's lowest options have it.
    if (!post)
    {
        g_RenderDevice.m_FilmGrainOn = 0;
        g_RenderDevice.m_DepthOfFieldOn = 0;
        g_RenderDevice.m_MotionBlurMode = 0;
        g_RenderDevice.m_RefractionOn = 0;
        g_RenderDevice.m_BloomLevel = 0;
    }
    g_Engine.m_TickCallback = EngineDemoTick;
    g_RenderDevice.m_RenderCallback = EngineDemoRender;
    if (!g_Engine.Init(settings, nullptr, &window, "engine_bench"))
    {
        std::fprintf(stderr, "engine_bench: %s\n", g_Engine.m_ErrorText.c_str());
        g_Engine.Shutdown();
        window.Destroy();
        return 3;
    }
    g_Timer.m_MinimumFrameTime = 0.0;
    D3DADAPTER_IDENTIFIER9 adapter{};
    if (g_RenderDevice.GetDirect3D() != nullptr)
        g_RenderDevice.GetDirect3D()->GetAdapterIdentifier(0, 0, &adapter);
    std::printf("renderer: %s\n", adapter.Description);
    std::printf("post-processing: %s\n", post ? "the device's default chain (bloom, motion blur, refraction, depth of "
                                                "field, film grain)"
                                              : "off");

    // The map loads one record per tick, then a short warm-up; the UI window is on top throughout.
    g_DemoScene = EngineDemoScene();
    if (!EngineDemoCreateUI())
        std::fprintf(stderr, "engine_bench: the UI window could not be made\n");
    int loading = 0;
    for (g_DemoScene.frame = 0; !g_DemoScene.loaded && !g_DemoScene.loadFailed && g_DemoScene.frame < 100000;
         ++g_DemoScene.frame)
    {
        g_Engine.Tick();
        g_Engine.Render();
        ++loading;
    }
    if (!g_DemoScene.loaded)
    {
        std::fprintf(stderr, "engine_bench: cannot load the map \"%s\"\n", g_DemoScene.mapName.c_str());
        EngineDemoRelease();
        g_Engine.Shutdown();
        window.Destroy();
        return 1;
    }
    std::printf("map: %s, %d actors, loaded in %d ticks\n", g_DemoScene.mapName.c_str(), g_DemoScene.actorCount,
                loading);
    for (int i = 0; i < warmUp; ++i, ++g_DemoScene.frame)
    {
        g_Engine.Tick();
        g_Engine.Render();
    }
    ResetSections();
    double renderSeconds = 0.0;
    const double processorStart = ProcessorSeconds();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i, ++g_DemoScene.frame)
    {
        g_Engine.Tick();
        Clock::time_point before = Clock::now();
        g_Engine.Render();
        renderSeconds += Seconds(before);
    }
    const double total = Seconds(start);
    const double processor = ProcessorSeconds() - processorStart;
    std::printf("frames per second: %.1f\n", double(frames) / total);
    std::printf("processor time per frame: %.2f ms (every thread)\n", 1e3 * processor / double(frames));
    for (unsigned id = 51; id <= 56; ++id)
        std::printf("  %-20s %5.1f %%\n", g_Timer.m_Sections[id].m_Name,
                    100.0 * g_Timer.m_Sections[id].m_Total / total);
    std::printf("  %-20s %5.1f %%\n", "Render", 100.0 * renderSeconds / total);
    // Inside Render: the world's own sections (reflection cube, queue, post-processing).
    for (unsigned id : {11u, 12u, 21u, 22u, 23u})
        if (g_Timer.m_Sections[id].m_Count > 0)
            std::printf("    %-32s %5.1f %%\n", g_Timer.m_Sections[id].m_Name,
                        100.0 * g_Timer.m_Sections[id].m_Total / total);

    // Without rendering: the world ticking with physics stepping by the fixed 1/60 s.
    g_Engine.m_FixedTick = 1;
    g_Engine.m_FixedStep = 1.0f / 60.0f;
    const int ticks = frames * 4;
    start = Clock::now();
    for (int i = 0; i < ticks; ++i, ++g_DemoScene.frame)
        g_Engine.Tick();
    const double tickSeconds = Seconds(start);
    const double perSecond = double(ticks) / tickSeconds;
    std::printf("world ticks per second: %.0f (%.1f times real time)\n", perSecond, perSecond / 60.0);

    g_Engine.EndPhysicsStep();
    EngineDemoRelease();
    g_Engine.Shutdown();
    g_Engine.m_TickCallback = nullptr;
    g_RenderDevice.m_RenderCallback = nullptr;
    window.Destroy();
    return 0;
}
