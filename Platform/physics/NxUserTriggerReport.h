#pragma once
#include "Platform/physics/NxTypes.h"

class NxShape;

// Receives trigger events inside fetchResults; status is one of NX_TRIGGER_ON_ENTER, _LEAVE, _STAY.
class NxUserTriggerReport
{
public:
    virtual void onTrigger(NxShape& triggerShape, NxShape& otherShape, NxTriggerFlag status) = 0;
    virtual ~NxUserTriggerReport() = default;
};
