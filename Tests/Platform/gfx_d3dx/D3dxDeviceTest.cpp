#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"

namespace
{

std::string FixturePath(const char* name)
{
    return std::string(WE_FIXTURES_DIR) + "/" + name;
}

void Append(void* context, void* data, int size)
{
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A 4 x 4 PNG: left half red, right half blue, fully opaque.
std::vector<uint8_t> HalvesPng()
{
    uint8_t rgba[4 * 4 * 4];
    for (int i = 0; i < 16; ++i)
    {
        bool left = (i % 4) < 2;
        rgba[i * 4 + 0] = left ? 255 : 0;
        rgba[i * 4 + 1] = 0;
        rgba[i * 4 + 2] = left ? 0 : 255;
        rgba[i * 4 + 3] = 255;
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(Append, &png, 4, 4, 4, rgba, 16);
    return png;
}

class D3dxRecording : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_GfxRecorder.ResetAll();
        t = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
        ASSERT_NE(t->device, nullptr);
        dev = t->device;
    }
    void TearDown() override { t.reset(); }
    std::unique_ptr<GfxTestDevice> t;
    IDirect3DDevice9* dev = nullptr;
};

TEST_F(D3dxRecording, TextureFromPngResizedWithMips)
{
    std::vector<uint8_t> png = HalvesPng();
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(png.data(), UINT(png.size()), &info), D3D_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(dev, png.data(), UINT(png.size()), 8, 2, D3DX_DEFAULT, 0,
                                                  D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                  &info, nullptr, &tex),
              D3D_OK);
    EXPECT_EQ(tex->GetLevelCount(), 4u);
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT r{};
    ASSERT_EQ(tex->LockRect(0, &r, nullptr, D3DLOCK_READONLY), D3D_OK);
    const uint32_t* row = static_cast<const uint32_t*>(r.pBits);
    EXPECT_EQ(row[0], 0xFFFF0000u);
    EXPECT_EQ(row[7], 0xFF0000FFu);
    tex->UnlockRect(0);
    ASSERT_EQ(tex->LockRect(3, &r, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t last = *static_cast<const uint32_t*>(r.pBits);
    EXPECT_NEAR(int((last >> 16) & 0xFF), 128, 2);
    EXPECT_NEAR(int(last & 0xFF), 128, 2);
    tex->UnlockRect(3);

    // Saved as DDS and loaded again: the same texels at every level.
    ID3DXBuffer* buf = nullptr;
    ASSERT_EQ(D3DXSaveTextureToFileInMemory(&buf, D3DXIFF_DDS, tex, nullptr), D3D_OK);
    IDirect3DTexture9* again = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(dev, buf->GetBufferPointer(), buf->GetBufferSize(), D3DX_DEFAULT,
                                                  D3DX_DEFAULT, D3DX_FROM_FILE, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &again),
              D3D_OK);
    EXPECT_EQ(info.MipLevels, 4u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    EXPECT_EQ(again->GetLevelCount(), 4u);
    for (UINT l = 0; l < 4; ++l)
    {
        D3DLOCKED_RECT a{}, b{};
        tex->LockRect(l, &a, nullptr, D3DLOCK_READONLY);
        again->LockRect(l, &b, nullptr, D3DLOCK_READONLY);
        D3DSURFACE_DESC d{};
        tex->GetLevelDesc(l, &d);
        for (UINT y = 0; y < d.Height; ++y)
            EXPECT_EQ(0, std::memcmp(static_cast<uint8_t*>(a.pBits) + y * a.Pitch,
                                     static_cast<uint8_t*>(b.pBits) + y * b.Pitch, d.Width * 4));
        tex->UnlockRect(l);
        again->UnlockRect(l);
    }
    again->Release();
    buf->Release();

    // FilterTexture rebuilds the chain from level 0.
    ASSERT_EQ(tex->LockRect(0, &r, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < 2; ++y)
        for (UINT x = 0; x < 8; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(r.pBits) + y * r.Pitch)[x] = 0xFF00FF00u;
    tex->UnlockRect(0);
    ASSERT_EQ(D3DXFilterTexture(tex, nullptr, 0, D3DX_DEFAULT), D3D_OK);
    ASSERT_EQ(tex->LockRect(3, &r, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<const uint32_t*>(r.pBits), 0xFF00FF00u);
    tex->UnlockRect(3);
    tex->Release();

    // Broken bytes fail cleanly and leave no texture.
    IDirect3DTexture9* none = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_NE(D3DXCreateTextureFromFileInMemoryEx(dev, png.data(), 20, 0, 0, 1, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &none),
              D3D_OK);
    EXPECT_EQ(none, nullptr);
}

TEST_F(D3dxRecording, CubeAndVolumeFromDds)
{
    ImageData cube;
    cube.kind = ImageKind::Cube;
    cube.format = D3DFMT_DXT1;
    cube.width = cube.height = 8;
    cube.faces = 6;
    cube.levels = 4;
    ASSERT_TRUE(cube.Layout());
    std::vector<uint8_t> file;
    ASSERT_TRUE(DdsFile::Write(cube, &file));
    D3DXIMAGE_INFO info{};
    IDirect3DCubeTexture9* c = nullptr;
    ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(dev, file.data(), UINT(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                      0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                                      0, &info, nullptr, &c),
              D3D_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(c->GetLevelCount(), 4u);
    ID3DXBuffer* buf = nullptr;
    ASSERT_EQ(D3DXSaveTextureToFileInMemory(&buf, D3DXIFF_DDS, c, nullptr), D3D_OK);
    EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(buf->GetBufferPointer()),
                                   static_cast<uint8_t*>(buf->GetBufferPointer()) + buf->GetBufferSize()),
              file);
    buf->Release();
    c->Release();
    // A cube cannot come from a flat image.
    std::vector<uint8_t> png = HalvesPng();
    EXPECT_NE(D3DXCreateCubeTextureFromFileInMemoryEx(dev, png.data(), UINT(png.size()), 0, 0, 0, D3DFMT_FROM_FILE,
                                                      D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                      &c),
              D3D_OK);

    // A 24-bit file, a format textures do not take, arrives as X8R8G8B8 with its texels.
    ImageData rgb;
    rgb.format = D3DFMT_R8G8B8;
    rgb.width = rgb.height = 2;
    ASSERT_TRUE(rgb.Layout());
    const uint8_t texels[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::memcpy(rgb.subs[0].bytes.data(), texels, 12);
    ASSERT_TRUE(DdsFile::Write(rgb, &file));
    IDirect3DTexture9* t24 = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(dev, file.data(), UINT(file.size()), 0, 0, 1, 0, D3DFMT_FROM_FILE,
                                                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &t24),
              D3D_OK);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    D3DSURFACE_DESC d24{};
    t24->GetLevelDesc(0, &d24);
    EXPECT_EQ(d24.Format, D3DFMT_X8R8G8B8);
    D3DLOCKED_RECT l24{};
    t24->LockRect(0, &l24, nullptr, D3DLOCK_READONLY);
    EXPECT_EQ(static_cast<const uint32_t*>(l24.pBits)[1], 0xFF060504u);
    t24->UnlockRect(0);
    t24->Release();

    ImageData vol;
    vol.kind = ImageKind::Volume;
    vol.format = D3DFMT_A8R8G8B8;
    vol.width = vol.height = vol.depth = 4;
    vol.levels = 1;
    ASSERT_TRUE(vol.Layout());
    ASSERT_TRUE(DdsFile::Write(vol, &file));
    IDirect3DVolumeTexture9* v = nullptr;
    ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemoryEx(dev, file.data(), UINT(file.size()), 2, 2, 2, D3DX_DEFAULT, 0,
                                                        D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                                        0, &info, nullptr, &v),
              D3D_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(info.Depth, 4u);
    D3DVOLUME_DESC vd{};
    v->GetLevelDesc(0, &vd);
    EXPECT_EQ(vd.Depth, 2u);
    EXPECT_EQ(v->GetLevelCount(), 2u);
    v->Release();
}

TEST_F(D3dxRecording, LoadSurfaceFromSurfaceShrinks)
{
    IDirect3DTexture9 *big = nullptr, *small = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dev, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &big), D3D_OK);
    ASSERT_EQ(D3DXCreateTexture(dev, 2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &small), D3D_OK);
    D3DLOCKED_RECT r{};
    big->LockRect(0, &r, nullptr, 0);
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(r.pBits) + y * r.Pitch)[x] =
                x < 2 ? 0xFF000000u : 0xFFFFFFFFu;
    big->UnlockRect(0);
    IDirect3DSurface9 *src = nullptr, *dst = nullptr;
    big->GetSurfaceLevel(0, &src);
    small->GetSurfaceLevel(0, &dst);
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(dst, nullptr, nullptr, src, nullptr, nullptr, D3DX_DEFAULT, 0), D3D_OK);
    small->LockRect(0, &r, nullptr, D3DLOCK_READONLY);
    const uint32_t* px = static_cast<const uint32_t*>(r.pBits);
    EXPECT_EQ(px[0], 0xFF000000u);
    EXPECT_EQ(px[1], 0xFFFFFFFFu);
    small->UnlockRect(0);
    src->Release();
    dst->Release();
    big->Release();
    small->Release();
}

struct MeshVertex
{
    float pos[3], normal[3], uv[2], tangent[3];
};
const D3DVERTEXELEMENT9 MeshDecl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                      {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                      {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                      {0, 32, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
                                      D3DDECL_END()};

// A unit quad in the xy plane facing -z, u along +x, v along -y: two faces of two subsets.
ID3DXMesh* MakeQuad(IDirect3DDevice9* dev, DWORD options)
{
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateMesh(2, 4, options, MeshDecl, dev, &mesh), D3D_OK);
    if (!mesh)
        return nullptr;
    MeshVertex* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const float corners[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    for (int i = 0; i < 4; ++i)
    {
        v[i] = MeshVertex{{corners[i][0], corners[i][1], 0}, {0, 0, -1}, {corners[i][0], 1 - corners[i][1]}, {0, 0, 0}};
    }
    mesh->UnlockVertexBuffer();
    void* idx = nullptr;
    mesh->LockIndexBuffer(0, &idx);
    const uint32_t faces[6] = {0, 1, 2, 2, 1, 3};
    for (int i = 0; i < 6; ++i)
    {
        if (options & D3DXMESH_32BIT)
            static_cast<uint32_t*>(idx)[i] = faces[i];
        else
            static_cast<uint16_t*>(idx)[i] = uint16_t(faces[i]);
    }
    mesh->UnlockIndexBuffer();
    DWORD* attr = nullptr;
    mesh->LockAttributeBuffer(0, &attr);
    attr[0] = 0;
    attr[1] = 1;
    mesh->UnlockAttributeBuffer();
    return mesh;
}

TEST_F(D3dxRecording, MeshCreateLockAttributesCloneAndDraw)
{
    ID3DXMesh* mesh = MakeQuad(dev, D3DXMESH_MANAGED);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 44u);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
    D3DXATTRIBUTERANGE table[2] = {{0, 0, 1, 0, 3}, {1, 1, 1, 1, 3}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 2), D3D_OK);
    D3DXATTRIBUTERANGE bad = {2, 1, 5, 0, 4};
    EXPECT_NE(mesh->SetAttributeTable(&bad, 1), D3D_OK);
    DWORD n = 0;
    mesh->GetAttributeTable(nullptr, &n);
    EXPECT_EQ(n, 2u);

    g_GfxRecorder.ResetAll();
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(g_GfxRecorder.Count("DrawIndexedPrimitive"), 1u);
    EXPECT_EQ(mesh->DrawSubset(7), D3D_OK);
    EXPECT_EQ(g_GfxRecorder.Count("DrawIndexedPrimitive"), 1u);

    DWORD adj[6];
    ASSERT_EQ(mesh->GenerateAdjacency(0.001f, adj), D3D_OK);
    // Face 0 (0,1,2) meets face 1 across its edge 1-2.
    EXPECT_EQ(adj[0], 0xFFFFFFFFu);
    EXPECT_EQ(adj[1], 1u);
    EXPECT_EQ(adj[2], 0xFFFFFFFFu);
    EXPECT_EQ(adj[3], 0u);

    // Clone to 32-bit indices and a narrower declaration without tangents, with the uv first.
    const D3DVERTEXELEMENT9 narrow[] = {{0, 0, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                        {0, 8, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0},
                                        D3DDECL_END()};
    ID3DXMesh* clone = nullptr;
    ASSERT_EQ(mesh->CloneMesh(D3DXMESH_MANAGED | D3DXMESH_32BIT, narrow, dev, &clone), D3D_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 24u);
    float* cv = nullptr;
    clone->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&cv));
    // Vertex 1: uv (1, 0), position (1, 1, 0) and w 1.
    EXPECT_FLOAT_EQ(cv[6 + 0], 1.0f);
    EXPECT_FLOAT_EQ(cv[6 + 1], 0.0f);
    EXPECT_FLOAT_EQ(cv[6 + 2], 1.0f);
    EXPECT_FLOAT_EQ(cv[6 + 3], 1.0f);
    EXPECT_FLOAT_EQ(cv[6 + 5], 1.0f);
    clone->UnlockVertexBuffer();
    uint32_t* ci = nullptr;
    clone->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&ci));
    EXPECT_EQ(ci[5], 3u);
    clone->UnlockIndexBuffer();
    clone->GetAttributeTable(nullptr, &n);
    EXPECT_EQ(n, 2u);
    clone->Release();

    // Bounds through the math layer over the vertex buffer.
    MeshVertex* v = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
    D3DXVECTOR3 lo, hi, centre;
    float radius = 0;
    EXPECT_TRUE(D3DXComputeBoundingBox(reinterpret_cast<const D3DXVECTOR3*>(v), 4, sizeof(MeshVertex), &lo, &hi));
    EXPECT_TRUE(
        D3DXComputeBoundingSphere(reinterpret_cast<const D3DXVECTOR3*>(v), 4, sizeof(MeshVertex), &centre, &radius));
    mesh->UnlockVertexBuffer();
    EXPECT_FLOAT_EQ(hi.x, 1.0f);
    EXPECT_FLOAT_EQ(lo.y, 0.0f);
    EXPECT_NEAR(radius, std::sqrt(0.5f), 1e-5f);
    mesh->Release();

    // Counts a 16-bit mesh cannot index are refused.
    ID3DXMesh* huge = nullptr;
    EXPECT_NE(D3DXCreateMesh(1, 70000, D3DXMESH_MANAGED, MeshDecl, dev, &huge), D3D_OK);
    EXPECT_EQ(huge, nullptr);
}

TEST_F(D3dxRecording, MeshWhoseVertexBytesPassFourGigabytesIsRefused)
{
    // 2^26 + 1 vertices of 64 bytes: the byte count wraps to 64 in 32 bits, so a buffer of one vertex would
    // stand behind a mesh that reports millions.
    const D3DVERTEXELEMENT9 wide[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0},
                                      {0, 16, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_NORMAL, 0},
                                      {0, 32, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                      {0, 48, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_TANGENT, 0},
                                      D3DDECL_END()};
    ID3DXMesh* mesh = nullptr;
    EXPECT_NE(D3DXCreateMesh(1, (1u << 26) + 1, D3DXMESH_MANAGED | D3DXMESH_32BIT, wide, dev, &mesh), D3D_OK);
    EXPECT_EQ(mesh, nullptr);
    if (mesh)
        mesh->Release();
}

TEST_F(D3dxRecording, TangentsOfAKnownQuad)
{
    for (DWORD options : {DWORD(D3DXMESH_MANAGED), DWORD(D3DXMESH_MANAGED | D3DXMESH_32BIT)})
    {
        ID3DXMesh* mesh = MakeQuad(dev, options);
        ASSERT_NE(mesh, nullptr);
        // A slightly bent normal: the tangent is made orthogonal to it.
        MeshVertex* v = nullptr;
        mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
        v[3].normal[0] = 0.6f;
        v[3].normal[2] = -0.8f;
        mesh->UnlockVertexBuffer();
        std::vector<DWORD> adj(6);
        mesh->GenerateAdjacency(0.001f, adj.data());
        ID3DXMesh* out = nullptr;
        ASSERT_EQ(D3DXComputeTangentFrameEx(mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0,
                                            D3DX_DEFAULT, 0, D3DXTANGENT_GENERATE_IN_PLACE, adj.data(), -1.01f, 0.0f,
                                            -1.01f, &out, nullptr),
                  D3D_OK);
        EXPECT_EQ(out, nullptr);
        mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(v[i].tangent[0], 1.0f, 1e-5f) << i;
            EXPECT_NEAR(v[i].tangent[1], 0.0f, 1e-5f) << i;
            EXPECT_NEAR(v[i].tangent[2], 0.0f, 1e-5f) << i;
        }
        float dot = v[3].tangent[0] * 0.6f - v[3].tangent[2] * 0.8f;
        float len = std::sqrt(v[3].tangent[0] * v[3].tangent[0] + v[3].tangent[1] * v[3].tangent[1] +
                              v[3].tangent[2] * v[3].tangent[2]);
        EXPECT_NEAR(dot, 0.0f, 1e-5f);
        EXPECT_NEAR(len, 1.0f, 1e-5f);
        EXPECT_NEAR(v[3].tangent[0], 0.8f, 1e-5f);
        EXPECT_NEAR(v[3].tangent[2], 0.6f, 1e-5f);
        mesh->UnlockVertexBuffer();
        mesh->Release();
    }
    // A declaration without a tangent cannot take one.
    const D3DVERTEXELEMENT9 plain[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                       D3DDECL_END()};
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMesh(1, 3, D3DXMESH_MANAGED, plain, dev, &mesh), D3D_OK);
    EXPECT_NE(D3DXComputeTangentFrameEx(mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0,
                                        D3DX_DEFAULT, 0, D3DXTANGENT_GENERATE_IN_PLACE, nullptr, -1.01f, 0.0f, -1.01f,
                                        nullptr, nullptr),
              D3D_OK);
    mesh->Release();
}

TEST_F(D3dxRecording, EffectsKeepBookkeepingAndSetPassStates)
{
    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    ID3DXEffectCompiler* compiler = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffectCompilerFromFileA(FixturePath("Effects/SharedColor.fx").c_str(), nullptr, nullptr,
                                                D3DXSHADER_OPTIMIZATION_LEVEL3, &compiler, &errors),
              D3D_OK);
    ID3DXBuffer* blob = nullptr;
    ASSERT_EQ(compiler->CompileEffect(0, &blob, &errors), D3D_OK);
    compiler->Release();
    ID3DXEffect *a = nullptr, *b = nullptr;
    ASSERT_EQ(D3DXCreateEffect(dev, blob->GetBufferPointer(), blob->GetBufferSize(), nullptr, nullptr,
                               D3DXFX_NOT_CLONEABLE, pool, &a, &errors),
              D3D_OK);
    ASSERT_EQ(D3DXCreateEffect(dev, blob->GetBufferPointer(), blob->GetBufferSize(), nullptr, nullptr,
                               D3DXFX_NOT_CLONEABLE, pool, &b, &errors),
              D3D_OK);
    blob->Release();

    D3DXVECTOR4 green(0, 1, 0, 1);
    EXPECT_EQ(a->SetVector(a->GetParameterByName(nullptr, "TintColor"), &green), D3D_OK);
    D3DXVECTOR4 got;
    EXPECT_EQ(b->GetVector(b->GetParameterByName(nullptr, "TintColor"), &got), D3D_OK);
    EXPECT_FLOAT_EQ(got.y, 1.0f);

    D3DXEFFECT_DESC desc{};
    a->GetDesc(&desc);
    EXPECT_EQ(desc.Parameters, 7u);
    D3DXPARAMETER_DESC pd{};
    ASSERT_EQ(a->GetParameterDesc(a->GetParameterByName(nullptr, "FilterTaps"), &pd), D3D_OK);
    EXPECT_EQ(pd.Bytes, 64u);
    EXPECT_EQ(pd.Elements, 4u);
    EXPECT_EQ(pd.Class, D3DXPC_VECTOR);
    a->GetParameterDesc(a->GetParameterByName(nullptr, "TintColor"), &pd);
    EXPECT_EQ(pd.Flags & D3DX_PARAMETER_SHARED, D3DX_PARAMETER_SHARED);

    // A textured pass sets its states and binds the texture; End puts the saved states back.
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dev, 2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    EXPECT_EQ(a->SetTexture("DiffuseMap", tex), D3D_OK);
    EXPECT_EQ(RefCount(tex), 2u);
    ASSERT_EQ(a->SetTechnique(a->GetTechniqueByName("Textured")), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(a->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(a->BeginPass(0), D3D_OK);
    EXPECT_NE(static_cast<GfxDevice*>(dev)->State().program, 0u);
    DWORD v = 0;
    dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, 1u);
    dev->GetSamplerState(0, D3DSAMP_ADDRESSU, &v);
    EXPECT_EQ(v, DWORD(D3DTADDRESS_CLAMP));
    IDirect3DBaseTexture9* bound = nullptr;
    dev->GetTexture(0, &bound);
    EXPECT_EQ(bound, tex);
    if (bound)
        bound->Release();
    a->EndPass();
    EXPECT_EQ(static_cast<GfxDevice*>(dev)->State().program, 0u);
    a->End();
    dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, 0u);
    dev->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);

    // A broken text gives no effect and says why.
    const char broken[] = "float4 x = {1, 2;";
    ID3DXEffect* c = reinterpret_cast<ID3DXEffect*>(1);
    EXPECT_NE(D3DXCreateEffect(dev, broken, sizeof(broken), nullptr, nullptr, 0, pool, &c, &errors), D3D_OK);
    EXPECT_EQ(c, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find("line 1"), std::string::npos);
    errors->Release();

    // A texture given through SetValue is held like one given through SetTexture, and let go alike.
    EXPECT_EQ(a->SetValue("DiffuseMap", &tex, sizeof(tex)), D3D_OK);
    EXPECT_EQ(RefCount(tex), 2u);
    EXPECT_EQ(a->SetTexture("DiffuseMap", nullptr), D3D_OK);
    EXPECT_EQ(RefCount(tex), 1u);
    EXPECT_EQ(a->SetValue("DiffuseMap", &tex, sizeof(tex)), D3D_OK);

    a->Release();
    b->Release();
    pool->Release();
    EXPECT_EQ(RefCount(tex), 1u);
    tex->Release();
}

}  // namespace

// A system-memory surface saved as PNG reads back with the same pixels; anything but a PNG of a 32-bit surface is
// refused, and a path that cannot be written fails.
TEST_F(D3dxRecording, SaveSurfaceToPng)
{
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(dev->CreateOffscreenPlainSurface(3, 2, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &surface, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    const uint32_t pixels[6] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0x00102030, 0x00000000};
    for (int y = 0; y < 2; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, pixels + y * 3, 12);
    surface->UnlockRect();

    const std::string path = ::testing::TempDir() + "/we-save-surface-" + std::to_string(getpid()) + ".png";
    ASSERT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, surface, nullptr, nullptr), D3D_OK);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ImageData image;
    ImageFileType type;
    ASSERT_TRUE(ImageFile::Decode(bytes.data(), bytes.size(), &image, &type));
    ASSERT_EQ(image.subs.size(), 1u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
        {
            uint32_t pixel = 0;
            std::memcpy(&pixel, image.subs[0].bytes.data() + size_t(y) * image.subs[0].rowPitch + size_t(x) * 4, 4);
            EXPECT_EQ(pixel & 0xFFFFFFu, pixels[y * 3 + x]) << x << "," << y;
        }
    std::remove(path.c_str());

    EXPECT_NE(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_DDS, surface, nullptr, nullptr), D3D_OK);
    const RECT part = {0, 0, 1, 1};
    EXPECT_NE(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, surface, nullptr, &part), D3D_OK);
    EXPECT_NE(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_NE(D3DXSaveSurfaceToFileA("/no/such/folder/x.png", D3DXIFF_PNG, surface, nullptr, nullptr), D3D_OK);
    surface->Release();
}
