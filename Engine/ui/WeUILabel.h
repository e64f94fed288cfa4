#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeUIText;

// A text, optionally over a plain quad in the widget's colour (combo boxes switch it on to highlight an
// item) and optionally with a drop shadow.
class WeUILabel : public WeUIComponent
{
public:
    WeUILabel(WeUIComponent* parent, const WeString& name, const WeString& text, float x, float y, float width,
              float height, bool shadow, float shadowDX, float shadowDY, const float shadowColour[4]);
    ~WeUILabel() override;

    void UpdateLayout() override;
    void Render() override;

    WeUIText* m_Text = nullptr;
    uint8_t m_NoBackground = 1;
    uint8_t m_ShadowFlag = 0;
};
