#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/world/WeLight.h"
#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

class WeLightTest : public ::testing::Test
{
protected:
    void SetUp() override { g_Timer.m_FrameDeltaF = 0.1f; }
    void TearDown() override { g_Timer.m_FrameDeltaF = 0.0f; }

    // Writes bytes through the engine's writer and opens them again for reading.
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

WeLightParams Frame(float red, float intensity, float duration)
{
    WeLightParams frame;
    frame.color[0] = red;
    frame.intensity = intensity;
    frame.duration = duration;
    frame.values[0] = red * 2.0f;
    return frame;
}

TEST_F(WeLightTest, FadesInAfterSpawning)
{
    WeWorld world;
    WeLight* light = new WeLight();
    world.AddActor(light);
    g_Timer.m_FrameDeltaF = 0.05f;
    world.Tick();
    EXPECT_NEAR(light->m_FadeFactor, 0.5f, 1e-5f);
    EXPECT_NEAR(light->GetColorScale(), 0.5f, 1e-5f);
    world.Tick();
    world.Tick();
    EXPECT_FLOAT_EQ(light->m_FadeFactor, 1.0f);
}

// The world expires a spent light on every tick: the fade must still run its course and end.
TEST_F(WeLightTest, FadeOutThroughLifeTimeEnds)
{
    WeWorld world;
    WeLight* light = new WeLight();
    light->m_FadeInTime = 0.0f;
    light->m_FadeOutTime = 0.5f;
    world.AddActor(light);
    light->SetLifeTime(0.1f);
    world.Tick();  // life spent: fading starts and runs one frame
    ASSERT_EQ(world.GetActors().Count(), 1);
    float previous = 1.0f;
    int ticks = 0;
    for (; ticks < 20 && world.GetActors().Count() == 1; ++ticks)
    {
        world.Tick();
        if (world.GetActors().Count() == 1)
        {
            EXPECT_LT(light->m_FadeFactor, previous);
            EXPECT_NEAR(light->m_FadeFactor, 1.0f - 0.2f * (ticks + 2), 1e-4f);
            previous = light->m_FadeFactor;
        }
    }
    EXPECT_EQ(world.GetActors().Count(), 0);
    EXPECT_LE(ticks, 5);
}

TEST_F(WeLightTest, ExpireWithoutFadeOutDeletesInTheSameTick)
{
    WeWorld world;
    WeLight* light = new WeLight();
    light->m_FadeOutTime = 0.0f;
    world.AddActor(light);
    light->SetLifeTime(0.05f);
    world.Tick();
    EXPECT_EQ(world.GetActors().Count(), 0);
    EXPECT_EQ(world.GetLights().Count(), 0);
}

TEST_F(WeLightTest, KeyFramesAtTwoAndAHalfSeconds)
{
    struct Case
    {
        float time;
        bool interpolate;
        bool loop;
        float red;
        float intensity;
        float position;
    };
    // Frames: red 0.2 / intensity 2 then red 0.6 / intensity 4, one second each.
    const Case cases[] = {
        {2.5f, false, true, 0.2f, 2.0f, 0.5f},  // wraps into the first frame
        {2.5f, true, true, 0.4f, 3.0f, 0.5f},   // halfway to the second
        {1.5f, true, true, 0.4f, 3.0f, 0.5f},   // the last frame blends towards the first
        {1.25f, false, true, 0.6f, 4.0f, 0.25f},
        {2.5f, true, false, 1.0f, 1.0f, 0.0f},  // past the end without loop: all 1.0
    };
    for (const Case& c : cases)
    {
        WeLight light;
        light.AddKeyFrame(Frame(0.2f, 2.0f, 1.0f));
        light.AddKeyFrame(Frame(0.6f, 4.0f, 1.0f));
        light.m_Interpolate = c.interpolate;
        light.m_Loop = c.loop;
        g_Timer.m_FrameDeltaF = c.time;
        light.Tick();
        SCOPED_TRACE(testing::Message() << "time " << c.time << " interpolate " << c.interpolate);
        EXPECT_FLOAT_EQ(light.m_TotalLength, 2.0f);
        EXPECT_NEAR(light.m_Current.color[0], c.red, 1e-5f);
        EXPECT_NEAR(light.m_Current.values[0], c.loop ? c.red * 2.0f : 1.0f, 1e-5f);
        EXPECT_NEAR(light.m_Current.intensity, c.intensity, 1e-5f);
        if (c.loop)
        {
            EXPECT_NEAR(light.m_KeyFramePosition, c.position, 1e-5f);
        }
    }
}

TEST_F(WeLightTest, WithoutKeyFramesEverythingStaysOne)
{
    WeLight light;
    light.m_Current.intensity = 7.0f;
    light.Tick();
    EXPECT_FLOAT_EQ(light.m_Current.intensity, 1.0f);
    EXPECT_FLOAT_EQ(light.m_Current.secondColor[3], 1.0f);
    EXPECT_FLOAT_EQ(light.m_Current.values[5], 1.0f);
}

TEST_F(WeLightTest, NamesAndTimedKeyFrames)
{
    WeWorld world;
    WeLight* dynamic = new WeLight();
    world.AddActor(dynamic);
    const std::string name = dynamic->GetName().c_str();
    EXPECT_EQ(name.substr(name.size() - 10), " <DYNAMIC>");
    dynamic->m_Dynamic = false;
    EXPECT_EQ(std::string(dynamic->GetName().c_str()).find("DYNAMIC"), std::string::npos);

    WeLight light;
    light.AddTimedKeyFrame(Frame(1.0f, 1.0f, 9.0f), 0.25f, false);
    EXPECT_FALSE(light.m_Loop);
    EXPECT_FLOAT_EQ(light.m_KeyFrames.Front().duration, 0.25f);
    EXPECT_FLOAT_EQ(light.m_TotalLength, 0.25f);
}

TEST_F(WeLightTest, ProjectorFrustumLooksAlongForward)
{
    WeLight light;
    light.m_Projector = true;
    light.m_Range = 100.0f;
    light.SetLocation(D3DXVECTOR3(10.0f, 0.0f, 0.0f));
    light.Tick();
    WeBoundingSphere ahead;
    ahead.center = D3DXVECTOR3(10.0f, 0.0f, 50.0f);
    ahead.radius = 0.0f;
    WeBoundingSphere behind = ahead;
    behind.center.z = -50.0f;
    WeBoundingSphere beyond = ahead;
    beyond.center.z = 150.0f;
    EXPECT_TRUE(light.m_ProjectorFrustum.IsSphereVisible(ahead));
    EXPECT_FALSE(light.m_ProjectorFrustum.IsSphereVisible(behind));
    EXPECT_FALSE(light.m_ProjectorFrustum.IsSphereVisible(beyond));
    const D3DXMATRIX product = light.m_ProjectorView * light.m_ProjectorProjection;
    EXPECT_FLOAT_EQ(light.m_ProjectorViewProjection._33, product._33);
    EXPECT_FLOAT_EQ(light.m_Reach, 100.0f);
    EXPECT_FLOAT_EQ(light.m_Position.x, 10.0f);
}

TEST_F(WeLightTest, CopyToCopiesSettingsAndKeyFrames)
{
    WeLight a;
    a.m_Kind = 2;
    a.m_Range = 42.0f;
    a.m_Flare = true;
    a.m_FlareTextureName = "Flare.Corona";
    a.m_RingTextureNames[4] = "Flare.Ring5";
    a.m_FlareSpriteValues[3] = 0.25f;
    a.m_FlareFlags[2] = true;
    a.m_LightSetting1 = 3.0f;
    a.AddKeyFrame(Frame(0.5f, 2.0f, 0.5f));
    a.AddKeyFrame(Frame(0.7f, 3.0f, 0.25f));
    WeLight b;
    b.AddKeyFrame(Frame(0.1f, 1.0f, 5.0f));
    a.CopyTo(&b);
    EXPECT_EQ(b.m_Kind, 2);
    EXPECT_FLOAT_EQ(b.m_Range, 42.0f);
    EXPECT_TRUE(b.m_Flare);
    EXPECT_STREQ(b.m_FlareTextureName.c_str(), "Flare.Corona");
    EXPECT_STREQ(b.m_RingTextureNames[4].c_str(), "Flare.Ring5");
    EXPECT_FLOAT_EQ(b.m_FlareSpriteValues[3], 0.25f);
    EXPECT_TRUE(b.m_FlareFlags[2]);
    EXPECT_FLOAT_EQ(b.m_LightSetting1, 3.0f);
    ASSERT_EQ(b.m_KeyFrames.Count(), 2);
    EXPECT_FLOAT_EQ(b.m_KeyFrames.Back().intensity, 3.0f);
    EXPECT_FLOAT_EQ(b.m_TotalLength, 0.75f);
}

// The light record of each version, written field by field as that version stored it.
void WriteRows2To12(WeFileStream& s)
{
    s.WriteByte(0);       // dynamic
    s.WriteInt32(2);      // kind
    s.WriteByte(0);       // loop
    s.WriteByte(1);       // kind-2 flag
    s.WriteFloat(55.0f);  // range
    s.WriteFloat(0.5f);   // fov
    s.WriteFloat(0.25f);  // second angle
    s.WriteByte(1);       // interpolate
    s.WriteByte(1);       // projector
    s.WriteByte(0);       // omni
    s.WriteString("Materials.Projector");
}

void WriteRows13To17(WeFileStream& s)
{
    s.WriteByte(1);
    s.WriteByte(1);
    const float flareValues[4] = {0.2f, 0.3f, 0.4f, 0.6f};
    s.WriteVector4(flareValues);
    s.WriteString("Flare.Corona");
    for (int i = 0; i < 5; ++i)
        s.WriteString(("Flare.Ring" + std::to_string(i + 1)).c_str());
}

void WriteSpriteValues(WeFileStream& s)
{
    for (int i = 0; i < 6; ++i)
        s.WriteFloat(0.5f + i);
}

void WriteShortFrames(WeFileStream& s)
{
    s.WriteInt32(2);
    for (int f = 0; f < 2; ++f)
    {
        const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
        const float second[4] = {0.125f, 0.125f, 0.125f, 0.125f};
        s.WriteVector4(color);
        s.WriteVector4(second);
        s.WriteFloat(0.5f);  // duration
        s.WriteFloat(3.0f);  // intensity
    }
}

void WriteOldestFrames(WeFileStream& s)
{
    s.WriteInt32(2);
    for (int f = 0; f < 2; ++f)
    {
        for (int i = 0; i < 6; ++i)
            s.WriteFloat(9.0f);
        const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
        s.WriteVector4(color);
        s.WriteVector4(color);
        s.WriteFloat(77.0f);  // range
        s.WriteFloat(9.0f);
        s.WriteFloat(0.5f);  // duration
    }
}

void WriteParamFrames(WeFileStream& s)
{
    s.WriteInt32(2);
    WeLightParams frame = Frame(0.25f, 3.0f, 0.5f);
    frame.color[2] = 0.75f;
    frame.Write(s);
    frame.Write(s);
}

TEST_F(WeLightTest, ReadsEveryRecordVersion)
{
    struct Case
    {
        int32_t version;  // 0: unversioned
        bool projector;
        bool flare;
        float sprite3;  // the fourth flare sprite value
        float totalLength;
        int flags;  // flare flags read
        bool setting1;
        bool settings23;
    };
    const Case cases[] = {
        {12, true, true, 1.0f, 1.0f, 3, true, true},   {11, true, true, 1.0f, 1.0f, 2, true, true},
        {10, true, true, 1.0f, 1.0f, 1, true, true},   {9, true, true, 3.5f, 1.0f, 1, true, true},
        {8, true, true, 3.5f, 1.0f, 1, false, true},   {7, true, true, 3.5f, 1.0f, 1, false, false},
        {6, true, true, 3.5f, 1.0f, 0, false, false},  {5, true, true, 3.5f, 0.0f, 0, false, false},
        {4, true, true, 1.0f, 0.0f, 0, false, false},  {3, true, false, 1.0f, 0.0f, 0, false, false},
        {2, true, false, 1.0f, 0.0f, 0, false, false}, {0, false, false, 1.0f, 0.0f, 0, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "version " << c.version);
        const int32_t v = c.version;
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                if (v >= 3)
                {
                    s.WriteInt32(v);
                    WriteRows2To12(s);
                    if (v >= 4)
                        WriteRows13To17(s);
                    if (v == 5 || (v >= 6 && v <= 9))
                        WriteSpriteValues(s);
                    if (v >= 6)
                    {
                        s.WriteFloat(0.75f);
                        s.WriteFloat(1.25f);
                        WriteParamFrames(s);
                        const int flags = v == 12 ? 3 : v == 11 ? 2 : v >= 7 ? 1 : 0;
                        for (int i = 0; i < flags; ++i)
                            s.WriteByte(1);
                        if (v >= 8)
                        {
                            s.WriteFloat(20.0f);
                            s.WriteFloat(30.0f);
                        }
                        if (v >= 9 || v == 10)
                            s.WriteFloat(40.0f);
                    }
                    else
                        WriteShortFrames(s);
                }
                else
                {
                    if (v == 2)
                        s.WriteInt32(2);
                    s.WriteByte(0);
                    s.WriteInt32(2);
                    s.WriteByte(0);
                    s.WriteByte(1);
                    if (v == 2)
                    {
                        s.WriteByte(1);
                        s.WriteString("Materials.Projector");
                    }
                    WriteOldestFrames(s);
                }
            },
            in));
        WeLight light;
        ASSERT_TRUE(light.LoadProperties(in));
        EXPECT_EQ(in.Tell(), in.GetSize());  // every byte consumed, no more
        EXPECT_FALSE(light.m_Dynamic);
        EXPECT_EQ(light.m_Kind, 2);
        EXPECT_FALSE(light.m_Loop);
        EXPECT_TRUE(light.m_Kind2);
        EXPECT_EQ(light.m_Projector, c.projector);
        EXPECT_EQ(light.m_Flare, c.flare);
        EXPECT_FLOAT_EQ(light.m_FlareSpriteValues[3], c.sprite3);
        ASSERT_EQ(light.m_KeyFrames.Count(), 2);
        EXPECT_FLOAT_EQ(light.m_TotalLength, c.totalLength);
        EXPECT_FLOAT_EQ(light.m_KeyFrames.Front().color[2], 0.75f);
        EXPECT_FLOAT_EQ(light.m_KeyFrames.Front().duration, 0.5f);
        EXPECT_EQ(light.m_FlareFlags[0], c.flags >= 1);
        EXPECT_EQ(light.m_FlareFlags[2], c.flags >= 3);
        EXPECT_FLOAT_EQ(light.m_LightSetting1, c.setting1 ? 40.0f : 0.0f);
        EXPECT_FLOAT_EQ(light.m_LightSetting3, c.settings23 ? 30.0f : 10.0f);
        if (v <= 2)
            EXPECT_FLOAT_EQ(light.m_Range, 77.0f);
        else
            EXPECT_FLOAT_EQ(light.m_Range, 55.0f);
        // The second colour of versions 4 and 5 is not kept.
        const float second = (v == 4 || v == 5) ? 1.0f : v == 3 ? 0.125f : light.m_KeyFrames.Front().secondColor[0];
        EXPECT_FLOAT_EQ(light.m_KeyFrames.Front().secondColor[0], second);
    }
}

TEST_F(WeLightTest, NewerVersionsReadNothingMore)
{
    for (int32_t v : {13, 57, 100})
    {
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                s.WriteInt32(v);
                s.WriteInt32(123456);
            },
            in));
        WeLight light;
        EXPECT_TRUE(light.LoadProperties(in));
        EXPECT_EQ(in.Tell(), 4);
        EXPECT_FLOAT_EQ(light.m_Range, 100.0f);
        EXPECT_TRUE(light.m_Dynamic);
    }
}

TEST_F(WeLightTest, LightParamsVersions)
{
    struct Case
    {
        int32_t version;
        float intensity;
        float secondIntensity;
        float duration;
        float value;
    };
    const Case cases[] = {{11, 2.0f, 3.0f, 4.0f, 5.0f}, {10, 2.0f, 3.0f, 4.0f, 1.0f}, {0, 4.0f, 1.0f, 2.0f, 1.0f}};
    for (const Case& c : cases)
    {
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                const float color[4] = {0.5f, 0.5f, 0.5f, 0.5f};
                if (c.version)
                    s.WriteInt32(c.version);
                s.WriteVector4(color);
                s.WriteVector4(color);
                // Versioned: intensity, second intensity, duration; unversioned: duration, intensity.
                s.WriteFloat(2.0f);
                s.WriteFloat(c.version ? 3.0f : 4.0f);
                if (c.version)
                    s.WriteFloat(4.0f);
                if (c.version == 11)
                    for (int i = 0; i < 6; ++i)
                        s.WriteFloat(5.0f);
            },
            in));
        WeLightParams frame;
        frame.Read(in);
        SCOPED_TRACE(c.version);
        EXPECT_FLOAT_EQ(frame.color[0], 0.5f);
        EXPECT_FLOAT_EQ(frame.intensity, c.intensity);
        EXPECT_FLOAT_EQ(frame.secondIntensity, c.secondIntensity);
        EXPECT_FLOAT_EQ(frame.duration, c.duration);
        EXPECT_FLOAT_EQ(frame.values[5], c.value);
        EXPECT_EQ(in.Tell(), in.GetSize());
    }
}

TEST_F(WeLightTest, SavedLightReadsBack)
{
    WeLight a;
    a.m_Kind = 2;
    a.m_Interpolate = true;
    a.m_OmniProjector = true;
    a.m_FlareValues[2] = 0.75f;
    a.m_FlareFlags[1] = true;
    a.m_LightSetting2 = 2.0f;
    a.m_LightSetting1 = 1.5f;
    a.m_RingTextureNames[2] = "Flare.Ring3";
    a.AddKeyFrame(Frame(0.3f, 2.0f, 0.4f));
    WeFileStream in;
    ASSERT_TRUE(Bytes([&](WeFileStream& s) { a.Save(s); }, in));
    WeLight b;
    ASSERT_TRUE(b.Load(in));
    EXPECT_EQ(b.m_Kind, 2);
    EXPECT_TRUE(b.m_Interpolate);
    EXPECT_TRUE(b.m_OmniProjector);
    EXPECT_FLOAT_EQ(b.m_FlareValues[2], 0.75f);
    EXPECT_TRUE(b.m_FlareFlags[1]);
    EXPECT_FLOAT_EQ(b.m_LightSetting2, 2.0f);
    EXPECT_FLOAT_EQ(b.m_LightSetting1, 1.5f);
    EXPECT_STREQ(b.m_RingTextureNames[2].c_str(), "Flare.Ring3");
    ASSERT_EQ(b.m_KeyFrames.Count(), 1);
    EXPECT_FLOAT_EQ(b.m_KeyFrames.Front().values[0], 0.6f);
    EXPECT_FLOAT_EQ(b.m_TotalLength, 0.4f);
    EXPECT_FALSE(b.m_RenderSwitch2);
}

TEST_F(WeLightTest, CorruptKeyFrameCountsFailCleanly)
{
    for (int32_t count : {-1, 3, 1 << 30})
    {
        WeFileStream in;
        ASSERT_TRUE(Bytes(
            [&](WeFileStream& s)
            {
                s.WriteInt32(12);
                WriteRows2To12(s);
                WriteRows13To17(s);
                s.WriteFloat(0.5f);
                s.WriteFloat(0.5f);
                s.WriteInt32(count);
                Frame(1.0f, 1.0f, 1.0f).Write(s);  // one frame where the count claims more
            },
            in));
        WeLight light;
        EXPECT_FALSE(light.LoadProperties(in)) << count;
        EXPECT_LE(light.m_KeyFrames.Count(), 1);
    }
}

TEST_F(WeLightTest, MapLoadStopsAtDamagedLightAndAppliesKind2)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteMapFile(folder.Path("lights.map"), 0,
                             [](WeFileStream& s)
                             {
                                 WeLight good;
                                 good.m_Dynamic = false;
                                 WriteActor(s, good);
                                 WeLight bad;
                                 s.WriteInt32(-2);
                                 bad.WeActor::Save(s);
                                 s.WriteInt32(12);
                                 WriteRows2To12(s);
                                 WriteRows13To17(s);
                                 s.WriteFloat(0.5f);
                                 s.WriteFloat(0.5f);
                                 s.WriteInt32(1000000);
                                 WeLight after;
                                 WriteActor(s, after);
                             }));
    WeWorld world;
    world.SetMapsFolder(folder.Path().c_str());
    world.m_LightsOfKind2 = true;
    ASSERT_TRUE(LoadWhole(world, "lights"));
    ASSERT_EQ(world.GetLights().Count(), 1);
    WeLight* light = dynamic_cast<WeLight*>(world.GetLights().First()->value);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->m_Kind, 2);
    EXPECT_TRUE(light->m_Kind2);
    EXPECT_FALSE(light->m_Dynamic);
    EXPECT_TRUE(light->m_PositionFixed);
}

TEST_F(WeLightTest, DestructionLeavesTheFlareList)
{
    WeLight* light = new WeLight();
    WeFlareRenderer::FlareRecord& record = g_FlareRenderer.m_Flares.PushBack();
    record = WeFlareRenderer::FlareRecord();
    record.light = light;
    delete light;
    EXPECT_EQ(g_FlareRenderer.m_Flares.Count(), 0);
}

}  // namespace
