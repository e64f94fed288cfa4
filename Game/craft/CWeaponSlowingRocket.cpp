#include "Game/craft/CWeaponSlowingRocket.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"
#include "Game/shell/CScreenEffects.h"

CWeaponSlowingRocket::~CWeaponSlowingRocket()
{
    WeActor* children[] = {m_SpareActor, m_Exhaust, m_Light, m_TriggerVolume};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_SpareActor = nullptr;
    m_Exhaust = nullptr;
    m_Light = nullptr;
    m_TriggerVolume = nullptr;
    WeaponParts::StopSound(m_EngineSound);
}

void CWeaponSlowingRocket::Launch()
{
    m_Type = ActorKindProjectile;
    m_Model = WeaponParts::CloneModel("Weapons.Models.SlowingRocket");
    m_HasModel = m_Model != nullptr;
    StartAtMuzzle();
    SetupFlight(nullptr, nullptr, 1.0f);
    const D3DXVECTOR3 at = GetWorldPosition();
    WeaponParts::PlayOneShot("Sounds.Weapons.SlowingRocketLaunch", at);
    m_EngineSound = WeaponParts::StartSound("Sounds.Weapons.SlowingRocketEngine", at, D3DXVECTOR3(), true);
    if (!m_World)
        return;
    m_TriggerVolume = WeaponParts::MakeTriggerSphere(this, GetWorldMatrix(), 30.0f, 8, 10.0f, 2);
    m_Exhaust = WeaponParts::CopyParticles(this, "Assets.Weapons.SlowingRocket", false);
    if (GetConfigBool("Weapons.Light.Enabled", true))
    {
        const float cyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};
        m_Light = WeaponParts::MakeLight(this, 30.0f, cyan, 1.0f, 0.5f);
    }
}

void CWeaponSlowingRocket::Tick()
{
    SteerToward(m_Target);
    CWeapon::Tick();
    if (m_TriggerVolume && m_TriggerVolume->m_PhysicHandle)
        m_TriggerVolume->m_PhysicHandle->SetPose(GetWorldMatrix());
    WeaponParts::MoveSound(m_EngineSound, GetWorldPosition(), D3DXVECTOR3());
}

void CWeaponSlowingRocket::OnCollision(WeActor* other)
{
    if (m_Spent || !other || other == m_Owner)
        return;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    m_Spent = true;
    const D3DXVECTOR3 forward = WeaponParts::Forward(this);
    CTuber* hit = nullptr;
    if (other->m_Type == ActorKindTuber)
    {
        hit = static_cast<CTuber*>(other);
        if (hit->IsVulnerable())
        {
            hit->SetLinearVelocity(hit->m_PendingLinearVelocity * 0.3f);
            if (hit->m_IsPlayer && g_ScreenEffects.m_State == 0)
                g_ScreenEffects.m_State = 11;
            hit->SetWeaponsDisabled(true);
            hit->m_SlowingDisableTimer = 0.0f;
        }
    }
    else if (other->m_PhysicHandle && IsHittableActor(other))
        other->m_PhysicHandle->AddVelocityChange(forward * 100.0f, false);
    RequestLocalizedExplosion(GetWorldPosition() - forward, m_Owner, m_Description ? m_Description->m_Damage : 0.0f,
                              hit, 6, m_Kind, 0);
}

void CWeaponSlowingRocket::OnTriggerTouch(WeActor* other, CTrigger*)
{
    static const float& pushKoef = GetConfigFloat("Weapons.SlowingRocket.PushKoef", 150.0f);
    if (m_Spent || !other || other->m_Type == ActorKindTuber || !IsHittableActor(other))
        return;
    other->m_PhysicHandle->AddVelocityChange(
        WeaponParts::UnitToward(other->GetWorldPosition(), GetWorldPosition()) * pushKoef, false);
}
