#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeShader;

// One full-screen effect of the post-process chain: its shader, the sampler settings it wants per stage
// and how the chain routes its passes through the ping-pong targets.
class WePostProcessEffect
{
public:
    WePostProcessEffect() = default;
    virtual ~WePostProcessEffect() = default;
    WePostProcessEffect(const WePostProcessEffect&) = delete;
    WePostProcessEffect& operator=(const WePostProcessEffect&) = delete;

    // Once loaded the effect stays loaded. A name without an effect file leaves it unloaded (the manager's
    // fallback would draw the whole frame with the default effect).
    bool Load(const WeString& name);
    // Sets "PPParam" and commits; nothing when not loaded.
    void ApplyParameters();

    int32_t m_Loaded = 0;
    WeShader* m_Shader = nullptr;
    int32_t m_Reserved = 0;
    // Filter codes of WeRenderDevice::SetSamplerFilter (0 leaves the stage alone).
    int32_t m_Filter[8] = {};
    // 0 leave, 1 clamp, 2 wrap, 3 border.
    int32_t m_Address[8] = {};
    uint8_t m_Enabled = 1;
    float m_PPParam = 0.0f;
    uint8_t m_DownSampling = 0;    // passes before the last go into the half and quarter targets
    uint8_t m_Refraction = 0;      // passes go through the stencil-masked refraction target
    uint8_t m_FilmGrainQuad = 0;   // drawn with the film-grain quad
    uint8_t m_BlendFromPass1 = 0;  // alpha blending on from the second pass
};
