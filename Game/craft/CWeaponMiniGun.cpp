#include "Game/craft/CWeaponMiniGun.h"

#include "Game/craft/CTuber.h"

void CWeaponMiniGun::Launch()
{
    LeaveAtOnce();
}
