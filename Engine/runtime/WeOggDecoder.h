#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeOggReader.h"

class WeVirtualFileSystem;

// Decodes one Ogg Vorbis file of the packages in chunks into the sixteen OpenAL buffers of a stream
// (the music). The compressed file is copied into memory once.
class WeOggDecoder
{
public:
    static constexpr int32_t BufferCount = 16;
    static constexpr int32_t ChunkSize = 0x4000;

    explicit WeOggDecoder(const WeString& name);
    virtual ~WeOggDecoder();
    WeOggDecoder(const WeOggDecoder&) = delete;
    WeOggDecoder& operator=(const WeOggDecoder&) = delete;

    bool Open(const WeString& name);
    // Decodes the next chunk into the OpenAL buffer. True with nothing done when the file never
    // opened; false when no audio is left (and, looping, none comes after a rewind either).
    bool FillBuffer(uint32_t buffer);

    bool IsOpened() const { return m_Opened != 0; }
    void SetLoop(bool loop) { m_Loop = loop ? 1 : 0; }
    bool GetLoop() const { return m_Loop != 0; }
    const uint32_t* GetBuffers() const { return m_Buffers; }
    int32_t GetFormat() const { return m_Format; }
    WeOggReader& GetReader() { return m_Reader; }

private:
    std::vector<uint8_t> m_Data;
    uint8_t m_Opened = 0;
    uint8_t m_Loop = 0;
    uint32_t m_Buffers[BufferCount] = {};
    WeOggReader m_Reader;
    int32_t m_Format = 0;
    std::vector<uint8_t> m_Area;
};

// The whole sound decoded into a new OpenAL buffer; 0 when the file is missing or bad.
uint32_t DecodeOggToBuffer(const WeString& name);
// The decode area shared by DecodeOggToBuffer: its size in bytes (0 before the first decode).
int64_t GetOggDecodeAreaSize();

// The file system sounds and music are read from: the active one unless another was set (tools and
// tests). Null restores the active one.
void SetSoundFileSystem(WeVirtualFileSystem* fileSystem);
// Copies the "ogg" file of the dotted name out of the sound file system. The file system's own
// stream is not moved: a reader that has another file open there keeps its place.
bool ReadSoundFile(const WeString& name, std::vector<uint8_t>& out);
