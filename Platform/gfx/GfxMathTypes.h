#pragma once
// The two math-layer records the device interface takes.
#include "Platform/math/D3DMATRIX.h"
#include "Platform/math/D3DVIEWPORT9.h"
