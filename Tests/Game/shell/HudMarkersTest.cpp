// What the display draws over the scene: rival tags, the brackets on pickups and mines, the blood overlay,
// the warning and the lock message, the wrong-way message, the crosshair, and the projection that places
// them all.
#include "Engine/render/WeTextureManager.h"
#include "Game/craft/CWeapon.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Tests/Game/shell/HudRaceSupport.h"

namespace
{

using namespace HudCells;

class HudMarkers : public HudRace
{
protected:
    void SetUp() override
    {
        // The shipped test track: its road and walls are solid to the visibility ray.
        RaceRigOptions o = Options(1024, 768, 2);
        o.mapDescription.clear();
        Start(o);
        rival = rig->Craft(1);
        ASSERT_NE(rival, nullptr);
    }
    void TearDown() override
    {
        player->m_IncomingWeapons.Reset();
        player->m_NearestIncomingWeapon = nullptr;
        rival->m_Mines.Reset();
        for (CWeapon* w : weapons)
            delete w;
        HudRace::TearDown();
    }
    void PlaceRival(float ahead, float right = 0.0f)
    {
        rival->SetTransform(At(player->GetWorldMatrix(), Ahead(ahead, right)));
    }
    // A weapon object of the kind at the point, owned by the test.
    CWeapon* WeaponAt(const D3DXVECTOR3& p, int32_t kind = 0, CTuber* owner = nullptr)
    {
        CWeapon* w = new CWeapon();
        w->m_Kind = kind;
        w->m_Owner = owner;
        w->SetTransform(At(player->GetWorldMatrix(), p));
        weapons.push_back(w);
        return w;
    }
    std::vector<HudQuad> Brackets(bool mine, float& timer, const D3DXVECTOR3& p)
    {
        AdvanceFrame();
        hud.DrawMarker(mine, timer, p);
        std::vector<HudQuad> out;
        for (const HudQuad& q : TakeQuads())
            if (q.Shows(hud.m_LockingAtlas, mine ? MineBracketLeft : PickupBracketLeft) ||
                q.Shows(hud.m_LockingAtlas, mine ? MineBracketRight : PickupBracketRight))
                out.push_back(q);
        return out;
    }

    CTuber* rival = nullptr;
    std::vector<CWeapon*> weapons;
};

}  // namespace

TEST_F(HudMarkers, OnlyPointsInFrontOfTheCameraProject)
{
    float x = 0.0f, y = 0.0f;
    EXPECT_TRUE(ProjectHudPoint(Ahead(50.0f), x, y));
    EXPECT_NEAR(x, 0.5f, 0.1f);
    EXPECT_FALSE(ProjectHudPoint(Ahead(-400.0f), x, y));
    // On the camera itself there is nothing to divide by.
    EXPECT_FALSE(ProjectHudPoint(g_Game.m_Camera->m_Position, x, y));
}

TEST_F(HudMarkers, RivalTagsFadeWithDistanceAndFollowTheMode)
{
    struct Case
    {
        int32_t mode;
        float distance;
        bool name, bar;
    };
    const Case cases[] = {{3, 501.0f, false, false},
                          {3, 100.2f, true, true},
                          {2, 100.2f, true, false},
                          {1, 100.2f, false, true},
                          {0, 100.2f, false, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " at " << c.distance);
        hud.m_RivalTagMode = c.mode;
        PlaceRival(c.distance);
        hud.DrawRivalTags();
        const std::vector<HudTextBox> texts = TakeTexts();
        const std::vector<HudQuad> quads = TakeQuads();
        ASSERT_EQ(texts.size(), c.name ? 1u : 0u);
        ASSERT_EQ(quads.size(), c.bar ? 3u : 0u);
        // 0.8 - distance / 1000, a rounding either way.
        const uint32_t alpha = HudColour(0.0f, 0.0f, 0.0f, 0.7f) >> 24;
        if (c.name)
        {
            EXPECT_EQ(texts[0].text, "Rival (100)");
            EXPECT_NEAR(double(texts[0].colour >> 24), double(alpha), 1.0);
        }
        if (c.bar)
        {
            EXPECT_EQ(quads[0].texture, g_TextureManager.m_DefaultWhite->m_Texture);
            EXPECT_NEAR(double(quads[0].colour >> 24), double(alpha), 1.0);
            EXPECT_EQ(quads[0].colour & 0xFFFFFFu, 0xFFFFFFu);
            EXPECT_EQ(quads[1].colour & 0xFFFFFFu, 0u);
            // Full health fills the bar inside its two-pixel inset, in red.
            EXPECT_EQ(int(quads[2].x1 - quads[2].x0), int(1024.0f * 0.05f) - 4);
            EXPECT_EQ(quads[2].colour & 0xFFFFFFu, 0xFF0000u);
        }
    }
}

TEST_F(HudMarkers, BracketsSlideInHideBehindWallsAndRestartWhenTurnedFrom)
{
    float timer = 0.0f;
    const D3DXVECTOR3 ahead = Ahead(30.0f);
    float px = 0.0f, py = 0.0f;
    ASSERT_TRUE(ProjectHudPoint(ahead, px, py));
    std::vector<HudQuad> quads;
    float halfway = 0.0f;
    for (int frame = 1; frame <= 32; ++frame)
    {
        quads = Brackets(false, timer, ahead);
        ASSERT_EQ(quads.size(), 2u) << frame;
        if (frame == 16)
            halfway = quads[0].x0;
    }
    // In place after half a second: either side of the point, wobbling by a hundredth of the screen.
    const float bw = 16.0f, s = std::sin(4.0f * timer);
    EXPECT_NEAR(timer, 1.0f, 1e-4f);
    EXPECT_NEAR(quads[0].x0, std::floor((px - bw / 1024.0f / 2.0f - 0.03f - 0.01f * s) * 1024.0f), 1.0f);
    EXPECT_NEAR(quads[1].x0, std::floor((px - bw / 1024.0f / 2.0f + 0.03f + 0.01f * s) * 1024.0f), 1.0f);
    EXPECT_LT(halfway, quads[0].x0);
    EXPECT_EQ(quads[0].Alpha(), 1.0f);

    // Under the road, and turned away by more than 60 degrees: gone, and the slide starts again.
    const float turned = 70.0f * 3.14159265f / 180.0f;
    for (const D3DXVECTOR3& hidden :
         {Ahead(30.0f, 0.0f, -15.0f), Ahead(30.0f * std::cos(turned), 30.0f * std::sin(turned))})
    {
        timer = 0.8f;
        EXPECT_TRUE(Brackets(false, timer, hidden).empty());
        EXPECT_EQ(timer, 0.0f);
    }
}

TEST_F(HudMarkers, MinesAreMarkedButStealthMinesAndCoinsAreNot)
{
    CWeapon* contact = WeaponAt(Ahead(30.0f), 11, rival);
    rival->m_Mines.PushBack(contact);
    hud.DrawMineMarkers();
    EXPECT_EQ(Showing(TakeQuads(), hud.m_LockingAtlas, MineBracketLeft).size(), 1u);
    contact->m_Kind = 17;
    hud.DrawMineMarkers();
    EXPECT_TRUE(TakeQuads().empty());

    // Pickups: a box is marked, a coin and a taken box are not.
    ASSERT_NE(g_Game.m_Map, nullptr);
    // The track's own pickups in view are marked too: the test's box adds one.
    hud.DrawPickupMarkers();
    const size_t placed = Showing(TakeQuads(), hud.m_LockingAtlas, PickupBracketLeft).size();
    CPickup box(PickupPlasmaBolt), coin(PickupCoinSmall);
    box.SetTransform(At(player->GetWorldMatrix(), Ahead(30.0f)));
    coin.SetTransform(At(player->GetWorldMatrix(), Ahead(30.0f)));
    g_Game.m_Map->m_Pickups.PushBack(&box);
    g_Game.m_Map->m_Pickups.PushBack(&coin);
    hud.DrawPickupMarkers();
    const size_t marked = Showing(TakeQuads(), hud.m_LockingAtlas, PickupBracketLeft).size();
    box.m_Available = false;
    hud.DrawPickupMarkers();
    const size_t taken = Showing(TakeQuads(), hud.m_LockingAtlas, PickupBracketLeft).size();
    for (CPickup* p : {&box, &coin})
        if (g_Game.m_Map->m_Pickups.Contains(p))
            g_Game.m_Map->m_Pickups.RemoveCurrent();
    EXPECT_EQ(marked, placed + 1);
    EXPECT_EQ(taken, placed);
}

TEST_F(HudMarkers, ASecondHitRestartsTheBloodOverlay)
{
    player->m_HitFlash = player->m_HitRestartFlash = true;
    auto blood = [&]()
    {
        AdvanceFrame();
        hud.DrawBloodScreen();
        const std::vector<HudQuad> quads = TakeQuads();
        return quads.empty() ? -1.0f : quads[0].Alpha();
    };
    EXPECT_NEAR(blood(), 1.0f, 0.01f);
    for (int i = 0; i < 20; ++i)
        blood();
    EXPECT_NEAR(blood(), 1.0f - 21.0f / 64.0f / 0.7f, 0.01f);
    player->m_HitRestartFlash = true;
    EXPECT_NEAR(blood(), 1.0f, 0.01f);
    // 0.7 s after the last hit the flash is over.
    float last = 1.0f;
    for (int i = 0; i < 60 && last >= 0.0f; ++i)
        last = blood();
    EXPECT_LT(last, 0.0f);
    EXPECT_FALSE(player->m_HitFlash);
}

TEST_F(HudMarkers, TheWarningShowsBelowItsMaximalDistance)
{
    const std::string warning = g_Localization.GetText(WeString("MSG: WARNING")).c_str();
    struct Case
    {
        float distance;
        const char* text;  // null: none
    };
    for (const Case c : {Case{230.0f, nullptr}, Case{199.0f, "150"}})
    {
        player->m_IncomingWeapons.Reset();
        player->m_IncomingWeapons.PushBack(WeaponAt(Ahead(c.distance)));
        hud.m_WarningSoundTimer = 1.5f;
        hud.DrawIncomingWarning();
        const std::vector<HudTextBox> texts = TakeTexts();
        if (c.text == nullptr)
            EXPECT_TRUE(texts.empty()) << c.distance;
        else
        {
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0].text, warning + "  " + c.text);
            EXPECT_EQ(texts[0].colour, 0xFFFF0000u);
        }
        // The sound comes whatever the distance.
        EXPECT_EQ(hud.m_WarningSoundTimer, 0.0f) << c.distance;
    }
}

TEST_F(HudMarkers, TheLockMessageFadesInHoldsAndFadesOut)
{
    PlaceRival(120.0f);
    player->m_IncomingWeapons.PushBack(WeaponAt(Ahead(60.0f), 9, rival));
    player->m_FullyLocked = true;
    auto message = [&]()
    {
        AdvanceFrame();
        hud.DrawLockMessage();
        const std::vector<HudTextBox> texts = TakeTexts();
        return texts.empty() ? -1.0f : float(texts[0].colour >> 24) / 255.0f;
    };
    std::vector<float> alphas;
    for (int i = 0; i < 96; ++i)
        alphas.push_back(message());
    EXPECT_NEAR(alphas[0], 0.0f, 0.01f);
    EXPECT_NEAR(alphas[32], std::sin(0.5f * 3.14159265f / 2.0f), 0.02f);
    EXPECT_NEAR(alphas[95], 1.0f, 0.01f);
    const std::string expected = std::string(g_Localization.GetText(WeString("MSG: LOCK")).c_str()) + "  Rival  100";
    EXPECT_EQ(hud.m_LockMessage, expected.c_str());
    // The lock ends: over the next second the text fades, then it is gone.
    player->m_FullyLocked = false;
    player->m_IncomingWeapons.Reset();
    std::vector<float> after;
    for (int i = 0; i < 70; ++i)
        after.push_back(message());
    EXPECT_NEAR(after[32], std::sin(1.5f * 3.14159265f / 2.0f), 0.03f);
    EXPECT_LT(after[60], 0.15f);
    EXPECT_EQ(after.back(), -1.0f);
    EXPECT_EQ(hud.m_LockMessageTimer, 0.0f);
}

TEST_F(HudMarkers, TheWrongWayMessageComesAtMostEveryHalfSecond)
{
    player->m_WrongWay = true;
    const int32_t before = hud.m_Messages.Count();
    hud.m_WrongWayTimer = 0.0f;
    for (int i = 0; i < 64; ++i)
    {
        hud.m_WrongWayTimer += float(Step);
        hud.CheckWrongWay();
    }
    EXPECT_EQ(hud.m_Messages.Count() - before, 2);
    player->m_WrongWay = false;
}

TEST_F(HudMarkers, TheCrosshairTurnsRedOnARivalInTheBoltConeAndHidesInTheReverseView)
{
    g_OptionsSettings.m_Bindings.showCrosshair = 1;
    player->m_PickupPrimaryKind = 0;
    player->m_BuiltInPrimaryKind = 1;
    PlaceRival(100.0f);
    auto crosshair = [&]()
    {
        hud.DrawCrosshair();
        return Showing(TakeQuads(), hud.m_LockingAtlas, Crosshair);
    };
    std::vector<HudQuad> quads = crosshair();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].colour, 0xFFFF0000u);
    PlaceRival(100.0f, 60.0f);
    quads = crosshair();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].colour, 0xFFFFFFFFu);
    EXPECT_NEAR((quads[0].x0 + quads[0].x1) / 2.0f, 512.0f, 1.0f);

    const CGameCameraPreset* preset = g_Game.m_Camera->m_ActivePreset;
    g_Game.m_Camera->m_ActivePreset = &g_CameraPresets.m_Reverse;
    EXPECT_TRUE(crosshair().empty());
    g_Game.m_Camera->m_ActivePreset = preset;
}

TEST_F(HudMarkers, HidingTheDisplayKeepsTheOverlaysAndTags)
{
    PlaceRival(100.0f);
    hud.m_Visible = 0;
    player->m_HitFlash = true;
    hud.Render();
    const std::vector<HudQuad> quads = TakeQuads();
    TakeTexts();
    EXPECT_TRUE(Showing(quads, hud.m_HudAtlas, LeftPanel).empty());
    int bars = 0, blood = 0;
    for (const HudQuad& q : quads)
    {
        bars += q.texture == g_TextureManager.m_DefaultWhite->m_Texture;
        blood += hud.m_BloodScreen != nullptr && q.texture == hud.m_BloodScreen->m_Texture;
    }
    EXPECT_EQ(bars, 3);
    EXPECT_EQ(blood, 1);
    hud.m_Visible = 1;
    hud.Render();
    EXPECT_EQ(Showing(TakeQuads(), hud.m_HudAtlas, LeftPanel).size(), 1u);
    TakeTexts();
}
