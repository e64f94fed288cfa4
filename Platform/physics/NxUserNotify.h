#pragma once
#include "Platform/physics/NxTypes.h"

class NxActor;
class NxJoint;

// Sleep and wake reports, in batches, inside fetchResults. No joint ever breaks here.
class NxUserNotify
{
public:
    virtual bool onJointBreak(NxReal breakingImpulse, NxJoint& brokenJoint) = 0;
    virtual void onWake(NxActor** actors, NxU32 count) = 0;
    virtual void onSleep(NxActor** actors, NxU32 count) = 0;
    virtual ~NxUserNotify() = default;
};
