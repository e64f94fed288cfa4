// Feeds arbitrary bytes to the render resource readers: the first byte picks the reader, the rest is the
// member. 0: a material file (WeMaterial::Load, then animated in every mode and bound); 1: an actor's
// physics block (WePhysicModel::Load).
// Everything runs on the recording backend, without a GPU.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WePhysicModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/gfx/GfxRecorder.h"

namespace
{

const std::string& MemberPath()
{
    static const std::string path = "/dev/shm/we-fuzz-resources-" + std::to_string(getpid()) + ".bin";
    return path;
}

// A file system of one member: whatever name is asked for opens the fuzzed file.
class OneMember : public WeVirtualFileSystem
{
public:
    bool ListPackages(WeStringList&) override { return false; }
    bool ListFolders(WeStringList&, const WeString&, int32_t) override { return false; }
    bool ListFiles(WeStringList&, const WeString&, const WeString&, int32_t) override { return false; }
    bool Exists(const WeString&, int32_t) override { return true; }
    bool Open(const WeString&, int32_t) override { return m_Stream.Open(MemberPath().c_str()); }
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
    WeFileStream m_Stream;
};

IDirect3D9* g_D3D = nullptr;
IDirect3DDevice9* g_Device = nullptr;

}  // namespace

// The recording device lives for the whole run, made before the first input so that the leak check of each
// input does not count it.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    GfxSelectBackend(GfxBackendKind::Recording);
    g_GfxRecorder.logging = false;
    g_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (g_D3D == nullptr)
        return 0;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 16;
    pp.BackBufferHeight = 16;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.Windowed = TRUE;
    if (FAILED(g_D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &g_Device)))
        g_Device = nullptr;
    else
        g_RenderDevice.AdoptDevice(g_Device);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || g_Device == nullptr)
        return 0;
    std::FILE* file = std::fopen(MemberPath().c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    OneMember vfs;
    switch (data[0] % 2)
    {
    case 0:
    {
        WeMaterial material;
        if (material.Load(&vfs, "Fuzz.Materials.Any"))
        {
            for (int32_t mode = 0; mode <= 8; ++mode)
            {
                material.m_AnimationMode = mode;
                material.Animate(float(data[0]) * 1000.0f);
            }
            material.BindTextures(0x7F, nullptr, 0);
        }
        break;
    }
    default: break;
    }
    return 0;
}
