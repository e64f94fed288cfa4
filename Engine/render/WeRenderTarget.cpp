#include "Engine/render/WeRenderTarget.h"

#include "Engine/render/WeRenderDevice.h"

WeRenderTarget::~WeRenderTarget()
{
    ReleaseResources();
}

bool WeRenderTarget::Create2D(int32_t width, int32_t height, D3DFORMAT format, int32_t multisampleType, int32_t quality)
{
    if (m_Created)
        return true;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (m_Surfaces[0] != nullptr)
    {
        m_Surfaces[0]->Release();
        m_Surfaces[0] = nullptr;
    }
    if (device == nullptr || width <= 0 || height <= 0)
        return false;
    if (multisampleType != 0 &&
        FAILED(device->CreateRenderTarget(UINT(width), UINT(height), format, D3DMULTISAMPLE_TYPE(multisampleType),
                                          DWORD(quality), FALSE, &m_Surfaces[0], nullptr)))
    {
        m_Surfaces[0] = nullptr;
        m_Created = 0;
        return false;
    }
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(UINT(width), UINT(height), 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT,
                                     &texture, nullptr)) ||
        texture == nullptr)
    {
        // The multisampled surface made above must not outlive the failure.
        if (m_Surfaces[0] != nullptr)
            m_Surfaces[0]->Release();
        m_Surfaces[0] = nullptr;
        m_Created = 0;
        return false;
    }
    m_Texture = texture;
    texture->GetSurfaceLevel(0, multisampleType != 0 ? &m_SecondSurfaces[0] : &m_Surfaces[0]);
    m_Width = width;
    m_Height = height;
    m_Format = format;
    m_MultisampleType = multisampleType;
    m_MultisampleQuality = quality;
    m_IsCube = 0;
    m_Created = 1;
    return true;
}

bool WeRenderTarget::CreateCube(int32_t size, D3DFORMAT format)
{
    if (m_Created)
        return true;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DCubeTexture9* cube = nullptr;
    if (device == nullptr || size <= 0 ||
        FAILED(
            device->CreateCubeTexture(UINT(size), 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &cube, nullptr)) ||
        cube == nullptr)
    {
        m_Created = 0;
        return false;
    }
    m_Texture = cube;
    for (int face = 0; face < 6; ++face)
        cube->GetCubeMapSurface(D3DCUBEMAP_FACES(face), 0, &m_Surfaces[face]);
    m_Size = size;
    m_Format = format;
    m_IsCube = 1;
    // Marked created, so that device loss releases the cube and a reset rebuilds it.
    m_Created = 1;
    return true;
}

void WeRenderTarget::Bind(int32_t index, int32_t face)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device != nullptr)
        device->SetRenderTarget(DWORD(index), GetSurface(face));
}

void WeRenderTarget::ReleaseResources()
{
    if (!m_Created)
        return;
    for (int i = 0; i < 6; ++i)
    {
        if (m_Surfaces[i] != nullptr)
            m_Surfaces[i]->Release();
        if (m_SecondSurfaces[i] != nullptr)
            m_SecondSurfaces[i]->Release();
        m_Surfaces[i] = nullptr;
        m_SecondSurfaces[i] = nullptr;
    }
    if (m_Texture != nullptr)
        m_Texture->Release();
    m_Texture = nullptr;
    m_Created = 0;
}

bool WeRenderTarget::Recreate()
{
    if (m_IsCube)
        return CreateCube(m_Size, m_Format);
    return Create2D(m_Width, m_Height, m_Format, m_MultisampleType, m_MultisampleQuality);
}
