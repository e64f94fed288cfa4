#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"

class WeMaterial;

// A ribbon of quads left behind by a moving actor (its parent): the newest quad's front edge follows
// the trail, a new quad starts every segment interval, the oldest goes when the ribbon is full, and
// the quads fade from the newest to the oldest. The trail renderer draws the buffers it keeps.
class WeTrail : public WeActor
{
public:
    // Indices are 16-bit: four vertices a quad must stay addressable.
    static constexpr int32_t MaxQuadLimit = 16384;

    struct Vertex
    {
        float position[3];
        uint32_t color;  // ARGB
        float u;
        float v;
    };
    static_assert(sizeof(Vertex) == 24);

    WeTrail();
    ~WeTrail() override;

    void Expire() override;
    void Tick() override;
    void Save(WeFileStream&) override {}
    bool Load(WeFileStream&) override { return true; }
    void Init() override;
    void Render(int32_t pass) override;

    // Before AddActor. Max quads becomes quads x 4.
    void Setup(WeMaterial* material, float red, float green, float blue, float fourthValue, float segmentInterval,
               int32_t quads, float halfWidth, float headAlpha, float tailAlpha);
    // Drops the ribbon; the next two ticks are skipped.
    void Clear();

    int32_t GetTriangleCount() const { return m_QuadCount * 2; }
    int32_t GetIndexDataSize() const { return m_QuadCount * 12; }
    // Each channel clamped to 0..1, so none spills into its neighbours.
    static uint32_t PackColor(float alpha, float red, float green, float blue);

    bool m_Ready = false;
    bool m_Expiring = false;
    float* m_AlphaTable = nullptr;
    int32_t m_DelayTicks = 0;
    int32_t m_MaxQuads = 20;
    float m_HalfWidth = 0.2f;
    float m_HeadAlpha = 1.0f;
    float m_TailAlpha = 0.1f;
    float m_SegmentInterval = 0.3f;
    int32_t m_QuadCount = 0;
    int32_t m_VertexCount = 0;
    float m_TimeSinceLastQuad = 0.0f;
    Vertex* m_Vertices = nullptr;
    uint16_t* m_Indices = nullptr;
    WeMaterial* m_Material = nullptr;
    float m_Red = 1.0f;
    float m_Green = 1.0f;
    float m_Blue = 1.0f;
    // Stored and copied only: nothing in the engine reads it.
    float m_FourthValue = 1.0f;

private:
    void FreeBuffers();
    void SetPair(int32_t quad, bool front, const D3DXVECTOR3& left, const D3DXVECTOR3& right);
    void SetPairAlpha(int32_t quad, bool front, float alpha);
    void EdgePoints(D3DXVECTOR3& left, D3DXVECTOR3& right) const;
};
