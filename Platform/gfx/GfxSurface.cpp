#include "Platform/gfx/GfxSurface.h"

#include "Platform/gfx/GfxDevice.h"

GfxSurface::GfxSurface(std::unique_ptr<GfxImage> image) : m_Owned(std::move(image)), m_Image(m_Owned.get()) {}

GfxSurface::GfxSurface(GfxImage* image, UINT face, UINT level, IUnknown* container)
    : m_Image(image), m_Face(face), m_Level(level), m_Container(container)
{
}

GfxSurface::~GfxSurface()
{
    if (m_Owned && m_Owned->device)
        m_Owned->device->ForgetImage(m_Owned.get());
}

ULONG GfxSurface::AddRef()
{
    return m_Container ? m_Container->AddRef() : GfxRefCounted::AddRef();
}

ULONG GfxSurface::Release()
{
    return m_Container ? m_Container->Release() : GfxRefCounted::Release();
}

HRESULT GfxSurface::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = m_Image->device;
    if (!*device)
        return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

UINT GfxSurface::Width() const
{
    return m_Image->subs.empty() ? m_Image->width : m_Image->subs[m_Face * m_Image->levels + m_Level].width;
}

UINT GfxSurface::Height() const
{
    return m_Image->subs.empty() ? m_Image->height : m_Image->subs[m_Face * m_Image->levels + m_Level].height;
}

void GfxFillSurfaceDesc(const GfxImage& image, UINT level, D3DSURFACE_DESC* desc)
{
    const GfxSubImage& sub = image.subs[level];
    desc->Format = image.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = image.usage;
    desc->Pool = image.pool;
    desc->MultiSampleType = image.multiSample;
    desc->MultiSampleQuality = image.multiSampleQuality;
    desc->Width = sub.width;
    desc->Height = sub.height;
}

HRESULT GfxSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    GfxFillSurfaceDesc(*m_Image, m_Face * m_Image->levels + m_Level, desc);
    return D3D_OK;
}

HRESULT GfxSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return GfxLockSub(*m_Image, m_Face, m_Level, locked, rect, flags);
}

HRESULT GfxSurface::UnlockRect()
{
    return GfxUnlockSub(*m_Image, m_Face, m_Level);
}

HRESULT GfxLockSub(GfxImage& image, UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    (void)flags;
    if (!locked || face >= image.faces || level >= image.levels || !image.HasCpuCopy())
        return D3DERR_INVALIDCALL;
    GfxSubImage& sub = image.Sub(face, level);
    if (sub.locked)
        return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (rect)
    {
        if (rect->left < 0 || rect->top < 0 || rect->right > LONG(sub.width) || rect->bottom > LONG(sub.height) ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        if (image.info->block)
        {
            // Block formats lock whole 4x4 blocks.
            if ((rect->left | rect->top) & 3)
                return D3DERR_INVALIDCALL;
            offset = size_t(rect->top / 4) * sub.rowPitch + size_t(rect->left / 4) * image.info->bytes;
        }
        else
        {
            offset = size_t(rect->top) * sub.rowPitch + size_t(rect->left) * image.info->bytes;
        }
    }
    locked->Pitch = INT(sub.rowPitch);
    locked->pBits = sub.bytes.data() + offset;
    sub.locked = true;
    return D3D_OK;
}

HRESULT GfxUnlockSub(GfxImage& image, UINT face, UINT level)
{
    if (face >= image.faces || level >= image.levels)
        return D3DERR_INVALIDCALL;
    UINT index = face * image.levels + level;
    if (!image.subs[index].locked)
        return D3DERR_INVALIDCALL;
    image.subs[index].locked = false;
    image.subs[index].dirty = true;
    if (image.device)
        image.device->ImageChanged(image, index);
    return D3D_OK;
}
