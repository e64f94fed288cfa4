#include "Game/craft/CWeaponStealthMine.h"

#include "Game/craft/CTuber.h"

void CWeaponStealthMine::Launch()
{
    LeaveAtOnce();
}
