#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeMesh;
class WeModelFrame;

// A D3DX frame that knows its model frame.
struct WeFrameRecord : public D3DXFRAME
{
    WeModelFrame* modelFrame;
};

// A D3DX mesh container with the engine mesh built from its mesh (shared by the containers of a model's
// clones: the last one to go deletes it) and a copy of the skin's bone offsets.
struct WeMeshContainerRecord : public D3DXMESHCONTAINER
{
    std::shared_ptr<WeMesh> mesh;
    std::vector<D3DXMATRIX> boneOffsets;
    std::vector<D3DXMATRIX*> boneMatrices;
};

// Builds the frames and mesh containers of a hierarchy while it loads, and destroys them again.
class WeMeshHierarchy : public ID3DXAllocateHierarchy
{
public:
    WeMeshHierarchy() = default;
    ~WeMeshHierarchy() override = default;

    HRESULT CreateFrame(LPCSTR name, D3DXFRAME** newFrame) override;
    HRESULT CreateMeshContainer(LPCSTR name, const D3DXMESHDATA* meshData, const D3DXMATERIAL* materials,
                                const D3DXEFFECTINSTANCE* effectInstances, DWORD numMaterials, const DWORD* adjacency,
                                ID3DXSkinInfo* skinInfo, D3DXMESHCONTAINER** newMeshContainer) override;
    HRESULT DestroyFrame(D3DXFRAME* frameToFree) override;
    HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* meshContainerToFree) override;

    // A container sharing the other's engine mesh and D3DX mesh, with its own copy of the skin.
    static WeMeshContainerRecord* CloneContainer(const WeMeshContainerRecord& other);

private:
    // Frames and containers without a name take the last name given.
    WeString m_LastName;
};

// The name as a new array (null for null).
char* WeCopyName(const char* name);
