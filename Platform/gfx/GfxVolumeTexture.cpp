#include "Platform/gfx/GfxVolumeTexture.h"

#include "Platform/gfx/GfxDevice.h"

ULONG GfxVolume::AddRef()
{
    return m_Owner->AddRef();
}
ULONG GfxVolume::Release()
{
    return m_Owner->Release();
}
HRESULT GfxVolume::GetDesc(D3DVOLUME_DESC* desc)
{
    return m_Owner->GetLevelDesc(m_Level, desc);
}
HRESULT GfxVolume::LockBox(D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags)
{
    return m_Owner->LockBox(m_Level, locked, box, flags);
}
HRESULT GfxVolume::UnlockBox()
{
    return m_Owner->UnlockBox(m_Level);
}

GfxVolumeTexture::GfxVolumeTexture(std::unique_ptr<GfxImage> image) : m_Store(std::move(image), this)
{
    for (UINT level = 0; level < Image().levels; ++level)
        m_Volumes.push_back(new GfxVolume(this, level));
}

GfxVolumeTexture::~GfxVolumeTexture()
{
    for (GfxVolume* volume : m_Volumes)
        delete volume;
}

HRESULT GfxVolumeTexture::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !Image().device)
        return D3DERR_INVALIDCALL;
    *device = Image().device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GfxVolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc)
{
    if (!desc || level >= Image().levels)
        return D3DERR_INVALIDCALL;
    const GfxSubImage& sub = Image().subs[level];
    desc->Format = Image().format;
    desc->Type = D3DRTYPE_VOLUME;
    desc->Usage = Image().usage;
    desc->Pool = Image().pool;
    desc->Width = sub.width;
    desc->Height = sub.height;
    desc->Depth = sub.depth;
    return D3D_OK;
}

HRESULT GfxVolumeTexture::GetVolumeLevel(UINT level, IDirect3DVolume9** volume)
{
    if (!volume || level >= Image().levels)
        return D3DERR_INVALIDCALL;
    *volume = m_Volumes[level];
    AddRef();
    return D3D_OK;
}

HRESULT GfxVolumeTexture::LockBox(UINT level, D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags)
{
    (void)flags;
    if (!locked || level >= Image().levels)
        return D3DERR_INVALIDCALL;
    GfxSubImage& sub = Image().subs[level];
    if (sub.locked)
        return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (box)
    {
        if (box->Right > sub.width || box->Bottom > sub.height || box->Back > sub.depth || box->Left >= box->Right ||
            box->Top >= box->Bottom || box->Front >= box->Back)
            return D3DERR_INVALIDCALL;
        if (Image().info->block && ((box->Left | box->Top) & 3))
            return D3DERR_INVALIDCALL;
        UINT row = Image().info->block ? box->Top / 4 : box->Top;
        UINT col = Image().info->block ? box->Left / 4 : box->Left;
        offset = size_t(box->Front) * sub.slicePitch + size_t(row) * sub.rowPitch + size_t(col) * Image().info->bytes;
    }
    locked->RowPitch = INT(sub.rowPitch);
    locked->SlicePitch = INT(sub.slicePitch);
    locked->pBits = sub.bytes.data() + offset;
    sub.locked = true;
    return D3D_OK;
}

HRESULT GfxVolumeTexture::UnlockBox(UINT level)
{
    return GfxUnlockSub(Image(), 0, level);
}
