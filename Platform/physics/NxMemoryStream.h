#pragma once
#include <cstddef>
#include <vector>

#include "Platform/physics/NxStream.h"

// A growable stream in memory: cooking stores into it, the SDK reads cooked data back from it. Reads
// start at the beginning and past the end yield zeros, so a truncated buffer cannot run a reader off
// its bytes.
class NxMemoryStream : public NxStream
{
public:
    NxU8 readByte() const override;
    NxU16 readWord() const override;
    NxU32 readDword() const override;
    NxF32 readFloat() const override;
    NxF64 readDouble() const override;
    void readBuffer(void* buffer, NxU32 size) const override;
    NxStream& storeByte(NxU8 b) override;
    NxStream& storeWord(NxU16 w) override;
    NxStream& storeDword(NxU32 d) override;
    NxStream& storeFloat(NxF32 f) override;
    NxStream& storeDouble(NxF64 f) override;
    NxStream& storeBuffer(const void* buffer, NxU32 size) override;

    // What was stored; a caller may also fill or cut it before reading.
    std::vector<NxU8>& bytes() { return m_Bytes; }
    const std::vector<NxU8>& bytes() const { return m_Bytes; }
    // How far reading has gone, past the end when a reader asked for more than there was.
    size_t cursor() const { return m_Cursor; }

private:
    std::vector<NxU8> m_Bytes;
    mutable size_t m_Cursor = 0;
};
