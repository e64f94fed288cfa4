#include "Platform/input/InputKeyMap.h"
#include "Platform/input/DIKeyCodes.h"

#include <SDL_keyboard.h>
#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstring>

TEST(InputKeyMap, ScancodesMapToFixedKeyCodes)
{
    struct Case
    {
        SDL_Scancode scancode;
        int code;
    };
    // Codes bindings are stored with: the defaults, the modifier pairs, extended keys.
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, 1},
        {SDL_SCANCODE_1, 2},
        {SDL_SCANCODE_0, 11},
        {SDL_SCANCODE_W, 17},
        {SDL_SCANCODE_A, 30},
        {SDL_SCANCODE_S, 31},
        {SDL_SCANCODE_D, 32},
        {SDL_SCANCODE_RETURN, 28},
        {SDL_SCANCODE_LCTRL, 29},
        {SDL_SCANCODE_RCTRL, 157},
        {SDL_SCANCODE_LSHIFT, 42},
        {SDL_SCANCODE_RSHIFT, 54},
        {SDL_SCANCODE_LALT, 56},
        {SDL_SCANCODE_RALT, 184},
        {SDL_SCANCODE_SPACE, 57},
        {SDL_SCANCODE_F4, 62},
        {SDL_SCANCODE_F9, 67},
        {SDL_SCANCODE_F10, 68},
        {SDL_SCANCODE_F11, 87},
        {SDL_SCANCODE_F12, 88},
        {SDL_SCANCODE_KP_ENTER, 156},
        {SDL_SCANCODE_KP_DIVIDE, 181},
        {SDL_SCANCODE_KP_MULTIPLY, 55},
        {SDL_SCANCODE_KP_7, 71},
        {SDL_SCANCODE_KP_0, 82},
        {SDL_SCANCODE_KP_PERIOD, 83},
        {SDL_SCANCODE_HOME, 199},
        {SDL_SCANCODE_UP, 200},
        {SDL_SCANCODE_PAGEUP, 201},
        {SDL_SCANCODE_LEFT, 203},
        {SDL_SCANCODE_RIGHT, 205},
        {SDL_SCANCODE_END, 207},
        {SDL_SCANCODE_DOWN, 208},
        {SDL_SCANCODE_PAGEDOWN, 209},
        {SDL_SCANCODE_INSERT, 210},
        {SDL_SCANCODE_DELETE, 211},
        {SDL_SCANCODE_LGUI, 219},
        {SDL_SCANCODE_RGUI, 220},
        {SDL_SCANCODE_APPLICATION, 221},
        {SDL_SCANCODE_PAUSE, 197},
        {SDL_SCANCODE_PRINTSCREEN, 183},
        {SDL_SCANCODE_GRAVE, 41},
        {SDL_SCANCODE_BACKSLASH, 43},
        {SDL_SCANCODE_SLASH, 53},
        {SDL_SCANCODE_NONUSBACKSLASH, 86},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InputKeyCodeFromScancode(c.scancode), c.code) << SDL_GetScancodeName(c.scancode);
}

TEST(InputKeyMap, UnknownAndOutOfRangeScancodesGiveNoCode)
{
    EXPECT_EQ(InputKeyCodeFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(InputKeyCodeFromScancode(-1), 0);
    EXPECT_EQ(InputKeyCodeFromScancode(SDL_NUM_SCANCODES), 0);
    EXPECT_EQ(InputKeyCodeFromScancode(100000), 0);
}

TEST(InputKeyMap, EveryCodeWithAScancodeMapsBackAndHasAName)
{
    int mapped = 0;
    for (int code = 1; code < 256; ++code)
    {
        int scancode = InputScancodeFromKeyCode(static_cast<uint8_t>(code));
        if (scancode == 0)
            continue;
        ++mapped;
        EXPECT_EQ(InputKeyCodeFromScancode(scancode), code);
        EXPECT_STRNE(InputKeyName(static_cast<uint8_t>(code)), "") << code;
        EXPECT_LE(std::strlen(InputKeyName(static_cast<uint8_t>(code))), 20u) << code;
    }
    EXPECT_GT(mapped, 100);
}

TEST(InputKeyMap, NamesAreTheOnesAUsKeyboardShows)
{
    struct Case
    {
        int code;
        const char* name;
    };
    const Case cases[] = {
        {DIK_ESCAPE, "Esc"},
        {DIK_W, "W"},
        {DIK_1, "1"},
        {DIK_MINUS, "-"},
        {DIK_SEMICOLON, ";"},
        {DIK_APOSTROPHE, "'"},
        {DIK_BACKSLASH, "\\"},
        {DIK_SPACE, "Space"},
        {DIK_TAB, "Tab"},
        {DIK_BACK, "Backspace"},
        {DIK_CAPITAL, "Caps Lock"},
        {DIK_F12, "F12"},
        {DIK_NUMPAD5, "Num 5"},
        {DIK_ADD, "Num +"},
        {DIK_DIVIDE, "Num /"},
        {DIK_RSHIFT, "Right Shift"},
        {DIK_RCONTROL, "Right Ctrl"},
        {DIK_PRIOR, "Page Up"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(InputKeyName(static_cast<uint8_t>(c.code)), c.name) << c.code;
    EXPECT_STREQ(InputKeyName(0), "");
    EXPECT_STREQ(InputKeyName(0x54), "");
    EXPECT_STREQ(InputKeyName(255), "");
}
