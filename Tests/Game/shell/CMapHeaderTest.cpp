#include "Game/shell/CMapHeader.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CStartLocation.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeRenderDevice.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace
{

// Writes a file through the stream's own writers, then reads it back as a header.
class CMapHeaderTest : public ::testing::Test
{
protected:
    std::string WriteFile(const std::function<void(WeFileStream&)>& write)
    {
        const std::string path = m_Folder.Path("h" + std::to_string(m_Count++) + ".bin");
        WeFileStream out;
        EXPECT_TRUE(out.Create(path.c_str()));
        write(out);
        out.Close();
        return path;
    }
    bool ReadFile(const std::string& path, CMapHeader& header)
    {
        WeFileStream in;
        EXPECT_TRUE(in.Open(path.c_str()));
        return header.Read(in);
    }
    static void Colour(WeFileStream& s, float r, float g, float b, float a)
    {
        s.WriteFloat(r);
        s.WriteFloat(g);
        s.WriteFloat(b);
        s.WriteFloat(a);
    }
    // The fields every version carries, from the description to text 5 (with the old float of 1 < v <= 16).
    static void Common(WeFileStream& s, int32_t v)
    {
        s.WriteString("A description");
        s.WriteString("Maps.Test.Preview");
        s.WriteString("Maps.Test.Loading");
        if (v > 1 && v <= 16)
            s.WriteFloat(123.0f);
        s.WriteFloat(7.5f);
        s.WriteString("five");
    }

    ScratchFolder m_Folder;
    int m_Count = 0;
};

TEST_F(CMapHeaderTest, EachVersionGateReadsOnlyItsFields)
{
    // Version 1: the texts and value A; everything else keeps the defaults.
    CMapHeader v1;
    v1.m_DisplayName = "held";
    ASSERT_TRUE(ReadFile(WriteFile(
                             [](WeFileStream& s)
                             {
                                 s.WriteInt32(1);
                                 Common(s, 1);
                                 s.WriteInt32(0);  // the old start-location count
                             }),
                         v1));
    EXPECT_EQ(v1.m_Version, 1);
    EXPECT_EQ(v1.m_DisplayName, "held");
    EXPECT_EQ(v1.m_Description, "A description");
    EXPECT_EQ(v1.m_PreviewTexture, "Maps.Test.Preview");
    EXPECT_EQ(v1.m_LoadingTexture, "Maps.Test.Loading");
    EXPECT_EQ(v1.m_ValueA, 7.5f);
    EXPECT_EQ(v1.m_Text5, "five");
    EXPECT_EQ(v1.m_AmbientColor[0], 1.0f);
    EXPECT_EQ(v1.m_FogEnd, 2000.0f);
    EXPECT_EQ(v1.m_FarValue, 2000.0f);
    EXPECT_EQ(v1.m_BloomLevels[2], 2.0f);

    // Version 10 has no display name: the one held (from the configuration) stays.
    CMap map;
    CMapHeader& v10 = map.m_Header;
    v10.m_DisplayName = "from the configuration";
    ASSERT_TRUE(ReadFile(WriteFile(
                             [](WeFileStream& s)
                             {
                                 s.WriteInt32(10);
                                 Common(s, 10);
                                 Colour(s, 0.5f, 0.5f, 0.5f, 1.0f);  // ambient
                                 s.WriteByte(1);                     // fog on, start, end
                                 s.WriteFloat(100.0f);
                                 s.WriteFloat(900.0f);
                                 Colour(s, 0.1f, 0.2f, 0.3f, 1.0f);  // fog colour
                                 s.WriteInt32(0);
                                 s.WriteFloat(1500.0f);  // far
                                 s.WriteString("obsolete 1");
                                 s.WriteString("obsolete 2");
                                 s.WriteFloat(0.5f);  // bloom
                                 s.WriteFloat(1.5f);
                                 s.WriteFloat(2.5f);
                                 s.WriteByte(0);  // the world's flag
                             }),
                         v10));
    EXPECT_EQ(v10.m_DisplayName, "from the configuration");
    EXPECT_EQ(v10.m_AmbientColor[0], 0.5f);
    EXPECT_TRUE(v10.m_FogOn);
    EXPECT_EQ(v10.m_FogStart, 100.0f);
    EXPECT_EQ(v10.m_FogEnd, 900.0f);
    EXPECT_EQ(v10.m_FogColor[2], 0.3f);
    EXPECT_EQ(v10.m_FogValue4, 1.0f);  // only from version 15
    EXPECT_EQ(v10.m_FarValue, 1500.0f);
    EXPECT_EQ(v10.m_ObsoleteTexts[0], "obsolete 1");
    EXPECT_EQ(v10.m_ObsoleteTexts[1], "obsolete 2");
    EXPECT_EQ(v10.m_BloomLevels[1], 1.5f);
    EXPECT_EQ(v10.m_WorldScale, 1.0f);
    EXPECT_FALSE(map.m_PortalsEnabled);
    EXPECT_EQ(map.m_EditorDistance1, 500.0f);  // only from version 13
}

TEST_F(CMapHeaderTest, Version17StartLocationsAreReadAndDropped)
{
    CMap map;
    ASSERT_TRUE(ReadFile(WriteFile(
                             [](WeFileStream& s)
                             {
                                 s.WriteInt32(17);
                                 s.WriteString("Old Track");
                                 Common(s, 17);
                                 Colour(s, 0.25f, 0.25f, 0.25f, 1.0f);
                                 s.WriteByte(0);
                                 s.WriteFloat(200.0f);
                                 s.WriteFloat(800.0f);
                                 s.WriteFloat(0.1f);
                                 s.WriteFloat(0.9f);
                                 Colour(s, 1.0f, 1.0f, 1.0f, 1.0f);
                                 s.WriteInt32(2);
                                 for (int32_t i = 1; i <= 2; ++i)
                                 {
                                     CStartLocation start;
                                     start.m_StartIndex = i;
                                     start.Save(s);
                                 }
                                 s.WriteFloat(2.0f);     // world scale
                                 s.WriteFloat(3000.0f);  // far
                                 s.WriteFloat(0.0f);
                                 s.WriteFloat(1.0f);
                                 s.WriteFloat(2.0f);
                                 s.WriteFloat(0.25f);  // renderer values
                                 s.WriteFloat(0.75f);
                                 s.WriteByte(1);
                                 s.WriteFloat(250.0f);
                                 s.WriteFloat(750.0f);
                             }),
                         map.m_Header));
    const CMapHeader& h = map.m_Header;
    EXPECT_FALSE(h.m_Damaged);
    EXPECT_EQ(h.m_DisplayName, "Old Track");
    EXPECT_EQ(h.m_FogValue3, 0.1f);
    EXPECT_EQ(h.m_WorldScale, 2.0f);
    EXPECT_EQ(h.m_FarValue, 3000.0f);
    EXPECT_EQ(h.m_RendererValues[0], 0.25f);
    EXPECT_EQ(h.m_RendererValues[1], 0.75f);
    EXPECT_EQ(map.m_EditorDistance1, 250.0f);
    EXPECT_EQ(map.m_EditorDistance2, 750.0f);
    // Nothing of the records reached the world.
    EXPECT_EQ(map.GetActors().Count(), 0);
}

TEST_F(CMapHeaderTest, WriteThenReadGivesEveryFieldBack)
{
    CMap written;
    CMapHeader& h = written.m_Header;
    h.m_DisplayName = "Name";
    h.m_Description = "Desc";
    h.m_PreviewTexture = "P";
    h.m_LoadingTexture = "L";
    h.m_AmbientColor[1] = 0.4f;
    h.m_WorldScale = 3.0f;
    h.m_FarValue = 4000.0f;
    h.m_ValueA = -2.0f;
    h.m_Text5 = "";
    h.m_FogStart = 10.0f;
    h.m_FogEnd = 20.0f;
    h.m_FogValue3 = 0.2f;
    h.m_FogValue4 = 0.8f;
    h.m_FogOn = true;
    h.m_FogColor[3] = 0.5f;
    h.m_RendererValues[0] = 1.0f;
    h.m_RendererValues[1] = 0.5f;
    h.m_BloomLevels[0] = 0.3f;
    written.m_PortalsEnabled = false;
    written.m_EditorDistance1 = 11.0f;
    written.m_EditorDistance2 = 22.0f;
    const std::string path = WriteFile([&](WeFileStream& s) { h.Write(s); });

    CMap read;
    ASSERT_TRUE(ReadFile(path, read.m_Header));
    const CMapHeader& r = read.m_Header;
    EXPECT_EQ(r.m_Version, 18);
    EXPECT_EQ(r.m_DisplayName, "Name");
    EXPECT_EQ(r.m_Description, "Desc");
    EXPECT_EQ(r.m_PreviewTexture, "P");
    EXPECT_EQ(r.m_LoadingTexture, "L");
    EXPECT_EQ(r.m_AmbientColor[1], 0.4f);
    EXPECT_EQ(r.m_WorldScale, 3.0f);
    EXPECT_EQ(r.m_FarValue, 4000.0f);
    EXPECT_EQ(r.m_ValueA, -2.0f);
    EXPECT_TRUE(r.m_Text5.IsEmpty());
    EXPECT_EQ(r.m_FogStart, 10.0f);
    EXPECT_EQ(r.m_FogEnd, 20.0f);
    EXPECT_EQ(r.m_FogValue3, 0.2f);
    EXPECT_EQ(r.m_FogValue4, 0.8f);
    EXPECT_TRUE(r.m_FogOn);
    EXPECT_EQ(r.m_FogColor[3], 0.5f);
    EXPECT_EQ(r.m_RendererValues[0], 1.0f);
    EXPECT_EQ(r.m_RendererValues[1], 0.5f);
    EXPECT_EQ(r.m_BloomLevels[0], 0.3f);
    EXPECT_FALSE(read.m_PortalsEnabled);
    EXPECT_EQ(read.m_EditorDistance1, 11.0f);
    EXPECT_EQ(read.m_EditorDistance2, 22.0f);
    // The file ends with the header: nothing was written beyond what is read.
    WeFileStream in;
    ASSERT_TRUE(in.Open(path.c_str()));
    CMapHeader again;
    ASSERT_TRUE(again.Read(in));
    EXPECT_TRUE(in.IsEof() || in.Tell() == in.GetSize());

    // An empty display name is the length alone and keeps the one held.
    CMapHeader empty;
    const std::string emptyPath = WriteFile([&](WeFileStream& s) { empty.Write(s); });
    CMapHeader held;
    held.m_DisplayName = "kept";
    ASSERT_TRUE(ReadFile(emptyPath, held));
    EXPECT_EQ(held.m_DisplayName, "kept");
}

TEST_F(CMapHeaderTest, WorldScaleBelowOneOrNotFiniteBecomesOne)
{
    for (float stored :
         {0.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -4.0f, 1.0f, 2.5f})
    {
        CMapHeader h;
        h.m_WorldScale = stored;
        CMapHeader r;
        ASSERT_TRUE(ReadFile(WriteFile([&](WeFileStream& s) { h.Write(s); }), r));
        const float expected = std::isfinite(stored) && stored >= 1.0f ? stored : 1.0f;
        EXPECT_EQ(r.m_WorldScale, expected) << stored;
    }
}

TEST_F(CMapHeaderTest, DamagedCountsAndShortHeadersStopReading)
{
    const auto old17 = [](int32_t count, int32_t records)
    {
        return [=](WeFileStream& s)
        {
            s.WriteInt32(17);
            s.WriteString("N");
            Common(s, 17);
            Colour(s, 1, 1, 1, 1);
            s.WriteByte(0);
            s.WriteFloat(1.0f);
            s.WriteFloat(2.0f);
            s.WriteFloat(0.0f);
            s.WriteFloat(1.0f);
            Colour(s, 1, 1, 1, 1);
            s.WriteInt32(count);
            for (int32_t i = 0; i < records; ++i)
            {
                CStartLocation start;
                start.Save(s);
            }
            for (int i = 0; i < 8; ++i)
                s.WriteFloat(1.0f);
            s.WriteByte(1);
            s.WriteFloat(1.0f);
            s.WriteFloat(1.0f);
        };
    };
    const struct
    {
        const char* what;
        std::function<void(WeFileStream&)> write;
    } cases[] = {
        {"negative count", old17(-1, 0)},
        {"a count the file cannot hold", old17(0x7fffffff, 0)},
        {"more records than written", old17(3, 1)},
        {"only a version", [](WeFileStream& s) { s.WriteInt32(18); }},
        {"cut inside a string",
         [](WeFileStream& s)
         {
             s.WriteInt32(18);
             s.WriteUInt16(40);
             s.WriteByte('x');
         }},
        {"cut before the world values",
         [](WeFileStream& s)
         {
             CMapHeader h;
             h.Write(s);
         }},
        {"empty", [](WeFileStream&) {}},
    };
    for (const auto& c : cases)
    {
        std::string path = WriteFile(c.write);
        if (std::string(c.what) == "cut before the world values")
        {
            // Truncate the last eight bytes.
            std::string bytes = ScratchFolder::Read(path);
            bytes.resize(bytes.size() - 8);
            m_Folder.Write("cut.bin", bytes);
            path = m_Folder.Path("cut.bin");
        }
        CMapHeader h;
        EXPECT_FALSE(ReadFile(path, h)) << c.what;
        EXPECT_TRUE(h.m_Damaged) << c.what;
        EXPECT_GE(h.m_WorldScale, 1.0f) << c.what;
    }
    // The same header with its count right is whole.
    CMapHeader whole;
    EXPECT_TRUE(ReadFile(WriteFile(old17(2, 2)), whole));
    EXPECT_FALSE(whole.m_Damaged);
}

TEST_F(CMapHeaderTest, ANewerHeaderReadsAsTheCurrentOne)
{
    CMapHeader h;
    h.m_DisplayName = "Future";
    std::string path = WriteFile([&](WeFileStream& s) { h.Write(s); });
    std::string bytes = ScratchFolder::Read(path);
    bytes[0] = 25;
    m_Folder.Write("future.bin", bytes);
    CMapHeader r;
    ASSERT_TRUE(ReadFile(m_Folder.Path("future.bin"), r));
    EXPECT_EQ(r.m_Version, 25);
    EXPECT_EQ(r.m_DisplayName, "Future");
}

TEST(CMapHeader, CopyKeepsItsOwnMapAndTakesEveryOtherField)
{
    CMap a, b;
    a.m_Header.m_DisplayName = "A";
    a.m_Header.m_LapTimes[4] = 9.0f;
    a.m_Header.m_Damaged = true;
    b.m_Header = a.m_Header;
    EXPECT_EQ(b.m_Header.m_Map, &b);
    EXPECT_EQ(b.m_Header.m_DisplayName, "A");
    EXPECT_EQ(b.m_Header.m_LapTimes[4], 9.0f);
    EXPECT_TRUE(b.m_Header.m_Damaged);
    // A fresh header has the documented defaults.
    const CMapHeader fresh;
    EXPECT_EQ(fresh.m_LapTimes[0], 60.0f);
    EXPECT_EQ(fresh.m_LapTimes[3], 0.5f);
    EXPECT_EQ(fresh.m_FogStart, 500.0f);
    EXPECT_EQ(fresh.m_FogValue4, 1.0f);
    EXPECT_EQ(fresh.m_BloomLevels[1], 1.0f);
    EXPECT_EQ(fresh.m_FarValue, 2000.0f);
}

TEST(CMapHeader, ApplyReachesTheDevicesFogAmbientAndRendererValues)
{
    CMapHeader h;
    h.m_AmbientColor[0] = 0.3f;
    h.m_FogOn = true;
    h.m_FogStart = 50.0f;
    h.m_FogEnd = 600.0f;
    h.m_FogValue3 = 0.1f;
    h.m_FogValue4 = 0.7f;
    h.m_FogColor[1] = 0.6f;
    h.m_RendererValues[0] = 1.25f;
    h.m_RendererValues[1] = -0.5f;
    h.Apply();
    EXPECT_EQ(g_RenderDevice.m_CameraValues[0], 1.25f);
    EXPECT_EQ(g_RenderDevice.m_CameraValues[1], -0.5f);
    EXPECT_EQ(g_RenderDevice.m_AmbientColor[0], 0.3f);
    EXPECT_TRUE(g_RenderDevice.m_FogEnabled);
    EXPECT_EQ(g_RenderDevice.m_FogStart, 50.0f);
    EXPECT_EQ(g_RenderDevice.m_FogEnd, 600.0f);
    EXPECT_EQ(g_RenderDevice.m_FogColor[1], 0.6f);
}

TEST(CMapNames, BaseNameVariantsAndDisplayName)
{
    EXPECT_EQ(GetBaseMapName("Fusion Sphere (night)"), "Fusion Sphere");
    EXPECT_EQ(GetBaseMapName("Fusion Sphere (night)_reverse"), "Fusion Sphere");
    EXPECT_EQ(GetBaseMapName("Loop_reverse"), "Loop");
    EXPECT_EQ(GetBaseMapName("_TestRace"), "_TestRace");
    bool reverse = true, day = true, night = false;
    ParseMapVariant("Fusion Sphere (night)", reverse, day, night);
    EXPECT_FALSE(reverse);
    EXPECT_FALSE(day);
    EXPECT_TRUE(night);
    ParseMapVariant("Wastelands of Apeiron (day)_reverse", reverse, day, night);
    EXPECT_TRUE(reverse);
    EXPECT_TRUE(day);
    EXPECT_FALSE(night);

    const WeString expected =
        g_Localization.GetText("Maps: Fusion Sphere: NAME") + "\n/" + g_Localization.GetText("UI: night") + "/";
    EXPECT_EQ(GetMapDisplayName("Fusion Sphere (night)"), expected);
    EXPECT_EQ(GetMapDisplayName("Plain"), g_Localization.GetText("Maps: Plain: NAME") + "\n");
    EXPECT_EQ(GetMapDisplayName("A (day) (night)_reverse"),
              g_Localization.GetText("Maps: A: NAME") + "\n/" + g_Localization.GetText("UI: day") + "/" +
                  g_Localization.GetText("UI: night") + "/" + g_Localization.GetText("UI: reverse") + "/");
}

}  // namespace
