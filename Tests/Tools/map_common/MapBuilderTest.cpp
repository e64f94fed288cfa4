#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "Engine/world/WePathNode.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapWorld.h"
#include "Tools/map_common/MapWriter.h"

namespace
{

std::string ReadSource(const char* name)
{
    std::ifstream in(std::string(WE_MAP_SOURCES) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class MapBuilderTest : public ::testing::Test
{
protected:
    // Parses and writes the description, then loads it through the stand-in map class.
    bool BuildAndLoad(const std::string& text, MapWorld& world)
    {
        MapDescription map;
        std::string error, written;
        if (!ParseMapDescription(text, "test.txt", map, error))
        {
            ADD_FAILURE() << error;
            return false;
        }
        map.packagesFolder = WE_GENERATED_CONTENT;
        if (!WriteMap(map, "test.txt", m_Folder.Path(), written, error))
        {
            ADD_FAILURE() << error;
            return false;
        }
        world.SetMapsFolder(m_Folder.Path().c_str());
        if (!world.BeginLoad(map.name.c_str()))
            return false;
        while (!world.m_Loaded)
            if (!world.LoadStep())
                return false;
        return true;
    }

    static std::vector<MapStartLocation*> Starts(WeWorld& world)
    {
        std::vector<MapStartLocation*> out;
        WeHashTable<WeActor*>& all = world.GetActors();
        for (auto* e = all.First(); e; e = all.Next())
            if (e->value->m_Type == MapStartLocation::TypeCode)
                out.push_back(static_cast<MapStartLocation*>(e->value));
        return out;
    }

    ScratchFolder m_Folder;
};

TEST_F(MapBuilderTest, DescriptionErrorsNameTheirLine)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"map A\nbogus 1\n", "test.txt:2: unknown word: bogus"},
        {"map A\nsection\n point 1 2\nend\n", "test.txt:3: expected: point <x> <y> <z> [bank]"},
        {"map A\nsection\n point 1 2 x\nend\n", "test.txt:3: not a number: x"},
        {"map A\nsection\n point 1 2 3\n", "test.txt:4: missing end of a section or fork"},
        {"section\n point 0 0 10\n point 0 0 20\nend\n", "test.txt:5: missing map name"},
        {"map A\nfork\nbranch\n point 0 0 1\n point 0 0 2\nend\nendfork\n", "test.txt:7: a fork needs two branches"},
        {"map A\nstep 1,5\n", "test.txt:2: not a number: 1,5"},
    };
    for (const auto& c : cases)
    {
        MapDescription map;
        std::string error;
        EXPECT_FALSE(ParseMapDescription(c.text, "test.txt", map, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }

    // A node at the origin would be dropped by the loader: refused, and nothing is written.
    MapDescription map;
    std::string error, written;
    ASSERT_TRUE(ParseMapDescription("map Origin\nnodes 25 0\nsection\n point 0 0 0\n point 0 0 100\n"
                                    " point 100 0 100\nend\n",
                                    "o.txt", map, error));
    EXPECT_FALSE(WriteMap(map, "o.txt", m_Folder.Path(), written, error));
    EXPECT_EQ(error, "o.txt:3: a path node at the origin would be dropped");
    EXPECT_TRUE(m_Folder.Find("Origin", "").empty());
}

TEST_F(MapBuilderTest, OvalLoadsAsAClosedLoopOfAboutOneKilometre)
{
    MapWorld world;
    ASSERT_TRUE(BuildAndLoad(ReadSource("TestOval.txt"), world));
    ASSERT_NE(world.m_FirstPathNode, nullptr);
    EXPECT_EQ(world.m_FirstPathNode->m_Id, 10);
    EXPECT_NEAR(world.m_TrackLength, 1030.0f, 80.0f);
    // Every node is on the track and the loop returns to the first after all of them.
    const int32_t nodes = world.GetPathNodes().Count();
    WePathNode* n = world.m_FirstPathNode;
    for (int i = 0; i < nodes; ++i)
    {
        EXPECT_TRUE(n->m_OnTrack);
        n = n->m_Next;
    }
    EXPECT_EQ(n, world.m_FirstPathNode);
    const std::vector<MapStartLocation*> starts = Starts(world);
    ASSERT_EQ(starts.size(), 4u);
    // Start locations lie behind the start line, along the first node's forward axis.
    for (MapStartLocation* s : starts)
    {
        const D3DXVECTOR3 d = s->GetWorldPosition() - world.m_FirstPathNode->GetWorldPosition();
        const D3DXMATRIX& m = world.m_FirstPathNode->GetWorldMatrix();
        EXPECT_LT(d.x * m._31 + d.y * m._32 + d.z * m._33, 0.0f);
        EXPECT_GE(s->m_StartIndex, 0);
        EXPECT_LT(s->m_StartIndex, 4);
    }
}

TEST_F(MapBuilderTest, CircuitLinksBackIntoItsForkAndJump)
{
    MapWorld world;
    ASSERT_TRUE(BuildAndLoad(ReadSource("TestCircuit.txt"), world));
    EXPECT_NEAR(world.m_TrackLength, 3000.0f, 400.0f);
    EXPECT_EQ(Starts(world).size(), 8u);
    WePathNode* fork = world.FindNextPathNode(0, WePathNode::Fork, 0);
    WePathNode* join = world.FindNextPathNode(0, WePathNode::Join, 0);
    WePathNode* ramp = world.FindNextPathNode(0, WePathNode::JumpStart, 0);
    WePathNode* landing = world.FindNextPathNode(0, WePathNode::JumpEnd, 0);
    ASSERT_TRUE(fork && join && ramp && landing);
    EXPECT_EQ(fork->m_Partner, join);
    EXPECT_EQ(ramp->m_Partner, landing);
    EXPECT_EQ(ramp->m_Next, landing);
    ASSERT_NE(fork->m_Branch, nullptr);
    EXPECT_LT(fork->m_BranchWeight, 1.0f);
    // Both branches reach the join; the loop from the first node passes the fork, join, ramp and landing
    // and closes.
    for (WePathNode* b : {fork->m_Next, fork->m_Branch})
    {
        WePathNode* n = b;
        for (int i = 0; i < 100 && n != join; ++i)
            n = n->m_Next;
        EXPECT_EQ(n, join);
    }
    bool sawFork = false, sawJoin = false, sawRamp = false;
    WePathNode* n = world.m_FirstPathNode;
    for (int i = 0; i < 1000; ++i)
    {
        sawFork |= n == fork;
        sawJoin |= n == join;
        sawRamp |= n == ramp;
        n = n->m_Next;
        if (n == world.m_FirstPathNode)
            break;
    }
    EXPECT_EQ(n, world.m_FirstPathNode);
    EXPECT_TRUE(sawFork && sawJoin && sawRamp);
    WeHashTable<WeActor*>& all = world.GetPathNodes();
    for (auto* e = all.First(); e; e = all.Next())
        EXPECT_TRUE(static_cast<WePathNode*>(e->value)->m_OnTrack) << static_cast<WePathNode*>(e->value)->m_Id;
    // Fractions rise along the main path.
    EXPECT_LT(fork->m_Fraction, join->m_Fraction);
    EXPECT_LT(join->m_Fraction, ramp->m_Fraction);
    EXPECT_FLOAT_EQ(ramp->m_Fraction, landing->m_Fraction);
}

}  // namespace
