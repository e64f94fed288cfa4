#include "Engine/world/WeCreatePhysics.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WePhysicModel.h"
#include "PhysicsTestSupport.h"

namespace
{

class WeCreatePhysicsTest : public PhysicsFixture
{
protected:
    WePhysicsOwnerState State(bool withMesh)
    {
        WePhysicsOwnerState s;
        s.worldMatrix = Translation(1, 2, 3);
        s.ownerRadius = 0.75f;
        if (withMesh)
        {
            s.mesh = Grid(2, 4, 0, false);
            // Bounds unlike the grid's own, so that a size taken from them shows.
            s.mesh->m_BoxMin = D3DXVECTOR3(-2, -0.5f, -1);
            s.mesh->m_BoxMax = D3DXVECTOR3(2, 0.5f, 1);
            s.mesh->m_SphereRadius = 2.5f;
        }
        return s;
    }
    WePhysicHandle* Create(TestActor& owner, const WePhysicsDescription& d, const WePhysicsOwnerState& s)
    {
        return owner.Keep(WeCreatePhysics(owner.Actor(), d, s));
    }
};

}  // namespace

TEST_F(WeCreatePhysicsTest, SizesFromExplicitValuesMeshBoundsOrFallbacks)
{
    struct Case
    {
        const char* name;
        int32_t physicsClass;
        bool explicitSize, withMesh;
        NxShapeType type;
        NxVec3 dimensions;  // box half extents
        float radius, height;
    };
    const Case cases[] = {
        {"explicit box", 5, true, true, NX_SHAPE_BOX, NxVec3(3, 4, 5), 0, 0},
        {"box from mesh", 1, false, true, NX_SHAPE_BOX, NxVec3(2, 0.5f, 1), 0, 0},
        {"box without mesh", 5, false, false, NX_SHAPE_BOX, NxVec3(1, 1, 1), 0, 0},
        {"explicit sphere", 6, true, true, NX_SHAPE_SPHERE, NxVec3(), 3, 0},
        {"sphere from mesh", 2, false, true, NX_SHAPE_SPHERE, NxVec3(), 2.5f, 0},
        {"sphere from owner", 6, false, false, NX_SHAPE_SPHERE, NxVec3(), 0.75f, 0},
        {"explicit capsule", 7, true, false, NX_SHAPE_CAPSULE, NxVec3(), 3, 4},
        {"capsule from mesh", 3, false, true, NX_SHAPE_CAPSULE, NxVec3(), 2.5f, 2.5f},
        {"static mesh", 4, false, true, NX_SHAPE_MESH, NxVec3(), 0, 0},
        {"dynamic mesh", 8, false, true, NX_SHAPE_MESH, NxVec3(), 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WePhysicsDescription d;
        d.physicsClass = c.physicsClass;
        d.explicitSize = c.explicitSize;
        d.size = D3DXVECTOR3(3, 4, 5);
        d.collisionGroup = 6;
        WePhysicHandle* h = Create(f[0], d, State(c.withMesh));
        ASSERT_NE(h, nullptr);
        ASSERT_NE(h->m_Actor, nullptr);
        EXPECT_EQ(h->m_Actor->isDynamic(), c.physicsClass >= 5);
        EXPECT_EQ(Position(h), D3DXVECTOR3(1, 2, 3));
        NxShape* shape = h->m_Actor->getShapes()[0];
        EXPECT_EQ(shape->getType(), c.type);
        if (c.type == NX_SHAPE_BOX)
        {
            EXPECT_EQ(shape->getDimensions(), c.dimensions);
        }
        if (c.type == NX_SHAPE_SPHERE || c.type == NX_SHAPE_CAPSULE)
        {
            EXPECT_EQ(shape->getRadius(), c.radius);
        }
        if (c.type == NX_SHAPE_CAPSULE)
        {
            EXPECT_EQ(shape->getHeight(), c.height);
        }
        if (c.type != NX_SHAPE_MESH)
        {
            EXPECT_EQ(shape->getGroup(), 6);
        }
        if (c.physicsClass >= 5)
        {
            EXPECT_TRUE(h->m_Actor->isSleeping());  // start asleep by default
        }
    }
}

TEST_F(WeCreatePhysicsTest, RefusedClassesAndMissingMeshes)
{
    WePhysicsDescription d;
    for (int32_t physicsClass : {0, -1, 10, 4, 8, 9})
    {
        SCOPED_TRACE(physicsClass);
        d.physicsClass = physicsClass;
        EXPECT_EQ(Create(f[0], d, State(false)), nullptr);
    }
    d.physicsClass = 5;
    EXPECT_EQ(WeCreatePhysics(nullptr, d, State(false)), nullptr);
    EXPECT_EQ(g_Physics.LiveHandleCount(), 0);
}

TEST_F(WeCreatePhysicsTest, EditorModeUsesTheEditorClassAndMakesItKinematic)
{
    WePhysicsDescription d;
    d.physicsClass = 5;
    WePhysicsOwnerState s = State(true);
    s.editorMode = true;
    WePhysicHandle* h = Create(f[0], d, s);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->m_Actor->getShapes()[0]->getType(), NX_SHAPE_MESH);  // the default editor class 4
    EXPECT_FALSE(h->m_Actor->isDynamic());

    d.editorPhysicsClass = 6;
    h = Create(f[1], d, s);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->m_Actor->getShapes()[0]->getType(), NX_SHAPE_SPHERE);
    EXPECT_TRUE(h->IsKinematic());
    EXPECT_FALSE(h->m_Actor->isSleeping());  // editor bodies are not put to sleep

    // Cloth keeps its class in editor mode.
    d.physicsClass = 9;
    WePhysicHandle* cloth = Create(f[2], d, s);
    ASSERT_NE(cloth, nullptr);
    EXPECT_EQ(cloth->m_Actor, nullptr);
    EXPECT_NE(static_cast<WeClothHandle*>(cloth)->m_Cloth, nullptr);
}

TEST_F(WeCreatePhysicsTest, GravityOffStartAsleepAndInitialVelocities)
{
    WePhysicsDescription d;
    d.physicsClass = 5;
    d.gravity = false;
    d.startAsleep = false;
    d.linearVelocity = D3DXVECTOR3(0, 0, 4);
    d.angularVelocity = D3DXVECTOR3(0, 1, 0);
    WePhysicHandle* h = Create(f[0], d, State(false));
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->m_Actor->readBodyFlag(NX_BF_DISABLE_GRAVITY));
    EXPECT_FALSE(h->m_Actor->isSleeping());
    D3DXVECTOR3 v;
    h->GetLinearVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3(0, 0, 4));
    h->GetAngularVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3(0, 1, 0));
    Step(30);
    EXPECT_NEAR(Position(h).y, 2.0f, 1e-4f);
    EXPECT_GT(Position(h).z, 4.5f);

    d.gravity = true;
    d.startAsleep = true;
    h = Create(f[1], d, State(false));
    EXPECT_TRUE(h->m_Actor->isSleeping());
    EXPECT_FALSE(h->m_Actor->readBodyFlag(NX_BF_DISABLE_GRAVITY));
}

TEST_F(WeCreatePhysicsTest, ThePhysicModelReadsItsOwner)
{
    // The actor's own description, placement, editor mode and model mesh decide the body.
    TestActor& owner = f[0];
    owner.m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    owner.m_PhysicModel.collisionGroup = 5;
    owner.SetLocation(D3DXVECTOR3(4, 5, 6));
    owner.m_Model = new WeModel();  // the actor deletes it; the mesh stays the fixture's
    owner.m_Model->m_Mesh = Grid(2, 4, 0, false);
    owner.m_Model->m_Mesh->m_BoxMin = D3DXVECTOR3(-1, -2, -3);
    owner.m_Model->m_Mesh->m_BoxMax = D3DXVECTOR3(1, 2, 3);
    owner.CreatePhysicsHandle();
    WePhysicHandle* h = owner.handle;
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->m_Owner, owner.Actor());
    EXPECT_EQ(Position(h), D3DXVECTOR3(4, 5, 6));
    NxShape* shape = h->m_Actor->getShapes()[0];
    EXPECT_EQ(shape->getType(), NX_SHAPE_BOX);
    EXPECT_EQ(shape->getDimensions(), NxVec3(1, 2, 3));  // half the mesh's extent
    EXPECT_EQ(shape->getGroup(), 5);

    // In editor mode the same description gives the editor class from the same mesh, kinematic.
    TestActor& editing = f[1];
    editing.m_PhysicModel = owner.m_PhysicModel;
    editing.m_EditorMode = true;
    editing.m_Model = new WeModel();
    editing.m_Model->m_Mesh = owner.m_Model->m_Mesh;
    h = editing.m_PhysicModel.CreatePhysics(editing.Actor());
    editing.handle = h;
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->m_Actor->getShapes()[0]->getType(), NX_SHAPE_MESH);

    // Without a model a mesh class gets nothing, and no owner gets nothing.
    TestActor& bare = f[2];
    bare.m_PhysicModel.physicsClass = WePhysicsStaticMesh;
    EXPECT_EQ(bare.m_PhysicModel.CreatePhysics(bare.Actor()), nullptr);
    EXPECT_EQ(bare.m_PhysicModel.CreatePhysics(nullptr), nullptr);
}
