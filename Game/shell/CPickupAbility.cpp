#include "Game/shell/CPickupAbility.h"

#include "Game/shell/CPickupFactory.h"

WeModel* CPickupAbility::s_Models[4] = {};

namespace
{
// By power-up number.
const char* const AbilityKeys[4] = {"Pickups.Models.Invisibility", "Pickups.Models.Invulnerability",
                                    "Pickups.Models.QuadDamage", "Pickups.Models.KestEngine"};
}  // namespace

CPickupAbility::CPickupAbility(int32_t type) : CPickup(type)
{
    ApplyClassSettings("Ability", 15.0f, true);
    m_PowerUp = PowerUpOf(type);
}

int32_t CPickupAbility::PowerUpOf(int32_t type)
{
    switch (type)
    {
    case PickupInvisibility: return 0;
    case PickupInvulnerability: return 1;
    case PickupQuadDamage: return 2;
    case PickupKestEngine: return 3;
    default: return -1;
    }
}

void CPickupAbility::LoadModels()
{
    LoadModelCache(s_Models, AbilityKeys, 4);
}

void CPickupAbility::ReleaseModels()
{
    ReleaseModelCache(s_Models, 4);
}

void CPickupAbility::Init()
{
    m_PowerUp = PowerUpOf(m_Type);
    if (m_PowerUp >= 0)
        TakeModel(s_Models[m_PowerUp], AbilityKeys[m_PowerUp]);
    CPickup::Init();
}
