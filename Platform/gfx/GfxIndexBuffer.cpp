#include "Platform/gfx/GfxIndexBuffer.h"

#include "Platform/gfx/GfxDevice.h"

GfxIndexBuffer::~GfxIndexBuffer()
{
    if (m_Buffer.device)
        m_Buffer.device->ForgetBuffer(&m_Buffer);
}

HRESULT GfxIndexBuffer::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !m_Buffer.device)
        return D3DERR_INVALIDCALL;
    *device = m_Buffer.device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GfxIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = m_Buffer.format;
    desc->Type = D3DRTYPE_INDEXBUFFER;
    desc->Usage = m_Buffer.usage;
    desc->Pool = m_Buffer.pool;
    desc->Size = UINT(m_Buffer.bytes.size());
    return D3D_OK;
}
