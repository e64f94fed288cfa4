// craft_demo: the craft on the headless race rig.
//   drive     a scripted drive on a generated long oval (forward from rest, turbo until the tank is empty, a
//             hyper brake held past its full charge, the launch), checked against the movement's own
//             arithmetic, with its figures and the run's pose digest;
//   drive --digest-only [--map NAME] [--opponents N] [--seconds S] [--nudge TICK]
//             the determinism script: the player and N rivals steer along the track; only the digest;
//   drive ... --backend gl --png FILE   the last frame from behind the player;
//   sheet --png FILE                    every craft model, its presets and effect models, and the shared ones.
// Exit: 0 ok, 1 a failed check or an unknown craft or map, 2 a bad command line.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceSettings.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoText.h"
#include "Tools/race_common/RaceRig.h"
#include "Tools/race_common/RaceRigScripts.h"

namespace
{
const char* const Usage =
    "usage: craft_demo drive [--craft NAME] [--map NAME] [--opponents 0-5] [--seconds S] [--nudge TICK] "
    "[--digest-only] [--backend recording|gl] [--png FILE]\n"
    "       craft_demo sheet --png FILE";

struct Options
{
    std::string command;
    std::string craft;
    std::string map;
    int opponents = 0;
    double seconds = 20.0;
    long nudge = -1;
    bool digestOnly = false;
    bool gl = false;
    std::string png;
};

bool ParseLong(const char* text, long low, long high, long* out)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*end || v < low || v > high)
        return false;
    *out = v;
    return true;
}

bool Parse(int argc, char** argv, Options& o)
{
    if (argc < 2 || (std::strcmp(argv[1], "drive") != 0 && std::strcmp(argv[1], "sheet") != 0))
        return false;
    o.command = argv[1];
    for (int i = 2; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (flag == "--digest-only")
        {
            o.digestOnly = true;
            continue;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        if (!value)
            return false;
        long n = 0;
        if (flag == "--craft" && *value)
            o.craft = value;
        else if (flag == "--map" && *value)
            o.map = value;
        else if (flag == "--opponents" && ParseLong(value, 0, 5, &n))
            o.opponents = int(n);
        else if (flag == "--seconds" && ParseLong(value, 1, 3600, &n))
            o.seconds = double(n);
        else if (flag == "--nudge" && ParseLong(value, 0, 100000000, &n))
            o.nudge = n;
        else if (flag == "--backend" && (std::strcmp(value, "gl") == 0 || std::strcmp(value, "recording") == 0))
            o.gl = std::strcmp(value, "gl") == 0;
        else if (flag == "--png" && *value)
            o.png = value;
        else
            return false;
    }
    if (o.command == "sheet" && o.png.empty())
        return false;
    if (!o.png.empty() && o.command == "drive" && !o.gl)
        return false;
    return true;
}

// A loop whose start straight runs 3 km along +z, with eight starts behind its first node.
std::string LongOval()
{
    return "map CraftDemoOval\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
           "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
           "section\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 3000\n  point 150 0 3250\n  point 300 0 3000\n"
           "  point 300 0 1500\n  point 300 0 -300\n  point 150 0 -550\n  point 0 0 -300\nend\n";
}

float Along(const CTuber* c, const D3DXVECTOR3& v)
{
    const D3DXMATRIX& m = c->GetWorldMatrix();
    return v.x * m._31 + v.y * m._32 + v.z * m._33;
}

bool Check(bool ok, const char* what)
{
    if (!ok)
        std::printf("check failed: %s\n", what);
    return ok;
}

const char* const RivalCrafts[] = {"EclosionHunter", "Xdrone", "Falconer", "EclosionHunter", "Xdrone"};

RaceRigOptions RigOptions(const Options& o, const std::string& craft)
{
    RaceRigOptions r;
    r.backend = o.gl ? RaceRigOptions::Backend::OffscreenGl : RaceRigOptions::Backend::Recording;
    if (o.map.empty())
        r.mapDescription = LongOval();
    else
        r.map = o.map;
    r.slots.push_back(RaceRigSlot{4, craft, "", 0, 0});
    for (int i = 0; i < o.opponents; ++i)
        r.slots.push_back(RaceRigSlot{1 + i % 3, RivalCrafts[i], "", 0, 0});
    return r;
}

// Starts the rig; an unknown map or craft ends the run with status 1 after a clean stop.
int StartRig(RaceRig& rig, const Options& o)
{
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "craft_demo: %s\n", error.c_str());
        return 1;
    }
    if (!o.craft.empty() && !g_TuberCatalogue.Find(o.craft.c_str()))
    {
        std::fprintf(stderr, "craft_demo: no craft \"%s\" in the catalogue\n", o.craft.c_str());
        rig.Stop();
        return 1;
    }
    if (!rig.Player())
    {
        std::fprintf(stderr, "craft_demo: the player's craft was not made\n");
        rig.Stop();
        return 1;
    }
    return 0;
}

int DigestRun(const Options& o, const std::string& craft)
{
    RaceRig rig(RigOptions(o, craft));
    if (const int status = StartRig(rig, o))
        return status;
    const int64_t nudge = o.nudge;
    rig.SetPlayerScript(
        [&](int64_t tick, CInputMessage& m)
        {
            SteerAlongTrack(rig.Player(), tick, 384, m);
            if (tick == nudge)
                m.m_Turbo = 1;
        });
    for (int slot = 1; slot <= o.opponents; ++slot)
        rig.SetSlotScript(slot, [&rig, slot](int64_t tick, CInputMessage& m)
                          { SteerAlongTrack(rig.Craft(slot), tick, 384, m); });
    const D3DXVECTOR3 start = rig.Player()->GetWorldPosition();
    const int64_t ticks = int64_t(o.seconds * 64.0 + 0.5);
    rig.Tick(int32_t(ticks - 2));
    if (o.gl)
    {
        rig.Frame();
        rig.Frame();
    }
    else
        rig.Tick(2);
    const D3DXVECTOR3 d = rig.Player()->GetWorldPosition() - start;
    std::printf("digest %016llx ticks %lld moved %.1f\n", static_cast<unsigned long long>(rig.PoseDigest()),
                static_cast<long long>(rig.Ticks()), std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
    if (!o.png.empty() && !rig.WritePng(o.png))
    {
        std::fprintf(stderr, "craft_demo: cannot write %s\n", o.png.c_str());
        return 1;
    }
    return 0;
}

int Drive(const Options& o, const std::string& craft)
{
    RaceRig rig(RigOptions(o, craft));
    if (const int status = StartRig(rig, o))
        return status;
    CTuber* c = rig.Player();
    // Along +z exactly, at rest.
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 p = c->GetWorldPosition();
    m._41 = p.x, m._42 = p.y, m._43 = p.z;
    c->SetTransform(m);
    c->SetVelocity(D3DXVECTOR3());
    c->SetAngularVelocity(D3DXVECTOR3());
    const float dt = 1.0f / 64.0f;
    const float V = c->m_MaxSpeed, a = c->m_Acceleration;
    std::printf("craft %s speed %.3f acceleration %.3f turbo-speed %.3f turbo %.3f\n", c->m_Description->m_Name.c_str(),
                V, a, c->m_TurboMaxSpeed, c->m_MaxTurboEnergy);
    bool ok = true;

    enum class Phase
    {
        Forward,
        Turbo,
        Brake,
        Coast
    } phase = Phase::Forward;
    rig.SetPlayerScript(
        [&](int64_t, CInputMessage& msg)
        {
            msg.m_Forward = phase == Phase::Forward || phase == Phase::Turbo;
            msg.m_Turbo = phase == Phase::Turbo || phase == Phase::Brake;
            msg.m_Backward = phase == Phase::Brake;
        });
    auto step = [&]
    {
        const float before = Along(c, c->GetWorldPosition());
        const float measured = c->m_MeasuredSpeed;
        rig.Tick();
        const float body = (Along(c, c->GetWorldPosition()) - before) / dt;
        return std::pair<float, float>(measured, body);
    };

    // Forward from rest for 10 s: each step w = w' + (a - a w' / V) dt from the measured w'.
    bool recurrence = true;
    for (int tick = 1; tick <= 640; ++tick)
    {
        const float body = step().second;
        // The step's measured speed, from the body's velocity at its start, and the working speed it made.
        const float measured = c->m_MeasuredSpeed;
        const float w = Along(c, c->m_TargetVelocity);
        const float next = std::fmin(measured + (a - a * measured / V) * dt, V);
        recurrence = recurrence && std::fabs(w - next) <= 1e-5f * V;
        if (tick == 128 || tick == 256 || tick == 384 || tick == 640)
        {
            const float t = float(tick) * dt;
            const float expected = V * (1.0f - std::exp(-a * t / V));
            std::printf("t %.3f speed %.3f body %.3f expected %.3f\n", t, w, body, expected);
            ok = Check(std::fabs(w - expected) < 0.02f * V, "the speed follows V (1 - exp(-a t / V))") && ok;
            ok = Check(std::fabs(body - w) < 0.05f * V, "the body moves at the working speed") && ok;
        }
    }
    ok = Check(recurrence, "each step follows w += (a - a w / V) dt") && ok;

    // Forward and turbo until the tank is empty.
    phase = Phase::Turbo;
    const float energy = c->m_TurboEnergy;
    const double turboStart = rig.Seconds();
    float top = 0.0f;
    while (c->m_TurboEnergy > 0.0f && rig.Seconds() - turboStart < 120.0)
    {
        step();
        top = std::fmax(top, Along(c, c->m_TargetVelocity));
    }
    const double spent = rig.Seconds() - turboStart;
    const float usage = TuberBoundKeys().turboUsagePerSecond.Get();
    std::printf("turbo energy %.3f spent %.3f expected %.3f top %.3f\n", energy, spent, energy / usage, top);
    ok = Check(std::fabs(spent - energy / usage) <= 2.0 / 64.0, "turbo is spent at the usage rate") && ok;
    ok = Check(top > V, "turbo passes the top speed") && ok;

    // Backward and turbo held for MaxTime + 1 s, then nothing until the launch is over.
    const float maxTime = TuberBoundKeys().hyperBrakeMaxTime.Get();
    const float full = TuberBoundKeys().hyperBrakeUsagePerSecond.Get() * maxTime;
    phase = Phase::Brake;
    double engaged = -1, fullAt = -1, launch = -1, over = -1;
    const double brakeStart = rig.Seconds();
    while (rig.Seconds() - brakeStart < 30.0)
    {
        if (phase == Phase::Brake && rig.Seconds() - brakeStart >= maxTime + 1.0)
            phase = Phase::Coast;
        step();
        const double now = rig.Seconds();
        if (engaged < 0 && c->m_HyperBrakeCharge > 0.0f)
            engaged = now;
        if (fullAt < 0 && c->m_HyperBrakeCharge >= full)
            fullAt = now;
        if (launch < 0 && c->m_HyperBrakeLaunch)
            launch = now;
        if (launch >= 0 && over < 0 && !c->m_HyperBrakeLaunch)
            over = now;
        if (over >= 0)
            break;
    }
    std::printf("hyperbrake engaged %.3f full %.3f launch %.3f spent %.3f\n", engaged, fullAt, launch, over);
    ok = Check(engaged > 0 && fullAt > engaged && launch >= fullAt, "the hyper brake charges, then launches") && ok;
    ok = Check(std::fabs(fullAt - engaged - maxTime) <= 2.0 / 64.0, "a full charge takes MaxTime") && ok;
    ok = Check(over > 0 && std::fabs(over - launch - maxTime) <= 2.0 / 64.0, "the launch lasts MaxTime") && ok;

    std::printf("digest %016llx\n", static_cast<unsigned long long>(rig.PoseDigest()));
    if (!ok)
        return 1;
    std::printf("drive ok\n");
    return 0;
}

struct Tile
{
    std::string name;
    WeModel* model;
    int32_t preset;
    float alpha;
    const float* colour;
};

int Sheet(const Options& o)
{
    const int tileW = 204, tileH = 153, columns = 5, rows = 5;
    RaceRigOptions r;
    r.backend = RaceRigOptions::Backend::OffscreenGl;
    r.width = tileW;
    r.height = tileH;
    r.mapDescription = LongOval();
    RaceRig rig(r);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "craft_demo: %s\n", error.c_str());
        return 1;
    }
    std::vector<Tile> tiles;
    static const float White[4] = {1, 1, 1, 1};
    for (WeStringList::Node* n = g_TuberCatalogue.m_Names.FirstNode(); n; n = g_TuberCatalogue.m_Names.NextNode(n))
    {
        const CTuberDescription* d = g_TuberCatalogue.Find(n->payload);
        if (!d)
            continue;
        const std::string id = d->m_ModelID.c_str();
        tiles.push_back({id, d->m_Models[0], 0, 1.0f, White});
        tiles.push_back({id + "-fade", d->m_Models[0], 1, 0.5f, White});
        tiles.push_back({id + "-shimmer", d->m_Models[0], 2, 1.0f, White});
        tiles.push_back({id + "QuadDamage", d->m_Models[1], 0, 1.0f, White});
        tiles.push_back({id + "Lights", d->m_Models[2], 0, 1.0f, White});
        tiles.push_back({id + "Turbo", d->m_Models[3], 1, 1.0f, White});
        tiles.push_back({id + "Invulnerability", d->m_Models[4], 0, 1.0f, White});
    }
    tiles.push_back({"AIGlow", CTuber::s_Assets.aiGlow, 0, 1.0f, g_RaceSettings.m_TeamColors[1]});
    tiles.push_back({"SpeedScreen", CTuber::s_Assets.speedScreen, 0, 1.0f, White});
    tiles.push_back({"Electricity01", CTuber::s_Assets.electricity01, 0, 1.0f, White});
    tiles.push_back({"Electricity", CTuber::s_Assets.electricity, 0, 1.0f, White});

    // On the start straight, seen three quarters from the front and a little above.
    const D3DXVECTOR3 at(0.0f, 2.0f, 600.0f);
    const float eye[3] = {at.x + 4.5f, at.y + 2.2f, at.z + 5.5f};
    const float target[3] = {at.x, at.y, at.z};
    rig.SetCamera(eye, target);
    rig.Frame();
    const std::vector<uint32_t> empty = rig.LastFrame();
    std::vector<uint32_t> sheet(size_t(tileW * columns) * size_t(tileH * rows), 0xFF000000u);
    bool ok = !empty.empty();
    for (size_t i = 0; i < tiles.size() && i < size_t(columns * rows); ++i)
    {
        const Tile& t = tiles[i];
        WeActor* actor = nullptr;
        if (t.model)
        {
            actor = new WeActor();
            actor->m_Model = g_ModelManager.Clone(t.model);
            actor->m_ModelPreset = t.preset;
            for (int k = 0; k < 3; ++k)
                actor->m_Model->m_Values[k] = t.colour[k];
            actor->m_Model->m_Values[3] = t.alpha;
            actor->SetLocation(at);
            g_Game.m_Map->AddActor(actor);
        }
        rig.Frame();
        const std::vector<uint32_t>& pixels = rig.LastFrame();
        int lit = 0;
        // Film grain moves every pixel a little from frame to frame: count those the model clearly changed.
        for (size_t k = 0; k < pixels.size() && k < empty.size(); ++k)
        {
            int difference = 0;
            for (int shift = 0; shift < 24; shift += 8)
                difference = std::max(difference,
                                      std::abs(int((pixels[k] >> shift) & 0xFFu) - int((empty[k] >> shift) & 0xFFu)));
            lit += difference > 24;
        }
        std::printf("tile %s lit %d pixels\n", t.name.c_str(), lit);
        ok = ok && pixels.size() == size_t(tileW * tileH);
        const int x0 = int(i % columns) * tileW, y0 = int(i / columns) * tileH;
        for (int y = 0; y < tileH && !pixels.empty(); ++y)
            for (int x = 0; x < tileW; ++x)
                sheet[size_t(y0 + y) * size_t(tileW * columns) + size_t(x0 + x)] = pixels[size_t(y * tileW + x)];
        DemoDrawText(sheet, tileW * columns, tileH * rows, x0 + 2, y0 + 2, t.name.c_str(), 0xFFF2F5FAu);
        if (actor)
        {
            actor->Expire();
            rig.Tick();
        }
    }
    if (!DemoWritePng(o.png.c_str(), UINT(tileW * columns), UINT(tileH * rows), sheet))
    {
        std::fprintf(stderr, "craft_demo: cannot write %s\n", o.png.c_str());
        return 1;
    }
    if (!ok)
        return 1;
    std::printf("sheet ok\n");
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!Parse(argc, argv, o))
    {
        std::fprintf(stderr, "%s\n", Usage);
        return 2;
    }
    if (o.command == "sheet")
        return Sheet(o);
    const std::string craft = o.craft.empty() ? "Falconer" : o.craft;
    if (o.digestOnly || !o.map.empty() || o.opponents > 0 || o.gl)
        return DigestRun(o, craft);
    return Drive(o, craft);
}
