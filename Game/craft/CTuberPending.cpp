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

// Damage, death and respawn.
// Until the damage rules are written in full, a hit lowers the health by the scaled amount and records its
// cause; kill counting and death follow with them.
bool CTuber::ApplyDamage(float amount, CTuber* attacker, int32_t kind)
{
    if (m_Invulnerable || !(amount > 0.0f))
        return false;
    m_LastAttacker = attacker;
    m_LastDamageKind = kind;
    if (attacker)
        attacker->m_LastVictim = this;
    float factor = 1.0f;
    if (attacker && attacker->m_Participant && attacker->m_Participant->IsAI())
    {
        const CAgent* agent = attacker->m_Participant->m_Agent;
        factor = agent && agent->m_Profile ? agent->m_Profile->m_DamageModifier : 1.0f;
        static const char* const Keys[] = {"AI.Common.EasyDamageModifier", "AI.Common.MediumDamageModifier",
                                           "AI.Common.HardDamageModifier"};
        const int32_t difficulty = g_RaceSettings.m_Difficulty;
        if (difficulty >= 1 && difficulty <= 3)
            factor *= GetConfigFloat(Keys[difficulty - 1], 1.0f);
    }
    m_Health -= factor * amount;
    return true;
}
void CTuber::Die() {}
void CTuber::Respawn() {}
void CTuber::UpdateRespawn() {}
void CTuber::UpdateHealth() {}
void CTuber::ShowKillMessages() {}
void CTuber::UpdateSparks() {}
