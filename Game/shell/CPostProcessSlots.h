#pragma once
#include <cstdint>

class WePostProcessEffect;

// One timed full-screen effect of the race in the post-process chain.
struct CPostProcessSlot
{
    WePostProcessEffect* m_Effect = nullptr;  // owned while in the chain
    float m_Duration = 0.0f;                  // 0 or less: not running
    float m_Elapsed = 0.0f;
    int32_t m_Kind = 0;  // 0 none, 1 monochrome fading out, 2 monochrome, 3 monochrome fading in, 4 and 5 waves
    const void* m_Extra = nullptr;  // carried with the request (the asking craft)
};

constexpr int32_t PostProcessSlotCount = 4;
extern CPostProcessSlot g_PostProcessSlots[PostProcessSlotCount];

// Puts an effect of the kind into the slot (kind 0 frees it). A request with the slot's current non-zero kind
// changes only its duration and extra. Returns the slot's effect, or null.
WePostProcessEffect* SetPostProcessSlot(int32_t slot, int32_t kind, float duration, const void* extra);
// Once per race update: the queued requests in order, then the running slots by the frame time.
void UpdatePostProcessSlots();
// Every slot freed and the queued requests dropped (race start and end).
void ClearPostProcessSlots();
