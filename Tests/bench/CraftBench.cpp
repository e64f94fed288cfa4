// The craft on the headless race rig (recording backend, _TestRace): one engine tick with 0, 1, 3 and 6 craft
// driving, after a 2 s warm-up, over 60 s of race time; the last line is the cost of one craft's tick.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "Game/craft/CTuber.h"
#include "Game/shell/CInputMessage.h"
#include "Tools/race_common/RaceRig.h"
#include "Tools/race_common/RaceRigScripts.h"

namespace
{
std::map<int, double> g_MicrosecondsPerTick;

void CraftTick(benchmark::State& state)
{
    const int craft = int(state.range(0));
    RaceRigOptions o;
    const char* crafts[] = {"Falconer", "EclosionHunter", "Xdrone"};
    for (int i = 0; i < craft; ++i)
        o.slots.push_back(RaceRigSlot{i == 0 ? 4 : 1 + i % 3, crafts[i % 3], "", 0, 0});
    RaceRig rig(o);
    std::string error;
    if (!rig.Start(&error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    rig.SetPlayerScript([&](int64_t tick, CInputMessage& m) { SteerAlongTrack(rig.Player(), tick, 384, m); });
    for (int slot = 1; slot < craft; ++slot)
        rig.SetSlotScript(slot, [&rig, slot](int64_t tick, CInputMessage& m)
                          { SteerAlongTrack(rig.Craft(slot), tick, 384, m); });
    rig.Tick(128);
    int64_t ticks = 0;
    for (auto _ : state)
    {
        rig.Tick(1);
        // 60 s of race time, then the race starts over from its 2 s warm-up.
        if (++ticks % (60 * 64) == 0)
        {
            state.PauseTiming();
            rig.Stop();
            rig.Start(&error);
            rig.Tick(128);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CraftTick)->Arg(0)->Arg(1)->Arg(3)->Arg(6)->Iterations(60 * 64)->Unit(benchmark::kMicrosecond);

class Reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const std::string name = run.benchmark_name();
            const int craft = std::stoi(name.substr(name.find('/') + 1));
            g_MicrosecondsPerTick[craft] = run.GetAdjustedRealTime();
            std::printf("%d craft: %.0f ticks per second\n", craft, 1e6 / run.GetAdjustedRealTime());
        }
    }
};
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_MicrosecondsPerTick.count(6) && g_MicrosecondsPerTick.count(0))
        std::printf("craft tick: %.1f us per craft (6 craft)\n",
                    (g_MicrosecondsPerTick[6] - g_MicrosecondsPerTick[0]) / 6.0);
    benchmark::Shutdown();
    return 0;
}
