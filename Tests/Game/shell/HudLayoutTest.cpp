// The gauges as the shipped layout draws them: texts on their panels at every screen shape, the bars cut
// from the top, the dials lit LED by LED, the weapon slots and the ammunition colours, and layouts and
// crafts that would divide by zero or loop for long.
#include <algorithm>

#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CWeaponFactory.h"
#include "Tests/Game/shell/HudRaceSupport.h"

namespace
{

using namespace HudCells;

struct Box
{
    int x0, y0, x1, y1;
    bool Holds(const HudTextBox& t) const { return t.x >= x0 && t.y >= y0 && t.x + t.w <= x1 && t.y + t.h <= y1; }
};

bool Overlap(const HudTextBox& a, const HudTextBox& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

struct ScreenSize
{
    int width, height;
};

class HudLayout : public HudRace, public ::testing::WithParamInterface<ScreenSize>
{
};

class HudGauges : public HudRace
{
protected:
    void SetUp() override { Start(); }
    std::vector<HudQuad> Pass1()
    {
        hud.DrawGauges(1);
        return TakeQuads();
    }
    std::vector<HudTextBox> Pass2()
    {
        hud.DrawGauges(2);
        return TakeTexts();
    }
};

}  // namespace

TEST_P(HudLayout, EveryTextLiesOnItsPanelInsideTheScreenAndNoneOverlap)
{
    const ScreenSize size = GetParam();
    Start(size.width, size.height, 2);
    player->m_MeasuredSpeed = player->m_MaxSpeed;
    player->m_Participant->m_RacePlace = 2;
    player->m_PickupPrimaryKind = 0;
    hud.DrawGauges(2);
    const std::vector<HudTextBox> texts = TakeTexts();
    ASSERT_EQ(texts.size(), 15u);

    const int w = size.width, h = size.height;
    auto s = [&](int n) { return int(float(h) / 768.0f * float(n)); };
    const Box screen{0, 0, w, h};
    const Box leftPanel{s(128), h - s(192), s(252), h};
    const Box rightPanel{w - s(252), h - s(192), w - s(128), h};
    const Box statsLeft{0, 0, s(148), s(85)};
    const Box statsRight{w - s(162), 0, w, s(180)};
    const float weaponX = hud.m_WeaponSlotX, mineX = hud.m_MineSlotX;
    const Box weapon{int(float(w) * weaponX) - s(129) / 2, h - s(129), int(float(w) * weaponX) + s(129) / 2 + 1, h};
    const Box mine{int(float(w) * mineX) - s(129) / 2, h - s(129), int(float(w) * mineX) + s(129) / 2 + 1, h};
    struct Expected
    {
        const char* prefix;
        Box panel;
    };
    const WeString speed = g_Localization.GetText(WeString("UI: SPEED"));
    const Expected expected[] = {{speed.c_str(), leftPanel},
                                 {g_Localization.GetText(WeString("UI: POSITION")).c_str(), rightPanel},
                                 {g_Localization.GetText(WeString("UI: FRAGS")).c_str(), statsLeft},
                                 {g_Localization.GetText(WeString("UI: COINS")).c_str(), statsLeft},
                                 {g_Localization.GetText(WeString("UI: LAST LAP TIME")).c_str(), statsRight},
                                 {g_Localization.GetText(WeString("UI: FASTEST LAP")).c_str(), statsRight},
                                 {g_Localization.GetText(WeString("UI: RACE TIME")).c_str(), statsRight}};
    for (const Expected& e : expected)
    {
        const HudTextBox* t = Find(texts, e.prefix);
        ASSERT_NE(t, nullptr) << e.prefix;
        EXPECT_TRUE(e.panel.Holds(*t)) << t->text << " at " << t->x << "," << t->y << " size " << t->w << "x" << t->h;
    }
    // The numbers: speed and place on the corner panels, times in the stats panel, ammunition in its frame.
    int onLeft = 0, onRight = 0, inStats = 0, inFrames = 0;
    for (const HudTextBox& t : texts)
    {
        SCOPED_TRACE(t.text);
        EXPECT_TRUE(screen.Holds(t)) << t.x << "," << t.y << " size " << t.w << "x" << t.h;
        onLeft += leftPanel.Holds(t);
        onRight += rightPanel.Holds(t);
        inStats += statsRight.Holds(t);
        inFrames += weapon.Holds(t) || mine.Holds(t);
        // Nothing in the frame-rate overlay's corner.
        EXPECT_FALSE(t.x < int(0.1f * float(w)) && t.y + t.h > int(0.95f * float(h)));
    }
    EXPECT_EQ(onLeft, 2);
    EXPECT_EQ(onRight, 2);
    EXPECT_EQ(inStats, 6);
    EXPECT_EQ(inFrames, 2);
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j)
            EXPECT_FALSE(Overlap(texts[i], texts[j])) << texts[i].text << " overlaps " << texts[j].text;
}

INSTANTIATE_TEST_SUITE_P(Screens, HudLayout,
                         ::testing::Values(ScreenSize{1024, 768}, ScreenSize{1280, 720}, ScreenSize{800, 600},
                                           ScreenSize{1920, 1080}));

TEST_F(HudGauges, TheHealthBarEmptiesFromTheTop)
{
    player->m_Health = 0.5f * player->m_MaxHealth;
    const WeTexture* atlas = hud.m_HudAtlas;
    ASSERT_NE(atlas, nullptr);
    std::vector<HudQuad> quads;
    hud.DrawGauges(1);
    for (const HudQuad& q : TakeQuads())
        if (q.texture == atlas->m_Texture && std::fabs(q.u0 * 1024.0f - 256.0f) < 1.0f)
            quads.push_back(q);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].v0 * 512.0f, 118.0f, 1.0f);
    EXPECT_NEAR(quads[0].v1 * 512.0f, 192.0f, 1.5f);
    EXPECT_EQ(int(quads[0].y1 - quads[0].y0), 74);
    EXPECT_EQ(int(quads[0].y1), 768);
}

TEST_F(HudGauges, TheSpeedDialLightsLedByLed)
{
    const CMainGameInterface::Layout saved = CMainGameInterface::s_Layout;
    CMainGameInterface::s_Layout.speedRotCount = 10;
    struct Case
    {
        float share;
        std::vector<float> alphas;  // of the lit LEDs, in order
    };
    const Case cases[] = {{0.35f, {1.0f, 1.0f, 1.0f, 0.5f}}, {1.0f, std::vector<float>(10, 1.0f)}};
    for (const Case& c : cases)
    {
        player->m_MeasuredSpeed = c.share * player->m_MaxSpeed;
        const std::vector<HudQuad> quads = Pass1();
        const std::vector<HudQuad> on = Showing(quads, hud.m_HudAtlas, SpeedLedOn);
        EXPECT_EQ(Showing(quads, hud.m_HudAtlas, SpeedLedOff).size(), 10u);
        ASSERT_EQ(on.size(), c.alphas.size()) << c.share;
        for (size_t i = 0; i < on.size(); ++i)
            EXPECT_NEAR(on[i].Alpha(), c.alphas[i], 0.01f) << c.share << " LED " << i;
    }
    // Below 2, and any reverse speed, reads as standing.
    for (float v : {1.9f, -30.0f})
    {
        player->m_MeasuredSpeed = v;
        EXPECT_TRUE(Showing(Pass1(), hud.m_HudAtlas, SpeedLedOn).empty()) << v;
        const std::vector<HudTextBox> texts = Pass2();
        const HudTextBox* number = nullptr;
        for (const HudTextBox& t : texts)
            if (t.font == g_Game.m_Font32 && number == nullptr)
                number = &t;
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text, "0") << v;
    }
    CMainGameInterface::s_Layout = saved;
}

TEST_F(HudGauges, BrokenLayoutsAndCraftValuesDrawEmptyGaugesAndFewLeds)
{
    const CMainGameInterface::Layout saved = CMainGameInterface::s_Layout;
    struct Case
    {
        int count;
        size_t offLeds;
    };
    for (const Case c : {Case{-5, 0}, Case{0, 0}, Case{1000000, size_t(CMainGameInterface::MaxLedCount)}})
    {
        CMainGameInterface::s_Layout.speedRotCount = c.count;
        EXPECT_EQ(Showing(Pass1(), hud.m_HudAtlas, SpeedLedOff).size(), c.offLeds) << c.count;
    }
    CMainGameInterface::s_Layout = saved;

    // Divisors of 0 or less: no fill, no lit LED, no glow, and nothing not a number on the screen.
    player->m_MaxHealth = 0.0f;
    player->m_MaxTurboEnergy = -1.0f;
    player->m_MaxSpeed = 0.0f;
    player->m_TurboMaxSpeed = 0.0f;
    player->m_MeasuredSpeed = 50.0f;
    const float usage = GetConfigFloat(WeString("tuber.HyperBrake.UsagePerSecond"), 50.0f);
    GetConfigFloat(WeString("tuber.HyperBrake.UsagePerSecond"), 50.0f) = 0.0f;
    player->m_HyperBrakeCharge = 10.0f;
    const std::vector<HudQuad> quads = Pass1();
    GetConfigFloat(WeString("tuber.HyperBrake.UsagePerSecond"), 50.0f) = usage;
    for (const HudQuad& q : quads)
    {
        EXPECT_FALSE(std::isnan(q.x0) || std::isnan(q.y1) || std::isnan(q.v0));
        EXPECT_FALSE(q.additive);
        EXPECT_NE(std::lround(q.u0 * 1024.0f), 256) << "a health fill";
        EXPECT_NE(std::lround(q.u0 * 1024.0f), 672) << "a turbo fill or glow";
    }
    EXPECT_TRUE(Showing(quads, hud.m_HudAtlas, SpeedLedOn).empty());
    EXPECT_TRUE(Showing(quads, hud.m_HudAtlas, TurboLedOn).empty());
}

TEST_F(HudGauges, TheHyperBrakeGlowsAdditivelyOverTheTurboBar)
{
    player->m_HyperBrakeCharge = 0.5f * GetConfigFloat(WeString("tuber.HyperBrake.UsagePerSecond"), 50.0f) *
                                 GetConfigFloat(WeString("tuber.HyperBrake.MaxTime"), 3.0f);
    const std::vector<HudQuad> glow = Showing(Pass1(), hud.m_HudAtlas, TurboFill);
    ASSERT_FALSE(glow.empty());
    const HudQuad& g = glow.back();
    EXPECT_TRUE(g.additive);
    EXPECT_NEAR(g.Alpha(), 0.5f, 0.01f);
    EXPECT_EQ(int(g.x0), 1024 - 128);
    EXPECT_EQ(int(g.y0), 768 - 148);
}

TEST_F(HudGauges, WeaponSlotsShowFramesPicturesAndAlignedAmmunition)
{
    const int32_t missile = g_WeaponDescriptions.GetIdByName(WeString("HomingMissile"));
    player->m_PickupPrimaryKind = missile;
    player->m_PickupPrimaryAmmo = 7;
    player->m_UnlimitedAmmo = false;
    hud.m_PrimaryPicture = nullptr;
    hud.Update();
    ASSERT_EQ(hud.m_PrimaryPictureKind, missile);
    ASSERT_NE(hud.m_PrimaryPicture, nullptr);
    const std::vector<HudQuad> quads = Pass1();
    const std::vector<HudQuad> frames = Showing(quads, hud.m_HudAtlas, WeaponFrame);
    ASSERT_EQ(frames.size(), 2u);
    const int weaponX = int(1024.0f * hud.m_WeaponSlotX), mineX = int(1024.0f * hud.m_MineSlotX);
    EXPECT_EQ(int(frames[0].x0), weaponX - 129 / 2);
    EXPECT_EQ(int(frames[1].x0), mineX - 129 / 2);
    EXPECT_EQ(int(frames[0].y1), 768);
    bool picture = false;
    for (const HudQuad& q : quads)
        picture = picture || (q.texture == hud.m_PrimaryPicture->m_Texture && int(q.x0) == weaponX - 64 &&
                              int(q.x1 - q.x0) == 128 && int(q.y1) == 768);
    EXPECT_TRUE(picture);

    const std::vector<HudTextBox> texts = Pass2();
    const HudTextBox* ammo = Find(texts, "7");
    ASSERT_NE(ammo, nullptr);
    EXPECT_EQ(ammo->flags, 10);
    EXPECT_EQ(ammo->x + ammo->w, weaponX + 129 / 2);
    EXPECT_EQ(ammo->y + ammo->h, 768);

    // A race without weapons shows neither slot nor picture.
    g_RaceSettings.m_Weapons = false;
    hud.Update();
    EXPECT_EQ(hud.m_PrimaryPicture, nullptr);
    EXPECT_TRUE(Showing(Pass1(), hud.m_HudAtlas, WeaponFrame).empty());
    g_RaceSettings.m_Weapons = true;
}

TEST_F(HudGauges, TheAmmunitionColourRulesApplyInTheirOrder)
{
    constexpr uint32_t White = 0xE5FFFFFFu, Red = 0xE5FF0000u;
    const float limit = GetConfigFloat(WeString("game.Hud.FireRateFlashingLimt"), 2.0f);
    CWeaponDescription& builtIn = g_WeaponDescriptions.Get(player->m_BuiltInPrimaryKind);
    const float savedRate = builtIn.m_FireRate;
    struct Case
    {
        const char* what;
        int32_t selected, pickupAmmo, builtInAmmo;
        bool unlimited, locked;
        float fireRate;
        uint32_t expected;
    };
    const Case cases[] = {
        {"ready to fire", player->m_BuiltInPrimaryKind, 0, 0, false, true, 0.0f, White},
        {"out of ammunition", 0, 0, 0, false, false, limit + 1.0f, Red},
        {"unlimited, under the safety lock", 0, 0, 0, true, true, limit + 1.0f, Red},
        {"a fast weapon between shots", 0, 0, 5, false, false, limit + 1.0f, White},
        {"a slow weapon between shots", 0, 0, 5, false, false, limit, Red},
        {"picked-up ammunition counts first", 0, 3, 0, false, false, limit + 1.0f, White},
    };
    for (const Case& c : cases)
    {
        player->m_SelectedPrimaryKind = c.selected;
        player->m_PickupPrimaryAmmo = c.pickupAmmo;
        player->m_BuiltInPrimaryAmmo = c.builtInAmmo;
        player->m_UnlimitedAmmo = c.unlimited;
        g_WeaponFactory.m_SafetyLockExpired = c.locked ? 0 : 1;
        builtIn.m_FireRate = c.fireRate;
        EXPECT_EQ(hud.GetAmmoColour(true), c.expected) << c.what;
    }
    builtIn.m_FireRate = savedRate;
    g_WeaponFactory.m_SafetyLockExpired = 1;
}

TEST_F(HudGauges, ThePowerUpStackBlinksInItsLastThreeSeconds)
{
    CPickupAction quad(2, 7.5f), shield(1, 7.5f), unknown(7, 7.5f);
    shield.m_Elapsed = 5.5f;
    for (CPickupAction* a : {&quad, &unknown, &shield})
        player->m_PowerUps.PushBack(a);
    const std::vector<HudQuad> quads = Pass1();
    player->m_PowerUps.Reset();
    const std::vector<HudQuad> backings = Showing(quads, hud.m_HudAtlas, PowerUpBacking);
    ASSERT_EQ(backings.size(), 2u);
    const CMainGameInterface::Layout& l = CMainGameInterface::s_Layout;
    const int first = int(768.0f * l.buffBackY);
    const int second = int(768.0f * (l.buffBackY + 106.0f / 768.0f + l.buffBackSpreadY));
    EXPECT_EQ(int(backings[0].y0), first);
    EXPECT_EQ(int(backings[1].y0), second);
    EXPECT_EQ(int(backings[0].x0), 1024 - 106);
    struct Icon
    {
        int column, y;
        float alpha;
    };
    const Icon icons[] = {{128, first + 16, 0.7f}, {0, second + 16, 0.7f * (std::sin(10.0f * 2.0f) + 1.0f) / 2.0f}};
    for (const Icon& icon : icons)
    {
        const std::vector<HudQuad> found =
            Showing(quads, hud.m_HudAtlas, HudCell{icon.column, PowerUpIconTop, icon.column + 64, PowerUpIconTop + 64});
        ASSERT_EQ(found.size(), 1u) << icon.column;
        EXPECT_EQ(int(found[0].x0), 1024 - 74);
        EXPECT_EQ(int(found[0].y0), icon.y);
        EXPECT_NEAR(found[0].Alpha(), icon.alpha, 0.01f) << icon.column;
    }
}
