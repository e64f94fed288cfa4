// The shipped race tracks load completely through the game's map class with physics up: known record codes
// only, the current record versions, eight starts on the road past the line, every pickup over the road and
// filed under a node, a closed loop with its fork and jump, rising checkpoints; and the track list offers the
// two listed ones with their worlds, translated names and packed pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CStartLocation.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{

// Counts every record code the factory is asked for.
class CountingMap : public CGameMap
{
public:
    WeActor* CreateActor(int32_t typeCode) override
    {
        codes.push_back(typeCode);
        return CGameMap::CreateActor(typeCode);
    }
    std::vector<int32_t> codes;
};

class GameTracks : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0.0f, -9.81f, 0.0f)));
        g_Localization.Load();
    }
    void TearDown() override
    {
        g_RenderQueue.Prepare(nullptr, nullptr);
        g_Physics.Shutdown();
        RecordingRender::TearDown();
    }
    // The track segment a ray straight down from a little above the point hits within `reach`, or null.
    static WeActor* RoadBelow(const D3DXVECTOR3& point, float reach, float* distance = nullptr)
    {
        WeRaycastHit hit;
        if (!g_Physics.RaycastClosest(point + D3DXVECTOR3(0.0f, 0.5f, 0.0f), D3DXVECTOR3(0.0f, -1.0f, 0.0f), 1, hit,
                                      ~0u, reach + 0.5f, 0xFF))
            return nullptr;
        if (distance)
            *distance = hit.distance - 0.5f;
        return hit.actor != nullptr && hit.actor->m_PhysicModel.physicsClass == 4 ? hit.actor : nullptr;
    }
};

const char* const Tracks[] = {"_TestRace", "Wastelands of Apeiron (day)", "Fusion Sphere (night)"};

TEST_F(GameTracks, EachLoadsWholeWithItsStartsPickupsAndPath)
{
    for (const char* name : Tracks)
    {
        SCOPED_TRACE(name);
        CountingMap map;
        ASSERT_TRUE(map.BeginLoad(name));
        EXPECT_EQ(map.m_Header.m_Version, 18);
        EXPECT_FALSE(map.m_Header.m_Damaged);
        while (!map.m_Loaded)
            ASSERT_TRUE(map.LoadStep());

        // Every record came from a code the game knows, and none was cut short: each made actor is in the
        // world (the tracks place no movable scenery, so nothing is left out for the dynamics switch).
        const std::set<int32_t> engineCodes = {WeActorTypePlain,  WeActorTypePathNode,
                                               WeActorTypeLight,  WeActorTypeParticleSystem,
                                               WeActorTypePortal, CStartLocation::TypeCode};
        for (int32_t code : map.codes)
            EXPECT_TRUE(engineCodes.count(code) == 1 || IsPickupType(code)) << code;
        // Beside them only the pickups' glow markers, which the pickups make.
        int32_t markers = 0;
        for (auto* e = map.GetActors().First(); e != nullptr; e = map.GetActors().Next())
            markers += dynamic_cast<CPickup*>(e->value->m_Parent) != nullptr ? 1 : 0;
        EXPECT_EQ(int32_t(map.codes.size()), map.GetActors().Count() - markers);

        std::vector<CStartLocation*> starts;
        std::vector<CPickup*> pickups;
        std::vector<WePathNode*> nodes;
        for (auto* e = map.GetActors().First(); e != nullptr; e = map.GetActors().Next())
        {
            WeActor* a = e->value;
            if (dynamic_cast<CPickup*>(a->m_Parent) != nullptr)
                continue;
            EXPECT_EQ(a->m_RecordVersion, WeActor::RecordVersion);
            if (auto* s = dynamic_cast<CStartLocation*>(a))
                starts.push_back(s);
            else if (auto* p = dynamic_cast<CPickup*>(a))
                pickups.push_back(p);
            else if (auto* n = dynamic_cast<WePathNode*>(a))
                nodes.push_back(n);
        }

        // Eight starts, indices 1 to 8, on the road, facing along the track, just past the first node.
        const WePathNode* first = map.m_FirstPathNode;
        ASSERT_NE(first, nullptr);
        const D3DXMATRIX& f = first->GetWorldMatrix();
        std::set<int32_t> indices;
        for (CStartLocation* s : starts)
        {
            indices.insert(s->m_StartIndex);
            const D3DXVECTOR3 p = s->GetWorldPosition();
            EXPECT_NE(RoadBelow(p, 3.0f), nullptr) << s->m_StartIndex;
            const D3DXMATRIX& m = s->GetWorldMatrix();
            EXPECT_GT(m._31 * f._31 + m._32 * f._32 + m._33 * f._33, 0.95f) << s->m_StartIndex;
            const float ahead = (p.x - f._41) * f._31 + (p.y - f._42) * f._32 + (p.z - f._43) * f._33;
            EXPECT_GT(ahead, 0.0f) << s->m_StartIndex;
            EXPECT_LT(ahead, 60.0f) << s->m_StartIndex;
        }
        EXPECT_EQ(starts.size(), 8u);
        EXPECT_EQ(indices, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));

        // Every pickup id, each over the road and filed under a path node; some random boxes.
        std::set<int32_t> kinds;
        int32_t random = 0;
        for (CPickup* p : pickups)
        {
            kinds.insert(p->m_Type);
            random += p->m_Random ? 1 : 0;
            EXPECT_NE(RoadBelow(p->GetWorldPosition(), 3.0f), nullptr) << p->m_Type;
            int32_t filed = 0;
            for (WePathNode* n : nodes)
                filed += n->m_AttachedActors.Contains(p) ? 1 : 0;
            EXPECT_EQ(filed, 1) << p->m_Type;
        }
        // A random box has rolled its contents at load: its record's code counts.
        for (int32_t code : map.codes)
            if (IsPickupType(code))
                kinds.insert(code);
        EXPECT_EQ(int32_t(kinds.size()), PickupTypeCount);
        EXPECT_GT(random, 0);
        EXPECT_EQ(map.m_Pickups.Count(), int32_t(pickups.size()));

        // A closed loop with one fork and one jump; checkpoints rise around the lap.
        int32_t forks = 0, jumps = 0, branchJumps = 0;
        for (WePathNode* n : nodes)
        {
            forks += n->m_Kind == WePathNode::Fork ? 1 : 0;
            jumps += n->m_Kind == WePathNode::JumpStart ? 1 : 0;
            branchJumps += n->m_Kind == WePathNode::JumpStart && n->m_BranchTag != 0 ? 1 : 0;
            // A jump's ends are linked across the gap.
            if (n->m_Kind == WePathNode::JumpStart)
            {
                ASSERT_NE(n->m_Next, nullptr);
                EXPECT_EQ(n->m_Next->m_Kind, WePathNode::JumpEnd);
            }
        }
        EXPECT_EQ(forks, 1);
        // One jump on the main path; the Wastelands' outer branch jumps a gap of its own.
        const bool wastelands = std::string(name).rfind("Wastelands", 0) == 0;
        EXPECT_EQ(jumps, wastelands ? 2 : 1);
        EXPECT_EQ(branchJumps, wastelands ? 1 : 0);
        std::vector<float> checkpoints;
        bool closed = false;
        const WePathNode* n = first;
        for (size_t i = 0; i <= nodes.size() && n != nullptr; ++i)
        {
            if (PathNodeFields::IsCheckpoint(*n))
                checkpoints.push_back(n->m_Fraction);
            n = n->m_Next;
            if (n == first)
            {
                closed = true;
                break;
            }
        }
        EXPECT_TRUE(closed);
        EXPECT_GE(checkpoints.size(), 4u);
        EXPECT_TRUE(std::is_sorted(checkpoints.begin(), checkpoints.end()));
        EXPECT_EQ(std::adjacent_find(checkpoints.begin(), checkpoints.end()), checkpoints.end());
    }
}

TEST_F(GameTracks, TheTrackListOffersTheListedOnesTranslatedWithTheirPictures)
{
    g_MapCatalogue.Load();
    ASSERT_EQ(g_MapCatalogue.m_Names.Count(), 2);
    EXPECT_EQ(g_MapCatalogue.m_Names.Front(), "Wastelands of Apeiron (day)");
    EXPECT_EQ(g_MapCatalogue.m_Names.Back(), "Fusion Sphere (night)");
    const struct
    {
        const char* map;
        const char* world;
        const char* displayName;
    } listed[] = {{"Wastelands of Apeiron (day)", "Gnosis", "Wastelands of Apeiron\n/day/"},
                  {"Fusion Sphere (night)", "Evelad", "Fusion Sphere\n/night/"}};
    for (const auto& l : listed)
    {
        SCOPED_TRACE(l.map);
        const CMapInfo* info = g_MapCatalogue.Find(l.map);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->m_WorldName, l.world);
        EXPECT_EQ(info->m_Header.m_DisplayName, l.displayName);
        EXPECT_FALSE(info->m_Header.m_Description.IsEmpty());
        EXPECT_LT(info->m_Header.m_Description.Find("Maps: "), 0);
        EXPECT_GT(info->m_Header.m_LapTimes[0], info->m_Header.m_LapTimes[2]);
        EXPECT_NE(info->m_Header.m_LoadScreenColor[0], 1.0f);
        for (const WeString& texture : {info->m_Header.m_PreviewTexture, info->m_Header.m_LoadingTexture})
            EXPECT_NE(g_TextureManager.GetTexture(texture, false, 0, false), nullptr) << texture.c_str();
    }
    g_MapCatalogue.Clear();
    // The unlisted test track still has its pictures.
    for (const char* texture : {"Maps.TestRace.Preview", "Maps.TestRace.Loading"})
        EXPECT_NE(g_TextureManager.GetTexture(texture, false, 0, false), nullptr) << texture;
}

}  // namespace
