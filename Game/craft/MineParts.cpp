#include "Game/craft/MineParts.h"

#include "Engine/foundation/WeLog.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysicsDescription.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/shell/COneShotSounds.h"
#include "Platform/math/D3DXMATRIX.h"

CTrigger* MakeMineTriggerSphere(CWeapon* mine, float radius, uint16_t group)
{
    if (!mine->m_World || !(radius > 0.0f))
        return nullptr;
    CTrigger* trigger = new CTrigger(mine);
    trigger->m_HasModel = false;
    trigger->m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    trigger->m_PhysicModel.size = D3DXVECTOR3(radius, 0.0f, 0.0f);
    trigger->m_PhysicModel.explicitSize = true;
    trigger->m_PhysicModel.collisionGroup = group;
    trigger->m_PhysicModel.mass = 10.0f;
    trigger->m_PhysicModel.shapeFlags = 7;
    trigger->m_PhysicModel.gravity = false;
    trigger->SetLocation(mine->GetWorldPosition());
    mine->m_World->AddActor(trigger);
    return trigger;
}

void MoveMineTrigger(CTrigger* trigger, const D3DXMATRIX& pose)
{
    if (!trigger)
        return;
    const D3DXVECTOR3 at(pose._41, pose._42, pose._43);
    trigger->SetLocation(at);
    if (trigger->m_PhysicHandle)
        trigger->m_PhysicHandle->SetPose(trigger->GetWorldMatrix());
}

WeSound3D* MakeMineHum(const char* name, const D3DXVECTOR3& position)
{
    if (!name)
        return nullptr;
    WeSound3D* hum = new WeSound3D(name, false);
    hum->SetPosition(position);
    hum->SetVelocity(D3DXVECTOR3());
    hum->Play(true);
    return hum;
}

void DeleteMineHum(WeSound3D*& hum)
{
    if (!hum)
        return;
    hum->Stop();
    delete hum;
    hum = nullptr;
}

void ExpireMineTrigger(CTrigger*& trigger)
{
    if (trigger && !g_WorldDestroying)
        trigger->Expire();
    trigger = nullptr;
}

WeTrail* MakeMineTrail(CWeapon* mine, float halfWidth)
{
    if (!mine->m_World)
        return nullptr;
    WeMaterial* material = g_WeaponAssets.trailMaterial;
    if (!material)
        DebugLogPrintf("mine: trail material Materials.Trails.Tuber is missing");
    WeTrail* trail = new WeTrail();
    trail->Setup(material, 1.0f, 0.0f, 0.0f, 1.0f, 0.05f, 4, halfWidth, 1.0f, 0.1f);
    trail->SetParent(mine);
    mine->m_World->AddActor(trail);
    return trail;
}

float MineAge(const CWeapon* mine)
{
    return mine->m_World ? mine->m_World->m_WorldTime - mine->m_SpawnTime : 0.0f;
}

WeModel* MineDropped(CWeapon* mine, WeModel* model, const char* modelName)
{
    PlayOneShotSound3D("Sounds.Mines.MineDrop", mine->GetWorldPosition(), D3DXVECTOR3(), 100.0f);
    if (!model)
        DebugLogPrintf("mine: model %s is missing", modelName);
    return model;
}

WeModel* MineDropped(CWeapon* mine, const char* modelName)
{
    return MineDropped(mine, g_WeaponAssets.Model(modelName), modelName);
}

bool IsStaticPhysicsClass(int32_t physicsClass)
{
    return physicsClass >= WePhysicsStaticBox && physicsClass <= WePhysicsStaticMesh;
}
