#pragma once
// What every drawing demo does with its last frame: read the back buffer, compare pixels, write a PNG.
#include <cstdint>
#include <vector>

#include "Platform/gfx/D3D9.h"

// The back buffer as X8R8G8B8 pixels, top row first; empty when there is no device or it cannot be read.
std::vector<uint32_t> DemoReadBackBuffer(IDirect3DDevice9* device, UINT width, UINT height);

// An RGB PNG of ARGB pixels; a short write or a failed close (a full disk) counts as failure too.
bool DemoWritePng(const char* path, UINT width, UINT height, const std::vector<uint32_t>& argb);

// Each colour channel within 3 of the expected one (software rasterisers round differently).
bool DemoNearPixel(uint32_t pixel, uint32_t expected);
