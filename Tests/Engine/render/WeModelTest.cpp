// Models: the model file by version, preset names in container order, frame matrices and animation,
// clones, bounds, the .x path and the manager's choice between meshes and model files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeMeshHierarchy.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeModelManager.h"
#include "Tests/Engine/render/RenderTestSupport.h"
#include "Tests/Platform/gfx_d3dx/XFileTestData.h"

namespace
{

constexpr float Pi = 3.14159265358979f;

// Names of one container: [preset][subset].
using ContainerNames = std::vector<std::vector<std::string>>;

// Root (quad A) with children Mid (quad B, child Leaf with quad C) and Side (quad D): the reader takes the
// containers as A, B, D, C.
XFileData ThreeLevels()
{
    XFileData data;
    XFileFrame leaf;
    leaf.name = "Leaf";
    leaf.transform = TranslationMatrix(0, 2, 0);
    leaf.meshes.push_back(QuadMesh("C"));
    XFileFrame mid;
    mid.name = "Mid";
    mid.transform = TranslationMatrix(0, 0, 5);
    mid.meshes.push_back(QuadMesh("B"));
    mid.children.push_back(leaf);
    XFileFrame side;
    side.name = "Side";
    side.transform = TranslationMatrix(3, 0, 0);
    side.meshes.push_back(QuadMesh("D"));
    XFileFrame root;
    root.name = "Root";
    root.meshes.push_back(QuadMesh("A"));
    root.children = {mid, side};
    data.frames.push_back(root);
    return data;
}

// Base (no mesh) with a Rotor (a quad off the axis) turned about y a full turn in 4800 ticks.
XFileData Spinner()
{
    XFileData data;
    data.ticksPerSecond = 4800;
    XFileFrame rotor;
    rotor.name = "Rotor";
    rotor.transform = TranslationMatrix(0, 1, 0);
    rotor.meshes.push_back(QuadMesh("Blade"));
    XFileFrame base;
    base.name = "Base";
    base.children.push_back(rotor);
    data.frames.push_back(base);
    XFileAnimation spin;
    spin.frame = "Rotor";
    for (uint32_t i = 0; i <= 4; ++i)
    {
        D3DXQUATERNION q;
        D3DXQuaternionRotationYawPitchRoll(&q, float(i) * Pi / 2.0f, 0, 0);
        spin.rotations.push_back({i * 1200, q});
    }
    spin.positions = {{0, D3DXVECTOR3(0, 1, 0)}, {4800, D3DXVECTOR3(0, 1, 0)}};
    data.animationSets.push_back({"Spin", {spin}});
    return data;
}

// The container's names for preset p: "<tag>.<p>" for each of `subsets`.
ContainerNames Names(const std::string& tag, int subsets = 1)
{
    ContainerNames names(30);
    for (int p = 0; p < 30; ++p)
        for (int k = 0; k < subsets; ++k)
            names[size_t(p)].push_back(tag + "." + std::to_string(p) + (k > 0 ? "." + std::to_string(k) : ""));
    return names;
}

struct ModelFile
{
    int32_t version = 3;
    bool marker = false;  // 11000 before the version
    std::string x;
    int64_t sizeField = -1;  // -1: the text's size
    std::vector<ContainerNames> containers;
    int32_t countField = -1;  // version 3: -1 writes each container's real count
};

bool NearMatrix(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::fabs(a.m[i][j] - b.m[i][j]) > 1e-4f)
                return false;
    return true;
}

class WeModelTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        tree.SetRoot(scratch.Path("Packages").c_str());
        g_Timer.m_FrameDeltaF = 0.25f;
    }
    void TearDown() override
    {
        g_Timer.m_FrameDeltaF = 0.0f;
        g_MeshManager.ReleaseAll(true);
        RecordingRender::TearDown();
    }

    void Write(const char* name, const ModelFile& f)
    {
        ASSERT_TRUE(tree.Create(name, WeModel::FileType, true));
        WeFileStream& s = *tree.GetStream();
        if (f.marker)
            s.WriteInt32(WeModel::VersionMarker);
        s.WriteInt32(f.version);
        s.WriteInt32(int32_t(f.sizeField >= 0 ? f.sizeField : int64_t(f.x.size())));
        s.Write(f.x.data(), int64_t(f.x.size()));
        for (const ContainerNames& c : f.containers)
        {
            if (f.version == 3)
            {
                s.WriteInt32(f.countField >= 0 ? f.countField : int32_t(c[0].size()));
                for (const std::vector<std::string>& preset : c)
                    for (const std::string& name : preset)
                        s.WriteString(name.c_str());
                continue;
            }
            for (const std::vector<std::string>& preset : c)
            {
                s.WriteInt32(int32_t(preset.size()));
                for (const std::string& name : preset)
                    s.WriteString(name.c_str());
            }
        }
        if (f.version == 1)
        {
            s.WriteInt32(7);
            s.WriteFloat(1.5f);
            s.WriteByte(1);
        }
        else if (f.version == 2)
            s.WriteFloat(2.5f);
        ASSERT_TRUE(tree.EndCreate());
    }

    // A hierarchy model loaded from the tree; null when the load fails.
    WeModel* Load(const char* name)
    {
        WeModel* model = new WeModel();
        model->m_Kind = WeModel::KindHierarchy;
        if (!model->Load(&tree, name, true))
        {
            delete model;
            return nullptr;
        }
        return model;
    }

    static WeModelFrame* Find(WeModel* model, const char* name)
    {
        WeModelFrame* found = nullptr;
        model->ForEachFrame(
            [&](WeModelFrame* f)
            {
                if (std::string(f->m_Frame->Name) == name)
                    found = f;
            });
        return found;
    }

    static std::string PresetName(WeModel* model, const char* frame, int preset, int subset = 0)
    {
        WeModelFrame* f = Find(model, frame);
        if (f == nullptr || f->m_Mesh == nullptr)
            return "<no mesh>";
        return f->m_Mesh->m_Presets[preset].names[subset].c_str();
    }

    ScratchFolder scratch;
    WeFileSystem tree;
};

TEST_F(WeModelTest, FileVersionsAndHeaders)
{
    const std::string x = Written(ThreeLevels());
    const std::vector<ContainerNames> names = {Names("A"), Names("B"), Names("D"), Names("C")};
    struct Case
    {
        const char* what;
        ModelFile file;
        bool loads;
    };
    const Case cases[] = {
        {"11000 then 2", {2, true, x, -1, names}, true},
        {"version 1", {1, false, x, -1, names}, true},
        {"version 2", {2, false, x, -1, names}, true},
        {"version 3", {3, false, x, -1, names}, true},
        {"version 0", {0, false, x, -1, names}, false},
        {"version 4", {4, false, x, -1, names}, false},
        {"version -1", {-1, false, x, -1, names}, false},
        {"11000 then 11000", {11000, true, x, -1, names}, false},
        {"size 0", {3, false, x, 0, names}, false},
        {"negative size", {3, false, x, 0xFFFFFFF0, names}, false},
        {"size past the member", {3, false, x, int64_t(x.size()) + 100000, names}, false},
        {"lying name count", {3, false, x, -1, names, 1000000}, false},
        {"names cut short", {3, false, x, -1, {Names("A"), Names("B")}}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Write("Test.Models.Tree", c.file);
        WeModel* model = Load("Test.Models.Tree");
        EXPECT_EQ(model != nullptr, c.loads);
        if (model == nullptr)
            continue;
        EXPECT_EQ(model->m_Name, "Test.Models.Tree");
        EXPECT_EQ(PresetName(model, "Root", 0), "A.0");
        EXPECT_EQ(PresetName(model, "Leaf", 29), "C.29");
        delete model;
    }
}

TEST_F(WeModelTest, CutFilesFailCleanly)
{
    Write("Test.Models.Whole",
          {2, false, Written(ThreeLevels()), -1, {Names("A"), Names("B"), Names("D"), Names("C")}});
    std::ifstream in(scratch.Path("Packages") + "/Test/Models/Whole.animodel", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 100u);
    // Cut anywhere before the names end, the load fails; only the ignored trailing float may go.
    for (size_t length = 0; length + 4 < whole.size(); length += 13)
    {
        SCOPED_TRACE(length);
        ASSERT_TRUE(tree.Create("Test.Models.Cut", WeModel::FileType, true));
        tree.GetStream()->Write(whole.data(), int64_t(length));
        ASSERT_TRUE(tree.EndCreate());
        WeModel* model = Load("Test.Models.Cut");
        EXPECT_EQ(model, nullptr);
        delete model;
    }
}

TEST_F(WeModelTest, PresetNamesFollowTheContainerOrder)
{
    // Version 2 with 18 names in preset 3 of the first container: 16 kept, the rest read and dropped, so
    // the following containers still get their own.
    std::vector<ContainerNames> names = {Names("A"), Names("B"), Names("D"), Names("C")};
    for (int k = 1; k < 18; ++k)
        names[0][3].push_back("extra" + std::to_string(k));
    Write("Test.Models.Tree", {2, false, Written(ThreeLevels()), -1, names});
    WeModel* model = Load("Test.Models.Tree");
    ASSERT_NE(model, nullptr);
    for (int preset : {0, 3, 29})
    {
        SCOPED_TRACE(preset);
        EXPECT_EQ(PresetName(model, "Root", preset), "A." + std::to_string(preset));
        EXPECT_EQ(PresetName(model, "Mid", preset), "B." + std::to_string(preset));
        EXPECT_EQ(PresetName(model, "Side", preset), "D." + std::to_string(preset));
        EXPECT_EQ(PresetName(model, "Leaf", preset), "C." + std::to_string(preset));
    }
    EXPECT_EQ(PresetName(model, "Root", 3, 15), "extra15");
    // Every frame knows its parent and its container's mesh.
    EXPECT_EQ(Find(model, "Leaf")->m_Parent, Find(model, "Mid"));
    EXPECT_EQ(Find(model, "Side")->m_Parent, Find(model, "Root"));
    EXPECT_EQ(Find(model, "Root")->m_Parent, nullptr);
    EXPECT_EQ(Find(model, "Mid")->m_Mesh->GetFaceCount(), 2);
    delete model;
}

TEST_F(WeModelTest, UpdateChainsMatricesAndKeepsThePreviousOne)
{
    Write("Test.Models.Tree", {3, false, Written(ThreeLevels()), -1, {Names("A"), Names("B"), Names("D"), Names("C")}});
    WeModel* model = Load("Test.Models.Tree");
    ASSERT_NE(model, nullptr);
    WeModelFrame* leaf = Find(model, "Leaf");
    WeModelFrame* side = Find(model, "Side");
    const D3DXMATRIX first = TranslationMatrix(10, 0, 0);
    model->Update(1.0f, &first, true);
    // Leaf = own x Mid x Root x parent; the reset makes the previous matrix equal.
    EXPECT_TRUE(NearMatrix(leaf->GetCurrent(), TranslationMatrix(10, 2, 5)));
    EXPECT_TRUE(NearMatrix(leaf->GetPrevious(), TranslationMatrix(10, 2, 5)));
    EXPECT_TRUE(NearMatrix(side->GetCurrent(), TranslationMatrix(13, 0, 0)));
    EXPECT_EQ(leaf->m_WorldMatrix, &leaf->GetCurrent());

    const D3DXMATRIX second = TranslationMatrix(20, 0, 0);
    model->Update(1.0f, &second, false);
    EXPECT_TRUE(NearMatrix(leaf->GetCurrent(), TranslationMatrix(20, 2, 5)));
    EXPECT_TRUE(NearMatrix(*leaf->m_PrevWorldMatrix, TranslationMatrix(10, 2, 5)));
    model->Update(1.0f, &second, true);
    EXPECT_TRUE(NearMatrix(*leaf->m_PrevWorldMatrix, TranslationMatrix(20, 2, 5)));
    delete model;
}

TEST_F(WeModelTest, AnimationTurnsTheRotorAndClonesAnimateOnTheirOwn)
{
    Write("Test.Models.Spinner", {3, false, Written(Spinner()), -1, {Names("Blade")}});
    WeModel* model = Load("Test.Models.Spinner");
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->m_Controller, nullptr);
    D3DXMATRIX identity = IdentityMatrix();
    auto turned = [](float quarterTurns)
    {
        D3DXMATRIX r;
        D3DXMatrixRotationY(&r, quarterTurns * Pi / 2.0f);
        return r * TranslationMatrix(0, 1, 0);
    };
    // A frame time of 0.25 s is 1200 ticks: a quarter turn per update.
    model->Update(1.0f, &identity, true);
    EXPECT_TRUE(NearMatrix(Find(model, "Rotor")->GetCurrent(), turned(1)));
    model->Update(2.0f, &identity, false);
    EXPECT_TRUE(NearMatrix(Find(model, "Rotor")->GetCurrent(), turned(3)));

    WeModel* clone = g_ModelManager.Clone(model);
    ASSERT_NE(clone, nullptr);
    ASSERT_NE(clone->m_Controller, model->m_Controller);
    clone->Update(1.0f, &identity, false);
    EXPECT_TRUE(NearMatrix(Find(clone, "Rotor")->GetCurrent(), turned(4)));
    EXPECT_TRUE(NearMatrix(Find(model, "Rotor")->GetCurrent(), turned(3)));
    // The clone shares the mesh and outlives the model it came from.
    EXPECT_EQ(Find(clone, "Rotor")->m_Mesh, Find(model, "Rotor")->m_Mesh);
    delete model;
    clone->Update(1.0f, &identity, false);
    EXPECT_TRUE(NearMatrix(Find(clone, "Rotor")->GetCurrent(), turned(1)));
    EXPECT_EQ(Find(clone, "Rotor")->m_Mesh->GetFaceCount(), 2);
    delete clone;
}

TEST_F(WeModelTest, CopyFromClonesTheSkinInformation)
{
    XFileData data = Spinner();
    XFileMesh& blade = data.frames[0].children[0].meshes[0];
    blade.hasSkinHeader = true;
    blade.maxSkinWeightsPerVertex = 1;
    blade.maxSkinWeightsPerFace = 1;
    blade.skinBones = 1;
    XFileSkinWeights weights;
    weights.bone = "Rotor";
    weights.vertices = {0, 1, 2, 3};
    weights.weights = {1, 1, 1, 1};
    weights.offset = TranslationMatrix(0, -1, 0);
    blade.skinWeights.push_back(weights);
    Write("Test.Models.Skinned", {3, false, Written(data), -1, {Names("Blade")}});
    WeModel* model = Load("Test.Models.Skinned");
    ASSERT_NE(model, nullptr);
    WeModel* clone = g_ModelManager.Clone(model);
    ASSERT_NE(clone, nullptr);
    auto container = [](WeModel* m)
    { return static_cast<WeMeshContainerRecord*>(Find(m, "Rotor")->m_Frame->pMeshContainer); };
    ASSERT_NE(container(model)->pSkinInfo, nullptr);
    ASSERT_NE(container(clone)->pSkinInfo, nullptr);
    EXPECT_NE(container(clone)->pSkinInfo, container(model)->pSkinInfo);
    EXPECT_EQ(container(clone)->pSkinInfo->GetNumBones(), 1u);
    ASSERT_EQ(container(clone)->boneOffsets.size(), 1u);
    EXPECT_TRUE(NearMatrix(container(clone)->boneOffsets[0], TranslationMatrix(0, -1, 0)));
    EXPECT_EQ(container(clone)->mesh, container(model)->mesh);
    EXPECT_EQ(clone->m_Kind, WeModel::KindHierarchy);
    EXPECT_EQ(clone->m_Name, "Test.Models.Skinned");
    delete clone;
    delete model;
}

TEST(WeModelBounds, MergingEnclosesBothSpheres)
{
    struct Case
    {
        const char* what;
        D3DXVECTOR3 parentCentre;
        float parentRadius;
        D3DXVECTOR3 childCentre;
        float childRadius;
        D3DXVECTOR3 centre;
        float radius;
    };
    const Case cases[] = {
        {"child inside", {0, 0, 0}, 5, {1, 0, 0}, 1, {0, 0, 0}, 5},
        {"child holds the parent", {1, 0, 0}, 1, {0, 0, 0}, 5, {0, 0, 0}, 5},
        {"coincident, child larger", {2, 2, 2}, 1, {2, 2, 2}, 3, {2, 2, 2}, 3},
        {"coincident, parent larger", {2, 2, 2}, 3, {2, 2, 2}, 1, {2, 2, 2}, 3},
        {"parent without geometry", {9, 9, 9}, 0, {1, 0, 0}, 2, {1, 0, 0}, 2},
        {"child without geometry", {0, 0, 0}, 1, {9, 0, 0}, 0, {0, 0, 0}, 1},
        {"apart", {0, 0, 0}, 1, {4, 0, 0}, 1, {2, 0, 0}, 3},
        {"overlapping", {0, 0, 0}, 2, {2, 0, 0}, 1, {0.5f, 0, 0}, 2.5f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        D3DXVECTOR3 centre = c.parentCentre;
        float radius = c.parentRadius;
        WeMergeSphere(centre, radius, c.childCentre, c.childRadius);
        EXPECT_NEAR(centre.x, c.centre.x, 1e-5f);
        EXPECT_NEAR(centre.y, c.centre.y, 1e-5f);
        EXPECT_NEAR(centre.z, c.centre.z, 1e-5f);
        EXPECT_NEAR(radius, c.radius, 1e-5f);
    }
}

TEST_F(WeModelTest, HierarchyBoundsEncloseEveryFrame)
{
    Write("Test.Models.Tree", {3, false, Written(ThreeLevels()), -1, {Names("A"), Names("B"), Names("D"), Names("C")}});
    WeModel* model = Load("Test.Models.Tree");
    ASSERT_NE(model, nullptr);
    D3DXMATRIX scaled;
    D3DXMatrixScaling(&scaled, 2, 2, 2);
    for (bool scale : {false, true})
    {
        SCOPED_TRACE(scale);
        model->Update(1.0f, &scaled, true);
        model->UpdateBounds(scale);
        EXPECT_GT(model->m_SphereRadius, 0.0f);
        int frames = 0;
        model->ForEachFrame(
            [&](WeModelFrame* f)
            {
                ++frames;
                D3DXVECTOR3 between = f->m_SphereCenter - model->m_SphereCenter;
                EXPECT_LE(D3DXVec3Length(&between) + f->m_SphereRadius, model->m_SphereRadius + 1e-4f)
                    << f->m_Frame->Name;
                EXPECT_GT(f->m_SphereRadius, 0.0f);
            });
        EXPECT_EQ(frames, 4);
    }
    // Scaled, the quad's radius doubles with the matrix.
    WeModelFrame* leaf = Find(model, "Leaf");
    EXPECT_NEAR(leaf->m_SphereRadius, 2.0f * leaf->m_Mesh->m_SphereRadius, 1e-4f);
    delete model;
}

TEST_F(WeModelTest, PathsLoadTextXFilesOnly)
{
    const std::string x = Written(Spinner());
    struct Case
    {
        const char* file;
        bool loads;
    };
    for (const Case& c : {Case{"spinner.x", true}, Case{"spinner.X", true}, Case{"spinner.ase", false},
                          Case{"spinner.mdl", false}, Case{"spinner", false}})
    {
        SCOPED_TRACE(c.file);
        const std::string path = scratch.Path(c.file);
        {
            std::ofstream out(path, std::ios::binary);
            out << x;
        }
        WeModel model;
        model.m_Kind = WeModel::KindHierarchy;
        EXPECT_EQ(model.Load(&tree, path.c_str(), false), c.loads);
        if (c.loads)
        {
            EXPECT_NE(model.m_Controller, nullptr);
            EXPECT_EQ(PresetName(&model, "Rotor", 0), "");
        }
    }
    // A mesh model is never loaded from a file.
    WeModel mesh;
    EXPECT_FALSE(mesh.Load(&tree, scratch.Path("spinner.x").c_str(), false));
}

TEST_F(WeModelTest, ManagerPrefersMeshesAndMakesANewModelEachTime)
{
    ASSERT_TRUE(g_MeshManager.Init());
    Write("Test.Models.Spinner", {3, false, Written(Spinner()), -1, {Names("Blade")}});
    // The same name as a mesh file as well: the mesh wins.
    Write("Test.Models.Both", {3, false, Written(Spinner()), -1, {Names("Blade")}});
    ASSERT_TRUE(tree.Create("Test.Models.Both", WeModelManager::MeshFileType, true));
    tree.GetStream()->WriteInt32(0);
    ASSERT_TRUE(tree.EndCreate());
    Write("Test.Models.Broken", {3, false, "xof 0303txt 0032\nFrame {", -1, {}});

    EXPECT_EQ(g_ModelManager.Load(&tree, "", 0), nullptr);
    EXPECT_EQ(g_ModelManager.Load(&tree, "Test.Models.Nothing", 0), nullptr);
    EXPECT_EQ(g_ModelManager.Load(&tree, "Test.Models.Broken", 0), nullptr);
    WeModel* both = g_ModelManager.Load(&tree, "Test.Models.Both", 0);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->m_Kind, WeModel::KindMesh);
    // The mesh itself comes from the packages, where there is none of that name: the default mesh.
    EXPECT_EQ(both->m_Mesh, g_MeshManager.m_Default);
    WeModel* first = g_ModelManager.Load(&tree, "Test.Models.Spinner", 0);
    WeModel* second = g_ModelManager.Load(&tree, "Test.Models.Spinner", 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->m_Kind, WeModel::KindHierarchy);
    WeModel* copy = g_ModelManager.Clone(both);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_Kind, WeModel::KindMesh);
    EXPECT_EQ(copy->m_Mesh, both->m_Mesh);
    EXPECT_EQ(g_ModelManager.Clone(nullptr), nullptr);
    delete copy;
    delete both;
    delete first;
    delete second;
}

}  // namespace
