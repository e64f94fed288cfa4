#pragma once
#include "Platform/gfx/GfxVertexBuffer.h"

class GfxIndexBuffer : public GfxRefCounted<IDirect3DIndexBuffer9>
{
public:
    GfxIndexBuffer() { m_Buffer.index = true; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override
    {
        return GfxLockBuffer(m_Buffer, offset, size, data, flags);
    }
    HRESULT Unlock() override { return GfxUnlockBuffer(m_Buffer); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    GfxBuffer& Buffer() { return m_Buffer; }

private:
    ~GfxIndexBuffer() override;
    GfxBuffer m_Buffer;
};
