#include "Game/craft/CWeaponHomingMine.h"

#include "Game/craft/CTuber.h"

void CWeaponHomingMine::Launch()
{
    LeaveAtOnce();
}
