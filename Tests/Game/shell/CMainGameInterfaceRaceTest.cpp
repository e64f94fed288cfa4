// The display in a race: the standings list and its row animation, the elimination race's position line,
// and the update's sounds of the player's state.
#include "Engine/runtime/WeSound.h"
#include "Tests/Game/shell/HudRaceSupport.h"

namespace
{

using namespace HudCells;

class CMainGameInterfaceRace : public HudRace
{
protected:
    // Both passes of the standings, one frame of time apart.
    std::vector<HudTextBox> Standings()
    {
        AdvanceFrame();
        hud.DrawStandings(1);
        hud.DrawStandings(2);
        TakeQuads();
        return TakeTexts();
    }
    void SetPlaces(const std::vector<int32_t>& places)
    {
        for (size_t slot = 0; slot < places.size(); ++slot)
            g_RaceSettings.GetParticipant(int32_t(slot))->m_RacePlace = places[slot];
    }
};

}  // namespace

TEST_F(CMainGameInterfaceRace, ARaceOfOneShowsNoStandings)
{
    Start(1024, 768, 1);
    player->m_Participant->m_RacePlace = 1;
    hud.DrawStandings(1);
    hud.DrawStandings(2);
    EXPECT_TRUE(TakeQuads().empty());
    EXPECT_TRUE(TakeTexts().empty());
}

TEST_F(CMainGameInterfaceRace, SixRowsInRaceOrderInTeamColoursTheDestroyedFaded)
{
    Start(1024, 768, 6);
    SetPlaces({3, 1, 2, 4, 5, 6});
    CTuber* destroyed = rig->Craft(4);
    CTuber* winnerDown = rig->Craft(5);
    destroyed->m_Destroyed = true;
    winnerDown->m_Destroyed = true;
    winnerDown->m_Participant->m_Won = true;

    hud.DrawStandings(1);
    const std::vector<HudQuad> backing = TakeQuads();
    EXPECT_EQ(Showing(backing, hud.m_HudAtlas, StandingsTop).size(), 1u);
    EXPECT_EQ(Showing(backing, hud.m_HudAtlas, StandingsMiddle).size(), 1u);
    EXPECT_EQ(Showing(backing, hud.m_HudAtlas, StandingsBottom).size(), 1u);
    EXPECT_EQ(Showing(backing, hud.m_HudAtlas, StandingsRow).size(), 6u);
    hud.DrawStandings(2);
    const std::vector<HudTextBox> rows = TakeTexts();
    ASSERT_EQ(rows.size(), 6u);
    const int32_t slotOfPlace[6] = {1, 2, 0, 3, 4, 5};
    for (int32_t i = 0; i < 6; ++i)
    {
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slotOfPlace[i]);
        const HudTextBox& row = rows[size_t(i)];
        SCOPED_TRACE(row.text);
        WeString expected;
        expected.AppendInt(i + 1);
        expected.AppendText(". ");
        expected.Append(p->m_DisplayName);
        EXPECT_EQ(row.text, expected.c_str());
        EXPECT_EQ(row.y, int(768.0f * (0.22f + 0.03f * float(i))));
        const float* team = p->m_Craft->m_TrailColor;
        EXPECT_EQ(row.colour & 0x00FFFFFFu, HudColour(team[0], team[1], team[2], 0.0f) & 0x00FFFFFFu);
        const float alpha = p->m_Craft == destroyed ? 0.2f : 0.7f;
        EXPECT_EQ(row.colour >> 24, HudColour(0.0f, 0.0f, 0.0f, alpha) >> 24);
    }
}

TEST_F(CMainGameInterfaceRace, AChangeOfPlaceSlidesToTheNewRowInHalfASecond)
{
    Start(1024, 768, 3);
    SetPlaces({1, 2, 3});
    Standings();
    const std::string player = "2. Player";
    SetPlaces({2, 1, 3});
    std::vector<HudTextBox> rows;
    const int from = int(768.0f * 0.22f), to = int(768.0f * 0.25f);
    for (int frame = 1; frame <= 32; ++frame)
    {
        rows = Standings();
        const HudTextBox* moving = Find(rows, player);
        ASSERT_NE(moving, nullptr);
        if (frame == 16)
        {
            // Halfway down, and out to the side as it drops.
            EXPECT_GT(moving->y, from);
            EXPECT_LT(moving->y, to);
            EXPECT_GT(moving->x, int(1024.0f * 0.005f));
        }
    }
    // At 0.5 s it is in its row, and from then on it stays there.
    EXPECT_NEAR(Find(rows, player)->y, to, 1);
    EXPECT_NE(hud.m_StandingsAnimating, 0);
    for (int frame = 0; frame < 8; ++frame)
        rows = Standings();
    EXPECT_EQ(hud.m_StandingsAnimating, 0);
    EXPECT_EQ(Find(rows, player)->y, int(768.0f * (0.22f + 0.03f)));
    EXPECT_EQ(hud.m_ShownPlaces[0], 2);
}

TEST_F(CMainGameInterfaceRace, TheLastOfTheEliminationRaceBlinksRed)
{
    RaceRigOptions o = Options(1024, 768, 4);
    o.raceType = CRaceSettings::LastOneOut;
    Start(o);
    ASSERT_EQ(g_RaceSettings.CountActiveParticipants(), 4);
    const std::string pos = g_Localization.GetText(WeString("UI: POS")).c_str();
    struct Case
    {
        int32_t place;
        bool red;
    };
    for (const Case c : {Case{4, true}, Case{3, false}})
    {
        player->m_Participant->m_RacePlace = c.place;
        hud.DrawGauges(2);
        TakeQuads();
        const std::vector<HudTextBox> texts = TakeTexts();
        const HudTextBox* line = Find(texts, pos + " ");
        ASSERT_NE(line, nullptr) << c.place;
        EXPECT_EQ(line->text, pos + " " + std::to_string(c.place) + "/4");
        if (c.red)
            EXPECT_EQ(line->colour & 0x00FFFFFFu, 0x00FF0000u);
        else
            EXPECT_EQ(line->colour, 0xFFFFFFFFu);
        const HudTextBox* place = Find(texts, std::to_string(c.place) + "/");
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(place->text, std::to_string(c.place) + "/4");
    }
}

TEST_F(CMainGameInterfaceRace, TheHeartBeatSoundsBelowAFifthOfTheHealth)
{
    Start();
    ASSERT_NE(hud.m_HeartBeatSound, nullptr);
    struct Case
    {
        const char* what;
        float health;
        bool destroyed, finished;
        bool beating;
    };
    const Case cases[] = {
        {"19 per cent", 0.19f, false, false, true},  {"healed to 20 per cent", 0.2f, false, false, false},
        {"low again", 0.1f, false, false, true},     {"dead", 0.1f, true, false, false},
        {"low and alive", 0.1f, false, false, true}, {"finished", 0.1f, false, true, false}};
    for (const Case& c : cases)
    {
        player->m_Health = c.health * player->m_MaxHealth;
        player->m_Destroyed = c.destroyed;
        player->m_Finished = c.finished;
        hud.Update();
        EXPECT_EQ(hud.m_HeartBeatSound->IsPlaying(), c.beating) << c.what;
    }
    player->m_Finished = false;
}

TEST_F(CMainGameInterfaceRace, AHitSoundsOnceAndTheInvulnerableOneRingsMetallic)
{
    Start();
    for (WeSound** sound : {&hud.m_HitSound, &hud.m_ImmortalHitSound})
    {
        delete *sound;
        *sound = nullptr;
    }
    player->m_Invulnerable = true;
    player->m_HitRecord = true;
    hud.Update();
    EXPECT_FALSE(player->m_HitRecord);
    EXPECT_NE(hud.m_ImmortalHitSound, nullptr);
    EXPECT_EQ(hud.m_HitSound, nullptr);
    player->m_Invulnerable = false;
    player->m_HitRecord = true;
    hud.Update();
    EXPECT_NE(hud.m_HitSound, nullptr);
    EXPECT_FALSE(player->m_HitRecord);
}
