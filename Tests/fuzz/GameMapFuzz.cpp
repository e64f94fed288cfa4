// Feeds arbitrary bytes to the game's map class as a map file: its header, then the world's records with the
// game's factory (start locations and pickups), the filing of the pickups under the path nodes, and the
// header-only load the track list uses.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "Engine/world/WePathNode.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMap.h"
#include "Tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = FuzzScratchPath("game-maps");
    static const bool made = []
    {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        return !error;
    }();
    if (!made || !FuzzWriteFile(folder + "/fuzz.map", data, size))
        return 0;
    {
        CMap headerOnly;
        headerOnly.SetMapsFolder(folder.c_str());
        headerOnly.Load("fuzz");
    }
    CGameMap map;
    map.SetMapsFolder(folder.c_str());
    if (map.BeginLoad("fuzz") && !map.m_Header.m_Damaged)
    {
        for (int steps = 0; steps < 100000 && !map.m_Loaded; ++steps)
            if (!map.LoadStep())
                break;
        // What the AI reads: every node's pickup list.
        for (auto* e = map.GetPathNodes().First(); e != nullptr; e = map.GetPathNodes().Next())
        {
            WePathNode* node = static_cast<WePathNode*>(e->value);
            for (auto* a = node->m_AttachedActors.FirstNode(); a != nullptr; a = node->m_AttachedActors.NextNode(a))
                (void)a->payload->GetWorldPosition();
        }
        map.Tick();
    }
    return 0;
}
