// The pickup animations' kinds, until the weapon descriptions and the craft's power-ups are in: each is
// made finished and draws nothing.
#include "Game/shell/CPickupAnimationAbility.h"
#include "Game/shell/CPickupAnimationWeapon.h"

// clang-format off
CPickupAnimationWeapon::CPickupAnimationWeapon(int32_t pickupType) : m_PickupType(pickupType) { m_Finished = 1; }
void CPickupAnimationWeapon::Update() {}
void CPickupAnimationWeapon::Render() {}
WeTexture* GetWeaponPicture(int32_t) { return nullptr; }
CPickupAnimationAbility::CPickupAnimationAbility(int32_t abilityType) : m_AbilityType(abilityType) { m_Finished = 1; }
void CPickupAnimationAbility::Update() {}
void CPickupAnimationAbility::Render() {}
// clang-format on
