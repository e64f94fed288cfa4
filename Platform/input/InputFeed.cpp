#include "Platform/input/InputFeed.h"

#include "Platform/input/DInput.h"
#include "Platform/input/InputKeyMap.h"
#include "Platform/input/InputState.h"

#include <SDL_events.h>
#include <SDL_mouse.h>

#include <cstring>

namespace
{
// SDL numbers buttons left 1, middle 2, right 3, X1 4, X2 5; the devices number them left, right,
// middle, X1, X2 from 0.
int ButtonIndex(uint8_t sdlButton)
{
    switch (sdlButton)
    {
    case SDL_BUTTON_LEFT: return DIMOFS_BUTTON_LEFT;
    case SDL_BUTTON_RIGHT: return DIMOFS_BUTTON_RIGHT;
    case SDL_BUTTON_MIDDLE: return DIMOFS_BUTTON_MIDDLE;
    case SDL_BUTTON_X1: return DIMOFS_BUTTON_X1;
    case SDL_BUTTON_X2: return DIMOFS_BUTTON_X2;
    default:
        // SDL passes further buttons on with consecutive numbers.
        return sdlButton >= 6 && sdlButton <= 8 ? sdlButton - 1 : -1;
    }
}

void ReleaseAll(InputState& state)
{
    std::memset(state.keys, 0, sizeof(state.keys));
    std::memset(state.buttons, 0, sizeof(state.buttons));
}
}  // namespace

void InputFeedEvent(const SDL_Event& event)
{
    InputState& state = g_InputState();
    switch (event.type)
    {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        uint8_t code = InputKeyCodeFromScancode(event.key.keysym.scancode);
        if (code != 0)
            state.keys[code] = event.type == SDL_KEYDOWN ? 0x80 : 0;
        break;
    }
    case SDL_MOUSEMOTION:
        if (event.motion.which == SDL_TOUCH_MOUSEID)
            break;
        state.motion[0] += event.motion.xrel;
        state.motion[1] += event.motion.yrel;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        int index = ButtonIndex(event.button.button);
        if (index >= 0)
            state.buttons[index] = event.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        int32_t notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        state.motion[2] += static_cast<int64_t>(notches) * WHEEL_DELTA;
        break;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST && state.foreground)
        {
            state.foreground = false;
            ++state.focusLosses;
            ReleaseAll(state);
        }
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
        {
            state.foreground = true;
        }
        break;
    default: break;
    }
}

void InputFeedReset()
{
    g_InputState().Reset();
}
