#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

// Bounds over a run of vertex positions: the first position at pFirstPosition, each next one stride
// bytes further (the vertex size of an interleaved buffer). Both return false, writing nothing, for a
// null pointer or zero vertices.

// The smallest axis-aligned box holding every position.
bool D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, uint32_t numVertices, uint32_t stride, D3DXVECTOR3* pMin,
                            D3DXVECTOR3* pMax);
// Centre = the mean of the positions; radius = the largest distance of a position from that centre.
bool D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, uint32_t numVertices, uint32_t stride,
                               D3DXVECTOR3* pCenter, float* pRadius);
