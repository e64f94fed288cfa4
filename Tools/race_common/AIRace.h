#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Tools/race_common/RaceRig.h"

// A race of computer drivers on the rig, watched tick by tick: laps, stuck episodes, progress, the branch
// taken at every fork. The six computer slots' start places are permuted by the seed (with the fixture's own
// permutation, so the game's generator runs exactly as in a race).
struct AIRaceOptions
{
    uint32_t seed = 1;
    int32_t laps = 3;  // the lap goal
    std::string map = "_TestRace";
    std::string mapDescription;  // a map-builder description instead of a shipped map
    bool weapons = false;
    double timeLimit = 0.0;                           // seconds of racing; 0: 60 a lap
    std::vector<int32_t> kinds = {1, 1, 2, 2, 3, 3};  // the slots' participant kinds
    int32_t autopilot = -1;                           // 0 to 2: slot 0 is the player, driven by an agent of that level
    RaceRigOptions::Backend backend = RaceRigOptions::Backend::Recording;
};

// What one craft did.
struct AIRaceCraft
{
    int32_t slot = 0, kind = 0;
    std::vector<double> laps;    // seconds of racing at which each lap was completed
    double finish = -1.0;        // when the lap goal was reached; -1 never
    int32_t stuckEvents = 0;     // entries into ghost state
    double longestStuck = 0.0;   // the longest unbroken time stuck (not moving on, or in ghost state)
    double leastProgress = 1e9;  // metres gained in the worst 5 s of racing before the goal
    int32_t branchNext = 0, branchAlt = 0;
    int32_t branchAgainstParity = 0;                // passages that took the other branch than the slot and lap give
    double destroyed = 0.0;                         // seconds spent destroyed
    uint64_t lineDigest = 14695981039346656037ull;  // the craft's positions tick by tick
};

class AIRace
{
public:
    explicit AIRace(AIRaceOptions options);
    ~AIRace();
    AIRace(const AIRace&) = delete;
    AIRace& operator=(const AIRace&) = delete;

    // Starts the rig, races until every craft has reached the lap goal or the time limit, stops the rig.
    // `eachTick` (optional) runs after every tick of racing. False with the reason when the rig cannot start.
    bool Run(std::string* error, const std::function<void(AIRace&)>& eachTick = {});
    const std::vector<AIRaceCraft>& Crafts() const { return m_Crafts; }
    RaceRig& Rig() { return *m_Rig; }
    double Seconds() const;
    const AIRaceOptions& Options() const { return m_Options; }
    // The start places of the six slots for a seed.
    static std::vector<int32_t> StartPlaces(uint32_t seed);
    static const char* LevelName(int32_t kind);

    // The report lines of one race: "ai seed ... slot ..." per craft.
    std::vector<std::string> CraftLines() const;

private:
    void Observe();

    struct Watch;
    AIRaceOptions m_Options;
    std::unique_ptr<RaceRig> m_Rig;
    std::vector<AIRaceCraft> m_Crafts;
    std::vector<Watch> m_Watch;
    int64_t m_Ticks = 0;
};

// race_demo's "--ai-race" run: one race per seed, the craft lines, a summary per level, "ai-race: ok" or the
// failed check. Arguments after "--ai-race": --seeds A-B, --laps N, --map NAME, --weapons, --backend
// recording|gl. Returns the exit status.
int RunAIRaceCommand(const std::vector<std::string>& arguments, std::string* output);
