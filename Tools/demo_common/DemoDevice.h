#pragma once
// A drawing demo's device: its own window (off screen with SDL_VIDEODRIVER=offscreen) of the command
// line's size, the frame loop, and the last frame read back and written to the PNG when one was asked for.
#include <cstdint>
#include <functional>
#include <vector>

#include "Platform/gfx/D3D9.h"
#include "Tools/demo_common/DemoOptions.h"

class DemoDevice
{
public:
    explicit DemoDevice(const DemoOptions& options) : m_Options(options) {}
    ~DemoDevice();
    DemoDevice(const DemoDevice&) = delete;
    DemoDevice& operator=(const DemoDevice&) = delete;

    // False (having said why on stderr) when there is no device to draw with; the demo exits with 1 then.
    bool open();
    IDirect3DDevice9* device() const { return m_Device; }

    // Draws the frames and returns the exit status. `draw` does everything from Clear to EndScene and returns
    // false when part of the frame failed; `check` (when given) looks at the last frame's X8R8G8B8 pixels,
    // empty when they could not be read, before they go to the PNG, and returns false when they are wrong.
    int run(const std::function<bool(int frame)>& draw,
            const std::function<bool(const std::vector<uint32_t>& pixels)>& check = nullptr);

private:
    const DemoOptions& m_Options;
    IDirect3D9* m_D3d = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
};
