#pragma once
#include <cmath>

#include "Engine/foundation/WeConfig.h"

// A float setting of the craft, bound once: the entry's reference and its default. A value that is not
// finite reads as the default, so no size, rate or time of the craft becomes NaN.
class CTuberSetting
{
public:
    CTuberSetting(const char* key, float defaultValue)
        : m_Value(GetConfigFloat(key, defaultValue)), m_Default(defaultValue)
    {
    }
    float Get() const { return std::isfinite(m_Value) ? m_Value : m_Default; }

private:
    float& m_Value;
    float m_Default;
};
