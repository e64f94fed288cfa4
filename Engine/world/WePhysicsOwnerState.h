#pragma once
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeAABB.h"
#include "Platform/math/D3DXMATRIX.h"

class ID3DXMesh;

// What body creation reads of the owning actor: its world's editor mode, its placement, its model's
// mesh and the bounds that size a body without explicit sizes.
struct WePhysicsOwnerState
{
    bool editorMode = false;
    D3DXMATRIX worldMatrix;
    ID3DXMesh* mesh = nullptr;  // the model's mesh; null without a model or mesh
    WeString meshName;
    WeAABB meshBounds;
    float meshRadius = 0.0f;
    float ownerRadius = 0.0f;  // the actor's own bounding-sphere radius
};
