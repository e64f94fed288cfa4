#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticleEmitter.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRacePhysics.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/system/SysRandom.h"

namespace
{
constexpr int32_t RaceStateRacing = 4;
constexpr float TrailHiddenAfterTeleport = 3.0f;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v)
{
    const float length = Length(v);
    return length > 0.0f ? v / length : D3DXVECTOR3();
}

// Sounds are touched only while the game is not paused and its sounds are audible at all.
bool SoundsAudible()
{
    return g_AudioDevice.GetPauseCount() == 0 && g_AudioDevice.GetSoundVolume() >= 0.001f;
}

void Show(WeActor* actor, bool shown)
{
    if (actor)
        actor->m_ModelVisible = shown;
}

// The projector renderer projects every switched-on projector whatever its model's visibility.
void ShowProjector(WeLight* projector, bool shown)
{
    if (projector)
    {
        projector->m_ModelVisible = shown;
        projector->m_SwitchedOn = shown;
    }
}

bool Fade(float& level, bool in, float dt)
{
    const CTuber::Constants& c = CTuber::s_Constants;
    if (in)
    {
        level = std::min(level + c.lightFadeInSpeed * dt, 1.0f);
        return level >= 1.0f;
    }
    level = std::max(level - c.lightFadeOutSpeed * dt, 0.0f);
    return level <= 0.0f;
}
}  // namespace

void CTuber::SetAsPlayer()
{
    for (int32_t slot = 0; slot < 6; ++slot)
    {
        CRaceParticipant* p = g_RaceSettings.m_Participants[slot];
        if (p && p->m_Kind >= 1 && p->m_Kind <= 4 && p->m_Craft)
            p->m_Craft->m_IsPlayer = false;
    }
    m_IsPlayer = true;
    g_Game.m_PlayerTuber = this;
    g_Game.m_PlayerFlag = 1;
}

void CTuber::SetVelocity(const D3DXVECTOR3& v)
{
    m_TargetVelocity = v;
    m_SpeedFactor = std::max(m_CatchUpFactor, 0.01f);
    WeActor::SetLinearVelocity(m_PendingImpulse + v * m_SpeedFactor);
    m_PendingImpulse = D3DXVECTOR3();
}

void CTuber::SetAngularVelocity(const D3DXVECTOR3& w)
{
    m_TargetAngularVelocity = w;
    WeActor::SetAngularVelocity(w);
}

void CTuber::SetCatchUpFactor(float f)
{
    // At 0 the measured speed would be divided by 0, below it the craft would drive backwards.
    m_CatchUpFactor = std::isfinite(f) ? std::max(f, 0.01f) : 1.0f;
}

void CTuber::AddPendingImpulse(const D3DXVECTOR3& v)
{
    m_PendingImpulse += v;
}

void CTuber::UpdateLights()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const bool enabled = m_IsPlayer && !m_Destroyed;
    if (m_CraftLight)
    {
        m_CraftLight->m_SwitchedOn = enabled;
        m_CraftLight->m_ModelVisible = m_ModelVisible;
    }
    if (!enabled || !m_CraftLight)
    {
        ShowProjector(m_ProjectorLight, false);
        return;
    }
    const Constants& c = s_Constants;
    float distance = c.headlight.distance;
    if (m_Finished)
    {
        if (m_FinishLightMode)
            Fade(m_LightLevel, true, dt);
        else if (Fade(m_LightLevel, false, dt))
            m_FinishLightMode = true;
    }
    else if (m_CurrentNode && PathNodeFields::IsHeadlightZone(*m_CurrentNode) && CurrentRaceState() == RaceStateRacing)
    {
        if (m_HeadlightMode)
        {
            WeRaycastHit hit;
            const D3DXVECTOR3 forward = Row(GetWorldMatrix(), 2);
            if (g_Physics.RaycastClosest(GetWorldPosition(), forward, 1, hit, 7, c.headlight.distance, 0))
                distance = std::max(hit.distance - 2.0f, 0.0f);
            Fade(m_LightLevel, true, dt);
        }
        else if (Fade(m_LightLevel, false, dt))
        {
            m_HeadlightMode = true;
            PlayHeadLightSound();
        }
    }
    else if (!m_HeadlightMode)
        Fade(m_LightLevel, true, dt);
    else if (Fade(m_LightLevel, false, dt))
    {
        m_HeadlightMode = false;
        PlayHeadLightSound();
    }

    const CTuberLightMode& mode = m_FinishLightMode ? c.finishLight : (m_HeadlightMode ? c.headlight : c.light);
    if (!m_HeadlightMode || m_FinishLightMode)
        distance = mode.distance;
    // The light's strength and reach fade with its level, so the projector fades with it too.
    m_CraftLight->m_Range = mode.range * m_LightLevel;
    m_CraftLight->m_BaseIntensity = m_LightLevel;
    if (WeList<WeLightParams>::Node* frame = m_CraftLight->m_KeyFrames.FirstNode())
    {
        frame->payload.intensity = mode.intensity * m_LightLevel;
        frame->payload.secondIntensity = mode.specularIntensity * m_LightLevel;
    }
    m_CraftLight->m_Current.intensity = mode.intensity * m_LightLevel;
    m_CraftLight->m_Current.secondIntensity = mode.specularIntensity * m_LightLevel;
    m_CraftLight->SetLocation(D3DXVECTOR3(0.0f, mode.height, distance));

    if (m_ProjectorLight)
    {
        const bool shown =
            m_HeadlightMode && !m_FinishLightMode && !IsFirstPersonCamera() && !m_Destroyed && m_ModelVisible;
        ShowProjector(m_ProjectorLight, shown);
        if (m_ProjectorLight->m_ProjectorMaterial && c.headlight.range > 0.0f)
            m_ProjectorLight->m_ProjectorMaterial->m_Color[3] = m_CraftLight->m_Range / c.headlight.range;
    }
}

void CTuber::SpendTurbo(float dt)
{
    const CTuberBoundKeys& keys = TuberBoundKeys();
    if (m_HyperBrakeLaunch)
    {
        m_HyperBrakeCharge -= keys.hyperBrakeUsagePerSecond.Get() * dt;
        if (m_HyperBrakeCharge <= 0.0f)
        {
            m_HyperBrakeCharge = 0.0f;
            m_HyperBrakeLaunch = false;
            m_HyperBrakeReleased = true;
        }
        return;
    }
    if (m_UnlimitedTurbo)
        return;
    const float before = m_TurboEnergy;
    m_TurboEnergy = std::max(m_TurboEnergy - keys.turboUsagePerSecond.Get() * dt, 0.0f);
    m_LapTurboUse += before - m_TurboEnergy;
}

void CTuber::UpdateMotionBlur()
{
    const float dt = g_Timer.m_FrameDeltaF;
    static const CTuberSetting blurFactor("cameras.Tuber.TurboPixelMotionBlurFactor", 2.0f);
    // Only the player's own turbo blurs the player's screen.
    if (m_Turbo)
    {
        if (m_IsPlayer)
            g_RenderDevice.m_PostProcessFactor = blurFactor.Get();
        m_SpeedScreenAlpha = std::min(m_SpeedScreenAlpha + 10.0f * dt, 1.0f);
        SpendTurbo(dt);
    }
    else
    {
        if (m_IsPlayer)
            g_RenderDevice.m_PostProcessFactor = 1.0f;
        m_SpeedScreenAlpha = std::max(m_SpeedScreenAlpha - 3.5f * dt, 0.0f);
    }
    if (m_SpeedScreen)
    {
        m_SpeedScreen->m_ModelVisible = m_SpeedScreenAlpha > 0.001f && m_Visibility > 0.0f && !m_Destroyed &&
                                        !m_Finished && !(m_IsPlayer && IsFirstPersonCamera());
        if (m_SpeedScreen->m_Model)
            m_SpeedScreen->m_Model->m_Values[3] = m_Visibility * m_SpeedScreenAlpha;
    }
}

void CTuber::UpdateScratch()
{
    const float dt = g_Timer.m_FrameDeltaF;
    if (!SoundsAudible())
        return;
    const D3DXVECTOR3 position = GetWorldPosition();
    const D3DXVECTOR3& velocity = m_PendingLinearVelocity;
    if (m_EngineSound)
    {
        m_EngineSound->SetPosition(position);
        m_EngineSound->SetVelocity(velocity);
        m_EngineSound->SetPitch(0.5f + Length(velocity) * 0.0033333334f);
        if (!m_EngineSoundStarted)
        {
            m_EngineSound->SetGain(m_IsPlayer ? 0.75f : 0.2f);
            m_EngineSound->Play(true);
            m_EngineSoundStarted = true;
        }
    }
    if (m_TurboSound)
    {
        m_TurboSound->SetPosition(position);
        m_TurboSound->SetVelocity(velocity);
        const bool turbo = m_IsPlayer && m_Turbo;
        if (turbo && !m_TurboSound->IsPlaying())
            m_TurboSound->Play(true);
        else if (!turbo && m_TurboSound->IsPlaying())
            m_TurboSound->Stop();
    }

    static const CTuberSetting minSpeedPercent("tuber.Sound.ScratchSoundMinSpeedPercent", 0.333f);
    static const CTuberSetting dynamicPeriod("tuber.Sound.DynamicScratchPeriod", 1.0f);
    static const CTuberSetting staticPeriod("tuber.Sound.StaticScratchPeriod", 1.0f);
    static const CTuberSetting startTime("tuber.Sound.StaticScratchStartTime", 0.5f);
    static const CTuberSetting loopStartTime("tuber.Sound.StaticScratchLoopStartTime", 1.0f);
    static const CTuberSetting sparksTime("tuber.Sound.ScratchSparksTime", 1.0f);

    m_DynamicScratchTimer = std::max(m_DynamicScratchTimer - dt, 0.0f);
    m_StaticScratchTimer = std::max(m_StaticScratchTimer - dt, 0.0f);
    if (!m_IsPlayer || m_MeasuredSpeed < minSpeedPercent.Get() * m_MaxSpeed)
    {
        m_StaticScratchTimer = m_DynamicScratchTimer = m_ScrapeTime = 0.0f;
        m_StaticContact = m_DynamicContact = false;
        if (m_ScrapeLoopSound)
        {
            m_ScrapeLoopSound->Stop();
            delete m_ScrapeLoopSound;
            m_ScrapeLoopSound = nullptr;
        }
        Show(m_ScratchSparks, false);
        if (m_ScratchSparks)
            m_ScratchSparks->m_Active = false;
        return;
    }
    if (m_DynamicContact && m_DynamicScratchTimer <= 0.0f)
    {
        PlayOneShotSound3D("Sounds.Tuber.Scratch", position, velocity, 200.0f);
        const float jitter = 1.0f + 0.2f * (static_cast<float>(SysRandom::Next()) / 32767.0f - 0.5f);
        m_DynamicScratchTimer = dynamicPeriod.Get() * jitter;
    }
    if (m_StaticContact)
        m_StaticScratchTimer = staticPeriod.Get();
    if (m_StaticScratchTimer > 0.0f)
    {
        const float before = m_ScrapeTime;
        m_ScrapeTime += dt;
        if (before < startTime.Get() && m_ScrapeTime >= startTime.Get() && m_ScrapeTime < loopStartTime.Get())
            PlayOneShotSound3D("Sounds.Tuber.ScratchStart", position, velocity, 200.0f);
        if (m_ScrapeTime >= loopStartTime.Get() && !m_ScrapeLoopSound)
        {
            char name[48];
            std::snprintf(name, sizeof(name), "Sounds.Tuber.LoopScratch%d", SysRandom::Scaled(3) + 1);
            m_ScrapeLoopSound = new WeSound3D(name, false);
            m_ScrapeLoopSound->SetMaxDistance(200.0f);
            m_ScrapeLoopSound->SetPosition(position);
            m_ScrapeLoopSound->Play(true);
        }
        if (m_ScrapeLoopSound)
        {
            m_ScrapeLoopSound->SetPosition(position);
            m_ScrapeLoopSound->SetVelocity(velocity);
        }
    }
    else
    {
        m_ScrapeTime = 0.0f;
        if (m_ScrapeLoopSound)
        {
            m_ScrapeLoopSound->Stop();
            delete m_ScrapeLoopSound;
            m_ScrapeLoopSound = nullptr;
        }
    }
    // The contact flags are this frame's: the contact handler raises them again while the touch lasts.
    m_StaticContact = m_DynamicContact = false;

    const bool sparks = (m_StaticScratchTimer > 0.0f || m_DynamicScratchTimer > 0.0f) && !IsFirstPersonCamera();
    Show(m_ScratchSparks, sparks);
    if (m_ScratchSparks)
        m_ScratchSparks->m_Active = sparks;
    if (sparks)
    {
        m_ScratchSparksTimer += dt;
        if (m_ScratchSparksTimer >= sparksTime.Get())
        {
            m_ScratchSparksTimer = 0.0f;
            PlayOneShotSound("Sounds.Tuber.Sparks");
        }
    }
    else
        m_ScratchSparksTimer = 1000.0f;
}

void CTuber::UpdatePropulsionFlames()
{
    const bool human = m_Participant && m_Participant->m_Kind == 4;
    const float full = 0.1f * m_MaxSpeed;
    const float ratio = full > 0.0f ? std::min(std::max(m_MeasuredSpeed, 0.0f) / full, 1.0f) : 0.0f;
    const bool shown = !(m_IsPlayer && IsFirstPersonCamera());
    const bool emits = !m_Destroyed && m_Visibility > 0.0f && !(m_Finished && !human);
    const float alpha = s_Assets.trail ? FirstEmitterAlpha() : 1.0f;
    for (int32_t i = 0; i < m_PropulsionCount; ++i)
    {
        WeNewParticleSystem* flame = m_Propulsions[i];
        if (!flame)
            continue;
        flame->m_ModelVisible = shown;
        flame->m_Active = emits;
        WeParticleEmitter* emitter = FirstEmitter(flame);
        if (!emitter)
            continue;
        // A flame grows five times longer and tapers at speed.
        emitter->speed[0] = m_FlameBase[0] * (10.0f + 40.0f * ratio) / 10.0f;
        emitter->startSize[0] = m_FlameBase[1];
        emitter->endSize[0] = m_FlameBase[2] * std::max(0.1f, 1.0f - ratio);
        for (int c = 0; c < 3; ++c)
        {
            emitter->startColor[c] = m_TrailColor[c];
            emitter->endColor[c] = m_TrailColor[c];
        }
        emitter->startColor[3] = alpha;
        emitter->endColor[3] = alpha * 0.25f;
    }
}

float CTuber::FirstEmitterAlpha()
{
    WeParticleEmitter* emitter = FirstEmitter(s_Assets.trail);
    return emitter ? emitter->startColor[3] : 1.0f;
}

void CTuber::UpdateSoundMute()
{
    if (!m_IsPlayer || !m_Muted)
        return;
    static const CTuberSetting reduce("tuber.Sound.MuteReduceTime", 0.5f);
    static const CTuberSetting duration("tuber.Sound.MuteDurationTime", 2.0f);
    static const CTuberSetting resume("tuber.Sound.MuteResumeTime", 0.5f);
    if (m_MuteTimer == 0.0f)
        PlayOneShotSound("Sounds.Interface.Deaf");
    m_MuteTimer += g_Timer.m_FrameDeltaF;
    const float t = m_MuteTimer, r = reduce.Get(), d = duration.Get(), u = resume.Get();
    float fade = 1.0f;
    if (t < r)
        fade = 1.0f - t / r;
    else if (t < r + d)
        fade = 0.0f;
    else if (t < r + d + u)
        fade = (t - r - d) / u;
    else
    {
        m_Muted = false;
        m_MuteTimer = 0.0f;
    }
    g_AudioDevice.SetSoundFade(fade);
}

void CTuber::UpdateIdleHover()
{
    if (m_MeasuredSpeed != 0.0f || m_Destroyed || IsIdleHoverStopped())
        return;
    const D3DXMATRIX& world = GetWorldMatrix();
    const float t = static_cast<float>(g_Timer.m_TotalTime);
    m_TargetVelocity += Row(world, 1) * std::sin(3.0f * t);
    if (CurrentRaceState() == RaceStateRacing && m_TargetAngularVelocity != D3DXVECTOR3())
        return;
    m_TargetAngularVelocity +=
        Row(world, 2) * (std::cos(3.0f * t) * 0.04f) + Row(world, 0) * (std::sin(3.0f * t) * 0.02f);
}

void CTuber::UpdateSpeedy()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const CTuberBoundKeys& keys = TuberBoundKeys();
    const bool fps = m_IsPlayer && IsFirstPersonCamera();
    WeActor* quad = m_AbilityEffects[0];
    WeActor* speedy = m_AbilityEffects[1];
    WeActor* invulnerability = m_AbilityEffects[3];
    if (fps)
    {
        Show(quad, false);
        Show(invulnerability, false);
    }
    else
    {
        if (quad)
            quad->UpdateModelFade(m_DamageMultiplier == 4.0f && !m_Finished, keys.addonsFadeInSpeed.Get(),
                                  keys.addonsFadeOutSpeed.Get());
        if (invulnerability)
            invulnerability->UpdateModelFade(m_Invulnerable && !m_Finished, keys.addonsFadeInSpeed.Get(),
                                             keys.addonsFadeOutSpeed.Get());
    }
    // The turbo effect is the engine ability's look (its model's preset 1).
    if (WeActor* turbo = m_AbilityEffects[2])
    {
        turbo->m_ModelVisible = m_EngineAbility && !m_Finished && !fps;
        if (turbo->m_ModelPreset != 1 && turbo->m_Model)
        {
            turbo->m_ModelPreset = 1;
            turbo->m_Model->SetPreset(1);
        }
    }

    if (m_TeleportEffectTimer >= 0.0f)
    {
        m_TeleportEffectTimer += dt;
        if (m_TeleportEffectTimer >= TrailHiddenAfterTeleport)
            m_TeleportEffectTimer = -1.0f;
    }
    if (m_Trail)
    {
        const bool hiddenByCamera = m_IsPlayer && (IsFirstPersonCamera() || IsTrailHiddenByCamera());
        m_Trail->m_ModelVisible = !m_Destroyed && m_ModelVisible && m_Visibility > 0.0f && !m_Finished &&
                                  std::fabs(m_MeasuredSpeed) > 0.001f && !hiddenByCamera &&
                                  m_TeleportEffectTimer < 0.0f;
    }

    for (int kind = 0; kind < HitEffectKinds; ++kind)
        for (int i = 0; i < HitEffectsPerKind; ++i)
        {
            Show(m_HitEffects[kind][i], m_HitEffectShown[kind][i]);
            m_HitEffectShown[kind][i] = false;
        }

    m_MinigunFireTimer = std::max(m_MinigunFireTimer - dt, 0.0f);
    m_MinigunLightTimer = std::max(m_MinigunLightTimer - dt, 0.0f);
    for (int i = 0; i < 2; ++i)
    {
        Show(m_MinigunFlashes[i], m_MinigunFireTimer > 0.0f);
        if (m_MinigunFlashes[i])
            m_MinigunFlashes[i]->m_Active = m_MinigunFireTimer > 0.0f;
        Show(m_MinigunLights[i], m_MinigunLightTimer > 0.0f);
        if (m_MinigunLights[i])
            m_MinigunLights[i]->m_Active = m_MinigunLightTimer > 0.0f;
    }

    if (!m_IsPlayer)
        return;
    static const CTuberSetting speedyPercent("tuber.Speedy.SpeedyPercent", 1.0f);
    static const CTuberSetting speedyTime("tuber.Speedy.SpeedyTimer", 2.5f);
    if (m_MeasuredSpeed >= speedyPercent.Get() * m_MaxSpeed)
    {
        m_SpeedyTimer += dt;
        if (m_SpeedyTimer > speedyTime.Get())
            m_SpeedyAlpha = std::min(m_SpeedyAlpha + dt, 1.0f);
    }
    else
    {
        m_SpeedyTimer = 0.0f;
        m_SpeedyAlpha = std::max(m_SpeedyAlpha - dt, 0.0f);
    }
    if (speedy)
    {
        speedy->m_ModelVisible = !m_Finished && m_SpeedyAlpha > 0.001f;
        if (speedy->m_Model)
            speedy->m_Model->m_Values[3] = m_SpeedyAlpha;
    }
}

void CTuber::UpdateNodeValueEffect()
{
    if (!m_IsPlayer || !IsScreenEffectIdle() || !m_CurrentNode)
        return;
    const float value = PathNodeFields::GetEffectValue(*m_CurrentNode);
    if (std::fabs(value - m_LastNodeEffectValue) > 0.001f)
    {
        if (value > m_LastNodeEffectValue)
        {
            const float range =
                g_Game.m_Map ? g_Game.m_Map->m_Header.m_BloomLevels[2] - g_Game.m_Map->m_Header.m_BloomLevels[1] : 0.0f;
            RequestScreenEffect(7, (value - m_LastNodeEffectValue) * range);
        }
        m_LastNodeEffectValue = value;
    }
}

void CTuber::ApplyZoneRenderFlag()
{
    if (m_IsPlayer)
        g_RenderDevice.m_QueueByte = m_CurrentNode ? PathNodeFields::GetZoneByte(*m_CurrentNode) : 0;
}

void CTuber::PushNearbyBodies()
{
    if (m_MeasuredSpeed >= 0.5f * m_TurboMaxSpeed)
    {
        const D3DXVECTOR3 own = GetWorldPosition();
        for (WeList<WeActor*>::Node* node = m_TouchedByTrigger.FirstNode(); node;
             node = m_TouchedByTrigger.NextNode(node))
        {
            WeActor* actor = node->payload;
            if (!actor || actor->m_PendingDeletion || actor->m_Type == ActorKindTuber || !IsHittableActor(actor))
                continue;
            const D3DXVECTOR3 toward = Normalised(own - actor->GetWorldPosition());
            actor->SetLinearVelocity(actor->m_PendingLinearVelocity + toward * 20.0f);
        }
    }
    m_TouchedByTrigger.Reset();
}

void CTuber::ShowHitEffect(int32_t kind, const D3DXVECTOR3& point, float radius)
{
    if (kind < 0 || kind >= HitEffectKinds)
        return;
    int32_t free = -1;
    for (int32_t i = 0; i < HitEffectsPerKind && free < 0; ++i)
        if (m_HitEffects[kind][i] && !m_HitEffectShown[kind][i])
            free = i;
    if (free < 0)
        return;
    WeActor* effect = m_HitEffects[kind][free];
    m_HitEffectShown[kind][free] = true;
    const D3DXVECTOR3 centre = GetWorldPosition();
    const D3DXVECTOR3 toPoint = point - centre;
    const float distance = Length(toPoint);
    const D3DXVECTOR3 ownForward = Row(GetWorldMatrix(), 2);
    const D3DXVECTOR3 forward = distance > 0.0f ? toPoint / distance : ownForward;
    D3DXVECTOR3 right = Normalised(Cross(Row(GetWorldMatrix(), 1), forward));
    if (Length(right) == 0.0f)
        right = Normalised(Cross(ownForward, forward));
    if (Length(right) == 0.0f)
        right = Row(GetWorldMatrix(), 0);
    const D3DXVECTOR3 up = Cross(forward, right);
    // The orientation in world terms, taken into the craft's frame (the effect is its child).
    D3DXMATRIX worldOrientation;
    D3DXMatrixIdentity(&worldOrientation);
    worldOrientation._11 = right.x, worldOrientation._12 = right.y, worldOrientation._13 = right.z;
    worldOrientation._21 = up.x, worldOrientation._22 = up.y, worldOrientation._23 = up.z;
    worldOrientation._31 = forward.x, worldOrientation._32 = forward.y, worldOrientation._33 = forward.z;
    D3DXMATRIX craftOrientation, inverse, local;
    GetOrientation(craftOrientation);
    D3DXMatrixTranspose(&inverse, &craftOrientation);
    D3DXMatrixMultiply(&local, &worldOrientation, &inverse);
    effect->SetOrientation(local);
    // The bolt model is 10 units long: it reaches from the craft's skin to the point, never mirrored.
    effect->SetScaling(D3DXVECTOR3(1.0f, 1.0f, std::max((distance - radius) * 0.1f, 0.0f)));
}
