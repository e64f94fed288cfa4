#include "Game/craft/ReleaseCraftAssets.h"

#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Game/craft/CWeaponAssets.h"

void ReleaseCraftAssets()
{
    CTuber::ReleaseAssets();
    CTuberPart::ReleaseAssets();
    CTuberPartFabric::ReleaseModels();
    ReleaseWeaponAssets();
    CExplosionAssets::Release();
}
