#pragma once
#include "Engine/ui/WeUIComponent.h"

class WeUIRect;
class WeUIText;

// A skinned three-state button with a caption; a click is the base MouseUp with its callback.
class WeUIButton : public WeUIComponent
{
public:
    WeUIButton(WeUIComponent* parent, const WeString& name, const WeString& caption, const WeString& skinName, float x,
               float y, float width, float height);
    ~WeUIButton() override;

    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    void Render() override;

    WeUIText* m_Caption = nullptr;
    WeUIRect* m_Skin = nullptr;
};
