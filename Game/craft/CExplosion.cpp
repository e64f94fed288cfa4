#include "Game/craft/CExplosion.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CRacePhysics.h"
#include "Platform/system/SysRandom.h"

CExplosion::CExplosion(CTuber* owner, float damage, int32_t kind) : m_Damage(damage), m_Owner(owner), m_Kind(kind)
{
    m_Type = ActorKindExplosion;
    m_HasModel = false;
    m_LifeTime = 1.0f;
}

CExplosion::~CExplosion() = default;

void CExplosion::AffectTuber(CTuber* craft)
{
    DamageTuber(craft, m_Damage, true);
}

void CExplosion::DamageTuber(CTuber* craft, float amount, bool useOwnerMultiplier)
{
    if (!craft || craft->m_Destroyed)
        return;
    if (useOwnerMultiplier && m_Owner)
        amount *= m_Owner->m_DamageMultiplier;
    craft->ApplyDamage(amount, m_Owner, m_Kind);
    MarkHit(craft);
}

void CExplosion::OnTriggerTouch(WeActor*, CTrigger*) {}

WeWorld* CExplosion::ChooseWorld(CTuber* fallback) const
{
    if (m_Owner && m_Owner->m_World)
        return m_Owner->m_World;
    return fallback ? fallback->m_World : nullptr;
}

void CExplosion::MarkHit(CTuber* craft)
{
    if (craft->m_Invulnerable || craft->m_HitTimer < 0.0f)
        return;
    craft->m_HitTimer = 0.0f;
    craft->m_HitFlash = craft->m_HitRestartFlash = craft->m_HitRecord = true;
}

void CExplosion::Join(WeWorld* world, float lifeTime)
{
    if (!world)
        return;
    // A life set before joining is filed with the world when the actor joins it.
    SetLifeTime(lifeTime);
    world->AddActor(this);
}

WeLight* CExplosion::MakeLight(const float colour[4], float range, float intensity, float secondIntensity)
{
    if (!m_World || !GetConfigBool("Explosions.General.LightEnabled", true))
        return nullptr;
    WeLight* light = new WeLight();
    light->m_Kind = 2;
    light->m_Range = range;
    light->m_Dynamic = true;
    WeLightParams key;
    for (int i = 0; i < 4; ++i)
        key.color[i] = colour[i];
    key.duration = 1.0f;
    key.intensity = intensity;
    key.secondIntensity = secondIntensity;
    light->AddKeyFrame(key);
    light->SetLocation(GetWorldPosition());
    m_World->AddActor(light);
    return light;
}

void CExplosion::PlaySound(const char* name, bool withDigit)
{
    WeString full(name);
    if (withDigit)
        full.AppendInt(SysRandom::Scaled(2) + 1);
    PlayOneShotSound3D(full, GetWorldPosition(), D3DXVECTOR3(), 100.0f);
}

void CExplosion::Push(WeActor* actor, const D3DXVECTOR3& push)
{
    if (!actor)
        return;
    if (actor->m_Type == ActorKindTuber)
    {
        CTuber* craft = static_cast<CTuber*>(actor);
        if (craft->IsVulnerable())
            craft->AddPendingImpulse(push);
        return;
    }
    if (IsHittableActor(actor))
        actor->m_PhysicHandle->AddVelocityChange(push, false);
}
