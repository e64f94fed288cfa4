#include "Game/craft/CWeaponMotionMine.h"

#include <cmath>

#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/CWeaponStealthMine.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponMotionMine::~CWeaponMotionMine()
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

void CWeaponMotionMine::Launch()
{
    static const float Red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    m_SpinEnabled = true;
    m_AlignToPath = true;
    PlaceMine(MineDropped(this, "Weapons.Models.MotionMine"), Red);
    m_Trigger = MakeMineTriggerSphere(this, m_Description ? m_Description->m_EffectiveRadius : 0.0f, 7);
    m_Trail = MakeMineTrail(this, 0.8f);
    m_Hum = MakeMineHum("Sounds.Mines.HomingMine", GetWorldPosition());
}

void CWeaponMotionMine::Tick()
{
    const float a = MineAge(this) - (m_Description ? m_Description->m_ActivationTime : 0.0f);
    if (a >= 0.0f)
    {
        const float t = 3.0f * a;
        SetLocation(m_BasePosition +
                    D3DXVECTOR3(4.0f * std::sin(t), 4.0f * std::sin(t * 1.37f), 12.0f * std::sin(t * 1.73f)));
    }
    CWeapon::Tick();
    // The box is static: it never follows the mine by itself.
    if (m_PhysicHandle && !m_Spent)
        m_PhysicHandle->SetPose(GetWorldMatrix());
    MoveMineTrigger(m_Trigger, GetWorldMatrix());
    if (m_Hum)
        m_Hum->SetPosition(GetWorldPosition());
}

void CWeaponMotionMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        CWeaponStealthMine::Detonate(this);
}

void CWeaponMotionMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!m_Spent && other && other->m_Type == ActorKindTuber && m_Description &&
        MineAge(this) >= m_Description->m_ActivationTime)
        CWeaponStealthMine::Detonate(this);
}
