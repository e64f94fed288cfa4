// The craft's weapons: the incoming-weapon warning and the release of every weapon pointing at the craft.
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Game/shell/CUberText.h"
#include "Platform/math/D3DXMatrixFunctions.h"

void CTuber::FindNearestIncomingWeapon()
{
    m_NearestIncomingWeapon = nullptr;
    float best = 0.0f;
    const D3DXVECTOR3 here = GetWorldPosition();
    for (auto* node = m_IncomingWeapons.FirstNode(); node; node = m_IncomingWeapons.NextNode(node))
    {
        CWeapon* w = node->payload;
        const D3DXVECTOR3 d = w->GetWorldPosition() - here;
        const float distance = d.x * d.x + d.y * d.y + d.z * d.z;
        if (!m_NearestIncomingWeapon || distance < best)
        {
            m_NearestIncomingWeapon = w;
            best = distance;
        }
    }
}

void CTuber::ReleaseIncomingWeapons()
{
    CWeapon* w = nullptr;
    // Each release takes the weapon out of the list.
    while (m_IncomingWeapons.PopFront(w))
        if (w->m_Target == this)
            w->m_Target = nullptr;
    m_NearestIncomingWeapon = nullptr;
}

void CTuber::DetachWeapons(bool expireMines)
{
    // While the world goes its weapons may be deleted before this craft, and they touch no craft then: the
    // lists are only forgotten.
    if (g_WorldDestroying)
    {
        m_Mines.Clear();
        m_IncomingWeapons.Clear();
        m_NearestIncomingWeapon = nullptr;
        return;
    }
    CWeapon* w = nullptr;
    while (m_Mines.PopFront(w))
    {
        w->m_Owner = nullptr;
        if (expireMines)
            w->Expire();
    }
    ReleaseIncomingWeapons();
}

namespace
{
const CWeaponDescription& Description(int32_t kind)
{
    return g_WeaponDescriptions.Get(kind);
}

int32_t Clamp999(int32_t n)
{
    return n < 0 ? 0 : (n > 999 ? 999 : n);
}

// A configured number that is not finite counts as the key's default.
float SettingOr(const char* key, float fallback)
{
    const float value = GetConfigFloat(key, fallback);
    return std::isfinite(value) ? value : fallback;
}

constexpr float FrontClearance = 1.7320508f;  // |(1, 1, 1)|
constexpr float RearClearance = 2.5980762f;   // |(1.5, 1.5, 1.5)|
}  // namespace

float CTuber::LaunchSpeedOffset() const
{
    const float r = m_MaxSpeed > 0.0f ? m_MeasuredSpeed / m_MaxSpeed : 0.0f;
    return r > 0.35f ? (r - 0.35f) * 11.538462f + 2.0f : 0.0f;
}

void CTuber::UpdateWeaponSelection()
{
    if (m_PickupPrimaryKind != 0 && m_PickupPrimaryAmmo < Description(m_PickupPrimaryKind).m_AmmoPerShot)
        m_PickupPrimaryKind = m_PickupPrimaryAmmo = 0;
    if (m_PickupSecondaryKind != 0 && m_PickupSecondaryAmmo < Description(m_PickupSecondaryKind).m_AmmoPerShot)
        m_PickupSecondaryKind = m_PickupSecondaryAmmo = 0;
    m_SelectedPrimaryKind = SelectWeapon(true);
    m_SelectedSecondaryKind = SelectWeapon(false);
}

int32_t CTuber::SelectWeapon(bool primary)
{
    if (m_WeaponsDisabled || !WeaponsSafetyLockExpired())
        return 0;
    const D3DXMATRIX& world = GetWorldMatrix();
    const D3DXVECTOR3 forward(world._31, world._32, world._33);
    const D3DXVECTOR3 here = GetWorldPosition();
    const int32_t pickupKind = primary ? m_PickupPrimaryKind : m_PickupSecondaryKind;
    const int32_t kind = pickupKind != 0 ? pickupKind : (primary ? m_BuiltInPrimaryKind : m_BuiltInSecondaryKind);
    if (primary)
    {
        // The shot starts further ahead at speed, so the ray must reach as far.
        const float reach = FrontClearance + SettingOr("tuber.Weapons.FrontFireDistance", 4.0f) + LaunchSpeedOffset();
        if (g_Physics.RaycastAny(here, forward, 1, 7, reach))
            return 0;
        if (kind == 2 && g_Physics.RaycastAny(here, -forward, 1, 7, reach))
            return 0;
    }
    else
    {
        if (m_TeleportGrace)
            return 0;
        float reach = RearClearance + SettingOr("tuber.Weapons.BackFireDistance", 4.0f);
        if (kind == 15 || kind == 16)
            reach += 5.0f;
        if (g_Physics.RaycastAny(here, -forward, 1, 7, reach))
            return 0;
    }
    if (kind == 0)
        return 0;
    const CWeaponDescription& d = Description(kind);
    const float timer = primary ? m_PrimaryShotTimer : m_SecondaryShotTimer;
    const int32_t ammo = pickupKind != 0 ? (primary ? m_PickupPrimaryAmmo : m_PickupSecondaryAmmo)
                                         : (primary ? m_BuiltInPrimaryAmmo : m_BuiltInSecondaryAmmo);
    if (d.m_FireInterval > timer)
        return 0;
    return m_UnlimitedAmmo || ammo >= d.m_AmmoPerShot ? kind : 0;
}

void CTuber::FireWeapon(bool primary)
{
    if (m_Destroyed || m_Finished)
        return;
    // In the craft's own frame: the weapons multiply it by the world matrix.
    const float distance = SettingOr("tuber.Weapons.FrontFireDistance", 4.0f) + LaunchSpeedOffset();
    D3DXMatrixTranslation(&m_FrontLaunchMatrix, 0.0f, 0.0f, distance);
    const int32_t kind = primary ? m_SelectedPrimaryKind : m_SelectedSecondaryKind;
    if (kind == 0)
        return;
    const int32_t perShot = Description(kind).m_AmmoPerShot;
    if (!m_UnlimitedAmmo)
    {
        // The slot of the button that fired: its picked-up one when it holds the kind, else its built-in one.
        if (primary)
        {
            if (m_PickupPrimaryKind == kind)
            {
                SetPickupPrimaryAmmo(m_PickupPrimaryAmmo - perShot);
                if (m_PickupPrimaryAmmo < perShot)
                    m_PickupPrimaryKind = m_PickupPrimaryAmmo = 0;
            }
            else
                SetPrimaryAmmo(m_BuiltInPrimaryAmmo - perShot);
        }
        else
        {
            if (m_PickupSecondaryKind == kind)
            {
                SetPickupSecondaryAmmo(m_PickupSecondaryAmmo - perShot);
                if (m_PickupSecondaryAmmo < perShot)
                    m_PickupSecondaryKind = m_PickupSecondaryAmmo = 0;
            }
            else
                SetSecondaryAmmo(m_BuiltInSecondaryAmmo - perShot);
        }
    }
    (primary ? m_PrimaryShotTimer : m_SecondaryShotTimer) = 0.0f;
    CWeapon::Fire(this, kind, 0);
    if (m_IsPlayer && m_DamageMultiplier == 4.0f && m_QuadDamageFireSound)
        m_QuadDamageFireSound->Play(false);
}

void CTuber::ProcessFireRequests()
{
    if (m_FireRequests == 0)
        return;
    if (m_FireRequests & 1)
        FireWeapon(true);
    if (m_FireRequests & 2)
        FireWeapon(false);
    m_FireRequests = 0;
}

void CTuber::StartSwarmerBurst()
{
    m_SwarmerBurstCount = 1;
    m_SwarmerBurstTimer = 0.0f;
}

void CTuber::UpdateWeaponTimers()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const float empLength = SettingOr("tuber.Weapons.EMPDisableLength", 5.0f);
    const float slowLength = SettingOr("tuber.Weapons.SlowingRocketDisableLength", 3.0f);
    if (m_EmpDisableTimer >= 0.0f)
    {
        m_EmpDisableTimer += dt;
        if (m_EmpDisableTimer >= empLength)
            m_EmpDisableTimer = -1.0f;
    }
    if (m_SlowingDisableTimer >= 0.0f)
    {
        m_SlowingDisableTimer += dt;
        if (m_SlowingDisableTimer >= slowLength)
            m_SlowingDisableTimer = -1.0f;
    }
    if (m_EmpDisableTimer < 0.0f && m_SlowingDisableTimer < 0.0f && m_WeaponsDisabled)
        SetWeaponsDisabled(false);

    if (m_SwarmerBurstCount > 0)
    {
        const CWeaponDescription& swarmer = Description(5);
        m_SwarmerBurstTimer += dt;
        // A burst of no rockets ends at once rather than dividing by zero.
        if (swarmer.m_AmmoPerShot <= 0 || m_SwarmerBurstCount >= swarmer.m_AmmoPerShot)
            m_SwarmerBurstCount = 0;
        else if (m_SwarmerBurstTimer > swarmer.m_FireInterval / float(swarmer.m_AmmoPerShot))
        {
            CWeapon::Fire(this, 5, m_SwarmerBurstCount);
            ++m_SwarmerBurstCount;
            m_SwarmerBurstTimer = 0.0f;
        }
    }
}

void CTuber::SetWeaponsDisabled(bool on)
{
    if (m_WeaponsDisabled == on)
        return;
    m_WeaponsDisabled = on;
    if (!on && g_PostProcessSlots[2].m_Extra == this)
        RequestPostProcessEffect(2, 0, 0.0f, nullptr);
    if (!m_IsPlayer || !RaceMessagesShown())
        return;
    const char* key = on ? "MSG: WEAPON_DISABLED" : "MSG: WEAPON_ENABLED";
    g_MainGameInterface.AddMessage(new CUberText(g_Localization.GetText(key), 0.5f, 0.25f, 1, 1));
    PlayOneShotSound(on ? "Sounds.Voice.WeaponsDisabled" : "Sounds.Voice.WeaponsEnabled");
    if (on)
        RequestPostProcessEffect(2, 5, 0.0f, this);
}

void CTuber::CollectWeaponPickup(CPickup* pickup)
{
    if (!pickup)
        return;
    if (m_IsPlayer)
        RequestScreenEffect(5, 1.0f);
    const int32_t kind = PickupTypeToWeaponIndex(pickup->m_Type);
    if (kind == 0)
        return;
    const CWeaponDescription& d = Description(kind);
    if (d.m_IsPrimary)
    {
        m_PickupPrimaryKind = kind;
        SetPickupPrimaryAmmo(Clamp999(d.m_PickupAmmo));
        m_PrimaryShotTimer = 1000.0f;
    }
    else
    {
        m_PickupSecondaryKind = kind;
        SetPickupSecondaryAmmo(Clamp999(d.m_PickupAmmo));
        m_SecondaryShotTimer = 1000.0f;
    }
}

void CTuber::ReloadWeapons()
{
    const int32_t logic = GetConfigInt("tuber.Weapons.ReloadLogic", 0);
    auto reload = [logic](int32_t ammo, int32_t pickupAmmo)
    {
        if (logic == 1)
            return Clamp999(ammo + pickupAmmo);
        if (logic == 2)
            return ammo < pickupAmmo ? pickupAmmo : ammo;
        return Clamp999(pickupAmmo);
    };
    if (m_BuiltInPrimaryKind != 0)
        SetPrimaryAmmo(reload(m_BuiltInPrimaryAmmo, Description(m_BuiltInPrimaryKind).m_PickupAmmo));
    if (m_BuiltInSecondaryKind != 0)
        SetSecondaryAmmo(reload(m_BuiltInSecondaryAmmo, Description(m_BuiltInSecondaryKind).m_PickupAmmo));
}
