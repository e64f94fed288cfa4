#pragma once

#include <cstdint>

// Development aid: WE_WINDOW_MODE (0 full screen, 1 maximised window, 2 centred window of the
// requested size) replaces the window mode the program chose for a pass. Unset or empty, the
// choice stands; any other value is ignored with a line to the debug output. Apply it before the
// window is created, so that the window and the device agree.
int32_t ApplyWindowModeOverride(int32_t windowMode);
