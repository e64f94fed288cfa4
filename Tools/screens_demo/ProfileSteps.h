#pragma once
// The steps every front-end script starts with from an empty save folder: the profile "Ace" made and chosen,
// ending on the main menu with its single-player panel shown.
#include <SDL.h>

#include "Tools/screens_demo/ScreensDemoScript.h"

// The PNGs a script takes on the way (none by default): the choose-profile screen as it opens on the empty
// folder, and the create screen with the name typed.
struct ProfileStepPngs
{
    const char* chooseProfile = nullptr;
    const char* createProfile = nullptr;
};

inline void AddProfileSteps(ScreensDemoScript& script, const ProfileStepPngs& pngs = ProfileStepPngs())
{
    script.WaitPhase("CChooseProfilePhase").WaitShown("CHOOSEPROFILE_CREATE_PROFILE_BUTTON");
    if (pngs.chooseProfile != nullptr)
        script.Png(pngs.chooseProfile);
    script.Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON")
        .WaitPhase("CCreateProfilePhase")
        .WaitShown("CreateProfile_NameEdit")
        // Typed as a keyboard types it: the first key replaces the selected "PLAYER".
        .KeyDown(SDL_SCANCODE_LSHIFT)
        .Frames(2)
        .KeyPress(SDL_SCANCODE_A)
        .Frames(5)
        .KeyUp(SDL_SCANCODE_LSHIFT)
        .Frames(2)
        .KeyPress(SDL_SCANCODE_C)
        .Frames(5)
        .KeyPress(SDL_SCANCODE_E)
        .Frames(10);
    if (pngs.createProfile != nullptr)
        script.Png(pngs.createProfile);
    script.KeyPress(SDL_SCANCODE_RETURN)
        .WaitPhase("CChooseProfilePhase")
        .WaitShown("CHOOSEPROFILE_OK_BUTTON")
        .Click("CHOOSEPROFILE_OK_BUTTON")
        .WaitPhase("CMainMenuPhase")
        .WaitShown("MainMenu_Window")
        .WaitShown("SinglePlayer_Window");
}
