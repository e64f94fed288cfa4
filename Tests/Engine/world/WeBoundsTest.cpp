#include <cmath>

#include <gtest/gtest.h>

#include "Engine/render/WeCameraScreen.h"
#include "Engine/world/WeAABB.h"
#include "Engine/world/WeBoundingSphere.h"
#include "Engine/world/WeFrustum.h"
#include "Engine/world/WeSceneTree.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{

WeAABB Box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    WeAABB b;
    b.Set(D3DXVECTOR3(x0, y0, z0), D3DXVECTOR3(x1, y1, z1));
    return b;
}

void ExpectNear(const D3DXVECTOR3& v, float x, float y, float z, float tolerance = 1e-3f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// Eye at the origin looking down +z, 90 degrees wide and high, near 1, far 100.
WeFrustum SquareFrustum()
{
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 1.0f, 100.0f);
    WeFrustum f;
    f.Build(eye, view, projection);
    return f;
}

}  // namespace

TEST(WeAABB, IntersectionAndContainmentAreInclusive)
{
    const WeAABB a = Box(0, 0, 0, 1, 1, 1);
    EXPECT_TRUE(a.Intersects(Box(1, 0, 0, 2, 1, 1)));  // sharing a face
    EXPECT_TRUE(a.Intersects(Box(1, 1, 1, 2, 2, 2)));  // sharing a corner
    EXPECT_FALSE(a.Intersects(Box(1.001f, 0, 0, 2, 1, 1)));
    EXPECT_FALSE(a.Intersects(Box(0, 0, -2, 1, 1, -0.5f)));
    EXPECT_TRUE(a.ContainsBox(a));
    EXPECT_FALSE(a.ContainsBox(Box(0, 0, 0, 1, 1, 1.01f)));
    EXPECT_TRUE(a.ContainsPoint(D3DXVECTOR3(1, 1, 1)));
    EXPECT_FALSE(a.ContainsPoint(D3DXVECTOR3(1, 1, 1.01f)));

    WeAABB cube;
    cube.SetCube(D3DXVECTOR3(1, 2, 3), 2);
    ExpectNear(cube.min, -1, 0, 1);
    ExpectNear(cube.max, 3, 4, 5);
    WeBoundingSphere s;
    s.Set(1, 2, 3, 2);
    WeAABB fromSphere;
    fromSphere.SetFromSphere(s);
    EXPECT_TRUE(fromSphere.ContainsBox(cube) && cube.ContainsBox(fromSphere));
}

TEST(WeBoundingSphere, FromBoxAndLines)
{
    WeBoundingSphere s;
    s.FromBox(Box(0, 0, 0, 2, 2, 2));
    ExpectNear(s.center, 1, 1, 1);
    EXPECT_NEAR(s.radius, std::sqrt(3.0f), 1e-5f);

    s.Set(0, 0, -10, 1);
    // The line from (0, 0, 0) towards +z passes the sphere behind its origin: it still counts.
    EXPECT_TRUE(s.IntersectsLine(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 5)));
    EXPECT_TRUE(s.IntersectsLine(D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(1, 0, 5)));  // grazing
    EXPECT_FALSE(s.IntersectsLine(D3DXVECTOR3(1.1f, 0, 0), D3DXVECTOR3(1.1f, 0, 5)));
}

TEST(WeFrustum, PlanesCornersAndSphereOfAKnownCamera)
{
    const WeFrustum f = SquareFrustum();
    const float h = std::sqrt(0.5f);
    const float expected[WeFrustum::PlaneCount][4] = {
        {h, 0, h, 0}, {-h, 0, h, 0}, {0, h, h, 0}, {0, -h, h, 0}, {0, 0, -1, 100}, {0, 0, 1, -1},
    };
    for (int i = 0; i < WeFrustum::PlaneCount; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_NEAR(f.m_Planes[i].a, expected[i][0], 1e-4f);
        EXPECT_NEAR(f.m_Planes[i].b, expected[i][1], 1e-4f);
        EXPECT_NEAR(f.m_Planes[i].c, expected[i][2], 1e-4f);
        EXPECT_NEAR(f.m_Planes[i].d, expected[i][3], 1e-3f);
    }
    // Screen (0, 0) is the top left; the order is x outer, y, depth inner.
    ExpectNear(f.m_Corners[0], -1, 1, 1);
    ExpectNear(f.m_Corners[1], -100, 100, 100, 0.05f);
    ExpectNear(f.m_Corners[2], -1, -1, 1);
    ExpectNear(f.m_Corners[4], 1, 1, 1);
    ExpectNear(f.m_Corners[7], 100, -100, 100, 0.05f);
    ExpectNear(f.m_NearCenter, 0, 0, 1);
    ExpectNear(f.m_FarCenter, 0, 0, 100, 0.05f);
    // The sphere holds every corner.
    for (const D3DXVECTOR3& c : f.m_Corners)
    {
        const D3DXVECTOR3 d = c - f.m_Sphere.center;
        EXPECT_LE(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), f.m_Sphere.radius);
    }
}

TEST(WeFrustum, BuildsThroughTheScreensViewport)
{
    const D3DVIEWPORT9 saved = g_CameraScreen.viewport;
    g_CameraScreen.viewport = {0, 0, 200, 100, 0.0f, 1.0f};
    const WeFrustum f = SquareFrustum();
    g_CameraScreen.viewport = saved;
    // The corners are the volume's whatever the pixel size; only the unprojection runs through it.
    ExpectNear(f.m_Corners[0], -1, 1, 1);
    ExpectNear(f.m_Corners[6], 1, -1, 1);
}

TEST(WeFrustum, SphereVisibility)
{
    WeFrustum f = SquareFrustum();
    WeBoundingSphere s;
    s.Set(0, 0, 50, 1);
    EXPECT_TRUE(f.IsSphereVisible(s));
    s.Set(0, 0, -5, 1);
    EXPECT_FALSE(f.IsSphereVisible(s));
    s.Set(-60, 0, 50, 5);  // beyond the left plane
    EXPECT_FALSE(f.IsSphereVisible(s));

    // Exactly radius behind a plane: touching, so visible; any further and it is culled.
    for (D3DXPLANE& p : f.m_Planes)
        p = D3DXPLANE(0, 0, 0, 1000);
    f.m_Planes[WeFrustum::Near] = D3DXPLANE(0, 0, 1, -1);
    s.Set(0, 0, -1, 2);
    EXPECT_TRUE(f.IsSphereVisible(s));
    s.Set(0, 0, -1.5f, 2);
    EXPECT_FALSE(f.IsSphereVisible(s));
}

class WeSceneTreeTest : public ::testing::Test
{
protected:
    WeSceneTree tree{
        nullptr, D3DXVECTOR3(WeSceneTree::WorldRootCenter, WeSceneTree::WorldRootCenter, WeSceneTree::WorldRootCenter),
        WeSceneTree::WorldRootHalfSize, WeSceneTree::WorldDepthLimit};
    // Stand-ins: the tree only keeps the pointers.
    int storage[4] = {};
    WeActor* Actor(int i) { return reinterpret_cast<WeActor*>(&storage[i]); }
    WeSceneTree* trees[4] = {};

    bool InsertAt(int i, float x, float y, float z, float radius = 1, bool useBox = false)
    {
        WeBoundingSphere s;
        s.Set(x, y, z, radius);
        return tree.Insert(Actor(i), trees[i], D3DXVECTOR3(x, y, z), s, useBox);
    }
    int Found(const D3DXVECTOR3& p, float half)
    {
        WeList<WeSceneTreeCell*> cells;
        tree.QueryCube(p, half, cells);
        int n = 0;
        for (WeSceneTreeCell* cell : cells)
            n += cell->actors.Count();
        return n;
    }
};

TEST_F(WeSceneTreeTest, PointsOutsideTheRootBoxAreNotInserted)
{
    EXPECT_FALSE(InsertAt(0, 40000, 0, 0));
    EXPECT_EQ(trees[0], nullptr);
    EXPECT_TRUE(InsertAt(1, 31744, 0, 0));  // the root box's upper face
    EXPECT_EQ(trees[1], &tree);
    EXPECT_FALSE(InsertAt(1, 0, 0, 0));  // already in a tree
}

TEST_F(WeSceneTreeTest, QueryReturnsOnlyCellsMeetingTheCube)
{
    ASSERT_TRUE(InsertAt(0, 100, 0, 0));
    ASSERT_TRUE(InsertAt(1, 5000, 0, 0));
    WeList<WeSceneTreeCell*> cells;
    tree.QueryCube(D3DXVECTOR3(100, 0, 0), 10, cells);
    ASSERT_EQ(cells.Count(), 1);
    EXPECT_EQ(cells.Front()->actors.Front(), Actor(0));
    // A point goes down to the depth limit: the root's 65536 halved ten times.
    EXPECT_NEAR(cells.Front()->box.max.x - cells.Front()->box.min.x, 64.0f, 1e-3f);
    EXPECT_EQ(Found(D3DXVECTOR3(2500, 0, 0), 2600), 2);
    EXPECT_EQ(Found(D3DXVECTOR3(-3000, 0, 0), 10), 0);
}

TEST_F(WeSceneTreeTest, BoxesStayWhereTheyFitWhole)
{
    // Around the root centre no octant holds the sphere's box, so it stays in the root.
    ASSERT_TRUE(InsertAt(0, -1024, -1024, -1024, 10, true));
    EXPECT_EQ(tree.m_Root->actors.Count(), 1);
}

TEST_F(WeSceneTreeTest, RemovingTheOnlyActorOfALeafPrunesIt)
{
    ASSERT_TRUE(InsertAt(0, 100, 0, 0));
    ASSERT_TRUE(InsertAt(1, 5000, 0, 0));
    WeSceneTree* other = nullptr;
    EXPECT_FALSE(tree.Remove(Actor(0), other));  // not in this tree
    EXPECT_TRUE(tree.Remove(Actor(0), trees[0]));
    EXPECT_EQ(trees[0], nullptr);
    EXPECT_EQ(Found(D3DXVECTOR3(100, 0, 0), 10), 0);
    // The leaf is gone: the walk towards the point ends one level early.
    const D3DXVECTOR3 p(100, 0, 0);
    const WeSceneTreeCell* cell = tree.m_Root;
    int depth = 0;
    for (;;)
    {
        const WeSceneTreeCell* next = nullptr;
        for (const WeSceneTreeCell* child : cell->children)
            if (!next && child && child->box.ContainsPoint(p))
                next = child;  // the first that holds it, as the insert chose
        if (!next)
            break;
        cell = next;
        ++depth;
    }
    EXPECT_EQ(depth, WeSceneTree::WorldDepthLimit - 1);
    EXPECT_EQ(Found(D3DXVECTOR3(5000, 0, 0), 10), 1);
}
