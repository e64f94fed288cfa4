#include "Platform/physics/NxMemoryStream.h"

#include <algorithm>
#include <cstring>

NxU8 NxMemoryStream::readByte() const
{
    NxU8 v = 0;
    readBuffer(&v, 1);
    return v;
}

NxU16 NxMemoryStream::readWord() const
{
    NxU16 v = 0;
    readBuffer(&v, 2);
    return v;
}

NxU32 NxMemoryStream::readDword() const
{
    NxU32 v = 0;
    readBuffer(&v, 4);
    return v;
}

NxF32 NxMemoryStream::readFloat() const
{
    NxF32 v = 0;
    readBuffer(&v, 4);
    return v;
}

NxF64 NxMemoryStream::readDouble() const
{
    NxF64 v = 0;
    readBuffer(&v, 8);
    return v;
}

void NxMemoryStream::readBuffer(void* buffer, NxU32 size) const
{
    std::memset(buffer, 0, size);
    const size_t n = m_Cursor < m_Bytes.size() ? std::min<size_t>(size, m_Bytes.size() - m_Cursor) : 0;
    if (n)
        std::memcpy(buffer, m_Bytes.data() + m_Cursor, n);
    m_Cursor += size;
}

NxStream& NxMemoryStream::storeByte(NxU8 b)
{
    return storeBuffer(&b, 1);
}

NxStream& NxMemoryStream::storeWord(NxU16 w)
{
    return storeBuffer(&w, 2);
}

NxStream& NxMemoryStream::storeDword(NxU32 d)
{
    return storeBuffer(&d, 4);
}

NxStream& NxMemoryStream::storeFloat(NxF32 f)
{
    return storeBuffer(&f, 4);
}

NxStream& NxMemoryStream::storeDouble(NxF64 f)
{
    return storeBuffer(&f, 8);
}

NxStream& NxMemoryStream::storeBuffer(const void* buffer, NxU32 size)
{
    m_Bytes.insert(m_Bytes.end(), static_cast<const NxU8*>(buffer), static_cast<const NxU8*>(buffer) + size);
    return *this;
}
