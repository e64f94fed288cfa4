#include "Tools/race_common/AIRace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>

#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CWeaponFactory.h"

namespace
{
constexpr double Step = 1.0 / 64.0;
constexpr int32_t WindowTicks = 320;          // 5 s
constexpr float StuckTimerThreshold = 0.25f;  // below it the craft is merely between two samples of its place

std::string Seconds4(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.4f", seconds);
    return text;
}

void Mix(uint64_t& digest, const void* bytes, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i)
    {
        digest ^= p[i];
        digest *= 1099511628211ull;
    }
}
}  // namespace

struct AIRace::Watch
{
    float lastFraction = -1.0f;
    double progress = 0.0;  // laps driven along the path
    std::deque<double> window;
    bool wasGhost = false;
    int64_t stuckTicks = 0;
    const WePathNode* fork = nullptr;
    double forkProgress = -1.0;  // where the last passage was counted: a fork is passed once a lap
    int32_t expectedNext = -1;   // 1 next, 0 alternative, by the parity the agent steers by
};

AIRace::AIRace(AIRaceOptions options) : m_Options(std::move(options)) {}

AIRace::~AIRace() = default;

const char* AIRace::LevelName(int32_t kind)
{
    switch (kind)
    {
    case 1: return "Easy";
    case 2: return "Medium";
    case 3: return "Hard";
    case 4: return "Human";
    default: return "Open";
    }
}

std::vector<int32_t> AIRace::StartPlaces(uint32_t seed)
{
    std::vector<int32_t> places = {1, 2, 3, 4, 5, 6};
    uint64_t state = seed * 6364136223846793005ull + 1442695040888963407ull;
    for (int32_t i = 5; i > 0; --i)
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const int32_t j = static_cast<int32_t>((state >> 33) % static_cast<uint64_t>(i + 1));
        std::swap(places[i], places[j]);
    }
    return places;
}

double AIRace::Seconds() const
{
    return static_cast<double>(m_Ticks) * Step;
}

bool AIRace::Run(std::string* error, const std::function<void(AIRace&)>& eachTick)
{
    RaceRigOptions o;
    o.backend = m_Options.backend;
    o.seed = m_Options.seed;
    o.map = m_Options.map;
    o.mapDescription = m_Options.mapDescription;
    o.weapons = m_Options.weapons;
    o.raceType = 0;
    o.laps = 99;  // the goal is the fixture's: the race itself never ends first
    o.difficulty = 2;
    const std::vector<int32_t> places = StartPlaces(m_Options.seed);
    const char* const crafts[] = {"Falconer", "EclosionHunter", "Xdrone"};
    m_Crafts.clear();
    for (size_t i = 0; i < m_Options.kinds.size() && i < 6; ++i)
    {
        RaceRigSlot slot;
        slot.kind = m_Options.kinds[i];
        slot.craft = crafts[i % 3];
        slot.startPlace = places[i];
        o.slots.push_back(slot);
    }
    if (m_Options.autopilot >= 0 && !o.slots.empty())
        o.slots[0].kind = CRaceParticipant::Human;
    g_AIKernel.SetAutopilot(m_Options.autopilot);
    m_Rig = std::make_unique<RaceRig>(o);
    const bool started = m_Rig->Start(error);
    g_AIKernel.SetAutopilot(-1);
    if (!started)
    {
        m_Rig.reset();
        return false;
    }
    // The craft-only rig lifts the weapons safety lock at once; a race without weapons never lifts it, so no
    // craft has a weapon selected there (and a Hard driver has no reason to brake for a rival it cannot shoot).
    g_WeaponFactory.m_SafetyLockExpired = m_Options.weapons ? 1 : 0;
    for (size_t i = 0; i < o.slots.size(); ++i)
    {
        AIRaceCraft craft;
        craft.slot = static_cast<int32_t>(i);
        craft.kind = o.slots[i].kind;
        m_Crafts.push_back(craft);
    }
    m_Watch.assign(m_Crafts.size(), Watch());
    m_Ticks = 0;
    const double limit = m_Options.timeLimit > 0.0 ? m_Options.timeLimit : 60.0 * m_Options.laps;
    while (Seconds() < limit)
    {
        bool done = true;
        for (const AIRaceCraft& craft : m_Crafts)
            done = done && (craft.finish >= 0.0 || m_Rig->Craft(craft.slot) == nullptr);
        if (done)
            break;
        m_Rig->Tick();
        ++m_Ticks;
        Observe();
        if (eachTick)
            eachTick(*this);
    }
    m_Rig->Stop();
    return true;
}

void AIRace::Observe()
{
    for (size_t i = 0; i < m_Crafts.size(); ++i)
    {
        AIRaceCraft& report = m_Crafts[i];
        Watch& watch = m_Watch[i];
        CTuber* craft = m_Rig->Craft(report.slot);
        if (craft == nullptr)
            continue;
        const D3DXVECTOR3 position = craft->GetWorldPosition();
        Mix(report.lineDigest, &position, sizeof(position));
        if (craft->m_Destroyed)
            report.destroyed += Step;
        // The laps the race credits, up to the goal (a fast craft laps on while the others finish).
        while (static_cast<int32_t>(report.laps.size()) < std::min(m_Options.laps, craft->m_LapsCompleted))
        {
            report.laps.push_back(Seconds());
            if (static_cast<int32_t>(report.laps.size()) == m_Options.laps)
                report.finish = Seconds();
        }
        const WePathNode* node = craft->m_CurrentNode;
        if (node != nullptr)
        {
            if (watch.lastFraction >= 0.0f)
            {
                double delta = static_cast<double>(node->m_Fraction) - watch.lastFraction;
                if (delta < -0.5)
                    delta += 1.0;
                else if (delta > 0.5)
                    delta -= 1.0;
                watch.progress += delta;
            }
            watch.lastFraction = node->m_Fraction;

            // The branch at a fork, decided once the craft is two nodes into it; counted until the goal.
            if (report.finish >= 0.0)
                watch.fork = nullptr;
            else if (node->m_Kind == WePathNode::Fork &&
                     (watch.forkProgress < 0.0 || watch.progress - watch.forkProgress > 0.5))
            {
                watch.fork = node;
                const int32_t parity = (craft->m_Participant->m_Index + craft->m_LapsCompleted) % 2;
                watch.expectedNext = parity == 0 ? 1 : 0;
            }
            else if (watch.fork != nullptr && node->m_Previous != watch.fork)
            {
                const WePathNode* next = watch.fork->m_Next;
                const WePathNode* alt = watch.fork->m_Branch;
                int32_t took = -1;
                if (node->m_Kind == WePathNode::Join || node->m_BranchTag == watch.fork->m_BranchTag)
                    watch.fork = nullptr;
                else if (next != nullptr && node->m_BranchTag == next->m_BranchTag)
                    took = 1;
                else if (alt != nullptr && node->m_BranchTag == alt->m_BranchTag)
                    took = 0;
                if (took >= 0)
                {
                    (took == 1 ? report.branchNext : report.branchAlt) += 1;
                    if (took != watch.expectedNext)
                        ++report.branchAgainstParity;
                    watch.fork = nullptr;
                    watch.forkProgress = watch.progress;
                }
            }
        }

        const float length = craft->m_World != nullptr ? craft->m_World->m_TrackLength : 0.0f;
        if (report.finish < 0.0)
        {
            watch.window.push_back(watch.progress);
            if (static_cast<int32_t>(watch.window.size()) > WindowTicks)
            {
                report.leastProgress =
                    std::min(report.leastProgress, (watch.window.back() - watch.window.front()) * length);
                watch.window.pop_front();
            }
        }

        if (craft->m_Ghost && !watch.wasGhost)
            ++report.stuckEvents;
        watch.wasGhost = craft->m_Ghost;
        if (craft->m_Ghost || craft->m_StuckTimer > StuckTimerThreshold)
        {
            ++watch.stuckTicks;
            report.longestStuck =
                std::max(report.longestStuck, static_cast<double>(watch.stuckTicks) * Step + StuckTimerThreshold);
        }
        else
            watch.stuckTicks = 0;
    }
}

std::vector<std::string> AIRace::CraftLines() const
{
    std::vector<std::string> lines;
    for (const AIRaceCraft& craft : m_Crafts)
    {
        std::string line = "ai seed " + std::to_string(m_Options.seed) + " slot " + std::to_string(craft.slot) + " " +
                           LevelName(craft.kind) + " laps " + std::to_string(craft.laps.size()) + " finish " +
                           (craft.finish >= 0.0 ? Seconds4(craft.finish) : std::string("-")) + " stuck " +
                           std::to_string(craft.stuckEvents) + " longest-stuck " + Seconds4(craft.longestStuck) +
                           " branches next " + std::to_string(craft.branchNext) + " alt " +
                           std::to_string(craft.branchAlt);
        lines.push_back(line);
    }
    return lines;
}

int RunAIRaceCommand(const std::vector<std::string>& arguments, std::string* output)
{
    uint32_t firstSeed = 1, lastSeed = 1;
    AIRaceOptions base;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--seeds" && hasValue)
        {
            const std::string v = arguments[++i];
            const size_t dash = v.find('-');
            firstSeed = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
            lastSeed = dash == std::string::npos
                           ? firstSeed
                           : static_cast<uint32_t>(std::strtoul(v.c_str() + dash + 1, nullptr, 10));
        }
        else if (a == "--laps" && hasValue)
            base.laps = std::max(1, std::atoi(arguments[++i].c_str()));
        else if (a == "--map" && hasValue)
            base.map = arguments[++i];
        else if (a == "--weapons")
            base.weapons = true;
        else if (a == "--backend" && hasValue)
            base.backend =
                arguments[++i] == "gl" ? RaceRigOptions::Backend::OffscreenGl : RaceRigOptions::Backend::Recording;
        else
        {
            *output += "ai-race: unknown argument " + a + "\n";
            return 1;
        }
    }
    if (lastSeed < firstSeed)
        std::swap(firstSeed, lastSeed);

    struct Summary
    {
        int32_t craft = 0, laps = 0, finished = 0, stuck = 0, next = 0, alt = 0;
        double finishSum = 0.0, longestStuck = 0.0;
    };
    std::map<int32_t, Summary> summaries;
    std::vector<std::string> failures;
    for (uint32_t seed = firstSeed; seed <= lastSeed; ++seed)
    {
        AIRaceOptions options = base;
        options.seed = seed;
        AIRace race(options);
        std::string error;
        if (!race.Run(&error))
        {
            *output += "ai-race: failed: the rig did not start: " + error + "\n";
            return 1;
        }
        for (const std::string& line : race.CraftLines())
            *output += line + "\n";
        for (const AIRaceCraft& craft : race.Crafts())
        {
            Summary& s = summaries[craft.kind];
            ++s.craft;
            s.laps += static_cast<int32_t>(craft.laps.size());
            if (craft.finish >= 0.0)
            {
                ++s.finished;
                s.finishSum += craft.finish;
            }
            else
                failures.push_back("seed " + std::to_string(seed) + " slot " + std::to_string(craft.slot) +
                                   " did not reach the lap goal");
            s.stuck += craft.stuckEvents;
            s.longestStuck = std::max(s.longestStuck, craft.longestStuck);
            if (craft.longestStuck >= 3.0)
                failures.push_back("seed " + std::to_string(seed) + " slot " + std::to_string(craft.slot) +
                                   " was stuck for " + Seconds4(craft.longestStuck) + " s");
            s.next += craft.branchNext;
            s.alt += craft.branchAlt;
        }
        if (seed == lastSeed)
            break;  // the seed range may end at the largest seed
    }
    for (int32_t kind = 1; kind <= 3; ++kind)
    {
        const Summary& s = summaries[kind];
        *output += std::string("ai summary ") + AIRace::LevelName(kind) + " craft " + std::to_string(s.craft) +
                   " laps " + std::to_string(s.laps) + " finished " + std::to_string(s.finished) + " mean-finish " +
                   (s.finished > 0 ? Seconds4(s.finishSum / s.finished) : std::string("-")) + " stuck " +
                   std::to_string(s.stuck) + " longest-stuck " + Seconds4(s.longestStuck) + " branches next " +
                   std::to_string(s.next) + " alt " + std::to_string(s.alt) + "\n";
    }
    const Summary& easy = summaries[1];
    const Summary& hard = summaries[3];
    if (lastSeed > firstSeed && easy.finished > 0 && hard.finished > 0 &&
        !(hard.finishSum / hard.finished < easy.finishSum / easy.finished))
        failures.push_back("Hard's mean finish is not below Easy's");
    if (!failures.empty())
    {
        for (const std::string& failure : failures)
            *output += "ai-race: failed: " + failure + "\n";
        return 1;
    }
    *output += "ai-race: ok\n";
    return 0;
}
