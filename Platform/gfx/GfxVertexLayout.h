#pragma once
// Vertex layouts: a declaration's elements or an FVF code, resolved to the fixed attribute location of each
// usage semantic that every GL program of this layer (built-in or effect) declares.
#include <vector>

#include "Platform/gfx/D3D9Types.h"

// Attribute locations, one per usage semantic.
enum GfxAttribute : int
{
    WE_ATTR_POSITION = 0,  // POSITION and POSITIONT
    WE_ATTR_BLENDWEIGHT = 1,
    WE_ATTR_BLENDINDICES = 2,
    WE_ATTR_NORMAL = 3,
    WE_ATTR_PSIZE = 4,
    WE_ATTR_COLOR0 = 5,
    WE_ATTR_COLOR1 = 6,
    WE_ATTR_TANGENT = 7,
    WE_ATTR_BINORMAL = 8,
    WE_ATTR_TEXCOORD0 = 9,  // TEXCOORD n is 9 + n, n = 0..6
    WE_ATTR_COUNT = 16
};

// The largest vertex a declaration may describe: every attribute location holding four floats. An element
// reaching past it is refused, so that a declaration cannot make the vertices it sizes absurdly large.
constexpr UINT GfxMaxVertexStride = WE_ATTR_COUNT * 16;

struct GfxVertexAttribute
{
    int location;
    UINT offset;
    D3DDECLTYPE type;
};

class GfxVertexLayout
{
public:
    std::vector<GfxVertexAttribute> attributes;  // stream 0 only
    bool pretransformed = false;                 // POSITIONT / XYZRHW: pixel coordinates
    UINT fvfStride = 0;                          // vertex size an FVF implies (0 for declarations)

    // False for an FVF this layer cannot draw (blend weights beyond position, more than 7 texture sets).
    bool FromFvf(DWORD fvf);
    // False for elements this layer cannot draw (an unknown type, a usage index without a location, an element
    // ending past GfxMaxVertexStride).
    bool FromElements(const D3DVERTEXELEMENT9* elements);
    // Bytes of one vertex the attributes read, from its start to the end of the last attribute.
    UINT Extent() const;
    static int Location(BYTE usage, BYTE usageIndex);
    static UINT TypeSize(D3DDECLTYPE type);
};

// The vertex size of an FVF code (0 when it is not valid).
UINT GfxFvfVertexSize(DWORD fvf);
