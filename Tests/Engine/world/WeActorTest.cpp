#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

struct LegacyRecord
{
    int32_t version = 20;
    float lifeTime = 0.0f;
    D3DXVECTOR3 position{1.0f, 2.0f, 3.0f};
    D3DXMATRIX local = Identity();
    D3DXVECTOR3 scale{1.0f, 1.0f, 1.0f};
    const char* model = "Maps.Thing";
};

// A record of version 20 or 27 laid out by hand, field by field.
void WriteLegacy(WeFileStream& s, const LegacyRecord& r)
{
    const int32_t v = r.version;
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    s.WriteInt32(v);
    s.WriteInt32(-1);
    s.WriteInt32(7);
    if (v < 21)
        s.WriteInt32(0);
    s.WriteFloat(r.lifeTime);
    if (v < 27)
        s.WriteFloat(0.0f);
    s.WriteByte(1);  // model visible
    if (v >= 23)
        s.WriteByte(1);
    if (v >= 22)
        s.WriteByte(0);
    if (v < 21)
    {
        s.WriteVector3(zero);
        s.WriteFloat(0.0f);
        s.WriteVector3(zero);
        s.WriteVector3(zero);
    }
    s.WriteVector3(r.position);
    s.WriteMatrix(r.local);
    s.WriteVector3(r.scale);
    s.WriteByte(0);
    s.WriteByte(0);
    s.WriteFloat(0.0f);
    if (v < 26)
        s.WriteByte(0);
    s.WriteInt32(0);
    s.WriteString(r.model);
    s.WriteString("label");
    s.WriteString("");
    if (v < 25)
    {
        s.WriteByte(0);
        s.WriteFloat(0.0f);
        s.WriteFloat(0.0f);
    }
    if (v >= 12 && v <= 24)
        s.WriteVector4(D3DXVECTOR4(0.0f, 0.0f, 0.0f, 0.0f));
    s.WriteByte(0);
    s.WriteByte(1);
    s.WriteByte(1);
    s.WriteString("");
    s.WriteFloat(100.0f);
    s.WriteFloat(0.0f);
    s.WriteByte(0);
    if (v >= 24)
        s.WriteByte(0);
    WePhysicsDescription physics;
    physics.physicsClass = 4;
    WeWritePhysicsBlock(s, physics);
    if (v >= 18 && v <= 25)
        s.WriteString("");
    WeLightMap none;
    none.Save(s);
    s.WriteInt32(0x5A5A5A5A);  // the next record's first bytes
}

class WeActorTest : public ::testing::Test
{
protected:
    ScratchFolder m_Folder;

    // Writes with `write`, then reads one actor back; the stream position after the record must be the
    // marker the writers put behind it.
    bool RoundTrip(const std::function<void(WeFileStream&)>& write, WeActor& out, bool* markerFollows = nullptr)
    {
        const std::string path = m_Folder.Path("record.bin");
        std::remove(path.c_str());
        {
            WeFileStream s;
            EXPECT_TRUE(s.Create(path.c_str()));
            write(s);
        }
        WeFileStream s;
        EXPECT_TRUE(s.Open(path.c_str()));
        const bool intact = out.Load(s);
        if (markerFollows)
            *markerFollows = s.ReadInt32() == 0x5A5A5A5A;
        return intact;
    }
};

TEST_F(WeActorTest, RecordRoundTripKeepsEveryStoredField)
{
    WeActor a;
    a.m_SecondaryId = 42;
    a.m_ModelSwitch1 = true;
    a.m_ModelSwitch2 = false;
    a.m_Teleporter = true;
    a.m_TeleporterSwitch = true;
    a.m_TeleporterValue = 2.5f;
    a.m_ModelPreset = 3;
    a.m_ModelName = "Maps.Test.Box";
    a.m_Label = "gate";
    a.m_TeleportTargetLabel = "exit";
    a.m_RenderSwitch1 = true;
    a.m_RenderSwitch3 = false;
    a.m_SoundName = "Sounds.Hum";
    a.m_SoundMaxDistance = 55.0f;
    a.m_RenderValue = 0.75f;
    a.m_FurtherSwitch1 = true;
    a.m_FurtherSwitch2 = true;
    a.m_AnimationSpeed = 1.5f;
    a.m_PhysicModel.physicsClass = 5;
    a.m_PhysicModel.collisionGroup = 3;
    a.m_PhysicModel.mass = 20.0f;
    a.m_PhysicModel.gravity = false;
    a.SetLocation(D3DXVECTOR3(10.0f, 20.0f, 30.0f));
    a.SetScaling(D3DXVECTOR3(2.0f, 1.0f, 1.0f));

    WeActor b;
    bool marker = false;
    ASSERT_TRUE(RoundTrip(
        [&](WeFileStream& s)
        {
            a.Save(s);
            s.WriteInt32(0x5A5A5A5A);
        },
        b, &marker));
    EXPECT_TRUE(marker);
    EXPECT_EQ(b.m_RecordVersion, 32);
    EXPECT_EQ(b.m_SecondaryId, 42);
    EXPECT_TRUE(b.m_ModelSwitch1);
    EXPECT_FALSE(b.m_ModelSwitch2);
    EXPECT_TRUE(b.m_Teleporter && b.m_TeleporterSwitch);
    EXPECT_FLOAT_EQ(b.m_TeleporterValue, 2.5f);
    EXPECT_EQ(b.m_ModelPreset, 3);
    EXPECT_STREQ(b.m_ModelName.c_str(), "Maps.Test.Box");
    EXPECT_STREQ(b.m_Label.c_str(), "gate");
    EXPECT_STREQ(b.m_TeleportTargetLabel.c_str(), "exit");
    EXPECT_TRUE(b.m_RenderSwitch1);
    EXPECT_FALSE(b.m_RenderSwitch3);
    EXPECT_STREQ(b.m_SoundName.c_str(), "Sounds.Hum");
    EXPECT_FLOAT_EQ(b.m_SoundMaxDistance, 55.0f);
    EXPECT_FLOAT_EQ(b.m_RenderValue, 0.75f);
    EXPECT_TRUE(b.m_FurtherSwitch1 && b.m_FurtherSwitch2);
    EXPECT_FLOAT_EQ(b.m_AnimationSpeed, 1.5f);
    EXPECT_EQ(b.m_PhysicModel.physicsClass, 5);
    EXPECT_EQ(b.m_PhysicModel.collisionGroup, 3);
    EXPECT_FLOAT_EQ(b.m_PhysicModel.mass, 20.0f);
    EXPECT_FALSE(b.m_PhysicModel.gravity);
    EXPECT_FLOAT_EQ(b.GetWorldPosition().z, 30.0f);
    EXPECT_TRUE(b.m_NonUnitScale);
    EXPECT_FLOAT_EQ(b.GetRenderMatrix()._11, 2.0f);
    EXPECT_TRUE(b.m_NoLifeTime);
    EXPECT_TRUE(b.m_PositionChanged && b.m_OrientationChanged && b.m_TransformChanged);
}

TEST_F(WeActorTest, LegacyRecordsScaleLifeTimeAndRename)
{
    // Version 20: rows divided by the scale; a zero component leaves its row alone (no inf/NaN).
    LegacyRecord r20;
    r20.local._11 = 4.0f;
    r20.local._22 = 0.0f;
    r20.local._23 = 1.0f;
    r20.scale = D3DXVECTOR3(2.0f, 0.0f, 1.0f);
    r20.model = "Older.Dynamics.Crate";
    WeActor a;
    bool marker = false;
    ASSERT_TRUE(RoundTrip([&](WeFileStream& s) { WriteLegacy(s, r20); }, a, &marker));
    EXPECT_TRUE(marker);
    EXPECT_FLOAT_EQ(a.m_LocalMatrix._11, 2.0f);
    EXPECT_FLOAT_EQ(a.m_LocalMatrix._23, 1.0f);
    EXPECT_FALSE(std::isnan(a.m_LocalMatrix._22) || std::isinf(a.m_LocalMatrix._22));
    EXPECT_FLOAT_EQ(a.m_LocalMatrix._41, 1.0f);  // position from the older vector
    EXPECT_STREQ(a.m_ModelName.c_str(), "Maps.Dynamics.Crate");
    EXPECT_STREQ(a.m_Label.c_str(), "label");
    EXPECT_EQ(a.m_PhysicModel.physicsClass, 4);

    // Version 21 would not divide; version 27 keeps a life time value without entering a life time.
    LegacyRecord r27;
    r27.version = 27;
    r27.lifeTime = 5.0f;
    r27.local._11 = 4.0f;
    r27.scale = D3DXVECTOR3(2.0f, 1.0f, 1.0f);
    r27.model = "Older.Dynamic";  // 13 characters: unchanged
    WeActor b;
    ASSERT_TRUE(RoundTrip([&](WeFileStream& s) { WriteLegacy(s, r27); }, b, &marker));
    EXPECT_TRUE(marker);
    EXPECT_FLOAT_EQ(b.m_LocalMatrix._11, 4.0f);
    EXPECT_FLOAT_EQ(b.m_LifeTime, 5.0f);
    EXPECT_TRUE(b.m_NoLifeTime);
    EXPECT_STREQ(b.m_ModelName.c_str(), "Older.Dynamic");

    r27.lifeTime = 1234567.9f;
    WeActor c;
    ASSERT_TRUE(RoundTrip([&](WeFileStream& s) { WriteLegacy(s, r27); }, c));
    EXPECT_EQ(c.m_LifeTime, 0.0f);
    EXPECT_TRUE(c.m_NoLifeTime);
}

TEST_F(WeActorTest, NewerRecordReadsAsCurrentAndShortRecordIsReported)
{
    WeActor a;
    a.m_Label = "x";
    WeActor b;
    bool marker = false;
    EXPECT_TRUE(RoundTrip(
        [&](WeFileStream& s)
        {
            a.Save(s);
            s.WriteInt32(0x5A5A5A5A);
            s.Seek(0, 0);
            s.WriteInt32(40);
        },
        b, &marker));
    EXPECT_TRUE(marker);
    EXPECT_EQ(b.m_RecordVersion, 32);

    // Cut inside the physics block: the record is reported short.
    WeActor c;
    EXPECT_FALSE(RoundTrip(
        [&](WeFileStream& s)
        {
            WeActor full;
            full.Save(s);
            const int64_t end = s.Tell();
            s.Close();
            std::filesystem::resize_file(m_Folder.Path("record.bin"), end - 20);
        },
        c));
    // A record that ends exactly at the end of the file is whole.
    WeActor d;
    EXPECT_TRUE(RoundTrip([&](WeFileStream& s) { a.Save(s); }, d));
}

TEST_F(WeActorTest, ScaleThresholdAndChangeMarks)
{
    WeActor a;
    a.SetScaling(D3DXVECTOR3(1.0f, 1.0f, 1.00005f));
    EXPECT_FALSE(a.m_NonUnitScale);
    EXPECT_EQ(&a.GetRenderMatrix(), &a.GetWorldMatrix());
    a.SetScaling(D3DXVECTOR3(1.0f, 1.0f, 1.001f));
    EXPECT_TRUE(a.m_NonUnitScale);
    EXPECT_NE(&a.GetRenderMatrix(), &a.GetWorldMatrix());

    a.m_PositionChanged = a.m_OrientationChanged = false;
    a.SetLocation(D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    a.SetOrientation(Identity());
    EXPECT_FALSE(a.m_PositionChanged);
    EXPECT_TRUE(a.m_OrientationChanged);

    // A static actor gets no marks, only the transform change.
    WeActor s;
    s.m_Static = true;
    s.m_TransformChanged = false;
    s.m_PositionChanged = false;
    s.SetLocation(D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(s.m_PositionChanged);
    EXPECT_TRUE(s.m_TransformChanged);
}

TEST_F(WeActorTest, FixRotationRebuildsSkewedRows)
{
    WeActor a;
    D3DXMATRIX m = Identity();
    m._11 = 2.0f;  // not unit
    m._12 = 0.5f;  // not orthogonal to row 1
    m._41 = 7.0f;
    a.SetTransform(m);
    EXPECT_FALSE(a.FixRotation(true));
    const D3DXMATRIX& w = a.GetWorldMatrix();
    const D3DXVECTOR3 r0(w._11, w._12, w._13), r1(w._21, w._22, w._23), r2(w._31, w._32, w._33);
    EXPECT_NEAR(D3DXVec3Length(&r0), 1.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Dot(&r0, &r1), 0.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Dot(&r0, &r2), 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(w._41, 7.0f);
    EXPECT_TRUE(a.FixRotation(true));
}

TEST_F(WeActorTest, CopyToCarriesTheStoredFields)
{
    WeActor a;
    a.m_Label = "not copied";
    a.m_SecondaryId = 9;
    a.m_TeleportTargetLabel = "t";
    a.SetLocation(D3DXVECTOR3(3.0f, 4.0f, 5.0f));
    WeActor b;
    a.CopyTo(&b);
    EXPECT_EQ(b.m_SecondaryId, 9);
    EXPECT_STREQ(b.m_TeleportTargetLabel.c_str(), "t");
    EXPECT_TRUE(b.m_Label.IsEmpty());
    EXPECT_FLOAT_EQ(b.GetWorldPosition().y, 4.0f);
}

}  // namespace
