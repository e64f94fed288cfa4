#include "Game/shell/CPostProcessSlots.h"

#include <vector>

#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Game/shell/CPostProcessRequests.h"

CPostProcessSlot g_PostProcessSlots[PostProcessSlotCount];

namespace
{
const char* ShaderOfKind(int32_t kind)
{
    switch (kind)
    {
    case 1:
    case 2:
    case 3: return "Shaders.PostProcess.Monochrome";
    case 4: return "Shaders.PostProcess.Wave";
    case 5: return "Shaders.PostProcess.Wave2";
    default: return nullptr;
    }
}

// An effect the chain no longer holds is not ours to delete (the chain may have destroyed it already).
void DropEffect(CPostProcessSlot& s)
{
    if (s.m_Effect != nullptr && g_PostProcess.RemoveEffect(s.m_Effect))
        delete s.m_Effect;
    s.m_Effect = nullptr;
}
}  // namespace

WePostProcessEffect* SetPostProcessSlot(int32_t slot, int32_t kind, float duration, const void* extra)
{
    if (slot < 0 || slot >= PostProcessSlotCount)
        return nullptr;
    CPostProcessSlot& s = g_PostProcessSlots[slot];
    s.m_Duration = duration;
    s.m_Extra = extra;
    if (kind != 0 && kind == s.m_Kind)
        return s.m_Effect;
    DropEffect(s);
    s.m_Kind = kind;
    if (kind == 0)
        s.m_Extra = nullptr;
    const char* shader = ShaderOfKind(kind);
    if (shader == nullptr)
        return nullptr;
    WePostProcessEffect* effect = new WePostProcessEffect();
    effect->Load(WeString(shader));
    effect->m_PPParam = kind == 1 ? 1.0f : 0.0f;
    for (int32_t stage = 0; stage < 2; ++stage)
    {
        effect->m_Filter[stage] = 2;
        effect->m_Address[stage] = 1;
    }
    s.m_Effect = effect;
    g_PostProcess.AddEffect(effect);
    s.m_Elapsed = 0.0f;
    return effect;
}

void UpdatePostProcessSlots()
{
    // A request made while the queue drains waits for the next update.
    std::vector<CPostProcessRequest> requests;
    requests.swap(g_PostProcessRequests);
    for (const CPostProcessRequest& r : requests)
        SetPostProcessSlot(r.effect, r.mode, r.value, r.data);

    const float dt = g_Timer.m_FrameDeltaF;
    for (int32_t i = 0; i < PostProcessSlotCount; ++i)
    {
        CPostProcessSlot& s = g_PostProcessSlots[i];
        // A slot parked at a duration of 0 or less stops the slots after it too.
        if (s.m_Duration <= 0.0f)
            break;
        if (s.m_Kind != 0)
            s.m_Elapsed += dt;
        if (s.m_Elapsed >= s.m_Duration)
        {
            if (s.m_Kind == 1)
                SetPostProcessSlot(i, 2, -1.0f, s.m_Extra);
            else
            {
                s.m_Duration = 0.0f;
                s.m_Extra = nullptr;
                DropEffect(s);
                s.m_Kind = 0;
            }
        }
        if (s.m_Effect != nullptr && s.m_Duration > 0.0f)
        {
            if (s.m_Kind == 1)
                s.m_Effect->m_PPParam = 1.0f - s.m_Elapsed / s.m_Duration;
            else if (s.m_Kind == 3)
                s.m_Effect->m_PPParam = s.m_Elapsed / s.m_Duration;
        }
    }
}

void ClearPostProcessSlots()
{
    g_PostProcessRequests.clear();
    for (int32_t i = 0; i < PostProcessSlotCount; ++i)
    {
        CPostProcessSlot& s = g_PostProcessSlots[i];
        DropEffect(s);
        s = CPostProcessSlot();
    }
}
