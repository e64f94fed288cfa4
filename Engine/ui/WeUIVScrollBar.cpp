#include "Engine/ui/WeUIVScrollBar.h"

WeUIVScrollBar::WeUIVScrollBar(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIScrollBar(parent, name, true, x, y, width, height)
{
}
