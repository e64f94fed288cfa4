// The standings list at the left: a backing of panel strips and one row per participant in race order, in
// team colours; a craft that changes place slides to its new row.
#include <algorithm>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/HudCells.h"
#include "Game/shell/HudDrawing.h"
#include "Game/shell/HudText.h"

namespace
{

using namespace HudCells;

constexpr float FirstRowY = 0.22f;
constexpr float RowStep = 0.03f;
constexpr float RowX = 0.01f;
// The animation is over after this long; a row reaches its place at half a second.
constexpr float AnimationTime = 0.6f;

CRaceParticipant* RacingWithCraft(int32_t slot)
{
    CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
    return p != nullptr && p->IsRacing() && p->m_Craft != nullptr ? p : nullptr;
}

float RowY(int32_t place)
{
    return FirstRowY + RowStep * float(place - 1);
}

}  // namespace

void CMainGameInterface::DrawStandings(int32_t pass)
{
    if (!m_StandingsShown)
        return;
    const int32_t n = g_RaceSettings.CountParticipants();
    if (n < 2)
        return;
    if (pass == 1)
    {
        DrawStandingsBacking(n);
        return;
    }
    DrawStandingsNames(n);
    if (m_StandingsTimer > AnimationTime)
        m_StandingsAnimating = 0;
}

void CMainGameInterface::DrawStandingsBacking(int32_t n)
{
    if (!m_StandingsAnimating)
    {
        for (int32_t slot = 0; slot < ParticipantSlots; ++slot)
        {
            const CRaceParticipant* p = RacingWithCraft(slot);
            if (p == nullptr)
                continue;
            // A craft shown for the first time takes its row at once.
            if (m_ShownPlaces[slot] == 0)
                m_ShownPlaces[slot] = p->m_RacePlace;
            if (m_ShownPlaces[slot] != p->m_RacePlace)
            {
                m_StandingsTimer = 0.0f;
                m_StandingsAnimating = 1;
            }
        }
    }
    else
    {
        m_StandingsTimer += g_Timer.m_FrameDeltaF;
    }

    WeTexture* atlas = m_HudAtlas;
    if (atlas == nullptr)
        return;
    const float height = float(g_ScreenSize.height);
    int32_t y = int32_t(0.2f * height);
    DrawHudCell(atlas, StandingsTop, 0, y, Scaled(200), Scaled(31), 0xFFFFFFFFu);
    y += Scaled(31);
    if (n >= 3)
    {
        const int32_t middle = int32_t(float(n - 2) * height * 0.03f);
        DrawHudCell(atlas, StandingsMiddle, 0, y, Scaled(200), middle, 0xFFFFFFFFu);
        y += middle;
    }
    DrawHudCell(atlas, StandingsBottom, 0, y, Scaled(200), Scaled(63), 0xFFFFFFFFu);
    for (int32_t i = 0; i < n; ++i)
        DrawHudCell(atlas, StandingsRow, 0, int32_t(height * (0.21f + 0.03f * float(i))), Scaled(200), Scaled(32),
                    0xFFFFFFFFu);
}

void CMainGameInterface::DrawStandingsNames(int32_t n)
{
    const float d = std::min(1.0f, 2.0f * m_StandingsTimer);
    int32_t row = 0;
    for (int32_t place = 1; place <= n; ++place)
    {
        int32_t found = -1;
        for (int32_t slot = 0; slot < ParticipantSlots && found < 0; ++slot)
        {
            const CRaceParticipant* p = RacingWithCraft(slot);
            if (p != nullptr && p->m_RacePlace == place)
                found = slot;
        }
        if (found < 0)
            continue;
        const CRaceParticipant* p = RacingWithCraft(found);
        const CTuber* craft = p->m_Craft;
        float x = RowX;
        float y = FirstRowY + RowStep * float(row);
        int32_t& shown = m_ShownPlaces[found];
        if (m_StandingsAnimating && shown != 0 && shown != p->m_RacePlace)
        {
            const float from = RowY(shown);
            y = from + (y - from) * d;
            const float side = p->m_RacePlace > shown ? 1.0f : -1.0f;
            x = 0.005f + 0.03f * std::min(d, 1.0f - d) * side;
            if (d >= 1.0f)
                shown = p->m_RacePlace;
        }
        else if (!m_StandingsAnimating)
        {
            shown = p->m_RacePlace;
        }
        const float alpha = craft->m_Destroyed && !p->m_Won ? 0.2f : 0.7f;
        WeString text;
        text.AppendInt(place);
        text.AppendText(". ");
        text.Append(p->m_DisplayName);
        DrawHudText(text, g_Game.m_Font12, x, y,
                    HudColour(craft->m_TrailColor[0], craft->m_TrailColor[1], craft->m_TrailColor[2], alpha), 0);
        ++row;
    }
}
