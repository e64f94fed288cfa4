#include "Tools/demo_common/DemoDevice.h"

#include "Tools/demo_common/DemoFrame.h"

#include <cstdio>
#include <cstring>

DemoDevice::~DemoDevice()
{
    if (m_Device)
        m_Device->Release();
    if (m_D3d)
        m_D3d->Release();
}

bool DemoDevice::open()
{
    GfxShowOwnWindow(true);
    m_D3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_D3d)
    {
        std::fprintf(stderr, "%s: no OpenGL 3.3 with clip control\n", m_Options.name);
        return false;
    }
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = m_Options.width;
    pp.BackBufferHeight = m_Options.height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (FAILED(m_D3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_Device)))
    {
        std::fprintf(stderr, "%s: cannot create the device\n", m_Options.name);
        m_Device = nullptr;
        return false;
    }
    return true;
}

int DemoDevice::run(const std::function<bool(int frame)>& draw,
                    const std::function<bool(const std::vector<uint32_t>& pixels)>& check)
{
    int status = 0;
    for (int frame = 0; frame < m_Options.frames; ++frame)
    {
        if (!draw(frame))
            status = 1;
        if (frame == m_Options.frames - 1 && m_Options.pngPath)
        {
            std::vector<uint32_t> pixels = DemoReadBackBuffer(m_Device, m_Options.width, m_Options.height);
            if (check && !check(pixels))
                status = 1;
            if (pixels.empty() || !DemoWritePng(m_Options.pngPath, m_Options.width, m_Options.height, pixels))
            {
                std::fprintf(stderr, "%s: cannot write %s\n", m_Options.name, m_Options.pngPath);
                status = 1;
            }
        }
        m_Device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    return status;
}
