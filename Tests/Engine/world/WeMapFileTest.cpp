#include <gtest/gtest.h>

#include <cmath>

#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

// A world whose map header is one string, as the game's header is something of its own.
class HeaderWorld : public WeWorld
{
public:
    void OnLoad(WeFileStream* stream, const WeString&) override
    {
        ++m_OnLoadCalls;
        m_StreamWasOpen = stream && stream->IsOpen();
        if (m_StreamWasOpen)
            m_Header = stream->ReadString();
    }
    void OnSave(WeFileStream& stream) override { stream.WriteString(m_Header); }
    void OnLoaded() override { ++m_OnLoadedCalls; }

    WeString m_Header;
    int m_OnLoadCalls = 0;
    int m_OnLoadedCalls = 0;
    bool m_StreamWasOpen = false;
};

class WeMapFileTest : public ::testing::Test
{
protected:
    ScratchFolder m_Folder;
    std::string Map(const char* name) { return m_Folder.Path(std::string(name) + ".map"); }
    void Point(WeWorld& world) { world.SetMapsFolder(m_Folder.Path().c_str()); }
};

TEST_F(WeMapFileTest, HeaderSkyBoxAndActorsLoadStepByStep)
{
    ASSERT_TRUE(WriteMapFile(Map("one"), 1,
                             [](WeFileStream& s)
                             {
                                 s.WriteString("header");
                                 WeSkyBox sky;
                                 sky.m_ModelName = "Maps.Sky.Plain";
                                 sky.m_Mode = 1;
                                 sky.Save(s);
                                 WeActor plain;
                                 plain.m_Label = "a";
                                 plain.m_PhysicModel.physicsClass = 4;
                                 WriteActor(s, plain);
                                 WriteNode(s, 10, 0, D3DXVECTOR3(0, 0, 0));  // at the origin: dropped
                                 WriteNode(s, 20, 0, D3DXVECTOR3(0, 0, 100));
                                 WeActor unknown;
                                 unknown.m_Type = 77;  // unknown code: a plain actor
                                 WriteActor(s, unknown);
                             }));
    HeaderWorld world;
    Point(world);
    ASSERT_TRUE(world.BeginLoad("one"));
    EXPECT_STREQ(world.m_Header.c_str(), "header");
    EXPECT_STREQ(world.m_SkyBox->m_ModelName.c_str(), "Maps.Sky.Plain");
    EXPECT_EQ(world.m_SkyBox->m_Mode, 1);
    float last = 0.0f;
    int steps = 0;
    while (!world.m_Loaded)
    {
        ASSERT_TRUE(world.LoadStep());
        EXPECT_GE(world.m_LoadProgress, last);
        last = world.m_LoadProgress;
        ASSERT_LT(++steps, 10);
    }
    EXPECT_EQ(world.m_LoadProgress, 1.0f);
    EXPECT_EQ(world.m_OnLoadedCalls, 1);
    EXPECT_EQ(world.GetActors().Count(), 3);
    WeActor* a = world.FindActorByLabel("a");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->m_Static && a->m_PositionFixed && a->m_OrientationFixed);
    EXPECT_TRUE(a->m_LoadedFromMap);
    EXPECT_EQ(world.GetPathNodes().Count(), 1);
    ASSERT_NE(world.m_FirstPathNode, nullptr);
    EXPECT_EQ(world.m_FirstPathNode->m_Id, 20);
    EXPECT_TRUE(world.LoadStep());  // loaded stays loaded
}

TEST_F(WeMapFileTest, VersionZeroAndOldSkyBoxRecords)
{
    // Version 0: no header, no sky box; actors from position 4.
    ASSERT_TRUE(WriteMapFile(Map("zero"), 0, [](WeFileStream& s) { WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0)); }));
    HeaderWorld world;
    Point(world);
    ASSERT_TRUE(LoadWhole(world, "zero"));
    EXPECT_EQ(world.m_OnLoadCalls, 0);
    EXPECT_EQ(world.GetPathNodes().Count(), 1);

    // A version-1 sky box holds only the name; a version-3 one only its version.
    for (int32_t skyVersion : {1, 3})
    {
        ASSERT_TRUE(WriteMapFile(Map("sky"), 1,
                                 [&](WeFileStream& s)
                                 {
                                     s.WriteString("h");
                                     s.WriteInt32(skyVersion);
                                     if (skyVersion == 1)
                                         s.WriteString("Maps.Sky.Old");
                                     WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0));
                                 }));
        HeaderWorld w;
        Point(w);
        ASSERT_TRUE(LoadWhole(w, "sky"));
        EXPECT_STREQ(w.m_SkyBox->m_ModelName.c_str(), skyVersion == 1 ? "Maps.Sky.Old" : "");
        EXPECT_EQ(w.m_SkyBox->m_Mode, 0);
        EXPECT_EQ(w.GetPathNodes().Count(), 1);
    }
}

TEST_F(WeMapFileTest, MissingShortAndCutMaps)
{
    HeaderWorld world;
    Point(world);
    EXPECT_FALSE(world.BeginLoad("absent"));
    EXPECT_FALSE(world.m_Loading);
    EXPECT_FALSE(world.LoadStep());

    m_Folder.Write("short.map", std::string("\x01\x00", 2));
    EXPECT_FALSE(world.BeginLoad("short"));

    // Only the header and sky box: loads with the default path node outside the editor.
    ASSERT_TRUE(WriteMapFile(Map("empty"), 1,
                             [](WeFileStream& s)
                             {
                                 s.WriteString("h");
                                 WeSkyBox().Save(s);
                             }));
    HeaderWorld empty;
    Point(empty);
    ASSERT_TRUE(LoadWhole(empty, "empty"));
    EXPECT_EQ(empty.GetPathNodes().Count(), 1);
    ASSERT_NE(empty.m_FirstPathNode, nullptr);
    EXPECT_EQ(empty.m_FirstPathNode->m_Next, empty.m_FirstPathNode);
    EXPECT_EQ(empty.m_TrackLength, 1.0f);

    // The last record cut short is dropped; the load completes.
    ASSERT_TRUE(WriteMapFile(Map("cut"), 1,
                             [](WeFileStream& s)
                             {
                                 s.WriteString("h");
                                 WeSkyBox().Save(s);
                                 WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0));
                                 WeActor a;
                                 a.m_Label = "cut";
                                 WriteActor(s, a);
                             }));
    std::filesystem::resize_file(Map("cut"), std::filesystem::file_size(Map("cut")) - 6);
    HeaderWorld cut;
    Point(cut);
    ASSERT_TRUE(LoadWhole(cut, "cut"));
    EXPECT_EQ(cut.FindActorByLabel("cut"), nullptr);
    EXPECT_EQ(cut.GetActors().Count(), 1);
}

TEST_F(WeMapFileTest, ARecordClaimingAPathNodeTypeStaysAPlainActor)
{
    // The map's type code makes a plain actor whose own record says -6 (found by the map-file fuzzer).
    ASSERT_TRUE(WriteMapFile(Map("liar"), 0,
                             [](WeFileStream& s)
                             {
                                 WeActor liar;
                                 liar.m_Type = -6;
                                 s.WriteInt32(-1);
                                 liar.Save(s);
                                 WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0));
                             }));
    HeaderWorld world;
    Point(world);
    ASSERT_TRUE(LoadWhole(world, "liar"));
    EXPECT_EQ(world.GetActors().Count(), 2);
    EXPECT_EQ(world.GetPathNodes().Count(), 1);
    EXPECT_NE(world.FindNearestPathNode(D3DXVECTOR3(0, 0, 0), nullptr), nullptr);
}

TEST_F(WeMapFileTest, HeaderOnlyLoad)
{
    HeaderWorld world;
    Point(world);
    EXPECT_FALSE(world.Load(""));
    EXPECT_FALSE(world.Load("absent"));
    EXPECT_EQ(world.m_OnLoadCalls, 1);  // told, with the unopened stream
    EXPECT_FALSE(world.m_StreamWasOpen);

    ASSERT_TRUE(WriteMapFile(Map("zero"), 0, [](WeFileStream&) {}));
    EXPECT_TRUE(world.Load("zero"));
    EXPECT_EQ(world.m_OnLoadCalls, 1);  // no header in a version-0 file

    ASSERT_TRUE(WriteMapFile(Map("one"), 1, [](WeFileStream& s) { s.WriteString("hdr"); }));
    EXPECT_TRUE(world.Load("one"));
    EXPECT_STREQ(world.m_Header.c_str(), "hdr");
}

TEST_F(WeMapFileTest, SaveRewritesTheHeaderAndKeepsTheRest)
{
    ASSERT_TRUE(WriteMapFile(Map("m"), 1,
                             [](WeFileStream& s)
                             {
                                 s.WriteString("short");
                                 WeSkyBox sky;
                                 sky.m_ModelName = "Maps.Sky.Plain";
                                 sky.Save(s);
                                 WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0));
                             }));
    HeaderWorld world;
    Point(world);
    EXPECT_FALSE(world.Save(Map("m").c_str()));  // not read yet
    ASSERT_TRUE(world.Load("m"));
    world.m_Header = "a much longer header than before";
    ASSERT_TRUE(world.Save(Map("m").c_str()));
    EXPECT_TRUE(m_Folder.Find("m.map.", "").empty());  // no temporary left

    HeaderWorld again;
    Point(again);
    ASSERT_TRUE(LoadWhole(again, "m"));
    EXPECT_STREQ(again.m_Header.c_str(), "a much longer header than before");
    EXPECT_STREQ(again.m_SkyBox->m_ModelName.c_str(), "Maps.Sky.Plain");
    EXPECT_EQ(again.GetPathNodes().Count(), 1);
    ASSERT_NE(again.m_FirstPathNode, nullptr);
    EXPECT_EQ(again.m_FirstPathNode->m_Id, 10);

    // A version-0 file gains a sky-box record, so its first actor stays an actor.
    ASSERT_TRUE(WriteMapFile(Map("z"), 0, [](WeFileStream& s) { WriteNode(s, 10, 0, D3DXVECTOR3(5, 0, 0)); }));
    HeaderWorld zero;
    Point(zero);
    ASSERT_TRUE(zero.Load("z"));
    zero.m_Header = "new";
    ASSERT_TRUE(zero.Save(Map("z").c_str()));
    HeaderWorld reread;
    Point(reread);
    ASSERT_TRUE(LoadWhole(reread, "z"));
    EXPECT_STREQ(reread.m_Header.c_str(), "new");
    EXPECT_EQ(reread.GetPathNodes().Count(), 1);

    EXPECT_FALSE(world.Save(m_Folder.Path("nothing.map").c_str()));
    EXPECT_FALSE(std::filesystem::exists(m_Folder.Path("nothing.map")));
}

}  // namespace
