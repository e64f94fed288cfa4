#include "Game/screens/COptionsVideoPhase.h"

#include <algorithm>
#include <vector>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeWindowModeOverride.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIText.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/input/DIKeyCodes.h"

COptionsVideoPhase g_OptionsVideoPhase;
COptionsVideoPhase::VideoValues COptionsVideoPhase::s_Pending;
COptionsVideoPhase::VideoValues COptionsVideoPhase::s_Entered;
int32_t COptionsVideoPhase::s_DeviceResets = 0;

namespace
{
constexpr const char* WindowName = "Options_VideoWindow";
constexpr const char* ResolutionCombo = "VideoOptions_ResolutionCombo";
constexpr const char* EffectCombo = "VideoOptions_EffectQualityCombo";
constexpr const char* TextureCombo = "VideoOptions_TextureQualityCombo";
constexpr const char* AntialiasingCombo = "VideoOptions_AntialiasingCombo";
constexpr const char* AnisotropicCombo = "VideoOptions_AnisotropicCombo";
constexpr const char* MotionBlurCombo = "VideoOptions_MotionBlurCombo";
constexpr const char* RefractionCheck = "VideoOptions_RefractionCheck";
constexpr const char* HdrCombo = "VideoOptions_HDRCombo";
constexpr const char* ShadowsCheck = "VideoOptions_ShadowsCheck";
constexpr const char* SpecularCheck = "VideoOptions_SpecularCheck";
constexpr const char* BumpingCheck = "VideoOptions_BumpingCheck";
constexpr const char* ReflectionCombo = "VideoOptions_ReflectionCombo";
constexpr const char* FilmGrainCheck = "VideoOptions_FilmGrainCheck";
constexpr const char* DoFTitle = "VideoOptions_DoFTitle";
constexpr const char* DoFCheck = "VideoOptions_DoFCheck";
constexpr const char* VSyncCheck = "VideoOptions_VSyncCheck";

// Antialiasing items carry their choice by value: the device's list is rebuilt on every entry.
intptr_t MultisampleData(int32_t type, int32_t quality)
{
    return intptr_t(type) * 65536 + intptr_t(quality);
}

void Title(const char* name, const char* key)
{
    g_UIMain.CreateLabel(name, g_Localization.GetText(key), WindowName, -1);
}

WeUIComboBox* Combo(const char* name, int32_t (*callback)(WeUIComponent*) = nullptr)
{
    return g_UIMain.CreateComboBox(name, WindowName, callback);
}

void AddItems(WeUIComboBox* combo, std::initializer_list<const char*> keys, bool translate = true)
{
    if (combo == nullptr)
        return;
    for (const char* key : keys)
        combo->AddItem(translate ? g_Localization.GetText(key) : WeString(key), 0, false);
}

void Check(const char* name, uint8_t checked)
{
    if (WeUICheckBox* box = g_UIMain.CreateCheckBox(name, WindowName, nullptr))
        box->m_Checked = checked ? 1 : 0;
}

void Select(const char* name, int32_t index, int32_t fallback)
{
    if (auto* combo = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(name)))
        combo->SetSelectedIndex(index, fallback);
}

int32_t SelectedIndex(const char* name)
{
    auto* combo = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(name));
    return combo != nullptr ? combo->GetSelectedIndex() : -1;
}

uint8_t Checked(const char* name, uint8_t fallback)
{
    auto* box = static_cast<WeUICheckBox*>(g_UIMain.FindComponent(name));
    return box != nullptr ? box->m_Checked : fallback;
}

void Dim(const char* name)
{
    if (WeUIComponent* c = g_UIMain.FindComponent(name))
    {
        c->m_Opacity = 0.5f;
        c->m_InputEnabled = 0;
    }
}

WeString ModeText(int32_t width, int32_t height)
{
    WeString text;
    text.AppendInt(width);
    text += "x";
    text.AppendInt(height);
    return text;
}

// "<w>x<h>" with both above 0; anything else leaves the two as they are.
void ParseMode(const WeString& text, int32_t& width, int32_t& height)
{
    const char* s = text.c_str();
    int32_t w = 0, h = 0;
    const char* at = s;
    while (*at >= '0' && *at <= '9' && w < 100000)
        w = w * 10 + (*at++ - '0');
    if (at == s || *at != 'x')
        return;
    const char* second = ++at;
    while (*at >= '0' && *at <= '9' && h < 100000)
        h = h * 10 + (*at++ - '0');
    if (at == second || *at != 0 || w <= 0 || h <= 0)
        return;
    width = w;
    height = h;
}

void FillResolutions(WeUIComboBox* combo)
{
    if (combo == nullptr)
        return;
    std::vector<int32_t> keys;
    std::vector<WeDisplayMode> modes;
    const WeList<WeDisplayMode>& list = g_RenderDevice.m_DisplayModes;
    for (auto* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
    {
        const WeDisplayMode& m = node->payload;
        if (m.width > 799 && m.height > 599)
            modes.push_back(m);
    }
    std::stable_sort(modes.begin(), modes.end(),
                     [](const WeDisplayMode& a, const WeDisplayMode& b)
                     { return int64_t(a.width) * 1000 + a.height < int64_t(b.width) * 1000 + b.height; });
    const WeString current = ModeText(g_OptionsSettings.m_Width, g_OptionsSettings.m_Height);
    bool shown = false;
    for (size_t i = 0; i < modes.size(); ++i)
    {
        if (i > 0 && modes[i].width == modes[i - 1].width && modes[i].height == modes[i - 1].height)
            continue;
        const WeString text = ModeText(modes[i].width, modes[i].height);
        const bool isCurrent = text == current;
        combo->AddItem(text, 0, isCurrent);
        shown = shown || isCurrent;
    }
    if (!shown)
        combo->m_Text->m_Text = current;
}

void FillAntialiasing(WeUIComboBox* combo)
{
    g_RenderDevice.BuildMultisampleList();
    if (combo == nullptr)
        return;
    combo->AddItem(g_Localization.GetText("UI: OFF"), 0, false);
    const WeList<WeMultisampleChoice>& list = g_RenderDevice.m_MultisampleChoices;
    int32_t index = 1, selected = 0;
    for (auto* node = list.FirstNode(); node != nullptr; node = list.NextNode(node), ++index)
    {
        const WeMultisampleChoice& c = node->payload;
        combo->AddItem(c.name, MultisampleData(c.type, c.quality), false);
        if (c.type == g_OptionsSettings.m_MultisampleType && c.quality == g_OptionsSettings.m_MultisampleQuality)
            selected = index;
    }
    combo->SetSelectedIndex(selected, 0);
}

void AskConfirmation(void (*callback)(bool))
{
    g_ConfirmationPhase.m_ResultCallback = callback;
    g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
}
}  // namespace

COptionsVideoPhase::~COptionsVideoPhase()
{
    m_ApplyRequested = 0;
    m_Shown = 0;
}

void COptionsVideoPhase::Enter()
{
    const COptionsSettings& o = g_OptionsSettings;
    const bool ps30 = g_RenderDevice.m_PixelShader30 != 0;
    const bool g16r16f = g_RenderDevice.m_G16R16FTargets != 0;
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: VIDEO"), "Root");

    Title("VideoOptions_ResolutionTitle", "UI: RESOLUTION");
    FillResolutions(Combo(ResolutionCombo));

    Title("VideoOptions_EffectQualityTitle", "UI: LIGHTING");
    if (WeUIComboBox* effect = Combo(EffectCombo))
    {
        AddItems(effect, {"UI: LOW"});
        if (ps30)
            AddItems(effect, {"UI: HIGH"});
        effect->SetSelectedIndex(o.m_EffectQuality != 1 && ps30 ? 1 : 0, 0);
        effect->m_InputEnabled = ps30 ? 1 : 0;
    }

    Title("VideoOptions_TextureQualityTitle", "UI: TEXTURES");
    AddItems(Combo(TextureCombo), {"UI: LOW", "UI: MEDIUM", "UI: HIGH"});
    Select(TextureCombo, o.m_TextureQuality, 2);

    Title("VideoOptions_AntialiasingTitle", "UI: ANTIALIASING");
    FillAntialiasing(Combo(AntialiasingCombo));
    UpdateAntialiasingCombo(o.m_Hdr == 2);

    Title("VideoOptions_AnisotropicTitle", "UI: ANISOTROPIC");
    if (WeUIComboBox* anisotropic = Combo(AnisotropicCombo))
    {
        AddItems(anisotropic, {"UI: OFF"});
        AddItems(anisotropic, {"2X", "4X", "8X", "16X"}, false);
        const int32_t a = o.m_Anisotropy;
        anisotropic->SetSelectedIndex(a == 2 ? 1 : a == 4 ? 2 : a == 8 ? 3 : a == 16 ? 4 : 0, 0);
    }

    Title("VideoOptions_MotionBlurTitle", "UI: MOTION BLUR");
    if (WeUIComboBox* blur = Combo(MotionBlurCombo))
    {
        AddItems(blur, {"UI: OFF", "UI: LOW"});
        if (g16r16f)
            AddItems(blur, {"UI: HIGH"});
        blur->SetSelectedIndex(o.m_MotionBlur, 1);
    }

    Title("VideoOptions_RefractionTitle", "UI: REFRACTION");
    Check(RefractionCheck, o.m_Refraction);

    Title("VideoOptions_HDRTitle", "UI: BLOOM");
    AddItems(Combo(HdrCombo, OnHdrChanged), {"UI: OFF", "UI: ON"});
    Select(HdrCombo, o.m_Hdr, 1);

    Title("VideoOptions_ShadowsTitle", "UI: SHADOWS");
    Check(ShadowsCheck, o.m_Shadows);
    Title("VideoOptions_SpecularTitle", "UI: SPECULAR");
    Check(SpecularCheck, o.m_Specular);
    Title("VideoOptions_BumpingTitle", "UI: BUMPING");
    Check(BumpingCheck, o.m_Bumping);

    Title("VideoOptions_ReflectionTitle", "UI: REFLECTION");
    AddItems(Combo(ReflectionCombo), {"UI: VERY LOW", "UI: LOW", "UI: MEDIUM", "UI: HIGH"});
    Select(ReflectionCombo, o.m_Reflection - 1, 3);

    Title("VideoOptions_FilmGrainTitle", "UI: FILMGRAIN");
    Check(FilmGrainCheck, o.m_FilmGrain);

    Title(DoFTitle, "UI: DEPTHOFFIELD");
    Check(DoFCheck, g16r16f ? o.m_DepthOfField : 0);
    if (!g16r16f)
    {
        Dim(DoFTitle);
        Dim(DoFCheck);
    }

    Title("VideoOptions_VSyncTitle", "UI: VSYNC");
    Check(VSyncCheck, o.m_VerticalSync);

    g_UIMain.CreateButton("VideoOptions_ApplyButton", g_Localization.GetText("UI: APPLY"), WindowName, OnApplyClicked);
    g_UIMain.CreateButton("VideoOptions_BackButton", g_Localization.GetText("UI: BACK"), WindowName, OnBackClicked);
    g_UIMain.ShowComponent(WindowName, false);

    // What the widgets show now is the user's starting point: values they cannot show are not a change.
    ReadVideoWidgets();
    s_Entered = s_Pending;
    m_Shown = 1;
}

void COptionsVideoPhase::Leave()
{
    m_Shown = 0;
    g_UIMain.CloseComponent(WindowName, false);
}

void COptionsVideoPhase::OnCovered(WeAbstractPhase* newTop)
{
    (void)newTop;
    COptionsPhase::SetWindowsActive(WindowName, false);
}

void COptionsVideoPhase::OnUncovered(WeAbstractPhase* removed)
{
    (void)removed;
    COptionsPhase::SetWindowsActive(WindowName, true);
}

void COptionsVideoPhase::HandleInput()
{
    if (g_Input.ConsumeKey(DIK_ESCAPE))
        Back();
}

void COptionsVideoPhase::Update()
{
    if (!m_ApplyRequested)
        return;
    m_ApplyRequested = 0;
    if (m_Shown)
        ApplyVideoSettings();
}

void COptionsVideoPhase::ReadVideoWidgets()
{
    VideoValues& v = s_Pending;
    v.width = g_OptionsSettings.m_Width;
    v.height = g_OptionsSettings.m_Height;
    if (auto* resolution = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(ResolutionCombo)))
        ParseMode(resolution->m_Text->m_Text, v.width, v.height);
    v.multisampleType = 0;
    v.multisampleQuality = 0;
    if (auto* aa = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(AntialiasingCombo)))
        if (WeUILabel* item = aa->GetSelection())
        {
            v.multisampleType = int32_t(item->m_UserData / 65536);
            v.multisampleQuality = int32_t(item->m_UserData % 65536);
        }
    static const int32_t Anisotropies[5] = {1, 2, 4, 8, 16};
    const int32_t anisotropy = SelectedIndex(AnisotropicCombo);
    if (anisotropy >= 0 && anisotropy < 5)
        v.anisotropy = Anisotropies[anisotropy];
    else if (v.anisotropy == 0)
        v.anisotropy = g_OptionsSettings.m_Anisotropy;
    v.textureQuality = SelectedIndex(TextureCombo);
    v.effectQuality = SelectedIndex(EffectCombo) + 1;
    v.reflection = SelectedIndex(ReflectionCombo) + 1;
    v.motionBlur = SelectedIndex(MotionBlurCombo);
    v.hdr = SelectedIndex(HdrCombo);
    v.refraction = Checked(RefractionCheck, g_OptionsSettings.m_Refraction);
    v.specular = Checked(SpecularCheck, g_OptionsSettings.m_Specular);
    v.bumping = Checked(BumpingCheck, g_OptionsSettings.m_Bumping);
    v.shadows = Checked(ShadowsCheck, g_OptionsSettings.m_Shadows);
    v.filmGrain = Checked(FilmGrainCheck, g_OptionsSettings.m_FilmGrain);
    v.depthOfField = Checked(DoFCheck, g_OptionsSettings.m_DepthOfField);
    v.verticalSync = Checked(VSyncCheck, g_OptionsSettings.m_VerticalSync);
}

COptionsVideoPhase::VideoValues COptionsVideoPhase::FromOptions()
{
    const COptionsSettings& o = g_OptionsSettings;
    VideoValues v;
    v.width = o.m_Width;
    v.height = o.m_Height;
    v.multisampleType = o.m_MultisampleType;
    v.multisampleQuality = o.m_MultisampleQuality;
    v.anisotropy = o.m_Anisotropy;
    v.textureQuality = o.m_TextureQuality;
    v.effectQuality = o.m_EffectQuality;
    v.motionBlur = o.m_MotionBlur;
    v.hdr = o.m_Hdr;
    v.reflection = o.m_Reflection;
    v.refraction = o.m_Refraction;
    v.specular = o.m_Specular;
    v.bumping = o.m_Bumping;
    v.shadows = o.m_Shadows;
    v.filmGrain = o.m_FilmGrain;
    v.depthOfField = o.m_DepthOfField;
    v.verticalSync = o.m_VerticalSync;
    return v;
}

bool COptionsVideoPhase::Differ(const VideoValues& a, const VideoValues& b)
{
    return a.width != b.width || a.height != b.height || a.multisampleType != b.multisampleType ||
           a.multisampleQuality != b.multisampleQuality || a.anisotropy != b.anisotropy ||
           a.textureQuality != b.textureQuality || a.effectQuality != b.effectQuality || a.motionBlur != b.motionBlur ||
           a.hdr != b.hdr || a.refraction != b.refraction || a.reflection != b.reflection || a.specular != b.specular ||
           a.bumping != b.bumping || a.shadows != b.shadows || a.filmGrain != b.filmGrain ||
           a.depthOfField != b.depthOfField || a.verticalSync != b.verticalSync;
}

bool COptionsVideoPhase::VideoSettingsChanged()
{
    return Differ(s_Pending, FromOptions());
}

void COptionsVideoPhase::UpdateAntialiasingCombo(bool hdrTwo)
{
    auto* combo = static_cast<WeUIComboBox*>(g_UIMain.FindComponent(AntialiasingCombo));
    if (combo == nullptr)
        return;
    if (hdrTwo && !g_RenderDevice.m_A16B16G16R16FMultisample)
    {
        combo->SetSelectedIndex(0, 0);
        combo->m_Opacity = 0.5f;
        combo->m_InputEnabled = 0;
    }
    else
    {
        combo->m_Opacity = 1.0f;
        combo->m_InputEnabled = 1;
    }
}

void COptionsVideoPhase::ApplyVideoSettings()
{
    ReadVideoWidgets();
    if (!VideoSettingsChanged())
        return;
    const VideoValues& n = s_Pending;
    const VideoValues old = FromOptions();
    const bool sameMode = n.width == old.width && n.height == old.height &&
                          n.multisampleQuality == old.multisampleQuality && n.multisampleType == old.multisampleType &&
                          n.verticalSync == old.verticalSync;
    const bool sameHdr = n.hdr == old.hdr || (n.hdr != 2 && old.hdr != 2);
    const bool reset = !(sameMode && sameHdr && n.reflection == old.reflection);

    COptionsSettings& o = g_OptionsSettings;
    o.m_Width = n.width;
    o.m_Height = n.height;
    o.m_MultisampleType = n.multisampleType;
    o.m_MultisampleQuality = n.multisampleQuality;
    o.m_Anisotropy = n.anisotropy;
    o.m_TextureQuality = n.textureQuality;
    o.m_EffectQuality = n.effectQuality;
    o.m_MotionBlur = n.motionBlur;
    o.m_Hdr = n.hdr;
    o.m_Reflection = n.reflection;
    o.m_Refraction = n.refraction;
    o.m_Specular = n.specular;
    o.m_Bumping = n.bumping;
    o.m_Shadows = n.shadows;
    o.m_FilmGrain = n.filmGrain;
    o.m_DepthOfField = n.depthOfField;
    o.m_VerticalSync = n.verticalSync;
    o.Save();

    g_TextureManager.SetQualityLevel(n.textureQuality == 0 ? 0 : n.textureQuality == 1 ? 1 : 2);
    const bool ps30 = g_RenderDevice.m_PixelShader30 != 0;
    g_RenderDevice.m_MotionBlurMode = n.motionBlur;
    g_RenderDevice.m_RefractionOn = n.refraction;
    g_RenderDevice.m_HdrLevel = n.hdr;
    g_RenderDevice.SetReflectionQuality(n.reflection);
    g_RenderDevice.m_BumpOption = n.bumping;
    g_RenderDevice.m_SpecularOption = n.specular;
    g_RenderDevice.m_ShadowsOn = n.shadows;
    g_RenderDevice.m_ShaderPath = n.effectQuality == 2 && ps30 ? 2 : 1;
    g_RenderDevice.m_MaxAnisotropy = n.anisotropy;
    g_RenderDevice.m_FilmGrainOn = n.filmGrain;
    g_RenderDevice.m_DepthOfFieldOn = ps30 && n.depthOfField ? 1 : 0;
    if (reset)
    {
        ++s_DeviceResets;
        g_Engine.Resize(n.width, n.height, n.multisampleType, n.multisampleQuality, n.verticalSync,
                        ApplyWindowModeOverride(o.m_WindowMode));
    }
    if (COptionsPhase::IsRacePaused())
        g_PostProcess.Reinitialize();
    // Applied values are no longer a change BACK asks about.
    s_Entered = s_Pending;
}

int32_t COptionsVideoPhase::OnApplyClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    ReadVideoWidgets();
    if (!VideoSettingsChanged())
        return 1;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
    AskConfirmation(OnApplyAnswered);
    return 1;
}

int32_t COptionsVideoPhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_OptionsVideoPhase.Back();
    return 1;
}

void COptionsVideoPhase::Back()
{
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    ReadVideoWidgets();
    if (Differ(s_Pending, s_Entered))
        AskConfirmation(OnLeaveAnswered);
    else
        LeaveOptions();
}

int32_t COptionsVideoPhase::OnHdrChanged(WeUIComponent* sender)
{
    UpdateAntialiasingCombo(static_cast<WeUIComboBox*>(sender)->GetSelectedIndex() == 2);
    return 1;
}

void COptionsVideoPhase::OnApplyAnswered(bool yes)
{
    if (yes)
        g_OptionsVideoPhase.m_ApplyRequested = 1;
}

void COptionsVideoPhase::OnLeaveAnswered(bool yes)
{
    if (yes)
        LeaveOptions();
}
