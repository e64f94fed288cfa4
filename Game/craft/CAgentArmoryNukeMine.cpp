#include "Game/craft/CAgentArmoryNukeMine.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryNukeMine::Decide(CInputMessage& message)
{
    message.m_FireMine = 0;
}
