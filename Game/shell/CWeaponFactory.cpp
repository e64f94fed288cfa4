#include "Game/shell/CWeaponFactory.h"

CWeaponFactory g_WeaponFactory;
