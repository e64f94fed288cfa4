#pragma once
#include <cstdint>

// Statistics of one numbered piece of the frame, kept by the timer between BeginSection and
// EndSection. Nothing reads them back at run time; they are there for a debugger or a display.
struct WeProfilerSection
{
    const char* m_Name = "";  // the caller's text, not copied
    uint8_t m_Open = 0;
    int32_t m_Count = 0;
    double m_Total = 0.0;
    double m_Average = 0.0;
    double m_AverageWithoutFirst = 0.0;
    double m_Minimum = 1e10;
    double m_Maximum = 0.0;
    double m_FirstSample = 0.0;
    int64_t m_StartCounter = 0;
    int64_t m_EndCounter = 0;
};
