// Flares on the recording backend: which lights keep a record, the fades over the light's fade times,
// occlusion by a physics shape and by an occluder sphere, the infinitely-far flag, and fade times of 0.
#include <gtest/gtest.h>

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class FlareFixture : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        camera.m_Position = D3DXVECTOR3(0, 0, 0);
        camera.m_Direction = D3DXVECTOR3(0, 0, 1);
        camera.SetProjection(1.0f, 1.0f, 1000.0f, 1.0f);
        camera.Update();
        light = new WeLight();
        light->m_Flare = true;
        light->m_FlareFadeTimes[0] = 0.5f;
        light->m_FlareFadeTimes[1] = 0.5f;
        world.AddActor(light);
        Place(D3DXVECTOR3(0, 0, 100));
        g_Timer.m_FrameDeltaF = 0.1f;
    }
    void TearDown() override
    {
        g_FlareRenderer.ClearLights();
        g_FlareRenderer.ClearOccluders();
        g_Timer.m_FrameDeltaF = 0.0f;
        RecordingRender::TearDown();
    }
    void Place(const D3DXVECTOR3& p) { light->SetLocation(p); }
    WeFlareRenderer::FlareRecord* Record() { return g_FlareRenderer.FindRecord(light); }
    void Frame() { g_FlareRenderer.Collect(&world, &camera); }

    WeWorld world;
    WeCamera camera;
    WeLight* light = nullptr;
};

using WeFlareRendererCollect = FlareFixture;

TEST_F(WeFlareRendererCollect, FadesInThenOutBehindAnOccluderSphereAndTheRecordGoes)
{
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(Record()->onScreen);
    EXPECT_NEAR(Record()->x, 0.0f, 1e-5f);
    EXPECT_NEAR(Record()->depth, 0.1f, 0.01f);
    Frame();
    Frame();
    EXPECT_NEAR(Record()->fadeInTimer, 0.3f, 1e-5f);
    // A craft's sphere between camera and light, no physics shape: the fade-out starts where the fade-in
    // stood, (1 - 0.3 / 0.5) x 0.5 = 0.2, and grows by the frame time.
    WeBoundingSphere craft;
    craft.Set(0.0f, 0.0f, 50.0f, 2.0f);
    g_FlareRenderer.AddOccluder(craft);
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(Record()->occluded);
    EXPECT_NEAR(Record()->fadeOutTimer, 0.3f, 1e-5f);
    Frame();
    EXPECT_NEAR(Record()->fadeOutTimer, 0.4f, 1e-5f);
    // Gone once the fade-out time has passed (within a frame, as the sums round).
    Frame();
    Frame();
    EXPECT_EQ(Record(), nullptr);
    // Out of sight again: the record comes back and fades in from the start.
    g_FlareRenderer.ClearOccluders();
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_NEAR(Record()->fadeInTimer, 0.1f, 1e-5f);
}

TEST_F(WeFlareRendererCollect, BehindTheCameraOrOnItsPlaneNoRecord)
{
    struct Case
    {
        D3DXVECTOR3 position;
    } cases[] = {{D3DXVECTOR3(0, 0, -100)}, {D3DXVECTOR3(0, 0, 0)}, {D3DXVECTOR3(5, 0, 0)}, {D3DXVECTOR3(0, 0, 0.5f)}};
    for (const Case& c : cases)
    {
        Place(c.position);
        Frame();
        EXPECT_EQ(Record(), nullptr) << c.position.x << " " << c.position.z;
        for (auto* n = g_FlareRenderer.m_Flares.FirstNode(); n != nullptr; n = g_FlareRenderer.m_Flares.NextNode(n))
        {
            EXPECT_TRUE(std::isfinite(n->payload.x));
            EXPECT_TRUE(std::isfinite(n->payload.y));
        }
    }
}

TEST_F(WeFlareRendererCollect, BeyondTheFarPlaneOnlyWithTheInfinitelyFarFlag)
{
    Place(D3DXVECTOR3(0, 0, 5000));
    Frame();
    // A record in front of the camera stays while it could fade, but it is not on screen.
    ASSERT_NE(Record(), nullptr);
    EXPECT_FALSE(Record()->onScreen);
    light->m_FlareFlags[2] = true;
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(Record()->onScreen);
    EXPECT_GE(Record()->depth, 0.9999f);
}

TEST_F(WeFlareRendererCollect, ZeroFadeTimesAreInstant)
{
    light->m_FlareFadeTimes[0] = 0.0f;
    light->m_FlareFadeTimes[1] = 0.0f;
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_FLOAT_EQ(Record()->fadeInTimer, 0.0f);
    WeBoundingSphere craft;
    craft.Set(0.0f, 0.0f, 50.0f, 2.0f);
    g_FlareRenderer.AddOccluder(craft);
    Frame();
    EXPECT_EQ(Record(), nullptr);
    g_FlareRenderer.ClearOccluders();
    Frame();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(std::isfinite(Record()->fadeInTimer));
    EXPECT_TRUE(std::isfinite(Record()->fadeOutTimer));
}

TEST_F(WeFlareRendererCollect, APhysicsBoxBetweenCameraAndLightHidesIt)
{
    light->m_FlareFadeTimes[1] = 2.0f;
    Frame();
    g_Physics.Shutdown();
    ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
    WeActor wall;
    D3DXMATRIX pose;
    D3DXMatrixTranslation(&pose, 0, 0, 40);
    WeActorHandle* box = g_Physics.CreateBoxActor(&wall, pose, D3DXVECTOR3(5, 5, 1), 0, 0, true, 0);
    Frame();
    const bool hidden = Record() != nullptr && Record()->occluded;
    // A shape whose actor has its second further switch set lets the light through.
    wall.m_FurtherSwitch2 = true;
    Frame();
    const bool through = Record() != nullptr && !Record()->occluded;
    delete box;
    g_Physics.Shutdown();
    EXPECT_NE(box, nullptr);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(through);
}

TEST_F(WeFlareRendererCollect, RemoveLightAndTheOptionSwitch)
{
    Frame();
    ASSERT_NE(Record(), nullptr);
    g_FlareRenderer.RemoveLight(light);
    EXPECT_EQ(Record(), nullptr);
    g_RenderDevice.m_FlareOption = 0;
    Frame();
    g_RenderDevice.m_FlareOption = 1;
    EXPECT_EQ(Record(), nullptr);
}

}  // namespace
