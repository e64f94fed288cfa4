#include "Game/craft/CAgentArmoryClassicMines.h"

#include "Engine/world/WeWorld.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

void CAgentArmoryClassicMines::Decide(CInputMessage& message)
{
    message.m_FireMine = 0;
    CTuber* craft = m_Agent->m_Participant != nullptr ? m_Agent->m_Participant->m_Craft : nullptr;
    if (craft == nullptr || craft->m_GapBehind < 75.0f)
        return;
    const float trackLength = craft->m_World != nullptr ? craft->m_World->m_TrackLength : 0.0f;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        const CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
        if (other == nullptr || other->m_Kind < CRaceParticipant::AIEasy || other->m_Kind > CRaceParticipant::Human ||
            !craft->IsEnemy(other->m_Craft))
            continue;
        float gap = craft->m_TrackDistance[0] - other->m_Craft->m_TrackDistance[0];
        if (gap < 0.0f)
            gap += trackLength;
        if (gap >= 150.0f && gap <= 550.0f)
        {
            message.m_FireMine = 1;
            return;
        }
    }
}
