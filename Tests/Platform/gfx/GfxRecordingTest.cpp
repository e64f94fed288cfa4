// The device's bookkeeping through the recording backend: creation checks and injected failures, the
// call log with its state and vertex copies, reference counts, locks and the reset protocol.
#include <cstring>

#include "GfxTestDevice.h"
#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxFormat.h"
#include "Platform/gfx/GfxVertexLayout.h"

namespace
{

class GfxRecording : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_GfxRecorder.ResetAll();
        GfxSelectBackend(GfxBackendKind::Recording);
    }
    void TearDown() override
    {
        g_GfxRecorder.ResetAll();
        GfxSelectBackend(GfxBackendKind::OpenGL);
    }
};

struct ScreenVertex
{
    float x, y, z, rhw, u, v;
};

TEST_F(GfxRecording, CreationFailsOnlyWhereTold)
{
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    g_GfxRecorder.FailNext("Direct3DCreate9");
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);

    // A device that refuses every mode but 800 x 600 without multisampling.
    g_GfxRecorder.acceptMode = [](const D3DPRESENT_PARAMETERS& pp)
    { return pp.BackBufferWidth == 800 && pp.BackBufferHeight == 600 && pp.MultiSampleType == D3DMULTISAMPLE_NONE; };
    D3DPRESENT_PARAMETERS pp = TestParams(1280, 1024);
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    pp = TestParams(800, 600);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    EXPECT_EQ(g_GfxRecorder.Count("CreateDevice"), 2u);
    device->Release();

    g_GfxRecorder.FailNext("CreateDevice");
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_NOTAVAILABLE);
    d3d->Release();
}

TEST_F(GfxRecording, AdapterChecksFollowTheControls)
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D24S8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                     D3DFMT_G16R16F),
              D3D_OK);
    // Unknown formats and depth formats as colour targets are refused, never guessed.
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFORMAT(12345)),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                     D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);
    g_GfxRecorder.refusedFormats.insert(D3DFMT_D24S8);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A16B16G16R16F, D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);

    DWORD levels = 99;
    EXPECT_EQ(
        d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_4_SAMPLES, &levels),
        D3D_OK);
    EXPECT_EQ(levels, 1u);
    g_GfxRecorder.multisampleLevels[{D3DFMT_UNKNOWN, 4}] = 3;
    g_GfxRecorder.multisampleLevels[{D3DFMT_D24S8, 4}] = 0;
    EXPECT_EQ(
        d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_4_SAMPLES, &levels),
        D3D_OK);
    EXPECT_EQ(levels, 3u);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_D24S8, TRUE, D3DMULTISAMPLE_4_SAMPLES, &levels),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(levels, 0u);

    g_GfxRecorder.pixelShaderVersion = D3DPS_VERSION(1, 4);
    d3d->Release();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.PixelShaderVersion & 0xFFFF, 0x0104u);
    EXPECT_TRUE(caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES);
    d3d->Release();
}

TEST_F(GfxRecording, ModeListComesFromTheControls)
{
    g_GfxRecorder.modes = {
        {640, 480, 60, D3DFMT_X8R8G8B8}, {640, 480, 75, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_R5G6B5}};
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_EQ(d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8), 2u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 1, &mode), D3D_OK);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 2, &mode), D3DERR_INVALIDCALL);
    d3d->Release();
}

TEST_F(GfxRecording, DrawsAreRecordedWithStateAndVertices)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 32);
    ASSERT_NE(t.device, nullptr);
    IDirect3DDevice9* dev = t.device;
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(96, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                                      D3DPOOL_DEFAULT, &vb, nullptr),
              D3D_OK);
    ScreenVertex* v = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_DISCARD), D3D_OK);
    for (int i = 0; i < 4; ++i)
        v[i] = {float(i & 1) * 64, float(i >> 1) * 32, 0, 1, float(i & 1), float(i >> 1)};
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    g_GfxRecorder.ClearLog();

    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    dev->SetStreamSource(0, vb, 0, sizeof(ScreenVertex));
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    dev->EndScene();

    EXPECT_EQ(g_GfxRecorder.Count("SetRenderState"), 2u);
    auto draws = g_GfxRecorder.Draws();
    ASSERT_EQ(draws.size(), 1u);
    const GfxDrawRecord& draw = *draws[0];
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.vertexCount, 4u);
    EXPECT_EQ(draw.stride, 24u);
    EXPECT_EQ(draw.state.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(draw.state.renderStates[D3DRS_SRCBLEND], DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(draw.state.renderStates[D3DRS_DESTBLEND], DWORD(D3DBLEND_ZERO));  // the default
    EXPECT_EQ(draw.state.fvf, DWORD(D3DFVF_XYZRHW | D3DFVF_TEX1));
    ASSERT_EQ(draw.vertices.size(), 96u);
    ScreenVertex last;
    std::memcpy(&last, draw.vertices.data() + 72, sizeof(last));
    EXPECT_EQ(last.x, 64.0f);
    EXPECT_EQ(last.v, 1.0f);

    // A draw reading past the buffer is refused, not performed.
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_GfxRecorder.Draws().size(), 1u);
    // Draw records carry the program an effect drew with.
    GfxDevice* gfx = static_cast<GfxDevice*>(dev);
    uint32_t program = gfx->Backend().BuildProgram("", "", nullptr);
    EXPECT_NE(program, 0u);
    gfx->SetEffectProgram(program);
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    gfx->SetEffectProgram(0);
    EXPECT_EQ(g_GfxRecorder.Draws().back()->state.program, program);
    // With logging off, long runs keep no records.
    g_GfxRecorder.logging = false;
    size_t before = g_GfxRecorder.calls.size();
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(g_GfxRecorder.calls.size(), before);
    g_GfxRecorder.logging = true;
    vb->Release();
}

TEST_F(GfxRecording, UserPointerDrawsCopyIndicesAndUnbindTheStream)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    struct CanvasVertex
    {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    static_assert(sizeof(CanvasVertex) == 28);
    CanvasVertex verts[8] = {};
    for (int i = 0; i < 8; ++i)
        verts[i].x = float(i);
    uint16_t indices[12] = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7};
    IDirect3DVertexBuffer9* vb = nullptr;
    dev->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr);
    dev->SetStreamSource(0, vb, 0, 16);
    EXPECT_EQ(RefCount(vb), 2u);  // the device holds what is bound
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    ASSERT_EQ(dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 4, indices, D3DFMT_INDEX16, verts, 28), D3D_OK);
    const GfxDrawRecord& draw = *g_GfxRecorder.Draws().back();
    EXPECT_EQ(draw.primitiveCount, 4u);
    EXPECT_EQ(draw.vertices.size(), 8u * 28u);
    ASSERT_EQ(draw.indices.size(), 12u);
    EXPECT_EQ(draw.indices[11], 7u);
    IDirect3DVertexBuffer9* bound = reinterpret_cast<IDirect3DVertexBuffer9*>(1);
    UINT offset = 1, stride = 1;
    dev->GetStreamSource(0, &bound, &offset, &stride);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(RefCount(vb), 1u);
    // An index beyond the vertices the caller vouched for is refused.
    indices[11] = 8;
    EXPECT_EQ(dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 4, indices, D3DFMT_INDEX16, verts, 28),
              D3DERR_INVALIDCALL);
    vb->Release();
}

TEST_F(GfxRecording, IndexedDrawsStayInsideTheirBuffers)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(4 * 52, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb, nullptr),
              D3D_OK);
    ASSERT_EQ(dev->CreateIndexBuffer(12, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib,
                                     nullptr),
              D3D_OK);
    uint16_t* idx = nullptr;
    ib->Lock(0, 0, reinterpret_cast<void**>(&idx), D3DLOCK_DISCARD);
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(idx, quad, sizeof(quad));
    ib->Unlock();
    // The particle declaration: 52-byte vertices.
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
                                          {0, 36, D3DDECLTYPE_FLOAT1, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 2},
                                          {0, 40, D3DDECLTYPE_FLOAT1, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 3},
                                          {0, 44, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 4},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_EQ(dev->CreateVertexDeclaration(elements, &decl), D3D_OK);
    UINT count = 0;
    decl->GetDeclaration(nullptr, &count);
    EXPECT_EQ(count, 7u);
    dev->SetVertexDeclaration(decl);
    dev->SetStreamSource(0, vb, 0, 52);
    dev->SetIndices(ib);
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    // A base vertex that moves the indices past the end, or indices past the index buffer, are refused.
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_GfxRecorder.Draws().size(), 1u);
    decl->Release();
    vb->Release();
    ib->Release();
}

TEST_F(GfxRecording, DrawsNeverReadPastTheirVertices)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(96, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);  // 24-byte vertices
    dev->SetStreamSource(0, vb, 0, 24);
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    // A stride under the vertex size: vertices 2..5 end at byte 5 * 16 + 24 = 104 of 96.
    dev->SetStreamSource(0, vb, 0, 16);
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3D_OK);  // ends at 88
    // Primitive counts whose vertex count wraps 32 bits are no small draw.
    dev->SetStreamSource(0, vb, 0, 24);
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0x55555556u), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 0xFFFFFFFFu), D3DERR_INVALIDCALL);

    // The largest 32-bit index, whose "highest + 1" wraps to no vertices at all.
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(dev->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    uint32_t* idx = nullptr;
    ASSERT_EQ(ib->Lock(0, 0, reinterpret_cast<void**>(&idx), 0), D3D_OK);
    idx[0] = 0, idx[1] = 1, idx[2] = 0xFFFFFFFFu;
    ib->Unlock();
    dev->SetIndices(ib);
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(ib->Lock(0, 0, reinterpret_cast<void**>(&idx), 0), D3D_OK);
    idx[2] = 3;
    ib->Unlock();
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1), D3D_OK);
    dev->SetStreamSource(0, vb, 0, 20);  // vertex 3 ends at 3 * 20 + 24 = 84; with base 1 at 104
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1), D3D_OK);
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 0x55555556u), D3DERR_INVALIDCALL);
    size_t draws = g_GfxRecorder.Draws().size();
    EXPECT_EQ(draws, 4u);

    // User memory is vouched for in whole strides: a stride under the vertex size, or a vertex range whose
    // end wraps 32 bits, is refused.
    ScreenVertex verts[4] = {};
    EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, verts, 16), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, verts, sizeof(ScreenVertex)), D3D_OK);
    const uint16_t tri[3] = {0, 1, 3};
    EXPECT_EQ(dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 1, tri, D3DFMT_INDEX16, verts, 16),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0xFFFFFFFFu, 2, 1, tri, D3DFMT_INDEX16, verts,
                                          sizeof(ScreenVertex)),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        dev->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 1, tri, D3DFMT_INDEX16, verts, sizeof(ScreenVertex)),
        D3D_OK);
    EXPECT_EQ(g_GfxRecorder.Draws().size(), draws + 2);
    vb->Release();
    ib->Release();
}

TEST_F(GfxRecording, ReferencesFollowTheDirect3DRules)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex, nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(tex->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(RefCount(tex), 2u);  // a level holds its texture
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(dev->GetRenderTarget(0, &backBuffer), D3D_OK);
    ASSERT_EQ(dev->SetRenderTarget(0, level), D3D_OK);
    EXPECT_EQ(RefCount(tex), 3u);
    dev->SetTexture(0, tex);
    EXPECT_EQ(tex->Release(), 3u);  // the caller's reference gone, the bindings keep it
    EXPECT_EQ(dev->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
    dev->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    dev->SetTexture(0, nullptr);
    EXPECT_EQ(level->Release(), 0u);  // the last reference deletes texture and level
}

TEST_F(GfxRecording, ResetNeedsTheDefaultPoolReleasedAndRestoresDefaults)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(dev->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &depth, nullptr),
              D3D_OK);
    dev->SetDepthStencilSurface(depth);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(dev->CreateTexture(8, 8, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    EXPECT_EQ(managed->GetLevelCount(), 4u);

    D3DPRESENT_PARAMETERS pp = TestParams(128, 96);
    EXPECT_EQ(dev->Reset(&pp), D3DERR_INVALIDCALL);
    dev->SetDepthStencilSurface(nullptr);
    depth->Release();
    ASSERT_EQ(dev->Reset(&pp), D3D_OK);  // managed resources may stay
    DWORD z = 7;
    dev->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, DWORD(D3DZB_FALSE));  // no automatic depth buffer
    D3DVIEWPORT9 vp{};
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 128u);
    EXPECT_EQ(vp.Height, 96u);

    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    g_GfxRecorder.resetResults = {D3DERR_DEVICELOST};
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(dev->Reset(&pp), D3DERR_DEVICELOST);
    // A lost device comes back only through a Reset that succeeds; until then it asks for one and cannot
    // present.
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(dev->Reset(&pp), D3D_OK);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICELOST};
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    // A Reset refused for a default-pool resource still alive leaves it lost as well.
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(96, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb, nullptr),
              D3D_OK);
    EXPECT_EQ(dev->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    vb->Release();
    EXPECT_EQ(dev->Reset(&pp), D3D_OK);
    EXPECT_EQ(dev->TestCooperativeLevel(), D3D_OK);
    managed->Release();
}

TEST_F(GfxRecording, LocksCoverRowsOrBlockRows)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    struct Case
    {
        D3DFORMAT format;
        INT pitch;  // of a 256-wide level
    } cases[] = {{D3DFMT_A8R8G8B8, 1024}, {D3DFMT_X1R5G5B5, 512},       {D3DFMT_DXT1, 512},
                 {D3DFMT_DXT5, 1024},     {D3DFMT_A16B16G16R16F, 2048}, {D3DFMT_L8, 256}};
    for (const Case& c : cases)
    {
        IDirect3DTexture9* tex = nullptr;
        ASSERT_EQ(dev->CreateTexture(256, 256, 1, 0, c.format, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK) << c.format;
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, c.pitch) << c.format;
        D3DLOCKED_RECT again{};
        EXPECT_EQ(tex->LockRect(0, &again, nullptr, 0), D3DERR_INVALIDCALL);  // one lock at a time
        EXPECT_EQ(tex->UnlockRect(0), D3D_OK);
        EXPECT_EQ(tex->UnlockRect(0), D3DERR_INVALIDCALL);
        RECT r{8, 4, 16, 12};
        ASSERT_EQ(tex->LockRect(0, &again, &r, 0), D3D_OK);
        const GfxFormatInfo* info = GfxFormat::Find(c.format);
        ptrdiff_t expected = info->block ? 1 * locked.Pitch + 2 * info->bytes : 4 * locked.Pitch + 8 * info->bytes;
        EXPECT_EQ(static_cast<uint8_t*>(again.pBits) - static_cast<uint8_t*>(locked.pBits), expected) << c.format;
        tex->UnlockRect(0);
        RECT outside{0, 0, 257, 1};
        EXPECT_EQ(tex->LockRect(0, &again, &outside, 0), D3DERR_INVALIDCALL);
        tex->Release();
    }
    // Render targets have no CPU copy to lock; unknown formats and impossible pools are refused.
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(tex->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    tex->Release();
    EXPECT_EQ(dev->CreateTexture(16, 16, 1, 0, D3DFORMAT(77777), D3DPOOL_MANAGED, &tex, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->CreateTexture(16, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_DXT1, D3DPOOL_DEFAULT, &tex, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->CreateTexture(0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3DERR_INVALIDCALL);
    g_GfxRecorder.FailNext("CreateTexture");
    EXPECT_EQ(dev->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
}

TEST_F(GfxRecording, CubeAndVolumeLevels)
{
    GfxTestDevice t(GfxBackendKind::Recording, 64, 64);
    IDirect3DDevice9* dev = t.device;
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(dev->CreateCubeTexture(32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X1R5G5B5, D3DPOOL_DEFAULT, &cube, nullptr),
              D3D_OK);
    IDirect3DSurface9* faces[6] = {};
    for (int f = 0; f < 6; ++f)
        ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACES(f), 0, &faces[f]), D3D_OK);
    EXPECT_NE(faces[0], faces[5]);
    EXPECT_EQ(RefCount(cube), 7u);
    D3DSURFACE_DESC desc{};
    faces[3]->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 32u);
    EXPECT_EQ(desc.Usage, DWORD(D3DUSAGE_RENDERTARGET));
    for (IDirect3DSurface9* face : faces)
        face->Release();
    cube->Release();

    IDirect3DVolumeTexture9* volume = nullptr;
    ASSERT_EQ(dev->CreateVolumeTexture(8, 4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &volume, nullptr), D3D_OK);
    EXPECT_EQ(volume->GetLevelCount(), 4u);
    D3DLOCKED_BOX box{};
    ASSERT_EQ(volume->LockBox(1, &box, nullptr, 0), D3D_OK);
    EXPECT_EQ(box.RowPitch, 16);
    EXPECT_EQ(box.SlicePitch, 32);
    EXPECT_EQ(volume->UnlockBox(1), D3D_OK);
    volume->Release();
}

TEST(GfxVertexLayout, FvfSizesAndLocations)
{
    struct Case
    {
        DWORD fvf;
        UINT size;
    } cases[] = {
        {D3DFVF_XYZRHW | D3DFVF_TEX1, 24},
        {D3DFVF_XYZ | D3DFVF_TEX2, 28},
        {D3DFVF_XYZ | D3DFVF_TEX1, 20},
        {D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, 28},
        {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, 24},
        {D3DFVF_XYZ | D3DFVF_DIFFUSE, 16},
        {D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0), 36},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GfxFvfVertexSize(c.fvf), c.size) << std::hex << c.fvf;
    GfxVertexLayout layout;
    ASSERT_TRUE(layout.FromFvf(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1));
    EXPECT_TRUE(layout.pretransformed);
    ASSERT_EQ(layout.attributes.size(), 3u);
    EXPECT_EQ(layout.attributes[1].location, WE_ATTR_COLOR0);
    EXPECT_EQ(layout.attributes[1].type, D3DDECLTYPE_D3DCOLOR);
    EXPECT_EQ(layout.attributes[2].location, WE_ATTR_TEXCOORD0);
    EXPECT_EQ(layout.attributes[2].offset, 20u);
    // A declaration without an end marker, or with an unknown type, is refused.
    D3DVERTEXELEMENT9 bad[2] = {{0, 0, 99, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    EXPECT_FALSE(layout.FromElements(bad));
}

}  // namespace
