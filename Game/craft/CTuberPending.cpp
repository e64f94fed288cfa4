// Craft operations whose owners have not written them yet: each answers neutrally until its owner moves it
// into its own source file.
#include "Engine/foundation/WeConfig.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

// Laps, placings, pickups and abilities. Until the lap logic exists the track position only finds the
// nodes under the craft, which the headlights, the zone byte and the node effect need.
void CTuber::UpdateTrackPosition()
{
    if (m_World)
        m_World->FindTrackPosition(GetWorldPosition(), &m_CurrentNode, &m_NextNode, nullptr, nullptr, &m_TrackPoint,
                                   m_CurrentNode);
}
void CTuber::OnLapCompleted() {}
void CTuber::ShowLapMessages(float, bool) {}
void CTuber::ShowPlacingMessage() {}
// Until the lap logic exists, finishing marks the craft, stores the result and restarts the race's wait for
// the next finisher.
void CTuber::FinishRace(bool won)
{
    m_Finished = true;
    m_GameContact = false;  // a finished craft neither collects, collides for damage, nor triggers
    if (m_Participant)
        m_Participant->m_Won = won;
    g_PlayGamePhase.m_NextPlayerWaitTimer = 0.0f;
}
void CTuber::CollectPickup(CPickup*) {}
void CTuber::CollectCoin(CPickup*) {}
void CTuber::CollectAbility(CPickup*) {}
void CTuber::ShowCoinBonusText(const WeString&) {}
void CTuber::ShowTurboBonusText(bool) {}
CPickupAction* CTuber::StartPowerUp(int32_t, bool, float, bool)
{
    return nullptr;
}
void CTuber::SetCheatPowerUp(int32_t, bool) {}
void CTuber::UpdatePowerUps() {}
bool CTuber::EndPowerUp(int32_t, bool, bool)
{
    return false;
}
void CTuber::EndAllPowerUps(bool) {}
CPickupAction* CTuber::FindPowerUp(int32_t)
{
    return nullptr;
}
