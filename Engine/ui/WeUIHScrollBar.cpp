#include "Engine/ui/WeUIHScrollBar.h"

WeUIHScrollBar::WeUIHScrollBar(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIScrollBar(parent, name, false, x, y, width, height)
{
}
