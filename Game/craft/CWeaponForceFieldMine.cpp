#include "Game/craft/CWeaponForceFieldMine.h"

#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescription.h"
#include "Game/craft/MineParts.h"
#include "Game/shell/CActorKinds.h"

CWeaponForceFieldMine::~CWeaponForceFieldMine()
{
    ExpireMineTrigger(m_Trigger);
    if (!g_WorldDestroying)
        ExpireChild(m_Field);
    m_Field = nullptr;
    DeleteMineHum(m_Hum);
}

void CWeaponForceFieldMine::Launch()
{
    static const float Cyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};
    m_DropDistance = 5.0f;
    m_CustomBox = true;
    m_BoxSize = D3DXVECTOR3(1.5f, 1.5f, 6.5f);
    PlaceMine(MineDropped(this, g_ForceFieldMineModels.mine, "Weapons.Models.ForceFieldMine"), Cyan);
    if (!m_World)
        return;
    // The field panel: a static trigger box, which our physics also makes a wall in its group.
    m_Trigger = new CTrigger(this);
    m_Trigger->m_HasModel = false;
    m_Trigger->m_PhysicModel.physicsClass = WePhysicsStaticBox;
    m_Trigger->m_PhysicModel.size = D3DXVECTOR3(50.0f, 50.0f, 5.0f);
    m_Trigger->m_PhysicModel.explicitSize = true;
    m_Trigger->m_PhysicModel.collisionGroup = 7;
    m_Trigger->m_PhysicModel.mass = 10000.0f;
    m_Trigger->m_PhysicModel.shapeFlags = 7;
    m_Trigger->m_PhysicModel.gravity = false;
    m_Trigger->m_Static = true;
    m_Trigger->SetTransform(GetWorldMatrix());
    m_World->AddActor(m_Trigger);

    if (g_ForceFieldMineModels.field)
    {
        m_Field = new WeActor();
        m_Field->m_Model = g_ModelManager.Clone(g_ForceFieldMineModels.field);
        m_Field->SetParent(this);
        m_World->AddActor(m_Field);
    }
    else
    {
        DebugLogPrintf("mine: model Weapons.Models.ForceFieldMineField is missing");
    }
    m_Hum = MakeMineHum("Sounds.Mines.ForceField", GetWorldPosition());
}

void CWeaponForceFieldMine::Detonate()
{
    if (m_Spent)
        return;
    m_Spent = true;
    if (m_Parent)
        Detach();
    Expire();
    SetCollisionEnabled(false);
    RequestLocalizedExplosion(GetWorldPosition(), m_Owner, 0.0f, nullptr, 7, m_Kind, 0);
}

void CWeaponForceFieldMine::OnCollision(WeActor* other)
{
    CWeapon::OnCollision(other);
    if (!m_Spent && other && !IsStaticPhysicsClass(other->m_PhysicModel.physicsClass))
        Detonate();
}

void CWeaponForceFieldMine::OnTriggerTouch(WeActor* other, CTrigger*)
{
    if (!m_Spent && other && other->m_Type == ActorKindTuber && m_Description &&
        MineAge(this) >= m_Description->m_ActivationTime)
        Detonate();
}
