// race_bench: whole races of six computer-driven craft on the race rig, one per shipped track and difficulty,
// on the fixed step and seeded. Headless (the recording backend) it prints how many times faster than real
// time the race simulates and where each tick's wall time goes; with --render it draws every frame on
// offscreen OpenGL (or, with --window, in a real window) with the player's default options and prints the
// frame rate and where each frame's time goes.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeTickCost.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/system/SysClock.h"
#include "Tools/race_common/RaceRig.h"

namespace
{
const char* const Usage =
    "usage: race_bench [--track NAME]... [--difficulty easy|medium|hard]... [--laps 1-10] [--craft KEY] "
    "[--seed N] [--step SECONDS] [--no-weapons]\n"
    "                  [--time-limit SECONDS]\n"
    "                  [--render [--size WxH] [--window] [--png PATH]]\n"
    "Runs six computer-driven craft (the player's on the autopilot) over every shipped track and difficulty.\n";

const char* const ShippedTracks[] = {"Wastelands of Apeiron (day)", "Fusion Sphere (night)"};
const char* const Crafts[] = {"Falconer", "EclosionHunter", "Xdrone"};
const char* const Levels[] = {"Easy", "Medium", "Hard"};

struct Arguments
{
    std::vector<std::string> tracks;
    std::vector<int32_t> levels;  // 1 Easy to 3 Hard
    int32_t laps = 3;
    std::string craft = "Falconer";
    uint32_t seed = 1;
    double step = 1.0 / 64.0;
    bool weapons = true;
    double timeLimit = 0.0;  // seconds simulated; 0: the whole race
    bool render = false, window = false;
    int32_t width = 1024, height = 768;
    std::string png;
};

bool ParseArguments(int argc, char** argv, Arguments& a, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        char* end = nullptr;
        if (arg == "--track" && hasValue)
            a.tracks.push_back(argv[++i]);
        else if (arg == "--difficulty" && hasValue)
        {
            std::string level = argv[++i];
            for (char& c : level)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            const int32_t index = level == "easy" ? 1 : level == "medium" ? 2 : level == "hard" ? 3 : 0;
            if (index == 0)
                return error = "--difficulty takes easy, medium or hard", false;
            a.levels.push_back(index);
        }
        else if (arg == "--laps" && hasValue)
        {
            a.laps = int32_t(std::strtol(argv[++i], &end, 10));
            if (*end != '\0' || a.laps < 1 || a.laps > 10)
                return error = "--laps takes 1 to 10", false;
        }
        else if (arg == "--craft" && hasValue)
            a.craft = argv[++i];
        else if (arg == "--seed" && hasValue)
        {
            const unsigned long seed = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || *argv[i] == '\0' || seed > 0xFFFFFFFFul)
                return error = "--seed takes a whole number", false;
            a.seed = uint32_t(seed);
        }
        else if (arg == "--step" && hasValue)
        {
            a.step = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(a.step >= 0.001 && a.step <= 0.1))
                return error = "--step takes 0.001 to 0.1 seconds", false;
        }
        else if (arg == "--time-limit" && hasValue)
        {
            a.timeLimit = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(a.timeLimit > 0.0 && a.timeLimit <= 3600.0))
                return error = "--time-limit takes 0 to 3600 seconds", false;
        }
        else if (arg == "--no-weapons")
            a.weapons = false;
        else if (arg == "--render")
            a.render = true;
        else if (arg == "--window")
            a.window = a.render = true;
        else if (arg == "--size" && hasValue)
        {
            if (std::sscanf(argv[++i], "%dx%d", &a.width, &a.height) != 2 || a.width < 64 || a.height < 64 ||
                a.width > 4096 || a.height > 4096)
                return error = "--size takes WxH, each 64 to 4096", false;
        }
        else if (arg == "--png" && hasValue)
            a.png = argv[++i];
        else
            return error = "unknown argument \"" + arg + "\"", false;
    }
    if (a.tracks.empty())
        a.tracks.assign(std::begin(ShippedTracks), std::end(ShippedTracks));
    if (a.levels.empty())
        a.levels = a.render ? std::vector<int32_t>{2} : std::vector<int32_t>{1, 2, 3};
    return true;
}

// The world's actors by kind: the craft and their parts, the weapons in flight and the explosions, the
// pickups; the rest (triggers, lights, particle systems) stays with the stage around the world's tick.
WeCostStage StageOfActor(int32_t kind)
{
    if (kind == ActorKindTuber || kind == ActorKindTuberPart)
        return WeCostStage::Craft;
    if (kind == ActorKindProjectile || kind == ActorKindMine || kind == ActorKindExplosion)
        return WeCostStage::Weapons;
    if (IsPickupKind(kind))
        return WeCostStage::PickupsStandings;
    return WeCostStage::Other;
}

// Peak resident memory since the last reset, in bytes (0 when the kernel does not say).
int64_t PeakResident()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}

// Starts the peak over from the current use, so that each race reports its own.
void ResetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

struct Samples
{
    std::vector<int64_t> stages[WeTickCost::StageCount];
    std::vector<int64_t> total;

    void Add(const int64_t (&ns)[WeTickCost::StageCount])
    {
        int64_t sum = 0;
        for (int32_t i = 0; i < WeTickCost::StageCount; ++i)
        {
            stages[i].push_back(ns[i]);
            sum += ns[i];
        }
        total.push_back(sum);
    }
};

double Mean(const std::vector<int64_t>& v)
{
    if (v.empty())
        return 0.0;
    double sum = 0.0;
    for (int64_t x : v)
        sum += double(x);
    return sum / double(v.size());
}

// The value below which 99 of 100 samples lie (nearest rank).
double Percentile99(std::vector<int64_t> v)
{
    if (v.empty())
        return 0.0;
    const size_t rank = size_t(std::ceil(0.99 * double(v.size())));
    const size_t index = std::min(v.size() - 1, rank > 0 ? rank - 1 : 0);
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(index), v.end());
    return double(v[index]);
}

double Max(const std::vector<int64_t>& v)
{
    return v.empty() ? 0.0 : double(*std::max_element(v.begin(), v.end()));
}

// "1 Name (Craft) 101.234 s best 32.100 s, 2 ..." in place order; an unplaced racer last with place 0. A race
// cut short gives the places and times as they stood.
std::string OutcomeLine(bool over)
{
    std::vector<const CRaceParticipant*> racers;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
        if (const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot))
            if (p->IsRacing())
                racers.push_back(p);
    std::stable_sort(
        racers.begin(), racers.end(),
        [](const CRaceParticipant* a, const CRaceParticipant* b)
        { return (a->m_RacePlace > 0 ? a->m_RacePlace : 1000) < (b->m_RacePlace > 0 ? b->m_RacePlace : 1000); });
    std::string line;
    for (const CRaceParticipant* p : racers)
    {
        char text[256];
        const std::string name =
            !p->m_DisplayName.IsEmpty() ? p->m_DisplayName.c_str() : "slot " + std::to_string(p->m_Index + 1);
        // The race ends a second after the third finisher; the others get its estimate of their time.
        const bool finished = !over || (p->m_Craft != nullptr && p->m_Craft->m_LapsCompleted >= g_RaceSettings.m_Laps);
        std::snprintf(text, sizeof(text), "%s%d %s (%s) %.3f s best %.3f s%s", line.empty() ? "" : ", ", p->m_RacePlace,
                      name.c_str(), p->m_CraftKey.c_str(), double(p->m_RaceTime), double(p->m_BestLap),
                      finished ? "" : " estimated");
        line += text;
    }
    return line;
}

// The render device as the game sets it up from a new player's options (no options file).
void ApplyDefaultOptions()
{
    const COptionsSettings options;
    const bool higherEffects = g_RenderDevice.m_PixelShader30 != 0;
    g_RenderDevice.m_ShaderPath = options.m_EffectQuality == 2 && higherEffects ? 2 : 1;
    g_RenderDevice.m_ReflectionQuality = std::max(options.m_Reflection, 1);
    g_RenderDevice.m_MaxAnisotropy = options.m_Anisotropy;
    g_RenderDevice.m_MotionBlurMode = options.m_MotionBlur;
    g_RenderDevice.m_RefractionOn = options.m_Refraction;
    g_RenderDevice.m_ShadowsOn = options.m_Shadows;
    g_RenderDevice.m_HdrLevel = options.m_Hdr;
    g_RenderDevice.m_SpecularOption = options.m_Specular;
    g_RenderDevice.m_BumpOption = options.m_Bumping;
    g_RenderDevice.m_FilmGrainOn = options.m_FilmGrain;
    g_RenderDevice.m_DepthOfFieldOn = higherEffects ? options.m_DepthOfField : 0;
}

// The frame as it stands, drawn once more and read back; outside the timed samples.
bool WritePicture(RaceRig& rig, const std::string& path)
{
    const bool on = g_TickCost.IsEnabled();
    g_TickCost.Enable(false);
    const bool written = rig.WritePng(path);
    g_TickCost.Enable(on);
    if (written)
        std::printf("wrote %s\n", path.c_str());
    else
        std::fprintf(stderr, "race_bench: cannot write %s\n", path.c_str());
    return true;
}

struct RaceFigures
{
    bool finished = false;
    int64_t ticks = 0, racingTicks = 0;
    double wall = 0.0;
    int64_t peak = 0;
    Samples all, afterGo;
    std::string outcome;
};

// One race from the race phase's entry to its final standings (or the time limit).
bool RunRace(const Arguments& a, const std::string& track, int32_t level, RaceFigures& f, std::string& error)
{
    RaceRigOptions o;
    o.racePhase = true;
    o.map = track;
    o.step = a.step;
    o.seed = a.seed;
    o.laps = a.laps;
    o.difficulty = level;
    o.weapons = a.weapons;
    o.width = a.width;
    o.height = a.height;
    o.backend = a.render ? RaceRigOptions::Backend::OffscreenGl : RaceRigOptions::Backend::Recording;
    o.slots.push_back(RaceRigSlot{CRaceParticipant::Human, a.craft, "Player", 0, 1});
    for (int32_t i = 1; i < 6; ++i)
        o.slots.push_back(RaceRigSlot{level, Crafts[i % 3], "", 0, i + 1});
    if (a.window)
        setenv("SDL_VIDEODRIVER", "x11", 1);
    // The player's slot gets an agent of the race's level at the race's entry; the craft stays the player's.
    g_AIKernel.SetAutopilot(level - 1);
    if (a.render)
        g_TextureManager.SetQualityLevel(COptionsSettings().m_TextureQuality);
    RaceRig rig(o);
    // The recording backend's log of every call and every draw's vertices is a test's tool: a whole race of it
    // fills the memory and times the copying, not the submission.
    g_GfxRecorder.logging = false;
    ResetPeakResident();
    if (!rig.Start(&error))
    {
        g_AIKernel.SetAutopilot(-1);
        return false;
    }
    // The race falls back on the catalogue's first craft for a key it does not know: the bench would measure
    // another race than the one asked for.
    if (g_TuberCatalogue.Find(WeString(a.craft.c_str())) == nullptr)
    {
        rig.Stop();
        g_AIKernel.SetAutopilot(-1);
        g_GfxRecorder.logging = true;
        return error = "no craft \"" + a.craft + "\" in the catalogue", false;
    }
    // The computer drivers' names, as the set-up screens give them.
    g_RaceSettings.AssignAINames();
    if (a.render)
        ApplyDefaultOptions();
    g_TickCost.m_ActorStage = StageOfActor;
    g_TickCost.Enable(true);
    // Generous: the slowest level's laps with room to spare, and the preview and the finish around them.
    const int64_t limit = int64_t((a.timeLimit > 0.0 ? a.timeLimit : 90.0 * a.laps + 60.0) / a.step);
    using FinishFunction = void (*)();
    const FinishFunction glFinish =
        a.render ? reinterpret_cast<FinishFunction>(SDL_GL_GetProcAddress("glFinish")) : nullptr;
    if (a.render && glFinish == nullptr)
    {
        rig.Stop();
        g_AIKernel.SetAutopilot(-1);
        return error = "no glFinish in the GL context", false;
    }
    bool pngWritten = false;
    const int64_t start = SysClock::Counter();
    while (rig.Ticks() < limit)
    {
        g_TickCost.BeginSample();
        rig.Tick(1);
        {
            WeTickCost::Scope cost(WeCostStage::Render);
            g_Engine.Render();
            // The frame is done once the rasteriser is: a frame time without it would count only the queueing.
            if (a.render)
            {
                WeTickCost::Scope present(WeCostStage::Present);
                glFinish();
            }
        }
        int64_t ns[WeTickCost::StageCount];
        g_TickCost.EndSample(ns);
        f.all.Add(ns);
        if (rig.InRace() && g_PlayGamePhase.m_RaceState >= CPlayGamePhase::Racing)
        {
            f.afterGo.Add(ns);
            if (g_PlayGamePhase.m_RaceState == CPlayGamePhase::Racing)
                ++f.racingTicks;
        }
        // The picture: ten seconds into the racing, or the last frame of a run cut before.
        if (a.render && !a.png.empty() && !pngWritten &&
            (f.racingTicks == int64_t(10.0 / a.step) || rig.Ticks() + 1 >= limit))
            pngWritten = WritePicture(rig, a.png);
        if (g_PlayGamePhase.m_RaceOver != 0)
        {
            f.finished = true;
            break;
        }
        if (rig.EnterTick() >= 0 && !rig.InRace())
            break;
    }
    f.wall = double(SysClock::Counter() - start) / double(SysClock::CounterFrequency);
    f.ticks = rig.Ticks();
    f.peak = PeakResident();
    g_TickCost.Enable(false);
    g_TickCost.m_ActorStage = nullptr;
    f.outcome = OutcomeLine(f.finished);
    rig.Stop();
    g_AIKernel.SetAutopilot(-1);
    g_GfxRecorder.logging = true;
    return true;
}

void PrintStage(const char* name, const std::vector<int64_t>& v, double scale, const char* unit)
{
    std::printf("  %-24s mean %8.1f %s   p99 %8.1f %s\n", name, Mean(v) * scale, unit, Percentile99(v) * scale, unit);
}

// The sum of some stages, tick by tick.
std::vector<int64_t> Sum(const Samples& s, std::initializer_list<WeCostStage> stages)
{
    std::vector<int64_t> out(s.total.size(), 0);
    for (WeCostStage stage : stages)
        for (size_t i = 0; i < out.size(); ++i)
            out[i] += s.stages[int32_t(stage)][i];
    return out;
}

void PrintHeadless(const std::string& track, int32_t level, const RaceFigures& f, double step)
{
    const double simulated = double(f.ticks) * step;
    std::printf("race %s %s: %.1f s simulated in %.2f s, %.1f x real time, peak %.0f MB\n", track.c_str(),
                Levels[level - 1], simulated, f.wall, f.wall > 0.0 ? simulated / f.wall : 0.0,
                double(f.peak) / (1024.0 * 1024.0));
    std::printf("  %lld ticks of %.4f s, %.1f s of them racing%s; tick cost in us:\n", static_cast<long long>(f.ticks),
                step, double(f.racingTicks) * step, f.finished ? "" : " (the time limit ended the race)");
    using S = WeCostStage;
    const double us = 1.0 / 1000.0;
    PrintStage("whole tick", f.all.total, us, "us");
    PrintStage("physics", f.all.stages[int32_t(S::Physics)], us, "us");
    PrintStage("ai", f.all.stages[int32_t(S::Ai)], us, "us");
    PrintStage("craft", f.all.stages[int32_t(S::Craft)], us, "us");
    PrintStage("weapons and explosions", f.all.stages[int32_t(S::Weapons)], us, "us");
    PrintStage("pickups and standings", f.all.stages[int32_t(S::PickupsStandings)], us, "us");
    PrintStage("hud and ui", f.all.stages[int32_t(S::HudUi)], us, "us");
    PrintStage("render submission", Sum(f.all, {S::Render, S::WorldRender, S::PostProcess, S::Present}), us, "us");
    PrintStage("  of it world", f.all.stages[int32_t(S::WorldRender)], us, "us");
    PrintStage("  of it post-processing", f.all.stages[int32_t(S::PostProcess)], us, "us");
    PrintStage("  of it present", f.all.stages[int32_t(S::Present)], us, "us");
    PrintStage("other", f.all.stages[int32_t(S::Other)], us, "us");
    std::printf("  %s: %s\n", f.finished ? "outcome" : "standings when cut", f.outcome.c_str());
}

void PrintRender(const std::string& track, const RaceFigures& f, double step)
{
    using S = WeCostStage;
    const double ms = 1.0 / 1.0e6;
    const double fps = f.wall > 0.0 ? double(f.ticks) / f.wall : 0.0;
    std::printf("render %s: %.1f fps average, p99 %.1f ms, worst %.1f ms after GO\n", track.c_str(), fps,
                Percentile99(f.all.total) * ms, Max(f.afterGo.total) * ms);
    std::printf("  %lld frames of %.4f s in %.2f s, %.1f s of them racing, peak %.0f MB%s; frame time in ms:\n",
                static_cast<long long>(f.ticks), step, f.wall, double(f.racingTicks) * step,
                double(f.peak) / (1024.0 * 1024.0), f.finished ? "" : " (the time limit ended the race)");
    PrintStage("whole frame", f.all.total, ms, "ms");
    PrintStage("world render", f.all.stages[int32_t(S::WorldRender)], ms, "ms");
    PrintStage("post-processing", f.all.stages[int32_t(S::PostProcess)], ms, "ms");
    PrintStage("hud and ui", f.all.stages[int32_t(S::HudUi)], ms, "ms");
    PrintStage("game tick", Sum(f.all, {S::Physics, S::Ai, S::Craft, S::Weapons, S::PickupsStandings, S::Other}), ms,
               "ms");
    PrintStage("present and finish", f.all.stages[int32_t(S::Present)], ms, "ms");
    PrintStage("other render", f.all.stages[int32_t(S::Render)], ms, "ms");
    std::printf("  %s: %s\n", f.finished ? "outcome" : "standings when cut", f.outcome.c_str());
}
}  // namespace

int main(int argc, char** argv)
{
    Arguments a;
    std::string error;
    if (!ParseArguments(argc, argv, a, error))
    {
        std::fprintf(stderr, "race_bench: %s\n%s", error.c_str(), Usage);
        return 2;
    }
    // Ctrl+C and a kill end the bench: SDL would otherwise turn them into a quit event no one reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (a.window && std::getenv("DISPLAY") == nullptr)
    {
        std::fprintf(stderr, "race_bench: --window needs a display (run it under xvfb-run)\n");
        return 2;
    }
    std::printf("race_bench: %s, six craft (the player's on the autopilot), %d laps, weapons and pickups %s, "
                "step %.4f s, seed %u%s\n",
                a.render ? (a.window ? "a real window" : "offscreen OpenGL") : "headless", a.laps,
                a.weapons ? "on" : "off", a.step, a.seed,
                a.render ? (" at " + std::to_string(a.width) + "x" + std::to_string(a.height)).c_str() : "");
    int status = 0;
    for (const std::string& track : a.tracks)
        for (int32_t level : a.levels)
        {
            RaceFigures f;
            if (!RunRace(a, track, level, f, error))
            {
                std::fprintf(stderr, "race_bench: %s %s: %s\n", track.c_str(), Levels[level - 1], error.c_str());
                status = 1;
                continue;
            }
            if (a.render)
                PrintRender(track, f, a.step);
            else
                PrintHeadless(track, level, f, a.step);
            // A race that outlives the bench's own limit is a fault; one cut short on request is not.
            if (!f.finished && a.timeLimit <= 0.0)
                status = 1;
            std::fflush(stdout);
        }
    return status;
}
