#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeProjectorRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"
#include "Engine/world/WeParticleEmitter.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CScreenEffects.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct Effects : ::testing::Test
{
    void SetUp() override
    {
        rig = std::make_unique<RaceRig>(CraftTest::Options(1));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        player = rig->Player();
        rival = rig->Craft(1);
        ASSERT_NE(player, nullptr);
        ASSERT_NE(rival, nullptr);
    }
    void TearDown() override { rig.reset(); }

    // Every path node of the map.
    template <class F>
    void ForEachNode(F f)
    {
        WeHashTable<WeActor*>& nodes = g_Game.m_Map->GetPathNodes();
        for (auto* e = nodes.First(); e; e = nodes.Next())
            f(*static_cast<WePathNode*>(e->value));
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* player = nullptr;
    CTuber* rival = nullptr;
};

using CTuberEffects = Effects;
using CTuberSounds = Effects;

// The headlight projector is a projector only: no craft's projector ever lights the road as a lamp, and only
// the player's projects, only while its headlight shows.
TEST_F(CTuberEffects, TheHeadlightProjectorNeverLightsAndProjectsOnlyWhenShown)
{
    ConfigOverride fadeIn("tuber.Light.FadeInSpeed", "8");
    ConfigOverride fadeOut("tuber.Light.FadeOutSpeed", "8");
    CTuber::LoadConstants();
    ASSERT_NE(player->m_ProjectorLight, nullptr);
    ASSERT_NE(rival->m_ProjectorLight, nullptr);
    auto lampCount = [](WeLight* wanted)
    {
        int32_t n = 0;
        for (auto* node = g_RenderQueue.m_AllLights.FirstNode(); node; node = g_RenderQueue.m_AllLights.NextNode(node))
            n += node->payload == wanted ? 1 : 0;
        return n;
    };
    auto projects = [](WeLight* wanted)
    {
        int32_t n = 0;
        for (const WeProjectorRenderer::Projector& p : g_ProjectorRenderer.m_SpotList)
            n += p.light == wanted ? 1 : 0;
        for (const WeProjectorRenderer::Projector& p : g_ProjectorRenderer.m_OmniList)
            n += p.light == wanted ? 1 : 0;
        return n;
    };
    struct Phase
    {
        const char* name;
        bool zone;
        bool playerProjects;
    };
    for (const Phase& phase : {Phase{"open road", false, false}, Phase{"headlight zone", true, true},
                               Phase{"open road again", false, false}})
    {
        SCOPED_TRACE(phase.name);
        ForEachNode([&](WePathNode& n) { PathNodeFields::SetHeadlightZone(n, phase.zone); });
        for (int i = 0; i < 64 && player->m_HeadlightMode != phase.zone; ++i)
            rig->Tick();
        rig->Tick(8);
        rig->Frame();
        ASSERT_EQ(player->m_HeadlightMode, phase.zone);
        // The craft light is the player's one lamp.
        EXPECT_EQ(lampCount(player->m_CraftLight), 1);
        for (CTuber* craft : {player, rival})
            EXPECT_EQ(lampCount(craft->m_ProjectorLight), 0);
        EXPECT_EQ(player->m_ProjectorLight->m_SwitchedOn, phase.playerProjects);
        EXPECT_EQ(projects(player->m_ProjectorLight), phase.playerProjects ? 1 : 0);
        EXPECT_FALSE(rival->m_ProjectorLight->m_SwitchedOn);
        EXPECT_EQ(projects(rival->m_ProjectorLight), 0);
    }
}

TEST_F(CTuberEffects, HeadlightsInAndOutOfAZoneAndTheFinishLight)
{
    ConfigOverride fade("tuber.Light.FadeOutSpeed", "8");
    ConfigOverride fadeIn("tuber.Light.FadeInSpeed", "8");
    CTuber::LoadConstants();
    rig->Tick(16);
    ASSERT_NE(player->m_CraftLight, nullptr);
    EXPECT_TRUE(player->m_CraftLight->m_SwitchedOn);
    EXPECT_FALSE(rival->m_CraftLight->m_SwitchedOn);
    EXPECT_FALSE(player->m_HeadlightMode);
    // Ticks until the headlight mode changes; true when the headlight sound started on that tick.
    auto untilToggled = [&]
    {
        const bool mode = player->m_HeadlightMode;
        for (int i = 0; i < 64 && player->m_HeadlightMode == mode; ++i)
        {
            const int32_t sounds = CountOneShotSounds();
            rig->Tick();
            if (player->m_HeadlightMode != mode)
                return CountOneShotSounds() == sounds + 1;
        }
        return false;
    };
    ForEachNode([](WePathNode& n) { PathNodeFields::SetHeadlightZone(n, true); });
    EXPECT_TRUE(untilToggled());
    EXPECT_TRUE(player->m_HeadlightMode);
    rig->Tick(16);
    EXPECT_EQ(player->m_LightLevel, 1.0f);
    EXPECT_EQ(player->m_CraftLight->m_Range, CTuber::s_Constants.headlight.range);
    if (player->m_ProjectorLight)
    {
        EXPECT_TRUE(player->m_ProjectorLight->m_ModelVisible);
    }
    ForEachNode([](WePathNode& n) { PathNodeFields::SetHeadlightZone(n, false); });
    EXPECT_TRUE(untilToggled());
    EXPECT_FALSE(player->m_HeadlightMode);
    if (player->m_ProjectorLight)
    {
        EXPECT_FALSE(player->m_ProjectorLight->m_ModelVisible);
    }

    player->m_Finished = true;
    rig->Tick(32);
    EXPECT_TRUE(player->m_FinishLightMode);
    EXPECT_EQ(player->m_CraftLight->m_Range, CTuber::s_Constants.finishLight.range);
}

TEST_F(CTuberEffects, TurboBlursAndShowsTheSpeedScreen)
{
    rig->SetPlayerScript(
        [](int64_t, CInputMessage& m)
        {
            m.m_Forward = 1;
            m.m_Turbo = 1;
        });
    rig->Tick(8);
    EXPECT_TRUE(player->m_Turbo);
    EXPECT_EQ(g_RenderDevice.m_PostProcessFactor, 2.0f);
    EXPECT_EQ(player->m_SpeedScreenAlpha, 1.0f);
    if (player->m_SpeedScreen)
    {
        EXPECT_TRUE(player->m_SpeedScreen->m_ModelVisible);
    }
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    rig->Tick(64);
    EXPECT_EQ(g_RenderDevice.m_PostProcessFactor, 1.0f);
    EXPECT_EQ(player->m_SpeedScreenAlpha, 0.0f);
    if (player->m_SpeedScreen)
    {
        EXPECT_FALSE(player->m_SpeedScreen->m_ModelVisible);
    }
}

TEST_F(CTuberEffects, FlamesShowEmitAndGrowWithSpeed)
{
    rig.reset();
    ConfigOverride count("tubers.Falconer.TotalPropulsions", "2");
    ConfigOverride a("tubers.Falconer.Propulsion1", "-0.5,0,-4");
    ConfigOverride b("tubers.Falconer.Propulsion2", "0.5,0,-4");
    SetUp();
    ASSERT_EQ(player->m_PropulsionCount, 2);
    WeNewParticleSystem* flame = player->m_Propulsions[0];
    ASSERT_NE(flame, nullptr);
    WeParticleEmitter& e = flame->m_Emitters.Front();
    player->m_MeasuredSpeed = 0.0f;
    player->UpdatePropulsionFlames();
    EXPECT_TRUE(flame->m_ModelVisible);
    EXPECT_TRUE(flame->m_Active);
    EXPECT_FLOAT_EQ(e.speed[0], player->m_FlameBase[0]);
    EXPECT_FLOAT_EQ(e.endSize[0], player->m_FlameBase[2]);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(e.startColor[c], player->m_TrailColor[c]);
    player->m_MeasuredSpeed = player->m_MaxSpeed;
    player->UpdatePropulsionFlames();
    EXPECT_FLOAT_EQ(e.speed[0], player->m_FlameBase[0] * 5.0f);
    EXPECT_FLOAT_EQ(e.endSize[0], player->m_FlameBase[2] * 0.1f);
    player->m_Destroyed = true;
    player->UpdatePropulsionFlames();
    EXPECT_FALSE(flame->m_Active);
    player->m_Destroyed = false;
    CGameCameraPreset firstPerson;
    firstPerson.m_FPS = true;
    g_Game.m_Camera->m_ActivePreset = &firstPerson;
    player->UpdatePropulsionFlames();
    EXPECT_FALSE(flame->m_ModelVisible);
    g_Game.m_Camera->m_ActivePreset = nullptr;
    // A maximum speed of 0 gives ratio 0, not a division by it.
    player->m_MaxSpeed = 0.0f;
    player->UpdatePropulsionFlames();
    EXPECT_FLOAT_EQ(e.speed[0], player->m_FlameBase[0]);
}

// The flames are children of the craft: while it drives and turns they stay at their nozzles, are drawn every
// frame and emit from where the nozzle is now, not from where the craft started.
TEST_F(CTuberEffects, FlamesFollowTheTurningCraftAndDraw)
{
    rig.reset();
    ConfigOverride count("tubers.Falconer.TotalPropulsions", "2");
    ConfigOverride a("tubers.Falconer.Propulsion1", "-0.5,0,-4");
    ConfigOverride b("tubers.Falconer.Propulsion2", "0.5,0,-4");
    SetUp();
    ASSERT_EQ(player->m_PropulsionCount, 2);
    rig->SetPlayerScript(
        [](int64_t, CInputMessage& m)
        {
            m.m_Forward = 1;
            m.m_Override = true;
            m.m_OverrideAngularVelocity = D3DXVECTOR3(0.0f, 0.6f, 0.0f);
        });
    const D3DXVECTOR3 start = player->GetWorldPosition();
    auto forwardOf = [](const CTuber* c)
    {
        const D3DXMATRIX& w = c->GetWorldMatrix();
        return D3DXVECTOR3(w._31, w._32, w._33);
    };
    const D3DXVECTOR3 startForward = forwardOf(player);
    for (int i = 0; i < 128; ++i)
        rig->Frame();
    const D3DXVECTOR3 moved = player->GetWorldPosition() - start;
    const D3DXVECTOR3 forward = forwardOf(player);
    ASSERT_GT(D3DXVec3Length(&moved), 10.0f);
    ASSERT_LT(D3DXVec3Dot(&forward, &startForward), 0.9f) << "the craft should have turned";
    const D3DXVECTOR3 offsets[2] = {D3DXVECTOR3(-0.5f, 0.0f, -4.0f), D3DXVECTOR3(0.5f, 0.0f, -4.0f)};
    for (int n = 0; n < 2; ++n)
    {
        SCOPED_TRACE(n);
        WeNewParticleSystem* flame = player->m_Propulsions[n];
        D3DXVECTOR3 nozzle;
        D3DXVec3TransformCoord(&nozzle, &offsets[n], &player->GetWorldMatrix());
        const D3DXVECTOR3 off = flame->GetWorldPosition() - nozzle;
        EXPECT_LT(D3DXVec3Length(&off), 0.01f);
        const D3DXVECTOR3 toSphere = flame->m_BoundingSphere.center - nozzle;
        EXPECT_LT(D3DXVec3Length(&toSphere), 0.01f) << "the culling sphere must move with the flame";
        EXPECT_EQ(flame->m_LastDrawnTick, player->m_World->m_TickCounter);
        ASSERT_GT(flame->GetLiveCount(), 0);
        // The youngest particle left the nozzle this frame or the last.
        const WeParticle* youngest = flame->m_Particles.Back();
        for (WeParticle* p : flame->m_Particles)
            if (p->age < youngest->age)
                youngest = p;
        const D3DXVECTOR3 fromNozzle = youngest->position - nozzle;
        EXPECT_LT(D3DXVec3Length(&fromNozzle), 3.0f);
    }
}

TEST_F(CTuberEffects, IdleHoverSpeedyNodeEffectAndZoneByte)
{
    // At rest the craft bobs on its up axis.
    player->m_MeasuredSpeed = 0.0f;
    player->m_TargetVelocity = D3DXVECTOR3();
    player->UpdateIdleHover();
    const float t = float(g_Timer.m_TotalTime);
    const D3DXMATRIX& m = player->GetWorldMatrix();
    EXPECT_FLOAT_EQ(player->m_TargetVelocity.y, m._22 * std::sin(3.0f * t));
    player->m_MeasuredSpeed = 1.0f;
    player->m_TargetVelocity = D3DXVECTOR3();
    player->UpdateIdleHover();
    EXPECT_EQ(player->m_TargetVelocity, D3DXVECTOR3());

    // Speedy after 2.5 s at top speed.
    for (int i = 0; i < 160; ++i)
    {
        player->m_MeasuredSpeed = player->m_MaxSpeed;
        player->UpdateSpeedy();
        ASSERT_EQ(player->m_SpeedyAlpha, 0.0f) << i;
    }
    for (int i = 0; i < 8; ++i)
    {
        player->m_MeasuredSpeed = player->m_MaxSpeed;
        player->UpdateSpeedy();
    }
    EXPECT_GT(player->m_SpeedyAlpha, 0.0f);
    player->m_MeasuredSpeed = 0.0f;
    player->UpdateSpeedy();
    EXPECT_EQ(player->m_SpeedyTimer, 0.0f);

    // A rise of the node's effect value asks for screen effect 7 with its strength.
    WePathNode node;
    PathNodeFields::SetEffectValue(node, 0.75f);
    PathNodeFields::SetZoneByte(node, true);
    player->m_CurrentNode = &node;
    player->m_LastNodeEffectValue = 0.25f;
    ResetScreenEffects();
    player->UpdateNodeValueEffect();
    EXPECT_EQ(g_ScreenEffects.m_State, 7);
    const float* bloom = g_Game.m_Map->m_Header.m_BloomLevels;
    EXPECT_FLOAT_EQ(g_ScreenEffects.m_PulseTarget, 0.5f * (bloom[2] - bloom[1]));
    EXPECT_EQ(player->m_LastNodeEffectValue, 0.75f);
    ResetScreenEffects();
    player->UpdateNodeValueEffect();
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
    // The zone byte reaches the render state for the player only.
    g_RenderDevice.m_QueueByte = 0;
    rival->m_CurrentNode = &node;
    rival->ApplyZoneRenderFlag();
    EXPECT_EQ(g_RenderDevice.m_QueueByte, 0);
    player->ApplyZoneRenderFlag();
    EXPECT_EQ(g_RenderDevice.m_QueueByte, 1);
    player->m_CurrentNode = rival->m_CurrentNode = nullptr;
    g_RenderDevice.m_QueueByte = 0;
}

TEST_F(CTuberEffects, PushesHitEffectsAndRenderScale)
{
    // A touching body is pushed toward the craft at half the turbo top speed; the list empties every frame.
    WeActor* crate = new WeActor();
    crate->m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    crate->m_PhysicModel.explicitSize = true;
    crate->m_PhysicModel.size = D3DXVECTOR3(1, 1, 1);
    crate->m_PhysicModel.gravity = false;
    crate->SetLocation(player->GetWorldPosition() + D3DXVECTOR3(10.0f, 0.0f, 0.0f));
    g_Game.m_Map->AddActor(crate);
    ASSERT_NE(crate->m_PhysicHandle, nullptr);
    player->AddTriggerContact(crate);
    player->AddTriggerContact(rival);
    player->m_MeasuredSpeed = 0.4f * player->m_TurboMaxSpeed;
    crate->m_PendingLinearVelocity = D3DXVECTOR3();
    player->PushNearbyBodies();
    EXPECT_EQ(crate->m_PendingLinearVelocity, D3DXVECTOR3());
    EXPECT_EQ(player->m_TouchedByTrigger.Count(), 0);
    player->AddTriggerContact(crate);
    player->AddTriggerContact(rival);
    player->m_MeasuredSpeed = 0.5f * player->m_TurboMaxSpeed;
    const D3DXVECTOR3 rivalVelocity = rival->m_PendingLinearVelocity;
    player->PushNearbyBodies();
    EXPECT_NEAR(crate->m_PendingLinearVelocity.x, -20.0f, 1e-4f);
    EXPECT_EQ(rival->m_PendingLinearVelocity, rivalVelocity);
    EXPECT_EQ(player->m_TouchedByTrigger.Count(), 0);
    // An actor already going is left alone.
    crate->m_PendingLinearVelocity = D3DXVECTOR3();
    crate->MarkForDeletion();
    player->AddTriggerContact(crate);
    player->PushNearbyBodies();
    EXPECT_EQ(crate->m_PendingLinearVelocity, D3DXVECTOR3());

    // Hit effects: the first free one, pointing at the point, never mirrored.
    const D3DXVECTOR3 centre = player->GetWorldPosition();
    player->ShowHitEffect(0, centre + D3DXVECTOR3(0, 0, 30), 5.0f);
    EXPECT_TRUE(player->m_HitEffectShown[0][0]);
    if (WeActor* effect = player->m_HitEffects[0][0])
    {
        EXPECT_NEAR(effect->m_Scale.z, 2.5f, 1e-4f);
    }
    player->ShowHitEffect(0, centre + D3DXVECTOR3(0, 0, 3), 5.0f);
    EXPECT_TRUE(player->m_HitEffectShown[0][1]);
    if (WeActor* effect = player->m_HitEffects[0][1])
    {
        EXPECT_EQ(effect->m_Scale.z, 0.0f);
    }
    for (int i = 0; i < 12; ++i)
        player->ShowHitEffect(0, centre + D3DXVECTOR3(0, 0, 30), 5.0f);
    for (int i = 0; i < CTuber::HitEffectsPerKind; ++i)
        EXPECT_EQ(player->m_HitEffectShown[0][i], player->m_HitEffects[0][i] != nullptr);
    EXPECT_FALSE(player->m_HitEffectShown[1][0]);
    player->ShowHitEffect(7, centre, 1.0f);  // no such kind: nothing

    // Render scale: one size more per 200 m, capped; the player's own stays 1 and its glow hidden.
    D3DXMATRIX far;
    D3DXMatrixIdentity(&far);
    far._41 = centre.x;
    far._42 = centre.y;
    far._43 = centre.z + 100.0f;
    rival->SetTransform(far);
    rival->UpdateRenderScale();
    EXPECT_NEAR(rival->m_RenderScale, 1.5f, 1e-3f);
    far._43 = centre.z + 5000.0f;
    rival->SetTransform(far);
    rival->UpdateRenderScale();
    EXPECT_EQ(rival->m_RenderScale, 5.0f);
    if (rival->m_AIGlow)
    {
        EXPECT_TRUE(rival->m_AIGlow->m_ModelVisible);
    }
    player->UpdateRenderScale();
    EXPECT_EQ(player->m_RenderScale, 1.0f);
    // Without a player craft nothing changes.
    g_Game.m_PlayerTuber = nullptr;
    far._43 = centre.z + 200.0f;
    rival->SetTransform(far);
    rival->UpdateRenderScale();
    EXPECT_EQ(rival->m_RenderScale, 5.0f);
    g_Game.m_PlayerTuber = player;
}

TEST_F(CTuberEffects, VisibilityFadeRenderModesAndTheFlareOccluder)
{
    rig->Tick(2);
    EXPECT_EQ(g_FlareRenderer.m_Occluders.Count(), 2);
    rival->m_Invisible = true;
    rig->Tick(1);
    EXPECT_LT(rival->m_Visibility, 1.0f);
    EXPECT_EQ(rival->m_ModelPreset, 1);
    EXPECT_EQ(g_FlareRenderer.m_Occluders.Count(), 2);
    rig->Tick(64);
    EXPECT_LT(rival->m_Visibility, 0.0f);
    EXPECT_EQ(rival->m_ModelPreset, 2);
    EXPECT_EQ(g_FlareRenderer.m_Occluders.Count(), 1);  // below half visible it occludes nothing
    if (rival->m_Model)
    {
        EXPECT_FLOAT_EQ(rival->m_Model->m_Values[3], std::fabs(rival->m_Visibility));
    }
    rival->m_Invisible = false;
    rig->Tick(200);
    EXPECT_EQ(rival->m_Visibility, 1.0f);
    EXPECT_EQ(rival->m_ModelPreset, 0);
    // The player's craft occludes nothing in the first-person view.
    CGameCameraPreset firstPerson;
    firstPerson.m_FPS = true;
    g_Game.m_Camera->m_ActivePreset = &firstPerson;
    rig->Tick(1);
    EXPECT_EQ(g_FlareRenderer.m_Occluders.Count(), 1);
    g_Game.m_Camera->m_ActivePreset = nullptr;
    // A finished rival fades to 0 and is hidden.
    rival->m_Finished = true;
    rig->Tick(80);
    EXPECT_EQ(rival->m_Visibility, 0.0f);
    EXPECT_FALSE(rival->m_ModelVisible);
}

TEST_F(CTuberEffects, TeleportKeepsTheSpeedAndStartsTheEffects)
{
    rig->SetPlayerScript([](int64_t, CInputMessage& m) { m.m_Forward = 1; });
    rig->Tick(64);
    ASSERT_GT(player->m_MeasuredSpeed, 1.0f);
    g_Game.m_Snap = g_Game.m_ResetDirection = 0;
    ResetScreenEffects();
    const int32_t sounds = CountOneShotSounds();
    player->OnTeleport();
    const D3DXMATRIX& m = player->GetWorldMatrix();
    EXPECT_FLOAT_EQ(player->m_TargetVelocity.z, m._33 * player->m_MeasuredSpeed);
    EXPECT_EQ(g_Game.m_Snap, 1);
    EXPECT_EQ(g_Game.m_ResetDirection, 1);
    EXPECT_EQ(CountOneShotSounds(), sounds + 1);
    EXPECT_EQ(g_ScreenEffects.m_State, 3);
    EXPECT_TRUE(player->m_TeleportGrace);
    rig->Tick(48);
    EXPECT_TRUE(player->m_TeleportGrace);
    if (player->m_Trail)
    {
        EXPECT_FALSE(player->m_Trail->m_ModelVisible);
    }
    rig->Tick(8);
    EXPECT_FALSE(player->m_TeleportGrace);
    rig->Tick(192);
    if (player->m_Trail)
    {
        EXPECT_TRUE(player->m_Trail->m_ModelVisible);
    }
    // A rival's teleport moves no camera.
    g_Game.m_Snap = 0;
    rival->OnTeleport();
    EXPECT_EQ(g_Game.m_Snap, 0);
}

TEST_F(CTuberSounds, EngineTurboAndTheScrapeSequence)
{
    rig->SetPlayerScript(
        [](int64_t, CInputMessage& m)
        {
            m.m_Forward = 1;
            m.m_Turbo = 1;
        });
    rig->Tick(4);
    ASSERT_NE(player->m_EngineSound, nullptr);
    EXPECT_TRUE(player->m_EngineSoundStarted);
    EXPECT_EQ(player->m_EngineSound->GetPosition(), player->GetWorldPosition());
    EXPECT_TRUE(player->m_TurboSound->IsPlaying());
    EXPECT_FALSE(rival->m_TurboSound->IsPlaying());

    // The scrape: a held static contact plays the start sound at 0.5 s, then one loop of a seeded digit.
    rig->SetPlayerScript(nullptr);
    player->m_MeasuredSpeed = player->m_MaxSpeed;
    SysRandom::Seed(7);
    const int digit = SysRandom::Scaled(3) + 1;
    SysRandom::Seed(7);
    const int32_t before = CountOneShotSounds();
    for (int i = 0; i < 40; ++i)
    {
        player->m_StaticContact = true;
        player->UpdateScratch();
    }
    EXPECT_GE(CountOneShotSounds(), before + 2);  // the sparks' first crackle and the start sound
    EXPECT_EQ(player->m_ScrapeLoopSound, nullptr);
    for (int i = 0; i < 30; ++i)
    {
        player->m_StaticContact = true;
        player->UpdateScratch();
    }
    ASSERT_NE(player->m_ScrapeLoopSound, nullptr);
    EXPECT_EQ(std::string(player->m_ScrapeLoopSound->GetName().c_str()),
              "Sounds.Tuber.LoopScratch" + std::to_string(digit));
    if (player->m_ScratchSparks)
    {
        EXPECT_TRUE(player->m_ScratchSparks->m_ModelVisible);
    }
    // The contact ends: once the static timer has run out the loop stops.
    for (int i = 0; i < 70; ++i)
        player->UpdateScratch();
    EXPECT_EQ(player->m_ScrapeLoopSound, nullptr);
    // Too slow: the state resets at once.
    player->m_StaticContact = true;
    player->UpdateScratch();
    player->m_MeasuredSpeed = 0.0f;
    player->UpdateScratch();
    EXPECT_EQ(player->m_StaticScratchTimer, 0.0f);
    EXPECT_EQ(player->m_ScrapeTime, 0.0f);
}

TEST_F(CTuberSounds, TheMuteCurve)
{
    player->m_Muted = true;
    player->m_MuteTimer = 0.0f;
    // R 0.5, D 2, U 0.5, in steps of 1/64 s.
    struct Point
    {
        int ticks;
        float fade;
    };
    const Point points[] = {{16, 0.5f}, {32, 0.0f}, {160, 0.0f}, {176, 0.5f}};
    int done = 0;
    for (const Point& p : points)
    {
        for (; done < p.ticks; ++done)
            player->UpdateSoundMute();
        EXPECT_NEAR(g_AudioDevice.GetSoundFade(), p.fade, 1e-4f) << p.ticks;
    }
    for (; done < 200; ++done)
        player->UpdateSoundMute();
    EXPECT_EQ(g_AudioDevice.GetSoundFade(), 1.0f);
    EXPECT_FALSE(player->m_Muted);
    // Only the player is deafened.
    rival->m_Muted = true;
    g_AudioDevice.SetSoundFade(1.0f);
    rival->UpdateSoundMute();
    EXPECT_EQ(rival->m_MuteTimer, 0.0f);
}

}  // namespace
