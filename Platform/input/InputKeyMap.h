#pragma once
// The two fixed key tables: SDL scancode -> key code (DIKeyCodes.h), and key code -> the name the key
// carries on a US keyboard. Scancodes are physical positions, so the codes do not follow the layout.
#include <cstdint>

// 0 for scancodes with no key code (and for values out of range).
uint8_t InputKeyCodeFromScancode(int sdlScancode);
// The scancode a key code comes from; 0 (unknown) when no scancode maps to it.
int InputScancodeFromKeyCode(uint8_t keyCode);
// "" for codes without a key.
const char* InputKeyName(uint8_t keyCode);
