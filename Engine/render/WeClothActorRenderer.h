#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx/D3D9.h"

class WeActor;

// Draws cloth actors from the vertices and indices their cloth handle last copied: one indexed draw from
// user memory with the cloth vertex layout.
class WeClothActorRenderer : public WeBaseRenderer
{
public:
    WeClothActorRenderer() : WeBaseRenderer(OrderCloth) {}

    // The cloth vertex: position 0, normal 12, uv 24, tangent 32, second uv 44.
    static constexpr UINT VertexStride = 52;

    bool Init() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // True when something was drawn.
    bool DrawClothActor(WeActor* actor);

    uint8_t m_Initialised = 0;
    IDirect3DVertexDeclaration9* m_Declaration = nullptr;
};

extern WeClothActorRenderer g_ClothActorRenderer;
