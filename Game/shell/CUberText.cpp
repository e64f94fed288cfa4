#include "Game/shell/CUberText.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeFont.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Platform/system/SysRandom.h"

uint8_t g_UberTextRowFree[CUberText::MessageRowCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

namespace
{

WeFont* DefaultFont()
{
    return g_Game.m_Font24;
}

// A time that is not a number or below 0 would hold a text forever or run it backwards.
float SaneTime(float seconds)
{
    return seconds >= 0.0f ? seconds : 0.0f;
}

// A fraction of the screen to pixels; a position that is not a number or absurdly far goes off the screen
// rather than overflowing.
int32_t ToPixel(float fraction, int32_t size)
{
    float v = fraction * float(size);
    if (!(v > -1.0e6f && v < 1.0e6f))
        return -1000000;
    return int32_t(v);
}

int32_t CountCodePoints(const WeString& text)
{
    int32_t count = 0;
    for (int32_t pos = 0; pos < text.Length(); pos = text.NextUtf8Pos(pos))
        ++count;
    return count;
}

}  // namespace

CUberText::CUberText(const WeString& text, float x, float y, int32_t inStyle, int32_t outStyle)
    : m_InStyle(ResolveStyle(inStyle)), m_OutStyle(ResolveStyle(outStyle)), m_Font(DefaultFont()), m_X(x), m_Y(y),
      m_Text(text), m_ShownText(text), m_DrawnX(x), m_DrawnY(y)
{
    Measure();
}

CUberText::CUberText(const WeString& text, int32_t inStyle, int32_t outStyle, WeFont* font)
    : m_InStyle(ResolveStyle(inStyle)), m_OutStyle(ResolveStyle(outStyle)), m_Text(text), m_ShownText(text)
{
    for (int32_t i = 0; i < MessageRowCount; ++i)
    {
        if (g_UberTextRowFree[i])
        {
            g_UberTextRowFree[i] = 0;
            m_Row = i;
            break;
        }
    }
    if (font != nullptr)
    {
        m_Font = font;
        m_DefaultFont = 0;
    }
    else
        m_Font = DefaultFont();
    if (m_Row < 0)
    {
        m_Finished = 1;
        return;
    }
    m_Y = RowY(m_Row);
    Measure();
    m_X = 0.5f - m_Width / 2.0f;
    m_DrawnX = m_X;
    m_DrawnY = m_Y;
}

CUberText::~CUberText()
{
    // A placed text, and a message that found no row, hold none.
    if (m_Row >= 0 && m_Row < MessageRowCount)
        g_UberTextRowFree[m_Row] = 1;
}

int32_t CUberText::ResolveStyle(int32_t style)
{
    if (style != RandomStyle)
        return style;
    int32_t picked = SysRandom::Scaled(6) + 1;
    return picked == 6 ? 106 : picked;
}

void CUberText::Measure()
{
    m_Width = 0.0f;
    m_Height = 0.0f;
    if (m_Font == nullptr || g_ScreenSize.width <= 0 || g_ScreenSize.height <= 0)
        return;
    int32_t size[2] = {0, 0};
    m_Font->GetTextExtent(m_Text, size, 0);
    m_Width = float(size[0]) / float(g_ScreenSize.width);
    m_Height = float(size[1]) / float(g_ScreenSize.height);
}

void CUberText::SetFont(WeFont* font)
{
    m_Font = font;
    m_DefaultFont = 0;
    Measure();
    // A message stays centred in its row in the new font.
    if (m_Row >= 0)
    {
        m_X = 0.5f - m_Width / 2.0f;
        if (m_State == StateIdle)
            m_DrawnX = m_X;
    }
}

void CUberText::SetColor(float r, float g, float b, float a)
{
    m_Color[0] = r;
    m_Color[1] = g;
    m_Color[2] = b;
    m_Color[3] = a;
}

void CUberText::SetScaleKey(float value, int32_t index)
{
    // Not-a-number becomes 0 as a negative value does.
    float v = value > 0.0f ? value : 0.0f;
    if (index >= 0 && index <= 3)
        m_ScaleKeys[index] = v;
    else if (index > 3)
        std::fill(std::begin(m_ScaleKeys), std::end(m_ScaleKeys), v);
}

void CUberText::ShowAtHome()
{
    m_DrawnX = m_X;
    m_DrawnY = m_Y;
    m_ShownText = m_Text;
    m_Alpha = 1.0f;
}

void CUberText::ShowPrefix(int32_t count)
{
    int32_t pos = 0;
    for (int32_t i = 0; i < count && pos < m_Text.Length(); ++i)
        pos = m_Text.NextUtf8Pos(pos);
    m_ShownText = m_Text.Substring(0, pos);
}

void CUberText::ApplyIn(float t)
{
    ShowAtHome();
    switch (m_InStyle)
    {
    case 1:
    case 207: m_Alpha = t; break;
    case 2:
        m_Alpha = t;
        m_DrawnY = 1.0f + (m_Y - 1.0f) * t;
        break;
    case 3:
        m_Alpha = t;
        m_DrawnY = -0.02f + (m_Y + 0.02f) * t;
        break;
    case 4:
        m_Alpha = t;
        m_DrawnX = 1.0f + (m_X - 1.0f) * t;
        break;
    case 5:
        m_Alpha = t;
        m_DrawnX = m_X * t;
        break;
    case 106: ShowPrefix(int32_t(float(CountCodePoints(m_Text)) * t)); break;
    case 206: m_Alpha = 1.0f - t; break;
    default: break;
    }
}

void CUberText::ApplyOut(float t)
{
    ShowAtHome();
    switch (m_OutStyle)
    {
    case 1: m_Alpha = 1.0f - t; break;
    case 2:
        m_Alpha = 1.0f - t;
        m_DrawnY = m_Y + (-0.02f - m_Y) * t;
        break;
    case 3:
        m_Alpha = 1.0f - t;
        m_DrawnY = m_Y + (1.02f - m_Y) * t;
        break;
    case 4:
        m_Alpha = 1.0f - t;
        m_DrawnX = m_X - m_X * t;
        break;
    case 5:
        m_Alpha = 1.0f - t;
        m_DrawnX = m_X + (1.0f - m_X) * t;
        break;
    case 106:
    {
        int32_t length = CountCodePoints(m_Text);
        ShowPrefix(length - int32_t(float(length) * t));
        break;
    }
    case 206:
        m_Alpha = t;
        m_Scale = t;
        break;
    default: break;
    }
}

void CUberText::EnterHold()
{
    m_State = StateHold;
    m_Elapsed = 0.0f;
    ShowAtHome();
}

void CUberText::EnterOut()
{
    m_State = StateOut;
    m_Elapsed = 0.0f;
}

void CUberText::Finish()
{
    m_State = StateDone;
    m_Elapsed = 0.0f;
    m_Finished = 1;
}

// A part that ends passes straight into the next one in the same frame, so that each part is on screen for
// exactly its time and a part of style 0 takes no frame at all.
void CUberText::Update()
{
    if (m_Finished)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    if (m_State == StateIdle)
    {
        m_State = StateIn;
        m_Elapsed = 0.0f;
        m_Scale = m_ScaleKeys[0];
        ApplyIn(0.0f);
    }
    if (m_State == StateIn)
    {
        if (m_InStyle == 0 || m_Elapsed >= SaneTime(m_InTime))
            EnterHold();
        else
        {
            float t = std::min(1.0f, m_Elapsed / m_InTime);
            m_Scale = m_ScaleKeys[0] + (m_ScaleKeys[1] - m_ScaleKeys[0]) * t;
            ApplyIn(t);
            m_Elapsed += dt;
            return;
        }
    }
    if (m_State == StateHold)
    {
        if (m_Elapsed >= SaneTime(m_HoldTime))
            EnterOut();
        else
        {
            float t = std::min(1.0f, m_Elapsed / m_HoldTime);
            m_Scale = m_ScaleKeys[1] + (m_ScaleKeys[2] - m_ScaleKeys[1]) * t;
            ShowAtHome();
            m_Elapsed += dt;
            return;
        }
    }
    if (m_State == StateOut)
    {
        if (m_OutStyle == 0 || m_Elapsed >= SaneTime(m_OutTime))
            Finish();
        else
        {
            float t = std::min(1.0f, m_Elapsed / m_OutTime);
            m_Scale = m_ScaleKeys[2] + (m_ScaleKeys[3] - m_ScaleKeys[2]) * t;
            ApplyOut(t);
            m_Elapsed += dt;
            return;
        }
    }
    if (m_State == StateDone)
        m_Finished = 1;
}

void CUberText::Draw()
{
    if (m_Finished || m_State == StateIdle || m_State == StateDone || m_Font == nullptr)
        return;
    // The packing clamps to 0..1, rounds, and takes a colour that is not a number as 0.
    uint32_t argb = uint32_t(D3DXCOLOR(m_Color[0], m_Color[1], m_Color[2], m_Color[3] * m_Alpha));
    int32_t x = ToPixel(m_DrawnX, g_ScreenSize.width);
    int32_t y = ToPixel(m_DrawnY, g_ScreenSize.height);
    if (m_Shadow)
        g_Canvas.DrawTextShadowed(m_Font, m_ShownText, x, y, 0, 0, argb, 0, m_Format, m_Scale);
    else
        g_Canvas.DrawText(m_Font, m_ShownText, x, y, 0, 0, argb, m_Format, m_Scale);
}
