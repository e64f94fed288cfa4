#include "Game/shell/CRaceParticipant.h"

CRaceParticipant::CRaceParticipant(int32_t index) : m_Index(index) {}

void CRaceParticipant::ResetResults()
{
    m_CraftEntry = nullptr;
    m_Craft = nullptr;
    m_Agent = nullptr;
    m_RacePlace = 0;
    m_Kills = 0;
    m_Won = false;
    m_RaceTime = 0.0f;
    m_BestLap = 0.0f;
    m_Score = 0;
}
