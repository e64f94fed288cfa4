#pragma once
#include "Engine/foundation/WeProfilerSection.h"

#include <cstdint>

class SysClockSource;

// The engine's one clock: paces the main loop to a minimum frame time, produces the clamped frame
// delta the whole game advances by, keeps a moving frames-per-second value and the profiler sections.
class WeTimer
{
public:
    static constexpr unsigned SectionCount = 1000;

    WeTimer();
    // Runs on the given clock instead of the system's (tests use a fake one).
    explicit WeTimer(SysClockSource& clock);

    // Switches the process-wide timer to another clock (a stepped one for a fixed-step run); the timer stops
    // and must be started again.
    void UseClock(SysClockSource& clock);
    void Start();
    void Stop();
    // Once per frame: waits out the minimum frame time, then measures and clamps the frame.
    void FrameTick();
    // Seconds since Start, read from the counter afresh.
    double GetSeconds();
    int GetMilliseconds();

    // Ids of 1000 and above are ignored; a section already open stays with its first opening.
    void BeginSection(unsigned id, const char* name);
    void EndSection(unsigned id);

    uint8_t m_Started = 0;
    int64_t m_StartCounter = 0;
    int64_t m_LastCounter = 0;
    int64_t m_NowCounter = 0;
    int64_t m_Frequency = 0;
    double m_SecondsPerTick = 0.0;
    double m_TotalTime = 0.0;      // sum of the clamped deltas since Start, not wall time
    double m_FrameDelta = 0.0;     // clamped
    double m_RawFrameDelta = 0.0;  // as measured
    float m_TotalTimeF = 0.0f;
    float m_FrameDeltaF = 0.0f;  // what the rest of the engine advances by each frame
    float m_RawFrameDeltaF = 0.0f;
    double m_FpsWindowTime = 0.0;
    int32_t m_FpsWindowFrames = 0;
    double m_Fps = 0.0;
    WeProfilerSection m_Sections[SectionCount];
    double m_MinimumFrameTime = 0.0;   // 0: no pacing
    double m_MaximumFrameDelta = 0.0;  // 0: no clamp

private:
    SysClockSource* m_Clock;
};

extern WeTimer g_Timer;
