// The controls options through input as the devices report it: the capture's states, rebinding with the
// binding taken from other rows, the click that starts a capture never captured, the key names, the two
// switches, DEFAULT, and what reaches the profile file and the options file.
#include <gtest/gtest.h>

#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Platform/input/DIKeyCodes.h"
#include "Tests/Game/screens/OptionsTestSupport.h"

namespace
{
constexpr int32_t ForwardRow = 0;
constexpr int32_t FireWeaponRow = 5;
constexpr int32_t FireMineRow = 6;
constexpr int32_t LookDownRow = 10;

class COptionsInputPhaseTest : public OptionsScreenTest
{
protected:
    void Open()
    {
        OpenFromMainMenu();
        ASSERT_TRUE(Click("Options_ControlsButton"));
        ASSERT_TRUE(WaitShown("InputOptions_BackButton"));
    }
    static WeUIMultiList* List() { return Find<WeUIMultiList>("InputOptions_KeyList"); }
    static std::string KeyText(int32_t row)
    {
        WeUILabel* cell = List()->GetCell(1, row);
        return cell != nullptr ? cell->m_Text->m_Text.c_str() : "(none)";
    }
    static bool ClickRow(int32_t row) { return EngineClick(("InputOptions_KeyList$1$" + std::to_string(row)).c_str()); }
    // Two clicks on the row: the capture waits.
    static void StartCapture(int32_t row)
    {
        ASSERT_TRUE(ClickRow(row));
        ASSERT_TRUE(ClickRow(row));
        ASSERT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Waiting);
        EngineStep();
    }
    static const CInputBindings::Binding& Binding(int32_t entry) { return g_OptionsSettings.m_Bindings.entries[entry]; }
    static bool Highlighted(int32_t row)
    {
        const WeUILabel* cell = List()->GetCell(1, row);
        return cell != nullptr && cell->m_Colour[0] == 1.0f && cell->m_Colour[2] < 0.2f;
    }
    // The bindings a fresh start takes from the profile file.
    static CInputBindings StoredBindings()
    {
        g_ProfileManager.Clear();
        g_ProfileManager.Load();
        CProfile* profile = g_ProfileManager.GetCurrent();
        EXPECT_NE(profile, nullptr);
        return profile != nullptr ? *profile->m_Bindings : CInputBindings();
    }
};
}  // namespace

TEST_F(COptionsInputPhaseTest, TheListShowsEveryActionWithItsBindingAndTheFixedAndTableKeyNames)
{
    Open();
    const char* defaults[COptionsInputPhase::RowCount] = {"W", "S", "A",    "D",  "Tab", "MOUSE 1", "MOUSE 2",
                                                          "Q", "E", "DOWN", "UP", "C",   "R"};
    for (int32_t row = 0; row < COptionsInputPhase::RowCount; ++row)
        EXPECT_EQ(KeyText(row), defaults[row]) << row;
    struct Case
    {
        int32_t code;
        const char* name;
    };
    const Case names[] = {{DIK_LSHIFT, "L SHIFT"}, {DIK_DIVIDE, "NUM /"},  {DIK_NUMPADENTER, "NUM ENTER"},
                          {DIK_RMENU, "R ALT"},    {DIK_DELETE, "DELETE"}, {DIK_SPACE, "Space"},
                          {DIK_F1, "F1"},          {DIK_1, "1"},           {0, "KEY 0"},
                          {300, "KEY 300"},        {-4, "KEY -4"}};
    for (const Case& c : names)
        EXPECT_EQ(std::string(COptionsInputPhase::KeyName(c.code).c_str()), c.name) << c.code;
    EXPECT_STREQ(COptionsInputPhase::BindingText(2, true, true).c_str(), "MOUSE 3");
    EXPECT_STREQ(COptionsInputPhase::BindingText(9, false, true).c_str(), "JOY 10");
    EXPECT_STREQ(COptionsInputPhase::BindingText(DIK_UP, false, false).c_str(), "UP");
}

TEST_F(COptionsInputPhaseTest, TheCaptureSelectsWaitsIgnoresClicksAndEscapeCancelsOnlyIt)
{
    Open();
    ASSERT_TRUE(ClickRow(3));
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Selected);
    EXPECT_EQ(g_OptionsInputPhase.m_CapturedRow, 3);
    // Another row only moves the selection.
    ASSERT_TRUE(ClickRow(ForwardRow));
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Selected);
    EXPECT_EQ(g_OptionsInputPhase.m_CapturedRow, ForwardRow);
    EXPECT_FALSE(Highlighted(ForwardRow));
    ASSERT_TRUE(ClickRow(ForwardRow));
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Waiting);
    EXPECT_TRUE(Highlighted(ForwardRow));
    // The click that started it was not taken, and clicks on rows are ignored while it waits.
    EXPECT_EQ(KeyText(ForwardRow), "W");
    EngineKey(DIK_ESCAPE);
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Idle);
    EXPECT_EQ(g_OptionsInputPhase.m_CapturedCell, nullptr);
    EXPECT_FALSE(Highlighted(ForwardRow));
    EXPECT_EQ(KeyText(ForwardRow), "W");
    EXPECT_EQ(Binding(CInputBindings::MoveForward).code, DIK_W);
    EXPECT_EQ(Stack(), "CMenuPhase COptionsPhase COptionsInputPhase");
    EngineKey(DIK_ESCAPE);
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

TEST_F(COptionsInputPhaseTest, TheStartingClickIsNeverTakenAndALaterClickIsABindingNotASelection)
{
    Open();
    // The second click's release reaches the phases in the tick whose UI events start the capture.
    StartCapture(ForwardRow);
    EXPECT_EQ(KeyText(ForwardRow), "W");
    EXPECT_EQ(Binding(CInputBindings::MoveForward).code, DIK_W);
    EXPECT_TRUE(Highlighted(ForwardRow));
    // A click on another row while waiting selects nothing: its button is the new binding.
    ASSERT_TRUE(ClickRow(3));
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Idle);
    EXPECT_EQ(g_OptionsInputPhase.m_CapturedRow, ForwardRow);
    EXPECT_EQ(KeyText(ForwardRow), "MOUSE 1");
    EXPECT_EQ(KeyText(3), "D");
    EXPECT_EQ(KeyText(FireWeaponRow), "");
}

TEST_F(COptionsInputPhaseTest, TheUpArrowOnMoveForwardShowsUpAndEmptiesLookDown)
{
    Open();
    StartCapture(ForwardRow);
    EngineKey(DIK_UP);
    EXPECT_EQ(g_OptionsInputPhase.m_CaptureState, COptionsInputPhase::Idle);
    EXPECT_EQ(KeyText(ForwardRow), "UP");
    EXPECT_FALSE(Highlighted(ForwardRow));
    EXPECT_EQ(KeyText(LookDownRow), "");
    EXPECT_EQ(Binding(CInputBindings::MoveForward).code, DIK_UP);
    EXPECT_EQ(Binding(CInputBindings::LookDown).code, 0);
    // Kept for the next start: the profile holds the bindings.
    const CInputBindings stored = StoredBindings();
    EXPECT_EQ(stored.entries[CInputBindings::MoveForward].code, DIK_UP);
    EXPECT_EQ(stored.entries[CInputBindings::LookDown].code, 0);
}

TEST_F(COptionsInputPhaseTest, MouseOneOnFireMineLeavesFireWeaponUnbound)
{
    Open();
    StartCapture(FireMineRow);
    // The left button pressed and released somewhere outside the list.
    const int32_t button = WeInput::MouseButtonBase;
    EngineStep(-1, button);
    EngineStep(button);
    EXPECT_EQ(KeyText(FireMineRow), "MOUSE 1");
    EXPECT_EQ(KeyText(FireWeaponRow), "");
    const CInputBindings::Binding& mine = Binding(CInputBindings::FireMine);
    EXPECT_EQ(mine.code, 0);
    EXPECT_EQ(mine.isMouse, 1);
    const CInputBindings::Binding& weapon = Binding(CInputBindings::FireWeapon);
    EXPECT_EQ(weapon.code, 0);
    EXPECT_EQ(weapon.isMouse, 0);
    EXPECT_EQ(weapon.isJoystick, 0);
}

TEST_F(COptionsInputPhaseTest, AJoystickButtonIsTakenAsJoy)
{
    Open();
    StartCapture(ForwardRow);
    EngineStep(WeInput::JoystickButtonBase + 4);
    EXPECT_EQ(KeyText(ForwardRow), "JOY 5");
    EXPECT_EQ(Binding(CInputBindings::MoveForward).isJoystick, 1);
    EXPECT_EQ(Binding(CInputBindings::MoveForward).code, 4);
}

TEST_F(COptionsInputPhaseTest, UnnamedKeysNeverShareATextSoBindingOneLeavesTheOthers)
{
    // Two codes the key-name table has no name for, on two rows.
    g_OptionsSettings.m_Bindings.entries[CInputBindings::LookLeft] = {0x84, 0, 0};
    g_OptionsSettings.m_Bindings.entries[CInputBindings::LookRight] = {0x85, 0, 0};
    Open();
    EXPECT_EQ(KeyText(7), "KEY 132");
    EXPECT_EQ(KeyText(8), "KEY 133");
    StartCapture(ForwardRow);
    EngineKey(0x86);
    EXPECT_EQ(KeyText(ForwardRow), "KEY 134");
    EXPECT_EQ(Binding(CInputBindings::LookLeft).code, 0x84);
    EXPECT_EQ(Binding(CInputBindings::LookRight).code, 0x85);
}

TEST_F(COptionsInputPhaseTest, TheSwitchesAndDefaultReachTheProfileAndTheOptionsFile)
{
    Open();
    ASSERT_TRUE(Click("InvertMouseCheck"));
    ASSERT_TRUE(Click("CrosshairCheck"));
    EXPECT_EQ(g_OptionsSettings.m_Bindings.invertMouse, 1);
    EXPECT_EQ(g_OptionsSettings.m_Bindings.showCrosshair, 0);
    {
        const CInputBindings stored = StoredBindings();
        EXPECT_EQ(stored.invertMouse, 1);
        EXPECT_EQ(stored.showCrosshair, 0);
    }
    g_ProfileManager.SetCurrent(g_ProfileManager.GetCurrent());
    StartCapture(ForwardRow);
    EngineKey(DIK_UP);
    Find<WeUIHScrollBar>("InputOptions_MouseSensitivityScrollbar")->SetPosition(0.9f);
    g_OptionsSettings.SetMouseSensitivity(0.9f);

    const int32_t backs = Sounds(CMenuPhase::SoundBack);
    ASSERT_TRUE(Click("OPTIONS_DEFAULT_BUTTON"));
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs + 1);
    const char* defaults[COptionsInputPhase::RowCount] = {"W", "S", "A",    "D",  "Tab", "MOUSE 1", "MOUSE 2",
                                                          "Q", "E", "DOWN", "UP", "C",   "R"};
    for (int32_t row = 0; row < COptionsInputPhase::RowCount; ++row)
        EXPECT_EQ(KeyText(row), defaults[row]) << row;
    EXPECT_EQ(Find<WeUICheckBox>("InvertMouseCheck")->m_Checked, 0);
    EXPECT_EQ(Find<WeUICheckBox>("CrosshairCheck")->m_Checked, 1);
    COptionsSettings reset;
    reset.ResetInputSensitivities();
    const struct
    {
        const char* bar;
        float position;
    } bars[] = {{"InputOptions_KeyboardSensitivityScrollbar", reset.GetKeyboardSensitivity()},
                {"InputOptions_MouseSensitivityScrollbar", reset.GetMouseSensitivity()},
                {"InputOptions_JoystickSensitivityScrollbar", reset.GetJoystickSensitivity()},
                {"InputOptions_JoystickDeadzoneScrollbar", reset.GetJoystickDeadZone()}};
    for (const auto& b : bars)
        EXPECT_NEAR(Find<WeUIHScrollBar>(b.bar)->GetPosition(), b.position, 1e-4f) << b.bar;
    const COptionsSettings loaded = LoadedOptions();
    EXPECT_FLOAT_EQ(loaded.m_MouseSensitivity, reset.m_MouseSensitivity);
    EXPECT_FLOAT_EQ(loaded.m_KeyboardSensitivity, reset.m_KeyboardSensitivity);
    const CInputBindings stored = StoredBindings();
    EXPECT_EQ(stored.entries[CInputBindings::MoveForward].code, DIK_W);
    EXPECT_EQ(stored.entries[CInputBindings::LookDown].code, DIK_UP);
    EXPECT_EQ(stored.invertMouse, 0);
    EXPECT_EQ(stored.showCrosshair, 1);
}

TEST_F(COptionsInputPhaseTest, ChangesSurviveAFreshStartFromTheSaveFolder)
{
    Open();
    StartCapture(ForwardRow);
    EngineKey(DIK_UP);
    ASSERT_TRUE(Click("CrosshairCheck"));
    auto* bar = Find<WeUIHScrollBar>("InputOptions_KeyboardSensitivityScrollbar");
    bar->SetPosition(0.1f);
    ASSERT_TRUE(Click("InputOptions_KeyboardSensitivityScrollbar"));
    const float sensitivity = bar->GetPosition();
    ASSERT_NE(sensitivity, 0.1f);
    ASSERT_TRUE(Click("InputOptions_BackButton"));

    // A new start: the options file, the profiles, and the current profile's bindings made active.
    COptionsSettings fresh;
    fresh.Load();
    g_OptionsSettings = fresh;
    g_ProfileManager.Clear();
    g_ProfileManager.Load();
    g_ProfileManager.ApplyCurrent();
    EXPECT_NEAR(g_OptionsSettings.GetKeyboardSensitivity(), sensitivity, 1e-4f);
    EXPECT_EQ(Binding(CInputBindings::MoveForward).code, DIK_UP);
    EXPECT_EQ(Binding(CInputBindings::LookDown).code, 0);
    EXPECT_EQ(g_OptionsSettings.m_Bindings.showCrosshair, 0);
}
