// The images stay the images: a fixed scene (bright boxes, a floor and walls over a range of depths, a
// refractive pane, a camera that moves over three frames) drawn through the world's render step and each
// post-processing effect alone, then the whole chain, once with the GL device's fast paths and once with its
// general programs; the two must agree within a mean of 2 and a largest difference of 24 a channel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeWorld.h"
#include "Platform/gfx/GfxGLBackend.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int Width = 256;
constexpr int Height = 192;

struct Options
{
    const char* name;
    int bloom, motion, refraction, dof, grain;
};

class WePostProcessImage : public GLTestFixture
{
protected:
    WePostProcessImage() : GLTestFixture(Width, Height, false) {}
    void SetUp() override
    {
        GLTestFixture::SetUp();
        m_Saved = {g_RenderDevice.m_BloomLevel,      g_RenderDevice.m_MotionBlurMode,
                   g_RenderDevice.m_RefractionOn,    g_RenderDevice.m_DepthOfFieldOn,
                   g_RenderDevice.m_FilmGrainOn,     g_RenderDevice.m_ReflectionQuality,
                   g_RenderDevice.m_RefractionOption};
        g_RenderDevice.m_ReflectionQuality = 0;
        g_RenderDevice.m_RefractionOption = 0;
        Apply({"all", 1, 2, 1, 1, 1});
        ASSERT_TRUE(CreateDevice()) << g_Engine.m_ErrorText.c_str();
        g_RenderDevice.m_ClearColor = 0xFF203040u;
    }
    void TearDown() override
    {
        g_RenderQueue.Prepare(nullptr, nullptr);
        GfxGLBackend::s_FastPaths = true;
        GLTestFixture::TearDown();
        g_RenderDevice.m_BloomLevel = m_Saved[0];
        g_RenderDevice.m_MotionBlurMode = m_Saved[1];
        g_RenderDevice.m_RefractionOn = uint8_t(m_Saved[2]);
        g_RenderDevice.m_DepthOfFieldOn = uint8_t(m_Saved[3]);
        g_RenderDevice.m_FilmGrainOn = uint8_t(m_Saved[4]);
        g_RenderDevice.m_ReflectionQuality = m_Saved[5];
        g_RenderDevice.m_RefractionOption = uint8_t(m_Saved[6]);
        g_Timer.m_FrameDeltaF = 0.0f;
    }
    static void Apply(const Options& o)
    {
        g_RenderDevice.m_BloomLevel = o.bloom;
        g_RenderDevice.m_MotionBlurMode = o.motion;
        g_RenderDevice.m_RefractionOn = uint8_t(o.refraction);
        g_RenderDevice.m_DepthOfFieldOn = uint8_t(o.dof);
        g_RenderDevice.m_FilmGrainOn = uint8_t(o.grain);
    }

    // A unit box of the default mesh, scaled and placed, drawing with the material through a preset of its own.
    static bool AddBox(WeWorld& world, const D3DXVECTOR3& at, const D3DXVECTOR3& size, WeMaterial* material,
                       int32_t preset)
    {
        WeActor* box = new WeActor();
        box->m_ModelName = WeMeshManager::DefaultMeshName;
        box->m_ModelPreset = preset;
        box->SetLocation(at);
        box->SetScaling(size);
        world.AddActor(box);
        if (box->m_Model == nullptr || box->m_Model->m_Mesh == nullptr)
            return false;
        WeMaterialPreset& p = box->m_Model->m_Mesh->m_Presets[preset];
        p.materials[0] = material;
        p.resolved[0] = 1;
        return true;
    }
    WeMaterial Flat(float r, float g, float b)
    {
        WeMaterial material = *g_MaterialManager.m_Default;
        material.m_Color[0] = r;
        material.m_Color[1] = g;
        material.m_Color[2] = b;
        material.m_Color[3] = 1.0f;
        return material;
    }

    // Three frames of the scene, the camera moving and the clock advancing between them, so that the pixel
    // motion blur finds the camera of a moment ago in its history; the last frame read back.
    GLTestImage Draw(WeWorld& world)
    {
        WeCamera camera;
        camera.SetProjection(1.0f, 0.5f, 500.0f, float(Width) / float(Height));
        const D3DXVECTOR3 eyes[3] = {D3DXVECTOR3(0.0f, 2.0f, -12.0f), D3DXVECTOR3(0.4f, 2.1f, -11.5f),
                                     D3DXVECTOR3(0.8f, 2.2f, -11.0f)};
        const D3DXVECTOR3 looks[3] = {D3DXVECTOR3(0.0f, -0.05f, 1.0f), D3DXVECTOR3(-0.03f, -0.065f, 1.0f),
                                      D3DXVECTOR3(-0.06f, -0.08f, 1.0f)};
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        g_Timer.m_RawFrameDeltaF = 1.0f / 60.0f;
        g_PostProcess.m_RadialBlurStrength = 0.08f;
        // The grain jumps to a random offset each frame: the same offsets for both runs.
        SysRandom::Seed(1234);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_RefractionStrength, 0.03f);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_ElapsedTime, 0.4f);
        for (int frame = 0; frame < 3; ++frame)
        {
            g_Timer.m_TotalTimeF = 1.2f + 0.05f * float(frame);
            camera.m_Position = eyes[frame];
            D3DXVECTOR3 direction = looks[frame];
            D3DXVec3Normalize(&camera.m_Direction, &direction);
            camera.Update();
            const float ambient[4] = {0.8f, 0.8f, 0.8f, 1.0f};
            g_RenderDevice.SetAmbientColor(ambient);
            m_Device->BeginScene();
            world.Render(&camera);
            m_Device->EndScene();
        }
        return ReadBack();
    }

    std::vector<int32_t> m_Saved;
};

TEST_F(WePostProcessImage, EachEffectAndTheWholeChainDrawTheSameImageOnTheFastPaths)
{
    WeMaterial floor = Flat(0.35f, 0.35f, 0.3f), wall = Flat(0.2f, 0.3f, 0.7f), red = Flat(0.9f, 0.15f, 0.1f),
               bright = Flat(1.0f, 1.0f, 1.0f), green = Flat(0.1f, 0.8f, 0.2f);
    WeMaterial* refractive = g_MaterialManager.GetMaterial("Materials.Distortion.Refractive", false, false);
    ASSERT_NE(refractive, nullptr);
    WeWorld world;
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(0, -0.5f, 40), D3DXVECTOR3(60, 1, 120), &floor, 1));
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(0, 10, 100), D3DXVECTOR3(80, 30, 1), &wall, 2));
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(-2.5f, 1, 0), D3DXVECTOR3(2, 2, 2), &red, 3));
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(3, 2, 20), D3DXVECTOR3(3, 4, 3), &bright, 4));
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(-6, 1.5f, 45), D3DXVECTOR3(4, 3, 4), &green, 5));
    ASSERT_TRUE(AddBox(world, D3DXVECTOR3(0.5f, 1.5f, -3), D3DXVECTOR3(4, 3, 0.1f), refractive, 6));

    const Options options[] = {{"bloom", 1, 0, 0, 0, 0},      {"radial", 0, 1, 0, 0, 0}, {"pixel", 0, 2, 0, 0, 0},
                               {"refraction", 0, 0, 1, 0, 0}, {"dof", 0, 0, 0, 1, 0},    {"grain", 0, 0, 0, 0, 1},
                               {"all", 1, 2, 1, 1, 1}};
    // Without any effect: each effect must change this image, or the comparison below would prove nothing.
    Apply({"none", 0, 0, 0, 0, 0});
    g_PostProcess.Reinitialize();
    const GLTestImage plain = Draw(world);
    ASSERT_EQ(plain.pixels.size(), size_t(Width) * Height);
    for (const Options& o : options)
    {
        SCOPED_TRACE(o.name);
        Apply(o);
        g_PostProcess.Reinitialize();
        GfxGLBackend::s_FastPaths = false;
        const GLTestImage reference = Draw(world);
        GfxGLBackend::s_FastPaths = true;
        const GLTestImage fast = Draw(world);
        ASSERT_EQ(reference.pixels.size(), size_t(Width) * Height);
        ASSERT_EQ(fast.pixels.size(), reference.pixels.size());
        long sum = 0;
        int largest = 0, lit = 0;
        for (size_t i = 0; i < fast.pixels.size(); ++i)
            for (int shift : {0, 8, 16})
            {
                const int a = int((fast.pixels[i] >> shift) & 0xFF), b = int((reference.pixels[i] >> shift) & 0xFF);
                sum += std::abs(a - b);
                largest = std::max(largest, std::abs(a - b));
                lit += a > 0xF0 ? 1 : 0;
            }
        EXPECT_LE(double(sum) / double(fast.pixels.size() * 3), 2.0);
        EXPECT_LE(largest, 24);
        // The scene is there: the bright box shows.
        EXPECT_GT(lit, 100);
        KeepOnFailure(reference, std::string(o.name) + "-reference");
        int changed = 0;
        for (size_t i = 0; i < fast.pixels.size(); ++i)
            for (int shift : {0, 8, 16})
                changed += std::abs(int((fast.pixels[i] >> shift) & 0xFF) - int((plain.pixels[i] >> shift) & 0xFF)) > 8;
        EXPECT_GT(changed, 50);
        KeepOnFailure(fast, std::string(o.name) + "-fast");
        // Asked for, the two images side by side (general programs left, fast paths right) for a person to see.
        if (const char* folder = std::getenv("WE_POSTPROCESS_IMAGES"))
        {
            std::vector<uint32_t> pair(fast.pixels.size() * 2);
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x)
                {
                    pair[size_t(y) * 2 * Width + size_t(x)] = reference.pixels[size_t(y) * Width + size_t(x)];
                    pair[size_t(y) * 2 * Width + Width + size_t(x)] = fast.pixels[size_t(y) * Width + size_t(x)];
                }
            const std::string path = std::string(folder) + "/" + o.name + "-general-fast.png";
            EXPECT_TRUE(DemoWritePng(path.c_str(), UINT(2 * Width), UINT(Height), pair)) << path;
        }
    }
}

}  // namespace
