// mapview [--game] --map NAME [--png FILE] [--size WxH] [--node ID] [--frames N]
//         [--fly ID --speed M/S --seconds S --rate FPS --png-dir DIR]
//
// --fly flies the camera along the path from node ID ("first": the path's first node) at the given speed, as engine_demo flies, and writes one
// PNG per frame of the movie rate into DIR ("frame-00000.png" on): the footage of the intro movie.
//
// --game loads through the game's map class (start locations, pickups, the header applied) and adds the
// header's and the race's lines to the summary; a damaged header ends with a message and exit 1.
//
// Creates the render device (GL; off screen under SDL_VIDEODRIVER=offscreen) and the physics scene, loads
// Maps/<NAME>.map step by step through the start-location world printing "progress <p>", prints a summary
// of the track, ticks the world with physics for N frames and renders one frame through the world's
// render step from the chosen path node (the eye above it, looking along its forward row). The frame goes
// to the PNG. Exits 1 when the frame holds nothing but the clear colour.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CStartLocation.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoOptions.h"
#include "Tools/demo_common/DemoRenderWindow.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapWorld.h"

namespace
{

WeWorld* g_World = nullptr;
WeCamera* g_Camera = nullptr;

void RenderFrame()
{
    if (g_World && g_Camera)
        g_World->Render(g_Camera);
}

WePathNode* ChooseNode(WeWorld& world, const char* idText)
{
    if (idText == nullptr)
        return world.m_FirstPathNode;
    char* end = nullptr;
    const long id = std::strtol(idText, &end, 10);
    if (end == idText || *end != '\0')
        return nullptr;
    return world.FindPathNodeById(int32_t(id));
}

void PrintSummary(WeWorld& world, double loadMs)
{
    int32_t nodes = 0, forks = 0, jumps = 0, starts = 0;
    float branchWeight = 0.0f;
    WeHashTable<WeActor*>& all = world.GetActors();
    for (auto* e = all.First(); e != nullptr; e = all.Next())
    {
        if (e->value->m_Type == MapStartLocation::TypeCode)
            ++starts;
        WePathNode* node = dynamic_cast<WePathNode*>(e->value);
        if (!node)
            continue;
        ++nodes;
        if (node->m_Kind == WePathNode::Fork)
        {
            ++forks;
            branchWeight = node->m_BranchWeight;
        }
        else if (node->m_Kind == WePathNode::JumpStart)
            ++jumps;
    }
    // A closed loop: following the path from the first node comes back to it.
    bool closed = false;
    if (WePathNode* first = world.m_FirstPathNode)
    {
        WePathNode* n = first->m_Next;
        for (int32_t i = 0; n != nullptr && i <= nodes; ++i, n = n->m_Next)
            if (n == first)
            {
                closed = true;
                break;
            }
    }
    std::printf("actors %d\n", all.Count());
    std::printf("path nodes %d\n", nodes);
    std::printf("track length %.1f\n", double(world.m_TrackLength));
    std::printf("closed loop %s\n", closed ? "yes" : "no");
    std::printf("forks %d branch weight %.3f\n", forks, double(branchWeight));
    std::printf("jumps %d\n", jumps);
    std::printf("start locations %d\n", starts);
    std::printf("load time %.0f ms\n", loadMs);
}

// The game's lines: the header, the start grid, the pickups and the checkpoints.
void PrintGameSummary(CGameMap& map, double slowestMs, int32_t slowestType)
{
    const CMapHeader& h = map.m_Header;
    std::printf("header version %d\n", h.m_Version);
    std::string name(h.m_DisplayName.c_str());
    std::replace(name.begin(), name.end(), '\n', ' ');
    std::printf("display name %s\n", name.c_str());
    std::printf("preview %s\n", h.m_PreviewTexture.c_str());
    std::printf("loading %s\n", h.m_LoadingTexture.c_str());
    int32_t starts = 0, lowest = 0, highest = 0, pickups = 0, random = 0, checkpoints = 0;
    std::set<int32_t> kinds;
    WeHashTable<WeActor*>& all = map.GetActors();
    for (auto* e = all.First(); e != nullptr; e = all.Next())
    {
        if (CStartLocation* start = dynamic_cast<CStartLocation*>(e->value))
        {
            lowest = starts == 0 ? start->m_StartIndex : std::min(lowest, start->m_StartIndex);
            highest = starts == 0 ? start->m_StartIndex : std::max(highest, start->m_StartIndex);
            ++starts;
        }
        else if (CPickup* pickup = dynamic_cast<CPickup*>(e->value))
        {
            ++pickups;
            kinds.insert(pickup->m_Type);
            random += pickup->m_Random ? 1 : 0;
        }
        else if (WePathNode* node = dynamic_cast<WePathNode*>(e->value))
            checkpoints += PathNodeFields::IsCheckpoint(*node) ? 1 : 0;
    }
    std::printf("start locations %d (indices %d-%d)\n", starts, lowest, highest);
    std::printf("pickups %d (%d kinds, %d random)\n", pickups, int(kinds.size()), random);
    std::printf("checkpoints %d\n", checkpoints);
    std::printf("slowest record %.2f ms (type %d)\n", slowestMs, slowestType);
}

// The path from a node along its links, once round the loop: positions, up rows and distances from the start.
struct FlightPath
{
    std::vector<D3DXVECTOR3> points;
    std::vector<D3DXVECTOR3> ups;
    std::vector<float> along;
    float length = 0.0f;

    void Build(WePathNode* start, int32_t limit)
    {
        for (WePathNode* node = start; node != nullptr && int32_t(points.size()) < limit; node = node->m_Next)
        {
            const D3DXVECTOR3 p = node->GetWorldPosition();
            if (!points.empty())
            {
                const D3DXVECTOR3 d = p - points.back();
                length += D3DXVec3Length(&d);
            }
            const D3DXMATRIX& m = node->GetWorldMatrix();
            points.push_back(p);
            ups.push_back(D3DXVECTOR3(m._21, m._22, m._23));
            along.push_back(length);
            if (node->m_Next == start)
            {
                const D3DXVECTOR3 d = start->GetWorldPosition() - p;
                length += D3DXVec3Length(&d);
                break;
            }
        }
    }
    // The point and up row at a distance along the loop.
    void At(float distance, D3DXVECTOR3& point, D3DXVECTOR3& up) const
    {
        const size_t n = points.size();
        float d = length > 0.0f ? std::fmod(distance, length) : 0.0f;
        if (d < 0.0f)
            d += length;
        size_t i = 0;
        while (i + 1 < n && along[i + 1] <= d)
            ++i;
        const size_t j = (i + 1) % n;
        const float span = (j == 0 ? length : along[j]) - along[i];
        const float t = span > 0.0f ? (d - along[i]) / span : 0.0f;
        point = points[i] + (points[j] - points[i]) * t;
        up = ups[i] + (ups[j] - ups[i]) * t;
        D3DXVec3Normalize(&up, &up);
    }
};

struct FlyOptions
{
    const char* node = nullptr;
    float speed = 60.0f;
    float seconds = 6.0f;
    int rate = 25;
    const char* pngDir = nullptr;
};

bool ParsePositive(const char* text, float low, float high, float& out)
{
    if (text == nullptr)
        return true;
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(value >= low && value <= high))
        return false;
    out = value;
    return true;
}

// Renders the flight frame by frame into the folder; false when a frame could not be read or written.
bool Fly(WeWorld& world, WePathNode* start, const FlyOptions& fly)
{
    FlightPath path;
    path.Build(start, world.GetPathNodes().Count() + 1);
    if (path.points.size() < 2)
    {
        std::fprintf(stderr, "mapview: the path from node %d is too short to fly\n", start->m_Id);
        return false;
    }
    const int frames = int(fly.seconds * float(fly.rate) + 0.5f);
    WeCamera camera;
    camera.SetProjection(1.0f, 0.5f, 2000.0f, 0.0f);
    g_Camera = &camera;
    g_RenderDevice.m_RenderCallback = RenderFrame;
    const UINT w = UINT(g_ScreenSize.width), h = UINT(g_ScreenSize.height);
    for (int f = 0; f < frames; ++f)
    {
        const float distance = fly.speed * float(f) / float(fly.rate);
        D3DXVECTOR3 point, up, ahead, aheadUp;
        path.At(distance, point, up);
        path.At(distance + 30.0f, ahead, aheadUp);
        camera.m_Position = point + up * 4.0f;
        D3DXVECTOR3 direction = ahead + aheadUp * 2.5f - camera.m_Position;
        D3DXVec3Normalize(&direction, &direction);
        camera.m_Direction = direction;
        camera.m_Up = up;
        camera.Update();
        g_Timer.m_FrameDeltaF = 1.0f / float(fly.rate);
        world.Tick();
        g_RenderDevice.Render();
        const std::vector<uint32_t> frame = DemoReadBackBuffer(g_RenderDevice.GetDevice(), w, h);
        char name[64];
        std::snprintf(name, sizeof(name), "/frame-%05d.png", f);
        const std::string file = std::string(fly.pngDir) + name;
        if (frame.empty() || !DemoWritePng(file.c_str(), w, h, frame))
        {
            std::fprintf(stderr, "mapview: cannot write %s\n", file.c_str());
            g_Camera = nullptr;
            return false;
        }
    }
    g_Camera = nullptr;
    std::printf("flight %d frames at %d/s, %.1f m of %.1f m\n", frames, fly.rate,
                double(fly.speed * float(frames) / float(fly.rate)), double(path.length));
    return true;
}

void ShutdownRendering()
{
    g_RenderQueue.FreeItemPool();
    g_RenderDevice.m_RenderCallback = nullptr;
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
}

}  // namespace

int main(int argc, char** argv)
{
    const char* mapName = nullptr;
    const char* nodeId = nullptr;
    // --game is a switch: taken out before the options that carry values are parsed.
    bool game = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
    {
        if (i > 0 && std::strcmp(argv[i], "--game") == 0)
            game = true;
        else
            args.push_back(argv[i]);
    }
    argc = int(args.size());
    argv = args.data();
    DemoOptions options;
    options.name = "mapview";
    options.usage = "mapview [--game] --map NAME [--png FILE] [--size WxH] [--node ID] [--frames N] "
                    "[--fly ID --speed M/S --seconds S --rate FPS --png-dir DIR]";
    FlyOptions fly;
    const char* speed = nullptr;
    const char* seconds = nullptr;
    const char* rate = nullptr;
    float rateValue = 25.0f;
    if (!options.parse(argc, argv,
                       {{"--map", &mapName},
                        {"--node", &nodeId},
                        {"--fly", &fly.node},
                        {"--speed", &speed},
                        {"--seconds", &seconds},
                        {"--rate", &rate},
                        {"--png-dir", &fly.pngDir}}) ||
        mapName == nullptr || !ParsePositive(speed, 0.1f, 1000.0f, fly.speed) ||
        !ParsePositive(seconds, 0.04f, 600.0f, fly.seconds) || !ParsePositive(rate, 1.0f, 120.0f, rateValue) ||
        ((fly.node == nullptr) != (fly.pngDir == nullptr)))
    {
        std::fprintf(stderr, "usage: %s\n", options.usage);
        return 2;
    }
    fly.rate = int(rateValue);
    // "first" flies from the start of the path.
    if (fly.node != nullptr)
        nodeId = std::strcmp(fly.node, "first") == 0 ? nullptr : fly.node;
    const int frames = options.frames < 0 ? 1 : options.frames;

    HWND window = OpenDemoRenderWindow(options, "MapView");
    if (window == nullptr)
        return 1;
    // The full material effect, as the game's loading screen switches to it.
    if (WeShader* full = g_ShaderManager.GetShader("Shaders.Default.Default", false, false))
        g_ShaderManager.SetDefaultShader(full);
    if (!g_Physics.Init(D3DXVECTOR3(0.0f, -9.81f, 0.0f)))
    {
        std::fprintf(stderr, "mapview: the physics scene cannot be created\n");
        ShutdownRendering();
        DestroyWindow(window);
        return 1;
    }

    int status = 0;
    {
        std::unique_ptr<WeWorld> held;
        CGameMap* gameMap = nullptr;
        if (game)
        {
            // The display name and description are translations.
            g_Localization.Load();
            gameMap = new CGameMap();
            held.reset(gameMap);
        }
        else
            held = std::make_unique<MapWorld>();
        WeWorld& world = *held;
        g_World = &world;
        const auto began = std::chrono::steady_clock::now();
        bool loaded = world.BeginLoad(mapName);
        double slowestMs = 0.0;
        int32_t slowestType = 0;
        const bool damaged = loaded && gameMap != nullptr && gameMap->m_Header.m_Damaged;
        while (loaded && !damaged && !world.m_Loaded)
        {
            // The next record's type code, read ahead and put back.
            int32_t type = 0;
            if (world.m_MapStream != nullptr)
            {
                const int64_t at = world.m_MapStream->Tell();
                type = world.m_MapStream->ReadInt32();
                world.m_MapStream->Seek(at, 0);
            }
            const auto stepBegan = std::chrono::steady_clock::now();
            loaded = world.LoadStep();
            const double stepMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - stepBegan).count();
            if (stepMs > slowestMs)
            {
                slowestMs = stepMs;
                slowestType = type;
            }
            // A flight is a build step: its log stays short.
            if (fly.node == nullptr)
                std::printf("progress %.3f\n", double(world.m_LoadProgress));
        }
        const double loadMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
        WePathNode* node = loaded && !damaged ? ChooseNode(world, nodeId) : nullptr;
        if (damaged)
        {
            std::fprintf(stderr, "mapview: Maps/%s.map has a damaged header\n", mapName);
            status = 1;
        }
        else if (!loaded)
        {
            std::fprintf(stderr, "mapview: Maps/%s.map cannot be loaded\n", mapName);
            status = 1;
        }
        else if (node == nullptr)
        {
            std::fprintf(stderr, "mapview: no path node %s\n", nodeId ? nodeId : "to look from");
            status = 1;
        }
        if (status == 0)
        {
            PrintSummary(world, loadMs);
            if (gameMap != nullptr)
                PrintGameSummary(*gameMap, slowestMs, slowestType);
        }
        if (status == 0 && fly.node != nullptr)
        {
            // Footage for a movie: no film grain, which the encoder would spend its bits on.
            g_RenderDevice.m_FilmGrainOn = 0;
            g_RenderDevice.m_ClearColor = 0xFF0B1020u;
            const float ambient[4] = {0.45f, 0.45f, 0.5f, 1.0f};
            g_RenderDevice.SetAmbientColor(ambient);
            if (gameMap != nullptr)
                gameMap->m_Header.Apply();
            if (!Fly(world, node, fly))
                status = 1;
        }
        else if (status == 0)
        {
            for (int i = 0; i < frames; ++i)
            {
                g_Physics.Simulate();
                g_Physics.FetchResults();
                g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
                world.Tick();
            }
            WeCamera camera;
            const D3DXMATRIX& m = node->GetWorldMatrix();
            camera.m_Up = D3DXVECTOR3(m._21, m._22, m._23);
            camera.m_Direction = D3DXVECTOR3(m._31, m._32, m._33);
            camera.m_Position = node->GetWorldPosition() + camera.m_Up * 3.0f - camera.m_Direction * 6.0f;
            camera.SetProjection(1.2f, 0.5f, 2000.0f, 0.0f);
            camera.Update();
            g_Camera = &camera;
            g_RenderDevice.m_ClearColor = 0xFF0B1020u;
            // No lights are placed yet: a moderate ambient shows the surfaces under their glow. A game map
            // brings its own look.
            const float ambient[4] = {0.45f, 0.45f, 0.5f, 1.0f};
            g_RenderDevice.SetAmbientColor(ambient);
            if (gameMap != nullptr)
                gameMap->m_Header.Apply();
            g_RenderDevice.m_RenderCallback = RenderFrame;
            g_RenderDevice.Render();
            const UINT w = UINT(g_ScreenSize.width), h = UINT(g_ScreenSize.height);
            const std::vector<uint32_t> frame = DemoReadBackBuffer(g_RenderDevice.GetDevice(), w, h);
            bool drawn = false;
            for (uint32_t p : frame)
                drawn = drawn || (p & 0x00FFFFFFu) != (g_RenderDevice.m_ClearColor & 0x00FFFFFFu);
            if (!drawn)
            {
                std::fprintf(stderr, "mapview: the frame holds nothing but the clear colour\n");
                status = 1;
            }
            if (options.pngPath != nullptr && (frame.empty() || !DemoWritePng(options.pngPath, w, h, frame)))
            {
                std::fprintf(stderr, "mapview: cannot write %s\n", options.pngPath);
                status = 1;
            }
            g_Camera = nullptr;
        }
        g_RenderQueue.Prepare(nullptr, nullptr);
        g_World = nullptr;
    }
    g_Physics.Shutdown();
    ShutdownRendering();
    DestroyWindow(window);
    return status;
}
