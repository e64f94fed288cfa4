// wecontent: builds the staged package tree from the hand-written packages and the generated assets.
//
//   wecontent stage <Content/Packages> <Content/Assets> <staged Packages folder>
//
// Every source Content/Assets/<Package>/<Folder>/<File>.<kind> becomes the member <Package>.<Folder>.<File>:
// ".fx" effects (includes expanded, checked by the effect compiler) as compiled effects, ".tex" texture
// descriptions as texture records, both through the engine's own writers over the recording backend, so
// no GL is needed. ".fxh" files are include material. The tree is built beside the old one and swapped in
// only when every source succeeded, so a bad source leaves nothing half written; it stops the build with
// its file, line and reason.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Tools/content/ContentEffectWriter.h"
#include "Tools/content/ContentTextureWriter.h"

namespace fs = std::filesystem;

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: wecontent stage <Packages folder> <Assets folder> <staged Packages folder>\n");
    return 2;
}

// The recording device the writers draw into; nothing reaches a GPU.
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

int Stage(const fs::path& packages, const fs::path& assets, const fs::path& staged)
{
    std::error_code ec;
    fs::path building = staged;
    building += ".new";
    fs::remove_all(building, ec);
    fs::create_directories(building, ec);
    if (fs::is_directory(packages))
        fs::copy(packages, building, fs::copy_options::recursive, ec);
    if (ec)
    {
        std::fprintf(stderr, "wecontent: cannot copy %s: %s\n", packages.string().c_str(), ec.message().c_str());
        fs::remove_all(building, ec);
        return 1;
    }

    // Sources in name order, so the same tree always gives the same output.
    std::vector<fs::path> sources;
    if (fs::is_directory(assets))
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(assets))
            if (entry.is_regular_file())
                sources.push_back(entry.path());
    std::sort(sources.begin(), sources.end());

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    if (!OpenDevice(&d3d, &device))
    {
        std::fprintf(stderr, "wecontent: no recording device\n");
        fs::remove_all(building, ec);
        return 1;
    }
    WeFileSystem tree;
    tree.SetRoot(building.string().c_str());
    int status = 0;
    for (const fs::path& source : sources)
    {
        fs::path relative = fs::relative(source, assets);
        std::string extension = source.extension().string();
        if (extension == ".fxh")
            continue;
        std::vector<std::string> parts;
        for (const fs::path& part : relative)
            parts.push_back(part.string());
        ContentError error;
        if (parts.size() != 3 || (extension != ".fx" && extension != ".tex"))
        {
            error = {source.string(), 0, "not a source: expected <Package>/<Folder>/<File>.fx or .tex"};
        }
        else
        {
            std::string name = parts[0] + "." + parts[1] + "." + source.stem().string();
            bool ok = extension == ".fx"
                          ? ContentEffectWriter().Write(source.string(), assets.string(), name, tree, &error)
                          : ContentTextureWriter().Write(source.string(), name, tree, &error);
            if (ok)
                continue;
        }
        std::fprintf(stderr, "wecontent: %s\n", error.Text().c_str());
        status = 1;
        break;
    }
    g_ShaderManager.ReleaseAll();
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    device->Release();
    d3d->Release();
    if (status != 0)
    {
        fs::remove_all(building, ec);
        return status;
    }
    fs::remove_all(staged, ec);
    fs::rename(building, staged, ec);
    if (ec)
    {
        std::fprintf(stderr, "wecontent: cannot move the staged tree into place: %s\n", ec.message().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "stage") == 0)
        return Stage(argv[2], argv[3], argv[4]);
    return Usage();
}
