// The physics block an actor record carries: the newest block round trips, older ones are read field by
// field, and a block that is not one consumes only its version.
#include <gtest/gtest.h>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WePhysicModel.h"
#include "Tests/support/ScratchFolder.h"

namespace
{

TEST(WePhysicModelBlock, Version5RoundTrips)
{
    ScratchFolder scratch;
    WePhysicModel saved;
    WePhysicsDescription& d = saved;
    d.physicsClass = WePhysicsDynamicBox;
    d.startAsleep = false;
    d.collisionGroup = 7;
    d.shapeFlags = 0x8002;
    d.mass = 12.5f;
    d.clothBendingStiffness = 0.1f;
    d.clothStretchingStiffness = 0.2f;
    d.clothFriction = 0.3f;
    d.clothPressure = 0.4f;
    d.clothDensity = 0.05f;
    d.gravity = false;
    WeFileStream out;
    ASSERT_TRUE(out.Create(scratch.Path("block").c_str()));
    saved.Save(out);
    out.WriteInt32(0x12345678);
    out.Close();

    WeFileStream in;
    ASSERT_TRUE(in.Open(scratch.Path("block").c_str()));
    WePhysicModel loaded;
    ASSERT_TRUE(loaded.Load(in));
    const WePhysicsDescription& l = loaded;
    EXPECT_EQ(l.physicsClass, WePhysicsDynamicBox);
    EXPECT_FALSE(l.startAsleep);
    EXPECT_EQ(l.collisionGroup, 7);
    EXPECT_EQ(l.shapeFlags, 0x8002);
    EXPECT_FLOAT_EQ(l.mass, 12.5f);
    EXPECT_FLOAT_EQ(l.clothBendingStiffness, 0.1f);
    EXPECT_FLOAT_EQ(l.clothStretchingStiffness, 0.2f);
    EXPECT_FLOAT_EQ(l.clothFriction, 0.3f);
    EXPECT_FLOAT_EQ(l.clothPressure, 0.4f);
    EXPECT_FLOAT_EQ(l.clothDensity, 0.05f);
    EXPECT_FALSE(l.gravity);
    EXPECT_EQ(in.ReadInt32(), 0x12345678);  // the stream stops where the block ends
}

TEST(WePhysicModelBlock, OlderVersionsAndNonBlocks)
{
    ScratchFolder scratch;
    for (int32_t version : {-3, 0, 1, 2, 3, 4})
    {
        SCOPED_TRACE(version);
        WeFileStream out;
        ASSERT_TRUE(out.Create(scratch.Path("old").c_str()));
        out.WriteInt32(version);
        if (version >= 1)
        {
            out.WriteInt32(WePhysicsStaticSphere);
            out.WriteByte(0);
            if (version == 1)
                for (int i = 0; i < 6; ++i)
                    out.WriteInt32(-1);
            out.WriteUInt16(3);
            out.WriteUInt16(4);
            out.WriteFloat(2.0f);
        }
        if (version >= 3)
            out.WriteFloat(0.09f);
        if (version >= 4)
            for (float v : {0.3f, 0.1f, 0.4f, 0.2f})
                out.WriteFloat(v);
        out.WriteInt32(0x0BADF00D);
        out.Close();

        WeFileStream in;
        ASSERT_TRUE(in.Open(scratch.Path("old").c_str()));
        WePhysicModel m;
        EXPECT_EQ(m.Load(in), version >= 1);
        const WePhysicsDescription& d = m;
        WePhysicsDescription defaults;
        EXPECT_EQ(d.physicsClass, version >= 1 ? WePhysicsStaticSphere : WePhysicsNone);
        EXPECT_EQ(d.startAsleep, version >= 1 ? false : true);
        EXPECT_EQ(d.collisionGroup, version >= 1 ? 3 : 0);
        EXPECT_EQ(d.shapeFlags, version >= 1 ? 4 : 0);
        EXPECT_FLOAT_EQ(d.mass, version >= 1 ? 2.0f : defaults.mass);
        EXPECT_FLOAT_EQ(d.clothDensity, version >= 3 ? 0.09f : defaults.clothDensity);
        EXPECT_FLOAT_EQ(d.clothBendingStiffness, version >= 4 ? 0.1f : defaults.clothBendingStiffness);
        EXPECT_FLOAT_EQ(d.clothStretchingStiffness, version >= 4 ? 0.2f : defaults.clothStretchingStiffness);
        EXPECT_FLOAT_EQ(d.clothFriction, version >= 4 ? 0.3f : defaults.clothFriction);
        EXPECT_FLOAT_EQ(d.clothPressure, version >= 4 ? 0.4f : defaults.clothPressure);
        EXPECT_TRUE(d.gravity);
        EXPECT_EQ(in.ReadInt32(), 0x0BADF00D);
    }
}

}  // namespace
