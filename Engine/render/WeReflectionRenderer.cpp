#include "Engine/render/WeReflectionRenderer.h"

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeTexture.h"

WeReflectionRenderer g_ReflectionRenderer;

const int32_t WeReflectionRenderer::SkipFrames[QualityCount] = {0, 0, 6, 3, 0};
const int32_t WeReflectionRenderer::CubeSizes[QualityCount] = {4, 4, 32, 64, 64};

namespace
{

constexpr float HalfPi = 1.57079632679f;

// Standard cube-face order: +X, -X, +Y, -Y, +Z, -Z.
const struct
{
    D3DXVECTOR3 direction;
    D3DXVECTOR3 up;
} Faces[6] = {
    {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0)},  {D3DXVECTOR3(-1, 0, 0), D3DXVECTOR3(0, 1, 0)},
    {D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, -1)}, {D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(0, 0, 1)},
    {D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0)},  {D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 1, 0)},
};

int32_t ClampQuality(int32_t quality)
{
    return quality < 0
               ? 0
               : (quality >= WeReflectionRenderer::QualityCount ? WeReflectionRenderer::QualityCount - 1 : quality);
}

WeTexture* ReflectionCube()
{
    return g_ReflectionRenderer.GetCubeTexture();
}

}  // namespace

WeReflectionRenderer::WeReflectionRenderer() : WeBaseRenderer(OrderReflection)
{
    // Materials bind the cube through this hook (constant-initialised, so set safely from here).
    WeMaterial::s_ReflectionCube = ReflectionCube;
}

bool WeReflectionRenderer::InitWithQuality(int32_t quality)
{
    m_Quality = ClampQuality(quality);
    OnResetDevice();
    // A second initialisation keeps its camera.
    if (m_Camera == nullptr)
        m_Camera = new WeCamera();
    m_Camera->SetProjection(HalfPi, 1.0f, 250.0f, 1.0f);
    return true;
}

void WeReflectionRenderer::SetQuality(int32_t quality)
{
    m_Quality = ClampQuality(quality);
}

void WeReflectionRenderer::SetPosition(const D3DXVECTOR3& position)
{
    if (m_Camera != nullptr)
        m_Camera->m_Position = position;
}

void WeReflectionRenderer::DeleteTextureWrapper()
{
    if (m_Texture == nullptr)
        return;
    // The wrapper borrows the target's texture: the target gives it back, not the wrapper.
    m_Texture->m_Texture = nullptr;
    delete m_Texture;
    m_Texture = nullptr;
}

void WeReflectionRenderer::OnResetDevice()
{
    // A cube still held (a reset without its loss) is given back before another is made.
    if (m_Cube != nullptr)
        OnLostDevice();
    if (m_Quality > 1)
    {
        m_Cube = g_RenderTargetManager.CreateCubeTarget(CubeSizes[m_Quality], D3DFMT_X1R5G5B5);
        if (m_Cube == nullptr)
            m_Quality = 1;
    }
    DeleteTextureWrapper();
    m_Texture = new WeTexture();
    m_Texture->m_Kind = WeTexture::KindCube;
    if (m_Cube != nullptr)
    {
        m_Texture->m_Texture = m_Cube->GetTexture();
        m_Texture->m_Width = m_Texture->m_Height = m_Cube->m_Size;
        m_Texture->m_Format = D3DFMT_X1R5G5B5;
        m_Texture->m_Pool = D3DPOOL_DEFAULT;
    }
}

void WeReflectionRenderer::OnLostDevice()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    // Materials bind the cube on stage 4; a bound texture would keep it alive through the reset.
    if (device != nullptr && m_Cube != nullptr)
        device->SetTexture(4, nullptr);
    if (m_Cube != nullptr)
        g_RenderTargetManager.ReleaseTarget(m_Cube);
    m_Cube = nullptr;
    DeleteTextureWrapper();
}

void WeReflectionRenderer::Release()
{
    OnLostDevice();
    delete m_Camera;
    m_Camera = nullptr;
}

void WeReflectionRenderer::Render(WeWorld* world, WeCamera* camera)
{
    (void)camera;
    if (m_Cube == nullptr || m_Camera == nullptr)
        return;
    if (m_FrameCounter < SkipFrames[ClampQuality(m_Quality)])
    {
        ++m_FrameCounter;
        return;
    }
    m_FrameCounter = 0;
    if (m_Quality < 2)
        return;

    WeRenderDevice& d = g_RenderDevice;
    m_Rendering = 1;
    g_RenderQueue.m_FillingReflectionCube = true;
    IDirect3DSurface9* saved = d.GetRenderTarget();
    d.UseOffscreenDepth();
    float ambient[4] = {d.m_AmbientColor[0], d.m_AmbientColor[1], d.m_AmbientColor[2], d.m_AmbientColor[3]};
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    d.SetAmbientColor(white);

    // The cube shows the sky and the opaque scene only.
    WeRenderQueue& q = g_RenderQueue;
    int32_t* lowered[5] = {&q.m_Velocity, &q.m_Projectors, &q.m_Blended, &q.m_Last, &q.m_Flares};
    for (int32_t* s : lowered)
        --*s;
    for (int32_t face = 0; face < 6; ++face)
    {
        m_Camera->m_Direction = Faces[face].direction;
        m_Camera->m_Up = Faces[face].up;
        m_Camera->Update();
        m_Cube->Bind(0, face);
        d.Clear(true, 0, true, 1.0f, d.m_RefractionOn != 0, 1);
        q.Prepare(world, m_Camera);
        q.Render();
    }
    for (int32_t* s : lowered)
        ++*s;

    d.SetAmbientColor(ambient);
    d.UseBackBufferDepth();
    d.RestoreRenderTarget(saved);
    g_RenderQueue.m_FillingReflectionCube = false;
    m_Rendering = 0;
}
