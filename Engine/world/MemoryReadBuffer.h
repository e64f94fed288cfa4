#pragma once
#include "Platform/physics/NxStream.h"

// Read-only stream over bytes it does not own. It knows their length: reads past the end yield
// zeros, so a short or damaged block cannot make the reader run off it. Stores do nothing.
class MemoryReadBuffer : public NxStream
{
public:
    MemoryReadBuffer(const NxU8* data, NxU32 length) : m_Buffer(data), m_End(data ? data + length : data) {}

    NxU8 readByte() const override;
    NxU16 readWord() const override;
    NxU32 readDword() const override;
    NxF32 readFloat() const override;
    NxF64 readDouble() const override;
    void readBuffer(void* buffer, NxU32 size) const override;
    NxStream& storeByte(NxU8) override { return *this; }
    NxStream& storeWord(NxU16) override { return *this; }
    NxStream& storeDword(NxU32) override { return *this; }
    NxStream& storeFloat(NxF32) override { return *this; }
    NxStream& storeDouble(NxF64) override { return *this; }
    NxStream& storeBuffer(const void*, NxU32) override { return *this; }

    mutable const NxU8* m_Buffer;  // the read cursor
    const NxU8* m_End;
};
