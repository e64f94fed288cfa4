#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

// Three frame buffers in rotation between the decoder thread (writer) and the main thread (reader):
// the writer fills one, publishes it as the newest and moves on to a buffer that is neither the newest
// nor the one the reader holds, so the frame being shown is never the one being written.
class VideoFrameRing
{
public:
    // Sizes the buffers for frames of width x height X8R8G8B8 pixels and forgets every frame.
    void Reset(int width, int height);

    // Writer: copies one frame (rows of width * 4 bytes, top row first) and publishes it.
    void Write(const uint8_t* pixels);

    // Reader: the newest published frame, held for the reader (untouched by the writer) until the
    // next call; null before the first frame. serial counts published frames (1 for the first), so a
    // caller can skip uploading a frame it already has.
    const uint8_t* TakeNewest(uint32_t* serial);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

private:
    std::mutex m_Lock;
    std::vector<uint8_t> m_Buffers[3];
    int m_Width = 0;
    int m_Height = 0;
    int m_Shown = 0;
    int m_Write = 1;
    int m_Newest = 0;
    uint32_t m_Serial = 0;
};
