#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Ogg Vorbis decoding over bytes held in memory, into 16-bit signed little-endian PCM. Knows nothing
// of OpenAL: the streamed music, the buffered sounds and the fuzz target share it. Trusts nothing in
// the file: the read and seek callbacks keep to the bytes given, counts from the file are capped, and
// only mono and stereo are accepted.
class WeOggReader
{
public:
    // The callbacks' view of the bytes: libvorbisfile reads the file through these.
    struct Memory
    {
        const uint8_t* data = nullptr;
        int32_t size = 0;
        int32_t position = 0;
    };
    static size_t MemoryRead(void* destination, size_t size, size_t count, void* memory);
    // origin: SEEK_SET, SEEK_CUR or SEEK_END (size + offset); 0 on success, -1 for a target outside
    // 0..size or an unknown origin (the position is then unchanged).
    static int MemorySeek(void* memory, int64_t offset, int origin);
    static int MemoryClose(void* memory);
    static long MemoryTell(void* memory);

    // PCM of more than this many bytes is refused by DecodeAll: buffered sounds are short.
    static constexpr int64_t MaxDecodedBytes = 64ll * 1024 * 1024;

    WeOggReader();
    ~WeOggReader();
    WeOggReader(const WeOggReader&) = delete;
    WeOggReader& operator=(const WeOggReader&) = delete;

    // Opens the Vorbis stream in the bytes, which the caller keeps alive until Close. False when the
    // bytes are not Vorbis or have neither one nor two channels.
    bool Open(const uint8_t* data, int32_t size);
    void Close();
    bool IsOpen() const { return m_File != nullptr; }
    int32_t GetChannels() const { return m_Channels; }
    int32_t GetRate() const { return m_Rate; }
    // Samples per channel as the file announces them; negative when unknown or invalid.
    int64_t GetTotalSamples();
    // Up to `capacity` bytes of PCM; 0 at the end, negative on a decoding error. A later link of a
    // chained file with another channel count or rate counts as the end. An error other than a gap in
    // the data is final: every later Read gives it again without decoding.
    int32_t Read(uint8_t* destination, int32_t capacity);
    // Back to sample 0; false when the seek fails, and always after a final error.
    bool Rewind();

    // Decodes a whole file. The announced length sizes the area, but reading stops at the real end
    // or the first error, and never writes past the announced size; `out` holds what was produced.
    // False when the file does not open, announces a negative length or more than MaxDecodedBytes.
    bool DecodeAll(std::vector<uint8_t>& area, int32_t& bytesOut);

private:
    Memory m_Memory;
    void* m_File = nullptr;  // OggVorbis_File, kept out of this header
    int32_t m_Channels = 0;
    int32_t m_Rate = 0;
    // The final error, 0 while there is none. libvorbis must not be asked again after one: when its
    // decoder set-up fails part way (a codebook that does not decode), it keeps the half-built books,
    // and the next call takes them as built and divides by a dimension of 0.
    int32_t m_Error = 0;
};
