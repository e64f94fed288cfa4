#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

class CAIDifficultyProfile;
class CAgentArmory;
class CAgentMotorics;
class CAgentMotoricsHyperbrake;
class CAgentMotoricsStandardTube;
class CPickup;
class CRaceParticipant;
class CWeapon;

// The computer driver of one participant's craft (and of the human's once it has finished). Each frame the
// craft hands it control: it picks a driving strategy that writes the craft's control message as a player
// would, runs the craft's movement, then lets the weapon strategies set the fire flags.
class CAgent
{
public:
    // Kind 1 gives an Easy agent, 3 a Hard one, any other a Medium one. The agent stores itself in the
    // participant and owns its eight strategies.
    CAgent(CRaceParticipant* participant, int32_t kind);
    virtual ~CAgent();
    CAgent(const CAgent&) = delete;
    CAgent& operator=(const CAgent&) = delete;

    // Once a frame, from the craft's pre-tick.
    void Update();
    // The update's deciding halves around the craft's movement: everything before it (false when the agent
    // has nothing to drive), and the weapons after it.
    bool DecideBeforeMove();
    void DecideAfterMove();
    // This frame's driving strategy: the forced one, a running timed one, a new hyperbrake or node hold, or
    // the standard tube.
    CAgentMotorics* Drive();
    // Seconds of hyperbrake that let a rival behind pass; 0 for none.
    float DecideHyperbrake();
    CWeapon* FindDangerousMine();
    CPickup* FindPickup();
    // Picks this frame's primary and secondary weapon strategies.
    void UseWeapons();
    // From the finish on: the standard tube every frame, no mine avoided.
    void ForceStandardTube();
    void SetWeaponsEnabled(bool enabled);

    CRaceParticipant* m_Participant = nullptr;
    int32_t m_Level = 1;  // 0 Easy, 1 Medium, 2 Hard
    CAgentMotorics* m_CurrentMotorics = nullptr;
    CAgentMotoricsStandardTube* m_StandardTube = nullptr;
    CAgentMotoricsHyperbrake* m_Hyperbrake = nullptr;
    CAgentArmory* m_CurrentPrimaryArmory = nullptr;
    CAgentArmory* m_CurrentSecondaryArmory = nullptr;
    CAgentArmory* m_Bolts = nullptr;
    CAgentArmory* m_ClassicMines = nullptr;
    CAgentArmory* m_HomingMissiles = nullptr;
    CAgentArmory* m_PositionMissiles = nullptr;
    CAgentArmory* m_NukeMine = nullptr;
    CAgentArmory* m_FFG = nullptr;
    float m_TimedElapsed = 0.0f;
    float m_TimedDuration = 0.0f;
    CAgentMotorics* m_TimedStrategy = nullptr;
    CAgentMotorics* m_ForcedStrategy = nullptr;
    int32_t m_TimedRacePlace = 0;
    bool m_WeaponsEnabled = true;
    CAIDifficultyProfile* m_Profile = nullptr;  // the kernel's record of the level
    float m_CatchUpVariation = 0.0f;            // -0.5 to 0.5, read by the catch-up
    float m_VariationTimer = 0.0f;
    bool m_Autopilot = false;  // drives a human's craft on request (a development seam)
};

// The unit vector from a laid mine to its projection on the track path, stored when it was laid.
D3DXVECTOR3 GetMineAvoidDirection(const CWeapon* mine);
