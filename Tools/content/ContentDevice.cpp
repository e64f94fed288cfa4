#include "Tools/content/ContentDevice.h"

#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"

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
