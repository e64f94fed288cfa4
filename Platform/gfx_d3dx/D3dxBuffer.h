#pragma once
// ID3DXBuffer: a block of bytes with a reference count.
#include <string>
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class D3dxBuffer : public GfxRefCounted<ID3DXBuffer>
{
public:
    explicit D3dxBuffer(size_t bytes) : m_Bytes(bytes) {}
    D3dxBuffer(const void* data, size_t bytes)
        : m_Bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + bytes)
    {
    }
    void* GetBufferPointer() override { return m_Bytes.data(); }
    DWORD GetBufferSize() override { return DWORD(m_Bytes.size()); }
    // A buffer holding a message as text with its terminating zero (compile errors).
    static ID3DXBuffer* Text(const std::string& text) { return new D3dxBuffer(text.c_str(), text.size() + 1); }

private:
    std::vector<uint8_t> m_Bytes;
};
