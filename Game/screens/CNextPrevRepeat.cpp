#include "Game/screens/CNextPrevRepeat.h"

bool CNextPrevRepeat::Step(bool down, float frameTime, float interval)
{
    if (!down)
    {
        m_Repeating = 0;
        m_Held = 0.0f;
        return false;
    }
    if (!m_Repeating)
    {
        m_Repeating = 1;
        m_Held = frameTime;
        return true;
    }
    // A frame that starts past the interval restarts the count; the next frame fires as a new press. The
    // margin keeps a sum of frame times that only rounds above the interval from firing a frame early.
    if (m_Held > interval + 1.0e-4f)
    {
        m_Held = 0.0f;
        m_Repeating = 0;
        return false;
    }
    m_Held += frameTime;
    return false;
}
