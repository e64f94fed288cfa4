#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx/D3D9.h"

class WeCamera;
class WeShader;
class WeSkyBox;

// Draws the world's sky box behind everything: as a cube texture seen through a screen quad of view rays,
// or as a mesh centred on the camera.
class WeSkyBoxRenderer : public WeBaseRenderer
{
public:
    WeSkyBoxRenderer() : WeBaseRenderer(OrderSkyBox) {}

    bool Init() override;
    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    // False when nothing was drawn (no sky box, cube texture, camera or shader).
    bool DrawCubeSky(WeSkyBox* skyBox, WeCamera* camera, float alphaFactor);
    // The sky box's mesh around the camera, each subset with its preset-0 material; false without a mesh.
    bool DrawMeshSky(WeSkyBox* skyBox, WeCamera* camera, float alphaFactor);

    uint8_t m_Initialised = 0;
    WeShader* m_Shader = nullptr;
    IDirect3DVertexBuffer9* m_Quad = nullptr;
};

extern WeSkyBoxRenderer g_SkyBoxRenderer;
