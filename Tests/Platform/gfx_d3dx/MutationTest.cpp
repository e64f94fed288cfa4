// Readers fed damaged copies of good files: they may refuse them, but never read or write out of bounds
// (the sanitizer build checks that).
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <fstream>
#include <sstream>

#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/FxEffect.h"
#include "Platform/gfx_d3dx/FxPool.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Platform/system/SysRandom.h"

namespace
{

void Append(void* context, void* data, int size)
{
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// Flips a few bytes and sometimes cuts the tail. The copy is allocated at its cut size, so that a read past
// the cut lands outside the allocation where the sanitizer sees it (a shrunk vector keeps its capacity).
std::vector<uint8_t> Damage(const std::vector<uint8_t>& good)
{
    std::vector<uint8_t> bad = good;
    int flips = 1 + SysRandom::Scaled(4);
    for (int i = 0; i < flips; ++i)
        bad[size_t(SysRandom::Scaled(int32_t(bad.size())))] = uint8_t(SysRandom::Scaled(256));
    size_t size = bad.size();
    if (SysRandom::Scaled(4) == 0)
        size = size_t(SysRandom::Scaled(int32_t(bad.size())));
    return std::vector<uint8_t>(bad.begin(), bad.begin() + std::ptrdiff_t(size));
}

TEST(Mutation, ImageReadersSurviveDamagedFiles)
{
    SysRandom::Seed(1234);
    std::vector<std::vector<uint8_t>> files;
    ImageData cube;
    cube.kind = ImageKind::Cube;
    cube.format = D3DFMT_DXT5;
    cube.width = cube.height = 8;
    cube.faces = 6;
    cube.levels = 4;
    ASSERT_TRUE(cube.Layout());
    files.emplace_back();
    ASSERT_TRUE(DdsFile::Write(cube, &files.back()));
    uint8_t rgba[8 * 8 * 4];
    for (int i = 0; i < 256; ++i)
        rgba[i] = uint8_t(i * 7);
    for (int kind = 0; kind < 4; ++kind)
    {
        files.emplace_back();
        std::vector<uint8_t>& f = files.back();
        if (kind == 0)
            stbi_write_png_to_func(Append, &f, 8, 8, 4, rgba, 32);
        if (kind == 1)
            stbi_write_tga_to_func(Append, &f, 8, 8, 4, rgba);
        if (kind == 2)
            stbi_write_bmp_to_func(Append, &f, 8, 8, 3, rgba);
        if (kind == 3)
            stbi_write_jpg_to_func(Append, &f, 8, 8, 3, rgba, 80);
        ASSERT_FALSE(f.empty());
    }
    int decoded = 0;
    for (const auto& good : files)
        for (int round = 0; round < 300; ++round)
        {
            std::vector<uint8_t> bad = Damage(good);
            ImageData img;
            ImageFileType type;
            if (ImageFile::Decode(bad.data(), bad.size(), &img, &type))
            {
                ++decoded;
                size_t expected = 0;
                for (const ImageLevel& s : img.subs)
                    expected += s.bytes.size();
                EXPECT_GT(expected, 0u);
            }
        }
    EXPECT_GT(decoded, 0);
}

TEST(Mutation, EffectParserSurvivesDamagedTexts)
{
    SysRandom::Seed(99);
    std::ifstream in(std::string(WE_FIXTURES_DIR) + "/Effects/SharedColor.fx", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::vector<uint8_t> good(text.begin(), text.end());
    for (int round = 0; round < 500; ++round)
    {
        std::vector<uint8_t> bad = Damage(good);
        FxPool pool;
        FxEffect fx;
        std::string error;
        std::string_view damaged(reinterpret_cast<const char*>(bad.data()), bad.size());
        if (!fx.Create(damaged, &pool, nullptr, "x", &error))
        {
            EXPECT_FALSE(error.empty());
        }
    }
}

}  // namespace
