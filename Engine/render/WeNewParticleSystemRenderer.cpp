#include "Engine/render/WeNewParticleSystemRenderer.h"

#include <cmath>

#include "Engine/render/WeCamera.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticle.h"

WeNewParticleSystemRenderer g_NewParticleSystemRenderer;

namespace
{

const D3DVERTEXELEMENT9 ParticleElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 20, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    {0, 36, D3DDECLTYPE_FLOAT1, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 2},
    {0, 40, D3DDECLTYPE_FLOAT1, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 3},
    {0, 44, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 4},
    D3DDECL_END()};

const float Corners[4][2] = {{0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}};

constexpr UINT BufferBytes =
    UINT(WeNewParticleSystemRenderer::ParticlesPerDraw) * 4u * WeNewParticleSystemRenderer::VertexStride;
constexpr UINT IndexCount = UINT(WeNewParticleSystemRenderer::ParticlesPerDraw) * 6u;

D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& p, const D3DXMATRIX& m)
{
    return D3DXVECTOR3(p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
                       p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43);
}

D3DXVECTOR3 TransformDirection(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    return D3DXVECTOR3(v.x * m._11 + v.y * m._21 + v.z * m._31, v.x * m._12 + v.y * m._22 + v.z * m._32,
                       v.x * m._13 + v.y * m._23 + v.z * m._33);
}

}  // namespace

bool WeNewParticleSystemRenderer::Init()
{
    if (m_Initialised)
        return true;
    m_Initialised = 1;
    OnResetDevice();
    return true;
}

void WeNewParticleSystemRenderer::Release()
{
    if (!m_Initialised)
        return;
    OnLostDevice();
    m_Initialised = 0;
}

void WeNewParticleSystemRenderer::OnLostDevice()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    // Bound buffers would outlive their release and keep the device from resetting.
    if (device != nullptr && (m_VertexBuffers[0] != nullptr || m_IndexBuffer != nullptr))
    {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
    }
    if (m_Declaration != nullptr)
        m_Declaration->Release();
    m_Declaration = nullptr;
    for (IDirect3DVertexBuffer9*& vb : m_VertexBuffers)
    {
        if (vb != nullptr)
            vb->Release();
        vb = nullptr;
    }
    if (m_IndexBuffer != nullptr)
        m_IndexBuffer->Release();
    m_IndexBuffer = nullptr;
    m_Usable = 0;
}

void WeNewParticleSystemRenderer::OnResetDevice()
{
    OnLostDevice();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr)
        return;
    bool ok = SUCCEEDED(device->CreateVertexDeclaration(ParticleElements, &m_Declaration));
    for (IDirect3DVertexBuffer9*& vb : m_VertexBuffers)
        ok = ok && SUCCEEDED(device->CreateVertexBuffer(BufferBytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                                                        D3DPOOL_DEFAULT, &vb, nullptr));
    ok = ok && SUCCEEDED(device->CreateIndexBuffer(IndexCount * 2, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                                   D3DFMT_INDEX16, D3DPOOL_DEFAULT, &m_IndexBuffer, nullptr));
    void* data = nullptr;
    ok = ok && SUCCEEDED(m_IndexBuffer->Lock(0, IndexCount * 2, &data, D3DLOCK_DISCARD)) && data != nullptr;
    if (ok)
    {
        uint16_t* indices = static_cast<uint16_t*>(data);
        const uint16_t pattern[6] = {0, 1, 2, 0, 2, 3};
        for (int32_t k = 0; k < ParticlesPerDraw; ++k)
            for (int32_t i = 0; i < 6; ++i)
                indices[k * 6 + i] = uint16_t(pattern[i] + 4 * k);
        m_IndexBuffer->Unlock();
    }
    // Anything missing frees what was made: the renderer stays unusable and draws nothing.
    if (!ok)
    {
        OnLostDevice();
        return;
    }
    m_NextBuffer = 0;
    m_Usable = 1;
}

int32_t WeNewParticleSystemRenderer::RenderParticleSystem(WeNewParticleSystem* system, WeCamera* camera)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (!m_Initialised || !m_Usable || device == nullptr || !g_RenderDevice.m_ParticleOption || system == nullptr ||
        system->m_Particles.IsEmpty())
        return 0;
    if (camera == nullptr)
        camera = g_RenderQueue.m_Camera;
    const D3DXMATRIX& world = system->GetWorldMatrix();
    const bool local = system->m_LocalSpace;
    const bool aligned = system->m_VelocityAligned;

    device->SetVertexDeclaration(m_Declaration);
    device->SetIndices(m_IndexBuffer);
    int32_t draws = 0;
    WeList<WeParticle*>::Node* node = system->m_Particles.FirstNode();
    while (node != nullptr)
    {
        IDirect3DVertexBuffer9* vb = m_VertexBuffers[m_NextBuffer];
        void* data = nullptr;
        if (FAILED(vb->Lock(0, BufferBytes, &data, D3DLOCK_DISCARD)) || data == nullptr)
            break;
        Vertex* out = static_cast<Vertex*>(data);
        int32_t n = 0;
        for (; node != nullptr && n < ParticlesPerDraw; node = system->m_Particles.NextNode(node), ++n)
        {
            const WeParticle& p = *node->payload;
            const D3DXVECTOR3 position = local ? TransformPoint(p.position, world) : p.position;
            float direction[2] = {0.0f, 1.0f};
            if (aligned && camera != nullptr)
            {
                D3DXVECTOR3 velocity = local ? TransformDirection(p.velocity, world) : p.velocity;
                velocity = TransformDirection(velocity, camera->m_View);
                // Normalised on screen: the quad's up axis has unit length whatever the depth of the motion.
                const float length = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
                if (length > 0.0f)
                {
                    direction[0] = velocity.x / length;
                    direction[1] = velocity.y / length;
                }
            }
            for (int32_t k = 0; k < 4; ++k)
            {
                Vertex& v = out[n * 4 + k];
                v.position[0] = position.x;
                v.position[1] = position.y;
                v.position[2] = position.z;
                v.corner[0] = Corners[k][0];
                v.corner[1] = Corners[k][1];
                for (int32_t c = 0; c < 4; ++c)
                    v.colour[c] = p.color[c];
                v.size = p.size;
                v.rotation = p.rotation;
                v.direction[0] = direction[0];
                v.direction[1] = direction[1];
            }
        }
        vb->Unlock();
        device->SetStreamSource(0, vb, 0, VertexStride);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(n) * 4u, 0, UINT(n) * 2u);
        ++draws;
        m_NextBuffer = (m_NextBuffer + 1) % BufferCount;
    }
    return draws;
}
