#include "Tools/race_demo/HudShowcaseDemo.h"

#include <chrono>
#include <cstdio>

#include "Engine/render/WeRenderDevice.h"
#include "Game/shell/CMainGameInterface.h"
#include "Tools/race_common/HudShowcase.h"
#include "Tools/race_common/RaceRig.h"

namespace
{

struct Rect
{
    int x, y, w, h;
    const char* name;
};

// How many pixels of the rectangle differ between the two frames.
int CountDifferent(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, const Rect& r)
{
    int count = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
        {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            if (i < a.size() && i < b.size() && a[i] != b[i])
                ++count;
        }
    return count;
}

double MillisecondsPerRender(RaceRig& rig, int renders)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < renders; ++i)
        rig.RenderOnly();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / renders;
}

}  // namespace

int RunHudShowcase(const std::vector<std::string>& args)
{
    std::string png;
    for (size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--png" && i + 1 < args.size())
            png = args[++i];
        else
        {
            std::fprintf(stderr, "usage: race_demo --hud-showcase --png FILE\n");
            return 2;
        }
    }
    if (png.empty())
    {
        std::fprintf(stderr, "usage: race_demo --hud-showcase --png FILE\n");
        return 2;
    }
    RaceRig* rig = nullptr;
    HudShowcase::Configure(rig, true);
    std::string error;
    HudShowcase showcase;
    bool ok = rig->Start(&error) && showcase.Reach(*rig, &error);
    if (ok)
    {
        rig->Tick(1);
        showcase.Apply(*rig);
        rig->RenderOnly();
        const std::vector<uint32_t> shown = rig->LastFrame();
        ok = !shown.empty() && rig->WritePng(png);
        if (!ok)
            error = "cannot write " + png;
        const double withDisplay = MillisecondsPerRender(*rig, 20);
        g_MainGameInterface.m_Visible = 0;
        rig->RenderOnly();
        const std::vector<uint32_t> hidden = rig->LastFrame();
        const double withoutDisplay = MillisecondsPerRender(*rig, 20);
        g_MainGameInterface.m_Visible = 1;
        const int width = g_ScreenSize.width, height = g_ScreenSize.height;
        const int s = height * 192 / 768;
        const Rect rects[] = {{0, height - s, width * 252 / 1024, s, "the left panel"},
                              {width - height * 252 / 768, height - s, height * 252 / 768, s, "the right panel"},
                              {0, height / 5, height * 200 / 768, height * 180 / 768, "the standings"}};
        for (const Rect& r : rects)
        {
            const int different = CountDifferent(shown, hidden, width, r);
            std::printf("hud: %s: %d of %d pixels drawn\n", r.name, different, r.w * r.h);
            if (ok && different < r.w * r.h / 20)
            {
                ok = false;
                error = std::string("the display drew too little over ") + r.name;
            }
        }
        std::printf("hud frame on offscreen GL: %.2f ms with the display, %.2f ms without\n", withDisplay,
                    withoutDisplay);
    }
    rig->Stop();
    delete rig;
    if (!ok)
    {
        std::printf("hud: FAILED: %s\n", error.c_str());
        return 1;
    }
    std::printf("hud: ok\n");
    return 0;
}
