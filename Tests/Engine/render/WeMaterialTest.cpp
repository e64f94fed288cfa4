// Materials and the material manager on the recording backend: every file version, the load-time
// rules, texture animation, texture binding by variant bits and the cache's releases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Engine/render/MaterialFileBuilder.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class WeMaterialFile : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        savedCube = WeMaterial::s_ReflectionCube;
        ASSERT_TRUE(Create());
        tree.SetRoot(scratch.Path("Packages").c_str());
    }
    void TearDown() override
    {
        g_MaterialManager.ReleaseAll(true);
        // The reflection renderer's hook, as the process had it.
        WeMaterial::s_ReflectionCube = savedCube;
        RecordingRender::TearDown();
    }

    WeTexture* (*savedCube)() = nullptr;

    void Write(const char* name, int32_t version, const MaterialFileFields& f)
    {
        ASSERT_TRUE(tree.Create(name, WeMaterial::FileType, true));
        WriteMaterialFile(*tree.GetStream(), version, f);
        ASSERT_TRUE(tree.EndCreate());
    }

    // A texture of that kind registered in the texture manager's cache under the name.
    WeTexture* Register(const char* name, int32_t kind)
    {
        WeTexture* t = nullptr;
        if (kind == WeTexture::Kind2D)
            t = g_TextureManager.CreateTexture(4, 4, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
        else
        {
            t = g_TextureManager.CreateEmpty(false);
            t->m_Kind = kind;
        }
        t->m_Name = name;
        g_TextureManager.m_Textures.Insert(WeString(name).ToLower(), t);
        return t;
    }

    // The recorder's id of the texture's device object.
    static uint64_t IdOf(WeTexture* t)
    {
        g_RenderDevice.SetTexture(7, t);
        uint64_t id = g_GfxRecorder.Last("SetTexture")->args[1];
        g_GfxRecorder.ClearLog();
        return id;
    }

    // (stage, id) of every SetTexture since the log was cleared.
    static std::vector<std::pair<uint64_t, uint64_t>> Binds()
    {
        std::vector<std::pair<uint64_t, uint64_t>> out;
        for (const GfxCall* c : g_GfxRecorder.Find("SetTexture"))
            out.push_back({c->args[0], c->args[1]});
        return out;
    }

    ScratchFolder scratch;
    WeFileSystem tree;
};

TEST_F(WeMaterialFile, EveryVersionPutsEveryFieldInPlace)
{
    Register("Textures.T.Diffuse", WeTexture::Kind2D);
    Register("Textures.T.Volume", WeTexture::KindVolume);
    MaterialFileFields f;
    f.sortMode = 4;
    f.legacyBlend = 0;
    f.sourceBlend = 9;
    f.destinationBlend = 3;
    f.reflective = 1;
    f.lit = 0;
    f.stencil = 1;
    f.twoSided = 1;
    f.wireframe = 1;
    f.noise = 1;
    f.textures[0] = "Textures.T.Diffuse";
    f.textures[5] = "Textures.T.Volume";
    f.animationMode = 8;
    f.p[0] = 0.5f, f.p[1] = 0.25f, f.p[2] = 2.0f, f.p[3] = 3.0f;
    f.lastTime = 1.5f;
    f.materialStrength = 0.75f;
    f.environmentStrength = 0.125f;
    f.glow = 0.625f;
    f.color[0] = 0.1f, f.color[1] = 0.2f, f.color[2] = 0.3f, f.color[3] = 0.4f;
    f.bump = 3.5f;
    f.staticBump[0] = 1, f.staticBump[1] = 2, f.staticBump[2] = 3;
    f.staticBumpIntensity = 0.5f;
    f.specular = 16.0f;
    f.alphaReference = 77;
    f.trailing = 9;
    f.noiseValues[0] = 1.5f, f.noiseValues[1] = 2.5f, f.noiseValues[2] = 3.5f, f.noiseValues[3] = 4.5f;

    std::vector<int32_t> versions = {0};
    for (int32_t v = 10; v <= 28; ++v)
        versions.push_back(v);
    for (int32_t version : versions)
    {
        SCOPED_TRACE(version);
        Write("Materials.T.Any", version, f);
        WeMaterial m;
        ASSERT_TRUE(m.Load(&tree, "Materials.T.Any"));
        int32_t v = version > 27 ? 27 : version;
        EXPECT_EQ(m.m_Name, WeString("Materials.T.Any"));
        EXPECT_EQ(m.m_SortMode, 4);
        EXPECT_EQ(m.m_Reflective, 1);
        EXPECT_EQ(m.m_SourceBlend, v >= 20 ? 9 : 5);
        EXPECT_EQ(m.m_DestinationBlend, v >= 20 ? 3 : 6);
        EXPECT_EQ(m.m_Lit, v >= 11 ? 0 : 1);
        EXPECT_EQ(m.m_Stencil, v >= 13 ? 1 : 0);
        EXPECT_EQ(m.m_TwoSided, 1);  // stored from 15, implied by sort mode 4 before 21
        EXPECT_EQ(m.m_Textures[0] != nullptr, true);
        EXPECT_EQ(m.m_Textures[5] != nullptr, v >= 24);
        EXPECT_EQ(m.m_TextureNames[5], WeString(v >= 24 ? "Textures.T.Volume" : ""));
        EXPECT_EQ(m.m_AnimationMode, 8);
        EXPECT_FLOAT_EQ(m.m_P0, 0.5f);
        EXPECT_FLOAT_EQ(m.m_P3, 3.0f);
        EXPECT_FLOAT_EQ(m.m_LastAnimationTime, 1.5f);
        EXPECT_FLOAT_EQ(m.m_MaterialStrength, 0.75f);
        EXPECT_FLOAT_EQ(m.m_EnvironmentStrength, 0.125f);
        EXPECT_FLOAT_EQ(m.m_GlowAmount, v >= 23 ? 0.625f : 0.0f);
        EXPECT_FLOAT_EQ(m.m_Color[0], 0.1f);
        EXPECT_FLOAT_EQ(m.m_Color[3], 0.4f);
        EXPECT_FLOAT_EQ(m.m_BumpIntensity, v >= 12 ? 3.5f : 2.5f);
        EXPECT_FLOAT_EQ(m.m_SpecularPower, v >= 12 ? 16.0f : 4.0f);
        EXPECT_FLOAT_EQ(m.m_StaticBumpVector[2], v >= 25 ? 3.0f : 10.0f);
        EXPECT_FLOAT_EQ(m.m_StaticBumpIntensity, v >= 26 ? 0.5f : 1.0f);
        EXPECT_EQ(m.m_AlphaReference, v >= 14 ? 77 : 0);
        EXPECT_EQ(m.m_Wireframe, v >= 27 ? 1 : 0);
        EXPECT_EQ(m.m_Trailing, v >= 17 ? 9 : 2);
        EXPECT_EQ(m.m_Noise, v >= 24 ? 1 : 0);
        EXPECT_FLOAT_EQ(m.m_NoiseIntensity, v >= 24 ? 4.5f : 0.0f);
        EXPECT_NE(m.m_Shader, nullptr);
    }
}

TEST_F(WeMaterialFile, LoadRulesOfOldFilesAndNames)
{
    WeTexture* cube = Register("Textures.T.Cube", WeTexture::KindCube);
    WeTexture* flat = Register("Textures.T.Flat", WeTexture::Kind2D);
    WeTexture* volume = Register("Textures.T.Volume", WeTexture::KindVolume);
    MaterialFileFields f;

    // Legacy blend 1 draws additively; sort mode 3 is 2 with stencil; 1 is 2.
    f.legacyBlend = 1;
    f.sortMode = 3;
    Write("Materials.T.A", 10, f);
    WeMaterial a;
    ASSERT_TRUE(a.Load(&tree, "Materials.T.A"));
    EXPECT_EQ(a.m_SourceBlend, 5);
    EXPECT_EQ(a.m_DestinationBlend, 2);
    EXPECT_EQ(a.m_SortMode, 2);
    EXPECT_EQ(a.m_Stencil, 1);
    f.sortMode = 1;
    Write("Materials.T.A", 27, f);
    ASSERT_TRUE(a.Load(&tree, "Materials.T.A"));
    EXPECT_EQ(a.m_SortMode, 2);
    EXPECT_EQ(a.m_Stencil, 0);

    // Sort mode 0 is opaque; an old near-zero material strength is 1; refraction becomes the default
    // shader with alpha 0.
    f = MaterialFileFields();
    f.color[3] = 0.25f;
    f.materialStrength = 0.0f;
    Write("Materials.T.B", 20, f);
    WeMaterial b;
    ASSERT_TRUE(b.Load(&tree, "Materials.T.B"));
    EXPECT_FLOAT_EQ(b.m_Color[3], 1.0f);
    EXPECT_FLOAT_EQ(b.m_MaterialStrength, 1.0f);
    f.sortMode = 2;
    f.shader = "Shaders.Default.Refraction";
    Write("Materials.T.B", 27, f);
    ASSERT_TRUE(b.Load(&tree, "Materials.T.B"));
    EXPECT_FLOAT_EQ(b.m_Color[3], 0.0f);
    EXPECT_FLOAT_EQ(b.m_MaterialStrength, 0.0f);

    // Editor shaders before 27 become ColorOnly, light and wireframe with the wireframe flag.
    f = MaterialFileFields();
    f.shader = "Shaders.Editor.Light";
    Write("Materials.T.C", 26, f);
    WeMaterial c;
    ASSERT_TRUE(c.Load(&tree, "Materials.T.C"));
    EXPECT_EQ(c.m_Wireframe, 1);

    // A missing shader falls back to the default effect.
    f.shader = "Shaders.None.Such";
    Write("Materials.T.C", 27, f);
    ASSERT_TRUE(c.Load(&tree, "Materials.T.C"));
    EXPECT_EQ(c.m_Shader, g_ShaderManager.GetDefaultShader());
    EXPECT_NE(c.m_Shader, nullptr);

    // Kinds: a cube in slot 0 and a 2-D map in slots 4 and 5 are dropped; " " empties a slot; a missing
    // texture leaves its slot null with its name.
    f = MaterialFileFields();
    f.textures[0] = "Textures.T.Cube";
    f.textures[1] = " ";
    f.textures[2] = "Textures.None.Such";
    f.textures[3] = "Textures.T.Flat";
    f.textures[4] = "Textures.T.Flat";
    f.textures[5] = "Textures.T.Flat";
    Write("Materials.T.D", 27, f);
    WeMaterial d;
    ASSERT_TRUE(d.Load(&tree, "Materials.T.D"));
    EXPECT_EQ(d.m_Textures[0], nullptr);
    EXPECT_EQ(d.m_TextureNames[1], WeString(""));
    EXPECT_EQ(d.m_Textures[2], nullptr);
    EXPECT_EQ(d.m_TextureNames[2], WeString("Textures.None.Such"));
    EXPECT_EQ(d.m_Textures[3], flat);
    EXPECT_EQ(d.m_Textures[4], nullptr);
    EXPECT_EQ(d.m_Textures[5], nullptr);
    f.textures[0] = "Textures.T.Flat";
    f.textures[4] = "Textures.T.Cube";
    f.textures[5] = "Textures.T.Volume";
    Write("Materials.T.D", 27, f);
    ASSERT_TRUE(d.Load(&tree, "Materials.T.D"));
    EXPECT_EQ(d.m_Textures[0], flat);
    EXPECT_EQ(d.m_Textures[4], cube);
    EXPECT_EQ(d.m_Textures[5], volume);

    // The particle-system shader name forces blended additive drawing.
    f = MaterialFileFields();
    f.shader = "Shaders.Default.ParticleSystem";
    Write("Materials.T.E", 27, f);
    WeMaterial e;
    ASSERT_TRUE(e.Load(&tree, "Materials.T.E"));
    EXPECT_EQ(e.m_SortMode, 2);
    EXPECT_EQ(e.m_DestinationBlend, 2);

    // A name that does not open clears the shader and textures.
    WeMaterial none;
    EXPECT_FALSE(none.Load(&tree, "Materials.None.Such"));
    EXPECT_EQ(none.m_Shader, nullptr);
}

TEST_F(WeMaterialFile, DefaultTextureCleanUp)
{
    struct Case
    {
        int slot;
        const char* texture;
        const char* shader;
        bool emptied;
        float glow;
    };
    const Case cases[] = {
        {1, "MapEditor.Textures.DefaultNormalMapBlue1x1", "Shaders.Default.Default", true, 0.625f},
        {2, "MapEditor.Textures.DefaultBlack1x1", "Shaders.Default.Default", true, 0.625f},
        {2, "MapEditor.Textures.DefaultWhite1x1", "Shaders.Default.Default", false, 0.625f},
        {3, "MapEditor.Textures.DefaultGray1x1", "Shaders.Default.Default", true, 0.5f},
        {3, "MapEditor.Textures.DefaultBlack1x1", "Shaders.Default.Default", true, 0.0f},
        {3, "MapEditor.Textures.DefaultWhite1x1", "Shaders.Default.Default", true, 1.0f},
        {3, "Some.Textures.DefaultWhiteGlow4x4", "Shaders.Default.Default", true, 1.0f},
        {3, "MapEditor.Textures.DefaultWhite1x1", "Shaders.Default.AlphaFalloff", false, 0.625f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.texture);
        MaterialFileFields f;
        f.shader = c.shader;
        f.glow = 0.625f;
        f.textures[c.slot] = c.texture;
        Write("Materials.T.Clean", 27, f);
        WeMaterial m;
        ASSERT_TRUE(m.Load(&tree, "Materials.T.Clean"));
        EXPECT_EQ(m.m_TextureNames[c.slot].IsEmpty(), c.emptied);
        if (c.emptied)
        {
            EXPECT_EQ(m.m_Textures[c.slot], nullptr);
        }
        EXPECT_FLOAT_EQ(m.m_GlowAmount, c.glow);
    }
}

TEST_F(WeMaterialFile, AnimateEveryMode)
{
    struct Case
    {
        int mode;
        float p0, p1, p2, p3, t;
        float m11, m22, m41, m42;
    };
    const Case cases[] = {
        {0, 1, 1, 1, 1, 2, 1, 1, 0, 0},
        {1, 0.5f, 0.25f, 0, 0, 2, 1, 1, 1.0f, 0.5f},
        // Four frames in two columns of 0.5 x 0.5; at 3 frames a second, t = 1 shows frame 3.
        {4, 0.5f, 0.5f, 4, 3, 1, 0.5f, 0.5f, 0.5f, 0.5f},
        {4, 0.5f, 0.5f, 4, 3, 2, 0.5f, 0.5f, 0.0f, 0.5f},  // frame 6 mod 4 = 2
        {4, 0.5f, 0.5f, 0, 3, 1, 1, 1, 0, 0},              // no frames: identity
        {4, 0.5f, 0.5f, -3, 3, 1, 1, 1, 0, 0},
        // Columns of 1 when p0 is not above 0 or its reciprocal is out of range.
        {4, 0.0f, 0.5f, 4, 3, 1, 0.0f, 0.5f, 0.0f, 1.5f},
        {4, -1.0f, 0.5f, 4, 3, 1, -1.0f, 0.5f, 0.0f, 1.5f},
        {4, 1e-20f, 0.5f, 4, 3, 1, 1e-20f, 0.5f, 0.0f, 1.5f},
        {8, 0.5f, 0.25f, 2, 3, 2, 2, 3, 1.0f, 0.5f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " p0 " << c.p0 << " p2 " << c.p2 << " t " << c.t);
        WeMaterial m;
        m.m_AnimationMode = c.mode;
        m.m_P0 = c.p0, m.m_P1 = c.p1, m.m_P2 = c.p2, m.m_P3 = c.p3;
        m.Animate(c.t);
        EXPECT_FLOAT_EQ(m.m_TextureMatrix._11, c.m11);
        EXPECT_FLOAT_EQ(m.m_TextureMatrix._22, c.m22);
        EXPECT_NEAR(m.m_TextureMatrix._41, c.m41, 1e-6f);
        EXPECT_NEAR(m.m_TextureMatrix._42, c.m42, 1e-6f);
    }

    // Rotation about (p1, p2): the centre stays put, a quarter turn maps (p1 + 1, p2) to (p1, p2 + 1).
    WeMaterial r;
    r.m_AnimationMode = 2;
    r.m_P0 = 0.25f, r.m_P1 = 0.5f, r.m_P2 = 0.5f;
    r.Animate(1.0f);
    D3DXVECTOR3 centre(0.5f, 0.5f, 0), edge(1.5f, 0.5f, 0), out;
    D3DXVec3TransformCoord(&out, &centre, &r.m_TextureMatrix);
    EXPECT_NEAR(out.x, 0.5f, 1e-5f);
    EXPECT_NEAR(out.y, 0.5f, 1e-5f);
    D3DXVec3TransformCoord(&out, &edge, &r.m_TextureMatrix);
    EXPECT_NEAR(out.x, 0.5f, 1e-5f);
    EXPECT_NEAR(std::fabs(out.y - 0.5f), 1.0f, 1e-5f);

    // Pulse: |p0 - p1| cos(t pi/2) + |p1 - p0| / 2 on every axis.
    WeMaterial p;
    p.m_AnimationMode = 6;
    p.m_P0 = 1.0f, p.m_P1 = 3.0f;
    p.Animate(0.0f);
    EXPECT_FLOAT_EQ(p.m_TextureMatrix._33, 3.0f);
    p.Animate(2.0f);
    EXPECT_NEAR(p.m_TextureMatrix._11, -1.0f, 1e-5f);

    // Mode 3 leaves the matrix as it was.
    WeMaterial keep;
    keep.m_TextureMatrix._41 = 7.0f;
    keep.m_AnimationMode = 3;
    keep.Animate(1.0f);
    EXPECT_FLOAT_EQ(keep.m_TextureMatrix._41, 7.0f);
}

TEST_F(WeMaterialFile, AnimationNeverLeavesTheNumbers)
{
    // Frame strips with values no int holds give finite matrices.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int mode : {4, 7})
        for (float p0 : {nan, inf, -inf, 1e-30f, 0.0f})
            for (float p2 : {nan, inf, 1e30f, -1e30f, 3.0f})
                for (float p3 : {nan, inf, 1e30f, 2.0f})
                {
                    WeMaterial m;
                    m.m_AnimationMode = mode;
                    m.m_P0 = p0, m.m_P1 = 0.5f, m.m_P2 = p2, m.m_P3 = p3;
                    m.Animate(1e9f);
                    EXPECT_TRUE(std::isfinite(m.m_TextureMatrix._42)) << mode << " " << p0 << " " << p2 << " " << p3;
                }
    // Jitter: a draw of 0 counts as 1, never an infinite translation. The first value of seed 0 is 38,
    // and 38 * 1000 >> 15 = 1; the sequence is scanned for a 0 draw.
    WeMaterial j;
    j.m_AnimationMode = 5;
    j.m_P0 = 2.0f;
    SysRandom::Seed(1);
    bool sawZeroDraw = false;
    for (int i = 0; i < 20000; ++i)
    {
        SysRandom::Seed(uint32_t(i));
        int32_t draw = int32_t((int64_t(SysRandom::Next()) * 1000) >> 15);
        SysRandom::Seed(uint32_t(i));
        j.Animate(0.0f);
        ASSERT_TRUE(std::isfinite(j.m_TextureMatrix._41));
        sawZeroDraw = sawZeroDraw || draw == 0;
        EXPECT_FLOAT_EQ(j.m_TextureMatrix._41, 2.0f / float(draw == 0 ? 1 : draw));
    }
    EXPECT_TRUE(sawZeroDraw);

    // Random frame: a new frame only when the step changes, chosen by the seeded generator.
    WeMaterial r;
    r.m_AnimationMode = 7;
    r.m_P0 = 0.25f, r.m_P1 = 1.0f, r.m_P2 = 4.0f, r.m_P3 = 1.0f;
    SysRandom::Seed(5);
    int32_t expected = SysRandom::Scaled(4);
    SysRandom::Seed(5);
    r.Animate(0.5f);
    EXPECT_EQ(r.m_LastAnimationStep, 0);
    EXPECT_EQ(r.m_RandomFrame, expected);
    EXPECT_FLOAT_EQ(r.m_TextureMatrix._41, float(expected) * 0.25f);
    r.Animate(0.9f);  // same step: no draw
    EXPECT_EQ(r.m_RandomFrame, expected);
    int32_t next = SysRandom::Scaled(4);
    SysRandom::Seed(5);
    SysRandom::Scaled(4);
    r.Animate(1.1f);
    EXPECT_EQ(r.m_LastAnimationStep, 1);
    EXPECT_EQ(r.m_RandomFrame, next);
}

TEST_F(WeMaterialFile, BindTexturesByVariantBits)
{
    WeTexture* t[6];
    for (int i = 0; i < 6; ++i)
        t[i] = g_TextureManager.CreateTexture(4, 4, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    WeTexture* reflection = g_TextureManager.CreateTexture(4, 4, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    uint64_t id[6];
    for (int i = 0; i < 6; ++i)
        id[i] = IdOf(t[i]);
    uint64_t black = IdOf(g_TextureManager.m_DefaultBlack);
    uint64_t cubeId = IdOf(reflection);
    WeMaterial m;
    for (int i = 0; i < 6; ++i)
        m.m_Textures[i] = t[i];

    using Binds = std::vector<std::pair<uint64_t, uint64_t>>;
    m.BindTextures(0, nullptr, 0);
    EXPECT_EQ(this->Binds(), (Binds{{0, id[0]}}));
    g_GfxRecorder.ClearLog();
    m.BindTextures(0x20 | 0x40 | 0x02 | 0x01, nullptr, 0);
    EXPECT_EQ(this->Binds(), (Binds{{0, id[0]}, {1, id[1]}, {2, id[2]}, {3, id[3]}, {4, id[4]}, {5, id[5]}}));
    g_GfxRecorder.ClearLog();
    m.BindTextures(0x10, nullptr, 6);
    EXPECT_EQ(this->Binds(), (Binds{{6, id[0]}, {4, id[4]}}));

    // The cache skips what a stage already holds.
    WeTexture* cache[6] = {};
    g_GfxRecorder.ClearLog();
    m.BindTextures(0x20, cache, 0);
    m.BindTextures(0x20 | 0x40, cache, 0);
    EXPECT_EQ(this->Binds(), (Binds{{0, id[0]}, {1, id[1]}, {2, id[2]}}));
    EXPECT_EQ(cache[2], t[2]);

    // Reflective: quality 1 binds slot 4, 2 the reflection cube once there is one, 0 nothing.
    m.m_Reflective = 1;
    struct Case
    {
        int quality;
        bool source;
        Binds expected;
    };
    const Case cases[] = {
        {1, true, {{0, id[0]}, {4, id[4]}}},
        {2, false, {{0, id[0]}}},
        {2, true, {{0, id[0]}, {4, cubeId}}},
        {0, true, {{0, id[0]}}},
    };
    static WeTexture* s_Cube = nullptr;
    s_Cube = reflection;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.quality);
        g_RenderDevice.m_ReflectionQuality = c.quality;
        WeMaterial::s_ReflectionCube = c.source ? +[]() { return s_Cube; } : nullptr;
        g_GfxRecorder.ClearLog();
        m.BindTextures(0x10, nullptr, 0);
        EXPECT_EQ(this->Binds(), c.expected);
    }

    // An empty diffuse slot binds the default black texture.
    m.m_Textures[0] = nullptr;
    g_GfxRecorder.ClearLog();
    m.BindTextures(0, nullptr, 0);
    EXPECT_EQ(this->Binds(), (Binds{{0, black}}));
}

TEST_F(WeMaterialFile, ManagerCachesReleasesAndKeepsWhatFailsToReload)
{
    WeTexture* loose = g_TextureManager.CreateTexture(4, 4, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    WeTexture* kept = g_TextureManager.m_DefaultWhite;
    ASSERT_NE(kept, nullptr);

    WeMaterial* persistent = new WeMaterial();
    persistent->m_Persistent = 1;
    persistent->m_Textures[0] = loose;
    persistent->m_Textures[1] = kept;
    persistent->m_TextureNames[0] = "Textures.Loose";
    WeMaterial* plain = new WeMaterial();
    g_MaterialManager.m_Materials.Insert("materials.test.persistent", persistent);
    g_MaterialManager.m_Materials.Insert("materials.test.plain", plain);

    // Cached names are found without regard to case; a cached material whose file is gone keeps its shader.
    WeShader* shader = persistent->m_Shader;
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(g_MaterialManager.GetMaterial("Materials.TEST.Persistent", false, false), persistent);
    EXPECT_EQ(g_MaterialManager.GetMaterial("Materials.Test.Persistent", true, true), persistent);
    EXPECT_EQ(persistent->m_Shader, shader);
    EXPECT_EQ(g_MaterialManager.GetMaterial("Materials.None.Such", false, false), nullptr);
    EXPECT_EQ(g_MaterialManager.GetMaterial("", false, false), g_MaterialManager.m_Default);

    EXPECT_FALSE(g_MaterialManager.ReleaseMaterial(nullptr, false));
    // Not forced, a persistent material stays and loses its non-persistent textures (names kept).
    EXPECT_FALSE(g_MaterialManager.ReleaseMaterial(persistent, false));
    EXPECT_EQ(persistent->m_Textures[0], nullptr);
    EXPECT_EQ(persistent->m_Textures[1], kept);
    EXPECT_EQ(persistent->m_TextureNames[0], WeString("Textures.Loose"));
    int32_t count = g_MaterialManager.m_Materials.Count();
    EXPECT_TRUE(g_MaterialManager.ReleaseMaterial(plain, false));
    EXPECT_EQ(g_MaterialManager.m_Materials.Count(), count - 1);
    g_MaterialManager.ReleaseAll(false);
    WeMaterial* found = nullptr;
    EXPECT_TRUE(g_MaterialManager.m_Materials.Find("materials.test.persistent", &found));
    g_MaterialManager.ReleaseAll(true);
    EXPECT_EQ(g_MaterialManager.m_Materials.Count(), 0);
    EXPECT_EQ(g_MaterialManager.m_Default, nullptr);
}

}  // namespace
