// Lofted parts and copied parts of mesh descriptions: closed surfaces facing outwards, point tips, the
// superellipse exponent, copies with their own placement, and each refusal.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/content/ContentMeshGenerator.h"
#include "Tools/content/ContentMeshWriter.h"

#include "Tests/Tools/content/ContentMeshTestGeometry.h"

namespace
{

using namespace ContentMeshTest;

// Every edge, by the positions of its ends, is used once in each direction: the surface is closed.
bool Closed(const ContentMeshGeometry& g)
{
    using Key = std::pair<std::tuple<float, float, float>, std::tuple<float, float, float>>;
    std::map<Key, int> edges;
    auto key = [&](uint32_t a, uint32_t b)
    {
        const D3DXVECTOR3& p = g.vertices[a].position;
        const D3DXVECTOR3& q = g.vertices[b].position;
        return Key{{p.x + 0.0f, p.y + 0.0f, p.z + 0.0f}, {q.x + 0.0f, q.y + 0.0f, q.z + 0.0f}};
    };
    for (const ContentMeshFace& f : g.faces)
        for (int i = 0; i < 3; ++i)
            ++edges[key(f.index[i], f.index[(i + 1) % 3])];
    for (const auto& [edge, count] : edges)
    {
        const Key back{edge.second, edge.first};
        auto other = edges.find(back);
        if (count != 1 || other == edges.end() || other->second != 1)
            return false;
    }
    return true;
}

ContentMeshPart Loft(std::vector<ContentLoftSection> sections, int segments)
{
    ContentMeshPart part;
    part.shape = ContentMeshShape::Loft;
    part.sections = std::move(sections);
    part.segments[0] = segments;
    return part;
}

ContentMeshGeometry Make(const ContentMeshPart& part)
{
    ContentMeshGeometry g;
    std::string error;
    EXPECT_TRUE(ContentMeshGenerator::AddPart(part, &g, &error)) << error;
    return g;
}

TEST(ContentMeshLoft, TwoSectionsMakeACappedClosedTube)
{
    const int n = 64;
    const ContentMeshGeometry g = Make(Loft({{-2.0f, 1.0f, 0.5f, 0.25f, 2.0f}, {2.0f, 1.0f, 0.5f, 0.25f, 2.0f}}, n));
    // Each side quad is flat (four corners), each cap a fan of the ring round its centre.
    EXPECT_EQ(g.vertices.size(), size_t(4 * n + 2 * (n + 1)));
    EXPECT_EQ(g.faces.size(), size_t(2 * n + 2 * n));
    EXPECT_TRUE(Closed(g));
    EXPECT_NEAR(Volume(g), Pi * 1.0f * 0.5f * 4.0f, 0.01f * Pi * 2.0f);
    for (const ContentMeshVertex& v : g.vertices)
    {
        EXPECT_NEAR(v.position.z * v.position.z, 4.0f, 1e-4f);
        EXPECT_GE(v.position.y, -0.25f - 1e-4f);
        EXPECT_LE(v.position.y, 0.75f + 1e-4f);
    }
}

TEST(ContentMeshLoft, PointTipsAndExponents)
{
    // A point at the nose: a cone of a third of the tube's volume, still closed and facing outwards.
    const ContentMeshGeometry cone = Make(Loft({{0.0f, 1.0f, 1.0f, 0.0f, 2.0f}, {3.0f, 0.0f, 0.0f, 0.0f, 2.0f}}, 128));
    EXPECT_TRUE(Closed(cone));
    EXPECT_NEAR(Volume(cone), Pi * 3.0f / 3.0f, 0.01f * Pi);
    // Points at both ends of a three-section spindle.
    const ContentMeshGeometry spindle = Make(
        Loft({{-1.0f, 0.0f, 0.0f, 0.0f, 2.0f}, {0.0f, 1.0f, 1.0f, 0.0f, 2.0f}, {1.0f, 0.0f, 0.0f, 0.0f, 2.0f}}, 64));
    EXPECT_TRUE(Closed(spindle));
    EXPECT_GT(Volume(spindle), 0.0f);

    // The exponent squares the ring: from the ellipse's area towards the box's.
    float last = 0.0f;
    for (float exponent : {2.0f, 4.0f, 12.0f})
    {
        const float v =
            Volume(Make(Loft({{0.0f, 1.0f, 1.0f, 0.0f, exponent}, {1.0f, 1.0f, 1.0f, 0.0f, exponent}}, 256)));
        EXPECT_GT(v, last) << exponent;
        EXPECT_LT(v, 4.0f) << exponent;
        last = v;
    }
    EXPECT_NEAR(last, 4.0f, 0.2f);
}

TEST(ContentMeshLoft, CopiesTakeTheOtherPartWithTheirOwnPlacement)
{
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("Assets/Craft/Models"));
    scratch.Write("Assets/Craft/Models/Hull.msh", "[Part Body]\nshape=loft\nsections=-2,1,1,0,2;2,1,1,0,2\n"
                                                  "segments=12\nposition=0,5,0\nsubset=3\n");
    scratch.Write("Assets/Craft/Models/Shell.msh",
                  "[Part Glow]\ncopy=Craft.Models.Hull:Body\nscale=1.12\nposition=0,0,1\nsubset=1\n");
    ContentMeshDescription d;
    ContentError error;
    const std::string shell = scratch.Path("Assets/Craft/Models/Shell.msh");
    ASSERT_TRUE(ContentMeshWriter::Parse(shell, ScratchFolder::Read(shell), &d, &error)) << error.Text();
    ASSERT_TRUE(ContentMeshWriter::ResolveCopies(shell, scratch.Path("Assets"), &d, &error)) << error.Text();
    ASSERT_EQ(d.parts.size(), 1u);
    const ContentMeshPart& p = d.parts[0];
    EXPECT_EQ(p.name, "Glow");
    EXPECT_EQ(p.shape, ContentMeshShape::Loft);
    EXPECT_EQ(p.sections.size(), 2u);
    EXPECT_EQ(p.segments[0], 12);
    EXPECT_EQ(p.position, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(p.scale, D3DXVECTOR3(1.12f, 1.12f, 1.12f));
    EXPECT_EQ(p.subset, 1);
    // Placed: the copy reaches 1.12 times as far as the hull's half length, moved forward by 1.
    float maxZ = -100.0f;
    for (const ContentMeshVertex& v : Make(p).vertices)
        maxZ = std::fmax(maxZ, v.position.z);
    EXPECT_NEAR(maxZ, 2.0f * 1.12f + 1.0f, 1e-4f);
}

TEST(ContentMeshLoft, RefusalsNameTheLineAndTheReason)
{
    struct Case
    {
        const char* text;
        const char* reason;
    };
    const Case shapes[] = {
        {"[Part A]\nshape=loft\nsections=0,1,1,0,2\n", "a loft needs 2 sections or more"},
        {"[Part A]\nshape=loft\nsections=1,1,1,0,2;0,1,1,0,2\n", "sections must rise in z (section 1)"},
        {"[Part A]\nshape=loft\nsections=0,1,0,0,2;1,1,1,0,2\n",
         "section 0: a point has width and height 0, a ring neither"},
        {"[Part A]\nshape=loft\nsections=0,1,1,0,0;1,1,1,0,2\n",
         "section 0: sizes must be 0 or more and the exponent above 0"},
    };
    for (const Case& c : shapes)
    {
        ContentMeshDescription d;
        ContentError error;
        ASSERT_TRUE(ContentMeshWriter::Parse("a.msh", c.text, &d, &error)) << error.Text();
        ContentMeshGeometry g;
        std::string reason;
        EXPECT_FALSE(ContentMeshGenerator::AddPart(d.parts[0], &g, &reason));
        EXPECT_EQ(reason, std::string("part A: ") + c.reason);
    }
    ContentMeshDescription d;
    ContentError error;
    EXPECT_FALSE(ContentMeshWriter::Parse("a.msh", "[Part A]\nshape=loft\nsections=0,1,1,0\n", &d, &error));
    EXPECT_EQ(error.Text(), "a.msh:3: sections must be z,halfWidth,halfHeight,y,exponent;...");
    d = ContentMeshDescription();
    EXPECT_FALSE(ContentMeshWriter::Parse("a.msh", "[Part A]\ncopy=Hull:Body\n", &d, &error));
    EXPECT_EQ(error.Text(), "a.msh:2: copy must be <Package.Folder.Mesh>:<part>");

    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("Assets/Craft/Models"));
    scratch.Write("Assets/Craft/Models/Hull.msh", "[Part Body]\nshape=box\n[Part Echo]\ncopy=Craft.Models.Other:X\n");
    const Case copies[] = {
        {"[Part A]\ncopy=Craft.Models.Missing:Body\n", "copy: no readable mesh description Craft.Models.Missing"},
        {"[Part A]\ncopy=Craft.Models.Hull:Nose\n", "copy: Craft.Models.Hull has no part Nose"},
        {"[Part A]\ncopy=Craft.Models.Hull:Echo\n", "copy: Craft.Models.Hull:Echo is itself a copy"},
    };
    for (const Case& c : copies)
    {
        ContentMeshDescription copy;
        ASSERT_TRUE(ContentMeshWriter::Parse("b.msh", c.text, &copy, &error)) << error.Text();
        EXPECT_FALSE(ContentMeshWriter::ResolveCopies("b.msh", scratch.Path("Assets"), &copy, &error));
        EXPECT_EQ(error.Text(), std::string("b.msh:1: ") + c.reason);
    }
}

}  // namespace
