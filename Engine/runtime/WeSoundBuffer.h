#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// One sound decoded whole into an OpenAL buffer, shared by every source of its name.
class WeSoundBuffer
{
public:
    // An empty name, or a file that is missing or bad, gives buffer 0.
    explicit WeSoundBuffer(const WeString& name);
    ~WeSoundBuffer();
    WeSoundBuffer(const WeSoundBuffer&) = delete;
    WeSoundBuffer& operator=(const WeSoundBuffer&) = delete;

    uint32_t GetBuffer() const { return m_Buffer; }
    const WeString& GetName() const { return m_Name; }

private:
    uint32_t m_Buffer = 0;
    WeString m_Name;
};

// The buffer of a sound name, decoded at the first request; names are compared without case, and a
// name that fails to decode is kept too, so it is decoded once.
WeSoundBuffer* GetSoundBuffer(const WeString& name);
// Deletes every buffer of the table (audio shutdown).
void ClearSoundBuffers();
// Buffers in the table.
int32_t GetSoundBufferCount();
