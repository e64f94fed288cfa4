#include "Engine/ui/WeUIColorFrame.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"

WeUIColorFrame::WeUIColorFrame(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    SetRect(x, y, width, height);
}

void WeUIColorFrame::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    g_Canvas.DrawQuad(
        GetScreenX(), GetScreenY(), m_PixelWidth, m_PixelHeight,
        WeUIPackArgb(m_EffectiveColour[0], m_EffectiveColour[1], m_EffectiveColour[2], m_EffectiveColour[3]), nullptr,
        1);
    WeUIComponent::Render();
}
