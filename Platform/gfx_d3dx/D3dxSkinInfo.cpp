#include "Platform/gfx_d3dx/D3dxSkinInfo.h"

#include <algorithm>

LPCSTR D3dxSkinInfo::GetBoneName(DWORD bone)
{
    return bone < m_Bones.size() ? m_Bones[bone].name.c_str() : nullptr;
}

D3DXMATRIX* D3dxSkinInfo::GetBoneOffsetMatrix(DWORD bone)
{
    return bone < m_Bones.size() ? &m_Bones[bone].offset : nullptr;
}

DWORD D3dxSkinInfo::GetNumBoneInfluences(DWORD bone)
{
    return bone < m_Bones.size() ? DWORD(m_Bones[bone].vertices.size()) : 0;
}

HRESULT D3dxSkinInfo::GetBoneInfluence(DWORD bone, DWORD* vertices, float* weights)
{
    if (bone >= m_Bones.size() || !vertices || !weights)
        return D3DERR_INVALIDCALL;
    std::copy(m_Bones[bone].vertices.begin(), m_Bones[bone].vertices.end(), vertices);
    std::copy(m_Bones[bone].weights.begin(), m_Bones[bone].weights.end(), weights);
    return D3D_OK;
}

HRESULT D3dxSkinInfo::Clone(ID3DXSkinInfo** clone)
{
    if (!clone)
        return D3DERR_INVALIDCALL;
    *clone = new D3dxSkinInfo(m_Vertices, m_Bones);
    return D3D_OK;
}
