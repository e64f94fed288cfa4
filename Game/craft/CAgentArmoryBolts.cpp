#include "Game/craft/CAgentArmoryBolts.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryBolts::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
}
