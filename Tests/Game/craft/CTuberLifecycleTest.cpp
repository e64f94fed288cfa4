#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct CTuberLifecycle : ::testing::Test
{
    void Start(RaceRigOptions options)
    {
        rig = std::make_unique<RaceRig>(std::move(options));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
    }
    void TearDown() override { rig.reset(); }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

TEST_F(CTuberLifecycle, ConstructionLinksAndInitialValues)
{
    Start(CraftTest::Options(1));
    CTuber* c = rig->Player();
    ASSERT_NE(c, nullptr);
    CRaceParticipant* p = g_RaceSettings.GetParticipant(0);
    EXPECT_EQ(p->m_Craft, c);
    EXPECT_EQ(c->m_Participant, p);
    ASSERT_NE(c->m_Description, nullptr);
    EXPECT_EQ(p->m_CraftEntry, c->m_Description);
    EXPECT_EQ(c->m_Description, g_TuberCatalogue.Find("Falconer"));
    EXPECT_TRUE(c->m_IsPlayer);
    EXPECT_EQ(g_Game.m_PlayerTuber, c);
    EXPECT_FALSE(rig->Craft(1)->m_IsPlayer);

    const CTuberDescription& d = *c->m_Description;
    struct Value
    {
        const char* name;
        double actual, expected;
    };
    const Value values[] = {
        {"kind", double(c->m_Type), 8},
        {"all lights", double(c->m_AllLights), 1},
        {"render value", c->m_RenderValue, 400},
        {"speed factor", c->m_SpeedFactor, 1},
        {"render scale", c->m_RenderScale, 1},
        {"visibility", c->m_Visibility, 1},
        {"emp timer", c->m_EmpDisableTimer, -1},
        {"slowing timer", c->m_SlowingDisableTimer, -1},
        {"last kill", c->m_LastKillTime, -1},
        {"released", double(c->m_HyperBrakeReleased), 1},
        {"charge", c->m_HyperBrakeCharge, 0},
        {"primary timer", c->m_PrimaryShotTimer, 1000},
        {"secondary timer", c->m_SecondaryShotTimer, 1000},
        {"max health", c->m_MaxHealth, double(d.m_HP)},
        {"health", c->m_Health, double(d.m_HP)},
        {"turbo", c->m_TurboEnergy, d.m_Turbo},
        {"max turbo", c->m_MaxTurboEnergy, d.m_Turbo},
        {"max speed", c->m_MaxSpeed, d.m_Speed},
        {"acceleration", c->m_Acceleration, d.m_Acceleration},
        {"brake", c->m_BrakeDeceleration, 2.0 * d.m_Acceleration},
        {"turbo max speed", c->m_TurboMaxSpeed, double(1.2f * d.m_Speed)},
        {"yaw rate", c->m_YawRate, double(0.8f)},
        {"pitch rate", c->m_PitchRate, double(1.4f * 0.8f)},
        {"laps", double(c->m_LapsCompleted), 0},
        {"teleport effect", c->m_TeleportEffectTimer, -1},
        {"flying coefficient", c->m_FlyingCoefficient, 1},
        {"catch-up", c->m_CatchUpFactor, 1},
        {"damage multiplier", c->m_DamageMultiplier, 1},
        {"initialised", double(c->m_Initialised), 1},
    };
    for (const Value& v : values)
        EXPECT_NEAR(v.actual, v.expected, 1e-4) << v.name;
    EXPECT_EQ(c->m_BuiltInPrimaryKind, g_WeaponDescriptions.GetIdByName(d.m_Primary));
    EXPECT_EQ(c->m_BuiltInSecondaryKind, g_WeaponDescriptions.GetIdByName(d.m_Secondary));
}

TEST_F(CTuberLifecycle, InitMakesTheBodyTheSensorAndTheChildren)
{
    Start(CraftTest::Options(1));
    CTuber* c = rig->Player();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_PhysicModel.physicsClass, WePhysicsDynamicBox);
    EXPECT_EQ(c->m_PhysicModel.collisionGroup, 5);
    EXPECT_EQ(c->m_PhysicModel.mass, 10000.0f);
    EXPECT_TRUE(c->m_PhysicModel.explicitSize);
    EXPECT_EQ(c->m_PhysicModel.size, D3DXVECTOR3(1.0f, 1.0f, 4.0f));
    EXPECT_EQ(c->m_PhysicModel.material, g_Physics.GetMaterialIndex(1));
    EXPECT_FALSE(c->m_PhysicModel.gravity);
    ASSERT_NE(c->m_PhysicHandle, nullptr);

    CTrigger* sensor = c->m_TriggerVolume;
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(sensor->m_Type, 12);
    EXPECT_EQ(sensor->m_Owner, c);
    EXPECT_EQ(sensor->m_Parent, nullptr);
    EXPECT_EQ(sensor->m_PhysicModel.physicsClass, WePhysicsDynamicSphere);
    EXPECT_EQ(sensor->m_PhysicModel.size.x, 20.0f);
    EXPECT_EQ(sensor->m_PhysicModel.collisionGroup, 10);
    EXPECT_EQ(sensor->m_PhysicModel.mass, 10.0f);
    EXPECT_EQ(sensor->m_PhysicModel.shapeFlags, 2);
    EXPECT_FALSE(sensor->m_PhysicModel.gravity);
    // The sensor follows the craft tick by tick.
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    for (int i = 0; i < 64; ++i)
    {
        rig->Tick();
        const D3DXVECTOR3 d = sensor->GetWorldPosition() - c->GetWorldPosition();
        ASSERT_LT(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 0.001f) << "tick " << i;
    }

    // Children belong to the craft and are hidden unless stated; the rival's glow shows its team colour.
    ASSERT_NE(c->m_Trail, nullptr);
    EXPECT_EQ(c->m_Trail->m_Parent, c);
    ASSERT_NE(c->m_CraftLight, nullptr);
    EXPECT_EQ(c->m_CraftLight->m_Parent, c);
    ASSERT_NE(c->m_ProjectorLight, nullptr);
    EXPECT_TRUE(c->m_ProjectorLight->m_Projector);
    for (const auto& kind : c->m_HitEffects)
        for (WeActor* effect : kind)
            if (effect)
            {
                EXPECT_EQ(effect->m_Parent, c);
                EXPECT_FALSE(effect->m_ModelVisible);
            }
    CTuber* rival = rig->Craft(1);
    ASSERT_NE(rival, nullptr);
    const float* team = g_RaceSettings.m_TeamColors[rival->m_Participant->m_StartPlace - 1];
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rival->m_TrailColor[i], team[i]);
    if (rival->m_AIGlow)
    {
        EXPECT_EQ(rival->m_AIGlow->m_Parent, rival);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(rival->m_AIGlow->m_Model->m_Values[i], team[i]);
    }
    // A second Init adds nothing.
    const int32_t actors = c->m_World->GetActors().Count();
    c->Init();
    EXPECT_EQ(c->m_World->GetActors().Count(), actors);
}

TEST_F(CTuberLifecycle, TeardownExpiresTheChildrenUnlessTheWorldGoes)
{
    Start(CraftTest::Options(1));
    CTuber* rival = rig->Craft(1);
    ASSERT_NE(rival, nullptr);
    WeWorld* world = rival->m_World;
    rig->Tick(4);
    int32_t children = rival->m_TriggerVolume ? 1 : 0;
    for (WeActor* child :
         {static_cast<WeActor*>(rival->m_AIGlow), static_cast<WeActor*>(rival->m_Trail), rival->m_SpeedScreen,
          rival->m_Electricity[0], rival->m_Electricity[1], static_cast<WeActor*>(rival->m_MinigunFlashes[0]),
          static_cast<WeActor*>(rival->m_MinigunFlashes[1]), static_cast<WeActor*>(rival->m_MinigunLights[0]),
          static_cast<WeActor*>(rival->m_MinigunLights[1]), static_cast<WeActor*>(rival->m_ProjectorLight),
          static_cast<WeActor*>(rival->m_CraftLight), static_cast<WeActor*>(rival->m_DamageSparks),
          static_cast<WeActor*>(rival->m_ScratchSparks)})
        children += child != nullptr;
    for (WeActor* effect : rival->m_AbilityEffects)
        children += effect != nullptr;
    for (int32_t i = 0; i < rival->m_PropulsionCount; ++i)
        children += rival->m_Propulsions[i] != nullptr;
    for (const auto& kind : rival->m_HitEffects)
        for (WeActor* effect : kind)
            children += effect != nullptr;
    ASSERT_GE(children, 4);
    const int32_t actors = world->GetActors().Count();
    CRaceParticipant* p = rival->m_Participant;
    world->RemoveActor(rival);
    delete rival;
    EXPECT_EQ(p->m_Craft, nullptr);
    EXPECT_GT(world->PendingDeletionCount(), 0);
    // Lights and the trail fade out first; within a second every child is gone with the craft.
    rig->Tick(64);
    EXPECT_EQ(world->GetActors().Count(), actors - 1 - children);
    EXPECT_EQ(world->PendingDeletionCount(), 0);
    // The world torn down with every child of the player alive is clean too (Stop deletes the map).
    rig->Stop();
}

TEST_F(CTuberLifecycle, AnUnknownCraftRacesTheFirstOfTheCatalogue)
{
    RaceRigOptions o = CraftTest::Options(0, false);
    o.slots.push_back(RaceRigSlot{4, "NoSuchCraft", "", 0, 0});
    Start(o);
    CTuber* c = rig->Player();
    ASSERT_NE(c, nullptr);
    ASSERT_NE(c->m_Description, nullptr);
    const WeString first = g_TuberCatalogue.m_Names.Front();
    EXPECT_EQ(c->m_Description->m_Name, first);
    EXPECT_EQ(c->m_Participant->m_CraftKey, first);
    EXPECT_EQ(c->m_Participant->m_CraftEntry, c->m_Description);
}

TEST(CTuberLifecycleBare, AnEmptyCatalogueMakesNoCraft)
{
    ConfigOverride none[] = {
        {"tubers.Falconer.UnlockID", "-1"}, {"tubers.EclosionHunter.UnlockID", "-1"}, {"tubers.Xdrone.UnlockID", "-1"}};
    RaceRig rig(CraftTest::Options(1));
    std::string error;
    ASSERT_TRUE(rig.Start(&error)) << error;
    EXPECT_EQ(rig.Craft(0), nullptr);
    EXPECT_EQ(rig.Craft(1), nullptr);
    rig.Tick(8);
}

TEST_F(CTuberLifecycle, PropulsionCountIsClampedAndOffsetsParsed)
{
    ConfigOverride count("tubers.Falconer.TotalPropulsions", "12");
    ConfigOverride first("tubers.Falconer.Propulsion1", "0.5,x,nan");
    Start(CraftTest::Options(0));
    CTuber* c = rig->Player();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_PropulsionCount, CTuber::MaxPropulsions);
    ASSERT_NE(c->m_Propulsions[0], nullptr);
    const D3DXMATRIX& local = c->m_Propulsions[0]->m_LocalMatrix;
    EXPECT_EQ(local._41, 0.5f);
    EXPECT_EQ(local._42, 0.0f);
    EXPECT_EQ(local._43, 0.0f);
    EXPECT_EQ(c->m_Propulsions[0]->m_Parent, c);
}

TEST(CTuberLifecycleBare, TheThirteenKeysAreBound)
{
    // Bound before the test's main ran: nothing here asked for them.
    for (const char* key : TuberBoundKeyNames)
        EXPECT_NE(LookupConfigEntry(key, false), nullptr) << key;
}

}  // namespace

namespace
{

TEST_F(CTuberLifecycle, AMissingModelLeavesTheCraftRacingWithoutIt)
{
    ConfigOverride model("tubers.Falconer.ModelID", "NoSuchModel");
    Start(CraftTest::Options(0));
    CTuber* c = rig->Player();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->m_Model, nullptr);
    for (WeActor* effect : c->m_AbilityEffects)
        EXPECT_EQ(effect, nullptr);
    ASSERT_NE(c->m_PhysicHandle, nullptr);
    ASSERT_NE(c->m_EngineSound, nullptr);
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    const D3DXVECTOR3 start = c->GetWorldPosition();
    rig->Tick(64);
    const D3DXVECTOR3 d = c->GetWorldPosition() - start;
    EXPECT_GT(d.x * d.x + d.y * d.y + d.z * d.z, 100.0f);
}

}  // namespace
