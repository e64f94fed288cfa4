// The physics debug view: its configuration keys reaching the physics layer's parameters, and its line
// buffer following the device.
#include <gtest/gtest.h>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeDebugRenderer.h"
#include "Engine/world/WePhysics.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeDebugRendererDevice = RecordingRender;

TEST(WeDebugRendererPhysics, SwitchedOnKeysTakeTheLineSize)
{
    float& size = GetConfigFloat("debug.Physics.DebugLineSize", 1.0f);
    bool& worldAxes = GetConfigBool("debug.Physics.NX_VISUALIZE_WORLD_AXES", false);
    bool& shapes = GetConfigBool("debug.Physics.NX_VISUALIZE_COLLISION_SHAPES", false);
    bool& lastKey = GetConfigBool("debug.Physics.NX_VISUALIZE_SOFTBODY_ATTACHMENT", false);
    const float savedSize = size;
    size = 2.5f;
    worldAxes = true;
    shapes = true;
    lastKey = true;
    g_Physics.Shutdown();
    // The physics set-up applies them.
    ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
    NxPhysicsSDK* sdk = g_Physics.m_Sdk;
    ASSERT_NE(sdk, nullptr);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZATION_SCALE), 2.5f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_WORLD_AXES), 2.5f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_COLLISION_SHAPES), 2.5f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_SOFTBODY_ATTACHMENT), 2.5f);
    // Keys left off leave their parameters alone.
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_BODY_AXES), 0.0f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_CLOTH_MESH), 0.0f);

    // Applied again by hand with another size.
    size = 0.5f;
    shapes = false;
    g_DebugRenderer.ApplyPhysicsVisualization();
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZATION_SCALE), 0.5f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_WORLD_AXES), 0.5f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_VISUALIZE_COLLISION_SHAPES), 2.5f);
    g_Physics.Shutdown();
    // Without a physics scene nothing happens.
    g_DebugRenderer.ApplyPhysicsVisualization();
    size = savedSize;
    worldAxes = shapes = lastKey = false;
}

TEST_F(WeDebugRendererDevice, TheLineBufferFollowsTheDeviceAndAFailureMarksItUnusable)
{
    ASSERT_TRUE(Create());
    EXPECT_TRUE(g_DebugRenderer.IsUsable());
    ASSERT_NE(g_DebugRenderer.m_VertexBuffer, nullptr);
    D3DVERTEXBUFFER_DESC desc{};
    g_DebugRenderer.m_VertexBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.FVF, DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE));
    EXPECT_EQ(desc.Size % WeDebugRenderer::BytesPerLine, 0u);
    EXPECT_FLOAT_EQ(g_DebugRenderer.m_CameraRange, 500.0f);

    g_DebugRenderer.OnLostDevice();
    EXPECT_FALSE(g_DebugRenderer.IsUsable());
    g_GfxRecorder.FailNext("CreateVertexBuffer");
    g_DebugRenderer.OnResetDevice();
    EXPECT_FALSE(g_DebugRenderer.IsUsable());
    EXPECT_EQ(g_DebugRenderer.m_VertexBuffer, nullptr);
    g_DebugRenderer.OnResetDevice();
    EXPECT_TRUE(g_DebugRenderer.IsUsable());
}

}  // namespace
