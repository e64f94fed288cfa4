#include "Game/craft/CWeaponElectricMine.h"

#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSound3D.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponEMPMine.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponElectricMine::~CWeaponElectricMine()
{
    ExpireMineTrigger(m_Trigger);
    DeleteMineHum(m_Hum);
}

void CWeaponElectricMine::Launch()
{
    static const float Blue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    m_SpinAxis = 0;
    PlaceMine(MineDropped(this, "Weapons.Models.ElectricMine"), Blue);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
    m_Hum = MakeMineHum("Sounds.Mines.Electricity", GetWorldPosition());
}

void CWeaponElectricMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        CWeaponEMPMine::Detonate(this);
}

void CWeaponElectricMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (m_Spent || !other || other->m_Type != ActorKindTuber || !m_Description ||
        MineAge(this) < m_Description->m_ActivationTime)
        return;
    CTuber* craft = static_cast<CTuber*>(other);
    if (!craft->IsVulnerable())
        return;
    const float multiplier = m_Owner ? m_Owner->m_DamageMultiplier : 1.0f;
    if (craft->ApplyDamage(multiplier * m_Description->m_Damage * g_Timer.m_FrameDeltaF, m_Owner, m_Kind))
        craft->ShowHitEffect(1, GetWorldPosition(), 0.0f);
}
