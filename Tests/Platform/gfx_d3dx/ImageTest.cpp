#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cstring>

#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Platform/gfx_d3dx/ImageFilter.h"
#include "Platform/gfx_d3dx/PixelCodec.h"
#include "Tests/Platform/gfx_d3dx/HostileInputs.h"

namespace
{

ImageData Make(ImageKind kind, D3DFORMAT format, uint32_t w, uint32_t h, uint32_t d, uint32_t levels)
{
    ImageData img;
    img.kind = kind;
    img.format = format;
    img.width = w;
    img.height = h;
    img.depth = d;
    img.levels = levels;
    img.faces = kind == ImageKind::Cube ? 6 : 1;
    EXPECT_TRUE(img.Layout());
    uint8_t seed = 1;
    for (ImageLevel& s : img.subs)
        for (uint8_t& b : s.bytes)
            b = seed = uint8_t(seed * 37 + 11);
    return img;
}

void ExpectSame(const ImageData& a, const ImageData& b)
{
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.format, b.format);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.depth, b.depth);
    EXPECT_EQ(a.levels, b.levels);
    ASSERT_EQ(a.subs.size(), b.subs.size());
    for (size_t i = 0; i < a.subs.size(); ++i)
        EXPECT_EQ(a.subs[i].bytes, b.subs[i].bytes) << "sub " << i;
}

TEST(DdsFile, RoundTrips)
{
    struct Case
    {
        ImageKind kind;
        D3DFORMAT format;
        uint32_t w, h, d, levels;
    } cases[] = {
        {ImageKind::Texture2D, D3DFMT_A8R8G8B8, 8, 4, 1, 4},      {ImageKind::Texture2D, D3DFMT_DXT1, 16, 8, 1, 5},
        {ImageKind::Texture2D, D3DFMT_DXT5, 5, 3, 1, 1},          {ImageKind::Texture2D, D3DFMT_R5G6B5, 3, 3, 1, 2},
        {ImageKind::Texture2D, D3DFMT_A16B16G16R16F, 2, 2, 1, 2}, {ImageKind::Texture2D, D3DFMT_L8, 4, 4, 1, 1},
        {ImageKind::Cube, D3DFMT_X8R8G8B8, 4, 4, 1, 3},           {ImageKind::Cube, D3DFMT_DXT3, 8, 8, 1, 1},
        {ImageKind::Volume, D3DFMT_A8R8G8B8, 4, 4, 4, 3},
    };
    for (const Case& c : cases)
    {
        ImageData img = Make(c.kind, c.format, c.w, c.h, c.d, c.levels);
        std::vector<uint8_t> file;
        ASSERT_TRUE(DdsFile::Write(img, &file));
        ImageData back;
        ASSERT_TRUE(DdsFile::Read(file.data(), file.size(), &back)) << c.format;
        ExpectSame(img, back);
    }
}

TEST(DdsFile, RefusesTruncatedAndLyingHeaders)
{
    ImageData img = Make(ImageKind::Texture2D, D3DFMT_A8R8G8B8, 8, 8, 1, 4);
    std::vector<uint8_t> file;
    ASSERT_TRUE(DdsFile::Write(img, &file));
    ImageData out;
    for (size_t cut : {size_t(0), size_t(3), size_t(64), size_t(127), file.size() - 1})
        EXPECT_FALSE(DdsFile::Read(file.data(), cut, &out)) << cut;
    auto patched = [&](size_t offset, uint32_t value)
    {
        std::vector<uint8_t> f = file;
        std::memcpy(&f[offset], &value, 4);
        return f;
    };
    struct Lie
    {
        size_t offset;
        uint32_t value;
    } lies[] = {
        {4, 100},              // header size
        {12, 0x40000000},      // height beyond any image kept
        {12, 16},              // height within the limits but beyond the payload
        {16, 0},               // zero width
        {28, 9},               // more mips than the size has
        {76, 16},              // pixel-format size
        {84, 0x30315844},      // "DX10" FourCC
        {88, 12},              // bit count that matches no format
        {112, 0x200 | 0x400},  // a cube with one face
    };
    for (const Lie& l : lies)
    {
        std::vector<uint8_t> f = patched(l.offset, l.value);
        if (l.offset == 84)
            f[80] |= 4;  // the FourCC flag, so the code is read
        EXPECT_FALSE(DdsFile::Read(f.data(), f.size(), &out)) << "offset " << l.offset;
    }
    EXPECT_TRUE(DdsFile::Read(file.data(), file.size(), &out));
}

TEST(ImageData, LayoutRefusesSizesBeyondWhatItCanHold)
{
    // 16384 x 16384 texels of 16 bytes: the slice's byte count wraps 32 bits to 0.
    ImageData big;
    big.format = D3DFMT_A32B32G32R32F;
    big.width = big.height = 16384;
    ASSERT_FALSE(big.Layout());
    // A requested size beyond it fails before any resampling buffer is made for it.
    ImageData wide;
    wide.format = D3DFMT_A8R8G8B8;
    wide.width = 0x40000001;
    wide.height = 1;
    ASSERT_FALSE(wide.Layout());
    ImageData src = Make(ImageKind::Texture2D, D3DFMT_A8R8G8B8, 2, 2, 1, 1);
    ImageData out;
    EXPECT_FALSE(ImageFilter::Rebuild(src, 0x40000001, 1, 1, D3DFMT_A8R8G8B8, 1, &out));
    // Ordinary sizes still lay out.
    ImageData fine;
    fine.format = D3DFMT_DXT1;
    fine.width = 4096;
    fine.height = 2048;
    fine.levels = ImageData::FullChain(4096, 2048, 1);
    EXPECT_TRUE(fine.Layout());
    EXPECT_EQ(fine.subs[0].bytes.size(), 4096u / 4 * 2048 / 4 * 8);
}

TEST(PixelCodec, DxtKeepsFlatColoursAndAlpha)
{
    ImageData img = Make(ImageKind::Texture2D, D3DFMT_A8R8G8B8, 8, 4, 1, 1);
    std::vector<float> rgba(8 * 4 * 4);
    for (size_t i = 0; i < 32; ++i)
    {
        bool left = (i % 8) < 4;
        float* t = &rgba[i * 4];
        t[0] = left ? 1.0f : 0.0f;
        t[1] = 0.0f;
        t[2] = left ? 0.0f : 1.0f;
        t[3] = left ? 1.0f : 0.0f;
    }
    for (D3DFORMAT f : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5, D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A16B16G16R16F})
    {
        ImageData d = img;
        d.format = f;
        ASSERT_TRUE(d.Layout());
        ASSERT_TRUE(PixelCodec::FromRgba(f, rgba, &d.subs[0]));
        std::vector<float> back;
        ASSERT_TRUE(PixelCodec::ToRgba(f, d.subs[0], &back));
        for (size_t i = 0; i < 32; ++i)
        {
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(back[i * 4 + c], rgba[i * 4 + c], 0.02f) << f << " texel " << i;
            if (f != D3DFMT_DXT1)
            {
                EXPECT_NEAR(back[i * 4 + 3], rgba[i * 4 + 3], 0.02f) << f << " texel " << i;
            }
        }
    }
    // A8R8G8B8 is B, G, R, A in memory.
    ImageData d = img;
    ASSERT_TRUE(PixelCodec::FromRgba(D3DFMT_A8R8G8B8, rgba, &d.subs[0]));
    EXPECT_EQ(d.subs[0].bytes[0], 0x00);
    EXPECT_EQ(d.subs[0].bytes[2], 0xFF);
    EXPECT_EQ(d.subs[0].bytes[3], 0xFF);
}

void AppendBytes(void* context, void* data, int size)
{
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

TEST(ImageFile, PngAndTgaDecodeToKnownPixels)
{
    const uint8_t rgba[2 * 2 * 4] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};
    std::vector<uint8_t> png;
    ASSERT_TRUE(stbi_write_png_to_func(AppendBytes, &png, 2, 2, 4, rgba, 8));
    ImageData img;
    ImageFileType type;
    ASSERT_TRUE(ImageFile::Decode(png.data(), png.size(), &img, &type));
    EXPECT_EQ(type, ImageFileType::Png);
    EXPECT_EQ(img.format, D3DFMT_A8R8G8B8);
    const uint8_t bgra[16] = {0, 0, 255, 255, 0, 255, 0, 128, 255, 0, 0, 0, 30, 20, 10, 40};
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data(), bgra, 16));

    // An uncompressed 24-bit TGA, stored bottom row first: 2 x 2, BGR.
    const std::vector<uint8_t> tga = {0, 0, 2, 0,  0,  0, 0, 0, 0, 0, 0, 0,
                                      2, 0, 2, 0,  24, 0, 1, 2, 3, 4, 5, 6,  // bottom row
                                      7, 8, 9, 10, 11, 12};                  // top row
    ASSERT_TRUE(ImageFile::Decode(tga.data(), tga.size(), &img, &type));
    EXPECT_EQ(type, ImageFileType::Tga);
    EXPECT_EQ(img.format, D3DFMT_X8R8G8B8);
    const uint8_t top[16] = {7, 8, 9, 255, 10, 11, 12, 255, 1, 2, 3, 255, 4, 5, 6, 255};
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data(), top, 16));

    // BMP keeps exact pixels; JPEG comes back close.
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(stbi_write_bmp_to_func(AppendBytes, &bmp, 2, 2, 4, rgba));
    ASSERT_TRUE(ImageFile::Decode(bmp.data(), bmp.size(), &img, &type));
    EXPECT_EQ(type, ImageFileType::Bmp);
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data(), bgra, 16));
    EXPECT_FALSE(ImageFile::Decode(bmp.data(), bmp.size() - 1, &img, &type));
    // A compression value the reader does not know would be read as plain rows padded with zeros, so a
    // 60-byte file could claim a picture of 40 million texels.
    for (const uint32_t compression : {1u, 2u, 4u, 0x80000000u})
    {
        std::vector<uint8_t> lying = bmp;
        const uint32_t huge = 6000;
        std::memcpy(&lying[18], &huge, 4);
        std::memcpy(&lying[22], &huge, 4);
        std::memcpy(&lying[30], &compression, 4);
        EXPECT_FALSE(ImageFile::Decode(lying.data(), lying.size(), &img, &type)) << compression;
    }
    uint8_t grey[8 * 8 * 3];
    std::memset(grey, 100, sizeof(grey));
    std::vector<uint8_t> jpg;
    ASSERT_TRUE(stbi_write_jpg_to_func(AppendBytes, &jpg, 8, 8, 3, grey, 95));
    ASSERT_TRUE(ImageFile::Decode(jpg.data(), jpg.size(), &img, &type));
    EXPECT_EQ(type, ImageFileType::Jpg);
    EXPECT_EQ(img.format, D3DFMT_X8R8G8B8);
    EXPECT_NEAR(int(img.subs[0].bytes[0]), 100, 3);

    // Truncated files are refused.
    EXPECT_FALSE(ImageFile::Decode(png.data(), png.size() / 2, &img, &type));
    EXPECT_FALSE(ImageFile::Decode(tga.data(), 20, &img, &type));
    EXPECT_FALSE(ImageFile::Decode(png.data(), 0, &img, &type));
}

TEST(ImageFile, PngAndJpegOfEveryChannelCountDecode)
{
    // One texel (200, 100, 50, 25) written with 1 to 4 channels; grey takes the first.
    const uint8_t texel[4] = {200, 100, 50, 25};
    struct Case
    {
        int channels;
        D3DFORMAT format;
        uint8_t bgra[4];
    };
    const Case cases[] = {{1, D3DFMT_X8R8G8B8, {200, 200, 200, 255}},
                          {2, D3DFMT_A8R8G8B8, {200, 200, 200, 100}},
                          {3, D3DFMT_X8R8G8B8, {50, 100, 200, 255}},
                          {4, D3DFMT_A8R8G8B8, {50, 100, 200, 25}}};
    for (const Case& c : cases)
    {
        uint8_t pixels[4 * 4 * 4];
        for (int i = 0; i < 16; ++i)
            std::memcpy(pixels + i * c.channels, texel, size_t(c.channels));
        std::vector<uint8_t> png;
        ASSERT_TRUE(stbi_write_png_to_func(AppendBytes, &png, 4, 4, c.channels, pixels, 4 * c.channels));
        ImageData img;
        ImageFileType type;
        ASSERT_TRUE(ImageFile::Decode(png.data(), png.size(), &img, &type)) << c.channels;
        EXPECT_EQ(img.format, c.format) << c.channels;
        EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data() + 60, c.bgra, 4)) << c.channels;
        if (c.channels == 2 || c.channels == 4)
            continue;
        std::vector<uint8_t> jpg;
        ASSERT_TRUE(stbi_write_jpg_to_func(AppendBytes, &jpg, 4, 4, c.channels, pixels, 100));
        ASSERT_TRUE(ImageFile::Decode(jpg.data(), jpg.size(), &img, &type)) << c.channels;
        EXPECT_EQ(type, ImageFileType::Jpg);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(int(img.subs[0].bytes[60 + k]), int(c.bgra[k]), 3) << c.channels << " " << k;
        EXPECT_EQ(img.subs[0].bytes[63], 255);
    }
}

TEST(ImageFile, PngWithAColourKeyKeepsItsTransparency)
{
    // A 2 x 1 RGB PNG, red then blue, with a tRNS chunk naming blue as transparent (put after the 33-byte
    // signature and header).
    const uint8_t rgb[6] = {255, 0, 0, 0, 0, 255};
    std::vector<uint8_t> png;
    ASSERT_TRUE(stbi_write_png_to_func(AppendBytes, &png, 2, 1, 3, rgb, 6));
    std::vector<uint8_t> trns;
    hostile::PngChunk(&trns, "tRNS", {0, 0, 0, 0, 0, 255});
    png.insert(png.begin() + 33, trns.begin(), trns.end());
    ImageData img;
    ImageFileType type;
    ASSERT_TRUE(ImageFile::ReadInfo(png.data(), png.size(), &img, &type));
    EXPECT_EQ(img.format, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(ImageFile::Decode(png.data(), png.size(), &img, &type));
    EXPECT_EQ(img.format, D3DFMT_A8R8G8B8);
    const uint8_t bgra[8] = {0, 0, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(img.subs[0].bytes.data(), bgra, 8));
    // Without the chunk the same image is opaque.
    png.erase(png.begin() + 33, png.begin() + 33 + std::ptrdiff_t(trns.size()));
    ASSERT_TRUE(ImageFile::Decode(png.data(), png.size(), &img, &type));
    EXPECT_EQ(img.format, D3DFMT_X8R8G8B8);
}

TEST(ImageFilter, ResizeAndMips)
{
    // A 4 x 2 image: left half black, right half white; shrunk to 2 x 1 it keeps the halves.
    std::vector<float> src(4 * 2 * 4, 0.0f);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 2; x < 4; ++x)
            for (int c = 0; c < 4; ++c)
                src[(y * 4 + x) * 4 + c] = 1.0f;
    std::vector<float> half = ImageFilter::Resize(src, 4, 2, 1, 2, 1, 1);
    ASSERT_EQ(half.size(), 8u);
    EXPECT_FLOAT_EQ(half[0], 0.0f);
    EXPECT_FLOAT_EQ(half[4], 1.0f);
    std::vector<float> one = ImageFilter::Resize(src, 4, 2, 1, 1, 1, 1);
    EXPECT_FLOAT_EQ(one[0], 0.5f);
    // Three to two texels: area weights 2/3 and 1/3.
    std::vector<float> three = {0, 0, 0, 0, 0.3f, 0.3f, 0.3f, 0.3f, 0.9f, 0.9f, 0.9f, 0.9f};
    std::vector<float> two = ImageFilter::Resize(three, 3, 1, 1, 2, 1, 1);
    EXPECT_NEAR(two[0], 0.1f, 1e-5f);
    EXPECT_NEAR(two[4], 0.7f, 1e-5f);
    // Enlarging interpolates.
    std::vector<float> big = ImageFilter::Resize(half, 2, 1, 1, 4, 1, 1);
    EXPECT_FLOAT_EQ(big[0], 0.0f);
    EXPECT_FLOAT_EQ(big[4], 0.25f);
    EXPECT_FLOAT_EQ(big[12], 1.0f);

    ImageData img = Make(ImageKind::Texture2D, D3DFMT_A8R8G8B8, 4, 2, 1, 1);
    ASSERT_TRUE(PixelCodec::FromRgba(img.format, src, &img.subs[0]));
    ImageData out;
    ASSERT_TRUE(ImageFilter::Rebuild(img, 8, 8, 1, D3DFMT_DXT5, 0, &out));
    EXPECT_EQ(out.levels, 4u);
    EXPECT_EQ(out.Sub(0, 3).width, 1u);
    std::vector<float> last;
    ASSERT_TRUE(PixelCodec::ToRgba(out.format, out.Sub(0, 3), &last));
    EXPECT_NEAR(last[0], 0.5f, 0.03f);
    EXPECT_NEAR(last[3], 0.5f, 0.03f);
    // Cube faces and volumes keep their kind and counts.
    ImageData cube = Make(ImageKind::Cube, D3DFMT_X8R8G8B8, 4, 4, 1, 1);
    ASSERT_TRUE(ImageFilter::Rebuild(cube, 2, 2, 1, D3DFMT_X8R8G8B8, 0, &out));
    EXPECT_EQ(out.faces, 6u);
    EXPECT_EQ(out.levels, 2u);
    ImageData vol = Make(ImageKind::Volume, D3DFMT_A8R8G8B8, 4, 4, 4, 1);
    ASSERT_TRUE(ImageFilter::Rebuild(vol, 4, 4, 2, D3DFMT_A8R8G8B8, 0, &out));
    EXPECT_EQ(out.depth, 2u);
    EXPECT_EQ(out.levels, 3u);
    EXPECT_EQ(out.Sub(0, 1).depth, 1u);
}

}  // namespace
