#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Tests/Game/craft/DamageTestSupport.h"
#include "Tests/support/DebugLineCapture.h"

namespace
{

using Piece = ::CTuberPart;

// The world's live wreck pieces.
std::vector<Piece*> Pieces(WeWorld* world)
{
    std::vector<Piece*> out;
    auto& actors = world->GetActors();
    for (auto* e = actors.First(); e; e = actors.Next())
        if (e->value->m_Type == ActorKindTuberPart && !e->value->m_PendingDeletion)
            out.push_back(static_cast<Piece*>(e->value));
    return out;
}

int32_t CountPieces(WeWorld* world)
{
    return int32_t(Pieces(world).size());
}

// Hides all but the first `keep` piece models for one test.
struct ModelsKept
{
    explicit ModelsKept(int keep)
    {
        for (int i = 0; i < CTuberPartFabric::ModelCount; ++i)
        {
            saved[i] = CTuberPartFabric::s_PartModels[i];
            if (i >= keep)
                CTuberPartFabric::s_PartModels[i] = nullptr;
        }
    }
    ~ModelsKept()
    {
        for (int i = 0; i < CTuberPartFabric::ModelCount; ++i)
            CTuberPartFabric::s_PartModels[i] = saved[i];
    }
    WeModel* saved[CTuberPartFabric::ModelCount] = {};
};

struct WreckPieces : DamageTest::Rig
{
    void Kill(CTuber* victim, float speed = 0.0f)
    {
        DamageTest::Revive(victim);
        victim->m_MeasuredSpeed = speed;
        ASSERT_TRUE(victim->ApplyDamage(1.0e6f, player == victim ? rival : player, 1));
        DamageTest::Drain();
    }
};

TEST_F(WreckPieces, TenModelsTenPiecesTheFirstWithFireAndSmoke)
{
    for (int i = 0; i < CTuberPartFabric::ModelCount; ++i)
        ASSERT_NE(CTuberPartFabric::s_PartModels[i], nullptr) << i;
    Kill(rival);
    ASSERT_EQ(CountPieces(rival->m_World), 10);
    Piece* first = rival->m_CameraPiece;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_EffectKind, Piece::FireAndSmoke);
    EXPECT_EQ(first->m_Owner, rival);
    EXPECT_EQ(first->m_FirstSystem, nullptr);  // made on the first tick
    rig->Tick();
    ASSERT_NE(first->m_FirstSystem, nullptr);
    ASSERT_NE(first->m_SecondSystem, nullptr);
    EXPECT_EQ(first->m_FirstSystem->m_Parent, first);
    const auto* last = first->m_FirstSystem->m_Emitters.FirstNode();
    while (first->m_FirstSystem->m_Emitters.NextNode(last))
        last = first->m_FirstSystem->m_Emitters.NextNode(last);
    EXPECT_FLOAT_EQ(last->payload.rate[0], 5.0f);
    EXPECT_FLOAT_EQ(last->payload.rate[1], 2.0f);
    // The burst stays as authored.
    EXPECT_FLOAT_EQ(first->m_FirstSystem->m_Emitters.FirstNode()->payload.rate[0],
                    Piece::s_Assets.explosionFire->m_Emitters.FirstNode()->payload.rate[0]);
    int32_t burning = 0;
    for (Piece* piece : Pieces(rival->m_World))
    {
        if (piece == first)
            continue;
        EXPECT_EQ(piece->m_EffectKind, Piece::Burning);
        EXPECT_NE(piece->m_FirstSystem, nullptr);
        EXPECT_EQ(piece->m_SecondSystem, nullptr);
        EXPECT_GE(piece->m_LifeFactor, 0.1f);
        EXPECT_LE(piece->m_LifeFactor, 1.0f);
        EXPECT_EQ(piece->m_PhysicModel.collisionGroup, 6);
        EXPECT_EQ(piece->m_PhysicModel.physicsClass, 5);
        EXPECT_FLOAT_EQ(piece->m_PhysicModel.mass, 0.1f);
        ++burning;
    }
    EXPECT_EQ(burning, 9);
}

TEST_F(WreckPieces, FewerModelsFewerPieces)
{
    {
        ModelsKept one(1);
        Kill(rival);
        EXPECT_EQ(CountPieces(rival->m_World), 1);
        ASSERT_NE(rival->m_CameraPiece, nullptr);
        EXPECT_EQ(rival->m_CameraPiece->m_EffectKind, Piece::FireAndSmoke);
    }
    rig->Tick(300);  // the first wreck is gone
    ASSERT_EQ(CountPieces(rival->m_World), 0);
    {
        ModelsKept none(0);
        DebugLineCapture lines;
        Kill(mate);
        EXPECT_EQ(CountPieces(rival->m_World), 0);
        EXPECT_EQ(mate->m_CameraPiece, nullptr);
        EXPECT_TRUE(lines.Contains("no pieces"));
    }
}

TEST_F(WreckPieces, ThrowVelocities)
{
    auto check = [](Piece* p, const D3DXVECTOR3& base)
    {
        const D3DXVECTOR3 r = p->m_Velocity - base;
        for (float c : {r.x, r.y, r.z})
        {
            EXPECT_GE(std::fabs(c), 10.0f - 1e-4f);
            EXPECT_LE(std::fabs(c), 15.0f + 1e-4f);
        }
        EXPECT_TRUE(p->m_VelocityGiven);
    };
    CraftTest::FaceAlongZ(rival);
    Kill(rival, 0.0f);
    for (Piece* piece : Pieces(rival->m_World))
        check(piece, D3DXVECTOR3());
    rig->Tick(300);
    // A moving craft adds three quarters of its speed along its forward axis (the speed before the death
    // zeroed it).
    CraftTest::FaceAlongZ(mate);
    Kill(mate, 80.0f);
    int32_t n = 0;
    for (Piece* piece : Pieces(mate->m_World))
    {
        check(piece, D3DXVECTOR3(0.0f, 0.0f, 60.0f));
        ++n;
    }
    EXPECT_EQ(n, 10);
}

TEST_F(WreckPieces, GravityBounceAndLifetime)
{
    ModelsKept one(1);
    Kill(rival);
    Piece* p = rival->m_CameraPiece;
    ASSERT_NE(p, nullptr);
    // Before its first tick it has no particles: no bounce.
    g_PlayGamePhase.m_LastContactNormalForce = D3DXVECTOR3(0.0f, 50.0f, 0.0f);
    p->m_Velocity = D3DXVECTOR3(1.0f, -10.0f, 2.0f);
    p->Bounce(nullptr);
    EXPECT_FLOAT_EQ(p->m_Velocity.y, -10.0f);
    const float dt = g_Timer.m_FrameDeltaF;
    const D3DXVECTOR3 g = g_Physics.m_Gravity;
    p->Tick();
    EXPECT_NEAR(p->m_Velocity.y, -10.0f + g.y * dt * 0.1f, 1e-5f);
    ASSERT_NE(p->m_FirstSystem, nullptr);
    // Not yet its life factor: no bounce.
    p->m_LifeFactor = 0.5f;
    p->m_Elapsed = 0.4f;
    p->m_Velocity = D3DXVECTOR3(1.0f, -10.0f, 2.0f);
    p->Bounce(nullptr);
    EXPECT_FLOAT_EQ(p->m_Velocity.y, -10.0f);
    p->m_Elapsed = 0.5f;
    p->Bounce(nullptr);
    EXPECT_FLOAT_EQ(p->m_Velocity.x, 0.8f);
    EXPECT_FLOAT_EQ(p->m_Velocity.y, 8.0f);
    EXPECT_FLOAT_EQ(p->m_Velocity.z, 1.6f);
    // A zero force does nothing.
    g_PlayGamePhase.m_LastContactNormalForce = D3DXVECTOR3();
    p->Bounce(nullptr);
    EXPECT_FLOAT_EQ(p->m_Velocity.y, 8.0f);

    // Gone after four seconds, its particle systems stopped and detached.
    WeNewParticleSystem* fire = p->m_FirstSystem;
    rig->Tick(255);
    EXPECT_EQ(rival->m_CameraPiece, p);
    rig->Tick(2);
    EXPECT_EQ(rival->m_CameraPiece, nullptr);
    EXPECT_EQ(CountPieces(rival->m_World), 0);
    (void)fire;
}

struct WreckLifetimes : DamageTest::Rig
{
};

TEST_F(WreckLifetimes, KilledInsideAReportMakesNoActorUntilTheDrain)
{
    // A touch inside the physics reports (as the electric mine's): the death posts its wreck only.
    WeWorld* world = rival->m_World;
    const int32_t actors = world->GetActors().Count();
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 19));
    EXPECT_EQ(world->GetActors().Count(), actors);
    EXPECT_EQ(g_TuberPartSpawns.Count(), 1);
    ProcessExplosionRequests();
    ProcessTuberPartSpawns();
    EXPECT_EQ(CountPieces(world), 10);
}

TEST_F(WreckLifetimes, AKilledAgainCraftKeepsItsNewCameraPiece)
{
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    DamageTest::Drain();
    Piece* old = rival->m_CameraPiece;
    ASSERT_NE(old, nullptr);
    rig->Tick(64);
    rival->Respawn();
    rig->Tick(64);
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    DamageTest::Drain();
    Piece* fresh = rival->m_CameraPiece;
    ASSERT_NE(fresh, nullptr);
    ASSERT_NE(fresh, old);
    // The first wreck goes (four seconds after it was made): the new pointer stays.
    rig->Tick(256 - 128 + 2);
    EXPECT_EQ(rival->m_CameraPiece, fresh);
    rig->Tick(130);
    EXPECT_EQ(rival->m_CameraPiece, nullptr);
}

TEST_F(WreckLifetimes, TheRaceLeftWithPiecesAliveSpawnsQueuedAndRequestsNamingTheDeadCraft)
{
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    DamageTest::Drain();
    ASSERT_TRUE(mate->ApplyDamage(1.0e6f, player, 1));  // its wreck and explosion stay queued
    EXPECT_EQ(g_TuberPartSpawns.Count(), 1);
    rig->Tick();
    rig.reset();  // the map goes with every piece alive
    EXPECT_EQ(Piece::LiveCount(), 0);
}

TEST_F(WreckLifetimes, ACraftDeletedBeforeItsPiecesLeavesNoneOfThemPointingAtIt)
{
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    DamageTest::Drain();
    ASSERT_TRUE(mate->ApplyDamage(1.0e6f, player, 1));
    ASSERT_EQ(g_TuberPartSpawns.Count(), 1);
    ClearExplosionRequests();
    CRaceParticipant* p = rival->m_Participant;
    rival->m_World->RemoveActor(rival);
    delete rival;
    rival = nullptr;
    EXPECT_EQ(p->m_Craft, nullptr);
    mate->m_World->RemoveActor(mate);
    delete mate;  // queued: its record goes with it
    mate = nullptr;
    EXPECT_EQ(g_TuberPartSpawns.Count(), 0);
    rig->Tick(300);  // the pieces expire and read no craft
    EXPECT_EQ(Piece::LiveCount(), 0);
}

}  // namespace
