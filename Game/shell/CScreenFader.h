#pragma once
#include <cstdint>

// The name of the fader's full-screen colour frame.
extern const char* const g_FaderElementName;

// Fades a full-screen colour frame in, blocks the UI's input meanwhile and, once the screen is covered, runs
// its callback once; the frame then fades out again and input returns when it is gone. Screen changes that
// should not cut hard go through it.
class CScreenFader
{
public:
    using Callback = void (*)();

    enum State : int32_t
    {
        Idle = 0,
        FadingIn = 1,
        Done = 2
    };

    // Covers the screen in the colour over the given seconds (0 or less: at the next UI tick) and keeps the
    // callback, replacing one still waiting. Returns the callback.
    Callback FadeTo(Callback callback, float seconds, float red, float green, float blue, float alpha);
    // Once per game tick, before the phases.
    void Update();

    int32_t m_State = Idle;
    Callback m_Callback = nullptr;
};

extern CScreenFader g_ScreenFader;
