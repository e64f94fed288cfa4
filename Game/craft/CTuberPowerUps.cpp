// What the craft takes from pickups: weapons, coins and their bonuses, and the four timed abilities.
#include <algorithm>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickupAbility.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPickupAnimationAbility.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPickupWeapon.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/FormatGameText.h"

namespace
{
// An actor's render mode is its model's preset: the craft goes see-through at once when it turns invisible (its
// visibility fade takes over from there), the turbo effect shows its ability look while the engine ability runs.
// While the world goes its actors may already be gone, the craft's children among them.
void SetAbilityRenderMode(WeActor* actor, int32_t mode)
{
    if (!actor || g_WorldDestroying)
        return;
    actor->m_ModelPreset = mode;
    if (actor->m_Model)
        actor->m_Model->SetPreset(mode);
}

constexpr float AbilitySeconds = 7.5f;
constexpr float CheatSeconds = 1000000.0f;
constexpr int32_t MaxBlastsPerFrame = 8;

struct CoinSettings
{
    const int32_t& value;
    const int32_t& streak;
    const int32_t& ability;
};

const CoinSettings& Coin(int32_t size)
{
    static const CoinSettings Coins[3] = {
        {GetConfigInt("Pickups.SmallCoin.Value", 10), GetConfigInt("Pickups.SmallCoin.BonusStreak", 30),
         GetConfigInt("Pickups.SmallCoin.BonusAbility", 1)},
        {GetConfigInt("Pickups.LargeCoin.Value", 50), GetConfigInt("Pickups.LargeCoin.BonusStreak", 10),
         GetConfigInt("Pickups.LargeCoin.BonusAbility", 1)},
        {GetConfigInt("Pickups.KestCoin.Value", 100), GetConfigInt("Pickups.KestCoin.BonusStreak", 3),
         GetConfigInt("Pickups.KestCoin.BonusAbility", 1)},
    };
    return Coins[std::clamp(size, 0, 2)];
}

const char* const CoinNames[3] = {"SmallCoin", "LargeCoin", "KestCoin"};
const char* const AbilitySounds[4] = {"Sounds.Pickup.Invisibility", "Sounds.Pickup.Invulnerability",
                                      "Sounds.Pickup.QuadDamage", "Sounds.Pickup.KestEngine"};
const char* const AbilityEndSounds[4] = {"Sounds.Pickup.EndInvisibility", "Sounds.Pickup.EndInvulnerability",
                                         "Sounds.Pickup.EndQuadDamage", "Sounds.Pickup.EndKestEngine"};

void AddBonusText(const WeString& text, float y)
{
    CUberText* t = new CUberText(text, 0.03f, y, 5, 4);
    t->SetInTime(0.25f);
    t->SetHoldTime(2.0f);
    t->SetOutTime(0.25f);
    t->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    g_MainGameInterface.AddMessage(t);
}
}  // namespace

void CTuber::CollectPickup(CPickup* pickup)
{
    if (pickup == nullptr)
        return;
    const int32_t type = pickup->m_Type;
    if (IsWeaponOrMinePickup(type))
    {
        CollectWeaponPickup(pickup);
        if (pickup->m_Random)
            static_cast<CPickupWeapon*>(pickup)->Reroll();
    }
    else if (IsCoinPickup(type))
        CollectCoin(pickup);
    else if (IsAbilityPickup(type))
        CollectAbility(pickup);
}

void CTuber::CollectCoin(CPickup* pickup)
{
    if (pickup == nullptr || !IsCoinPickup(pickup->m_Type))
        return;
    if (m_IsPlayer)
    {
        PlayOneShotSound(WeString("Sounds.Pickup.Coin"));
        RequestScreenEffect(5, 1.0f);
    }
    static const int32_t& turboValue = GetConfigInt("Pickups.Turbo.BonusValue", 200);
    static const float& turboRecharge = GetConfigFloat("Pickups.Turbo.BonusRecharge", 0.5f);
    static const int32_t& turboAbility = GetConfigInt("Pickups.Turbo.BonusAbility", 1);

    const int32_t size = pickup->m_Type - PickupCoinSmall;
    const CoinSettings& coin = Coin(size);
    m_Coins += coin.value;
    m_TurboBonusPoints += coin.value;
    for (int32_t i = 0; i < 3; ++i)
        m_CoinStreaks[i] = i == size ? m_CoinStreaks[i] + 1 : 0;
    for (int32_t i = 0; i < 3; ++i)
    {
        const CoinSettings& c = Coin(i);
        // A streak of 0 or less would give a bonus with every coin for ever.
        if (c.streak <= 0 || m_CoinStreaks[i] < c.streak)
            continue;
        m_CoinStreaks[i] -= c.streak;
        if (StartPowerUp(c.ability, true, 0.0f, false) != nullptr)
            ShowCoinBonusText(WeString(CoinNames[i]));
    }
    if (turboValue > 0 && m_TurboBonusPoints >= turboValue)
    {
        ShowTurboBonusText(false);
        m_TurboEnergy += turboRecharge * m_MaxTurboEnergy;
        if (m_TurboEnergy >= m_MaxTurboEnergy)
        {
            m_TurboEnergy = m_MaxTurboEnergy;
            if (StartPowerUp(turboAbility, true, 0.0f, false) != nullptr)
                ShowTurboBonusText(true);
        }
        m_TurboBonusPoints -= turboValue;
    }
}

void CTuber::ShowCoinBonusText(const WeString& name)
{
    if (!m_IsPlayer || !RaceMessagesShown())
        return;
    int32_t streak = 0;
    for (int32_t i = 0; i < 3; ++i)
        if (name == CoinNames[i])
            streak = Coin(i).streak;
    const WeString& format = g_Localization.GetText(WeString("MSG: Pickups.") + name + ".BonusText");
    AddBonusText(FormatGameText(format, {streak}), 0.5f);
}

void CTuber::ShowTurboBonusText(bool withAbility)
{
    if (!m_IsPlayer || !RaceMessagesShown())
        return;
    static const int32_t& value =
        GetConfigInt("Pickups.Turbo.TurboBonusValue", GetConfigInt("Pickups.Turbo.BonusValue", 200));
    const char* key = withAbility ? "MSG: Pickups.Turbo.BonusAbilityText" : "MSG: Pickups.Turbo.BonusText";
    AddBonusText(FormatGameText(g_Localization.GetText(WeString(key)), {value}), withAbility ? 0.6f : 0.55f);
}

void CTuber::CollectAbility(CPickup* pickup)
{
    if (pickup == nullptr || !IsAbilityPickup(pickup->m_Type))
        return;
    const int32_t type = CPickupAbility::PowerUpOf(pickup->m_Type);
    if (type < 0)
        return;
    if (m_IsPlayer)
    {
        PlayOneShotSound(WeString(AbilitySounds[type]));
        RequestScreenEffect(5, 1.0f);
    }
    StartPowerUp(type, true, 0.0f, false);
}

CPickupAction* CTuber::FindPowerUp(int32_t type)
{
    for (auto* n = m_PowerUps.FirstNode(); n != nullptr; n = m_PowerUps.NextNode(n))
        if (n->payload->m_Type == type)
            return n->payload;
    return nullptr;
}

CPickupAction* CTuber::StartPowerUp(int32_t type, bool showAnimation, float duration, bool force)
{
    if (type < 0 || type > 3)
        return nullptr;
    if (!g_RaceSettings.m_Weapons && !force)
        return nullptr;
    CPickupAction* action = FindPowerUp(type);
    if (action != nullptr)
    {
        // A forced ability runs on as it is; any other starts its time again.
        if (m_ForcedPowerUps[type])
            return action;
        action->m_Elapsed = 0.0f;
        action->m_Duration = AbilitySeconds;
        action->m_Active = true;
    }
    else
    {
        if (m_IsPlayer && showAnimation)
            new CPickupAnimationAbility(GetAbilityPickupKind(type));
        action = new CPickupAction(type, AbilitySeconds);
        m_PowerUps.PushBack(action);
        switch (type)
        {
        case 0:
            m_Invisible = true;
            SetAbilityRenderMode(this, 1);
            break;
        case 1: m_Invulnerable = true; break;
        case 2: m_DamageMultiplier = 4.0f; break;
        default:
            m_TurboEnergy = std::min(m_MaxTurboEnergy, m_TurboEnergy + 0.1f * m_MaxTurboEnergy);
            m_EngineAbility = true;
            SetAbilityRenderMode(m_AbilityEffects[2], 1);
            break;
        }
    }
    if (duration > 0.0f)
    {
        action->m_Duration = duration;
        action->m_Active = true;
    }
    return action;
}

void CTuber::SetCheatPowerUp(int32_t type, bool on)
{
    if (type < 0 || type > 3)
        return;
    m_ForcedPowerUps[type] = on;
    if (!on)
    {
        EndPowerUp(type, false, true);
        return;
    }
    // Switched on from the cheats: no weapons gate, no animation.
    m_ForcedPowerUps[type] = false;
    if (CPickupAction* action = StartPowerUp(type, false, CheatSeconds, true))
    {
        action->m_Elapsed = 0.0f;
        action->m_Duration = CheatSeconds;
        action->m_Active = true;
    }
    m_ForcedPowerUps[type] = true;
}

void CTuber::UpdatePowerUps()
{
    if (m_Destroyed || m_Finished)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    bool ended[4] = {};
    bool engineRunning = false;
    for (auto* n = m_PowerUps.FirstNode(); n != nullptr; n = m_PowerUps.NextNode(n))
    {
        CPickupAction* action = n->payload;
        action->Update(dt);
        if (!action->m_Active && action->m_Type >= 0 && action->m_Type <= 3)
            ended[action->m_Type] = true;
        if (action->m_Type == 3 && action->m_Active)
            engineRunning = true;
    }

    if (engineRunning && m_Turbo)
    {
        m_EngineBlastTimer += dt;
        const int32_t kind = g_WeaponDescriptions.GetIdByName(WeString("KestEngine"));
        const CWeaponDescription& d = g_WeaponDescriptions.Get(kind);
        if (kind != 0 && d.m_FireRate > 0.0f)
        {
            static const float& size = GetConfigFloat("Weapons.KestEngine.ExplosionSize", 30.0f);
            const float interval = std::max(d.m_FireInterval, 0.001f);
            const float step = std::max(m_MeasuredSpeed * interval, 0.0f);
            const D3DXMATRIX& m = GetWorldMatrix();
            const D3DXVECTOR3 forward(m._31, m._32, m._33);
            // A very short interval would ask for a body per blast by the hundred; the rest waits.
            for (int32_t e = 0; m_EngineBlastTimer >= interval && e < MaxBlastsPerFrame; ++e)
            {
                m_EngineBlastTimer -= interval;
                RequestSplashExplosion(GetWorldPosition() - forward * (float(e) * step + size + 5.0f), this, size,
                                       d.m_Damage, 2, 21);
            }
        }
    }
    else
        m_EngineBlastTimer = 0.0f;

    for (int32_t type = 0; type < 4; ++type)
        if (ended[type] && !m_ForcedPowerUps[type])
            EndPowerUp(type, true, false);
}

bool CTuber::EndPowerUp(int32_t type, bool playSound, bool force)
{
    if (type < 0 || type > 3)
        return false;
    if (m_ForcedPowerUps[type] && !force)
        return false;
    bool found = false;
    for (auto* n = m_PowerUps.FirstNode(); n != nullptr;)
    {
        auto* next = m_PowerUps.NextNode(n);
        if (n->payload->m_Type == type)
        {
            delete n->payload;
            m_PowerUps.Remove(n);
            found = true;
        }
        n = next;
    }
    if (!found)
        return false;
    switch (type)
    {
    case 0: m_Invisible = false; break;
    case 1: m_Invulnerable = false; break;
    case 2: m_DamageMultiplier = 1.0f; break;
    default:
        m_EngineAbility = false;
        SetAbilityRenderMode(m_AbilityEffects[2], 0);
        break;
    }
    if (playSound && m_IsPlayer)
        PlayOneShotSound3D(WeString(AbilityEndSounds[type]), GetWorldPosition(), D3DXVECTOR3(), 100.0f);
    return true;
}

void CTuber::EndAllPowerUps(bool force)
{
    for (int32_t type = 0; type < 4; ++type)
        EndPowerUp(type, false, force);
}
