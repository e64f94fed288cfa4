#include "Game/craft/CWeaponSingularityMine.h"

#include "Game/craft/CTuber.h"

void CWeaponSingularityMine::Launch()
{
    LeaveAtOnce();
}
