#include "Tools/weapons_demo/WeaponsDemoKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/render/WeModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosion.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponPreBolt.h"
#include "Game/craft/CWeaponQuantumBolt.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/demo_common/DemoText.h"
#include "Tools/race_common/RaceRig.h"

namespace
{
constexpr int TileW = 256, TileH = 192, Columns = 5, Rows = 5;
constexpr int32_t FirstMineKind = 11;
constexpr int32_t FieldKind = 9;

// A straight tube 3 km long along +z.
const char* const Track = "map WeaponKinds\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
                          "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
                          "section\n  point 0 0 0\n  point 0 0 1500\n  point 0 0 3000\nend\n";

struct Tile
{
    const char* name;
    int32_t kind;
    int32_t alternate;
    int32_t ticks;  // from the fire to the view
};

// Shots at 0.1 s of flight, mines 0.5 s after they were laid, the charge halfway, the field at full size.
const Tile Tiles[] = {
    {"PlasmaBolt", 1, 0, 7},        {"DoubleBolt", 2, 0, 7},
    {"HomingMissile", 3, 0, 7},     {"PreBolt", 4, 0, 32},
    {"QuantumBolt", 4, 1, 7},       {"Swarmer", 5, 0, 7},
    {"SlowingRocket", 6, 0, 7},     {"Translocator", 7, 0, 7},
    {"MiniGun", 8, 0, 7},           {"FrontFieldGenerator", 9, 0, 48},
    {"NuclearWarhead", 10, 0, 7},   {"ContactMine", 11, 0, 32},
    {"SingularityMine", 12, 0, 32}, {"HomingMine", 13, 0, 32},
    {"ProximityMine", 14, 0, 32},   {"ForceFieldMine", 15, 0, 32},
    {"MotionMine", 16, 0, 32},      {"StealthMine", 17, 0, 32},
    {"NukeMine", 18, 0, 32},        {"ElectricMine", 19, 0, 32},
    {"EMPMine", 20, 0, 32},
};

void Hold(CTuber* craft, const D3DXVECTOR3& at)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._41 = at.x, m._42 = at.y, m._43 = at.z;
    craft->SetTransform(m);
    craft->SetVelocity(D3DXVECTOR3());
    craft->SetAngularVelocity(D3DXVECTOR3());
}

std::vector<WeActor*> Actors(WeWorld* world)
{
    std::vector<WeActor*> out;
    WeHashTable<WeActor*>& table = world->GetActors();
    for (auto* e = table.First(); e; e = table.Next())
        out.push_back(e->value);
    return out;
}

// The tile's subject: the oldest weapon of the kind (the charge or the bolt for kind 4).
CWeapon* Subject(WeWorld* world, const Tile& t)
{
    CWeapon* best = nullptr;
    for (WeActor* a : Actors(world))
    {
        CWeapon* w = dynamic_cast<CWeapon*>(a);
        if (!w || w->m_PendingDeletion || w->m_Kind != t.kind)
            continue;
        if (t.kind == 4 && (dynamic_cast<CWeaponPreBolt*>(w) != nullptr) != (t.alternate == 0))
            continue;
        if (!best || w->m_Number < best->m_Number)
            best = w;
    }
    return best;
}

// Hides or shows every weapon with what it carries: models, particle systems, trails and lights.
void ShowWeapons(WeWorld* world, bool visible)
{
    for (WeActor* a : Actors(world))
    {
        const bool weapon = dynamic_cast<CWeapon*>(a) != nullptr;
        const bool carried = a->m_Parent && dynamic_cast<CWeapon*>(a->m_Parent) != nullptr;
        if (!weapon && !carried)
            continue;
        a->m_ModelVisible = visible;
        if (WeLight* light = dynamic_cast<WeLight*>(a))
            light->m_SwitchedOn = visible;
    }
}

// The tile's camera: 25 units beside the subject's flight. The field is 20 units in radius at full size:
// from 25 units it would fill the view, so its tile stands back far enough to show the sphere's rim.
void Look(RaceRig& rig, CWeapon* subject, const Tile& t, const D3DXVECTOR3& fallback)
{
    const D3DXVECTOR3 p = subject ? subject->GetWorldPosition() : fallback;
    const float back = t.kind == FieldKind ? 2.0f : 1.0f;
    const float eye[3] = {p.x + 25.0f * back, p.y + 4.0f * back, p.z - 4.0f * back};
    const float target[3] = {p.x, p.y, p.z};
    rig.SetCamera(eye, target);
}

void Clear(RaceRig& rig, CTuber* craft, const D3DXVECTOR3& at)
{
    for (WeActor* a : Actors(craft->m_World))
        if (dynamic_cast<CWeapon*>(a) || dynamic_cast<CExplosion*>(a))
            a->Expire();
    for (int i = 0; i < 96; ++i)
    {
        rig.Tick();
        Hold(craft, at);
        ClearExplosionRequests();
    }
}

int Differs(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    int n = 0;
    for (size_t k = 0; k < a.size() && k < b.size(); ++k)
    {
        int difference = 0;
        for (int shift = 0; shift < 24; shift += 8)
            difference = std::max(difference, std::abs(int((a[k] >> shift) & 0xFFu) - int((b[k] >> shift) & 0xFFu)));
        n += difference > 24;
    }
    return n;
}
}  // namespace

int RunWeaponKindsSheet(int argc, char** argv)
{
    std::string sheetPath;
    for (int i = 0; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc)
            sheetPath = argv[++i];
        else
        {
            std::fprintf(stderr, "usage: weapons_demo kinds --sheet FILE\n");
            return 2;
        }
    }
    if (sheetPath.empty())
    {
        std::fprintf(stderr, "usage: weapons_demo kinds --sheet FILE\n");
        return 2;
    }
    RaceRigOptions o;
    o.backend = RaceRigOptions::Backend::OffscreenGl;
    o.width = TileW;
    o.height = TileH;
    o.mapDescription = Track;
    o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
    RaceRig rig(o);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "weapons_demo: %s\n", error.c_str());
        return 1;
    }
    // A still picture of each kind: no motion blur smearing the fast shots away.
    g_RenderDevice.m_MotionBlurMode = 0;
    rig.Tick();
    CTuber* craft = rig.Craft(0);
    if (!craft)
    {
        std::fprintf(stderr, "weapons_demo: no craft\n");
        return 1;
    }
    const D3DXVECTOR3 at(0.0f, 2.0f, 600.0f);
    std::vector<uint32_t> sheet(size_t(TileW * Columns) * size_t(TileH * Rows), 0xFF000000u);
    bool ok = true;
    int index = 0;
    for (const Tile& t : Tiles)
    {
        // A laid mine is left alone on the track: the craft waits far on and comes back only to lay it. Held
        // still, its engines' exhaust streams some 40 units back, so a nearer wait would glow beside the mine.
        const D3DXVECTOR3 hold = t.kind >= FirstMineKind ? at + D3DXVECTOR3(0.0f, 0.0f, 400.0f) : at;
        Clear(rig, craft, hold);
        Hold(craft, at);
        CWeapon::Fire(craft, t.kind, t.alternate);
        // Each tick is drawn with the camera on the subject, as in play: a particle system is simulated only
        // while it is drawn, so ticks alone would leave every exhaust and glow at its first frame.
        for (int i = 0; i < t.ticks; ++i)
        {
            rig.Tick();
            Hold(craft, hold);
            Look(rig, Subject(craft->m_World, t), t, at);
            rig.RenderOnly();
        }
        CWeapon* subject = Subject(craft->m_World, t);
        Look(rig, subject, t, at);
        ShowWeapons(craft->m_World, true);
        rig.Frame();
        const std::vector<uint32_t> with = rig.LastFrame();
        ShowWeapons(craft->m_World, false);
        rig.Frame();
        const std::vector<uint32_t> without = rig.LastFrame();
        ShowWeapons(craft->m_World, true);
        const int differs = Differs(with, without);
        std::printf("tile %s differs %d pixels\n", t.name, differs);
        ok = ok && subject && differs > 0 && with.size() == size_t(TileW * TileH);
        const int x0 = (index % Columns) * TileW, y0 = (index / Columns) * TileH;
        for (int y = 0; y < TileH && with.size() == size_t(TileW * TileH); ++y)
            for (int x = 0; x < TileW; ++x)
                sheet[size_t(y0 + y) * size_t(TileW * Columns) + size_t(x0 + x)] = with[size_t(y * TileW + x)];
        DemoDrawText(sheet, TileW * Columns, TileH * Rows, x0 + 3, y0 + 3, t.name, 0xFFF2F5FAu);
        ++index;
    }
    Clear(rig, craft, at);
    if (!DemoWritePng(sheetPath.c_str(), UINT(TileW * Columns), UINT(TileH * Rows), sheet))
    {
        std::fprintf(stderr, "weapons_demo: cannot write %s\n", sheetPath.c_str());
        return 1;
    }
    if (!ok)
        return 1;
    std::printf("kinds ok\n");
    return 0;
}
