#include "Game/craft/CWeaponEMPMine.h"

#include "Engine/runtime/WeSound3D.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponEMPMine::~CWeaponEMPMine()
{
    ExpireMineTrigger(m_Trigger);
    DeleteMineHum(m_Hum);
}

void CWeaponEMPMine::Launch()
{
    static const float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    PlaceMine(MineDropped(this, "Weapons.Models.EMPMine"), White);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
    m_Hum = MakeMineHum("Sounds.Mines.GravityMine", GetWorldPosition());
}

void CWeaponEMPMine::Detonate(CWeapon* mine)
{
    if (mine->m_Spent)
        return;
    mine->m_Spent = true;
    if (mine->m_Parent)
        mine->Detach();
    mine->Expire();
    mine->SetCollisionEnabled(false);
    RequestLocalizedExplosion(mine->GetWorldPosition(), mine->m_Owner,
                              mine->m_Description ? mine->m_Description->m_Damage : 0.0f, nullptr, 5, mine->m_Kind, 0);
}

void CWeaponEMPMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        Detonate(this);
}

void CWeaponEMPMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    // Strictly after arming; a craft that stays in reach is disabled again at every report.
    if (m_Spent || !other || other->m_Type != ActorKindTuber || !m_Description ||
        !(MineAge(this) > m_Description->m_ActivationTime))
        return;
    CTuber* craft = static_cast<CTuber*>(other);
    craft->SetWeaponsDisabled(true);
    craft->m_EmpDisableTimer = 0.0f;
}
