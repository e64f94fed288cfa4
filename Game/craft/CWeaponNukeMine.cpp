#include "Game/craft/CWeaponNukeMine.h"

#include "Game/craft/CTuber.h"

void CWeaponNukeMine::Launch()
{
    LeaveAtOnce();
}
