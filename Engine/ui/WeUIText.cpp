#include "Engine/ui/WeUIText.h"

#include <cmath>

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Platform/math/D3DXCOLOR.h"

uint32_t WeUIPackArgb(float r, float g, float b, float a)
{
    return D3DXCOLOR(r, g, b, a);
}

WeUIText::WeUIText(WeUIComponent* owner, const WeString& text, float x, float y, float width, float height)
    : m_Owner(owner), m_Text(text), m_Face("*")
{
    UpdateFont();
    SetRect(x, y, width, height);
}

void WeUIText::SetRect(float x, float y, float width, float height)
{
    m_X = x;
    m_Y = y;
    m_Width = width;
    m_Height = height;
    UpdatePixelRect();
}

void WeUIText::SetOffsetX(float offsetX)
{
    m_OffsetX = offsetX;
    m_OffsetPixelX = g_UIMain.ToPixelX(offsetX);
}

void WeUIText::SetShadow(float r, float g, float b, float a, float dx, float dy)
{
    m_ShadowColour[0] = r;
    m_ShadowColour[1] = g;
    m_ShadowColour[2] = b;
    m_ShadowColour[3] = a;
    m_ShadowDX = dx;
    m_ShadowDY = dy;
    UpdatePixelRect();
}

void WeUIText::UpdateFont()
{
    m_Font = g_UIMain.GetFont(m_Size, m_Face);
}

void WeUIText::UpdatePixelRect()
{
    m_PixelX = g_UIMain.ToPixelX(m_X);
    m_PixelY = g_UIMain.ToPixelY(m_Y);
    m_PixelWidth = g_UIMain.ToPixelX(m_X + m_Width) - m_PixelX;
    m_PixelHeight = g_UIMain.ToPixelY(m_Y + m_Height) - m_PixelY;
    m_OffsetPixelX = g_UIMain.ToPixelX(m_OffsetX);
    m_OffsetPixelY = g_UIMain.ToPixelY(m_OffsetY);
    m_ShadowPixelDX = g_UIMain.ToPixelX(m_ShadowDX);
    m_ShadowPixelDY = g_UIMain.ToPixelY(m_ShadowDY);
}

void WeUIText::GetExtent(float* width, float* height)
{
    int32_t size[2] = {0, 0};
    if (m_Font != nullptr)
    {
        if (m_Format & WeUITextWrap)
            m_Font->MeasureText(m_Text, size, g_UIMain.ToPixelX(m_X + m_Width) - g_UIMain.ToPixelX(m_X), true);
        else
            m_Font->MeasureText(m_Text, size, 0, false);
    }
    if (width != nullptr)
        *width = g_UIMain.FromPixelX(size[0]);
    if (height != nullptr)
        *height = g_UIMain.FromPixelY(size[1]);
}

void WeUIText::Draw()
{
    float a = m_Owner != nullptr ? m_Owner->m_EffectiveColour[3] : 1.0f;
    int32_t ownerX = m_Owner != nullptr ? m_Owner->GetScreenX() : g_UIMain.ToScreenX(0);
    int32_t ownerY = m_Owner != nullptr ? m_Owner->GetScreenY() : g_UIMain.ToScreenY(0);
    m_DrawX = ownerX + m_OffsetPixelX + m_PixelX;
    m_DrawY = ownerY + m_OffsetPixelY + m_PixelY;
    m_DrawWidth = m_PixelWidth;
    m_DrawHeight = m_PixelHeight;
    if (m_Font == nullptr)
        return;
    if (m_Shadow)
    {
        m_ShadowDrawX = m_DrawX + m_ShadowPixelDX;
        m_ShadowDrawY = m_DrawY + m_ShadowPixelDY;
        m_ShadowDrawWidth = m_DrawWidth;
        m_ShadowDrawHeight = m_DrawHeight;
        g_Canvas.DrawText(m_Font, m_Text, m_ShadowDrawX, m_ShadowDrawY, m_ShadowDrawWidth, m_ShadowDrawHeight,
                          WeUIPackArgb(m_ShadowColour[0], m_ShadowColour[1], m_ShadowColour[2], m_ShadowColour[3] * a),
                          m_Format, 1.0f);
    }
    uint32_t argb = WeUIPackArgb(m_Colour[0], m_Colour[1], m_Colour[2], m_Colour[3] * a);
    if (m_Outline)
        g_Canvas.DrawTextOutlined(
            m_Font, m_Text, m_DrawX, m_DrawY, m_DrawWidth, m_DrawHeight, argb,
            WeUIPackArgb(m_OutlineColour[0], m_OutlineColour[1], m_OutlineColour[2], m_OutlineColour[3] * a), m_Format,
            1.0f);
    else
        g_Canvas.DrawText(m_Font, m_Text, m_DrawX, m_DrawY, m_DrawWidth, m_DrawHeight, argb, m_Format, 1.0f);
}
