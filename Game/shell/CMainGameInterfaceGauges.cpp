// The player's gauges: the corner panels with the health and turbo bars, the speed dials, the stats panels,
// the weapon slots with their ammunition, the power-up stack, and their texts.
#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/HudCells.h"
#include "Game/shell/HudDrawing.h"
#include "Game/shell/HudText.h"

namespace
{

using namespace HudCells;

constexpr float Pi = 3.14159265358979f;
constexpr float DegreesToRadians = Pi / 180.0f;
// Below this speed (and in reverse) the display shows the craft standing.
constexpr float SlowestShownSpeed = 2.0f;
// The last seconds of a power-up, in which its icon blinks.
constexpr float PowerUpBlinkTime = 3.0f;
constexpr int32_t PowerUpKinds = 4;

// The fill cells' rows: the bar's texture starts this far down and spans the rest.
constexpr float FillTop = 44.0f;
constexpr float FillRows = 148.0f;

constexpr uint32_t TextColour = 0xB2FFFFFFu;
constexpr uint32_t DimTextColour = 0x66FFFFFFu;
constexpr uint32_t LapColour = 0x80FFFFFFu;
constexpr uint32_t AmmoWhite = 0xE5FFFFFFu;
constexpr uint32_t AmmoRed = 0xE5FF0000u;

float Clamp01(float v)
{
    // Not-a-number reads as empty.
    return v > 0.0f ? std::min(v, 1.0f) : 0.0f;
}

// value / divisor clamped to 0..1; a divisor of 0 or less is an empty gauge.
float Share(float value, float divisor)
{
    return divisor > 0.0f ? Clamp01(value / divisor) : 0.0f;
}

float ShownSpeed(const CTuber* craft)
{
    if (craft->m_Destroyed || !(craft->m_MeasuredSpeed >= SlowestShownSpeed))
        return 0.0f;
    return craft->m_MeasuredSpeed;
}

struct Dial
{
    int32_t x, y, radius, count;
    float angle, startAngle;
    float offsetX, offsetY, width, height;
    HudCell off, on;
};

void DrawDial(WeTexture* atlas, const Dial& dial, float scale, float lit)
{
    // A count from a broken layout draws nothing below 0 and never more than the display allows.
    const int32_t n = std::min(dial.count, CMainGameInterface::MaxLedCount);
    if (n <= 0 || atlas == nullptr)
        return;
    const float height = float(g_ScreenSize.height);
    for (int32_t pass = 0; pass < 2; ++pass)
    {
        for (int32_t i = 0; i < n; ++i)
        {
            const float a = (float(i) * dial.angle + dial.startAngle) * DegreesToRadians;
            const float x = scale * (float(dial.radius) * std::sin(-a) + float(dial.x) + dial.offsetX);
            const float y = scale * (float(dial.radius) * std::cos(-a) - float(dial.y) + dial.offsetY) + height;
            if (pass == 0)
            {
                DrawHudCellRotated(atlas, dial.off, x, y, scale * dial.width, scale * dial.height, a, 0xFFFFFFFFu);
            }
            else
            {
                const float alpha = std::clamp(float(n) * lit - float(i), 0.0f, 1.0f);
                if (alpha > 0.0f)
                    DrawHudCellRotated(atlas, dial.on, x, y, scale * dial.width, scale * dial.height, a,
                                       HudWhite(alpha));
            }
        }
    }
}

int32_t ShownAmmo(const CTuber* craft, bool primary)
{
    if (craft->m_UnlimitedAmmo)
        return 999;
    if (primary)
        return craft->m_PickupPrimaryKind != 0 ? craft->m_PickupPrimaryAmmo : craft->m_BuiltInPrimaryAmmo;
    return craft->m_PickupSecondaryKind != 0 ? craft->m_PickupSecondaryAmmo : craft->m_BuiltInSecondaryAmmo;
}

WeString Number(int32_t n)
{
    WeString s;
    s.AppendInt(n);
    return s;
}

WeString Label(const char* key)
{
    return g_Localization.GetText(WeString(key));
}

WeString LabelAndNumber(const char* key, int32_t n)
{
    WeString s = Label(key);
    s.AppendChar(' ');
    s.AppendInt(n);
    return s;
}

WeString Time(float seconds)
{
    WeString s;
    FormatRaceTime(s, seconds, ':');
    return s;
}

}  // namespace

uint32_t CMainGameInterface::GetAmmoColour(bool primary)
{
    const CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr)
        return AmmoWhite;
    if ((primary ? craft->m_SelectedPrimaryKind : craft->m_SelectedSecondaryKind) != 0)
        return AmmoWhite;
    if (!craft->m_UnlimitedAmmo)
    {
        const int32_t pickedUp = primary ? craft->m_PickupPrimaryAmmo : craft->m_PickupSecondaryAmmo;
        const int32_t builtIn = primary ? craft->m_BuiltInPrimaryAmmo : craft->m_BuiltInSecondaryAmmo;
        if ((pickedUp > 0 ? pickedUp : builtIn) == 0)
            return AmmoRed;
    }
    if (!WeaponsSafetyLockExpired())
        return AmmoRed;
    static float& flashingLimit = GetConfigFloat(WeString("game.Hud.FireRateFlashingLimt"), 2.0f);
    const int32_t kind = primary ? craft->m_BuiltInPrimaryKind : craft->m_BuiltInSecondaryKind;
    return g_WeaponDescriptions.Get(kind).m_FireRate > flashingLimit ? AmmoWhite : AmmoRed;
}

void CMainGameInterface::DrawGauges(int32_t pass)
{
    CTuber* craft = g_Game.m_PlayerTuber;
    if (craft == nullptr)
        return;
    if (pass == 1)
        DrawGaugeQuads(craft);
    else
        DrawGaugeTexts(craft);
}

void CMainGameInterface::DrawGaugeQuads(CTuber* craft)
{
    WeTexture* atlas = m_HudAtlas;
    if (atlas == nullptr)
        return;
    const Layout& l = s_Layout;
    const int32_t width = g_ScreenSize.width, height = g_ScreenSize.height;
    const float v = ShownSpeed(craft);

    DrawHudCell(atlas, LeftPanel, 0, height - Scaled(192), Scaled(252), Scaled(192), 0xFFFFFFFFu);
    const float e = Share(craft->m_Health, craft->m_MaxHealth);
    const int32_t healthHeight = int32_t(float(Scaled(148)) * e);
    if (healthHeight > 0)
        DrawHudCellRows(atlas, HealthFill, FillTop + FillRows * (1.0f - e), 0, height - healthHeight, Scaled(128),
                        healthHeight, 0xFFFFFFFFu);

    const float g = Share(v, craft->m_MaxSpeed);
    DrawDial(atlas,
             Dial{l.speedRotX, l.speedRotY, l.speedRotRadius, l.speedRotCount, l.speedRotAngle, l.speedRotStartAngle,
                  -16.0f, -4.0f, 32.0f, 16.0f, SpeedLedOff, SpeedLedOn},
             m_Scale, g);
    const float turboRange = craft->m_TurboMaxSpeed - craft->m_MaxSpeed;
    const float turboG = turboRange > 0.0f ? Share(v - craft->m_MaxSpeed, turboRange) : 0.0f;
    DrawDial(atlas,
             Dial{l.turboSpeedRotX, l.turboSpeedRotY, l.turboSpeedRotRadius, l.turboSpeedRotCount, l.turboSpeedRotAngle,
                  l.turboSpeedRotStartAngle, -8.0f, 0.0f, 16.0f, 8.0f, TurboLedOff, TurboLedOn},
             m_Scale, turboG);

    DrawHudCell(atlas, RightPanel, width - Scaled(252), height - Scaled(192), Scaled(252), Scaled(192), 0xFFFFFFFFu);
    const float u = Share(craft->m_TurboEnergy, craft->m_MaxTurboEnergy);
    const int32_t turboHeight = int32_t(float(Scaled(148)) * u);
    if (turboHeight > 0)
        DrawHudCellRows(atlas, TurboFill, FillTop + FillRows * (1.0f - u), width - Scaled(128), height - turboHeight,
                        Scaled(128), turboHeight, 0xFFFFFFFFu);
    static float& usagePerSecond = GetConfigFloat(WeString("tuber.HyperBrake.UsagePerSecond"), 50.0f);
    static float& maxTime = GetConfigFloat(WeString("tuber.HyperBrake.MaxTime"), 3.0f);
    const float f = Share(craft->m_HyperBrakeCharge, usagePerSecond * maxTime);
    if (f > 0.0f)
        DrawHudCell(atlas, TurboFill, width - Scaled(128), height - Scaled(148), Scaled(128), Scaled(148), HudWhite(f),
                    WeCanvas::BlendAdditive);

    if (m_StatsShown)
    {
        DrawHudCell(atlas, StatsLeft, 0, 0, Scaled(148), Scaled(85), 0xFFFFFFFFu);
        DrawHudCell(atlas, StatsRight, width - Scaled(162), 0, Scaled(162), Scaled(180), 0xFFFFFFFFu);
    }

    if (m_WeaponSlotsShown && g_RaceSettings.m_Weapons)
    {
        const int32_t weaponX = HudPixel(m_WeaponSlotX, width), mineX = HudPixel(m_MineSlotX, width);
        DrawHudCell(atlas, WeaponFrame, weaponX - Scaled(129) / 2, height - Scaled(129), Scaled(129), Scaled(129),
                    0xFFFFFFFFu);
        DrawHudCell(atlas, WeaponFrame, mineX - Scaled(129) / 2, height - Scaled(129), Scaled(129), Scaled(129),
                    0xFFFFFFFFu);
        if (m_PrimaryPicture != nullptr)
            g_Canvas.DrawQuad(weaponX - Scaled(128) / 2, height - Scaled(128), Scaled(128), Scaled(128), 0xFFFFFFFFu,
                              m_PrimaryPicture, 1);
        if (m_SecondaryPicture != nullptr)
            g_Canvas.DrawQuad(mineX - Scaled(128) / 2, height - Scaled(128), Scaled(128), Scaled(128), 0xFFFFFFFFu,
                              m_SecondaryPicture, 1);
    }

    PowerUpView powerUps[MaxPowerUps];
    const int32_t count = ListPowerUps(craft, powerUps, MaxPowerUps);
    float y = l.buffBackY;
    for (int32_t i = 0; i < count; ++i)
    {
        const PowerUpView& p = powerUps[i];
        if (p.type < 0 || p.type >= PowerUpKinds)
            continue;
        const int32_t top = HudPixel(y, height);
        DrawHudCell(atlas, PowerUpBacking, width - Scaled(106), top, Scaled(106), Scaled(106), 0xFFFFFFFFu);
        float alpha = 0.7f;
        if (p.remaining <= PowerUpBlinkTime)
            alpha = 0.7f * (std::sin(10.0f * std::max(0.0f, p.remaining)) + 1.0f) * 0.5f;
        const int32_t column = PowerUpIconColumns[p.type];
        DrawHudCell(atlas, HudCell{column, PowerUpIconTop, column + 64, PowerUpIconTop + 64}, width - Scaled(74),
                    top + Scaled(16), Scaled(64), Scaled(64), HudWhite(alpha));
        y += float(Scaled(106)) / float(height) + l.buffBackSpreadY;
    }
}

void CMainGameInterface::DrawGaugeTexts(CTuber* craft)
{
    const Layout& l = s_Layout;
    const int32_t width = g_ScreenSize.width;
    const float v = ShownSpeed(craft);
    CRaceParticipant* participant = craft->m_Participant;
    const int32_t place = participant != nullptr ? participant->m_RacePlace : 0;
    const bool elimination = g_RaceSettings.m_RaceType == CRaceSettings::LastOneOut;

    DrawHudText(Label("UI: SPEED"), g_Game.m_Font12, AnchorLeft(l.leftTexX), l.leftTexY, TextColour, 0);
    DrawHudText(Number(int32_t(std::fabs(v * 3.6f))), g_Game.m_Font32, AnchorLeft(l.leftNumX), l.leftNumY, TextColour,
                0);
    DrawHudText(Label("UI: POSITION"), g_Game.m_Font12, AnchorRight(l.rightTexX), l.rightTexY, TextColour, 0);
    const int32_t active = g_RaceSettings.CountActiveParticipants();
    if (place > 0)
    {
        const int32_t total = elimination ? std::max(active, place) : g_RaceSettings.CountParticipants();
        WeString text = Number(place);
        text.AppendChar('/');
        text.AppendInt(total);
        DrawHudText(text, g_Game.m_Font32, AnchorRight(l.rightNumX), l.rightNumY, TextColour, 0);
    }

    if (m_WeaponSlotsShown && g_RaceSettings.m_Weapons)
    {
        const float weaponRight = float(HudPixel(m_WeaponSlotX, width) + Scaled(129) / 2) / float(width);
        const float mineRight = float(HudPixel(m_MineSlotX, width) + Scaled(128) / 2) / float(width);
        DrawHudText(Number(ShownAmmo(craft, true)), g_Game.m_Font50, weaponRight, 1.0f, GetAmmoColour(true), 10);
        DrawHudText(Number(ShownAmmo(craft, false)), g_Game.m_Font50, mineRight, 1.0f, GetAmmoColour(false), 10);
    }

    WeString lap;
    uint32_t lapColour = LapColour;
    if (elimination)
    {
        lapColour = 0xFFFFFFFFu;
        if (place >= 1)
        {
            const int32_t most = std::max(active, place);
            lap = LabelAndNumber("UI: POS", place);
            lap.AppendChar('/');
            lap.AppendInt(most);
            if (place > 1 && place == most)
            {
                static float& blinkFrequency = GetConfigFloat(WeString("game.Hud.LastOneBlinkFreq"), 4.0f);
                const float t = float(g_Timer.m_TotalTime);
                lapColour = HudColour(1.0f, 0.0f, 0.0f, (std::sin(2.0f * Pi * blinkFrequency * t) + 1.0f) * 0.5f);
            }
        }
    }
    else
    {
        const int32_t laps = g_RaceSettings.m_Laps;
        lap = LabelAndNumber("UI: LAP", std::min(laps, craft->m_LapsCompleted + 1));
        lap.AppendChar('/');
        lap.AppendInt(laps);
    }
    if (!lap.IsEmpty())
        DrawHudText(lap, g_Game.m_Font50, 0.5f, l.lapY, lapColour, 1);

    if (!m_StatsShown)
        return;
    DrawHudText(LabelAndNumber("UI: FRAGS", participant != nullptr ? participant->m_Kills : 0), g_Game.m_Font12,
                AnchorLeft(l.killsX), l.killsY, TextColour, 0);
    DrawHudText(LabelAndNumber("UI: COINS", craft->m_Coins), g_Game.m_Font12, AnchorLeft(l.coinsX), l.coinsY,
                TextColour, 0);
    DrawHudText(Label("UI: LAST LAP TIME"), g_Game.m_Font12, AnchorRight(l.lastLapX), l.lastLapY, DimTextColour, 0);
    DrawHudText(Time(craft->m_LastLapTime), g_Game.m_Font16, AnchorRight(l.lastLapNumX), l.lastLapNumY, TextColour, 0);
    DrawHudText(Label("UI: FASTEST LAP"), g_Game.m_Font12, AnchorRight(l.fastestLapX), l.fastestLapY, DimTextColour, 0);
    DrawHudText(Time(g_Game.m_Map != nullptr ? g_Game.m_Map->m_FastestLap : 0.0f), g_Game.m_Font16,
                AnchorRight(l.fastestLapNumX), l.fastestLapNumY, TextColour, 0);
    DrawHudText(Label("UI: RACE TIME"), g_Game.m_Font12, AnchorRight(l.raceTimeX), l.raceTimeY, DimTextColour, 0);
    DrawHudText(Time(participant != nullptr ? participant->m_RaceTime : 0.0f), g_Game.m_Font16,
                AnchorRight(l.raceTimeNumX), l.raceTimeNumY, TextColour, 0);
}
