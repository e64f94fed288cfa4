#pragma once
#include "Game/craft/CAgentArmory.h"

// The nuke mine: dropped where more enemies than friends will be when it arms.
class CAgentArmoryNukeMine : public CAgentArmory
{
public:
    explicit CAgentArmoryNukeMine(CAgent* agent) : CAgentArmory(agent) {}
    void Decide(CInputMessage& message) override;
};
