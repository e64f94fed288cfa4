#pragma once
#include "Platform/gfx/D3D9.h"

// The full-screen quads of post-processing and the sky box. The vertex buffer is the caller's: each
// Fill locks it with D3DLOCK_DISCARD and writes four vertices, each Draw draws them as a strip of two
// triangles.

// Position xyz, uv (stride 20).
bool FillClipSpaceQuad(IDirect3DVertexBuffer9* vb);
// Pre-transformed xyzw, uv with the half-texel offset (stride 24).
bool FillScreenQuad(IDirect3DVertexBuffer9* vb, float width, int height);
// Position xyz and two uv sets for a target of width x height (stride 28); the second set maps a
// sub-rectangle a x b of it.
bool FillScaledQuad(IDirect3DVertexBuffer9* vb, float a, float b, float width, int height);
void SetQuadStates();
void DrawScreenQuad(IDirect3DVertexBuffer9* vb);
void DrawScaledQuad(IDirect3DVertexBuffer9* vb);
void DrawClipSpaceQuad(IDirect3DVertexBuffer9* vb);
