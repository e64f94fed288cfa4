// The mesh generator through its library interface, as the map builder calls it: each shape closed where it
// should be with its fronts outwards, placement, normals, sweeps and texture coordinates 1.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/foundation/WeFileSystem.h"
#include "Engine/render/WeMesh.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/content/ContentDevice.h"
#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentMeshGenerator.h"
#include "Tools/content/ContentMeshWriter.h"

#include "Tests/Tools/content/ContentMeshTestGeometry.h"

namespace
{

using namespace ContentMeshTest;

D3DXVECTOR3 FaceNormal(const ContentMeshGeometry& g, const ContentMeshFace& f)
{
    const D3DXVECTOR3& a = g.vertices[f.index[0]].position;
    D3DXVECTOR3 n = Cross(g.vertices[f.index[1]].position - a, g.vertices[f.index[2]].position - a);
    return n / std::sqrt(Dot(n, n));
}

ContentMeshGeometry Make(const ContentMeshPart& part)
{
    ContentMeshGeometry g;
    std::string error;
    EXPECT_TRUE(ContentMeshGenerator::AddPart(part, &g, &error)) << error;
    return g;
}

TEST(ContentWritersMeshGenerator, ClosedShapesEncloseTheirVolumeFacingOutwards)
{
    struct Case
    {
        const char* what;
        ContentMeshPart part;
        float volume;
        float tolerance;
    };
    auto shape = [](ContentMeshShape s, int a = 0, int b = 0)
    {
        ContentMeshPart p;
        p.shape = s;
        p.segments[0] = a;
        p.segments[1] = b;
        return p;
    };
    Case cases[] = {
        {"box", shape(ContentMeshShape::Box), 1.0f, 1e-5f},
        {"sphere", shape(ContentMeshShape::Sphere, 96, 48), 4.0f / 3.0f * Pi * 0.125f, 0.01f},
        {"cylinder", shape(ContentMeshShape::Cylinder, 128), Pi * 0.25f, 0.01f},
        {"cone", shape(ContentMeshShape::Cone, 128), Pi * 0.25f / 3.0f, 0.01f},
        {"torus", shape(ContentMeshShape::Torus, 96, 48), 2.0f * Pi * Pi * 0.5f * 0.0625f, 0.01f},
    };
    cases[0].part.size = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    for (Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        for (bool smooth : {false, true})
        {
            c.part.smooth = smooth;
            ContentMeshGeometry g = Make(c.part);
            EXPECT_NEAR(Volume(g), c.volume, c.volume * c.tolerance);
            // Vertex normals lean the way of their faces.
            for (const ContentMeshFace& f : g.faces)
                for (uint32_t i : f.index)
                    EXPECT_GT(Dot(g.vertices[i].normal, FaceNormal(g, f)), 0.0f);
        }
    }

    // Smooth spheres get about the radial normal (within the facets' 12 degrees); a smooth box keeps its edges (24 corners, not 8).
    ContentMeshPart sphere = shape(ContentMeshShape::Sphere);
    sphere.smooth = true;
    for (const ContentMeshVertex& v : Make(sphere).vertices)
    {
        D3DXVECTOR3 radial = v.position * 2.0f;
        EXPECT_NEAR(Dot(v.normal, radial), 1.0f, 0.03f);
    }
    ContentMeshPart box = shape(ContentMeshShape::Box);
    box.smooth = true;
    EXPECT_EQ(Make(box).vertices.size(), 24u);
}

TEST(ContentWritersMeshGenerator, PlacementScalesTurnsAndMovesKeepingFrontsOutwards)
{
    ContentMeshPart box;
    box.size = D3DXVECTOR3(1.0f, 2.0f, 4.0f);
    box.scale = D3DXVECTOR3(-2.0f, 1.0f, 1.0f);  // mirrored
    box.rotation = D3DXVECTOR3(90.0f, 0.0f, 0.0f);
    box.position = D3DXVECTOR3(10.0f, 0.0f, 0.0f);
    ContentMeshGeometry g = Make(box);
    EXPECT_GT(Volume(g), 0.0f);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const ContentMeshVertex& v : g.vertices)
        for (int k = 0; k < 3; ++k)
        {
            lo[k] = std::fmin(lo[k], (&v.position.x)[k]);
            hi[k] = std::fmax(hi[k], (&v.position.x)[k]);
        }
    // 2 x 2 x 4 after scaling; a quarter turn about y swaps x and z; then 10 along x.
    EXPECT_NEAR(lo[0], 8.0f, 1e-4f);
    EXPECT_NEAR(hi[0], 12.0f, 1e-4f);
    EXPECT_NEAR(hi[1], 1.0f, 1e-4f);
    EXPECT_NEAR(hi[2], 1.0f, 1e-4f);
    EXPECT_NEAR(Volume(g), 16.0f, 1e-3f);
}

TEST(ContentWritersMeshGenerator, SweepsFollowThePathWithRollAndClosure)
{
    // A road from -x to +x along +z: faces up, u across in units, v along in units.
    ContentMeshPart road;
    road.shape = ContentMeshShape::Sweep;
    road.profile = {{-1.0f, 0.0f}, {1.0f, 0.0f}};
    road.path = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 4.0f}, {0.0f, 0.0f, 10.0f}};
    ContentMeshGeometry g = Make(road);
    EXPECT_EQ(g.faces.size(), 4u);
    float maxV = 0.0f, maxU = 0.0f;
    for (const ContentMeshVertex& v : g.vertices)
    {
        EXPECT_NEAR(v.normal.y, 1.0f, 1e-5f);
        maxV = std::fmax(maxV, v.uv0.y);
        maxU = std::fmax(maxU, v.uv0.x);
    }
    EXPECT_FLOAT_EQ(maxV, 10.0f);
    EXPECT_FLOAT_EQ(maxU, 2.0f);

    // Banked 90 degrees: the right side raised, the surface faces -x.
    road.roll = {90.0f};
    for (const ContentMeshVertex& v : Make(road).vertices)
        EXPECT_NEAR(v.normal.x, -1.0f, 1e-5f);
    road.roll = {0.0f, 30.0f};
    std::string error;
    ContentMeshGeometry unused;
    EXPECT_FALSE(ContentMeshGenerator::AddPart(road, &unused, &error));
    EXPECT_NE(error.find("roll takes one value or one per path point"), std::string::npos) << error;

    // A closed square loop: four segments, the seam meeting the start, every face up.
    road.roll.clear();
    road.closed = true;
    road.path = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 10.0f}, {10.0f, 0.0f, 10.0f}, {10.0f, 0.0f, 0.0f}};
    g = Make(road);
    EXPECT_EQ(g.faces.size(), 8u);
    for (const ContentMeshFace& f : g.faces)
        EXPECT_NEAR(FaceNormal(g, f).y, 1.0f, 1e-4f);

    // A clockwise closed profile makes a tube facing outwards, open at both ends.
    ContentMeshPart tube;
    tube.shape = ContentMeshShape::Sweep;
    tube.profile = {{0.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {-1.0f, 0.0f}};
    tube.profileClosed = true;
    tube.path = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 5.0f}};
    g = Make(tube);
    EXPECT_EQ(g.faces.size(), 8u);
    for (const ContentMeshFace& f : g.faces)
    {
        const D3DXVECTOR3& a = g.vertices[f.index[0]].position;
        EXPECT_GT(Dot(FaceNormal(g, f), D3DXVECTOR3(a.x, a.y, 0.0f)), 0.0f);
    }
}

TEST(ContentWritersMeshGenerator, PolygonsFanAndTextureCoordinates1FollowTheMode)
{
    ContentMeshPart quad;
    quad.shape = ContentMeshShape::Polygons;
    quad.points = {{0, 0, 0}, {0, 0, 2}, {4, 0, 2}, {4, 0, 0}};
    quad.pointUvs = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    quad.faces = {{0, 1, 2, 3}};
    quad.uvScale = D3DXVECTOR2(2.0f, 3.0f);
    ContentMeshDescription d;
    d.parts = {quad};
    d.uv1 = ContentUv1Mode::Planar;
    ContentMeshGeometry g;
    std::string error;
    ASSERT_TRUE(ContentMeshGenerator::Generate(d, &g, &error)) << error;
    ASSERT_EQ(g.faces.size(), 2u);
    ASSERT_EQ(g.vertices.size(), 4u);
    for (const ContentMeshVertex& v : g.vertices)
    {
        EXPECT_NEAR(v.normal.y, 1.0f, 1e-6f);
        // Planar: x over 0..4, z from the far edge.
        EXPECT_FLOAT_EQ(v.uv1.x, v.position.x / 4.0f);
        EXPECT_FLOAT_EQ(v.uv1.y, 1.0f - v.position.z / 2.0f);
    }
    EXPECT_FLOAT_EQ(g.vertices[0].uv0.y, 3.0f);

    // Boxed: each side of a box projects along its own axis into 0..1.
    ContentMeshPart box;
    d.parts = {box};
    d.uv1 = ContentUv1Mode::Boxed;
    ASSERT_TRUE(ContentMeshGenerator::Generate(d, &g, &error)) << error;
    for (const ContentMeshVertex& v : g.vertices)
    {
        EXPECT_TRUE(v.uv1.x == 0.0f || v.uv1.x == 1.0f);
        EXPECT_TRUE(v.uv1.y == 0.0f || v.uv1.y == 1.0f);
    }
    d.uv1 = ContentUv1Mode::SameAsUv0;
    ASSERT_TRUE(ContentMeshGenerator::Generate(d, &g, &error)) << error;
    for (const ContentMeshVertex& v : g.vertices)
        EXPECT_EQ(v.uv1, v.uv0);

    d.parts.clear();
    EXPECT_FALSE(ContentMeshGenerator::Generate(d, &g, &error));
}

// As the map builder writes a track section: generated in memory, written through a recording device.
TEST(ContentWritersMeshGenerator, WrittenGeometryLoadsWithSortedContiguousSubsets)
{
    ContentDevice device;
    ASSERT_TRUE(device.Open());
    // Faces of subsets 5 and 2 interleaved, as a caller may hand them over.
    ContentMeshGeometry g;
    for (int i = 0; i < 4; ++i)
    {
        ContentMeshVertex v;
        v.position = D3DXVECTOR3(float(i & 1), 0.0f, float(i >> 1));
        v.uv0 = D3DXVECTOR2(float(i & 1), float(i >> 1));
        g.vertices.push_back(v);
    }
    g.faces = {{{0, 2, 1}, 5}, {{1, 2, 3}, 2}, {{0, 2, 3}, 5}};
    ContentMeshDescription d;
    d.property7 = 9;
    d.subsets.resize(2);
    d.subsets[0].id = 2;
    d.subsets[0].materials[0] = "Materials.Two";
    d.subsets[1].id = 5;
    d.subsets[1].materials[0] = "Materials.Five";
    d.subsets[1].materials[3] = "Materials.FiveOther";

    ScratchFolder scratch;
    WeFileSystem tree;
    tree.SetRoot(scratch.Path("Packages").c_str());
    ASSERT_TRUE(tree.Create("Track.Meshes.Section", WeMesh::FileType, true));
    std::string error;
    EXPECT_TRUE(ContentMeshWriter::WriteFile(*tree.GetStream(), d, g, &error)) << error;
    ASSERT_TRUE(tree.EndCreate());
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Track.Meshes.Section", true));
    ASSERT_EQ(mesh.m_SubsetCount, 2);
    EXPECT_EQ(mesh.m_AttributeTable[0].AttribId, 2u);
    EXPECT_EQ(mesh.m_AttributeTable[0].FaceCount, 1u);
    EXPECT_EQ(mesh.m_AttributeTable[0].VertexCount, 3u);
    EXPECT_EQ(mesh.m_AttributeTable[1].AttribId, 5u);
    EXPECT_EQ(mesh.m_AttributeTable[1].FaceStart, 1u);
    EXPECT_EQ(mesh.m_AttributeTable[1].VertexStart, 3u);
    EXPECT_EQ(mesh.m_AttributeTable[1].VertexCount, 4u);
    EXPECT_EQ(mesh.GetVertexCount(), 7);  // vertices 1 to 3 serve both subsets: each run has its own copy
    EXPECT_EQ(mesh.m_Property7, 9);
    EXPECT_EQ(mesh.m_Presets[3].names[0], WeString("Materials.Two"));
    EXPECT_EQ(mesh.m_Presets[3].names[1], WeString("Materials.FiveOther"));
    EXPECT_EQ(mesh.m_Presets[4].names[1], WeString("Materials.Five"));

    // A subset without materials, and geometry past the file's limits, are refused with nothing written.
    d.subsets.pop_back();
    WeFileStream sink;
    ASSERT_TRUE(sink.Create(scratch.Path("sink.bin").c_str()));
    EXPECT_FALSE(ContentMeshWriter::WriteFile(sink, d, g, &error));
    EXPECT_EQ(error, "subset 5 has faces but no materials ([Subset 5])");
    ContentMeshGeometry big;
    big.vertices.resize(60000);
    for (uint32_t i = 0; i < 20000; ++i)
        big.faces.push_back({{i, i + 20000, i + 40000}, 0});
    d.subsets.resize(1);
    d.subsets[0].id = 0;
    EXPECT_FALSE(ContentMeshWriter::WriteFile(sink, d, big, &error));
    EXPECT_NE(error.find("60000 vertices and 20000 faces"), std::string::npos) << error;
    EXPECT_EQ(sink.Tell(), 0);
    sink.Close();
}

TEST(ContentWritersIniReader, LinesSectionsAndPairs)
{
    ContentIniReader reader("A.ini", "; comment\n\n[One]\nkey=value=more\nempty=\n[Two words]\n");
    ContentIniLine line;
    ASSERT_TRUE(reader.Next(&line));
    EXPECT_TRUE(line.isSection);
    EXPECT_EQ(line.section, "One");
    EXPECT_EQ(line.number, 3);
    ASSERT_TRUE(reader.Next(&line));
    EXPECT_EQ(line.section, "One");
    EXPECT_EQ(line.key, "key");
    EXPECT_EQ(line.value, "value=more");
    ASSERT_TRUE(reader.Next(&line));
    EXPECT_EQ(line.value, "");
    ASSERT_TRUE(reader.Next(&line));
    EXPECT_EQ(line.section, "Two words");
    EXPECT_FALSE(reader.Next(&line));
    EXPECT_FALSE(reader.Failed());

    struct Case
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"[A]\r\n", "A.ini:1: CR LF line end"},
        {"[A]\nk =v\n", "A.ini:2: blank around '='"},
        {"[A]\nk= v\n", "A.ini:2: blank around '='"},
        {"[A]\n=v\n", "A.ini:2: expected key=value"},
        {"[A]\n\nnothing\n", "A.ini:3: expected key=value"},
        {"[A\n", "A.ini:1: unknown section [A"},
    };
    for (const Case& c : cases)
    {
        ContentIniReader bad("A.ini", c.text);
        while (bad.Next(&line))
        {
        }
        EXPECT_TRUE(bad.Failed()) << c.text;
        EXPECT_EQ(bad.Error().Text(), c.error);
    }
}

}  // namespace
