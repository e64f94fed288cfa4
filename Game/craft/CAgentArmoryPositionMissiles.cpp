#include "Game/craft/CAgentArmoryPositionMissiles.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryPositionMissiles::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
}
