#include "Game/craft/CWeaponParts.h"

#include <cmath>

#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeString.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/COneShotSounds.h"
#include "Platform/system/SysRandom.h"

namespace WeaponParts
{
namespace
{
WeActor* Attach(CWeapon* weapon, WeActor* child)
{
    child->SetParent(weapon);
    weapon->m_World->AddActor(child);
    return child;
}
}  // namespace

WeLight* MakeLight(CWeapon* weapon, float range, const float colour[4], float intensity, float secondIntensity)
{
    if (!weapon->m_World)
        return nullptr;
    WeLight* light = new WeLight();
    light->m_Kind = 2;
    light->m_Range = range;
    WeLightParams key;
    for (int i = 0; i < 4; ++i)
        key.color[i] = colour[i];
    key.duration = 1.0f;
    key.intensity = intensity;
    key.secondIntensity = secondIntensity;
    light->AddKeyFrame(key);
    Attach(weapon, light);
    return light;
}

WeLight* CopyLight(CWeapon* weapon, const char* assetName)
{
    WeLight* asset = g_WeaponAssets.Light(assetName);
    if (!weapon->m_World || !asset)
    {
        if (!asset)
            DebugLogPrintf("weapon: no light asset %s", assetName);
        return nullptr;
    }
    WeLight* light = new WeLight();
    asset->CopyTo(light);
    Attach(weapon, light);
    return light;
}

WeNewParticleSystem* CopyParticles(CWeapon* weapon, const char* templateName, bool keepWhenMissing)
{
    WeNewParticleSystem* templ = g_WeaponAssets.Particles(templateName);
    if (!templ)
        DebugLogPrintf("weapon: no particle template %s", templateName);
    if (!weapon->m_World || (!templ && !keepWhenMissing))
        return nullptr;
    WeNewParticleSystem* system = new WeNewParticleSystem();
    if (templ)
        templ->CopyTo(system);
    Attach(weapon, system);
    return system;
}

WeTrail* MakeTrail(CWeapon* weapon, float halfWidth, float headAlpha, float tailAlpha, const D3DXVECTOR3& local)
{
    if (!weapon->m_World)
        return nullptr;
    WeTrail* trail = new WeTrail();
    trail->Setup(g_WeaponAssets.trailMaterial, 1.0f, 1.0f, 1.0f, 1.0f, 0.1f, 4, halfWidth, headAlpha, tailAlpha);
    trail->SetParent(weapon);
    trail->SetLocation(local);
    weapon->m_World->AddActor(trail);
    return trail;
}

WeModel* CloneModel(const char* name)
{
    WeModel* model = g_WeaponAssets.Model(name);
    if (!model)
    {
        DebugLogPrintf("weapon: no model %s", name);
        return nullptr;
    }
    return g_ModelManager.Clone(model);
}

WeActor* MakeModelActor(CWeapon* weapon, WeModel* model)
{
    if (!weapon->m_World)
        return nullptr;
    WeActor* actor = new WeActor();
    actor->m_Model = model;
    actor->m_HasModel = model != nullptr;
    actor->m_HasPhysics = false;
    return Attach(weapon, actor);
}

CTrigger* MakeTriggerSphere(CWeapon* weapon, const D3DXMATRIX& pose, float radius, uint16_t group, float mass,
                            uint16_t flags)
{
    // A trigger of no reach would report nothing: the weapon acts by contact only.
    if (!weapon->m_World || !(radius > 0.0f))
        return nullptr;
    CTrigger* trigger = new CTrigger(weapon);
    trigger->m_HasModel = false;
    trigger->m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    trigger->m_PhysicModel.size = D3DXVECTOR3(radius, 0.0f, 0.0f);
    trigger->m_PhysicModel.explicitSize = true;
    trigger->m_PhysicModel.collisionGroup = group;
    trigger->m_PhysicModel.mass = mass;
    trigger->m_PhysicModel.shapeFlags = flags;
    trigger->m_PhysicModel.gravity = false;
    trigger->SetTransform(pose);
    weapon->m_World->AddActor(trigger);
    trigger->SetGravityEnabled(false);
    return trigger;
}

WeSound3D* StartSound(const char* name, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity, bool loop)
{
    WeSound3D* sound = new WeSound3D(name, false);
    sound->SetPosition(position);
    sound->SetVelocity(velocity);
    sound->Play(loop);
    return sound;
}

void MoveSound(WeSound3D* sound, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity)
{
    if (!sound)
        return;
    sound->SetPosition(position);
    sound->SetVelocity(velocity);
}

void StopSound(WeSound3D*& sound)
{
    if (!sound)
        return;
    sound->Stop();
    delete sound;
    sound = nullptr;
}

void PlayNumberedOneShot(const char* name, const D3DXVECTOR3& position)
{
    WeString sound(name);
    sound.AppendInt(SysRandom::Scaled(3) + 1);
    PlayOneShotSound3D(sound, position, D3DXVECTOR3(), 100.0f);
}

void PlayOneShot(const char* name, const D3DXVECTOR3& position)
{
    PlayOneShotSound3D(name, position, D3DXVECTOR3(), 100.0f);
}

void Release(WeActor*& child)
{
    if (child && !g_WorldDestroying)
    {
        child->Detach();
        child->Expire();
    }
    child = nullptr;
}

void PushBody(WeActor* actor, const D3DXVECTOR3& change)
{
    if (actor->m_Type == ActorKindTuber)
        static_cast<CTuber*>(actor)->AddPendingImpulse(change);
    else if (actor->m_PhysicHandle)
        actor->m_PhysicHandle->AddVelocityChange(change, false);
}

D3DXVECTOR3 Forward(const WeActor* actor)
{
    const D3DXMATRIX& m = actor->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}

D3DXVECTOR3 UnitToward(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    const D3DXVECTOR3 d = to - from;
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return length > 1e-6f ? d / length : D3DXVECTOR3();
}
}  // namespace WeaponParts
