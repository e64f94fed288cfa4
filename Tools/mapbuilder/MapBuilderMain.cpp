// wemap build <description> <maps folder> <packages folder> [definitions folder]: writes one map from its text
// description. Particle systems placed from shipped definitions read them from the definitions folder (default:
// the packages folder).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapWriter.h"

namespace
{

// The mesh writer computes tangents on a device mesh: a recording device serves, nothing reaches a GPU.
bool OpenDevice(IDirect3D9** d3d, IDirect3DDevice9** device)
{
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    *d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (*d3d == nullptr)
        return false;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 64;
    pp.BackBufferHeight = 64;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    if (FAILED((*d3d)->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, device)))
        return false;
    return g_RenderDevice.AdoptDevice(*device);
}

}  // namespace

int main(int argc, char** argv)
{
    if ((argc != 5 && argc != 6) || std::string(argv[1]) != "build")
    {
        std::fprintf(stderr, "usage: wemap build <description> <maps folder> <packages folder> [definitions folder]\n");
        return 2;
    }
    const std::string source = argv[2];
    std::ifstream in(source, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "%s:0: cannot be read\n", source.c_str());
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MapDescription map;
    std::string error;
    if (!ParseMapDescription(text, source, map, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    map.packagesFolder = argc == 6 ? argv[5] : argv[4];
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    if (!OpenDevice(&d3d, &device))
    {
        std::fprintf(stderr, "wemap: no recording device\n");
        return 1;
    }
    std::string written;
    const bool ok = WriteMap(map, source, argv[3], argv[4], written, error);
    g_ShaderManager.ReleaseAll();
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    device->Release();
    d3d->Release();
    if (!ok)
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::fputs(written.c_str(), stdout);
    return 0;
}
