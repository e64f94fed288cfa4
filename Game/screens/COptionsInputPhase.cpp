#include "Game/screens/COptionsInputPhase.h"

#include <cstdio>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIText.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/window/WinUser.h"

COptionsInputPhase g_OptionsInputPhase;

namespace
{
constexpr const char* WindowName = "InputOptions_Window";
constexpr const char* ListName = "InputOptions_KeyList";
constexpr const char* InvertCheck = "InvertMouseCheck";
constexpr const char* CrosshairCheck = "CrosshairCheck";

struct Row
{
    const char* caption;
    int32_t entry;
};

const Row Rows[COptionsInputPhase::RowCount] = {
    {"UI: MOVE FORWARD", CInputBindings::MoveForward},
    {"UI: MOVE BACKWARD", CInputBindings::MoveBackward},
    {"UI: ROTATE LEFT", CInputBindings::RotateLeft},
    {"UI: ROTATE RIGHT", CInputBindings::RotateRight},
    {"UI: TURBO", CInputBindings::Turbo},
    {"UI: FIRE WEAPON", CInputBindings::FireWeapon},
    {"UI: FIRE MINE", CInputBindings::FireMine},
    {"UI: LOOK LEFT", CInputBindings::LookLeft},
    {"UI: LOOK RIGHT", CInputBindings::LookRight},
    {"UI: LOOK UP", CInputBindings::LookUp},
    {"UI: LOOK DOWN", CInputBindings::LookDown},
    {"UI: CHANGE CAMERA", CInputBindings::ChangeCamera},
    {"UI: REVERSE CAMERA", CInputBindings::ReverseCamera},
};

struct FixedName
{
    int32_t code;
    const char* name;
};

const FixedName FixedNames[] = {
    {28, "ENTER"},      {29, "L CTRL"},   {42, "L SHIFT"}, {54, "R SHIFT"}, {56, "L ALT"},
    {156, "NUM ENTER"}, {157, "R CTRL"},  {181, "NUM /"},  {184, "R ALT"},  {199, "HOME"},
    {200, "UP"},        {201, "PG UP"},   {203, "LEFT"},   {205, "RIGHT"},  {207, "END"},
    {208, "DOWN"},      {209, "PG DOWN"}, {210, "INSERT"}, {211, "DELETE"},
};

struct Bar
{
    const char* title;
    const char* key;
    const char* name;
    float (COptionsSettings::*get)() const;
    int32_t (*callback)(WeUIComponent*);
};

const Bar Bars[] = {
    {"InputOptions_KeyboardSensitivityTitle", "UI: KEYBOARD SENSITIVITY", "InputOptions_KeyboardSensitivityScrollbar",
     &COptionsSettings::GetKeyboardSensitivity, COptionsInputPhase::OnKeyboardSensitivityChanged},
    {"InputOptions_MouseSensitivityTitle", "UI: MOUSE SENSITIVITY", "InputOptions_MouseSensitivityScrollbar",
     &COptionsSettings::GetMouseSensitivity, COptionsInputPhase::OnMouseSensitivityChanged},
    {"InputOptions_JoystickSensitivityTitle", "UI: JOYSTICK SENSITIVITY", "InputOptions_JoystickSensitivityScrollbar",
     &COptionsSettings::GetJoystickSensitivity, COptionsInputPhase::OnJoystickSensitivityChanged},
    {"InputOptions_JoystickDeadzoneTitle", "UI: JOYSTICK DEADZONE", "InputOptions_JoystickDeadzoneScrollbar",
     &COptionsSettings::GetJoystickDeadZone, COptionsInputPhase::OnJoystickDeadZoneChanged},
};

CInputBindings& Active()
{
    return g_OptionsSettings.m_Bindings;
}

WeString RowText(int32_t row)
{
    const CInputBindings::Binding& b = Active().entries[Rows[row].entry];
    return COptionsInputPhase::BindingText(b.code, b.isMouse != 0, b.isJoystick != 0);
}

WeUIMultiList* List()
{
    return static_cast<WeUIMultiList*>(g_UIMain.FindComponent(ListName));
}

void SetColour(WeUIComponent* cell, const float colour[4])
{
    if (cell != nullptr)
        for (int32_t i = 0; i < 4; ++i)
            cell->m_Colour[i] = colour[i];
}

void HighlightColour(float out[4])
{
    const uint32_t argb = uint32_t(GetConfigInt("UI.List.HighlightColor", int32_t(0xFFFFB020u)));
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float((argb >> 24) & 0xFF) / 255.0f;
}

void SetCheck(const char* name, uint8_t checked)
{
    if (auto* box = static_cast<WeUICheckBox*>(g_UIMain.FindComponent(name)))
        box->m_Checked = checked ? 1 : 0;
}

void SetBars()
{
    for (const Bar& b : Bars)
        if (auto* bar = static_cast<WeUIHScrollBar*>(g_UIMain.FindComponent(b.name)))
            bar->SetPosition((g_OptionsSettings.*b.get)());
}

float PositionOf(WeUIComponent* sender)
{
    return static_cast<WeUIHScrollBar*>(sender)->GetPosition();
}

// The first edge of the range: its index within the range, -1 for none.
int32_t TakeEdge(int32_t base, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        if (g_Input.m_Edges[base + i] != 0)
            return i;
    return -1;
}
}  // namespace

WeString COptionsInputPhase::KeyName(int32_t code)
{
    for (const FixedName& f : FixedNames)
        if (f.code == code)
            return WeString(f.name);
    if (code >= 0 && code < 256)
    {
        char text[21] = {};
        if (GetKeyNameTextA(LONG(code) << 16, text, int(sizeof(text))) > 0)
            return WeString(text);
    }
    // Unnamed keys stay apart, so that comparing texts compares bindings.
    WeString text("KEY ");
    text.AppendInt(code);
    return text;
}

WeString COptionsInputPhase::BindingText(int32_t code, bool isMouse, bool isJoystick)
{
    WeString text;
    if (isMouse)
    {
        text = "MOUSE ";
        text.AppendInt(code + 1);
    }
    else if (isJoystick)
    {
        text = "JOY ";
        text.AppendInt(code + 1);
    }
    else
        text = KeyName(code);
    return text;
}

int32_t COptionsInputPhase::EntryOfRow(int32_t row)
{
    return row >= 0 && row < RowCount ? Rows[row].entry : -1;
}

void COptionsInputPhase::SetBinding(int32_t row, int32_t code, bool isMouse, bool isJoystick)
{
    const int32_t entry = EntryOfRow(row);
    if (entry < 0)
        return;
    CInputBindings::Binding& b = Active().entries[entry];
    b.code = code;
    b.isMouse = isMouse ? 1 : 0;
    b.isJoystick = isJoystick ? 1 : 0;
}

void COptionsInputPhase::ClearDuplicateBindings(const WeString& text)
{
    WeUIMultiList* list = List();
    if (list == nullptr)
        return;
    for (int32_t row = 0; row < list->GetRowCount() && row < RowCount; ++row)
    {
        if (row == m_CapturedRow)
            continue;
        WeUILabel* cell = list->GetCell(1, row);
        if (cell == nullptr || !(cell->m_Text->m_Text == text))
            continue;
        SetBinding(row, 0, false, false);
        list->SetCellText(WeString(""), 1, row);
    }
}

void COptionsInputPhase::Enter()
{
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: CONTROLS"), "Root");
    if (WeUIMultiList* list = g_UIMain.CreateMultiList(ListName, WindowName))
    {
        WeStringList captions;
        captions.PushBack(g_Localization.GetText("UI: ACTION"));
        captions.PushBack(g_Localization.GetText("UI: KEY"));
        list->SetColumns(captions, nullptr);
        for (int32_t row = 0; row < RowCount; ++row)
        {
            WeStringList cells;
            cells.PushBack(g_Localization.GetText(Rows[row].caption));
            cells.PushBack(RowText(row));
            list->AddRow(&cells, intptr_t(row));
        }
        list->m_OnMouseUp = KeyListClick;
    }
    g_UIMain.CreateLabel("InvertMouseCheckTitle", g_Localization.GetText("UI: INVERT MOUSE"), WindowName, -1);
    if (WeUICheckBox* box = g_UIMain.CreateCheckBox(InvertCheck, WindowName, InvertMouseClick))
        box->m_Checked = Active().invertMouse ? 1 : 0;
    g_UIMain.CreateLabel("CrosshairCheckTitle", g_Localization.GetText("UI: CROSSHAIR"), WindowName, -1);
    if (WeUICheckBox* box = g_UIMain.CreateCheckBox(CrosshairCheck, WindowName, CrosshairClick))
        box->m_Checked = Active().showCrosshair ? 1 : 0;
    for (const Bar& b : Bars)
    {
        g_UIMain.CreateLabel(b.title, g_Localization.GetText(b.key), WindowName, -1);
        g_UIMain.CreateHScrollBar(b.name, WindowName, b.callback);
    }
    SetBars();
    g_UIMain.CreateButton("OPTIONS_DEFAULT_BUTTON", g_Localization.GetText("UI: DEFAULT"), WindowName, ResetControls);
    g_UIMain.CreateButton("InputOptions_BackButton", g_Localization.GetText("UI: BACK"), WindowName,
                          OnOptionsBackClicked);
    g_UIMain.ShowComponent(WindowName, false);
    m_CaptureState = Idle;
    m_CapturedCell = nullptr;
    m_CaptureArmed = 0;
}

void COptionsInputPhase::Leave()
{
    m_CaptureState = Idle;
    m_CapturedCell = nullptr;
    g_UIMain.CloseComponent(WindowName, false);
    g_OptionsSettings.Save();
}

void COptionsInputPhase::OnCovered(WeAbstractPhase* newTop)
{
    (void)newTop;
    COptionsPhase::SetWindowsActive(WindowName, false);
}

void COptionsInputPhase::OnUncovered(WeAbstractPhase* removed)
{
    (void)removed;
    COptionsPhase::SetWindowsActive(WindowName, true);
}

void COptionsInputPhase::HandleInput()
{
    if (!g_Input.ConsumeKey(DIK_ESCAPE))
        return;
    if (m_CaptureState < Waiting)
    {
        OptionsBack();
        return;
    }
    if (WeUIMultiList* list = List())
        SetColour(m_CapturedCell, list->m_NormalColour);
    m_CaptureState = Idle;
    m_CapturedCell = nullptr;
}

void COptionsInputPhase::Update()
{
    if (m_CaptureState != Waiting)
        return;
    if (!m_CaptureArmed)
    {
        for (int32_t b = 0; b < WeInput::MouseButtonCount; ++b)
            if (g_Input.IsMouseButtonDown(b))
                return;
        m_CaptureArmed = 1;
        return;
    }
    int32_t code = TakeEdge(0, WeInput::KeyCount);
    bool isMouse = false, isJoystick = false;
    if (code >= 0)
        g_Input.ConsumeKey(code);
    else if ((code = TakeEdge(WeInput::MouseButtonBase, WeInput::MouseButtonCount)) >= 0)
    {
        isMouse = true;
        g_Input.ConsumeMouseButton(code);
    }
    else if ((code = TakeEdge(WeInput::JoystickButtonBase, WeInput::JoystickButtonCount)) >= 0)
    {
        isJoystick = true;
        g_Input.ConsumeJoystickButton(code);
    }
    else
        return;
    const WeString text = BindingText(code, isMouse, isJoystick);
    ClearDuplicateBindings(text);
    SetBinding(m_CapturedRow, code, isMouse, isJoystick);
    if (WeUIMultiList* list = List())
    {
        list->SetCellText(text, 1, m_CapturedRow);
        SetColour(list->GetCell(1, m_CapturedRow), list->m_NormalColour);
    }
    m_CaptureState = Idle;
    m_CapturedCell = nullptr;
    // The options file holds no bindings: the profile keeps them for the next start.
    StoreBindingsInProfile();
}

int32_t COptionsInputPhase::KeyListClick(int32_t button, WeUIComponent* sender)
{
    (void)button;
    COptionsInputPhase& self = g_OptionsInputPhase;
    auto* list = static_cast<WeUIMultiList*>(sender);
    if (self.m_CaptureState >= Waiting || list == nullptr || !list->HasSelection())
        return 1;
    const int32_t row = list->GetSelectedRow();
    if (row < 0 || row >= RowCount)
        return 1;
    if (self.m_CaptureState == Selected && row == self.m_CapturedRow)
    {
        self.m_CaptureState = Waiting;
        self.m_CaptureArmed = 0;
        self.m_CapturedCell = list->GetCell(1, row);
        float highlight[4];
        HighlightColour(highlight);
        SetColour(self.m_CapturedCell, highlight);
        return 1;
    }
    self.m_CaptureState = Selected;
    self.m_CapturedRow = row;
    self.m_CapturedCell = list->GetCell(1, row);
    return 1;
}

int32_t COptionsInputPhase::InvertMouseClick(int32_t button, WeUIComponent* sender)
{
    (void)button;
    Active().invertMouse = static_cast<WeUICheckBox*>(sender)->m_Checked ? 1 : 0;
    StoreBindingsInProfile();
    return 1;
}

int32_t COptionsInputPhase::CrosshairClick(int32_t button, WeUIComponent* sender)
{
    (void)button;
    Active().showCrosshair = static_cast<WeUICheckBox*>(sender)->m_Checked ? 1 : 0;
    StoreBindingsInProfile();
    return 1;
}

int32_t COptionsInputPhase::ResetControls(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    Active().SetDefaults();
    if (WeUIMultiList* list = List())
        for (int32_t row = 0; row < RowCount; ++row)
            list->SetCellText(RowText(row), 1, row);
    SetCheck(InvertCheck, Active().invertMouse);
    SetCheck(CrosshairCheck, Active().showCrosshair);
    StoreBindingsInProfile();
    g_OptionsSettings.ResetInputSensitivities();
    SetBars();
    g_OptionsSettings.Save();
    return 1;
}

int32_t COptionsInputPhase::OnKeyboardSensitivityChanged(WeUIComponent* sender)
{
    g_OptionsSettings.SetKeyboardSensitivity(PositionOf(sender));
    return 1;
}

int32_t COptionsInputPhase::OnMouseSensitivityChanged(WeUIComponent* sender)
{
    g_OptionsSettings.SetMouseSensitivity(PositionOf(sender));
    return 1;
}

int32_t COptionsInputPhase::OnJoystickSensitivityChanged(WeUIComponent* sender)
{
    g_OptionsSettings.SetJoystickSensitivity(PositionOf(sender));
    return 1;
}

int32_t COptionsInputPhase::OnJoystickDeadZoneChanged(WeUIComponent* sender)
{
    g_OptionsSettings.SetJoystickDeadZone(PositionOf(sender));
    return 1;
}

void COptionsInputPhase::StoreBindingsInProfile()
{
    CProfile* profile = g_ProfileManager.GetCurrent();
    if (profile == nullptr)
        return;
    profile->SetBindings(Active().Clone());
    g_ProfileManager.Save();
}
