// The cube sky: what it binds and gives back on the recording backend, and the shipped cube seen through
// the shipped effect over OpenGL (the face ahead, and another after a quarter turn).
#include <gtest/gtest.h>

#include <vector>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeSkyBoxRenderer.h"
#include "Engine/render/WeTexture.h"
#include "Engine/world/WeSkyBox.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeSkyBoxRendererCube = RecordingRender;

void Aim(WeCamera& camera, const D3DXVECTOR3& direction)
{
    camera.m_Position = D3DXVECTOR3(5.0f, 2.0f, -3.0f);
    camera.m_Direction = direction;
    camera.m_Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    camera.UpdateProjection();
    camera.Update();
}

D3DXMATRIX SharedMatrix(const char* name)
{
    D3DXMATRIX m;
    g_ShaderManager.m_Shared->GetEffect()->GetMatrix(name, &m);
    return m;
}

TEST_F(WeSkyBoxRendererCube, DrawsTheQuadWithTheCubeAndGivesTheCameraBack)
{
    ASSERT_TRUE(Create());
    WeSkyBox sky;
    sky.m_CubeTexture = g_TextureManager.GetTexture("Textures.Sky.Cube", false, 0, false);
    ASSERT_NE(sky.m_CubeTexture, nullptr);
    WeCamera camera;
    Aim(camera, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, &camera);
    g_GfxRecorder.ClearLog();
    ASSERT_TRUE(g_SkyBoxRenderer.DrawCubeSky(&sky, &camera, 1.0f));
    std::vector<const GfxDrawRecord*> draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->stride, 24u);
    EXPECT_EQ(draws[0]->vertexCount, 4u);
    EXPECT_EQ(draws[0]->state.textures[4], sky.m_CubeTexture->GetD3DTexture());
    EXPECT_NE(draws[0]->state.program, 0u);
    // The camera's own view, projection and position are the shared values again.
    EXPECT_EQ(SharedMatrix("ViewMatrix"), camera.m_View);
    EXPECT_EQ(SharedMatrix("Projection"), camera.m_Projection);
    D3DXVECTOR4 position;
    g_ShaderManager.m_Shared->GetEffect()->GetVector("CameraPosition", &position);
    EXPECT_FLOAT_EQ(position.x, 5.0f);
    EXPECT_FLOAT_EQ(position.z, -3.0f);

    // No sky box, no cube texture, no camera: nothing drawn.
    g_GfxRecorder.ClearLog();
    EXPECT_FALSE(g_SkyBoxRenderer.DrawCubeSky(nullptr, &camera, 1.0f));
    EXPECT_FALSE(g_SkyBoxRenderer.DrawCubeSky(&sky, nullptr, 1.0f));
    WeTexture* cube = sky.m_CubeTexture;
    sky.m_CubeTexture = nullptr;
    EXPECT_FALSE(g_SkyBoxRenderer.DrawCubeSky(&sky, &camera, 1.0f));
    sky.m_CubeTexture = cube;
    // Nor without its quad after a lost device.
    g_SkyBoxRenderer.OnLostDevice();
    EXPECT_FALSE(g_SkyBoxRenderer.DrawCubeSky(&sky, &camera, 1.0f));
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    g_SkyBoxRenderer.OnResetDevice();
    EXPECT_TRUE(g_SkyBoxRenderer.DrawCubeSky(&sky, &camera, 1.0f));
}

class WeSkyBoxRendererGL : public GLTestFixture
{
protected:
    static constexpr int Width = 64;
    static constexpr int Height = 48;
    WeSkyBoxRendererGL() : GLTestFixture(Width, Height) {}
    uint32_t CentreAfterDrawing(WeSkyBox& sky, WeCamera& camera)
    {
        m_Device->BeginScene();
        g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
        g_SkyBoxRenderer.DrawCubeSky(&sky, &camera, 1.0f);
        m_Device->EndScene();
        const GLTestImage image = ReadBack();
        return image.Empty() ? 0xDEADu : image.At(Width / 2, Height / 2);
    }
};

TEST_F(WeSkyBoxRendererGL, AheadShowsPlusZAndAQuarterTurnPlusX)
{
    WeSkyBox sky;
    sky.m_CubeTexture = g_TextureManager.GetTexture("Textures.Sky.Cube", false, 0, false);
    ASSERT_NE(sky.m_CubeTexture, nullptr);
    WeCamera camera;
    struct Case
    {
        D3DXVECTOR3 direction;
        uint32_t colour;
    } cases[] = {
        {D3DXVECTOR3(0, 0, 1), 0x4080E0u},
        {D3DXVECTOR3(1, 0, 0), 0xE08040u},
        {D3DXVECTOR3(-1, 0, 0), 0x8040C0u},
        {D3DXVECTOR3(0, 0, -1), 0x40A080u},
    };
    for (const Case& c : cases)
    {
        Aim(camera, c.direction);
        EXPECT_EQ(CentreAfterDrawing(sky, camera), c.colour) << c.direction.x << " " << c.direction.z;
    }
}

}  // namespace
