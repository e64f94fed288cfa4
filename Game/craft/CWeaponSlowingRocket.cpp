#include "Game/craft/CWeaponSlowingRocket.h"

#include "Game/craft/CTuber.h"

void CWeaponSlowingRocket::Launch()
{
    LeaveAtOnce();
}
