#pragma once
// The triangles of .x meshes, ready for a device mesh: polygons fanned, one vertex per (position, normal)
// pair, texture coordinates carried from the position, one attribute per triangle.
#include <cstdint>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/XFileData.h"

struct XFileVertex
{
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    D3DXVECTOR2 uv;
};

struct XFileGeometry
{
    std::vector<XFileVertex> vertices;
    std::vector<uint32_t> indices;     // three per triangle
    std::vector<uint32_t> attributes;  // one per triangle
    // The vertices made from position p are positionStart[p] .. positionStart[p + 1] - 1 (for skin weights).
    std::vector<uint32_t> positionStart;
    uint32_t materialCount = 0;  // attribute ids run below it

    // From one mesh as read. Vertices keep the order of their positions; a position whose faces give it
    // different normals becomes several vertices, in the order the faces first use them. Without normals in
    // the file each position gets the normalised sum of its faces' (area-weighted) normals. False for a mesh
    // the reader would not give (an index out of range, lists of the wrong length).
    bool Build(const XFileMesh& mesh);
    // Appends another geometry, transformed (normals by the inverse transpose), its attributes after ours.
    void Append(const XFileGeometry& other, const D3DXMATRIX& transform);
    // The mesh's skin weights (after Build from it) moved from positions to the vertices made from them.
    // False when they would give more than 64 influences per vertex on average: a damaged or hostile text.
    bool SkinBones(const XFileMesh& mesh, std::vector<XFileSkinWeights>* bones) const;
    // Orders the triangles by attribute (stable) and gives one range per attribute that has triangles.
    std::vector<D3DXATTRIBUTERANGE> SortByAttribute();
};
