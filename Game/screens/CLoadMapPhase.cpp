#include "Game/screens/CLoadMapPhase.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/world/WePhysics.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProgressBar.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/system/SysClock.h"

CLoadMapPhase g_LoadMapPhase;

namespace
{
// The card's keys, each bound once: positions in 1024ths of the screen width and 768ths of its height.
struct CardLine
{
    const int32_t& x;
    const int32_t& y;
};
CardLine Line(const char* xKey, int32_t x, const char* yKey, int32_t y)
{
    return {GetConfigInt(xKey, x), GetConfigInt(yKey, y)};
}

// Colour-run markup of the canvas's text drawing: control byte 1, eight hex digits AARRGGBB, the text,
// control byte 2.
void AppendColorRun(WeString& out, uint32_t argb, const WeString& text)
{
    out.AppendChar(1);
    out.AppendInt(static_cast<int32_t>(argb), 8, 16, false);
    out.Append(text);
    out.AppendChar(2);
}

uint32_t ColorOfKey(const char* key)
{
    const WeString& text = GetConfigString(key, "FFFFFFFF");
    return static_cast<uint32_t>(text.ToInt(16));
}

float InitRaceTime()
{
    static const float& time = GetConfigFloat("game.Hud.InitRaceTime", 3.0f);
    return time;
}

// Whether the screen fader has finished: its frame has faded out and is gone.
bool FaderIsIdle()
{
    return g_ScreenFader.m_State <= CScreenFader::Idle;
}

// The font of a "UI.Fonts" size, as the game keeps it.
WeFont* Font16()
{
    return g_Game.m_Font16;
}
// The wall time of the current load, for its log line: the loading work itself (the map's opening and its
// steps) and the time from its first step to its end, frames between the steps included.
struct LoadWallTime
{
    int64_t work = 0;
    int64_t firstStep = -1;
    bool reported = false;
} g_LoadWallTime;

double CounterSeconds(int64_t counts)
{
    return static_cast<double>(counts) / static_cast<double>(SysClock::CounterFrequency);
}
}  // namespace

CLoadMapPhase::~CLoadMapPhase()
{
    delete m_ProgressBar;
}

int32_t CLoadMapPhase::GetTipIndex(float t, int32_t count, float initRaceTime)
{
    if (count <= 0)
        return 0;
    // A divisor that is not a positive number would make the index infinite: the last tip.
    if (!(initRaceTime > 0.0f) || !std::isfinite(initRaceTime))
        return count - 1;
    const double index = static_cast<double>(t) * count / initRaceTime;
    if (!(index < count - 1))
        return count - 1;
    return index > 0.0 ? static_cast<int32_t>(index) : 0;
}

void CLoadMapPhase::Enter()
{
    if (m_Entered)
        return;
    m_Step = StepNotStarted;
    g_UIShowCursor = 0;

    g_Game.m_PlayerTuber = nullptr;
    g_Game.m_PlayerFlag = 0;
    g_Game.m_ReverseView = 0;

    CGameMap* map = new CGameMap();
    g_Game.m_Map = map;
    static const bool& perPixelLights = GetConfigBool("debug.Render.EnablePerPixelLightsFromMap", false);
    map->m_LightsOfKind2 = !perPixelLights;

    const WeString& mapName = g_RaceSettings.m_MapName;
    g_LoadWallTime = LoadWallTime();
    const int64_t openStart = SysClock::Counter();
    const bool opened = map->BeginLoad(mapName);
    g_LoadWallTime.work += SysClock::Counter() - openStart;
    if (!opened || map->m_Header.m_Damaged)
    {
        AbandonLoad();
        return;
    }
    g_Physics.m_Paused = 1;

    for (int32_t i = 0; i < 4; ++i)
        m_ScreenColor[i] = map->m_Header.m_LoadScreenColor[i];
    WeTexture* picture = g_TextureManager.GetTexture(map->m_Header.m_LoadingTexture, false, 0, true);
    if (picture != m_Background)
    {
        if (m_Background != nullptr)
            g_TextureManager.ReleaseTexture(m_Background, false);
        m_Background = picture;
        if (m_Background != nullptr)
            m_Background->SetMinimumQuality(2);
    }

    delete m_ProgressBar;
    m_ProgressBar = new CProgressBar(false, true);
    m_ProgressBar->m_Y = 0.85f;
    m_ProgressBar->m_X = 0.3f;
    m_ProgressBar->m_Width = 0.4f;
    m_ProgressBar->m_ShowOwnTextWhenDone = 1;
    m_ProgressBar->m_Text = g_Localization.GetText("UI: PRESS_ANY_KEY");
    m_ProgressBar->m_Value = 0.0f;
    m_ProgressBar->m_BarColor = CProgressBar::PackColor(m_ScreenColor);

    g_PickupFactory.SetKeepPickups(g_RaceSettings.m_Weapons ? 1 : 0);
    m_Entered = 1;

    static const WeString& tipKeys = GetConfigString("game.Hud.InitRaceTexts", "Initializing Engines");
    m_Tips = ReadTips(tipKeys);
}

std::vector<WeString> CLoadMapPhase::ReadTips(const WeString& fields)
{
    std::vector<WeString> tips;
    for (int32_t i = 0;; ++i)
    {
        const WeString field = fields.GetToken(',', i);
        if (field.IsEmpty())
            break;
        tips.push_back(g_Localization.GetText(WeString("UI: ") + field));
    }
    return tips;
}

void CLoadMapPhase::AbandonLoad()
{
    DebugLogPrintf("Race loading: the map \"%s\" cannot be opened; back to the menus\n",
                   g_RaceSettings.m_MapName.c_str());
    CGameMap* map = g_Game.m_Map;
    g_Game.m_Map = nullptr;
    delete map;
    g_Physics.m_Paused = 0;
    g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::PushRequest);
}

void CLoadMapPhase::Leave()
{
    m_Entered = 0;
    g_Physics.m_Paused = 0;
    // The race's first frame advances by nothing.
    g_Timer.m_FrameDeltaF = 0.0f;
    g_Timer.m_FrameDelta = 0.0;
}

void CLoadMapPhase::Update()
{
    CGameMap* map = g_Game.m_Map;
    if (!m_Entered || map == nullptr)
        return;
    if (m_Step == StepNotStarted)
    {
        m_LoadStart = g_Timer.m_TotalTime;
        m_Step = StepLoading;
    }
    // The budget is wall time, whatever the frame time says.
    const int64_t callStart = SysClock::Counter();
    const int64_t budget = static_cast<int64_t>(UpdateBudgetSeconds * static_cast<double>(SysClock::CounterFrequency));
    const int32_t stepAtStart = m_Step;
    while (m_Step == stepAtStart && SysClock::Counter() - callStart < budget)
    {
        if (m_Step == StepLoading)
        {
            // The previous screen fades out first.
            if (!FaderIsIdle())
                return;
            if (map->m_Loaded)
            {
                m_Step = StepWaitingForKey;
                if (!g_LoadWallTime.reported)
                {
                    g_LoadWallTime.reported = true;
                    const int64_t since =
                        g_LoadWallTime.firstStep >= 0 ? SysClock::Counter() - g_LoadWallTime.firstStep : 0;
                    DebugLogPrintf("Race loading: \"%s\" loaded in %.3f s of wall time (%.3f s of it loading)\n",
                                   g_RaceSettings.m_MapName.c_str(), CounterSeconds(since),
                                   CounterSeconds(g_LoadWallTime.work));
                }
            }
            else
            {
                const int64_t stepStart = SysClock::Counter();
                if (g_LoadWallTime.firstStep < 0)
                    g_LoadWallTime.firstStep = stepStart;
                const bool stepped = map->LoadStep();
                g_LoadWallTime.work += SysClock::Counter() - stepStart;
                if (!stepped)
                {
                    AbandonLoad();
                    m_Entered = 0;
                    return;
                }
            }
        }
        else if (m_Step == StepWaitingForKey)
        {
            // Any new edge (a key, or a click's release) starts the race; it is not consumed.
            if (g_Input.m_PendingEdges > 0)
            {
                g_PhaseManager.RequestPhase(&g_PlayGamePhase, WePhaseManager::ChangeRequest);
                m_Step = StepRaceRequested;
            }
            break;
        }
        else
        {
            break;
        }
    }
    if (m_ProgressBar != nullptr)
        m_ProgressBar->m_Value = map->m_LoadProgress;
    m_LoadTime = static_cast<float>(g_Timer.m_TotalTime - m_LoadStart);
}

WeString CLoadMapPhase::GetLapsLine() const
{
    WeString line = g_Localization.GetText("UI: LAP COUNT");
    line += ": ";
    line.AppendInt(g_RaceSettings.m_Laps);
    return line;
}

WeString CLoadMapPhase::GetModeLine() const
{
    static const char* const modeKeys[] = {"UI: STANDARD RACE", "UI: TIME TRIAL", "UI: LAST ONE"};
    static const char* const colorKeys[] = {"UI.LoadMap.ModeColorStandardRace", "UI.LoadMap.ModeColorTimeTrial",
                                            "UI.LoadMap.ModeColorLastOne"};
    const int32_t type =
        g_RaceSettings.m_RaceType >= 0 && g_RaceSettings.m_RaceType <= 2 ? g_RaceSettings.m_RaceType : 0;
    WeString line;
    WeString label = g_Localization.GetText("UI: MODE");
    label += ": ";
    AppendColorRun(line, CProgressBar::PackColor(m_ScreenColor), label);
    AppendColorRun(line, ColorOfKey(colorKeys[type]), g_Localization.GetText(modeKeys[type]));
    return line;
}

WeString CLoadMapPhase::GetOpponentsLine(int32_t maxWidth) const
{
    if (g_RaceSettings.CountParticipants() <= 1)
        return WeString();
    WeString finished;
    WeString current = g_Localization.GetText("UI: OPPONENTS");
    current += ": ";
    bool any = false;
    for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
    {
        const CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
        if (slot == nullptr || !slot->IsAI())
            continue;
        if (!any)
        {
            current += slot->m_DisplayName;
            any = true;
            continue;
        }
        WeString candidate = current + ", " + slot->m_DisplayName;
        int32_t size[2] = {0, 0};
        if (Font16() != nullptr)
            Font16()->GetTextExtent(candidate, size, 0);
        if (maxWidth > 0 && size[0] >= maxWidth)
        {
            // The name goes to a new line; the one before ends with the separator.
            finished += current;
            finished += ",\n";
            current = slot->m_DisplayName;
        }
        else
        {
            current = candidate;
        }
    }
    return finished + current;
}

WeString CLoadMapPhase::GetMapNameLine() const
{
    return g_Localization.GetText(WeString("Maps: ") + GetBaseMapName(g_RaceSettings.m_MapName) + ": NAME");
}

WeString CLoadMapPhase::GetVariantLine() const
{
    bool reverse = false;
    bool day = false;
    bool night = false;
    ParseMapVariant(g_RaceSettings.m_MapName, reverse, day, night);
    WeString line;
    if (day)
        line += g_Localization.GetText("UI: day");
    else if (night)
        line += g_Localization.GetText("UI: night");
    if (reverse)
    {
        if (!line.IsEmpty())
            line += " / ";
        line += g_Localization.GetText("UI: reverse");
    }
    return line;
}

WeString CLoadMapPhase::GetDifficultyLine() const
{
    WeString line = g_Localization.GetText("UI: DIFFICULTY");
    line += ": ";
    const int32_t difficulty = g_RaceSettings.m_Difficulty;
    line += g_Localization.GetText(difficulty == 1 ? "UI: DIFF_EASY"
                                                   : (difficulty == 3 ? "UI: DIFF_HARD" : "UI: DIFF_MEDIUM"));
    return line;
}

void CLoadMapPhase::Render()
{
    const int32_t screenW = g_ScreenSize.width;
    const int32_t screenH = g_ScreenSize.height;
    static const int32_t& backgroundY = GetConfigInt("UI.LoadMap.BackgroundPosY", 0);
    static const int32_t& backgroundHeight = GetConfigInt("UI.LoadMap.BackgroundHeight", 0);
    // Nothing else draws behind the card: without a ground of its own the screen would show the last frame of
    // the screen before it around the picture.
    g_Canvas.DrawQuad(0, 0, screenW, screenH, 0xFF000000, nullptr, 0);
    if (m_Background != nullptr)
        g_Canvas.DrawQuad(0, backgroundY * screenH / 768, screenW, backgroundHeight * screenH / 768, 0xFFFFFFFF,
                          m_Background, 0);

    if (m_ProgressBar != nullptr)
    {
        const float t = g_PlayGamePhase.m_StartDelayTimer;
        if (t > 0.0f && !m_Tips.empty())
            m_ProgressBar->m_Text = m_Tips[GetTipIndex(t, static_cast<int32_t>(m_Tips.size()), InitRaceTime())];
        else
            m_ProgressBar->m_Text = g_Localization.GetText("UI: PRESS_ANY_KEY");
        m_ProgressBar->Draw();
    }

    static const CardLine laps = Line("UI.LoadMap.LapsPosX", 35, "UI.LoadMap.LapsPosY", 660);
    static const CardLine mode = Line("UI.LoadMap.ModePosX", 35, "UI.LoadMap.ModePosY", 700);
    static const CardLine opponents = Line("UI.LoadMap.OpponentsPosX", 35, "UI.LoadMap.OpponentsPosY", 740);
    static const CardLine mapName = Line("UI.LoadMap.MapNamePosX", 35, "UI.LoadMap.MapNamePosY", 760);
    static const CardLine variant = Line("UI.LoadMap.DayNightReversePosX", 10, "UI.LoadMap.DayNightReversePosY", 600);
    static const CardLine difficulty = Line("UI.LoadMap.DifficultyPosX", 30, "UI.LoadMap.DifficultyPosY", 500);

    const uint32_t color = CProgressBar::PackColor(m_ScreenColor);
    const uint32_t shadow = 0xC0000000;
    auto draw = [&](WeFont* font, const WeString& text, const CardLine& at, uint32_t argb)
    {
        if (font == nullptr || text.IsEmpty())
            return;
        g_Canvas.DrawTextShadowed(font, text, at.x * screenW / 1024, at.y * screenH / 768, 0, 0, argb, shadow, 0, 1.0f);
    };
    draw(Font16(), GetLapsLine(), laps, color);
    draw(Font16(), GetModeLine(), mode, 0xFFFFFFFF);
    draw(Font16(), GetOpponentsLine(screenW - 2 * (opponents.x * screenW / 1024)), opponents, color);
    draw(g_Game.m_Font32, GetMapNameLine(), mapName, color);
    draw(Font16(), GetVariantLine(), variant, color);
    draw(Font16(), GetDifficultyLine(), difficulty, color);
}
