#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WePathNode.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/content/ContentDevice.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapTrack.h"
#include "Tools/map_common/MapTrackMesh.h"
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
        EXPECT_GE(s->m_StartIndex, 1);
        EXPECT_LE(s->m_StartIndex, 4);
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

// The game's header as a test stand-in: the description's header pairs as one string.
std::string g_HeaderSeen;
bool WriteTestHeader(WeFileStream& stream, const MapDescription& map, const std::string&, std::string&)
{
    g_HeaderSeen.clear();
    for (const auto& [key, value] : map.header)
        g_HeaderSeen += key + "=" + value + ";";
    return stream.WriteString(WeString(g_HeaderSeen.c_str()));
}
bool RefuseHeader(WeFileStream&, const MapDescription&, const std::string&, std::string&)
{
    return false;
}

// Reads the header back as a string, as the game's map class reads its header.
class HeaderWorld : public MapWorld
{
public:
    void OnLoad(WeFileStream* stream, const WeString&) override
    {
        if (stream)
            header = stream->ReadString().c_str();
    }
    std::string header;
};

TEST_F(MapBuilderTest, ARegisteredHeaderWriterWritesAfterTheVersion)
{
    const std::string text = "map Head\nheader laps 3\nheader mode race\nsection\n point 0 0 10\n point 0 0 100\n"
                             " point 100 0 100\nend\n";
    SetMapHeaderWriter(WriteTestHeader);
    HeaderWorld world;
    const bool loaded = BuildAndLoad(text, world);
    SetMapHeaderWriter(nullptr);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(world.header, "laps=3;mode=race;");
    EXPECT_GT(world.GetPathNodes().Count(), 0);

    // A header writer that fails leaves no map behind.
    MapDescription map;
    std::string error, written;
    ASSERT_TRUE(ParseMapDescription("map Refused\nsection\n point 0 0 10\n point 0 0 100\n point 100 0 100\nend\n",
                                    "r.txt", map, error));
    SetMapHeaderWriter(RefuseHeader);
    EXPECT_FALSE(WriteMap(map, "r.txt", m_Folder.Path(), written, error));
    SetMapHeaderWriter(nullptr);
    EXPECT_TRUE(m_Folder.Find("Refused", "").empty());
}

TEST_F(MapBuilderTest, TrackSegmentsStayWithinTheLimitsAndFaceTheDrivingSide)
{
    MapDescription map;
    std::string error;
    ASSERT_TRUE(ParseMapDescription(ReadSource("TestCircuit.txt"), "TestCircuit.txt", map, error)) << error;
    // Frames never flip between samples, banked curves included.
    for (const MapLoopItem& item : map.loop)
        for (const MapSection* section : {&item.section, &item.branches[0], &item.branches[1]})
        {
            const std::vector<MapFrame> frames = SampleSection(*section, map.step);
            for (size_t i = 1; i < frames.size(); ++i)
            {
                EXPECT_GT(D3DXVec3Dot(&frames[i].up, &frames[i - 1].up), 0.9f);
                EXPECT_GT(D3DXVec3Dot(&frames[i].right, &frames[i - 1].right), 0.9f);
            }
        }

    const std::vector<MapTrackSegment> segments = BuildTrackSegments(map);
    ASSERT_GE(segments.size(), 10u);
    EXPECT_EQ(segments.front().name, "Maps.TestCircuit.Track01");
    EXPECT_EQ(segments[9].name, "Maps.TestCircuit.Track10");
    size_t roadFaces = 0, wallFaces = 0;
    for (const MapTrackSegment& s : segments)
    {
        ASSERT_LT(s.geometry.vertices.size(), MapSegmentMaxVertices);
        ASSERT_LT(s.geometry.faces.size(), MapSegmentMaxFaces);
        ASSERT_LE(s.geometry.vertices.size(), 65536u);  // 16-bit indices
        for (const ContentMeshFace& f : s.geometry.faces)
        {
            const D3DXVECTOR3& a = s.geometry.vertices[f.index[0]].position;
            const D3DXVECTOR3& b = s.geometry.vertices[f.index[1]].position;
            const D3DXVECTOR3& c = s.geometry.vertices[f.index[2]].position;
            D3DXVECTOR3 ab = b - a, ac = c - a, front;
            D3DXVec3Cross(&front, &ab, &ac);
            D3DXVec3Normalize(&front, &front);
            // Clockwise seen from the front: the winding's normal agrees with the stored one.
            EXPECT_GT(D3DXVec3Dot(&front, &s.geometry.vertices[f.index[0]].normal), 0.99f);
            if (f.subset == 0)
            {
                ++roadFaces;
                EXPECT_GT(front.y, 0.9f);  // the road faces up, banking and grades included
            }
            else
                ++wallFaces;
        }
    }
    EXPECT_GT(roadFaces, 2000u);
    EXPECT_GT(wallFaces, roadFaces);
}

// The mesh writer computes tangents on a device mesh: a recording device serves.
class MapBuilderTrackTest : public MapBuilderTest
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Device.Open()); }
    void TearDown() override { m_Device.Close(); }
    std::vector<std::string> Meshes(const std::string& map) const
    {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(m_Folder.Path("Packages/Maps/" + map), ec))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    ContentDevice m_Device;
};

TEST_F(MapBuilderTrackTest, SegmentsAreWrittenWithTheirActorsAndReplaceAnEarlierBuild)
{
    const std::string longer = "map Loop\nsegment 50\nsection\n point 0 0 10\n point 0 0 150\n point 150 0 150\n"
                               " point 150 0 10\n point 0 0 10\nend\n";
    MapDescription map;
    std::string error, written;
    ASSERT_TRUE(ParseMapDescription(longer, "l.txt", map, error)) << error;
    ASSERT_TRUE(WriteMap(map, "l.txt", m_Folder.Path(), m_Folder.Path("Packages"), written, error)) << error;
    const std::vector<std::string> first = Meshes("Loop");
    ASSERT_GE(first.size(), 8u);
    EXPECT_EQ(first.front(), "Track01.mesh");

    // The map holds one static mesh actor per segment, at the identity pose, named after its member.
    MapWorld world;
    world.SetMapsFolder(m_Folder.Path().c_str());
    ASSERT_TRUE(world.BeginLoad("Loop"));
    while (!world.m_Loaded)
        ASSERT_TRUE(world.LoadStep());
    std::vector<std::string> models;
    WeHashTable<WeActor*>& all = world.GetActors();
    for (auto* e = all.First(); e != nullptr; e = all.Next())
        if (e->value->m_PhysicModel.physicsClass == 4)
        {
            models.push_back(e->value->m_ModelName.c_str());
            EXPECT_EQ(e->value->GetWorldPosition(), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
            EXPECT_FALSE(e->value->m_NonUnitScale);
        }
    std::sort(models.begin(), models.end());
    ASSERT_EQ(models.size(), first.size());
    EXPECT_EQ(models.front(), "Maps.Loop.Track01");

    // A shorter track leaves no segment of the longer one behind; a broken description writes nothing.
    map.segmentLength = 1000.0f;
    ASSERT_TRUE(WriteMap(map, "l.txt", m_Folder.Path(), m_Folder.Path("Packages"), written, error)) << error;
    EXPECT_EQ(Meshes("Loop"), std::vector<std::string>{"Track01.mesh"});
    MapDescription broken;
    ASSERT_TRUE(ParseMapDescription("map Broken\nnodes 25 0\nsection\n point 0 0 0\n point 0 0 100\nend\n", "b.txt",
                                    broken, error));
    EXPECT_FALSE(WriteMap(broken, "b.txt", m_Folder.Path(), m_Folder.Path("Packages"), written, error));
    EXPECT_TRUE(Meshes("Broken").empty());
    EXPECT_TRUE(m_Folder.Find("Broken", "").empty());
}

}  // namespace
