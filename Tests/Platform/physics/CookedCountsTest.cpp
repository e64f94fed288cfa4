#include <vector>

#include "PhysicsTestScene.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxCookedFormat.h"

namespace
{

// Twelve bytes that claim 2^24 points and 2^24 triangles: read on trust they would allocate 400 MB.
NxMemoryStream TwelveByteMesh(NxU32 tag)
{
    NxMemoryStream s;
    s.storeDword(tag).storeDword(1u << 24).storeDword(1u << 24);
    return s;
}

// A flat grid of n x n points, two triangles a cell: more points and triangles than a block holds.
void Grid(NxU32 n, std::vector<float>* points, std::vector<NxU32>* tris)
{
    for (NxU32 z = 0; z < n; ++z)
        for (NxU32 x = 0; x < n; ++x)
            points->insert(points->end(), {float(x), 0.0f, float(z)});
    for (NxU32 z = 0; z + 1 < n; ++z)
        for (NxU32 x = 0; x + 1 < n; ++x)
        {
            const NxU32 a = z * n + x;
            tris->insert(tris->end(), {a, a + n, a + 1, a + 1, a + n, a + n + 1});
        }
}

}  // namespace

TEST_F(PhysicsTest, CountsThatOutrunTheBytesCostOneBlockAtMost)
{
    const size_t oneBlock = 12 + 4 + NxCookedFormat::BlockCount * 12;
    NxMemoryStream mesh = TwelveByteMesh(NxCookedFormat::TriangleMeshTag);
    EXPECT_EQ(sdk->createTriangleMesh(mesh), nullptr);
    EXPECT_LE(mesh.cursor(), oneBlock);
    NxMemoryStream cloth = TwelveByteMesh(NxCookedFormat::ClothMeshTag);
    EXPECT_EQ(sdk->createClothMesh(cloth), nullptr);
    EXPECT_LE(cloth.cursor(), oneBlock);
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 0u);
    EXPECT_EQ(sdk->getNbClothMeshes(), 0u);
}

TEST_F(PhysicsTest, MeshesLargerThanABlockRoundTripAndRefuseEveryCutAtABlock)
{
    std::vector<float> points;
    std::vector<NxU32> tris;
    Grid(80, &points, &tris);  // 6,400 points, 12,482 triangles
    NxTriangleMeshDesc d;
    d.numVertices = NxU32(points.size() / 3);
    d.numTriangles = NxU32(tris.size() / 3);
    d.pointStrideBytes = 12;
    d.triangleStrideBytes = 12;
    d.points = points.data();
    d.triangles = tris.data();
    NxMemoryStream full;
    ASSERT_TRUE(NxCookTriangleMesh(d, full));
    NxMemoryStream read = full;
    NxTriangleMesh* mesh = sdk->createTriangleMesh(read);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->getNbVertices(), d.numVertices);
    ASSERT_EQ(mesh->getNbTriangles(), d.numTriangles);
    EXPECT_EQ(mesh->getTriangles()[3 * 5000 + 2], tris[3 * 5000 + 2]);
    EXPECT_EQ(mesh->getVertices()[6399].z, 79.0f);
    sdk->releaseTriangleMesh(*mesh);

    // Cut just before and just after each block marker.
    const size_t pointBlock = 12 + NxCookedFormat::BlockCount * 12;
    const size_t pointsEnd = pointBlock + 4 + (d.numVertices - NxCookedFormat::BlockCount) * 12;
    for (const size_t n : {pointBlock, pointBlock + 4, pointsEnd + NxCookedFormat::BlockCount * 12,
                           pointsEnd + NxCookedFormat::BlockCount * 12 + 4, full.bytes().size() - 4})
    {
        NxMemoryStream cut;
        cut.bytes().assign(full.bytes().begin(), full.bytes().begin() + std::ptrdiff_t(n));
        EXPECT_EQ(sdk->createTriangleMesh(cut), nullptr) << n;
    }
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 0u);
}
