#include "Game/shell/CGameMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CStartLocation.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/world/WePathNode.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/system/SysDebugOutput.h"
#include "Tests/support/ConfigOverride.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace
{

void Capture(const char* text, void* context)
{
    *static_cast<std::string*>(context) += text;
}

// Writes small map files by hand: the version, a header, an empty sky record, then actor records.
class CGameMapTest : public ::testing::Test
{
protected:
    void SetUp() override { SysDebugOutput::SetCapture(Capture, &m_Debug); }
    void TearDown() override { SysDebugOutput::SetCapture(nullptr, nullptr); }

    void WriteMap(const std::string& name, const CMapHeader& header, const std::vector<WeActor*>& actors)
    {
        WeFileStream s;
        ASSERT_TRUE(s.Create(m_Folder.Path(name + ".map").c_str()));
        s.WriteInt32(1);
        header.Write(s);
        s.WriteInt32(0);
        for (WeActor* actor : actors)
        {
            s.WriteInt32(actor->m_Type);
            actor->Save(s);
            delete actor;
        }
    }
    static WeActor* Node(int32_t id, float x, float z)
    {
        WePathNode* node = new WePathNode();
        node->m_Id = id;
        node->SetLocation(D3DXVECTOR3(x, 1.0f, z));
        return node;
    }
    // A square loop of 400 m with a node every 50 m.
    static std::vector<WeActor*> Loop()
    {
        std::vector<WeActor*> nodes;
        int32_t id = 10;
        for (int i = 0; i < 2; ++i)
            nodes.push_back(Node(id += 10, 0.0f, 50.0f * (i + 1)));
        for (int i = 0; i < 2; ++i)
            nodes.push_back(Node(id += 10, 50.0f * (i + 1), 100.0f));
        for (int i = 0; i < 2; ++i)
            nodes.push_back(Node(id += 10, 100.0f, 50.0f * (1 - i)));
        for (int i = 0; i < 2; ++i)
            nodes.push_back(Node(id += 10, 50.0f * (1 - i), 0.0f));
        nodes.back()->SetLocation(D3DXVECTOR3(5.0f, 1.0f, 0.0f));
        // Each node faces the next one, as the builder's do.
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const D3DXVECTOR3 a = nodes[i]->GetWorldPosition();
            const D3DXVECTOR3 b = nodes[(i + 1) % nodes.size()]->GetWorldPosition();
            D3DXVECTOR3 f(b.x - a.x, 0.0f, b.z - a.z);
            const float length = std::sqrt(f.x * f.x + f.z * f.z);
            f = D3DXVECTOR3(f.x / length, 0.0f, f.z / length);
            D3DXMATRIX m;
            D3DXMatrixIdentity(&m);
            m._11 = f.z;
            m._12 = 0.0f;
            m._13 = -f.x;
            m._31 = f.x;
            m._32 = 0.0f;
            m._33 = f.z;
            nodes[i]->SetOrientation(m);
        }
        return nodes;
    }
    static WeActor* Plain(int32_t physicsClass, float x)
    {
        WeActor* actor = new WeActor();
        actor->m_PhysicModel.physicsClass = physicsClass;
        actor->m_HasPhysics = false;
        actor->SetLocation(D3DXVECTOR3(x, 0.0f, -500.0f));
        return actor;
    }
    void Load(CGameMap& map, const std::string& name)
    {
        map.SetMapsFolder(m_Folder.Path().c_str());
        ASSERT_TRUE(map.BeginLoad(name.c_str()));
        while (!map.m_Loaded)
            ASSERT_TRUE(map.LoadStep());
    }
    template <class T>
    static std::vector<T*> All(WeWorld& world, int32_t type)
    {
        std::vector<T*> out;
        for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
            if (e->value->m_Type == type)
                out.push_back(static_cast<T*>(e->value));
        return out;
    }

    ScratchFolder m_Folder;
    std::string m_Debug;
};

TEST_F(CGameMapTest, WithDynamicsOffMovableSceneryIsLeftOut)
{
    for (bool dynamics : {false, true})
    {
        std::vector<WeActor*> actors = Loop();
        actors.push_back(Plain(6, 1.0f));
        actors.push_back(Plain(2, 2.0f));
        actors.push_back(Plain(8, 3.0f));
        WriteMap("Dyn", CMapHeader(), actors);
        const bool saved = g_RaceSettings.m_Dynamics;
        g_RaceSettings.m_Dynamics = dynamics;
        CGameMap map;
        Load(map, "Dyn");
        g_RaceSettings.m_Dynamics = saved;
        std::vector<int32_t> classes;
        for (WeActor* actor : All<WeActor>(map, WeActorTypePlain))
            classes.push_back(actor->m_PhysicModel.physicsClass);
        std::sort(classes.begin(), classes.end());
        if (dynamics)
            EXPECT_EQ(classes, (std::vector<int32_t>{2, 6, 8}));
        else
            EXPECT_EQ(classes, (std::vector<int32_t>{2}));
    }
}

TEST_F(CGameMapTest, StartLocationsAndPickupsComeBackAsTheGamesActors)
{
    std::vector<WeActor*> actors = Loop();
    for (int32_t i = 1; i <= 3; ++i)
    {
        CStartLocation* start = new CStartLocation();
        start->m_StartIndex = i;
        start->SetLocation(D3DXVECTOR3(0.0f, 1.0f, 10.0f + 8.0f * i));
        actors.push_back(start);
    }
    // One pickup near the second corner, one near the far side, a random weapon box and a coin.
    const struct
    {
        int32_t type;
        D3DXVECTOR3 at;
        bool random;
        int32_t nearestNode;
    } pickups[] = {
        {PickupPlasmaBolt, {1.0f, 1.0f, 99.0f}, true, 30},
        {PickupCoinKest, {99.0f, 1.0f, 49.0f}, false, 60},
        {PickupNukeMine, {52.0f, 1.0f, 1.0f}, false, 70},
    };
    for (const auto& p : pickups)
    {
        CPickup* pickup = g_PickupFactory.Create(p.type);
        pickup->m_Random = p.random;
        pickup->SetLocation(p.at);
        actors.push_back(pickup);
    }
    WriteMap("Race", CMapHeader(), actors);

    CGameMap map;
    Load(map, "Race");
    std::vector<int32_t> indices;
    for (CStartLocation* start : All<CStartLocation>(map, CStartLocation::TypeCode))
    {
        indices.push_back(start->m_StartIndex);
        EXPECT_EQ(start->m_TakenBy, nullptr);
        EXPECT_FALSE(start->m_ModelVisible);
    }
    std::sort(indices.begin(), indices.end());
    EXPECT_EQ(indices, (std::vector<int32_t>{1, 2, 3}));

    EXPECT_EQ(map.m_Pickups.Count(), 3);
    for (const auto& p : pickups)
    {
        // A random box has rolled its first contents at Init: it is found by its flag.
        std::vector<CPickup*> found;
        if (p.random)
        {
            for (auto* n = map.m_Pickups.FirstNode(); n != nullptr; n = map.m_Pickups.NextNode(n))
                if (n->payload->m_Random)
                    found.push_back(n->payload);
        }
        else
            for (CPickup* pickup : All<CPickup>(map, p.type))
                if (!pickup->m_Random)
                    found.push_back(pickup);
        ASSERT_EQ(found.size(), 1u) << p.type;
        EXPECT_EQ(found[0]->m_Random, p.random) << p.type;
        EXPECT_TRUE(found[0]->m_Available);
        // Filed under the node of the section it stands on, where the AI reads it.
        WePathNode* holder = nullptr;
        for (auto* e = map.GetPathNodes().First(); e != nullptr; e = map.GetPathNodes().Next())
        {
            WePathNode* node = static_cast<WePathNode*>(e->value);
            if (node->m_AttachedActors.Contains(found[0]))
            {
                EXPECT_EQ(holder, nullptr) << "filed twice";
                holder = node;
            }
        }
        ASSERT_NE(holder, nullptr) << p.type;
        EXPECT_EQ(holder->m_Id, p.nearestNode) << p.type;
    }
}

TEST_F(CGameMapTest, AShortPickupRecordIsDroppedAndTheLoadEnds)
{
    std::vector<WeActor*> actors = Loop();
    CPickup* pickup = g_PickupFactory.Create(PickupMinigun);
    actors.push_back(pickup);
    WriteMap("Short", CMapHeader(), actors);
    std::string bytes = ScratchFolder::Read(m_Folder.Path("Short.map"));
    bytes.resize(bytes.size() - 1);  // the random flag is gone
    m_Folder.Write("Short.map", bytes);
    CGameMap map;
    Load(map, "Short");
    EXPECT_TRUE(All<CPickup>(map, PickupMinigun).empty());
    EXPECT_EQ(map.GetPathNodes().Count(), 8);
}

TEST_F(CGameMapTest, ADamagedHeaderLoadsNothingAfterIt)
{
    // A version-17 header whose start-location count the file cannot hold, then whole records.
    {
        WeFileStream s;
        ASSERT_TRUE(s.Create(m_Folder.Path("Damaged.map").c_str()));
        s.WriteInt32(1);
        s.WriteInt32(17);
        for (int i = 0; i < 4; ++i)
            s.WriteString("");
        s.WriteFloat(0.0f);
        s.WriteFloat(0.0f);
        s.WriteString("");
        for (int i = 0; i < 4; ++i)
            s.WriteFloat(1.0f);
        s.WriteByte(0);
        for (int i = 0; i < 4; ++i)
            s.WriteFloat(1.0f);
        for (int i = 0; i < 4; ++i)
            s.WriteFloat(1.0f);
        s.WriteInt32(1000000);
        s.WriteInt32(0);
        for (WeActor* actor : Loop())
        {
            s.WriteInt32(actor->m_Type);
            actor->Save(s);
            delete actor;
        }
    }
    CGameMap map;
    map.SetMapsFolder(m_Folder.Path().c_str());
    ASSERT_TRUE(map.BeginLoad("Damaged"));
    EXPECT_TRUE(map.m_Header.m_Damaged);
    for (int steps = 0; steps < 100 && !map.m_Loaded; ++steps)
        map.LoadStep();
    EXPECT_TRUE(map.m_Loaded);
    // Only the world's stand-in node for a map without a path.
    EXPECT_LE(map.GetActors().Count(), 1);
}

TEST_F(CGameMapTest, PickupRecordsFollowTheActorVersionGates)
{
    // Write a pickup record by hand at actor versions 28, 29 and 30 and read each back.
    for (int32_t version : {28, 29, 30, 32})
    {
        CPickup source(PickupSwarmer);
        const std::string path = m_Folder.Path("p.bin");
        {
            WeFileStream s;
            ASSERT_TRUE(s.Create(path.c_str()));
            source.WeActor::Save(s);
            s.WriteByte(0);  // available
            if (version < 30)
                s.WriteFloat(12.5f);
            if (version > 28)
                s.WriteByte(1);
        }
        std::string bytes = ScratchFolder::Read(path);
        bytes[0] = static_cast<char>(version);
        m_Folder.Write("p.bin", bytes);
        if (version != 32)
            continue;  // an older actor record has other fields: only the gates of the current one are exact
        WeFileStream in;
        ASSERT_TRUE(in.Open(path.c_str()));
        CPickup read(0);
        ASSERT_TRUE(read.Load(in));
        EXPECT_FALSE(read.m_Available);
        EXPECT_TRUE(read.m_Random);
        EXPECT_EQ(read.m_RespawnTime, 30.0f);
        EXPECT_EQ(read.m_Type, PickupSwarmer);
        EXPECT_EQ(in.Tell(), in.GetSize());
    }
}

class CMapCatalogueTest : public CGameMapTest
{
protected:
    static constexpr const char* Day = "Wastelands of Apeiron (day)";
    static constexpr const char* Night = "Fusion Sphere (night)";
    void WriteHeaderOnly(const char* name, const char* displayName, float firstLap)
    {
        CMapHeader h;
        h.m_DisplayName = displayName;
        h.m_PreviewTexture = WeString("Maps.") + name;
        h.m_LapTimes[0] = firstLap;
        WriteMap(name, h, {});
    }
    void LoadCatalogue(CMapCatalogue& catalogue)
    {
        catalogue.SetMapsFolder(m_Folder.Path().c_str());
        catalogue.Load();
    }
};

TEST_F(CMapCatalogueTest, UnlockIdsFromZeroTo999AreListed)
{
    WriteHeaderOnly(Day, "", 60.0f);
    WriteHeaderOnly(Night, "", 60.0f);
    GetConfigInt("Maps.Wastelands of Apeiron (day).UnlockID", -1);
    GetConfigInt("Maps.Fusion Sphere (night).UnlockID", -1);
    const struct
    {
        const char* day;
        const char* night;
        int listed;
    } cases[] = {{"-1", "0", 1}, {"999", "1000", 1}, {"0", "999", 2}, {"-5", "1000", 0}};
    for (const auto& c : cases)
    {
        ConfigOverride day("Maps.Wastelands of Apeiron (day).UnlockID", c.day);
        ConfigOverride night("Maps.Fusion Sphere (night).UnlockID", c.night);
        CMapCatalogue catalogue;
        LoadCatalogue(catalogue);
        EXPECT_EQ(catalogue.m_Names.Count(), c.listed) << c.day << " " << c.night;
        EXPECT_EQ(catalogue.m_Entries.Count(), c.listed);
    }
}

TEST_F(CMapCatalogueTest, MapsSitInTheirWorldsAndASecondLoadGivesOneList)
{
    WriteHeaderOnly(Day, "", 60.0f);
    WriteHeaderOnly(Night, "", 60.0f);
    ConfigOverride day("Maps.Wastelands of Apeiron (day).UnlockID", "0");
    ConfigOverride night("Maps.Fusion Sphere (night).UnlockID", "3");
    CMapCatalogue catalogue;
    LoadCatalogue(catalogue);
    LoadCatalogue(catalogue);
    ASSERT_EQ(catalogue.m_Names.Count(), 2);
    EXPECT_EQ(catalogue.m_Names.Front(), Day);
    EXPECT_EQ(catalogue.m_Names.Back(), Night);
    ASSERT_NE(catalogue.Find(Day), nullptr);
    ASSERT_NE(catalogue.Find(Night), nullptr);
    EXPECT_EQ(catalogue.Find(Day)->m_WorldName, "Gnosis");
    EXPECT_EQ(catalogue.Find(Night)->m_WorldName, "Evelad");
    EXPECT_EQ(catalogue.Find(Night)->m_UnlockId, 3);
    EXPECT_EQ(catalogue.Find(Night)->m_Header.m_PreviewTexture, WeString("Maps.") + Night);
    EXPECT_EQ(catalogue.Find("_TestRace"), nullptr);
}

TEST_F(CMapCatalogueTest, NoMapInheritsTheHeaderOfTheOneBefore)
{
    // The first map sets lap times and a fog; the second, an old version-3 header, carries neither.
    CMapHeader first;
    first.m_FogOn = true;
    first.m_FogEnd = 123.0f;
    first.m_BloomLevels[2] = 9.0f;
    WriteMap(Day, first, {});
    {
        WeFileStream s;
        ASSERT_TRUE(s.Create(m_Folder.Path(std::string(Night) + ".map").c_str()));
        s.WriteInt32(1);
        s.WriteInt32(3);
        for (int i = 0; i < 3; ++i)
            s.WriteString("");
        s.WriteFloat(0.0f);
        s.WriteFloat(0.0f);
        s.WriteString("");
        for (int i = 0; i < 4; ++i)
            s.WriteFloat(0.5f);
        s.WriteInt32(0);
        s.WriteInt32(0);
    }
    ConfigOverride day("Maps.Wastelands of Apeiron (day).UnlockID", "0");
    ConfigOverride night("Maps.Fusion Sphere (night).UnlockID", "0");
    GetConfigString("Maps.Wastelands of Apeiron (day).LapTime", WeString());
    GetConfigString("Maps.Fusion Sphere (night).LapTime", WeString());
    ConfigOverride dayLaps("Maps.Wastelands of Apeiron (day).LapTime", "90,80");
    ConfigOverride nightLaps("Maps.Fusion Sphere (night).LapTime", "");
    CMapCatalogue catalogue;
    LoadCatalogue(catalogue);
    ASSERT_NE(catalogue.Find(Night), nullptr);
    const CMapHeader& d = catalogue.Find(Day)->m_Header;
    const CMapHeader& n = catalogue.Find(Night)->m_Header;
    EXPECT_EQ(d.m_LapTimes[0], 90.0f);
    EXPECT_EQ(d.m_LapTimes[1], 80.0f);
    EXPECT_EQ(d.m_LapTimes[2], 58.0f);
    EXPECT_TRUE(d.m_FogOn);
    EXPECT_EQ(n.m_LapTimes[0], 60.0f);
    EXPECT_EQ(n.m_LapTimes[1], 59.0f);
    EXPECT_FALSE(n.m_FogOn);
    EXPECT_EQ(n.m_FogEnd, 2000.0f);
    EXPECT_EQ(n.m_BloomLevels[2], 2.0f);
    EXPECT_EQ(n.m_AmbientColor[0], 0.5f);
    EXPECT_NE(d.m_DisplayName, n.m_DisplayName);
}

TEST_F(CMapCatalogueTest, MissingAndDamagedMapsAreLeftOutWithALine)
{
    WriteHeaderOnly(Night, "", 60.0f);
    // A damaged header: the version alone.
    {
        WeFileStream s;
        ASSERT_TRUE(s.Create(m_Folder.Path(std::string(Night) + ".map").c_str()));
        s.WriteInt32(1);
        s.WriteInt32(18);
    }
    ConfigOverride day("Maps.Wastelands of Apeiron (day).UnlockID", "0");
    ConfigOverride night("Maps.Fusion Sphere (night).UnlockID", "0");
    CMapCatalogue catalogue;
    LoadCatalogue(catalogue);
    EXPECT_EQ(catalogue.m_Names.Count(), 0);
    EXPECT_NE(m_Debug.find("MISSING MAP Wastelands of Apeiron (day)\n"), std::string::npos) << m_Debug;
    EXPECT_NE(m_Debug.find("DAMAGED MAP Fusion Sphere (night)\n"), std::string::npos) << m_Debug;
}

TEST_F(CMapCatalogueTest, AnUnlistedNameKeepsItsStoredTextsAndDefaultLapTimes)
{
    CMapHeader h;
    h.m_DisplayName = "Test Race";
    h.m_Description = "stored";
    WriteMap("_Unlisted", h, {});
    GetConfigString("Maps._Unlisted.LapTime", WeString());
    ConfigOverride laps("Maps._Unlisted.LapTime", "1,2,3,4,5");
    CMap map;
    map.SetMapsFolder(m_Folder.Path().c_str());
    ASSERT_TRUE(map.Load("_Unlisted"));
    EXPECT_EQ(map.m_Header.m_DisplayName, "Test Race");
    EXPECT_EQ(map.m_Header.m_Description, "stored");
    EXPECT_EQ(map.m_Header.m_LapTimes[0], 60.0f);
    EXPECT_EQ(map.m_Header.m_LapTimes[4], 0.4f);
    EXPECT_EQ(map.m_Header.m_UnlockId, -1);
}

}  // namespace
