#pragma once

#include <cstdint>
#include <string>
#include <vector>

class IDirect3D9;
class IDirect3DDevice9;
class WeFileSystem;

// The recording device a content tool writes through (meshes need one for their tangents): no GPU, no
// window. Open adopts it as the render device; Close (or the destructor) releases the managers' resources
// and the device again.
class ContentDevice
{
public:
    ContentDevice() = default;
    ~ContentDevice();
    ContentDevice(const ContentDevice&) = delete;
    ContentDevice& operator=(const ContentDevice&) = delete;

    bool Open();
    void Close();

    // A picture painted by a tool (ARGB, rows top to bottom) written into the tree as the texture member
    // `name`: 2-D, A8R8G8B8, one level, so that an atlas keeps its exact pixels. False when it cannot be made.
    bool WriteSingleLevelTexture(WeFileSystem& tree, const std::string& name, int width, int height,
                                 const std::vector<uint32_t>& argb);

private:
    IDirect3D9* m_D3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
};
