#include "Game/craft/CWeaponElectricMine.h"

#include "Game/craft/CTuber.h"

void CWeaponElectricMine::Launch()
{
    LeaveAtOnce();
}
