#include "Game/shell/CGameWindow.h"

#include "Engine/ui/WeUIMain.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/window/WinUser.h"

namespace
{
// The character a virtual key types with the keyboard as it stands, or 0.
int32_t TypedCharacter(int32_t virtualKey, UINT keyUpBit)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    const UINT scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC) | keyUpBit;
    char16_t buffer[4] = {};
    if (ToUnicode(static_cast<UINT>(virtualKey), scanCode, state, buffer, 4, 0) <= 0)
        return 0;
    return static_cast<int32_t>(buffer[0]);
}
}  // namespace

CGameWindow::~CGameWindow() = default;

void CGameWindow::OnMouseWheel(int32_t delta)
{
    g_UIMain.PostMouseWheel(delta);
}

void CGameWindow::OnLButtonDoubleClick(int32_t, int32_t)
{
    g_UIMain.PostDoubleClick();
}

// Characters reach the UI negated; positive codes are the input device's key codes.
void CGameWindow::OnKeyDown(int32_t virtualKey)
{
    const int32_t character = TypedCharacter(virtualKey, 0);
    if (character != 0)
        g_UIMain.PostKeyDown(-character);
}

void CGameWindow::OnKeyUp(int32_t virtualKey)
{
    const int32_t character = TypedCharacter(virtualKey, 0x80000000u);
    if (character != 0)
        g_UIMain.PostKeyUp(-character);
}

void ClipCursorToWindow(bool on)
{
    CGameWindow* window = g_Game.m_Window;
    if (!on || window == nullptr || window->m_Handle == nullptr)
    {
        ClipCursor(nullptr);
        return;
    }
    RECT rect = {};
    GetWindowRect(window->m_Handle, &rect);
    ClipCursor(&rect);
}
