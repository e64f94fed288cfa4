#include "Tools/demo_common/DemoFrame.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstring>

namespace
{

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

}  // namespace

std::vector<uint32_t> DemoReadBackBuffer(IDirect3DDevice9* device, UINT width, UINT height)
{
    std::vector<uint32_t> pixels;
    if (device == nullptr)
        return pixels;
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

bool DemoWritePng(const char* path, UINT width, UINT height, const std::vector<uint32_t>& argb)
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

bool DemoNearPixel(uint32_t pixel, uint32_t expected)
{
    for (int shift = 0; shift < 24; shift += 8)
    {
        int a = int((pixel >> shift) & 0xFF), b = int((expected >> shift) & 0xFF);
        if (a - b > 3 || b - a > 3)
            return false;
    }
    return true;
}
