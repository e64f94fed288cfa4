#include "Game/craft/CWeaponHomingMissile.h"

#include "Game/craft/CTuber.h"

void CWeaponHomingMissile::Launch()
{
    LeaveAtOnce();
}
