#pragma once
// The device: validates and tracks every call as Direct3D 9 does, keeps references to what is bound, and
// hands draws to its backend (OpenGL, or nothing while the recorder logs them).
#include <memory>
#include <set>

#include "Platform/gfx/GfxBackend.h"
#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx/GfxState.h"

class GfxDirect3D9;
class GfxSurface;

class GfxDevice : public GfxRefCounted<IDirect3DDevice9>
{
public:
    GfxDevice(GfxDirect3D9* d3d, std::unique_ptr<GfxBackend> backend, bool record);
    bool Init(const D3DPRESENT_PARAMETERS& params);

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirty) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* shared) override;
    HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DVolumeTexture9** texture, void* shared) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, void* shared) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               void* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              void* shared) override;
    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               DWORD quality, BOOL lockable, IDirect3DSurface9** surface, void* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD quality, BOOL discard, IDirect3DSurface9** surface, void* shared) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, void* shared) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface) override;
    HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;

    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const void* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT GetScissorRect(RECT* rect) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices, UINT primitiveCount,
                                   const void* indexData, D3DFORMAT indexFormat, const void* vertexData,
                                   UINT vertexStride) override;

    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** shader) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** buffer) override;

    // Resource bookkeeping, called by the resources themselves.
    void ImageChanged(GfxImage& image, UINT sub);
    void FlushImage(GfxImage& image);
    void BufferChanged(GfxBuffer& buffer);
    void ForgetImage(GfxImage* image);
    void ForgetBuffer(GfxBuffer* buffer);

    // The program of the effect pass being drawn (0: the built-in ones).
    void SetEffectProgram(uint32_t program);
    const GfxState& State() const { return m_State; }
    GfxBackend& Backend() { return *m_Backend; }
    bool Recording() const { return m_Record; }
    // Default-pool resources alive besides the device's own (a reset needs none).
    size_t DefaultPoolCount() const;

private:
    ~GfxDevice() override;
    bool Fail(const char* call);
    HRESULT ResetDevice(D3DPRESENT_PARAMETERS* params);
    void Track(GfxImage& image);
    void Track(GfxBuffer& buffer);
    std::unique_ptr<GfxImage> NewImage(GfxImageKind kind, D3DFORMAT format, UINT width, UINT height, UINT depth,
                                       UINT levels, DWORD usage, D3DPOOL pool);
    HRESULT MakeSurface(GfxImageKind kind, UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                        DWORD quality, D3DPOOL pool, IDirect3DSurface9** surface);
    bool CreateOwnSurfaces(const D3DPRESENT_PARAMETERS& params);
    void ReleaseBindings();
    void ResetTargetArea(GfxSurface* target);
    const GfxVertexLayout* CurrentLayout();
    HRESULT SubmitDraw(const char* name, GfxDraw& draw, std::initializer_list<uint64_t> args);
    void FlushBoundTextures();

    GfxDirect3D9* m_D3D;
    std::unique_ptr<GfxBackend> m_Backend;
    bool m_Record;
    D3DPRESENT_PARAMETERS m_Params{};
    GfxState m_State{};
    GfxSurface* m_BackBuffer = nullptr;
    GfxSurface* m_AutoDepth = nullptr;
    std::set<GfxImage*> m_Images;
    std::set<GfxBuffer*> m_Buffers;
    GfxVertexLayout m_FvfLayout;
    DWORD m_FvfLayoutCode = 0xFFFFFFFF;
    bool m_InScene = false;
    // Lost until a Reset succeeds: after a failed Reset, or once the recorder answered that the device is lost.
    bool m_NeedsReset = false;
};
