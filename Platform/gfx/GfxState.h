#pragma once
// Everything the device tracks between calls: render, sampler and stage states, transforms, bindings.
// The backend reads it at each draw; the recording backend copies it into the draw's record.
#include <cstddef>

#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxVertexLayout.h"

class GfxImage;
class GfxSurface;
struct GfxBuffer;

struct GfxViewport
{
    DWORD X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0.0f, MaxZ = 1.0f;
};

struct GfxState
{
    DWORD renderStates[WE_D3DRS_COUNT];
    DWORD samplerStates[WE_GFX_STAGES][WE_D3DSAMP_COUNT];
    DWORD stageStates[8][WE_D3DTSS_COUNT];
    IDirect3DBaseTexture9* textures[WE_GFX_STAGES];
    GfxSurface* renderTargets[4];
    GfxSurface* depthStencil;
    GfxViewport viewport;
    RECT scissor;
    float world[16], view[16], projection[16];
    DWORD fvf;
    IDirect3DVertexDeclaration9* declaration;
    IDirect3DVertexBuffer9* stream0;
    UINT stream0Offset, stream0Stride;
    IDirect3DIndexBuffer9* indices;
    IDirect3DVertexShader9* vertexShader;
    IDirect3DPixelShader9* pixelShader;
    uint32_t program;  // an effect pass's program, 0 for the built-in fixed-function ones

    // Direct3D's defaults; the depth test starts on only with an automatic depth buffer.
    void SetDefaults(bool autoDepth);
};

// One draw as the backend sees it: the vertex layout, where the vertices and indices are, and the counts.
struct GfxDraw
{
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    UINT vertexCount = 0;  // vertices the draw reads (from firstVertex on)
    const GfxVertexLayout* layout = nullptr;
    UINT stride = 0;
    // Vertices: from a buffer at byte offset, or from user memory.
    GfxBuffer* vertexBuffer = nullptr;
    UINT vertexOffset = 0;  // byte offset of vertex 0 (stream offset + base vertex x stride)
    const uint8_t* userVertices = nullptr;
    size_t userVertexBytes = 0;
    // Indices, when indexed: from a buffer or from user memory.
    bool indexed = false;
    UINT indexSize = 2;
    GfxBuffer* indexBuffer = nullptr;
    UINT firstIndex = 0;
    const uint8_t* userIndices = nullptr;
    UINT indexCount = 0;
    UINT firstVertex = 0;  // non-indexed draws: the first vertex
};

// Vertex count of a primitive count of a type (0 for an unknown type, or a count beyond 32 bits).
UINT GfxPrimitiveVertexCount(D3DPRIMITIVETYPE type, UINT primitives);
