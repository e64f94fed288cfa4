#pragma once
// Reads the effect text format (README.md beside this file) into FxEffectData.
#include <string>
#include <string_view>

#include "Platform/gfx_d3dx/FxEffectData.h"

class FxParser
{
public:
    // False with "line N: what" in `error` on any fault; `out` is then incomplete and must be dropped.
    static bool Parse(std::string_view text, FxEffectData* out, std::string* error);
};
