#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// One configuration value: its text as written and the readings derived from it. Getters hand out
// references to the readings, which stay valid for the life of the process.
class WeConfigEntry
{
public:
    // Derives the integer, boolean and float readings from the text (C locale, whatever the
    // process locale is).
    void ParseText();

    bool fromFile = false;  // a configuration file set it
    WeString text;
    bool hasValue = false;  // a file or a getter's default gave it a value
    int32_t intValue = 0;
    bool boolValue = false;
    float floatValue = 0.0f;
};
