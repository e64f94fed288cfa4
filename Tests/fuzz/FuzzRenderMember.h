#pragma once

// What the render readers' fuzz targets share: the fuzzed bytes go to one file in shared memory that every
// member name opens, and one recording device (no GPU) made before the first input, so that the leak check
// of each input does not count it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/gfx/GfxRecorder.h"

namespace FuzzRenderMember
{

inline std::string MemberPath(const char* tag)
{
    return "/dev/shm/we-fuzz-" + std::string(tag) + "-" + std::to_string(getpid()) + ".bin";
}

// The member file of this process, removed when the process exits so that runs leave nothing behind.
class MemberFile
{
public:
    explicit MemberFile(const char* tag) : m_Path(MemberPath(tag)) {}
    ~MemberFile() { std::remove(m_Path.c_str()); }
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

inline bool WriteMember(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    return true;
}

// A file system of one member: whatever name is asked for opens the fuzzed file.
class OneMember : public WeVirtualFileSystem
{
public:
    explicit OneMember(const std::string& path) : m_Path(path) {}

    bool ListPackages(WeStringList&) override { return false; }
    bool ListFolders(WeStringList&, const WeString&, int32_t) override { return false; }
    bool ListFiles(WeStringList&, const WeString&, const WeString&, int32_t) override { return false; }
    bool Exists(const WeString&, int32_t) override { return true; }
    bool Open(const WeString&, int32_t) override { return m_Stream.Open(m_Path.c_str()); }
    bool Close() override
    {
        m_Stream.Close();
        return true;
    }
    bool Create(const WeString&, int32_t, bool) override { return false; }
    bool EndCreate() override { return false; }
    int64_t GetSize() override { return m_Stream.GetSize(); }
    WeFileStream* GetStream() override { return &m_Stream; }
    bool Delete(const WeString&, int32_t) override { return false; }

private:
    std::string m_Path;
    WeFileStream m_Stream;
};

// The recording device the render device adopts; null when it cannot be made.
inline IDirect3DDevice9* CreateRecordingDevice()
{
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr)
        return nullptr;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 16;
    pp.BackBufferHeight = 16;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.Windowed = TRUE;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device)))
        return nullptr;
    g_RenderDevice.AdoptDevice(device);
    return device;
}

// What every render reader's target starts with: its member file and the recording device, both made once
// (call Get from LLVMFuzzerInitialize, so that the device exists before the first input's leak check).
class Target
{
public:
    static const Target& Get(const char* tag)
    {
        static const Target target(tag);
        return target;
    }
    // Writes the input past its first byte (which picks the reader) as the member; false when there is no
    // device or nothing to write.
    bool TakeMember(const uint8_t* data, size_t size) const
    {
        return size >= 1 && m_Device != nullptr && WriteMember(m_File.Path(), data + 1, size - 1);
    }
    const std::string& MemberPath() const { return m_File.Path(); }

private:
    explicit Target(const char* tag) : m_File(tag), m_Device(CreateRecordingDevice()) {}

    MemberFile m_File;
    IDirect3DDevice9* m_Device;
};

}  // namespace FuzzRenderMember
