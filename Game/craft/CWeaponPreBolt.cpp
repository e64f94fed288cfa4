#include "Game/craft/CWeaponPreBolt.h"

#include "Game/craft/CTuber.h"

void CWeaponPreBolt::Launch()
{
    LeaveAtOnce();
}
