// Craft operations whose owners have not written them yet: each answers neutrally until its owner moves it
// into its own source file.
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"

// Weapons.
void CTuber::UpdateWeaponSelection() {}
int32_t CTuber::SelectWeapon(bool)
{
    return 0;
}
void CTuber::FireWeapon(bool) {}
void CTuber::ProcessFireRequests() {}
void CTuber::StartSwarmerBurst() {}
void CTuber::SetWeaponsDisabled(bool) {}
void CTuber::CollectWeaponPickup(CPickup*) {}
void CTuber::UpdateWeaponTimers() {}
void CTuber::ReloadWeapons() {}
void CTuber::FindNearestIncomingWeapon() {}
void CTuber::ReleaseIncomingWeapons() {}

// Damage, death and respawn.
bool CTuber::ApplyDamage(float, CTuber*, int32_t)
{
    return false;
}
void CTuber::Die() {}
void CTuber::Respawn() {}
void CTuber::UpdateRespawn() {}
void CTuber::UpdateHealth() {}
void CTuber::ShowKillMessages() {}
void CTuber::UpdateSparks() {}

// Pickups and abilities.
void CTuber::CollectPickup(CPickup*) {}
void CTuber::CollectCoin(CPickup*) {}
void CTuber::CollectAbility(CPickup*) {}
void CTuber::ShowCoinBonusText(const WeString&) {}
void CTuber::ShowTurboBonusText(bool) {}
CPickupAction* CTuber::StartPowerUp(int32_t, bool, float, bool)
{
    return nullptr;
}
void CTuber::SetCheatPowerUp(int32_t, bool) {}
void CTuber::UpdatePowerUps() {}
bool CTuber::EndPowerUp(int32_t, bool, bool)
{
    return false;
}
void CTuber::EndAllPowerUps(bool) {}
CPickupAction* CTuber::FindPowerUp(int32_t)
{
    return nullptr;
}
void CTuber::DetachWeapons(bool) {}
