// Light-map blocks with the real compressor: what each tag reads and consumes, the round trip, the size
// limit, blocks whose texels do not fit or cannot be made, and sources of other formats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WeLightMap.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/GfxFormat.h"
#include "Platform/gfx_d3dx/PixelCodec.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

constexpr int32_t Marker = 0x5A5A5A5A;
constexpr uint32_t Red = 0xFFFF0000u;
constexpr uint32_t Blue = 0xFF0000FFu;

// Left half red, right half blue.
uint32_t Pattern(int x, int width)
{
    return x < width / 2 ? Red : Blue;
}

class WeLightMapTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        WeLightMapMaximumSize();
        GetConfigInt("game.Render.MaxLightmapSize", 0) = 0;
    }
    void TearDown() override
    {
        GetConfigInt("game.Render.MaxLightmapSize", 0) = 0;
        RecordingRender::TearDown();
    }

    // Writes the block through `write`, then the marker; loads it into `map` and reports whether the
    // marker follows.
    bool LoadBlock(const std::function<void(WeFileStream&)>& write, WeLightMap& map, bool* intact = nullptr)
    {
        const std::string path = scratch.Path("block");
        {
            WeFileStream out;
            EXPECT_TRUE(out.Create(path.c_str()));
            write(out);
            out.WriteInt32(Marker);
            out.Close();
        }
        WeFileStream in;
        EXPECT_TRUE(in.Open(path.c_str()));
        bool ok = map.Load(in);
        if (intact != nullptr)
            *intact = ok;
        return in.ReadInt32() == Marker && !in.HadShortRead();
    }

    // The raw texels of a width x height A8R8G8B8 pattern.
    static std::vector<uint32_t> Texels(int width, int height)
    {
        std::vector<uint32_t> texels(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                texels[size_t(y) * size_t(width) + size_t(x)] = Pattern(x, width);
        return texels;
    }

    static void WriteRaw(WeFileStream& s, int32_t tag, int width, int height, D3DFORMAT format, int32_t extraBytes = 0)
    {
        std::vector<uint32_t> texels = Texels(width, height);
        s.WriteInt32(tag);
        s.WriteInt32(int32_t(texels.size() * 4) + extraBytes);
        s.WriteInt32(width);
        s.WriteInt32(height);
        s.WriteInt32(int32_t(format));
        s.Write(texels.data(), int64_t(texels.size() * 4));
        for (int32_t i = 0; i < extraBytes; ++i)
            s.WriteByte(0x11);
        if (tag == -2)
            s.WriteInt32(77);
    }

    // A texture stream record of an A8R8G8B8 pattern texture.
    static void WriteRecord(WeFileStream& s, int width, int height)
    {
        WeTexture* t = g_TextureManager.CreateTexture(width, height, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
        ASSERT_NE(t, nullptr);
        void* bits = nullptr;
        int32_t pitch = 0;
        ASSERT_TRUE(t->Lock(&bits, nullptr, &pitch));
        std::vector<uint32_t> texels = Texels(width, height);
        for (int y = 0; y < height; ++y)
            std::memcpy(static_cast<uint8_t*>(bits) + y * pitch, texels.data() + size_t(y) * size_t(width),
                        size_t(width) * 4);
        t->Unlock();
        ASSERT_TRUE(t->WriteToStream(s));
        g_TextureManager.ReleaseTexture(t, true);
    }

    // The decoded colour (0xAARRGGBB, alpha forced) at (x, y) of a DXT1 light map.
    static uint32_t DecodedAt(WeTexture* texture, int x, int y)
    {
        void* bits = nullptr;
        int32_t pitch = 0;
        EXPECT_TRUE(texture->Lock(&bits, nullptr, &pitch));
        ImageLevel level;
        level.width = uint32_t(texture->m_Width);
        level.height = uint32_t(texture->m_Height);
        level.rowPitch = uint32_t(pitch * 4);
        level.slicePitch = level.rowPitch * uint32_t((texture->m_Height + 3) / 4);
        const uint8_t* p = static_cast<const uint8_t*>(bits);
        level.bytes.assign(p, p + level.slicePitch);
        texture->Unlock();
        std::vector<float> rgba;
        EXPECT_TRUE(PixelCodec::ToRgba(D3DFMT_DXT1, level, &rgba));
        const float* c = &rgba[(size_t(y) * level.width + size_t(x)) * 4];
        auto byte = [](float v) { return uint32_t(v * 255.0f + 0.5f); };
        return 0xFF000000u | byte(c[0]) << 16 | byte(c[1]) << 8 | byte(c[2]);
    }

    static void ExpectPattern(WeTexture* texture, int width, int height)
    {
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->m_Format, D3DFMT_DXT1);
        EXPECT_EQ(texture->m_Width, width);
        EXPECT_EQ(texture->m_Height, height);
        EXPECT_EQ(DecodedAt(texture, 0, 0), Red);
        EXPECT_EQ(DecodedAt(texture, width - 1, height - 1), Blue);
    }

    ScratchFolder scratch;
};

TEST_F(WeLightMapTest, EveryTagReadsAndConsumesItsLayout)
{
    struct Case
    {
        const char* what;
        std::function<void(WeFileStream&)> write;
        bool present;
    };
    const Case cases[] = {
        {"-1 raw texels", [](WeFileStream& s) { WriteRaw(s, -1, 8, 8, D3DFMT_A8R8G8B8); }, true},
        {"-2 raw texels and an int", [](WeFileStream& s) { WriteRaw(s, -2, 8, 8, D3DFMT_A8R8G8B8); }, true},
        {"-1 of size 0",
         [](WeFileStream& s)
         {
             s.WriteInt32(-1);
             s.WriteInt32(0);
         },
         false},
        {"-3 present",
         [](WeFileStream& s)
         {
             s.WriteInt32(-3);
             s.WriteInt32(1);
             WriteRecord(s, 8, 8);
         },
         true},
        {"-3 absent",
         [](WeFileStream& s)
         {
             s.WriteInt32(-3);
             s.WriteInt32(0);
         },
         false},
        {"-4 present",
         [](WeFileStream& s)
         {
             s.WriteInt32(-4);
             s.WriteByte(1);
             WriteRecord(s, 8, 8);
         },
         true},
        {"-5 present",
         [](WeFileStream& s)
         {
             s.WriteInt32(-5);
             s.WriteByte(1);
             WriteRecord(s, 8, 8);
         },
         true},
        {"-4 absent",
         [](WeFileStream& s)
         {
             s.WriteInt32(-4);
             s.WriteByte(0);
         },
         false},
        {"0", [](WeFileStream& s) { s.WriteInt32(0); }, false},
        {"7", [](WeFileStream& s) { s.WriteInt32(7); }, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        WeLightMap map;
        bool intact = false;
        EXPECT_TRUE(LoadBlock(c.write, map, &intact));
        EXPECT_TRUE(intact);
        if (c.present)
            ExpectPattern(map.GetTexture(), 8, 8);
        else
            EXPECT_EQ(map.GetTexture(), nullptr);
    }
}

// Raw DXT1 texels whose height is not a multiple of four: the last, partial block row is kept too.
TEST_F(WeLightMapTest, RawDxt1KeepsItsLastPartialBlockRow)
{
    constexpr int32_t BlockRowBytes = 16;  // two 8-byte blocks across 8 texels
    WeLightMap map;
    ASSERT_TRUE(LoadBlock(
        [](WeFileStream& s)
        {
            s.WriteInt32(-1);
            s.WriteInt32(2 * BlockRowBytes);
            s.WriteInt32(8);
            s.WriteInt32(6);
            s.WriteInt32(int32_t(D3DFMT_DXT1));
            for (int32_t i = 0; i < 2 * BlockRowBytes; ++i)
                s.WriteByte(char(i < BlockRowBytes ? 0x11 : 0x5A));
        },
        map));
    WeTexture* texture = map.GetTexture();
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->m_Format, D3DFMT_DXT1);
    void* bits = nullptr;
    ASSERT_TRUE(texture->Lock(&bits, nullptr, nullptr));
    const uint8_t* p = static_cast<const uint8_t*>(bits);
    const std::vector<uint8_t> second(p + BlockRowBytes, p + 2 * BlockRowBytes);
    texture->Unlock();
    EXPECT_EQ(second, std::vector<uint8_t>(BlockRowBytes, 0x5A));
}

TEST_F(WeLightMapTest, SavedMapLoadsAsTagMinus4WithTheSameDxt1Texture)
{
    WeLightMap source;
    ASSERT_TRUE(LoadBlock([](WeFileStream& s) { WriteRaw(s, -1, 16, 8, D3DFMT_A8R8G8B8); }, source));
    const std::string path = scratch.Path("saved");
    {
        WeFileStream out;
        ASSERT_TRUE(out.Create(path.c_str()));
        ASSERT_TRUE(source.Save(out));
        out.WriteInt32(Marker);
        out.Close();
    }
    WeFileStream in;
    ASSERT_TRUE(in.Open(path.c_str()));
    EXPECT_EQ(in.ReadInt32(), -4);
    EXPECT_EQ(in.ReadByte(), 1);
    ASSERT_TRUE(in.Seek(0, 0));
    WeLightMap loaded;
    ASSERT_TRUE(loaded.Load(in));
    EXPECT_EQ(in.ReadInt32(), Marker);
    ExpectPattern(loaded.GetTexture(), 16, 8);

    // Nothing saved: the tag and an absent byte.
    WeLightMap none;
    WeFileStream out;
    ASSERT_TRUE(out.Create(path.c_str()));
    ASSERT_TRUE(none.Save(out));
    EXPECT_EQ(out.Tell(), 5);
}

TEST_F(WeLightMapTest, MaximumSizeLimitsRawAndRecordedMaps)
{
    // A 512 x 512 DXT1 record (small enough to leave the texture reader's shared buffer below 1 MB).
    const std::string saved = scratch.Path("large");
    {
        WeLightMap large;
        ASSERT_TRUE(LoadBlock([](WeFileStream& s) { WriteRaw(s, -1, 512, 512, D3DFMT_A8R8G8B8); }, large));
        ASSERT_NE(large.GetTexture(), nullptr);
        EXPECT_EQ(large.GetTexture()->m_Width, 512);
        WeFileStream out;
        ASSERT_TRUE(out.Create(saved.c_str()));
        ASSERT_TRUE(large.Save(out));
    }

    GetConfigInt("game.Render.MaxLightmapSize", 0) = 128;
    WeLightMap raw;
    ASSERT_TRUE(LoadBlock([](WeFileStream& s) { WriteRaw(s, -1, 512, 512, D3DFMT_A8R8G8B8); }, raw));
    ExpectPattern(raw.GetTexture(), 128, 128);

    WeFileStream in;
    ASSERT_TRUE(in.Open(saved.c_str()));
    WeLightMap recorded;
    ASSERT_TRUE(recorded.Load(in));
    ExpectPattern(recorded.GetTexture(), 128, 128);
}

// Raw texels are consumed whole whatever becomes of the texture, so the record stays aligned.
TEST_F(WeLightMapTest, RawBlocksKeepTheStreamAligned)
{
    {
        SCOPED_TRACE("more texels than the level holds");
        WeLightMap map;
        bool intact = false;
        EXPECT_TRUE(LoadBlock([](WeFileStream& s) { WriteRaw(s, -2, 8, 8, D3DFMT_A8R8G8B8, 300); }, map, &intact));
        EXPECT_TRUE(intact);
        ExpectPattern(map.GetTexture(), 8, 8);
    }
    struct Refused
    {
        const char* what;
        int width, height;
        D3DFORMAT format;
    };
    for (const Refused& r :
         {Refused{"unknown format", 8, 8, D3DFORMAT(12345)}, Refused{"zero width", 0, 8, D3DFMT_A8R8G8B8},
          Refused{"huge height", 8, 1 << 20, D3DFMT_A8R8G8B8}})
    {
        SCOPED_TRACE(r.what);
        WeLightMap map;
        bool intact = false;
        EXPECT_TRUE(LoadBlock(
            [&r](WeFileStream& s)
            {
                s.WriteInt32(-1);
                s.WriteInt32(256);
                s.WriteInt32(r.width);
                s.WriteInt32(r.height);
                s.WriteInt32(int32_t(r.format));
                for (int i = 0; i < 64; ++i)
                    s.WriteInt32(i);
            },
            map, &intact));
        EXPECT_TRUE(intact);
        EXPECT_EQ(map.GetTexture(), nullptr);
    }
    {
        SCOPED_TRACE("texels past the end");
        const std::string path = scratch.Path("short");
        WeFileStream out;
        ASSERT_TRUE(out.Create(path.c_str()));
        out.WriteInt32(-1);
        out.WriteInt32(1 << 20);
        out.WriteInt32(8);
        out.WriteInt32(8);
        out.WriteInt32(int32_t(D3DFMT_A8R8G8B8));
        out.WriteInt32(1);
        out.Close();
        WeFileStream in;
        ASSERT_TRUE(in.Open(path.c_str()));
        WeLightMap map;
        EXPECT_FALSE(map.Load(in));
        EXPECT_EQ(map.GetTexture(), nullptr);
    }
}

// Sources of other formats reach the compressor as tight 32-bit rows, whatever their own texel size.
TEST_F(WeLightMapTest, CompressesSourcesOfOtherFormats)
{
    struct Source
    {
        D3DFORMAT format;
        int width, height;
    };
    for (const Source& source : {Source{D3DFMT_X8R8G8B8, 12, 8}, Source{D3DFMT_R5G6B5, 8, 8},
                                 Source{D3DFMT_A1R5G5B5, 6, 5}, Source{D3DFMT_DXT5, 8, 8}, Source{D3DFMT_DXT1, 8, 4}})
    {
        SCOPED_TRACE(int(source.format));
        WeTexture* t =
            g_TextureManager.CreateTexture(source.width, source.height, source.format, 0, D3DPOOL_MANAGED, 1, true);
        ASSERT_NE(t, nullptr);
        void* bits = nullptr;
        int32_t pitch = 0;
        ASSERT_TRUE(t->Lock(&bits, nullptr, &pitch));
        // Fill through the codec so that every format holds the same pattern.
        const GfxFormatInfo* info = GfxFormat::Find(source.format);
        ImageLevel level;
        level.width = uint32_t(source.width);
        level.height = uint32_t(source.height);
        level.rowPitch = uint32_t(info->block ? pitch * 4 : pitch);
        level.slicePitch = level.rowPitch * uint32_t(info->block ? (source.height + 3) / 4 : source.height);
        level.bytes.assign(level.slicePitch, 0);
        std::vector<float> rgba;
        for (int y = 0; y < source.height; ++y)
            for (int x = 0; x < source.width; ++x)
            {
                uint32_t c = Pattern(x, source.width);
                rgba.insert(rgba.end(), {float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f,
                                         float(c & 0xFF) / 255.0f, 1.0f});
            }
        ASSERT_TRUE(PixelCodec::FromRgba(source.format, rgba, &level));
        std::memcpy(bits, level.bytes.data(), level.bytes.size());
        t->Unlock();

        WeLightMap map;
        map.m_LightMap = t;
        map.CompressToDXT1();
        ExpectPattern(map.GetTexture(), source.width, source.height);
        if (source.format == D3DFMT_DXT1)
        {
            EXPECT_EQ(map.GetTexture(), t);
        }
    }
}

// A float source may hold anything: NaN and infinities compress like black and white.
TEST_F(WeLightMapTest, FloatSourcesWithNonFiniteTexelsCompress)
{
    WeTexture* t = g_TextureManager.CreateTexture(4, 4, D3DFMT_A32B32G32R32F, 0, D3DPOOL_MANAGED, 1, true);
    ASSERT_NE(t, nullptr);
    void* bits = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(t->Lock(&bits, nullptr, &pitch));
    const float nan = std::nanf("");
    const float infinity = HUGE_VALF;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
        {
            float* texel = reinterpret_cast<float*>(static_cast<uint8_t*>(bits) + y * pitch) + x * 4;
            const float v = x < 2 ? nan : infinity;
            for (int c = 0; c < 4; ++c)
                texel[c] = c == 3 ? 1.0f : v;
        }
    t->Unlock();
    WeLightMap map;
    map.m_LightMap = t;
    map.CompressToDXT1();
    ASSERT_NE(map.GetTexture(), nullptr);
    EXPECT_EQ(map.GetTexture()->m_Format, D3DFMT_DXT1);
    EXPECT_EQ(DecodedAt(map.GetTexture(), 0, 0), 0xFF000000u);
    EXPECT_EQ(DecodedAt(map.GetTexture(), 3, 3), 0xFFFFFFFFu);
}

}  // namespace
