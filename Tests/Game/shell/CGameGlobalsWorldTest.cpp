// The world picked in the front end is the chosen race map's world, and each shipped world has its music in
// the pack.
#include <gtest/gtest.h>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CRaceSettings.h"

namespace
{
constexpr int32_t OggType = 16;
}  // namespace

TEST(CGameGlobalsWorld, TheSelectedWorldIsTheChosenMapsWorldWithItsOwnMusic)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded()) << "no Packages.dat beside the tests";
    g_MapCatalogue.Load();
    ASSERT_FALSE(g_MapCatalogue.m_Names.IsEmpty());
    const WeString kept = g_RaceSettings.m_MapName;
    for (const WeString& map : g_MapCatalogue.m_Names)
    {
        SCOPED_TRACE(map.c_str());
        g_RaceSettings.m_MapName = map;
        const WeString world = CGameGlobals::GetSelectedWorldName();
        EXPECT_EQ(world, g_MapCatalogue.Find(map)->m_WorldName);
        const WeString music = CGameGlobals::GetMusicName(CGameGlobals::WorldMusic, world, map);
        EXPECT_FALSE(music.IsEmpty());
        EXPECT_TRUE(pack->Exists(music, OggType)) << music.c_str();
    }
    for (const char* map : {"", "No Such Map (day)"})
    {
        g_RaceSettings.m_MapName = map;
        EXPECT_TRUE(CGameGlobals::GetSelectedWorldName().IsEmpty()) << map;
    }
    g_RaceSettings.m_MapName = kept;
}
