#pragma once
#include "Platform/math/D3DXMATRIX.h"

class WeMesh;

// What body creation reads of the owning actor: its world's editor mode, its placement, its model's
// mesh (which also gives the bounds that size a body without explicit sizes) and its own radius.
struct WePhysicsOwnerState
{
    bool editorMode = false;
    D3DXMATRIX worldMatrix;
    WeMesh* mesh = nullptr;    // the model's mesh, with geometry; null without a model or mesh
    float ownerRadius = 0.0f;  // the actor's own bounding-sphere radius
};
