#pragma once

class IDirect3D9;
class IDirect3DDevice9;

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

private:
    IDirect3D9* m_D3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
};
