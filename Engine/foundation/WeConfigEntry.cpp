#include "Engine/foundation/WeConfigEntry.h"

void WeConfigEntry::ParseText()
{
    intValue = text.ToInt(10);
    boolValue = intValue != 0;
    floatValue = text.ToFloat(0.0f);
}
