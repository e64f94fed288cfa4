#pragma once
// ID3DXSkinInfo: the bones of a skinned mesh (name, offset matrix, influenced vertices and weights).
#include <string>
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class D3dxSkinInfo : public GfxRefCounted<ID3DXSkinInfo>
{
public:
    struct Bone
    {
        std::string name;
        D3DXMATRIX offset;
        std::vector<DWORD> vertices;
        std::vector<float> weights;
    };

    D3dxSkinInfo(DWORD vertices, std::vector<Bone> bones) : m_Vertices(vertices), m_Bones(std::move(bones)) {}

    DWORD GetNumVertices() override { return m_Vertices; }
    DWORD GetNumBones() override { return DWORD(m_Bones.size()); }
    LPCSTR GetBoneName(DWORD bone) override;
    D3DXMATRIX* GetBoneOffsetMatrix(DWORD bone) override;
    DWORD GetNumBoneInfluences(DWORD bone) override;
    HRESULT GetBoneInfluence(DWORD bone, DWORD* vertices, float* weights) override;
    HRESULT Clone(ID3DXSkinInfo** clone) override;

private:
    ~D3dxSkinInfo() override = default;

    DWORD m_Vertices;
    std::vector<Bone> m_Bones;
};
