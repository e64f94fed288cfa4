#include "Game/craft/CWeaponProximityMine.h"

#include "Game/craft/CTuber.h"

void CWeaponProximityMine::Launch()
{
    LeaveAtOnce();
}
