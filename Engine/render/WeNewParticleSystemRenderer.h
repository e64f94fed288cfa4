#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx/D3D9.h"

class WeCamera;
class WeNewParticleSystem;

// Draws particle systems as camera-facing quads expanded by the particle effect: four vertices a particle,
// filled on the CPU into four rotating dynamic buffers, 1,024 particles a draw over one shared index buffer.
class WeNewParticleSystemRenderer : public WeBaseRenderer
{
public:
    static constexpr int32_t ParticlesPerDraw = 1024;
    static constexpr int32_t BufferCount = 4;
    static constexpr UINT VertexStride = 52;

    // One corner of a particle as the effect reads it.
    struct Vertex
    {
        float position[3];
        float corner[2];
        float colour[4];
        float size;
        float rotation;
        float direction[2];
    };
    static_assert(sizeof(Vertex) == VertexStride);

    WeNewParticleSystemRenderer() : WeBaseRenderer(OrderParticles) {}

    bool Init() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // Draws the system's live particles; the camera (the queue's when null) gives the screen direction of
    // velocity-aligned systems. The number of draws made.
    int32_t RenderParticleSystem(WeNewParticleSystem* system, WeCamera* camera = nullptr);
    bool IsUsable() const { return m_Usable != 0; }

    uint8_t m_Initialised = 0;
    uint8_t m_Usable = 0;
    IDirect3DVertexDeclaration9* m_Declaration = nullptr;
    IDirect3DVertexBuffer9* m_VertexBuffers[BufferCount] = {};
    IDirect3DIndexBuffer9* m_IndexBuffer = nullptr;
    int32_t m_NextBuffer = 0;
};

extern WeNewParticleSystemRenderer g_NewParticleSystemRenderer;
