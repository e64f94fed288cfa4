#include "Engine/ui/WeUIButton.h"

#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"

WeUIButton::WeUIButton(WeUIComponent* parent, const WeString& name, const WeString& caption, const WeString& skinName,
                       float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    m_Skin = new WeUIRect(this, skinName, 0, 0, width, height, true);
    m_Caption = new WeUIText(this, caption, 0, 0, width, height);
    m_FadeSpeed = 5.0f;
    SetRect(x, y, width, height);
}

WeUIButton::~WeUIButton()
{
    delete m_Caption;
    delete m_Skin;
}

void WeUIButton::SetRect(float x, float y, float width, float height)
{
    m_Skin->SetRect(0, 0, width, height);
    m_Caption->SetRect(0, 0, width, height);
    WeUIComponent::SetRect(x, y, width, height);
}

void WeUIButton::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_Skin->UpdatePixelRect();
    m_Caption->UpdatePixelRect();
}

void WeUIButton::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    m_Skin->Draw();
    m_Caption->Draw();
    WeUIComponent::Render();
}
