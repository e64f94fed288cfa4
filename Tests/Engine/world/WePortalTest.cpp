#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePortal.h"
#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

// A portal at z, facing +z (its normal), 10 x 10.
WePortal* AddPortal(WeWorld& world, float z, bool active = true)
{
    WePortal* portal = new WePortal();
    portal->m_Active = active;
    portal->SetLocation(D3DXVECTOR3(0.0f, 0.0f, z));
    world.AddActor(portal);
    return portal;
}

WeBoundingSphere Sphere(float z, float radius = 10.0f)
{
    WeBoundingSphere s;
    s.center = D3DXVECTOR3(0.0f, 0.0f, z);
    s.radius = radius;
    return s;
}

const D3DXVECTOR3 Eye(0.0f, 0.0f, -50.0f);

TEST(WePortalTest, VisibilityTable)
{
    struct Case
    {
        const char* what;
        bool enabled;
        bool active;
        bool limited;
        float sphereZ;
        bool visible;
    };
    const Case cases[] = {
        {"portals disabled", false, true, false, 200.0f, true},
        {"beyond a plain portal", true, true, false, 200.0f, false},
        {"on the camera's side", true, true, false, -20.0f, true},
        {"exactly on the plane", true, true, false, 0.0f, true},
        {"inactive portal", true, false, false, 200.0f, true},
        {"within the reach", true, true, true, 505.0f, true},
        {"beyond the reach", true, true, true, 520.0f, false},
    };
    for (const Case& c : cases)
    {
        WeWorld world;
        world.m_PortalsEnabled = c.enabled;
        WePortal* portal = AddPortal(world, 0.0f, c.active);
        portal->m_LimitedReach = c.limited;
        world.UpdatePortalVisibility(Eye);
        EXPECT_EQ(portal->m_Visible, c.active) << c.what;
        EXPECT_EQ(world.IsVisibleThroughPortals(Sphere(c.sphereZ), Eye), c.visible) << c.what;
    }
}

TEST(WePortalTest, BackReachCountsOnTheBackSide)
{
    WeWorld world;
    WePortal* portal = AddPortal(world, 0.0f);
    portal->m_LimitedReach = true;
    portal->m_BackReach = 100.0f;
    const D3DXVECTOR3 eye(0.0f, 0.0f, 50.0f);
    world.UpdatePortalVisibility(eye);
    EXPECT_TRUE(world.IsVisibleThroughPortals(Sphere(-105.0f), eye));
    EXPECT_FALSE(world.IsVisibleThroughPortals(Sphere(-120.0f), eye));
}

TEST(WePortalTest, PortalBehindAnotherIsHidden)
{
    WeWorld world;
    WePortal* near = AddPortal(world, 0.0f);
    WePortal* far = AddPortal(world, 100.0f);
    world.UpdatePortalVisibility(Eye);
    EXPECT_TRUE(near->m_Visible);
    EXPECT_FALSE(far->m_Visible);
    // A hidden portal hides nothing itself, so a sphere between the two is still decided by the near one.
    EXPECT_FALSE(world.IsVisibleThroughPortals(Sphere(50.0f, 1.0f), Eye));

    // A portal with limited reach does not hide a plain one; every active portal hides one with limited reach.
    near->m_LimitedReach = true;
    world.UpdatePortalVisibility(Eye);
    EXPECT_TRUE(far->m_Visible);
    far->m_LimitedReach = true;
    near->m_LimitedReach = false;
    world.UpdatePortalVisibility(Eye);
    EXPECT_FALSE(far->m_Visible);
}

TEST(WePortalTest, CornersAndRadius)
{
    WePortal portal;
    portal.m_Width = 4.0f;
    portal.m_Height = 2.0f;
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, 1.5707964f);  // x axis becomes -z
    portal.SetLocationAndOrientation(D3DXVECTOR3(10.0f, 0.0f, 0.0f), turn);
    portal.UpdateGeometry();
    const D3DXVECTOR3 expected[4] = {
        {10.0f, -1.0f, 2.0f}, {10.0f, 1.0f, 2.0f}, {10.0f, 1.0f, -2.0f}, {10.0f, -1.0f, -2.0f}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(portal.m_Corners[i].x, expected[i].x, 1e-4f) << i;
        EXPECT_NEAR(portal.m_Corners[i].y, expected[i].y, 1e-4f) << i;
        EXPECT_NEAR(portal.m_Corners[i].z, expected[i].z, 1e-4f) << i;
    }
    EXPECT_NEAR(portal.m_BoundingSphere.radius, 2.0f * 1.4142135f, 1e-5f);
}

class WePortalRecord : public ::testing::Test
{
protected:
    bool Bytes(const std::function<void(WeFileStream&)>& body, WeFileStream& in)
    {
        const std::string path = m_Folder.Path("record" + std::to_string(m_Files++) + ".bin");
        WeFileStream out;
        if (!out.Create(path.c_str()))
            return false;
        body(out);
        out.Close();
        return in.Open(path.c_str());
    }
    ScratchFolder m_Folder;
    int m_Files = 0;
};

TEST_F(WePortalRecord, EveryVersion)
{
    struct Case
    {
        int32_t version;
        bool active;
        bool limited;
        float front;
        float back;
        int64_t size;  // bytes read
    };
    const Case cases[] = {
        {1, false, false, 500.0f, 500.0f, 29}, {2, true, false, 500.0f, 500.0f, 30},
        {3, true, true, 7.0f, 7.0f, 35},       {4, true, true, 7.0f, 8.0f, 39},
        {5, false, false, 500.0f, 500.0f, 4},  {0, false, false, 500.0f, 500.0f, 4},
    };
    for (const Case& c : cases)
    {
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                s.WriteInt32(c.version);
                s.WriteInt32(3);
                s.WriteInt32(4);
                s.WriteString("a");
                s.WriteString("b");
                s.WriteByte(0);
                s.WriteFloat(20.0f);
                s.WriteFloat(30.0f);
                s.WriteByte(1);
                s.WriteByte(1);
                s.WriteFloat(7.0f);
                s.WriteFloat(8.0f);
            },
            in));
        WePortal portal;
        ASSERT_TRUE(portal.LoadProperties(in));
        SCOPED_TRACE(c.version);
        EXPECT_EQ(in.Tell(), c.size);
        const bool read = c.version >= 1 && c.version <= 4;
        EXPECT_EQ(portal.m_FirstLink, read ? 3 : -1);
        EXPECT_EQ(portal.m_Switch, !read);
        EXPECT_FLOAT_EQ(portal.m_Height, read ? 30.0f : 10.0f);
        EXPECT_EQ(portal.m_Active, c.active);
        EXPECT_EQ(portal.m_LimitedReach, c.limited);
        EXPECT_FLOAT_EQ(portal.m_FrontReach, c.front);
        EXPECT_FLOAT_EQ(portal.m_BackReach, c.back);
    }
}

TEST_F(WePortalRecord, SavedPortalReadsBackAndCopies)
{
    WePortal a;
    a.m_FirstText = "x";
    a.m_SecondLink = 9;
    a.m_Width = 3.0f;
    a.m_Active = true;
    a.m_LimitedReach = true;
    a.m_BackReach = 12.0f;
    WeFileStream in;
    ASSERT_TRUE(Bytes([&](WeFileStream& s) { a.Save(s); }, in));
    WePortal b;
    ASSERT_TRUE(b.Load(in));
    EXPECT_STREQ(b.m_FirstText.c_str(), "x");
    EXPECT_EQ(b.m_SecondLink, 9);
    EXPECT_FLOAT_EQ(b.m_Width, 3.0f);
    EXPECT_TRUE(b.m_Active);
    EXPECT_FLOAT_EQ(b.m_BackReach, 12.0f);
    WePortal c;
    a.CopyTo(&c);
    EXPECT_TRUE(c.m_LimitedReach);
    EXPECT_FLOAT_EQ(c.m_BackReach, 12.0f);
    EXPECT_EQ(c.m_Type, WeActorTypePortal);
}

TEST(WePortalEditor, WidthChangeRebuildsWithoutFilingTwice)
{
    g_Timer.m_FrameDeltaF = 0.1f;
    WeWorld world;
    world.m_EditorMode = true;
    WePortal* portal = AddPortal(world, 0.0f);
    world.Tick();
    const int32_t entries = world.CountTableEntries(portal);
    EXPECT_TRUE(world.IsInTable(world.GetPortals(), portal));
    portal->m_Width = 40.0f;
    world.Tick();
    EXPECT_FLOAT_EQ(portal->m_Scale.x, 40.0f);
    EXPECT_FLOAT_EQ(portal->m_PreviousScale.x, 40.0f);
    EXPECT_NEAR(portal->m_BoundingSphere.radius, 20.0f * 1.4142135f, 1e-4f);
    EXPECT_EQ(world.CountTableEntries(portal), entries);
    g_Timer.m_FrameDeltaF = 0.0f;
}

TEST(WePortalEditor, GameWorldPortalIsStaticAndInvisible)
{
    WeWorld world;
    WePortal* portal = AddPortal(world, 0.0f);
    EXPECT_TRUE(portal->m_Static);
    EXPECT_FALSE(portal->m_ModelVisible);
    EXPECT_FALSE(portal->m_HasModel);
    portal->m_Width = 40.0f;
    world.Tick();
    EXPECT_FLOAT_EQ(portal->m_Scale.x, 1.0f);  // the editor's rebuild does not run in the game
}

}  // namespace
