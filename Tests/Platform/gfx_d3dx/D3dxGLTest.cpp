#include <gtest/gtest.h>

#include <cstring>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/FxEffect.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"
#include "Tests/support/ScratchFolder.h"

namespace
{

std::string g_report;

class D3dxGL : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_GfxRecorder.ResetAll();
        gl = std::make_unique<GfxTestDevice>(GfxBackendKind::OpenGL, 32, 32);
        ASSERT_NE(gl->d3d, nullptr) << "no OpenGL 3.3 with clip control (SDL_VIDEODRIVER=offscreen?)";
        ASSERT_NE(gl->device, nullptr);
        dev = gl->device;
    }
    void TearDown() override { gl.reset(); }

    uint32_t Pixel(UINT x, UINT y)
    {
        IDirect3DSurface9* back = nullptr;
        dev->GetRenderTarget(0, &back);
        D3DSURFACE_DESC desc{};
        back->GetDesc(&desc);
        IDirect3DSurface9* copy = nullptr;
        dev->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy, nullptr);
        dev->GetRenderTargetData(back, copy);
        D3DLOCKED_RECT r{};
        copy->LockRect(&r, nullptr, D3DLOCK_READONLY);
        uint32_t p = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(r.pBits) + y * r.Pitch)[x];
        copy->UnlockRect();
        copy->Release();
        back->Release();
        return p & 0x00FFFFFFu;
    }

    std::unique_ptr<GfxTestDevice> gl;
    IDirect3DDevice9* dev = nullptr;
};

TEST_F(D3dxGL, EffectDrawsAQuadInTheSharedColour)
{
    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    std::string path = std::string(WE_FIXTURES_DIR) + "/Effects/SharedColor.fx";
    ID3DXEffect *fx = nullptr, *shared = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(dev, path.c_str(), nullptr, nullptr, 0, pool, &fx, &errors), D3D_OK);
    const char sharedText[] = "shared float4 TintColor; shared float4x4 ViewProj;";
    ASSERT_EQ(D3DXCreateEffect(dev, sharedText, sizeof(sharedText), nullptr, nullptr, 0, pool, &shared, &errors),
              D3D_OK);

    // The colour and the camera are set through the other effect of the pool.
    D3DXVECTOR4 colour(0.0f, 1.0f, 0.0f, 1.0f);
    ASSERT_EQ(shared->SetVector("TintColor", &colour), D3D_OK);
    D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    ASSERT_EQ(shared->SetMatrix("ViewProj", &identity), D3D_OK);
    // The world moves the quad into the right half of the screen: x from 0 to 1 in clip space.
    D3DXMATRIX world(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1);
    ASSERT_EQ(fx->SetMatrix("WorldMatrix", &world), D3D_OK);

    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000080u, 1.0f, 0), D3D_OK);
    dev->SetFVF(D3DFVF_XYZ);
    ASSERT_EQ(fx->SetTechnique(fx->GetTechniqueByName("Default")), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(fx->Begin(&passes, D3DXFX_DONOTSAVESTATE | D3DXFX_DONOTSAVESHADERSTATE | D3DXFX_DONOTSAVESAMPLERSTATE),
              D3D_OK);
    ASSERT_EQ(fx->BeginPass(0), D3D_OK);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0])), D3D_OK);
    // A change committed inside the pass reaches the next draw.
    colour = D3DXVECTOR4(1.0f, 0.0f, 0.0f, 1.0f);
    shared->SetVector("TintColor", &colour);
    D3DXMATRIX left(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, -0.5f, 0.5f, 0, 1);
    fx->SetMatrix("WorldMatrix", &left);
    fx->CommitChanges();
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0])), D3D_OK);
    fx->EndPass();
    fx->End();
    dev->EndScene();

    EXPECT_EQ(Pixel(24, 16), 0x00FF00u);  // right half: green
    EXPECT_EQ(Pixel(4, 28), 0x000080u);   // left half, lower: the clear colour
    EXPECT_EQ(Pixel(4, 16), 0x000080u);
    EXPECT_EQ(Pixel(8, 4), 0xFF0000u);  // top-left quarter: red

    shared->Release();
    fx->Release();
    pool->Release();
}

TEST_F(D3dxGL, TexturedPassSamplesItsTextureAndHonoursTheAlphaTest)
{
    ID3DXEffect* fx = nullptr;
    std::string path = std::string(WE_FIXTURES_DIR) + "/Effects/SharedColor.fx";
    ASSERT_EQ(D3DXCreateEffectFromFileA(dev, path.c_str(), nullptr, nullptr, 0, nullptr, &fx, nullptr), D3D_OK);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dev, 2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    D3DLOCKED_RECT r{};
    ASSERT_EQ(tex->LockRect(0, &r, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(r.pBits) + y * r.Pitch)[x] = 0xFF402010u;
    tex->UnlockRect(0);
    fx->SetTexture("DiffuseMap", tex);
    D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    fx->SetMatrix("ViewProj", &identity);
    fx->SetMatrix("WorldMatrix", &identity);
    D3DXVECTOR4 white(1, 1, 1, 1);
    fx->SetVector("TintColor", &white);
    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
    auto draw = [&]()
    {
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000080u, 1.0f, 0);
        dev->BeginScene();
        dev->SetFVF(D3DFVF_XYZ);
        UINT passes = 0;
        fx->SetTechnique("Textured");
        fx->Begin(&passes, 0);
        fx->BeginPass(0);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0]));
        fx->EndPass();
        fx->End();
        dev->EndScene();
    };
    draw();
    // Texel times tint times the pass's SCALE define (2.0).
    uint32_t p = Pixel(16, 16);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 0x80, 2);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 0x40, 2);
    EXPECT_NEAR(int(p & 0xFF), 0x20, 2);
    // With alpha 0.2 x 2 = 0.4 and the device's alpha test asking for more than 128, nothing is drawn.
    D3DXVECTOR4 faint(1, 1, 1, 0.2f);
    fx->SetVector("TintColor", &faint);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    dev->SetRenderState(D3DRS_ALPHAREF, 128);
    draw();
    EXPECT_EQ(Pixel(16, 16), 0x000080u);
    dev->SetRenderState(D3DRS_ALPHAREF, 64);
    draw();
    const uint32_t passed = Pixel(16, 16);
    EXPECT_NE(passed, 0x000080u);
    // The device draws with a twin of the program when the test is off or lets everything through: the
    // values set while the test was on reach it, and it draws the same.
    for (DWORD func : {DWORD(D3DCMP_ALWAYS), DWORD(D3DCMP_GREATER)})
    {
        SCOPED_TRACE(func);
        dev->SetRenderState(D3DRS_ALPHATESTENABLE, func == D3DCMP_GREATER ? FALSE : TRUE);
        dev->SetRenderState(D3DRS_ALPHAFUNC, func);
        dev->SetRenderState(D3DRS_ALPHAREF, 128);
        draw();
        EXPECT_EQ(Pixel(16, 16), passed);
    }
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    fx->Release();
    tex->Release();
}

TEST_F(D3dxGL, LoadSurfaceFromSurfaceBetweenRenderTargets)
{
    IDirect3DTexture9 *big = nullptr, *small = nullptr;
    ASSERT_EQ(dev->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &big, nullptr),
              D3D_OK);
    ASSERT_EQ(dev->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &small, nullptr),
              D3D_OK);
    IDirect3DSurface9 *src = nullptr, *dst = nullptr;
    big->GetSurfaceLevel(0, &src);
    small->GetSurfaceLevel(0, &dst);
    ASSERT_EQ(dev->ColorFill(src, nullptr, 0xFF20C040u), D3D_OK);
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(dst, nullptr, nullptr, src, nullptr, nullptr, D3DX_DEFAULT, 0), D3D_OK);
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(dev->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);
    ASSERT_EQ(dev->GetRenderTargetData(dst, copy), D3D_OK);
    D3DLOCKED_RECT r{};
    copy->LockRect(&r, nullptr, D3DLOCK_READONLY);
    EXPECT_EQ(static_cast<const uint32_t*>(r.pBits)[5] & 0xFFFFFFu, 0x20C040u);
    copy->UnlockRect();
    // A managed texture filled from a render target goes through a read-back.
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dev, 2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &managed), D3D_OK);
    IDirect3DSurface9* m = nullptr;
    managed->GetSurfaceLevel(0, &m);
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(m, nullptr, nullptr, src, nullptr, nullptr, D3DX_DEFAULT, 0), D3D_OK);
    managed->LockRect(0, &r, nullptr, D3DLOCK_READONLY);
    EXPECT_EQ(static_cast<const uint32_t*>(r.pBits)[3] & 0xFFFFFFu, 0x20C040u);
    managed->UnlockRect(0);
    m->Release();
    managed->Release();
    // A render-target texture saves through the same read-back.
    ID3DXBuffer* saved = nullptr;
    ASSERT_EQ(D3DXSaveTextureToFileInMemory(&saved, D3DXIFF_DDS, small, nullptr), D3D_OK);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(saved->GetBufferPointer(), saved->GetBufferSize(), &info), D3D_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    const uint8_t* texel = static_cast<const uint8_t*>(saved->GetBufferPointer()) + 128;
    EXPECT_EQ(texel[0], 0x40);
    EXPECT_EQ(texel[1], 0xC0);
    EXPECT_EQ(texel[2], 0x20);
    saved->Release();
    copy->Release();
    src->Release();
    dst->Release();
    big->Release();
    small->Release();
}

TEST_F(D3dxGL, MeshSubsetDrawsThroughAnEffect)
{
    const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                      {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                      D3DDECL_END()};
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMesh(4, 8, D3DXMESH_MANAGED, decl, dev, &mesh), D3D_OK);
    // Two quads: the left half of the screen (subset 3) and the right half (subset 5).
    float* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const float xs[2][2] = {{-1, 0}, {0, 1}};
    for (int q = 0; q < 2; ++q)
        for (int c = 0; c < 4; ++c)
        {
            float* p = v + (q * 4 + c) * 5;
            p[0] = xs[q][c & 1];
            p[1] = (c & 2) ? -1.0f : 1.0f;
            p[2] = 0.5f;
            p[3] = p[4] = 0.0f;
        }
    mesh->UnlockVertexBuffer();
    uint16_t* idx = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    for (int q = 0; q < 2; ++q)
    {
        const uint16_t b = uint16_t(q * 4);
        const uint16_t tri[6] = {
            b, uint16_t(b + 1), uint16_t(b + 2), uint16_t(b + 2), uint16_t(b + 1), uint16_t(b + 3)};
        std::memcpy(idx + q * 6, tri, sizeof(tri));
    }
    mesh->UnlockIndexBuffer();
    DWORD* attr = nullptr;
    mesh->LockAttributeBuffer(0, &attr);
    attr[0] = attr[1] = 3;
    attr[2] = attr[3] = 5;
    mesh->UnlockAttributeBuffer();
    D3DXATTRIBUTERANGE table[2] = {{3, 0, 2, 0, 4}, {5, 2, 2, 4, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 2), D3D_OK);

    ID3DXEffect* fx = nullptr;
    std::string path = std::string(WE_FIXTURES_DIR) + "/Effects/SharedColor.fx";
    ASSERT_EQ(D3DXCreateEffectFromFileA(dev, path.c_str(), nullptr, nullptr, 0, nullptr, &fx, nullptr), D3D_OK);
    D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    fx->SetMatrix("ViewProj", &identity);
    fx->SetMatrix("WorldMatrix", &identity);
    D3DXVECTOR4 yellow(1, 1, 0, 1);
    fx->SetVector("TintColor", &yellow);
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000080u, 1.0f, 0);
    dev->BeginScene();
    UINT passes = 0;
    fx->SetTechnique("Default");
    fx->Begin(&passes, 0);
    fx->BeginPass(0);
    EXPECT_EQ(mesh->DrawSubset(5), D3D_OK);
    fx->EndPass();
    fx->End();
    dev->EndScene();
    EXPECT_EQ(Pixel(24, 16), 0xFFFF00u);
    EXPECT_EQ(Pixel(8, 16), 0x000080u);
    fx->Release();
    mesh->Release();
}

TEST_F(D3dxGL, BrokenProgramIsReportedWithTheEffectName)
{
    FxEffect::SetReporter([](const char* text) { g_report = text; });
    const char text[] =
        "technique Default { pass P { VertexProgram = \"\"\"void main() { gl_Position = vec4(0.0); }\"\"\";"
        " FragmentProgram = \"\"\"out vec4 c; void main() { c = undefinedThing; }\"\"\"; } }";
    ScratchFolder folder;
    std::string path = folder.Path("Broken.fx");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text, 1, sizeof(text) - 1, f);
    std::fclose(f);
    ID3DXEffect* fx = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(dev, path.c_str(), nullptr, nullptr, 0, nullptr, &fx, nullptr), D3D_OK);
    fx->SetTechnique("Default");
    EXPECT_NE(g_report.find("Broken.fx"), std::string::npos) << g_report;
    EXPECT_NE(g_report.find("undefinedThing"), std::string::npos) << g_report;
    UINT passes = 0;
    ASSERT_EQ(fx->Begin(&passes, 0), D3D_OK);
    EXPECT_NE(fx->BeginPass(0), D3D_OK);
    fx->End();
    fx->Release();
    FxEffect::SetReporter(nullptr);
}

TEST_F(D3dxGL, CompileErrorsGiveLinesOfTheProgramBodyUnderDefines)
{
    FxEffect::SetReporter([](const char* text) { g_report = text; });
    // The fault is on the body's third line; the pass's two defines and the variant's one come before it.
    const char text[] = "technique Default variants \"D\" { pass P { Defines = \"ONE TWO=2\";\n"
                        " VertexProgram = \"\"\"void main() { gl_Position = vec4(0.0); }\"\"\";\n"
                        " FragmentProgram = \"\"\"out vec4 c;\nvoid main() {\n  c = undefinedThing;\n}\"\"\"; } }";
    ID3DXEffect* fx = nullptr;
    ASSERT_EQ(D3DXCreateEffect(dev, text, sizeof(text), nullptr, nullptr, 0, nullptr, &fx, nullptr), D3D_OK);
    for (const char* technique : {"Default", "DefaultD"})
    {
        g_report.clear();
        fx->SetTechnique(technique);
        EXPECT_NE(g_report.find("undefinedThing"), std::string::npos) << g_report;
        EXPECT_NE(g_report.find("0:3("), std::string::npos) << technique << ": " << g_report;
    }
    fx->Release();
    FxEffect::SetReporter(nullptr);
}

}  // namespace

// A sampler tied to a stage reads what the device bound there, and the pass binds nothing over it.
TEST_F(D3dxGL, StageSamplerReadsTheTextureTheDeviceBound)
{
    const char text[] = R"(
sampler StageMap : register(s3);
texture Unused;
technique Default {
  pass P0 {
    ZEnable = false;
    CullMode = None;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
void main() { gl_Position = weClipFromD3D(vec4(inPosition, 1.0)); }
""";
    FragmentProgram = """
out vec4 outColor;
uniform sampler2D StageMap;
void main() { outColor = texture(StageMap, vec2(0.5)); weAlphaTest(outColor.a); }
""";
  }
}
)";
    ID3DXEffect* fx = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffect(dev, text, sizeof(text), nullptr, nullptr, 0, nullptr, &fx, &errors), D3D_OK);
    IDirect3DTexture9* red = nullptr;
    ASSERT_EQ(dev->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &red, nullptr), D3D_OK);
    D3DLOCKED_RECT r{};
    ASSERT_EQ(red->LockRect(0, &r, nullptr, 0), D3D_OK);
    *static_cast<uint32_t*>(r.pBits) = 0xFFFF0000u;
    red->UnlockRect(0);

    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
    const float half[4][3] = {{0, 1, 0.5f}, {1, 1, 0.5f}, {0, -1, 0.5f}, {1, -1, 0.5f}};
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), D3D_OK);
    dev->SetFVF(D3DFVF_XYZ);
    dev->SetTexture(3, red);
    ASSERT_EQ(fx->SetTechnique(fx->GetTechniqueByName("Default")), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(fx->Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
    ASSERT_EQ(fx->BeginPass(0), D3D_OK);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(quad[0])), D3D_OK);
    EXPECT_EQ(Pixel(4, 16), 0xFF0000u);
    // CommitChanges rebinds the pass's own textures only; the stage keeps the engine's.
    dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(fx->CommitChanges(), D3D_OK);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, half, sizeof(half[0])), D3D_OK);
    EXPECT_EQ(Pixel(4, 16), 0x000000u);
    EXPECT_EQ(Pixel(28, 16), 0xFF0000u);
    fx->EndPass();
    fx->End();
    dev->EndScene();
    red->Release();
    fx->Release();
}
