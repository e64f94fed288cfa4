#include "Game/shell/CScreenEffects.h"

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMapHeader.h"

CScreenEffects g_ScreenEffects;

namespace
{
void SetTint(float red, float green, float blue)
{
    g_PostProcess.m_FlashColor[0] = red;
    g_PostProcess.m_FlashColor[1] = green;
    g_PostProcess.m_FlashColor[2] = blue;
}

// Some flashes fall below zero before they end: a negative strength would darken the picture.
void SetStrength(float strength)
{
    g_PostProcess.m_FlashColor[3] = strength > 0.0f ? strength : 0.0f;
}

void Finish(float normal)
{
    g_ScreenEffects.m_State = 0;
    SetStrength(0.0f);
    g_RenderDevice.m_BloomScale = normal;
}
}  // namespace

void GetMapBloomLevels(float& low, float& normal, float& high)
{
    const CMapHeader defaults;
    const float* levels = g_Game.m_Map != nullptr ? g_Game.m_Map->m_Header.m_BloomLevels : defaults.m_BloomLevels;
    low = levels[0];
    normal = levels[1];
    high = levels[2];
}

void ResetScreenEffects()
{
    g_ScreenEffects = CScreenEffects();
    SetStrength(0.0f);
    float low, normal, high;
    GetMapBloomLevels(low, normal, high);
    g_RenderDevice.m_BloomScale = normal;
}

void UpdateScreenEffects()
{
    CScreenEffects& e = g_ScreenEffects;
    const float dt = g_Timer.m_FrameDeltaF;
    if (e.m_State != e.m_LastState)
    {
        e.m_LastState = e.m_State;
        e.m_Clock = 0.0f;
    }
    e.m_Clock += dt;
    const float t = e.m_Clock;
    if (e.m_State < 1 || e.m_State > 12)
        return;
    float l, n, h;
    GetMapBloomLevels(l, n, h);
    float& bloom = g_RenderDevice.m_BloomScale;
    switch (e.m_State)
    {
    case 1:
        bloom = n + (t < 0.5f ? t * 16.0f : 8.0f - (t - 0.5f) * 2.0f);
        if (t >= 1.5f)
            e.m_State = 2;
        break;
    case 2:
        bloom = n + (1.0f - t) * 6.0f;
        if (t >= 1.0f)
            Finish(n);
        break;
    case 3:
    {
        float colour[3];
        GetPlayerTrailColour(colour);
        SetTint(colour[0], colour[1], colour[2]);
        SetStrength(t * 2.5f);
        if (t >= 0.2f)
            e.m_State = 4;
        break;
    }
    case 4:
        SetStrength(0.5f - t * 2.5f);
        if (t >= 0.2f)
            Finish(n);
        break;
    case 5:
        SetTint(1.0f, 1.0f, 0.0f);
        SetStrength(t * 2.0f);
        if (t >= 0.05f)
            e.m_State = 6;
        break;
    case 6:
        SetStrength(0.1f - t * 7.0f);
        if (t >= 0.05f)
            Finish(n);
        break;
    case 7:
    {
        float& v = e.m_PulseValue;
        const float g = e.m_PulseTarget;
        bool done = false;
        if (v < g)
        {
            v += dt * 3.3333333f;
            if (v >= g)
            {
                v = g;
                e.m_PulseTarget = 0.0f;
            }
        }
        else
        {
            v -= dt;
            if (v <= g)
            {
                v = g;
                done = true;
            }
        }
        bloom = v > 0.0f ? n + v * (h - n) : n + v * (n - l);
        if (done)
            Finish(n);
        break;
    }
    case 8:
    {
        float& v = e.m_PulseValue;
        const float g = e.m_PulseTarget;
        const float span = n < v ? h - n : n - l;
        bool done = false;
        if (v > g)
        {
            v -= span * dt * 5.0f;
            if (v <= g)
            {
                v = g;
                e.m_PulseTarget = 0.0f;
            }
        }
        else
        {
            v += span * dt * 5.0f;
            if (v >= g)
            {
                v = g;
                done = true;
            }
        }
        bloom = n + v;
        if (done)
            Finish(n);
        break;
    }
    case 9:
    case 11:
        if (e.m_State == 9)
            SetTint(1.0f, 1.0f, 1.0f);
        else
            SetTint(0.0f, 1.0f, 1.0f);
        SetStrength(t * 3.0f);
        if (t >= 0.1f)
            e.m_State += 1;
        break;
    case 10:
    case 12:
        SetStrength((1.0f - (t - 0.2f) * 5.0f) * 0.6f);
        if (t >= 0.2f)
            Finish(n);
        break;
    default: break;
    }
}

void GetPlayerTrailColour(float colour[3])
{
    const CTuber* player = g_Game.m_PlayerTuber;
    for (int32_t i = 0; i < 3; ++i)
        colour[i] = player != nullptr ? player->m_TrailColor[i] : 1.0f;
}
