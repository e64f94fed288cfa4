#include "Game/craft/CWeaponNuclearWarhead.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeTrail.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponNuclearWarhead::~CWeaponNuclearWarhead()
{
    WeActor* children[] = {m_Light, m_Trail};
    for (WeActor*& child : children)
        WeaponParts::Release(child);
    m_Light = nullptr;
    m_Trail = nullptr;
    WeaponParts::StopSound(m_EngineSound);
}

void CWeaponNuclearWarhead::Launch()
{
    m_Type = ActorKindProjectile;
    m_Model = WeaponParts::CloneModel("Weapons.Models.NuclearWarhead");
    m_HasModel = m_Model != nullptr;
    StartAtMuzzle();
    SetupFlight(nullptr, nullptr, 1.0f);
    const D3DXVECTOR3 at = GetWorldPosition();
    WeaponParts::PlayOneShot("Sounds.Weapons.StandardRocketLaunch", at);
    m_EngineSound = WeaponParts::StartSound("Sounds.Weapons.StandardRocketEngine", at, D3DXVECTOR3(), false);
    if (!m_World)
        return;
    if (GetConfigBool("Weapons.Light.Enabled", true))
    {
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        m_Light = WeaponParts::MakeLight(this, 30.0f, white, 1.0f, 0.5f);
    }
    m_Trail = WeaponParts::MakeTrail(this, 0.5f, 0.5f, 0.1f, D3DXVECTOR3());
}

void CWeaponNuclearWarhead::Tick()
{
    CWeapon::Tick();
    WeaponParts::MoveSound(m_EngineSound, GetWorldPosition(), D3DXVECTOR3());
}

void CWeaponNuclearWarhead::OnCollision(WeActor* other)
{
    if (!other || other == m_Owner)
        return;
    Detonate();
}

void CWeaponNuclearWarhead::Detonate()
{
    if (m_Spent)
        return;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    m_Spent = true;
    RequestNukeExplosion(GetWorldPosition(), m_Owner, 600.0f, m_Description ? m_Description->m_Damage : 0.0f, m_Kind);
}
