// The video options on the recording device: what is offered for the device's modes and capabilities, the
// antialiasing rule with HDR, which applied changes reset the device (counted at the engine's device seam),
// and the questions of APPLY and BACK.
#include <gtest/gtest.h>

#include <functional>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Tests/Game/screens/OptionsTestSupport.h"

namespace
{
// The real seam, with the mode changes counted.
class CountingDevices : public WeRealEngineDevices
{
public:
    void RenderDeviceChangeMode(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                                uint8_t verticalSync, int32_t windowMode) override
    {
        ++changes;
        lastWidth = width;
        lastHeight = height;
        WeRealEngineDevices::RenderDeviceChangeMode(width, height, multisampleType, multisampleQuality, verticalSync,
                                                    windowMode);
    }
    int32_t changes = 0;
    int32_t lastWidth = 0;
    int32_t lastHeight = 0;
};

class COptionsVideoPhaseTest : public OptionsScreenTest
{
protected:
    void SetUp() override
    {
        OptionsScreenTest::SetUp();
        m_SavedDevices = g_Engine.GetDevices();
        g_Engine.SetDevices(&m_Devices);
        m_Caps[0] = g_RenderDevice.m_PixelShader30;
        m_Caps[1] = g_RenderDevice.m_G16R16FTargets;
        m_Caps[2] = g_RenderDevice.m_A16B16G16R16FMultisample;
        g_RenderDevice.m_PixelShader30 = 1;
        g_RenderDevice.m_G16R16FTargets = 1;
        g_RenderDevice.m_A16B16G16R16FMultisample = 0;
        // 640 x 480 too small, 800 x 600 listed twice, the rest out of order.
        g_RenderDevice.m_DisplayModes.Reset();
        for (const WeDisplayMode& m : {WeDisplayMode{1280, 720}, WeDisplayMode{640, 480}, WeDisplayMode{800, 600},
                                       WeDisplayMode{1024, 768}, WeDisplayMode{800, 600}})
            g_RenderDevice.m_DisplayModes.PushBack(m);
        g_OptionsSettings.m_Width = 1024;
        g_OptionsSettings.m_Height = 768;
        m_Texture = g_TextureManager.m_QualityLevel;
    }
    void TearDown() override
    {
        OptionsScreenTest::TearDown();
        g_Engine.SetDevices(m_SavedDevices);
        g_RenderDevice.m_PixelShader30 = m_Caps[0];
        g_RenderDevice.m_G16R16FTargets = m_Caps[1];
        g_RenderDevice.m_A16B16G16R16FMultisample = m_Caps[2];
        g_TextureManager.SetQualityLevel(m_Texture);
        g_RenderDevice.m_DisplayModes.Reset();
    }
    void Open() { OpenFromMainMenu(); }
    // APPLY, YES, and the tick after the answer.
    void ApplyAndConfirm()
    {
        ASSERT_TRUE(Click("VideoOptions_ApplyButton"));
        ASSERT_EQ(g_PhaseManager.GetTopPhase(), &g_ConfirmationPhase);
        ASSERT_TRUE(WaitShown("Confirmation_Yes_Button"));
        ASSERT_TRUE(Click("Confirmation_Yes_Button"));
        Step(2);
    }
    static void Tick(const char* check)
    {
        auto* box = Find<WeUICheckBox>(check);
        ASSERT_NE(box, nullptr);
        box->m_Checked = box->m_Checked ? 0 : 1;
    }

    CountingDevices m_Devices;
    WeEngineDevices* m_SavedDevices = nullptr;
    uint8_t m_Caps[3] = {};
    int32_t m_Texture = 2;
};
}  // namespace

TEST_F(COptionsVideoPhaseTest, OffersTheModesFromEightHundredBySixHundredUpEachOnceInOrder)
{
    Open();
    EXPECT_EQ(Items("VideoOptions_ResolutionCombo"), (std::vector<std::string>{"800x600", "1024x768", "1280x720"}));
    EXPECT_EQ(ShownText("VideoOptions_ResolutionCombo"), "1024x768");
    g_PhaseManager.Shutdown();
    // A current size the device does not list is still shown.
    g_OptionsSettings.m_Width = 1600;
    g_OptionsSettings.m_Height = 900;
    Open();
    EXPECT_EQ(ShownText("VideoOptions_ResolutionCombo"), "1600x900");
}

TEST_F(COptionsVideoPhaseTest, TheWidgetsShowTheOptionsAndWhatTheDeviceSupports)
{
    struct Case
    {
        const char* what;
        uint8_t ps30, g16r16f;
        std::function<void()> set;
        const char* combo;
        std::vector<std::string> items;
        std::string shown;
    };
    const Case cases[] = {
        {"effect with 3.0",
         1,
         1,
         [] { g_OptionsSettings.m_EffectQuality = 2; },
         "VideoOptions_EffectQualityCombo",
         {"Low", "High"},
         "High"},
        {"effect without 3.0",
         0,
         1,
         [] { g_OptionsSettings.m_EffectQuality = 2; },
         "VideoOptions_EffectQualityCombo",
         {"Low"},
         "Low"},
        {"blur 2 without G16R16F",
         1,
         0,
         [] { g_OptionsSettings.m_MotionBlur = 2; },
         "VideoOptions_MotionBlurCombo",
         {"Off", "Low"},
         "Low"},
        {"blur 2",
         1,
         1,
         [] { g_OptionsSettings.m_MotionBlur = 2; },
         "VideoOptions_MotionBlurCombo",
         {"Off", "Low", "High"},
         "High"},
        {"anisotropy 3",
         1,
         1,
         [] { g_OptionsSettings.m_Anisotropy = 3; },
         "VideoOptions_AnisotropicCombo",
         {"Off", "2X", "4X", "8X", "16X"},
         "Off"},
        {"anisotropy 16",
         1,
         1,
         [] { g_OptionsSettings.m_Anisotropy = 16; },
         "VideoOptions_AnisotropicCombo",
         {"Off", "2X", "4X", "8X", "16X"},
         "16X"},
        {"reflection 7",
         1,
         1,
         [] { g_OptionsSettings.m_Reflection = 7; },
         "VideoOptions_ReflectionCombo",
         {"Very low", "Low", "Medium", "High"},
         "High"},
        {"reflection 2",
         1,
         1,
         [] { g_OptionsSettings.m_Reflection = 2; },
         "VideoOptions_ReflectionCombo",
         {"Very low", "Low", "Medium", "High"},
         "Low"},
        {"HDR 2", 1, 1, [] { g_OptionsSettings.m_Hdr = 2; }, "VideoOptions_HDRCombo", {"Off", "On"}, "On"},
        {"texture 5",
         1,
         1,
         [] { g_OptionsSettings.m_TextureQuality = 5; },
         "VideoOptions_TextureQualityCombo",
         {"Low", "Medium", "High"},
         "High"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        g_OptionsSettings = COptionsSettings();
        g_RenderDevice.m_PixelShader30 = c.ps30;
        g_RenderDevice.m_G16R16FTargets = c.g16r16f;
        c.set();
        Open();
        EXPECT_EQ(Items(c.combo), c.items);
        EXPECT_EQ(ShownText(c.combo), c.shown);
        EXPECT_EQ(Find<WeUIComponent>("VideoOptions_EffectQualityCombo")->m_InputEnabled, c.ps30);
        EXPECT_EQ(Dimmed("VideoOptions_DoFCheck"), c.g16r16f == 0);
        EXPECT_EQ(Dimmed("VideoOptions_DoFTitle"), c.g16r16f == 0);
        g_PhaseManager.Shutdown();
    }
}

TEST_F(COptionsVideoPhaseTest, HdrTwoWithoutMultisampledFloatTargetsTurnsAntialiasingOff)
{
    g_OptionsSettings.m_Hdr = 2;
    Open();
    EXPECT_EQ(ShownText("VideoOptions_AntialiasingCombo"), "Off");
    EXPECT_TRUE(Dimmed("VideoOptions_AntialiasingCombo"));
    // The HDR combo's own change: its two items never ask for the rule.
    Choose("VideoOptions_HDRCombo", 0);
    EXPECT_TRUE(Active("VideoOptions_AntialiasingCombo"));
    COptionsVideoPhase::UpdateAntialiasingCombo(true);
    EXPECT_TRUE(Dimmed("VideoOptions_AntialiasingCombo"));
    g_PhaseManager.Shutdown();

    g_RenderDevice.m_A16B16G16R16FMultisample = 1;
    Open();
    EXPECT_TRUE(Active("VideoOptions_AntialiasingCombo"));
}

TEST_F(COptionsVideoPhaseTest, OnlyTheChangesThatNeedANewDeviceResetIt)
{
    struct Case
    {
        const char* what;
        std::function<void()> change;
        int32_t resets;
    };
    const Case cases[] = {
        {"texture quality", [] { Choose("VideoOptions_TextureQualityCombo", 1); }, 0},
        {"resolution", [] { Choose("VideoOptions_ResolutionCombo", 0); }, 1},
        {"antialiasing", [] { Choose("VideoOptions_AntialiasingCombo", 1); }, 1},
        {"vertical sync", [] { Tick("VideoOptions_VSyncCheck"); }, 1},
        {"reflection", [] { Choose("VideoOptions_ReflectionCombo", 2); }, 1},
        {"HDR 0 to 1", [] { Choose("VideoOptions_HDRCombo", 1); }, 0},
        {"shadows", [] { Tick("VideoOptions_ShadowsCheck"); }, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        g_OptionsSettings = COptionsSettings();
        g_OptionsSettings.m_Width = 1024;
        g_OptionsSettings.m_Height = 768;
        g_TextureManager.SetQualityLevel(2);
        Open();
        ASSERT_GT(Items("VideoOptions_AntialiasingCombo").size(), 1u);
        m_Devices.changes = 0;
        c.change();
        ApplyAndConfirm();
        EXPECT_EQ(m_Devices.changes, c.resets);
        EXPECT_EQ(g_PhaseManager.GetTopPhase(), &g_OptionsVideoPhase);
        if (std::string(c.what) == "texture quality")
        {
            EXPECT_EQ(g_TextureManager.m_QualityLevel, 1);
        }
        if (std::string(c.what) == "resolution")
        {
            EXPECT_EQ(m_Devices.lastWidth, 800);
            EXPECT_EQ(m_Devices.lastHeight, 600);
            EXPECT_EQ(g_ScreenSize.width, 800);
        }
        // The applied values are in the options file, and nothing is left to ask about.
        const COptionsSettings loaded = LoadedOptions();
        EXPECT_FALSE(COptionsVideoPhase::Differ(COptionsVideoPhase::FromOptions(),
                                                [&]
                                                {
                                                    COptionsSettings saved = g_OptionsSettings;
                                                    g_OptionsSettings = loaded;
                                                    COptionsVideoPhase::VideoValues v =
                                                        COptionsVideoPhase::FromOptions();
                                                    g_OptionsSettings = saved;
                                                    return v;
                                                }()));
        const int32_t sounds = Sounds(CMenuPhase::SoundConfirm);
        ASSERT_TRUE(Click("VideoOptions_ApplyButton"));
        EXPECT_EQ(g_PhaseManager.GetTopPhase(), &g_OptionsVideoPhase);
        EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), sounds);
        g_PhaseManager.Shutdown();
        if (g_ScreenSize.width != 1024)
            g_Engine.Resize(1024, 768, 0, 0, 0, 2);
    }
}

TEST_F(COptionsVideoPhaseTest, WithoutPixelShaderThreeApplyingSetsTheLowEffectsAndNoDepthOfField)
{
    g_RenderDevice.m_PixelShader30 = 0;
    g_OptionsSettings.m_DepthOfField = 1;
    g_OptionsSettings.m_EffectQuality = 2;
    Open();
    Tick("VideoOptions_ShadowsCheck");
    ApplyAndConfirm();
    EXPECT_EQ(g_RenderDevice.m_ShaderPath, 1);
    EXPECT_EQ(g_RenderDevice.m_DepthOfFieldOn, 0);
    EXPECT_EQ(g_OptionsSettings.m_EffectQuality, 1);
    EXPECT_EQ(g_RenderDevice.m_ShadowsOn, 1);
}

TEST_F(COptionsVideoPhaseTest, ApplyWithoutAChangePlaysNothingAndOpensNothing)
{
    Open();
    const int32_t sounds = Sounds(CMenuPhase::SoundConfirm);
    ASSERT_TRUE(Click("VideoOptions_ApplyButton"));
    Settle();
    EXPECT_EQ(Stack(), "CMenuPhase COptionsPhase COptionsVideoPhase");
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), sounds);
    EXPECT_EQ(m_Devices.changes, 0);
}

TEST_F(COptionsVideoPhaseTest, BackWithAChangeAsksYesLeavesWithoutApplyingNoStays)
{
    struct Case
    {
        const char* answer;
        const char* stack;
    };
    const Case cases[] = {
        {"Confirmation_No_Button", "CMenuPhase COptionsPhase COptionsVideoPhase"},
        {"Confirmation_Yes_Button", "CMenuPhase CMainMenuPhase"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.answer);
        Open();
        Choose("VideoOptions_TextureQualityCombo", 0);
        ASSERT_TRUE(Click("VideoOptions_BackButton"));
        ASSERT_EQ(g_PhaseManager.GetTopPhase(), &g_ConfirmationPhase);
        ASSERT_TRUE(WaitShown(c.answer));
        ASSERT_TRUE(Click(c.answer));
        Step(2);
        EXPECT_EQ(Stack(), c.stack);
        EXPECT_EQ(g_OptionsSettings.m_TextureQuality, 2);
        EXPECT_EQ(m_Devices.changes, 0);
        if (std::string(c.answer) == "Confirmation_No_Button")
        {
            // The unapplied choice is still on the screen.
            EXPECT_EQ(ShownText("VideoOptions_TextureQualityCombo"), "Low");
        }
        g_PhaseManager.Shutdown();
    }
}

TEST_F(COptionsVideoPhaseTest, ValuesTheWidgetsCannotShowAreNoChangeForBack)
{
    // HDR 2, anisotropy 3 and reflection 7 show as On, Off and High.
    g_OptionsSettings.m_Hdr = 2;
    g_OptionsSettings.m_Anisotropy = 3;
    g_OptionsSettings.m_Reflection = 7;
    Open();
    Press(1);
    Settle();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

TEST_F(COptionsVideoPhaseTest, TheAntialiasingChoicesAreTheDevicesAnswersWithTheCurrentOneSelected)
{
    struct Case
    {
        const char* what;
        DWORD fourSampleLevels;  // the recorder's quality levels for four samples, any format
        int32_t type, quality;   // the options' current choice
        std::vector<std::string> items;
        const char* shown;
    };
    const Case cases[] = {
        {"four samples with five levels", 5, 4, 2, {"Off", "2x", "4x", "8x (4x2)", "16x (4x4)"}, "8x (4x2)"},
        {"four samples with one level", 1, 4, 0, {"Off", "2x", "4x"}, "4x"},
        {"no four samples, the current one gone", 0, 4, 0, {"Off", "2x"}, "Off"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        g_GfxRecorder.multisampleLevels.clear();
        g_GfxRecorder.multisampleLevels[{D3DFMT_UNKNOWN, 4}] = c.fourSampleLevels;
        g_OptionsSettings.m_MultisampleType = c.type;
        g_OptionsSettings.m_MultisampleQuality = c.quality;
        Open();
        EXPECT_EQ(Items("VideoOptions_AntialiasingCombo"), c.items);
        EXPECT_EQ(ShownText("VideoOptions_AntialiasingCombo"), c.shown);
        // The item carries its choice: read back as the pair it stands for.
        COptionsVideoPhase::ReadVideoWidgets();
        const bool off = std::string(c.shown) == "Off";
        EXPECT_EQ(COptionsVideoPhase::s_Pending.multisampleType, off ? 0 : c.type);
        EXPECT_EQ(COptionsVideoPhase::s_Pending.multisampleQuality, off ? 0 : c.quality);
        g_PhaseManager.Shutdown();
    }
    g_GfxRecorder.multisampleLevels.clear();
}
