#pragma once
#include "Game/craft/CAgentArmory.h"

// Homing missiles and the swarmer: fired on the craft's lock, the harder levels only at a full lock and a clear aim.
class CAgentArmoryHomingMissiles : public CAgentArmory
{
public:
    explicit CAgentArmoryHomingMissiles(CAgent* agent) : CAgentArmory(agent) {}
    void Decide(CInputMessage& message) override;
};
