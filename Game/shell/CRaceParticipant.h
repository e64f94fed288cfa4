#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class CAgent;
class CTuber;
class CTuberDescription;

// One of the six slots of a race: who drives (open, computer of a difficulty, or the player), with which
// craft and from which start place, and what the race made of it.
class CRaceParticipant
{
public:
    enum Kind : int32_t
    {
        Open = 0,
        AIEasy = 1,
        AIMedium = 2,
        AIHard = 3,
        Human = 4
    };

    explicit CRaceParticipant(int32_t index);
    CRaceParticipant(const CRaceParticipant&) = delete;
    CRaceParticipant& operator=(const CRaceParticipant&) = delete;

    // Clears what one race leaves behind; who races, from where, in what, under which name stays.
    void ResetResults();

    bool IsRacing() const { return m_Kind >= AIEasy && m_Kind <= Human; }
    bool IsAI() const { return m_Kind >= AIEasy && m_Kind <= AIHard; }

    int32_t m_Index;
    int32_t m_Kind = Open;
    // 1 to 6, 0 none: the team (and its colour) and the start location the craft prefers.
    int32_t m_StartPlace = 0;
    WeString m_CraftKey;
    WeString m_DisplayName;
    // The catalogue record the craft was made from (set by the craft).
    const CTuberDescription* m_CraftEntry = nullptr;
    CTuber* m_Craft = nullptr;
    CAgent* m_Agent = nullptr;
    int32_t m_RacePlace = 0;
    int32_t m_Kills = 0;
    bool m_Won = false;
    float m_RaceTime = 0.0f;
    float m_BestLap = 0.0f;  // 0: no lap yet
    int32_t m_Score = 0;
};

// Whether the craft has finished its race; the craft answers it.
bool HasCraftFinishedRace(const CTuber* craft);
