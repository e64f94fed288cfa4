#pragma once
#include <cstdint>
#include <vector>

// A request for a screen post-process effect: which slot's effect, its mode, a value (mostly a duration) and
// the data carried with it (the asking craft, or none).
struct CPostProcessRequest
{
    int32_t effect = 0;
    int32_t mode = 0;
    float value = 0.0f;
    const void* data = nullptr;
};

// Filled during the frame by whoever wants an effect; the race drains it in order.
extern std::vector<CPostProcessRequest> g_PostProcessRequests;

void RequestPostProcessEffect(int32_t effect, int32_t mode, float value, const void* data);
