// The craft's damage, death and respawn: hits and kill counting, the death with its wreck, explosion and texts,
// the respawn on the track, the track's healing and draining, and the sparks and smoke of a damaged craft.
#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/craft/KillText.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/system/SysRandom.h"

namespace
{
constexpr float MultiKillWindow = 5.0f;
constexpr int32_t MaxMultiKillText = 20;
constexpr float SparksInterval = 2.0f, SparksOnTime = 0.1f;
constexpr float SoundReach = 100.0f;
constexpr float RespawnInvulnerability = 3.0f;
// The package type of Ogg sounds.
constexpr int32_t SoundPackageType = 16;

float RespawnTime()
{
    static const CTuberSetting time("tuber.Respawn.Time", 2.0f);
    return time.Get();
}

float AIRespawnTime()
{
    static const CTuberSetting time("tuber.Respawn.AITime", 2.0f);
    return time.Get();
}

// The race difficulty's damage modifier of the computer drivers (1 Easy, 2 Medium, 3 Hard; clamped).
float DifficultyDamageModifier()
{
    static const CTuberSetting easy("AI.Common.EasyDamageModifier", 1.0f);
    static const CTuberSetting medium("AI.Common.MediumDamageModifier", 1.0f);
    static const CTuberSetting hard("AI.Common.HardDamageModifier", 1.0f);
    const int32_t difficulty = std::clamp(g_RaceSettings.m_Difficulty, 1, 3);
    return difficulty == 1 ? easy.Get() : difficulty == 2 ? medium.Get() : hard.Get();
}

bool IsAICraft(const CTuber* craft)
{
    return craft && craft->m_Participant && craft->m_Participant->IsAI();
}

float RaceClockOf(const CTuber* craft)
{
    return craft && craft->m_Participant ? craft->m_Participant->m_RaceTime : 0.0f;
}

WeString DisplayNameOf(const CTuber* craft)
{
    return craft && craft->m_Participant ? craft->m_Participant->m_DisplayName : WeString();
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

D3DXVECTOR3 Unit(const D3DXVECTOR3& v, const D3DXVECTOR3& fallback)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 1e-6f && std::isfinite(length) ? v * (1.0f / length) : fallback;
}

int32_t MaxDeathTexts()
{
    static const int32_t& maxTexts = GetConfigInt("game.Hud.MaxDeathTexts", 1);
    return maxTexts;
}

// A drawn variant of the keyword's death text, else its first; empty (with a debug line) when neither exists.
WeString DeathTextVariant(const char* keyword, int32_t maxTexts)
{
    const WeString stem = WeString("MSG: DEATH_") + keyword + "_";
    WeString key = stem;
    key.AppendInt(SysRandom::Scaled(maxTexts) + 1);
    if (g_Localization.HasText(key))
        return key;
    WeString first = stem;
    first.AppendInt(1);
    if (g_Localization.HasText(first))
        return first;
    DebugLogPrintf("no death text %s: nothing shown", key.c_str());
    return WeString();
}
}  // namespace

bool CTuber::ApplyDamage(float amount, CTuber* attacker, int32_t kind)
{
    // A destroyed craft takes no hit: several hits in one tick count once each, for the one that killed.
    if (m_Invulnerable || m_Destroyed || !(amount > 0.0f) || !std::isfinite(amount))
        return false;
    m_LastAttacker = attacker;
    m_LastDamageKind = kind;
    if (attacker)
        attacker->m_LastVictim = this;
    float factor = 1.0f;
    if (IsAICraft(attacker))
        factor = AgentDamageModifier(attacker->m_Participant->m_Agent) * DifficultyDamageModifier();
    m_Health -= factor * amount;
    if (m_Health <= 0.0f && attacker)
    {
        if (CRaceParticipant* p = attacker->m_Participant)
        {
            if (attacker == this || IsSameTeam(attacker))
                p->m_Kills = std::max(0, p->m_Kills - 1);
            else
                ++p->m_Kills;
        }
        Die();
    }
    return true;
}

void CTuber::Die()
{
    if (m_Destroyed)
        return;
    m_Destroyed = true;
    m_ModelVisible = false;
    if (m_AIGlow)
        m_AIGlow->m_ModelVisible = false;
    if (m_CraftLight)
        m_CraftLight->m_SwitchedOn = false;

    m_TargetAngularVelocity = D3DXVECTOR3();
    WeActor::SetAngularVelocity(D3DXVECTOR3());
    m_Acceleration = 0.0f;
    m_SwarmerBurstCount = 0;
    m_SwarmerBurstTimer = 0.0f;
    SetCollisionEnabled(false);
    m_HyperBrakeCharge = 0.0f;

    EndAllPowerUps(false);
    ReleaseIncomingWeapons();

    // The wreck takes the speed before it is zeroed below.
    g_TuberPartFabric.SpawnTuberParts(this);

    m_MeasuredSpeed = 0.0f;
    RequestLocalizedExplosion(GetWorldPosition(), this, 0.0f, this, 8, 0, 0);

    if (m_IsPlayer)
    {
        ShakeChaseCamera(1, 1.0f);
        RequestPostProcessEffect(0, 1, RespawnTime() * 0.7f, this);
    }

    if (CTuber* a = m_LastAttacker)
    {
        const float clock = RaceClockOf(a);
        if (a == this)
            a->m_MultiKillCount = 0;
        else if (a->m_LastKillTime < 0.0f || clock - a->m_LastKillTime <= MultiKillWindow)
            ++a->m_MultiKillCount;
        else
            a->m_MultiKillCount = 1;
        a->m_LastKillTime = clock;
    }

    ShowKillMessages();
    m_TurboBonusPoints = 0;
    for (int32_t& streak : m_CoinStreaks)
        streak = 0;
}

void CTuber::ShowKillMessages()
{
    if (!RaceMessagesShown())
        return;
    CTuber* killer = m_LastAttacker ? m_LastAttacker : this;
    const char* keyword = DeathKeyword(m_LastDamageKind);
    WeString key("MSG: SUICIDE");
    if (killer != this && keyword)
    {
        // Below one death text nothing is shown for this death, its multi-kill text included.
        const int32_t maxTexts = MaxDeathTexts();
        if (maxTexts < 1)
            return;
        key = DeathTextVariant(keyword, maxTexts);
    }
    if (!key.IsEmpty())
    {
        const WeString text =
            BuildKillText(g_Localization.GetText(key), DisplayNameOf(killer), PackTrailColour(killer->m_TrailColor),
                          DisplayNameOf(this), PackTrailColour(m_TrailColor));
        g_MainGameInterface.AddMessage(
            new CUberText(text, CUberText::RandomStyle, CUberText::RandomStyle, g_Game.m_Font24));
    }

    if (killer == this)
    {
        killer->m_MultiKillCount = 0;
        return;
    }
    if (!killer->m_IsPlayer || killer->m_MultiKillCount <= 1)
        return;
    const int32_t n = std::min(killer->m_MultiKillCount, MaxMultiKillText);
    WeString textKey("MSG: MULTI_KILL_");
    textKey.AppendInt(n);
    CUberText* text =
        new CUberText(g_Localization.GetText(textKey), 0.5f, 0.15f, CUberText::RandomStyle, CUberText::RandomStyle);
    if (g_Game.m_Font32)
        text->SetFont(g_Game.m_Font32);
    if (n <= 9)
        text->SetColor(0.0f, 1.0f, 1.0f, 1.0f);
    else if (n <= 14)
        text->SetColor(1.0f, 1.0f, 0.0f, 1.0f);
    else
        text->SetColor(1.0f, 0.0f, 0.0f, 1.0f);
    // The display owns what it was given and deletes it when done: only a text it still holds is touched.
    if (killer->m_MultiKillText && g_MainGameInterface.HoldsMessage(killer->m_MultiKillText))
    {
        killer->m_MultiKillText->SetHoldTime(0.0f);
        killer->m_MultiKillText->SetOutTime(0.5f);
    }
    killer->m_MultiKillText = text;
    g_MainGameInterface.AddMessage(text);

    WeString voice("Sounds.Voice.MultiKill");
    voice.AppendInt(n);
    WeVirtualFileSystem* vfs = WeVirtualFileSystem::Instance();
    if (vfs && vfs->Exists(voice, SoundPackageType))
        PlayOneShotSound(voice);
}

void CTuber::UpdateRespawn()
{
    if (!m_Destroyed)
        return;
    m_DeathTimer += g_Timer.m_FrameDeltaF;
    const float limit = IsAICraft(this) ? AIRespawnTime() : RespawnTime();
    if (m_DeathTimer >= limit)
        Respawn();
}

void CTuber::Respawn()
{
    m_Health = m_MaxHealth;
    m_SwarmerBurstCount = 0;
    m_SwarmerBurstTimer = 0.0f;
    m_MeasuredSpeed = 0.0f;
    m_Turbo = false;
    m_ModelVisible = true;
    if (m_AIGlow)
        m_AIGlow->m_ModelVisible = true;
    if (m_CraftLight)
        m_CraftLight->m_SwitchedOn = true;
    m_Destroyed = false;
    m_DeathTimer = 0.0f;
    m_FireRequests = 0;

    ApplyHandling();

    // Back on the track path at the same distance along it, facing along it: where it died may be inside or
    // against a wall. With no path at all the craft stays where it is.
    if (m_World && m_CurrentNode)
    {
        const D3DXVECTOR3 position = GetWorldPosition();
        WePathNode* closest = m_World->FindClosestNodeAlongPath(m_CurrentNode, position);
        const WePathNode* facing = closest ? closest : m_CurrentNode;
        WePathNode* nearest = nullptr;
        D3DXVECTOR3 projected;
        m_World->FindTrackPosition(position, &nearest, nullptr, nullptr, nullptr, &projected, m_CurrentNode);
        if (!nearest)
            projected = position;
        const D3DXMATRIX& n = facing->GetWorldMatrix();
        const D3DXVECTOR3 forward = Unit(Row(n, 2), D3DXVECTOR3(0.0f, 0.0f, 1.0f));
        D3DXVECTOR3 right = Unit(Row(n, 0), D3DXVECTOR3(1.0f, 0.0f, 0.0f));
        const D3DXVECTOR3 up =
            Unit(D3DXVECTOR3(forward.y * right.z - forward.z * right.y, forward.z * right.x - forward.x * right.z,
                             forward.x * right.y - forward.y * right.x),
                 D3DXVECTOR3(0.0f, 1.0f, 0.0f));
        right = D3DXVECTOR3(up.y * forward.z - up.z * forward.y, up.z * forward.x - up.x * forward.z,
                            up.x * forward.y - up.y * forward.x);
        D3DXMATRIX m;
        m._11 = right.x, m._12 = right.y, m._13 = right.z, m._14 = 0.0f;
        m._21 = up.x, m._22 = up.y, m._23 = up.z, m._24 = 0.0f;
        m._31 = forward.x, m._32 = forward.y, m._33 = forward.z, m._34 = 0.0f;
        m._41 = projected.x, m._42 = projected.y, m._43 = projected.z, m._44 = 1.0f;
        SetTransform(m);
        m_TrackPoint = projected;
    }
    m_TargetVelocity = m_TargetAngularVelocity = D3DXVECTOR3();

    if (g_RaceSettings.m_Weapons)
        StartPowerUp(1, false, RespawnInvulnerability, false);

    SetCollisionEnabled(true);

    if (m_IsPlayer)
    {
        g_Game.m_Snap = 1;
        const CPostProcessSlot& slot = g_PostProcessSlots[0];
        if (slot.m_Kind != 0 && slot.m_Extra == this)
            RequestPostProcessEffect(0, 3, 1.0f, nullptr);
    }

    PlayOneShotSound3D("Sounds.Tuber.Spawn", GetWorldPosition(), D3DXVECTOR3(), SoundReach);
    m_StaticScratchTimer = m_DynamicScratchTimer = 0.0f;
    m_StaticContact = m_DynamicContact = false;
    if (m_ScrapeLoopSound)
        m_ScrapeLoopSound->Stop();
    m_Ghost = false;
    m_StuckTimer = 0.0f;
    m_StuckPosition = GetWorldPosition();
}

void CTuber::UpdateHealth()
{
    m_Healing = false;
    if (m_Destroyed || m_Finished)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    static const CTuberSetting baseHealing("tuber.Healing.BaseHealingHP", 500.0f);
    const float base = baseHealing.Get();
    if (base > 0.0f && m_CurrentNode)
    {
        const float value = PathNodeFields::GetHealingValue(*m_CurrentNode);
        const float rate = std::isfinite(value) ? value / base * m_MaxHealth * dt : 0.0f;
        if (rate > 0.0f)
        {
            m_Health = std::min(m_MaxHealth, m_Health + rate);
            m_Healing = true;
        }
        else if (rate < 0.0f && !m_Invulnerable)
        {
            // The drain never kills: no attacker is left to credit.
            m_Health += rate;
            m_LastAttacker = nullptr;
            m_LastDamageKind = 0;
        }
    }
    static const CTuberSetting regeneration("tuber.HyperBrake.HealthRegeneration", 10.0f);
    if (m_MeasuredSpeed == 0.0f && m_HyperBrakeCharge > 0.0f && m_Health < m_MaxHealth)
        m_Health = std::min(m_MaxHealth, m_Health + regeneration.Get() * dt);
}

void CTuber::UpdateSparks()
{
    const float dt = g_Timer.m_FrameDeltaF;
    m_DamageEffectTimer += dt;
    const bool damaged = !m_Destroyed && !m_Finished && m_Health < 0.5f * m_MaxHealth;
    if (!damaged)
    {
        if (m_DamageSparks)
            m_DamageSparks->m_Active = false;
    }
    else if (m_DamageEffectTimer >= SparksInterval)
    {
        const float x = float(SysRandom::Next()) / 32767.0f * 1.5f - 0.75f;
        const float y = float(SysRandom::Next()) / 32767.0f * 0.5f - 0.25f;
        const float z = float(SysRandom::Next()) / 32767.0f * 1.5f - 0.75f;
        if (m_DamageSparks)
        {
            m_DamageSparks->SetLocation(D3DXVECTOR3(x, y, z));
            m_DamageSparks->m_Active = true;
        }
        m_DamageEffectTimer = 0.0f;
        WeString sound("Sounds.Tuber.Sparks");
        sound.AppendInt(SysRandom::Scaled(4) + 1);
        PlayOneShotSound3D(sound, GetWorldPosition(), D3DXVECTOR3(), SoundReach);
    }
    else if (m_DamageEffectTimer > SparksOnTime && m_DamageSparks)
        m_DamageSparks->m_Active = false;

    const bool smoking = !m_Destroyed && !m_Finished && m_MaxHealth > 0.0f && m_Health <= 0.5f * m_MaxHealth &&
                         !(m_IsPlayer && IsFirstPersonCamera());
    for (int32_t i = 0; i < 2; ++i)
    {
        WeNewParticleSystem* templ = s_Assets.damageSmoke[i];
        if (!m_DamageSmoke[i] && smoking && templ && m_World)
        {
            m_DamageSmoke[i] = new WeNewParticleSystem();
            templ->CopyTo(m_DamageSmoke[i]);
            m_DamageSmoke[i]->SetParent(this);
            m_World->AddActor(m_DamageSmoke[i]);
        }
        WeNewParticleSystem* smoke = m_DamageSmoke[i];
        if (!smoke)
            continue;
        smoke->m_Active = smoking;
        if (!smoking || !templ)
            continue;
        // Strength 1 is the template as authored; a craft shows at most 0.3 of it, at 0 health.
        const float health = std::max(0.0f, m_Health);
        const float strength = (1.0f - health / (0.5f * m_MaxHealth)) * 0.3f;
        auto* from = templ->m_Emitters.FirstNode();
        for (auto* to = smoke->m_Emitters.FirstNode(); to && from;
             to = smoke->m_Emitters.NextNode(to), from = templ->m_Emitters.NextNode(from))
            to->payload.rate[0] = from->payload.rate[0] * strength;
    }
}
