#include "Game/screens/CEndGamePhase.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/HudText.h"
#include "Platform/input/DIKeyCodes.h"

CEndGamePhase g_EndGamePhase;

namespace
{
constexpr const char* WindowName = "StatisticListWindow";
constexpr const char* ListName = "StatisticList";
constexpr const char* BackButton = "STATISTICS_BACK_BUTTON";
constexpr const char* RestartButton = "STATISTICS_RESTART_BUTTON";
constexpr float FadeSeconds = 2.0f;

void FadeBlack(CScreenFader::Callback callback)
{
    g_ScreenFader.FadeTo(callback, FadeSeconds, 0.0f, 0.0f, 0.0f, 1.0f);
}

WeString Decimal(int32_t value)
{
    WeString text;
    text.AppendInt(value);
    return text;
}

WeString RaceTime(float seconds)
{
    WeString text;
    FormatRaceTime(text, seconds, ':');
    return text;
}

void ScoreRace()
{
    if (g_RaceSettings.m_RaceType == CRaceSettings::TimeTrial)
    {
        CRaceParticipant* first = g_RaceSettings.m_Participants[0];
        if (first != nullptr && first->m_Won)
            first->m_Score = g_RaceStats.GetPointsForPlace(1);
        return;
    }
    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
        if (p != nullptr && p->IsRacing())
            p->m_Score = g_RaceStats.GetPointsForPlace(p->m_RacePlace);
}

void FillList(WeUIMultiList* list)
{
    WeStringList captions;
    WeList<uint8_t> numeric;
    const struct
    {
        const char* key;
        uint8_t numeric;
    } columns[] = {{"UI: POS", 1},   {"UI: PLAYER", 0},    {"UI: SHIP", 0},        {"UI: TEAM", 1},
                   {"UI: FRAGS", 1}, {"UI: RACE TIME", 0}, {"UI: FASTEST LAP", 0}, {"UI: SCORE", 1}};
    for (const auto& column : columns)
    {
        captions.PushBack(g_Localization.GetText(column.key));
        numeric.PushBack(column.numeric);
    }
    list->SetColumns(captions, &numeric);
    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
    {
        if (p == nullptr || !p->IsRacing())
            continue;
        const CTuberDescription* craft = g_TuberCatalogue.Find(p->m_CraftKey);
        WeStringList cells;
        cells.PushBack(Decimal(p->m_RacePlace));
        cells.PushBack(p->m_DisplayName);
        cells.PushBack(craft != nullptr ? craft->m_DisplayName : p->m_CraftKey);
        cells.PushBack(Decimal(p->m_StartPlace));
        cells.PushBack(Decimal(p->m_Kills));
        cells.PushBack(RaceTime(p->m_RaceTime));
        cells.PushBack(p->m_BestLap > 0.0f ? RaceTime(p->m_BestLap) : WeString("--.--.--"));
        cells.PushBack(Decimal(p->m_Score));
        const int32_t row = list->GetRowCount();
        list->AddRow(&cells, intptr_t(p->m_Index));
        if (WeUILabel* name = list->GetCell(1, row))
            for (float& channel : name->m_Colour)
                channel = 1.0f;
    }
    list->SortByColumn(0, true);
}
}  // namespace

float CEndGamePhase::GetListStartY()
{
    static const int32_t& startY = GetConfigInt("UI.Statistic.MapStatStartY", 0);
    return float(startY) / 768.0f;
}

float CEndGamePhase::GetListEndY()
{
    static const int32_t& endY = GetConfigInt("UI.Statistic.MapStatEndY", 200);
    return float(endY) / 768.0f;
}

void CEndGamePhase::Enter()
{
    g_UIShowCursor = 1;
    m_ResultPicture = nullptr;
    m_Going = 0;
    if (m_LeaveAtOnce)
    {
        m_Going = 1;
        FadeBlack(g_RaceSettings.m_InstantRace ? OnBackToMainMenu : OnBackToSingleRace);
    }

    ScoreRace();
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: RACE STATS"), "Root");
    if (WeUIMultiList* list = g_UIMain.CreateMultiList(ListName, "Root"))
        FillList(list);
    g_UIMain.CreateButton(BackButton, g_Localization.GetText("UI: BACK"), "Root", OnBackClicked);
    g_UIMain.CreateButton(RestartButton, g_Localization.GetText("UI: RESTART"), "Root", OnRestartClicked);
    g_UIMain.ShowComponent(WindowName, false);
    g_UIMain.ShowComponent(ListName, false);
    g_UIMain.ShowComponent(BackButton, false);
    g_UIMain.ShowComponent(RestartButton, false);

    const CRaceParticipant* first = g_RaceSettings.m_Participants[0];
    const bool won = first != nullptr && first->m_Won;
    m_ResultPicture = g_TextureManager.GetTexture(won ? "Textures.Statistics.YouWin" : "Textures.Statistics.YouLose",
                                                  false, 0, false);
    m_ListY = GetListStartY();
    if (WeUIComponent* list = g_UIMain.FindComponent(ListName))
        list->SetRect(list->m_X, m_ListY, list->m_Width, list->m_Height);
    g_Game.PlayMusic(CGameGlobals::StatisticsMusic);
}

void CEndGamePhase::Leave()
{
    m_LeaveAtOnce = 0;
    g_UIMain.RemoveComponent(ListName);
    g_UIMain.RemoveComponent(WindowName);
    g_UIMain.RemoveComponent(BackButton);
    g_UIMain.RemoveComponent(RestartButton);
    m_ResultPicture = nullptr;
    if (m_Restarting)
        return;
    g_PostProcess.DeleteAllEffects();
    g_Engine.EndPhysicsStep();
    g_MeshManager.ReleaseAll(false);
    g_MaterialManager.ReleaseAll(false);
    g_TextureManager.ReleaseAll(false);
}

void CEndGamePhase::HandleInput()
{
    if (g_Input.ConsumeKey(DIK_ESCAPE))
        OnBackClicked(0, nullptr);
}

void CEndGamePhase::Update()
{
    const float target = GetListEndY();
    if (m_ListY == target)
        return;
    static const float& speed = GetConfigFloat("UI.Statistic.StatisticsFlyInSpeed", 2.0f);
    m_ListY += speed * g_Timer.m_FrameDeltaF;
    if (m_ListY >= target)
        m_ListY = target;
    if (WeUIComponent* list = g_UIMain.FindComponent(ListName))
        list->SetRect(list->m_X, m_ListY, list->m_Width, list->m_Height);
}

void CEndGamePhase::Render()
{
    if (m_ResultPicture != nullptr)
        g_Canvas.DrawQuad(0, 0, g_ScreenSize.width, g_ScreenSize.height, 0xFFFFFFFF, m_ResultPicture, 0);
}

int32_t CEndGamePhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    if (g_EndGamePhase.m_Going)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    g_EndGamePhase.GoBack();
    return 1;
}

int32_t CEndGamePhase::OnRestartClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    if (g_EndGamePhase.m_Going)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    g_EndGamePhase.m_Going = 1;
    FadeBlack(OnRestartFadeDone);
    return 1;
}

void CEndGamePhase::GoBack()
{
    m_Going = 1;
    g_MenuPhase.StartBackground();
    FadeBlack(g_RaceSettings.m_InstantRace ? OnBackToMainMenu : OnBackToSingleRace);
}

void CEndGamePhase::OnRestartFadeDone()
{
    g_PhaseManager.RequestPhase(&g_RestartPhase, WePhaseManager::ChangeRequest);
    g_EndGamePhase.m_Restarting = 1;
}

void CEndGamePhase::OnBackToSingleRace()
{
    g_MenuPhase.StartBackground();
    g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
    g_PhaseManager.RequestPhase(&g_SingleRacePhase, WePhaseManager::PushRequest);
}

void CEndGamePhase::OnBackToMainMenu()
{
    g_MenuPhase.StartBackground();
    g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::PushRequest);
}
