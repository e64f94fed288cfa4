#include "Engine/foundation/WeFileStream.h"

#include <cstring>
#include <string>

#include "Engine/foundation/WePackageScrambler.h"
#include "FileTestSupport.h"

namespace
{
Bytes Pattern(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
    return bytes;
}
}  // namespace

TEST(WeFileStream, StringsAreStoredByteExact)
{
    ScratchFolder folder;
    WeFileStream stream;
    ASSERT_TRUE(stream.Create(WePath(folder, "s.bin")));
    EXPECT_TRUE(stream.IsEof());  // a new file's logical end is 0
    EXPECT_TRUE(stream.WriteString(WeString()));
    EXPECT_TRUE(stream.WriteString(WeString("hello")));
    stream.Close();
    EXPECT_EQ(ReadFileBytes(folder.Path("s.bin")), (Bytes{0, 0, 5, 0, 'h', 'e', 'l', 'l', 'o', 0}));

    ASSERT_TRUE(stream.Open(WePath(folder, "s.bin")));
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(stream.ReadString().Length(), 0);
    EXPECT_EQ(stream.Tell(), 2);
    WeString hello = stream.ReadString();
    EXPECT_STREQ(hello.c_str(), "hello");
    EXPECT_EQ(hello.Length(), 5);
    EXPECT_EQ(stream.Tell(), 10);
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, OverlongStringIsCutWithARealTerminatorAndReported)
{
    ScratchFolder folder;
    const std::string longest(WeFileStream::MaxStringLength, 'a');
    const std::string tooLong(WeFileStream::MaxStringLength + 1, 'b');
    WeFileStream stream;
    ASSERT_TRUE(stream.Create(WePath(folder, "long.bin")));
    EXPECT_TRUE(stream.WriteString(WeString(longest.c_str())));
    EXPECT_FALSE(stream.WriteString(WeString(tooLong.c_str())));
    stream.Close();

    const Bytes bytes = ReadFileBytes(folder.Path("long.bin"));
    const size_t stored = 2 + 65535 + 1;
    ASSERT_EQ(bytes.size(), 2 * stored);
    for (size_t at : {size_t(0), stored})
    {
        EXPECT_EQ(bytes[at], 0xFF);
        EXPECT_EQ(bytes[at + 1], 0xFF);
        EXPECT_EQ(bytes[at + stored - 1], 0);
    }
    EXPECT_EQ(bytes[stored + 2], 'b');

    ASSERT_TRUE(stream.Open(WePath(folder, "long.bin")));
    EXPECT_EQ(stream.ReadString().Length(), 65535);
    WeString cut = stream.ReadString();
    EXPECT_EQ(cut.Length(), 65535);
    EXPECT_EQ(cut.c_str()[65534], 'b');
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, TypedValuesAreLittleEndianAndReadBack)
{
    ScratchFolder folder;
    const float v3[3] = {1.0f, -2.5f, 3.25f};
    const float v4[4] = {0.5f, 0.25f, -0.125f, 8.0f};
    float m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = static_cast<float>(i) * 1.5f;
    WeFileStream stream;
    ASSERT_TRUE(stream.Create(WePath(folder, "v.bin")));
    stream.WriteByte('Z');
    stream.WriteUInt16(0xBEEF);
    stream.WriteInt32(-2);
    stream.WriteFloat(1.0f);
    stream.WriteVector3(v3);
    stream.WriteVector4(v4);
    stream.WriteMatrix(m);
    const int64_t wide = 0x0102030405060708LL;
    stream.Write(&wide, 8);
    stream.Close();

    const Bytes bytes = ReadFileBytes(folder.Path("v.bin"));
    ASSERT_EQ(bytes.size(), 1u + 2 + 4 + 4 + 12 + 16 + 64 + 8);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11),
              (Bytes{'Z', 0xEF, 0xBE, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F}));

    ASSERT_TRUE(stream.Open(WePath(folder, "v.bin")));
    EXPECT_EQ(stream.ReadByte(), 'Z');
    EXPECT_EQ(stream.ReadUInt16(), 0xBEEF);
    EXPECT_EQ(stream.ReadInt32(), -2);
    EXPECT_EQ(stream.Tell(), 7);
    EXPECT_EQ(stream.ReadFloat(), 1.0f);
    float r3[3], r4[4], rm[16];
    stream.ReadVector3(r3);
    stream.ReadVector4(r4);
    stream.ReadMatrix(rm);
    EXPECT_EQ(0, std::memcmp(r3, v3, sizeof v3));
    EXPECT_EQ(0, std::memcmp(r4, v4, sizeof v4));
    EXPECT_EQ(0, std::memcmp(rm, m, sizeof m));
    EXPECT_EQ(stream.ReadInt64(), wide);
    EXPECT_TRUE(stream.IsEof());
}

// The math types go through the same reads and writes, their floats in file order.
TEST(WeFileStream, MathTypesAreStoredAsTheirFloats)
{
    ScratchFolder folder;
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = static_cast<float>(i) - 7.5f;
    WeFileStream stream;
    ASSERT_TRUE(stream.Create(WePath(folder, "m.bin")));
    stream.WriteVector3(D3DXVECTOR3(1.0f, 2.0f, 3.0f));
    stream.WriteVector4(D3DXQUATERNION(0.0f, 0.5f, 0.0f, 0.75f));
    stream.WriteVector4(D3DXCOLOR(0.1f, 0.2f, 0.3f, 0.4f));
    stream.WriteMatrix(m);
    stream.Close();

    ASSERT_TRUE(stream.Open(WePath(folder, "m.bin")));
    float raw[3 + 4 + 4];
    stream.ReadVector3(raw);
    stream.ReadVector4(raw + 3);
    stream.ReadVector4(raw + 7);
    const float expected[] = {1.0f, 2.0f, 3.0f, 0.0f, 0.5f, 0.0f, 0.75f, 0.1f, 0.2f, 0.3f, 0.4f};
    EXPECT_EQ(0, std::memcmp(raw, expected, sizeof expected));
    D3DXMATRIX back;
    stream.ReadMatrix(back);
    EXPECT_TRUE(back == m);

    ASSERT_TRUE(stream.Seek(0, 0));
    D3DXVECTOR3 v;
    D3DXQUATERNION q;
    D3DXCOLOR c;
    stream.ReadVector3(v);
    stream.ReadVector4(q);
    stream.ReadVector4(c);
    EXPECT_TRUE(v == D3DXVECTOR3(1.0f, 2.0f, 3.0f));
    EXPECT_TRUE(q == D3DXQUATERNION(0.0f, 0.5f, 0.0f, 0.75f));
    EXPECT_FLOAT_EQ(c.b, 0.3f);
}

// Reads of every size across window refills, direct reads and the logical end give the file's bytes.
TEST(WeFileStream, WindowedReadsMatchTheFile)
{
    ScratchFolder folder;
    const Bytes pattern = Pattern(3 * 65536 + 123);
    WriteFileBytes(folder.Path("p.bin"), pattern);
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(WePath(folder, "p.bin")));
    EXPECT_EQ(stream.GetSize(), static_cast<int64_t>(pattern.size()));

    const int64_t sizes[] = {1, 4, 10, 65535, 3, 65536, 7, 70000, 1000, 65530};
    int64_t position = 0;
    Bytes got;
    for (int round = 0; position < static_cast<int64_t>(pattern.size()); ++round)
    {
        const int64_t size = sizes[round % 10];
        got.assign(static_cast<size_t>(size), 0xAA);
        const int64_t left = static_cast<int64_t>(pattern.size()) - position;
        const int64_t expected = size < left ? size : left;
        ASSERT_EQ(stream.Read(got.data(), size), expected) << "at " << position;
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + expected, pattern.begin() + position)) << "at " << position;
        for (int64_t i = expected; i < size; ++i)
            ASSERT_EQ(got[static_cast<size_t>(i)], 0) << "past the end";
        position += expected;
        ASSERT_EQ(stream.Tell(), position);
    }
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, SeekFromCurrentIsRelativeToTheLogicalPosition)
{
    ScratchFolder folder;
    const Bytes pattern = Pattern(1000);
    WriteFileBytes(folder.Path("p.bin"), pattern);
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(WePath(folder, "p.bin")));
    stream.ReadInt32();
    const int32_t second = stream.ReadInt32();  // the window holds far more than these 8 bytes
    EXPECT_EQ(stream.GetSize(), 1000);          // and measuring the file does not disturb it
    ASSERT_TRUE(stream.Seek(-4, 1));
    EXPECT_EQ(stream.Tell(), 4);
    EXPECT_EQ(stream.ReadInt32(), second);
    ASSERT_TRUE(stream.Seek(-8, 2));
    EXPECT_EQ(stream.Tell(), 992);
    EXPECT_FALSE(stream.Seek(-1, 0));
    EXPECT_FALSE(stream.Seek(0, 3));
    // Offsets whose sum overflows are refused, and the position stays where it was.
    EXPECT_FALSE(stream.Seek(INT64_MAX, 1));
    EXPECT_FALSE(stream.Seek(INT64_MAX, 2));
    EXPECT_EQ(stream.Tell(), 992);
}

TEST(WeFileStream, ReadsPastTheEndGiveZerosAndCountWhatWasRead)
{
    ScratchFolder folder;
    WriteFileBytes(folder.Path("short.bin"), Bytes{1, 2, 3, 4, 5, 6});
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(WePath(folder, "short.bin")));
    EXPECT_EQ(stream.ReadInt32(), 0x04030201);
    EXPECT_FALSE(stream.IsEof());
    EXPECT_EQ(stream.ReadInt32(), 0x0605);
    EXPECT_TRUE(stream.IsEof());
    EXPECT_EQ(stream.Tell(), 6);
    uint8_t more[4] = {9, 9, 9, 9};
    EXPECT_EQ(stream.Read(more, 4), 0);
    EXPECT_EQ(more[0] | more[1] | more[2] | more[3], 0);
    EXPECT_EQ(stream.ReadFloat(), 0.0f);

    // A stored string longer than what is left gives the bytes that are there.
    WriteFileBytes(folder.Path("cut.bin"), Bytes{200, 0, 'a', 'b', 'c'});
    ASSERT_TRUE(stream.Open(WePath(folder, "cut.bin")));
    WeString cut = stream.ReadString();
    EXPECT_STREQ(cut.c_str(), "abc");
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, WriteAfterReadOnAnUpdatableStreamLandsAtTheLogicalPosition)
{
    ScratchFolder folder;
    Bytes pattern = Pattern(100);
    WriteFileBytes(folder.Path("u.bin"), pattern);
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(WePath(folder, "u.bin"), true));
    stream.ReadInt32();  // the window has read all 100 bytes ahead
    ASSERT_TRUE(stream.WriteInt32(0x44332211));
    EXPECT_EQ(stream.Tell(), 8);
    int32_t next;
    std::memcpy(&next, &pattern[8], 4);
    EXPECT_EQ(stream.ReadInt32(), next);  // and reading goes on after the written bytes
    stream.Close();

    pattern[4] = 0x11;
    pattern[5] = 0x22;
    pattern[6] = 0x33;
    pattern[7] = 0x44;
    EXPECT_EQ(ReadFileBytes(folder.Path("u.bin")), pattern);
}

TEST(WeFileStream, CreatedFileReadsBackWhatWasWritten)
{
    ScratchFolder folder;
    WeFileStream stream;
    ASSERT_TRUE(stream.Create(WePath(folder, "c.bin")));
    stream.WriteInt32(11);
    stream.WriteInt32(22);
    EXPECT_EQ(stream.GetSize(), 8);
    ASSERT_TRUE(stream.Seek(0, 0));
    EXPECT_FALSE(stream.IsEof());
    EXPECT_EQ(stream.ReadInt32(), 11);
    EXPECT_EQ(stream.ReadInt32(), 22);
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, DestroyingAnOpenStreamClosesItsFile)
{
    ScratchFolder folder;
    {
        WeFileStream stream;
        ASSERT_TRUE(stream.Create(WePath(folder, "d.bin")));
        stream.WriteInt32(7);  // still in the stdio buffer until the file is closed
    }
    EXPECT_EQ(ReadFileBytes(folder.Path("d.bin")), (Bytes{7, 0, 0, 0}));
}

TEST(WeFileStream, OpenFailsOnMissingFilesAndFolders)
{
    ScratchFolder folder;
    WeFileStream stream;
    EXPECT_FALSE(stream.Open(WePath(folder, "missing.bin")));
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_FALSE(stream.Open(WePath(folder)));
    EXPECT_FALSE(stream.Create(WePath(folder)));
    EXPECT_FALSE(WeFileStream::FileExists(WePath(folder)));
    EXPECT_FALSE(WeFileStream::FileExists(WePath(folder, "missing.bin")));
    WriteFileBytes(folder.Path("there.bin"), Bytes{1});
    EXPECT_TRUE(WeFileStream::FileExists(WePath(folder, "there.bin")));
    ASSERT_TRUE(stream.Open(WePath(folder, "there.bin")));
    stream.Close(true);
    EXPECT_FALSE(stream.IsOpen());
}

TEST(WeFileStream, MemberSizeAndSeekFromEndAreRelativeToTheMember)
{
    ScratchFolder folder;
    const Bytes pattern = Pattern(100);
    WriteFileBytes(folder.Path("m.bin"), pattern);
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(WePath(folder, "m.bin")));
    ASSERT_TRUE(stream.SetMember(10, 20));
    EXPECT_EQ(stream.Tell(), 10);
    EXPECT_EQ(stream.GetSize(), 20);
    ASSERT_TRUE(stream.Seek(-4, 2));
    EXPECT_EQ(stream.Tell(), 26);
    uint8_t tail[8];
    EXPECT_EQ(stream.Read(tail, 8), 4);  // nothing of the bytes after the member
    EXPECT_TRUE(std::equal(tail, tail + 4, pattern.begin() + 26));
    EXPECT_EQ(tail[4] | tail[5] | tail[6] | tail[7], 0);
    EXPECT_TRUE(stream.IsEof());
}

TEST(WeFileStream, ScrambledStreamsKeyEveryByteByItsFileOffset)
{
    ScratchFolder folder;
    WeFileStream stream;
    stream.SetScrambled(true);
    ASSERT_TRUE(stream.Create(WePath(folder, "x.bin")));
    const Bytes plain(300, 0x41);
    stream.Write(plain.data(), 300);
    stream.WriteInt32(123456);
    stream.WriteString(WeString("scrambled"));
    stream.Close();

    Bytes stored = ReadFileBytes(folder.Path("x.bin"));
    ASSERT_EQ(stored.size(), 300u + 4 + 2 + 9 + 1);
    EXPECT_NE(stored[0], stored[1]);  // the same plain byte at two offsets is stored differently
    Bytes decoded = stored;
    WePackageScrambler::Unscramble(decoded.data(), static_cast<int64_t>(decoded.size()), 0);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), decoded.begin()));

    EXPECT_TRUE(stream.IsScrambled());  // the flag survives closing and re-opening
    ASSERT_TRUE(stream.Open(WePath(folder, "x.bin")));
    ASSERT_TRUE(stream.Seek(300, 0));
    EXPECT_EQ(stream.ReadInt32(), 123456);
    EXPECT_STREQ(stream.ReadString().c_str(), "scrambled");
    // The raw window read hands out the stored bytes.
    ASSERT_TRUE(stream.Seek(0, 0));
    uint8_t raw[2];
    stream.ReadBuffered(raw, 2);
    EXPECT_EQ(raw[0], stored[0]);
    EXPECT_EQ(raw[1], stored[1]);
}
