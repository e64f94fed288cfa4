#include "Game/shell/CPickup.h"

// The pickups' behaviour (models, physics, spin, respawn) comes with their own code; until then a pickup
// is a placed actor.
void CPickup::Init()
{
    WeActor::Init();
}

void CPickup::Tick()
{
    WeActor::Tick();
}

void CPickup::Take()
{
    m_Available = false;
}
