#include <cmath>
#include <cstring>

#include "PhysicsTestScene.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxCookedFormat.h"

namespace
{

const float Points[] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0.5f, 1, 0.5f};

template <typename Index>
NxTriangleMeshDesc pyramid(const Index* tris, NxU32 flags)
{
    NxTriangleMeshDesc d;
    d.numVertices = 5;
    d.numTriangles = 4;
    d.pointStrideBytes = 12;
    d.triangleStrideBytes = 3 * sizeof(Index);
    d.points = Points;
    d.triangles = tris;
    d.flags = flags;
    return d;
}

}  // namespace

TEST_F(PhysicsTest, CookedTriangleMeshesRoundTripWithBothIndexSizes)
{
    const NxU16 t16[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    const NxU32 t32[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    const NxTriangleMeshDesc descs[] = {pyramid(t16, NX_MF_16_BIT_INDICES | NX_MF_HARDWARE_MESH), pyramid(t32, 0)};
    for (const NxTriangleMeshDesc& d : descs)
    {
        ASSERT_TRUE(NxInitCooking());
        NxCookingParams params;
        params.skinWidth = 0.3f;
        NxSetCookingParams(params);
        NxMemoryStream stream;
        ASSERT_TRUE(NxCookTriangleMesh(d, stream));
        NxCloseCooking();
        NxTriangleMesh* mesh = sdk->createTriangleMesh(stream);
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->getNbVertices(), 5u);
        ASSERT_EQ(mesh->getNbTriangles(), 4u);
        EXPECT_EQ(mesh->getVertices()[4], NxVec3(0.5f, 1, 0.5f));
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(mesh->getTriangles()[i], t32[i]);
    }
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 2u);
    EXPECT_FLOAT_EQ(NxGetCookingParams().skinWidth, 0.3f);
}

TEST_F(PhysicsTest, ThirtyTwoBitTrianglesUnderTheSixteenBitFlagAreReadByTheirStride)
{
    // The engine cooks every mesh with flags 6; a 32-bit mesh shows itself only by its 12-byte stride.
    const NxU32 t32[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    NxMemoryStream stream;
    ASSERT_TRUE(NxCookTriangleMesh(pyramid(t32, NX_MF_16_BIT_INDICES | NX_MF_HARDWARE_MESH), stream));
    NxTriangleMesh* mesh = sdk->createTriangleMesh(stream);
    ASSERT_NE(mesh, nullptr);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(mesh->getTriangles()[i], t32[i]) << i;
    // A padded 16-bit mesh with the same stride still reads as 16-bit.
    const NxU16 padded[] = {0, 4, 1, 0, 0, 0, 1, 4, 2, 0, 0, 0, 2, 4, 3, 0, 0, 0, 3, 4, 0, 0, 0, 0};
    NxTriangleMeshDesc d = pyramid(padded, NX_MF_16_BIT_INDICES);
    d.triangleStrideBytes = 12;
    NxMemoryStream s2;
    ASSERT_TRUE(NxCookTriangleMesh(d, s2));
    mesh = sdk->createTriangleMesh(s2);
    ASSERT_NE(mesh, nullptr);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(mesh->getTriangles()[i], t32[i]) << i;
}

TEST_F(PhysicsTest, CookingRefusesBadGeometryAndLoadingRefusesForeignBytes)
{
    const NxU16 outOfRange[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 5};
    NxMemoryStream s1;
    EXPECT_FALSE(NxCookTriangleMesh(pyramid(outOfRange, NX_MF_16_BIT_INDICES), s1));
    EXPECT_TRUE(s1.bytes().empty());
    NxTriangleMeshDesc empty;
    NxMemoryStream s2;
    EXPECT_FALSE(NxCookTriangleMesh(empty, s2));

    NxMemoryStream foreign;
    foreign.storeDword(0x12345678).storeDword(5).storeDword(4);
    EXPECT_EQ(sdk->createTriangleMesh(foreign), nullptr);
    NxMemoryStream huge;
    huge.storeDword(NxCookedFormat::TriangleMeshTag).storeDword(0xFFFFFFFF).storeDword(1);
    EXPECT_EQ(sdk->createTriangleMesh(huge), nullptr);
    // A stream cut short reads zeros as indices past the end; index checks keep that from mattering,
    // and a cut inside the counts fails outright.
    NxMemoryStream cut;
    cut.storeDword(NxCookedFormat::TriangleMeshTag).storeDword(3);
    EXPECT_EQ(sdk->createTriangleMesh(cut), nullptr);
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 0u);
}

TEST_F(PhysicsTest, ClothCookingWeldsCloseVertices)
{
    // Two triangles with their shared edge duplicated, as a render mesh with split normals has it.
    const float pts[] = {0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 1.0005f};
    const NxU32 tris[] = {0, 2, 1, 3, 5, 4};
    NxClothMeshDesc d;
    d.numVertices = 6;
    d.numTriangles = 2;
    d.pointStrideBytes = 12;
    d.triangleStrideBytes = 12;
    d.points = pts;
    d.triangles = tris;
    d.flags = NX_CLOTH_MESH_WELD_VERTICES;
    d.vertexMassStrideBytes = d.vertexFlagStrideBytes = 4;
    d.weldingDistance = 0.001f;
    NxCookingInterface* cooking = NxGetCookingLib(NX_PHYSICS_SDK_VERSION);
    ASSERT_TRUE(cooking->NxInitCooking());
    NxMemoryStream stream;
    ASSERT_TRUE(cooking->NxCookClothMesh(d, stream));
    cooking->NxCloseCooking();
    NxClothMesh* mesh = sdk->createClothMesh(stream);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->getNbVertices(), 4u);
    EXPECT_EQ(mesh->getNbTriangles(), 2u);
    sdk->releaseClothMesh(*mesh);
    EXPECT_EQ(sdk->getNbClothMeshes(), 0u);
}

TEST_F(PhysicsTest, MeshesAndSkeletonsLiveWhileShapesUseThem)
{
    NxTriangleMesh* mesh = groundMesh();
    ASSERT_NE(mesh, nullptr);
    NxActor* ground = meshActor(mesh);
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(mesh->getReferenceCount(), 1u);
    sdk->releaseTriangleMesh(*mesh);
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 1u);  // still in use by the ground
    EXPECT_EQ(ground->getShapes()[0]->getTriangleMesh(), mesh);
}

TEST_F(PhysicsTest, PointsThatAreNotFiniteAreRefusedByCookingAndLoading)
{
    // One such point spoils the bounds of the whole mesh: it would collide with nothing.
    const NxU16 tris[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    for (const float bad : {NAN, INFINITY, -INFINITY})
    {
        float pts[15];
        std::memcpy(pts, Points, sizeof pts);
        pts[7] = bad;
        NxTriangleMeshDesc d = pyramid(tris, NX_MF_16_BIT_INDICES);
        d.points = pts;
        NxMemoryStream cooked;
        EXPECT_FALSE(NxCookTriangleMesh(d, cooked)) << bad;
        NxClothMeshDesc cd;
        static_cast<NxSimpleTriangleMesh&>(cd) = d;
        NxMemoryStream cookedCloth;
        EXPECT_FALSE(NxCookClothMesh(cd, cookedCloth)) << bad;

        // The same geometry written straight into the cooked format.
        for (const NxU32 tag : {NxCookedFormat::TriangleMeshTag, NxCookedFormat::ClothMeshTag})
        {
            NxMemoryStream s;
            s.storeDword(tag).storeDword(5).storeDword(4);
            s.storeBuffer(pts, sizeof pts);
            for (const NxU16 i : tris)
                s.storeDword(i);
            s.storeDword(NxCookedFormat::EndTag);
            if (tag == NxCookedFormat::TriangleMeshTag)
                EXPECT_EQ(sdk->createTriangleMesh(s), nullptr) << bad;
            else
                EXPECT_EQ(sdk->createClothMesh(s), nullptr) << bad;
        }
    }
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 0u);
    EXPECT_EQ(sdk->getNbClothMeshes(), 0u);
}

TEST_F(PhysicsTest, CookedBytesCutShortLoadAsNothing)
{
    // A stream that runs dry reads zeros: zero points and zero indices still look like a mesh, so the
    // cooked bytes end with a marker that such a stream cannot produce.
    const NxU16 tris[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    NxMemoryStream full;
    ASSERT_TRUE(NxCookTriangleMesh(pyramid(tris, NX_MF_16_BIT_INDICES), full));
    NxClothMeshDesc cd;
    static_cast<NxSimpleTriangleMesh&>(cd) = pyramid(tris, NX_MF_16_BIT_INDICES);
    NxMemoryStream fullCloth;
    ASSERT_TRUE(NxCookClothMesh(cd, fullCloth));
    for (size_t n = 0; n < full.bytes().size(); ++n)
    {
        NxMemoryStream cut;
        cut.bytes().assign(full.bytes().begin(), full.bytes().begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(sdk->createTriangleMesh(cut), nullptr) << n << " of " << full.bytes().size() << " bytes";
    }
    for (size_t n = 0; n < fullCloth.bytes().size(); ++n)
    {
        NxMemoryStream cut;
        cut.bytes().assign(fullCloth.bytes().begin(), fullCloth.bytes().begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(sdk->createClothMesh(cut), nullptr) << n << " of " << fullCloth.bytes().size() << " bytes";
    }
    EXPECT_EQ(sdk->getNbTriangleMeshes(), 0u);
    EXPECT_EQ(sdk->getNbClothMeshes(), 0u);
    EXPECT_NE(sdk->createTriangleMesh(full), nullptr);
    EXPECT_NE(sdk->createClothMesh(fullCloth), nullptr);
}
