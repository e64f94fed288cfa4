#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/world/WePathNode.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CStartLocation.h"
#include "Game/shell/PathNodeFields.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapTrack.h"
#include "Tools/map_common/MapWriter.h"
#include "Tools/mapbuilder/MapGameWriter.h"

namespace
{

// A loop of about 1 km with a header block; each test adds its own lines.
const std::string Loop = "section\n point 0 0 20\n point 0 0 300\n point 100 0 400\n point 200 0 300\nend\n"
                         "section\n point 200 0 300\n point 200 0 0\n point 100 0 -100\n point 0 0 20\nend\n";

class MapBuilderGameTest : public ::testing::Test
{
protected:
    void SetUp() override { MapGameWriter::Register(); }
    void TearDown() override { MapGameWriter::Unregister(); }

    bool Build(const std::string& text, std::string& error)
    {
        MapDescription map;
        if (!ParseMapDescription(text, "g.txt", map, error))
            return false;
        std::string written;
        if (!WriteMap(map, "g.txt", m_Folder.Path(), written, error))
            return false;
        m_Name = map.name;
        return true;
    }
    void BuildAndLoad(const std::string& text, CGameMap& map)
    {
        std::string error;
        ASSERT_TRUE(Build(text, error)) << error;
        map.SetMapsFolder(m_Folder.Path().c_str());
        ASSERT_TRUE(map.BeginLoad(m_Name.c_str()));
        while (!map.m_Loaded)
            ASSERT_TRUE(map.LoadStep());
    }
    template <class T>
    static std::vector<T*> All(WeWorld& world)
    {
        std::vector<T*> out;
        for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
            if (T* actor = dynamic_cast<T*>(e->value))
                out.push_back(actor);
        return out;
    }

    ScratchFolder m_Folder;
    std::string m_Name;
};

TEST_F(MapBuilderGameTest, GrammarErrorsNameTheirLine)
{
    const struct
    {
        std::string text;
        const char* error;
    } cases[] = {
        {"map A\nheader\n fog 1 2 3\nend\n" + Loop,
         "g.txt:3: expected: fog <on> <start> <end> <min> <max> <r> <g> <b> <a>"},
        {"map A\nheader\n ambient 1 1 x 1\nend\n" + Loop, "g.txt:3: not a number: x"},
        {"map A\nheader\n laps 3\nend\n" + Loop, "g.txt:3: unknown header field: laps"},
        {"map A\nheader\n scale 0.5\nend\n" + Loop, "g.txt:3: the world scale is at least 1"},
        {"map A\nheader\n name\nend\n" + Loop, "g.txt:3: name needs a text"},
        {"map A\nheader\n name X\n", "g.txt:2: missing end of the header block"},
        {"map A\nheader\nend\npickup Bogus at 10\n" + Loop, "g.txt:4: unknown pickup kind: Bogus"},
        {"map A\nheader\nend\npickup PlasmaBolt at\n" + Loop,
         "g.txt:4: expected: pickup <kind> at <metres> [side <m>] [random] or pickup <kind> <x> <y> <z> [random]"},
        {"map A\npickup PlasmaBolt at 10\n" + Loop,
         "g.txt:2: pickups and plans belong to a game map: it needs a header block"},
        {"map ../up\n" + Loop, "g.txt:1: a map name is letters, digits, blanks, (, ), _ and -"},
        {"map A B\n" + Loop, "g.txt:1: a map name that is not letters and digits needs a folder"},
        {"map A\nsection\n checkpoint\n point 0 0 1\n point 0 0 9\nend\n",
         "g.txt:3: a checkpoint follows the point it marks"},
        {"map A\nsection\n point 0 0 1\n point 0 0 9\n zone 2\nend\n", "g.txt:5: zone is 0 or 1"},
        {"map A\ncheckpoints 0\n" + Loop, "g.txt:2: 1 to 100 checkpoints"},
        {"map A\ncheckpoints x\n" + Loop, "g.txt:2: not a whole number: x"},
        {"map A\nheader\nend\nplan preview 8x8\n" + Loop, "g.txt:4: a plan's size is <W>x<H>, 16 to 2048 each: 8x8"},
        {"map A\nsection\n point 0 0 1\n point 0 0 9\n jump\nend\n",
         "g.txt:5: a jump inside a section belongs to a fork's branch; use section jump"},
        {"map A\n" + Loop + "fork\nbranch\n point 0 0 20\n jump\n point 0 0 40\n point 0 0 60\nend\n",
         "g.txt:17: a branch's jump needs two points before it"},
        // A room without a track: only a game map may be one, and then with nothing that needs a road.
        {"map A\nactor plain Maps.Room 0 0 0\n", "g.txt:3: the track needs a section"},
        {"map A\nheader\nend\nstarts 2 8\n",
         "g.txt:1: starts, pickups and plans need a track: a map without sections has none"},
        {"map A\nheader\nend\npickup PlasmaBolt 0 1 0\n",
         "g.txt:1: starts, pickups and plans need a track: a map without sections has none"},
    };
    for (const auto& c : cases)
    {
        std::string error;
        EXPECT_FALSE(Build(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    EXPECT_TRUE(m_Folder.Find("A", "").empty());
}

TEST_F(MapBuilderGameTest, AGameMapCarriesItsHeaderGridAndPickups)
{
    CGameMap map;
    BuildAndLoad("map Name With Blanks (day)\nfolder Blanks\nstarts 8 8\nheader\n name Blanks\n"
                 " description Two words\n preview Maps.Blanks.Preview\n loading Maps.Blanks.Loading\n"
                 " ambient 0.5 0.4 0.3 1\n fog 1 100 900 0.1 0.9 0.2 0.3 0.4 1\n scale 2\n far 2500\n valuea 3\n"
                 " text5 five\n bloom 0.5 1.5 2.5\n renderer 0.1 -0.1\n world 0 300 600\nend\n"
                 "pickup PlasmaBolt at 60 side -4 random\npickup 10026 at 60\npickup QuadDamage 0 1.5 100\n" +
                     Loop,
                 map);
    // A name that is not letters and digits: its configuration is absent, so the stored texts stand.
    const CMapHeader& h = map.m_Header;
    EXPECT_FALSE(h.m_Damaged);
    EXPECT_EQ(h.m_Version, 18);
    EXPECT_EQ(h.m_PreviewTexture, "Maps.Blanks.Preview");
    EXPECT_EQ(h.m_LoadingTexture, "Maps.Blanks.Loading");
    EXPECT_EQ(h.m_AmbientColor[1], 0.4f);
    EXPECT_TRUE(h.m_FogOn);
    EXPECT_EQ(h.m_FogEnd, 900.0f);
    EXPECT_EQ(h.m_FogValue4, 0.9f);
    EXPECT_EQ(h.m_FogColor[2], 0.4f);
    EXPECT_EQ(h.m_WorldScale, 2.0f);
    EXPECT_EQ(h.m_FarValue, 2500.0f);
    EXPECT_EQ(h.m_ValueA, 3.0f);
    EXPECT_EQ(h.m_Text5, "five");
    EXPECT_EQ(h.m_BloomLevels[2], 2.5f);
    EXPECT_EQ(h.m_RendererValues[1], -0.1f);
    EXPECT_FALSE(map.m_PortalsEnabled);
    EXPECT_EQ(map.m_EditorDistance2, 600.0f);
    EXPECT_FALSE(m_Folder.Find("Name With Blanks (day).map", "").empty());

    // Eight starts, indices 1 to 8, just past the first node and facing along the first section.
    const std::vector<CStartLocation*> starts = All<CStartLocation>(map);
    ASSERT_EQ(starts.size(), 8u);
    std::vector<int32_t> indices;
    const WePathNode* first = map.m_FirstPathNode;
    ASSERT_NE(first, nullptr);
    const D3DXMATRIX& f = first->GetWorldMatrix();
    for (CStartLocation* s : starts)
    {
        indices.push_back(s->m_StartIndex);
        const D3DXVECTOR3 p = s->GetWorldPosition();
        const float ahead = (p.x - f._41) * f._31 + (p.y - f._42) * f._32 + (p.z - f._43) * f._33;
        EXPECT_GT(ahead, 0.0f) << s->m_StartIndex;
        EXPECT_LT(ahead, 40.0f) << s->m_StartIndex;
        const D3DXMATRIX& m = s->GetWorldMatrix();
        EXPECT_GT(m._31 * f._31 + m._32 * f._32 + m._33 * f._33, 0.99f);
    }
    std::sort(indices.begin(), indices.end());
    EXPECT_EQ(indices, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    // Index 1 leads the grid.
    const auto byIndex = [&](int32_t i)
    { return *std::find_if(starts.begin(), starts.end(), [&](auto* s) { return s->m_StartIndex == i; }); };
    EXPECT_GT(byIndex(1)->GetWorldPosition().z, byIndex(8)->GetWorldPosition().z);

    // Pickups by name or id, on the road or at a point, random only when asked.
    const std::vector<CPickup*> pickups = All<CPickup>(map);
    ASSERT_EQ(pickups.size(), 3u);
    for (CPickup* p : pickups)
    {
        const D3DXVECTOR3 at = p->GetWorldPosition();
        // The random box has rolled its first contents: a weapon or a mine.
        if (p->m_Random)
        {
            EXPECT_TRUE(IsWeaponOrMinePickup(p->m_Type));
            EXPECT_NEAR(at.z, 80.0f, 2.0f);  // 60 m from the first node at z 20, on a gently bending road
            EXPECT_NEAR(at.x, -4.0f, 2.0f);  // left of a track heading +z
            EXPECT_NEAR(at.y, 1.5f, 0.01f);
        }
        else if (p->m_Type == PickupCoinSmall)
            EXPECT_FALSE(p->m_Random);
        else
        {
            EXPECT_EQ(p->m_Type, PickupQuadDamage);
            EXPECT_EQ(at, D3DXVECTOR3(0.0f, 1.5f, 100.0f));
        }
    }
}

TEST_F(MapBuilderGameTest, SectionMarksReachTheirPathNodes)
{
    CGameMap map;
    BuildAndLoad("map Marks\nheader\nend\nsection\n point 0 0 20\n point 0 0 300\n checkpoint\n point 100 0 400\n"
                 " hold 1.5\n healing 12\n headlights 1\nend\n"
                 "section\n point 100 0 400\n point 200 0 300\n point 200 0 0\n point 100 0 -100\n point 0 0 20\n"
                 " effect 0.6\n zone 1\nend\n",
                 map);
    int32_t checkpoints = 0, held = 0, effects = 0;
    for (WePathNode* node : All<WePathNode>(map))
    {
        const D3DXVECTOR3 p = node->GetWorldPosition();
        if (PathNodeFields::IsCheckpoint(*node))
        {
            ++checkpoints;
            EXPECT_NEAR(p.z, 300.0f, 15.0f);
            EXPECT_NEAR(p.x, 0.0f, 5.0f);
        }
        const bool firstSection = PathNodeFields::GetHoldTime(*node) > 0.0f;
        if (firstSection)
        {
            ++held;
            EXPECT_EQ(PathNodeFields::GetHoldTime(*node), 1.5f);
            EXPECT_EQ(PathNodeFields::GetHealingValue(*node), 12.0f);
            EXPECT_TRUE(PathNodeFields::IsHeadlightZone(*node));
            EXPECT_FALSE(PathNodeFields::GetZoneByte(*node));
        }
        else
        {
            ++effects;
            EXPECT_EQ(PathNodeFields::GetEffectValue(*node), 0.6f);
            EXPECT_TRUE(PathNodeFields::GetZoneByte(*node));
            EXPECT_EQ(PathNodeFields::GetHealingValue(*node), 0.0f);
        }
    }
    EXPECT_EQ(checkpoints, 1);
    EXPECT_GT(held, 5);
    EXPECT_GT(effects, 5);
}

TEST_F(MapBuilderGameTest, CheckpointsMarkTheNodesNearestEvenLapFractions)
{
    CGameMap map;
    BuildAndLoad("map Even\nheader\nend\ncheckpoints 8\nnodes 25 1.5\n"
                 "section\n point 0 0 0\n point 200 0 200\n point 0 0 400\n point -200 0 200\n point 0 0 0\nend\n",
                 map);
    std::vector<float> fractions;
    float spacing = 0.0f;
    for (WePathNode* node : All<WePathNode>(map))
    {
        if (PathNodeFields::IsCheckpoint(*node))
            fractions.push_back(node->m_Fraction);
        if (node->m_Next != nullptr && node->m_Next->m_Fraction > node->m_Fraction)
            spacing = std::max(spacing, node->m_Next->m_Fraction - node->m_Fraction);
    }
    ASSERT_EQ(fractions.size(), 8u);
    ASSERT_GT(spacing, 0.0f);
    std::sort(fractions.begin(), fractions.end());
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(fractions[size_t(k)], float(k) / 8.0f, spacing * 0.51f + 1e-4f) << k;
}

TEST_F(MapBuilderGameTest, ABranchJumpsAGapOfItsOwn)
{
    CGameMap map;
    BuildAndLoad("map Leap\nheader\nend\n"
                 "section\n point 0 0 20\n point 0 0 300\nend\n"
                 "fork\n branch\n  point 0 0 300\n  point 0 0 500\n end\n"
                 " branch\n  point 0 0 300\n  point 60 0 360\n  point 80 4 420\n  jump\n  point 80 0 460\n"
                 "  point 60 0 480\n  point 0 0 500\n end\nendfork\n"
                 "section\n point 0 0 500\n point 0 0 700\n point 200 0 700\n point 200 0 0\n point 0 0 20\nend\n",
                 map);
    int32_t ramps = 0;
    for (WePathNode* node : All<WePathNode>(map))
        if (node->m_Kind == WePathNode::JumpStart)
        {
            ++ramps;
            EXPECT_EQ(PathNodeFields::GetBranchTag(*node), 2);
            ASSERT_NE(node->m_Next, nullptr);
            EXPECT_EQ(node->m_Next->m_Kind, WePathNode::JumpEnd);
            EXPECT_GT(node->m_Next->GetWorldPosition().z, node->GetWorldPosition().z + 20.0f);
            EXPECT_TRUE(node->m_OnTrack);
        }
    EXPECT_EQ(ramps, 1);
    // The loop still closes through the fork.
    const WePathNode* first = map.m_FirstPathNode;
    ASSERT_NE(first, nullptr);
    const WePathNode* n = first->m_Next;
    for (int i = 0; i < 200 && n != nullptr && n != first; ++i)
        n = n->m_Next;
    EXPECT_EQ(n, first);
}

TEST_F(MapBuilderGameTest, AGameMapWithoutSectionsIsARoomOfItsActorsAndLights)
{
    CGameMap map;
    BuildAndLoad("map Room\nheader\n ambient 0.2 0.3 0.4 1\n bloom 0.5 1 2\nend\n"
                 "actor plain Maps.Room 0 0 0 label Hall\nlight 0 5 0 label Lamp\n kind 2\n range 20\nend\n",
                 map);
    EXPECT_TRUE(map.m_Loaded);
    EXPECT_FLOAT_EQ(map.m_Header.m_AmbientColor[1], 0.3f);
    EXPECT_TRUE(All<CStartLocation>(map).empty());
    EXPECT_TRUE(All<CPickup>(map).empty());
    EXPECT_FALSE(All<WeActor>(map).empty());
}

TEST_F(MapBuilderGameTest, AnEngineFixtureStaysWithoutHeaderOrGamePieces)
{
    std::string error;
    ASSERT_TRUE(Build("map Fixture\nstarts 2 8\n" + Loop, error)) << error;
    // Version, then straight to the sky record: no header bytes.
    WeFileStream in;
    ASSERT_TRUE(in.Open(m_Folder.Path("Fixture.map").c_str()));
    EXPECT_EQ(in.ReadInt32(), 1);
    EXPECT_EQ(in.ReadInt32(), 2);  // the sky record's version
}

TEST(CStartLocation, ItsRecordIsTheStandInsBytes)
{
    ScratchFolder folder;
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        (&m._11)[i] = 0.0f;
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    m._41 = 3.0f;
    m._42 = 1.5f;
    m._43 = -7.0f;
    CStartLocation game;
    game.m_StartIndex = 5;
    game.SetTransform(m);
    MapStartLocation stand;
    stand.m_StartIndex = 5;
    stand.SetTransform(m);
    {
        WeFileStream a, b;
        ASSERT_TRUE(a.Create(folder.Path("a.bin").c_str()));
        ASSERT_TRUE(b.Create(folder.Path("b.bin").c_str()));
        game.Save(a);
        stand.Save(b);
    }
    const std::string bytes = ScratchFolder::Read(folder.Path("a.bin"));
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, ScratchFolder::Read(folder.Path("b.bin")));
    // Each reads the other's record.
    WeFileStream in;
    ASSERT_TRUE(in.Open(folder.Path("b.bin").c_str()));
    CStartLocation read;
    ASSERT_TRUE(read.Load(in));
    EXPECT_EQ(read.m_StartIndex, 5);
    EXPECT_EQ(read.GetWorldPosition(), D3DXVECTOR3(3.0f, 1.5f, -7.0f));
}

}  // namespace
