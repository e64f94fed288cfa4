#include "Engine/foundation/WeTimer.h"

#include "Platform/system/SysClock.h"

#include <cmath>
#include <cstdint>

WeTimer g_Timer;

WeTimer::WeTimer() : WeTimer(SysClock::System()) {}

WeTimer::WeTimer(SysClockSource& clock) : m_Clock(&clock)
{
    m_Frequency = m_Clock->Frequency();
    if (m_Frequency <= 0)
        m_Frequency = 1;
    m_SecondsPerTick = 1.0 / static_cast<double>(m_Frequency);
}

void WeTimer::UseClock(SysClockSource& clock)
{
    m_Started = 0;
    m_Clock = &clock;
    m_Frequency = m_Clock->Frequency();
    if (m_Frequency <= 0)
        m_Frequency = 1;
    m_SecondsPerTick = 1.0 / static_cast<double>(m_Frequency);
}

void WeTimer::Start()
{
    if (m_Started)
        return;
    m_StartCounter = m_Clock->ReadCounter();
    m_LastCounter = m_StartCounter;
    m_NowCounter = m_StartCounter;
    m_TotalTime = 0.0;
    m_FrameDelta = 0.0;
    m_RawFrameDelta = 0.0;
    m_FpsWindowTime = 0.0;
    m_FpsWindowFrames = 0;
    m_Fps = 0.0;
    m_TotalTimeF = 0.0f;
    m_FrameDeltaF = 0.0f;
    m_Started = 1;
}

void WeTimer::Stop()
{
    m_Started = 0;
}

void WeTimer::FrameTick()
{
    if (!m_Started)
        return;

    m_FrameDelta = -1.0;
    m_RawFrameDelta = 0.0;
    // Sleep in whole milliseconds and measure again after every sleep, so a frame never ends early.
    while (m_MinimumFrameTime > m_FrameDelta)
    {
        if (m_FrameDelta >= 0.0)
        {
            int ms = static_cast<int>((m_MinimumFrameTime - m_FrameDelta) * 999.9);
            m_Clock->SleepMs(ms < 1 ? 1 : ms);
        }
        m_NowCounter = m_Clock->ReadCounter();
        m_FrameDelta = static_cast<double>(m_NowCounter - m_LastCounter) * m_SecondsPerTick;
    }

    m_RawFrameDelta = m_FrameDelta;
    if (m_MaximumFrameDelta > 0.0 && m_FrameDelta > m_MaximumFrameDelta)
        m_FrameDelta = m_MaximumFrameDelta;

    m_TotalTime += m_FrameDelta;
    m_LastCounter = m_NowCounter;
    m_TotalTimeF = static_cast<float>(m_TotalTime);
    m_FrameDeltaF = static_cast<float>(m_FrameDelta);
    m_RawFrameDeltaF = static_cast<float>(m_RawFrameDelta);

    // A moving one-second average: a full window restarts as one average frame.
    m_FpsWindowFrames += 1;
    m_FpsWindowTime += m_FrameDelta;
    if (m_FpsWindowTime > 0.0)
        m_Fps = m_FpsWindowFrames / m_FpsWindowTime;
    if (m_FpsWindowTime >= 1.0)
    {
        m_FpsWindowFrames = 1;
        m_FpsWindowTime = 1.0 / m_Fps;
    }
}

double WeTimer::GetSeconds()
{
    return static_cast<double>(m_Clock->ReadCounter() - m_StartCounter) * m_SecondsPerTick;
}

int WeTimer::GetMilliseconds()
{
    // Past about 24.8 days the count no longer fits an int (converting such a double is undefined):
    // it wraps like a millisecond tick counter, so differences and seeds stay usable.
    const double ms = GetSeconds() * 1000.0;
    if (!(std::fabs(ms) < 9.0e18))
        return 0;
    return static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(ms)));
}

void WeTimer::BeginSection(unsigned id, const char* name)
{
    if (id >= SectionCount)
        return;
    WeProfilerSection& section = m_Sections[id];
    if (section.m_Open)
        return;
    section.m_Name = name;
    section.m_StartCounter = m_Clock->ReadCounter();
    section.m_Open = 1;
}

void WeTimer::EndSection(unsigned id)
{
    if (id >= SectionCount)
        return;
    WeProfilerSection& section = m_Sections[id];
    if (!section.m_Open)
        return;
    section.m_EndCounter = m_Clock->ReadCounter();
    double sample = static_cast<double>(section.m_EndCounter - section.m_StartCounter) * m_SecondsPerTick;

    int32_t before = section.m_Count;
    section.m_Count = before + 1;
    section.m_Total += sample;
    section.m_Average = section.m_Total / (before + 1);
    if (sample > section.m_Maximum)
        section.m_Maximum = sample;
    if (sample < section.m_Minimum)
        section.m_Minimum = sample;
    if (before == 0)
        section.m_FirstSample = sample;
    else
        section.m_AverageWithoutFirst = (section.m_Total - section.m_FirstSample) / before;
    section.m_Open = 0;
}
