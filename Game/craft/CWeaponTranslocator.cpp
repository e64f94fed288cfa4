#include "Game/craft/CWeaponTranslocator.h"

#include "Game/craft/CTuber.h"

void CWeaponTranslocator::Launch()
{
    LeaveAtOnce();
}
