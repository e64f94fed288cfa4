#include "Platform/gfx/GfxDevice.h"

#include <algorithm>
#include <cstring>

#include "Platform/gfx/GfxCubeTexture.h"
#include "Platform/gfx/GfxDirect3D9.h"
#include "Platform/gfx/GfxIndexBuffer.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/gfx/GfxSurface.h"
#include "Platform/gfx/GfxTexture.h"
#include "Platform/gfx/GfxVertexDeclaration.h"
#include "Platform/gfx/GfxVolumeTexture.h"

static_assert(sizeof(D3DMATRIX) == 64, "a matrix is 16 floats");

namespace
{

uint64_t Id(const void* p)
{
    return uint64_t(uintptr_t(p));
}

template <class T>
void Rebind(T*& slot, T* value)
{
    if (slot == value)
        return;
    if (value)
        value->AddRef();
    T* old = slot;
    slot = value;
    if (old)
        old->Release();
}

}  // namespace

GfxDevice::GfxDevice(GfxDirect3D9* d3d, std::unique_ptr<GfxBackend> backend, bool record)
    : m_D3D(d3d), m_Backend(std::move(backend)), m_Record(record)
{
    m_D3D->AddRef();
}

bool GfxDevice::Init(const D3DPRESENT_PARAMETERS& params)
{
    m_Params = params;
    m_State.SetDefaults(params.EnableAutoDepthStencil != 0);
    return CreateOwnSurfaces(params);
}

GfxDevice::~GfxDevice()
{
    ReleaseBindings();
    if (m_BackBuffer)
        m_BackBuffer->Release();
    if (m_AutoDepth)
        m_AutoDepth->Release();
    // Resources that outlive the device keep their CPU copies and lose their backend objects.
    for (GfxImage* image : std::set<GfxImage*>(m_Images))
    {
        m_Backend->DestroyImage(*image);
        image->device = nullptr;
    }
    for (GfxBuffer* buffer : std::set<GfxBuffer*>(m_Buffers))
    {
        m_Backend->DestroyBuffer(*buffer);
        buffer->device = nullptr;
    }
    m_Backend.reset();
    m_D3D->Release();
}

bool GfxDevice::Fail(const char* call)
{
    return m_Record && g_GfxRecorder.ShouldFail(call);
}

void GfxDevice::Track(GfxImage& image)
{
    image.device = this;
    m_Images.insert(&image);
}

void GfxDevice::Track(GfxBuffer& buffer)
{
    buffer.device = this;
    m_Buffers.insert(&buffer);
}

void GfxDevice::ForgetImage(GfxImage* image)
{
    if (m_Images.erase(image))
        m_Backend->DestroyImage(*image);
    image->device = nullptr;
}

void GfxDevice::ForgetBuffer(GfxBuffer* buffer)
{
    if (m_Buffers.erase(buffer))
        m_Backend->DestroyBuffer(*buffer);
    buffer->device = nullptr;
}

void GfxDevice::ImageChanged(GfxImage& image, UINT sub)
{
    m_Backend->UploadImage(image, sub);
    image.subs[sub].dirty = false;
}

void GfxDevice::FlushImage(GfxImage& image)
{
    for (UINT i = 0; i < image.subs.size(); ++i)
        if (image.subs[i].dirty)
            ImageChanged(image, i);
}

void GfxDevice::BufferChanged(GfxBuffer& buffer)
{
    m_Backend->UploadBuffer(buffer, buffer.lockOffset, buffer.lockSize, buffer.lockDiscard);
}

size_t GfxDevice::DefaultPoolCount() const
{
    size_t n = 0;
    for (const GfxImage* image : m_Images)
    {
        if (image->kind == GfxImageKind::BackBuffer)
            continue;
        if (m_AutoDepth && image == m_AutoDepth->Image())
            continue;
        n += image->pool == D3DPOOL_DEFAULT;
    }
    for (const GfxBuffer* buffer : m_Buffers)
        n += buffer->pool == D3DPOOL_DEFAULT;
    return n;
}

std::unique_ptr<GfxImage> GfxDevice::NewImage(GfxImageKind kind, D3DFORMAT format, UINT width, UINT height, UINT depth,
                                              UINT levels, DWORD usage, D3DPOOL pool)
{
    const GfxFormatInfo* info = GfxFormat::Find(format);
    if (!info || width == 0 || height == 0 || depth == 0)
        return nullptr;
    UINT maxSize = m_D3D->Adapter().maxTextureSize;
    if (width > maxSize || height > maxSize || depth > maxSize)
        return nullptr;
    if (info->block && !m_D3D->Adapter().s3tc)
        return nullptr;
    bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (renderTarget && (!info->renderable || info->depth || pool != D3DPOOL_DEFAULT))
        return nullptr;
    if ((usage & D3DUSAGE_DEPTHSTENCIL) && kind != GfxImageKind::DepthSurface)
        return nullptr;
    if (info->depth && kind != GfxImageKind::DepthSurface)
        return nullptr;
    if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
        return nullptr;
    UINT full = GfxFormat::FullChain(width, height, depth);
    if (levels == 0 || levels > full)
        levels = levels == 0 ? full : 0;
    if (levels == 0)
        return nullptr;
    auto image = std::make_unique<GfxImage>();
    image->kind = kind;
    image->info = info;
    image->format = format;
    image->usage = usage;
    image->pool = pool;
    image->width = width;
    image->height = height;
    image->depth = depth;
    image->levels = levels;
    image->faces = kind == GfxImageKind::Cube ? 6 : 1;
    image->Layout();
    return image;
}

bool GfxDevice::CreateOwnSurfaces(const D3DPRESENT_PARAMETERS& params)
{
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(MakeSurface(GfxImageKind::BackBuffer, params.BackBufferWidth, params.BackBufferHeight,
                           params.BackBufferFormat, params.MultiSampleType, params.MultiSampleQuality, D3DPOOL_DEFAULT,
                           &surface)))
        return false;
    m_BackBuffer = static_cast<GfxSurface*>(surface);
    if (params.EnableAutoDepthStencil)
    {
        surface = nullptr;
        if (FAILED(MakeSurface(GfxImageKind::DepthSurface, params.BackBufferWidth, params.BackBufferHeight,
                               params.AutoDepthStencilFormat, params.MultiSampleType, params.MultiSampleQuality,
                               D3DPOOL_DEFAULT, &surface)))
            return false;
        m_AutoDepth = static_cast<GfxSurface*>(surface);
    }
    Rebind(m_State.renderTargets[0], m_BackBuffer);
    Rebind(m_State.depthStencil, m_AutoDepth);
    ResetTargetArea(m_BackBuffer);
    return true;
}

void GfxDevice::ReleaseBindings()
{
    for (auto& t : m_State.textures)
        Rebind(t, static_cast<IDirect3DBaseTexture9*>(nullptr));
    for (auto& r : m_State.renderTargets)
        Rebind(r, static_cast<GfxSurface*>(nullptr));
    Rebind(m_State.depthStencil, static_cast<GfxSurface*>(nullptr));
    Rebind(m_State.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    Rebind(m_State.stream0, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    Rebind(m_State.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    Rebind(m_State.vertexShader, static_cast<IDirect3DVertexShader9*>(nullptr));
    Rebind(m_State.pixelShader, static_cast<IDirect3DPixelShader9*>(nullptr));
}

void GfxDevice::ResetTargetArea(GfxSurface* target)
{
    m_State.viewport = GfxViewport();
    m_State.viewport.Width = target->Width();
    m_State.viewport.Height = target->Height();
    m_State.scissor = RECT{0, 0, LONG(target->Width()), LONG(target->Height())};
}

HRESULT GfxDevice::TestCooperativeLevel()
{
    // A lost device only comes back through Reset; until then it can be reset at once.
    HRESULT result = m_NeedsReset ? D3DERR_DEVICENOTRESET : D3D_OK;
    if (m_Record)
    {
        if (!g_GfxRecorder.cooperativeLevels.empty())
        {
            result = g_GfxRecorder.cooperativeLevels.front();
            g_GfxRecorder.cooperativeLevels.pop_front();
            if (result == D3DERR_DEVICELOST || result == D3DERR_DEVICENOTRESET)
                m_NeedsReset = true;
        }
        g_GfxRecorder.Record("TestCooperativeLevel", {uint64_t(uint32_t(result))});
    }
    return result;  // a GL context is never lost by itself
}

HRESULT GfxDevice::GetDirect3D(IDirect3D9** d3d)
{
    if (!d3d)
        return D3DERR_INVALIDCALL;
    m_D3D->AddRef();
    *d3d = m_D3D;
    return D3D_OK;
}

HRESULT GfxDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    return m_D3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, caps);
}

HRESULT GfxDevice::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode)
{
    if (swapChain != 0 || !mode)
        return D3DERR_INVALIDCALL;
    if (m_Params.Windowed)
        return m_D3D->GetAdapterDisplayMode(0, mode);
    *mode = D3DDISPLAYMODE{m_Params.BackBufferWidth, m_Params.BackBufferHeight, m_Params.FullScreen_RefreshRateInHz,
                           m_Params.BackBufferFormat};
    return D3D_OK;
}

HRESULT GfxDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    // As in Direct3D, a failed Reset leaves the device lost, to be reset again.
    HRESULT result = ResetDevice(params);
    m_NeedsReset = FAILED(result);
    return result;
}

HRESULT GfxDevice::ResetDevice(D3DPRESENT_PARAMETERS* params)
{
    if (m_Record)
    {
        g_GfxRecorder.Record("Reset", {params ? params->BackBufferWidth : 0, params ? params->BackBufferHeight : 0,
                                       params ? uint64_t(params->MultiSampleType) : 0});
        if (!g_GfxRecorder.resetResults.empty())
        {
            HRESULT result = g_GfxRecorder.resetResults.front();
            g_GfxRecorder.resetResults.pop_front();
            if (FAILED(result))
                return result;
        }
    }
    if (!params || !m_D3D->AcceptsParams(*params))
        return D3DERR_INVALIDCALL;
    // As Direct3D demands, every default-pool resource must be gone first; the recorder enforces it so that
    // the engine's release and restore steps are checked. GL keeps its objects, so it only needs the new size.
    if (m_Record && DefaultPoolCount() > 0)
        return D3DERR_INVALIDCALL;
    if (!m_Backend->Resize(*params))
        return D3DERR_DEVICELOST;
    ReleaseBindings();
    if (m_BackBuffer)
        m_BackBuffer->Release();
    if (m_AutoDepth)
        m_AutoDepth->Release();
    m_BackBuffer = nullptr;
    m_AutoDepth = nullptr;
    m_Params = *params;
    m_State.SetDefaults(params->EnableAutoDepthStencil != 0);
    m_InScene = false;
    if (!CreateOwnSurfaces(*params))
        return D3DERR_DEVICELOST;
    return D3D_OK;
}

HRESULT GfxDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirty)
{
    (void)sourceRect, (void)destRect, (void)dirty;
    if (m_Record)
        g_GfxRecorder.Record("Present", {Id(destWindow)});
    if (m_InScene)
        return D3DERR_INVALIDCALL;
    if (m_NeedsReset || !m_BackBuffer)
        return D3DERR_DEVICELOST;
    m_Backend->Present(*m_BackBuffer);
    return D3D_OK;
}

HRESULT GfxDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface)
{
    if (!surface || swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO || !m_BackBuffer)
        return D3DERR_INVALIDCALL;
    m_BackBuffer->AddRef();
    *surface = m_BackBuffer;
    return D3D_OK;
}

HRESULT GfxDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DTexture9** texture, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateTexture",
                             {width, height, levels, usage, uint64_t(uint32_t(format)), uint64_t(pool)});
    if (!texture || shared)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (Fail("CreateTexture"))
        return D3DERR_OUTOFVIDEOMEMORY;
    auto image = NewImage(GfxImageKind::Texture2D, format, width, height, 1, levels, usage, pool);
    if (!image)
        return D3DERR_INVALIDCALL;
    if (!m_Backend->CreateImage(*image))
        return D3DERR_OUTOFVIDEOMEMORY;
    Track(*image);
    *texture = new GfxTexture(std::move(image));
    return D3D_OK;
}

HRESULT GfxDevice::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DVolumeTexture9** texture, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateVolumeTexture",
                             {width, height, depth, levels, usage, uint64_t(uint32_t(format)), uint64_t(pool)});
    if (!texture || shared)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (Fail("CreateVolumeTexture"))
        return D3DERR_OUTOFVIDEOMEMORY;
    if (usage & D3DUSAGE_RENDERTARGET)
        return D3DERR_INVALIDCALL;
    auto image = NewImage(GfxImageKind::Volume, format, width, height, depth, levels, usage, pool);
    if (!image)
        return D3DERR_INVALIDCALL;
    if (!m_Backend->CreateImage(*image))
        return D3DERR_OUTOFVIDEOMEMORY;
    Track(*image);
    *texture = new GfxVolumeTexture(std::move(image));
    return D3D_OK;
}

HRESULT GfxDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DCubeTexture9** texture, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateCubeTexture", {edge, levels, usage, uint64_t(uint32_t(format)), uint64_t(pool)});
    if (!texture || shared)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (Fail("CreateCubeTexture"))
        return D3DERR_OUTOFVIDEOMEMORY;
    auto image = NewImage(GfxImageKind::Cube, format, edge, edge, 1, levels, usage, pool);
    if (!image)
        return D3DERR_INVALIDCALL;
    if (!m_Backend->CreateImage(*image))
        return D3DERR_OUTOFVIDEOMEMORY;
    Track(*image);
    *texture = new GfxCubeTexture(std::move(image));
    return D3D_OK;
}

HRESULT GfxDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                      IDirect3DVertexBuffer9** buffer, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateVertexBuffer", {length, usage, fvf, uint64_t(pool)});
    if (!buffer || shared)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (Fail("CreateVertexBuffer"))
        return D3DERR_OUTOFVIDEOMEMORY;
    if (length == 0 || ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED))
        return D3DERR_INVALIDCALL;
    if (fvf && GfxFvfVertexSize(fvf) == 0)
        return D3DERR_INVALIDCALL;
    GfxVertexBuffer* created = new GfxVertexBuffer();
    GfxBuffer& storage = created->Buffer();
    storage.usage = usage;
    storage.pool = pool;
    storage.fvf = fvf;
    storage.bytes.assign(length, 0);
    if (!m_Backend->CreateBuffer(storage))
    {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    Track(storage);
    *buffer = created;
    return D3D_OK;
}

HRESULT GfxDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DIndexBuffer9** buffer, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateIndexBuffer", {length, usage, uint64_t(format), uint64_t(pool)});
    if (!buffer || shared)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (Fail("CreateIndexBuffer"))
        return D3DERR_OUTOFVIDEOMEMORY;
    if (length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) ||
        ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED))
        return D3DERR_INVALIDCALL;
    GfxIndexBuffer* created = new GfxIndexBuffer();
    GfxBuffer& storage = created->Buffer();
    storage.usage = usage;
    storage.pool = pool;
    storage.format = format;
    storage.bytes.assign(length, 0);
    if (!m_Backend->CreateBuffer(storage))
    {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    Track(storage);
    *buffer = created;
    return D3D_OK;
}

HRESULT GfxDevice::MakeSurface(GfxImageKind kind, UINT width, UINT height, D3DFORMAT format,
                               D3DMULTISAMPLE_TYPE multiSample, DWORD quality, D3DPOOL pool,
                               IDirect3DSurface9** surface)
{
    *surface = nullptr;
    const GfxFormatInfo* info = GfxFormat::Find(format);
    if (!info)
        return D3DERR_INVALIDCALL;
    bool depth = kind == GfxImageKind::DepthSurface;
    if (depth != info->depth)
        return D3DERR_INVALIDCALL;
    if (kind != GfxImageKind::SystemSurface && !info->renderable)
        return D3DERR_INVALIDCALL;
    if (multiSample != D3DMULTISAMPLE_NONE)
    {
        DWORD levels = 0;
        if (FAILED(m_D3D->MultiSampleLevels(format, multiSample, &levels)) || quality >= levels)
            return D3DERR_INVALIDCALL;
    }
    DWORD usage = depth ? D3DUSAGE_DEPTHSTENCIL : (kind == GfxImageKind::SystemSurface ? 0 : D3DUSAGE_RENDERTARGET);
    auto image = NewImage(kind, format, width, height, 1, 1, kind == GfxImageKind::SystemSurface ? 0 : 0, pool);
    if (!image)
        return D3DERR_INVALIDCALL;
    image->usage = usage;
    image->multiSample = multiSample;
    image->multiSampleQuality = multiSample == D3DMULTISAMPLE_NONE ? 0 : quality;
    if (!m_Backend->CreateImage(*image))
        return D3DERR_OUTOFVIDEOMEMORY;
    Track(*image);
    *surface = new GfxSurface(std::move(image));
    return D3D_OK;
}

HRESULT GfxDevice::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD quality, BOOL lockable, IDirect3DSurface9** surface, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateRenderTarget", {width, height, uint64_t(uint32_t(format)), uint64_t(multiSample),
                                                    quality, uint64_t(lockable)});
    if (!surface || shared)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (Fail("CreateRenderTarget"))
        return D3DERR_OUTOFVIDEOMEMORY;
    return MakeSurface(GfxImageKind::ColorSurface, width, height, format, multiSample, quality, D3DPOOL_DEFAULT,
                       surface);
}

HRESULT GfxDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                             DWORD quality, BOOL discard, IDirect3DSurface9** surface, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateDepthStencilSurface", {width, height, uint64_t(uint32_t(format)),
                                                           uint64_t(multiSample), quality, uint64_t(discard)});
    if (!surface || shared)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (Fail("CreateDepthStencilSurface"))
        return D3DERR_OUTOFVIDEOMEMORY;
    return MakeSurface(GfxImageKind::DepthSurface, width, height, format, multiSample, quality, D3DPOOL_DEFAULT,
                       surface);
}

HRESULT GfxDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                               IDirect3DSurface9** surface, void* shared)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateOffscreenPlainSurface",
                             {width, height, uint64_t(uint32_t(format)), uint64_t(pool)});
    if (!surface || shared)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (Fail("CreateOffscreenPlainSurface"))
        return D3DERR_OUTOFVIDEOMEMORY;
    if (pool == D3DPOOL_MANAGED)
        return D3DERR_INVALIDCALL;
    const GfxFormatInfo* info = GfxFormat::Find(format);
    if (!info || info->depth)
        return D3DERR_INVALIDCALL;
    return MakeSurface(GfxImageKind::SystemSurface, width, height, format, D3DMULTISAMPLE_NONE, 0, pool, surface);
}

HRESULT GfxDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    if (m_Record)
        g_GfxRecorder.Record("GetRenderTargetData", {Id(renderTarget), Id(destSurface)});
    if (!renderTarget || !destSurface)
        return D3DERR_INVALIDCALL;
    GfxSurface* source = static_cast<GfxSurface*>(renderTarget);
    GfxSurface* dest = static_cast<GfxSurface*>(destSurface);
    GfxImage* out = dest->Image();
    if (!(source->Image()->usage & D3DUSAGE_RENDERTARGET) || out->kind != GfxImageKind::SystemSurface ||
        out->format != source->Image()->format || out->width != source->Width() || out->height != source->Height())
        return D3DERR_INVALIDCALL;
    return m_Backend->Read(*source, *out) ? D3D_OK : D3DERR_DRIVERINTERNALERROR;
}

HRESULT GfxDevice::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                               const RECT* destRect, D3DTEXTUREFILTERTYPE filter)
{
    if (m_Record)
        g_GfxRecorder.Record("StretchRect", {Id(source), Id(dest), uint64_t(filter)});
    if (!source || !dest || source == dest)
        return D3DERR_INVALIDCALL;
    GfxSurface* src = static_cast<GfxSurface*>(source);
    GfxSurface* dst = static_cast<GfxSurface*>(dest);
    if (!(dst->Image()->usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    if (src->Image()->info->depth != dst->Image()->info->depth)
        return D3DERR_INVALIDCALL;
    RECT s = sourceRect ? *sourceRect : RECT{0, 0, LONG(src->Width()), LONG(src->Height())};
    RECT d = destRect ? *destRect : RECT{0, 0, LONG(dst->Width()), LONG(dst->Height())};
    auto inside = [](const RECT& r, GfxSurface* surface)
    {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= LONG(surface->Width()) &&
               r.bottom <= LONG(surface->Height());
    };
    if (!inside(s, src) || !inside(d, dst))
        return D3DERR_INVALIDCALL;
    // A multisampled destination, or a multisampled source into a rectangle of another size, cannot be done.
    if (dst->Image()->multiSample != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    if (src->Image()->multiSample != D3DMULTISAMPLE_NONE &&
        (s.right - s.left != d.right - d.left || s.bottom - s.top != d.bottom - d.top))
        return D3DERR_INVALIDCALL;
    FlushImage(*src->Image());
    return m_Backend->Stretch(*src, s, *dst, d, filter) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GfxDevice::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color)
{
    if (m_Record)
        g_GfxRecorder.Record("ColorFill", {Id(surface), color});
    if (!surface)
        return D3DERR_INVALIDCALL;
    GfxSurface* target = static_cast<GfxSurface*>(surface);
    if (!(target->Image()->usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    RECT r = rect ? *rect : RECT{0, 0, LONG(target->Width()), LONG(target->Height())};
    if (r.left < 0 || r.top < 0 || r.right > LONG(target->Width()) || r.bottom > LONG(target->Height()) ||
        r.left >= r.right || r.top >= r.bottom)
        return D3DERR_INVALIDCALL;
    return m_Backend->Fill(*target, r, color) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GfxDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (m_Record)
        g_GfxRecorder.Record("SetRenderTarget", {index, Id(surface)});
    if (index >= 4 || (index == 0 && !surface))
        return D3DERR_INVALIDCALL;
    GfxSurface* target = static_cast<GfxSurface*>(surface);
    if (target && (!(target->Image()->usage & D3DUSAGE_RENDERTARGET) || target->Image()->info->depth))
        return D3DERR_INVALIDCALL;
    Rebind(m_State.renderTargets[index], target);
    // Binding target 0 resets the viewport and the scissor rectangle to the whole target.
    if (index == 0)
        ResetTargetArea(target);
    return D3D_OK;
}

HRESULT GfxDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface || index >= 4)
        return D3DERR_INVALIDCALL;
    *surface = m_State.renderTargets[index];
    if (!*surface)
        return D3DERR_NOTFOUND;
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT GfxDevice::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    if (m_Record)
        g_GfxRecorder.Record("SetDepthStencilSurface", {Id(surface)});
    GfxSurface* depth = static_cast<GfxSurface*>(surface);
    if (depth && !depth->Image()->info->depth)
        return D3DERR_INVALIDCALL;
    Rebind(m_State.depthStencil, depth);
    return D3D_OK;
}

HRESULT GfxDevice::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = m_State.depthStencil;
    if (!*surface)
        return D3DERR_NOTFOUND;
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT GfxDevice::BeginScene()
{
    if (m_Record)
        g_GfxRecorder.Record("BeginScene", {});
    if (m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = true;
    return D3D_OK;
}

HRESULT GfxDevice::EndScene()
{
    if (m_Record)
        g_GfxRecorder.Record("EndScene", {});
    if (!m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = false;
    return D3D_OK;
}

HRESULT GfxDevice::Clear(DWORD count, const void* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if (m_Record && g_GfxRecorder.logging)
    {
        auto record = std::make_shared<GfxDrawRecord>();
        record->state = m_State;
        uint32_t zBits;
        std::memcpy(&zBits, &z, 4);
        g_GfxRecorder.Record("Clear", {count, flags, color, zBits, stencil}, record);
    }
    if ((count > 0 && !rects) || (flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_State.depthStencil)
        return D3DERR_INVALIDCALL;
    if (flags == 0)
        return D3D_OK;
    m_Backend->Clear(m_State, count, static_cast<const RECT*>(rects), flags, color, z, stencil);
    return D3D_OK;
}

HRESULT GfxDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (m_Record)
        g_GfxRecorder.Record("SetTransform", {uint64_t(state)});
    if (!matrix)
        return D3DERR_INVALIDCALL;
    float* slot = nullptr;
    if (state == D3DTS_WORLD)
        slot = m_State.world;
    if (state == D3DTS_VIEW)
        slot = m_State.view;
    if (state == D3DTS_PROJECTION)
        slot = m_State.projection;
    if (slot)
        std::memcpy(slot, matrix, 64);
    return D3D_OK;
}

HRESULT GfxDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    const float* slot = nullptr;
    if (state == D3DTS_WORLD)
        slot = m_State.world;
    if (state == D3DTS_VIEW)
        slot = m_State.view;
    if (state == D3DTS_PROJECTION)
        slot = m_State.projection;
    if (!slot)
        return D3DERR_INVALIDCALL;
    std::memcpy(matrix, slot, 64);
    return D3D_OK;
}

HRESULT GfxDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (m_Record)
        g_GfxRecorder.Record("SetViewport", {viewport ? viewport->X : 0, viewport ? viewport->Y : 0,
                                             viewport ? viewport->Width : 0, viewport ? viewport->Height : 0});
    if (!viewport || viewport->Width == 0 || viewport->Height == 0)
        return D3DERR_INVALIDCALL;
    GfxSurface* target = m_State.renderTargets[0];
    if (!target)
        return D3DERR_INVALIDCALL;  // a failed Reset left no back buffer
    if (uint64_t(viewport->X) + viewport->Width > target->Width() ||
        uint64_t(viewport->Y) + viewport->Height > target->Height())
        return D3DERR_INVALIDCALL;
    m_State.viewport.X = viewport->X;
    m_State.viewport.Y = viewport->Y;
    m_State.viewport.Width = viewport->Width;
    m_State.viewport.Height = viewport->Height;
    m_State.viewport.MinZ = viewport->MinZ;
    m_State.viewport.MaxZ = viewport->MaxZ;
    return D3D_OK;
}

HRESULT GfxDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    viewport->X = m_State.viewport.X;
    viewport->Y = m_State.viewport.Y;
    viewport->Width = m_State.viewport.Width;
    viewport->Height = m_State.viewport.Height;
    viewport->MinZ = m_State.viewport.MinZ;
    viewport->MaxZ = m_State.viewport.MaxZ;
    return D3D_OK;
}

HRESULT GfxDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (m_Record)
        g_GfxRecorder.Record("SetRenderState", {uint64_t(state), value});
    if (state < 0 || state >= WE_D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    m_State.renderStates[state] = value;
    return D3D_OK;
}

HRESULT GfxDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || state < 0 || state >= WE_D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_State.renderStates[state];
    return D3D_OK;
}

HRESULT GfxDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (m_Record)
        g_GfxRecorder.Record("SetTexture", {stage, Id(texture)});
    if (stage >= WE_GFX_STAGES)
        return D3DERR_INVALIDCALL;
    Rebind(m_State.textures[stage], texture);
    return D3D_OK;
}

HRESULT GfxDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (!texture || stage >= WE_GFX_STAGES)
        return D3DERR_INVALIDCALL;
    *texture = m_State.textures[stage];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT GfxDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (m_Record)
        g_GfxRecorder.Record("SetTextureStageState", {stage, uint64_t(type), value});
    if (stage >= 8 || type < 0 || type >= WE_D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    m_State.stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT GfxDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (!value || stage >= 8 || type < 0 || type >= WE_D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_State.stageStates[stage][type];
    return D3D_OK;
}

HRESULT GfxDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (m_Record)
        g_GfxRecorder.Record("SetSamplerState", {sampler, uint64_t(type), value});
    if (sampler >= WE_GFX_STAGES || type < 0 || type >= WE_D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    m_State.samplerStates[sampler][type] = value;
    return D3D_OK;
}

HRESULT GfxDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (!value || sampler >= WE_GFX_STAGES || type < 0 || type >= WE_D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_State.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT GfxDevice::SetScissorRect(const RECT* rect)
{
    if (m_Record)
        g_GfxRecorder.Record("SetScissorRect",
                             {uint64_t(uint32_t(rect ? rect->left : 0)), uint64_t(uint32_t(rect ? rect->top : 0)),
                              uint64_t(uint32_t(rect ? rect->right : 0)), uint64_t(uint32_t(rect ? rect->bottom : 0))});
    if (!rect || rect->left > rect->right || rect->top > rect->bottom)
        return D3DERR_INVALIDCALL;
    m_State.scissor = *rect;
    return D3D_OK;
}

HRESULT GfxDevice::GetScissorRect(RECT* rect)
{
    if (!rect)
        return D3DERR_INVALIDCALL;
    *rect = m_State.scissor;
    return D3D_OK;
}

const GfxVertexLayout* GfxDevice::CurrentLayout()
{
    if (m_State.declaration)
        return &static_cast<GfxVertexDeclaration*>(m_State.declaration)->Layout();
    if (m_State.fvf == 0)
        return nullptr;
    if (m_FvfLayoutCode != m_State.fvf)
    {
        if (!m_FvfLayout.FromFvf(m_State.fvf))
            return nullptr;
        m_FvfLayoutCode = m_State.fvf;
    }
    return &m_FvfLayout;
}

void GfxDevice::FlushBoundTextures()
{
    for (IDirect3DBaseTexture9* texture : m_State.textures)
        if (GfxImage* image = GfxTextureImage(texture))
            FlushImage(*image);
}

HRESULT GfxDevice::SubmitDraw(const char* name, GfxDraw& draw, std::initializer_list<uint64_t> args)
{
    if (m_Record && g_GfxRecorder.logging)
    {
        auto record = std::make_shared<GfxDrawRecord>();
        record->state = m_State;
        record->type = draw.type;
        record->primitiveCount = draw.primitiveCount;
        record->vertexCount = draw.vertexCount;
        record->stride = draw.stride;
        record->indexed = draw.indexed;
        const uint8_t* vertices =
            draw.userVertices ? draw.userVertices : draw.vertexBuffer->bytes.data() + draw.vertexOffset;
        size_t first = size_t(draw.firstVertex) * draw.stride;
        record->vertices.assign(vertices + first, vertices + first + size_t(draw.vertexCount) * draw.stride);
        if (draw.indexed)
        {
            const uint8_t* indices = draw.userIndices ? draw.userIndices : draw.indexBuffer->bytes.data();
            indices += size_t(draw.firstIndex) * draw.indexSize;
            for (UINT i = 0; i < draw.indexCount; ++i)
            {
                uint32_t value = 0;
                std::memcpy(&value, indices + size_t(i) * draw.indexSize, draw.indexSize);
                record->indices.push_back(value);
            }
        }
        g_GfxRecorder.Record(name, args, record);
    }
    FlushBoundTextures();
    // A buffer drawn while it is locked is drawn as its CPU copy stands now: that copy is the one its bounds
    // were checked against, and the backend's may still hold older, unchecked indices.
    for (GfxBuffer* buffer : {draw.userVertices ? nullptr : draw.vertexBuffer,
                              draw.indexed && !draw.userIndices ? draw.indexBuffer : nullptr})
        if (buffer && buffer->locked)
            m_Backend->UploadBuffer(*buffer, 0, UINT(buffer->bytes.size()), false);
    m_Backend->Draw(m_State, draw);
    return D3D_OK;
}

namespace
{

// Bytes a run of vertices reads from the start of its first one: whole strides up to the last vertex, then
// that vertex's attributes, which may reach past its stride.
uint64_t VertexBytes(uint64_t count, UINT stride, const GfxVertexLayout& layout)
{
    return (count - 1) * stride + std::max<uint64_t>(stride, layout.Extent());
}

// The highest index a range reads.
uint32_t MaxIndex(const uint8_t* indices, UINT count, UINT size)
{
    uint32_t highest = 0;
    for (UINT i = 0; i < count; ++i)
    {
        uint32_t value = 0;
        std::memcpy(&value, indices + size_t(i) * size, size);
        highest = std::max(highest, value);
    }
    return highest;
}

}  // namespace

HRESULT GfxDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    GfxDraw draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.vertexCount = GfxPrimitiveVertexCount(type, primitiveCount);
    draw.layout = CurrentLayout();
    draw.stride = m_State.stream0Stride;
    GfxVertexBuffer* vb = static_cast<GfxVertexBuffer*>(m_State.stream0);
    if (!draw.layout || !vb || draw.stride == 0 || draw.vertexCount == 0)
    {
        if (m_Record)
            g_GfxRecorder.Record("DrawPrimitive", {uint64_t(type), startVertex, primitiveCount});
        return D3DERR_INVALIDCALL;
    }
    draw.vertexBuffer = &vb->Buffer();
    draw.vertexOffset = m_State.stream0Offset;
    draw.firstVertex = startVertex;
    uint64_t end = uint64_t(draw.vertexOffset) + uint64_t(startVertex) * draw.stride +
                   VertexBytes(draw.vertexCount, draw.stride, *draw.layout);
    if (end > draw.vertexBuffer->bytes.size())
    {
        if (m_Record)
            g_GfxRecorder.Record("DrawPrimitive", {uint64_t(type), startVertex, primitiveCount});
        return D3DERR_INVALIDCALL;
    }
    return SubmitDraw("DrawPrimitive", draw, {uint64_t(type), startVertex, primitiveCount});
}

HRESULT GfxDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                        UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    std::initializer_list<uint64_t> args = {
        uint64_t(type), uint64_t(uint32_t(baseVertexIndex)), minVertexIndex, numVertices, startIndex, primitiveCount};
    GfxDraw draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.indexCount = GfxPrimitiveVertexCount(type, primitiveCount);
    draw.layout = CurrentLayout();
    draw.stride = m_State.stream0Stride;
    draw.indexed = true;
    GfxVertexBuffer* vb = static_cast<GfxVertexBuffer*>(m_State.stream0);
    GfxIndexBuffer* ib = static_cast<GfxIndexBuffer*>(m_State.indices);
    bool valid = draw.layout && vb && ib && draw.stride > 0 && draw.indexCount > 0;
    if (valid)
    {
        draw.vertexBuffer = &vb->Buffer();
        draw.indexBuffer = &ib->Buffer();
        draw.indexSize = draw.indexBuffer->format == D3DFMT_INDEX32 ? 4 : 2;
        draw.firstIndex = startIndex;
        uint64_t indexEnd = (uint64_t(startIndex) + draw.indexCount) * draw.indexSize;
        int64_t base = int64_t(m_State.stream0Offset) + int64_t(baseVertexIndex) * draw.stride;
        valid = indexEnd <= draw.indexBuffer->bytes.size() && base >= 0;
        if (valid)
        {
            // Every index must land inside the vertex buffer: reading past it would read foreign memory.
            uint32_t highest = MaxIndex(draw.indexBuffer->bytes.data() + size_t(startIndex) * draw.indexSize,
                                        draw.indexCount, draw.indexSize);
            draw.vertexOffset = UINT(base);
            draw.vertexCount = highest + 1;
            valid = uint64_t(base) + VertexBytes(uint64_t(highest) + 1, draw.stride, *draw.layout) <=
                    draw.vertexBuffer->bytes.size();
        }
    }
    if (!valid)
    {
        if (m_Record)
            g_GfxRecorder.Record("DrawIndexedPrimitive", args);
        return D3DERR_INVALIDCALL;
    }
    return SubmitDraw("DrawIndexedPrimitive", draw, args);
}

HRESULT GfxDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                   UINT vertexStride)
{
    std::initializer_list<uint64_t> args = {uint64_t(type), primitiveCount, vertexStride};
    GfxDraw draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.vertexCount = GfxPrimitiveVertexCount(type, primitiveCount);
    draw.layout = CurrentLayout();
    draw.stride = vertexStride;
    draw.userVertices = static_cast<const uint8_t*>(vertexData);
    draw.userVertexBytes = size_t(draw.vertexCount) * vertexStride;
    // The caller's memory is known to hold whole strides only: attributes reaching past one are refused.
    if (!draw.layout || !vertexData || vertexStride == 0 || draw.vertexCount == 0 ||
        draw.layout->Extent() > vertexStride)
    {
        if (m_Record)
            g_GfxRecorder.Record("DrawPrimitiveUP", args);
        return D3DERR_INVALIDCALL;
    }
    HRESULT result = SubmitDraw("DrawPrimitiveUP", draw, args);
    // As after any user-pointer draw, stream 0 is left unbound.
    Rebind(m_State.stream0, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    m_State.stream0Offset = m_State.stream0Stride = 0;
    return result;
}

HRESULT GfxDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                          UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                          const void* vertexData, UINT vertexStride)
{
    std::initializer_list<uint64_t> args = {uint64_t(type), minVertexIndex,        numVertices,
                                            primitiveCount, uint64_t(indexFormat), vertexStride};
    GfxDraw draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.indexCount = GfxPrimitiveVertexCount(type, primitiveCount);
    draw.layout = CurrentLayout();
    draw.stride = vertexStride;
    draw.indexed = true;
    draw.indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    draw.userIndices = static_cast<const uint8_t*>(indexData);
    draw.userVertices = static_cast<const uint8_t*>(vertexData);
    bool valid = draw.layout && indexData && vertexData && vertexStride > 0 && draw.indexCount > 0 &&
                 (indexFormat == D3DFMT_INDEX16 || indexFormat == D3DFMT_INDEX32) &&
                 draw.layout->Extent() <= vertexStride;
    uint64_t vouched = uint64_t(minVertexIndex) + numVertices;
    if (valid)
    {
        // The caller vouches for vertices 0 .. min + count - 1; an index beyond them is refused.
        uint32_t highest = MaxIndex(draw.userIndices, draw.indexCount, draw.indexSize);
        valid = uint64_t(highest) < vouched && vouched <= 0xFFFFFFFFu;
        draw.vertexCount = UINT(vouched);
        draw.userVertexBytes = size_t(draw.vertexCount) * vertexStride;
    }
    if (!valid)
    {
        if (m_Record)
            g_GfxRecorder.Record("DrawIndexedPrimitiveUP", args);
        return D3DERR_INVALIDCALL;
    }
    HRESULT result = SubmitDraw("DrawIndexedPrimitiveUP", draw, args);
    Rebind(m_State.stream0, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    m_State.stream0Offset = m_State.stream0Stride = 0;
    Rebind(m_State.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    return result;
}

HRESULT GfxDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** declaration)
{
    if (m_Record)
        g_GfxRecorder.Record("CreateVertexDeclaration", {});
    if (!elements || !declaration)
        return D3DERR_INVALIDCALL;
    *declaration = nullptr;
    if (Fail("CreateVertexDeclaration"))
        return D3DERR_OUTOFVIDEOMEMORY;
    GfxVertexLayout layout;
    if (!layout.FromElements(elements))
        return D3DERR_INVALIDCALL;
    UINT count = 0;
    while (elements[count].Stream != 0xFF)
        ++count;
    *declaration = new GfxVertexDeclaration(elements, count + 1, layout);
    return D3D_OK;
}

HRESULT GfxDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration)
{
    if (m_Record)
        g_GfxRecorder.Record("SetVertexDeclaration", {Id(declaration)});
    Rebind(m_State.declaration, declaration);
    if (declaration)
        m_State.fvf = 0;
    return D3D_OK;
}

HRESULT GfxDevice::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration)
{
    if (!declaration)
        return D3DERR_INVALIDCALL;
    *declaration = m_State.declaration;
    if (*declaration)
        (*declaration)->AddRef();
    return D3D_OK;
}

HRESULT GfxDevice::SetFVF(DWORD fvf)
{
    if (m_Record)
        g_GfxRecorder.Record("SetFVF", {fvf});
    if (fvf && GfxFvfVertexSize(fvf) == 0)
        return D3DERR_INVALIDCALL;
    // An FVF replaces the declaration, as a declaration replaces the FVF.
    Rebind(m_State.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    m_State.fvf = fvf;
    return D3D_OK;
}

HRESULT GfxDevice::GetFVF(DWORD* fvf)
{
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = m_State.fvf;
    return D3D_OK;
}

HRESULT GfxDevice::SetVertexShader(IDirect3DVertexShader9* shader)
{
    if (m_Record)
        g_GfxRecorder.Record("SetVertexShader", {Id(shader)});
    Rebind(m_State.vertexShader, shader);
    return D3D_OK;
}

HRESULT GfxDevice::GetVertexShader(IDirect3DVertexShader9** shader)
{
    if (!shader)
        return D3DERR_INVALIDCALL;
    *shader = m_State.vertexShader;
    if (*shader)
        (*shader)->AddRef();
    return D3D_OK;
}

HRESULT GfxDevice::SetPixelShader(IDirect3DPixelShader9* shader)
{
    if (m_Record)
        g_GfxRecorder.Record("SetPixelShader", {Id(shader)});
    Rebind(m_State.pixelShader, shader);
    return D3D_OK;
}

HRESULT GfxDevice::GetPixelShader(IDirect3DPixelShader9** shader)
{
    if (!shader)
        return D3DERR_INVALIDCALL;
    *shader = m_State.pixelShader;
    if (*shader)
        (*shader)->AddRef();
    return D3D_OK;
}

void GfxDevice::SetEffectProgram(uint32_t program)
{
    if (m_Record)
        g_GfxRecorder.Record("SetEffectProgram", {program});
    m_State.program = program;
}

HRESULT GfxDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    if (m_Record)
        g_GfxRecorder.Record("SetStreamSource", {stream, Id(buffer), offset, stride});
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    Rebind(m_State.stream0, buffer);
    m_State.stream0Offset = offset;
    m_State.stream0Stride = stride;
    return D3D_OK;
}

HRESULT GfxDevice::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride)
{
    if (stream != 0 || !buffer || !offset || !stride)
        return D3DERR_INVALIDCALL;
    *buffer = m_State.stream0;
    if (*buffer)
        (*buffer)->AddRef();
    *offset = m_State.stream0Offset;
    *stride = m_State.stream0Stride;
    return D3D_OK;
}

HRESULT GfxDevice::SetIndices(IDirect3DIndexBuffer9* buffer)
{
    if (m_Record)
        g_GfxRecorder.Record("SetIndices", {Id(buffer)});
    Rebind(m_State.indices, buffer);
    return D3D_OK;
}

HRESULT GfxDevice::GetIndices(IDirect3DIndexBuffer9** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = m_State.indices;
    if (*buffer)
        (*buffer)->AddRef();
    return D3D_OK;
}
