// The portraits of the reference pages: a mesh description drawn over the night background, fitted to the
// picture, the same pixels every time, the near face over the far one, a clear error for a missing mesh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Tests/support/ScratchFolder.h"
#include "Tools/content/ContentPortrait.h"

namespace
{
constexpr uint32_t Night = 0xFF0B1020u;

class ContentPortraitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::filesystem::path folder = m_Scratch.Root() / "Models" / "Shapes";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Block.msh") << "[Mesh]\n[Part Block]\nshape=box\nsize=2,1,4\nnormals=flat\nsubset=0\n"
                                               "[Subset 0]\nmaterial=Any.Thing.Here\n";
    }
    std::string Assets() const { return m_Scratch.Root().string(); }

    ScratchFolder m_Scratch;
};
}  // namespace

TEST_F(ContentPortraitTest, TheMeshFillsTheMiddleOverTheNightAndRepeatsItself)
{
    std::vector<uint32_t> first, second;
    std::string error;
    ASSERT_TRUE(ContentPortrait::Paint(Assets(), "Models.Shapes.Block", 30.0f, 20.0f, 64, 48, &first, &error)) << error;
    ASSERT_TRUE(ContentPortrait::Paint(Assets(), "Models.Shapes.Block", 30.0f, 20.0f, 64, 48, &second, &error));
    ASSERT_EQ(first.size(), 64u * 48u);
    EXPECT_EQ(first, second);
    // The corners keep the background; the centre is the block, lit or rimmed, never the background.
    for (size_t at : {size_t(0), size_t(63), size_t(47 * 64), size_t(47 * 64 + 63)})
        EXPECT_EQ(first[at], Night) << at;
    EXPECT_NE(first[24 * 64 + 32], Night);
    // Fitted to the picture: the block covers a good part of it.
    int covered = 0;
    for (uint32_t p : first)
        covered += p != Night ? 1 : 0;
    EXPECT_GT(covered, 64 * 48 / 5);
    // Another view is another picture.
    std::vector<uint32_t> side;
    ASSERT_TRUE(ContentPortrait::Paint(Assets(), "Models.Shapes.Block", 90.0f, 0.0f, 64, 48, &side, &error));
    EXPECT_NE(side, first);
}

TEST_F(ContentPortraitTest, AMissingMeshIsAnError)
{
    std::vector<uint32_t> pixels;
    std::string error;
    EXPECT_FALSE(ContentPortrait::Paint(Assets(), "Models.Shapes.Nothing", 0.0f, 0.0f, 16, 16, &pixels, &error));
    EXPECT_NE(error.find("Nothing.msh"), std::string::npos) << error;
}
