#include "Engine/world/WeTrail.h"

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeRenderItemSink.h"

namespace
{

uint32_t Channel(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<uint32_t>(value * 255.0f);
}

}  // namespace

WeTrail::WeTrail()
{
    m_Type = WeActorTypeTrail;
    m_WantsTick = true;
}

WeTrail::~WeTrail()
{
    FreeBuffers();
}

void WeTrail::FreeBuffers()
{
    delete[] m_AlphaTable;
    delete[] m_Vertices;
    delete[] m_Indices;
    m_AlphaTable = nullptr;
    m_Vertices = nullptr;
    m_Indices = nullptr;
}

uint32_t WeTrail::PackColor(float alpha, float red, float green, float blue)
{
    return Channel(alpha) << 24 | Channel(red) << 16 | Channel(green) << 8 | Channel(blue);
}

void WeTrail::Setup(WeMaterial* material, float red, float green, float blue, float fourthValue, float segmentInterval,
                    int32_t quads, float halfWidth, float headAlpha, float tailAlpha)
{
    m_Material = material;
    m_Red = red;
    m_Green = green;
    m_Blue = blue;
    m_FourthValue = fourthValue;
    m_SegmentInterval = segmentInterval;
    const int64_t wanted = static_cast<int64_t>(quads) * 4;
    m_MaxQuads = static_cast<int32_t>(wanted < 0 ? 0 : wanted > MaxQuadLimit ? MaxQuadLimit : wanted);
    m_HalfWidth = halfWidth;
    m_HeadAlpha = headAlpha;
    m_TailAlpha = tailAlpha;
    // The material field a render-device value would set for trails is left alone: nothing reads it.
    m_Ready = false;
}

void WeTrail::Init()
{
    m_PhysicModel.physicsClass = 0;
    m_HasModel = false;
    m_Static = true;
    WeActor::Init();

    FreeBuffers();
    const int32_t quads = m_MaxQuads > 0 ? m_MaxQuads : 0;
    m_AlphaTable = new float[quads > 0 ? quads : 1];
    m_Vertices = new Vertex[static_cast<size_t>(quads > 0 ? quads : 1) * 4]();
    m_Indices = new uint16_t[static_cast<size_t>(quads > 0 ? quads : 1) * 6];
    for (int32_t i = 0; i < quads; ++i)
    {
        const uint16_t b = static_cast<uint16_t>(4 * i);
        uint16_t* index = m_Indices + 6 * i;
        index[0] = b;
        index[1] = static_cast<uint16_t>(b + 1);
        index[2] = static_cast<uint16_t>(b + 2);
        index[3] = static_cast<uint16_t>(b + 1);
        index[4] = static_cast<uint16_t>(b + 3);
        index[5] = static_cast<uint16_t>(b + 2);
        const float fraction = quads > 1 ? static_cast<float>(i) / static_cast<float>(quads - 1) : 0.0f;
        m_AlphaTable[i] = m_TailAlpha + fraction * (m_HeadAlpha - m_TailAlpha);
        Vertex* v = m_Vertices + 4 * i;
        const float uv[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
        for (int k = 0; k < 4; ++k)
        {
            v[k].u = uv[k][0];
            v[k].v = uv[k][1];
        }
    }
    m_QuadCount = 0;
    m_VertexCount = 0;
    m_TimeSinceLastQuad = 0.0f;
    m_DelayTicks = 0;
    m_RadiusOverride = 0.0f;
    m_Ready = true;
}

void WeTrail::Clear()
{
    m_QuadCount = 0;
    m_VertexCount = 0;
    m_TimeSinceLastQuad = 0.0f;
    m_DelayTicks = 2;
}

void WeTrail::Expire()
{
    if (!m_Expiring)
    {
        m_Expiring = true;
        SetLifeTime(static_cast<float>(m_MaxQuads) * 0.5f * m_SegmentInterval);
    }
    else
        MarkForDeletion();
}

void WeTrail::EdgePoints(D3DXVECTOR3& left, D3DXVECTOR3& right) const
{
    const D3DXMATRIX& m = GetWorldMatrix();
    const D3DXVECTOR3 p(m._41, m._42, m._43);
    const D3DXVECTOR3 x(m._11 * m_HalfWidth, m._12 * m_HalfWidth, m._13 * m_HalfWidth);
    left = D3DXVECTOR3(p.x + x.x, p.y + x.y, p.z + x.z);
    right = D3DXVECTOR3(p.x - x.x, p.y - x.y, p.z - x.z);
}

void WeTrail::SetPair(int32_t quad, bool front, const D3DXVECTOR3& left, const D3DXVECTOR3& right)
{
    Vertex* v = m_Vertices + 4 * quad + (front ? 2 : 0);
    v[0].position[0] = left.x;
    v[0].position[1] = left.y;
    v[0].position[2] = left.z;
    v[1].position[0] = right.x;
    v[1].position[1] = right.y;
    v[1].position[2] = right.z;
}

void WeTrail::SetPairAlpha(int32_t quad, bool front, float alpha)
{
    Vertex* v = m_Vertices + 4 * quad + (front ? 2 : 0);
    v[0].color = v[1].color = PackColor(alpha, m_Red, m_Green, m_Blue);
}

void WeTrail::Tick()
{
    WeActor::Tick();
    if (!m_Ready || m_MaxQuads < 1 || !m_Vertices)
        return;
    if (m_DelayTicks > 0)
    {
        --m_DelayTicks;
        return;
    }
    D3DXVECTOR3 left, right;
    EdgePoints(left, right);
    if (m_QuadCount == 0)
    {
        SetPair(0, false, left, right);
        SetPair(0, true, left, right);
        SetPairAlpha(0, false, m_TailAlpha);
        SetPairAlpha(0, true, m_HeadAlpha);
        m_QuadCount = 1;
        m_VertexCount = 4;
    }
    m_TimeSinceLastQuad += g_Timer.m_FrameDeltaF;
    if (m_TimeSinceLastQuad > m_SegmentInterval)
    {
        if (m_QuadCount >= m_MaxQuads)
        {
            for (int32_t i = 1; i < m_QuadCount; ++i)
            {
                for (int k = 0; k < 4; ++k)
                    for (int c = 0; c < 3; ++c)
                        m_Vertices[4 * (i - 1) + k].position[c] = m_Vertices[4 * i + k].position[c];
                SetPairAlpha(i - 1, false, m_AlphaTable[i - 1]);
                SetPairAlpha(i - 1, true, m_AlphaTable[i]);
            }
            --m_QuadCount;
            m_VertexCount -= 4;
        }
        else if (m_QuadCount == 1)
        {
            SetPairAlpha(0, false, m_TailAlpha);
            SetPairAlpha(0, true, m_HeadAlpha);
        }
        else
        {
            const float span = m_HeadAlpha - m_TailAlpha;
            const float count = static_cast<float>(m_QuadCount);
            for (int32_t i = 0; i < m_QuadCount; ++i)
            {
                SetPairAlpha(i, false, m_TailAlpha + static_cast<float>(i) / count * span);
                SetPairAlpha(i, true, m_TailAlpha + static_cast<float>(i + 1) / count * span);
            }
        }
        if (m_QuadCount < m_MaxQuads)
        {
            const int32_t q = m_QuadCount;
            // With a one-quad ribbon the dropped quad's front pair is still in place to start from.
            const int32_t previous = q > 0 ? q - 1 : 0;
            for (int k = 0; k < 2; ++k)
                for (int c = 0; c < 3; ++c)
                    m_Vertices[4 * q + k].position[c] = m_Vertices[4 * previous + 2 + k].position[c];
            SetPair(q, true, left, right);
            SetPairAlpha(q, false, m_HeadAlpha);
            SetPairAlpha(q, true, m_HeadAlpha);
            ++m_QuadCount;
            m_VertexCount += 4;
        }
        m_TimeSinceLastQuad = 0.0f;
    }
    else
        SetPair(m_QuadCount - 1, true, left, right);
}

void WeTrail::Render(int32_t pass)
{
    // The vertices are written in world space.
    if (m_Vertices)
        WeQueueRenderItem(m_Material, this, &WeIdentityMatrix(), pass);
}
