#include "Tools/demo_common/DemoDevice.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstring>

namespace
{

std::vector<uint32_t> ReadBackBuffer(IDirect3DDevice9* device, UINT width, UINT height)
{
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
        SUCCEEDED(
            device->CreateOffscreenPlainSurface(width, height, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(back, copy)))
    {
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        {
            pixels.resize(size_t(width) * height);
            for (UINT y = 0; y < height; ++y)
                std::memcpy(&pixels[y * width], static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, width * 4);
            copy->UnlockRect();
        }
    }
    if (copy)
        copy->Release();
    if (back)
        back->Release();
    return pixels;
}

struct PngFile
{
    FILE* file;
    bool written;
};

void AppendToPng(void* context, void* data, int size)
{
    auto* png = static_cast<PngFile*>(context);
    if (std::fwrite(data, 1, size_t(size), png->file) != size_t(size))
        png->written = false;
}

// An RGB PNG; a short write or a failed close (a full disk) counts as failure too.
bool WritePng(const char* path, UINT width, UINT height, const std::vector<uint32_t>& argb)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (size_t i = 0; i < argb.size(); ++i)
    {
        rgb[i * 3 + 0] = uint8_t(argb[i] >> 16);
        rgb[i * 3 + 1] = uint8_t(argb[i] >> 8);
        rgb[i * 3 + 2] = uint8_t(argb[i]);
    }
    PngFile png{std::fopen(path, "wb"), true};
    if (!png.file)
        return false;
    const bool encoded =
        stbi_write_png_to_func(AppendToPng, &png, int(width), int(height), 3, rgb.data(), int(width) * 3) != 0;
    const bool closed = std::fclose(png.file) == 0;
    return encoded && png.written && closed;
}

}  // namespace

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
            std::vector<uint32_t> pixels = ReadBackBuffer(m_Device, m_Options.width, m_Options.height);
            if (check && !check(pixels))
                status = 1;
            if (pixels.empty() || !WritePng(m_Options.pngPath, m_Options.width, m_Options.height, pixels))
            {
                std::fprintf(stderr, "%s: cannot write %s\n", m_Options.name, m_Options.pngPath);
                status = 1;
            }
        }
        m_Device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    return status;
}
