#include "Game/craft/CAgentArmoryClassicMines.h"

#include "Game/shell/CInputMessage.h"

void CAgentArmoryClassicMines::Decide(CInputMessage& message)
{
    message.m_FireMine = 0;
}
