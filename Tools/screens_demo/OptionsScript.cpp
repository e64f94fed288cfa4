// The options from the main menu: a texture level applied, the music bar dragged and the effects bar moved
// twice, MOVE FORWARD bound to the Up arrow, the crosshair switched off, then the program left. The second
// script, run on the same save folder, shows what the next start loaded of it.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "Engine/render/WeTextureManager.h"
#include "Game/screens/COptionsAudioPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/COptionsSettings.h"
#include "Tools/screens_demo/ScreensDemoScript.h"

namespace
{
std::string Fixed2(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", double(value));
    return text;
}

const CInputBindings::Binding& Entry(int32_t entry)
{
    return g_OptionsSettings.m_Bindings.entries[entry];
}

int32_t g_TestSoundsBefore = 0;
}  // namespace

void BuildOptionsScript(ScreensDemoScript& script)
{
    script.WaitPhase("CChooseProfilePhase")
        .WaitShown("CHOOSEPROFILE_CREATE_PROFILE_BUTTON")
        .Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON")
        .WaitPhase("CCreateProfilePhase")
        .WaitShown("CreateProfile_NameEdit")
        .KeyPress(SDL_SCANCODE_A)
        .Frames(5)
        .KeyPress(SDL_SCANCODE_C)
        .Frames(5)
        .KeyPress(SDL_SCANCODE_E)
        .Frames(5)
        .KeyPress(SDL_SCANCODE_RETURN)
        .WaitPhase("CChooseProfilePhase")
        .WaitShown("CHOOSEPROFILE_OK_BUTTON")
        .Click("CHOOSEPROFILE_OK_BUTTON")
        .WaitPhase("CMainMenuPhase")
        .WaitShown("MainMenu_Options_Button")
        .Click("MainMenu_Options_Button")
        .WaitPhase("COptionsVideoPhase")
        .WaitShown("VideoOptions_ApplyButton")
        .Png("options-video")
        .Choose("VideoOptions_TextureQualityCombo", 0)
        .Click("VideoOptions_ApplyButton")
        .WaitPhase("CConfirmationPhase")
        .WaitShown("Confirmation_Yes_Button")
        .Click("Confirmation_Yes_Button")
        .WaitPhase("COptionsVideoPhase")
        .Frames(3)
        .Expect("applied",
                [](std::string& line)
                {
                    line = "applied texture quality " + std::to_string(g_OptionsSettings.m_TextureQuality) +
                           ", device resets " + std::to_string(COptionsVideoPhase::s_DeviceResets);
                    return g_OptionsSettings.m_TextureQuality == 0 && g_TextureManager.m_QualityLevel == 0 &&
                           COptionsVideoPhase::s_DeviceResets == 0;
                })
        .Click("Options_AudioButton")
        .WaitPhase("COptionsAudioPhase")
        .WaitShown("AudioOptions_BackButton")
        .Drag("AudioOptions_MusicVolumeScrollbar", 300)
        .Frames(10)
        .Call("test sounds before",
              [](std::string&)
              {
                  g_TestSoundsBefore = g_OptionsAudioPhase.m_TestSoundsPlayed;
                  return true;
              })
        // A click on the track steps the bar towards it: the first report plays nothing, the second does.
        .Click("AudioOptions_SoundVolumeScrollbar")
        .Frames(10)
        .Click("AudioOptions_SoundVolumeScrollbar")
        .Frames(5)
        .Png("options-audio")
        .Expect("test sound",
                [](std::string& line)
                {
                    const int32_t played = g_OptionsAudioPhase.m_TestSoundsPlayed - g_TestSoundsBefore;
                    line = played == 1 ? "test sound played" : "test sounds played: " + std::to_string(played);
                    return played == 1;
                })
        .Click("Options_ControlsButton")
        .WaitPhase("COptionsInputPhase")
        .WaitShown("InputOptions_BackButton")
        .Click("InputOptions_KeyList$1$0")
        .Frames(20)
        .Click("InputOptions_KeyList$1$0")
        .Frames(10)
        .Png("options-controls")
        .KeyPress(SDL_SCANCODE_UP)
        .Frames(8)
        .Expect("binding",
                [](std::string& line)
                {
                    const bool forward =
                        Entry(CInputBindings::MoveForward).code == 200 && !Entry(CInputBindings::MoveForward).isMouse;
                    const bool cleared = Entry(CInputBindings::LookDown).code == 0;
                    line = std::string("binding forward ") + (forward ? "UP" : "not UP") +
                           (cleared ? ", look down cleared" : ", look down kept");
                    return forward && cleared;
                })
        .Click("CrosshairCheck")
        .Frames(5)
        .Click("InputOptions_BackButton")
        .WaitPhase("CMainMenuPhase")
        .WaitShown("MainMenu_Exit_Button")
        .Click("MainMenu_Exit_Button")
        .WaitPhase("CConfirmationPhase")
        .WaitShown("Confirmation_Yes_Button")
        .Click("Confirmation_Yes_Button")
        .WaitPhase("CBuyScreenPhase");
}

void BuildShowOptionsScript(ScreensDemoScript& script)
{
    script.WaitPhase("CMainMenuPhase")
        .Expect("options",
                [](std::string& line)
                {
                    line = "options music " + Fixed2(g_OptionsSettings.m_MusicVolume) + " sound " +
                           Fixed2(g_OptionsSettings.m_SoundVolume) + " texture " +
                           std::to_string(g_OptionsSettings.m_TextureQuality);
                    return true;
                })
        .Expect("bindings",
                [](std::string& line)
                {
                    line = "binding forward " + std::to_string(Entry(CInputBindings::MoveForward).code) +
                           " look down " + std::to_string(Entry(CInputBindings::LookDown).code);
                    return true;
                })
        .Expect("crosshair",
                [](std::string& line)
                {
                    line = "crosshair " + std::to_string(int(g_OptionsSettings.m_Bindings.showCrosshair));
                    return true;
                })
        .Expect("texture level",
                [](std::string& line)
                {
                    line = "texture level " + std::to_string(g_TextureManager.m_QualityLevel);
                    return true;
                });
}
