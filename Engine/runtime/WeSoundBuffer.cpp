#include "Engine/runtime/WeSoundBuffer.h"

#include <AL/al.h>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/runtime/WeOggDecoder.h"

namespace
{
// Built on first use and never torn down: sounds live in process-wide objects.
WeHashTable<WeSoundBuffer*>& SoundBufferTable()
{
    static WeHashTable<WeSoundBuffer*>* table = new WeHashTable<WeSoundBuffer*>();
    return *table;
}
}  // namespace

WeSoundBuffer::WeSoundBuffer(const WeString& name) : m_Name(name)
{
    if (name.IsEmpty())
        return;
    m_Buffer = DecodeOggToBuffer(name);
    if (m_Buffer == 0)
        WeDebugPrint("WeSoundBuffer: Cannot create buffer from %s !\n", name.c_str());
}

WeSoundBuffer::~WeSoundBuffer()
{
    if (m_Buffer != 0)
        alDeleteBuffers(1, &m_Buffer);
}

WeSoundBuffer* GetSoundBuffer(const WeString& name)
{
    const WeString key = name.ToLower();
    WeSoundBuffer* buffer = nullptr;
    if (SoundBufferTable().Find(key, &buffer))
        return buffer;
    buffer = new WeSoundBuffer(name);
    SoundBufferTable().Insert(key, buffer);
    return buffer;
}

void ClearSoundBuffers()
{
    WeHashTable<WeSoundBuffer*>& table = SoundBufferTable();
    for (WeHashEntry<WeSoundBuffer*>* entry = table.First(); entry != nullptr; entry = table.Next())
        delete entry->value;
    table.FreeNodes();
}

int32_t GetSoundBufferCount()
{
    return SoundBufferTable().Count();
}
