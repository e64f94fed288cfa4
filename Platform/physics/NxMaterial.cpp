#include "Platform/physics/NxMaterial.h"

#include <algorithm>

NxReal NxMaterial::combine(NxReal a, NxReal b, NxCombineMode mode)
{
    switch (mode)
    {
    case NX_CM_MIN: return std::min(a, b);
    case NX_CM_MULTIPLY: return a * b;
    case NX_CM_MAX: return std::max(a, b);
    default: return (a + b) * 0.5f;
    }
}
