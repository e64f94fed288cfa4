// Feeds arbitrary bytes to the model readers: the first byte picks the reader, the rest is the member.
// 0: a model file (WeModel::Load from the packages, then animated, bounded, cloned and given presets);
// 1: an actor's light-map block (WeLightMap::Load, then saved again).
// Everything runs on the recording backend, without a GPU.
#include <cstdint>
#include <string>

#include "Tests/fuzz/FuzzRenderMember.h"

#include "Engine/render/WeLightMap.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeTextureManager.h"

namespace
{
const char* const Tag = "models";
const std::string& OutputPath()
{
    static const FuzzRenderMember::MemberFile file("models-out");
    return file.Path();
}
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
    switch (data[0] % 2)
    {
    case 0:
    {
        WeModel* model = new WeModel();
        model->m_Kind = WeModel::KindHierarchy;
        if (model->Load(&vfs, "Fuzz.Models.Any", true))
        {
            D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
            model->Update(1.0f, &identity, true);
            model->Update(1.0f, &identity, false);
            model->UpdateBounds(true);
            WeModel* clone = g_ModelManager.Clone(model);
            delete model;
            clone->Update(2.0f, &identity, false);
            clone->UpdateBounds(false);
            delete clone;
        }
        else
            delete model;
        break;
    }
    default:
    {
        WeFileStream in;
        if (!in.Open(target.MemberPath().c_str()))
            break;
        WeLightMap map;
        map.Load(in);
        WeFileStream out;
        if (out.Create(OutputPath().c_str()))
            map.Save(out);
        break;
    }
    }
    g_TextureManager.ReleaseAll(true);
    return 0;
}
