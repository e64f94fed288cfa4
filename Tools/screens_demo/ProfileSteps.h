#pragma once
// The steps every front-end script starts with from an empty save folder: the profile "Ace" made and chosen,
// ending on the main menu with its single-player panel shown.
#include <SDL.h>

#include "Tools/screens_demo/ScreensDemoScript.h"

inline void AddProfileSteps(ScreensDemoScript& script)
{
    script.WaitPhase("CChooseProfilePhase")
        .WaitShown("CHOOSEPROFILE_CREATE_PROFILE_BUTTON")
        .Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON")
        .WaitPhase("CCreateProfilePhase")
        .WaitShown("CreateProfile_NameEdit")
        .KeyDown(SDL_SCANCODE_LSHIFT)
        .Frames(2)
        .KeyPress(SDL_SCANCODE_A)
        .Frames(5)
        .KeyUp(SDL_SCANCODE_LSHIFT)
        .Frames(2)
        .KeyPress(SDL_SCANCODE_C)
        .Frames(5)
        .KeyPress(SDL_SCANCODE_E)
        .Frames(10)
        .KeyPress(SDL_SCANCODE_RETURN)
        .WaitPhase("CChooseProfilePhase")
        .WaitShown("CHOOSEPROFILE_OK_BUTTON")
        .Click("CHOOSEPROFILE_OK_BUTTON")
        .WaitPhase("CMainMenuPhase")
        .WaitShown("MainMenu_Window")
        .WaitShown("SinglePlayer_Window");
}
