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

namespace
{
// Gives every entry of the setup header's first codebook the length 1: more codes of one bit than a
// binary tree holds. The header still parses; only building the decoder fails. False when the first
// codebook is not stored as plain lengths.
bool OverfillFirstCodebook(std::vector<uint8_t>& bytes)
{
    const uint8_t setup[] = {5, 'v', 'o', 'r', 'b', 'i', 's'};
    auto found = std::search(bytes.begin(), bytes.end(), std::begin(setup), std::end(setup));
    if (found == bytes.end() || bytes.end() - found < 14)
        return false;
    const size_t book = static_cast<size_t>(found - bytes.begin()) + 8;  // after the count of codebooks
    if (bytes[book] != 0x42 || bytes[book + 1] != 0x43 || bytes[book + 2] != 0x56)
        return false;
    const size_t entries = bytes[book + 5] | (bytes[book + 6] << 8) | (bytes[book + 7] << 16);
    const size_t flags = book + 8;  // bit 0: ordered, bit 1: sparse, then five bits a length
    if ((bytes[flags] & 3) != 0 || flags + (2 + 5 * entries) / 8 + 1 > bytes.size())
        return false;
    for (size_t bit = 2; bit < 2 + 5 * entries; ++bit)
        bytes[flags + bit / 8] &= static_cast<uint8_t>(~(1u << (bit % 8)));
    oggpages::FixChecksums(bytes);
    return true;
}
}  // namespace

TEST(WeOggReader, ADecoderThatFailsToBuildIsNotUsedAgain)
{
    std::vector<uint8_t> bytes = EncodeTone(20000, 2);
    ASSERT_TRUE(OverfillFirstCodebook(bytes));
    WeOggReader reader;
    ASSERT_TRUE(reader.Open(bytes.data(), static_cast<int32_t>(bytes.size())));
    std::vector<uint8_t> chunk(4096);
    // libvorbis keeps the codebooks it built before the one that failed and skips building them the
    // next time, decoding with the rest left empty: after the first error the reader asks no more.
    EXPECT_LT(reader.Read(chunk.data(), static_cast<int32_t>(chunk.size())), 0);
    EXPECT_FALSE(reader.Rewind());
    EXPECT_LT(reader.Read(chunk.data(), static_cast<int32_t>(chunk.size())), 0);
    std::vector<uint8_t> area;
    int32_t produced = -1;
    reader.DecodeAll(area, produced);
    EXPECT_EQ(produced, 0);

    // Opened again, the reader starts afresh.
    const std::vector<uint8_t> good = EncodeTone(2000, 1);
    ASSERT_TRUE(reader.Open(good.data(), static_cast<int32_t>(good.size())));
    EXPECT_GT(reader.Read(chunk.data(), static_cast<int32_t>(chunk.size())), 0);
    EXPECT_TRUE(reader.Rewind());
}
