#pragma once
#include "Platform/physics/NxStream.h"

// Growable stream the cooker writes into; its block comes from the SDK's allocator. Reads return 0.
class MemoryWriteBuffer : public NxStream
{
public:
    // Slack added to every growth, so cooking a mesh reallocates rarely.
    static constexpr NxU32 GrowthSlack = 4096;

    MemoryWriteBuffer() = default;
    ~MemoryWriteBuffer() override;
    MemoryWriteBuffer(const MemoryWriteBuffer&) = delete;
    MemoryWriteBuffer& operator=(const MemoryWriteBuffer&) = delete;

    NxU8 readByte() const override { return 0; }
    NxU16 readWord() const override { return 0; }
    NxU32 readDword() const override { return 0; }
    NxF32 readFloat() const override { return 0; }
    NxF64 readDouble() const override { return 0; }
    void readBuffer(void*, NxU32) const override {}
    NxStream& storeByte(NxU8 b) override { return storeBuffer(&b, sizeof b); }
    NxStream& storeWord(NxU16 w) override { return storeBuffer(&w, sizeof w); }
    NxStream& storeDword(NxU32 d) override { return storeBuffer(&d, sizeof d); }
    NxStream& storeFloat(NxF32 f) override { return storeBuffer(&f, sizeof f); }
    NxStream& storeDouble(NxF64 f) override { return storeBuffer(&f, sizeof f); }
    NxStream& storeBuffer(const void* buffer, NxU32 size) override;

    NxU32 m_CurrentSize = 0;
    NxU32 m_MaxSize = 0;
    NxU8* m_Data = nullptr;
};
