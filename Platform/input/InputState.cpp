#include "Platform/input/InputState.h"

void InputState::Reset()
{
    *this = InputState();
}

InputState& g_InputState()
{
    static InputState state;
    return state;
}
