// The content the shipyard and the menus load by name, in the shipped build: the ten loading pictures and
// the garage map of every world of the track list, each world's music, and the menus' music and sounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
class ShipyardContent : public ScreenTest
{
protected:
    // The worlds of the listed maps.
    static std::set<std::string> Worlds()
    {
        g_MapCatalogue.Load();
        std::set<std::string> worlds;
        for (const WeString& map : g_MapCatalogue.m_Names)
            worlds.insert(g_MapCatalogue.Find(map)->m_WorldName.c_str());
        return worlds;
    }
    // The sound of that name is packed and is an Ogg stream.
    static void ExpectPackedOgg(const WeString& name)
    {
        SCOPED_TRACE(name.c_str());
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadSoundFile(name, bytes));
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "OggS");
    }
};
}  // namespace

TEST_F(ShipyardContent, EveryWorldHasItsTenLoadingPictures)
{
    const std::set<std::string> worlds = Worlds();
    ASSERT_FALSE(worlds.empty());
    for (const std::string& world : worlds)
        for (int32_t n = 1; n <= 10; ++n)
        {
            // The shipyard's name: the world's first letter, "Shipyard" and the number.
            const std::string name = "Ingame.LoadingScreens." + world.substr(0, 1) + "Shipyard" + std::to_string(n);
            WeTexture* texture = g_TextureManager.GetTexture(name.c_str(), false, 0, false);
            EXPECT_NE(texture, nullptr) << name;
            if (texture == nullptr)
                continue;
            EXPECT_GE(texture->GetWidth(), 256) << name;
            g_TextureManager.ReleaseTexture(texture, false);
        }
}

// The shipyard opens "_garage_<world>" for the race's world: each must load to the end, step by step as the
// loading view drives it, and hold a room to look at.
TEST_F(ShipyardContent, EveryWorldsGarageMapLoadsWhole)
{
    const std::set<std::string> worlds = Worlds();
    ASSERT_FALSE(worlds.empty());
    for (const std::string& world : worlds)
    {
        const std::string name = "_garage_" + world;
        SCOPED_TRACE(name);
        CMap garage;
        ASSERT_TRUE(garage.BeginLoad(name.c_str()));
        int32_t steps = 0;
        for (; steps < 100000 && !garage.m_Loaded; ++steps)
            if (!garage.LoadStep() && !garage.m_Loaded)
                break;
        EXPECT_TRUE(garage.m_Loaded);
        EXPECT_FLOAT_EQ(garage.m_LoadProgress, 1.0f);
        EXPECT_GT(garage.GetActors().Count(), 0);
    }
}

// The world music the shipyard plays, and the menu music and the four menu sounds every screen here plays.
TEST_F(ShipyardContent, TheWorldMusicTheMenuMusicAndTheMenuSoundsArePacked)
{
    const std::set<std::string> worlds = Worlds();
    ASSERT_FALSE(worlds.empty());
    for (const std::string& world : worlds)
    {
        const WeString music = CGameGlobals::GetMusicName(CGameGlobals::WorldMusic, world.c_str(), WeString());
        EXPECT_FALSE(music.IsEmpty()) << world;
        if (!music.IsEmpty())
            ExpectPackedOgg(music);
    }
    ExpectPackedOgg(CGameGlobals::GetMusicName(CGameGlobals::MenuMusic, WeString(), WeString()));
    for (int32_t kind :
         {CMenuPhase::SoundConfirm, CMenuPhase::SoundBack, CMenuPhase::SoundDenied, CMenuPhase::SoundKeyPress})
        ExpectPackedOgg(CMenuPhase::GetMenuSoundName(kind));
}
