#include "Game/craft/CWeaponDoubleBolt.h"

#include "Game/craft/CTuber.h"

void CWeaponDoubleBolt::Launch()
{
    LeaveAtOnce();
}
