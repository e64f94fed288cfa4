#include "Game/craft/CWeaponNuclearWarhead.h"

#include "Game/craft/CTuber.h"

void CWeaponNuclearWarhead::Launch()
{
    LeaveAtOnce();
}
