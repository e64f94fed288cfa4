#include "Game/craft/CWeaponContactMine.h"

#include "Game/craft/CTuber.h"

void CWeaponContactMine::Launch()
{
    LeaveAtOnce();
}
