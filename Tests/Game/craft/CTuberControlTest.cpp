#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/runtime/WeSoundListener.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct CTuberControl : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(CraftTest::Options(1));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        ASSERT_NE(rig->Player(), nullptr);
        ASSERT_NE(rig->Craft(1), nullptr);
    }
    void TearDown() override { rig.reset(); }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

TEST_F(CTuberControl, PreTickChoosesByRaceStateAndDriver)
{
    enum class Expect
    {
        Player,  // the player's message copied and moved
        Coast,   // moved on the empty message
        Nothing  // no driver: nothing moves the craft
    };
    enum class Who
    {
        Player,
        PlayerDestroyed,
        PlayerFinished,
        AIWithoutAgent
    };
    struct Case
    {
        int32_t state;
        Who who;
        Expect expect;
    };
    const Case cases[] = {
        {0, Who::Player, Expect::Coast},
        {1, Who::Player, Expect::Coast},
        {2, Who::Player, Expect::Coast},
        {3, Who::Player, Expect::Coast},
        {4, Who::Player, Expect::Player},
        {5, Who::Player, Expect::Nothing},
        {6, Who::Player, Expect::Coast},
        {4, Who::PlayerDestroyed, Expect::Coast},
        {5, Who::PlayerDestroyed, Expect::Nothing},
        {4, Who::PlayerFinished, Expect::Nothing},
        {0, Who::AIWithoutAgent, Expect::Coast},
        {4, Who::AIWithoutAgent, Expect::Nothing},
        {5, Who::AIWithoutAgent, Expect::Nothing},
        {6, Who::AIWithoutAgent, Expect::Coast},
    };
    // The rig gives the computer slot an agent; this table is about a craft that has none.
    g_AIKernel.DeleteAgent(rig->Craft(1)->m_Participant);
    const D3DXVECTOR3 sentinel(123.0f, 456.0f, 789.0f);
    for (const Case& c : cases)
    {
        CTuber* craft = c.who == Who::AIWithoutAgent ? rig->Craft(1) : rig->Player();
        craft->m_Destroyed = c.who == Who::PlayerDestroyed;
        craft->m_Finished = c.who == Who::PlayerFinished;
        craft->m_PendingLinearVelocity = D3DXVECTOR3();
        craft->m_TargetVelocity = sentinel;
        rig->SetRaceState(c.state);
        g_PlayerInputMessage.Clear();
        g_PlayerInputMessage.m_Forward = 1;
        g_PlayerInputMessage.m_FireWeapon = 1;
        g_PlayerInputMessage.m_FireMine = 1;
        craft->PreTick();
        const std::string what = "state " + std::to_string(c.state) + " case " + std::to_string(int(c.who));
        switch (c.expect)
        {
        case Expect::Player:
            EXPECT_GT(craft->m_TargetVelocity.x * craft->m_TargetVelocity.x +
                          craft->m_TargetVelocity.y * craft->m_TargetVelocity.y +
                          craft->m_TargetVelocity.z * craft->m_TargetVelocity.z,
                      0.0f)
                << what;
            EXPECT_EQ(craft->m_FireRequests, 3) << what;
            break;
        case Expect::Coast:
            EXPECT_EQ(craft->m_TargetVelocity, D3DXVECTOR3()) << what;
            EXPECT_EQ(craft->m_FireRequests, 0) << what;
            break;
        case Expect::Nothing:
            EXPECT_EQ(craft->m_TargetVelocity, sentinel) << what;
            EXPECT_EQ(craft->m_FireRequests, 0) << what;
            break;
        }
        craft->m_Destroyed = craft->m_Finished = false;
    }
}

TEST_F(CTuberControl, TheListenerSitsAtThePlayersCraft)
{
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    rig->Tick(32);
    CTuber* craft = rig->Player();
    const D3DXVECTOR3 before = craft->GetWorldPosition();
    const D3DXVECTOR3 velocity = craft->m_PendingLinearVelocity;
    craft->PreTick();
    EXPECT_EQ(g_SoundListener.GetPosition(), before);
    EXPECT_EQ(g_SoundListener.GetVelocity(), velocity);
    // A rival's step leaves the listener where it is.
    g_SoundListener.SetPosition(D3DXVECTOR3(1.0f, 2.0f, 3.0f));
    rig->Craft(1)->PreTick();
    EXPECT_EQ(g_SoundListener.GetPosition(), D3DXVECTOR3(1.0f, 2.0f, 3.0f));
}

TEST_F(CTuberControl, AScriptedSlotMovesWithoutFiring)
{
    rig->SetSlotScript(1,
                       [](int64_t, CInputMessage& m)
                       {
                           m.m_Forward = 1;
                           m.m_FireWeapon = 1;
                       });
    CTuber* rival = rig->Craft(1);
    const D3DXVECTOR3 start = rival->GetWorldPosition();
    rig->Tick(128);
    const D3DXVECTOR3 d = rival->GetWorldPosition() - start;
    EXPECT_GT(d.x * d.x + d.y * d.y + d.z * d.z, 100.0f);
    EXPECT_EQ(rival->m_FireRequests, 0);
}

}  // namespace
