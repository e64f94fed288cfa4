#include "Engine/ui/WeUIPicture.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"

WeUIPicture::WeUIPicture(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    SetRect(x, y, width, height);
}

void WeUIPicture::Render()
{
    if (!g_UIMain.ShouldDraw(this) || m_Texture == nullptr)
        return;
    g_Canvas.DrawQuad(
        GetScreenX(), GetScreenY(), m_PixelWidth, m_PixelHeight,
        WeUIPackArgb(m_EffectiveColour[0], m_EffectiveColour[1], m_EffectiveColour[2], m_EffectiveColour[3]), m_Texture,
        1);
    WeUIComponent::Render();
}
