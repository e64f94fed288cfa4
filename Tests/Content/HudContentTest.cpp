// What the race display asks of the pack: its atlases and overlays with every cell painted, its layout and
// tuning keys set by the shipped files, its texts and its sounds, each pickup's voice among them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/HudCells.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int32_t TextureType = 1;
constexpr int32_t OggType = 16;
const char* const Textures[] = {"Ingame.Atlases.Hud",
                                "Ingame.Atlases.Locking",
                                "Ingame.Misc.BloodScreen",
                                "Ingame.Misc.TranslocatorScreen01",
                                "Ingame.Misc.TranslocatorScreen02",
                                "Ingame.Misc.TranslocatorScreen03"};
const char* const Abilities[] = {"Invisibility", "Invulnerability", "KestEngine", "QuadDamage"};

WeDataFile* Pack()
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    return pack != nullptr && pack->EnsureLoaded() ? pack : nullptr;
}

bool FromFile(const char* key)
{
    const WeConfigEntry* entry = FindConfigEntry(WeString(key));
    return entry != nullptr && entry->fromFile;
}

class HudContent : public RecordingRender
{
protected:
    // The texture's pixels (ARGB, top row first), read back from the device.
    std::vector<uint32_t> Pixels(WeTexture* texture)
    {
        std::vector<uint32_t> out;
        auto* t = static_cast<IDirect3DTexture9*>(texture->m_Texture);
        D3DLOCKED_RECT r{};
        if (t == nullptr || FAILED(t->LockRect(0, &r, nullptr, D3DLOCK_READONLY)))
            return out;
        out.resize(size_t(texture->m_Width) * size_t(texture->m_Height));
        for (int32_t y = 0; y < texture->m_Height; ++y)
            for (int32_t x = 0; x < texture->m_Width; ++x)
                out[size_t(y) * size_t(texture->m_Width) + size_t(x)] = static_cast<const uint32_t*>(
                    static_cast<const void*>(static_cast<const uint8_t*>(r.pBits) + size_t(y) * size_t(r.Pitch)))[x];
        t->UnlockRect(0);
        return out;
    }
    // Pixels of the cell that are not fully transparent (a cell must have at least one in a hundred).
    static int Painted(const std::vector<uint32_t>& pixels, int width, const HudCell& c)
    {
        int n = 0;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                n += (pixels[size_t(y) * size_t(width) + size_t(x)] >> 24) != 0;
        return n;
    }
};

}  // namespace

TEST_F(HudContent, EveryCellOfTheAtlasesIsPainted)
{
    ASSERT_TRUE(g_RenderDevice.Create(nullptr, window, 64, 64, 0, 0, 0, 2, 2, 1));
    struct Atlas
    {
        const char* name;
        int width, height;
        std::vector<HudCell> cells;
    };
    using namespace HudCells;
    std::vector<HudCell> hudCells = {LeftPanel,    HealthFill,      RightPanel,      TurboFill,
                                     SpeedLedOff,  SpeedLedOn,      TurboLedOff,     TurboLedOn,
                                     StatsLeft,    StatsRight,      WeaponFrame,     PowerUpBacking,
                                     StandingsTop, StandingsMiddle, StandingsBottom, StandingsRow};
    for (int32_t column : PowerUpIconColumns)
        hudCells.push_back(HudCell{column, PowerUpIconTop, column + PowerUpIconSize, PowerUpIconTop + PowerUpIconSize});
    const Atlas atlases[] = {
        {"Ingame.Atlases.Hud", 1024, 512, hudCells},
        {"Ingame.Atlases.Locking",
         1024,
         256,
         {LockRings[0], LockRings[1], LockRings[2], PickupBracketLeft, PickupBracketRight, MineBracketLeft,
          MineBracketRight, Crosshair}},
        {"Ingame.Misc.BloodScreen", 256, 256, {{0, 0, 256, 256}}},
        {"Ingame.Misc.TranslocatorScreen01", 256, 256, {{0, 0, 256, 256}}},
    };
    for (const Atlas& a : atlases)
    {
        SCOPED_TRACE(a.name);
        WeTexture* texture = g_TextureManager.GetTexture(WeString(a.name), false, 0, true);
        ASSERT_NE(texture, nullptr);
        ASSERT_NE(texture, g_TextureManager.m_DefaultBlack);
        ASSERT_NE(texture, g_TextureManager.m_DefaultWhite);
        ASSERT_EQ(texture->m_Width, a.width);
        ASSERT_EQ(texture->m_Height, a.height);
        const std::vector<uint32_t> pixels = Pixels(texture);
        ASSERT_EQ(pixels.size(), size_t(a.width) * size_t(a.height));
        for (const HudCell& c : a.cells)
            EXPECT_GT(Painted(pixels, a.width, c), (c.right - c.left) * (c.bottom - c.top) / 100)
                << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    }
}

TEST(HudContentNames, EveryTextureSoundAndTextTheDisplayAsksForIsThere)
{
    WeDataFile* pack = Pack();
    ASSERT_NE(pack, nullptr);
    for (const char* name : Textures)
        EXPECT_TRUE(pack->Exists(WeString(name), TextureType)) << name;
    std::vector<std::string> sounds = {"Sounds.Interface.HeartBeat",
                                       "Sounds.Interface.Hit",
                                       "Sounds.Interface.ImmortalHit",
                                       "Sounds.Interface.TimeEndingText",
                                       "Sounds.Interface.Warning",
                                       "Sounds.Interface.Lock",
                                       "Sounds.Explosions.DistantExplosion1",
                                       "Sounds.Explosions.DistantExplosion2",
                                       "Sounds.Explosions.DistantExplosion3",
                                       "Sounds.Tuber.HeadLight"};
    for (int32_t kind = 1; kind <= CWeaponDescriptionManager::PictureKindCount; ++kind)
        sounds.push_back(std::string("Sounds.Voice.Pickup") + CWeaponDescriptionManager::GetKeyword(kind));
    for (const char* ability : Abilities)
        sounds.push_back(std::string("Sounds.Voice.Pickup") + ability);
    for (const std::string& sound : sounds)
        EXPECT_TRUE(pack->Exists(WeString(sound.c_str()), OggType)) << sound;

    static const bool loaded = (g_Localization.Load(), true);
    (void)loaded;
    std::vector<std::string> keys = {"UI: SPEED",         "UI: POSITION",    "UI: FRAGS",     "UI: COINS",
                                     "UI: LAST LAP TIME", "UI: FASTEST LAP", "UI: RACE TIME", "UI: POS",
                                     "UI: LAP",           "MSG: LOCK",       "MSG: WARNING",  "MSG: WRONG_WAY",
                                     "MSG: HEALING"};
    for (const char* ability : Abilities)
        keys.push_back(std::string("Pickups: ") + ability + ": NAME");
    for (const std::string& key : keys)
    {
        const WeString& text = g_Localization.GetText(WeString(key.c_str()));
        EXPECT_FALSE(text.IsEmpty()) << key;
        EXPECT_NE(std::string(text.c_str()), key) << key;
    }
}

TEST(HudContentNames, TheLayoutAndTuningKeysAreSetByTheShippedFiles)
{
    ASSERT_NE(Pack(), nullptr);
    const char* const keys[] = {"UI.Hud.lefttexx",
                                "UI.Hud.lefttexy",
                                "UI.Hud.leftnumx",
                                "UI.Hud.leftnumy",
                                "UI.Hud.righttexx",
                                "UI.Hud.righttexy",
                                "UI.Hud.rightnumx",
                                "UI.Hud.rightnumy",
                                "UI.Hud.lapy",
                                "UI.Hud.killsx",
                                "UI.Hud.killsy",
                                "UI.Hud.coinsx",
                                "UI.Hud.coinsy",
                                "UI.Hud.lastlapx",
                                "UI.Hud.lastlapy",
                                "UI.Hud.lastlapnumx",
                                "UI.Hud.lastlapnumy",
                                "UI.Hud.fastestlapx",
                                "UI.Hud.fastestlapy",
                                "UI.Hud.fastestlapnumx",
                                "UI.Hud.fastestlapnumy",
                                "UI.Hud.racetimex",
                                "UI.Hud.racetimey",
                                "UI.Hud.racetimenumx",
                                "UI.Hud.racetimenumy",
                                "UI.Hud.SpeedRotX",
                                "UI.Hud.SpeedRotY",
                                "UI.Hud.SpeedRotRadius",
                                "UI.Hud.SpeedRotCount",
                                "UI.Hud.SpeedRotAngle",
                                "UI.Hud.SpeedRotStartAngle",
                                "UI.Hud.TurboSpeedRotX",
                                "UI.Hud.TurboSpeedRotY",
                                "UI.Hud.TurboSpeedRotRadius",
                                "UI.Hud.TurboSpeedRotCount",
                                "UI.Hud.TurboSpeedRotAngle",
                                "UI.Hud.TurboSpeedRotStartAngle",
                                "UI.Hud.WeaponX",
                                "UI.Hud.MineX",
                                "UI.Hud.buffbacky",
                                "UI.Hud.buffbackspready",
                                "game.Hud.FireRateFlashingLimt",
                                "game.Hud.LastOneBlinkFreq",
                                "game.Hud.LockStep",
                                "game.Hud.WarningStep",
                                "game.Hud.MaximalWarningDistance",
                                "game.Hud.LockingRotationSpeed",
                                "game.Hud.LockedRotationSpeed",
                                "game.Hud.TuberNamePos",
                                "game.Hud.HealthBarPos",
                                "game.Hud.HealthBarAlpha",
                                "game.Hud.CrosshairRotationSpeed",
                                "game.Hud.WeaponAnimSpeed"};
    for (const char* key : keys)
        EXPECT_TRUE(FromFile(key)) << key;
    // The dials hold a sane number of LEDs.
    EXPECT_GT(GetConfigInt(WeString("UI.Hud.SpeedRotCount"), 0), 0);
    EXPECT_LE(GetConfigInt(WeString("UI.Hud.SpeedRotCount"), 0), 64);
}
