#include "Game/craft/CWeaponFrontFieldGenerator.h"

#include "Game/craft/CTuber.h"

void CWeaponFrontFieldGenerator::Launch()
{
    LeaveAtOnce();
}
