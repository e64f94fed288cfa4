#include "Engine/ui/WeUILabel.h"

#include "Engine/render/WeCanvas.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"

WeUILabel::WeUILabel(WeUIComponent* parent, const WeString& name, const WeString& text, float x, float y, float width,
                     float height, bool shadow, float shadowDX, float shadowDY, const float shadowColour[4])
    : WeUIComponent(parent, name), m_ShadowFlag(shadow ? 1 : 0)
{
    m_Text = new WeUIText(this, text, 0, 0, width, height);
    m_Text->SetOffsetX(4.0f / 1024.0f);
    m_Text->m_Shadow = m_ShadowFlag;
    if (shadowColour != nullptr)
        m_Text->SetShadow(shadowColour[0], shadowColour[1], shadowColour[2], shadowColour[3], shadowDX, shadowDY);
    m_Text->m_Format = WeUITextCentreY | WeUITextWrap;
    m_NoBackground = 1;
    WeUIComponent::SetRect(x, y, width, height);
}

WeUILabel::~WeUILabel()
{
    delete m_Text;
}

void WeUILabel::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    if (m_Text != nullptr)
        m_Text->UpdatePixelRect();
}

void WeUILabel::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    if (!m_NoBackground)
        g_Canvas.DrawQuad(
            GetScreenX(), GetScreenY(), m_PixelWidth, m_PixelHeight,
            WeUIPackArgb(m_EffectiveColour[0], m_EffectiveColour[1], m_EffectiveColour[2], m_EffectiveColour[3]),
            nullptr, 1);
    if (!m_Text->m_Text.IsEmpty())
        m_Text->Draw();
    WeUIComponent::Render();
}
