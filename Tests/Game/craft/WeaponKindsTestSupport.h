#pragma once
// Helpers of the weapon kinds' tests: finding the kinds' objects in a world, placing a rival, reading the queue.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace WeaponTest
{

// The live objects of one class in the world, oldest first.
template <typename T>
std::vector<T*> Find(WeWorld* world, bool withPending = false)
{
    std::vector<T*> out;
    WeHashTable<WeActor*>& table = world->GetActors();
    for (auto* e = table.First(); e; e = table.Next())
        if (T* t = dynamic_cast<T*>(e->value); t && (withPending || !t->m_PendingDeletion))
            out.push_back(t);
    std::sort(out.begin(), out.end(), [](T* x, T* y) { return x->m_Number < y->m_Number; });
    return out;
}

// The craft at the place, facing along the yaw (radians about +y), at rest.
inline void Place(CTuber* craft, const D3DXVECTOR3& at, float yaw = 0.0f)
{
    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, yaw);
    m._41 = at.x;
    m._42 = at.y;
    m._43 = at.z;
    craft->SetTransform(m);
    craft->SetVelocity(D3DXVECTOR3());
    craft->SetAngularVelocity(D3DXVECTOR3());
}

// A loose body of the dynamic-object group, floating at rest at the place.
inline WeActor* LooseBox(WeWorld* world, const D3DXVECTOR3& at)
{
    WeActor* box = new WeActor();
    box->m_HasModel = false;
    box->m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    box->m_PhysicModel.explicitSize = true;
    box->m_PhysicModel.size = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    box->m_PhysicModel.collisionGroup = 24;
    box->m_PhysicModel.gravity = false;
    box->SetLocation(at);
    world->AddActor(box);
    box->SetGravityEnabled(false);
    if (box->m_PhysicHandle)
        box->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3());
    return box;
}

inline D3DXVECTOR3 BodyVelocity(WeActor* actor)
{
    D3DXVECTOR3 v;
    if (actor->m_PhysicHandle)
        actor->m_PhysicHandle->GetLinearVelocity(v);
    return v;
}

inline std::vector<CExplosionRequest> Requests()
{
    std::vector<CExplosionRequest> out;
    for (auto* n = g_ExplosionRequests.FirstNode(); n; n = g_ExplosionRequests.NextNode(n))
        out.push_back(n->payload);
    return out;
}

inline D3DXVECTOR3 Forward(const WeActor* actor)
{
    const D3DXMATRIX& m = actor->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}

inline float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

inline float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace WeaponTest
