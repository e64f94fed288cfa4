// weapons_demo: the weapons on the headless race rig.
//   duel                   two craft face each other 120 units apart on a generated straight tube; the first
//                          fires a plasma bolt; the bolt's speed, the contact's request and the drain that
//                          makes the explosion and costs the rival the bolt's damage are printed and checked;
//   explosions --sheet FILE  each of the thirteen explosions at 0.15 s over the lit road, a 4 x 4 sheet of
//                          256 x 192 tiles with their names, and the pixels each one lit;
//   kinds --sheet FILE     every weapon class in flight, laid or charging, on a sheet of tiles.
// Exit: 0 ok, 1 a failed check, 2 a bad command line.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CRaceParticipant.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoText.h"
#include "Tools/race_common/RaceRig.h"
#include "Tools/weapons_demo/WeaponsDemoKinds.h"

namespace
{
const char* const Usage = "usage: weapons_demo duel\n"
                          "       weapons_demo explosions --sheet FILE\n"
                          "       weapons_demo kinds --sheet FILE";

// A straight tube 3 km long along +z from the origin, with its starts behind the first node.
const char* const Straight = "map WeaponsStraight\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
                             "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                             "section\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 3000\nend\n";

bool Check(bool ok, const char* what)
{
    if (!ok)
        std::fprintf(stderr, "weapons_demo: check failed: %s\n", what);
    return ok;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// Puts the craft at the point, facing +z or -z, at rest.
void Place(CTuber* craft, const D3DXVECTOR3& at, bool backwards)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (backwards)
    {
        m._11 = -1.0f;
        m._33 = -1.0f;
    }
    m._41 = at.x;
    m._42 = at.y;
    m._43 = at.z;
    craft->SetTransform(m);
    craft->SetVelocity(D3DXVECTOR3());
    craft->SetAngularVelocity(D3DXVECTOR3());
}

int32_t CountOfType(WeWorld* world, int32_t type)
{
    int32_t n = 0;
    for (auto* e = world->GetActors().First(); e != nullptr; e = world->GetActors().Next())
        if (e->value->m_Type == type && !e->value->m_PendingDeletion)
            ++n;
    return n;
}

CWeapon* FindShot(WeWorld* world, CTuber* owner)
{
    for (auto* e = world->GetActors().First(); e != nullptr; e = world->GetActors().Next())
        if (e->value->m_Type == ActorKindProjectile)
            if (CWeapon* w = dynamic_cast<CWeapon*>(e->value); w && w->m_Owner == owner)
                return w;
    return nullptr;
}

// What the contact handler left behind, counted as the fetch that reported the hit ends: the game's handler
// runs inside the fetch, and this wrapper right after it.
struct ContactWatch
{
    WeContactCallback inner = nullptr;  // the race's own handler
    CTuber* victim = nullptr;
    bool seen = false;
    int32_t queued = 0, created = 0;
};
ContactWatch g_Watch;

void WatchContact(WeActor* first, WeActor* second, const D3DXVECTOR3* normalForce, const D3DXVECTOR3* frictionForce,
                  int32_t events, const D3DXVECTOR3* point)
{
    const int32_t before = g_ExplosionRequests.Count();
    if (g_Watch.inner)
        g_Watch.inner(first, second, normalForce, frictionForce, events, point);
    if (!g_Watch.seen && g_ExplosionRequests.Count() > before && (first == g_Watch.victim || second == g_Watch.victim))
    {
        g_Watch.seen = true;
        g_Watch.queued = g_ExplosionRequests.Count();
        g_Watch.created = CountOfType(g_Watch.victim->m_World, ActorKindExplosion);
    }
}

int Duel()
{
    RaceRigOptions o;
    o.mapDescription = Straight;
    o.racePhase = true;
    o.weapons = true;
    o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
    o.slots.push_back(RaceRigSlot{1, "EclosionHunter", "Rival", 0, 0});
    RaceRig rig(o);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "weapons_demo: %s\n", error.c_str());
        return 1;
    }
    rig.Tick();
    CTuber* a = rig.Craft(0);
    CTuber* b = rig.Craft(1);
    if (!Check(a && b && a->m_World, "two craft on the track"))
        return 1;
    const D3DXVECTOR3 start(0.0f, a->GetWorldPosition().y, 400.0f);
    Place(a, start, false);
    Place(b, start + D3DXVECTOR3(0.0f, 0.0f, 120.0f), true);
    rig.Tick();
    Place(a, start, false);
    Place(b, start + D3DXVECTOR3(0.0f, 0.0f, 120.0f), true);

    const CWeaponDescription& bolt = g_WeaponDescriptions.Get(1);
    const float health = b->m_Health;
    g_Watch = ContactWatch();
    g_Watch.victim = b;
    g_Watch.inner = g_Physics.m_ContactCallback;
    g_Physics.SetContactCallback(WatchContact);
    ClearExplosionRequests();

    CWeapon::Fire(a, 1, 0);
    CWeapon* shot = FindShot(a->m_World, a);
    bool ok = Check(shot != nullptr, "the shot was made");
    float measured = 0.0f;
    rig.Tick(2);
    if (shot && shot->m_PhysicHandle && !g_Watch.seen)
    {
        D3DXVECTOR3 v;
        shot->m_PhysicHandle->GetLinearVelocity(v);
        measured = Length(v);
    }
    std::printf("fire PlasmaBolt speed %.2f expected %.2f\n", measured, bolt.m_Speed);
    ok = Check(std::fabs(measured - bolt.m_Speed) <= 0.01f * bolt.m_Speed, "the bolt flies at its Speed") && ok;

    const char* victim = b->m_Participant ? b->m_Participant->m_DisplayName.c_str() : "rival";
    for (int tick = 0; tick < 128 && !g_Watch.seen; ++tick)
        rig.Tick();
    g_Physics.SetContactCallback(g_Watch.inner);
    std::printf("contact PlasmaBolt -> %s: queued %d created %d\n", victim, g_Watch.queued, g_Watch.created);
    ok = Check(g_Watch.seen && g_Watch.queued == 1 && g_Watch.created == 0,
               "the contact posts one request and makes nothing") &&
         ok;

    // The tick whose fetch reported the hit has drained the queue in its race update already.
    const int32_t drained = g_Watch.queued - g_ExplosionRequests.Count();
    int32_t visual = -1, kind = -1;
    for (auto* e = a->m_World->GetActors().First(); e != nullptr; e = a->m_World->GetActors().Next())
        if (CExplosionLocalized* x = dynamic_cast<CExplosionLocalized*>(e->value))
        {
            visual = x->m_VisualIndex;
            kind = x->m_Kind;
        }
    std::printf("drain %d: localized visual %d kind %d; victim health %.2f -> %.2f\n", drained, visual, kind, health,
                b->m_Health);
    ok = Check(drained == 1 && g_ExplosionRequests.Count() == 0, "the drain empties the queue") && ok;
    ok = Check(visual == 0 && kind == 1, "a plasma bolt's localized explosion") && ok;
    ok = Check(std::fabs(health - bolt.m_Damage - b->m_Health) <= 1e-3f, "the rival loses the bolt's Damage") && ok;
    if (!ok)
        return 1;
    std::printf("duel ok\n");
    return 0;
}

struct Blast
{
    const char* name;
    int32_t type;  // 1 localized, 2 nuke, 3 splash
    int32_t index;
    int32_t kind;
};

int Explosions(const std::string& png)
{
    const int tileW = 256, tileH = 192, columns = 4, rows = 4;
    RaceRigOptions r;
    r.backend = RaceRigOptions::Backend::OffscreenGl;
    r.width = tileW;
    r.height = tileH;
    r.mapDescription = Straight;
    r.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
    RaceRig rig(r);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "weapons_demo: %s\n", error.c_str());
        return 1;
    }
    rig.Tick();
    CTuber* owner = rig.Craft(0);
    if (!Check(owner && owner->m_World, "the owner craft"))
        return 1;
    // The owner behind the camera, so each blast faces it and its own model stays out of the picture.
    const D3DXVECTOR3 centre(0.0f, owner->GetWorldPosition().y + 1.5f, 700.0f);
    const float eye[3] = {centre.x + 4.0f, centre.y + 6.0f, centre.z - 20.0f};
    const float target[3] = {centre.x, centre.y - 1.0f, centre.z};
    rig.SetCamera(eye, target);

    const Blast blasts[] = {
        {"localized-0", 1, 0, 1}, {"localized-1", 1, 1, 3},  {"localized-2", 1, 2, 4}, {"localized-3", 1, 3, 8},
        {"localized-4", 1, 4, 7}, {"localized-5", 1, 5, 15}, {"localized-6", 1, 6, 6}, {"localized-7", 1, 7, 14},
        {"localized-8", 1, 8, 0}, {"nuke", 2, 0, 18},        {"splash-0", 3, 0, 3},    {"splash-1", 3, 1, 13},
        {"splash-2", 3, 2, 21},
    };
    std::vector<uint32_t> sheet(size_t(tileW * columns) * size_t(tileH * rows), 0xFF000000u);
    bool ok = true;
    // 0.15 s in whole steps of 1/64 s: the frame that shows it is the tenth tick after the blast.
    const int ageTicks = 10;
    int i = 0;
    for (const Blast& b : blasts)
    {
        Place(owner, centre - D3DXVECTOR3(0.0f, 1.5f, 45.0f), false);
        owner->m_Turbo = b.type == 3 && b.index == 2;
        rig.Frame();
        const std::vector<uint32_t> empty = rig.LastFrame();
        ClearExplosionRequests();
        if (b.type == 1)
            RequestLocalizedExplosion(centre, owner, 0.0f, nullptr, b.index, b.kind, 0);
        else if (b.type == 2)
            RequestNukeExplosion(centre, owner, 60.0f, 0.0f, b.kind);
        else
            RequestSplashExplosion(centre, owner, 12.0f, 0.0f, b.index, b.kind);
        ProcessExplosionRequests();
        // Rendered every tick: particle systems simulate only while they are drawn.
        for (int t = 0; t < ageTicks - 1; ++t)
        {
            Place(owner, centre - D3DXVECTOR3(0.0f, 1.5f, 45.0f), false);
            rig.Frame();
        }
        Place(owner, centre - D3DXVECTOR3(0.0f, 1.5f, 45.0f), false);
        rig.Frame();
        const std::vector<uint32_t>& pixels = rig.LastFrame();
        int lit = 0;
        // Film grain moves every pixel a little from frame to frame: count those the blast clearly changed.
        for (size_t k = 0; k < pixels.size() && k < empty.size(); ++k)
        {
            int difference = 0;
            for (int shift = 0; shift < 24; shift += 8)
                difference = std::max(difference,
                                      std::abs(int((pixels[k] >> shift) & 0xFFu) - int((empty[k] >> shift) & 0xFFu)));
            lit += difference > 24;
        }
        std::printf("tile %s lit %d pixels\n", b.name, lit);
        ok = Check(pixels.size() == size_t(tileW * tileH), "a whole tile rendered") && ok;
        if (std::strcmp(b.name, "localized-4") != 0)
            ok = Check(lit > 200, b.name) && ok;
        const int x0 = (i % columns) * tileW, y0 = (i / columns) * tileH;
        for (int y = 0; y < tileH && !pixels.empty(); ++y)
            for (int x = 0; x < tileW; ++x)
                sheet[size_t(y0 + y) * size_t(tileW * columns) + size_t(x0 + x)] = pixels[size_t(y * tileW + x)];
        DemoDrawText(sheet, tileW * columns, tileH * rows, x0 + 3, y0 + 3, b.name, 0xFFF2F5FAu, 2);
        // Everything of the blast, its particles and its smoke included, is gone before the next one.
        for (int t = 0; t < 64 * 5; ++t)
        {
            Place(owner, centre - D3DXVECTOR3(0.0f, 1.5f, 45.0f), false);
            rig.Frame();
        }
        ++i;
    }
    owner->m_Turbo = false;
    if (!DemoWritePng(png.c_str(), UINT(tileW * columns), UINT(tileH * rows), sheet))
    {
        std::fprintf(stderr, "weapons_demo: cannot write %s\n", png.c_str());
        return 1;
    }
    if (!ok)
        return 1;
    std::printf("explosions ok\n");
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "duel") == 0)
        return Duel();
    if (argc >= 2 && std::strcmp(argv[1], "kinds") == 0)
        return RunWeaponKindsSheet(argc - 2, argv + 2);
    if (argc == 4 && std::strcmp(argv[1], "explosions") == 0 && std::strcmp(argv[2], "--sheet") == 0)
        return Explosions(argv[3]);
    std::fprintf(stderr, "%s\n", Usage);
    return 2;
}
