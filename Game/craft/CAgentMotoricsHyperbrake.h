#pragma once
#include "Game/craft/CAgentMotorics.h"

// Holds the hyper brake (backward and turbo together) so that a rival behind passes.
class CAgentMotoricsHyperbrake : public CAgentMotorics
{
public:
    explicit CAgentMotoricsHyperbrake(CAgent* agent);
    void Drive(CInputMessage& message) override;
};
