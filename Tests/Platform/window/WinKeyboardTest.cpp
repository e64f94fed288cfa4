#include "Platform/input/DIKeyCodes.h"
#include "Platform/input/InputFeed.h"
#include "Platform/window/WinUser.h"
#include "Platform/window/WinVirtualKeys.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace
{
char16_t Char(UINT vk, std::initializer_list<UINT> held, bool caps = false)
{
    BYTE state[256] = {};
    for (UINT h : held)
        state[h] = 0x80;
    if (caps)
        state[VK_CAPITAL] = 1;
    char16_t out[4] = {};
    int n = ToUnicode(vk, MapVirtualKeyA(vk, MAPVK_VK_TO_VSC), state, out, 4, 0);
    return n == 1 ? out[0] : 0;
}
}  // namespace

TEST(WinKeyboard, VirtualKeysOfKeyCodes)
{
    struct Case
    {
        uint8_t code;
        WPARAM vk;
    };
    const Case cases[] = {
        {DIK_A, 'A'},
        {DIK_Z, 'Z'},
        {DIK_M, 'M'},
        {DIK_P, 'P'},
        {DIK_1, '1'},
        {DIK_0, '0'},
        {DIK_F1, VK_F1},
        {DIK_F4, VK_F4},
        {DIK_F10, VK_F10},
        {DIK_F11, VK_F11},
        {DIK_LSHIFT, VK_SHIFT},
        {DIK_RSHIFT, VK_SHIFT},
        {DIK_RCONTROL, VK_CONTROL},
        {DIK_RMENU, VK_MENU},
        {DIK_SPACE, VK_SPACE},
        {DIK_NUMPADENTER, VK_RETURN},
        {DIK_NUMPAD7, VK_NUMPAD0 + 7},
        {DIK_LEFT, VK_LEFT},
        {DIK_GRAVE, VK_OEM_3},
        {DIK_DELETE, VK_DELETE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WinVirtualKeyFromKeyCode(c.code), c.vk) << int(c.code);
    EXPECT_EQ(WinVirtualKeyFromKeyCode(0), 0u);
    EXPECT_EQ(MapVirtualKeyA('W', MAPVK_VK_TO_VSC), 0x11u);
    EXPECT_EQ(MapVirtualKeyA(VK_LEFT, MAPVK_VK_TO_VSC), 0x4Bu);
    EXPECT_EQ(MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC), 0x1Cu);
    EXPECT_EQ(MapVirtualKeyA(0x11, MAPVK_VSC_TO_VK), UINT('W'));
}

TEST(WinKeyboard, UsLayoutCharacters)
{
    EXPECT_EQ(Char('A', {}), u'a');
    EXPECT_EQ(Char('A', {VK_SHIFT}), u'A');
    EXPECT_EQ(Char('A', {}, true), u'A');
    EXPECT_EQ(Char('A', {VK_SHIFT}, true), u'a');
    EXPECT_EQ(Char('C', {VK_CONTROL}), char16_t(3));
    EXPECT_EQ(Char('Q', {VK_CONTROL, VK_MENU}), 0);
    EXPECT_EQ(Char('2', {}), u'2');
    EXPECT_EQ(Char('2', {VK_SHIFT}), u'@');
    EXPECT_EQ(Char(VK_OEM_7, {VK_SHIFT}), u'"');
    EXPECT_EQ(Char(VK_OEM_1, {}), u';');
    EXPECT_EQ(Char(VK_SPACE, {}), u' ');
    EXPECT_EQ(Char(VK_RETURN, {}), char16_t(0x0D));
    EXPECT_EQ(Char(VK_BACK, {}), char16_t(0x08));
    EXPECT_EQ(Char(VK_ESCAPE, {}), char16_t(0x1B));
    EXPECT_EQ(Char(VK_NUMPAD0 + 5, {}), u'5');
    EXPECT_EQ(Char(VK_F1, {}), 0);
    EXPECT_EQ(Char(VK_LEFT, {}), 0);
    EXPECT_EQ(Char(VK_SHIFT, {VK_SHIFT}), 0);
    // A released key translates the same.
    BYTE state[256] = {};
    char16_t out[2];
    EXPECT_EQ(ToUnicode('B', 0x30 | 0x80000000u, state, out, 2, 0), 1);
    EXPECT_EQ(out[0], u'b');
    EXPECT_EQ(ToUnicode('B', 0x30, state, out, 0, 0), 0);
}

TEST(WinKeyboard, KeyboardStateFollowsTheFedKeys)
{
    InputFeedReset();
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_RSHIFT;
    InputFeedEvent(e);
    e.key.keysym.scancode = SDL_SCANCODE_K;
    InputFeedEvent(e);
    BYTE state[256];
    ASSERT_TRUE(GetKeyboardState(state));
    EXPECT_EQ(state[VK_SHIFT], 0x80);
    EXPECT_EQ(state[VK_RSHIFT], 0x80);
    EXPECT_EQ(state[VK_LSHIFT], 0);
    EXPECT_EQ(state[BYTE('K')], 0x80);
    EXPECT_EQ(state[BYTE('J')], 0);
    EXPECT_LT(GetKeyState('K'), 0);
    EXPECT_EQ(GetKeyState('J'), 0);
    char16_t out[2];
    ASSERT_EQ(ToUnicode('K', 0x25, state, out, 2, 0), 1);
    EXPECT_EQ(out[0], u'K');
    InputFeedReset();
}

TEST(WinKeyboard, KeyNamesComeFromTheCodeInTheKeyParameter)
{
    struct Case
    {
        LONG keyParam;
        const char* name;
    };
    const Case cases[] = {
        {LONG(DIK_W) << 16, "W"},
        {LONG(DIK_SPACE) << 16, "Space"},
        {LONG(DIK_F9) << 16, "F9"},
        {LONG(DIK_NUMPAD7) << 16, "Num 7"},
        {LONG(DIK_UP) << 16, "Up"},                           // a code of 128 or more is an extended key
        {(LONG(DIK_RETURN) << 16) | (1 << 24), "Num Enter"},  // so is a code with the extended bit
        {(LONG(DIK_Q) << 16) | 0x1, "Q"},                     // the repeat count and the other bits do not matter
        {LONG(0x54) << 16, ""},                               // no key
        {0, ""},
    };
    for (const Case& c : cases)
    {
        char text[21];
        std::memset(text, 'x', sizeof(text));
        EXPECT_EQ(GetKeyNameTextA(c.keyParam, text, sizeof(text)), int(std::strlen(c.name))) << c.name;
        EXPECT_STREQ(text, c.name);
    }
    // At most size - 1 characters, always terminated; nothing at all without room.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetKeyNameTextA(LONG(DIK_BACK) << 16, small, sizeof(small)), 3);
    EXPECT_STREQ(small, "Bac");
    char one[1] = {'x'};
    EXPECT_EQ(GetKeyNameTextA(LONG(DIK_BACK) << 16, one, 1), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(GetKeyNameTextA(LONG(DIK_BACK) << 16, one, 0), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(GetKeyNameTextA(LONG(DIK_BACK) << 16, nullptr, 8), 0);
}
