// Effects and the shader manager on the recording backend: technique variants, name resolution, the
// shared parameters, light uploads, pixel-to-texel conversion and the compiled member.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Platform/gfx_d3dx/FxEffect.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using WeShaderVariants = RecordingRender;
using WeShaderManagerNames = RecordingRender;
using WeShaderParameters = RecordingRender;
using WeShaderFiles = RecordingRender;

const char VariantEffect[] = R"(
int WantPerPixelLightsCount = 4;
technique Default { pass P { VertexProgram = """void main() {}"""; FragmentProgram = """void main() {}"""; } }
technique DefaultD { pass P { VertexProgram = """void main() {}"""; FragmentProgram = """void main() {}"""; } }
technique Default3FD { pass P { VertexProgram = """void main() {}"""; FragmentProgram = """void main() {}"""; } }
)";

bool LoadText(WeShader& shader, const char* text, const char* name = "Shaders.Test.Text")
{
    return shader.LoadFromMemory(text, int32_t(std::strlen(text)), name);
}

std::string Current(WeShader& shader)
{
    D3DXTECHNIQUE_DESC desc{};
    shader.GetEffect()->GetTechniqueDesc(shader.GetEffect()->GetCurrentTechnique(), &desc);
    return desc.Name ? desc.Name : "";
}

TEST(WeShaderTechniqueNames, LettersFromBitTenDown)
{
    WeShader shader;
    EXPECT_STREQ(g_ShaderTechniqueNames[0], "Default");
    EXPECT_STREQ(g_ShaderTechniqueNames[0x600], "Default3F");
    EXPECT_STREQ(g_ShaderTechniqueNames[0x88], "DefaultDL");
    EXPECT_STREQ(g_ShaderTechniqueNames[2047], "Default3FHDSBELVGW");
}

TEST_F(WeShaderVariants, SetTechniqueByShaderPathAndFog)
{
    ASSERT_TRUE(Create());
    WeShader shader;
    ASSERT_TRUE(LoadText(shader, VariantEffect));
    struct Case
    {
        int path;
        bool fogAsked;
        bool deviceFog;
        int variant;
        const char* technique;
    } cases[] = {
        {1, true, true, 0x80, "DefaultD"},  {1, false, false, 0x80, "DefaultD"}, {2, true, true, 0x80, "Default3FD"},
        {2, false, true, 0x80, "Default"},  {2, true, false, 0x80, "Default"},   {1, false, false, 0x20, "Default"},
        {1, false, false, 0x00, "Default"},
    };
    for (const Case& c : cases)
    {
        g_RenderDevice.m_ShaderPath = c.path;
        g_RenderDevice.m_FogEnabled = c.deviceFog;
        ASSERT_TRUE(shader.SetTechnique(c.variant, c.fogAsked));
        EXPECT_EQ(Current(shader), c.technique) << c.path << " " << c.fogAsked << " " << c.deviceFog;
    }
    // Without an effect, or without any technique to fall back on, nothing is set.
    WeShader empty;
    EXPECT_FALSE(empty.SetTechnique(0, false));
    WeShader noDefault;
    ASSERT_TRUE(LoadText(noDefault, "technique Other { pass P { VertexProgram = \"\"\"void main() {}\"\"\"; "
                                    "FragmentProgram = \"\"\"void main() {}\"\"\"; } }"));
    EXPECT_FALSE(noDefault.SetTechnique(0x80, false));
}

TEST_F(WeShaderVariants, AnEffectWithoutLightWantsUsesDefaultForEveryVariant)
{
    ASSERT_TRUE(Create());
    WeShader shader;
    std::string text = VariantEffect;
    text.replace(text.find("int WantPerPixelLightsCount = 4;"), 32, "");
    ASSERT_TRUE(LoadText(shader, text.c_str()));
    for (int variant : {0x80, 0x88, 0x7FF})
    {
        EXPECT_EQ(shader.GetVariantTechnique(variant), nullptr);
        ASSERT_TRUE(shader.SetTechnique(variant, false));
        EXPECT_EQ(Current(shader), "Default");
    }
}

TEST_F(WeShaderManagerNames, OldNamesResolveToTheCachedEffects)
{
    ASSERT_TRUE(Create());
    WeShader* current = g_ShaderManager.GetShader("Shaders.Default.Default", false, false);
    ASSERT_NE(current, nullptr);
    for (const char* old :
         {"Effects.Default.Standard", "Shaders.Default.Standard", "Shaders.Default.EnvStandard",
          "Shaders.Default.Standard_LightMapped", "Shaders.Default.EnvStandard_LightMapped", "SHADERS.DEFAULT.DEFAULT"})
        EXPECT_EQ(g_ShaderManager.GetShader(old, false, false), current) << old;
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Default.ParticleSystem", false, false),
              g_ShaderManager.m_NewParticleSystem);
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Billboarding.Default", false, false), g_ShaderManager.m_Billboard);
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Default.Standard_AlphaFalloff", false, false),
              g_ShaderManager.m_AlphaFalloff);
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Diffuse.Trail", false, false), g_ShaderManager.m_Trail);
    EXPECT_EQ(current->GetWantedPerPixelLights(), 4);
    EXPECT_EQ(current->GetWantedPerVertexLights(), 8);
    EXPECT_NE(current->GetVariantTechnique(0x80 | 0x20 | 0x40), nullptr);

    // A name found nowhere: the default when asked, else null; an empty name likewise.
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Nowhere.Nothing", false, true), g_ShaderManager.m_Default);
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Nowhere.Nothing", false, false), nullptr);
    EXPECT_EQ(g_ShaderManager.GetShader("", false, true), g_ShaderManager.m_Default);
    // The loading screen's switch to the full material effect.
    g_ShaderManager.SetDefaultShader(current);
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Nowhere.Nothing", false, true), current);
}

TEST_F(WeShaderManagerNames, AReloadReplacesTheEffectInPlace)
{
    ASSERT_TRUE(Create());
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.Billboard", false, false);
    ASSERT_NE(shader, nullptr);
    int32_t count = g_ShaderManager.m_Shaders.Count();
    ID3DXEffect* before = shader->GetEffect();
    EXPECT_EQ(g_ShaderManager.GetShader("Shaders.Default.Billboard", true, false), shader);
    EXPECT_EQ(g_ShaderManager.m_Shaders.Count(), count);
    EXPECT_NE(shader->GetEffect(), before);
    // A reload that fails keeps the effect there was.
    ID3DXEffect* loaded = shader->GetEffect();
    EXPECT_FALSE(shader->Load(WeVirtualFileSystem::Instance(), "Shaders.Missing.Billboard"));
    EXPECT_EQ(shader->GetEffect(), loaded);
    EXPECT_STREQ(shader->GetName().c_str(), "Shaders.Default.Billboard");
}

TEST_F(WeShaderParameters, SharedParametersReachEveryEffectOfThePool)
{
    ASSERT_TRUE(Create());
    const float ambient[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    float seen[4] = {};
    ID3DXEffect* other = g_ShaderManager.m_Default->GetEffect();
    ASSERT_EQ(other->GetFloatArray("AmbientColor", seen, 4), D3D_OK);
    EXPECT_FLOAT_EQ(seen[2], 0.75f);

    // Fog: 1 / (end - start), and 0 instead of an infinity when the fog ends where it starts.
    const float colour[4] = {0.1f, 0.2f, 0.3f, 1.0f};
    float inv = -1;
    g_ShaderManager.SetFogParameters(colour, 10.0f, 30.0f, 0.0f, 1.0f);
    other->GetFloat("FogInvEnd", &inv);
    EXPECT_FLOAT_EQ(inv, 0.05f);
    for (float end : {10.0f, 5.0f})
    {
        g_ShaderManager.SetFogParameters(colour, 10.0f, end, 0.0f, 1.0f);
        other->GetFloat("FogInvEnd", &inv);
        EXPECT_EQ(inv, 0.0f) << end;
    }
    float fogColour[3] = {};
    other->GetFloatArray("FogColor", fogColour, 3);
    EXPECT_FLOAT_EQ(fogColour[1], 0.2f);

    // The per-frame values SetCamera sends.
    g_RenderDevice.m_BloomScale = 2.0f;
    WeCamera camera;
    camera.Update();
    g_RenderDevice.SetCamera(&camera);
    float value = 0;
    other->GetFloat("ResWidth", &value);
    EXPECT_FLOAT_EQ(value, 640.0f);
    other->GetFloat("BloomScale", &value);
    EXPECT_FLOAT_EQ(value, 2.0f);
    other->GetFloat("RefractionStrength", &value);
    EXPECT_FLOAT_EQ(value, 3.0f / 480.0f);
    g_RenderDevice.m_BloomScale = 1.0f;

    // World x view x projection from the manager's view x projection.
    D3DXMATRIX view, projection, world;
    D3DXMatrixTranslation(&view, 1, 2, 3);
    D3DXMatrixScaling(&projection, 2, 2, 2);
    D3DXMatrixTranslation(&world, 0, 0, 5);
    g_ShaderManager.SetViewProjection(view, projection, nullptr);
    WeShader* colorOnly = g_ShaderManager.m_Default;
    colorOnly->SetWorldMatrix(world);
    D3DXMATRIX wvp;
    colorOnly->GetEffect()->GetMatrix("WorldViewProj", &wvp);
    D3DXMATRIX expected = world * view * projection;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ((&wvp._11)[i], (&expected._11)[i]) << i;
}

TEST_F(WeShaderParameters, ThePreviousViewProjectionComesFromTheCameraHistory)
{
    ASSERT_TRUE(Create());
    WeCamera camera;
    camera.Update();
    // Two recorded states around the motion-blur time ago: position 0 at 0.9 s, position 10 at 1.1 s.
    D3DXMATRIX basis;
    D3DXMatrixIdentity(&basis);
    for (int i : {1, 2})
    {
        WeCameraState& state = camera.m_History[i];
        state.position = D3DXVECTOR3(i == 1 ? 0.0f : 10.0f, 0, 0);
        state.basis = basis;
        state.fov = 1.0f;
        state.nearPlane = 1.0f;
        state.farPlane = 100.0f;
        state.aspect = 2.0f;
        state.time = i == 1 ? 0.9f : 1.1f;
    }
    camera.m_HistoryOldest = 0;
    camera.m_HistoryNewest = 2;
    float savedTime = g_Timer.m_TotalTimeF;
    g_Timer.m_TotalTimeF = 1.0f + 0.0333f;
    g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, &camera);
    g_Timer.m_TotalTimeF = savedTime;
    // Halfway between the two: position 5, looking along +z.
    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(5, 0, 0), at(5, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 2.0f, 1.0f, 100.0f);
    D3DXMATRIX expected = view * projection;
    const D3DXMATRIX& previous = g_ShaderManager.GetPrevViewProjection();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&previous._11)[i], (&expected._11)[i], 1e-3f) << i;

    // Without states old enough, and for an orthographic camera, the previous is the current.
    camera.m_History[1].time = 1.05f;
    camera.m_History[2].time = 1.06f;
    g_Timer.m_TotalTimeF = 1.0f + 0.0333f;
    g_ShaderManager.SetViewProjection(camera.m_View, camera.m_Projection, &camera);
    g_Timer.m_TotalTimeF = savedTime;
    EXPECT_EQ(
        std::memcmp(&g_ShaderManager.GetPrevViewProjection(), &g_ShaderManager.GetViewProjection(), sizeof(D3DXMATRIX)),
        0);
}

TEST_F(WeShaderParameters, LightUploads)
{
    ASSERT_TRUE(Create());
    WeShader* shader = g_ShaderManager.GetShader("Shaders.Default.Default", false, false);
    ASSERT_NE(shader, nullptr);
    ID3DXEffect* e = shader->GetEffect();
    WeShaderLight lights[6];
    for (int i = 0; i < 6; ++i)
    {
        WeShaderLight& l = lights[i];
        l.position = D3DXVECTOR3(float(i), 0, 0);
        l.colour[0] = 1.0f;
        l.colour[1] = 0.5f;
        l.colour[2] = 0.25f;
        l.intensity = 2.0f;
        l.specularColour[0] = l.specularColour[1] = l.specularColour[2] = 1.0f;
        l.specularIntensity = 0.5f;
        l.range = 4.0f;
    }
    // Per pixel: at most the four the effect wants.
    shader->SetPerPixelLights(lights, 6);
    float count = 0, colour[16] = {}, specular[16] = {}, range[4] = {}, position[16] = {};
    e->GetFloat("PerPixelLightsCount", &count);
    e->GetFloatArray("PerPixelLightsColor", colour, 16);
    e->GetFloatArray("PerPixelLightsSpecularColor", specular, 16);
    e->GetFloatArray("PerPixelLightsRange", range, 4);
    e->GetFloatArray("PerPixelLightsPosition", position, 16);
    EXPECT_EQ(count, 4.0f);
    EXPECT_FLOAT_EQ(colour[0], 2.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    EXPECT_FLOAT_EQ(specular[0], 0.5f);
    EXPECT_FLOAT_EQ(range[3], 0.25f);
    EXPECT_FLOAT_EQ(position[12], 3.0f);
    EXPECT_FLOAT_EQ(position[15], 1.0f);

    // Per vertex with a sphere: full inside half the reach, fading to 0 at range + radius and beyond.
    struct Case
    {
        float distance;
        float scale;
    } cases[] = {{0.0f, 1.0f}, {2.5f, 1.0f}, {3.75f, 0.5f}, {4.99f, 0.004f}, {5.0f, 0.0f}, {9.0f, 0.0f}};
    for (const Case& c : cases)
    {
        WeShaderLight one = lights[0];
        one.position = D3DXVECTOR3(c.distance, 0, 0);
        D3DXVECTOR4 sphere(0, 0, 0, 1.0f);
        shader->SetPerVertexLights(&one, 1, &sphere);
        float vertexColour[4] = {};
        e->GetFloatArray("PerVertexLightsColor", vertexColour, 4);
        EXPECT_NEAR(vertexColour[0], 2.0f * c.scale, 1e-3f) << c.distance;
    }
    float vertexCount = 0;
    shader->SetPerVertexLights(lights, 6, nullptr);
    e->GetFloat("PerVertexLightsCount", &vertexCount);
    EXPECT_EQ(vertexCount, 6.0f);
    shader->SetPerVertexLights(nullptr, 3, nullptr);
    e->GetFloat("PerVertexLightsCount", &vertexCount);
    EXPECT_EQ(vertexCount, 0.0f);
}

TEST_F(WeShaderParameters, PixelsBecomeTexelsOfTheCurrentScreen)
{
    ASSERT_TRUE(Create());
    WeShader shader;
    ASSERT_TRUE(LoadText(shader, R"(
float Marker <string ConvertPixelsToTexels = "Taps";> = 0;
float4 Taps[3] = {64, 48, 7, 9,  -32, 24, 0, 0,  640, 480, 1, 1};
float4 After = {5, 5, 5, 5};
technique Default { pass P { VertexProgram = """void main() {}"""; FragmentProgram = """void main() {}"""; } }
)"));
    float taps[12] = {}, after[4] = {};
    shader.GetEffect()->GetFloatArray("Taps", taps, 12);
    // All three elements (16 bytes each) are converted; z and w stay.
    EXPECT_FLOAT_EQ(taps[0], 0.1f);
    EXPECT_FLOAT_EQ(taps[1], 0.1f);
    EXPECT_FLOAT_EQ(taps[2], 7.0f);
    EXPECT_FLOAT_EQ(taps[8], 1.0f);
    EXPECT_FLOAT_EQ(taps[9], 1.0f);
    shader.GetEffect()->GetFloatArray("After", after, 4);
    EXPECT_FLOAT_EQ(after[0], 5.0f);

    // A reset converts again from the pixel values, for the new screen size.
    ASSERT_TRUE(g_RenderDevice.ChangeMode(320, 240, 0, 0, 0, 2));
    shader.OnLostDevice();
    shader.OnResetDevice();
    shader.OnResetDevice();
    shader.GetEffect()->GetFloatArray("Taps", taps, 12);
    EXPECT_FLOAT_EQ(taps[0], 0.2f);
    EXPECT_FLOAT_EQ(taps[5], 0.1f);
}

TEST_F(WeShaderFiles, SaveCompiledThenLoad)
{
    ASSERT_TRUE(Create());
    ScratchFolder scratch;
    WeFileSystem tree;
    tree.SetRoot(scratch.Path("Packages").c_str());
    WeShader shader;
    ASSERT_TRUE(LoadText(shader, VariantEffect));
    ASSERT_TRUE(shader.SaveCompiled(&tree, "Shaders.Test.Saved"));
    ASSERT_TRUE(tree.Open("Shaders.Test.Saved", 3));
    EXPECT_EQ(tree.GetSize(), int64_t(4 + std::strlen(VariantEffect)));
    EXPECT_EQ(tree.GetStream()->ReadInt32(), int32_t(std::strlen(VariantEffect)));
    tree.Close();
    WeShader loaded;
    ASSERT_TRUE(loaded.Load(&tree, "Shaders.Test.Saved"));
    EXPECT_EQ(loaded.m_CompiledSize, shader.m_CompiledSize);
    EXPECT_EQ(std::memcmp(loaded.m_Compiled, shader.m_Compiled, size_t(shader.m_CompiledSize)), 0);
    EXPECT_NE(loaded.GetVariantTechnique(0x80), nullptr);
}

TEST_F(WeShaderFiles, ACompiledSizeThatLiesIsRefusedBeforeAllocating)
{
    ASSERT_TRUE(Create());
    ScratchFolder scratch;
    WeFileSystem tree;
    tree.SetRoot(scratch.Path("Packages").c_str());
    for (int32_t size : {0, -8, 100, 0x7FFFFFFF})
    {
        ASSERT_TRUE(tree.Create("Shaders.Test.Lying", 3, true));
        tree.GetStream()->WriteInt32(size);
        tree.GetStream()->Write(VariantEffect, 40);
        ASSERT_TRUE(tree.EndCreate());
        WeShader shader;
        EXPECT_FALSE(shader.Load(&tree, "Shaders.Test.Lying")) << size;
        EXPECT_EQ(shader.GetEffect(), nullptr);
    }
    // A broken effect text gives no effect either; the parser's log goes to the effect layer's reporter.
    static std::string reported;
    reported.clear();
    FxEffect::SetReporter([](const char* text) { reported += text; });
    WeShader broken;
    EXPECT_FALSE(LoadText(broken, "technique { oops", "Shaders.Test.Broken"));
    FxEffect::SetReporter(nullptr);
    EXPECT_EQ(broken.GetEffect(), nullptr);
    EXPECT_NE(reported.find("Shaders.Test.Broken"), std::string::npos) << reported;
    EXPECT_NE(reported.find("line 1"), std::string::npos) << reported;
}

}  // namespace

namespace
{

using WeShaderQuads = RecordingRender;

template <int N>
std::vector<float> Floats(IDirect3DVertexBuffer9* vb)
{
    std::vector<float> out(size_t(4 * N));
    void* data = nullptr;
    if (SUCCEEDED(vb->Lock(0, UINT(out.size() * 4), &data, D3DLOCK_READONLY)))
    {
        std::memcpy(out.data(), data, out.size() * 4);
        vb->Unlock();
    }
    return out;
}

TEST_F(WeShaderQuads, TheQuadFormulas)
{
    ASSERT_TRUE(Create());
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(4 * 28, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb, nullptr),
        D3D_OK);

    ASSERT_TRUE(FillClipSpaceQuad(vb));
    EXPECT_EQ(Floats<5>(vb), (std::vector<float>{-1, -1, 1, 0, 0, 1, -1, 1, 1, 0, -1, 1, 1, 0, 1, 1, 1, 1, 1, 1}));

    ASSERT_TRUE(FillScreenQuad(vb, 200.0f, 100));
    std::vector<float> screen = Floats<6>(vb);
    EXPECT_FLOAT_EQ(screen[4], 0.0025f);
    EXPECT_FLOAT_EQ(screen[5], 0.005f);
    EXPECT_FLOAT_EQ(screen[12], 0.0f);
    EXPECT_FLOAT_EQ(screen[13], 100.0f);
    EXPECT_FLOAT_EQ(screen[22], 1.0025f);
    EXPECT_FLOAT_EQ(screen[23], 1.005f);

    // With a equal to b (the default stretch) the second set runs from 0.5/a to (1/W + 1)(W/a) - 0.5/a.
    ASSERT_TRUE(FillScaledQuad(vb, 100.0f, 100.0f, 200.0f, 100));
    std::vector<float> scaled = Floats<7>(vb);
    EXPECT_FLOAT_EQ(scaled[0], -1.0f);
    EXPECT_FLOAT_EQ(scaled[1], 1.0f);
    EXPECT_FLOAT_EQ(scaled[3], 0.0025f);
    EXPECT_FLOAT_EQ(scaled[5], 0.005f);
    EXPECT_FLOAT_EQ(scaled[6], 0.005f);
    EXPECT_FLOAT_EQ(scaled[7 + 5], (1.0f / 200 + 1) * 2.0f + 0.005f - 0.01f);
    EXPECT_FLOAT_EQ(scaled[21 + 6], (1.0f / 100 + 1) * 1.0f + 0.005f - 0.01f);
    EXPECT_FALSE(FillScaledQuad(vb, 0.0f, 1.0f, 200.0f, 100));

    g_GfxRecorder.ClearLog();
    DrawScaledQuad(vb);
    DrawScreenQuad(vb);
    DrawClipSpaceQuad(vb);
    std::vector<const GfxCall*> fvf = g_GfxRecorder.Find("SetFVF");
    ASSERT_EQ(fvf.size(), 3u);
    EXPECT_EQ(fvf[0]->args[0], uint64_t(D3DFVF_XYZ | D3DFVF_TEX2));
    EXPECT_EQ(fvf[1]->args[0], uint64_t(D3DFVF_XYZRHW | D3DFVF_TEX1));
    std::vector<const GfxCall*> streams = g_GfxRecorder.Find("SetStreamSource");
    ASSERT_EQ(streams.size(), 3u);
    EXPECT_EQ(streams[0]->args.back(), 28u);
    EXPECT_EQ(streams[1]->args.back(), 24u);
    EXPECT_EQ(streams[2]->args.back(), 20u);
    EXPECT_EQ(g_GfxRecorder.Count("DrawPrimitive"), 3u);
    vb->Release();
}

}  // namespace
