#include "Platform/gfx/GfxVertexBuffer.h"

#include "Platform/gfx/GfxDevice.h"

HRESULT GfxLockBuffer(GfxBuffer& buffer, UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data || buffer.locked)
        return D3DERR_INVALIDCALL;
    UINT total = UINT(buffer.bytes.size());
    if (offset > total)
        return D3DERR_INVALIDCALL;
    // A size of 0 locks everything from the offset on.
    if (size == 0)
        size = total - offset;
    if (size > total - offset)
        return D3DERR_INVALIDCALL;
    buffer.locked = true;
    buffer.lockOffset = offset;
    buffer.lockSize = size;
    buffer.lockDiscard = (flags & D3DLOCK_DISCARD) != 0;
    *data = buffer.bytes.data() + offset;
    return D3D_OK;
}

HRESULT GfxUnlockBuffer(GfxBuffer& buffer)
{
    if (!buffer.locked)
        return D3DERR_INVALIDCALL;
    buffer.locked = false;
    if (buffer.device)
        buffer.device->BufferChanged(buffer);
    return D3D_OK;
}

GfxVertexBuffer::~GfxVertexBuffer()
{
    if (m_Buffer.device)
        m_Buffer.device->ForgetBuffer(&m_Buffer);
}

HRESULT GfxVertexBuffer::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !m_Buffer.device)
        return D3DERR_INVALIDCALL;
    *device = m_Buffer.device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GfxVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = D3DFMT_VERTEXDATA;
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = m_Buffer.usage;
    desc->Pool = m_Buffer.pool;
    desc->Size = UINT(m_Buffer.bytes.size());
    desc->FVF = m_Buffer.fvf;
    return D3D_OK;
}
