#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

class WeTexture;

// The last screen: a full-screen picture for seven seconds, then the end of the program.
class CBuyScreenPhase : public WeAbstractPhase
{
public:
    static constexpr float ShowSeconds = 7.0f;

    void Enter() override;
    void Update() override;
    void Render() override;

    float m_TimeLeft = 0.0f;
    // Loaded with the game data.
    WeTexture* m_Picture = nullptr;
};

extern CBuyScreenPhase g_BuyScreenPhase;
