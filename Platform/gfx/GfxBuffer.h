#pragma once
// The storage behind a vertex or index buffer: a CPU copy of every byte and the backend's buffer object.
#include <cstddef>
#include <vector>

#include "Platform/gfx/D3D9Types.h"

class GfxDevice;

struct GfxBuffer
{
    bool index = false;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    DWORD fvf = 0;                      // vertex buffers
    D3DFORMAT format = D3DFMT_UNKNOWN;  // index buffers: INDEX16 or INDEX32
    std::vector<uint8_t> bytes;
    GfxDevice* device = nullptr;  // null once the device is gone
    uint32_t glName = 0;
    bool locked = false;
    UINT lockOffset = 0, lockSize = 0;
    bool lockDiscard = false;
};
