#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"

class WeActor;
class WeBaseModel;
class WeLight;
class WeMaterial;

// One draw the render queue sorts and issues: a material, what it belongs to, the mesh subset, the
// transform, the lights chosen for it and the shader variant they select. Items are reused from frame
// to frame through g_DrawItemPool.
struct WeRenderItem
{
    static constexpr int32_t MaxPixelLights = 4;
    static constexpr int32_t MaxVertexLights = 8;

    WeRenderItem* next = nullptr;  // the pool's free or live chain
    WeMaterial* material = nullptr;
    WeActor* actor = nullptr;
    WeBaseModel* model = nullptr;
    int32_t subset = 0;
    const D3DXMATRIX* worldMatrix = nullptr;
    WeLight* pixelLights[MaxPixelLights] = {};
    int32_t pixelLightCount = 0;
    WeLight* vertexLights[MaxVertexLights] = {};
    int32_t vertexLightCount = 0;
    int32_t variantFlags = 0;
    float depth = 0.0f;  // view-space depth: the sort key and the mesh's level of detail
};
