#include "Game/craft/CAgentArmoryFFG.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryFFG::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
}
