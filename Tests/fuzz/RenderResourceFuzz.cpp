// Feeds arbitrary bytes to the render resource readers: the first byte picks the reader, the rest is the
// member. 0: a material file (WeMaterial::Load, then animated in every mode and bound); 1: an actor's
// physics block (WePhysicModel::Load); 2: a mesh file (WeMesh::Load, then every subset drawn and every
// preset resolved).
// Everything runs on the recording backend, without a GPU.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Tests/fuzz/FuzzRenderMember.h"

#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WePhysicModel.h"

namespace
{
const char* const Tag = "resources";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A failed tangent computation shows a message box: on stderr, never on a display.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    FuzzRenderMember::Target::Get(Tag);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzRenderMember::Target& target = FuzzRenderMember::Target::Get(Tag);
    if (!target.TakeMember(data, size))
        return 0;

    FuzzRenderMember::OneMember vfs(target.MemberPath());
    switch (data[0] % 3)
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
    case 2:
    {
        WeMesh mesh;
        if (mesh.Load(&vfs, "Fuzz.Meshes.Any", true))
        {
            for (int32_t subset = 0; subset < mesh.m_SubsetCount; ++subset)
                mesh.DrawSubset(subset, 0.0f);
            mesh.SetPreset(WeMesh::AllPresets, true);
        }
        break;
    }
    default: break;
    }
    return 0;
}
