#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Engine/world/WePathNode.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputMessage.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/support/ConfigOverride.h"
#include "Tools/race_common/RaceRig.h"
#include "Tools/race_common/RaceRigScripts.h"

namespace
{

// A channel 16 m wide whose bends tighten: a wide sweep, an S and a hairpin-like return.
const char* const Track = "map ScriptBends\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
                          "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                          "section\n  point 0 0 0\n  point 0 0 300\n  point 150 0 450\n  point 300 0 350\n"
                          "  point 350 0 150\n  point 250 0 -50\n  point 100 0 -150\nend\n";

struct Catalogue
{
    ConfigOverride falconer{"tubers.Falconer.UnlockID", "0"};
    ConfigOverride eclosion{"tubers.EclosionHunter.UnlockID", "0"};
};

// Distance from a point to the centre line through every node and its next.
float DistanceToPath(const D3DXVECTOR3& p)
{
    float best = 1e30f;
    WeHashTable<WeActor*>& nodes = g_Game.m_Map->GetPathNodes();
    for (auto* e = nodes.First(); e; e = nodes.Next())
    {
        auto* node = static_cast<WePathNode*>(e->value);
        if (!node->m_Next)
            continue;
        const D3DXVECTOR3 a = node->GetWorldPosition(), b = node->m_Next->GetWorldPosition();
        const D3DXVECTOR3 ab = b - a, ap = p - a;
        const float length2 = D3DXVec3Dot(&ab, &ab);
        const float t = length2 > 0.0f ? std::clamp(D3DXVec3Dot(&ap, &ab) / length2, 0.0f, 1.0f) : 0.0f;
        const D3DXVECTOR3 off = p - (a + ab * t);
        best = std::min(best, D3DXVec3Length(&off));
    }
    return best;
}

TEST(SteerAlongTrack, KeepsTheCraftNearTheCentreLineThroughTheBendsAtSpeed)
{
    Catalogue catalogue;
    // The bends above, and the shipped test track with its fork and its banked turn.
    struct Case
    {
        const char* description;
        const char* craft;
        int64_t turboFrom;
    };
    for (const Case& c : {Case{Track, "Falconer", 1000000}, Case{Track, "EclosionHunter", 0}, Case{"", "Falconer", 0}})
    {
        SCOPED_TRACE(std::string(c.craft) + (*c.description ? " on the bends" : " on the test track"));
        RaceRigOptions o;
        o.mapDescription = c.description;
        o.slots.push_back(RaceRigSlot{4, c.craft, "", 0, 0});
        RaceRig rig(o);
        std::string error;
        ASSERT_TRUE(rig.Start(&error)) << error;
        CTuber* craft = rig.Player();
        ASSERT_NE(craft, nullptr);
        rig.SetPlayerScript([&](int64_t tick, CInputMessage& m) { SteerAlongTrack(craft, tick, c.turboFrom, m); });
        float worst = 0.0f, travelled = 0.0f;
        D3DXVECTOR3 last = craft->GetWorldPosition();
        for (int i = 0; i < 64 * 20; ++i)
        {
            rig.Tick();
            const D3DXVECTOR3 p = craft->GetWorldPosition();
            const D3DXVECTOR3 step = p - last;
            travelled += D3DXVec3Length(&step);
            last = p;
            worst = std::max(worst, DistanceToPath(p));
        }
        // The body is 2 m wide in a 16 m channel: more than 6 m off the line is a wall.
        EXPECT_LT(worst, 6.0f);
        EXPECT_GT(travelled, 800.0f);
    }
}

}  // namespace
