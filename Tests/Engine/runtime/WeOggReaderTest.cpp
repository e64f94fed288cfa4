#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "Engine/runtime/WeOggReader.h"
#include "OggPages.h"
#include "SoundTestSupport.h"

using soundtest::EncodeTone;

using oggpages::ForgeLastGranule;

TEST(WeOggReader, MemoryCallbacksKeepToTheBytes)
{
    const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Case
    {
        int64_t offset;
        int origin;
        int result;
        int32_t position;  // after the seek, from position 4
    };
    const Case cases[] = {
        {0, SEEK_SET, 0, 0},  {10, SEEK_SET, 0, 10}, {11, SEEK_SET, -1, 4}, {-1, SEEK_SET, -1, 4},
        {3, SEEK_CUR, 0, 7},  {-4, SEEK_CUR, 0, 0},  {7, SEEK_CUR, -1, 4},  {-5, SEEK_CUR, -1, 4},
        {0, SEEK_END, 0, 10}, {-3, SEEK_END, 0, 7},  {1, SEEK_END, -1, 4},  {-11, SEEK_END, -1, 4},
        {0, 7, -1, 4},
    };
    for (const Case& c : cases)
    {
        WeOggReader::Memory m{data, 10, 4};
        EXPECT_EQ(WeOggReader::MemorySeek(&m, c.offset, c.origin), c.result) << c.offset << " " << c.origin;
        EXPECT_EQ(m.position, c.position) << c.offset << " " << c.origin;
    }

    uint8_t out[16] = {};
    WeOggReader::Memory m{data, 10, 7};
    EXPECT_EQ(WeOggReader::MemoryRead(out, 1, 16, &m), 3u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(WeOggReader::MemoryTell(&m), 10);
    EXPECT_EQ(WeOggReader::MemoryRead(out, 1, 16, &m), 0u);
    // Positions outside the bytes read nothing, however they came about.
    for (int32_t bad : {11, -1, 1 << 30})
    {
        WeOggReader::Memory outside{data, 10, bad};
        EXPECT_EQ(WeOggReader::MemoryRead(out, 1, 4, &outside), 0u);
    }
    // Whole items only, and a size x count that would wrap is no read past the end.
    WeOggReader::Memory items{data, 10, 0};
    EXPECT_EQ(WeOggReader::MemoryRead(out, 4, 3, &items), 2u);
    EXPECT_EQ(items.position, 8);
    WeOggReader::Memory huge{data, 10, 0};
    EXPECT_EQ(WeOggReader::MemoryRead(out, SIZE_MAX / 2, 4, &huge), 0u);
}

TEST(WeOggReader, DecodeAreaIsThePowerOfTwoThatHoldsTheSound)
{
    struct Case
    {
        int32_t frames;  // mono: two bytes each
        size_t area;
    };
    // Small sounds get 64 KB; the area never shrinks.
    const Case cases[] = {{500, 65536}, {35000, 131072}, {150000, 524288}, {1000, 524288}};
    std::vector<uint8_t> area;
    for (const Case& c : cases)
    {
        const std::vector<uint8_t> bytes = EncodeTone(c.frames, 1);
        WeOggReader reader;
        ASSERT_TRUE(reader.Open(bytes.data(), static_cast<int32_t>(bytes.size())));
        EXPECT_EQ(reader.GetTotalSamples(), c.frames);
        int32_t produced = 0;
        ASSERT_TRUE(reader.DecodeAll(area, produced));
        EXPECT_EQ(produced, c.frames * 2);
        EXPECT_EQ(area.size(), c.area) << c.frames;
    }
}

TEST(WeOggReader, AnnouncedLengthIsNotTrusted)
{
    // Several audio pages, so that the last one's granule sets the announced length.
    const std::vector<uint8_t> good = EncodeTone(150000, 2);

    // A last granule claiming three billion samples would ask for gigabytes: refused.
    std::vector<uint8_t> forged = good;
    ForgeLastGranule(forged, 3000000000ll);
    WeOggReader reader;
    ASSERT_TRUE(reader.Open(forged.data(), static_cast<int32_t>(forged.size())));
    EXPECT_EQ(reader.GetTotalSamples(), 3000000000ll);
    std::vector<uint8_t> area;
    int32_t produced = -1;
    EXPECT_FALSE(reader.DecodeAll(area, produced));
    EXPECT_TRUE(area.empty());

    // A claim a little above the truth decodes what is really there.
    forged = good;
    ForgeLastGranule(forged, 190000);
    ASSERT_TRUE(reader.Open(forged.data(), static_cast<int32_t>(forged.size())));
    EXPECT_EQ(reader.GetTotalSamples(), 190000);
    ASSERT_TRUE(reader.DecodeAll(area, produced));
    EXPECT_GE(produced, 150000 * 4 - 8192);
    EXPECT_LE(produced, 190000 * 4);

    // A negative granule: a negative total is refused, any other decodes within its claim.
    forged = good;
    ForgeLastGranule(forged, -2);
    if (reader.Open(forged.data(), static_cast<int32_t>(forged.size())))
    {
        const int64_t total = reader.GetTotalSamples();
        EXPECT_EQ(reader.DecodeAll(area, produced), total >= 0);
        EXPECT_LE(produced, total < 0 ? 0 : total * 4);
    }
}

namespace
{
// The file with every code length of its first codebook set to 1: the setup header still reads, but
// the decoder's set-up fails on the first read, because so many one-bit codes cannot exist.
std::vector<uint8_t> UndecodableCodebook(std::vector<uint8_t> bytes)
{
    const uint8_t setup[7] = {5, 'v', 'o', 'r', 'b', 'i', 's'};
    const auto at = std::search(bytes.begin(), bytes.end(), setup, setup + 7);
    if (at == bytes.end())
        return {};
    const size_t base = size_t(at - bytes.begin()) + 7;
    auto bits = [&](size_t first, int count)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= uint32_t((bytes[base + (first + size_t(i)) / 8] >> ((first + size_t(i)) % 8)) & 1) << i;
        return value;
    };
    // Codebook count, then the first book: sync, dimensions, entries, ordered, sparse, the lengths.
    const uint32_t entries = bits(8 + 24 + 16, 24);
    if (bits(8, 24) != 0x564342 || bits(72, 1) != 0 || bits(73, 1) != 0 || entries < 3)
        return {};
    for (size_t bit = 74; bit < 74 + 5 * size_t(entries); ++bit)
        bytes[base + bit / 8] &= uint8_t(~(1u << (bit % 8)));
    oggpages::FixChecksums(bytes);
    return bytes;
}
}  // namespace

TEST(WeOggReader, AFailedDecoderSetUpIsFinal)
{
    // Asked again after such a failure, libvorbis would take the half-built codebooks as built and
    // divide by a dimension of 0: the reader keeps its error instead.
    const std::vector<uint8_t> bad = UndecodableCodebook(EncodeTone(20000, 2));
    ASSERT_FALSE(bad.empty());
    WeOggReader reader;
    ASSERT_TRUE(reader.Open(bad.data(), static_cast<int32_t>(bad.size())));
    std::vector<uint8_t> chunk(4096);
    const int32_t error = reader.Read(chunk.data(), 4096);
    EXPECT_LT(error, 0);
    EXPECT_EQ(reader.Read(chunk.data(), 4096), error);
    EXPECT_FALSE(reader.Rewind());
    EXPECT_EQ(reader.Read(chunk.data(), 4096), error);
    std::vector<uint8_t> area;
    int32_t produced = -1;
    EXPECT_TRUE(reader.DecodeAll(area, produced));
    EXPECT_EQ(produced, 0);
    // Opened again, the file starts over and fails the same way.
    ASSERT_TRUE(reader.Open(bad.data(), static_cast<int32_t>(bad.size())));
    EXPECT_EQ(reader.Read(chunk.data(), 4096), error);
}

TEST(WeOggReader, RefusesWhatIsNotMonoOrStereoVorbis)
{
    WeOggReader reader;
    const std::vector<uint8_t> six = EncodeTone(4000, 6);
    ASSERT_FALSE(six.empty());
    EXPECT_FALSE(reader.Open(six.data(), static_cast<int32_t>(six.size())));
    EXPECT_FALSE(reader.IsOpen());

    std::mt19937 random(7);
    std::vector<uint8_t> noise(5000);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    EXPECT_FALSE(reader.Open(noise.data(), static_cast<int32_t>(noise.size())));
    EXPECT_FALSE(reader.Open(nullptr, 0));

    // Truncated anywhere: either refused or decoded up to the cut, never more than announced.
    const std::vector<uint8_t> good = EncodeTone(20000, 2);
    std::vector<uint8_t> area;
    for (size_t cut : {size_t(30), size_t(200), good.size() / 3, good.size() / 2, good.size() - 10})
    {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        if (!reader.Open(part.data(), static_cast<int32_t>(part.size())))
            continue;
        int32_t produced = 0;
        if (reader.DecodeAll(area, produced))
        {
            EXPECT_LE(produced, 20000 * 4);
        }
    }
}
