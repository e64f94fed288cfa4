#include "Platform/video/VideoFrameRing.h"

#include <cstring>

void VideoFrameRing::Reset(int width, int height)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Width = width > 0 ? width : 0;
    m_Height = height > 0 ? height : 0;
    for (std::vector<uint8_t>& buffer : m_Buffers)
        buffer.assign(size_t(m_Width) * size_t(m_Height) * 4, 0);
    m_Shown = 0;
    m_Write = 1;
    m_Newest = 0;
    m_Serial = 0;
}

void VideoFrameRing::Write(const uint8_t* pixels)
{
    // The writer's slot is never the reader's, so the copy can run outside the lock.
    int slot;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        slot = m_Write;
    }
    if (pixels && !m_Buffers[slot].empty())
        std::memcpy(m_Buffers[slot].data(), pixels, m_Buffers[slot].size());
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Newest = slot;
    ++m_Serial;
    do
        m_Write = (m_Write + 1) % 3;
    while (m_Write == m_Shown || m_Write == m_Newest);
}

const uint8_t* VideoFrameRing::TakeNewest(uint32_t* serial)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    if (serial)
        *serial = m_Serial;
    if (m_Serial == 0 || m_Buffers[m_Newest].empty())
        return nullptr;
    // Taking the lock here too closes the gap where the writer could pick the slot being handed out.
    m_Shown = m_Newest;
    return m_Buffers[m_Shown].data();
}
