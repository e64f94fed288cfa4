#pragma once
#include "Engine/ui/WeUIScrollBar.h"

// A vertical scroll bar: up and down buttons, thumb and track.
class WeUIVScrollBar : public WeUIScrollBar
{
public:
    WeUIVScrollBar(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);

    void ScrollUp(float amount) { SetPosition(m_Position - amount); }
    void ScrollDown(float amount) { SetPosition(m_Position + amount); }
};
