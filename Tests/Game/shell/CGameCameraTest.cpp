#include "Game/shell/CGameCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/render/WePostProcess.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxTypes.h"
#include "Tests/Game/shell/RaceTestSupport.h"
#include "Tools/race_common/ChaseEyeCheck.h"

namespace
{
constexpr float Degrees = 3.14159265358979f / 180.0f;

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

D3DXVECTOR3 Unit(const D3DXVECTOR3& v)
{
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return v / l;
}

TEST(CGameCamera, ThePresetCountIsClampedToTheTable)
{
    const struct
    {
        const char* count;
        int32_t expected;
    } cases[] = {{"-3", 1}, {"0", 1}, {"1", 1}, {"4", 4}, {"10", 10}, {"40", 10}};
    for (const auto& c : cases)
    {
        ConfigOverride count("cameras.Init.Count", c.count);
        CGameCamera::LoadPresets();
        EXPECT_EQ(g_CameraPresets.m_Count, c.expected) << c.count;
    }
    CGameCamera::LoadPresets();
}

TEST(CGameCamera, AbsurdPresetValuesAreClampedToAFiniteView)
{
    ConfigOverride back("cameras.Camera1.BackDistance", "-5");
    ConfigOverride up("cameras.Camera1.UpDistance", "0");
    ConfigOverride speed("cameras.Camera1.Speed", "-2");
    ConfigOverride angular("cameras.Camera1.AngularSpeed", "-2");
    ConfigOverride hit("cameras.Camera1.MinHitDistance", "-1");
    ConfigOverride minDistance("cameras.Camera1.MinDistance", "-4");
    ConfigOverride maxDistance("cameras.Camera1.MaxDistance", "-9");
    ConfigOverride minFov("cameras.Camera1.MinFOV", "500");
    ConfigOverride maxFov("cameras.Camera1.MaxFOV", "-20");
    ConfigOverride turboFov("cameras.Camera1.TurboFOV", "0.5");
    ConfigOverride fps("cameras.Camera1.FPS", "1");
    CGameCamera::LoadPresets();
    const CGameCameraPreset& p = g_CameraPresets.m_Numbered[0];
    EXPECT_EQ(p.m_BackDistance, 0.0f);
    EXPECT_EQ(p.m_Distance, 0.0f);
    EXPECT_EQ(p.m_Speed, 0.0f);
    EXPECT_EQ(p.m_AngularSpeed, 0.0f);
    EXPECT_EQ(p.m_MinHitDistance, 0.0f);
    EXPECT_EQ(p.m_MinDistance, 0.0f);
    EXPECT_EQ(p.m_MaxDistance, 0.0f);
    EXPECT_FLOAT_EQ(p.m_MinFOV, 179.0f * Degrees);
    EXPECT_FLOAT_EQ(p.m_MaxFOV, 1.0f * Degrees);
    EXPECT_FLOAT_EQ(p.m_TurboFOV, 1.0f * Degrees);
    EXPECT_TRUE(p.m_FPS);
    // The defaults of a preset no key names.
    CGameCameraPreset unnamed;
    unnamed.Load(WeString("cameras.NoSuchCamera"));
    EXPECT_FLOAT_EQ(unnamed.m_Distance, std::sqrt(5.0f * 5.0f + 1.5f * 1.5f));
    EXPECT_FLOAT_EQ(unnamed.m_MaxFOV, 120.0f * Degrees);
    EXPECT_EQ(unnamed.m_MinDistance, 2.0f);
}

struct FovCase
{
    float v, n, m, degrees;
};

TEST(CGameCamera, TheFieldOfViewFollowsTheSpeedCurve)
{
    CGameCameraPreset p;
    p.m_MinFOVSpeed = 0.2f;
    p.m_MaxFOVSpeed = 0.6f;
    const FovCase cases[] = {{0.0f, 100.0f, 150.0f, 90.0f},
                             {-5.0f, 100.0f, 150.0f, 90.0f},
                             {10.0f, 100.0f, 150.0f, 90.0f},
                             {20.0f, 100.0f, 150.0f, 90.0f},
                             {40.0f, 100.0f, 150.0f, 105.0f},
                             {60.0f, 100.0f, 150.0f, 120.0f},
                             {90.0f, 100.0f, 150.0f, 120.0f},
                             {100.0f, 100.0f, 150.0f, 120.0f},
                             {125.0f, 100.0f, 150.0f, 135.0f},
                             {150.0f, 100.0f, 150.0f, 150.0f},
                             {400.0f, 100.0f, 150.0f, 150.0f},
                             // No normal top speed: no fraction of it.
                             {50.0f, 0.0f, 150.0f, 90.0f},
                             {50.0f, -1.0f, 150.0f, 90.0f},
                             // The turbo top speed at the normal one.
                             {100.0f, 100.0f, 100.0f, 150.0f},
                             {100.0f, 100.0f, 100.0005f, 120.0f}};
    for (const FovCase& c : cases)
        EXPECT_NEAR(CGameCamera::FovForSpeed(p, c.v, c.n, c.m), c.degrees * Degrees, 1e-4f)
            << c.v << " " << c.n << " " << c.m;
}

class CGameCameraRace : public RaceFixture
{
protected:
    void StartRacing(RaceRigOptions options = RaceTestOptions())
    {
        StartRace(std::move(options));
        RunToState(4);
        camera = g_Game.m_Camera;
        player = rig->Player();
        ASSERT_NE(player, nullptr);
    }
    void Press(int32_t code)
    {
        rig->KeyDown(code);
        rig->Tick(1);
        rig->KeyUp(code);
        rig->Tick(1);
    }
    CGameCamera* camera = nullptr;
    CTuber* player = nullptr;
};

TEST_F(CGameCameraRace, TheChangeKeyWrapsAndNumberKeysSelectWithoutModifiers)
{
    ConfigOverride count("cameras.Init.Count", "3");
    StartRacing();
    EXPECT_EQ(camera->m_PresetIndex, 0);
    Press(DIK_C);
    Press(DIK_C);
    EXPECT_EQ(camera->m_PresetIndex, 2);
    Press(DIK_C);
    EXPECT_EQ(camera->m_PresetIndex, 0);
    Press(DIK_2);
    EXPECT_EQ(camera->m_PresetIndex, 1);
    // A preset the table does not have: nothing.
    Press(DIK_0);
    EXPECT_EQ(camera->m_PresetIndex, 1);
    // With Shift held a number key is someone else's.
    rig->KeyDown(DIK_LSHIFT);
    Press(DIK_3);
    rig->KeyUp(DIK_LSHIFT);
    rig->Tick(1);
    EXPECT_EQ(camera->m_PresetIndex, 1);
    // A change-camera action on a mouse button reads no key.
    CInputBindings::Binding& change = g_OptionsSettings.m_Bindings.entries[CInputBindings::ChangeCamera];
    const CInputBindings::Binding saved = change;
    change = CInputBindings::Binding{DIK_0, 1, 0};
    Press(DIK_0);
    change = saved;
    EXPECT_EQ(camera->m_PresetIndex, 1);
}

TEST_F(CGameCameraRace, WithOnePresetTheChangeKeyStays)
{
    ConfigOverride count("cameras.Init.Count", "1");
    StartRacing();
    Press(DIK_C);
    EXPECT_EQ(camera->m_PresetIndex, 0);
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Numbered[0]);
}

TEST_F(CGameCameraRace, HoldingReverseLooksBackWithoutSmoothingOnTheFrameOfTheChange)
{
    ConfigOverride reverse("cameras.ReverseCamera.ViewDirection", "-1");
    StartRacing();
    rig->Tick(32);
    // The key is read after the camera moved: the change shows in the next frame, whole.
    rig->KeyDown(DIK_R);
    rig->Tick(1);
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Reverse);
    rig->Tick(1);
    const D3DXMATRIX& m = player->GetWorldMatrix();
    const D3DXVECTOR3 back = Unit(D3DXVECTOR3(-m._31, -m._32, -m._33));
    EXPECT_NEAR(Distance(camera->m_ViewDirection, back), 0.0f, 1e-4f);
    rig->Tick(4);
    rig->KeyUp(DIK_R);
    rig->Tick(1);
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Numbered[0]);
    rig->Tick(1);
    const D3DXVECTOR3 ahead = Unit(D3DXVECTOR3(m._31, m._32, m._33));
    EXPECT_NEAR(Distance(camera->m_ViewDirection, ahead), 0.0f, 1e-4f);
}

TEST_F(CGameCameraRace, TheFinishingPresetTakesOverAtTheFinishAndAfterANormalEnd)
{
    ConfigOverride count("cameras.Init.Count", "2");
    StartRacing();
    camera->SelectPreset(1);
    camera->SelectActivePreset();
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Numbered[1]);
    player->m_Finished = true;
    camera->SelectActivePreset();
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Finishing);
    player->m_Finished = false;
    g_PlayGamePhase.m_RaceState = 5;
    g_PlayGamePhase.m_FinishReason = 1;
    camera->SelectActivePreset();
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Numbered[1]);
    g_PlayGamePhase.m_FinishReason = 0;
    camera->SelectActivePreset();
    EXPECT_EQ(camera->m_ActivePreset, &g_CameraPresets.m_Finishing);
    g_PlayGamePhase.m_RaceState = 4;
}

TEST_F(CGameCameraRace, ZeroDistancesPutTheEyeOnTheCraft)
{
    ConfigOverride back("cameras.Camera1.BackDistance", "0");
    ConfigOverride up("cameras.Camera1.UpDistance", "0");
    ConfigOverride minDistance("cameras.Camera1.MinDistance", "0");
    ConfigOverride noHit("cameras.Camera1.NoHitCheck", "1");
    StartRacing();
    rig->Tick(8);
    EXPECT_LT(Distance(camera->m_Position, player->GetWorldPosition()), 1e-4f);
}

TEST_F(CGameCameraRace, TheSpeedDrivesTheRadialBlurAndTheFieldOfView)
{
    StartRacing();
    rig->KeyDown(DIK_W);
    rig->Tick(96);
    rig->KeyUp(DIK_W);
    ASSERT_GT(player->m_MeasuredSpeed, 1.0f);
    EXPECT_FLOAT_EQ(player->m_SpeedFraction, player->m_MeasuredSpeed / player->m_MaxSpeed);
    EXPECT_FLOAT_EQ(g_PostProcess.m_RadialBlurStrength, player->m_SpeedFraction * 0.1f);
    EXPECT_FLOAT_EQ(camera->m_Fov, player->m_FieldOfView);
    EXPECT_GT(camera->m_Fov, camera->m_ActivePreset->m_MinFOV);
    EXPECT_LE(camera->m_Fov, camera->m_ActivePreset->m_TurboFOV);
}

TEST_F(CGameCameraRace, EachShakeModeMovesTheViewByItsSize)
{
    ConfigOverride noShaking("cameras.Camera1.NoShaking", "1");
    StartRacing();
    const struct
    {
        int32_t mode;
        float largest;  // the size of the push at its strongest
    } cases[] = {{CGameCamera::HitShake, 0.02f},
                 {CGameCamera::SoftShake, 1.0f / (0.5f * 200.0f)},
                 {CGameCamera::RisingShake, 0.01f}};
    for (const auto& c : cases)
    {
        camera->Shake(c.mode, 1.0f);
        float most = 0.0f;
        for (int i = 0; i < 60; ++i)
        {
            rig->Tick(1);
            const D3DXMATRIX& m = player->GetWorldMatrix();
            most = std::fmax(most, Distance(camera->m_ViewDirection, Unit(D3DXVECTOR3(m._31, m._32, m._33))));
        }
        EXPECT_LE(most, c.largest * 1.01f) << c.mode;
        EXPECT_GT(most, c.largest * 0.3f) << c.mode;
        rig->Tick(8);
        EXPECT_EQ(camera->m_ShakeMode, CGameCamera::NoShake);
    }
}

TEST_F(CGameCameraRace, SnapAndResetDirectionSkipTheSmoothingOnce)
{
    StartRacing();
    rig->Tick(16);
    camera->m_ViewDirection = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    g_Game.m_ResetDirection = 1;
    rig->Tick(1);
    const D3DXMATRIX& m = player->GetWorldMatrix();
    EXPECT_NEAR(Distance(camera->m_ViewDirection, Unit(D3DXVECTOR3(m._31, m._32, m._33))), 0.0f, 1e-4f);
    EXPECT_EQ(g_Game.m_ResetDirection, 0);
    g_Game.m_Snap = 1;
    rig->Tick(1);
    EXPECT_EQ(g_Game.m_Snap, 0);
    // The motion history starts again, so the blur does not smear the jump.
    EXPECT_EQ(camera->m_HistoryOldest, camera->m_HistoryNewest);
}

// A tube with a low roof and tight walls: wherever the eye is asked to go, it ends clear of the geometry.
TEST_F(CGameCameraRace, TheEyeKeepsOffTheWallsOfATightTube)
{
    RaceRigOptions o = RaceTestOptions();
    o.mapDescription = "map RaceTube\nsky Maps.Sky.Plain 0\nprofile tube 8 3\nstep 2\nsegment 200\n"
                       "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                       "section\n  point 0 0 0\n  point 200 0 200\n  point 0 0 400\n  point -200 0 200\nend\n";
    StartRacing(o);
    CGameCameraPreset p;
    const D3DXVECTOR3 craft = player->GetWorldPosition();
    const D3DXMATRIX& m = player->GetWorldMatrix();
    const D3DXVECTOR3 right(m._11, m._12, m._13), up(m._21, m._22, m._23), forward(m._31, m._32, m._33);
    const D3DXVECTOR3 wanted[] = {craft - forward * 5.0f + up * 1.5f,
                                  craft + up * 20.0f,
                                  craft + right * 30.0f,
                                  craft - right * 30.0f,
                                  craft - up * 10.0f,
                                  craft - forward * 60.0f,
                                  craft + (up + right) * 15.0f,
                                  craft - forward * 4.0f + up * 2.9f};
    for (const D3DXVECTOR3& eye : wanted)
    {
        const D3DXVECTOR3 kept = CGameCamera::KeepOffGeometry(p, craft, eye);
        ASSERT_TRUE(std::isfinite(kept.x) && std::isfinite(kept.y) && std::isfinite(kept.z));
        EXPECT_LE(Distance(kept, craft), std::fmax(Distance(eye, craft), p.m_MaxDistance) + p.m_MinHitDistance);
        // Nothing between the craft and the eye, and the eye off every wall.
        WeRaycastHit hit;
        const float toEye = Distance(kept, craft);
        if (toEye > 1e-3f)
        {
            EXPECT_FALSE(
                g_Physics.RaycastClosest(craft, Unit(kept - craft), NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, toEye, 0))
                << eye.x << " " << eye.y << " " << eye.z;
        }
        const D3DXVECTOR3 axes[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const D3DXVECTOR3& axis : axes)
        {
            if (g_Physics.RaycastClosest(kept, axis, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, 100.0f, 0))
            {
                EXPECT_GE(hit.distance, p.m_MinHitDistance * 0.9f) << eye.x << " " << eye.y << " " << eye.z;
            }
        }
    }
    // Straight along the track the lengthened ray stays finite and within the largest distance.
    const D3DXVECTOR3 along = CGameCamera::KeepOffGeometry(p, craft, craft - forward * 5.0f);
    EXPECT_TRUE(std::isfinite(along.x));
    EXPECT_LE(Distance(along, craft), p.m_MaxDistance + p.m_MinHitDistance);
}

// A crease: a wall across the ray, tilted up, and a roof just above the ray. The step off the wall along its
// normal would cross the roof and hide the craft, so the eye stays on the ray instead; without the roof the
// step stands. The same for the push off a wall met just beyond the eye.
TEST_F(CGameCameraRace, AStepOffOneWallThatCrossesAnotherKeepsTheEyeOnTheRay)
{
    StartRacing();
    const D3DXVECTOR3 craft(0.0f, 500.0f, 0.0f);
    const D3DXVECTOR3 n(0.0f, 0.6f, 0.8f);
    D3DXMATRIX wallPose;
    D3DXMatrixIdentity(&wallPose);
    wallPose._22 = 0.8f, wallPose._23 = -0.6f;
    wallPose._32 = n.y, wallPose._33 = n.z;
    const D3DXVECTOR3 wallCentre = craft + D3DXVECTOR3(0.0f, 0.0f, -6.0f) - n * 0.1f;
    wallPose._41 = wallCentre.x, wallPose._42 = wallCentre.y, wallPose._43 = wallCentre.z;
    D3DXMATRIX roofPose;
    D3DXMatrixTranslation(&roofPose, 0.0f, 500.4f, -3.0f);
    const struct
    {
        bool roof;
        float back;  // the eye asked for this far behind the craft
        D3DXVECTOR3 expected;
    } cases[] = {{true, 10.0f, craft + D3DXVECTOR3(0.0f, 0.0f, -5.0f)},
                 {false, 10.0f, craft + D3DXVECTOR3(0.0f, 0.0f, -6.0f) + n},
                 {true, 5.5f, craft + D3DXVECTOR3(0.0f, 0.0f, -5.5f)},
                 {false, 5.5f, craft + D3DXVECTOR3(0.0f, 0.0f, -5.5f) + n * 0.6f}};
    CGameCameraPreset p;
    for (const auto& c : cases)
    {
        WeActor owner;
        WeActorHandle* wall =
            g_Physics.CreateBoxActor(&owner, wallPose, D3DXVECTOR3(5.0f, 5.0f, 0.1f), 0, 0.0f, true, 0);
        ASSERT_NE(wall, nullptr);
        WeActorHandle* roof =
            c.roof ? g_Physics.CreateBoxActor(&owner, roofPose, D3DXVECTOR3(5.0f, 0.1f, 2.0f), 0, 0.0f, true, 0)
                   : nullptr;
        const D3DXVECTOR3 kept = CGameCamera::KeepOffGeometry(p, craft, craft + D3DXVECTOR3(0.0f, 0.0f, -c.back));
        EXPECT_LT(Distance(kept, c.expected), 1e-3f)
            << c.roof << " " << c.back << ": " << kept.x << " " << kept.y << " " << kept.z;
        WeRaycastHit hit;
        EXPECT_FALSE(g_Physics.RaycastClosest(craft, Unit(kept - craft), NX_STATIC_SHAPES, hit, 0xFFFFFFFFu,
                                              Distance(kept, craft), 0))
            << c.roof << " " << c.back;
        delete roof;
        delete wall;
    }
}

// The judge of a chase frame, on the tight tube: a wall crossed on the way to the eye, a wall in the near
// plane, the craft behind the eye and a craft scraping a wall each tell apart from a clean frame.
TEST_F(CGameCameraRace, TheEyeCheckTellsEachWayTheViewFails)
{
    RaceRigOptions o = RaceTestOptions();
    o.mapDescription = "map RaceTube\nsky Maps.Sky.Plain 0\nprofile tube 8 3\nstep 2\nsegment 200\n"
                       "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                       "section\n  point 0 0 0\n  point 200 0 200\n  point 0 0 400\n  point -200 0 200\nend\n";
    o.trackBodies = true;
    StartRacing(o);
    const D3DXVECTOR3 craft = player->GetWorldPosition();
    const D3DXMATRIX& m = player->GetWorldMatrix();
    const D3DXVECTOR3 right(m._11, m._12, m._13), up(m._21, m._22, m._23), forward(m._31, m._32, m._33);
    WeRaycastHit side;
    ASSERT_TRUE(g_Physics.RaycastClosest(craft, right, NX_STATIC_SHAPES, side, 0xFFFFFFFFu, 50.0f, 0));
    const float wall = side.distance;
    ASSERT_GT(wall, 1.0f);
    CGameCameraPreset chase;
    CGameCameraPreset centred;
    centred.m_Centered = true;
    const struct
    {
        const char* what;
        const CGameCameraPreset* preset;
        D3DXVECTOR3 eye, look, followed;
        ChaseEye expected;
    } cases[] = {
        {"behind and above", &chase, craft - forward * 5.0f + up * 1.5f, forward, craft, ChaseEye::Clear},
        {"through the wall", &chase, craft + right * (wall + 5.0f), -right, craft, ChaseEye::CraftHidden},
        {"against the wall", &chase, craft + right * (wall - 0.1f) - forward * 3.0f, forward, craft,
         ChaseEye::NearPlaneCut},
        {"ahead of the craft", &chase, craft + forward * 4.0f, forward, craft, ChaseEye::CraftOffScreen},
        {"craft at the wall", &chase, craft - forward * 5.0f, forward, craft + right * (wall - 0.05f),
         ChaseEye::CraftInGeometry},
        {"centred through the wall", &centred, craft + right * (wall + 5.0f), -right, craft, ChaseEye::NotChasing},
    };
    for (const auto& c : cases)
    {
        camera->m_ActivePreset = c.preset;
        camera->m_Position = c.eye;
        camera->m_Direction = c.look;
        camera->m_Up = std::fabs(c.look.y) < 0.9f ? D3DXVECTOR3(0.0f, 1.0f, 0.0f) : right;
        camera->WeCamera::Update();
        EXPECT_EQ(CheckChaseEye(*camera, c.followed), c.expected) << c.what;
    }
}

// The shipped tracks' tubes, overhangs and bends, the craft on the rig's path rail from GO: every frame of
// the chase has the craft on screen with nothing between it and the eye, and no wall in the near plane.
TEST_F(CGameCameraRace, OnTheShippedTracksTheChaseKeepsTheCraftInSightAndTheNearPlaneOpen)
{
    const struct
    {
        const char* map;
        int32_t preset;  // 0 the standard chase, 1 the far one
    } cases[] = {{"Fusion Sphere (night)", 0},
                 {"Fusion Sphere (night)", 1},
                 {"Wastelands of Apeiron (day)", 0},
                 {"Wastelands of Apeiron (day)", 1}};
    for (const auto& c : cases)
    {
        RaceRigOptions o = RaceTestOptions();
        o.mapDescription.clear();
        o.map = c.map;
        StartRace(o);
        rig->SetRail(0, 90.0f);
        RunToState(CPlayGamePhase::Racing, 60.0);
        ASSERT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Racing) << c.map;
        camera = g_Game.m_Camera;
        player = rig->Player();
        ASSERT_NE(player, nullptr);
        camera->SelectPreset(c.preset);
        float travelled = 0.0f;
        D3DXVECTOR3 last = player->GetWorldPosition();
        int32_t clear = 0, faults = 0;
        std::string first;
        const int32_t ticks = 960;
        for (int32_t i = 0; i < ticks; ++i)
        {
            rig->Tick(1);
            travelled += Distance(player->GetWorldPosition(), last);
            last = player->GetWorldPosition();
            const ChaseEye eye = CheckChaseEye(*camera, player->GetWorldPosition());
            if (eye == ChaseEye::Clear)
                ++clear;
            else if (eye != ChaseEye::CraftInGeometry && faults++ == 0)
                first = "tick " + std::to_string(i) + ": " + ChaseEyeName(eye);
        }
        EXPECT_EQ(faults, 0) << c.map << " preset " << c.preset << ", the first at " << first;
        // The frames judged are nearly all of them, and the craft got round a good part of the track.
        EXPECT_GT(clear, ticks * 9 / 10) << c.map << " preset " << c.preset;
        EXPECT_GT(travelled, 600.0f) << c.map;
        rig->Stop();
        rig.reset();
    }
}
}  // namespace
