#pragma once
#include <cstdint>

#include "Engine/render/WeBaseRenderer.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeCamera;
class WeRenderTarget;
class WeTexture;
class WeWorld;

// Keeps a small environment cube of the scene around a point the game sets each frame, redrawn every few
// frames by the reflection quality; reflective materials bind it as their environment map.
class WeReflectionRenderer : public WeBaseRenderer
{
public:
    static constexpr int32_t QualityCount = 5;
    // Per quality: frames skipped between renders, cube size.
    static const int32_t SkipFrames[QualityCount];
    static const int32_t CubeSizes[QualityCount];

    WeReflectionRenderer();

    void Release() override;
    void OnLostDevice() override;
    void OnResetDevice() override;
    virtual bool InitWithQuality(int32_t quality);
    virtual void PrepareFrame() {}
    virtual void Render(WeWorld* world, WeCamera* camera);

    // Stored only: the cube follows the quality at the next reset. Clamped to the tables' range.
    void SetQuality(int32_t quality);
    void SetPosition(const D3DXVECTOR3& position);
    // The cube as a texture, null when there is none.
    WeTexture* GetCubeTexture() const { return m_Texture; }
    bool IsRendering() const { return m_Rendering != 0; }

    WeRenderTarget* m_Cube = nullptr;
    WeTexture* m_Texture = nullptr;
    WeCamera* m_Camera = nullptr;
    int32_t m_Quality = 2;
    int32_t m_FrameCounter = 100;  // above any skip count: the first Render draws at once
    uint8_t m_Rendering = 0;

private:
    void DeleteTextureWrapper();
};

extern WeReflectionRenderer g_ReflectionRenderer;
