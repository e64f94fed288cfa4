#include "Engine/render/WeLightMap.h"

#include <nvtt/nvtt.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/gfx/GfxFormat.h"
#include "Platform/gfx_d3dx/PixelCodec.h"

namespace
{

// Collects the compressor's blocks; never writes past its destination, whatever the compressor sends.
class MyOutputHandler : public nvtt::OutputHandler
{
public:
    MyOutputHandler(uint8_t* destination, int32_t capacity) : m_Destination(destination), m_Capacity(capacity) {}

    void beginImage(int, int, int, int, int, int) override {}
    bool writeData(const void* data, int size) override
    {
        if (size <= 0)
            return true;
        int32_t room = m_Capacity - m_Written;
        int32_t copy = std::min(room, size);
        if (copy > 0)
            std::memcpy(m_Destination + m_Written, data, size_t(copy));
        m_Written += copy;
        m_Overflowed |= copy < size;
        return copy == size;
    }

    uint8_t* m_Destination;
    int32_t m_Unused = 0;
    int32_t m_Written = 0;
    int32_t m_Capacity;
    bool m_Overflowed = false;
};

bool IsRaw32(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

// Level 0 of the locked texture as tight BGRA rows (the compressor's input layout); false when its
// format cannot be read.
bool ToTightBgra(const WeTexture& texture, const uint8_t* bits, int32_t pitch, std::vector<uint8_t>* out)
{
    const int32_t width = texture.m_Width;
    const int32_t height = texture.m_Height;
    const D3DFORMAT format = texture.m_Format;
    out->assign(size_t(width) * size_t(height) * 4, 0);
    if (IsRaw32(format))
    {
        if (pitch < width * 4)
            return false;
        for (int32_t y = 0; y < height; ++y)
        {
            uint8_t* row = out->data() + size_t(y) * size_t(width) * 4;
            std::memcpy(row, bits + size_t(y) * size_t(pitch), size_t(width) * 4);
            if (format == D3DFMT_X8R8G8B8)
                for (int32_t x = 0; x < width; ++x)
                    row[x * 4 + 3] = 0xFF;
        }
        return true;
    }
    const GfxFormatInfo* info = GfxFormat::Find(format);
    if (info == nullptr || info->depth || !PixelCodec::Supports(format))
        return false;
    // The lock reports a block format's pitch per pixel row; the codec wants whole rows of blocks.
    ImageLevel level;
    level.width = uint32_t(width);
    level.height = uint32_t(height);
    level.depth = 1;
    level.rowPitch = uint32_t(info->block ? pitch * 4 : pitch);
    uint32_t rows = info->block ? uint32_t((height + 3) / 4) : uint32_t(height);
    if (level.rowPitch < GfxFormat::RowPitch(*info, uint32_t(width)))
        return false;
    level.slicePitch = level.rowPitch * rows;
    level.bytes.assign(bits, bits + level.slicePitch);
    std::vector<float> rgba;
    if (!PixelCodec::ToRgba(format, level, &rgba) || rgba.size() < out->size())
        return false;
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
    {
        auto byte = [](float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
        (*out)[i * 4 + 0] = byte(rgba[i * 4 + 2]);
        (*out)[i * 4 + 1] = byte(rgba[i * 4 + 1]);
        (*out)[i * 4 + 2] = byte(rgba[i * 4 + 0]);
        (*out)[i * 4 + 3] = byte(rgba[i * 4 + 3]);
    }
    return true;
}

}  // namespace

int32_t WeLightMapMaximumSize()
{
    // The entry is looked up once; its value is read on every load.
    static int32_t& maximum = GetConfigInt("game.Render.MaxLightmapSize", 0);
    return maximum;
}

WeLightMap::~WeLightMap()
{
    Release();
}

void WeLightMap::Release()
{
    if (m_LightMap != nullptr)
        g_TextureManager.ReleaseTexture(m_LightMap, false);
    m_LightMap = nullptr;
}

void WeLightMap::Take(WeTexture* texture)
{
    if (texture == m_LightMap)
        return;
    Release();
    m_LightMap = texture;
}

bool WeLightMap::Load(WeFileStream& stream)
{
    const int32_t maximum = WeLightMapMaximumSize();
    const int32_t tag = stream.ReadInt32();
    if (stream.HadShortRead())
        return false;
    if (tag >= 0)
        return true;
    if (tag == -1 || tag == -2)
        return LoadRaw(stream, tag);

    const bool present = tag == -3 ? stream.ReadInt32() != 0 : stream.ReadByte() != 0;
    if (stream.HadShortRead())
        return false;
    if (!present)
        return true;
    WeTexture* texture = g_TextureManager.CreateEmpty(true);
    if (texture == nullptr)
        return false;
    if (!texture->ReadFromStream(stream, WeTexture::KeepLevel, maximum) || stream.HadShortRead())
    {
        g_TextureManager.ReleaseTexture(texture, true);
        return false;
    }
    Take(texture);
    CompressToDXT1();
    return true;
}

bool WeLightMap::LoadRaw(WeFileStream& stream, int32_t tag)
{
    const int64_t size = stream.ReadInt32();
    WeTexture* texture = nullptr;
    bool intact = !stream.HadShortRead();
    if (intact && size > 0)
    {
        const int32_t width = stream.ReadInt32();
        const int32_t height = stream.ReadInt32();
        const D3DFORMAT format = D3DFORMAT(stream.ReadInt32());
        const int64_t remaining = stream.GetEndLimit() - stream.Tell();
        if (stream.HadShortRead() || size > remaining)
        {
            // The texels would run past the end: the block ends with the stream.
            stream.Seek(stream.GetEndLimit(), 0);
            return false;
        }
        const int64_t start = stream.Tell();
        texture = g_TextureManager.CreateTexture(width, height, format, 0, D3DPOOL_MANAGED, 1, true);
        void* bits = nullptr;
        int32_t lockedBytes = 0;
        if (texture != nullptr && texture->Lock(&bits, &lockedBytes, nullptr))
        {
            // Never more than the level holds; the rest of the texels is stepped over below.
            const int64_t copy = std::min<int64_t>(size, lockedBytes);
            if (copy > 0)
                stream.Read(bits, copy);
            texture->Unlock();
        }
        else if (texture != nullptr)
        {
            g_TextureManager.ReleaseTexture(texture, true);
            texture = nullptr;
        }
        // The whole N bytes are consumed, whatever happened to the texture.
        stream.Seek(start + size, 0);
    }
    if (tag == -2)
        stream.ReadInt32();
    intact = intact && !stream.HadShortRead();
    if (texture == nullptr)
        return intact;
    Take(texture);
    const int32_t maximum = WeLightMapMaximumSize();
    if (maximum != 0)
        m_LightMap->ShrinkTo(maximum);
    CompressToDXT1();
    return intact;
}

bool WeLightMap::Save(WeFileStream& stream)
{
    bool ok = stream.WriteInt32(SavedTag) && stream.WriteByte(m_LightMap != nullptr ? 1 : 0);
    if (!ok || m_LightMap == nullptr)
        return ok;
    CompressToDXT1();
    return m_LightMap->WriteToStream(stream);
}

void WeLightMap::CompressToDXT1()
{
    WeTexture* source = m_LightMap;
    if (source == nullptr || source->m_Format == D3DFMT_DXT1 || source->m_Kind != WeTexture::Kind2D)
        return;
    const int32_t width = source->m_Width;
    const int32_t height = source->m_Height;
    void* sourceBits = nullptr;
    int32_t sourcePitch = 0;
    if (!source->Lock(&sourceBits, nullptr, &sourcePitch))
        return;
    std::vector<uint8_t> bgra;
    const bool readable = ToTightBgra(*source, static_cast<const uint8_t*>(sourceBits), sourcePitch, &bgra);
    source->Unlock();
    if (!readable)
        return;

    const int32_t blockColumns = (width + 3) / 4;
    const int32_t blockRows = (height + 3) / 4;
    const int32_t blockRowBytes = blockColumns * 8;
    std::vector<uint8_t> blocks(size_t(blockRowBytes) * size_t(blockRows), 0);
    MyOutputHandler handler(blocks.data(), int32_t(blocks.size()));

    nvtt::InputOptions input;
    input.setTextureLayout(nvtt::TextureType_2D, width, height, 1);
    input.setMipmapData(bgra.data(), width, height, 1, 0, 0);
    input.setMipmapGeneration(false);
    nvtt::OutputOptions output;
    output.setOutputHandler(&handler);
    output.setOutputHeader(false);
    nvtt::CompressionOptions compression;
    compression.setFormat(nvtt::Format_DXT1);
    compression.setQuality(nvtt::Quality_Fastest);
    nvtt::Compressor compressor;
    if (!compressor.process(input, compression, output) || handler.m_Written != int32_t(blocks.size()))
        return;

    WeTexture* target = g_TextureManager.CreateTexture(width, height, D3DFMT_DXT1, 0, D3DPOOL_MANAGED, 1, true);
    if (target == nullptr)
        return;
    void* targetBits = nullptr;
    int32_t targetPitch = 0;
    if (!target->Lock(&targetBits, nullptr, &targetPitch) || targetPitch * 4 < blockRowBytes)
    {
        g_TextureManager.ReleaseTexture(target, true);
        return;
    }
    // The lock's pitch is per pixel row; a block row spans four.
    for (int32_t row = 0; row < blockRows; ++row)
        std::memcpy(static_cast<uint8_t*>(targetBits) + size_t(row) * size_t(targetPitch) * 4,
                    blocks.data() + size_t(row) * size_t(blockRowBytes), size_t(blockRowBytes));
    target->Unlock();
    Take(target);
}
