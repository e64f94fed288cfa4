// The special renderers over OpenGL on the shipped pack: a particle of known size and colour where it was
// placed, additive particles adding up, a flare drawn at its light's projected point, a trail ribbon, a spot
// projector's disc on a floor drawn through the world and the render queue, and the reflection cube's faces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeNewParticleSystemRenderer.h"
#include "Engine/render/WeProjectorRenderer.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTrailRenderer.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int Width = 64;
constexpr int Height = 64;

class SpecialGL : public GLTestFixture
{
protected:
    SpecialGL() : GLTestFixture(Width, Height) {}
    void SetUp() override
    {
        GLTestFixture::SetUp();
        if (HasFatalFailure())
            return;
        // Looking along +Z with a 90-degree square view: at depth 10 one unit is 3.2 pixels.
        camera.m_Position = D3DXVECTOR3(0, 0, 0);
        camera.m_Direction = D3DXVECTOR3(0, 0, 1);
        camera.SetProjection(1.5707963f, 1.0f, 100.0f, 1.0f);
        camera.Update();
        g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, &camera);
    }
    std::vector<uint32_t> Frame()
    {
        GLTestImage image = ReadBack();
        if (image.Empty())
            return std::vector<uint32_t>(size_t(Width) * Height, 0xDEADu);
        for (uint32_t& p : image.pixels)
            p &= 0x00FFFFFFu;
        return image.pixels;
    }
    static uint32_t At(const std::vector<uint32_t>& f, int x, int y) { return f[size_t(y) * Width + size_t(x)]; }
    // Each channel within 2 (rasterisers round differently).
    static bool Near(uint32_t a, uint32_t b)
    {
        for (int s : {0, 8, 16})
            if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 2)
                return false;
        return true;
    }

    // A flat-coloured material of the kind the default mesh draws with.
    static WeMaterial Flat(float r, float g, float b)
    {
        WeMaterial material = *g_MaterialManager.m_Default;
        material.m_Color[0] = r;
        material.m_Color[1] = g;
        material.m_Color[2] = b;
        material.m_Color[3] = 1.0f;
        return material;
    }
    // A unit box of the default mesh, scaled and placed, drawing its one subset with the material through a
    // preset of its own (the mesh is shared, so each box needs its own preset).
    static WeActor* AddBox(WeWorld& world, const D3DXVECTOR3& at, const D3DXVECTOR3& size, WeMaterial* material,
                           int32_t preset)
    {
        WeActor* box = new WeActor();
        box->m_ModelName = WeMeshManager::DefaultMeshName;
        box->m_ModelPreset = preset;
        box->SetLocation(at);
        box->SetScaling(size);
        world.AddActor(box);
        if (box->m_Model == nullptr || box->m_Model->m_Mesh == nullptr)
            return nullptr;
        WeMaterialPreset& p = box->m_Model->m_Mesh->m_Presets[preset];
        p.materials[0] = material;
        p.resolved[0] = 1;
        return box;
    }

    WeCamera camera;
};

using WeNewParticleSystemRendererGL = SpecialGL;
using WeFlareRendererGL = SpecialGL;
using WeTrailRendererGL = SpecialGL;
using WeProjectorRendererGL = SpecialGL;
using WeReflectionRendererGL = SpecialGL;

TEST_F(WeNewParticleSystemRendererGL, AParticleOfKnownSizeAndColourAndAdditiveOnesAddUp)
{
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.NewParticleSystem", false, false);
    ASSERT_NE(shader, nullptr);
    WeNewParticleSystem* system = new WeNewParticleSystem();
    // Two particles: one alone at the left, two on top of each other at the right. Size 2 at depth 10 is a
    // square of 2 x 2 x 3.2 = 12.8 pixels a side.
    std::vector<WeParticle> particles(3, WeParticle{});
    const D3DXVECTOR3 places[3] = {D3DXVECTOR3(-5, 0, 10), D3DXVECTOR3(5, 0, 10), D3DXVECTOR3(5, 0, 10)};
    for (int i = 0; i < 3; ++i)
    {
        particles[size_t(i)].position = places[i];
        particles[size_t(i)].color[0] = 0.25f;
        particles[size_t(i)].color[1] = 0.5f;
        particles[size_t(i)].color[2] = 0.125f;
        particles[size_t(i)].color[3] = 1.0f;
        particles[size_t(i)].size = 2.0f;
        system->m_Particles.PushBack(&particles[size_t(i)]);
    }
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    m_Device->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    ASSERT_TRUE(shader->SetTechnique(0, false));
    ASSERT_GT(shader->Begin(0), 0u);
    ASSERT_EQ(shader->BeginPass(0), D3D_OK);
    g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
    shader->GetEffect()->SetMatrix(shader->m_CameraRotation, &camera.m_Basis);
    shader->CommitChanges();
    EXPECT_EQ(g_NewParticleSystemRenderer.RenderParticleSystem(system, &camera), 1);
    shader->EndPass();
    shader->End();
    m_Device->EndScene();
    std::vector<uint32_t> f = Frame();
    system->m_Particles.Reset();
    delete system;
    // The lone particle centred at x = 32 - 16 = 16, 12.8 pixels wide: inside at +-5, outside at +-8.
    EXPECT_TRUE(Near(At(f, 16, 32), 0x408020u)) << std::hex << At(f, 16, 32);
    EXPECT_TRUE(Near(At(f, 11, 32), 0x408020u));
    EXPECT_TRUE(Near(At(f, 21, 27), 0x408020u));
    EXPECT_EQ(At(f, 8, 32), 0u);
    EXPECT_EQ(At(f, 16, 24), 0u);
    // The pair adds up.
    EXPECT_TRUE(Near(At(f, 48, 32), 0x80FF40u)) << std::hex << At(f, 48, 32);
}

TEST_F(WeFlareRendererGL, AFlareAtTheProjectedPoint)
{
    WeWorld world;
    WeLight* light = new WeLight();
    light->m_Flare = true;
    light->m_FlareFadeTimes[0] = 0.0f;  // no fade-in: full at once
    light->m_FlareValues[0] = 0.125f;   // 8 x 8 pixels
    light->m_FlareValues[1] = 0.125f;
    light->m_FlareFlags[1] = true;  // no roll
    world.AddActor(light);
    // Right of centre and up: x' = 0.5, y' = 0.25 at depth 20, so the point is (48, 24).
    light->SetLocation(D3DXVECTOR3(10, 5, 20));
    g_Timer.m_FrameDeltaF = 0.1f;
    g_FlareRenderer.Collect(&world, &camera);
    g_Timer.m_FrameDeltaF = 0.0f;
    ASSERT_NE(g_FlareRenderer.FindRecord(light), nullptr);
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    g_Canvas.BeginFrame();
    g_FlareRenderer.Draw(&world, &camera);
    g_Canvas.Flush();
    m_Device->EndScene();
    std::vector<uint32_t> f = Frame();
    g_FlareRenderer.ClearLights();
    // No flare texture: the canvas draws it white; added over black.
    EXPECT_EQ(At(f, 48, 24), 0xFFFFFFu);
    EXPECT_EQ(At(f, 45, 21), 0xFFFFFFu);
    EXPECT_EQ(At(f, 40, 24), 0u);
    EXPECT_EQ(At(f, 48, 31), 0u);
}

TEST_F(WeTrailRendererGL, ARibbonBetweenTwoPointsFadingToItsTail)
{
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Special.Trail", false, false);
    ASSERT_NE(shader, nullptr);
    WeTrail trail;
    trail.Setup(nullptr, 1.0f, 1.0f, 1.0f, 1.0f, 0.3f, 1, 0.5f, 1.0f, 0.0f);
    trail.Init();
    // One quad from x = -5 (tail, alpha 0) to x = 5 (head, alpha 1), 2 units high, at depth 10.
    const float corners[4][2] = {{-5, -1}, {-5, 1}, {5, -1}, {5, 1}};
    for (int k = 0; k < 4; ++k)
    {
        WeTrail::Vertex& v = trail.m_Vertices[k];
        v.position[0] = corners[k][0];
        v.position[1] = corners[k][1];
        v.position[2] = 10.0f;
        v.color = WeTrail::PackColor(k < 2 ? 0.0f : 1.0f, 1.0f, 0.5f, 0.0f);
        v.u = k < 2 ? 0.0f : 1.0f;
        v.v = float(k & 1);
    }
    trail.m_QuadCount = 1;
    trail.m_VertexCount = 4;
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    m_Device->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ASSERT_TRUE(shader->SetTechnique(0, false));
    ASSERT_GT(shader->Begin(0), 0u);
    ASSERT_EQ(shader->BeginPass(0), D3D_OK);
    g_RenderDevice.SetTexture(0, g_TextureManager.m_DefaultWhite);
    shader->CommitChanges();
    EXPECT_TRUE(g_TrailRenderer.DrawTrail(&trail));
    shader->EndPass();
    shader->End();
    m_Device->EndScene();
    std::vector<uint32_t> f = Frame();
    // The ribbon spans x = 16..48 at y = 32 +- 3; red grows from the tail to the head.
    const int tail = int((At(f, 18, 32) >> 16) & 0xFF);
    const int middle = int((At(f, 32, 32) >> 16) & 0xFF);
    const int head = int((At(f, 46, 32) >> 16) & 0xFF);
    EXPECT_LT(tail, 40);
    EXPECT_NEAR(middle, 128, 12);
    EXPECT_GT(head, 215);
    EXPECT_EQ(At(f, 32, 38), 0u);
    EXPECT_EQ(At(f, 12, 32), 0u);
}

TEST_F(WeProjectorRendererGL, ASpotLightsADiscOnTheFloorButNotItsOwner)
{
    WeMaterial floorMaterial = Flat(0.25f, 0.25f, 0.25f);
    WeMaterial ownerMaterial = Flat(0.0f, 0.0f, 0.5f);
    WeWorld world;
    // A 30 x 30 floor with its top at y = 0, and the owner, a 3 x 1 x 3 box, on it under the light.
    ASSERT_NE(AddBox(world, D3DXVECTOR3(0, -0.5f, 0), D3DXVECTOR3(30, 1, 30), &floorMaterial, 1), nullptr);
    WeActor* owner = AddBox(world, D3DXVECTOR3(0, 0.5f, 0), D3DXVECTOR3(3, 1, 3), &ownerMaterial, 2);
    ASSERT_NE(owner, nullptr);
    // The light 10 above the floor looking straight down with a 90-degree cone: its cookie spans +-10.
    WeLight* light = new WeLight();
    light->m_Projector = true;
    light->m_Range = 30.0f;
    light->m_ProjectorMaterial = g_MaterialManager.GetMaterial("Materials.Projectors.Spot", false, false);
    ASSERT_NE(light->m_ProjectorMaterial, nullptr);
    D3DXMATRIX down;
    D3DXMatrixRotationX(&down, 1.5707963f);
    light->SetLocationAndOrientation(D3DXVECTOR3(0, 9.5f, 0), down);
    light->SetParent(owner);
    world.AddActor(light);
    light->Tick();

    // Looking down from 20 above the floor: 1.6 pixels a unit on it, the origin on pixel (32, 32) (pixel
    // centres lie on whole screen coordinates).
    camera.m_Position = D3DXVECTOR3(0, 20, 0);
    camera.m_Direction = D3DXVECTOR3(0, -1, 0);
    camera.m_Up = D3DXVECTOR3(0, 0, 1);
    camera.Update();
    g_RenderQueue.m_Velocity = 0;
    m_Device->BeginScene();
    g_RenderDevice.Clear(true, 0xFF000000u, true, 1.0f, false, 0);
    g_RenderQueue.Prepare(&world, &camera);
    EXPECT_EQ(g_ProjectorRenderer.m_SpotList.size(), 1u);
    g_RenderQueue.Render();
    m_Device->EndScene();
    g_RenderQueue.m_Velocity = 1;
    g_RenderQueue.Prepare(nullptr, nullptr);
    std::vector<uint32_t> f = Frame();

    const uint32_t floor = 0x404040u;
    // The owner's top (+-1.5 units at depth 19) keeps its own colour right under the light.
    EXPECT_TRUE(Near(At(f, 32, 32), 0x000080u)) << std::hex << At(f, 32, 32);
    EXPECT_TRUE(Near(At(f, 30, 34), 0x000080u)) << std::hex << At(f, 30, 34);
    // The floor round it is lit, brighter nearer the middle, alike on every side (6 and 10 pixels out).
    struct Point
    {
        int x, y;
    };
    const Point inner[4] = {{38, 32}, {26, 32}, {32, 38}, {32, 26}};
    const Point outer[4] = {{42, 32}, {22, 32}, {32, 42}, {32, 22}};
    auto red = [&](Point p) { return int((At(f, p.x, p.y) >> 16) & 0xFF); };
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_GT(red(inner[i]), 0x40 + 60);
        EXPECT_GT(red(inner[i]), red(outer[i]) + 30);
        EXPECT_GT(red(outer[i]), 0x40 + 8);
        EXPECT_NEAR(red(inner[i]), red(inner[0]), 6);
        EXPECT_NEAR(red(outer[i]), red(outer[0]), 6);
    }
    // Past the disc's rim inside the cone, and outside the cone: plain floor. Beyond the floor: nothing.
    const Point plain[] = {{46, 46}, {18, 18}, {46, 18}, {18, 46}, {53, 53}, {11, 32}, {32, 53}};
    for (Point p : plain)
        EXPECT_TRUE(Near(At(f, p.x, p.y), floor)) << p.x << "," << p.y << " " << std::hex << At(f, p.x, p.y);
    EXPECT_EQ(At(f, 2, 2), 0u);
}

TEST_F(WeReflectionRendererGL, EachCubeFaceHoldsTheBoxOnItsSide)
{
    ASSERT_NE(g_ReflectionRenderer.m_Cube, nullptr);
    const int32_t size = g_ReflectionRenderer.m_Cube->m_Size;
    // Face order +X, -X, +Y, -Y, +Z, -Z; pure colours survive the cube's five bits a channel.
    const struct
    {
        D3DXVECTOR3 direction;
        float colour[3];
    } sides[6] = {
        {D3DXVECTOR3(1, 0, 0), {1, 0, 0}},  {D3DXVECTOR3(-1, 0, 0), {0, 1, 0}}, {D3DXVECTOR3(0, 1, 0), {0, 0, 1}},
        {D3DXVECTOR3(0, -1, 0), {1, 1, 0}}, {D3DXVECTOR3(0, 0, 1), {1, 0, 1}},  {D3DXVECTOR3(0, 0, -1), {0, 1, 1}},
    };
    std::vector<WeMaterial> materials;
    for (const auto& side : sides)
        materials.push_back(Flat(side.colour[0], side.colour[1], side.colour[2]));
    WeWorld world;
    // Unit boxes 2 from the centre: each fills the middle third of its own face and no other.
    const D3DXVECTOR3 centre(3, 1, -2);
    for (int32_t i = 0; i < 6; ++i)
        ASSERT_NE(AddBox(world, centre + 2.0f * sides[i].direction, D3DXVECTOR3(1, 1, 1), &materials[size_t(i)], i + 1),
                  nullptr);
    g_ReflectionRenderer.SetPosition(centre);
    g_ReflectionRenderer.m_FrameCounter = WeReflectionRenderer::SkipFrames[g_ReflectionRenderer.m_Quality];
    m_Device->BeginScene();
    g_ReflectionRenderer.Render(&world, &camera);
    m_Device->EndScene();
    g_RenderQueue.Prepare(nullptr, nullptr);

    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(m_Device->CreateOffscreenPlainSurface(UINT(size), UINT(size), D3DFMT_X1R5G5B5, D3DPOOL_SYSTEMMEM, &copy,
                                                    nullptr),
              D3D_OK);
    for (int32_t face = 0; face < 6; ++face)
    {
        SCOPED_TRACE(face);
        ASSERT_EQ(m_Device->GetRenderTargetData(g_ReflectionRenderer.m_Cube->GetSurface(face), copy), D3D_OK);
        D3DLOCKED_RECT r{};
        ASSERT_EQ(copy->LockRect(&r, nullptr, D3DLOCK_READONLY), D3D_OK);
        auto pixel = [&](int x, int y)
        { return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(r.pBits) + y * r.Pitch)[x] & 0x7FFFu; };
        const float* c = sides[face].colour;
        const uint32_t expected = (c[0] > 0 ? 0x7C00u : 0u) | (c[1] > 0 ? 0x03E0u : 0u) | (c[2] > 0 ? 0x001Fu : 0u);
        EXPECT_EQ(pixel(size / 2, size / 2), expected) << std::hex << pixel(size / 2, size / 2);
        EXPECT_EQ(pixel(size / 2 - 3, size / 2 + 2), expected);
        // The corners look past every box.
        EXPECT_EQ(pixel(1, 1), 0u);
        EXPECT_EQ(pixel(size - 2, size - 2), 0u);
        copy->UnlockRect();
    }
    copy->Release();
}

}  // namespace
