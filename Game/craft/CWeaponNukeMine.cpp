#include "Game/craft/CWeaponNukeMine.h"

#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponNukeMine::~CWeaponNukeMine()
{
    if (m_Armed && !g_WorldDestroying)
        RequestNukeExplosion(GetWorldPosition(), m_Owner, m_Description ? m_Description->m_EffectiveRadius : 0.0f,
                             m_Description ? m_Description->m_Damage : 0.0f, m_Kind);
}

void CWeaponNukeMine::Launch()
{
    static const float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    PlaceMine(MineDropped(this, "Weapons.Models.NukeMine"), White);
    m_Armed = true;
    // It blows when its life ends: at the latest once it is armed.
    SetLifeTime(m_Description ? m_Description->m_ActivationTime : 0.0f);
}

void CWeaponNukeMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (m_Spent)
        m_Armed = false;  // a shot defuses it
    else if (other && other->m_Type == ActorKindTuber)
        SetLifeTime(0.0f);
}
