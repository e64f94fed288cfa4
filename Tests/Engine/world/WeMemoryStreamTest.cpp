#include <gtest/gtest.h>

#include <vector>

#include "Engine/world/MemoryReadBuffer.h"
#include "Engine/world/MemoryWriteBuffer.h"

TEST(WeMemoryStream, WriteBufferGrowsWithSlackAndKeepsItsBytes)
{
    MemoryWriteBuffer w;
    EXPECT_EQ(w.m_Data, nullptr);
    w.storeByte(0xAB);
    EXPECT_EQ(w.m_MaxSize, 4097u);
    EXPECT_EQ(w.m_CurrentSize, 1u);
    const NxU8* first = w.m_Data;
    std::vector<NxU8> block(4096, 0x5A);
    w.storeBuffer(block.data(), 4096);
    EXPECT_EQ(w.m_Data, first);  // fits: no new block
    EXPECT_EQ(w.m_MaxSize, 4097u);
    w.storeByte(0xCD);
    EXPECT_EQ(w.m_MaxSize, 4097u + 1u + 4096u);
    EXPECT_EQ(w.m_CurrentSize, 4098u);
    EXPECT_EQ(w.m_Data[0], 0xAB);
    EXPECT_EQ(w.m_Data[4096], 0x5A);
    EXPECT_EQ(w.m_Data[4097], 0xCD);
    EXPECT_EQ(w.readDword(), 0u);  // a write buffer reads nothing
}

TEST(WeMemoryStream, ReadBackOfEveryKindAndZerosPastTheEnd)
{
    MemoryWriteBuffer w;
    w.storeByte(0x12).storeWord(0x3456).storeDword(0x789ABCDE).storeFloat(1.5f).storeDouble(-2.25);
    const char text[] = "cooked";
    w.storeBuffer(text, sizeof text);
    EXPECT_EQ(w.m_CurrentSize, 1u + 2 + 4 + 4 + 8 + sizeof text);

    MemoryReadBuffer r(w.m_Data, w.m_CurrentSize);
    EXPECT_EQ(r.readByte(), 0x12);
    EXPECT_EQ(r.readWord(), 0x3456);
    EXPECT_EQ(r.readDword(), 0x789ABCDEu);
    EXPECT_EQ(r.readFloat(), 1.5f);
    EXPECT_EQ(r.readDouble(), -2.25);
    char back[sizeof text];
    r.readBuffer(back, sizeof back);
    EXPECT_STREQ(back, text);
    // The block ends here: every further read is zero and the cursor stays inside.
    EXPECT_EQ(r.readDword(), 0u);
    EXPECT_EQ(r.readDouble(), 0.0);
    EXPECT_EQ(r.m_Buffer, r.m_End);

    // A value cut by the end keeps its bytes and reads zeros for the rest.
    const NxU8 two[] = {0x01, 0x02};
    MemoryReadBuffer cut(two, 2);
    EXPECT_EQ(cut.readDword(), 0x0201u);
    r.storeDword(7);  // stores do nothing
    MemoryReadBuffer none(nullptr, 0);
    EXPECT_EQ(none.readWord(), 0);
}
