#include "Game/craft/CWeaponDescription.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"

void CWeaponDescription::Load()
{
    const WeString prefix = WeString("Weapons.") + m_Keyword + ".";
    // The engine ability has no name of its own.
    if (m_Id <= 20)
        m_DisplayName = g_Localization.GetText(WeString("Weapons: ") + m_Keyword + ": NAME");
    m_FireRate = GetConfigFloat(prefix + "FireRate", 0.0f);
    m_PickupAmmo = GetConfigInt(prefix + "PickupAmmo", 0);
    m_AmmoPerShot = GetConfigInt(prefix + "AmmoPerShot", 0);
    m_Damage = GetConfigFloat(prefix + "Damage", 0.0f);
    m_Speed = GetConfigFloat(prefix + "Speed", 0.0f);
    m_HomingLockTime = GetConfigFloat(prefix + "HomingLockTime", 0.0f);
    m_IsPrimary = GetConfigBool(prefix + "IsPrimary", false);
    m_UnlockID = GetConfigInt(prefix + "UnlockID", 0);
    m_ActivationTime = GetConfigFloat(prefix + "ActivationTime", 0.0f);
    m_EffectiveRadius = GetConfigFloat(prefix + "EffectiveRadius", 0.0f);
}
