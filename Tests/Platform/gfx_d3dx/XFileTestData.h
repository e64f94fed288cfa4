#pragma once
// .x contents for the tests, built as records and written with XFileWriter; a test allocator that records
// what the hierarchy loader hands it.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/XFileData.h"
#include "Platform/gfx_d3dx/XFileWriter.h"

inline D3DXMATRIX IdentityMatrix()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

inline D3DXMATRIX TranslationMatrix(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

// A unit quad in the z = 0 plane as one four-corner face, facing -z, with texture coordinates.
inline XFileMesh QuadMesh(const std::string& name = "Quad")
{
    XFileMesh mesh;
    mesh.name = name;
    mesh.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    mesh.faces = {{0, 1, 2, 3}};
    mesh.normals = {{0, 0, -1}};
    mesh.normalFaces = {{0, 0, 0, 0}};
    mesh.uvs = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    return mesh;
}

// A cube of 8 shared positions and six four-corner faces (clockwise seen from outside). Flat: one normal
// per face, so each position carries three normals; smooth: one normal per position.
inline XFileMesh CubeMesh(bool flat, const std::string& name = "Cube")
{
    XFileMesh mesh;
    mesh.name = name;
    for (int i = 0; i < 8; ++i)
        mesh.positions.push_back({(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f});
    mesh.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    if (flat)
    {
        mesh.normals = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
        for (uint32_t f = 0; f < 6; ++f)
            mesh.normalFaces.push_back({f, f, f, f});
    }
    else
    {
        for (const D3DXVECTOR3& p : mesh.positions)
            mesh.normals.push_back(p / D3DXVec3Length(&p));
        mesh.normalFaces = mesh.faces;
    }
    return mesh;
}

inline XFileMaterial Material(float r, float g, float b, const std::string& texture = "")
{
    XFileMaterial m;
    m.diffuse = D3DXCOLOR(r, g, b, 1.0f);
    m.power = 8.0f;
    m.specular = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
    m.emissive = D3DXVECTOR3(0.0f, 0.0f, 0.1f);
    m.texture = texture;
    return m;
}

inline std::string Written(const XFileData& data)
{
    std::string text, error;
    EXPECT_TRUE(XFileWriter::Write(data, &text, &error)) << error;
    return text;
}

// Records the frames and containers the loader asks for; keeps meshes and skins with a reference, as an
// allocator should, and counts what is still alive.
class TestAllocator : public ID3DXAllocateHierarchy
{
public:
    struct ContainerInfo
    {
        std::vector<D3DXMATERIAL> materials;
        std::vector<std::string> textures;
        std::vector<DWORD> adjacency;
    };

    HRESULT CreateFrame(LPCSTR name, D3DXFRAME** frame) override
    {
        if (failFrameAt >= 0 && framesCreated == failFrameAt)
            return E_FAIL;
        auto* f = new D3DXFRAME{};
        f->Name = Copy(name);
        D3DXMatrixIdentity(&f->TransformationMatrix);
        *frame = f;
        ++framesCreated;
        ++liveFrames;
        return D3D_OK;
    }
    HRESULT CreateMeshContainer(LPCSTR name, const D3DXMESHDATA* data, const D3DXMATERIAL* materials,
                                const D3DXEFFECTINSTANCE* effects, DWORD count, const DWORD* adjacency,
                                ID3DXSkinInfo* skin, D3DXMESHCONTAINER** container) override
    {
        *container = nullptr;
        if (failContainerAt >= 0 && containersCreated == failContainerAt)
            return E_FAIL;
        EXPECT_EQ(data->Type, D3DXMESHTYPE_MESH);
        auto* c = new D3DXMESHCONTAINER{};
        c->Name = Copy(name);
        c->MeshData = *data;
        data->pMesh->AddRef();
        c->NumMaterials = count;
        ContainerInfo& info = infos[c];
        for (DWORD i = 0; i < count; ++i)
        {
            info.materials.push_back(materials[i]);
            info.textures.push_back(materials[i].pTextureFilename ? materials[i].pTextureFilename : "");
            EXPECT_EQ(effects[i].pEffectFilename, nullptr);
        }
        info.adjacency.assign(adjacency, adjacency + data->pMesh->GetNumFaces() * 3);
        if (skin)
        {
            skin->AddRef();
            c->pSkinInfo = skin;
        }
        *container = c;
        ++containersCreated;
        ++liveContainers;
        return D3D_OK;
    }
    HRESULT DestroyFrame(D3DXFRAME* frame) override
    {
        delete[] frame->Name;
        delete frame;
        --liveFrames;
        return D3D_OK;
    }
    HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* c) override
    {
        delete[] c->Name;
        c->MeshData.pMesh->Release();
        if (c->pSkinInfo)
            c->pSkinInfo->Release();
        infos.erase(c);
        delete c;
        --liveContainers;
        return D3D_OK;
    }

    int framesCreated = 0, containersCreated = 0, liveFrames = 0, liveContainers = 0;
    int failFrameAt = -1, failContainerAt = -1;
    std::map<D3DXMESHCONTAINER*, ContainerInfo> infos;

private:
    static char* Copy(LPCSTR name)
    {
        const char* s = name ? name : "";
        char* out = new char[std::strlen(s) + 1];
        std::strcpy(out, s);
        return out;
    }
};
