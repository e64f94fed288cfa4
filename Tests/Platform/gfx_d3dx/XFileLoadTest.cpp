#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/XFileReader.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"
#include "Tests/Platform/gfx_d3dx/XFileTestData.h"
#include "Tests/support/ScratchFolder.h"

namespace
{

struct Vertex
{
    D3DXVECTOR3 position, normal;
    D3DXVECTOR2 uv;
};

class XFileDevice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
        ASSERT_NE(t->device, nullptr);
        dev = t->device;
    }
    void TearDown() override { t.reset(); }
    std::string File(const std::string& name, const std::string& text)
    {
        std::filesystem::path path = scratch.Root() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    static std::vector<Vertex> Vertices(ID3DXMesh* mesh)
    {
        EXPECT_EQ(mesh->GetNumBytesPerVertex(), sizeof(Vertex));
        std::vector<Vertex> out(mesh->GetNumVertices());
        void* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::memcpy(out.data(), data, out.size() * sizeof(Vertex));
        mesh->UnlockVertexBuffer();
        return out;
    }
    static std::vector<uint32_t> Indices(ID3DXMesh* mesh)
    {
        std::vector<uint32_t> out(mesh->GetNumFaces() * 3);
        void* data = nullptr;
        EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = (mesh->GetOptions() & D3DXMESH_32BIT) ? static_cast<uint32_t*>(data)[i]
                                                           : static_cast<uint16_t*>(data)[i];
        mesh->UnlockIndexBuffer();
        return out;
    }
    static std::vector<D3DXATTRIBUTERANGE> Table(ID3DXMesh* mesh)
    {
        DWORD size = 0;
        mesh->GetAttributeTable(nullptr, &size);
        std::vector<D3DXATTRIBUTERANGE> table(size);
        mesh->GetAttributeTable(table.data(), &size);
        return table;
    }

    std::unique_ptr<GfxTestDevice> t;
    IDirect3DDevice9* dev = nullptr;
    ScratchFolder scratch;
};

TEST_F(XFileDevice, MeshFromFileFansSplitsAndKeepsSixteenBitIndices)
{
    XFileData data;
    data.frames.emplace_back();
    data.frames[0].name = "Box";
    data.frames[0].meshes.push_back(CubeMesh(true));
    ID3DXMesh* mesh = nullptr;
    DWORD materials = 0;
    ASSERT_EQ(D3DXLoadMeshFromXA(File("cube.x", Written(data)).c_str(), D3DXMESH_MANAGED, dev, nullptr, nullptr,
                                 nullptr, &materials, &mesh),
              D3D_OK);
    // Six quads fanned into twelve triangles; 8 positions with three normals each become 24 vertices.
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
    EXPECT_EQ(materials, 1u);  // no material list: one default material
    D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE];
    mesh->GetDeclaration(decl);
    EXPECT_EQ(decl[0].Usage, D3DDECLUSAGE_POSITION);
    EXPECT_EQ(decl[1].Usage, D3DDECLUSAGE_NORMAL);
    EXPECT_EQ(decl[2].Usage, D3DDECLUSAGE_TEXCOORD);
    EXPECT_EQ(decl[3].Stream, 0xFF);
    std::vector<Vertex> v = Vertices(mesh);
    std::vector<uint32_t> index = Indices(mesh);
    // Every corner's normal is its face's, and each face's triangles are wound like the polygon.
    for (size_t f = 0; f < 12; ++f)
    {
        const Vertex& a = v[index[f * 3]];
        const Vertex& b = v[index[f * 3 + 1]];
        const Vertex& c = v[index[f * 3 + 2]];
        EXPECT_EQ(a.normal, b.normal);
        EXPECT_EQ(a.normal, c.normal);
        D3DXVECTOR3 e1 = b.position - a.position, e2 = c.position - a.position, n;
        D3DXVec3Cross(&n, &e1, &e2);
        EXPECT_GT(D3DXVec3Dot(&n, &a.normal), 0.0f) << "triangle " << f;
    }
    mesh->Release();

    // Smooth normals: one vertex per position.
    data.frames[0].meshes[0] = CubeMesh(false);
    ASSERT_EQ(D3DXLoadMeshFromXA(File("smooth.x", Written(data)).c_str(), D3DXMESH_MANAGED, dev, nullptr, nullptr,
                                 nullptr, nullptr, &mesh),
              D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    mesh->Release();
}

TEST_F(XFileDevice, MissingNormalsAreComputedFromTheFaces)
{
    XFileData data;
    data.frames.emplace_back();
    XFileMesh quad = QuadMesh();
    quad.normals.clear();
    quad.normalFaces.clear();
    data.frames[0].meshes.push_back(quad);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA(File("quad.x", Written(data)).c_str(), D3DXMESH_MANAGED, dev, nullptr, nullptr,
                                 nullptr, nullptr, &mesh),
              D3D_OK);
    std::vector<Vertex> v = Vertices(mesh);
    ASSERT_EQ(v.size(), 4u);
    for (const Vertex& vertex : v)
    {
        EXPECT_NEAR(vertex.normal.z, -1.0f, 1e-6f);  // clockwise seen from -z faces -z
        EXPECT_EQ(vertex.uv, quad.uvs[&vertex - v.data()]);
    }
    mesh->Release();
}

TEST_F(XFileDevice, MeshFromFileMergesEveryMeshMovedByItsFrames)
{
    XFileData data;
    XFileFrame root;
    root.name = "Root";
    root.transform = TranslationMatrix(10, 0, 0);
    XFileMesh first = QuadMesh("First");
    first.materials = {Material(1, 0, 0, "red.png"), Material(0, 1, 0)};
    first.faceMaterials = {1};
    root.meshes.push_back(first);
    XFileFrame child;
    child.name = "Child";
    D3DXMatrixScaling(&child.transform, 2, 2, 2);
    XFileMesh second = QuadMesh("Second");
    second.materials = {Material(0, 0, 1, "blue.png")};
    second.faceMaterials = {0};
    child.meshes.push_back(second);
    root.children.push_back(child);
    data.frames.push_back(root);
    XFileMesh loose = QuadMesh("Loose");  // outside every frame: its own root, no materials
    data.frames.emplace_back();
    data.frames.back().meshes.push_back(loose);

    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer *adjacency = nullptr, *materials = nullptr, *effects = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromXA(File("merge.x", Written(data)).c_str(), D3DXMESH_MANAGED, dev, &adjacency, &materials,
                                 &effects, &count, &mesh),
              D3D_OK);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 12u);
    EXPECT_EQ(mesh->GetNumFaces(), 6u);
    ASSERT_EQ(materials->GetBufferSize() >= 4 * sizeof(D3DXMATERIAL), true);
    auto* m = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_STREQ(m[0].pTextureFilename, "red.png");
    EXPECT_EQ(m[1].pTextureFilename, nullptr);
    EXPECT_EQ(m[1].MatD3D.Diffuse.g, 1.0f);
    EXPECT_EQ(m[1].MatD3D.Power, 8.0f);
    EXPECT_STREQ(m[2].pTextureFilename, "blue.png");
    EXPECT_EQ(m[3].MatD3D.Diffuse.r, 1.0f);  // the default material
    EXPECT_EQ(effects->GetBufferSize(), 4 * sizeof(D3DXEFFECTINSTANCE));
    EXPECT_EQ(adjacency->GetBufferSize(), 6 * 3 * sizeof(DWORD));

    // One attribute per material in order of appearance; faces sorted by it; ranges cover their vertices.
    std::vector<D3DXATTRIBUTERANGE> table = Table(mesh);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].AttribId, 1u);
    EXPECT_EQ(table[1].AttribId, 2u);
    EXPECT_EQ(table[2].AttribId, 3u);
    std::vector<Vertex> v = Vertices(mesh);
    std::vector<uint32_t> index = Indices(mesh);
    for (const D3DXATTRIBUTERANGE& r : table)
    {
        EXPECT_EQ(r.FaceCount, 2u);
        for (DWORD i = r.FaceStart * 3; i < (r.FaceStart + r.FaceCount) * 3; ++i)
        {
            EXPECT_GE(index[i], r.VertexStart);
            EXPECT_LT(index[i], r.VertexStart + r.VertexCount);
        }
    }
    // The first quad moved by (10, 0, 0); the second scaled by 2, then moved; the loose one unmoved.
    EXPECT_EQ(v[2].position, D3DXVECTOR3(11, 1, 0));
    EXPECT_EQ(v[6].position, D3DXVECTOR3(12, 2, 0));
    EXPECT_EQ(v[10].position, D3DXVECTOR3(1, 1, 0));
    EXPECT_NEAR(v[6].normal.z, -1.0f, 1e-6f);
    mesh->Release();
    adjacency->Release();
    materials->Release();
    effects->Release();
}

TEST_F(XFileDevice, MoreThan65535VerticesTakeThirtyTwoBitIndices)
{
    XFileData data;
    data.frames.emplace_back();
    XFileMesh big;
    for (uint32_t i = 0; i < 65537; ++i)
        big.positions.push_back({float(i % 256), float(i / 256), 0});
    big.faces = {{0, 65536, 1}};
    data.frames[0].meshes.push_back(big);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA(File("big.x", Written(data)).c_str(), D3DXMESH_MANAGED, dev, nullptr, nullptr, nullptr,
                                 nullptr, &mesh),
              D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 65537u);
    EXPECT_NE(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
    EXPECT_EQ(Indices(mesh), (std::vector<uint32_t>{0, 65536, 1}));
    mesh->Release();
}

TEST_F(XFileDevice, MeshFromFileFailsCleanly)
{
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
    DWORD count = 7;
    const std::pair<const char*, std::string> files[] = {
        {"binary.x", "xof 0303bin 0032\x01\x02\x03"},
        {"cut.x", "xof 0303txt 0032\nFrame A { Mesh { 3; 0;0;0;, 1;0;0;"},
        {"empty.x", "xof 0303txt 0032\nFrame A { }\n"},
        {"nofaces.x", "xof 0303txt 0032\nMesh { 0;; 0;; }\n"},
    };
    for (const auto& [name, text] : files)
    {
        EXPECT_TRUE(FAILED(D3DXLoadMeshFromXA(File(name, text).c_str(), D3DXMESH_MANAGED, dev, nullptr, nullptr,
                                              nullptr, &count, &mesh)))
            << name;
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(count, 0u);
    }
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromXA((scratch.Root() / "absent.x").c_str(), D3DXMESH_MANAGED, dev, nullptr,
                                          nullptr, nullptr, nullptr, &mesh)));
}

XFileData HierarchyData()
{
    // Root (two meshes) -> Arm (skinned cube) -> unnamed; Root's sibling Other; a loose mesh.
    XFileData data;
    XFileFrame root;
    root.name = "Root";
    root.transform = TranslationMatrix(1, 2, 3);
    XFileMesh quad = QuadMesh("RootQuad");
    quad.materials = {Material(1, 1, 1, "a.png"), Material(0, 0, 0)};
    quad.faceMaterials = {1};
    root.meshes.push_back(quad);
    root.meshes.push_back(QuadMesh("RootQuad2"));
    XFileFrame arm;
    arm.name = "Arm";
    XFileMesh cube = CubeMesh(true, "ArmCube");
    cube.hasSkinHeader = true;
    cube.skinBones = 2;
    XFileSkinWeights skin;
    skin.bone = "Arm";
    skin.vertices = {0, 5};
    skin.weights = {0.5f, 1.0f};
    skin.offset = TranslationMatrix(0, -1, 0);
    cube.skinWeights.push_back(skin);
    arm.meshes.push_back(cube);
    arm.children.emplace_back();
    root.children.push_back(arm);
    data.frames.push_back(root);
    XFileFrame other;
    other.name = "Other";
    data.frames.push_back(other);
    data.frames.emplace_back();
    data.frames.back().meshes.push_back(QuadMesh("Loose"));
    return data;
}

TEST_F(XFileDevice, HierarchyBuildsFramesAndContainersThroughTheAllocator)
{
    std::string text = Written(HierarchyData());
    TestAllocator alloc;
    D3DXFRAME* root = nullptr;
    ID3DXAnimationController* controller = reinterpret_cast<ID3DXAnimationController*>(1);
    ASSERT_EQ(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, dev, &alloc,
                                                 nullptr, &root, &controller),
              D3D_OK);
    EXPECT_EQ(controller, nullptr);  // no animation sets
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Name, "Root");
    EXPECT_EQ(root->TransformationMatrix, TranslationMatrix(1, 2, 3));
    ASSERT_NE(root->pFrameSibling, nullptr);
    EXPECT_STREQ(root->pFrameSibling->Name, "Other");
    ASSERT_NE(root->pFrameSibling->pFrameSibling, nullptr);
    D3DXFRAME* loose = root->pFrameSibling->pFrameSibling;
    EXPECT_STREQ(loose->Name, "");
    ASSERT_NE(loose->pMeshContainer, nullptr);
    EXPECT_STREQ(loose->pMeshContainer->Name, "Loose");
    EXPECT_EQ(loose->pFrameSibling, nullptr);

    // Two meshes of one frame: a chain of two containers.
    D3DXMESHCONTAINER* first = root->pMeshContainer;
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->Name, "RootQuad");
    EXPECT_EQ(first->NumMaterials, 2u);
    EXPECT_EQ(alloc.infos[first].textures, (std::vector<std::string>{"a.png", ""}));
    EXPECT_EQ(first->pSkinInfo, nullptr);
    ASSERT_NE(first->pNextMeshContainer, nullptr);
    EXPECT_STREQ(first->pNextMeshContainer->Name, "RootQuad2");
    EXPECT_EQ(first->pNextMeshContainer->NumMaterials, 1u);
    ID3DXMesh* quad = first->MeshData.pMesh;
    EXPECT_EQ(quad->GetNumFaces(), 2u);
    EXPECT_EQ(Table(quad).size(), 1u);
    EXPECT_EQ(Table(quad)[0].AttribId, 1u);
    // The loader keeps no reference of its own: the container's is the only one.
    EXPECT_EQ(RefCount(quad), 1u);
    // The two triangles of the quad share its diagonal.
    const std::vector<DWORD>& adjacency = alloc.infos[first].adjacency;
    EXPECT_EQ(std::count(adjacency.begin(), adjacency.end(), 0xFFFFFFFFu), 4);

    D3DXFRAME* arm = root->pFrameFirstChild;
    ASSERT_NE(arm, nullptr);
    EXPECT_STREQ(arm->Name, "Arm");
    ASSERT_NE(arm->pFrameFirstChild, nullptr);
    EXPECT_STREQ(arm->pFrameFirstChild->Name, "");
    ID3DXSkinInfo* skin = arm->pMeshContainer->pSkinInfo;
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(RefCount(skin), 1u);
    EXPECT_EQ(skin->GetNumVertices(), 24u);
    EXPECT_EQ(skin->GetNumBones(), 1u);
    EXPECT_STREQ(skin->GetBoneName(0), "Arm");
    EXPECT_EQ(*skin->GetBoneOffsetMatrix(0), TranslationMatrix(0, -1, 0));
    EXPECT_EQ(skin->GetBoneOffsetMatrix(1), nullptr);
    // Positions 0 and 5 each became three vertices (one per face normal); each carries its weight.
    ASSERT_EQ(skin->GetNumBoneInfluences(0), 6u);
    DWORD vertices[6];
    float weights[6];
    ASSERT_EQ(skin->GetBoneInfluence(0, vertices, weights), D3D_OK);
    std::vector<Vertex> v = Vertices(arm->pMeshContainer->MeshData.pMesh);
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_LT(vertices[i], v.size());
        EXPECT_EQ(v[vertices[i]].position, i < 3 ? D3DXVECTOR3(-1, -1, -1) : D3DXVECTOR3(1, -1, 1));
        EXPECT_EQ(weights[i], i < 3 ? 0.5f : 1.0f);
    }
    ID3DXSkinInfo* clone = nullptr;
    ASSERT_EQ(skin->Clone(&clone), D3D_OK);
    EXPECT_NE(clone, skin);
    EXPECT_STREQ(clone->GetBoneName(0), "Arm");
    EXPECT_EQ(clone->GetNumBoneInfluences(0), 6u);
    clone->Release();

    EXPECT_EQ(alloc.liveFrames, 5);
    EXPECT_EQ(alloc.liveContainers, 4);
    EXPECT_EQ(D3DXFrameDestroy(root, &alloc), D3D_OK);
    EXPECT_EQ(alloc.liveFrames, 0);
    EXPECT_EQ(alloc.liveContainers, 0);
}

TEST_F(XFileDevice, HierarchyFailuresDestroyWhatWasBuilt)
{
    std::string text = Written(HierarchyData());
    for (int failFrame = 0; failFrame < 5; ++failFrame)
    {
        TestAllocator alloc;
        alloc.failFrameAt = failFrame;
        D3DXFRAME* root = reinterpret_cast<D3DXFRAME*>(1);
        EXPECT_TRUE(FAILED(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, dev,
                                                              &alloc, nullptr, &root, nullptr)));
        EXPECT_EQ(root, nullptr);
        EXPECT_EQ(alloc.liveFrames, 0) << failFrame;
        EXPECT_EQ(alloc.liveContainers, 0) << failFrame;
    }
    for (int failContainer = 0; failContainer < 4; ++failContainer)
    {
        TestAllocator alloc;
        alloc.failContainerAt = failContainer;
        D3DXFRAME* root = nullptr;
        EXPECT_TRUE(FAILED(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, dev,
                                                              &alloc, nullptr, &root, nullptr)));
        EXPECT_EQ(alloc.liveFrames, 0) << failContainer;
        EXPECT_EQ(alloc.liveContainers, 0) << failContainer;
    }
    // Damaged texts never reach the allocator.
    for (size_t length : {size_t(0), size_t(10), text.size() / 2, text.size() - 3})
    {
        TestAllocator alloc;
        D3DXFRAME* root = nullptr;
        EXPECT_EQ(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(length), D3DXMESH_MANAGED, dev, &alloc, nullptr,
                                                     &root, nullptr),
                  D3DXERR_INVALIDDATA);
        EXPECT_EQ(alloc.framesCreated, 0);
    }
}

TEST_F(XFileDevice, SkinWeightsThatWouldMultiplyAreRefused)
{
    // One position split into many vertices, named by many bones: more than 64 influences per vertex.
    XFileData data;
    data.frames.emplace_back();
    XFileMesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {{0, 1, 2}};
    for (int b = 0; b < 200; ++b)
    {
        XFileSkinWeights skin;
        skin.bone = "B";
        skin.vertices = {0};
        skin.weights = {1.0f};
        mesh.skinWeights.push_back(skin);
    }
    data.frames[0].meshes.push_back(mesh);
    std::string text = Written(data);
    TestAllocator alloc;
    D3DXFRAME* root = nullptr;
    EXPECT_EQ(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, dev, &alloc,
                                                 nullptr, &root, nullptr),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(alloc.liveFrames, 0);
}

}  // namespace
