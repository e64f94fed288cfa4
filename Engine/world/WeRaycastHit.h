#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

class WeActor;

// What a ray query hit, in engine terms.
struct WeRaycastHit
{
    WeActor* actor = nullptr;  // owner of the body whose shape was hit
    D3DXVECTOR3 impact;
    D3DXVECTOR3 normal;
    uint32_t face = 0;      // triangle index on mesh shapes
    uint32_t material = 0;  // material index of the shape
    float distance = 0.0f;  // from the ray's origin
    float u = 0.0f;         // barycentric position on the hit triangle
    float v = 0.0f;
};
