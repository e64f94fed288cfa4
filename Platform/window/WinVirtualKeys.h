#pragma once
// Key code (Platform/input/DIKeyCodes.h) -> the virtual key a US keyboard's key messages carry. Both
// Shift, Ctrl and Alt keys give the generic VK_SHIFT, VK_CONTROL and VK_MENU, as key messages do.
#include "Platform/window/WinUser.h"

// 0 for codes without a virtual key.
WPARAM WinVirtualKeyFromKeyCode(uint8_t keyCode);
// The navigation key a keypad digit or decimal key is while Num Lock is off; 0 for other codes.
WPARAM WinKeypadNavigationKey(uint8_t keyCode);
