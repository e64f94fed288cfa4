#include "Engine/runtime/WeOggReader.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

#include "Engine/foundation/WeLog.h"

size_t WeOggReader::MemoryRead(void* destination, size_t size, size_t count, void* memory)
{
    Memory* m = static_cast<Memory*>(memory);
    if (size == 0 || count == 0 || m->position < 0 || m->position >= m->size)
        return 0;
    const size_t left = static_cast<size_t>(m->size - m->position);
    // Whole items only, and no product that could wrap.
    size_t items = count;
    if (items > left / size)
        items = left / size;
    const size_t n = items * size;
    if (n == 0)
        return 0;
    std::memcpy(destination, m->data + m->position, n);
    m->position += static_cast<int32_t>(n);
    return items;
}

int WeOggReader::MemorySeek(void* memory, int64_t offset, int origin)
{
    Memory* m = static_cast<Memory*>(memory);
    int64_t target;
    switch (origin)
    {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = static_cast<int64_t>(m->position) + offset; break;
    case SEEK_END: target = static_cast<int64_t>(m->size) + offset; break;
    default: return -1;
    }
    if (target < 0 || target > m->size)
        return -1;
    m->position = static_cast<int32_t>(target);
    return 0;
}

int WeOggReader::MemoryClose(void*)
{
    return 0;
}

long WeOggReader::MemoryTell(void* memory)
{
    return static_cast<const Memory*>(memory)->position;
}

namespace
{
int SeekCallback(void* memory, ogg_int64_t offset, int origin)
{
    return WeOggReader::MemorySeek(memory, static_cast<int64_t>(offset), origin);
}
}  // namespace

WeOggReader::WeOggReader() {}

WeOggReader::~WeOggReader()
{
    Close();
}

bool WeOggReader::Open(const uint8_t* data, int32_t size)
{
    Close();
    if (data == nullptr || size <= 0)
        return false;
    m_Memory.data = data;
    m_Memory.size = size;
    m_Memory.position = 0;
    OggVorbis_File* file = new OggVorbis_File;
    const ov_callbacks callbacks = {MemoryRead, SeekCallback, MemoryClose, MemoryTell};
    if (ov_open_callbacks(&m_Memory, file, nullptr, 0, callbacks) != 0)
    {
        // ov_open_callbacks clears what it made on failure.
        delete file;
        return false;
    }
    const vorbis_info* info = ov_info(file, -1);
    if (info == nullptr || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > 1000000)
    {
        WeDebugPrint("WeOggReader: %d channels at %ld Hz is not supported\n", info ? info->channels : 0,
                     info ? info->rate : 0L);
        ov_clear(file);
        delete file;
        return false;
    }
    m_Channels = info->channels;
    m_Rate = static_cast<int32_t>(info->rate);
    m_File = file;
    return true;
}

void WeOggReader::Close()
{
    if (m_File != nullptr)
    {
        OggVorbis_File* file = static_cast<OggVorbis_File*>(m_File);
        ov_clear(file);
        delete file;
        m_File = nullptr;
    }
    m_Channels = 0;
    m_Rate = 0;
    m_Error = 0;
    m_Memory = Memory();
}

int64_t WeOggReader::GetTotalSamples()
{
    if (m_File == nullptr)
        return -1;
    return ov_pcm_total(static_cast<OggVorbis_File*>(m_File), -1);
}

int32_t WeOggReader::Read(uint8_t* destination, int32_t capacity)
{
    if (m_File == nullptr || capacity <= 0)
        return 0;
    if (m_Error != 0)
        return m_Error;
    OggVorbis_File* file = static_cast<OggVorbis_File*>(m_File);
    // A whole frame per read, so that a caller's area always holds complete frames.
    const int32_t frame = m_Channels * 2;
    capacity -= capacity % frame;
    if (capacity <= 0)
        return 0;
    int bitstream = 0;
    const long got = ov_read(file, reinterpret_cast<char*>(destination), capacity, 0, 2, 1, &bitstream);
    if (got < 0 && got != OV_HOLE)
        m_Error = static_cast<int32_t>(got);
    if (got <= 0)
        return static_cast<int32_t>(got);
    const vorbis_info* info = ov_info(file, bitstream);
    if (info == nullptr || info->channels != m_Channels || info->rate != m_Rate)
        return 0;
    return static_cast<int32_t>(got);
}

bool WeOggReader::Rewind()
{
    if (m_File == nullptr || m_Error != 0)
        return false;
    const int result = ov_pcm_seek(static_cast<OggVorbis_File*>(m_File), 0);
    if (result != 0)
        m_Error = result < 0 ? result : OV_EFAULT;
    return result == 0;
}

bool WeOggReader::DecodeAll(std::vector<uint8_t>& area, int32_t& bytesOut)
{
    bytesOut = 0;
    const int64_t samples = GetTotalSamples();
    if (samples < 0)
        return false;
    const int64_t frame = static_cast<int64_t>(m_Channels) * 2;
    if (samples > MaxDecodedBytes / frame)
        return false;
    const int64_t bytes = samples * frame;
    // Grows to the smallest power of two of at least 64 KB that holds the sound, never shrinks.
    int64_t g = int64_t(1) << 30;
    while (g >= bytes && g > 65535)
        g /= 2;
    if (static_cast<int64_t>(area.size()) < bytes || area.empty())
        if (static_cast<int64_t>(area.size()) < 2 * g)
            area.assign(static_cast<size_t>(2 * g), 0);
    int64_t produced = 0;
    while (produced < bytes)
    {
        const int64_t left = bytes - produced;
        const int32_t ask = left > (1 << 20) ? (1 << 20) : static_cast<int32_t>(left);
        const int32_t got = Read(area.data() + produced, ask);
        if (got <= 0)
            break;
        produced += got;
    }
    bytesOut = static_cast<int32_t>(produced);
    return true;
}
