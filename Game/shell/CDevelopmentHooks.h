#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Engine/runtime/WeFixedStep.h"
#include "Platform/window/WinInputScript.h"

class WeAbstractPhase;
class WeAppWindow;

// The executable's development hooks, each read once at start-up from the environment, so that tests and demos
// drive and watch the real game:
//   WE_QUIT_AFTER_FRAMES=N        after N main-loop frames (counted over the whole run from 0) the window is
//                                 closed as the window manager's close would close it;
//   WE_CAPTURE_DIR=DIR with WE_CAPTURE_FRAMES=a,b,... or every:n
//                                 the back buffer of those frames is saved as DIR/frame-<NNNNN>.png;
//   WE_INPUT_SCRIPT=FILE          timed input played through SDL's queue (Platform/window/WinInputScript.h);
//   WE_FIXED_STEP=SECONDS         the engine's fixed tick at that step, and the game's clock moved by exactly that
//                                 step each frame, whatever the wall clock says;
//   WE_AUTOPILOT=0|1|2            the human's craft driven by an agent of that difficulty (easy, medium, hard),
//                                 still the player's craft in everything else.
// Each change of the top phase writes "phase <Class>" to the debug channel, so that a script's run says where
// the game was.
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
    // Once, after the hooks were read: the hooks that set the game's state (the autopilot).
    void ApplyAtStart();
    // Each pass, just before and just after the engine starts: the fixed step.
    void BeforeEngineStart();
    void AfterEngineStart();
    // Before a frame's engine tick: the fixed step's clock, then the script's events of this frame.
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
    double m_FixedStepSeconds = 0.0;  // 0: the wall clock
    int32_t m_Autopilot = -1;         // -1: the human drives
    WeFixedStep m_FixedStep;
    const WeAbstractPhase* m_LastTopPhase = nullptr;
    bool m_TopPhaseSeen = false;
};

extern CDevelopmentHooks g_DevelopmentHooks;
