#pragma once
#include "Engine/ui/WeUIScrollBar.h"

// A horizontal scroll bar: left and right buttons, thumb and track.
class WeUIHScrollBar : public WeUIScrollBar
{
public:
    WeUIHScrollBar(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);

    void ScrollLeft(float amount) { SetPosition(m_Position - amount); }
    void ScrollRight(float amount) { SetPosition(m_Position + amount); }
};
