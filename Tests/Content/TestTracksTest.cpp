// The shipped test tracks load completely through the start-location world with physics up: the path is on
// the road, rays from above the path nodes hit the track, and boxes dropped at the starts come to rest on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/Engine/render/RenderTestSupport.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapWorld.h"

namespace
{

class TestTracks : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create());
        ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0.0f, -9.81f, 0.0f)));
    }
    void TearDown() override
    {
        g_Physics.Shutdown();
        RecordingRender::TearDown();
    }
    // Physics steps of a 60th of a second, each followed by the world's tick.
    static void Run(WeWorld& world, int frames)
    {
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        for (int i = 0; i < frames; ++i)
        {
            g_Physics.Simulate();
            g_Physics.FetchResults();
            world.Tick();
        }
    }
};

TEST_F(TestTracks, EachMapLiesOnItsTrack)
{
    for (const char* name : {"TestOval", "TestCircuit"})
    {
        SCOPED_TRACE(name);
        MapWorld world;
        ASSERT_TRUE(world.BeginLoad(name));
        while (!world.m_Loaded)
            ASSERT_TRUE(world.LoadStep());

        std::vector<WeActor*> segments, starts;
        std::vector<WePathNode*> nodes;
        WeHashTable<WeActor*>& all = world.GetActors();
        for (auto* e = all.First(); e != nullptr; e = all.Next())
        {
            WeActor* a = e->value;
            if (WePathNode* n = dynamic_cast<WePathNode*>(a))
                nodes.push_back(n);
            else if (a->m_Type == MapStartLocation::TypeCode)
                starts.push_back(a);
            else if (a->m_PhysicModel.physicsClass == 4)
                segments.push_back(a);
        }
        ASSERT_GE(segments.size(), 5u);
        for (WeActor* s : segments)
        {
            EXPECT_NE(s->m_Model, nullptr) << s->m_ModelName.c_str();
            EXPECT_NE(s->m_PhysicHandle, nullptr) << s->m_ModelName.c_str();
        }

        for (WePathNode* n : nodes)
        {
            EXPECT_TRUE(n->m_OnTrack) << n->m_Id;
            // The ends of a jump sit on the gap: the search gives them the stretch before or after it.
            if (n->m_Kind == WePathNode::JumpStart || n->m_Kind == WePathNode::JumpEnd)
                continue;
            WePathNode* found = nullptr;
            WePathNode* next = nullptr;
            float along = 0.0f, fromNext = 0.0f;
            D3DXVECTOR3 projected;
            world.FindTrackPosition(n->GetWorldPosition(), &found, &next, &along, &fromNext, &projected, nullptr);
            EXPECT_EQ(found, n) << n->m_Id << " found " << (found ? found->m_Id : -1);
            if (n->m_Kind != WePathNode::Plain)
                continue;
            // From above the node straight down: the road, a node's lift below, facing the node's up.
            const D3DXMATRIX& m = n->GetWorldMatrix();
            const D3DXVECTOR3 up(m._21, m._22, m._23);
            WeRaycastHit hit;
            ASSERT_TRUE(g_Physics.RaycastClosest(n->GetWorldPosition() + D3DXVECTOR3(0.0f, 1.0f, 0.0f),
                                                 D3DXVECTOR3(0.0f, -1.0f, 0.0f), 1, hit, ~0u, 20.0f, 0xFF))
                << n->m_Id;
            EXPECT_NE(std::find(segments.begin(), segments.end(), hit.actor), segments.end()) << n->m_Id;
            EXPECT_NEAR(hit.distance, 1.0f + 1.5f, 0.6f) << n->m_Id;
            EXPECT_GT(D3DXVec3Dot(&hit.normal, &up), 0.95f) << n->m_Id;
        }

        // A box dropped at each start comes to rest on the road.
        std::vector<WeActor*> boxes;
        for (WeActor* s : starts)
        {
            WeActor* box = new WeActor();
            box->m_PhysicModel.physicsClass = 5;
            box->m_PhysicModel.explicitSize = true;
            box->m_PhysicModel.size = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
            box->m_PhysicModel.startAsleep = false;
            box->SetLocation(s->GetWorldPosition() + D3DXVECTOR3(0.0f, 2.0f, 0.0f));
            world.AddActor(box);
            boxes.push_back(box);
        }
        Run(world, 240);
        for (size_t i = 0; i < boxes.size(); ++i)
        {
            WeRaycastHit below;
            const D3DXVECTOR3 p = boxes[i]->GetWorldPosition();
            ASSERT_TRUE(g_Physics.RaycastClosest(starts[i]->GetWorldPosition() + D3DXVECTOR3(0.0f, 1.0f, 0.0f),
                                                 D3DXVECTOR3(0.0f, -1.0f, 0.0f), 1, below, ~0u, 20.0f, 0xFF))
                << i;
            EXPECT_NEAR(p.y, below.impact.y + 0.5f, 0.15f) << i;
            EXPECT_LT(std::fabs(p.x - starts[i]->GetWorldPosition().x), 1.0f) << i;
        }
        g_RenderQueue.Prepare(nullptr, nullptr);
    }
}

}  // namespace
