#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeCamera;
class WeShader;
class WeWorld;

// Before the scene, draws the opaque items into post-processing's G16R16F depth target: view depth and
// each object's motion-blur factor, which depth of field and pixel motion blur read.
class WeVelocityRenderer : public WeBaseRenderer
{
public:
    WeVelocityRenderer() : WeBaseRenderer(OrderVelocity) {}

    bool Init() override;
    void Release() override;

    // True when the pass ran.
    bool Draw(WeWorld* world, WeCamera* camera);

    uint8_t m_Initialised = 0;
    WeShader* m_Shader = nullptr;
    D3DXHANDLE m_DoFOnly = nullptr;
    D3DXHANDLE m_PixelMotionBlurOnly = nullptr;
    D3DXHANDLE m_PixelMotionBlurAndDof = nullptr;
};

extern WeVelocityRenderer g_VelocityRenderer;
