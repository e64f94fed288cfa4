#include "Engine/render/WeScreenQuad.h"

#include <cstring>

#include "Engine/render/WeRenderDevice.h"

namespace
{

template <class Vertex>
bool WriteQuad(IDirect3DVertexBuffer9* vb, const Vertex (&quad)[4])
{
    void* data = nullptr;
    if (vb == nullptr || FAILED(vb->Lock(0, sizeof(quad), &data, D3DLOCK_DISCARD)) || data == nullptr)
        return false;
    std::memcpy(data, quad, sizeof(quad));
    vb->Unlock();
    return true;
}

void DrawQuad(IDirect3DVertexBuffer9* vb, DWORD fvf, UINT stride)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr || vb == nullptr)
        return;
    device->SetFVF(fvf);
    device->SetStreamSource(0, vb, 0, stride);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

}  // namespace

bool FillClipSpaceQuad(IDirect3DVertexBuffer9* vb)
{
    const float quad[4][5] = {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {-1, 1, 1, 0, 1}, {1, 1, 1, 1, 1}};
    return WriteQuad(vb, quad);
}

bool FillScreenQuad(IDirect3DVertexBuffer9* vb, float width, int height)
{
    float w = width;
    float h = float(height);
    float du = w != 0.0f ? 0.5f / w : 0.0f;
    float dv = h != 0.0f ? 0.5f / h : 0.0f;
    const float quad[4][6] = {
        {0, 0, 0, 1, du, dv}, {w, 0, 0, 1, 1 + du, dv}, {0, h, 0, 1, du, 1 + dv}, {w, h, 0, 1, 1 + du, 1 + dv}};
    return WriteQuad(vb, quad);
}

bool FillScaledQuad(IDirect3DVertexBuffer9* vb, float a, float b, float width, int height)
{
    float W = width;
    float H = float(height);
    if (W == 0.0f || H == 0.0f || a == 0.0f || b == 0.0f)
        return false;
    float g = 0.5f / W;
    float u0 = 0.5f / a;
    float v0 = 0.5f / a;
    float u1 = (1.0f / W + 1.0f) * (W / a) + 0.5f / a - 1.0f / a;
    float v1 = (1.0f / H + 1.0f) * (H / b) + 0.5f / a - 1.0f / b;
    const float quad[4][7] = {{-1, 1, 0, g, g, u0, v0},
                              {1, 1, 0, 1 + g, g, u1, v0},
                              {-1, -1, 0, g, 1 + g, u0, v1},
                              {1, -1, 0, 1 + g, 1 + g, u1, v1}};
    return WriteQuad(vb, quad);
}

void SetQuadStates()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr)
        return;
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    g_RenderDevice.SetSamplerFilter(0, 1, 1);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void DrawScreenQuad(IDirect3DVertexBuffer9* vb)
{
    DrawQuad(vb, D3DFVF_XYZRHW | D3DFVF_TEX1, 24);
}

void DrawScaledQuad(IDirect3DVertexBuffer9* vb)
{
    DrawQuad(vb, D3DFVF_XYZ | D3DFVF_TEX2, 28);
}

void DrawClipSpaceQuad(IDirect3DVertexBuffer9* vb)
{
    DrawQuad(vb, D3DFVF_XYZ | D3DFVF_TEX1, 20);
}
