#include "Tools/race_common/HudShowcase.h"

#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CUberText.h"
#include "Tools/race_common/RaceRig.h"

namespace
{

const char* const Crafts[] = {"Falconer", "EclosionHunter", "Xdrone"};
const char* const Names[HudShowcase::Participants] = {"Player", "Vesna", "Okoro", "Lindqvist", "Maru", "Tamsin"};
// Racing seconds before the picture; the messages are queued this much earlier, so they hold on screen.
constexpr double RacingSeconds = 3.0;
constexpr double MessageLead = 0.8;
constexpr float RivalAhead = 70.0f;
// The DirectInput code of W, the forward key of the default bindings.
constexpr int32_t KeyForward = 0x11;
constexpr float PickupAhead = 90.0f;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

}  // namespace

void HudShowcase::Configure(RaceRig*& rig, bool offscreenGl)
{
    RaceRigOptions o;
    o.racePhase = true;
    o.backend = offscreenGl ? RaceRigOptions::Backend::OffscreenGl : RaceRigOptions::Backend::Recording;
    o.width = 1024;
    o.height = 768;
    o.laps = 3;
    o.weapons = true;
    for (int32_t i = 0; i < Participants; ++i)
        o.slots.push_back(RaceRigSlot{i == 0 ? 4 : 2, Crafts[i % 3], Names[i], 0, i + 1});
    rig = new RaceRig(o);
}

bool HudShowcase::Reach(RaceRig& rig, std::string* error)
{
    if (!rig.RunUntil([]() { return g_PlayGamePhase.m_RaceState == CPlayGamePhase::Racing; }, 60.0))
    {
        *error = "the race did not reach its racing state";
        return false;
    }
    // Full speed ahead, so the dial reads.
    rig.KeyDown(KeyForward);
    rig.Tick(int32_t((RacingSeconds - MessageLead) * 64.0));
    if (rig.Player() == nullptr)
    {
        *error = "the race has no player craft";
        return false;
    }
    CUberText* lap = new CUberText(WeString("LAP 2/3"), 3, 1, g_Game.m_Font50);
    lap->SetColor(0.21f, 0.88f, 1.0f, 1.0f);
    lap->SetInTime(0.25f);
    lap->SetHoldTime(10.0f);
    g_MainGameInterface.AddMessage(lap);
    CUberText* split = new CUberText(WeString("-00:01:25"), 0.5f, 0.4f, 1, 1);
    split->SetColor(0.36f, 1.0f, 0.42f, 1.0f);
    split->SetFormat(5);
    split->SetInTime(0.25f);
    split->SetHoldTime(10.0f);
    g_MainGameInterface.AddMessage(split);
    rig.Tick(int32_t(MessageLead * 64.0));

    // A pickup straight ahead, joined to the map so it is drawn and marked like a placed one.
    CTuber* player = rig.Player();
    const D3DXMATRIX& m = player->GetWorldMatrix();
    D3DXMATRIX at = m;
    const D3DXVECTOR3 where = Row(m, 3) + Row(m, 2) * PickupAhead + Row(m, 0) * 12.0f + Row(m, 1) * 1.0f;
    at._41 = where.x;
    at._42 = where.y;
    at._43 = where.z;
    m_Pickup = new CPickup(PickupHomingMissile);
    m_Pickup->SetTransform(at);
    g_Game.m_Map->AddActor(m_Pickup);
    g_Game.m_Map->m_Pickups.PushBack(m_Pickup);
    Apply(rig);
    return true;
}

void HudShowcase::Apply(RaceRig& rig)
{
    CTuber* player = rig.Player();
    if (player == nullptr)
        return;
    player->m_Health = 0.15f * player->m_MaxHealth;
    const int32_t missile = g_WeaponDescriptions.GetIdByName(WeString("HomingMissile"));
    player->m_PickupPrimaryKind = missile;
    player->m_PickupPrimaryAmmo = 6;
    player->m_Coins = 12;
    if (player->m_Participant != nullptr)
    {
        player->m_Participant->m_Kills = 2;
        player->m_Participant->m_RaceTime = float(rig.RaceSeconds());
    }
    player->m_LastLapTime = 0.0f;
    g_OptionsSettings.m_Bindings.showCrosshair = 1;
    g_MainGameInterface.m_RivalTagMode = 3;

    // The standings: the player third, the rest in slot order round it.
    const int32_t places[Participants] = {3, 1, 2, 4, 5, 6};
    for (int32_t slot = 0; slot < Participants; ++slot)
        if (CRaceParticipant* p = g_RaceSettings.GetParticipant(slot))
            p->m_RacePlace = places[slot];

    // The rival in second place close ahead, slightly up and right, locked on by the player.
    CTuber* rival = rig.Craft(1);
    if (rival != nullptr)
    {
        const D3DXMATRIX& m = player->GetWorldMatrix();
        D3DXMATRIX at = m;
        const D3DXVECTOR3 where = Row(m, 3) + Row(m, 2) * RivalAhead + Row(m, 1) * 1.0f + Row(m, 0) * 3.0f;
        at._41 = where.x;
        at._42 = where.y;
        at._43 = where.z;
        rival->SetTransform(at);
        rival->m_Health = 0.6f * rival->m_MaxHealth;
        rival->m_Destroyed = false;
        player->m_LockTarget = rival;
        player->m_LockDuration = 1.0f;
        player->m_LockTimer = 1.2f;
        player->m_LockLevel = 1.0f;
    }
    // Two running power-ups: quad damage fresh, invulnerability in its last seconds and blinking.
    player->StartPowerUp(2, false, 0.0f, true);
    if (CPickupAction* shield = player->StartPowerUp(1, false, 0.0f, true))
        shield->m_Elapsed = shield->m_Duration - 2.0f;
    if (m_Pickup != nullptr)
    {
        m_Pickup->m_Available = true;
        m_Pickup->m_MarkerTimer = 1.0f;
    }
}
