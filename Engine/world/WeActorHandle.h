#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Engine/world/WePhysicHandle.h"

// The handle of a rigid body.
class WeActorHandle : public WeRecycled<WeActorHandle, WePhysicHandle>
{
public:
    ~WeActorHandle() override = default;
};
