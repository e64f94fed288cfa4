// The render device on the recording backend: creation and its failures, multisampling and modes, the
// cached states, the frame, and the lost/reset protocol.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WePackageWriter.h"
#include "Engine/render/WeBaseRenderer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCameraScreen.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeShader.h"
#include "Platform/system/SysLogFile.h"
#include "Tests/Engine/render/RenderTestSupport.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"

namespace
{

using WeRenderDeviceCreate = RecordingRender;
using WeRenderDeviceStates = RecordingRender;
using WeRenderDeviceFrame = RecordingRender;
using WeRenderDeviceLost = RecordingRender;

TEST_F(WeRenderDeviceCreate, EachFailureReportsItsTextAndLeavesNothingBehind)
{
    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        const char* text;
    } cases[] = {
        {"no Direct3D", [] { g_GfxRecorder.FailNext("Direct3DCreate9"); }, "Error: Invalid DirectX version"},
        {"no device, not even the fallback", [] { g_GfxRecorder.FailNext("CreateDevice", 2); },
         "Error: Cannot create DirectX device"},
        {"no D24S8", [] { g_GfxRecorder.refusedFormats.insert(D3DFMT_D24S8); },
         "Error: No support for D24S8 Stencil Format"},
        {"no depth surface", [] { g_GfxRecorder.FailNext("CreateDepthStencilSurface"); },
         "Error: Cannot create Depth-Stencil surface"},
        {"pixel shader 1.4", [] { g_GfxRecorder.pixelShaderVersion = D3DPS_VERSION(1, 4); },
         "Error: No Pixel Shader 2.0 support"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_GfxRecorder.ResetAll();
        g_Engine.m_ErrorText = "";
        c.arrange();
        EXPECT_FALSE(Create());
        EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), c.text);
        EXPECT_EQ(g_RenderDevice.m_Created, 0);
        EXPECT_EQ(g_RenderDevice.GetDevice(), nullptr);
        EXPECT_EQ(g_RenderDevice.GetDirect3D(), nullptr);
        EXPECT_EQ(g_RenderDevice.m_OffscreenDepth, nullptr);
        EXPECT_EQ(g_RenderDevice.m_BackBufferDepth, nullptr);
        // The next Create starts clean and succeeds.
        g_GfxRecorder.ResetAll();
        g_Engine.m_ErrorText = "";
        EXPECT_TRUE(Create());
        EXPECT_TRUE(g_Engine.m_ErrorText.IsEmpty());
        ShutdownRendering();
    }
}

TEST_F(WeRenderDeviceCreate, FallsBackTo800x600WithoutMultisampling)
{
    g_GfxRecorder.acceptMode = [](const D3DPRESENT_PARAMETERS& pp)
    { return pp.BackBufferWidth == 800 && pp.BackBufferHeight == 600 && pp.MultiSampleType == D3DMULTISAMPLE_NONE; };
    ASSERT_TRUE(Create(1280, 720, 2, 0));
    EXPECT_EQ(g_RenderDevice.m_FellBack, 1);
    EXPECT_EQ(g_ScreenSize.width, 800);
    EXPECT_EQ(g_ScreenSize.height, 600);
    EXPECT_FLOAT_EQ(g_RenderDevice.m_Aspect, 800.0f / 600.0f);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    EXPECT_EQ(g_RenderDevice.m_MultisampleType, 0);
    ASSERT_EQ(g_GfxRecorder.Count("CreateDevice"), 2u);
    EXPECT_EQ(g_GfxRecorder.Find("CreateDevice")[1]->args[4], 800u);
    // The depth surfaces follow the size really made.
    D3DSURFACE_DESC desc{};
    g_RenderDevice.m_BackBufferDepth->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 800u);
}

TEST_F(WeRenderDeviceCreate, AMissingDefaultResourceNamesItself)
{
    // A pack made of the shipped tree without the default black texture.
    ScratchFolder scratch;
    std::filesystem::copy(StagedPackages(), scratch.Path("Packages"), std::filesystem::copy_options::recursive);
    ASSERT_TRUE(std::filesystem::remove(scratch.Path("Packages/MapEditor/Textures/DefaultBlack1x1.texture")));
    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(scratch.Path("Packages").c_str(), scratch.Path("Packages.dat").c_str()));
    {
        UsePackFile pack(scratch.Path("Packages.dat"));
        EXPECT_FALSE(Create());
        EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), "Error: Cannot load MapEditor.Textures.DefaultBlack1x1");
        EXPECT_EQ(g_RenderDevice.GetDevice(), nullptr);
        EXPECT_EQ(g_TextureManager.m_Textures.Count(), 0);
    }
    EXPECT_TRUE(Create());
}

TEST_F(WeRenderDeviceCreate, TheMaterialManagerInitialisesWithTheDefaults)
{
    ASSERT_TRUE(Create());
    WeMaterial* light = g_MaterialManager.m_Default;
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->m_Name, WeString("Materials.Editor.Light"));
    EXPECT_EQ(light->m_Persistent, 1);
    ASSERT_NE(light->m_Shader, nullptr);
    EXPECT_EQ(light->m_Shader->GetName(), WeString("Shaders.Default.ColorOnly"));
    EXPECT_EQ(light->m_SortMode, 0);
    ASSERT_NE(g_MaterialManager.m_Selection, nullptr);
    EXPECT_EQ(g_MaterialManager.m_Selection->m_SortMode, 2);
    EXPECT_EQ(g_MaterialManager.m_Selection->m_DestinationBlend, 2);
    EXPECT_EQ(g_MaterialManager.m_Selection->m_TwoSided, 1);
    // The shipped particle-system material: additive soft sprites in the blended pass.
    ASSERT_NE(g_MaterialManager.m_DefaultParticleSystem, nullptr);
    EXPECT_NE(g_MaterialManager.m_DefaultParticleSystem, light);
    EXPECT_EQ(g_MaterialManager.m_DefaultParticleSystem->m_SortMode, 2);
    EXPECT_EQ(g_MaterialManager.m_DefaultParticleSystem->m_DestinationBlend, 2);
    ASSERT_NE(g_MaterialManager.m_DefaultParticleSystem->m_Shader, nullptr);
    EXPECT_EQ(g_MaterialManager.m_DefaultParticleSystem->m_Shader->GetName(),
              WeString("Shaders.Default.NewParticleSystem"));
    EXPECT_EQ(g_MaterialManager.GetMaterial("Materials.None.Such", false, true), light);
    ShutdownRendering();

    // Without the default material the device is not created and says what is missing.
    ScratchFolder scratch;
    std::filesystem::copy(StagedPackages(), scratch.Path("Packages"), std::filesystem::copy_options::recursive);
    ASSERT_TRUE(std::filesystem::remove(scratch.Path("Packages/Materials/Editor/Light.material")));
    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(scratch.Path("Packages").c_str(), scratch.Path("Packages.dat").c_str()));
    UsePackFile pack(scratch.Path("Packages.dat"));
    EXPECT_FALSE(Create());
    EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), "Error: Cannot load Materials.Editor.Light");
    EXPECT_EQ(g_RenderDevice.GetDevice(), nullptr);
    EXPECT_EQ(g_MaterialManager.m_Materials.Count(), 0);
    // The canvas had loaded its effect before the failing step; the effect went with the shader manager.
    EXPECT_EQ(g_Canvas.m_Shader, nullptr);
}

// The canvas's effect lives in the shader manager: once the device is gone the canvas must not hold it,
// or a device adopted later (the tools') draws through freed memory.
TEST_F(WeRenderDeviceCreate, TheCanvasKeepsNoEffectPastTheDevice)
{
    ASSERT_TRUE(Create());
    ASSERT_NE(g_Canvas.m_Shader, nullptr);
    ShutdownRendering();
    EXPECT_EQ(g_Canvas.m_Shader, nullptr);

    GfxTestDevice adopted(GfxBackendKind::Recording, 64, 64);
    ASSERT_NE(adopted.device, nullptr);
    ASSERT_TRUE(g_RenderDevice.AdoptDevice(adopted.device));
    g_GfxRecorder.ClearLog();
    g_Canvas.BeginFrame();
    g_Canvas.DrawQuad(0, 0, 8, 8, 0xFFFFFFFF, nullptr, 0);
    g_Canvas.Flush();
    EXPECT_TRUE(g_GfxRecorder.Draws().empty());
    g_RenderDevice.Shutdown();
}

TEST_F(WeRenderDeviceCreate, CapabilityChain)
{
    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        uint8_t ps30, g16, a16, a16ms;
    } cases[] = {
        {"all", [] {}, 1, 1, 1, 1},
        {"pixel shader 2.0", [] { g_GfxRecorder.pixelShaderVersion = D3DPS_VERSION(2, 0); }, 0, 0, 0, 0},
        {"no G16R16F", [] { g_GfxRecorder.refusedFormats.insert(D3DFMT_G16R16F); }, 1, 0, 0, 0},
        {"no A16B16G16R16F", [] { g_GfxRecorder.refusedFormats.insert(D3DFMT_A16B16G16R16F); }, 1, 1, 0, 0},
        {"no depth match", [] { g_GfxRecorder.FailNext("CheckDepthStencilMatch"); }, 1, 1, 0, 0},
        {"no float multisampling",
         [] {
             g_GfxRecorder.multisampleLevels[{D3DFMT_A16B16G16R16F, int(D3DMULTISAMPLE_NONMASKABLE)}] = 0;
         },
         1, 1, 1, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_GfxRecorder.ResetAll();
        c.arrange();
        ASSERT_TRUE(Create());
        EXPECT_EQ(g_RenderDevice.m_PixelShader30, c.ps30);
        EXPECT_EQ(g_RenderDevice.m_G16R16FTargets, c.g16);
        EXPECT_EQ(g_RenderDevice.m_A16B16G16R16FTargets, c.a16);
        EXPECT_EQ(g_RenderDevice.m_A16B16G16R16FMultisample, c.a16ms);
        ShutdownRendering();
    }
}

TEST_F(WeRenderDeviceCreate, CallsComeInTheirOrder)
{
    ASSERT_TRUE(Create());
    const char* order[] = {"Direct3DCreate9", "CreateDevice", "CheckDeviceFormat", "CreateDepthStencilSurface",
                           "CreateTexture"};
    int at = 0;
    for (const char* name : order)
    {
        int next = IndexOf(name, at);
        EXPECT_GE(next, at) << name;
        at = next < 0 ? at : next;
    }
    // The off-screen depth surface comes first, then the multisampled one, which is bound.
    std::vector<const GfxCall*> depth = g_GfxRecorder.Find("CreateDepthStencilSurface");
    ASSERT_EQ(depth.size(), 2u);
    EXPECT_EQ(depth[0]->args[0], 640u);
    EXPECT_NE(g_RenderDevice.m_BackBufferDepth, nullptr);
    IDirect3DSurface9* bound = nullptr;
    g_RenderDevice.GetDevice()->GetDepthStencilSurface(&bound);
    EXPECT_EQ(bound, g_RenderDevice.m_BackBufferDepth);
    bound->Release();
    // The defaults exist, and a second Create only stores the options.
    EXPECT_NE(g_TextureManager.m_DefaultBlack, nullptr);
    EXPECT_NE(g_TextureManager.m_DefaultWhite, nullptr);
    EXPECT_NE(g_ShaderManager.m_Shared, nullptr);
    EXPECT_NE(g_ShaderManager.m_Default, nullptr);
    size_t calls = g_GfxRecorder.calls.size();
    EXPECT_TRUE(g_RenderDevice.Create(nullptr, window, 320, 200, 0, 0, 1, 1, 2, 1));
    EXPECT_EQ(g_GfxRecorder.calls.size(), calls);
    EXPECT_EQ(g_RenderDevice.m_WindowMode, 1);
    EXPECT_EQ(g_ScreenSize.width, 640);
}

std::string SystemBlock(const ScratchFolder& scratch)
{
    std::string path = scratch.Path("system.txt");
    {
        SysLogFile file;
        file.Create(path.c_str());
        WriteSystemInfo(file);
    }
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(WeRenderDeviceCreate, VideoCardLinesWhileTheDeviceLives)
{
    ScratchFolder scratch;
    ASSERT_TRUE(Create());
    std::string block = SystemBlock(scratch);
    EXPECT_NE(block.find("Video Card:"), std::string::npos);
    EXPECT_NE(block.find("Recording adapter"), std::string::npos);
    EXPECT_NE(block.find("(1.2.3.4)"), std::string::npos) << block;
    ShutdownRendering();
    EXPECT_EQ(SystemBlock(scratch).find("Video Card:"), std::string::npos);
    // A failed creation takes the source away too.
    g_GfxRecorder.FailNext("CreateDevice", 2);
    EXPECT_FALSE(Create());
    EXPECT_EQ(SystemBlock(scratch).find("Video Card:"), std::string::npos);
}

TEST_F(WeRenderDeviceCreate, MultisampleQualityMustBeBelowTheLevels)
{
    g_GfxRecorder.multisampleLevels[{D3DFMT_UNKNOWN, 4}] = 2;
    ASSERT_TRUE(Create(640, 480, 4, 2));
    EXPECT_EQ(g_RenderDevice.m_MultisampleType, 0);
    EXPECT_EQ(g_RenderDevice.m_MultisampleQuality, 0);
    ShutdownRendering();
    ASSERT_TRUE(Create(640, 480, 4, 1));
    EXPECT_EQ(g_RenderDevice.m_MultisampleType, 4);
    EXPECT_EQ(g_RenderDevice.m_MultisampleQuality, 1);
    EXPECT_EQ(g_RenderDevice.m_PresentParameters.MultiSampleQuality, 1u);
}

TEST_F(WeRenderDeviceCreate, MultisampleListOffersWhatTheAdapterReports)
{
    struct Case
    {
        DWORD levels2, levels4;
        std::vector<std::string> names;
    } cases[] = {
        {1, 1, {"2x", "4x"}},
        {1, 3, {"2x", "4x", "8x (4x2)"}},
        {1, 5, {"2x", "4x", "8x (4x2)", "16x (4x4)"}},
        {0, 1, {"4x"}},
        {0, 0, {}},
    };
    ASSERT_TRUE(Create());
    for (const Case& c : cases)
    {
        g_GfxRecorder.multisampleLevels[{D3DFMT_UNKNOWN, 2}] = c.levels2;
        g_GfxRecorder.multisampleLevels[{D3DFMT_UNKNOWN, 4}] = c.levels4;
        g_RenderDevice.BuildMultisampleList();
        std::vector<std::string> names;
        for (auto* n = g_RenderDevice.m_MultisampleChoices.FirstNode(); n != nullptr;
             n = g_RenderDevice.m_MultisampleChoices.NextNode(n))
        {
            names.push_back(n->payload.name.c_str());
            EXPECT_EQ(n->payload.floatTargets, 1);
        }
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(WeRenderDeviceCreate, DisplayModesSkipNarrowAndRepeatedOnes)
{
    g_GfxRecorder.modes = {{600, 400, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8},
                           {640, 480, 75, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8},
                           {800, 600, 60, D3DFMT_A8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8},
                           {640, 480, 60, D3DFMT_X8R8G8B8}};
    ASSERT_TRUE(Create());
    std::vector<std::pair<int, int>> modes;
    for (auto* n = g_RenderDevice.m_DisplayModes.FirstNode(); n != nullptr;
         n = g_RenderDevice.m_DisplayModes.NextNode(n))
        modes.emplace_back(n->payload.width, n->payload.height);
    std::vector<std::pair<int, int>> expected = {{640, 480}, {800, 600}, {1024, 768}, {640, 480}};
    EXPECT_EQ(modes, expected);
}

// Every new change (a device made again, a mode change) takes two SetCamera calls to drop, however many
// calls the previous change had seen.
TEST_F(WeRenderDeviceStates, AFreshScreenChangeIsNotClearedByAnEarlierSetCamera)
{
    WeCamera camera;
    camera.Update();
    ASSERT_TRUE(Create());
    g_RenderDevice.SetCamera(&camera);
    ASSERT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    ASSERT_TRUE(g_RenderDevice.ChangeMode(320, 240, 0, 0, 0, 1));
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    EXPECT_EQ(g_CameraScreen.screenChanged, 1);

    // Shut down one call into a change: the next device starts its own count.
    ASSERT_TRUE(g_RenderDevice.ChangeMode(640, 480, 0, 0, 0, 1));
    g_RenderDevice.SetCamera(&camera);
    ShutdownRendering();
    ASSERT_TRUE(Create());
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 0);
    g_RenderDevice.SetCamera(nullptr);
}

TEST_F(WeRenderDeviceStates, SamplerFilterTableAndCache)
{
    ASSERT_TRUE(Create());
    g_RenderDevice.m_MaxAnisotropy = 4;
    struct Case
    {
        int filter;
        DWORD min, mag, mip;
    } cases[] = {{1, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT},
                 {2, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
                 {3, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
                 {4, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR}};
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    for (const Case& c : cases)
    {
        g_RenderDevice.SetSamplerFilter(2, c.filter, 0);
        DWORD min = 0, mag = 0, mip = 0;
        device->GetSamplerState(2, D3DSAMP_MINFILTER, &min);
        device->GetSamplerState(2, D3DSAMP_MAGFILTER, &mag);
        device->GetSamplerState(2, D3DSAMP_MIPFILTER, &mip);
        EXPECT_EQ(min, c.min) << c.filter;
        EXPECT_EQ(mag, c.mag) << c.filter;
        EXPECT_EQ(mip, c.mip) << c.filter;
    }
    DWORD aniso = 0;
    device->GetSamplerState(2, D3DSAMP_MAXANISOTROPY, &aniso);
    EXPECT_EQ(aniso, 4u);

    // Repeats send nothing; addresses go out for U, V and W together.
    g_GfxRecorder.ClearLog();
    g_RenderDevice.SetSamplerFilter(2, 4, 1);
    EXPECT_EQ(g_GfxRecorder.Count("SetSamplerState"), 3u);
    g_RenderDevice.SetSamplerFilter(2, 4, 1);
    g_RenderDevice.SetSamplerFilter(2, 0, 0);
    EXPECT_EQ(g_GfxRecorder.Count("SetSamplerState"), 3u);
    g_RenderDevice.SetSamplerFilter(2, 0, 3);
    DWORD border = 1, address = 0;
    device->GetSamplerState(2, D3DSAMP_ADDRESSW, &address);
    device->GetSamplerState(2, D3DSAMP_BORDERCOLOR, &border);
    EXPECT_EQ(address, DWORD(D3DTADDRESS_BORDER));
    EXPECT_EQ(border, 0u);
    g_RenderDevice.SetSamplerFilter(2, 0, 7);
    device->GetSamplerState(2, D3DSAMP_ADDRESSU, &address);
    EXPECT_EQ(address, DWORD(D3DTADDRESS_WRAP));

    // A reset clears the cache: the same request is sent again.
    g_RenderDevice.ReleaseResources();
    g_RenderDevice.GetDevice()->Reset(&g_RenderDevice.m_PresentParameters);
    g_RenderDevice.RestoreResources();
    g_GfxRecorder.ClearLog();
    g_RenderDevice.SetSamplerFilter(2, 4, 2);
    EXPECT_EQ(g_GfxRecorder.Count("SetSamplerState"), 6u);
}

TEST_F(WeRenderDeviceStates, StencilFogScissorAndClear)
{
    ASSERT_TRUE(Create());
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    g_GfxRecorder.ClearLog();
    g_RenderDevice.EnableStencil();
    g_RenderDevice.EnableStencil();
    g_RenderDevice.DisableStencil();
    g_RenderDevice.DisableStencil();
    EXPECT_EQ(g_GfxRecorder.Count("SetRenderState"), 2u);

    const float colour[4] = {1.5f, 0.5f, -0.2f, 0.2f};
    g_RenderDevice.SetFog(true, colour, 10.0f, 100.0f, 0.0f, 1.0f);
    g_RenderDevice.EnableFog();
    DWORD fogColour = 0, enabled = 0, start = 0;
    device->GetRenderState(D3DRS_FOGCOLOR, &fogColour);
    device->GetRenderState(D3DRS_FOGENABLE, &enabled);
    device->GetRenderState(D3DRS_FOGSTART, &start);
    // 0.2 x 255 + 0.5 = 51.5 -> 51; 0.5 x 255 + 0.5 = 128; out of range channels clamp.
    EXPECT_EQ(fogColour, 0x33FF8000u);
    EXPECT_EQ(enabled, 1u);
    float startValue = 0;
    std::memcpy(&startValue, &start, 4);
    EXPECT_FLOAT_EQ(startValue, 10.0f);
    // Channels that are not a number pack as 0.
    const float notANumber[4] = {NAN, 1.0f, NAN, NAN};
    g_RenderDevice.SetFog(true, notANumber, 10.0f, 100.0f, 0.0f, 1.0f);
    g_RenderDevice.EnableFog();
    device->GetRenderState(D3DRS_FOGCOLOR, &fogColour);
    EXPECT_EQ(fogColour, 0x0000FF00u);
    g_RenderDevice.DisableFog();
    EXPECT_EQ(g_RenderDevice.m_FogEnabled, 0);

    struct Case
    {
        int l, t, r, b;
        LONG el, et, er, eb;
    } cases[] = {{10, 20, 30, 40, 10, 20, 30, 40},
                 {-5, -5, 1000, 1000, 0, 0, 639, 479},
                 {700, 500, 10, 10, 639, 479, 639, 479},
                 {100, 100, 50, 50, 100, 100, 100, 100}};
    for (const Case& c : cases)
    {
        g_RenderDevice.SetScissorRect(c.l, c.t, c.r, c.b);
        RECT rect{};
        device->GetScissorRect(&rect);
        EXPECT_EQ(rect.left, c.el);
        EXPECT_EQ(rect.top, c.et);
        EXPECT_EQ(rect.right, c.er);
        EXPECT_EQ(rect.bottom, c.eb);
    }
    DWORD scissor = 0;
    device->GetRenderState(D3DRS_SCISSORTESTENABLE, &scissor);
    EXPECT_EQ(scissor, 1u);

    g_GfxRecorder.ClearLog();
    g_RenderDevice.Clear(false, 0, false, 1.0f, false, 0);
    EXPECT_EQ(g_GfxRecorder.Count("Clear"), 0u);
    g_RenderDevice.Clear(true, 0xFF102030u, false, 1.0f, true, 3);
    ASSERT_EQ(g_GfxRecorder.Count("Clear"), 1u);
}

TEST_F(WeRenderDeviceStates, AlphaTestAndScreenChangedBookkeeping)
{
    ASSERT_TRUE(Create());
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    g_RenderDevice.SetAlphaTest(128);
    DWORD on = 0, ref = 0, func = 0;
    device->GetRenderState(D3DRS_ALPHATESTENABLE, &on);
    device->GetRenderState(D3DRS_ALPHAREF, &ref);
    device->GetRenderState(D3DRS_ALPHAFUNC, &func);
    EXPECT_EQ(on, 1u);
    EXPECT_EQ(ref, 128u);
    EXPECT_EQ(func, DWORD(D3DCMP_GREATEREQUAL));
    g_RenderDevice.SetAlphaTest(0);
    device->GetRenderState(D3DRS_ALPHATESTENABLE, &on);
    EXPECT_EQ(on, 0u);

    // The flag raised by Create drops at the second SetCamera after it; cameras see it through g_CameraScreen.
    WeCamera camera;
    camera.m_Position = D3DXVECTOR3(1, 2, 3);
    camera.Update();
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    EXPECT_EQ(g_CameraScreen.screenChanged, 1);
    EXPECT_FLOAT_EQ(g_CameraScreen.aspect, 640.0f / 480.0f);
    EXPECT_EQ(g_CameraScreen.viewport.Width, 640u);
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 0);
    EXPECT_EQ(g_CameraScreen.screenChanged, 0);
    D3DMATRIX view{}, projection{};
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_EQ(std::memcmp(&view, &camera.m_View, sizeof(view)), 0);
    EXPECT_EQ(std::memcmp(&projection, &camera.m_Projection, sizeof(projection)), 0);
    g_RenderDevice.SetCamera(nullptr);
    ASSERT_TRUE(g_RenderDevice.ChangeMode(320, 240, 0, 0, 0, 1));
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    EXPECT_EQ(g_CameraScreen.screenChanged, 1);
    EXPECT_FLOAT_EQ(g_CameraScreen.aspect, 320.0f / 240.0f);
    EXPECT_EQ(g_CameraScreen.viewport.Height, 240u);

    // A screen that raises the flag itself reaches the cameras at their next Update, before any SetCamera:
    // a field of view written straight into the camera takes effect there.
    g_RenderDevice.SetCamera(&camera);
    g_RenderDevice.SetCamera(&camera);
    ASSERT_EQ(g_CameraScreen.screenChanged, 0);
    camera.m_Fov = 1.2f;
    camera.Update();
    D3DXMATRIX wide;
    D3DXMatrixPerspectiveFovLH(&wide, 1.2f, 320.0f / 240.0f, camera.m_Near, camera.m_Far);
    EXPECT_NE(camera.m_Projection, wide);
    g_RenderDevice.MarkScreenChanged();
    camera.Update();
    EXPECT_EQ(camera.m_Projection, wide);
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_RenderDevice.m_ScreenChanged, 1);
    g_RenderDevice.SetCamera(&camera);
    EXPECT_EQ(g_CameraScreen.screenChanged, 0);
    g_RenderDevice.SetCamera(nullptr);
}

std::vector<std::string> g_Steps;
void StepBack()
{
    g_GfxRecorder.Record("back layer", {});
}
void StepCallback()
{
    g_GfxRecorder.Record("render callback", {});
}
void StepMain()
{
    g_GfxRecorder.Record("main layer", {});
}
void StepFront()
{
    g_GfxRecorder.Record("front layer", {});
}

TEST_F(WeRenderDeviceFrame, DrawsInTheEnginesOrder)
{
    ASSERT_TRUE(Create());
    g_RenderDevice.m_ClearEachFrame = 1;
    g_RenderDevice.m_DrawBackLayer = StepBack;
    g_RenderDevice.m_RenderCallback = StepCallback;
    g_RenderDevice.m_DrawMainLayer = StepMain;
    g_RenderDevice.m_DrawFrontLayer = StepFront;
    g_GfxRecorder.ClearLog();
    g_RenderDevice.Render();
    std::vector<std::string> names;
    for (const GfxCall& call : g_GfxRecorder.calls)
        if (call.name != "SetRenderState")
            names.push_back(call.name);
    std::vector<std::string> expected = {"Clear",      "SetTexture",  "SetTexture", "SetTexture",
                                         "SetTexture", "SetTexture",  "SetTexture", "SetTexture",
                                         "SetTexture", "BeginScene",  "back layer", "render callback",
                                         "main layer", "front layer", "EndScene",   "Present"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(g_GfxRecorder.Find("Clear")[0]->args.size() > 0, true);

    // Without the clear option nothing is cleared; in the background nothing at all happens.
    g_RenderDevice.m_ClearEachFrame = 0;
    g_GfxRecorder.ClearLog();
    g_RenderDevice.Render();
    EXPECT_EQ(g_GfxRecorder.Count("Clear"), 0u);
    EXPECT_EQ(g_GfxRecorder.Count("Present"), 1u);
    DestroyWindow(window);
    window = nullptr;
    g_GfxRecorder.ClearLog();
    g_RenderDevice.Render();
    EXPECT_EQ(g_GfxRecorder.calls.size(), 0u);
}

int g_LostCalls = 0;
int g_ResetCalls = 0;
WeRenderDevice* g_CallbackDevice = nullptr;
void OnLost(WeRenderDevice* device)
{
    ++g_LostCalls;
    g_CallbackDevice = device;
    g_GfxRecorder.Record("lost callback", {});
}
void OnReset(WeRenderDevice* device)
{
    ++g_ResetCalls;
    g_CallbackDevice = device;
    g_GfxRecorder.Record("reset callback", {});
}

class CountingRenderer : public WeBaseRenderer
{
public:
    void OnLostDevice() override { g_GfxRecorder.Record("renderer lost", {}); }
    void OnResetDevice() override { g_GfxRecorder.Record("renderer reset", {}); }
    int inits = 0;
    bool Init() override
    {
        ++inits;
        return true;
    }
};

TEST_F(WeRenderDeviceLost, ResultsOfCheckDeviceLost)
{
    g_LostCalls = g_ResetCalls = 0;
    ASSERT_TRUE(Create());
    g_RenderDevice.m_DeviceLostCallback = OnLost;
    g_RenderDevice.m_DeviceResetCallback = OnReset;
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 0);

    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICELOST};
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 1);
    EXPECT_EQ(g_RenderDevice.m_Lost, 1);
    g_GfxRecorder.ClearLog();
    g_RenderDevice.Render();
    EXPECT_EQ(g_GfxRecorder.Count("Present"), 0u);

    // Lost devices come back through a reset: callbacks first, with the device.
    g_GfxRecorder.ClearLog();
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(g_RenderDevice.m_Lost, 0);
    EXPECT_EQ(g_RenderDevice.m_ResetThisFrame, 1);
    EXPECT_EQ(g_LostCalls, 1);
    EXPECT_EQ(g_ResetCalls, 1);
    EXPECT_EQ(g_CallbackDevice, &g_RenderDevice);
    EXPECT_LT(IndexOf("lost callback"), IndexOf("Reset"));
    EXPECT_LT(IndexOf("Reset"), IndexOf("reset callback"));
    EXPECT_LT(IndexOf("reset callback"), IndexOf("CreateDepthStencilSurface"));
    EXPECT_EQ(g_RenderDevice.m_StateBlockMarker, 999);
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(g_RenderDevice.m_ResetThisFrame, 0);

    g_GfxRecorder.cooperativeLevels = {D3DERR_DRIVERINTERNALERROR};
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 2);
}

TEST_F(WeRenderDeviceLost, RenderersAndTargetsAreReleasedBeforeTheResetAndRebuilt)
{
    CountingRenderer renderer;
    ASSERT_TRUE(Create());
    EXPECT_EQ(renderer.inits, 1);
    WeRenderTarget* plain = g_RenderTargetManager.CreateTarget(128, 64, D3DFMT_A8R8G8B8, 0, 0);
    WeRenderTarget* multi = g_RenderTargetManager.CreateTarget(64, 32, D3DFMT_A8R8G8B8, 2, 0);
    WeRenderTarget* cube = g_RenderTargetManager.CreateCubeTarget(32, D3DFMT_X8R8G8B8);
    ASSERT_TRUE(plain && multi && cube);
    g_GfxRecorder.ClearLog();
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    // The recorder refuses a reset while a default-pool resource lives: success shows all were released.
    ASSERT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_LT(IndexOf("renderer lost"), IndexOf("Reset"));
    EXPECT_GT(IndexOf("renderer reset"), IndexOf("Reset"));
    for (WeRenderTarget* t : {plain, multi, cube})
        EXPECT_EQ(t->m_Created, 1);
    EXPECT_EQ(plain->m_Width, 128);
    EXPECT_EQ(multi->m_MultisampleType, 2);
    EXPECT_EQ(cube->m_Size, 32);
    D3DSURFACE_DESC desc{};
    multi->GetSurface(0)->GetDesc(&desc);
    EXPECT_EQ(desc.MultiSampleType, D3DMULTISAMPLE_2_SAMPLES);
    cube->GetSurface(5)->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 32u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
}

TEST_F(WeRenderDeviceLost, AFailedResetReleasesNothingTwice)
{
    g_LostCalls = g_ResetCalls = 0;
    CountingRenderer renderer;
    ASSERT_TRUE(Create());
    g_RenderDevice.m_DeviceLostCallback = OnLost;
    g_RenderDevice.m_DeviceResetCallback = OnReset;
    g_RenderTargetManager.CreateTarget(32, 32, D3DFMT_A8R8G8B8, 0, 0);

    // A failed ChangeMode leaves the device lost; the next tick retries with the stored parameters.
    g_GfxRecorder.resetResults = {D3DERR_DEVICELOST};
    g_GfxRecorder.ClearLog();
    EXPECT_FALSE(g_RenderDevice.ChangeMode(320, 240, 0, 0, 0, 1));
    EXPECT_EQ(g_RenderDevice.m_Lost, 1);
    EXPECT_EQ(g_LostCalls, 1);
    // The reset fails again once, then succeeds.
    g_GfxRecorder.resetResults = {D3DERR_DEVICELOST};
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 1);
    EXPECT_EQ(g_RenderDevice.CheckDeviceLost(), 0);
    EXPECT_EQ(g_LostCalls, 1);
    EXPECT_EQ(g_ResetCalls, 1);
    EXPECT_EQ(g_GfxRecorder.Count("renderer lost"), 1u);
    EXPECT_EQ(g_GfxRecorder.Count("renderer reset"), 1u);
    EXPECT_EQ(g_ScreenSize.width, 320);
    EXPECT_EQ(g_GfxRecorder.Last("Reset")->args[0], 320u);
    // A restore without a release does nothing.
    g_RenderDevice.RestoreResources();
    EXPECT_EQ(g_ResetCalls, 1);
}

}  // namespace
