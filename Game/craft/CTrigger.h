#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Engine/world/WeActor.h"

// A trigger volume: tells its owner (a weapon or a craft), through the race's trigger handler, which actors
// came within its reach. The owner sizes, places and registers its physics shape.
class CTrigger : public WeRecycled<CTrigger, WeActor>
{
public:
    explicit CTrigger(WeActor* owner);
    // Forgets the owner first, so nothing dispatches to it once it is going.
    void Expire() override;

    WeActor* m_Owner = nullptr;
};
