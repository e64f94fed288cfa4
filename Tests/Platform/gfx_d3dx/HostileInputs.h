#pragma once
// Small files built the way an attacker would to break the image readers, shared by the tests and the fuzz
// seeds: each one once crashed or exhausted a reader.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "Platform/gfx_d3dx/DdsFile.h"

namespace hostile
{

inline uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
    {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void PutBigEndian(std::vector<uint8_t>* out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(uint8_t(v >> shift));
}

// A PNG chunk with its length and a correct CRC (libpng checks it).
inline void PngChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data,
                     uint32_t claimedLength)
{
    PutBigEndian(out, claimedLength);
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out->data() + start, out->size() - start));
}

inline void PngChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data)
{
    PngChunk(out, type, data, uint32_t(data.size()));
}

// A valid 4 x 4 RGBA PNG header followed by an IDAT chunk that claims nearly 2 GB and holds four bytes.
inline std::vector<uint8_t> PngWithHugeIdat()
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngChunk(&png, "IHDR", {0, 0, 0, 4, 0, 0, 0, 4, 8, 6, 0, 0, 0});
    PngChunk(&png, "IDAT", {0x78, 0x9C, 0x63, 0x60}, 0x7FFFFFF0u);
    return png;
}

// A baseline JPEG header whose Huffman table's sixteen code counts add up to 272, more than a table holds.
inline std::vector<uint8_t> JpegWithOverfullHuffmanTable()
{
    std::vector<uint8_t> jpg = {0xFF, 0xD8,                                                  // SOI
                                0xFF, 0xC0, 0, 11,          8,   0, 8, 0, 8, 1, 1, 0x11, 0,  // SOF0 8 x 8 grey
                                0xFF, 0xC4, 0, 2 + 17 + 16, 0x00};                           // DHT, DC table 0
    for (int i = 0; i < 16; ++i)
        jpg.push_back(17);
    for (int i = 0; i < 16; ++i)
        jpg.push_back(uint8_t(i));
    const uint8_t tail[] = {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0x12, 0x34, 0xFF, 0xD9};  // SOS, data, EOI
    jpg.insert(jpg.end(), tail, tail + sizeof tail);
    return jpg;
}

// A valid 2 x 2 A32B32G32R32F DDS whose texels are all NaN but one.
inline std::vector<uint8_t> NanFloatDds()
{
    ImageData img;
    img.format = D3DFMT_A32B32G32R32F;
    img.width = img.height = 2;
    std::vector<uint8_t> file;
    if (!img.Layout())
        return file;
    const float nan = std::nanf("");
    const float texels[16] = {nan, nan, nan, nan, 1, 0.5f, 0, 1, nan, 1, nan, 1, 0, 0, 0, nan};
    std::memcpy(img.subs[0].bytes.data(), texels, sizeof texels);
    DdsFile::Write(img, &file);
    return file;
}

}  // namespace hostile
