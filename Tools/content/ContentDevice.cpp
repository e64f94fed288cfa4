#include "Tools/content/ContentDevice.h"

#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"

#include <cstring>

namespace
{
constexpr int32_t TextureFileType = 1;
}  // namespace

ContentDevice::~ContentDevice()
{
    Close();
}

bool ContentDevice::Open()
{
    Close();
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (m_D3D == nullptr)
        return false;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 64;
    pp.BackBufferHeight = 64;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    if (FAILED(m_D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_Device)) ||
        !g_RenderDevice.AdoptDevice(m_Device))
    {
        Close();
        return false;
    }
    return true;
}

void ContentDevice::Close()
{
    if (m_Device != nullptr)
    {
        g_MeshManager.ReleaseAll(true);
        g_ShaderManager.ReleaseAll();
        g_TextureManager.ReleaseAll(true);
        if (g_RenderDevice.GetDevice() == m_Device)
            g_RenderDevice.Shutdown();
        m_Device->Release();
        m_Device = nullptr;
    }
    if (m_D3D != nullptr)
        m_D3D->Release();
    m_D3D = nullptr;
}

bool ContentDevice::WriteSingleLevelTexture(WeFileSystem& tree, const std::string& name, int width, int height,
                                            const std::vector<uint32_t>& argb)
{
    if (m_Device == nullptr || width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height))
        return false;
    IDirect3DTexture9* t = nullptr;
    bool ok = SUCCEEDED(
        m_Device->CreateTexture(UINT(width), UINT(height), 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr));
    D3DLOCKED_RECT locked{};
    if (ok && SUCCEEDED(t->LockRect(0, &locked, nullptr, 0)))
    {
        for (int y = 0; y < height; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                        &argb[size_t(y) * size_t(width)], size_t(width) * 4);
        t->UnlockRect(0);
    }
    else
        ok = false;
    if (ok)
    {
        WeTexture texture;
        texture.m_Texture = t;
        texture.m_Kind = WeTexture::Kind2D;
        texture.m_Format = D3DFMT_A8R8G8B8;
        texture.m_Width = width;
        texture.m_Height = height;
        texture.m_Depth = 1;
        texture.m_SingleLevel = 1;
        texture.m_Valid = 1;
        ok = tree.Create(WeString(name.c_str()), TextureFileType, true) && tree.GetStream() != nullptr &&
             texture.WriteToStream(*tree.GetStream());
        ok = tree.EndCreate() && ok;
        // The record does not own the device texture; it is released below.
        texture.m_Texture = nullptr;
    }
    if (t != nullptr)
        t->Release();
    return ok;
}
