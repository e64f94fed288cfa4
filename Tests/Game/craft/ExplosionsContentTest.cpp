// The explosions' content in the pack: every name their loaders asked for, the sounds their kinds play, and
// the visual table as shipped (a craft explosion that takes its life from its fireball's particles).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/render/WeModel.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct ExplosionsContent : CraftTest::ContentRig
{
};

TEST_F(ExplosionsContent, EveryNameTheLoadersAskedForIsPacked)
{
    ASSERT_FALSE(CExplosionAssets::s_Requests.empty());
    bool models = false, particles = false, textures = false;
    for (const CExplosionAssetRequest& r : CExplosionAssets::s_Requests)
    {
        EXPECT_TRUE(r.found) << r.kind << " " << r.name;
        models = models || r.kind == "model";
        particles = particles || r.kind == "particles";
        textures = textures || r.kind == "texture";
    }
    EXPECT_TRUE(models && particles && textures);
    // Every explosion model is a mesh, which the render queue draws.
    for (const CExplosionAssetRequest& r : CExplosionAssets::s_Requests)
        if (r.kind == "model")
        {
            const CExplosionModelAsset* asset = CExplosionAssets::FindModel(r.name.c_str());
            ASSERT_NE(asset, nullptr) << r.name;
            EXPECT_EQ(asset->model->m_Kind, WeModel::KindMesh) << r.name;
        }
}

TEST_F(ExplosionsContent, EverySoundTheKindsPlayIsPacked)
{
    std::vector<std::string> names = {"Sounds.Explosions.NukeExplosion", "Sounds.Voice.WeaponsDisabled",
                                      "Sounds.Voice.WeaponsEnabled"};
    for (const char* stem : {"Swarmer", "StandardRocket", "QuantumBolt", "Translocator", "SlowingRocket",
                             "TuberExplosion", "HomingMineExplosion"})
        for (int digit : {1, 2})
            names.push_back(std::string("Sounds.Explosions.") + stem + std::to_string(digit));
    for (int digit : {1, 2, 3})
    {
        names.push_back("Sounds.Tuber.Collision" + std::to_string(digit));
        names.push_back("Sounds.Weapons.StandardBolt" + std::to_string(digit));
    }
    for (const std::string& name : names)
        EXPECT_TRUE(CraftTest::InPack(name, "ogg")) << name;
}

TEST_F(ExplosionsContent, TheShippedVisualTable)
{
    const CExplosionVisualSet& missile = CExplosionLocalized::s_VisualTable[1];
    EXPECT_EQ(missile.count, 2);
    const CExplosionVisualSet& craft = CExplosionLocalized::s_VisualTable[8];
    ASSERT_GE(craft.count, 2);
    EXPECT_LE(craft.count, CExplosionLocalized::ModelSlots);
    // The craft's fireball takes its life from its particles: that life is the whole explosion's.
    EXPECT_LT(craft.entries[1].lifeTime, 0.0f);
    const CExplosionModelAsset* fireball = CExplosionAssets::FindModel(craft.entries[1].model.c_str());
    ASSERT_NE(fireball, nullptr);
    EXPECT_GT(fireball->particleDuration, 0.5f);
    EXPECT_LT(fireball->particleDuration, 2.0f);
    for (int32_t i : {0, 2, 3, 4, 5, 6, 7})
        EXPECT_EQ(CExplosionLocalized::s_VisualTable[i].count, 0) << CExplosionLocalized::VisualNames[i];
    // The minigun's spark puff is over before its copy's 0.2 s life ends and well within 0.3 s.
    WeNewParticleSystem* sparks = CExplosionAssets::FindParticles("Assets.Weapons.MiniGunExplosion");
    ASSERT_NE(sparks, nullptr);
    EXPECT_LE(CExplosionAssets::ParticleDuration(sparks), 0.3f);
}

}  // namespace
