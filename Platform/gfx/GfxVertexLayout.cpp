#include "Platform/gfx/GfxVertexLayout.h"

#include <algorithm>

int GfxVertexLayout::Location(BYTE usage, BYTE usageIndex)
{
    switch (usage)
    {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT: return usageIndex == 0 ? WE_ATTR_POSITION : -1;
    case D3DDECLUSAGE_BLENDWEIGHT: return usageIndex == 0 ? WE_ATTR_BLENDWEIGHT : -1;
    case D3DDECLUSAGE_BLENDINDICES: return usageIndex == 0 ? WE_ATTR_BLENDINDICES : -1;
    case D3DDECLUSAGE_NORMAL: return usageIndex == 0 ? WE_ATTR_NORMAL : -1;
    case D3DDECLUSAGE_PSIZE: return usageIndex == 0 ? WE_ATTR_PSIZE : -1;
    case D3DDECLUSAGE_COLOR: return usageIndex < 2 ? WE_ATTR_COLOR0 + usageIndex : -1;
    case D3DDECLUSAGE_TANGENT: return usageIndex == 0 ? WE_ATTR_TANGENT : -1;
    case D3DDECLUSAGE_BINORMAL: return usageIndex == 0 ? WE_ATTR_BINORMAL : -1;
    case D3DDECLUSAGE_TEXCOORD: return usageIndex < 7 ? WE_ATTR_TEXCOORD0 + usageIndex : -1;
    default: return -1;
    }
}

UINT GfxVertexLayout::TypeSize(D3DDECLTYPE type)
{
    switch (type)
    {
    case D3DDECLTYPE_FLOAT1: return 4;
    case D3DDECLTYPE_FLOAT2: return 8;
    case D3DDECLTYPE_FLOAT3: return 12;
    case D3DDECLTYPE_FLOAT4: return 16;
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_UBYTE4N:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_FLOAT16_2: return 4;
    case D3DDECLTYPE_SHORT4:
    case D3DDECLTYPE_SHORT4N:
    case D3DDECLTYPE_USHORT4N:
    case D3DDECLTYPE_FLOAT16_4: return 8;
    default: return 0;
    }
}

bool GfxVertexLayout::FromElements(const D3DVERTEXELEMENT9* elements)
{
    attributes.clear();
    pretransformed = false;
    fvfStride = 0;
    if (!elements)
        return false;
    for (int i = 0; i < MAXD3DDECLLENGTH; ++i)
    {
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream == 0xFF)
            return true;
        if (TypeSize(D3DDECLTYPE(e.Type)) == 0)
            return false;
        int location = Location(e.Usage, e.UsageIndex);
        if (location < 0)
            return false;
        if (e.Stream != 0)
            continue;  // the engine draws from one stream
        if (e.Usage == D3DDECLUSAGE_POSITIONT)
            pretransformed = true;
        attributes.push_back({location, e.Offset, D3DDECLTYPE(e.Type)});
    }
    return false;  // no end marker within the longest declaration
}

bool GfxVertexLayout::FromFvf(DWORD fvf)
{
    attributes.clear();
    pretransformed = false;
    UINT offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK)
    {
    case D3DFVF_XYZ:
        attributes.push_back({WE_ATTR_POSITION, 0, D3DDECLTYPE_FLOAT3});
        offset = 12;
        break;
    case D3DFVF_XYZRHW:
        attributes.push_back({WE_ATTR_POSITION, 0, D3DDECLTYPE_FLOAT4});
        pretransformed = true;
        offset = 16;
        break;
    case D3DFVF_XYZW:
        attributes.push_back({WE_ATTR_POSITION, 0, D3DDECLTYPE_FLOAT4});
        offset = 16;
        break;
    case 0: break;
    default:
    {
        // XYZB1..XYZB5: position and 1..5 blend weights (the last may be indices).
        DWORD code = fvf & D3DFVF_POSITION_MASK;
        if (code < D3DFVF_XYZB1 || code > D3DFVF_XYZB5)
            return false;
        UINT weights = (code - D3DFVF_XYZB1) / 2 + 1;
        attributes.push_back({WE_ATTR_POSITION, 0, D3DDECLTYPE_FLOAT3});
        offset = 12;
        attributes.push_back(
            {WE_ATTR_BLENDWEIGHT, offset, D3DDECLTYPE(D3DDECLTYPE_FLOAT1 + (weights > 4 ? 3 : weights - 1))});
        offset += 4 * weights;
        break;
    }
    }
    if (fvf & D3DFVF_NORMAL)
    {
        attributes.push_back({WE_ATTR_NORMAL, offset, D3DDECLTYPE_FLOAT3});
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE)
    {
        attributes.push_back({WE_ATTR_PSIZE, offset, D3DDECLTYPE_FLOAT1});
        offset += 4;
    }
    if (fvf & D3DFVF_DIFFUSE)
    {
        attributes.push_back({WE_ATTR_COLOR0, offset, D3DDECLTYPE_D3DCOLOR});
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR)
    {
        attributes.push_back({WE_ATTR_COLOR1, offset, D3DDECLTYPE_D3DCOLOR});
        offset += 4;
    }
    UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8)
        return false;
    for (UINT i = 0; i < sets; ++i)
    {
        UINT code = (fvf >> (16 + 2 * i)) & 3;
        static const D3DDECLTYPE Types[4] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                             D3DDECLTYPE_FLOAT1};
        D3DDECLTYPE type = Types[code];
        if (i < 7)
            attributes.push_back({int(WE_ATTR_TEXCOORD0 + i), offset, type});
        offset += TypeSize(type);
    }
    fvfStride = offset;
    return true;
}

UINT GfxVertexLayout::Extent() const
{
    UINT extent = 0;
    for (const GfxVertexAttribute& a : attributes)
        extent = std::max(extent, a.offset + TypeSize(a.type));
    return extent;
}

UINT GfxFvfVertexSize(DWORD fvf)
{
    GfxVertexLayout layout;
    return layout.FromFvf(fvf) ? layout.fvfStride : 0;
}
