#include "Engine/render/WeModelManager.h"

#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeModel.h"

WeModelManager g_ModelManager;

WeModel* WeModelManager::Load(const WeString& name, int32_t preset)
{
    return Load(WeVirtualFileSystem::Instance(), name, preset);
}

WeModel* WeModelManager::Load(WeVirtualFileSystem* vfs, const WeString& name, int32_t preset)
{
    if (name.IsEmpty() || vfs == nullptr)
        return nullptr;
    WeModel* model = nullptr;
    if (vfs->Exists(name, MeshFileType))
    {
        model = new WeModel();
        model->m_Kind = WeModel::KindMesh;
        model->m_Name = name;
        model->m_Mesh = g_MeshManager.GetMesh(name, false);
        if (model->m_Mesh == nullptr)
        {
            delete model;
            return nullptr;
        }
    }
    else if (vfs->Exists(name, WeModel::FileType))
    {
        model = new WeModel();
        model->m_Kind = WeModel::KindHierarchy;
        if (!model->Load(vfs, name, true))
        {
            delete model;
            return nullptr;
        }
    }
    else
        return nullptr;
    model->SetPreset(preset);
    return model;
}

WeModel* WeModelManager::Clone(WeModel* model)
{
    if (model == nullptr)
        return nullptr;
    WeModel* copy = new WeModel();
    copy->m_Kind = model->m_Kind;
    copy->CopyFrom(model);
    return copy;
}
