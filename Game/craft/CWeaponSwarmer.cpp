#include "Game/craft/CWeaponSwarmer.h"

#include "Game/craft/CTuber.h"

void CWeaponSwarmer::Launch()
{
    LeaveAtOnce();
}
