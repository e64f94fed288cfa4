#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

// The first application pass: the intro movies one after the other (or, with movies off, the intro
// pictures fading in and out), each skippable, then the end of the pass.
class CIntroPhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void Update() override;
    void Render() override;

    // Whether a skip input arrived this frame: a press of Space or Escape, or a release of the first mouse
    // or joystick button. Nothing is consumed.
    static bool SkipRequested();

    // The number of the next intro entry; -1 after the last.
    int32_t m_Index = 0;

private:
    // Starts entry m_Index, or ends the pass when there is none.
    void StartNext();
};

extern CIntroPhase g_IntroPhase;
