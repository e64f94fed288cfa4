#include "Game/screens/CSingleRacePhase.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIText.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CShipyardPhase.h"
#include "Game/screens/GetLapCounts.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapHeader.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/system/SysRandom.h"

CSingleRacePhase g_SingleRacePhase;

namespace
{
constexpr const char* RootWindow = "SingleRace_RootWindow";
constexpr const char* MapWindow = "SingleRace_MapDescription_Window";
constexpr const char* OptionsWindow = "SingleRace_Options_Window";
constexpr const char* PlayersCombo = "SingleRace_PlayersCombo";
constexpr const char* TeamsCombo = "SingleRace_Teams";
constexpr const char* ColourBack = "SingleRace_TeamColors_Back";
constexpr const char* Colour = "SingleRace_TeamColors";
constexpr const char* StartButton = "SingleRace_Start_Button";
constexpr int32_t Rows = CRaceSettings::SlotCount;
constexpr int32_t TeamCount = 6;

enum Option
{
    RaceType,
    Weapons,
    Dynamics,
    UnlimitedTurbo,
    LapCount,
    RaceDifficulty,
    OptionCount
};

const char* const OptionNames[OptionCount] = {"RaceType",       "Weapons",  "Dynamics",
                                              "UnlimitedTurbo", "LapCount", "RaceDifficulty"};
const char* const OptionTitles[OptionCount] = {"UI: MAP TYPE",        "UI: WEAPONS",   "UI: DYNAMICS",
                                               "UI: UNLIMITED_TURBO", "UI: LAP COUNT", "UI: DIFFICULTY"};

WeString ComboName(int32_t option)
{
    return WeString("SingleRace_") + OptionNames[option] + "_Combobox";
}

WeString TitleName(int32_t option)
{
    if (option == RaceType)
        return WeString("SingleRace_RaceType_Title");
    return ComboName(option) + "_title";
}

WeUIComboBox* Combo(const WeString& name)
{
    return static_cast<WeUIComboBox*>(g_UIMain.FindComponent(name));
}

WeUIComboBox* OptionCombo(int32_t option)
{
    return Combo(ComboName(option));
}

WeUIComboBox* RowCombo(const char* base, int32_t row)
{
    return Combo(WeUIMain::GetRowName(base, row));
}

void SetEnabled(WeUIComponent* c, bool enabled)
{
    if (c == nullptr)
        return;
    c->m_Opacity = enabled ? 1.0f : 0.5f;
    c->m_InputEnabled = enabled ? 1 : 0;
}

void SetOptionEnabled(int32_t option, bool enabled)
{
    SetEnabled(OptionCombo(option), enabled);
    SetEnabled(g_UIMain.FindComponent(TitleName(option)), enabled);
}

void SetShown(const WeString& name, bool shown)
{
    WeUIComponent* c = g_UIMain.FindComponent(name);
    if (c == nullptr)
        return;
    if (shown && !c->m_Visible)
        g_UIMain.ShowComponent(name, false);
    else if (!shown && c->m_Visible)
        g_UIMain.HideComponent(name, false);
}

void SetIndex(WeUIComboBox* combo, int32_t index)
{
    if (combo != nullptr)
        combo->SetSelectedIndex(index, -1);
}

// The row number at the end of a row widget's name.
int32_t RowOf(WeUIComponent* sender)
{
    return sender != nullptr ? sender->m_Name.GetTokenFromEnd(' ', 0).ToInt() : -1;
}

// A start place the six team colours can be indexed by: 1..6, else the row's own.
int32_t TeamOf(const CRaceParticipant* slot, int32_t row)
{
    return slot->m_StartPlace >= 1 && slot->m_StartPlace <= TeamCount ? slot->m_StartPlace : row + 1;
}

void FillItems(WeUIComboBox* combo, const char* const* keys, int32_t count)
{
    if (combo == nullptr)
        return;
    for (int32_t i = 0; i < count; ++i)
        combo->AddItem(g_Localization.GetText(keys[i]), i, false);
}
}  // namespace

void CSingleRacePhase::Enter()
{
    m_Leaving = 0;
    m_LapCounts = GetLapCounts();
    g_UIMain.CreateWindow(RootWindow, g_Localization.GetText("UI: SINGLE RACE"), "Root");
    g_UIMain.ShowComponent(RootWindow, false);

    g_AIProfiles.CollectProfilesOfLevel(m_EasyOpponents, 1);
    g_AIProfiles.CollectProfilesOfLevel(m_MediumOpponents, 2);
    g_AIProfiles.CollectProfilesOfLevel(m_HardOpponents, 3);

    for (int32_t i = 0; i < Rows; ++i)
    {
        g_UIMain.CreateComboBoxRow(PlayersCombo, RootWindow, i, OnPlayerChanged);
        WeUIComboBox* teams = g_UIMain.CreateComboBoxRow(TeamsCombo, RootWindow, i, OnTeamChanged);
        if (teams != nullptr)
            for (int32_t t = 1; t <= TeamCount; ++t)
            {
                WeString text = g_Localization.GetText("UI: TEAM") + " ";
                text.AppendInt(t);
                teams->AddItem(text, t, t == i + 1);
            }
        if (WeUIColorFrame* back = g_UIMain.CreateColorFrameRow(ColourBack, RootWindow, i))
        {
            back->m_Colour[0] = back->m_Colour[1] = back->m_Colour[2] = 0.0f;
            back->m_Colour[3] = 1.0f;
        }
        if (WeUIColorFrame* colour = g_UIMain.CreateColorFrameRow(Colour, RootWindow, i))
            for (int32_t c = 0; c < 4; ++c)
                colour->m_Colour[c] = g_RaceSettings.m_TeamColors[i][c];
    }

    g_UIMain.CreateWindow(MapWindow, g_Localization.GetText("UI: MAP DESCRIPTION"), "Root");
    g_UIMain.ShowComponent(MapWindow, false);
    g_UIMain.CreateLabel("SingleRace_MapTitle", "", MapWindow, 0);
    g_UIMain.CreateLabel("SingleRace_MapDescription", "", MapWindow, 16);
    g_UIMain.CreatePicture("SingleRace_MapImage", MapWindow);
    g_UIMain.CreateButton("SingleRace_PrevMap", g_Localization.GetText("UI: PREV"), MapWindow, OnPrevMapClicked);
    g_UIMain.CreateButton("SingleRace_NextMap", g_Localization.GetText("UI: NEXT"), MapWindow, OnNextMapClicked);
    g_UIMain.CreateButton("SingleRace_Back_Button", g_Localization.GetText("UI: BACK"), MapWindow, OnBackClicked);
    g_UIMain.CreateButton(StartButton, g_Localization.GetText("UI: START"), MapWindow, OnStartClicked);

    g_UIMain.CreateWindow(OptionsWindow, g_Localization.GetText("UI: GAME OPTIONS"), "Root");
    g_UIMain.ShowComponent(OptionsWindow, false);
    for (int32_t o = 0; o < OptionCount; ++o)
    {
        g_UIMain.CreateLabel(TitleName(o), g_Localization.GetText(OptionTitles[o]), OptionsWindow, -1);
        g_UIMain.CreateComboBox(ComboName(o), OptionsWindow, OnOptionChanged);
    }
    const char* const raceTypes[] = {"UI: STANDARD RACE", "UI: TIME TRIAL", "UI: LAST ONE"};
    const char* const onOff[] = {"UI: ON", "UI: OFF"};
    FillItems(OptionCombo(RaceType), raceTypes, 3);
    FillItems(OptionCombo(Weapons), onOff, 2);
    FillItems(OptionCombo(Dynamics), onOff, 2);
    FillItems(OptionCombo(UnlimitedTurbo), onOff, 2);
    if (WeUIComboBox* laps = OptionCombo(LapCount))
        for (size_t i = 0; i < m_LapCounts.size(); ++i)
        {
            WeString text;
            text.AppendInt(m_LapCounts[i]);
            laps->AddItem(text, intptr_t(i), false);
        }
    m_DifficultyLevels.Clear();
    const char* const difficulties[] = {"UI: DIFF_EASY", "UI: DIFF_MEDIUM", "UI: DIFF_HARD"};
    WeUIComboBox* difficulty = OptionCombo(RaceDifficulty);
    for (int32_t level = 1; level <= 3; ++level)
    {
        if (GetOpponents(level).IsEmpty())
            continue;
        m_DifficultyLevels.PushBack(level);
        if (difficulty != nullptr)
            difficulty->AddItem(g_Localization.GetText(difficulties[level - 1]), level, false);
    }

    g_RaceSettings.SetPlayerParticipant();
    m_MapNames.Clear();
    for (auto* n = g_MapCatalogue.m_Names.FirstNode(); n != nullptr; n = g_MapCatalogue.m_Names.NextNode(n))
        m_MapNames.PushBack(n->payload);
    g_RaceSettings.m_InstantRace = false;
    m_ParticipantCount = 0;
    g_RaceSettings.LoadFromProfile();

    int32_t& level = g_RaceSettings.m_Difficulty;
    auto empty = [this](int32_t l) { return GetOpponents(l).IsEmpty(); };
    if (level < 1 || level > 3)
        level = 1;
    if (empty(level))
    {
        if (level == 1)
            level = empty(2) ? 3 : 2;
        else if (level == 3)
            level = empty(2) ? 1 : 2;
        else
            level = 1;
    }

    const CProfile* profile = g_ProfileManager.GetCurrent();
    m_MapNames.CursorToFirst();
    if (profile != nullptr)
        for (auto* n = m_MapNames.FirstNode(); n != nullptr; n = m_MapNames.NextNode(n))
            if (n->payload == profile->m_LastMap)
            {
                m_MapNames.SetCursor(n);
                break;
            }
    g_RaceSettings.m_MapName = m_MapNames.CursorValid() ? *m_MapNames.Current() : WeString("");

    SyncComboBoxes();
    ApplyRaceType(g_RaceSettings.m_RaceType);
    ShowMap();
    FillPlayerCombos();
    MarkRandomRows();
    RefreshRows();
}

WeList<CAIProfile*>& CSingleRacePhase::GetOpponents(int32_t level)
{
    if (level == 2)
        return m_MediumOpponents;
    if (level == 3)
        return m_HardOpponents;
    return m_EasyOpponents;
}

void CSingleRacePhase::ApplyRaceType(int32_t type)
{
    if (type < 0 || type > 2)
        type = 0;
    const int32_t previous = g_RaceSettings.m_RaceType;
    g_RaceSettings.m_RaceType = type;
    if (type == 1)
        for (int32_t i = 1; i < Rows; ++i)
        {
            g_RaceSettings.GetParticipant(i)->m_Kind = CRaceParticipant::Open;
            g_RaceSettings.m_RandomOpponents[i] = false;
        }
    RefreshRows();
    const bool timeTrial = type == 1;
    SetOptionEnabled(Weapons, !timeTrial);
    SetOptionEnabled(UnlimitedTurbo, !timeTrial);
    SetOptionEnabled(Dynamics, !timeTrial);
    SetOptionEnabled(LapCount, type != 2);
    if (timeTrial)
    {
        g_RaceSettings.m_Weapons = false;
        g_RaceSettings.m_UnlimitedTurbo = false;
        g_RaceSettings.m_Dynamics = true;
    }
    else if (previous == 1)
        g_RaceSettings.m_Weapons = true;
    SyncComboBoxes();
}

void CSingleRacePhase::RefreshRows()
{
    m_ParticipantCount = 0;
    for (int32_t i = 0; i < Rows; ++i)
        if (g_RaceSettings.GetParticipant(i)->IsRacing())
            ++m_ParticipantCount;
    for (int32_t i = 0; i < Rows; ++i)
    {
        const CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
        const WeString player = WeUIMain::GetRowName(PlayersCombo, i);
        const WeString team = WeUIMain::GetRowName(TeamsCombo, i);
        const WeString back = WeUIMain::GetRowName(ColourBack, i);
        const WeString colour = WeUIMain::GetRowName(Colour, i);
        if (g_RaceSettings.m_RaceType == 1 && i > 0)
        {
            for (const WeString* name : {&player, &team, &back, &colour})
                SetShown(*name, false);
            continue;
        }
        WeUIComboBox* combo = Combo(player);
        SetShown(player, true);
        if (slot->m_Kind == CRaceParticipant::Open)
        {
            SetEnabled(combo, true);
            SetIndex(combo, 0);
            SetShown(team, false);
            SetShown(back, false);
            SetShown(colour, false);
            continue;
        }
        if (i > 0 && g_RaceSettings.m_RandomOpponents[i])
        {
            SetEnabled(combo, true);
            SetIndex(combo, 1);
        }
        else
            SetEnabled(combo, slot->m_Kind != CRaceParticipant::Human);
        if (combo != nullptr && combo->GetSelection() == nullptr)
            combo->m_Text->m_Text = slot->m_DisplayName;
        const int32_t teamNumber = TeamOf(slot, i);
        WeUIComboBox* teams = Combo(team);
        SetShown(team, true);
        SetEnabled(teams, true);
        SetIndex(teams, teamNumber - 1);
        if (WeUIComponent* frame = g_UIMain.FindComponent(colour))
            for (int32_t c = 0; c < 4; ++c)
                frame->m_Colour[c] = g_RaceSettings.m_TeamColors[teamNumber - 1][c];
        SetShown(back, true);
        SetShown(colour, true);
    }
    if (g_RaceSettings.m_RaceType == 2)
    {
        g_RaceSettings.m_Laps = m_ParticipantCount - 1 > 1 ? m_ParticipantCount - 1 : 1;
        SyncComboBoxes();
    }
}

void CSingleRacePhase::SyncComboBoxes()
{
    SetIndex(OptionCombo(RaceType), g_RaceSettings.m_RaceType);
    SetIndex(OptionCombo(Weapons), g_RaceSettings.m_Weapons ? 0 : 1);
    SetIndex(OptionCombo(Dynamics), g_RaceSettings.m_Dynamics ? 0 : 1);
    SetIndex(OptionCombo(UnlimitedTurbo), g_RaceSettings.m_UnlimitedTurbo ? 0 : 1);
    int32_t lapIndex = 0;
    for (size_t i = 0; i < m_LapCounts.size(); ++i)
        if (m_LapCounts[i] == g_RaceSettings.m_Laps)
        {
            lapIndex = int32_t(i);
            break;
        }
    SetIndex(OptionCombo(LapCount), lapIndex);
    int32_t at = 0;
    for (auto* n = m_DifficultyLevels.FirstNode(); n != nullptr; n = m_DifficultyLevels.NextNode(n), ++at)
        if (n->payload == g_RaceSettings.m_Difficulty)
        {
            SetIndex(OptionCombo(RaceDifficulty), at);
            break;
        }
    UpdateStartButton();
}

void CSingleRacePhase::ShowMap()
{
    CMapInfo* info = g_MapCatalogue.Find(g_RaceSettings.m_MapName);
    m_Map = info != nullptr ? &info->m_Header : &g_MapCatalogue.m_DefaultHeader;
    if (auto* description = static_cast<WeUILabel*>(g_UIMain.FindComponent("SingleRace_MapDescription")))
        description->m_Text->m_Text = m_Map->m_Description;
    if (auto* title = static_cast<WeUILabel*>(g_UIMain.FindComponent("SingleRace_MapTitle")))
        title->m_Text->m_Text = m_Map->m_DisplayName;
    WeTexture* texture = g_TextureManager.GetTexture(m_Map->m_PreviewTexture, false, 0, true);
    if (texture != nullptr)
        texture->SetMinimumQuality(2);
    if (texture != m_MapTexture && m_MapTexture != nullptr)
        g_TextureManager.ReleaseTexture(m_MapTexture, false);
    m_MapTexture = texture;
    if (auto* picture = static_cast<WeUIPicture*>(g_UIMain.FindComponent("SingleRace_MapImage")))
    {
        picture->m_Texture = m_MapTexture;
        for (float& c : picture->m_Colour)
            c = 1.0f;
    }
    UpdateStartButton();
}

void CSingleRacePhase::FillPlayerCombos()
{
    WeList<CAIProfile*>& opponents = GetOpponents(g_RaceSettings.m_Difficulty);
    for (int32_t i = 1; i < Rows; ++i)
    {
        WeUIComboBox* combo = RowCombo(PlayersCombo, i);
        if (combo == nullptr)
            continue;
        WeStringList items;
        items.PushBack(g_Localization.GetText("UI: OPEN"));
        items.PushBack(g_Localization.GetText("UI: RANDOM"));
        for (auto* n = opponents.FirstNode(); n != nullptr; n = opponents.NextNode(n))
            g_RaceSettings.LookupCraftName(items.PushBack(), n->payload->m_CraftKeyword);
        combo->SetItems(items);
        if (g_RaceSettings.GetParticipant(i)->m_Kind == CRaceParticipant::Open)
            SetIndex(combo, 0);
    }
}

void CSingleRacePhase::MarkRandomRows()
{
    for (int32_t i = 1; i < Rows; ++i)
        if (g_RaceSettings.GetParticipant(i)->IsAI() && g_RaceSettings.m_RandomOpponents[i])
            SetIndex(RowCombo(PlayersCombo, i), 1);
}

void CSingleRacePhase::UpdateStartButton()
{
    const bool lastOneAlone = g_RaceSettings.m_RaceType == 2 && m_ParticipantCount <= 1;
    // Nothing to race on without a map.
    SetEnabled(g_UIMain.FindComponent(StartButton), !lastOneAlone && !m_MapNames.IsEmpty());
}

void CSingleRacePhase::BrowseMap(bool forward)
{
    if (m_Leaving || m_MapNames.IsEmpty())
        return;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    const WeString* current = m_MapNames.Current();
    auto* at = m_MapNames.FirstNode();
    while (at != nullptr && &at->payload != current)
        at = m_MapNames.NextNode(at);
    auto* next = at == nullptr ? m_MapNames.FirstNode() : forward ? m_MapNames.NextNode(at) : m_MapNames.PrevNode(at);
    if (next == nullptr)
        next = forward ? m_MapNames.FirstNode() : m_MapNames.LastNode();
    m_MapNames.SetCursor(next);
    g_RaceSettings.m_MapName = next->payload;
    ShowMap();
}

void CSingleRacePhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        OnBackClicked(0, nullptr);
}

void CSingleRacePhase::Update()
{
    if (m_Leaving)
        return;
    g_OptionsSettings.m_Bindings.FillInputMessage(&g_PlayerInputMessage);
    const float interval = GetConfigFloat("game.Input.AutoRepeatNextPrevButton", 0.5f);
    const float frameTime = g_Timer.m_FrameDeltaF;
    if (m_PrevRepeat.Step(g_PlayerInputMessage.m_RotateLeft != 0, frameTime, interval))
        BrowseMap(false);
    if (m_NextRepeat.Step(g_PlayerInputMessage.m_RotateRight != 0, frameTime, interval))
        BrowseMap(true);
}

void CSingleRacePhase::Leave()
{
    g_RaceSettings.SaveToProfile();
    g_ProfileManager.Save();
    WeList<CAIProfile*>& opponents = GetOpponents(g_RaceSettings.m_Difficulty);
    for (int32_t i = 0; i < Rows; ++i)
    {
        CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
        if (!slot->IsAI() || !g_RaceSettings.m_RandomOpponents[i])
            continue;
        if (opponents.IsEmpty())
        {
            // No opponent of the level to draw: the slot stays out of the race.
            slot->m_Kind = CRaceParticipant::Open;
            g_RaceSettings.m_RandomOpponents[i] = false;
            continue;
        }
        const int32_t number = int32_t(int64_t(opponents.Count()) * SysRandom::Next() / 32768);
        auto* node = opponents.FirstNode();
        for (int32_t k = 0; k < number && node != nullptr; ++k)
            node = opponents.NextNode(node);
        const CAIProfile* pick = node->payload;
        WeUIComboBox* teams = RowCombo(TeamsCombo, i);
        const int32_t index = teams != nullptr ? teams->GetSelectedIndex() : -1;
        const int32_t team = index >= 0 && index < TeamCount ? index + 1 : TeamOf(slot, i);
        g_RaceSettings.SetParticipant(i, pick->m_Level, pick->m_CraftKeyword, team)->m_DisplayName = "";
    }
    g_RaceSettings.AssignAINames();
    m_MapNames.Clear();
    for (const char* window : {RootWindow, MapWindow, OptionsWindow})
    {
        if (m_Leaving)
            g_UIMain.RemoveComponent(window);
        else
            g_UIMain.CloseComponent(window, false);
    }
    m_PrevRepeat = CNextPrevRepeat();
    m_NextRepeat = CNextPrevRepeat();
}

int32_t CSingleRacePhase::OnPlayerChanged(WeUIComponent* sender)
{
    auto* combo = static_cast<WeUIComboBox*>(sender);
    const int32_t row = RowOf(sender);
    CRaceParticipant* slot = g_RaceSettings.GetParticipant(row);
    const int32_t item = combo != nullptr ? combo->GetSelectedIndex() : -1;
    if (slot == nullptr || item < 0)
        return 1;
    CSingleRacePhase& screen = g_SingleRacePhase;
    if (item == 0)
    {
        slot->m_Kind = CRaceParticipant::Open;
        g_RaceSettings.m_RandomOpponents[row] = false;
    }
    else if (item == 1)
    {
        slot->m_Kind = g_RaceSettings.m_Difficulty;
        slot->m_StartPlace = row + 1;
        g_RaceSettings.m_RandomOpponents[row] = true;
    }
    else
    {
        WeList<CAIProfile*>& opponents = screen.GetOpponents(g_RaceSettings.m_Difficulty);
        auto* node = opponents.FirstNode();
        for (int32_t k = 2; k < item && node != nullptr; ++k)
            node = opponents.NextNode(node);
        if (node == nullptr)
            return 1;
        g_RaceSettings.m_RandomOpponents[row] = false;
        g_RaceSettings.SetParticipant(row, node->payload->m_Level, node->payload->m_CraftKeyword, row + 1)
            ->m_DisplayName = "";
    }
    screen.RefreshRows();
    return 1;
}

int32_t CSingleRacePhase::OnTeamChanged(WeUIComponent* sender)
{
    auto* combo = static_cast<WeUIComboBox*>(sender);
    CRaceParticipant* slot = g_RaceSettings.GetParticipant(RowOf(sender));
    const int32_t item = combo != nullptr ? combo->GetSelectedIndex() : -1;
    if (slot != nullptr && item >= 0)
        slot->m_StartPlace = item + 1;
    g_SingleRacePhase.RefreshRows();
    return 1;
}

int32_t CSingleRacePhase::OnOptionChanged(WeUIComponent* sender)
{
    auto* combo = static_cast<WeUIComboBox*>(sender);
    const int32_t k = combo != nullptr ? combo->GetSelectedIndex() : -1;
    if (k < 0)
        return 1;
    CSingleRacePhase& screen = g_SingleRacePhase;
    int32_t option = 0;
    while (option < OptionCount && !(sender->m_Name == ComboName(option)))
        ++option;
    switch (option)
    {
    case RaceType: screen.ApplyRaceType(k); break;
    case Weapons: g_RaceSettings.m_Weapons = k == 0; break;
    case Dynamics: g_RaceSettings.m_Dynamics = k == 0; break;
    case UnlimitedTurbo: g_RaceSettings.m_UnlimitedTurbo = k == 0; break;
    case LapCount:
        if (k < int32_t(screen.m_LapCounts.size()))
            g_RaceSettings.m_Laps = screen.m_LapCounts[size_t(k)];
        screen.SyncComboBoxes();
        break;
    case RaceDifficulty:
    {
        int32_t level = 0;
        int32_t at = 0;
        for (auto* n = screen.m_DifficultyLevels.FirstNode(); n != nullptr;
             n = screen.m_DifficultyLevels.NextNode(n), ++at)
            if (at == k)
                level = n->payload;
        if (level == g_RaceSettings.m_Difficulty)
            break;
        g_RaceSettings.m_Difficulty = level >= 1 && level <= 3 ? level : 1;
        screen.FillPlayerCombos();
        for (int32_t i = 1; i < Rows; ++i)
        {
            CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
            if (!slot->IsAI())
                continue;
            slot->m_Kind = g_RaceSettings.m_Difficulty;
            g_RaceSettings.m_RandomOpponents[i] = true;
            SetIndex(RowCombo(PlayersCombo, i), 1);
        }
        screen.RefreshRows();
        break;
    }
    default: break;
    }
    return 1;
}

int32_t CSingleRacePhase::OnPrevMapClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_SingleRacePhase.BrowseMap(false);
    return 1;
}

int32_t CSingleRacePhase::OnNextMapClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_SingleRacePhase.BrowseMap(true);
    return 1;
}

int32_t CSingleRacePhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    // Once START has begun its fade the screen belongs to it.
    if (g_SingleRacePhase.m_Leaving)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    return 1;
}

int32_t CSingleRacePhase::OnStartClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    CSingleRacePhase& screen = g_SingleRacePhase;
    if (screen.m_Leaving)
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    screen.m_Leaving = 1;
    g_ScreenFader.FadeTo(OnStartFadeDone, 2.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    return 1;
}

void CSingleRacePhase::OnStartFadeDone()
{
    g_PhaseManager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    g_PhaseManager.RequestPhase(&g_ShipyardPhase, WePhaseManager::ChangeRequest);
}
