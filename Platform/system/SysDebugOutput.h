#pragma once

// The debugger mirror of log lines. Silent by default; with WE_DEBUG_OUTPUT=1 in the environment the
// text goes to stderr, and a test can capture it. Safe to call from the crash handler: no allocation.
class SysDebugOutput
{
public:
    using CaptureFn = void (*)(const char* text, void* context);

    static void Write(const char* text);
    // A capture receives every text instead of stderr; null restores the default.
    static void SetCapture(CaptureFn capture, void* context);
    // Re-reads the environment (the first Write reads it once).
    static void ReloadEnvironment();

private:
    static CaptureFn s_Capture;
    static void* s_Context;
    static int s_ToStderr;  // -1 until the environment was read
};
