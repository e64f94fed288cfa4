#pragma once
#include "Engine/ui/WeUIComponent.h"

class WeUIRect;

// A bar of left cap, stretched middle and right cap with a lit segment over the middle, lit by the value's
// fraction (not clamped: screens pass 0..1).
class WeUIProgressBar : public WeUIComponent
{
public:
    WeUIProgressBar(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);
    ~WeUIProgressBar() override;

    void SetRect(float x, float y, float width, float height) override;
    void SetValue(float value);
    void UpdateLayout() override;
    void Render() override;

    WeUIRect* m_LeftRect = nullptr;
    WeUIRect* m_MiddleRect = nullptr;
    WeUIRect* m_RightRect = nullptr;
    WeUIRect* m_LitSegment = nullptr;
    float m_Value = 0.0f;
    float m_MiddleWidth = 0.0f;
};
