#pragma once
#include <cstdint>

#include "Engine/ui/WeUIComponent.h"

class WeUIRect;

// A box that toggles on every release over it, whichever button, before its MouseUp callback runs so that
// the callback sees the new state. Screens read and set m_Checked directly.
class WeUICheckBox : public WeUIComponent
{
public:
    WeUICheckBox(WeUIComponent* parent, const WeString& name, const WeString& skinName, float x, float y, float width,
                 float height);
    ~WeUICheckBox() override;

    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    int32_t OnMouseUp(int32_t button) override;
    void Render() override;

    uint8_t m_Checked = 0;
    WeUIRect* m_NormalRect = nullptr;
    WeUIRect* m_MarkRect = nullptr;
};
