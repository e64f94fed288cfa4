// wecontent end to end: sources in a scratch assets tree, the tool run as the build runs it, the members
// read back through the engine's loaders on the recording backend.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{

class WeContentTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(root / "Staged");
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.ResetAll();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 16;
        pp.BackBufferHeight = 16;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.Windowed = TRUE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device), D3D_OK);
        ASSERT_TRUE(g_RenderDevice.AdoptDevice(device));
    }
    void TearDown() override
    {
        g_RenderDevice.Shutdown();
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
    }

    void Source(const std::string& relative, const std::string& text)
    {
        fs::path path = root / "Assets" / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // Runs the tool on one source as the build does; its exit status, and its messages in `output`.
    int Run(const fs::path& source, std::string* output = nullptr, const std::string& preview = std::string())
    {
        std::string command = "./wecontent '" + source.string() + "' '" + (root / "Assets").string() + "' '" +
                              (root / "Staged").string() + "'" +
                              (preview.empty() ? std::string() : " --preview '" + preview + "'") + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string text;
        char buffer[512];
        while (pipe && std::fgets(buffer, sizeof(buffer), pipe))
            text += buffer;
        int status = pipe ? pclose(pipe) : -1;
        if (output)
            *output += text;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Every source of the scratch assets tree, in name order; stops at the first failure.
    int Stage(std::string* output = nullptr)
    {
        std::vector<fs::path> sources;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / "Assets"))
            if (entry.is_regular_file() && entry.path().extension() != ".fxh")
                sources.push_back(entry.path());
        std::sort(sources.begin(), sources.end());
        for (const fs::path& source : sources)
            if (int status = Run(source, output); status != 0)
                return status;
        return 0;
    }

    // Nothing of a failed run is left: no building folder in the generated tree.
    bool NoBuildingFolders() const
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(root / "Staged"))
            if (entry.path().filename().string().rfind(".wecontent", 0) == 0)
                return false;
        return true;
    }

    std::vector<uint32_t> Pixels(const char* name, int* width = nullptr, int* height = nullptr)
    {
        WeFileSystem tree;
        tree.SetRoot((root / "Staged").string().c_str());
        WeTexture texture;
        std::vector<uint32_t> out;
        if (!texture.Load(&tree, name, true, 2, WeTexture::KeepLevel, 0))
            return out;
        if (width)
            *width = texture.m_Width;
        if (height)
            *height = texture.m_Height;
        void* bits = nullptr;
        int32_t total = 0, pitch = 0;
        if (texture.Lock(&bits, &total, &pitch))
        {
            for (int y = 0; y < texture.m_Height; ++y)
                for (int x = 0; x < texture.m_Width; ++x)
                    out.push_back(static_cast<uint32_t*>(bits)[y * pitch / 4 + x]);
            texture.Unlock();
        }
        return out;
    }

    ScratchFolder scratch;
    const fs::path& root = scratch.Root();
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

std::string Texture(const std::string& lines)
{
    return "[Texture]\nkind=2d\nformat=A8R8G8B8\nlevels=1\n" + lines;
}

TEST_F(WeContentTool, EachGeneratorGivesThePixelsItDescribes)
{
    Source("Tex/Gen/Fill.tex", Texture("size=2x2\nfill=#80112233\n"));
    Source("Tex/Gen/Checker.tex", Texture("size=4x4\nchecker=#FF000000,#FFFFFFFF,2\n"));
    Source("Tex/Gen/Gradient.tex", Texture("size=3x1\ngradient=#FF000000,#FFFE80FE,horizontal\n"));
    Source("Tex/Gen/Dot.tex", Texture("size=8x8\ndot=#FFFFFFFF,#00000000\n"));
    Source("Tex/Gen/Noise.tex", Texture("size=16x16\nnoise=7,#FF000000,#FFFFFFFF,4\n"));
    Source("Tex/Gen/Cube.tex", "[Texture]\nkind=cube\nsize=4x4\nformat=X8R8G8B8\nlevels=full\nfill=#FF00FF00\n");
    Source("Tex/Gen/Volume.tex", "[Texture]\nkind=volume\nsize=4x4x2\nformat=A8R8G8B8\nlevels=1\nfill=#FF0000FF\n");
    Source("Tex/Gen/Dxt.tex", "[Texture]\nkind=2d\nsize=8x8\nformat=DXT1\nlevels=full\nminlevel=1\nfill=#FFFF0000\n");
    std::string output;
    ASSERT_EQ(Stage(&output), 0) << output;

    EXPECT_EQ(Pixels("Tex.Gen.Fill"), std::vector<uint32_t>(4, 0x80112233u));
    std::vector<uint32_t> checker = Pixels("Tex.Gen.Checker");
    ASSERT_EQ(checker.size(), 16u);
    EXPECT_EQ(checker[0], 0xFF000000u);
    EXPECT_EQ(checker[1], 0xFF000000u);
    EXPECT_EQ(checker[2], 0xFFFFFFFFu);
    EXPECT_EQ(checker[8], 0xFFFFFFFFu);
    EXPECT_EQ(checker[10], 0xFF000000u);
    EXPECT_EQ(Pixels("Tex.Gen.Gradient"), (std::vector<uint32_t>{0xFF000000u, 0xFF7F407Fu, 0xFFFE80FEu}));
    std::vector<uint32_t> dot = Pixels("Tex.Gen.Dot");
    ASSERT_EQ(dot.size(), 64u);
    EXPECT_GT(dot[3 * 8 + 3] >> 24, 0xE0u);  // near the centre: nearly the centre colour
    EXPECT_EQ(dot[0], 0x00000000u);          // the corner lies beyond the radius
    std::vector<uint32_t> noise = Pixels("Tex.Gen.Noise");
    ASSERT_EQ(noise.size(), 256u);
    uint32_t lo = 255, hi = 0;
    for (uint32_t p : noise)
    {
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);  // grey between the two colours
        lo = std::min(lo, p & 0xFF);
        hi = std::max(hi, p & 0xFF);
    }
    EXPECT_GT(hi - lo, 64u);

    WeFileSystem tree;
    tree.SetRoot((root / "Staged").string().c_str());
    WeTexture cube, volume, dxt;
    ASSERT_TRUE(cube.Load(&tree, "Tex.Gen.Cube", true, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(cube.m_Kind, WeTexture::KindCube);
    EXPECT_EQ(cube.m_Texture->GetLevelCount(), 3u);
    ASSERT_TRUE(volume.Load(&tree, "Tex.Gen.Volume", true, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(volume.m_Kind, WeTexture::KindVolume);
    EXPECT_EQ(volume.m_Depth, 2);
    ASSERT_TRUE(dxt.Load(&tree, "Tex.Gen.Dxt", true, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(dxt.m_Format, D3DFMT_DXT1);
    EXPECT_EQ(dxt.m_MinimumLevel, 1);
    EXPECT_EQ(dxt.m_LastWriteLow, 0u);
    EXPECT_EQ(dxt.m_LastWriteHigh, 0u);
    // The preview is level 0 of the first face, as a PNG.
    std::string preview = (root / "checker.png").string();
    ASSERT_EQ(Run(root / "Assets" / "Tex" / "Gen" / "Checker.tex", nullptr, preview), 0);
    EXPECT_TRUE(fs::is_regular_file(preview));
    EXPECT_TRUE(NoBuildingFolders());
}

TEST_F(WeContentTool, EffectMembersHoldTheExpandedTextAndLoad)
{
    Source("Shaders/Common.fxh", "shared float4 AmbientColor;\n");
    const std::string body = "technique Default { pass P { VertexProgram = \"\"\"void main() {}\"\"\"; "
                             "FragmentProgram = \"\"\"void main() {}\"\"\"; } }\n";
    Source("Shaders/Test/Effect.fx", "// test\n#include \"Common.fxh\"\n" + body);
    ASSERT_EQ(Stage(), 0);
    WeFileSystem tree;
    tree.SetRoot((root / "Staged").string().c_str());
    ASSERT_TRUE(tree.Open("Shaders.Test.Effect", 3));
    int32_t size = tree.GetStream()->ReadInt32();
    std::string text(size_t(std::max(size, 0)), '\0');
    tree.GetStream()->Read(text.data(), size);
    tree.Close();
    EXPECT_EQ(text, "// test\nshared float4 AmbientColor;\n" + body);
    WeShader shader;
    ASSERT_TRUE(shader.Load(&tree, "Shaders.Test.Effect"));
    EXPECT_NE(shader.GetDefaultTechnique(), nullptr);

    // The same sources give the same bytes.
    std::ifstream first(root / "Staged" / "Shaders" / "Test" / "Effect.shader", std::ios::binary);
    std::stringstream a;
    a << first.rdbuf();
    ASSERT_EQ(Stage(), 0);
    std::ifstream second(root / "Staged" / "Shaders" / "Test" / "Effect.shader", std::ios::binary);
    std::stringstream b;
    b << second.rdbuf();
    EXPECT_EQ(a.str(), b.str());
}

TEST_F(WeContentTool, BadSourcesStopWithFileAndLineAndLeaveTheOldTree)
{
    Source("Tex/Ok/Good.tex", Texture("size=1x1\nfill=#FF000000\n"));
    ASSERT_EQ(Stage(), 0);
    struct Case
    {
        const char* file;
        std::string text;
        const char* where;
    } cases[] = {
        {"Tex/Bad/A.tex", Texture("size=1x1\nfill=#FF00\n"), "A.tex:6: fill=#AARRGGBB"},
        {"Tex/Bad/A.tex", Texture("size=0x1\nfill=#FF000000\n"), "A.tex:5: size"},
        {"Tex/Bad/A.tex", Texture("size=1x1\nfill=#FF000000\ndot=#FF000000,#FF000000\n"), "A.tex:7: a second"},
        {"Tex/Bad/A.tex", Texture("size=4x4\nbogus=1\n"), "A.tex:6: unknown key bogus"},
        {"Tex/Bad/A.tex", "[Texture]\nkind=cube\nsize=4x2\nfill=#FF000000\n", "A.tex:3: a cube is square"},
        {"Tex/Bad/A.tex", "[Texture]\nkind=2d\nsize=6x6\nlevels=full\nfill=#FF000000\n", "A.tex:3: a full mip"},
        {"Tex/Bad/A.tex", "kind=2d\n", "A.tex:1: key before [Texture]"},
        {"Tex/Bad/A.tex", Texture("size=4x4\n"), "A.tex: no generator"},
        {"Tex/Bad/A.tex", Texture("size=4x4\nnoise=1,#FF000000,#FFFFFFFF,0\n"), "A.tex:6: noise="},
        // One colour per face, and only for cubes.
        {"Tex/Bad/A.tex", Texture("size=4x4\nfaces=flat,#FF000000,#FF000000,#FF000000,#FF000000,#FF000000,#FF000000\n"),
         "A.tex:6: faces="},
        {"Tex/Bad/A.tex", "[Texture]\nkind=cube\nsize=4x4\nfaces=flat,#FF000000,#FF000000\n", "A.tex:4: faces="},
        {"Tex/Bad/B.fx", "float a;\n#include \"Missing.fxh\"\n", "B.fx:2: cannot find include Missing.fxh"},
        {"Tex/Bad/B.fx", "float a;\n\nfloat5 b;\n", "B.fx:3: unknown type float5"},
        {"Tex/Bad/C.png", "x", "C.png: not a source"},
        {"Tex/Bad/D.mdl", "[Model]\nticks=0\n[Frame A]\n", "D.mdl:2: ticks="},
        {"Tex/Bad/D.mdl", "[Model]\n[Frame A]\nmesh=Tex.Bad.None\n", "D.mdl:2: frame A: mesh Tex.Bad.None"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.where);
        fs::remove_all(root / "Assets" / "Tex" / "Bad");
        Source(c.file, c.text);
        std::string output;
        EXPECT_NE(Stage(&output), 0);
        EXPECT_NE(output.find(c.where), std::string::npos) << output;
        // The members of good runs stay, and nothing of this one is left half written.
        EXPECT_TRUE(fs::is_regular_file(root / "Staged" / "Tex" / "Ok" / "Good.texture"));
        EXPECT_FALSE(fs::exists(root / "Staged" / "Tex" / "Bad"));
        EXPECT_TRUE(NoBuildingFolders());
    }
}

using ContentWritersMaterial = WeContentTool;

TEST_F(ContentWritersMaterial, EveryFieldRoundTripsThroughTheReader)
{
    Source("Mat/Test/All.mat", "[Material]\n"
                               "; every key\n"
                               "shader=Shaders.Default.ColorOnly\n"
                               "sort=4\nsrcblend=ONE\ndstblend=9\ncolor=#80FF0000\n"
                               "texture0=Textures.A.Zero\ntexture1=Textures.A.One\ntexture5=Textures.A.Five\n"
                               "lit=0\nstencil=1\ntwosided=1\nreflective=1\nwireframe=1\nalpharef=128\n"
                               "materialstrength=0.5\nenvstrength=0.25\nglow=0.75\nbump=3.5\n"
                               "staticbump=1,2.5,-3\nstaticbumpintensity=0.125\nspecular=32\n"
                               "animation=4\np0=0.25\np1=0.5\np2=8\np3=12.5\n"
                               "noise=1\nnoisespeed=1.5\nwavespeed=2.5\nnoisescale=3.5\nnoiseintensity=0.1\n");
    std::string output;
    ASSERT_EQ(Stage(&output), 0) << output;
    ASSERT_TRUE(fs::is_regular_file(root / "Staged" / "Mat" / "Test" / "All.material"));
    WeFileSystem tree;
    tree.SetRoot((root / "Staged").string().c_str());
    WeMaterial m;
    ASSERT_TRUE(m.Load(&tree, "Mat.Test.All"));
    EXPECT_EQ(m.m_SortMode, 4);
    EXPECT_EQ(m.m_SourceBlend, 2);
    EXPECT_EQ(m.m_DestinationBlend, 9);
    EXPECT_FLOAT_EQ(m.m_Color[0], 1.0f);
    EXPECT_FLOAT_EQ(m.m_Color[3], 128.0f / 255.0f);
    EXPECT_EQ(m.m_TextureNames[0], WeString("Textures.A.Zero"));
    EXPECT_EQ(m.m_TextureNames[1], WeString("Textures.A.One"));
    EXPECT_EQ(m.m_TextureNames[5], WeString("Textures.A.Five"));
    EXPECT_EQ(m.m_Lit, 0);
    EXPECT_EQ(m.m_Stencil, 1);
    EXPECT_EQ(m.m_TwoSided, 1);
    EXPECT_EQ(m.m_Reflective, 1);
    EXPECT_EQ(m.m_Wireframe, 1);
    EXPECT_EQ(m.m_AlphaReference, 128);
    EXPECT_FLOAT_EQ(m.m_MaterialStrength, 0.5f);
    EXPECT_FLOAT_EQ(m.m_EnvironmentStrength, 0.25f);
    EXPECT_FLOAT_EQ(m.m_GlowAmount, 0.75f);
    EXPECT_FLOAT_EQ(m.m_BumpIntensity, 3.5f);
    EXPECT_FLOAT_EQ(m.m_StaticBumpVector[1], 2.5f);
    EXPECT_FLOAT_EQ(m.m_StaticBumpVector[2], -3.0f);
    EXPECT_FLOAT_EQ(m.m_StaticBumpIntensity, 0.125f);
    EXPECT_FLOAT_EQ(m.m_SpecularPower, 32.0f);
    EXPECT_EQ(m.m_AnimationMode, 4);
    EXPECT_FLOAT_EQ(m.m_P0, 0.25f);
    EXPECT_FLOAT_EQ(m.m_P3, 12.5f);
    EXPECT_EQ(m.m_Noise, 1);
    EXPECT_FLOAT_EQ(m.m_NoiseSpeed, 1.5f);
    EXPECT_FLOAT_EQ(m.m_WaveSpeed, 2.5f);
    EXPECT_FLOAT_EQ(m.m_NoiseScale, 3.5f);
    EXPECT_FLOAT_EQ(m.m_NoiseIntensity, 0.1f);
    EXPECT_EQ(m.m_Trailing, 2);

    // Omitted keys keep the constructor's defaults.
    Source("Mat/Test/Few.mat", "[Material]\nshader=Shaders.Default.Default\n");
    ASSERT_EQ(Stage(&output), 0) << output;
    WeFileSystem again;  // a file system lists the tree once
    again.SetRoot((root / "Staged").string().c_str());
    WeMaterial few;
    ASSERT_TRUE(few.Load(&again, "Mat.Test.Few"));
    WeMaterial defaults;
    EXPECT_EQ(few.m_SourceBlend, defaults.m_SourceBlend);
    EXPECT_EQ(few.m_Lit, defaults.m_Lit);
    EXPECT_FLOAT_EQ(few.m_SpecularPower, defaults.m_SpecularPower);
    EXPECT_FLOAT_EQ(few.m_StaticBumpVector[0], defaults.m_StaticBumpVector[0]);
}

TEST_F(ContentWritersMaterial, BadDescriptionsStopWithFileAndLine)
{
    struct Case
    {
        std::string text;
        const char* where;
    } cases[] = {
        {"[Material]\nsort=7\n", "Bad.mat:2: sort must be 0..6"},
        {"[Material]\nsrcblend=TWO\n", "Bad.mat:2: srcblend must be"},
        {"[Material]\n\ncolor=#FFF\n", "Bad.mat:3: color must be #AARRGGBB"},
        {"[Material]\nspecular=1,5\n", "Bad.mat:2: specular must be a number"},
        {"[Material]\nlit=2\n", "Bad.mat:2: lit must be 0 or 1"},
        {"[Material]\nstaticbump=1,2\n", "Bad.mat:2: staticbump must be x,y,z"},
        {"[Material]\ntexture6=A.B.C\n", "Bad.mat:2: unknown key texture6"},
        {"[Material]\nsort = 1\n", "Bad.mat:2: blank around"},
        {"shader=A\n", "Bad.mat:1: key before [Material]"},
        {"[Materials]\n", "Bad.mat:1: unknown section"},
        {"", "Bad.mat: no [Material] section"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.where);
        fs::remove_all(root / "Assets");
        Source("Mat/Test/Bad.mat", c.text);
        std::string output;
        EXPECT_NE(Stage(&output), 0);
        EXPECT_NE(output.find(c.where), std::string::npos) << output;
        EXPECT_FALSE(fs::exists(root / "Staged" / "Mat" / "Test" / "Bad.material"));
        EXPECT_TRUE(NoBuildingFolders());
    }
}

using ContentWritersMesh = WeContentTool;

TEST_F(ContentWritersMesh, ADescriptionRoundTripsThroughTheReader)
{
    Source("Msh/Test/Two.msh", "[Mesh]\nuv1=planar\nproperty2=32\nproperty6=2.5\n"
                               "[Part Top]\nshape=plane\nsize=2,4\nsegments=2,1\nposition=0,1,0\nsubset=3\n"
                               "[Part Body]\n; a box below the plate\nshape=box\nsize=1,2,1\nrotation=90,0,0\n"
                               "[Subset 0]\nmaterial=Materials.Test.Body\npreset5=Materials.Test.Red\n"
                               "[Subset 3]\nmaterial=Materials.Test.Top\n");
    std::string output;
    ASSERT_EQ(Stage(&output), 0) << output;
    WeFileSystem tree;
    tree.SetRoot((root / "Staged").string().c_str());
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Msh.Test.Two", true));
    EXPECT_EQ(mesh.GetIndexSize(), 2u);
    EXPECT_EQ(mesh.m_Property2, 32);
    EXPECT_FLOAT_EQ(mesh.m_Property6, 2.5f);
    EXPECT_FLOAT_EQ(mesh.m_Property5, 1.0f);
    // The box: 6 sides of 4 corners and 2 faces; the plate: 2 x 1 cells.
    EXPECT_EQ(mesh.GetVertexCount(), 24 + 6);
    EXPECT_EQ(mesh.GetFaceCount(), 12 + 4);
    ASSERT_EQ(mesh.m_SubsetCount, 2);
    const D3DXATTRIBUTERANGE& body = mesh.m_AttributeTable[0];
    const D3DXATTRIBUTERANGE& top = mesh.m_AttributeTable[1];
    EXPECT_EQ(body.AttribId, 0u);
    EXPECT_EQ(body.FaceStart, 0u);
    EXPECT_EQ(body.FaceCount, 12u);
    EXPECT_EQ(body.VertexStart, 0u);
    EXPECT_EQ(body.VertexCount, 24u);
    EXPECT_EQ(top.AttribId, 3u);
    EXPECT_EQ(top.FaceStart, 12u);
    EXPECT_EQ(top.VertexStart, 24u);
    EXPECT_EQ(top.VertexCount, 6u);
    EXPECT_EQ(mesh.m_Presets[0].names[0], WeString("Materials.Test.Body"));
    EXPECT_EQ(mesh.m_Presets[5].names[0], WeString("Materials.Test.Red"));
    EXPECT_EQ(mesh.m_Presets[6].names[0], WeString("Materials.Test.Body"));
    EXPECT_EQ(mesh.m_Presets[29].names[1], WeString("Materials.Test.Top"));
    // Bounds: the box turned a quarter about y, the plate 1 up.
    EXPECT_NEAR(mesh.m_BoxMin.y, -1.0f, 1e-5f);
    EXPECT_NEAR(mesh.m_BoxMax.y, 1.0f, 1e-5f);
    EXPECT_NEAR(mesh.m_BoxMax.z, 2.0f, 1e-5f);

    // Every index stays inside its subset's vertex range; tangents are unit length across the normals.
    void* data = nullptr;
    ASSERT_TRUE(mesh.LockIndexBuffer(&data, D3DLOCK_READONLY));
    const uint16_t* indices = static_cast<const uint16_t*>(data);
    for (int s = 0; s < 2; ++s)
    {
        const D3DXATTRIBUTERANGE& r = mesh.m_AttributeTable[s];
        for (DWORD i = r.FaceStart * 3; i < (r.FaceStart + r.FaceCount) * 3; ++i)
        {
            EXPECT_GE(indices[i], r.VertexStart);
            EXPECT_LT(indices[i], r.VertexStart + r.VertexCount);
        }
    }
    mesh.UnlockIndexBuffer();
    ASSERT_TRUE(mesh.LockVertexBuffer(&data, D3DLOCK_READONLY));
    for (int v = 0; v < mesh.GetVertexCount(); ++v)
    {
        const float* f = reinterpret_cast<const float*>(static_cast<const uint8_t*>(data) + v * 52);
        EXPECT_NEAR(f[8] * f[8] + f[9] * f[9] + f[10] * f[10], 1.0f, 1e-3f) << v;
        EXPECT_NEAR(f[3] * f[8] + f[4] * f[9] + f[5] * f[10], 0.0f, 1e-3f) << v;
        EXPECT_GE(f[11], 0.0f);  // planar texture coordinates 1 lie in 0..1
        EXPECT_LE(f[11], 1.0f);
    }
    mesh.UnlockVertexBuffer();
}

TEST_F(ContentWritersMesh, BadDescriptionsStopWithFileAndLine)
{
    const std::string part = "[Part P]\nshape=box\n";
    const std::string subset = "[Subset 0]\nmaterial=Materials.X\n";
    struct Case
    {
        std::string text;
        const char* where;
    } cases[] = {
        {"[Mesh]\nuv1=round\n" + part + subset, "Bad.msh:2: uv1 must be same, planar or boxed"},
        {"[Part P]\nshape=blob\n" + subset, "Bad.msh:2: shape must be"},
        {"[Part P]\nsize=1,2\n" + subset, "Bad.msh:1: part P has no shape"},
        {part + "size=1,x,1\n" + subset, "Bad.msh:3: size must be"},
        {part + "subset=16\n" + subset, "Bad.msh:3: subset must be 0..15"},
        {part + "normals=soft\n" + subset, "Bad.msh:3: normals must be flat or smooth"},
        {part + "colour=1\n" + subset, "Bad.msh:3: unknown key colour"},
        {part + "size = 1,1,1\n" + subset, "Bad.msh:3: blank around"},
        {part + "size=1,0,1\n" + subset, "Bad.msh:1: part P: size must be above 0"},
        {"[Part S]\nshape=sweep\nprofile=0,0;1,0\npath=0,0,0\n" + subset, "Bad.msh:1: part S: a sweep needs 2 path"},
        {"[Part F]\nshape=polygons\nvertex=0,0,0\nvertex=1,0,0\nvertex=0,1,0\nface=0,1,3\n" + subset,
         "Bad.msh:1: part F: face 0 names vertex 3 of 3"},
        {part + "[Subset 0]\npreset30=Materials.X\n", "Bad.msh:4: unknown key preset30"},
        {part + "[Subset 0]\npreset1=Materials.X\n", "Bad.msh:3: [Subset 0] needs material="},
        {part + subset + "[Subset 0]\nmaterial=Materials.Y\n", "Bad.msh:5: [Subset 0] twice"},
        {part + "[Subset 1]\nmaterial=Materials.X\n", "Bad.msh: subset 0 has faces but no materials"},
        {part + subset + "[Subset 2]\nmaterial=Materials.X\n", "Bad.msh: subset 2 has no faces"},
        {"[Part P]\nshape=plane\nsegments=150,150\n" + subset,
         "Bad.msh: 22801 vertices and 45000 faces: a mesh holds fewer than 60000 vertices and 20000 faces"},
        {"[Mesh]\n" + subset, "Bad.msh: no [Part <name>] section"},
        {"size=1\n", "Bad.msh:1: key before [Mesh]"},
        {"[Model]\n", "Bad.msh:1: unknown section [Model]"},
        {"[Mesh]\r\n", "Bad.msh:1: CR LF line end"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.where);
        fs::remove_all(root / "Assets");
        Source("Msh/Test/Bad.msh", c.text);
        std::string output;
        EXPECT_NE(Stage(&output), 0);
        EXPECT_NE(output.find(c.where), std::string::npos) << output;
        EXPECT_FALSE(fs::exists(root / "Staged" / "Msh" / "Test" / "Bad.mesh"));
        EXPECT_TRUE(NoBuildingFolders());
    }
}

}  // namespace
