#include "Engine/world/WeCreatePhysics.h"

#include "Engine/render/WeMesh.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WeClothHandle.h"
#include "Engine/world/WePhysics.h"

WePhysicHandle* WeCreatePhysics(WeActor* owner, const WePhysicsDescription& model, const WePhysicsOwnerState& state)
{
    if (!owner)
        return nullptr;
    int32_t physicsClass = model.physicsClass;
    if (physicsClass != WePhysicsCloth && state.editorMode)
        physicsClass = model.editorPhysicsClass;
    WePhysicHandle* handle = nullptr;
    const D3DXVECTOR3 position(state.worldMatrix._41, state.worldMatrix._42, state.worldMatrix._43);
    const float fallbackRadius = state.mesh ? state.mesh->m_SphereRadius : state.ownerRadius;
    switch (physicsClass)
    {
    case WePhysicsStaticBox:
    case WePhysicsDynamicBox:
    {
        D3DXVECTOR3 half(1.0f, 1.0f, 1.0f);
        if (model.explicitSize)
            half = model.size;
        else if (state.mesh)
            half = (state.mesh->m_BoxMax - state.mesh->m_BoxMin) * 0.5f;
        handle = g_Physics.CreateBoxActor(owner, state.worldMatrix, half, model.collisionGroup, model.mass,
                                          physicsClass == WePhysicsStaticBox, model.shapeFlags, &model.linearVelocity,
                                          &model.angularVelocity);
        break;
    }
    case WePhysicsStaticSphere:
    case WePhysicsDynamicSphere:
        handle = g_Physics.CreateSphereActor(owner, position, model.explicitSize ? model.size.x : fallbackRadius,
                                             model.collisionGroup, model.mass, physicsClass == WePhysicsStaticSphere,
                                             model.shapeFlags);
        break;
    case WePhysicsStaticCapsule:
    case WePhysicsDynamicCapsule:
        handle = g_Physics.CreateCapsuleActor(owner, position, model.explicitSize ? model.size.x : fallbackRadius,
                                              model.explicitSize ? model.size.y : fallbackRadius, model.collisionGroup,
                                              model.mass, physicsClass == WePhysicsStaticCapsule, model.shapeFlags);
        break;
    case WePhysicsCloth:
    {
        if (!state.mesh)
            return nullptr;
        WeClothSettings cloth;
        cloth.group = model.collisionGroup;
        cloth.bendingStiffness = model.clothBendingStiffness;
        cloth.stretchingStiffness = model.clothStretchingStiffness;
        cloth.friction = model.clothFriction;
        cloth.pressure = model.clothPressure;
        cloth.density = model.clothDensity;
        handle = g_Physics.CreateCloth(owner, state.worldMatrix, state.mesh, cloth);
        break;
    }
    case WePhysicsStaticMesh:
    case WePhysicsDynamicMesh:
        if (!state.mesh)
            return nullptr;
        handle = g_Physics.CreateTriangleMeshActor(owner, state.worldMatrix, state.mesh,
                                                   physicsClass == WePhysicsDynamicMesh);
        break;
    default: return nullptr;
    }
    if (!handle)
        return nullptr;
    if (state.editorMode)
    {
        handle->SetKinematic(true);
        return handle;
    }
    if (!model.gravity)
        handle->SetDisableGravity(true);
    if (model.startAsleep)
        handle->PutToSleep();
    return handle;
}
