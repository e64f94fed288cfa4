#include "Game/craft/CWeaponStealthMine.h"

#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponStealthMine::~CWeaponStealthMine()
{
    ExpireMineTrigger(m_Trigger);
}

void CWeaponStealthMine::Launch()
{
    m_BobEnabled = m_SpinEnabled = true;
    PlaceMine(MineDropped(this, "Weapons.Models.StealthMine"), nullptr);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
}

void CWeaponStealthMine::Detonate(CWeapon* mine)
{
    if (mine->m_Spent)
        return;
    mine->m_Spent = true;
    if (mine->m_Parent)
        mine->Detach();
    mine->Expire();
    mine->SetCollisionEnabled(false);
    RequestSplashExplosion(mine->GetWorldPosition(), mine->m_Owner, 20.0f,
                           mine->m_Description ? mine->m_Description->m_Damage : 0.0f, 1, mine->m_Kind);
}

void CWeaponStealthMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        Detonate(this);
}

void CWeaponStealthMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!m_Spent && other && other->m_Type == ActorKindTuber && m_Description &&
        MineAge(this) >= m_Description->m_ActivationTime)
        Detonate(this);
}
