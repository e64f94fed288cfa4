#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"

class WeActor;
class WePhysicHandle;
class WeString;

// The few actor fields the physics wrapper reads and writes: the owner's handle pointer, its
// deletion mark, its physics material and its teleporter fields. The actor class installs an
// implementation over its own fields; the defaults describe an owner that has none of them (no
// handle pointer to keep, never pending deletion, no teleporter).
class WeActorPhysicsAccess
{
public:
    virtual ~WeActorPhysicsAccess() = default;

    // The owner's physics-handle pointer.
    virtual WePhysicHandle* GetHandle(WeActor*) { return nullptr; }
    // Clears the owner's physics-handle pointer when it still holds this handle.
    virtual void ClearHandle(WeActor*, WePhysicHandle*) {}
    // Deletes the owner's handle, if any (before a new body is made for it).
    virtual void ReleaseHandle(WeActor*) {}
    virtual bool IsPendingDeletion(WeActor*) { return false; }
    // The material index of the owner's physics description.
    virtual uint16_t GetMaterial(WeActor*) { return 0; }

    // Teleporters.
    virtual bool IsTeleporter(WeActor*) { return false; }
    virtual const WeString* GetTeleportTarget(WeActor*) { return nullptr; }
    // The actor of the owner's world whose label equals the text; null when none.
    virtual WeActor* FindActorByLabel(WeActor*, const WeString&) { return nullptr; }
    virtual D3DXMATRIX GetWorldMatrix(WeActor*) { return D3DXMATRIX(); }
    virtual float GetLastTeleportTime(WeActor*) { return 0.0f; }
    // Stores the pose the race moves the traveller to, raises its pending flag and stamps the time.
    virtual void SetPendingTeleport(WeActor*, const D3DXMATRIX&, float) {}
};

// The installed access (the defaults until one is installed); null restores the defaults.
WeActorPhysicsAccess& GetActorPhysicsAccess();
void SetActorPhysicsAccess(WeActorPhysicsAccess* access);
