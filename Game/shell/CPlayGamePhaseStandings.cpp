// The standings and rules of a running race: placings and catch-up, the race-end rule of each race type, the
// finish-time estimates, checkpoints and split times, the push that keeps craft apart and the weapons' safety
// lock, with the two captions of the race view that show them.
#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/CWeaponFactory.h"
#include "Game/shell/FormatGameText.h"
#include "Game/shell/HudText.h"
#include "Game/shell/PathNodeFields.h"
#include "Game/shell/RaceRules.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Platform/system/SysRandom.h"

namespace
{
constexpr int32_t SlotCount = CRaceSettings::SlotCount;

// The racing craft of a slot (kind 1 to 4) that exists, else null.
CTuber* RacingCraft(int32_t slot)
{
    CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
    return p != nullptr && p->IsRacing() ? p->m_Craft : nullptr;
}

float Random01()
{
    return float(SysRandom::Next()) * (1.0f / 32767.0f);
}

uint32_t ToArgb(const float rgba[4])
{
    return uint32_t(D3DXCOLOR(rgba[0], rgba[1], rgba[2], rgba[3]));
}

// Race difficulty 1 to 3 (the settings may hold 0).
int32_t ClampedDifficulty()
{
    return std::clamp(g_RaceSettings.m_Difficulty, 1, 3);
}

float FirstLapLimit()
{
    const CGameMap* map = g_Game.m_Map;
    return map != nullptr ? map->m_Header.m_LapTimes[ClampedDifficulty() - 1] : 0.0f;
}

// A split text of the player's: placed, sliding in and out, in the 32-point font.
CUberText* MakeSplitText(const WeString& text, float y, float r, float g)
{
    CUberText* t = new CUberText(text, 0.03f, y, 5, 4);
    t->SetInTime(0.25f);
    t->SetHoldTime(2.0f);
    t->SetOutTime(0.25f);
    t->SetColor(r, g, 0.0f, 1.0f);
    t->SetFont(g_Game.m_Font32);
    return t;
}
}  // namespace

const CAIDifficultyProfile& CatchUpProfileWithoutAgent()
{
    return g_AIKernel.m_Profiles[1];
}

float CatchUpFactorFor(float d, const CAIDifficultyProfile& profile, float variation)
{
    const float l = profile.m_AICatchUpMinDistance + variation * profile.m_AICatchUpMinDistanceVariation;
    const float range = profile.m_AICatchUpMaxDistance - l;
    const float beyond = std::fabs(d) - l;
    if (!(range > 0.0f) || !(beyond > 0.0f))
        return 1.0f;
    const float k = d > 0.0f ? profile.m_CatchUpSpeedKoefFront : profile.m_CatchUpSpeedKoefBack;
    const float sign = d > 0.0f ? 1.0f : -1.0f;
    return 1.0f - k * sign * std::min(1.0f, beyond / range);
}

float LapTimeLimit(int32_t lap)
{
    const CGameMap* map = g_Game.m_Map;
    if (map == nullptr)
        return 0.0f;
    const float* times = map->m_Header.m_LapTimes;
    const float t = times[ClampedDifficulty() - 1];
    const float r1 = times[3], r2 = times[4];
    if (lap <= 1 || r1 <= 0.0f)
        return t;
    if (lap == 2 || r2 <= 0.0f)
        return t - r1;
    const float q = r2 / r1;
    float series = 0.0f, term = 1.0f;
    for (int32_t i = 3; i <= lap; ++i)
    {
        series += term;
        term *= q;
    }
    return t - r1 - r2 * series;
}

void CPlayGamePhase::UpdatePlacings()
{
    CTuber* crafts[SlotCount] = {};
    int32_t slots[SlotCount] = {};
    int32_t count = 0;
    int32_t firstFreePlace = 1;
    for (int32_t slot = 0; slot < SlotCount; ++slot)
    {
        CTuber* craft = RacingCraft(slot);
        if (craft == nullptr)
            continue;
        if (craft->m_Finished)
        {
            if (g_RaceSettings.m_RaceType != CRaceSettings::LastOneOut)
                ++firstFreePlace;
            continue;
        }
        slots[count] = slot;
        crafts[count++] = craft;
    }

    // Selection sort, greatest distance last; a later slot wins a tie.
    for (int32_t e = count - 1; e >= 1; --e)
    {
        int32_t best = e;
        for (int32_t i = e - 1; i >= 0; --i)
            if (crafts[i]->m_RaceDistance[0] > crafts[best]->m_RaceDistance[0])
                best = i;
        std::swap(crafts[e], crafts[best]);
        std::swap(slots[e], slots[best]);
    }
    for (int32_t e = count - 1, place = firstFreePlace; e >= 0; --e, ++place)
        if (crafts[e]->m_Participant != nullptr)
            crafts[e]->m_Participant->m_RacePlace = place;
    for (int32_t e = 0; e < count; ++e)
        crafts[e]->m_GapBehind = e > 0 ? crafts[e]->m_RaceDistance[0] - crafts[e - 1]->m_RaceDistance[0] : 0.0f;

    // Catch-up against the first human in slot order.
    const CTuber* reference = nullptr;
    for (int32_t slot = 0; slot < SlotCount && reference == nullptr; ++slot)
    {
        CTuber* craft = RacingCraft(slot);
        if (craft != nullptr && !craft->m_Finished &&
            g_RaceSettings.GetParticipant(slot)->m_Kind == CRaceParticipant::Human)
            reference = craft;
    }
    if (reference == nullptr)
        return;
    for (int32_t e = 0; e < count; ++e)
    {
        CTuber* craft = crafts[e];
        if (craft == reference)
        {
            craft->SetCatchUpFactor(1.0f);
            continue;
        }
        const CAgent* agent = craft->m_Participant != nullptr ? craft->m_Participant->m_Agent : nullptr;
        const bool ownProfile = agent != nullptr && agent->m_Profile != nullptr;
        const CAIDifficultyProfile& profile = ownProfile ? *agent->m_Profile : CatchUpProfileWithoutAgent();
        const float variation = ownProfile ? agent->m_CatchUpVariation : 0.0f;
        craft->SetCatchUpFactor(
            CatchUpFactorFor(craft->m_RaceDistance[0] - reference->m_RaceDistance[0], profile, variation));
    }
}

void CPlayGamePhase::CheckRaceEnd()
{
    const int32_t laps = g_RaceSettings.m_Laps;
    switch (g_RaceSettings.m_RaceType)
    {
    case CRaceSettings::StandardRace:
        for (int32_t slot = 0; slot < SlotCount; ++slot)
        {
            CTuber* craft = RacingCraft(slot);
            if (craft != nullptr && !craft->m_Finished && craft->m_LapsCompleted >= laps)
                craft->FinishRace(craft->m_Participant != nullptr && craft->m_Participant->m_RacePlace == 1);
        }
        break;
    case CRaceSettings::TimeTrial:
        for (int32_t slot = 0; slot < SlotCount; ++slot)
        {
            CTuber* craft = RacingCraft(slot);
            if (craft == nullptr || craft->m_Finished)
                continue;
            const int32_t n = craft->m_LapsCompleted;
            if (n != m_TimeTrialLapMark && n < laps)
            {
                m_TimeTrialLapMark = n;
                m_LapTimeLimit = LapTimeLimit(n + 1);
                if (craft->m_Description != nullptr)
                {
                    const float turbo = craft->m_Description->m_Turbo * (1.0f + 0.1f * float(n));
                    craft->m_MaxTurboEnergy = turbo;
                    craft->m_TurboEnergy = turbo;
                }
            }
            if (craft->m_LapTime >= m_LapTimeLimit)
            {
                m_ShownLapTime = m_LapTimeLimit;
                craft->FinishRace(false);
                FinishRace(0);
            }
            else if (n == laps)
            {
                craft->FinishRace(true);
                FinishRace(0);
            }
            else
                m_ShownLapTime = craft->m_LapTime;
        }
        break;
    case CRaceSettings::LastOneOut:
    {
        int32_t racing = 0;
        for (int32_t slot = 0; slot < SlotCount; ++slot)
            if (CTuber* craft = RacingCraft(slot))
                racing += craft->m_Finished ? 0 : 1;
        const int32_t total = g_RaceSettings.CountParticipants();
        CRaceParticipant* ahead = g_RaceSettings.FindParticipantByPlace(racing - 1);
        CRaceParticipant* last = g_RaceSettings.FindParticipantByPlace(racing);
        if (ahead == nullptr || ahead->m_Craft == nullptr)
            break;
        const CTuber* first = RacingCraft(0);
        const int32_t mark = total - racing;
        if (ahead->m_Craft->m_LapsCompleted > mark || (first != nullptr && first->m_LapsCompleted > mark))
        {
            if (last != nullptr && last->m_Craft != nullptr && !last->m_Craft->m_Finished)
                last->m_Craft->FinishRace(false);
            if (racing <= 2)
            {
                ahead->m_Craft->FinishRace(true);
                FinishRace(0);
            }
        }
        break;
    }
    default: break;
    }

    int32_t finished = 0;
    for (int32_t slot = 0; slot < SlotCount; ++slot)
        if (CTuber* craft = RacingCraft(slot))
            finished += craft->m_Finished ? 1 : 0;
    const int32_t total = g_RaceSettings.CountParticipants();
    if (finished == total)
    {
        FinishRace(0);
        return;
    }
    const CTuber* first = RacingCraft(0);
    const bool slotZeroDone = first != nullptr && first->m_Finished;
    const bool enough =
        g_RaceSettings.m_RaceType == CRaceSettings::StandardRace && finished >= std::min(std::max(total - 1, 1), 3);
    if (slotZeroDone || enough)
    {
        static const float& wait = GetConfigFloat("game.GamePlay.NextPlayerWaitTime", 1.0f);
        m_NextPlayerWaitTimer += g_Timer.m_FrameDeltaF;
        if (m_NextPlayerWaitTimer >= wait)
            FinishRace(0);
    }
}

void CPlayGamePhase::EstimateFinishTimes()
{
    const int32_t type = g_RaceSettings.m_RaceType;
    if (type == CRaceSettings::TimeTrial)
        return;
    for (int32_t slot = 0; slot < SlotCount; ++slot)
    {
        CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        CTuber* craft = RacingCraft(slot);
        if (craft == nullptr || craft->m_Finished)
            continue;
        float lap = p->m_BestLap;
        if (lap <= 0.0f)
            lap = p->m_RaceTime / std::clamp(craft->m_LapFraction[0], 0.001f, 0.999f);
        int32_t target = g_RaceSettings.m_Laps;
        if (type == CRaceSettings::LastOneOut && p->m_RacePlace > 1)
            target = g_RaceSettings.m_Laps - p->m_RacePlace + 2;
        const float progress = float(craft->m_LapsCompleted) + craft->m_LapFraction[0];
        bool first = true;
        while (craft->m_LapsCompleted < target)
        {
            ++craft->m_LapsCompleted;
            float time = p->m_RaceTime + (float(craft->m_LapsCompleted) - progress) * lap;
            if (!first)
                time += Random01() * 1.9f + 0.1f;
            first = false;
            craft->m_LastLapTime = time - craft->m_LapEndTime;
            craft->m_LapEndTime = time;
            p->m_RaceTime = time;
            craft->m_TurboEnergy = 0.0f;
            g_RaceStats.RecordLap(slot, craft->m_LapsCompleted, craft->m_LastLapTime, 0.0f);
        }
        if (p->m_BestLap <= 0.0f)
            p->m_BestLap = p->m_RaceTime;
    }
    const int32_t total = g_RaceSettings.CountParticipants();
    if (type == CRaceSettings::StandardRace)
    {
        for (int32_t place = 2; place <= total; ++place)
        {
            CRaceParticipant* p = g_RaceSettings.FindParticipantByPlace(place);
            const CRaceParticipant* ahead = g_RaceSettings.FindParticipantByPlace(place - 1);
            if (p == nullptr || ahead == nullptr || p->m_RaceTime >= ahead->m_RaceTime)
                continue;
            p->m_RaceTime = ahead->m_RaceTime + Random01() * 0.4f + 0.1f;
            if (g_RaceSettings.m_Laps == 1)
                p->m_BestLap = p->m_RaceTime;
        }
    }
    else if (type == CRaceSettings::LastOneOut)
    {
        CRaceParticipant* second = g_RaceSettings.FindParticipantByPlace(2);
        const CRaceParticipant* winner = g_RaceSettings.FindParticipantByPlace(1);
        if (second != nullptr && winner != nullptr)
        {
            second->m_RaceTime = winner->m_RaceTime;
            if (total == 2)
                second->m_BestLap = winner->m_BestLap;
        }
    }
}

void CPlayGamePhase::BuildCheckpoints()
{
    static const bool& enabled = GetConfigBool("game.CheckPoints.Enable", true);
    if (!enabled)
        return;
    m_Checkpoints.Reset();
    if (CGameMap* map = g_Game.m_Map)
        for (auto* e = map->GetPathNodes().First(); e; e = map->GetPathNodes().Next())
        {
            const WePathNode* node = static_cast<const WePathNode*>(e->value);
            if (PathNodeFields::IsCheckpoint(*node))
                m_Checkpoints.PushBack(CRaceCheckpoint{}).m_TrackFraction = node->m_Fraction;
        }
    if (m_Checkpoints.IsEmpty())
    {
        static const float& delta = GetConfigFloat("game.CheckPoints.Delta", 0.1f);
        // A step of nothing would never end.
        const float d = delta > 0.001f ? delta : 0.1f;
        for (int32_t k = 0; float(k) * d < 1.0f; ++k)
            m_Checkpoints.PushBack(CRaceCheckpoint{}).m_TrackFraction = float(k) * d;
    }
    for (auto* n = m_Checkpoints.FirstNode(); n; n = m_Checkpoints.NextNode(n))
        std::fill(std::begin(n->payload.m_SlotTimes), std::end(n->payload.m_SlotTimes), 0.0f);
    delete m_SplitTextAhead;
    delete m_SplitTextBehind;
    m_SplitTextAhead = m_SplitTextBehind = nullptr;
}

void CPlayGamePhase::UpdateCheckpoints()
{
    const float trackLength = g_Game.m_Map != nullptr ? g_Game.m_Map->m_TrackLength : 0.0f;
    const CRaceCheckpoint* passed[SlotCount] = {};
    for (int32_t slot = 0; slot < SlotCount; ++slot)
    {
        CTuber* craft = RacingCraft(slot);
        if (craft == nullptr)
            continue;
        const float before = craft->m_LapFraction[1], now = craft->m_LapFraction[0];
        for (auto* n = m_Checkpoints.FirstNode(); n; n = m_Checkpoints.NextNode(n))
        {
            CRaceCheckpoint& cp = n->payload;
            if (IsTrackFractionBehind(cp.m_TrackFraction, before) || !IsTrackFractionBehind(cp.m_TrackFraction, now))
                continue;
            const float mark = float(craft->m_LapCrossings) + cp.m_TrackFraction;
            if (mark > craft->m_LastCheckpointMark)
            {
                craft->m_LastCheckpointMark = mark;
                // How far past the checkpoint the craft is, over the start line as well.
                float past = now - cp.m_TrackFraction;
                past -= std::floor(past);
                const float speed = craft->m_MeasuredSpeed;
                cp.m_SlotTimes[slot] = speed >= 0.1f ? m_RaceClock - trackLength * past / speed : m_RaceClock;
                passed[slot] = &cp;
            }
            break;
        }
    }

    const CTuber* player = g_Game.m_PlayerTuber;
    const CRaceParticipant* me = player != nullptr ? player->m_Participant : nullptr;
    if (me == nullptr || me->m_Index < 0 || me->m_Index >= SlotCount || g_MainGameInterface.m_Visible == 0)
        return;
    const CRaceParticipant* ahead = g_RaceSettings.FindParticipantByPlace(me->m_RacePlace - 1);
    const CRaceCheckpoint* mine = passed[me->m_Index];
    if (mine != nullptr && ahead != nullptr && ahead->m_Index != me->m_Index)
    {
        const float gap = std::max(0.0f, mine->m_SlotTimes[me->m_Index] - mine->m_SlotTimes[ahead->m_Index]);
        delete m_SplitTextAhead;
        m_SplitTextAhead = MakeSplitText(WeString("+ ").AppendFloat(gap, 3), 0.42f, 1.0f, 0.0f);
    }
    const CRaceParticipant* behind = g_RaceSettings.FindParticipantByPlace(me->m_RacePlace + 1);
    const CRaceCheckpoint* theirs = behind != nullptr ? passed[behind->m_Index] : nullptr;
    if (theirs != nullptr && behind->m_Index != me->m_Index)
    {
        const float gap = std::max(0.0f, theirs->m_SlotTimes[behind->m_Index] - theirs->m_SlotTimes[me->m_Index]);
        delete m_SplitTextBehind;
        m_SplitTextBehind = MakeSplitText(WeString("- ").AppendFloat(gap, 3), 0.47f, 0.0f, 1.0f);
    }
}

void CPlayGamePhase::PushCrafts()
{
    if (m_RaceState == Paused || m_RaceOver != 0)
        return;
    static const float& maxDistance = GetConfigFloat("tuber.Collision.TuberCollisionMaxDistance", 5.0f);
    static const float& minDistance = GetConfigFloat("tuber.Collision.TuberCollisionMinDistance", 2.0f);
    static const float& power = GetConfigFloat("tuber.Collision.TuberCollisionPower", 3.0f);
    if (!(maxDistance > minDistance))
        return;
    m_CraftPush.Reset();
    for (int32_t slot = 0; slot < SlotCount; ++slot)
        if (CTuber* craft = RacingCraft(slot))
            m_CraftPush.PushBack(craft);
    for (auto* a = m_CraftPush.FirstNode(); a; a = m_CraftPush.NextNode(a))
        for (auto* b = m_CraftPush.NextNode(a); b; b = m_CraftPush.NextNode(b))
        {
            CTuber* ca = a->payload;
            CTuber* cb = b->payload;
            if (ca->m_Destroyed || cb->m_Destroyed)
                continue;
            D3DXVECTOR3 offset = cb->GetWorldPosition() - ca->GetWorldPosition();
            float length = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
            if (!(length < maxDistance))
                continue;
            D3DXVECTOR3 unit;
            if (length > 1e-4f)
                unit = offset / length;
            else
            {
                // One place for both: apart along A's right axis.
                const D3DXMATRIX& m = ca->GetWorldMatrix();
                unit = D3DXVECTOR3(m._11, m._12, m._13);
                const float r = std::sqrt(unit.x * unit.x + unit.y * unit.y + unit.z * unit.z);
                unit = r > 1e-6f ? unit / r : D3DXVECTOR3(1.0f, 0.0f, 0.0f);
            }
            length = std::max(length, minDistance);
            const float strength = (maxDistance - length) * power / (maxDistance - minDistance);
            if (ca->m_PhysicHandle != nullptr)
                ca->m_PhysicHandle->AddVelocityChange(-unit * strength, false);
            if (cb->m_PhysicHandle != nullptr)
                cb->m_PhysicHandle->AddVelocityChange(unit * strength, false);
        }
}

void CPlayGamePhase::StartSafetyLock()
{
    g_WeaponFactory.m_SafetyLockExpired = 0;
    g_WeaponFactory.m_SafetyLockTimer = 0.0f;
    if (g_RaceSettings.CountParticipants() <= 1 && g_RaceSettings.m_Weapons)
        g_WeaponFactory.m_SafetyLockExpired = 1;
}

void CPlayGamePhase::StepSafetyLock()
{
    if (g_WeaponFactory.m_SafetyLockExpired != 0 || !g_RaceSettings.m_Weapons)
        return;
    static const float& lockTime = GetConfigFloat("game.GamePlay.SafetyLockTime", 5.0f);
    if (m_RaceState == Racing)
        g_WeaponFactory.m_SafetyLockTimer += g_Timer.m_FrameDeltaF;
    if (g_WeaponFactory.m_SafetyLockTimer >= lockTime)
    {
        g_WeaponFactory.m_SafetyLockExpired = 1;
        g_WeaponFactory.m_SafetyLockTimer = lockTime;
        g_MainGameInterface.SetTimeWarning(0.0f);
    }
}

uint32_t SafetyLockCaptionColour(float timer, float lockTime)
{
    if (timer > 0.7f * lockTime)
    {
        const float alpha = std::min(1.0f, (0.5f * std::sin(15.0f * timer) + 1.0f) * 0.8f);
        return uint32_t(D3DXCOLOR(1.0f, 0.0f, 0.0f, alpha));
    }
    return uint32_t(D3DXCOLOR(0.0f, 1.0f, 0.0f, 0.8f));
}

void CPlayGamePhase::RenderSafetyLockCaption()
{
    if (g_MainGameInterface.m_Visible == 0 || g_RaceSettings.CountParticipants() <= 1 || !g_RaceSettings.m_Weapons ||
        g_WeaponFactory.m_SafetyLockExpired != 0)
        return;
    static const float& lockTime = GetConfigFloat("game.GamePlay.SafetyLockTime", 5.0f);
    const float timer = g_WeaponFactory.m_SafetyLockTimer;
    const WeString text = FormatGameText(
        WeString("%s: %.2f"), {g_Localization.GetText(WeString("MSG: SAFETY_LOCK")), std::max(0.0f, lockTime - timer)});
    if (timer > 0.7f * lockTime && lockTime > 0.0f)
        g_MainGameInterface.SetTimeWarning(timer / lockTime);
    DrawHudText(text, g_Game.m_Font20, 0.5f, 0.85f, SafetyLockCaptionColour(timer, lockTime), 1);
}

void CPlayGamePhase::RenderTimeTrial()
{
    if (g_Game.m_PlayerTuber == nullptr)
        return;
    static const float& blueLeft = GetConfigFloat("game.TimeTrial.BlueTimeLeft", 5.0f);
    static const float& redLeft = GetConfigFloat("game.TimeTrial.RedTimeLeft", 3.0f);
    static const WeString& blueColour = GetConfigString("game.TimeTrial.BlueTimeColor", "0B0000FF");
    static const WeString& redColour = GetConfigString("game.TimeTrial.RedTimeColor", "0BFF0000");
    static const WeString& winColour = GetConfigString("game.TimeTrial.WinTimeColor", "0B00FF00");
    static const WeString& normalColour = GetConfigString("game.TimeTrial.NormalTimeColor", "0BFFFFFF");
    static const float& fadeStart = GetConfigFloat("game.TimeTrial.TextFadeOutTime", 3.0f);
    static const float& fadeLength = GetConfigFloat("game.TimeTrial.TextFadeOutTimeDuration", 3.0f);

    float left = m_LapTimeLimit > 0.0f ? m_LapTimeLimit - m_ShownLapTime : FirstLapLimit();
    left = std::max(0.0f, left);
    const CRaceParticipant* me = g_Game.m_PlayerTuber->m_Participant;
    float rgba[4];
    float warning = 0.0f;
    if (m_RaceState == Finished && me != nullptr && me->m_Won)
        winColour.ToColor(rgba);
    else if (left < redLeft || m_RaceState == Finished)
    {
        redColour.ToColor(rgba);
        warning = m_RaceState == Finished || redLeft <= 0.0f ? 0.0f : 1.0f - left / redLeft;
    }
    else if (left < blueLeft)
    {
        blueColour.ToColor(rgba);
        warning = blueLeft > 0.0f ? 1.0f - left / blueLeft : 0.0f;
    }
    else
        normalColour.ToColor(rgba);
    g_MainGameInterface.SetTimeWarning(warning);

    if (m_RaceState == Racing)
        m_TimeTrialTextTimer += g_Timer.m_FrameDeltaF;
    if (m_TimeTrialTextTimer <= fadeStart + fadeLength)
    {
        float caption[4] = {rgba[0], rgba[1], rgba[2], rgba[3]};
        if (m_TimeTrialTextTimer > fadeStart)
            caption[3] *=
                fadeLength > 0.0f ? std::max(0.0f, 1.0f - (m_TimeTrialTextTimer - fadeStart) / fadeLength) : 0.0f;
        DrawHudText(g_Localization.GetText(WeString("MSG: TIME_TRIAL_SECONDS_LEFT")), g_Game.m_Font30, 0.5f, 0.86f,
                    ToArgb(caption), 1);
    }
    DrawHudText(WeString().AppendFloat(left, 3), g_Game.m_Font30, 0.45f, 0.9f, ToArgb(rgba), 0);
}
