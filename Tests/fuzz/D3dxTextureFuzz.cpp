// Feeds arbitrary files to the D3DX texture loaders on the recording device: the image information, then a
// 2-D, cube and volume texture each from the file as it is and at a small size in another format. The first
// byte picks the formats and sizes, the rest is the file.
#include <cstdint>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tests/fuzz/FuzzDevice.h"

namespace
{
const D3DFORMAT Formats[] = {D3DFMT_FROM_FILE, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_DXT1,
                             D3DFMT_DXT5,      D3DFMT_R5G6B5,   D3DFMT_L8,       D3DFMT_A16B16G16R16F};

void Release(IUnknown* object)
{
    if (object)
        object->Release();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    IDirect3DDevice9* device = FuzzRecordingDevice();
    const uint8_t pick = data[0];
    const void* file = data + 1;
    const UINT bytes = UINT(size - 1);
    D3DXIMAGE_INFO info{};
    D3DXGetImageInfoFromFileInMemory(file, bytes, &info);
    const D3DFORMAT format = Formats[pick % 8];
    const UINT small = 1 + (pick >> 3) % 8;
    for (const bool exact : {false, true})
    {
        const UINT width = exact ? small : D3DX_DEFAULT;
        IDirect3DTexture9* texture = nullptr;
        D3DXCreateTextureFromFileInMemoryEx(device, file, bytes, width, width, exact ? 2 : D3DX_DEFAULT, 0,
                                            exact ? format : D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                            D3DX_DEFAULT, 0, &info, nullptr, &texture);
        Release(texture);
        IDirect3DCubeTexture9* cube = nullptr;
        D3DXCreateCubeTextureFromFileInMemoryEx(device, file, bytes, width, D3DX_DEFAULT, 0,
                                                exact ? format : D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                D3DX_DEFAULT, 0, &info, nullptr, &cube);
        Release(cube);
        IDirect3DVolumeTexture9* volume = nullptr;
        D3DXCreateVolumeTextureFromFileInMemoryEx(device, file, bytes, width, width, exact ? 2 : D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, exact ? format : D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &volume);
        Release(volume);
    }
    return 0;
}
