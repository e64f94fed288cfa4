// The weapons' cost on the headless race rig (recording backend, step 1/64 s): six craft steering along a
// generated oval tube with real walls, each firing the minigun and the plasma bolt at their fire rates without pause for 60 s of
// race time, against the same race with firing off, on the real race phase (its handlers, its explosion drain
// and its computer drivers; the player's craft holds still). Prints ticks per second for both and each pool's total (live + free blocks) at 20 s and
// 60 s: once warm, no pool should grow. With --mix the swarmer and the homing mine join the fire, each at its
// own fire rate.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "Engine/foundation/WeRecycled.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CExplosionSimple.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponHomingMine.h"
#include "Game/craft/CWeaponMiniGun.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tools/race_common/RaceRig.h"

namespace
{
constexpr int Craft = 6;
constexpr int TicksPerSecond = 64;

void PrintPools(int seconds)
{
    std::printf("pools at %2d s: PlasmaBolt %d MiniGun %d Trigger %d Localized %d Simple %d Nuke %d Splash %d "
                "Light %d ParticleSystem %d Model %d Swarmer %d HomingMine %d\n",
                seconds, CWeaponPlasmaBolt::Pool().LiveCount() + CWeaponPlasmaBolt::Pool().FreeCount(),
                CWeaponMiniGun::Pool().LiveCount() + CWeaponMiniGun::Pool().FreeCount(),
                CTrigger::Pool().LiveCount() + CTrigger::Pool().FreeCount(),
                CExplosionLocalized::Pool().LiveCount() + CExplosionLocalized::Pool().FreeCount(),
                CExplosionSimple::Pool().LiveCount() + CExplosionSimple::Pool().FreeCount(),
                CExplosionNuke::Pool().LiveCount() + CExplosionNuke::Pool().FreeCount(),
                CExplosionSplash::Pool().LiveCount() + CExplosionSplash::Pool().FreeCount(),
                WeLight::Pool().LiveCount() + WeLight::Pool().FreeCount(),
                WeNewParticleSystem::Pool().LiveCount() + WeNewParticleSystem::Pool().FreeCount(),
                WeModel::Pool().LiveCount() + WeModel::Pool().FreeCount(),
                CWeaponSwarmer::Pool().LiveCount() + CWeaponSwarmer::Pool().FreeCount(),
                CWeaponHomingMine::Pool().LiveCount() + CWeaponHomingMine::Pool().FreeCount());
}

// 60 s of race time; returns engine ticks per second of wall time.
double Race(bool firing, bool mix)
{
    CraftTest::Catalogue catalogue;
    // The race's own handlers, drain and computer drivers, in a closed tube with real walls: the shots end on
    // them, as on a built map, instead of flying out of an open channel for their whole lives.
    RaceRigOptions o = CraftTest::ArmedRace::Armed(Craft - 1, true);
    const std::string channel = "profile channel 16 2";
    if (const size_t at = o.mapDescription.find(channel); at != std::string::npos)
        o.mapDescription.replace(at, channel.size(), "profile tube 16 8");
    RaceRig rig(o);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "weapons_bench: %s\n", error.c_str());
        return 0.0;
    }
    // Past the countdown, so the computer drivers race.
    rig.Tick(6 * TicksPerSecond);
    for (int slot = 0; slot < Craft; ++slot)
        if (CTuber* c = rig.Craft(slot))
            c->m_UnlimitedAmmo = true;
    const float boltInterval = 1.0f / g_WeaponDescriptions.Get(1).m_FireRate;
    const float gunInterval = 1.0f / g_WeaponDescriptions.Get(8).m_FireRate;
    const float swarmInterval = 1.0f / g_WeaponDescriptions.Get(5).m_FireRate;
    const float mineInterval = 1.0f / g_WeaponDescriptions.Get(13).m_FireRate;
    float boltClock = 0.0f, gunClock = 0.0f, swarmClock = 0.0f, mineClock = 0.0f;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 1; tick <= 60 * TicksPerSecond; ++tick)
    {
        if (firing)
        {
            boltClock += 1.0f / TicksPerSecond;
            gunClock += 1.0f / TicksPerSecond;
            const bool bolt = boltClock >= boltInterval, gun = gunClock >= gunInterval;
            if (bolt)
                boltClock -= boltInterval;
            if (gun)
                gunClock -= gunInterval;
            swarmClock += mix ? 1.0f / TicksPerSecond : 0.0f;
            mineClock += mix ? 1.0f / TicksPerSecond : 0.0f;
            const bool swarm = swarmClock >= swarmInterval, mine = mineClock >= mineInterval;
            if (swarm)
                swarmClock -= swarmInterval;
            if (mine)
                mineClock -= mineInterval;
            for (int slot = 0; slot < Craft; ++slot)
                if (CTuber* c = rig.Craft(slot); c && !c->m_Destroyed)
                {
                    if (bolt)
                        CWeapon::Fire(c, 1, 0);
                    if (gun)
                        CWeapon::Fire(c, 8, 0);
                    if (swarm)
                        CWeapon::Fire(c, 5, 0);
                    if (mine)
                        CWeapon::Fire(c, 13, 0);
                }
        }
        rig.Tick();
        if (firing && (tick == 20 * TicksPerSecond || tick == 60 * TicksPerSecond))
            PrintPools(tick / TicksPerSecond);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ClearExplosionRequests();
    return seconds > 0.0 ? 60.0 * TicksPerSecond / seconds : 0.0;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool mix = argc > 1 && std::strcmp(argv[1], "--mix") == 0;
    if (argc > 1 && !mix)
    {
        std::fprintf(stderr, "usage: weapons_bench [--mix]\n");
        return 2;
    }
    const double quiet = Race(false, false);
    const double loud = Race(true, mix);
    if (mix)
        std::printf("fire: plasma bolt, minigun, swarmer, homing mine\n");
    std::printf("firing off: %.0f ticks/s (%.1f us per tick)\n", quiet, quiet > 0 ? 1e6 / quiet : 0.0);
    std::printf("firing on:  %.0f ticks/s (%.1f us per tick)\n", loud, loud > 0 ? 1e6 / loud : 0.0);
    if (quiet > 0 && loud > 0)
        std::printf("weapons load: %.1f us per tick; %u processors\n", 1e6 / loud - 1e6 / quiet,
                    std::thread::hardware_concurrency());
    return 0;
}
