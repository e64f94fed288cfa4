#include "Game/craft/CWeaponEMPMine.h"

#include "Game/craft/CTuber.h"

void CWeaponEMPMine::Launch()
{
    LeaveAtOnce();
}
