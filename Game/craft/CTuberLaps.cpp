// The craft's place on the track, its laps, and the end of its race.
#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Game/shell/CUberText.h"
#include "Game/shell/FormatGameText.h"
#include "Game/shell/HudText.h"
#include "Platform/math/D3DXMATRIX.h"

namespace
{
// A centred message with random animations.
void AddCentredMessage(const WeString& text, float r, float g, float b)
{
    CUberText* message = new CUberText(text, CUberText::RandomStyle, CUberText::RandomStyle, nullptr);
    message->SetColor(r, g, b, 1.0f);
    g_MainGameInterface.AddMessage(message);
}

CUberText* AddPlacedMessage(const WeString& text, float y, WeFont* font)
{
    CUberText* message = new CUberText(text, 0.5f, y, 1, 1);
    message->SetFormat(5);
    message->SetFont(font);
    g_MainGameInterface.AddMessage(message);
    return message;
}

const WeString& Translate(const char* key)
{
    return g_Localization.GetText(WeString(key));
}
}  // namespace

void CTuber::UpdateTrackPosition()
{
    if (m_World == nullptr)
        return;
    if (m_CurrentNode != nullptr)
        m_PreviousNodeFraction = m_CurrentNode->m_Fraction;
    float along = 0.0f, fromNext = 0.0f;
    m_World->FindTrackPosition(GetWorldPosition(), &m_CurrentNode, &m_NextNode, &along, &fromNext, &m_TrackPoint,
                               m_CurrentNode);
    m_NodeDistance[0] = along;
    m_NodeDistance[1] = fromNext;
    m_TrackDistance[1] = m_TrackDistance[0];
    m_LapFraction[1] = m_LapFraction[0];
    m_RaceProgress[1] = m_RaceProgress[0];
    m_RaceDistance[1] = m_RaceDistance[0];
    if (m_CurrentNode == nullptr)
        return;

    const D3DXMATRIX& mine = GetWorldMatrix();
    const D3DXMATRIX& node = m_CurrentNode->GetWorldMatrix();
    m_WrongWay = mine._31 * node._31 + mine._32 * node._32 + mine._33 * node._33 < 0.0f;

    const float fraction = m_CurrentNode->m_Fraction;
    if (m_PreviousNodeFraction < 0.0f)
        m_PreviousNodeFraction = fraction;
    if (m_PreviousNodeFraction < 0.2f && fraction > 0.8f)
        --m_LapCrossings;
    else if (m_PreviousNodeFraction > 0.8f && fraction < 0.2f)
        ++m_LapCrossings;

    const float length = m_World->m_TrackLength;
    float segment = m_NextNode != nullptr ? m_NextNode->m_Distance - m_CurrentNode->m_Distance : 0.0f;
    if (segment < 0.0f)
        segment += length;
    // Between the two nodes; a craft level with both (or a node without a next) stands on the current one.
    const float span = along - fromNext;
    const float t = std::fabs(span) > 1e-6f ? along / span : 0.0f;
    m_TrackDistance[0] = t * segment + m_CurrentNode->m_Distance;
    m_LapFraction[0] = length > 0.0f ? m_TrackDistance[0] / length : 0.0f;
    m_RaceProgress[0] = float(m_LapCrossings) + m_LapFraction[0];
    m_RaceDistance[0] = length * m_RaceProgress[0];
}

void CTuber::OnLapCompleted()
{
    ReloadWeapons();
    const float clock = CurrentRaceClock();
    ++m_LapsCompleted;
    m_LapTime = 0.0f;
    m_LastLapTime = clock - m_LapStartClock;
    m_LapEndTime = clock;
    CRaceParticipant* p = m_Participant;
    if (p != nullptr && (m_LastLapTime < p->m_BestLap || p->m_BestLap == 0.0f))
        p->m_BestLap = m_LastLapTime;
    m_LapStartClock = clock;
    bool record = false;
    CGameMap* map = g_Game.m_Map;
    if (map != nullptr && (m_LastLapTime < map->m_FastestLap || map->m_FastestLap == 0.0f))
    {
        map->m_FastestLap = m_LastLapTime;
        record = true;
    }
    // Laps beyond the table are not kept.
    if (map != nullptr && p != nullptr && p->m_RacePlace == 1 && m_LapsCompleted >= 0 &&
        m_LapsCompleted <= CMap::MaxLaps)
        map->m_LeaderLapClock[m_LapsCompleted] = clock;
    if (p != nullptr)
        g_RaceStats.RecordLap(p->m_Index, m_LapsCompleted, m_LastLapTime,
                              m_MaxTurboEnergy > 0.0f ? m_LapTurboUse / m_MaxTurboEnergy : 0.0f);
    ShowLapMessages(m_LastLapTime, record);
    m_TurboEnergy = m_MaxTurboEnergy;
    m_LapTurboUse = 0.0f;
    if (m_IsPlayer && RaceMessagesShown())
    {
        if (!m_UnlimitedTurbo)
            AddCentredMessage(Translate("MSG: RECHARGED_TURBO"), 1.0f, 1.0f, 0.0f);
        if (g_RaceSettings.m_Weapons)
            AddCentredMessage(Translate("MSG: RECHARGED_WEAPS"), 1.0f, 1.0f, 0.0f);
    }
}

void CTuber::ShowLapMessages(float lapTime, bool newRecord)
{
    if (!RaceMessagesShown())
        return;
    const int32_t remaining = g_RaceSettings.m_Laps - m_LapsCompleted;
    const CRaceParticipant* p = m_Participant;
    const bool leader = p != nullptr && p->m_RacePlace == 1;
    if (m_IsPlayer)
    {
        WeString text = Translate(newRecord ? "MSG: NEW_LAP_RECORD" : "MSG: LAP_TIME");
        text += ": ";
        float shown = lapTime;
        bool red = newRecord;
        if (!leader)
        {
            const CGameMap* map = g_Game.m_Map;
            const bool known = map != nullptr && m_LapsCompleted >= 0 && m_LapsCompleted <= CMap::MaxLaps;
            shown = CurrentRaceClock() - (known ? map->m_LeaderLapClock[m_LapsCompleted] : 0.0f);
            red = true;
        }
        FormatRaceTime(text, shown, ':');
        CUberText* message = AddPlacedMessage(text, 0.25f, newRecord ? g_Game.m_Font50 : g_Game.m_Font32);
        message->SetColor(red ? 1.0f : 0.0f, red ? 0.0f : 1.0f, 0.0f, 1.0f);
    }
    if (g_RaceSettings.m_RaceType != CRaceSettings::StandardRace)
        return;
    if (m_IsPlayer)
    {
        WeString text;
        if (remaining >= 2)
        {
            text = FormatGameText(Translate("MSG: LAPS_REMAINING"), {remaining});
            if (WeSound* voice = PlayOneShotSound(WeString("Sounds.Voice.Laps").AppendInt(remaining)))
                voice->QueueBuffer(WeString("Sounds.Voice.LapsRemaining"));
        }
        else if (remaining == 1)
        {
            text = Translate("MSG: FINAL_LAP");
            PlayOneShotSound(WeString("Sounds.Voice.Lap1Remaining"));
        }
        else
            text = Translate("MSG: RACE_FINISHED");
        AddPlacedMessage(text, 0.2f, g_Game.m_Font32);
    }
    if (leader && remaining == 1)
        AddCentredMessage(FormatGameText(Translate("MSG: ENTERED_FINAL_LAP"), {p->m_DisplayName}), 1.0f, 1.0f, 0.0f);
}

void CTuber::ShowPlacingMessage()
{
    if (!RaceMessagesShown() || m_Participant == nullptr)
        return;
    const char* key = nullptr;
    switch (g_RaceSettings.m_RaceType)
    {
    case CRaceSettings::StandardRace:
    {
        static const char* const Keys[3] = {"MSG: FIRST_PLACE", "MSG: SECOND_PLACE", "MSG: THIRD_PLACE"};
        const int32_t place = m_Participant->m_RacePlace;
        if (place >= 1 && place <= 3)
            key = Keys[place - 1];
        break;
    }
    case CRaceSettings::LastOneOut: key = m_Participant->m_Won ? "MSG: WINNER_MESSAGE" : "MSG: OUT_MESSAGE"; break;
    default: break;
    }
    if (key != nullptr)
        AddCentredMessage(FormatGameText(Translate(key), {m_Participant->m_DisplayName}), 0.0f, 1.0f, 1.0f);
}

void CTuber::FinishRace(bool won)
{
    m_Finished = true;
    m_StillRacing = false;
    if (m_Participant != nullptr)
        m_Participant->m_Won = won;
    ShowPlacingMessage();
    g_PlayGamePhase.m_NextPlayerWaitTimer = 0.0f;
    m_GameContact = false;  // a finished craft neither collects, collides for damage, nor triggers
    m_SwarmerBurstCount = 0;
    m_SwarmerBurstTimer = 0.0f;
    m_MinigunFireTimer = 0.0f;
    if (m_Participant != nullptr)
    {
        // The finished craft drives on under a Hard driver, which keeps off the weapons.
        if (m_Participant->m_Agent == nullptr)
            g_AIKernel.AppendAgent(new CAgent(m_Participant, 3));
        if (CAgent* agent = m_Participant->m_Agent)
        {
            agent->ForceStandardTube();
            agent->SetWeaponsEnabled(false);
        }
    }
    m_SpeedCap = 70.0f;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
        if (other != nullptr && other->IsRacing() && other->m_Craft != nullptr && other->m_Craft != this)
            g_Physics.IgnoreActorPair(this, other->m_Craft);
    }
}
