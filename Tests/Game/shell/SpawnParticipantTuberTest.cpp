#include "Game/shell/SpawnParticipantTuber.h"

#include <gtest/gtest.h>

#include <vector>

#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CStartLocation.h"
#include "Tests/Game/shell/RaceTestSupport.h"

namespace
{
class SpawnParticipantTuberTest : public RaceFixture
{
protected:
    void SetUp() override
    {
        RaceRigOptions o = RaceTestOptions();
        StartRace(o);
        rig->Tick(1);
        ASSERT_NE(g_Game.m_Map, nullptr);
        WeHashTable<WeActor*>& actors = g_Game.m_Map->GetActors();
        for (auto* e = actors.First(); e != nullptr; e = actors.Next())
            if (e->value->m_Type == CStartLocation::TypeCode)
                starts.push_back(static_cast<CStartLocation*>(e->value));
        ASSERT_GE(starts.size(), 4u);
        extra = g_RaceSettings.SetParticipant(3, 2, "Falconer", 4);
        ASSERT_NE(extra, nullptr);
    }
    CStartLocation* StartOf(CTuber* craft)
    {
        for (CStartLocation* s : starts)
            if (s->m_TakenBy == craft)
                return s;
        return nullptr;
    }
    std::vector<CStartLocation*> starts;
    CRaceParticipant* extra = nullptr;
};

TEST_F(SpawnParticipantTuberTest, TheRaceMadeThePlayersCraftOnItsPlace)
{
    CTuber* player = rig->Craft(0);
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->m_IsPlayer);
    EXPECT_EQ(g_Game.m_PlayerTuber, player);
    ASSERT_NE(StartOf(player), nullptr);
    EXPECT_EQ(StartOf(player)->m_StartIndex, 1);
    EXPECT_EQ(StartOf(rig->Craft(1))->m_StartIndex, 2);
    EXPECT_FALSE(rig->Craft(1)->m_IsPlayer);
    const D3DXMATRIX& m = StartOf(player)->GetWorldMatrix();
    EXPECT_NEAR(player->GetWorldPosition().x, m._41, 1.0f);
    EXPECT_NEAR(player->GetWorldPosition().z, m._43, 1.0f);
}

TEST_F(SpawnParticipantTuberTest, AFreePlaceIsTakenAndATakenOneFallsBackToTheLastFree)
{
    extra->m_StartPlace = 5;
    CTuber* first = SpawnParticipantTuber(extra);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(StartOf(first)->m_StartIndex, 5);
    // Place 5 is taken now: the last free location walked.
    CStartLocation* lastFree = nullptr;
    for (CStartLocation* s : starts)
        if (s->m_TakenBy == nullptr)
            lastFree = s;
    CTuber* second = SpawnParticipantTuber(extra);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(StartOf(second), lastFree);
}

TEST_F(SpawnParticipantTuberTest, NoFreePlaceMakesNoCraft)
{
    for (CStartLocation* s : starts)
        if (s->m_TakenBy == nullptr)
            s->m_TakenBy = rig->Craft(0);
    extra->m_Craft = nullptr;
    EXPECT_EQ(SpawnParticipantTuber(extra), nullptr);
    EXPECT_EQ(extra->m_Craft, nullptr);
    EXPECT_EQ(SpawnParticipantTuber(nullptr), nullptr);
}
}  // namespace
