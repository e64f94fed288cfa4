#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx/D3D9.h"

class WeTrail;

// Draws trail ribbons: the trail's world-space vertices and indices copied into one dynamic vertex buffer
// and one index buffer, one indexed draw a trail.
class WeTrailRenderer : public WeBaseRenderer
{
public:
    static constexpr int32_t MaxVertices = 6000;
    static constexpr int32_t MaxIndices = 6000;
    static constexpr int32_t MaxQuads = MaxIndices / 6;
    static constexpr UINT VertexStride = 24;

    WeTrailRenderer() : WeBaseRenderer(OrderTrail) {}

    bool Init() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // True when something was drawn. A trail longer than the buffers draws its newest quads that fit.
    bool DrawTrail(WeTrail* trail);

    uint8_t m_Initialised = 0;
    IDirect3DVertexBuffer9* m_VertexBuffer = nullptr;
    IDirect3DIndexBuffer9* m_IndexBuffer = nullptr;
};

extern WeTrailRenderer g_TrailRenderer;
