#pragma once
#include "Game/craft/CAgentArmory.h"

// Every mine but the nuke: dropped with a lead over the craft behind and an enemy some way back.
class CAgentArmoryClassicMines : public CAgentArmory
{
public:
    explicit CAgentArmoryClassicMines(CAgent* agent) : CAgentArmory(agent) {}
    void Decide(CInputMessage& message) override;
};
