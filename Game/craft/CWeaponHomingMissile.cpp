#include "Game/craft/CWeaponHomingMissile.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeTrail.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponHomingMissile::~CWeaponHomingMissile()
{
    WeActor* children[] = {m_Exhaust, m_Light, m_Trail};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_Exhaust = nullptr;
    m_Light = nullptr;
    m_Trail = nullptr;
    WeaponParts::StopSound(m_EngineSound);
}

void CWeaponHomingMissile::Launch()
{
    m_Type = ActorKindProjectile;
    m_HasModel = false;
    SetLifeTime(20.0f);
    StartAtMuzzle();
    SetupFlight(nullptr, nullptr, 3.0f);
    const D3DXVECTOR3 at = GetWorldPosition();
    WeaponParts::PlayOneShot("Sounds.Weapons.StandardRocketLaunch", at);
    m_EngineSound = WeaponParts::StartSound("Sounds.Weapons.StandardRocketEngine", at, m_FlightVelocity, true);
    if (!m_World)
        return;
    m_Exhaust = WeaponParts::CopyParticles(this, "Assets.Weapons.HomingMissile1", true);
    m_Light = WeaponParts::CopyLight(this, "Assets.Weapons.HomingMissile");
    // The asset's light shines while lights are on; with them off it keeps no reach.
    if (m_Light && !GetConfigBool("Weapons.Light.Enabled", true))
        m_Light->m_Range = 0.0f;
    m_Trail = WeaponParts::MakeTrail(this, 0.3f, 1.0f, 0.1f, D3DXVECTOR3());
}

void CWeaponHomingMissile::Tick()
{
    SteerToward(m_Target);
    CWeapon::Tick();
    WeaponParts::MoveSound(m_EngineSound, GetWorldPosition(), m_FlightVelocity);
}

void CWeaponHomingMissile::OnCollision(WeActor* other)
{
    StandardImpact(other, 300.0f, true, 1, false);
}

void CWeaponHomingMissile::OnTeleport()
{
    // No ribbon across the jump.
    if (m_Trail)
        m_Trail->Clear();
}
