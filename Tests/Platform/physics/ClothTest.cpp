#include "PhysicsTestScene.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxClothMesh.h"

namespace
{

// The engine's 52-byte cloth vertex: position, normal, then bytes of its own.
struct ClothVertex
{
    float pos[3];
    float normal[3];
    float rest[7];
};
static_assert(sizeof(ClothVertex) == 52, "cloth vertex layout");

// A flat 5 x 5 grid, 2 m wide, in the plane y = 0.
NxClothMesh* gridMesh(NxPhysicsSDK* sdk)
{
    const int n = 5;
    std::vector<float> pts;
    std::vector<NxU32> tris;
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x)
            pts.insert(pts.end(), {-1.0f + 2.0f * x / (n - 1), 0.0f, -1.0f + 2.0f * z / (n - 1)});
    for (int z = 0; z + 1 < n; ++z)
        for (int x = 0; x + 1 < n; ++x)
        {
            const NxU32 i = NxU32(z * n + x);
            tris.insert(tris.end(), {i, i + NxU32(n), i + 1, i + 1, i + NxU32(n), i + NxU32(n) + 1});
        }
    NxClothMeshDesc md;
    md.numVertices = NxU32(pts.size() / 3);
    md.numTriangles = NxU32(tris.size() / 3);
    md.pointStrideBytes = 12;
    md.triangleStrideBytes = 12;
    md.points = pts.data();
    md.triangles = tris.data();
    NxMemoryStream stream;
    return NxCookClothMesh(md, stream) ? sdk->createClothMesh(stream) : nullptr;
}

// Cells of the cloths' distance cache that belong to the given collision shape.
int cachedCells(NxScene* scene, const btCollisionShape* shape)
{
    int n = 0;
    const auto& cells = scene->bulletWorld()->softInfo().m_sparsesdf.cells;
    for (int i = 0; i < cells.size(); ++i)
        for (const auto* c = cells[i]; c; c = c->next)
            n += c->pclient == shape;
    return n;
}

}  // namespace

TEST_F(PhysicsTest, ClothQuadDrapesUnderGravity)
{
    // A 5 x 5 grid, 2 m wide, lying flat at y = 2 over a post.
    const int n = 5;
    std::vector<float> pts;
    std::vector<NxU32> tris;
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x)
            pts.insert(pts.end(), {-1.0f + 2.0f * x / (n - 1), 0.0f, -1.0f + 2.0f * z / (n - 1)});
    for (int z = 0; z + 1 < n; ++z)
        for (int x = 0; x + 1 < n; ++x)
        {
            const NxU32 i = NxU32(z * n + x);
            tris.insert(tris.end(), {i, i + NxU32(n), i + 1, i + 1, i + NxU32(n), i + NxU32(n) + 1});
        }
    NxClothMeshDesc md;
    md.numVertices = NxU32(pts.size() / 3);
    md.numTriangles = NxU32(tris.size() / 3);
    md.pointStrideBytes = 12;
    md.triangleStrideBytes = 12;
    md.points = pts.data();
    md.triangles = tris.data();
    md.flags = NX_CLOTH_MESH_WELD_VERTICES;
    md.weldingDistance = 0.001f;
    NxMemoryStream stream;
    ASSERT_TRUE(NxCookClothMesh(md, stream));
    NxClothMesh* mesh = sdk->createClothMesh(stream);
    ASSERT_NE(mesh, nullptr);

    box(NxVec3(0, 1, 0), NxVec3(0.2f, 0.9f, 0.2f), false);  // the post under the middle

    // A twin without the gravity flag floats where it was made.
    NxClothDesc weightless;
    weightless.clothMesh = mesh;
    weightless.globalPose.t.set(10, 5, 0);
    weightless.flags = 0x150;
    NxCloth* floating = scene->createCloth(weightless);
    ASSERT_NE(floating, nullptr);

    std::vector<ClothVertex> vertices(md.numVertices);
    std::vector<NxU32> indices(md.numTriangles * 3);
    NxU32 vertexCount = 0, indexCount = 0;
    NxClothDesc desc;
    desc.clothMesh = mesh;
    desc.globalPose.t.set(0, 2, 0);
    desc.thickness = 0.2f;
    desc.density = 0.02f;
    desc.bendingStiffness = desc.stretchingStiffness = desc.friction = 0.5f;
    desc.pressure = 0;
    desc.dampingCoefficient = 0.1f;
    desc.flags = 0x170;
    desc.meshData.verticesPosBegin = &vertices[0].pos;
    desc.meshData.verticesNormalBegin = &vertices[0].normal;
    desc.meshData.verticesPosByteStride = desc.meshData.verticesNormalByteStride = 52;
    desc.meshData.maxVertices = md.numVertices;
    desc.meshData.numVerticesPtr = &vertexCount;
    desc.meshData.indicesBegin = indices.data();
    desc.meshData.indicesByteStride = 4;
    desc.meshData.maxIndices = md.numTriangles * 3;
    desc.meshData.numIndicesPtr = &indexCount;
    NxCloth* cloth = scene->createCloth(desc);
    ASSERT_NE(cloth, nullptr);
    cloth->attachToCollidingShapes(NX_CLOTH_ATTACHMENT_TWOWAY);
    EXPECT_EQ(vertexCount, md.numVertices);
    EXPECT_EQ(indexCount, md.numTriangles * 3);
    EXPECT_FLOAT_EQ(vertices[0].pos[1], 2);

    steps(120);
    const ClothVertex& corner = vertices[0];
    const ClothVertex& middle = vertices[(n / 2) * n + n / 2];
    EXPECT_LT(corner.pos[1], 1.7f);  // the corners sag
    EXPECT_GT(middle.pos[1], 1.7f);  // the middle rests on the post
    EXPECT_NEAR(std::sqrt(middle.normal[0] * middle.normal[0] + middle.normal[1] * middle.normal[1] +
                          middle.normal[2] * middle.normal[2]),
                1, 0.01f);
    EXPECT_EQ(cloth->getNumberOfParticles(), md.numVertices);
    EXPECT_NEAR(floating->getPosition(0).y, 5, 0.05f);
    cloth->setGroup(3);
    EXPECT_EQ(cloth->getGroup(), 3);
    scene->releaseCloth(*cloth);
    cloth->putToSleep();  // harmless after release
    EXPECT_EQ(scene->getNbCloths(), 1u);
    steps(2);
}

TEST_F(PhysicsTest, ClothAnchorsFollowABodyRebuiltAndLetGoOfOneReleased)
{
    // Each cloth hangs by its middle particle (12) from the top of a kinematic post (y = 1.9).
    NxClothMesh* mesh = gridMesh(sdk);
    ASSERT_NE(mesh, nullptr);
    NxActor* posts[2];
    NxCloth* cloths[2];
    for (int i = 0; i < 2; ++i)
    {
        posts[i] = box(NxVec3(NxReal(i) * 10, 1, 0), NxVec3(0.2f, 0.9f, 0.2f), true);
        posts[i]->raiseBodyFlag(NX_BF_KINEMATIC);
        NxClothDesc desc;
        desc.clothMesh = mesh;
        desc.globalPose.t.set(NxReal(i) * 10, 1.9f, 0);
        desc.flags = NX_CLF_GRAVITY | NX_CLF_BENDING;  // undamped, so it falls freely
        cloths[i] = scene->createCloth(desc);
        ASSERT_NE(cloths[i], nullptr);
        cloths[i]->attachToCollidingShapes(NX_CLOTH_ATTACHMENT_TWOWAY);
    }
    steps(30);
    for (NxCloth* c : cloths)
        ASSERT_NEAR(c->getPosition(12).y, 1.9f, 0.05f);
    // The first post turns dynamic (a new Bullet body) and falls with its cloth; the second goes away
    // and its cloth falls free. Neither cloth may keep reading the deleted bodies.
    posts[0]->clearBodyFlag(NX_BF_KINEMATIC);
    scene->releaseActor(*posts[1]);
    steps(60);
    EXPECT_LT(posts[0]->getGlobalPosition().y, 0);
    EXPECT_NEAR(cloths[0]->getPosition(12).y, posts[0]->getGlobalPosition().y + 0.9f, 0.3f);
    EXPECT_LT(cloths[1]->getPosition(12).y, 0);
}

TEST_F(PhysicsTest, ClothForgetsTheShapesOfAReleasedBody)
{
    // The cloth's distance cache is keyed by shape address; a released body's entries must go with it,
    // or a later shape at the same address would be taken for the old one.
    NxClothMesh* mesh = gridMesh(sdk);
    ASSERT_NE(mesh, nullptr);
    NxActor* post = box(NxVec3(0, 1, 0), NxVec3(0.2f, 0.9f, 0.2f), false);
    // A second post of two shapes: a compound in Bullet, and the cloth's cells belong to the upper child.
    NxBoxShapeDesc lower, upper;
    lower.dimensions = upper.dimensions = NxVec3(0.2f, 0.45f, 0.2f);
    lower.localPose.t.set(0, -0.45f, 0);
    upper.localPose.t.set(0, 0.45f, 0);
    NxActorDesc twoShapes;
    twoShapes.shapes.pushBack(&lower);
    twoShapes.shapes.pushBack(&upper);
    twoShapes.globalPose.t.set(5, 1, 0);
    NxActor* pair = scene->createActor(twoShapes);
    ASSERT_NE(pair, nullptr);
    ASSERT_TRUE(pair->bulletBody()->getCollisionShape()->isCompound());
    for (const NxReal x : {0.0f, 5.0f})
    {
        NxClothDesc desc;
        desc.clothMesh = mesh;
        desc.globalPose.t.set(x, 2.2f, 0);
        ASSERT_NE(scene->createCloth(desc), nullptr);
    }
    steps(30);
    const btCollisionShape* shapes[] = {post->getShapes()[0]->bulletShape(), pair->getShapes()[1]->bulletShape()};
    for (const btCollisionShape* s : shapes)
        ASSERT_GT(cachedCells(scene, s), 0);
    scene->releaseActor(*post);
    scene->releaseActor(*pair);
    for (const btCollisionShape* s : shapes)
        EXPECT_EQ(cachedCells(scene, s), 0);
}
