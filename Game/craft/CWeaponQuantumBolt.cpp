#include "Game/craft/CWeaponQuantumBolt.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"

CWeaponQuantumBolt::~CWeaponQuantumBolt()
{
    WeActor* children[] = {m_Light, m_TriggerVolume, m_Particles[0], m_Particles[1]};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_Light = nullptr;
    m_TriggerVolume = nullptr;
    m_Particles[0] = m_Particles[1] = nullptr;
    m_HomingTarget = nullptr;
}

void CWeaponQuantumBolt::Launch()
{
    m_Type = ActorKindProjectile;
    m_Model = WeaponParts::CloneModel("Weapons.Models.QuantumBolt");
    m_HasModel = m_Model != nullptr;
    D3DXVECTOR3 direction;
    AimAtTarget(&direction, &m_HomingTarget, false);
    StartAtMuzzle();
    SetupFlight(&direction, nullptr, 2.0f);
    if (!m_World)
        return;
    m_TriggerVolume = WeaponParts::MakeTriggerSphere(this, GetWorldMatrix(), 30.0f, 8, 10.0f, 2);
    if (GetConfigBool("Weapons.Light.Enabled", true))
    {
        const float green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
        m_Light = WeaponParts::MakeLight(this, 80.0f, green, 1.5f, 0.5f);
    }
    m_Particles[0] = WeaponParts::CopyParticles(this, "Assets.Weapons.QuantumBolt1", false);
    m_Particles[1] = WeaponParts::CopyParticles(this, "Assets.Weapons.QuantumBolt2", false);
    WeaponParts::PlayOneShot("Sounds.Weapons.QuantumBolt", GetWorldPosition());
}

void CWeaponQuantumBolt::Tick()
{
    SteerToward(m_HomingTarget);
    CWeapon::Tick();
    if (m_TriggerVolume && m_TriggerVolume->m_PhysicHandle)
        m_TriggerVolume->m_PhysicHandle->SetPose(GetWorldMatrix());
}

void CWeaponQuantumBolt::OnCollision(WeActor* other)
{
    StandardImpact(other, 400.0f, false, 2, true);
}

void CWeaponQuantumBolt::OnTriggerTouch(WeActor* other, CTrigger*)
{
    static const float& pushKoef = GetConfigFloat("Weapons.QuantumBolt.PushKoef", 150.0f);
    if (m_Spent || !other || other->m_Type == ActorKindTuber || !IsHittableActor(other))
        return;
    other->m_PhysicHandle->AddVelocityChange(
        WeaponParts::UnitToward(other->GetWorldPosition(), GetWorldPosition()) * pushKoef, false);
}
