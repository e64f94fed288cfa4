#include "Game/craft/CAgentArmoryHomingMissiles.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryHomingMissiles::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
}
