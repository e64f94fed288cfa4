#pragma once
#include "Game/craft/CAgentArmory.h"

// Bolts and the minigun: a target in a cone ahead, chosen by the share of each second its kind may be shot at.
class CAgentArmoryBolts : public CAgentArmory
{
public:
    explicit CAgentArmoryBolts(CAgent* agent) : CAgentArmory(agent) {}
    void Decide(CInputMessage& message) override;
};
