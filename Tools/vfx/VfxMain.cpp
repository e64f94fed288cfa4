// wevfx: the particle and light asset writer, and a headless look at particle systems and maps.
//
//   wevfx particles <Assets>/<Package>/<Folder>/<File>.particles <Assets folder> <generated folder>
//   wevfx light     <Assets>/<Package>/<Folder>/<File>.light     <Assets folder> <generated folder>
//   wevfx sim NAME [--seconds S] [--dt D] [--seed N] [--expire-at T]
//   wevfx map NAME [--seconds S]
//   wevfx show NAME
//
// The writers turn a text source (Tools/vfx/README.md) into the member <Package>.<Folder>.<File> of the
// generated tree through the engine's own SaveProperties; a bad source prints file:line: reason, writes
// nothing and exits 1. The rest read the pack beside the executable (and Maps/) on the recording backend.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePortal.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Tools/map_common/MapWorld.h"
#include "Tools/vfx/VfxFields.h"

namespace fs = std::filesystem;

namespace
{

constexpr int32_t LightType = 14;

int Usage()
{
    std::fprintf(stderr, "usage: wevfx particles|light <source> <Assets folder> <generated folder>\n"
                         "       wevfx sim NAME [--seconds S] [--dt D] [--seed N] [--expire-at T]\n"
                         "       wevfx map NAME [--seconds S]\n"
                         "       wevfx show NAME\n");
    return 2;
}

bool ParseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(out);
}

int Write(bool particles, const fs::path& source, const fs::path& assets, const fs::path& generated)
{
    std::error_code ec;
    const fs::path relative = fs::relative(source, assets, ec);
    std::vector<std::string> parts;
    for (const fs::path& part : relative)
        parts.push_back(part.string());
    const std::string extension = particles ? ".particles" : ".light";
    if (ec || parts.size() != 3 || source.extension() != extension)
    {
        std::fprintf(stderr, "%s:0: not a source: expected <Assets>/<Package>/<Folder>/<File>%s\n",
                     source.string().c_str(), extension.c_str());
        return 1;
    }
    std::ifstream in(source, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "%s:0: cannot be read\n", source.string().c_str());
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string name = parts[0] + "." + parts[1] + "." + source.stem().string();

    // Built in a folder of its own and moved into place once whole: nothing half written is left.
    const fs::path building = generated / (".wevfx-" + std::to_string(getpid()));
    fs::remove_all(building, ec);
    fs::create_directories(building, ec);
    std::string error;
    bool ok = true;
    {
        WeFileSystem tree;
        tree.SetRoot(building.string().c_str());
        if (particles)
        {
            WeNewParticleSystem system;
            ok = VfxFields::ParseParticleSource(text, source.string(), system, error);
            if (ok && (ok = tree.Create(name.c_str(), WeNewParticleSystem::PackageType, true)))
            {
                system.SaveProperties(*tree.GetStream());
                ok = tree.EndCreate();
            }
        }
        else
        {
            WeLight light;
            ok = VfxFields::ParseLightSource(text, source.string(), light, error);
            if (ok && (ok = tree.Create(name.c_str(), LightType, true)))
            {
                light.SaveProperties(*tree.GetStream());
                ok = tree.EndCreate();
            }
        }
        if (!ok && error.empty())
            error = source.string() + ":0: the member cannot be written";
    }
    const fs::path made = building / parts[0] / parts[1] / (source.stem().string() + extension);
    const fs::path target = generated / parts[0] / parts[1] / (source.stem().string() + extension);
    if (ok)
    {
        fs::create_directories(target.parent_path(), ec);
        fs::rename(made, target, ec);
        if (ec)
        {
            error = source.string() + ":0: cannot move the member into " + target.string();
            ok = false;
        }
    }
    fs::remove_all(building, ec);
    if (!ok)
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

// The recording device, so that materials and textures load as they would in the game.
struct RecordingDevice
{
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

    bool Open()
    {
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.logging = false;
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d)
            return false;
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
            return false;
        return g_RenderDevice.AdoptDevice(device) && g_TextureManager.Init() && g_MaterialManager.Init();
    }
    ~RecordingDevice()
    {
        g_MaterialManager.ReleaseAll(true);
        g_ShaderManager.ReleaseAll();
        g_TextureManager.ReleaseAll(true);
        g_RenderDevice.Shutdown();
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
    }
};

struct Options
{
    double seconds = -1.0;
    double dt = 1.0 / 60.0;
    double seed = 1.0;
    double expireAt = -1.0;
};

bool ReadOptions(int argc, char** argv, int first, Options& o)
{
    for (int i = first; i < argc; i += 2)
    {
        double value = 0.0;
        if (i + 1 >= argc || !ParseNumber(argv[i + 1], value))
            return false;
        if (std::strcmp(argv[i], "--seconds") == 0 && value >= 0.0)
            o.seconds = value;
        else if (std::strcmp(argv[i], "--dt") == 0 && value > 0.0 && value <= 1.0)
            o.dt = value;
        else if (std::strcmp(argv[i], "--seed") == 0 && value >= 0.0 && value <= 4294967295.0)
            o.seed = value;
        else if (std::strcmp(argv[i], "--expire-at") == 0 && value >= 0.0)
            o.expireAt = value;
        else
            return false;
    }
    return true;
}

int Simulate(const char* name, const Options& o)
{
    RecordingDevice device;
    if (!device.Open())
    {
        std::fprintf(stderr, "wevfx: no recording device\n");
        return 1;
    }
    InitRandomTable(static_cast<uint32_t>(o.seed));
    const double seconds = o.seconds >= 0.0 ? o.seconds : 5.0;
    int result = 0;
    {
        WeWorld world;
        WeNewParticleSystem* system = new WeNewParticleSystem();
        if (!system->LoadDefinition(WeVirtualFileSystem::Instance(), name))
        {
            delete system;
            std::fprintf(stderr, "wevfx: no particle system %s in the pack\n", name);
            return 1;
        }
        world.AddActor(system);
        g_Timer.m_FrameDeltaF = static_cast<float>(o.dt);
        const long ticks = std::lround(seconds / o.dt);
        const long expireTick = o.expireAt >= 0.0 ? std::lround(o.expireAt / o.dt) : -1;
        long nextSecond = 1;
        bool deleted = false;
        for (long tick = 1; tick <= ticks && !deleted; ++tick)
        {
            if (tick - 1 == expireTick)
                system->Expire();
            world.Tick();
            // The system is the world's only actor: an empty world means it went (and its pointer with it).
            if (world.GetActors().Count() == 0)
            {
                std::printf("deleted at t=%.2f\n", static_cast<double>(tick) * o.dt);
                deleted = true;
                break;
            }
            // As a visible system is updated by its draw.
            system->Update();
            const double t = static_cast<double>(tick) * o.dt;
            if (t + 1e-9 >= static_cast<double>(nextSecond))
            {
                std::printf("t=%.2f live=%d\n", t, system->GetLiveCount());
                ++nextSecond;
            }
        }
        if (!deleted)
            std::printf("alive live=%d\n", system->GetLiveCount());
        g_Timer.m_FrameDeltaF = 0.0f;
    }
    return result;
}

int Map(const char* name, const Options& o)
{
    RecordingDevice device;
    if (!device.Open())
    {
        std::fprintf(stderr, "wevfx: no recording device\n");
        return 1;
    }
    InitRandomTable(1u);
    MapWorld world;
    if (!world.BeginLoad(name))
    {
        std::fprintf(stderr, "wevfx: no map %s\n", world.GetMapPath(name).c_str());
        return 1;
    }
    for (int i = 0; i < 1000000 && !world.m_Loaded; ++i)
        if (!world.LoadStep())
            break;
    if (!world.m_Loaded)
    {
        std::fprintf(stderr, "wevfx: map %s did not load\n", name);
        return 1;
    }
    g_Timer.m_FrameDeltaF = static_cast<float>(o.dt);
    const double seconds = o.seconds >= 0.0 ? o.seconds : 1.0;
    const long ticks = std::lround(seconds / o.dt);
    std::vector<WeActor*> actors;
    for (long tick = 0; tick < ticks; ++tick)
    {
        world.Tick();
        actors.clear();
        for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
            actors.push_back(e->value);
        for (WeActor* actor : actors)
            if (auto* system = dynamic_cast<WeNewParticleSystem*>(actor))
                system->Update();
    }
    // The camera stands at the first path node, where a race starts.
    D3DXVECTOR3 eye(0.0f, 0.0f, 0.0f);
    if (world.m_FirstPathNode)
        eye = world.m_FirstPathNode->GetWorldPosition();
    world.UpdatePortalVisibility(eye);
    actors.clear();
    for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
        actors.push_back(e->value);
    for (WeActor* actor : actors)
    {
        if (dynamic_cast<WeLight*>(actor))
            std::printf("light %s\n", actor->GetName().c_str());
        else if (dynamic_cast<WeNewParticleSystem*>(actor))
            std::printf("particles %s\n", actor->GetName().c_str());
        else if (auto* portal = dynamic_cast<WePortal*>(actor))
            std::printf("portal %s visible=%d\n", actor->GetName().c_str(), portal->m_Visible ? 1 : 0);
    }
    g_Timer.m_FrameDeltaF = 0.0f;
    return 0;
}

int Show(const char* name)
{
    WeVirtualFileSystem* files = WeVirtualFileSystem::Instance();
    if (files->Exists(name, WeNewParticleSystem::PackageType))
    {
        WeNewParticleSystem system;
        if (!files->Open(name, WeNewParticleSystem::PackageType))
            return 1;
        const bool ok = system.LoadProperties(*files->GetStream());
        files->Close();
        if (!ok)
        {
            std::fprintf(stderr, "wevfx: %s: damaged particle system\n", name);
            return 1;
        }
        std::fputs(VfxFields::DescribeSystem(system).c_str(), stdout);
        return 0;
    }
    if (files->Exists(name, LightType))
    {
        WeLight light;
        if (!files->Open(name, LightType))
            return 1;
        const bool ok = light.LoadProperties(*files->GetStream());
        files->Close();
        if (!ok)
        {
            std::fprintf(stderr, "wevfx: %s: damaged light\n", name);
            return 1;
        }
        std::fputs(VfxFields::DescribeLight(light).c_str(), stdout);
        return 0;
    }
    std::fprintf(stderr, "wevfx: no particle system or light %s in the pack\n", name);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    if ((command == "particles" || command == "light") && argc == 5)
        return Write(command == "particles", argv[2], argv[3], argv[4]);
    Options options;
    if (command == "sim" && ReadOptions(argc, argv, 3, options))
        return Simulate(argv[2], options);
    if (command == "map" && ReadOptions(argc, argv, 3, options))
        return Map(argv[2], options);
    if (command == "show" && argc == 3)
        return Show(argv[2]);
    return Usage();
}
