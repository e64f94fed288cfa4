// The model writer and model descriptions: a description with meshes and an animation set written and read
// back through the model reader, the container order, and descriptions that stop with file and line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeMeshHierarchy.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/content/ContentModelSource.h"
#include "Tools/content/ContentModelWriter.h"

namespace fs = std::filesystem;

namespace
{

constexpr float Pi = 3.14159265358979f;

const char* const BladeMesh = "[Mesh]\n"
                              "[Part Blade]\n"
                              "shape=box\n"
                              "size=2,0.1,0.2\n"
                              "subset=0\n"
                              "[Part Hub]\n"
                              "shape=box\n"
                              "size=0.3,0.3,0.3\n"
                              "subset=1\n"
                              "[Subset 0]\n"
                              "material=Test.Materials.Blade\n"
                              "preset3=Test.Materials.Gold\n"
                              "[Subset 1]\n"
                              "material=Test.Materials.Hub\n";

const char* const BoxMesh = "[Mesh]\n"
                            "[Part Box]\n"
                            "shape=box\n"
                            "size=1,1,1\n"
                            "subset=0\n"
                            "[Subset 0]\n"
                            "material=Test.Materials.Box\n";

class ContentWritersModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(root / "Staged");
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.ResetAll();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 16;
        pp.BackBufferHeight = 16;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.Windowed = TRUE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device), D3D_OK);
        ASSERT_TRUE(g_RenderDevice.AdoptDevice(device));
        staged.SetRoot((root / "Staged").string().c_str());
        Source("Test/Meshes/Blade.msh", BladeMesh);
        Source("Test/Meshes/Box.msh", BoxMesh);
    }
    void TearDown() override
    {
        g_Timer.m_FrameDeltaF = 0.0f;
        g_RenderDevice.Shutdown();
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
    }

    std::string Source(const std::string& relative, const std::string& text)
    {
        fs::path path = root / "Assets" / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    bool Write(const std::string& text, ContentError* error)
    {
        const std::string path = Source("Test/Models/Made.mdl", text);
        return ContentModelSource::Write(path, (root / "Assets").string(), "Test.Models.Made", staged, error);
    }

    WeModel* Read()
    {
        WeModel* model = new WeModel();
        model->m_Kind = WeModel::KindHierarchy;
        if (!model->Load(&staged, "Test.Models.Made", true))
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

    ScratchFolder scratch;
    const fs::path& root = scratch.Root();
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    WeFileSystem staged;
};

TEST_F(ContentWritersModel, FramesMeshesPresetsAndKeysRoundTrip)
{
    ContentError error;
    ASSERT_TRUE(Write("[Model]\n"
                      "ticks=100\n"
                      "[Frame Base]\n"
                      "position=0,-1,0\n"
                      "mesh=Test.Meshes.Box\n"
                      "[Frame Rotor]\n"
                      "parent=Base\n"
                      "position=0,2,0\n"
                      "rotation=0,0,0\n"
                      "mesh=Test.Meshes.Blade\n"
                      "[Frame Tip]\n"
                      "parent=Rotor\n"
                      "position=1,0,0\n"
                      "scale=0.5,0.5,0.5\n"
                      "[Frame Lamp]\n"
                      "parent=Base\n"
                      "position=0,0,3\n"
                      "mesh=Test.Meshes.Box\n"
                      "[Animation Spin]\n"
                      "Rotor.rotation=0:0,0,0 25:90,0,0 50:180,0,0 75:270,0,0 100:360,0,0\n"
                      "Rotor.position=0:0,2,0 100:0,2,0\n",
                      &error))
        << error.Text();
    WeModel* model = Read();
    ASSERT_NE(model, nullptr);
    WeModelFrame* base = Find(model, "Base");
    WeModelFrame* rotor = Find(model, "Rotor");
    WeModelFrame* tip = Find(model, "Tip");
    WeModelFrame* lamp = Find(model, "Lamp");
    ASSERT_TRUE(base && rotor && tip && lamp);
    EXPECT_EQ(rotor->m_Parent, base);
    EXPECT_EQ(tip->m_Parent, rotor);
    EXPECT_EQ(lamp->m_Parent, base);
    EXPECT_EQ(tip->m_Mesh, nullptr);
    EXPECT_FLOAT_EQ(tip->m_Frame->TransformationMatrix._11, 0.5f);
    EXPECT_FLOAT_EQ(tip->m_Frame->TransformationMatrix._41, 1.0f);
    // Meshes and their presets: a preset a subset does not name takes preset 0's material.
    ASSERT_NE(rotor->m_Mesh, nullptr);
    EXPECT_EQ(rotor->m_Mesh->m_SubsetCount, 2);
    EXPECT_EQ(rotor->m_Mesh->GetFaceCount(), 24);
    EXPECT_STREQ(rotor->m_Mesh->m_Presets[0].names[0].c_str(), "Test.Materials.Blade");
    EXPECT_STREQ(rotor->m_Mesh->m_Presets[0].names[1].c_str(), "Test.Materials.Hub");
    EXPECT_STREQ(rotor->m_Mesh->m_Presets[3].names[0].c_str(), "Test.Materials.Gold");
    EXPECT_STREQ(rotor->m_Mesh->m_Presets[3].names[1].c_str(), "Test.Materials.Hub");
    EXPECT_STREQ(rotor->m_Mesh->m_Presets[29].names[0].c_str(), "Test.Materials.Blade");
    EXPECT_STREQ(lamp->m_Mesh->m_Presets[0].names[0].c_str(), "Test.Materials.Box");
    EXPECT_NEAR(base->m_Mesh->m_SphereRadius, std::sqrt(0.75f), 1e-4f);
    // The keys: 100 ticks a second, so a quarter second turns the rotor a quarter turn.
    ASSERT_NE(model->m_Controller, nullptr);
    g_Timer.m_FrameDeltaF = 0.25f;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    model->Update(1.0f, &identity, true);
    D3DXMATRIX turn, expected;
    D3DXMatrixRotationY(&turn, Pi / 2.0f);
    D3DXMatrixTranslation(&expected, 0, 2, 0);
    expected = turn * expected;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(rotor->m_Frame->TransformationMatrix.m[i][j], expected.m[i][j], 1e-4f) << i << "," << j;
    delete model;
}

TEST_F(ContentWritersModel, ContainersFollowTheReadersOrder)
{
    // Root with children Mid (child Leaf) and Side: the reader takes Root, Mid, Side, Leaf.
    XFileData data;
    XFileMesh quad;
    quad.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    quad.faces = {{0, 1, 2}};
    auto frame = [&](const char* name)
    {
        XFileFrame f;
        f.name = name;
        f.meshes.push_back(quad);
        f.meshes.back().name = std::string("M") + name;
        return f;
    };
    XFileFrame top = frame("Root"), mid = frame("Mid"), side = frame("Side");
    mid.children.push_back(frame("Leaf"));
    top.children = {mid, side};
    data.frames.push_back(top);
    std::vector<std::string> order;
    for (const XFileMesh* mesh : ContentModelWriter::ContainerOrder(data))
        order.push_back(mesh->name);
    EXPECT_EQ(order, (std::vector<std::string>{"MRoot", "MMid", "MSide", "MLeaf"}));

    std::vector<ContentModelWriter::Container> containers(4);
    for (size_t i = 0; i < 4; ++i)
        containers[i].names[0] = {order[i].substr(1)};
    WeFileStream out;
    ASSERT_TRUE(out.Create((root / "order.model").string().c_str()));
    std::string error;
    EXPECT_FALSE(ContentModelWriter::WriteFile(out, data, {containers[0]}, &error));
    EXPECT_NE(error.find("names for 1"), std::string::npos) << error;
    ASSERT_TRUE(ContentModelWriter::WriteFile(out, data, containers, &error)) << error;
    out.Close();
    fs::create_directories(root / "Staged" / "Test" / "Models");
    fs::rename(root / "order.model", root / "Staged" / "Test" / "Models" / "Made.animodel");
    WeModel* model = Read();
    ASSERT_NE(model, nullptr);
    for (const char* name : {"Root", "Mid", "Side", "Leaf"})
        EXPECT_STREQ(Find(model, name)->m_Mesh->m_Presets[7].names[0].c_str(), name);
    delete model;
}

TEST_F(ContentWritersModel, BadDescriptionsStopWithFileAndLine)
{
    struct Case
    {
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"[Model]\nticks=0\n[Frame A]\n", 2, "ticks"},
        {"[Model]\n[Frame A]\ncolour=red\n", 3, "unknown key colour"},
        {"[Model]\n[Frame A]\nposition=1,2\n", 3, "position"},
        {"[Model]\n[Frame A]\n[Frame A]\n", 3, "twice"},
        {"[Model]\n[Frame A]\nparent=B\n", 2, "no parent frame B"},
        {"[Model]\n[Frame A]\nparent=B\n[Frame B]\nparent=A\n", 0, "loop"},
        {"[Model]\n[Frame A]\nmesh=Test.Meshes.None\n", 2, "no mesh description"},
        {"[Model]\n[Frame A]\n[Animation S]\nA.spin=0:0,0,0\n", 4, "rotation"},
        {"[Model]\n[Frame A]\n[Animation S]\nA.rotation=10:0,0,0 5:0,0,0\n", 4, "rise"},
        {"[Model]\n[Frame A]\n[Animation S]\nB.position=0:0,0,0\n", 4, "no frame B"},
        {"[Model]\n[Frame A]\n[Animation S]\nA.scale=0:1,1,1\nA.scale=5:1,1,1\n", 5, "twice"},
        {"[Model]\n[Frame A]\n[Lights]\n", 3, "unknown section"},
        {"[Frame A]\n", 0, "no [Model]"},
        {"ticks=5\n", 1, "outside"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        ContentError error;
        EXPECT_FALSE(Write(c.text, &error));
        EXPECT_NE(error.file.find("Made.mdl"), std::string::npos);
        EXPECT_EQ(error.line, c.line) << error.Text();
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.Text();
        EXPECT_FALSE(fs::exists(root / "Staged" / "Test" / "Models" / "Made.animodel"));
    }
}

}  // namespace
