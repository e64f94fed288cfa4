#include "Game/screens/COptionsAudioPhase.h"

#include "Engine/foundation/WeLocalization.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/input/DIKeyCodes.h"

COptionsAudioPhase g_OptionsAudioPhase;
bool COptionsAudioPhase::s_SkipNextSoundReport = false;

namespace
{
constexpr const char* WindowName = "Options_AudioWindow";

void MakeBar(const char* title, const char* titleKey, const char* bar, float position,
             int32_t (*callback)(WeUIComponent*))
{
    g_UIMain.CreateLabel(title, g_Localization.GetText(titleKey), WindowName, -1);
    if (WeUIHScrollBar* scroll = g_UIMain.CreateHScrollBar(bar, WindowName, callback))
        scroll->SetPosition(position);
}

float PositionOf(WeUIComponent* sender)
{
    return static_cast<WeUIHScrollBar*>(sender)->GetPosition();
}
}  // namespace

COptionsAudioPhase::~COptionsAudioPhase()
{
    delete m_TestSound;
}

void COptionsAudioPhase::Enter()
{
    g_UIMain.CreateWindow(WindowName, g_Localization.GetText("UI: AUDIO"), "Root");
    MakeBar("AudioOptions_MusicVolumeTitle", "UI: MUSIC VOLUME", "AudioOptions_MusicVolumeScrollbar",
            g_OptionsSettings.m_MusicVolume, OnMusicVolumeChanged);
    MakeBar("AudioOptions_SoundVolumeTitle", "UI: FX VOLUME", "AudioOptions_SoundVolumeScrollbar",
            g_OptionsSettings.m_SoundVolume, OnSoundVolumeChanged);
    s_SkipNextSoundReport = true;
    g_UIMain.CreateButton("AudioOptions_BackButton", g_Localization.GetText("UI: BACK"), WindowName,
                          OnOptionsBackClicked);
    g_UIMain.ShowComponent(WindowName, false);
    delete m_TestSound;
    m_TestSound = new WeSound("Sounds.Menu.VolumeTest", false);
    m_TestSoundRequested = false;
}

void COptionsAudioPhase::Leave()
{
    delete m_TestSound;
    m_TestSound = nullptr;
    m_TestSoundRequested = false;
    g_UIMain.CloseComponent(WindowName, false);
}

void COptionsAudioPhase::OnCovered(WeAbstractPhase* newTop)
{
    (void)newTop;
    COptionsPhase::SetWindowsActive(WindowName, false);
}

void COptionsAudioPhase::OnUncovered(WeAbstractPhase* removed)
{
    (void)removed;
    COptionsPhase::SetWindowsActive(WindowName, true);
}

void COptionsAudioPhase::HandleInput()
{
    if (g_Input.ConsumeKey(DIK_ESCAPE))
        OptionsBack();
}

void COptionsAudioPhase::Update()
{
    if (!m_TestSoundRequested)
        return;
    m_TestSoundRequested = false;
    if (m_TestSound != nullptr && !m_TestSound->IsPlaying())
    {
        m_TestSound->Play(false);
        ++m_TestSoundsPlayed;
    }
}

int32_t COptionsAudioPhase::OnMusicVolumeChanged(WeUIComponent* sender)
{
    g_OptionsSettings.m_MusicVolume = PositionOf(sender);
    g_AudioDevice.SetMusicVolume(g_OptionsSettings.m_MusicVolume);
    g_OptionsSettings.Save();
    return 1;
}

int32_t COptionsAudioPhase::OnSoundVolumeChanged(WeUIComponent* sender)
{
    g_OptionsSettings.m_SoundVolume = PositionOf(sender);
    g_AudioDevice.SetSoundVolume(g_OptionsSettings.m_SoundVolume);
    if (s_SkipNextSoundReport)
        s_SkipNextSoundReport = false;
    else
        g_OptionsAudioPhase.m_TestSoundRequested = true;
    g_OptionsSettings.Save();
    return 1;
}
