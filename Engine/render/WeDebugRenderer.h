#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx/D3D9.h"

// The physics debug view: applies the "debug.Physics." visualisation switches to the physics layer and
// keeps a line buffer for a debug drawing the game may do.
class WeDebugRenderer : public WeBaseRenderer
{
public:
    // Bytes of vertex buffer per element of the line array.
    static constexpr UINT BytesPerLine = 96;

    WeDebugRenderer();

    bool Init() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // Sets the physics layer's visualisation scale and every switched-on visualisation parameter.
    void ApplyPhysicsVisualization();
    bool IsUsable() const { return m_Usable != 0; }

    // Read by the game's race and shipyard render steps.
    int32_t m_GameFields[3] = {0, 0, 0};
    float m_CameraRange = 500.0f;
    uint8_t m_Usable = 0;
    IDirect3DVertexBuffer9* m_VertexBuffer = nullptr;

    // The line array: nothing in the engine fills it; Release frees it.
    static uint8_t* s_Lines;
    static int32_t s_LineCount;
};

extern WeDebugRenderer g_DebugRenderer;
