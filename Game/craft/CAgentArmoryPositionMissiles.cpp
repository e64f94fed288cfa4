#include "Game/craft/CAgentArmoryPositionMissiles.h"

#include "Game/craft/CAgent.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"

void CAgentArmoryPositionMissiles::Decide(CInputMessage& message)
{
    // These help a craft behind catch up: the leader keeps them.
    if (m_Agent->m_Participant != nullptr && m_Agent->m_Participant->m_RacePlace == 1)
    {
        message.m_FireWeapon = 0;
        return;
    }
    CAgentArmoryHomingMissiles::Decide(message);
}
