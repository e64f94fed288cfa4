#include "Tools/race_demo/WreckDemo.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/KillText.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CUberText.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxTypes.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/race_common/RaceRig.h"

namespace
{
// A straight tube 18 m wide (walls 9 m either side of the centre line), closed into a loop far away.
const char* const WreckMap =
    "map WreckTube\nsky Maps.Sky.Plain 0\nprofile channel 18 2.5\nstep 2\nsegment 200\n"
    "materials Maps.Common.Road Maps.Common.Wall\nnodes 20 1.5\nstarts 8 8\nheader\nend\n"
    "section\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 3000\n  point 150 0 3250\n  point 300 0 3000\n"
    "  point 300 0 1500\n  point 300 0 -300\n  point 150 0 -550\n  point 0 0 -300\nend\n";

constexpr float PlayerZ = 400.0f;
constexpr float RivalBehind = 60.0f;

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(Dot(v, v));
}

class WreckDemo
{
public:
    explicit WreckDemo(const std::string& dir) : m_Dir(dir) {}

    int Run()
    {
        RaceRigOptions o;
        o.racePhase = true;
        o.weapons = true;
        o.mapDescription = WreckMap;
        o.backend = RaceRigOptions::Backend::OffscreenGl;
        o.slots.push_back(RaceRigSlot{4, "Falconer", "Player", 0, 1});
        o.slots.push_back(RaceRigSlot{1, "EclosionHunter", "Rival", 0, 2});
        m_Step = o.step;
        std::error_code failed;
        std::filesystem::create_directories(m_Dir, failed);
        RaceRig rig(o);
        m_Rig = &rig;
        // No agent drives the rival: its script leaves it still.
        rig.SetSlotScript(1, [](int64_t, CInputMessage&) {});
        std::string error;
        if (!rig.Start(&error))
        {
            std::fprintf(stderr, "race_demo: %s\n", error.c_str());
            return 1;
        }
        const bool ok = Wreck();
        rig.Stop();
        m_Rig = nullptr;
        if (!ok)
        {
            std::printf("wreck: FAILED: %s\n", m_Failure.c_str());
            return 1;
        }
        std::printf("wreck: ok\n");
        return 0;
    }

private:
    bool Fail(const std::string& why)
    {
        if (m_Failure.empty())
            m_Failure = why;
        return false;
    }

    static void Hold(CTuber* craft, float x, float z)
    {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m._41 = x;
        m._42 = craft->GetWorldPosition().y;
        m._43 = z;
        craft->SetTransform(m);
        craft->SetVelocity(D3DXVECTOR3());
        craft->SetAngularVelocity(D3DXVECTOR3());
        craft->m_MeasuredSpeed = 0.0f;
    }

    int32_t CountPieces() const
    {
        int32_t n = 0;
        auto& actors = m_Player->m_World->GetActors();
        for (auto* e = actors.First(); e; e = actors.Next())
            n += e->value->m_Type == ActorKindTuberPart && !e->value->m_PendingDeletion ? 1 : 0;
        return n;
    }

    bool DeathExplosionShown() const
    {
        auto& actors = m_Player->m_World->GetActors();
        for (auto* e = actors.First(); e; e = actors.Next())
            if (e->value->m_Type == ActorKindExplosion)
            {
                CExplosionLocalized* x = dynamic_cast<CExplosionLocalized*>(e->value);
                if (x && x->m_VisualIndex == 8)
                    return true;
            }
        return false;
    }

    // How far the point lies from the track path's projected point.
    float PathOffset(const D3DXVECTOR3& p) const
    {
        D3DXVECTOR3 projected;
        WePathNode* node = nullptr;
        m_Player->m_World->FindTrackPosition(p, &node, nullptr, nullptr, nullptr, &projected, m_Player->m_CurrentNode);
        return node ? Length(p - projected) : 1.0e9f;
    }

    bool Clear() const
    {
        const D3DXVECTOR3 c = m_Player->GetWorldPosition();
        const D3DXMATRIX& m = m_Player->GetWorldMatrix();
        const D3DXVECTOR3 half = CTuber::s_Constants.collisionSize * 0.5f;
        const D3DXVECTOR3 axes[3] = {{m._11, m._12, m._13}, {m._21, m._22, m._23}, {m._31, m._32, m._33}};
        const float reach[3] = {half.x, half.y, half.z};
        for (int i = 0; i < 3; ++i)
            for (float sign : {1.0f, -1.0f})
            {
                WeRaycastHit hit;
                if (g_Physics.RaycastClosest(c, axes[i] * sign, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, reach[i], 0))
                    return false;
            }
        return true;
    }

    std::string LastMessage() const
    {
        const auto& messages = g_MainGameInterface.m_Messages;
        const CUberText* last = nullptr;
        for (auto* n = messages.FirstNode(); n; n = messages.NextNode(n))
            last = n->payload;
        return last ? std::string(StripColourRuns(last->GetText()).c_str()) : std::string();
    }

    bool Wreck()
    {
        RaceRig& rig = *m_Rig;
        for (int tick = 0; tick < 64 * 10 && !(rig.Craft(0) && rig.Craft(1)); ++tick)
            rig.Tick();
        // Set again once the race has its agents: the rival's is deleted, so only its script drives it.
        rig.SetSlotScript(1, [](int64_t, CInputMessage&) {});
        m_Player = rig.Craft(0);
        m_Rival = rig.Craft(1);
        if (!m_Player || !m_Rival)
            return Fail("no craft");
        const float wallX = 9.0f - CTuber::s_Constants.collisionSize.x * 0.5f;
        // Both held in place until the safety lock has expired.
        for (int tick = 0; tick < 64 * 30 && !(rig.RaceState() == 4 && WeaponsSafetyLockExpired()); ++tick)
        {
            Hold(m_Player, wallX, PlayerZ);
            Hold(m_Rival, wallX, PlayerZ - RivalBehind);
            rig.Tick();
        }
        if (rig.RaceState() != 4 || !WeaponsSafetyLockExpired())
            return Fail("the race never reached its weapons");
        Hold(m_Player, wallX, PlayerZ);
        Hold(m_Rival, wallX, PlayerZ - RivalBehind);
        rig.Frame();
        m_Player->m_Health = 1.0f;
        ClearExplosionRequests();
        CWeapon::Fire(m_Rival, 1, 0);

        // Frame by frame until the death; the frame before it is kept.
        std::vector<uint32_t> before = rig.LastFrame();
        D3DXVECTOR3 deathPosition = m_Player->GetWorldPosition();
        for (int tick = 0; tick < 64 * 3 && !m_Player->m_Destroyed; ++tick)
        {
            before = rig.LastFrame();
            deathPosition = m_Player->GetWorldPosition();
            rig.Frame();
        }
        if (!m_Player->m_Destroyed)
            return Fail("the bolt never killed the player");
        DemoWritePng((m_Dir + "/before.png").c_str(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), before);
        const float diedOffset = PathOffset(deathPosition);
        const int64_t deathTick = rig.Ticks();
        const int32_t kills = m_Rival->m_Participant->m_Kills;
        std::printf("kill %s by %s kind %d kills %d\n", m_Player->m_Participant->m_DisplayName.c_str(),
                    m_Rival->m_Participant->m_DisplayName.c_str(), m_Player->m_LastDamageKind, kills);
        if (kills != 1)
            return Fail("the kill was counted " + std::to_string(kills) + " times");
        if (!DeathExplosionShown() || g_ExplosionRequests.Count() != 0)
            return Fail("no craft explosion");
        std::printf("death explosion visual 8 drained\n");
        const int32_t pieces = CountPieces();
        std::printf("wreck pieces %d camera-piece %s\n", pieces, m_Player->m_CameraPiece ? "yes" : "no");
        if (pieces == 0)
            return Fail("no piece");
        std::printf("kill text: %s\n", LastMessage().c_str());

        int32_t deaths = 1;
        bool wasDestroyed = true;
        auto step = [&]()
        {
            rig.Frame();
            if (m_Player->m_Destroyed && !wasDestroyed)
                ++deaths;
            wasDestroyed = m_Player->m_Destroyed;
        };
        while (rig.Ticks() - deathTick < 16)
            step();
        rig.WritePng(m_Dir + "/wreck.png");
        const std::vector<uint32_t>& wreck = rig.LastFrame();
        int64_t differs = 0;
        for (size_t i = 0; i < wreck.size() && i < before.size(); ++i)
            differs += wreck[i] != before[i] ? 1 : 0;
        std::printf("wreck frame differs %lld pixels\n", static_cast<long long>(differs));
        if (differs == 0)
            return Fail("the wreck frame shows nothing new");

        while (m_Player->m_Destroyed && rig.Ticks() - deathTick < 64 * 10)
            step();
        if (m_Player->m_Destroyed)
            return Fail("no respawn");
        const double after = double(rig.Ticks() - deathTick) * m_Step;
        const D3DXVECTOR3 back = m_Player->GetWorldPosition();
        const float pathOffset = PathOffset(back);
        WePathNode* nearest = nullptr;
        m_Player->m_World->FindTrackPosition(back, &nearest, nullptr, nullptr, nullptr, nullptr,
                                             m_Player->m_CurrentNode);
        float facing = 0.0f;
        if (nearest)
        {
            const D3DXMATRIX& n = nearest->GetWorldMatrix();
            D3DXVECTOR3 f(n._31, n._32, n._33);
            f *= 1.0f / Length(f);
            const D3DXMATRIX& c = m_Player->GetWorldMatrix();
            facing = Dot(f, D3DXVECTOR3(c._31, c._32, c._33));
        }
        const bool clear = Clear();
        CPickupAction* shield = m_Player->FindPowerUp(1);
        const float invulnerable = shield ? shield->m_Duration : 0.0f;
        std::printf(
            "respawn %s after %.4f s died-offset %.2f path-offset %.2f facing %.4f clear %s invulnerable %.1f\n",
            m_Player->m_Participant->m_DisplayName.c_str(), after, diedOffset, pathOffset, facing, clear ? "yes" : "no",
            invulnerable);
        if (pathOffset > 0.5f || facing < 0.99f || !clear)
            return Fail("the respawn is off the path");

        const int64_t respawnTick = rig.Ticks();
        while (rig.Ticks() - respawnTick < 32)
            step();
        rig.WritePng(m_Dir + "/respawn.png");

        while (CountPieces() > 0 && rig.Ticks() - deathTick < 64 * 5)
            step();
        const double gone = double(rig.Ticks() - deathTick) * m_Step;
        std::printf("wreck pieces alive %d after %.4f s\n", CountPieces(), gone);
        if (CountPieces() > 0 || gone > 4.1)
            return Fail("a piece outlived its life");
        if (deaths != 1)
            return Fail("the player died " + std::to_string(deaths) + " times");
        return true;
    }

    std::string m_Dir;
    RaceRig* m_Rig = nullptr;
    CTuber* m_Player = nullptr;
    CTuber* m_Rival = nullptr;
    double m_Step = 1.0 / 64.0;
    std::string m_Failure;
};
}  // namespace

int RunWreckCommand(const std::vector<std::string>& args)
{
    std::string dir = ".";
    for (size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--png-dir" && i + 1 < args.size())
            dir = args[++i];
        else
        {
            std::fprintf(stderr, "usage: race_demo --wreck [--png-dir DIR]\n");
            return 2;
        }
    }
    return WreckDemo(dir).Run();
}
