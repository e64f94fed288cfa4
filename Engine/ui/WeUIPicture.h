#pragma once
#include "Engine/ui/WeUIComponent.h"

class WeTexture;

// A whole texture over the widget's rectangle in its colour; without a texture neither it nor its children
// draw.
class WeUIPicture : public WeUIComponent
{
public:
    WeUIPicture(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);

    void Render() override;

    WeTexture* m_Texture = nullptr;
};
