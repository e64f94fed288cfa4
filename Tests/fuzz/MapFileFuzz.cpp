// Feeds arbitrary bytes to the world as a map file: version, sky box, actor and path-node records,
// then the track-path linking and searches over whatever loaded, and the render queue's walk over its
// lights and actors (culling, depth keys and light choice on hostile positions and ranges).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = FuzzScratchPath("maps");
    static const bool made = []
    {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        return !error;
    }();
    if (!made)
        return 0;
    if (!FuzzWriteFile(folder + "/fuzz.map", data, size))
        return 0;

    WeWorld world;
    world.SetMapsFolder(folder.c_str());
    if (world.BeginLoad("fuzz"))
    {
        for (int steps = 0; steps < 100000 && !world.m_Loaded; ++steps)
            if (!world.LoadStep())
                break;
        WePathNode* node = nullptr;
        WePathNode* next = nullptr;
        float along = 0.0f, fromNext = 0.0f;
        D3DXVECTOR3 projected;
        world.FindTrackPosition(D3DXVECTOR3(1.0f, 2.0f, 3.0f), &node, &next, &along, &fromNext, &projected,
                                world.m_FirstPathNode);
        world.FindClosestNodeAlongPath(world.m_FirstPathNode, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
        world.Tick();
        WeCamera camera;
        camera.Update();
        g_RenderQueue.Prepare(&world, &camera);
        g_RenderQueue.Prepare(nullptr, nullptr);
    }
    return 0;
}
