#include "Game/craft/CWeaponProximityMine.h"

#include "Engine/runtime/WeSound3D.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponProximityMine::~CWeaponProximityMine()
{
    ExpireMineTrigger(m_Trigger);
    DeleteMineHum(m_Hum);
}

void CWeaponProximityMine::Launch()
{
    static const float Yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    PlaceMine(MineDropped(this, "Weapons.Models.ProximityMine"), Yellow);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
    m_Hum = MakeMineHum("Sounds.Mines.HomingMine", GetWorldPosition());
}

void CWeaponProximityMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        CWeaponStealthMine::Detonate(this);
}

void CWeaponProximityMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!m_Spent && other && other->m_Type == ActorKindTuber && m_Description &&
        MineAge(this) >= m_Description->m_ActivationTime)
        CWeaponStealthMine::Detonate(this);
}
