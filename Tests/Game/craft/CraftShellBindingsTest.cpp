// The shell's objects the craft reads were built before main in this executable too: the options with the
// input ranges bound from the configuration, and the player's control message.
#include "Engine/foundation/WeConfig.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/COptionsSettings.h"

#include <gtest/gtest.h>

TEST(CraftShellBindings, OptionsAndPlayerMessageAreBound)
{
    const float maximum = GetConfigFloat("game.Input.MaxKeyboardSensitivity", 2.0f);
    EXPECT_FLOAT_EQ(g_OptionsSettings.m_KeyboardSensitivity, maximum * 0.5f);
    EXPECT_FLOAT_EQ(g_OptionsSettings.GetKeyboardSensitivity(),
                    (maximum * 0.5f - GetConfigFloat("game.Input.MinKeyboardSensitivity", 0.05f)) /
                        (maximum - GetConfigFloat("game.Input.MinKeyboardSensitivity", 0.05f)));
    EXPECT_EQ(g_OptionsSettings.m_Bindings.entries[CInputBindings::MoveForward].code, 17);
    EXPECT_FALSE(g_PlayerInputMessage.m_Override);
}
