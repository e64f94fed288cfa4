// The craft's content in the pack: every name the craft's loaders asked for, each catalogue craft's five mesh
// models with their presets and its projector material, three different hulls that fit the body, flames at
// the nozzles and the minigun muzzles at the barrel tips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tools/content/ContentError.h"
#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentMeshGenerator.h"
#include "Tools/content/ContentMeshWriter.h"

namespace
{

const std::string Assets = std::string(WE_FIXTURES_DIR) + "/../../Content/Assets";

ContentMeshDescription Describe(const std::string& id)
{
    const std::string path = Assets + "/Tubers/Models/" + id + ".msh";
    std::string text;
    ContentError error;
    ContentMeshDescription d;
    EXPECT_TRUE(ContentIniReader::ReadFile(path, &text, &error)) << error.Text();
    EXPECT_TRUE(ContentMeshWriter::Parse(path, text, &d, &error)) << error.Text();
    return d;
}

const ContentMeshPart* Part(const ContentMeshDescription& d, const std::string& name)
{
    for (const ContentMeshPart& p : d.parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

struct CraftContent : ::testing::Test
{
    void SetUp() override
    {
        RaceRigOptions o = CraftTest::Options(2);
        rig = std::make_unique<RaceRig>(o);
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
    }
    void TearDown() override { rig.reset(); }
    std::unique_ptr<RaceRig> rig;
};

TEST_F(CraftContent, EveryNameTheCraftAskedForIsPacked)
{
    ASSERT_FALSE(CTuber::s_Assets.requests.empty());
    for (const CTuberAssetRequest& r : CTuber::s_Assets.requests)
        EXPECT_TRUE(r.found) << r.kind << " " << r.name;
}

TEST_F(CraftContent, EachCraftHasItsModelsPresetsAndProjector)
{
    ASSERT_EQ(g_TuberCatalogue.m_Names.Count(), 3);
    int32_t vertices[3] = {};
    int i = 0;
    for (WeStringList::Node* n = g_TuberCatalogue.m_Names.FirstNode(); n; n = g_TuberCatalogue.m_Names.NextNode(n))
    {
        const CTuberDescription* d = g_TuberCatalogue.Find(n->payload);
        ASSERT_NE(d, nullptr);
        SCOPED_TRACE(d->m_Name.c_str());
        EXPECT_NE(d->m_ProjectorMaterial, nullptr);
        for (int m = 0; m < CTuberDescription::ModelCount; ++m)
        {
            WeModel* model = d->m_Models[m];
            ASSERT_NE(model, nullptr) << m;
            EXPECT_EQ(model->m_Kind, WeModel::KindMesh);
            ASSERT_NE(model->m_Mesh, nullptr);
            for (int preset : {0, 1, 2, 5})
                for (int s = 0; s < model->m_Mesh->m_SubsetCount; ++s)
                    EXPECT_FALSE(model->m_Mesh->m_Presets[preset].names[s].IsEmpty()) << "preset " << preset;
        }
        vertices[i++] = d->m_Models[0]->m_Mesh->GetVertexCount();
    }
    EXPECT_NE(vertices[0], vertices[1]);
    EXPECT_NE(vertices[1], vertices[2]);
    EXPECT_NE(vertices[0], vertices[2]);
}

TEST_F(CraftContent, HullsFitTheBodyFlamesSitAtTheNozzlesMuzzlesAtTheBarrels)
{
    for (WeStringList::Node* n = g_TuberCatalogue.m_Names.FirstNode(); n; n = g_TuberCatalogue.m_Names.NextNode(n))
    {
        const CTuberDescription* craft = g_TuberCatalogue.Find(n->payload);
        const std::string id = craft->m_ModelID.c_str();
        SCOPED_TRACE(id);
        const ContentMeshDescription d = Describe(id);
        const ContentMeshPart* hull = Part(d, "Hull");
        ASSERT_NE(hull, nullptr);
        ContentMeshGeometry g;
        std::string reason;
        ASSERT_TRUE(ContentMeshGenerator::AddPart(*hull, &g, &reason)) << reason;
        float lo = 1e9f, hi = -1e9f, width = 0.0f, height = 0.0f;
        for (const ContentMeshVertex& v : g.vertices)
        {
            lo = std::fmin(lo, v.position.z);
            hi = std::fmax(hi, v.position.z);
            width = std::fmax(width, std::fabs(v.position.x));
            height = std::fmax(height, std::fabs(v.position.y));
        }
        EXPECT_GE(hi - lo, 7.0f);
        EXPECT_LE(hi - lo, 9.0f);
        EXPECT_LT(std::fabs(hi + lo) * 0.5f, 0.5f);  // centred on the body
        EXPECT_LE(width, 1.4f);                      // within the body's 2 m, the heavy craft's flanks a little over
        EXPECT_LE(height, 1.1f);

        const std::string prefix = "tubers." + std::string(craft->m_Name.c_str());
        const int32_t count = GetConfigInt((prefix + ".TotalPropulsions").c_str(), 0);
        int32_t nozzles = 0;
        while (Part(d, "Engine" + std::to_string(nozzles + 1)))
            ++nozzles;
        EXPECT_EQ(count, nozzles);
        for (int32_t e = 1; e <= count; ++e)
        {
            const ContentMeshPart* nozzle = Part(d, "Engine" + std::to_string(e));
            float p[3] = {};
            const WeString& text = GetConfigString((prefix + ".Propulsion" + std::to_string(e)).c_str(), "");
            ASSERT_EQ(std::sscanf(text.c_str(), "%f,%f,%f", &p[0], &p[1], &p[2]), 3) << text.c_str();
            const D3DXVECTOR3 off = D3DXVECTOR3(p[0], p[1], p[2]) - nozzle->position;
            EXPECT_LT(std::sqrt(off.x * off.x + off.y * off.y + off.z * off.z), 0.25f) << "Propulsion" << e;
        }
        for (int gun = 1; gun <= 2; ++gun)
        {
            const ContentMeshPart* barrel = Part(d, "Gun" + std::to_string(gun));
            ASSERT_NE(barrel, nullptr);
            const D3DXVECTOR3 tip = barrel->position + D3DXVECTOR3(0.0f, 0.0f, barrel->height * 0.5f);
            const std::string key = "tuber.Minigun.";
            const D3DXVECTOR3 muzzle(GetConfigFloat((key + "X" + std::to_string(gun)).c_str(), 0.0f),
                                     GetConfigFloat((key + "Y" + std::to_string(gun)).c_str(), 0.0f),
                                     GetConfigFloat((key + "Z" + std::to_string(gun)).c_str(), 0.0f));
            const D3DXVECTOR3 off = muzzle - tip;
            EXPECT_LT(std::sqrt(off.x * off.x + off.y * off.y + off.z * off.z), 0.05f) << "Gun" << gun;
        }
    }
}

}  // namespace
