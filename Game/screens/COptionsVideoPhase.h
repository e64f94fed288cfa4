#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The VIDEO sub-screen of the options, shown first: every video setting as a combo or check box, offered as
// far as the render device supports it, changed only through APPLY after a yes.
class COptionsVideoPhase : public WeAbstractPhase
{
public:
    // The seventeen video values of the options, as the widgets give them.
    struct VideoValues
    {
        int32_t width = 0;
        int32_t height = 0;
        int32_t multisampleType = 0;
        int32_t multisampleQuality = 0;
        int32_t anisotropy = 0;
        int32_t textureQuality = 0;
        int32_t effectQuality = 0;
        int32_t motionBlur = 0;
        int32_t hdr = 0;
        int32_t reflection = 0;
        uint8_t refraction = 0;
        uint8_t specular = 0;
        uint8_t bumping = 0;
        uint8_t shadows = 0;
        uint8_t filmGrain = 0;
        uint8_t depthOfField = 0;
        uint8_t verticalSync = 0;
    };

    COptionsVideoPhase() = default;
    ~COptionsVideoPhase();
    COptionsVideoPhase(const COptionsVideoPhase&) = delete;
    COptionsVideoPhase& operator=(const COptionsVideoPhase&) = delete;

    void Enter() override;
    void Leave() override;
    void OnCovered(WeAbstractPhase* newTop) override;
    void OnUncovered(WeAbstractPhase* removed) override;
    void HandleInput() override;
    // Applies the settings a yes asked for, one tick after the answer, outside the UI's dispatch.
    void Update() override;

    // Fills the pending values from the widgets.
    static void ReadVideoWidgets();
    // The pending values differ from the options.
    static bool VideoSettingsChanged();
    // Greys out the antialiasing choice when HDR needs float targets the device cannot multisample.
    static void UpdateAntialiasingCombo(bool hdrTwo);
    static void ApplyVideoSettings();
    // The options' video values.
    static VideoValues FromOptions();
    static bool Differ(const VideoValues& a, const VideoValues& b);

    static int32_t OnApplyClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnHdrChanged(WeUIComponent* sender);
    static void OnApplyAnswered(bool yes);
    static void OnLeaveAnswered(bool yes);
    // BACK and Escape: leaves, asking first when the widgets hold unapplied changes.
    void Back();

    uint8_t m_ApplyRequested = 0;  // a yes to APPLY: Update applies
    uint8_t m_Shown = 0;           // the widgets exist; the values they showed on entry are s_Entered

    static VideoValues s_Pending;
    static VideoValues s_Entered;
    // Device resets ApplyVideoSettings asked for since start-up, for the screens' tests and demos.
    static int32_t s_DeviceResets;
};

extern COptionsVideoPhase g_OptionsVideoPhase;
