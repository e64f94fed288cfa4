// Textures and the texture manager on the recording backend: the record versions, quality scaling, the
// cache, locking, shrinking, loose files, and records that lie.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeTexture.h"
#include "Platform/system/SysFileTime.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

using Bytes = std::vector<uint8_t>;

class WeTextureRecords : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        tree.SetRoot(scratch.Path("Packages").c_str());
    }

    // The DDS image of a filled texture of that kind and size.
    static Bytes Dds(int kind, int width, int height, D3DFORMAT format = D3DFMT_A8R8G8B8, uint32_t argb = 0xFF336699u,
                     UINT levels = 1)
    {
        IDirect3DDevice9* device = g_RenderDevice.GetDevice();
        IDirect3DBaseTexture9* texture = nullptr;
        if (kind == WeTexture::KindCube)
        {
            IDirect3DCubeTexture9* cube = nullptr;
            device->CreateCubeTexture(UINT(width), levels, 0, format, D3DPOOL_MANAGED, &cube, nullptr);
            texture = cube;
        }
        else
        {
            IDirect3DTexture9* t = nullptr;
            device->CreateTexture(UINT(width), UINT(height), levels, 0, format, D3DPOOL_MANAGED, &t, nullptr);
            if (format == D3DFMT_A8R8G8B8)
            {
                D3DLOCKED_RECT r{};
                t->LockRect(0, &r, nullptr, 0);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x)
                        static_cast<uint32_t*>(r.pBits)[y * r.Pitch / 4 + x] = argb;
                t->UnlockRect(0);
            }
            texture = t;
        }
        ID3DXBuffer* buffer = nullptr;
        EXPECT_EQ(D3DXSaveTextureToFileInMemory(&buffer, D3DXIFF_DDS, texture, nullptr), D3D_OK);
        const uint8_t* p = static_cast<const uint8_t*>(buffer->GetBufferPointer());
        Bytes bytes(p, p + buffer->GetBufferSize());
        buffer->Release();
        texture->Release();
        return bytes;
    }

    struct Record
    {
        int version = 4;  // -1: the unversioned layout (a non-negative first int32)
        int kind = WeTexture::Kind2D;
        int width = 8, height = 8, depth = 1;
        int minimum = 0;
        uint8_t single = 1;
        Bytes image;
        int32_t sizeField = -1;  // -1: the image's real size
    };

    void Write(const char* name, const Record& r)
    {
        ASSERT_TRUE(tree.Create(name, 1, true));
        WeFileStream& s = *tree.GetStream();
        int32_t n = r.sizeField >= 0 ? r.sizeField : int32_t(r.image.size());
        if (r.version < 0)
        {
            s.WriteInt32(n);
        }
        else
        {
            s.WriteInt32(-n);
            s.WriteInt32(r.version);
        }
        if (r.version <= 2)
        {
            s.Write(r.image.data(), int64_t(r.image.size()));
            s.WriteString("unused");
            for (int v : {r.kind, int(D3DFMT_A8R8G8B8), 0, 0, r.width, r.height, r.depth})
                s.WriteInt32(v);
            if (r.version >= 1)
                s.WriteInt32(r.minimum);
            if (r.version >= 2)
            {
                s.WriteInt32(0x1234);
                s.WriteInt32(0x5678);
            }
        }
        else
        {
            s.WriteInt32(r.kind);
            s.WriteInt32(int(D3DFMT_A8R8G8B8));
            if (r.version == 3)
            {
                s.WriteInt32(0);
                s.WriteInt32(0);
            }
            for (int v : {r.width, r.height, r.depth, r.minimum, 0x1234, 0x5678})
                s.WriteInt32(v);
            s.WriteByte(char(r.single));
            s.Write(r.image.data(), int64_t(r.image.size()));
        }
        ASSERT_TRUE(tree.EndCreate());
    }

    static uint32_t Texel(WeTexture& t, int x, int y)
    {
        void* bits = nullptr;
        int32_t total = 0, pitch = 0;
        if (!t.Lock(&bits, &total, &pitch))
            return 0;
        uint32_t v = static_cast<uint32_t*>(bits)[y * pitch / 4 + x];
        t.Unlock();
        return v;
    }

    ScratchFolder scratch;
    WeFileSystem tree;
};

TEST_F(WeTextureRecords, EveryVersionLoads)
{
    for (int version : {-1, 0, 1, 2, 3, 4})
    {
        SCOPED_TRACE(version);
        Record r;
        r.version = version;
        r.single = 0;
        r.minimum = 1;
        r.image = Dds(WeTexture::Kind2D, 8, 8);
        Write("Textures.Test.Any", r);
        WeTexture texture;
        ASSERT_TRUE(texture.Load(&tree, "Textures.Test.Any", true, 2, WeTexture::KeepLevel, 0));
        EXPECT_EQ(texture.m_Kind, WeTexture::Kind2D);
        EXPECT_EQ(texture.m_Width, 8);
        EXPECT_EQ(texture.m_Valid, 1);
        EXPECT_EQ(texture.m_HasSource, 1);
        EXPECT_EQ(texture.m_LoadedFromData, 1);
        EXPECT_FLOAT_EQ(texture.m_InvWidth, 0.125f);
        EXPECT_EQ(Texel(texture, 3, 3), 0xFF336699u);
        EXPECT_EQ(texture.m_MinimumLevel, version >= 1 ? 1 : 0);
        if (version >= 2)
        {
            EXPECT_EQ(texture.m_LastWriteLow, 0x1234u);
        }
    }
    // The caller's minimum replaces the stored one and raises the quality level.
    Record r;
    r.image = Dds(WeTexture::Kind2D, 8, 8);
    Write("Textures.Test.Min", r);
    WeTexture texture;
    ASSERT_TRUE(texture.Load(&tree, "Textures.Test.Min", true, 0, 2, 0));
    EXPECT_EQ(texture.m_MinimumLevel, 2);
    EXPECT_EQ(texture.m_QualityLevel, 2);
}

TEST_F(WeTextureRecords, RawVersion3WithAGoodAndALyingPitch)
{
    auto raw = [&](int32_t pitch, int rows, int32_t bytesPerRow)
    {
        ASSERT_TRUE(tree.Create("Textures.Test.Raw", 1, true));
        WeFileStream& s = *tree.GetStream();
        s.WriteInt32(-1);
        s.WriteInt32(3);
        for (int v : {int(WeTexture::Kind2D), int(D3DFMT_A8R8G8B8), 0, 0, 4, 4, 1, 0, 0, 0})
            s.WriteInt32(v);
        s.WriteByte(1);
        s.WriteInt32(pitch);
        for (int y = 0; y < rows; ++y)
            for (int i = 0; i < bytesPerRow / 4; ++i)
                s.WriteInt32(int32_t(0xFF000000u | uint32_t(y << 8 | i)));
        ASSERT_TRUE(tree.EndCreate());
    };
    // A wider pitch than the level's rows: each row copied up to the lock pitch, the rest skipped.
    raw(24, 4, 24);
    WeTexture texture;
    ASSERT_TRUE(texture.Load(&tree, "Textures.Test.Raw", true, 0, WeTexture::KeepLevel, 0));
    EXPECT_EQ(texture.m_Width, 4);  // a raw texture is never scaled
    EXPECT_EQ(Texel(texture, 2, 3), 0xFF000302u);
    // A pitch below a row, a height x pitch beyond the stream, and a non-positive pitch are refused.
    struct Case
    {
        int32_t pitch;
        int rows;
        int32_t bytes;
    } bad[] = {{8, 4, 8}, {16, 2, 16}, {0, 0, 0}, {-16, 4, 16}, {0x40000000, 1, 16}};
    for (const Case& c : bad)
    {
        raw(c.pitch, c.rows, c.bytes);
        WeTexture refused;
        EXPECT_FALSE(refused.Load(&tree, "Textures.Test.Raw", true, 2, WeTexture::KeepLevel, 0)) << c.pitch;
        EXPECT_EQ(refused.m_Texture, nullptr);
        EXPECT_EQ(refused.m_Valid, 0);
    }
}

TEST_F(WeTextureRecords, DamagedRecordsFailCleanly)
{
    Bytes image = Dds(WeTexture::Kind2D, 8, 8);
    int64_t capacity = WeTexture::StagingCapacity();
    struct Case
    {
        const char* name;
        Record record;
    } cases[] = {
        {"unknown kind", {4, 7, 8, 8, 1, 0, 1, image, -1}},
        {"size beyond the stream", {4, 3, 8, 8, 1, 0, 1, image, 0x7FFFFFF0}},
        {"size beyond the stream, old layout", {0, 3, 8, 8, 1, 0, 1, image, 0x7FFFFFF0}},
        {"zero size", {4, 3, 8, 8, 1, 0, 1, image, 0}},
        {"unknown version", {9, 3, 8, 8, 1, 0, 1, image, -1}},
        {"negative width", {4, 3, -8, 8, 1, 0, 1, image, -1}},
        {"huge height", {4, 3, 8, 1 << 30, 1, 0, 1, image, -1}},
        {"not an image", {4, 3, 8, 8, 1, 0, 1, Bytes(64, 0xAB), -1}},
        {"old layout, volume kind", {1, 2, 8, 8, 1, 0, 1, image, -1}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Write("Textures.Test.Bad", c.record);
        WeTexture texture;
        EXPECT_FALSE(texture.Load(&tree, "Textures.Test.Bad", true, 2, WeTexture::KeepLevel, 0));
        EXPECT_EQ(texture.m_Texture, nullptr);
        EXPECT_EQ(texture.m_Valid, 0);
    }
    // The staging buffer never grew to a lying size.
    EXPECT_LT(WeTexture::StagingCapacity(), std::max<int64_t>(capacity, 1 << 20));
    // A truncated member: the size field promises more than is there.
    ASSERT_TRUE(tree.Create("Textures.Test.Short", 1, true));
    tree.GetStream()->WriteInt32(-int32_t(image.size()));
    tree.GetStream()->WriteInt32(4);
    ASSERT_TRUE(tree.EndCreate());
    WeTexture shortOne;
    EXPECT_FALSE(shortOne.Load(&tree, "Textures.Test.Short", true, 2, WeTexture::KeepLevel, 0));
}

TEST_F(WeTextureRecords, QualityScalingAndItsLimits)
{
    struct Case
    {
        int width, height, level, maximum;
        bool persistent;
        int expectWidth, expectHeight;
    } cases[] = {
        {64, 16, 0, 0, false, 16, 16},       {64, 64, 1, 0, false, 32, 32},    {32, 32, 0, 0, false, 32, 32},
        {128, 64, 2, 0, false, 128, 64},     {128, 128, 1, 64, false, 32, 32}, {64, 16, 0, 0, true, 64, 16},
        {256, 256, 2, 100, false, 100, 100},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.width * 1000 + c.level * 10 + c.maximum);
        Record r;
        r.width = c.width;
        r.height = c.height;
        r.image = Dds(WeTexture::Kind2D, c.width, c.height);
        Write("Textures.Test.Scaled", r);
        WeTexture texture;
        texture.MarkPersistent(c.persistent);
        ASSERT_TRUE(texture.Load(&tree, "Textures.Test.Scaled", true, c.level, WeTexture::KeepLevel, c.maximum));
        EXPECT_EQ(texture.m_Width, c.expectWidth);
        EXPECT_EQ(texture.m_Height, c.expectHeight);
        D3DSURFACE_DESC desc{};
        static_cast<IDirect3DTexture9*>(texture.m_Texture)->GetLevelDesc(0, &desc);
        EXPECT_EQ(int(desc.Width), c.expectWidth);
    }
}

TEST_F(WeTextureRecords, ACubeFromMemoryMustBeSquare)
{
    Record r;
    r.kind = WeTexture::KindCube;
    r.image = Dds(WeTexture::KindCube, 8, 8);
    Write("Textures.Test.Cube", r);
    WeTexture cube;
    ASSERT_TRUE(cube.Load(&tree, "Textures.Test.Cube", true, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(cube.m_Kind, WeTexture::KindCube);
    r.height = 4;
    Write("Textures.Test.Cube", r);
    WeTexture flat;
    EXPECT_FALSE(flat.Load(&tree, "Textures.Test.Cube", true, 2, WeTexture::KeepLevel, 0));
}

TEST_F(WeTextureRecords, WriteThenReadGivesTheSameTexture)
{
    WeTexture* made = g_TextureManager.CreateTexture(16, 8, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
    ASSERT_NE(made, nullptr);
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    ASSERT_TRUE(made->Lock(&bits, &total, &pitch));
    EXPECT_EQ(total, 8 * pitch);
    std::memset(bits, 0x7F, size_t(total));
    made->Unlock();
    ASSERT_TRUE(tree.Create("Textures.Test.Written", 1, true));
    ASSERT_TRUE(made->WriteToStream(*tree.GetStream()));
    ASSERT_TRUE(tree.EndCreate());
    WeTexture read;
    ASSERT_TRUE(read.Load(&tree, "Textures.Test.Written", true, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(read.m_Width, 16);
    EXPECT_EQ(read.m_Height, 8);
    EXPECT_EQ(read.m_MinimumLevel, 2);  // made by code
    EXPECT_EQ(Texel(read, 5, 5), 0x7F7F7F7Fu);
    delete made;
}

TEST_F(WeTextureRecords, DxtLockPitchShrinkAndLooseFiles)
{
    WeTexture* dxt = g_TextureManager.CreateTexture(256, 256, D3DFMT_DXT1, 0, D3DPOOL_MANAGED, 1, false);
    ASSERT_NE(dxt, nullptr);
    void* bits = nullptr;
    int32_t total = 0, pitch = 0;
    ASSERT_TRUE(dxt->Lock(&bits, &total, &pitch));
    dxt->Unlock();
    // 64 blocks of 8 bytes make a block row of 512; a pixel row is a quarter of it.
    EXPECT_EQ(pitch, 128);
    EXPECT_EQ(total, 256 * 128);
    delete dxt;

    Record r;
    r.width = 64;
    r.height = 32;
    r.single = 0;
    r.image = Dds(WeTexture::Kind2D, 64, 32, D3DFMT_A8R8G8B8, 0xFF00FF00u, 0);
    Write("Textures.Test.Shrink", r);
    WeTexture texture;
    ASSERT_TRUE(texture.Load(&tree, "Textures.Test.Shrink", true, 2, WeTexture::KeepLevel, 0));
    texture.ShrinkTo(16);
    EXPECT_EQ(texture.m_Width, 16);
    EXPECT_EQ(texture.m_Height, 16);
    EXPECT_EQ(texture.m_Valid, 1);
    EXPECT_EQ(Texel(texture, 1, 1), 0xFF00FF00u);
    texture.MarkPersistent(true);
    texture.ShrinkTo(4);
    EXPECT_EQ(texture.m_Width, 16);

    // A loose DDS file: kind from the image, the file's time as a FILETIME.
    std::string path = scratch.Path("loose.dds");
    Bytes dds = Dds(WeTexture::Kind2D, 8, 4);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(dds.data()), std::streamsize(dds.size()));
    WeTexture loose;
    ASSERT_TRUE(loose.Load(nullptr, path.c_str(), false, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(loose.m_Kind, WeTexture::Kind2D);
    EXPECT_EQ(loose.m_Width, 8);
    uint64_t time = 0;
    ASSERT_TRUE(SysFileTime::LastWrite(path, &time));
    EXPECT_EQ((uint64_t(loose.m_LastWriteHigh) << 32) | loose.m_LastWriteLow, time);
    EXPECT_GT(time, 116444736000000000ull);  // after 1970
    WeTexture missing;
    EXPECT_FALSE(missing.Load(nullptr, scratch.Path("none.dds").c_str(), false, 2, WeTexture::KeepLevel, 0));
    EXPECT_EQ(missing.m_HasSource, 0);
}

// The reported size must cover every block row, the last partial one included, so that callers filling
// `total` bytes reach the bottom texels.
TEST_F(WeTextureRecords, DxtLockSizeCoversEveryBlockRow)
{
    struct Case
    {
        D3DFORMAT format;
        int width, height;
        int32_t blockRowBytes, blockRows;
    };
    const Case cases[] = {
        {D3DFMT_DXT1, 8, 8, 16, 2}, {D3DFMT_DXT1, 8, 6, 16, 2}, {D3DFMT_DXT1, 8, 1, 16, 1},
        {D3DFMT_DXT1, 8, 2, 16, 1}, {D3DFMT_DXT5, 8, 5, 32, 2}, {D3DFMT_DXT3, 4, 3, 16, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " format " << c.format);
        WeTexture* t = g_TextureManager.CreateTexture(c.width, c.height, c.format, 0, D3DPOOL_MANAGED, 1, false);
        ASSERT_NE(t, nullptr);
        void* bits = nullptr;
        int32_t total = 0, pitch = 0;
        ASSERT_TRUE(t->Lock(&bits, &total, &pitch));
        t->Unlock();
        EXPECT_EQ(pitch * 4, c.blockRowBytes);
        EXPECT_EQ(total, c.blockRows * c.blockRowBytes);
        delete t;
    }
}

using WeTextureManagerCache = RecordingRender;

TEST_F(WeTextureManagerCache, NamesCaseDefaultsAndReleases)
{
    ASSERT_TRUE(Create());
    WeTexture* black = g_TextureManager.m_DefaultBlack;
    ASSERT_NE(black, nullptr);
    EXPECT_EQ(black->m_Persistent, 1);
    EXPECT_EQ(g_TextureManager.GetTexture("mapeditor.textures.DEFAULTBLACK1X1", false, 0, false), black);
    EXPECT_EQ(g_TextureManager.GetTexture("", false, 0, false), black);
    EXPECT_EQ(g_TextureManager.GetTexture("Textures.None.Such", false, 0, true), black);
    EXPECT_EQ(g_TextureManager.GetTexture("Textures.None.Such", false, 0, false), nullptr);
    // Reloading keeps the object.
    EXPECT_EQ(g_TextureManager.GetTexture("MapEditor.Textures.DefaultWhite1x1", true, 0, false),
              g_TextureManager.m_DefaultWhite);

    WeTexture* loose = g_TextureManager.CreateTexture(8, 8, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    BeginBusy();
    WeTexture* kept = g_TextureManager.CreateTexture(8, 8, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    EndBusy();
    ASSERT_TRUE(loose && kept);
    int32_t count = g_TextureManager.m_Textures.Count();
    g_TextureManager.ReleaseTexture(kept, false);
    EXPECT_EQ(g_TextureManager.m_Textures.Count(), count);
    g_TextureManager.ReleaseAll(false);
    EXPECT_EQ(g_TextureManager.m_Textures.Count(), count - 1);
    EXPECT_EQ(g_TextureManager.m_DefaultBlack, black);
    // Forced, everything goes, the default fields with it.
    g_TextureManager.ReleaseAll(true);
    EXPECT_EQ(g_TextureManager.m_Textures.Count(), 0);
    EXPECT_EQ(g_TextureManager.m_DefaultBlack, nullptr);
    EXPECT_EQ(g_TextureManager.m_DefaultWhite, nullptr);
    EXPECT_EQ(g_TextureManager.GetTexture("", false, 0, true), nullptr);
}

TEST_F(WeTextureManagerCache, ReleasingAPointerItDoesNotHoldReadsNothing)
{
    ASSERT_TRUE(Create());
    WeTexture* made = g_TextureManager.CreateTexture(8, 8, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
    ASSERT_NE(made, nullptr);
    int32_t count = g_TextureManager.m_Textures.Count();
    g_TextureManager.ReleaseTexture(made, true);
    ASSERT_EQ(g_TextureManager.m_Textures.Count(), count - 1);
    // Released twice: the second call holds a dangling pointer (caught under the address sanitizer).
    g_TextureManager.ReleaseTexture(made, false);
    // An address that is no object at all faults if it is dereferenced, in any build.
    g_TextureManager.ReleaseTexture(reinterpret_cast<WeTexture*>(uintptr_t(64)), false);
    EXPECT_EQ(g_TextureManager.m_Textures.Count(), count - 1);
}

// Inside the load scope a texture is persistent from its first load on: the quality level never scales it.
TEST_F(WeTextureManagerCache, APersistentTextureLoadsAtFullSizeAtEveryLevel)
{
    ASSERT_TRUE(Create());
    g_TextureManager.SetQualityLevel(0);
    BeginBusy();
    WeTexture* kept = g_TextureManager.GetTexture("Demo.Textures.Checker", false, 0, false);
    EndBusy();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->m_Persistent, 1);
    EXPECT_EQ(kept->m_Width, 128);
    g_TextureManager.ReleaseTexture(kept, true);
    WeTexture* scaled = g_TextureManager.GetTexture("Demo.Textures.Checker", false, 0, false);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->m_Width, 32);
}

TEST_F(WeTextureManagerCache, QualityLevelReloadsEveryTexture)
{
    ASSERT_TRUE(Create());
    WeTexture* white = g_TextureManager.m_DefaultWhite;
    ASSERT_NE(white, nullptr);
    g_TextureManager.SetQualityLevel(0);
    EXPECT_EQ(white->m_QualityLevel, 0);
    EXPECT_EQ(white->m_Width, 1);
    EXPECT_EQ(white->m_Valid, 1);
    // A texture made by code has no source: its minimum pins it at full quality.
    WeTexture* made = g_TextureManager.CreateEmpty(false);
    made->SetMinimumQuality(1);
    EXPECT_EQ(made->m_QualityLevel, 2);
    EXPECT_EQ(made->m_MinimumLevel, 2);
    delete made;
}

}  // namespace
