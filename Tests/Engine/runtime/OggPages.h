#pragma once
// Ogg page surgery for hostile sound files: the page checksum, a forged last granule (the length a
// file announces), and checksums made right again after bytes were changed. Used by the sound tests,
// the fuzz seeds and the Ogg fuzz target.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace oggpages
{
// CRC-32, polynomial 0x04c11db7, unreflected, over the page with its checksum field 0.
inline uint32_t Crc(const uint8_t* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i)
    {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// The size of the page that starts at `at` (header, segment table and body), or 0 when it does not
// fit in the bytes.
inline size_t PageSize(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 27 > bytes.size() || std::memcmp(&bytes[at], "OggS", 4) != 0)
        return 0;
    const size_t segments = bytes[at + 26];
    if (at + 27 + segments > bytes.size())
        return 0;
    size_t size = 27 + segments;
    for (size_t s = 0; s < segments; ++s)
        size += bytes[at + 27 + s];
    return at + size <= bytes.size() ? size : 0;
}

inline void SetChecksum(std::vector<uint8_t>& bytes, size_t at, size_t size)
{
    std::memset(&bytes[at + 22], 0, 4);
    const uint32_t crc = Crc(&bytes[at], size);
    for (int b = 0; b < 4; ++b)
        bytes[at + 22 + b] = static_cast<uint8_t>(crc >> (8 * b));
}

// Gives every whole page its right checksum, so that changed bytes reach the Vorbis decoder instead
// of being dropped as a damaged page. The number of pages fixed.
inline int FixChecksums(std::vector<uint8_t>& bytes)
{
    int fixed = 0;
    for (size_t at = 0; at + 27 <= bytes.size();)
    {
        const size_t size = PageSize(bytes, at);
        if (size == 0)
        {
            ++at;
            continue;
        }
        SetChecksum(bytes, at, size);
        ++fixed;
        at += size;
    }
    return fixed;
}

// Sets the granule position of the file's last page and fixes its checksum, as a forger would.
inline void ForgeLastGranule(std::vector<uint8_t>& bytes, int64_t granule)
{
    size_t last = 0;
    for (size_t i = 0; i + 27 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], "OggS", 4) == 0)
            last = i;
    const size_t size = PageSize(bytes, last);
    if (size == 0)
        return;
    for (int b = 0; b < 8; ++b)
        bytes[last + 6 + b] = static_cast<uint8_t>(static_cast<uint64_t>(granule) >> (8 * b));
    SetChecksum(bytes, last, size);
}
}  // namespace oggpages
