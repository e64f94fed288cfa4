#include <cmath>

#include "Engine/world/WeAABB.h"
#include "PhysicsTestSupport.h"
#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxTriangleMesh.h"

using WePhysicHandleTest = PhysicsFixture;

namespace
{

struct ShapeCase
{
    const char* name;
    int kind;  // 0 box, 1 sphere, 2 capsule
    uint16_t flags;
    uint16_t group;
    std::vector<uint16_t> shapeGroups;  // in list order
    std::vector<bool> triggers;
};

}  // namespace

TEST_F(WePhysicHandleTest, ShapesAndGroupsByKindAndFlags)
{
    const ShapeCase cases[] = {
        {"plain box", 0, 0, 5, {5}, {false}},
        {"trigger box", 0, 7, 5, {5, 5}, {false, true}},
        {"plain sphere", 1, 0, 4, {4}, {false}},
        {"trigger sphere", 1, 1, 10, {1, 10}, {false, true}},
        {"trigger capsule", 2, 3, 7, {1, 7}, {false, true}},
    };
    for (const ShapeCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        TestActor& owner = f[0];
        owner.material = 1;
        WeActorHandle* h = nullptr;
        if (c.kind == 0)
            h = g_Physics.CreateBoxActor(owner.Actor(), Translation(0, 2, 0), D3DXVECTOR3(1, 2, 3), c.group, 5, false,
                                         c.flags);
        else if (c.kind == 1)
            h = g_Physics.CreateSphereActor(owner.Actor(), D3DXVECTOR3(0, 2, 0), 1.5f, c.group, 5, false, c.flags);
        else
            h = g_Physics.CreateCapsuleActor(owner.Actor(), D3DXVECTOR3(0, 2, 0), 1, 2, c.group, 5, false, c.flags);
        owner.Keep(h);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->m_Owner, owner.Actor());
        EXPECT_EQ(h->m_Actor->userData, static_cast<WePhysicHandle*>(h));
        EXPECT_EQ(h->m_Actor->getGroup(), c.group);
        ASSERT_EQ(h->m_Actor->getNbShapes(), c.shapeGroups.size());
        NxShape* const* shapes = h->m_Actor->getShapes();
        for (size_t i = 0; i < c.shapeGroups.size(); ++i)
        {
            SCOPED_TRACE(i);
            EXPECT_EQ(shapes[i]->getGroup(), c.shapeGroups[i]);
            EXPECT_EQ(shapes[i]->isTrigger(), c.triggers[i]);
            // Twins have the same size.
            EXPECT_EQ(shapes[i]->getType(), shapes[0]->getType());
            EXPECT_EQ(shapes[i]->getDimensions(), shapes[0]->getDimensions());
            EXPECT_EQ(shapes[i]->getRadius(), shapes[0]->getRadius());
        }
        EXPECT_EQ(shapes[0]->getMaterial(), 1);  // the owner's material on the first shape
        if (c.kind == 0)
        {
            EXPECT_EQ(shapes[0]->getDimensions(), NxVec3(1, 2, 3));
        }
    }
}

TEST_F(WePhysicHandleTest, StaticBoxHasNoBodyAndIsPlacedBySetPose)
{
    WeActorHandle* h = Box(f[0], 0, 0, 0, 1, true);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(h->m_Actor->isDynamic());
    D3DXVECTOR3 v(1, 1, 1);
    h->GetLinearVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3());
    D3DXMATRIX pose;
    D3DXMatrixRotationY(&pose, 0.5f);
    pose._41 = 3;
    pose._42 = 4;
    pose._43 = 5;
    h->SetPose(pose);
    D3DXMATRIX back;
    h->GetPose(back);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(back.m[r][c], pose.m[r][c], 1e-5f);
}

TEST_F(WePhysicHandleTest, GravityOffAndStartAsleep)
{
    WeActorHandle* h = Box(f[0], 0, 10, 0, 0.5f, false);
    h->SetDisableGravity(true);
    h->PutToSleep();
    EXPECT_TRUE(h->m_Actor->isSleeping());
    EXPECT_TRUE(h->m_Actor->readBodyFlag(NX_BF_DISABLE_GRAVITY));
    h->WakeUp(10);
    Step(30);
    EXPECT_NEAR(Position(h).y, 10.0f, 1e-4f);  // awake, but nothing pulls it
    h->SetDisableGravity(false);
    Step(30);
    EXPECT_LT(Position(h).y, 9.0f);
}

TEST_F(WePhysicHandleTest, PoseVelocityAndFlagOperations)
{
    g_Physics.m_Scene->setGravity(NxVec3(0, 0, 0));
    WeActorHandle* h = Box(f[0], 0, 0, 0, 0.5f, false);
    h->SetLinearVelocity(D3DXVECTOR3(1, 2, 3));
    D3DXVECTOR3 v;
    h->GetLinearVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3(1, 2, 3));
    h->SetAngularVelocity(D3DXVECTOR3(0, 1, 0));
    h->GetAngularVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3(0, 1, 0));
    h->SetAngularVelocity(D3DXVECTOR3());
    h->SetLinearVelocity(D3DXVECTOR3());
    h->AddVelocityChange(D3DXVECTOR3(0, 0, 2), false);
    h->GetLinearVelocity(v);
    EXPECT_NEAR(v.z, 2.0f, 1e-4f);

    h->SetPosition(D3DXVECTOR3(5, 6, 7));
    EXPECT_EQ(Position(h), D3DXVECTOR3(5, 6, 7));
    // SetRotation turns a dynamic body.
    h->SetRotation(1.0f, 0, 0);
    D3DXMATRIX pose, expected;
    h->GetPose(pose);
    D3DXMatrixRotationYawPitchRoll(&expected, 1.0f, 0, 0);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pose.m[r][c], expected.m[r][c], 1e-5f);
    D3DXQUATERNION q(0, std::sin(0.25f), 0, std::cos(0.25f));
    h->SetOrientationQuat(q);
    D3DXQUATERNION back;
    h->GetOrientationQuat(back);
    EXPECT_NEAR(std::fabs(back.y), std::sin(0.25f), 1e-5f);

    h->SetCollisionEnabled(false);
    EXPECT_FALSE(h->IsCollisionEnabled());
    h->SetCollisionEnabled(true);
    EXPECT_TRUE(h->IsCollisionEnabled());
    h->SetResponseEnabled(false);
    EXPECT_TRUE(h->m_Actor->readActorFlag(NX_AF_DISABLE_RESPONSE));
    h->SetRaycastEnabled(false);
    EXPECT_TRUE(h->m_Actor->getShapes()[0]->getFlag(NX_SF_DISABLE_RAYCASTING));
    h->SetCollisionGroup(9);
    EXPECT_EQ(h->m_Actor->getShapes()[0]->getGroup(), 9);
    h->SetCCDMotionThreshold(0.25f);
    EXPECT_EQ(h->m_Actor->getCCDMotionThreshold(), 0.25f);

    // A kinematic body is moved, travelling to its target over the next step.
    h->SetKinematic(true);
    EXPECT_TRUE(h->IsKinematic());
    h->SetPosition(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Position(h), D3DXVECTOR3(5, 6, 7));
    Step();
    EXPECT_NEAR(Position(h).x, 0.0f, 1e-4f);
}

TEST_F(WePhysicHandleTest, EnableCCDGivesEveryShapeASkeleton)
{
    WeActorHandle* h = Box(f[0], 0, 0, 0, 1, false, 0, 7);
    WeAABB box;
    box.Set(D3DXVECTOR3(-1, -2, -3), D3DXVECTOR3(1, 2, 3));
    h->EnableCCD(box, 0.3f);
    ASSERT_EQ(h->m_Actor->getNbShapes(), 2u);
    NxCCDSkeleton* skeleton = h->m_Actor->getShapes()[0]->getCCDSkeleton();
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->getNbPoints(), 8u);
    EXPECT_EQ(skeleton->getNbTriangles(), 12u);
    for (NxU32 i = 0; i < 2; ++i)
    {
        EXPECT_EQ(h->m_Actor->getShapes()[i]->getCCDSkeleton(), skeleton);
        EXPECT_TRUE(h->m_Actor->getShapes()[i]->getFlag(NX_SF_DYNAMIC_DYNAMIC_CCD));
    }
    // The program's reference is gone; the shapes keep the skeleton alive.
    EXPECT_EQ(g_Physics.m_Sdk->getNbCCDSkeletons(), 1u);
}

TEST_F(WePhysicHandleTest, TriangleMeshesCookOncePerNameAndCollide)
{
    for (bool wide : {false, true})
    {
        SCOPED_TRACE(wide);
        WeMesh* floor = Grid(8, 20, 0, wide, wide ? "Test.Meshes.Wide" : "Test.Meshes.Narrow");
        ASSERT_NE(floor, nullptr);
        WeActorHandle* a =
            f[0].Keep(g_Physics.CreateTriangleMeshActor(f[0].Actor(), Translation(0, 0, 0), floor, false));
        WeActorHandle* b =
            f[1].Keep(g_Physics.CreateTriangleMeshActor(f[1].Actor(), Translation(40, 0, 0), floor, false));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(a->m_Actor->getShapes()[0]->getTriangleMesh(), b->m_Actor->getShapes()[0]->getTriangleMesh());
        EXPECT_EQ(a->m_Actor->getShapes()[0]->getTriangleMesh()->getNbTriangles(), 128u);
        WeActorHandle* box = Box(f[2], 1.3f, 1, 2.1f, 0.5f, false);
        box->WakeUp(10);
        Step(90);
        EXPECT_NEAR(Position(box).y, 0.5f, 0.05f);
        g_Physics.Shutdown();
        ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
    }
}

TEST_F(WePhysicHandleTest, CookedMeshesAreCachedAndFailuresLeaveNothing)
{
    WeMesh* floor = Grid(2, 4, 0, false, "Shared");
    for (int i = 0; i < 3; ++i)
        f[i].Keep(g_Physics.CreateTriangleMeshActor(f[i].Actor(), Translation(0, float(i), 0), floor, i == 2));
    EXPECT_EQ(g_Physics.m_CookedMeshes.Count(), 1);
    EXPECT_EQ(g_Physics.m_Sdk->getNbTriangleMeshes(), 1u);
    EXPECT_TRUE(f[2].handle->m_Actor->isDynamic());
    EXPECT_FALSE(f[0].handle->m_Actor->isDynamic());

    // A mesh whose index points past its vertices does not cook: no body, no cache entry.
    WeMesh* bad = Grid(1, 1, 0, false, "Bad");
    uint16_t* idx = nullptr;
    bad->LockIndexBuffer(reinterpret_cast<void**>(&idx), 0);
    idx[0] = 999;
    bad->UnlockIndexBuffer();
    EXPECT_EQ(g_Physics.CreateTriangleMeshActor(f[3].Actor(), Translation(0, 0, 0), bad, false), nullptr);
    EXPECT_EQ(g_Physics.m_CookedMeshes.Count(), 1);
    EXPECT_EQ(g_Physics.CreateTriangleMeshActor(f[3].Actor(), Translation(0, 0, 0), nullptr, false), nullptr);
    // A render mesh without geometry cooks nothing either.
    WeMesh empty;
    empty.m_Name = "Empty";
    EXPECT_EQ(g_Physics.CreateTriangleMeshActor(f[3].Actor(), Translation(0, 0, 0), &empty, false), nullptr);
    EXPECT_EQ(g_Physics.m_CookedMeshes.Count(), 1);
}

TEST_F(WePhysicHandleTest, ClothFromASixteenBitMeshDrapes)
{
    WeMesh* floor = Grid(4, 20, 0, false, "Floor");
    f[0].Keep(g_Physics.CreateTriangleMeshActor(f[0].Actor(), Translation(0, 0, 0), floor, false));
    WeMesh* sheet = Grid(6, 2, 0, false, "Sheet");
    WeClothSettings settings;
    settings.group = 2;
    WeClothHandle* cloth = f[1].Keep(g_Physics.CreateCloth(f[1].Actor(), Translation(0, 1, 0), sheet, settings));
    ASSERT_NE(cloth, nullptr);
    EXPECT_EQ(cloth->m_Cloth->userData, static_cast<WePhysicHandle*>(cloth));
    EXPECT_EQ(cloth->m_Cloth->getGroup(), 2);
    EXPECT_TRUE(g_Physics.m_Scene->getGroupCollisionFlag(2, 2));
    EXPECT_EQ(cloth->m_Cloth->getFlags(), 0x170u);
    // Before the first step the buffers hold the mesh itself, indices widened.
    EXPECT_EQ(cloth->m_VertexCount, 49u);
    EXPECT_EQ(cloth->m_IndexCount, 6u * 6u * 6u);
    EXPECT_EQ(cloth->m_Indices[1], 7u);
    float y0;
    std::memcpy(&y0, cloth->m_Vertices + 4, 4);
    EXPECT_EQ(y0, 0.0f);  // mesh space: the pose applies in the cloth

    Step(120);
    cloth->CopyMeshData();
    ASSERT_GT(cloth->m_CopiedVertexCount, 0u);
    EXPECT_LE(cloth->m_CopiedVertexCount, 49u);
    EXPECT_EQ(cloth->m_CopiedIndexCount, cloth->m_IndexCount);
    float lowest = 100, highest = -100;
    for (uint32_t i = 0; i < cloth->m_CopiedVertexCount; ++i)
    {
        float y;
        std::memcpy(&y, cloth->m_CopiedVertices + i * WeClothHandle::VertexSize + 4, 4);
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    }
    EXPECT_LT(highest, 0.9f);  // it fell from 1
    EXPECT_GT(lowest, -0.5f);  // and lies on the floor
    cloth->SetCollisionGroup(3);
    EXPECT_EQ(cloth->m_Cloth->getGroup(), 3);
    cloth->PutToSleep();
    EXPECT_TRUE(cloth->m_Cloth->isSleeping());
}

TEST_F(WePhysicHandleTest, ClothFailsCleanlyWithoutCookingOrMesh)
{
    WeMesh* sheet = Grid(2, 2, 0, true);
    EXPECT_EQ(g_Physics.CreateCloth(f[0].Actor(), Translation(0, 0, 0), nullptr, WeClothSettings()), nullptr);
    NxCookingInterface* cooking = g_Physics.m_Cooking;
    g_Physics.m_Cooking = nullptr;
    EXPECT_EQ(g_Physics.CreateCloth(f[0].Actor(), Translation(0, 0, 0), sheet, WeClothSettings()), nullptr);
    g_Physics.m_Cooking = cooking;
    EXPECT_EQ(g_Physics.LiveHandleCount(), 0);
    EXPECT_EQ(g_Physics.m_Sdk->getNbClothMeshes(), 0u);
    // A 32-bit mesh makes a cloth as well.
    WeClothHandle* cloth =
        f[0].Keep(g_Physics.CreateCloth(f[0].Actor(), Translation(0, 0, 0), sheet, WeClothSettings()));
    ASSERT_NE(cloth, nullptr);
    EXPECT_EQ(cloth->m_IndexCount, 24u);
}

TEST_F(WePhysicHandleTest, ClothCopiesVerticesByTheMeshsOwnStride)
{
    // A 32-byte vertex (position, normal, uv): each lands at its place in the 52-byte layout.
    static const D3DVERTEXELEMENT9 decl[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                             D3DDECL_END()};
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMesh(2, 4, D3DXMESH_MANAGED, decl, Device(), &mesh), D3D_OK);
    float* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const float corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i)
    {
        const float vertex[8] = {corners[i][0], 0, corners[i][1], 0, 1, 0, 0.25f * i, 0.5f};
        std::memcpy(v + 8 * i, vertex, sizeof vertex);
    }
    mesh->UnlockVertexBuffer();
    uint16_t* idx = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    const uint16_t faces[6] = {0, 2, 1, 1, 2, 3};
    std::memcpy(idx, faces, sizeof faces);
    mesh->UnlockIndexBuffer();
    WeMesh* narrow = Wrap(mesh, "Test.Meshes.Narrow32");

    WeClothHandle* cloth =
        f[0].Keep(g_Physics.CreateCloth(f[0].Actor(), Translation(0, 5, 0), narrow, WeClothSettings()));
    ASSERT_NE(cloth, nullptr);
    const uint8_t* third = cloth->m_Vertices + 3 * WeClothHandle::VertexSize;
    float read[13];
    std::memcpy(read, third, sizeof read);
    EXPECT_EQ(read[0], 1.0f);   // position x
    EXPECT_EQ(read[2], 1.0f);   // position z
    EXPECT_EQ(read[4], 1.0f);   // normal y
    EXPECT_EQ(read[6], 0.75f);  // uv
    EXPECT_EQ(read[7], 0.5f);
    for (int k = 8; k < 13; ++k)
        EXPECT_EQ(read[k], 0.0f);  // what the mesh does not have stays zero
    EXPECT_EQ(cloth->m_Indices[4], 2u);
}
