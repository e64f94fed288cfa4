#include "Game/craft/CWeaponHomingMine.h"

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponHomingMine::~CWeaponHomingMine()
{
    ExpireMineTrigger(m_Trigger);
    if (!g_WorldDestroying)
    {
        WeActor* trail = m_Trail;
        ExpireChild(trail);
    }
    m_Trail = nullptr;
    DeleteMineHum(m_Hum);
}

void CWeaponHomingMine::Launch()
{
    static const float Yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    m_BobEnabled = m_SpinEnabled = true;
    m_Dynamic = true;
    PlaceMine(MineDropped(this, "Weapons.Models.HomingMine"), Yellow);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
    m_Trail = MakeMineTrail(this, 0.1f);
    m_Hum = MakeMineHum("Sounds.Mines.HomingMine", GetWorldPosition());
    m_RetargetTimer = 1.0f;
}

void CWeaponHomingMine::Tick()
{
    m_RetargetTimer += g_Timer.m_FrameDeltaF;
    CWeapon::Tick();
    if (m_Target && m_Owner && m_Owner->IsEnemy(m_Target) && m_PhysicHandle && !m_Spent)
    {
        D3DXVECTOR3 d = m_Target->GetWorldPosition() - GetWorldPosition();
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        // On top of its target there is no direction left to chase in.
        if (length > 0.0f)
            m_PhysicHandle->AddVelocityChange(d * ((m_Description ? m_Description->m_Speed : 0.0f) / length), false);
    }
    MoveMineTrigger(m_Trigger, GetWorldMatrix());
    if (m_Hum)
        m_Hum->SetPosition(GetWorldPosition());
}

void CWeaponHomingMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        CWeaponStealthMine::Detonate(this);
}

void CWeaponHomingMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (m_Spent || !other || other == m_Target || other->m_Type != ActorKindTuber || !m_Description || !m_Owner)
        return;
    if (MineAge(this) < m_Description->m_ActivationTime || m_RetargetTimer < 1.0f)
        return;
    CTuber* craft = static_cast<CTuber*>(other);
    if (!m_Owner->IsEnemy(craft))
        return;
    m_RetargetTimer = 0.0f;
    SetTarget(craft);
    m_BobEnabled = false;
}
