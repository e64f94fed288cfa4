#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Platform/gfx_d3dx/ImageFilter.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"
#include "Tests/Platform/gfx_d3dx/HostileInputs.h"

namespace
{

class HostileInput : public ::testing::Test
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

    // Decoding and every texture creation from memory fail, and leave nothing behind.
    void ExpectRefused(const std::vector<uint8_t>& file)
    {
        ImageData img;
        ImageFileType type;
        EXPECT_FALSE(ImageFile::Decode(file.data(), file.size(), &img, &type));
        EXPECT_TRUE(img.subs.empty());
        IDirect3DTexture9* tex = nullptr;
        EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(dev, file.data(), UINT(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 0, nullptr, nullptr, &tex),
                  D3DXERR_INVALIDDATA);
        EXPECT_EQ(tex, nullptr);
        IDirect3DTexture9* exact = nullptr;
        EXPECT_NE(D3DXCreateTextureFromFileInMemoryEx(dev, file.data(), UINT(file.size()), 4, 4, 1, 0, D3DFMT_A8R8G8B8,
                                                      D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                      &exact),
                  D3D_OK);
        EXPECT_EQ(exact, nullptr);
        EXPECT_EQ(g_GfxRecorder.Count("CreateTexture"), 0u);
    }

    std::unique_ptr<GfxTestDevice> t;
    IDirect3DDevice9* dev = nullptr;
};

TEST_F(HostileInput, JpegWithAnOverfullHuffmanTableIsRefused)
{
    const std::vector<uint8_t> jpg = hostile::JpegWithOverfullHuffmanTable();
    ImageData img;
    EXPECT_FALSE(ImageFile::ReadInfo(jpg.data(), jpg.size(), &img, nullptr));
    ExpectRefused(jpg);
}

TEST_F(HostileInput, PngWhoseDataChunkClaimsGigabytesIsRefused)
{
    const std::vector<uint8_t> png = hostile::PngWithHugeIdat();
    ASSERT_LT(png.size(), 60u);
    ExpectRefused(png);
    // Every cut of the same header fails as cleanly.
    for (size_t n = 0; n < png.size(); ++n)
    {
        ImageData img;
        EXPECT_FALSE(ImageFile::Decode(png.data(), n, &img, nullptr)) << n;
    }
}

TEST_F(HostileInput, RunLengthTgaCutShortIsRefusedNotPaddedWithZeros)
{
    // 4 x 2, 24-bit, run-length: a run of four red texels, then four literal ones.
    const std::vector<uint8_t> tga = {0,    0, 10, 0,   0,    0, 0, 0, 0, 0, 0, 0, 4, 0, 2,  0,  24, 0x20,
                                      0x83, 0, 0,  255, 0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ImageData img;
    ASSERT_TRUE(ImageFile::Decode(tga.data(), tga.size(), &img, nullptr));
    const uint8_t firstAndLast[8] = {0, 0, 255, 255, 10, 11, 12, 255};
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data(), firstAndLast, 4));
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data() + 28, firstAndLast + 4, 4));
    for (size_t n = 18; n < tga.size(); ++n)
    {
        ImageData cut;
        EXPECT_FALSE(ImageFile::Decode(tga.data(), n, &cut, nullptr)) << n;
    }
}

TEST_F(HostileInput, NanTexelsPackAsZero)
{
    // A valid float file: loaded as A8R8G8B8 its NaN channels become 0, the others convert as usual.
    const std::vector<uint8_t> dds = hostile::NanFloatDds();
    ImageData file, packed;
    ASSERT_TRUE(ImageFile::Decode(dds.data(), dds.size(), &file, nullptr));
    ASSERT_TRUE(ImageFilter::Rebuild(file, 2, 2, 1, D3DFMT_A8R8G8B8, 1, &packed));
    const uint8_t bgra[16] = {0, 0, 0, 0, 0, 128, 255, 255, 0, 255, 0, 255, 0, 0, 0, 0};
    ASSERT_EQ(packed.subs[0].bytes.size(), sizeof bgra);
    EXPECT_EQ(0, std::memcmp(packed.subs[0].bytes.data(), bgra, sizeof bgra));

    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(dev, dds.data(), UINT(dds.size()), 2, 2, 1, 0, D3DFMT_A8R8G8B8,
                                                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                  &tex),
              D3D_OK);
    D3DLOCKED_RECT r{};
    ASSERT_EQ(tex->LockRect(0, &r, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(0, std::memcmp(r.pBits, bgra, 8));
    tex->UnlockRect(0);
    tex->Release();
}

TEST_F(HostileInput, DeclarationReachingPastAVertexIsRefused)
{
    // An element at offset 65,000 would make a 65,016-byte vertex: 4,095 of them ask for 266 MB.
    const D3DVERTEXELEMENT9 far[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                     {0, 65000, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                     D3DDECL_END()};
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateMesh(2, 4095, D3DXMESH_MANAGED, far, dev, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    IDirect3DVertexDeclaration9* declaration = nullptr;
    EXPECT_EQ(dev->CreateVertexDeclaration(far, &declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(declaration, nullptr);
    EXPECT_EQ(g_GfxRecorder.Count("CreateVertexBuffer"), 0u);

    // The largest vertex still fits: an element ending exactly at the limit is accepted.
    const D3DVERTEXELEMENT9 edge[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
        {0, WORD(GfxMaxVertexStride - 16), D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    ASSERT_EQ(D3DXCreateMesh(2, 4095, D3DXMESH_MANAGED, edge, dev, &mesh), D3D_OK);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), GfxMaxVertexStride);
    mesh->Release();
}

TEST_F(HostileInput, AdjacencyOfNanPositionsKeepsTheFinitesJoined)
{
    // Two quads side by side, every second vertex of them doubled with a NaN x: NaN would break the sort that
    // finds shared points. The finite copies still join the quads along their shared edge.
    const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    const float nan = std::nanf("");
    const float points[][3] = {{0, 0, 0}, {1, 0, 0},   {1, 0, 1},   {0, 0, 1},   {1, 0, 0},   {2, 0, 0},  {2, 0, 1},
                               {1, 0, 1}, {nan, 0, 0}, {nan, 1, 0}, {nan, 2, 0}, {nan, 3, 0}, {nan, 4, 0}};
    const uint16_t indices[] = {0, 2, 1, 0, 3, 2, 4, 6, 5, 4, 7, 6, 8, 9, 10, 10, 11, 12};
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMesh(6, 13, D3DXMESH_MANAGED, decl, dev, &mesh), D3D_OK);
    void* bytes = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &bytes), D3D_OK);
    std::memcpy(bytes, points, sizeof points);
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(mesh->LockIndexBuffer(0, &bytes), D3D_OK);
    std::memcpy(bytes, indices, sizeof indices);
    mesh->UnlockIndexBuffer();
    DWORD adjacency[18];
    ASSERT_EQ(mesh->GenerateAdjacency(0.001f, adjacency), D3D_OK);
    // Face 0's edge 2-1 is face 3's edge 4-7: vertices 1 and 4, 2 and 7 are one point each.
    EXPECT_EQ(adjacency[0 * 3 + 1], 3u);
    EXPECT_EQ(adjacency[3 * 3 + 0], 0u);
    mesh->Release();
}

}  // namespace
