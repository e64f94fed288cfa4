#pragma once
#include "Platform/physics/NxTypes.h"

// Byte stream the SDK cooks into and reads cooked data from. Values move as they lie in memory
// (little-endian). The slot order is fixed.
class NxStream
{
public:
    virtual ~NxStream() = default;
    virtual NxU8 readByte() const = 0;
    virtual NxU16 readWord() const = 0;
    virtual NxU32 readDword() const = 0;
    virtual NxF32 readFloat() const = 0;
    virtual NxF64 readDouble() const = 0;
    virtual void readBuffer(void* buffer, NxU32 size) const = 0;
    virtual NxStream& storeByte(NxU8 b) = 0;
    virtual NxStream& storeWord(NxU16 w) = 0;
    virtual NxStream& storeDword(NxU32 d) = 0;
    virtual NxStream& storeFloat(NxF32 f) = 0;
    virtual NxStream& storeDouble(NxF64 f) = 0;
    virtual NxStream& storeBuffer(const void* buffer, NxU32 size) = 0;
};
