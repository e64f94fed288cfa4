#include "Engine/ui/WeUIProgressBar.h"

#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"

WeUIProgressBar::WeUIProgressBar(WeUIComponent* parent, const WeString& name, float x, float y, float width,
                                 float height)
    : WeUIComponent(parent, name)
{
    m_LeftRect = new WeUIRect(this, WeString("ProgressBarLeft"), 0, 0, 0, 0, false);
    m_MiddleRect = new WeUIRect(this, WeString("ProgressBarMiddle"), 0, 0, 0, 0, false);
    m_RightRect = new WeUIRect(this, WeString("ProgressBarRight"), 0, 0, 0, 0, false);
    m_LitSegment = new WeUIRect(this, WeString("ProgressBarLitSegment"), 0, 0, 0, 0, false);
    SetRect(x, y, width, height);
    SetValue(0.0f);
}

WeUIProgressBar::~WeUIProgressBar()
{
    delete m_LeftRect;
    delete m_MiddleRect;
    delete m_RightRect;
    delete m_LitSegment;
}

void WeUIProgressBar::SetRect(float x, float y, float width, float height)
{
    float left = float(m_LeftRect->m_Normal.width) / 1024.0f;
    float right = float(m_RightRect->m_Normal.width) / 1024.0f;
    m_MiddleWidth = width - left - right;
    m_LeftRect->SetRect(0, 0, left, height);
    m_MiddleRect->SetRect(left, 0, m_MiddleWidth, height);
    m_RightRect->SetRect(left + m_MiddleWidth, 0, right, height);
    m_LitSegment->SetRect(left, 0, m_MiddleWidth * m_Value, height);
    WeUIComponent::SetRect(x, y, width, height);
}

void WeUIProgressBar::SetValue(float value)
{
    m_Value = value;
    m_LitSegment->SetRect(m_LitSegment->m_X, m_LitSegment->m_Y, m_MiddleWidth * value, m_LitSegment->m_Height);
}

void WeUIProgressBar::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    for (WeUIRect* r : {m_LeftRect, m_MiddleRect, m_RightRect, m_LitSegment})
        r->UpdatePixelRect();
}

void WeUIProgressBar::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    for (WeUIRect* r : {m_LeftRect, m_MiddleRect, m_RightRect, m_LitSegment})
        r->Draw();
    WeUIComponent::Render();
}
