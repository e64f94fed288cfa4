#include "Game/craft/CWeaponQuantumBolt.h"

#include "Game/craft/CTuber.h"

void CWeaponQuantumBolt::Launch()
{
    LeaveAtOnce();
}
