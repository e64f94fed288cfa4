#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeAbstractPhase.h"

class CProgressBar;
class WeTexture;

// The screen between the race set-up and the race: it creates the race map, loads it actor by actor within
// a budget per frame while the bar fills, shows a card with the race's settings over the map's loading
// picture, and waits for a key. The race phase keeps drawing it (Render) while the race starts.
class CLoadMapPhase : public WeAbstractPhase
{
public:
    static constexpr int32_t StepNotStarted = 0;
    static constexpr int32_t StepLoading = 1;
    static constexpr int32_t StepWaitingForKey = 2;
    static constexpr int32_t StepRaceRequested = 3;
    // How long one Update may spend loading actors.
    static constexpr double UpdateBudgetSeconds = 0.01;

    CLoadMapPhase() = default;
    ~CLoadMapPhase();
    CLoadMapPhase(const CLoadMapPhase&) = delete;
    CLoadMapPhase& operator=(const CLoadMapPhase&) = delete;

    void Enter() override;
    void Leave() override;
    void Update() override;
    void Render() override;

    // The tip shown t seconds into the race's start delay: number int(t x count / initRaceTime), capped at
    // the last; an init time that is not a positive number shows the last one.
    static int32_t GetTipIndex(float t, int32_t count, float initRaceTime);
    // The translated tips of the comma-separated fields ("UI: " + field each), up to the first empty field.
    static std::vector<WeString> ReadTips(const WeString& fields);
    // The card's lines, as drawn.
    WeString GetLapsLine() const;
    WeString GetModeLine() const;
    // Empty when the race has one participant; wrapped to the given pixel width with the font.
    WeString GetOpponentsLine(int32_t maxWidth) const;
    WeString GetMapNameLine() const;
    WeString GetVariantLine() const;
    WeString GetDifficultyLine() const;

    // The loading took this long so far (seconds).
    float GetLoadTime() const { return m_LoadTime; }

    std::vector<WeString> m_Tips;
    float m_ScreenColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    WeTexture* m_Background = nullptr;
    CProgressBar* m_ProgressBar = nullptr;
    int32_t m_Step = StepNotStarted;
    uint8_t m_Entered = 0;

private:
    // The map could not be opened: back to the menus.
    void AbandonLoad();

    double m_LoadStart = 0.0;
    float m_LoadTime = 0.0f;
};

extern CLoadMapPhase g_LoadMapPhase;
