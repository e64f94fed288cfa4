#pragma once
#include "Platform/physics/NxTypes.h"

// Tags and limits of the layer's own cooked byte formats (triangle meshes and cloth meshes):
// tag, vertex count, triangle count, vertices (3 floats each), triangles (3 x u32 each).
namespace NxCookedFormat {
constexpr NxU32 kTriangleMeshTag = 0x314D5457;  // "WTM1"
constexpr NxU32 kClothMeshTag = 0x314D4357;     // "WCM1"
constexpr NxU32 kMaxCount = 1u << 24;
}  // namespace NxCookedFormat
