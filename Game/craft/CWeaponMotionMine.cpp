#include "Game/craft/CWeaponMotionMine.h"

#include "Game/craft/CTuber.h"

void CWeaponMotionMine::Launch()
{
    LeaveAtOnce();
}
