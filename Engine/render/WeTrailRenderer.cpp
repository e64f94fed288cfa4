#include "Engine/render/WeTrailRenderer.h"

#include <cstring>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WeTrail.h"

WeTrailRenderer g_TrailRenderer;

bool WeTrailRenderer::Init()
{
    if (m_Initialised)
        return true;
    m_Initialised = 1;
    OnResetDevice();
    return true;
}

void WeTrailRenderer::Release()
{
    if (!m_Initialised)
        return;
    OnLostDevice();
    m_Initialised = 0;
}

void WeTrailRenderer::OnLostDevice()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    // Bound buffers would outlive their release and keep the device from resetting.
    if (device != nullptr && (m_VertexBuffer != nullptr || m_IndexBuffer != nullptr))
    {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
    }
    if (m_VertexBuffer != nullptr)
        m_VertexBuffer->Release();
    m_VertexBuffer = nullptr;
    if (m_IndexBuffer != nullptr)
        m_IndexBuffer->Release();
    m_IndexBuffer = nullptr;
}

void WeTrailRenderer::OnResetDevice()
{
    OnLostDevice();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    bool ok = device != nullptr &&
              SUCCEEDED(device->CreateVertexBuffer(
                  UINT(MaxVertices) * VertexStride, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                  D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DPOOL_DEFAULT, &m_VertexBuffer, nullptr)) &&
              SUCCEEDED(device->CreateIndexBuffer(UINT(MaxIndices) * 2u, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                                  D3DFMT_INDEX16, D3DPOOL_DEFAULT, &m_IndexBuffer, nullptr));
    // A renderer without its buffers draws nothing until the next reset makes them.
    if (!ok)
    {
        OnLostDevice();
        m_Initialised = 0;
    }
}

bool WeTrailRenderer::DrawTrail(WeTrail* trail)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (!m_Initialised || device == nullptr || m_VertexBuffer == nullptr || m_IndexBuffer == nullptr ||
        trail == nullptr || trail->m_Vertices == nullptr || trail->m_Indices == nullptr || trail->m_QuadCount <= 0)
        return false;
    // The newest quads are at the end; every quad has the same index pattern, so the trail's first indices
    // serve any run of quads.
    int32_t quads = trail->m_QuadCount;
    if (quads * 4 > trail->m_VertexCount)
        quads = trail->m_VertexCount / 4;
    const int32_t first = quads > MaxQuads ? quads - MaxQuads : 0;
    if (quads > MaxQuads)
        quads = MaxQuads;
    if (quads <= 0)
        return false;
    const UINT vertexBytes = UINT(quads) * 4u * VertexStride;
    const UINT indexBytes = UINT(quads) * 12u;
    void* vertices = nullptr;
    void* indices = nullptr;
    if (FAILED(m_VertexBuffer->Lock(0, vertexBytes, &vertices, D3DLOCK_DISCARD)) || vertices == nullptr)
        return false;
    std::memcpy(vertices, trail->m_Vertices + size_t(first) * 4u, vertexBytes);
    m_VertexBuffer->Unlock();
    if (FAILED(m_IndexBuffer->Lock(0, indexBytes, &indices, D3DLOCK_DISCARD)) || indices == nullptr)
        return false;
    std::memcpy(indices, trail->m_Indices, indexBytes);
    m_IndexBuffer->Unlock();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->SetStreamSource(0, m_VertexBuffer, 0, VertexStride);
    device->SetIndices(m_IndexBuffer);
    return SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(quads) * 4u, 0, UINT(quads) * 2u));
}
