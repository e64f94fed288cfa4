// A hierarchy model on an actor in a world, drawn over OpenGL through the world's render step: every frame
// of the tree reaches the screen under its own combined matrix, and the animation moves what is drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int Size = 64;
constexpr D3DCOLOR Clear = 0xFF102030u;

class WeModelHierarchyDraw : public GLTestFixture
{
protected:
    WeModelHierarchyDraw() : GLTestFixture(Size, Size, false) {}
    void SetUp() override
    {
        GLTestFixture::SetUp();
        // The scene as it is drawn, without the post-processing chain or the reflection cube.
        m_Saved = {g_RenderDevice.m_BloomLevel,         g_RenderDevice.m_MotionBlurMode,
                   g_RenderDevice.m_RefractionOn,       g_RenderDevice.m_DepthOfFieldOn,
                   g_RenderDevice.m_FilmGrainOn,        g_RenderDevice.m_ReflectionQuality,
                   int32_t(g_RenderDevice.m_ClearColor)};
        g_RenderDevice.m_BloomLevel = 0;
        g_RenderDevice.m_MotionBlurMode = 0;
        g_RenderDevice.m_RefractionOn = 0;
        g_RenderDevice.m_DepthOfFieldOn = 0;
        g_RenderDevice.m_FilmGrainOn = 0;
        g_RenderDevice.m_ReflectionQuality = 0;
        ASSERT_TRUE(CreateDevice()) << g_Engine.m_ErrorText.c_str();
        g_RenderDevice.m_ClearColor = Clear;
        const float ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        g_RenderDevice.SetAmbientColor(ambient);
        // Straight down on the spinner from 10 above with a 40-degree view: about 9.5 pixels a unit at the
        // rotor's top, the origin on the middle of the image and +z up the screen.
        camera.m_Position = D3DXVECTOR3(0, 10, 0);
        camera.m_Direction = D3DXVECTOR3(0, -1, 0);
        camera.m_Up = D3DXVECTOR3(0, 0, 1);
        camera.SetProjection(0.6981317f, 1.0f, 100.0f, 1.0f);
        camera.Update();
    }
    void TearDown() override
    {
        g_RenderQueue.Prepare(nullptr, nullptr);
        GLTestFixture::TearDown();
        g_RenderDevice.m_BloomLevel = m_Saved[0];
        g_RenderDevice.m_MotionBlurMode = m_Saved[1];
        g_RenderDevice.m_RefractionOn = uint8_t(m_Saved[2]);
        g_RenderDevice.m_DepthOfFieldOn = uint8_t(m_Saved[3]);
        g_RenderDevice.m_FilmGrainOn = uint8_t(m_Saved[4]);
        g_RenderDevice.m_ReflectionQuality = m_Saved[5];
        g_RenderDevice.m_ClearColor = D3DCOLOR(m_Saved[6]);
        g_Timer.m_FrameDeltaF = 0.0f;
    }

    // One tick of the world's actors after `seconds`, then the world's render step onto the back buffer.
    GLTestImage Frame(WeWorld& world, WeActor* actor, float seconds)
    {
        g_Timer.m_FrameDeltaF = seconds;
        actor->Tick();
        m_Device->BeginScene();
        world.Render(&camera);
        m_Device->EndScene();
        return ReadBack();
    }
    static bool Drawn(const GLTestImage& f, int x, int y) { return !DemoNearPixel(f.At(x, y), Clear); }

    WeCamera camera;
    std::vector<int32_t> m_Saved;
};

TEST_F(WeModelHierarchyDraw, EveryFrameDrawsUnderItsMatrixAndTheAnimationMovesIt)
{
    WeWorld world;
    WeActor* actor = new WeActor();
    actor->m_ModelName = "Demo.Models.Spinner";
    world.AddActor(actor);
    ASSERT_NE(actor->m_Model, nullptr);
    ASSERT_EQ(actor->m_Model->m_Kind, WeModel::KindHierarchy);
    ASSERT_NE(actor->m_Model->m_Controller, nullptr);

    // At the start the rotor, a bar 3 long and 0.6 wide, lies along x over the unit crate of the base.
    const GLTestImage start = Frame(world, actor, 0.0f);
    // Both frames' crates were queued: the base's and the rotor's, one subset each.
    EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Queued, 2);
    // A quarter of the second-long turn later it lies along z.
    const GLTestImage turned = Frame(world, actor, 0.25f);
    ASSERT_EQ(start.pixels.size(), size_t(Size) * Size);
    ASSERT_EQ(turned.pixels.size(), size_t(Size) * Size);

    // The base under the rotor's middle in both; the corners empty in both.
    EXPECT_TRUE(Drawn(start, 32, 32));
    EXPECT_TRUE(Drawn(turned, 32, 32));
    EXPECT_FALSE(Drawn(start, 3, 3));
    EXPECT_FALSE(Drawn(turned, 60, 60));
    // 1.2 units out along x (about 11 pixels): the rotor's ends at the start only; along z after the turn only.
    for (int x : {20, 44})
    {
        SCOPED_TRACE(x);
        EXPECT_TRUE(Drawn(start, x, 32));
        EXPECT_FALSE(Drawn(turned, x, 32));
    }
    for (int y : {20, 44})
    {
        SCOPED_TRACE(y);
        EXPECT_FALSE(Drawn(start, 32, y));
        EXPECT_TRUE(Drawn(turned, 32, y));
    }
    int changed = 0;
    for (size_t i = 0; i < start.pixels.size(); ++i)
        changed += DemoNearPixel(start.pixels[i], turned.pixels[i]) ? 0 : 1;
    EXPECT_GT(changed, 60);
    KeepOnFailure(start, "start");
}

TEST_F(WeModelHierarchyDraw, AHierarchyWithoutAnimationStillFollowsItsActor)
{
    WeWorld world;
    WeActor* actor = new WeActor();
    actor->m_ModelName = "Demo.Models.Spinner";
    world.AddActor(actor);
    ASSERT_NE(actor->m_Model, nullptr);
    // Without the controller nothing turns, but the frames still hang under the actor's matrix.
    actor->m_Model->m_Controller->Release();
    actor->m_Model->m_Controller = nullptr;
    actor->SetLocation(D3DXVECTOR3(1.5f, 0, 0));
    const GLTestImage moved = Frame(world, actor, 0.25f);
    ASSERT_EQ(moved.pixels.size(), size_t(Size) * Size);
    // The base's crate 1.5 units (about 14 pixels) to the right of the middle, nothing left in the middle's left.
    EXPECT_TRUE(Drawn(moved, 46, 32));
    EXPECT_FALSE(Drawn(moved, 24, 32));
}

TEST_F(WeModelHierarchyDraw, AClonedSpinnerDrawsOnItsOwnAndTheSelectionCoversEveryFrame)
{
    WeWorld world;
    WeActor* first = new WeActor();
    first->m_ModelName = "Demo.Models.Spinner";
    first->SetLocation(D3DXVECTOR3(-1.6f, 0, 0));
    world.AddActor(first);
    ASSERT_NE(first->m_Model, nullptr);
    // A second actor with a clone, as spawned objects get theirs: its own frames, the meshes shared.
    WeActor* second = new WeActor();
    second->m_Model = g_ModelManager.Clone(first->m_Model);
    ASSERT_NE(second->m_Model, nullptr);
    second->SetLocation(D3DXVECTOR3(1.6f, 0, 0));
    world.AddActor(second);
    first->Tick();
    // Half a turn for the clone only: the rotor of the first still lies along x, the clone's too (a half turn
    // brings it back), but a quarter more turns only the clone's.
    const GLTestImage both = Frame(world, second, 0.5f);
    EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Queued, 4);
    EXPECT_TRUE(Drawn(both, 32 - 15, 32));
    EXPECT_TRUE(Drawn(both, 32 + 15, 32));
    const GLTestImage turned = Frame(world, second, 0.25f);
    // The clone's rotor now along z, the first one's still along x (its actor was not ticked).
    EXPECT_TRUE(Drawn(turned, 32 + 15, 32 - 10));
    EXPECT_FALSE(Drawn(turned, 32 + 15 + 10, 32));
    EXPECT_TRUE(Drawn(turned, 32 - 15 - 10, 32));
    KeepOnFailure(both, "both");

    // The selection material goes on every subset of every frame.
    g_RenderQueue.Prepare(&world, &camera);
    const int32_t queued = g_RenderQueue.m_OpaqueHeap.m_Count + g_RenderQueue.m_BlendedHeap.m_Count +
                           g_RenderQueue.m_LastHeap.m_Count + g_RenderQueue.m_BackgroundHeap.m_Count;
    first->m_Model->Draw(&camera, &g_RenderQueue, first, -2);
    int32_t selected = 0;
    for (const WeRenderHeap* heap : {&g_RenderQueue.m_OpaqueHeap, &g_RenderQueue.m_BlendedHeap,
                                     &g_RenderQueue.m_LastHeap, &g_RenderQueue.m_BackgroundHeap})
        for (int32_t i = 0; i < heap->m_Count; ++i)
            selected += heap->m_Entries[i].item->material == g_MaterialManager.m_Selection ? 1 : 0;
    ASSERT_NE(g_MaterialManager.m_Selection, nullptr);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(g_RenderQueue.m_OpaqueHeap.m_Count + g_RenderQueue.m_BlendedHeap.m_Count +
                  g_RenderQueue.m_LastHeap.m_Count + g_RenderQueue.m_BackgroundHeap.m_Count,
              queued + 2);
}

}  // namespace
