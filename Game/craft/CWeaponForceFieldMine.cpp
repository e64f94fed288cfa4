#include "Game/craft/CWeaponForceFieldMine.h"

#include "Game/craft/CTuber.h"

void CWeaponForceFieldMine::Launch()
{
    LeaveAtOnce();
}
