#include "Game/craft/CWeaponSwarmer.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTrail.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CRacePhysics.h"

namespace
{
constexpr float SpinRate = 50.0f;
}

CWeaponSwarmer::~CWeaponSwarmer()
{
    WeActor* children[] = {m_Trail, m_Light};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_Trail = nullptr;
    m_Light = nullptr;
    WeaponParts::StopSound(m_EngineSound);
}

void CWeaponSwarmer::Launch()
{
    m_Type = ActorKindProjectile;
    m_HasModel = false;
    m_LaunchIndex = m_SwarmIndex;
    const float sense = (m_SwarmIndex & 1) ? -1.0f : 1.0f;
    StartAtMuzzle();
    const D3DXVECTOR3 spin = WeaponParts::Forward(this) * (SpinRate * sense);
    SetupFlight(nullptr, &spin, 1.35f);
    if (m_World)
    {
        const D3DXVECTOR3 trailAt(0.0f, -4.0f, 0.0f);
        m_Trail = WeaponParts::MakeTrail(this, 0.2f, 0.2f, 0.1f, trailAt);
        m_Light = WeaponParts::CopyLight(this, "Assets.Weapons.Swarmer");
        if (m_Light)
        {
            m_Light->SetLocation(trailAt);
            if (!GetConfigBool("Weapons.Light.Enabled", true))
                m_Light->m_Range = 0.0f;
        }
    }
    if (m_Owner)
    {
        WeaponParts::PlayOneShot("Sounds.Weapons.SwarmerLaunch", m_Owner->GetWorldPosition());
        if (m_SwarmIndex == 0)
            m_Owner->StartSwarmerBurst();
    }
}

void CWeaponSwarmer::Tick()
{
    SteerToward(m_Target);
    const D3DXVECTOR3& v = m_FlightVelocity;
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f)
    {
        const float sense = (m_SwarmIndex & 1) ? -1.0f : 1.0f;
        SetAngularVelocity(v * (SpinRate * sense / length));
    }
    CWeapon::Tick();
}

void CWeaponSwarmer::OnCollision(WeActor* other)
{
    // The standard impact, with the swarm index riding as the request's extra.
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
        hit = static_cast<CTuber*>(other);
    else if (other->m_PhysicHandle && IsHittableActor(other))
        other->m_PhysicHandle->AddVelocityChange(forward * 200.0f, false);
    RequestLocalizedExplosion(GetWorldPosition() - forward, m_Owner, m_Description ? m_Description->m_Damage : 0.0f,
                              hit, 1, m_Kind, m_SwarmIndex);
}
