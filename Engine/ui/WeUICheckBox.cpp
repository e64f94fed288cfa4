#include "Engine/ui/WeUICheckBox.h"

#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"

WeUICheckBox::WeUICheckBox(WeUIComponent* parent, const WeString& name, const WeString& skinName, float x, float y,
                           float width, float height)
    : WeUIComponent(parent, name)
{
    m_NormalRect = new WeUIRect(this, skinName + "Normal", 0, 0, width, height, false);
    m_MarkRect = new WeUIRect(this, skinName + "Mark", 0, 0, width, height, false);
    SetRect(x, y, width, height);
}

WeUICheckBox::~WeUICheckBox()
{
    delete m_NormalRect;
    delete m_MarkRect;
}

void WeUICheckBox::SetRect(float x, float y, float width, float height)
{
    m_NormalRect->SetRect(0, 0, width, height);
    m_MarkRect->SetRect(0, 0, width, height);
    WeUIComponent::SetRect(x, y, width, height);
}

void WeUICheckBox::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_NormalRect->UpdatePixelRect();
    m_MarkRect->UpdatePixelRect();
}

int32_t WeUICheckBox::OnMouseUp(int32_t button)
{
    m_Checked = m_Checked ? 0 : 1;
    return WeUIComponent::OnMouseUp(button);
}

void WeUICheckBox::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    (m_Checked ? m_MarkRect : m_NormalRect)->Draw();
    WeUIComponent::Render();
}
