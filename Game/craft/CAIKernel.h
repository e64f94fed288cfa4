#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeList.h"
#include "Game/craft/CAIDifficultyProfile.h"

class CAgent;
class CRaceParticipant;

// The computer drivers of the race: one agent per computer slot, made when a race starts and deleted when the
// race phase is left, and the difficulty records they read.
class CAIKernel
{
public:
    static constexpr int32_t ProfileCount = 4;  // Easy, Medium, Hard, and a second Hard no agent selects

    // What the agents cost: the time each spends deciding in a tick (its update without the craft's movement),
    // in nanoseconds. Off by default; no game rule reads it.
    struct CostRecord
    {
        bool enabled = false;
        std::vector<int64_t> samples;
        void Clear() { samples.clear(); }
    };

    // The process-wide kernel, built on first use.
    static CAIKernel& Instance();

    CAIKernel() = default;
    virtual ~CAIKernel();
    CAIKernel(const CAIKernel&) = delete;
    CAIKernel& operator=(const CAIKernel&) = delete;

    // At race start, before the craft exist: an agent for every computer slot (and, with the autopilot on,
    // for every human slot), then the difficulty records.
    void CreateAgents();
    // At the end of the race phase: every agent of the list, the ones given at the finish included; no
    // participant keeps a pointer to one.
    void DeleteAgents();
    void LoadProfiles();
    // Takes ownership of an agent made during the race (the finish gives the human one).
    void AppendAgent(CAgent* agent);
    // Deletes the participant's agent, when the kernel owns it, and clears the participant's pointer.
    void DeleteAgent(CRaceParticipant* participant);
    // -1 off; 0 to 2 the level of the agent the next CreateAgents gives each human slot. A development seam:
    // the game never sets it.
    void SetAutopilot(int32_t level);

    bool m_AIWeaponsOn = false;
    bool m_AIDrivingOn = false;
    WeList<CAgent*> m_Agents;
    CAIDifficultyProfile m_Profiles[ProfileCount];
    int32_t m_AutopilotLevel = -1;
    CostRecord m_Cost;
};

#define g_AIKernel (CAIKernel::Instance())
