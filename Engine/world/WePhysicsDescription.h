#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

// Physics classes: 0 none, 1-4 static box, sphere, capsule, triangle mesh, 5-8 the same dynamic,
// 9 cloth.
enum WePhysicsClass : int32_t
{
    WePhysicsNone = 0,
    WePhysicsStaticBox = 1,
    WePhysicsStaticSphere = 2,
    WePhysicsStaticCapsule = 3,
    WePhysicsStaticMesh = 4,
    WePhysicsDynamicBox = 5,
    WePhysicsDynamicSphere = 6,
    WePhysicsDynamicCapsule = 7,
    WePhysicsDynamicMesh = 8,
    WePhysicsCloth = 9
};

// The values of an actor's physics description that body creation reads, with the description's
// defaults. The actor's physics model fills one from its own fields.
struct WePhysicsDescription
{
    int32_t physicsClass = WePhysicsNone;
    int32_t editorPhysicsClass = WePhysicsStaticMesh;  // instead of the class in editor mode, cloth excepted
    uint16_t collisionGroup = 0;
    uint16_t shapeFlags = 0;  // OR-ed into the main shape; 1, 2, 4 make it a trigger
    float mass = 10.0f;
    bool startAsleep = true;
    D3DXVECTOR3 linearVelocity;   // given to a dynamic box
    D3DXVECTOR3 angularVelocity;  // given to a dynamic box
    bool gravity = true;
    uint16_t material = 0;
    bool explicitSize = false;
    D3DXVECTOR3 size;  // box half extents; sphere radius in x; capsule radius, height
    float clothBendingStiffness = 0.5f;
    float clothStretchingStiffness = 0.5f;
    float clothFriction = 0.5f;
    float clothPressure = 0.0f;
    float clothDensity = 0.02f;
};
