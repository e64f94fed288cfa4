#include "Engine/world/MemoryReadBuffer.h"

#include <cstring>

void MemoryReadBuffer::readBuffer(void* buffer, NxU32 size) const
{
    const size_t left = m_Buffer < m_End ? static_cast<size_t>(m_End - m_Buffer) : 0;
    const size_t n = size < left ? size : left;
    if (n)
        std::memcpy(buffer, m_Buffer, n);
    if (n < size)
        std::memset(static_cast<NxU8*>(buffer) + n, 0, size - n);
    m_Buffer += n;
}

NxU8 MemoryReadBuffer::readByte() const
{
    NxU8 v;
    readBuffer(&v, sizeof v);
    return v;
}

NxU16 MemoryReadBuffer::readWord() const
{
    NxU16 v;
    readBuffer(&v, sizeof v);
    return v;
}

NxU32 MemoryReadBuffer::readDword() const
{
    NxU32 v;
    readBuffer(&v, sizeof v);
    return v;
}

NxF32 MemoryReadBuffer::readFloat() const
{
    NxF32 v;
    readBuffer(&v, sizeof v);
    return v;
}

NxF64 MemoryReadBuffer::readDouble() const
{
    NxF64 v;
    readBuffer(&v, sizeof v);
    return v;
}
