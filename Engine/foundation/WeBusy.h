#pragma once
#include <cstdint>

// The load-scope counter. Resource managers mark what they create while a scope is open as
// persistent, so a later partial release keeps it. Main thread only, like every load.
extern int32_t g_BusyCount;

void BeginBusy();
void EndBusy();
bool IsBusy();
