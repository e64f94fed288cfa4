// What the computer drivers cost: six agents (two of each level) race the test track for 60 s of racing on the
// headless rig, three seeds, and the kernel's cost record gives the time each agent spent deciding in a tick
// (its update without the craft's movement).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Game/craft/CAIKernel.h"
#include "Platform/system/SysClock.h"
#include "Tools/race_common/AIRace.h"

int main()
{
    // The craft of the built-in list, listed whatever the pack's own unlock numbers.
    for (const char* craft : {"Falconer", "EclosionHunter", "Xdrone"})
        GetConfigInt(WeString("tubers.") + craft + ".UnlockID", 0);
    std::printf("ai_bench: _TestRace, six agents (two per level), 60 s of racing, seeds 1-3, weapons on\n");
    std::vector<int64_t> samples;
    for (uint32_t seed = 1; seed <= 3; ++seed)
    {
        AIRaceOptions options;
        options.seed = seed;
        options.laps = 1000;
        options.timeLimit = 60.0;
        options.weapons = true;
        AIRace race(options);
        g_AIKernel.m_Cost.Clear();
        g_AIKernel.m_Cost.enabled = true;
        std::string error;
        const bool ran = race.Run(&error);
        g_AIKernel.m_Cost.enabled = false;
        if (!ran)
        {
            std::printf("ai_bench: the rig did not start: %s\n", error.c_str());
            return 1;
        }
        samples.insert(samples.end(), g_AIKernel.m_Cost.samples.begin(), g_AIKernel.m_Cost.samples.end());
    }
    if (samples.empty())
    {
        std::printf("ai_bench: no agent ticks\n");
        return 1;
    }
    std::sort(samples.begin(), samples.end());
    double sum = 0.0;
    for (int64_t s : samples)
        sum += static_cast<double>(s);
    const double toMicroseconds = 1e6 / static_cast<double>(SysClock::CounterFrequency);
    const double mean = sum / static_cast<double>(samples.size()) * toMicroseconds;
    const double p99 = static_cast<double>(samples[(samples.size() - 1) * 99 / 100]) * toMicroseconds;
    const double max = static_cast<double>(samples.back()) * toMicroseconds;
    std::printf("ai decide: %.2f us per agent per tick, p99 %.2f us, max %.2f us (%zu agent ticks)\n", mean, p99, max,
                samples.size());
    return 0;
}
