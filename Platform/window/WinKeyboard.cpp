// Keyboard state and the US layout's characters.
#include "Platform/input/InputKeyMap.h"
#include "Platform/input/InputState.h"
#include "Platform/window/WinRegistry.h"
#include "Platform/window/WinVirtualKeys.h"

#include <SDL.h>

#include <cstring>

namespace
{
struct Chars
{
    uint8_t vk;
    char plain;
    char shifted;
};

constexpr Chars Punctuation[] = {
    {'1', '1', '!'},          {'2', '2', '@'},          {'3', '3', '#'},           {'4', '4', '$'},
    {'5', '5', '%'},          {'6', '6', '^'},          {'7', '7', '&'},           {'8', '8', '*'},
    {'9', '9', '('},          {'0', '0', ')'},          {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
    {VK_OEM_7, '\'', '"'},    {VK_OEM_102, '\\', '|'},  {VK_SPACE, ' ', ' '},      {VK_MULTIPLY, '*', '*'},
    {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},  {VK_DIVIDE, '/', '/'},
};

bool Held(const BYTE* state, WPARAM vk)
{
    return (state[vk] & 0x80) != 0;
}

// The character of a key, 0 for none.
char16_t Translate(UINT vk, const BYTE* state)
{
    bool shift = Held(state, VK_SHIFT);
    bool ctrl = Held(state, VK_CONTROL);
    bool alt = Held(state, VK_MENU);
    if (ctrl && alt)
        return 0;  // AltGr; the US layout has no characters there
    if (vk >= 'A' && vk <= 'Z')
    {
        if (ctrl)
            return static_cast<char16_t>(vk - 'A' + 1);
        bool upper = shift != ((state[VK_CAPITAL] & 1) != 0);
        return static_cast<char16_t>(upper ? vk : vk - 'A' + 'a');
    }
    switch (vk)
    {
    case VK_BACK: return ctrl ? 0x7F : 0x08;
    case VK_TAB: return ctrl ? 0 : 0x09;
    case VK_RETURN: return ctrl ? 0x0A : 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: break;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return static_cast<char16_t>('0' + (vk - VK_NUMPAD0));
    if (vk == VK_DECIMAL)
        return '.';
    if (ctrl)
    {
        if (vk == VK_SPACE)
            return ' ';
        if (vk == VK_OEM_4)
            return 0x1B;
        if (vk == VK_OEM_5)
            return 0x1C;
        if (vk == VK_OEM_6)
            return 0x1D;
        return 0;
    }
    for (const Chars& c : Punctuation)
        if (c.vk == vk)
            return static_cast<char16_t>(shift ? c.shifted : c.plain);
    return 0;
}
}  // namespace

BOOL GetKeyboardState(BYTE* keyState)
{
    if (keyState == nullptr)
        return FALSE;
    std::memset(keyState, 0, 256);
    const InputState& input = g_InputState();
    for (int code = 1; code < 256; ++code)
    {
        if (input.keys[code] == 0)
            continue;
        WPARAM vk = WinVirtualKeyFromKeyCode(static_cast<uint8_t>(code));
        if (vk != 0)
            keyState[vk] = 0x80;
    }
    struct Side
    {
        int code;
        WPARAM vk;
    };
    const Side sides[] = {{0x2A, VK_LSHIFT},   {0x36, VK_RSHIFT}, {0x1D, VK_LCONTROL},
                          {0x9D, VK_RCONTROL}, {0x38, VK_LMENU},  {0xB8, VK_RMENU}};
    for (const Side& side : sides)
        if (input.keys[side.code] != 0)
            keyState[side.vk] = 0x80;
    const WPARAM buttons[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    for (int i = 0; i < 3; ++i)
        if (input.buttons[i] != 0)
            keyState[buttons[i]] = 0x80;
    const WinRegistry& registry = g_WinRegistry();
    if (registry.lockModsKnown || SDL_WasInit(SDL_INIT_VIDEO) != 0)
    {
        int mod = registry.lockModsKnown ? registry.lockMods : static_cast<int>(SDL_GetModState());
        if ((mod & KMOD_CAPS) != 0)
            keyState[VK_CAPITAL] |= 1;
        if ((mod & KMOD_NUM) != 0)
            keyState[VK_NUMLOCK] |= 1;
        if ((mod & KMOD_SCROLL) != 0)
            keyState[VK_SCROLL] |= 1;
    }
    return TRUE;
}

int16_t GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    BYTE state[256];
    GetKeyboardState(state);
    // Held reads as a negative value, as callers test it.
    return static_cast<int16_t>(((state[virtualKey] & 0x80) != 0 ? 0x8000 : 0) | (state[virtualKey] & 1));
}

int ToUnicode(UINT virtualKey, UINT, const BYTE* keyState, char16_t* buffer, int bufferSize, UINT)
{
    if (keyState == nullptr || buffer == nullptr || bufferSize <= 0 || virtualKey > 255)
        return 0;
    char16_t c = Translate(virtualKey, keyState);
    if (c == 0)
        return 0;
    buffer[0] = c;
    return 1;
}

UINT MapVirtualKeyA(UINT code, UINT mapType)
{
    if (mapType == MAPVK_VSC_TO_VK)
        return code <= 0x7F ? static_cast<UINT>(WinVirtualKeyFromKeyCode(static_cast<uint8_t>(code))) : 0;
    if (mapType != MAPVK_VK_TO_VSC || code > 255 || code == 0)
        return 0;
    // The first key code with this virtual key: the main-block key before the keypad's or the right one.
    for (int key = 1; key < 256; ++key)
        if (WinVirtualKeyFromKeyCode(static_cast<uint8_t>(key)) == code)
            return static_cast<UINT>(key & 0x7F);
    return 0;
}

int GetKeyNameTextA(LONG keyParam, char* text, int size)
{
    if (text == nullptr || size <= 0)
        return 0;
    uint8_t code = static_cast<uint8_t>((keyParam >> 16) & 0xFF);
    if ((keyParam & (1 << 24)) != 0)
        code |= 0x80;
    const char* name = InputKeyName(code);
    int length = static_cast<int>(std::strlen(name));
    if (length > size - 1)
        length = size - 1;
    std::memcpy(text, name, static_cast<size_t>(length));
    text[length] = '\0';
    return length;
}
