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
    if (device_)
        device_->Release();
    if (d3d_)
        d3d_->Release();
}

bool DemoDevice::open()
{
    GfxShowOwnWindow(true);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d_)
    {
        std::fprintf(stderr, "%s: no OpenGL 3.3 with clip control\n", options_.name);
        return false;
    }
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = options_.width;
    pp.BackBufferHeight = options_.height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (FAILED(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device_)))
    {
        std::fprintf(stderr, "%s: cannot create the device\n", options_.name);
        device_ = nullptr;
        return false;
    }
    return true;
}

int DemoDevice::run(const std::function<bool(int frame)>& draw,
                    const std::function<bool(const std::vector<uint32_t>& pixels)>& check)
{
    int status = 0;
    for (int frame = 0; frame < options_.frames; ++frame)
    {
        if (!draw(frame))
            status = 1;
        if (frame == options_.frames - 1 && options_.pngPath)
        {
            std::vector<uint32_t> pixels = ReadBackBuffer(device_, options_.width, options_.height);
            if (check && !check(pixels))
                status = 1;
            if (pixels.empty() || !WritePng(options_.pngPath, options_.width, options_.height, pixels))
            {
                std::fprintf(stderr, "%s: cannot write %s\n", options_.name, options_.pngPath);
                status = 1;
            }
        }
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }
    return status;
}
