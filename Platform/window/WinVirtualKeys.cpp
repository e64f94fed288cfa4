#include "Platform/window/WinVirtualKeys.h"

#include "Platform/input/DIKeyCodes.h"

namespace
{
struct Row
{
    uint8_t keyCode;
    uint8_t virtualKey;
};

constexpr Row Rows[] = {
    {DIK_ESCAPE, VK_ESCAPE},
    {DIK_MINUS, VK_OEM_MINUS},
    {DIK_EQUALS, VK_OEM_PLUS},
    {DIK_BACK, VK_BACK},
    {DIK_TAB, VK_TAB},
    {DIK_LBRACKET, VK_OEM_4},
    {DIK_RBRACKET, VK_OEM_6},
    {DIK_RETURN, VK_RETURN},
    {DIK_LCONTROL, VK_CONTROL},
    {DIK_SEMICOLON, VK_OEM_1},
    {DIK_APOSTROPHE, VK_OEM_7},
    {DIK_GRAVE, VK_OEM_3},
    {DIK_LSHIFT, VK_SHIFT},
    {DIK_BACKSLASH, VK_OEM_5},
    {DIK_COMMA, VK_OEM_COMMA},
    {DIK_PERIOD, VK_OEM_PERIOD},
    {DIK_SLASH, VK_OEM_2},
    {DIK_RSHIFT, VK_SHIFT},
    {DIK_MULTIPLY, VK_MULTIPLY},
    {DIK_LMENU, VK_MENU},
    {DIK_SPACE, VK_SPACE},
    {DIK_CAPITAL, VK_CAPITAL},
    {DIK_NUMLOCK, VK_NUMLOCK},
    {DIK_SCROLL, VK_SCROLL},
    {DIK_NUMPAD7, VK_NUMPAD0 + 7},
    {DIK_NUMPAD8, VK_NUMPAD0 + 8},
    {DIK_NUMPAD9, VK_NUMPAD0 + 9},
    {DIK_SUBTRACT, VK_SUBTRACT},
    {DIK_NUMPAD4, VK_NUMPAD0 + 4},
    {DIK_NUMPAD5, VK_NUMPAD0 + 5},
    {DIK_NUMPAD6, VK_NUMPAD0 + 6},
    {DIK_ADD, VK_ADD},
    {DIK_NUMPAD1, VK_NUMPAD0 + 1},
    {DIK_NUMPAD2, VK_NUMPAD0 + 2},
    {DIK_NUMPAD3, VK_NUMPAD0 + 3},
    {DIK_NUMPAD0, VK_NUMPAD0},
    {DIK_DECIMAL, VK_DECIMAL},
    {DIK_OEM_102, VK_OEM_102},
    {DIK_F11, VK_F11},
    {DIK_F12, VK_F12},
    {DIK_F13, VK_F12 + 1},
    {DIK_F14, VK_F12 + 2},
    {DIK_F15, VK_F12 + 3},
    {DIK_NUMPADENTER, VK_RETURN},
    {DIK_RCONTROL, VK_CONTROL},
    {DIK_DIVIDE, VK_DIVIDE},
    {DIK_SYSRQ, VK_SNAPSHOT},
    {DIK_RMENU, VK_MENU},
    {DIK_PAUSE, VK_PAUSE},
    {DIK_HOME, VK_HOME},
    {DIK_UP, VK_UP},
    {DIK_PRIOR, VK_PRIOR},
    {DIK_LEFT, VK_LEFT},
    {DIK_RIGHT, VK_RIGHT},
    {DIK_END, VK_END},
    {DIK_DOWN, VK_DOWN},
    {DIK_NEXT, VK_NEXT},
    {DIK_INSERT, VK_INSERT},
    {DIK_DELETE, VK_DELETE},
    {DIK_LWIN, VK_LWIN},
    {DIK_RWIN, VK_RWIN},
    {DIK_APPS, VK_APPS},
    {DIK_SLEEP, VK_SLEEP},
};

// The letter rows in key-code order.
constexpr char TopRow[] = "QWERTYUIOP";
constexpr char HomeRow[] = "ASDFGHJKL";
constexpr char BottomRow[] = "ZXCVBNM";

struct Table
{
    uint8_t vk[256] = {};
    Table()
    {
        for (int i = 0; i < 9; ++i)
            vk[DIK_1 + i] = static_cast<uint8_t>('1' + i);
        vk[DIK_0] = '0';
        for (int i = 0; TopRow[i] != 0; ++i)
            vk[DIK_Q + i] = static_cast<uint8_t>(TopRow[i]);
        for (int i = 0; HomeRow[i] != 0; ++i)
            vk[DIK_A + i] = static_cast<uint8_t>(HomeRow[i]);
        for (int i = 0; BottomRow[i] != 0; ++i)
            vk[DIK_Z + i] = static_cast<uint8_t>(BottomRow[i]);
        for (int i = 0; i < 10; ++i)
            vk[DIK_F1 + i] = static_cast<uint8_t>(VK_F1 + i);
        for (const Row& row : Rows)
            vk[row.keyCode] = row.virtualKey;
    }
};
}  // namespace

WPARAM WinVirtualKeyFromKeyCode(uint8_t keyCode)
{
    static const Table table;
    return table.vk[keyCode];
}

WPARAM WinKeypadNavigationKey(uint8_t keyCode)
{
    switch (keyCode)
    {
    case DIK_NUMPAD7: return VK_HOME;
    case DIK_NUMPAD8: return VK_UP;
    case DIK_NUMPAD9: return VK_PRIOR;
    case DIK_NUMPAD4: return VK_LEFT;
    case DIK_NUMPAD5: return VK_CLEAR;
    case DIK_NUMPAD6: return VK_RIGHT;
    case DIK_NUMPAD1: return VK_END;
    case DIK_NUMPAD2: return VK_DOWN;
    case DIK_NUMPAD3: return VK_NEXT;
    case DIK_NUMPAD0: return VK_INSERT;
    case DIK_DECIMAL: return VK_DELETE;
    default: return 0;
    }
}
