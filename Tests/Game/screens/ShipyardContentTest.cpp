// The shipyard's content in the shipped pack: the ten loading pictures of every world of the track list.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
class ShipyardContent : public ScreenTest
{
};
}  // namespace

TEST_F(ShipyardContent, EveryWorldHasItsTenLoadingPictures)
{
    g_MapCatalogue.Load();
    std::set<std::string> worlds;
    for (const WeString& map : g_MapCatalogue.m_Names)
        worlds.insert(g_MapCatalogue.Find(map)->m_WorldName.c_str());
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
