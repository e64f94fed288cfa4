#include "Engine/render/WeMeshHierarchy.h"

#include <cstring>

#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/math/D3DXMatrixFunctions.h"

char* WeCopyName(const char* name)
{
    if (name == nullptr)
        return nullptr;
    const size_t length = std::strlen(name);
    char* copy = new char[length + 1];
    std::memcpy(copy, name, length + 1);
    return copy;
}

namespace
{

void CopySkin(WeMeshContainerRecord* container, ID3DXSkinInfo* skin)
{
    if (skin == nullptr)
        return;
    skin->AddRef();
    container->pSkinInfo = skin;
    const DWORD bones = skin->GetNumBones();
    container->boneOffsets.resize(bones);
    container->boneMatrices.assign(bones, nullptr);
    for (DWORD i = 0; i < bones; ++i)
    {
        const D3DXMATRIX* offset = skin->GetBoneOffsetMatrix(i);
        if (offset != nullptr)
            container->boneOffsets[i] = *offset;
        else
            D3DXMatrixIdentity(&container->boneOffsets[i]);
    }
}

WeMeshContainerRecord* NewContainer()
{
    WeMeshContainerRecord* container = new WeMeshContainerRecord();
    D3DXMESHCONTAINER& plain = *container;
    plain = D3DXMESHCONTAINER{};
    return container;
}

}  // namespace

HRESULT WeMeshHierarchy::CreateFrame(LPCSTR name, D3DXFRAME** newFrame)
{
    if (newFrame == nullptr)
        return E_FAIL;
    *newFrame = nullptr;
    if (name != nullptr && name[0] != '\0')
        m_LastName = name;
    WeFrameRecord* frame = new WeFrameRecord();
    D3DXFRAME& plain = *frame;
    plain = D3DXFRAME{};
    frame->Name = WeCopyName(m_LastName.c_str());
    D3DXMatrixIdentity(&frame->TransformationMatrix);
    frame->modelFrame = new WeModelFrame();
    frame->modelFrame->m_Frame = frame;
    *newFrame = frame;
    return D3D_OK;
}

HRESULT WeMeshHierarchy::CreateMeshContainer(LPCSTR name, const D3DXMESHDATA* meshData, const D3DXMATERIAL*,
                                             const D3DXEFFECTINSTANCE*, DWORD numMaterials, const DWORD*,
                                             ID3DXSkinInfo* skinInfo, D3DXMESHCONTAINER** newMeshContainer)
{
    if (newMeshContainer == nullptr)
        return E_FAIL;
    *newMeshContainer = nullptr;
    if (name != nullptr && name[0] != '\0')
        m_LastName = name;
    if (meshData == nullptr || meshData->Type != D3DXMESHTYPE_MESH || meshData->pMesh == nullptr)
        return E_FAIL;

    WeMeshContainerRecord* container = NewContainer();
    container->Name = WeCopyName(m_LastName.c_str());
    // The .x materials are not used: the model file names the materials by preset.
    container->NumMaterials = numMaterials;
    ID3DXMesh* internal = nullptr;
    if (FAILED(meshData->pMesh->CloneMesh(D3DXMESH_MANAGED, WeMesh::InternalDeclaration(), g_RenderDevice.GetDevice(),
                                          &internal)) ||
        internal == nullptr)
    {
        DestroyMeshContainer(container);
        return E_FAIL;
    }
    container->MeshData.Type = D3DXMESHTYPE_MESH;
    container->MeshData.pMesh = internal;
    internal->AddRef();  // the engine mesh holds the other reference
    container->mesh = std::make_shared<WeMesh>();
    container->mesh->SetMesh(internal, true);
    if (!container->mesh->ComputeTangents())
    {
        DestroyMeshContainer(container);
        return E_FAIL;
    }
    CopySkin(container, skinInfo);
    *newMeshContainer = container;
    return D3D_OK;
}

HRESULT WeMeshHierarchy::DestroyFrame(D3DXFRAME* frameToFree)
{
    if (frameToFree == nullptr)
        return D3D_OK;
    WeFrameRecord* frame = static_cast<WeFrameRecord*>(frameToFree);
    delete[] frame->Name;
    delete frame->modelFrame;
    delete frame;
    return D3D_OK;
}

HRESULT WeMeshHierarchy::DestroyMeshContainer(D3DXMESHCONTAINER* meshContainerToFree)
{
    if (meshContainerToFree == nullptr)
        return D3D_OK;
    WeMeshContainerRecord* container = static_cast<WeMeshContainerRecord*>(meshContainerToFree);
    delete[] container->Name;
    delete[] container->pAdjacency;
    if (container->MeshData.pMesh != nullptr)
        container->MeshData.pMesh->Release();
    if (container->pSkinInfo != nullptr)
        container->pSkinInfo->Release();
    delete container;
    return D3D_OK;
}

WeMeshContainerRecord* WeMeshHierarchy::CloneContainer(const WeMeshContainerRecord& other)
{
    WeMeshContainerRecord* container = NewContainer();
    container->Name = WeCopyName(other.Name);
    container->NumMaterials = other.NumMaterials;
    container->MeshData.Type = other.MeshData.Type;
    container->MeshData.pMesh = other.MeshData.pMesh;
    if (container->MeshData.pMesh != nullptr)
        container->MeshData.pMesh->AddRef();
    container->mesh = other.mesh;
    if (other.pSkinInfo != nullptr)
    {
        ID3DXSkinInfo* skin = nullptr;
        if (SUCCEEDED(other.pSkinInfo->Clone(&skin)) && skin != nullptr)
            container->pSkinInfo = skin;
    }
    container->boneOffsets = other.boneOffsets;
    container->boneMatrices.assign(other.boneMatrices.size(), nullptr);
    return container;
}
