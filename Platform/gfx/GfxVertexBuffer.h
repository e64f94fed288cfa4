#pragma once
// Vertex and index buffers: a CPU copy that locks hand out, uploaded to the backend on unlock.
#include "Platform/gfx/GfxBuffer.h"
#include "Platform/gfx/GfxRefCounted.h"

// Lock and unlock shared by both buffer kinds.
HRESULT GfxLockBuffer(GfxBuffer& buffer, UINT offset, UINT size, void** data, DWORD flags);
HRESULT GfxUnlockBuffer(GfxBuffer& buffer);

class GfxVertexBuffer : public GfxRefCounted<IDirect3DVertexBuffer9>
{
public:
    GfxVertexBuffer() = default;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override
    {
        return GfxLockBuffer(m_Buffer, offset, size, data, flags);
    }
    HRESULT Unlock() override { return GfxUnlockBuffer(m_Buffer); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    GfxBuffer& Buffer() { return m_Buffer; }

private:
    ~GfxVertexBuffer() override;
    GfxBuffer m_Buffer;
};
