#include "Platform/input/InputKeyMap.h"

#include "Platform/input/DIKeyCodes.h"

#include <SDL_scancode.h>

namespace
{
struct ScancodeRow
{
    SDL_Scancode scancode;
    uint8_t keyCode;
};

// Where two scancodes name the same key position (the ISO hash key sits where the US backslash is),
// the first row is the one the reverse lookup returns.
constexpr ScancodeRow Scancodes[] = {
    {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    {SDL_SCANCODE_1, DIK_1},
    {SDL_SCANCODE_2, DIK_2},
    {SDL_SCANCODE_3, DIK_3},
    {SDL_SCANCODE_4, DIK_4},
    {SDL_SCANCODE_5, DIK_5},
    {SDL_SCANCODE_6, DIK_6},
    {SDL_SCANCODE_7, DIK_7},
    {SDL_SCANCODE_8, DIK_8},
    {SDL_SCANCODE_9, DIK_9},
    {SDL_SCANCODE_0, DIK_0},
    {SDL_SCANCODE_MINUS, DIK_MINUS},
    {SDL_SCANCODE_EQUALS, DIK_EQUALS},
    {SDL_SCANCODE_BACKSPACE, DIK_BACK},
    {SDL_SCANCODE_TAB, DIK_TAB},
    {SDL_SCANCODE_Q, DIK_Q},
    {SDL_SCANCODE_W, DIK_W},
    {SDL_SCANCODE_E, DIK_E},
    {SDL_SCANCODE_R, DIK_R},
    {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_Y, DIK_Y},
    {SDL_SCANCODE_U, DIK_U},
    {SDL_SCANCODE_I, DIK_I},
    {SDL_SCANCODE_O, DIK_O},
    {SDL_SCANCODE_P, DIK_P},
    {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET},
    {SDL_SCANCODE_RETURN, DIK_RETURN},
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
    {SDL_SCANCODE_A, DIK_A},
    {SDL_SCANCODE_S, DIK_S},
    {SDL_SCANCODE_D, DIK_D},
    {SDL_SCANCODE_F, DIK_F},
    {SDL_SCANCODE_G, DIK_G},
    {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_J, DIK_J},
    {SDL_SCANCODE_K, DIK_K},
    {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE},
    {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
    {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
    {SDL_SCANCODE_Z, DIK_Z},
    {SDL_SCANCODE_X, DIK_X},
    {SDL_SCANCODE_C, DIK_C},
    {SDL_SCANCODE_V, DIK_V},
    {SDL_SCANCODE_B, DIK_B},
    {SDL_SCANCODE_N, DIK_N},
    {SDL_SCANCODE_M, DIK_M},
    {SDL_SCANCODE_COMMA, DIK_COMMA},
    {SDL_SCANCODE_PERIOD, DIK_PERIOD},
    {SDL_SCANCODE_SLASH, DIK_SLASH},
    {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
    {SDL_SCANCODE_LALT, DIK_LMENU},
    {SDL_SCANCODE_SPACE, DIK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
    {SDL_SCANCODE_F1, DIK_F1},
    {SDL_SCANCODE_F2, DIK_F2},
    {SDL_SCANCODE_F3, DIK_F3},
    {SDL_SCANCODE_F4, DIK_F4},
    {SDL_SCANCODE_F5, DIK_F5},
    {SDL_SCANCODE_F6, DIK_F6},
    {SDL_SCANCODE_F7, DIK_F7},
    {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9},
    {SDL_SCANCODE_F10, DIK_F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL},
    {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8},
    {SDL_SCANCODE_KP_9, DIK_NUMPAD9},
    {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
    {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5},
    {SDL_SCANCODE_KP_6, DIK_NUMPAD6},
    {SDL_SCANCODE_KP_PLUS, DIK_ADD},
    {SDL_SCANCODE_KP_1, DIK_NUMPAD1},
    {SDL_SCANCODE_KP_2, DIK_NUMPAD2},
    {SDL_SCANCODE_KP_3, DIK_NUMPAD3},
    {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
    {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12},
    {SDL_SCANCODE_F13, DIK_F13},
    {SDL_SCANCODE_F14, DIK_F14},
    {SDL_SCANCODE_F15, DIK_F15},
    {SDL_SCANCODE_INTERNATIONAL2, DIK_KANA},
    {SDL_SCANCODE_INTERNATIONAL1, DIK_ABNT_C1},
    {SDL_SCANCODE_INTERNATIONAL4, DIK_CONVERT},
    {SDL_SCANCODE_INTERNATIONAL5, DIK_NOCONVERT},
    {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
    {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_AUDIOPREV, DIK_PREVTRACK},
    {SDL_SCANCODE_LANG5, DIK_KANJI},
    {SDL_SCANCODE_STOP, DIK_STOP},
    {SDL_SCANCODE_AUDIONEXT, DIK_NEXTTRACK},
    {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
    {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
    {SDL_SCANCODE_MUTE, DIK_MUTE},
    {SDL_SCANCODE_AUDIOMUTE, DIK_MUTE},
    {SDL_SCANCODE_CALCULATOR, DIK_CALCULATOR},
    {SDL_SCANCODE_AUDIOPLAY, DIK_PLAYPAUSE},
    {SDL_SCANCODE_AUDIOSTOP, DIK_MEDIASTOP},
    {SDL_SCANCODE_VOLUMEDOWN, DIK_VOLUMEDOWN},
    {SDL_SCANCODE_VOLUMEUP, DIK_VOLUMEUP},
    {SDL_SCANCODE_AC_HOME, DIK_WEBHOME},
    {SDL_SCANCODE_KP_COMMA, DIK_NUMPADCOMMA},
    {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
    {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
    {SDL_SCANCODE_SYSREQ, DIK_SYSRQ},
    {SDL_SCANCODE_RALT, DIK_RMENU},
    {SDL_SCANCODE_PAUSE, DIK_PAUSE},
    {SDL_SCANCODE_HOME, DIK_HOME},
    {SDL_SCANCODE_UP, DIK_UP},
    {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_LEFT, DIK_LEFT},
    {SDL_SCANCODE_RIGHT, DIK_RIGHT},
    {SDL_SCANCODE_END, DIK_END},
    {SDL_SCANCODE_DOWN, DIK_DOWN},
    {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
    {SDL_SCANCODE_INSERT, DIK_INSERT},
    {SDL_SCANCODE_DELETE, DIK_DELETE},
    {SDL_SCANCODE_LGUI, DIK_LWIN},
    {SDL_SCANCODE_RGUI, DIK_RWIN},
    {SDL_SCANCODE_APPLICATION, DIK_APPS},
    {SDL_SCANCODE_POWER, DIK_POWER},
    {SDL_SCANCODE_SLEEP, DIK_SLEEP},
    {SDL_SCANCODE_AC_SEARCH, DIK_WEBSEARCH},
    {SDL_SCANCODE_AC_BOOKMARKS, DIK_WEBFAVORITES},
    {SDL_SCANCODE_AC_REFRESH, DIK_WEBREFRESH},
    {SDL_SCANCODE_AC_STOP, DIK_WEBSTOP},
    {SDL_SCANCODE_AC_FORWARD, DIK_WEBFORWARD},
    {SDL_SCANCODE_AC_BACK, DIK_WEBBACK},
    {SDL_SCANCODE_COMPUTER, DIK_MYCOMPUTER},
    {SDL_SCANCODE_MAIL, DIK_MAIL},
    {SDL_SCANCODE_MEDIASELECT, DIK_MEDIASELECT},
};

struct NameRow
{
    uint8_t keyCode;
    const char* name;
};

constexpr NameRow Names[] = {
    {DIK_ESCAPE, "Esc"},
    {DIK_1, "1"},
    {DIK_2, "2"},
    {DIK_3, "3"},
    {DIK_4, "4"},
    {DIK_5, "5"},
    {DIK_6, "6"},
    {DIK_7, "7"},
    {DIK_8, "8"},
    {DIK_9, "9"},
    {DIK_0, "0"},
    {DIK_MINUS, "-"},
    {DIK_EQUALS, "="},
    {DIK_BACK, "Backspace"},
    {DIK_TAB, "Tab"},
    {DIK_Q, "Q"},
    {DIK_W, "W"},
    {DIK_E, "E"},
    {DIK_R, "R"},
    {DIK_T, "T"},
    {DIK_Y, "Y"},
    {DIK_U, "U"},
    {DIK_I, "I"},
    {DIK_O, "O"},
    {DIK_P, "P"},
    {DIK_LBRACKET, "["},
    {DIK_RBRACKET, "]"},
    {DIK_RETURN, "Enter"},
    {DIK_LCONTROL, "Ctrl"},
    {DIK_A, "A"},
    {DIK_S, "S"},
    {DIK_D, "D"},
    {DIK_F, "F"},
    {DIK_G, "G"},
    {DIK_H, "H"},
    {DIK_J, "J"},
    {DIK_K, "K"},
    {DIK_L, "L"},
    {DIK_SEMICOLON, ";"},
    {DIK_APOSTROPHE, "'"},
    {DIK_GRAVE, "`"},
    {DIK_LSHIFT, "Shift"},
    {DIK_BACKSLASH, "\\"},
    {DIK_Z, "Z"},
    {DIK_X, "X"},
    {DIK_C, "C"},
    {DIK_V, "V"},
    {DIK_B, "B"},
    {DIK_N, "N"},
    {DIK_M, "M"},
    {DIK_COMMA, ","},
    {DIK_PERIOD, "."},
    {DIK_SLASH, "/"},
    {DIK_RSHIFT, "Right Shift"},
    {DIK_MULTIPLY, "Num *"},
    {DIK_LMENU, "Alt"},
    {DIK_SPACE, "Space"},
    {DIK_CAPITAL, "Caps Lock"},
    {DIK_F1, "F1"},
    {DIK_F2, "F2"},
    {DIK_F3, "F3"},
    {DIK_F4, "F4"},
    {DIK_F5, "F5"},
    {DIK_F6, "F6"},
    {DIK_F7, "F7"},
    {DIK_F8, "F8"},
    {DIK_F9, "F9"},
    {DIK_F10, "F10"},
    {DIK_NUMLOCK, "Num Lock"},
    {DIK_SCROLL, "Scroll Lock"},
    {DIK_NUMPAD7, "Num 7"},
    {DIK_NUMPAD8, "Num 8"},
    {DIK_NUMPAD9, "Num 9"},
    {DIK_SUBTRACT, "Num -"},
    {DIK_NUMPAD4, "Num 4"},
    {DIK_NUMPAD5, "Num 5"},
    {DIK_NUMPAD6, "Num 6"},
    {DIK_ADD, "Num +"},
    {DIK_NUMPAD1, "Num 1"},
    {DIK_NUMPAD2, "Num 2"},
    {DIK_NUMPAD3, "Num 3"},
    {DIK_NUMPAD0, "Num 0"},
    {DIK_DECIMAL, "Num Del"},
    {DIK_OEM_102, "\\"},
    {DIK_F11, "F11"},
    {DIK_F12, "F12"},
    {DIK_F13, "F13"},
    {DIK_F14, "F14"},
    {DIK_F15, "F15"},
    {DIK_KANA, "Kana"},
    {DIK_ABNT_C1, "Ro"},
    {DIK_CONVERT, "Convert"},
    {DIK_NOCONVERT, "No Convert"},
    {DIK_YEN, "Yen"},
    {DIK_NUMPADEQUALS, "Num ="},
    {DIK_PREVTRACK, "Prev Track"},
    {DIK_KANJI, "Kanji"},
    {DIK_STOP, "Stop"},
    {DIK_NEXTTRACK, "Next Track"},
    {DIK_NUMPADENTER, "Num Enter"},
    {DIK_RCONTROL, "Right Ctrl"},
    {DIK_MUTE, "Mute"},
    {DIK_CALCULATOR, "Calculator"},
    {DIK_PLAYPAUSE, "Play/Pause"},
    {DIK_MEDIASTOP, "Media Stop"},
    {DIK_VOLUMEDOWN, "Volume Down"},
    {DIK_VOLUMEUP, "Volume Up"},
    {DIK_WEBHOME, "Browser Home"},
    {DIK_NUMPADCOMMA, "Num ,"},
    {DIK_DIVIDE, "Num /"},
    {DIK_SYSRQ, "Prnt Scrn"},
    {DIK_RMENU, "Right Alt"},
    {DIK_PAUSE, "Pause"},
    {DIK_HOME, "Home"},
    {DIK_UP, "Up"},
    {DIK_PRIOR, "Page Up"},
    {DIK_LEFT, "Left"},
    {DIK_RIGHT, "Right"},
    {DIK_END, "End"},
    {DIK_DOWN, "Down"},
    {DIK_NEXT, "Page Down"},
    {DIK_INSERT, "Insert"},
    {DIK_DELETE, "Delete"},
    {DIK_LWIN, "Left Windows"},
    {DIK_RWIN, "Right Windows"},
    {DIK_APPS, "Application"},
    {DIK_POWER, "Power"},
    {DIK_SLEEP, "Sleep"},
    {DIK_WAKE, "Wake"},
    {DIK_WEBSEARCH, "Browser Search"},
    {DIK_WEBFAVORITES, "Browser Favorites"},
    {DIK_WEBREFRESH, "Browser Refresh"},
    {DIK_WEBSTOP, "Browser Stop"},
    {DIK_WEBFORWARD, "Browser Forward"},
    {DIK_WEBBACK, "Browser Back"},
    {DIK_MYCOMPUTER, "My Computer"},
    {DIK_MAIL, "Mail"},
    {DIK_MEDIASELECT, "Media Select"},
};

struct Tables
{
    uint8_t codeOf[SDL_NUM_SCANCODES] = {};
    int scancodeOf[256] = {};
    const char* nameOf[256] = {};

    Tables()
    {
        for (const ScancodeRow& row : Scancodes)
        {
            codeOf[row.scancode] = row.keyCode;
            if (scancodeOf[row.keyCode] == 0)
                scancodeOf[row.keyCode] = row.scancode;
        }
        for (const char*& name : nameOf)
            name = "";
        for (const NameRow& row : Names)
            nameOf[row.keyCode] = row.name;
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}
}  // namespace

uint8_t InputKeyCodeFromScancode(int sdlScancode)
{
    if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES)
        return 0;
    return GetTables().codeOf[sdlScancode];
}

int InputScancodeFromKeyCode(uint8_t keyCode)
{
    return GetTables().scancodeOf[keyCode];
}

const char* InputKeyName(uint8_t keyCode)
{
    return GetTables().nameOf[keyCode];
}
