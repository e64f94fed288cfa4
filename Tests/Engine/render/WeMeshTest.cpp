// Meshes and the mesh manager on the recording backend: every file version, damaged files, presets,
// level-of-detail drawing and the cache's releases.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WePackageWriter.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeMeshManager.h"
#include "Platform/gfx_d3dx/XFileWriter.h"
#include "Tests/Engine/render/MeshFileBuilder.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

class WeMeshFile : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        tree.SetRoot(scratch.Path("Packages").c_str());
    }
    void TearDown() override
    {
        g_MeshManager.ReleaseAll(true);
        g_MaterialManager.ReleaseAll(true);
        RecordingRender::TearDown();
    }

    void Write(const char* name, int32_t version, const MeshFileFields& f)
    {
        ASSERT_TRUE(tree.Create(name, WeMesh::FileType, true));
        WriteMeshFile(*tree.GetStream(), version, f);
        ASSERT_TRUE(tree.EndCreate());
    }

    // A material registered in the material manager's cache under the name.
    WeMaterial* Register(const char* name, bool reflective = false, bool persistent = false)
    {
        WeMaterial* m = new WeMaterial();
        m->m_Name = name;
        m->m_Reflective = reflective ? 1 : 0;
        m->m_Persistent = persistent ? 1 : 0;
        g_MaterialManager.m_Materials.Insert(WeString(name).ToLower(), m);
        return m;
    }

    // The vertex v of a mesh in the internal layout.
    static std::vector<float> Vertex(WeMesh& mesh, int v)
    {
        void* data = nullptr;
        EXPECT_TRUE(mesh.LockVertexBuffer(&data, D3DLOCK_READONLY));
        const float* f = reinterpret_cast<const float*>(static_cast<const uint8_t*>(data) + v * 52);
        std::vector<float> out(f, f + 13);
        mesh.UnlockVertexBuffer();
        return out;
    }

    ScratchFolder scratch;
    WeFileSystem tree;
};

TEST_F(WeMeshFile, EveryVersionLoadsItsLayout)
{
    MeshFileFields f = QuadMesh();
    f.m1 = 1, f.m2 = 7, f.m3 = 8, f.m4 = 9, f.m5 = 2.5f, f.m6 = 6.5f, f.m7 = 11;
    // Three names in preset 0 and one in preset 29; versions 12 on store one per subset.
    f.names[0] = {"Materials.A", "Materials.B", "Materials.Extra"};
    f.names[29] = {"", "Materials.Last"};
    for (int32_t version = 5; version <= 15; ++version)
    {
        SCOPED_TRACE(version);
        Write("Meshes.T.Quad", version, f);
        WeMesh mesh;
        ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Quad", true));
        EXPECT_EQ(mesh.m_Loaded, 1);
        EXPECT_EQ(mesh.m_Name, WeString("Meshes.T.Quad"));
        EXPECT_EQ(mesh.GetVertexSize(), 52u);
        EXPECT_EQ(mesh.GetIndexSize(), version >= 14 ? 2u : 4u);
        EXPECT_EQ(mesh.GetVertexCount(), 4);
        EXPECT_EQ(mesh.GetFaceCount(), 2);
        EXPECT_EQ(mesh.m_VertexCount, 4);
        EXPECT_EQ(mesh.m_FaceCount, 2);
        ASSERT_EQ(mesh.m_SubsetCount, 2);
        EXPECT_EQ(mesh.m_AttributeTable[1].AttribId, 1u);
        EXPECT_EQ(mesh.m_AttributeTable[1].FaceStart, 1u);

        // Properties as far as the version has them.
        EXPECT_EQ(mesh.m_Property1, version >= 10 ? 1 : 0);
        EXPECT_EQ(mesh.m_Property2, 7);
        EXPECT_EQ(mesh.m_Property3, version >= 7 ? 8 : 0);
        EXPECT_EQ(mesh.m_Property4, version >= 7 ? 9 : 0);
        EXPECT_FLOAT_EQ(mesh.m_Property5, version >= 7 ? 2.5f : 1.0f);
        EXPECT_FLOAT_EQ(mesh.m_Property6, version >= 9 ? 6.5f : 5.0f);
        EXPECT_EQ(mesh.m_Property7, version >= 7 ? 11 : 2);  // version 7's float 11.75 truncates

        // Names: versions 5 to 11 keep what each preset lists, later ones one per subset.
        EXPECT_EQ(mesh.m_Presets[0].names[1], WeString("Materials.B"));
        EXPECT_EQ(mesh.m_Presets[0].names[2], WeString(version <= 11 ? "Materials.Extra" : ""));
        EXPECT_EQ(mesh.m_Presets[29].names[1], WeString("Materials.Last"));
        EXPECT_EQ(mesh.m_Presets[0].resolved[0], 0);

        // Vertices in the internal layout whatever the file's was; stored bounds are recomputed.
        std::vector<float> v3 = Vertex(mesh, 3);
        EXPECT_FLOAT_EQ(v3[0], 1.0f);
        EXPECT_FLOAT_EQ(v3[5], -1.0f);
        EXPECT_FLOAT_EQ(v3[6], 1.0f);
        EXPECT_FLOAT_EQ(v3[11], 0.5f);
        EXPECT_FLOAT_EQ(v3[12], 0.25f);
        EXPECT_FLOAT_EQ(mesh.m_BoxMin.x, 0.0f);
        EXPECT_FLOAT_EQ(mesh.m_BoxMax.y, 1.0f);
        EXPECT_FLOAT_EQ(mesh.m_BoxMax.z, 0.0f);
        EXPECT_NEAR(mesh.m_SphereCenter.x, 0.5f, 1e-5f);
        EXPECT_NEAR(mesh.m_SphereRadius, std::sqrt(0.5f), 1e-4f);

        // Version 14 is used as stored; older ones get tangents along +u, unit length, across the normal.
        if (version >= 14)
        {
            EXPECT_FLOAT_EQ(v3[8], 0.5f);
            EXPECT_FLOAT_EQ(v3[9], 0.5f);
        }
        else
        {
            for (int v = 0; v < 4; ++v)
            {
                std::vector<float> t = Vertex(mesh, v);
                EXPECT_NEAR(t[8], 1.0f, 1e-4f);
                EXPECT_NEAR(t[9], 0.0f, 1e-4f);
                EXPECT_NEAR(t[10], 0.0f, 1e-4f);
            }
        }
    }
}

TEST_F(WeMeshFile, DamagedFilesFailBeforeAnythingIsMade)
{
    struct Case
    {
        const char* what;
        int32_t version;
        void (*damage)(MeshFileFields&);
    } cases[] = {
        {"version 4", 4, [](MeshFileFields&) {}},
        {"negative version", -3, [](MeshFileFields&) {}},
        {"60000 vertices in version 12", 12, [](MeshFileFields& f) { f.vertexCount = 60000; }},
        {"20000 faces in version 14", 14, [](MeshFileFields& f) { f.faceCount = 20000; }},
        {"negative vertex count", 8, [](MeshFileFields& f) { f.vertexCount = INT_MIN; }},
        {"negative face count", 5, [](MeshFileFields& f) { f.faceCount = -2; }},
        {"no faces", 14, [](MeshFileFields& f) { f.faceCount = 0; }},
        {"more vertices than the file holds", 9, [](MeshFileFields& f) { f.vertexCount = 5000000; }},
        {"more faces than the file holds", 10, [](MeshFileFields& f) { f.faceCount = 40000000; }},
        {"index equal to the vertex count", 13, [](MeshFileFields& f) { f.indices[4] = 4; }},
        {"huge 32-bit index", 6, [](MeshFileFields& f) { f.indices[0] = 0xFFFFFFF0u; }},
        {"16-bit index past the vertices", 14, [](MeshFileFields& f) { f.indices[5] = 65535; }},
        {"range past the faces", 14, [](MeshFileFields& f) { f.table[1].faceCount = 2; }},
        {"range past the vertices", 12, [](MeshFileFields& f) { f.table[0].vertexStart = 1; }},
        {"range start wraps", 14, [](MeshFileFields& f) { f.table[0].faceStart = -1; }},
        {"17 subsets", 14, [](MeshFileFields& f) { f.tableCount = 17; }},
        {"negative subsets", 12, [](MeshFileFields& f) { f.tableCount = -2; }},
        {"negative preset name count", 8, [](MeshFileFields& f) { f.nameCounts[3] = -5; }},
        {"preset name count past the end", 11, [](MeshFileFields& f) { f.nameCounts[29] = 1000000; }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        MeshFileFields f = QuadMesh();
        c.damage(f);
        Write("Meshes.T.Bad", c.version, f);
        WeMesh mesh;
        EXPECT_FALSE(mesh.Load(&tree, "Meshes.T.Bad", true));
        EXPECT_FALSE(mesh.HasGeometry());
        EXPECT_EQ(mesh.m_Loaded, 0);
    }

    // A file cut at any length fails cleanly.
    MeshFileFields f = QuadMesh();
    f.names[0] = {"Materials.A"};
    for (int32_t version : {8, 12, 14})
    {
        Write("Meshes.T.Whole", version, f);
        std::filesystem::path path = scratch.Path("Packages/Meshes/T/Whole.mesh");
        const uintmax_t size = std::filesystem::file_size(path);
        for (uintmax_t cut = 0; cut < size; cut += 3)
        {
            SCOPED_TRACE(version * 100000 + int(cut));
            std::filesystem::copy_file(path, scratch.Path("Packages/Meshes/T/Cut.mesh"),
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::resize_file(scratch.Path("Packages/Meshes/T/Cut.mesh"), cut);
            WeFileSystem fresh;  // a file system lists its tree once
            fresh.SetRoot(scratch.Path("Packages").c_str());
            WeMesh mesh;
            EXPECT_FALSE(mesh.Load(&fresh, "Meshes.T.Cut", true));
        }
    }
}

TEST_F(WeMeshFile, AVersion7PropertyOutsideTheIntRangeIsClamped)
{
    struct Case
    {
        float stored;
        int32_t kept;
    } cases[] = {{1e30f, INT32_MAX}, {-1e30f, INT32_MIN}, {std::nanf(""), 0}, {-3.9f, -3}};
    for (const Case& c : cases)
    {
        MeshFileFields f = QuadMesh();
        f.m7AsGivenFloat = true;
        f.m7Float = c.stored;
        Write("Meshes.T.Seven", 7, f);
        WeMesh mesh;
        ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Seven", true));
        EXPECT_EQ(mesh.m_Property7, c.kept) << c.stored;
    }
}

TEST_F(WeMeshFile, NamesBeyondSixteenAreReadAndDropped)
{
    MeshFileFields f = QuadMesh();
    for (int i = 0; i < 18; ++i)
        f.names[0].push_back("Materials.N" + std::to_string(i));
    f.names[1] = {"Materials.After"};
    Write("Meshes.T.Many", 9, f);
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Many", true));
    EXPECT_EQ(mesh.m_Presets[0].names[15], WeString("Materials.N15"));
    // The stream stays aligned: the next preset's names land in place.
    EXPECT_EQ(mesh.m_Presets[1].names[0], WeString("Materials.After"));
}

TEST_F(WeMeshFile, PresetsResolveTheirMaterials)
{
    WeMaterial* fallback = Register("Materials.Editor.Light");
    g_MaterialManager.m_Default = fallback;
    WeMaterial* a = Register("Materials.Test.A");
    WeMaterial* shiny = Register("Materials.Test.Shiny", true);
    MeshFileFields f = QuadMesh();
    f.names[0] = {"materials.test.a", "Materials.Test.Shiny"};
    f.names[4] = {"Materials.Test.Gone", "Materials.Test.A"};
    Write("Meshes.T.Quad", 14, f);
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Quad", true));

    // Preset 30 resolves every preset; the stored name takes the material's spelling.
    mesh.SetPresetMaterial(1, 30, false, "", false);
    for (int p = 0; p < 30; ++p)
        EXPECT_EQ(mesh.m_Presets[p].resolved[1], 1) << p;
    EXPECT_EQ(mesh.m_Presets[0].materials[1], shiny);
    EXPECT_EQ(mesh.m_ReflectiveMask[0], 2u);
    EXPECT_EQ(mesh.m_Presets[4].materials[1], a);
    EXPECT_EQ(mesh.m_ReflectiveMask[4], 0u);
    // A preset without names gets the default material.
    EXPECT_EQ(mesh.m_Presets[7].materials[1], fallback);

    // A missing material leaves the default in the entry and the stored name as it was.
    mesh.SetPreset(4, false);
    EXPECT_EQ(mesh.m_Presets[4].materials[0], fallback);
    EXPECT_EQ(mesh.m_Presets[4].names[0], WeString("Materials.Test.Gone"));
    mesh.SetPreset(0, false);
    EXPECT_EQ(mesh.m_Presets[0].names[0], WeString("Materials.Test.A"));

    // Given names: found ones replace the entry; missing ones are stored with the default in place.
    mesh.SetPresetMaterial(0, 2, true, "Materials.Test.Shiny", false);
    EXPECT_EQ(mesh.m_Presets[2].materials[0], shiny);
    mesh.SetPresetMaterial(0, 2, true, "Materials.Test.Other", false);
    EXPECT_EQ(mesh.m_Presets[2].materials[0], shiny);  // resolved already: only force reloads
    mesh.SetPresetMaterial(0, 2, true, "Materials.Test.Other", true);
    EXPECT_EQ(mesh.m_Presets[2].materials[0], fallback);
    EXPECT_EQ(mesh.m_Presets[2].names[0], WeString("Materials.Test.Other"));
    EXPECT_EQ(mesh.m_ReflectiveMask[2], 0u);

    // Preset 31 (or a negative one) is reported and resolves preset 0.
    mesh.SetPresetMaterial(1, 31, true, "Materials.Test.A", true);
    EXPECT_EQ(mesh.m_Presets[0].materials[1], a);
    EXPECT_EQ(mesh.m_ReflectiveMask[0], 0u);
    mesh.SetPresetMaterial(1, -1, true, "Materials.Test.Shiny", true);
    EXPECT_EQ(mesh.m_Presets[0].materials[1], shiny);

    // A subset outside the table has no entry to set.
    mesh.SetPresetMaterial(2, 0, true, "Materials.Test.A", true);
    mesh.SetPresetMaterial(-1, 0, true, "Materials.Test.A", true);
    mesh.SetPresetMaterial(16, 30, true, "Materials.Test.A", true);
    EXPECT_EQ(mesh.m_Presets[0].materials[2], nullptr);
    EXPECT_EQ(mesh.m_Presets[0].resolved[2], 0);
}

TEST_F(WeMeshFile, DrawSubsetDrawsTheRangeOfTheMeshTheDistancePicks)
{
    Write("Meshes.T.Quad", 14, QuadMesh());
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Quad", true));
    // Drawn through the internal declaration at stride 52: the recorder accepts it.
    g_GfxRecorder.ClearLog();
    mesh.DrawSubset(1, 10.0f);
    EXPECT_EQ(mesh.m_LastDrawn, mesh.m_Mesh);
    ASSERT_EQ(g_GfxRecorder.Count("DrawIndexedPrimitive"), 1u);
    const GfxCall* draw = g_GfxRecorder.Last("DrawIndexedPrimitive");
    EXPECT_EQ(draw->args[4], 3u);  // start index of face 1
    EXPECT_EQ(draw->args[5], 1u);  // one face
    // Only draws the device accepted carry a record.
    ASSERT_NE(draw->draw, nullptr);
    EXPECT_EQ(draw->draw->stride, 52u);

    // Subsets outside the table draw nothing.
    g_GfxRecorder.ClearLog();
    mesh.DrawSubset(2, 0.0f);
    mesh.DrawSubset(-1, 0.0f);
    EXPECT_EQ(g_GfxRecorder.Count("DrawIndexedPrimitive"), 0u);

    // Three level-of-detail meshes split 0..1000 evenly; beyond it the last, below 0 the first.
    ID3DXMesh* lods[3] = {};
    for (ID3DXMesh*& lod : lods)
    {
        ASSERT_EQ(mesh.m_Mesh->CloneMesh(D3DXMESH_MANAGED, WeMesh::InternalDeclaration(), nullptr, &lod), D3D_OK);
        mesh.m_LodMeshes.push_back(lod);
    }
    struct Pick
    {
        float distance;
        int lod;
    } picks[] = {{-5.0f, 0}, {0.0f, 0}, {333.0f, 0}, {334.0f, 1}, {700.0f, 2}, {999.9f, 2}, {1000.0f, 2}, {1e9f, 2}};
    for (const Pick& p : picks)
    {
        SCOPED_TRACE(p.distance);
        mesh.DrawSubset(0, p.distance);
        EXPECT_EQ(mesh.m_LastDrawn, lods[p.lod]);
    }
}

TEST_F(WeMeshFile, TextXFilesLoadByPathWithTheirMaterialsAsSubsets)
{
    // A quad of two faces with a material each, and the same with 17 materials.
    auto write = [&](const char* file, int materials)
    {
        XFileMesh mesh;
        mesh.name = "Quad";
        mesh.positions = {{0, 1, 0}, {1, 1, 0}, {0, 0, 0}, {1, 0, 0}};
        mesh.uvs = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (int f = 0; f < materials; ++f)
        {
            mesh.faces.push_back({0, 1, 2});
            mesh.faceMaterials.push_back(uint32_t(f));
            mesh.materials.push_back(XFileMaterial());
        }
        mesh.faces[1] = {2, 1, 3};
        XFileData data;
        data.frames.resize(1);
        data.frames[0].name = "Root";
        data.frames[0].meshes.push_back(mesh);
        std::string text, error;
        EXPECT_TRUE(XFileWriter::Write(data, &text, &error)) << error;
        std::ofstream(scratch.Path(file), std::ios::binary) << text;
        return std::string(scratch.Path(file));
    };
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(nullptr, write("two.x", 2).c_str(), false));
    EXPECT_EQ(mesh.GetVertexSize(), 52u);
    EXPECT_EQ(mesh.GetFaceCount(), 2);
    EXPECT_EQ(mesh.m_SubsetCount, 2);
    EXPECT_EQ(mesh.m_AttributeTable[1].AttribId, 1u);
    EXPECT_FLOAT_EQ(mesh.m_BoxMax.x, 1.0f);
    // Tangents were computed: along +u.
    EXPECT_NEAR(Vertex(mesh, 0)[8], 1.0f, 1e-4f);

    WeMesh many;
    EXPECT_FALSE(many.Load(nullptr, write("many.x", 17).c_str(), false));
    EXPECT_FALSE(many.HasGeometry());
    EXPECT_FALSE(many.Load(nullptr, scratch.Path("none.x").c_str(), false));
}

TEST_F(WeMeshFile, AMeshWithoutGeometryDoesNothing)
{
    WeMesh mesh;
    void* data = &mesh;
    mesh.m_SubsetCount = 1;
    g_GfxRecorder.ClearLog();
    mesh.DrawSubset(0, 0.0f);
    EXPECT_EQ(g_GfxRecorder.calls.size(), 0u);
    EXPECT_FALSE(mesh.LockVertexBuffer(&data, 0));
    EXPECT_FALSE(mesh.LockIndexBuffer(&data, 0));
    EXPECT_FALSE(mesh.UnlockVertexBuffer());
    EXPECT_EQ(mesh.GetVertexSize(), 0u);
    EXPECT_EQ(mesh.GetIndexSize(), 0u);
    EXPECT_EQ(mesh.GetVertexCount(), 0);
    EXPECT_EQ(mesh.GetFaceCount(), 0);
    mesh.ComputeBounds();
    EXPECT_FALSE(mesh.ComputeTangents());
    WeMesh copy;
    copy.CopyFrom(&mesh);
    EXPECT_FALSE(copy.HasGeometry());
}

TEST_F(WeMeshFile, CopyFromClonesGeometryAndNamesButNotMaterials)
{
    WeMaterial* a = Register("Materials.Test.A");
    MeshFileFields f = QuadMesh();
    f.names[0] = {"Materials.Test.A", "Materials.Test.A"};
    f.names[5] = {"Materials.Test.B"};
    Write("Meshes.T.Quad", 13, f);
    WeMesh mesh;
    ASSERT_TRUE(mesh.Load(&tree, "Meshes.T.Quad", true));
    mesh.SetPreset(0, false);
    ASSERT_EQ(mesh.m_Presets[0].materials[0], a);

    WeMesh copy;
    copy.CopyFrom(&mesh);
    ASSERT_TRUE(copy.HasGeometry());
    EXPECT_NE(copy.m_Mesh, mesh.m_Mesh);
    EXPECT_EQ(copy.m_Name, mesh.m_Name);
    EXPECT_EQ(copy.GetIndexSize(), 4u);
    EXPECT_EQ(copy.GetFaceCount(), 2);
    EXPECT_EQ(copy.m_SubsetCount, 2);
    EXPECT_EQ(copy.m_Presets[5].names[0], WeString("Materials.Test.B"));
    EXPECT_EQ(copy.m_Presets[0].materials[0], nullptr);
    EXPECT_EQ(copy.m_Presets[0].resolved[0], 0);
    EXPECT_EQ(Vertex(copy, 3), Vertex(mesh, 3));
    EXPECT_FLOAT_EQ(copy.m_SphereRadius, mesh.m_SphereRadius);
    EXPECT_NE(copy.m_VertexBuffer, nullptr);
}

// The manager reads the active package file: the tests pack their tree and point it there.
class WeMeshManagerTest : public WeMeshFile
{
protected:
    void Pack(const char* file = "Packages.dat")
    {
        WePackageWriter writer;
        ASSERT_TRUE(writer.Pack(scratch.Path("Packages").c_str(), scratch.Path(file).c_str()));
    }
};

TEST_F(WeMeshManagerTest, CachesDefaultsAndKeepsWhatFailsToReload)
{
    Write("MapEditor.Geometry.Box", 14, QuadMesh());
    Write("Meshes.T.Quad", 12, QuadMesh());
    Pack("First.dat");
    UsePackFile pack(scratch.Path("First.dat"));
    g_MeshManager.ReleaseAll(true);
    ASSERT_TRUE(g_MeshManager.Init());
    WeMesh* box = g_MeshManager.m_Default;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->m_Persistent, 1);
    EXPECT_EQ(g_MeshManager.GetMesh("", false), box);
    EXPECT_EQ(g_MeshManager.GetMesh("Meshes.None.Such", false), box);

    WeMesh* quad = g_MeshManager.GetMesh("Meshes.T.Quad", false);
    ASSERT_NE(quad, box);
    EXPECT_EQ(quad->m_Persistent, 0);
    EXPECT_EQ(g_MeshManager.GetMesh("MESHES.t.quad", false), quad);

    // A reload that fails keeps the geometry the mesh's users draw.
    MeshFileFields broken = QuadMesh();
    broken.indices[0] = 9;
    Write("Meshes.T.Quad", 12, broken);
    Write("Meshes.T.Broken", 14, broken);
    Pack("Second.dat");
    {
        UsePackFile second(scratch.Path("Second.dat"));
        ID3DXMesh* geometry = quad->m_Mesh;
        EXPECT_EQ(g_MeshManager.GetMesh("Meshes.T.Quad", true), quad);
        EXPECT_EQ(quad->m_Mesh, geometry);
        EXPECT_EQ(quad->GetFaceCount(), 2);
        // A damaged new mesh is not cached: the default stands in.
        EXPECT_EQ(g_MeshManager.GetMesh("Meshes.T.Broken", false), box);
        EXPECT_EQ(g_MeshManager.m_Meshes.Count(), 2);
    }
    // A reload that works swaps the new geometry in.
    MeshFileFields five = QuadMesh();
    five.vertices.push_back(five.vertices[0]);
    five.table[1].vertexCount = 5;
    Write("Meshes.T.Quad", 12, five);
    Pack("Third.dat");
    {
        UsePackFile third(scratch.Path("Third.dat"));
        EXPECT_EQ(g_MeshManager.GetMesh("Meshes.T.Quad", true), quad);
        EXPECT_EQ(quad->GetVertexCount(), 5);
    }

    EXPECT_FALSE(g_MeshManager.ReleaseMesh(nullptr, false));
    EXPECT_FALSE(g_MeshManager.ReleaseMesh(box, false));
    EXPECT_TRUE(g_MeshManager.ReleaseMesh(quad, false));
    EXPECT_EQ(g_MeshManager.m_Meshes.Count(), 1);
    EXPECT_TRUE(g_MeshManager.ReleaseMesh(box, true));
    EXPECT_EQ(g_MeshManager.m_Default, nullptr);
    EXPECT_FALSE(g_MeshManager.ReleaseMesh(box, true));
}

TEST_F(WeMeshManagerTest, ReleaseAllKeepsPersistentMeshesButDropsTheirTransientMaterials)
{
    WeMaterial* kept = Register("Materials.Test.Kept", false, true);
    WeMaterial* loose = Register("Materials.Test.Loose");
    MeshFileFields f = QuadMesh();
    f.names[0] = {"Materials.Test.Kept", "Materials.Test.Loose"};
    Write("Meshes.T.Kept", 14, f);
    Write("Meshes.T.Loose", 14, f);
    Pack();
    UsePackFile pack(scratch.Path("Packages.dat"));
    BeginBusy();
    WeMesh* persistent = g_MeshManager.GetMesh("Meshes.T.Kept", false);
    EndBusy();
    WeMesh* plain = g_MeshManager.GetMesh("Meshes.T.Loose", false);
    ASSERT_NE(persistent, nullptr);
    ASSERT_NE(plain, nullptr);
    persistent->SetPreset(0, false);
    EXPECT_EQ(persistent->m_Presets[0].materials[1], loose);

    // The shipped default box was loaded persistent by the device's creation.
    const int32_t before = g_MeshManager.m_Meshes.Count();
    g_MeshManager.ReleaseAll(false);
    EXPECT_EQ(g_MeshManager.m_Meshes.Count(), before - 1);
    EXPECT_EQ(persistent->m_Presets[0].materials[0], kept);
    EXPECT_EQ(persistent->m_Presets[0].materials[1], nullptr);
    EXPECT_EQ(persistent->m_Presets[0].resolved[1], 0);
    g_MaterialManager.ReleaseAll(false);

    // The next SetPreset resolves the dropped link again.
    WeMaterial* again = Register("Materials.Test.Loose");
    persistent->SetPreset(0, false);
    EXPECT_EQ(persistent->m_Presets[0].materials[1], again);

    // MarkPersistent spreads to the preset's materials.
    persistent->MarkPersistent(true);
    EXPECT_EQ(again->m_Persistent, 1);
    g_MeshManager.ReleaseAll(true);
    EXPECT_EQ(g_MeshManager.m_Meshes.Count(), 0);
}

using WeMeshDefault = RecordingRender;

TEST_F(WeMeshDefault, CreateLoadsTheShippedBoxAsTheDefaultMesh)
{
    ASSERT_TRUE(Create());
    WeMesh* box = g_MeshManager.m_Default;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(g_MeshManager.m_Initialized, 1);
    EXPECT_EQ(box->m_Name, WeString("MapEditor.Geometry.Box"));
    EXPECT_EQ(box->m_Persistent, 1);
    EXPECT_EQ(box->GetFaceCount(), 12);
    EXPECT_EQ(box->GetIndexSize(), 2u);
    ASSERT_EQ(box->m_SubsetCount, 1);
    for (int p = 0; p < WeMesh::PresetCount; ++p)
        EXPECT_EQ(box->m_Presets[p].names[0], WeString("Materials.Editor.Light")) << p;
    // A unit cube centred on the origin.
    EXPECT_FLOAT_EQ(box->m_BoxMin.x, -0.5f);
    EXPECT_FLOAT_EQ(box->m_BoxMax.y, 0.5f);
    EXPECT_FLOAT_EQ(box->m_BoxMax.z, 0.5f);
    box->SetPreset(0, false);
    EXPECT_EQ(box->m_Presets[0].materials[0], g_MaterialManager.m_Default);
    EXPECT_EQ(g_MeshManager.GetMesh("Meshes.None.Such", false), box);
    ShutdownRendering();

    // Without it the device is not created and says what is missing.
    ScratchFolder scratch;
    std::filesystem::copy(StagedPackages(), scratch.Path("Packages"), std::filesystem::copy_options::recursive);
    ASSERT_TRUE(std::filesystem::remove(scratch.Path("Packages/MapEditor/Geometry/Box.mesh")));
    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(scratch.Path("Packages").c_str(), scratch.Path("Packages.dat").c_str()));
    UsePackFile pack(scratch.Path("Packages.dat"));
    EXPECT_FALSE(Create());
    EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), "Error: Cannot load MapEditor.Geometry.Box");
    EXPECT_EQ(g_RenderDevice.GetDevice(), nullptr);
    EXPECT_EQ(g_MeshManager.m_Meshes.Count(), 0);
}

}  // namespace
