#include "Game/craft/CWeaponTranslocator.h"

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

CWeaponTranslocator::~CWeaponTranslocator()
{
    WeActor* children[] = {m_Aura, m_Light, m_TriggerVolume};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_Aura = nullptr;
    m_Light = nullptr;
    m_TriggerVolume = nullptr;
    WeaponParts::StopSound(m_EngineSound);
}

void CWeaponTranslocator::Launch()
{
    m_Type = ActorKindProjectile;
    m_HasModel = false;
    m_SpareInt = 0;
    StartAtMuzzle();
    SetupFlight(nullptr, nullptr, 1.0f);
    const D3DXVECTOR3 at = GetWorldPosition();
    WeaponParts::PlayOneShot("Sounds.Weapons.TranslocatorLaunch", at);
    m_EngineSound = WeaponParts::StartSound("Sounds.Weapons.TranslocatorEngine", at, m_FlightVelocity, true);
    if (!m_World)
        return;
    m_TriggerVolume = WeaponParts::MakeTriggerSphere(this, GetWorldMatrix(), 50.0f, 8, 10.0f, 7);
    m_Aura = WeaponParts::CopyParticles(this, "Assets.Weapons.TranslocatorAura1", false);
    if (GetConfigBool("Weapons.Light.Enabled", true))
    {
        const float orange[4] = {1.0f, 0.5f, 0.1f, 1.0f};
        m_Light = WeaponParts::MakeLight(this, 30.0f, orange, 1.0f, 0.5f);
    }
}

void CWeaponTranslocator::Tick()
{
    SteerToward(m_Target);
    if (m_PhysicHandle)
        m_PhysicHandle->SetAngularVelocity(D3DXVECTOR3());
    const float speed = m_Description ? m_Description->m_Speed : 0.0f;
    WeaponParts::MoveSound(m_EngineSound, GetWorldPosition(), WeaponParts::Forward(this) * speed);
    if (m_TriggerVolume && m_TriggerVolume->m_PhysicHandle)
        m_TriggerVolume->m_PhysicHandle->SetPose(GetWorldMatrix());
    CWeapon::Tick();
}

void CWeaponTranslocator::OnCollision(WeActor* other)
{
    if (m_Spent || !other || other == m_Owner)
        return;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    m_Spent = true;
    const float damage = m_Description ? m_Description->m_Damage : 0.0f;
    if (other->m_Type == ActorKindTuber)
    {
        CTuber* struck = static_cast<CTuber*>(other);
        RequestLocalizedExplosion(GetWorldPosition(), m_Owner, damage, struck, 4, m_Kind, 0);
        if (m_Owner)
        {
            RequestLocalizedExplosion(m_Owner->GetWorldPosition(), m_Owner, damage, struck, 4, m_Kind, 0);
            // Both only marked here: the bodies move at the next sync, outside the physics report.
            const D3DXMATRIX struckPlace = struck->m_LocalMatrix;
            struck->SetTransform(m_Owner->m_LocalMatrix);
            m_Owner->SetTransform(struckPlace);
        }
        return;
    }
    const D3DXVECTOR3 forward = WeaponParts::Forward(this);
    RequestLocalizedExplosion(GetWorldPosition() - forward, m_Owner, damage, nullptr, 4, m_Kind, 0);
    if (other->m_PhysicHandle && IsHittableActor(other))
        other->m_PhysicHandle->AddVelocityChange(forward * 50.0f, false);
}

void CWeaponTranslocator::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (m_Spent || !other || other->m_Type == ActorKindTuber || !IsHittableActor(other))
        return;
    other->m_PhysicHandle->AddVelocityChange(
        WeaponParts::UnitToward(GetWorldPosition(), other->GetWorldPosition()) * 25.0f, false);
}
