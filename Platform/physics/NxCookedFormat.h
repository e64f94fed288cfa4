#pragma once
#include <cmath>
#include <vector>

#include "Platform/physics/NxVec3.h"

class NxStream;

// Tags and limits of the layer's own cooked byte formats (triangle meshes and cloth meshes):
// tag, vertex count, triangle count, vertices (3 floats each), triangles (3 x u32 each), end marker.
namespace NxCookedFormat
{
constexpr NxU32 TriangleMeshTag = 0x314D5457;  // "WTM1"
constexpr NxU32 ClothMeshTag = 0x314D4357;     // "WCM1"
// Last in both formats: a stream cut short reads zeros, which would still pass for points and indices.
constexpr NxU32 EndTag = 0x444E4557;  // "WEND"
constexpr NxU32 MaxCount = 1u << 24;
// A point that is not finite spoils the bounds of the whole mesh, so neither format holds one.
inline bool finite(const NxVec3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}
// Reads one mesh of either format after checking its tag; false on a wrong tag or end marker, absurd
// counts, an index out of range or a point that is not finite.
bool readMesh(const NxStream& stream, NxU32 tag, std::vector<NxVec3>* vertices, std::vector<NxU32>* indices);
}  // namespace NxCookedFormat
