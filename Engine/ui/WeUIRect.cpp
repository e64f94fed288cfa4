#include "Engine/ui/WeUIRect.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"

void DrawTextureMapEntry(int32_t x, int32_t y, int32_t width, int32_t height, const WeUITextureMapEntry& entry,
                         const float rgba[4], WeTexture* texture)
{
    g_Canvas.DrawQuadUV(x, y, width, height, entry.u0, entry.v0, entry.u1, entry.v1,
                        WeUIPackArgb(rgba[0], rgba[1], rgba[2], rgba[3]), texture, 1);
}

WeUIRect::WeUIRect(WeUIComponent* owner, const WeString& skinName, float x, float y, float width, float height,
                   bool multiState)
    : m_Owner(owner), m_MultiState(multiState ? 1 : 0), m_Texture(g_UIMain.m_SkinTexture)
{
    if (multiState)
    {
        m_Normal = g_UIMain.GetTextureMapEntry(skinName + "_Normal");
        m_Over = g_UIMain.GetTextureMapEntry(skinName + "_Over");
        m_Clicked = g_UIMain.GetTextureMapEntry(skinName + "_Clicked");
    }
    else
    {
        m_Normal = g_UIMain.GetTextureMapEntry(skinName);
    }
    SetRect(x, y, width, height);
}

void WeUIRect::SetRect(float x, float y, float width, float height)
{
    m_X = x;
    m_Y = y;
    m_Width = width;
    m_Height = height;
    UpdatePixelRect();
}

void WeUIRect::UpdatePixelRect()
{
    m_PixelX = g_UIMain.ToPixelX(m_X);
    m_PixelY = g_UIMain.ToPixelY(m_Y);
    m_PixelWidth = g_UIMain.ToPixelX(m_X + m_Width) - m_PixelX;
    m_PixelHeight = g_UIMain.ToPixelY(m_Y + m_Height) - m_PixelY;
}

void WeUIRect::SetPixelRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_PixelX = x;
    m_PixelY = y;
    m_PixelWidth = width;
    m_PixelHeight = height;
}

void WeUIRect::Draw()
{
    if (m_Owner == nullptr)
        return;
    m_DrawX = m_Owner->GetScreenX() + m_PixelX;
    m_DrawY = m_Owner->GetScreenY() + m_PixelY;
    m_DrawWidth = m_PixelWidth;
    m_DrawHeight = m_PixelHeight;
    DrawTextureMapEntry(m_DrawX, m_DrawY, m_DrawWidth, m_DrawHeight, m_Normal, m_Owner->m_EffectiveColour, m_Texture);
    if (m_MultiState)
    {
        DrawTextureMapEntry(m_DrawX, m_DrawY, m_DrawWidth, m_DrawHeight, m_Over, m_Owner->m_HoverColour, m_Texture);
        DrawTextureMapEntry(m_DrawX, m_DrawY, m_DrawWidth, m_DrawHeight, m_Clicked, m_Owner->m_PressColour, m_Texture);
    }
}
