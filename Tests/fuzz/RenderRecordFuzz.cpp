// Feeds arbitrary bytes to the render readers: the first byte picks the reader, the rest is the member.
//   even: a texture record (WeTexture::ReadFromStream, the minimum level from the byte), then the texture is
//         locked and written again as it would be by the tools;
//   odd:  a compiled-effect member (WeShader::Load through a file system holding just that member).
// Both run on the recording backend, so everything but drawing is exercised without a GPU.
#include <cstdint>
#include <string>

#include "Tests/fuzz/FuzzRenderMember.h"

#include "Engine/render/WeShader.h"
#include "Engine/render/WeTexture.h"

namespace
{
const char* const Tag = "render";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzRenderMember::Target::Get(Tag);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzRenderMember::Target& target = FuzzRenderMember::Target::Get(Tag);
    if (!target.TakeMember(data, size))
        return 0;

    FuzzRenderMember::OneMember vfs(target.MemberPath());
    if ((data[0] & 1) == 0)
    {
        WeTexture texture;
        if (texture.Load(&vfs, "Fuzz.Texture.Record", true, data[0] >> 1 & 3, data[0] >> 3 & 3, data[0] >> 5))
        {
            void* bits = nullptr;
            int32_t total = 0, pitch = 0;
            if (texture.Lock(&bits, &total, &pitch))
                texture.Unlock();
            texture.ShrinkTo(4);
        }
    }
    else
    {
        WeShader shader;
        if (shader.Load(&vfs, "Fuzz.Shader.Member"))
            shader.SetTechnique(0x7FF, true);
    }
    return 0;
}
