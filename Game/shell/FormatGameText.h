#pragma once
#include <cstdint>
#include <initializer_list>

#include "Engine/foundation/WeString.h"

// One value for a translated format: an integer (for "%d" or "%i"), a text (for "%s") or a number (for
// "%f" or "%.<n>f").
struct GameTextArg
{
    enum Kind : int32_t
    {
        Int,
        Text,
        Float
    };
    GameTextArg(int32_t value) : kind(Int), intValue(value) {}
    GameTextArg(const char* value) : kind(Text), textValue(value) {}
    GameTextArg(const WeString& value) : kind(Text), textValue(value) {}
    GameTextArg(float value) : kind(Float), floatValue(value) {}
    GameTextArg(double value) : kind(Float), floatValue(static_cast<float>(value)) {}

    Kind kind;
    int32_t intValue = 0;
    float floatValue = 0.0f;
    WeString textValue;
};

// A translation used as a format, safely: each conversion of the expected kind takes the next value in order
// ("%d" and "%i" an integer, "%s" a text, "%f" and "%.<n>f" a number; n at most 9), "%%" is one '%', and every
// other '%' sequence, or one whose value is of another kind or missing, is copied as it stands.
WeString FormatGameText(const WeString& format, std::initializer_list<GameTextArg> args);
