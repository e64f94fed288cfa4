#pragma once
#include "Engine/ui/WeUIComponent.h"

// A plain rectangle in the widget's effective colour (a fade over a movie, a tinted panel).
class WeUIColorFrame : public WeUIComponent
{
public:
    WeUIColorFrame(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);

    void Render() override;
};
