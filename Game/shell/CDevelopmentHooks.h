#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/window/WinInputScript.h"

class WeAppWindow;

// The executable's development hooks, each read once at start-up from the environment, so that tests and demos
// drive and watch the real game:
//   WE_QUIT_AFTER_FRAMES=N        after N main-loop frames (counted over the whole run from 0) the window is
//                                 closed as the window manager's close would close it;
//   WE_CAPTURE_DIR=DIR with WE_CAPTURE_FRAMES=a,b,... or every:n
//                                 the back buffer of those frames is saved as DIR/frame-<NNNNN>.png;
//   WE_INPUT_SCRIPT=FILE          timed input played through SDL's queue (Platform/window/WinInputScript.h).
class CDevelopmentHooks
{
public:
    // Reads every hook. False, with "<where>: <reason>" on stderr, when one is given but bad: the game then does
    // not start.
    bool ReadEnvironment();
    // Where a hook's text comes from: the variable's value, or null when it is unset or empty.
    using Lookup = const char* (*)(const char* name);
    // Every hook from the lookup, in one place, so that a new hook is read beside the others; false with the
    // reason in error.
    bool Configure(Lookup lookup, std::string& error);
    // Before a frame's engine tick: the script's events of this frame.
    void BeginFrame(WeAppWindow* window);
    // After a frame's render: the capture, then the frame count and the close.
    void EndFrame(WeAppWindow* window);
    // Whether the frame is one to capture.
    bool IsCaptureFrame(int64_t frame) const;
    // Saves the back buffer of the render device as a PNG; false when it cannot be read or written.
    static bool CaptureBackBuffer(const std::string& path);

    int64_t m_Frame = 0;             // main-loop frames so far, over both passes
    int64_t m_QuitAfterFrames = -1;  // -1: never
    std::string m_CaptureFolder;     // empty: no capture
    std::vector<int64_t> m_CaptureFrames;
    int64_t m_CaptureEvery = 0;  // 0: only the listed frames
    bool m_HasScript = false;
    WinInputScript m_Script;
    bool m_CloseSent = false;
};

extern CDevelopmentHooks g_DevelopmentHooks;
